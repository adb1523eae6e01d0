// Callbacks of the connect panel: they read the controls, call the procedure
// and show its result. The pairing procedures themselves are in
// connect_procedure, the export in hw_export.
#include "connect/connect_panel.h"

#include "link/link.h"
#include "support/program.h"
#include "ui/help_hook.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

char panel_id[64];

namespace {

const int idle_color = MakeColor(224, 224, 224);
const int selected_color = MakeColor(192, 192, 192);

// Every control of the panel answers a right click with its help.
int help(int panel, int control, int event) {
    return event == EVENT_RIGHT_CLICK ? show_ctrl_help(panel, control) : 0;
}

std::vector<std::string> list_entries(int ctrl) {
    std::vector<std::string> list;
    int count = 0;
    GetNumListItems(tab1, ctrl, &count);
    for (int i = 0; i < count; i++) {
        char label[128] = "";
        GetLabelFromIndex(tab1, ctrl, i, label, sizeof label);
        list.emplace_back(label);
    }
    return list;
}

// Puts an entry at the top of a field's list and shows it in the field.
void push_entry(int ctrl, const std::string& entry) {
    std::vector<std::string> list = list_entries(ctrl);
    recent_list_push(&list, entry);
    ClearListCtrl(tab1, ctrl);
    for (const std::string& e : list) InsertListItemString(tab1, ctrl, -1, e.c_str(), e.c_str());
    SetCtrlVal(tab1, ctrl, entry.c_str());
}

void show_protocol(int protocol) {
    const int tcp = protocol == LINK_PROTOCOL_TCP;
    SetCtrlAttribute(tab1, TAB1_COMB_SELPORT, ATTR_VISIBLE, !tcp);
    SetCtrlAttribute(tab1, TAB1_RING_BAUDRATE, ATTR_VISIBLE, !tcp);
    SetCtrlAttribute(tab1, TAB1_COMB_IPADDRESS, ATTR_VISIBLE, tcp);
    SetCtrlAttribute(tab1, TAB1_STRING_TCPPORT, ATTR_VISIBLE, tcp);
}

// The panel-ID field and the password field share one place on the panel.
void show_password_field(int show) {
    SetCtrlAttribute(tab1, TAB1_PWDC_PASSWORD, ATTR_VISIBLE, show);
    SetCtrlAttribute(tab1, TAB1_TEXTMSG_PASSWORD, ATTR_VISIBLE, show);
    SetCtrlAttribute(tab1, TAB1_TEXT_PANELID, ATTR_VISIBLE, !show);
    SetCtrlAttribute(tab1, TAB1_TEXTMSG_PANELID, ATTR_VISIBLE, !show);
}

// The hidden settings open like a selected panel whose selectors were hidden.
void unlock_hidden_settings() {
    const int tabs[] = {tab1, tab2, tab3, tab4, tab5, tab6, tab7, tab8, tab9, tab10, tab11};
    for (int t : tabs) HidePanel(t);
    const int selectors[] = {MPANEL_CBTN_SEL_CONNECT, MPANEL_CBTN_SEL_CHANA,    MPANEL_CBTN_SEL_CHANB,
                             MPANEL_CBTN_SEL_TEACH,   MPANEL_CBTN_SEL_RECORDER, MPANEL_CBTN_SEL_OSCI,
                             MPANEL_CBTN_SEL_GENERAL, MPANEL_CBTN_SEL_LINEAR,   MPANEL_CBTN_SEL_HIDDEN,
                             MPANEL_CBTN_SEL_FILTER,  MPANEL_CBTN_SEL_COUNTER};
    for (int s : selectors)
        SetCtrlAttribute(mpanel, s, ATTR_CMD_BUTTON_COLOR,
                         s == MPANEL_CBTN_SEL_HIDDEN ? selected_color : idle_color);
    for (int s : {MPANEL_CBTN_SEL_HIDDEN, MPANEL_CBTN_SEL_FILTER, MPANEL_CBTN_SEL_COUNTER})
        SetCtrlAttribute(mpanel, s, ATTR_VISIBLE, 1);
    DisplayPanel(tab8);
}

} // namespace

void connect_choose_tcp(const char* address, int port) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", port);
    SetCtrlIndex(tab1, TAB1_RING_COMMODE, LINK_PROTOCOL_TCP);
    show_protocol(LINK_PROTOCOL_TCP);
    push_entry(TAB1_COMB_IPADDRESS, address);
    SetCtrlVal(tab1, TAB1_STRING_TCPPORT, text);
}

void connect_choose_com(int com_port, int baud_index) {
    char text[16];
    std::snprintf(text, sizeof text, "COM%d", com_port);
    SetCtrlIndex(tab1, TAB1_RING_COMMODE, LINK_PROTOCOL_RS232);
    show_protocol(LINK_PROTOCOL_RS232);
    push_entry(TAB1_COMB_SELPORT, text);
    SetCtrlIndex(tab1, TAB1_RING_BAUDRATE, baud_index);
}

