// Panel callbacks of the tab panels: a right click on a panel's background
// opens that panel's description in the help panel. The channel B panel and
// two of the hidden-settings panels have none, so their clicks are swallowed.
#include "app/shell.h"
#include "ui/help_hook.h"
#include "ui/ui.h"

namespace {

int background_help(int panel, int event) {
    return event == EVENT_RIGHT_CLICK ? show_ctrl_help(panel, 0) : 0;
}

int swallowed(int event) {
    return event == EVENT_RIGHT_CLICK ? 1 : 0;
}

} // namespace

int CC_TAB1(int panel, int, int event, void*, int, int) {
    return background_help(panel, event);
}

// Both channel panels share this callback; the help tells them apart by the
// panel's name.
int CC_TAB2(int panel, int, int event, void*, int, int) {
    return background_help(panel, event);
}

int CC_TAB3(int, int, int event, void*, int, int) {
    return swallowed(event);
}

int CC_TAB4(int panel, int, int event, void*, int, int) {
    return background_help(panel, event);
}

int CC_TAB5(int panel, int, int event, void*, int, int) {
    return background_help(panel, event);
}

int CC_TAB6(int panel, int, int event, void*, int, int) {
    return background_help(panel, event);
}

int CC_TAB7(int panel, int, int event, void*, int, int) {
    return background_help(panel, event);
}

int CC_TAB8(int panel, int, int event, void*, int, int) {
    return background_help(panel, event);
}

int CC_TAB9(int panel, int, int event, void*, int, int) {
    return background_help(panel, event);
}

int CC_TAB10(int, int, int event, void*, int, int) {
    return swallowed(event);
}

int CC_TAB11(int, int, int event, void*, int, int) {
    return swallowed(event);
}
