// Panel callbacks of the tab panels: a right click on a panel's background
// opens that panel's description in the help panel. The channel B panel and
// two of the hidden-settings panels have none, so their clicks are swallowed.
#include "app/shell.h"
#include "ui/panels.h"
#include "ui/ui.h"

namespace {

int background_help(int event, const char* topic) {
    if (event != EVENT_RIGHT_CLICK) return 0;
    if (topic && shell.show_help) shell.show_help(topic, nullptr);
    return 1;
}

} // namespace

int CC_TAB1(int, int, int event, void*, int, int) {
    return background_help(event, "tab1");
}

// Both channel panels share this callback; the handle tells them apart.
int CC_TAB2(int panel, int, int event, void*, int, int) {
    return background_help(event, panel == tab3 ? "tab3" : "tab2");
}

int CC_TAB3(int, int, int event, void*, int, int) {
    return background_help(event, nullptr);
}

int CC_TAB4(int, int, int event, void*, int, int) {
    return background_help(event, "tab4");
}

int CC_TAB5(int, int, int event, void*, int, int) {
    return background_help(event, "tab5");
}

int CC_TAB6(int, int, int event, void*, int, int) {
    return background_help(event, "tab6");
}

int CC_TAB7(int, int, int event, void*, int, int) {
    return background_help(event, "tab7");
}

int CC_TAB8(int, int, int event, void*, int, int) {
    return background_help(event, "tab8");
}

int CC_TAB9(int, int, int event, void*, int, int) {
    return background_help(event, "tab9");
}

int CC_TAB10(int, int, int event, void*, int, int) {
    return background_help(event, nullptr);
}

int CC_TAB11(int, int, int event, void*, int, int) {
    return background_help(event, nullptr);
}