void connect_window_titles() {
    char base[160];
    if (panel_id[0])
        std::snprintf(base, sizeof base, "%s - %s", pc_version_str, panel_id);
    else
        std::snprintf(base, sizeof base, "%s", pc_version_str);
    char title[200];
    std::snprintf(title, sizeof title, "%s - Main", base);
    SetPanelAttribute(mpanel, ATTR_TITLE, title);
    std::snprintf(title, sizeof title, "%s - Oscillograph", base);
    SetPanelAttribute(osci1, ATTR_TITLE, title);
}

int CC_RING_COMMODE(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) {
        int protocol = 0;
        GetCtrlIndex(tab1, TAB1_RING_COMMODE, &protocol);
        show_protocol(protocol);
    }
    return help(panel, control, event);
}

int CC_COMB_SELPORT(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) {
        char text[64] = "";
        int port = 0;
        GetCtrlVal(tab1, TAB1_COMB_SELPORT, text);
        if (parse_com_port(text, &port)) {
            std::snprintf(text, sizeof text, "COM%d", port);
            push_entry(TAB1_COMB_SELPORT, text);
        } else {
            char first[16] = "";
            GetLabelFromIndex(tab1, TAB1_COMB_SELPORT, 0, first, sizeof first);
            SetCtrlVal(tab1, TAB1_COMB_SELPORT, first);
        }
    }
    return help(panel, control, event);
}

int CC_COMB_IPADDRESS(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) {
        char text[64] = "";
        GetCtrlVal(tab1, TAB1_COMB_IPADDRESS, text);
        push_entry(TAB1_COMB_IPADDRESS, text);
    }
    return help(panel, control, event);
}

int CC_CMDB_TRYCONNECT(int panel, int control, int event, void*, int key, int) {
    if (event == EVENT_COMMIT) connect_try();
    // A key press connects as a click does (CHANGE BAUD posts one); it is
    // swallowed so the button does not click as well. TAB still moves on.
    if (event == EVENT_KEYPRESS && key != UI_KEY_TAB) {
        connect_try();
        return 1;
    }
    return help(panel, control, event);
}

int CC_CMDB_COMACCEPT(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) connect_accept();
    return help(panel, control, event);
}

int CC_CMDB_CHANGEBAUD(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) connect_change_baud();
    return help(panel, control, event);
}

int CC_CMDB_EXPORT_HWFILE(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) connect_export_hw();
    return help(panel, control, event);
}

int CC_TEXT_PANELID(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) {
        char text[64] = "";
        GetCtrlVal(tab1, TAB1_TEXT_PANELID, text);
        if (is_access_word(text)) {
            show_password_field(1);
            SetCtrlVal(tab1, TAB1_TEXT_PANELID, panel_id);
            SetActiveCtrl(tab1, TAB1_PWDC_PASSWORD);
        } else {
            std::snprintf(panel_id, sizeof panel_id, "%s", text);
            SetCtrlVal(tab5, TAB5_STRING_PANELID, panel_id);
            connect_window_titles();
        }
    }
    return help(panel, control, event);
}

int CC_PWDC_PASSWORD(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) {
        char typed[32] = "";
        GetCtrlVal(tab1, TAB1_PWDC_PASSWORD, typed);
        // The word is not left in the field for the next one to see.
        SetCtrlVal(tab1, TAB1_PWDC_PASSWORD, "");
        if (password_accepted(typed, user_password))
            unlock_hidden_settings();
        else
            MessagePopup("Password entry", "Password incorrect.");
        show_password_field(0);
    }
    return help(panel, control, event);
}

int CC_TEXT_CONNECTSTAT(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_LEFT_DOUBLE_CLICK) ResetTextBox(tab1, TAB1_TEXT_CONNECTSTAT, "");
    return help(panel, control, event);
}

void register_connect_callbacks() {
    struct entry {
        const char* name;
        ui_callback function;
    };
    const entry table[] = {
        {"CC_RING_COMMODE", CC_RING_COMMODE},
        {"CC_COMB_SELPORT", CC_COMB_SELPORT},
        {"CC_COMB_IPADDRESS", CC_COMB_IPADDRESS},
        {"CC_CMDB_TRYCONNECT", CC_CMDB_TRYCONNECT},
        {"CC_CMDB_COMACCEPT", CC_CMDB_COMACCEPT},
        {"CC_CMDB_CHANGEBAUD", CC_CMDB_CHANGEBAUD},
        {"CC_CMDB_EXPORT_HWFILE", CC_CMDB_EXPORT_HWFILE},
        {"CC_TEXT_PANELID", CC_TEXT_PANELID},
        {"CC_PWDC_PASSWORD", CC_PWDC_PASSWORD},
        {"CC_TEXT_CONNECTSTAT", CC_TEXT_CONNECTSTAT},
    };
    for (const entry& e : table) RegisterCallbackName(e.name, e.function);
}
