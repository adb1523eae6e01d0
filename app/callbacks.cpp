// The names under which the layout files bind the shell's callbacks, and the
// features' hooks that lead back into the shell.
#include "app/shell.h"
#include "connect/connect_panel.h"
#include "run/run_mode.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

namespace {

void rec_buttons(int on) {
    if (shell.set_rec_buttons) shell.set_rec_buttons(on);
}

// SEND and READ during RUN act as the main window's own click.
void exchange_pressed(int control) {
    CC_EXCHANGE(mpanel, control, EVENT_COMMIT, nullptr, 0, 0);
}

} // namespace

void shell_register_callbacks() {
    run_hook.set_rec_buttons = rec_buttons;
    run_hook.exchange_pressed = exchange_pressed;

    struct entry {
        const char* name;
        ui_callback function;
    };
    const entry table[] = {
        {"CC_MPANEL", CC_MPANEL},       {"CC_PANELSELECT", CC_PANELSELECT},
        {"CC_MEMORY", CC_MEMORY},       {"CC_EXCHANGE", CC_EXCHANGE},
        {"CC_CBTN_STOP", CC_CBTN_STOP}, {"CC_TAB1", CC_TAB1},
        {"CC_TAB2", CC_TAB2},           {"CC_TAB3", CC_TAB3},
        {"CC_TAB4", CC_TAB4},           {"CC_TAB5", CC_TAB5},
        {"CC_TAB6", CC_TAB6},           {"CC_TAB7", CC_TAB7},
        {"CC_TAB8", CC_TAB8},           {"CC_TAB9", CC_TAB9},
        {"CC_TAB10", CC_TAB10},         {"CC_TAB11", CC_TAB11},
    };
    for (const entry& e : table) RegisterCallbackName(e.name, e.function);
    register_connect_callbacks();
    run_register_callbacks();
}
