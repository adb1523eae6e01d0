// The connect panel's part of the program settings file: the baud rate, the
// COM-port list, the TCP port and the address list, so the next start offers
// what was used last.
#include "connect/connect_panel.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>

namespace {

const char rs232_section[] = "RS232 connection data";
const char tcp_section[] = "TCP/IP connection data";
const int baud_rates[5] = {9600, 19200, 38400, 57600, 115200};
// The lists' contents at start-up; a file without entries brings them back.
const char* const default_ports[2] = {"COM1", "COM2"};
const char* const default_addresses[2] = {"192.168.0.10", "192.168.0.11"};

void fill_list(int ctrl, const std::vector<std::string>& entries) {
    ClearListCtrl(tab1, ctrl);
    for (const std::string& e : entries) InsertListItemString(tab1, ctrl, -1, e.c_str(), e.c_str());
    if (!entries.empty()) SetCtrlVal(tab1, ctrl, entries.front().c_str());
}

// The keys "<prefix> 1" upward of a section. Every item but one (the baud rate
// or the port number beside them) may be a list entry.
std::vector<std::string> read_list(IniText store, const char* section, const char* prefix) {
    std::vector<std::string> entries;
    const int items = Ini_NumberOfItems(store, section);
    for (int i = 1; i < items && i <= CONNECT_LIST_MAX; i++) {
        char key[32], value[128];
        std::snprintf(key, sizeof key, "%s %d", prefix, i);
        if (Ini_GetStringIntoBuffer(store, section, key, value, sizeof value) == 1)
            entries.emplace_back(value);
    }
    return entries;
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

void connect_settings_load(IniText store) {
    if (Ini_SectionExists(store, rs232_section)) {
        int baud = 0;
        if (Ini_GetInt(store, rs232_section, "Baudrate", &baud) == 1) {
            int index = 4;
            for (int i = 0; i < 5; i++)
                if (baud_rates[i] == baud) index = i;
            SetCtrlIndex(tab1, TAB1_RING_BAUDRATE, index);
        }
        std::vector<std::string> ports = read_list(store, rs232_section, "Port");
        if (Ini_NumberOfItems(store, rs232_section) <= 1) ports.assign(default_ports, default_ports + 2);
        fill_list(TAB1_COMB_SELPORT, ports);
    }
    if (Ini_SectionExists(store, tcp_section)) {
        int port = 0;
        if (Ini_GetInt(store, tcp_section, "Portnumber", &port) == 1) {
            char text[16];
            std::snprintf(text, sizeof text, "%d", port);
            SetCtrlVal(tab1, TAB1_STRING_TCPPORT, text);
        }
        std::vector<std::string> addresses = read_list(store, tcp_section, "Addr.");
        if (Ini_NumberOfItems(store, tcp_section) <= 1)
            addresses.assign(default_addresses, default_addresses + 2);
        fill_list(TAB1_COMB_IPADDRESS, addresses);
    }
}

void connect_settings_store(IniText store) {
    int index = 0;
    GetCtrlIndex(tab1, TAB1_RING_BAUDRATE, &index);
    Ini_PutInt(store, rs232_section, "Baudrate", index >= 0 && index < 5 ? baud_rates[index] : 115200);
    write_list(store, rs232_section, "Port", TAB1_COMB_SELPORT);

    char text[32] = "";
    int port = 0;
    GetCtrlVal(tab1, TAB1_STRING_TCPPORT, text);
    if (parse_tcp_port(text, &port)) Ini_PutInt(store, tcp_section, "Portnumber", port);
    write_list(store, tcp_section, "Addr.", TAB1_COMB_IPADDRESS);
}
