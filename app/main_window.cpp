// Callbacks of the main window that are not measurement modes: the panel
// selector, the parameter target, SEND/READ, STOP, and the window itself
// (double click restores the size, close shuts the program down).
#include "app/shell.h"
#include "link/link.h"
#include "run/run_mode.h"
#include "settings/settings_file.h"
#include "ui/help_hook.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const int idle_color = 0xE0E0E0;
const int selected_color = 0xC0C0C0;
const int main_height = 548;
const int main_width = 790;

struct selector {
    int button;
    int* panel;
    int hidden; // one of the three hidden-settings selectors
};

const selector selectors[] = {
    {MPANEL_CBTN_SEL_CONNECT, &tab1, 0},  {MPANEL_CBTN_SEL_CHANA, &tab2, 0},    {MPANEL_CBTN_SEL_CHANB, &tab3, 0},
    {MPANEL_CBTN_SEL_TEACH, &tab4, 0},    {MPANEL_CBTN_SEL_RECORDER, &tab5, 0}, {MPANEL_CBTN_SEL_OSCI, &tab6, 0},
    {MPANEL_CBTN_SEL_GENERAL, &tab7, 0},  {MPANEL_CBTN_SEL_LINEAR, &tab9, 0},   {MPANEL_CBTN_SEL_HIDDEN, &tab8, 1},
    {MPANEL_CBTN_SEL_FILTER, &tab10, 1},  {MPANEL_CBTN_SEL_COUNTER, &tab11, 1},
};

const selector* find_selector(int button) {
    for (const selector& s : selectors)
        if (s.button == button) return &s;
    return nullptr;
}

// The text a parameter operation leaves in the status line: the operation
// text, then the result (or the failure text in its place).
void exchange_with_unit(int mode, char* text) {
    if (!shell.parameter_exchange) return;
    uint16_t words[PARA_WORDS];
    if (mode == 1 || mode == 3) {
        para_to_words(&paras.para_pc, words);
        shell.parameter_exchange(mode, 0, text, words, PARA_WORDS, nullptr, 0);
        return;
    }
    int rc = shell.parameter_exchange(mode, 0, text, nullptr, 0, words, PARA_WORDS);
    if (rc != 0) return;
    para_from_words(&paras.para_rd, words);
    paras.para_pc = paras.para_rd;
    if (shell.update_para) shell.update_para(&paras.para_pc);
}

void do_send(int target, char* text) {
    snprintf(text, LINK_TEXT_SIZE, "Sending data ... ");
    shell_status(text);
    if (target == PARA_TARGET_NONE) return;
    if (shell.acquire_para) shell.acquire_para(&paras.para_pc, target);
    if (target == PARA_TARGET_FILE) {
        int rc = shell.parameter_save2file ? shell.parameter_save2file(nullptr, &paras.para_pc,
                                                                       paras.pt_para_max, paras.pt_para_min)
                                           : -1;
        if (rc < 0)
            snprintf(text, LINK_TEXT_SIZE, "Error while saving file.");
        else
            strncat(text, "Done.", LINK_TEXT_SIZE - strlen(text) - 1);
        return;
    }
    exchange_with_unit(target == PARA_TARGET_RAM ? 1 : 3, text);
}

void do_read(int target, char* text) {
    snprintf(text, LINK_TEXT_SIZE, "Reading data ... ");
    shell_status(text);
    if (target == PARA_TARGET_NONE) return;
    if (target == PARA_TARGET_FILE) {
        int rc = shell.parameter_file2para ? shell.parameter_file2para(nullptr, &paras.para_rd) : -1;
        if (rc < 0) {
            snprintf(text, LINK_TEXT_SIZE, "Error while reading file.");
            return;
        }
        paras.para_pc = paras.para_rd;
        if (shell.update_para) shell.update_para(&paras.para_pc);
        strncat(text, "Done.", LINK_TEXT_SIZE - strlen(text) - 1);
        return;
    }
    exchange_with_unit(target == PARA_TARGET_RAM ? 2 : 4, text);
}

} // namespace

void shell_status(const char* text) {
    SetCtrlVal(graph1, GRAPH1_STRING_STATUS, text);
}

// ---- panel selection ----------------------------------------------------------------------

void shell_select_panel(int button) {
    const selector* chosen = find_selector(button);
    if (!chosen) return;
    for (const selector& s : selectors) {
        HidePanel(*s.panel);
        SetCtrlAttribute(mpanel, s.button, ATTR_CMD_BUTTON_COLOR, idle_color);
    }
    // The hidden selectors, once unlocked, stay only while one of theirs is shown.
    if (!chosen->hidden)
        for (const selector& s : selectors)
            if (s.hidden) SetCtrlAttribute(mpanel, s.button, ATTR_VISIBLE, 0);
    SetCtrlAttribute(mpanel, button, ATTR_CMD_BUTTON_COLOR, selected_color);
    DisplayPanel(*chosen->panel);

    // Leaving the connect panel locks the hidden settings again.
    SetCtrlAttribute(tab1, TAB1_PWDC_PASSWORD, ATTR_VISIBLE, 0);
    SetCtrlAttribute(tab1, TAB1_TEXTMSG_PASSWORD, ATTR_VISIBLE, 0);
    SetCtrlAttribute(tab1, TAB1_TEXTMSG_PANELID, ATTR_VISIBLE, 1);
    SetCtrlAttribute(tab1, TAB1_TEXT_PANELID, ATTR_VISIBLE, 1);
    // A linearisation must be checked again before it can be sent.
    SetCtrlAttribute(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED, 1);
    if (shell.set_anaout_transfer) shell.set_anaout_transfer();
}

