#include "ui/help_hook.h"

#include "ui/ui.h"

namespace {
help_handler handler = nullptr;
}

void set_help_handler(help_handler h) {
    handler = h;
}

int show_help(const char* panel, const char* control) {
    if (!handler || !panel) return 0;
    return handler(panel, control ? control : "");
}

int show_ctrl_help(int panel, int control) {
    char panel_name[64] = "", control_name[64] = "";
    if (GetPanelAttribute(panel, ATTR_PANEL_NAME, panel_name, sizeof panel_name) < 0) return 0;
    if (control != 0 && GetCtrlAttribute(panel, control, ATTR_CONSTANT_NAME, control_name, sizeof control_name) < 0)
        return 0;
    return show_help(panel_name, control_name);
}
