// The link's view of the user interface: which buttons interrupt a waiting
// transaction, where its log lines and status texts go, and which buttons
// depend on an open link.
#include "app/shell.h"
#include "link/link.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <vector>

namespace {

std::vector<link_interrupt> interrupts;

void log_append(const char* line) {
    InsertTextBoxLine(tab1, TAB1_TEXT_CONNECTSTAT, -1, line);
    int lines = 0, visible = 0;
    GetNumTextBoxLines(tab1, TAB1_TEXT_CONNECTSTAT, &lines);
    GetCtrlAttribute(tab1, TAB1_TEXT_CONNECTSTAT, ATTR_VISIBLE_LINES, &visible);
    int first = lines - visible;
    SetCtrlAttribute(tab1, TAB1_TEXT_CONNECTSTAT, ATTR_FIRST_VISIBLE_LINE, first < 0 ? 0 : first);
}

void dim_link_buttons(int dimmed) {
    const int connect_buttons[3] = {TAB1_CMDB_COMACCEPT, TAB1_CMDB_CHANGEBAUD, TAB1_CMDB_EXPORT_HWFILE};
    for (int b : connect_buttons) SetCtrlAttribute(tab1, b, ATTR_DIMMED, dimmed);
    const int main_buttons[5] = {MPANEL_CBTN_SEND, MPANEL_CBTN_READ, MPANEL_CBTN_RUN, MPANEL_CBTN_VIDEO,
                                 MPANEL_CBTN_STOP};
    for (int b : main_buttons) SetCtrlAttribute(mpanel, b, ATTR_DIMMED, dimmed);
}

} // namespace

void shell_link_setup() {
    link_ui_hooks hooks;
    hooks.get_user_event = [](int* panel, int* control) { return GetUserEvent(0, panel, control); };
    hooks.take_user_event = [](int* panel, int* control) { return TakeUserEvent(panel, control); };
    hooks.wait_for_activity = [](double seconds) { WaitForActivity(seconds); };
    hooks.log_append = log_append;
    hooks.set_status = shell_status;
    hooks.dim_link_buttons = dim_link_buttons;
    link_set_ui_hooks(hooks);

    interrupts = {
        {mpanel, MPANEL_CBTN_STOP, LINK_STOP, 1},         {mpanel, MPANEL_CBTN_SEND, LINK_SEND_PRESSED, 1},
        {mpanel, MPANEL_CBTN_READ, LINK_READ_PRESSED, 1}, {mpanel, MPANEL_CBTN_VIDEO, LINK_STOP, 1},
        {mpanel, MPANEL_CBTN_RUN, LINK_STOP, 1},          {tab5, TAB5_CMDB_MANUALREC, LINK_REC_STORE, 0},
        {tab5, TAB5_CBTN_START, LINK_REC_START, 0},       {tab5, TAB5_CMDB_STOP, LINK_REC_STOP, 0},
        {tab7, TAB7_CMDB_NORM_NOW, LINK_NORM_NOW, 0},     {tab2, TAB2_CMDB_RESET, LINK_RESET_PRESSED, 0},
        {tab3, TAB2_CMDB_RESET, LINK_RESET_PRESSED, 0},
    };
    // The linearisation transfer is stopped by any of the panel's file and
    // transfer buttons.
    const int linear_buttons[7] = {TAB9_CMDB_LOADA,      TAB9_CMDB_CLEARA,    TAB9_CMDB_LOADB,
                                   TAB9_CMDB_CLEARB,     TAB9_CMDB_CHECK_LIN, TAB9_CMDB_SEND_LIN,
                                   TAB9_CMDB_REFRESH_LIN};
    for (int b : linear_buttons) interrupts.push_back({tab9, b, LINK_STOP, 0});
    link_set_interrupt_table(interrupts.data(), static_cast<int>(interrupts.size()));
}
