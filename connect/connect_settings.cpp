// The connect panel's part of the program settings file: the baud rate, the
// COM-port list, the TCP port and the address list, so the next start offers
// what was used last.
#include "connect/connect_panel.h"
#include "connect/connect_saved.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>

namespace {

const char* const rs232_section = CONNECT_RS232_SECTION;
const char* const tcp_section = CONNECT_TCP_SECTION;

void fill_list(int ctrl, const std::vector<std::string>& entries) {
    ClearListCtrl(tab1, ctrl);
    for (const std::string& e : entries) InsertListItemString(tab1, ctrl, -1, e.c_str(), e.c_str());
    if (!entries.empty()) SetCtrlVal(tab1, ctrl, entries.front().c_str());
}

void write_list(IniText store, const char* section, const char* prefix, int ctrl) {
    int count = 0;
    GetNumListItems(tab1, ctrl, &count);
    for (int i = 1; i <= count && i <= CONNECT_LIST_MAX; i++) {
        char key[32], value[128] = "";
        std::snprintf(key, sizeof key, "%s %d", prefix, i);
        GetLabelFromIndex(tab1, ctrl, i - 1, value, sizeof value);
        Ini_PutString(store, section, key, value);
    }
}

} // namespace

void connect_settings_show(const connect_saved& saved) {
    if (saved.rs232) {
        if (saved.baud_index >= 0) SetCtrlIndex(tab1, TAB1_RING_BAUDRATE, saved.baud_index);
        fill_list(TAB1_COMB_SELPORT, saved.ports);
    }
    if (saved.tcp) {
        if (saved.has_tcp_port) {
            char text[16];
            std::snprintf(text, sizeof text, "%d", saved.tcp_port);
            SetCtrlVal(tab1, TAB1_STRING_TCPPORT, text);
        }
        fill_list(TAB1_COMB_IPADDRESS, saved.addresses);
    }
}

void connect_settings_load(IniText store) {
    connect_saved saved;
    connect_settings_read(store, &saved);
    connect_settings_show(saved);
}

void connect_settings_store(IniText store) {
    int index = 0;
    GetCtrlIndex(tab1, TAB1_RING_BAUDRATE, &index);
    Ini_PutInt(store, rs232_section, "Baudrate", index >= 0 && index < 5 ? CONNECT_BAUD_RATES[index] : 115200);
    write_list(store, rs232_section, "Port", TAB1_COMB_SELPORT);

    char text[32] = "";
    int port = 0;
    GetCtrlVal(tab1, TAB1_STRING_TCPPORT, text);
    if (parse_tcp_port(text, &port)) Ini_PutInt(store, tcp_section, "Portnumber", port);
    write_list(store, tcp_section, "Addr.", TAB1_COMB_IPADDRESS);
}