int CC_PANELSELECT(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) {
        shell_select_panel(control);
    } else if (event == EVENT_RIGHT_CLICK) {
        return show_ctrl_help(panel, control);
    }
    return 0;
}

// ---- parameter target -----------------------------------------------------------------------

int get_para_target() {
    const int buttons[3] = {MPANEL_TOGGLE_RAM, MPANEL_TOGGLE_ROM, MPANEL_TOGGLE_FILE};
    for (int i = 0; i < 3; i++) {
        int on = 0;
        if (GetCtrlVal(mpanel, buttons[i], &on) >= 0 && on) return i + 1;
    }
    return PARA_TARGET_NONE;
}

void shell_update_target_dimming() {
    int dimmed = get_para_target() == PARA_TARGET_FILE ? 0 : (com.connect.status ? 0 : 1);
    SetCtrlAttribute(mpanel, MPANEL_CBTN_SEND, ATTR_DIMMED, dimmed);
    SetCtrlAttribute(mpanel, MPANEL_CBTN_READ, ATTR_DIMMED, dimmed);
}

int CC_MEMORY(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) {
        SetCtrlVal(panel, MPANEL_TOGGLE_RAM, 0);
        SetCtrlVal(panel, MPANEL_TOGGLE_ROM, 0);
        SetCtrlVal(panel, MPANEL_TOGGLE_FILE, 0);
        SetCtrlVal(panel, control, 1);
        shell_update_target_dimming();
    } else if (event == EVENT_RIGHT_CLICK) {
        return show_ctrl_help(panel, control);
    }
    return 0;
}

// ---- SEND and READ ----------------------------------------------------------------------------

int CC_EXCHANGE(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || com.exch_active) return 0;
    char text[LINK_TEXT_SIZE];
    if (control == MPANEL_CBTN_SEND)
        do_send(get_para_target(), text);
    else
        do_read(get_para_target(), text);
    shell_status(text);
    return 0;
}

// ---- STOP --------------------------------------------------------------------------------------

void shell_stop() {
    if (shell.set_rec_buttons) shell.set_rec_buttons(0);
    const int modes[2] = {MPANEL_CBTN_RUN, MPANEL_CBTN_VIDEO};
    for (int button : modes) {
        SetCtrlAttribute(mpanel, button, ATTR_CMD_BUTTON_COLOR, idle_color);
        SetCtrlAttribute(mpanel, button, ATTR_DIMMED, 0);
    }
    shell_status("Stopped.");
    SetCtrlVal(graph1, GRAPH1_BAR_ACTIVITY1, 0.0);
    SetCtrlVal(graph1, GRAPH1_BAR_ACTIVITY2, 100.0);
    runs.run = 0;
}

int CC_CBTN_STOP(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT && event != EVENT_KEYPRESS) return 0;
    // Keys arrive as whole characters here; there are no lead bytes to swallow.
    if (panel == mpanel && control == MPANEL_CBTN_STOP) shell_stop();
    return 0;
}

// ---- the window --------------------------------------------------------------------------------

void shell_shutdown(int exit_code) {
    auto step = [](int n) {
        if (shell.shutdown_step) shell.shutdown_step(n);
    };
    step(1);
    SuspendTimerCallbacks();
    // A transaction that waits now sees the stop request and ends its loop.
    step(2);
    QueueUserEvent(LINK_EVENT_PROGRAM, mpanel, MPANEL_CBTN_STOP);
    ProcessSystemEvents();
    step(3);
    int dimmed = 1;
    GetCtrlAttribute(mpanel, MPANEL_CBTN_STOP, ATTR_DIMMED, &dimmed);
    if (!dimmed) {
        SetActiveCtrl(mpanel, MPANEL_CBTN_STOP);
        FakeKeystroke(mpanel, MPANEL_CBTN_STOP, UI_KEY_ENTER);
        ProcessSystemEvents();
    }
    step(4);
    if (shell.acquire_para) shell.acquire_para(&paras.para_pc, 3);
    step(5);
    // The old file stays as it was; the user learns that this session's
    // settings are lost, and where they were meant to go.
    if (scope_para_file[0] && store_scope_para(scope_para_file) < 0) {
        const std::string text =
            std::string("The program settings could not be written to\n") + scope_para_file;
        MessagePopup("File error!", text.c_str());
    }
    step(6);
    QuitUserInterface(exit_code);
}

int CC_MPANEL(int panel, int, int event, void*, int, int) {
    switch (event) {
    case EVENT_LEFT_DOUBLE_CLICK:
        SetPanelSize(panel, main_height, main_width);
        return 0;
    case EVENT_CLOSE:
        shell_shutdown(0);
        return 0;
    case EVENT_RIGHT_CLICK:
        return show_ctrl_help(panel, 0);
    default:
        return 0;
    }
}
