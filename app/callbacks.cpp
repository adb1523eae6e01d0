// The names under which the layout files bind the shell's callbacks.
#include "app/run_mode.h"
#include "app/shell.h"
#include "link/tab1_ctrl.h"
#include "support/ui.h"

void shell_register_callbacks() {
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
