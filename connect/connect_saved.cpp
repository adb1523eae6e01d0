#include "connect/connect_saved.h"

#include "connect/connect_text.h"

#include <cstdio>

namespace {

// The lists' contents at start-up; a file without entries brings them back.
const char* const default_ports[2] = {"COM1", "COM2"};
const char* const default_addresses[2] = {"192.168.0.10", "192.168.0.11"};

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

} // namespace

void connect_settings_read(IniText store, connect_saved* out) {
    *out = connect_saved{};
    if (Ini_SectionExists(store, CONNECT_RS232_SECTION) == 1) {
        out->rs232 = true;
        int baud = 0;
        if (Ini_GetInt(store, CONNECT_RS232_SECTION, "Baudrate", &baud) == 1) {
            out->baud_index = 4;
            for (int i = 0; i < 5; i++)
                if (CONNECT_BAUD_RATES[i] == baud) out->baud_index = i;
        }
        out->ports = read_list(store, CONNECT_RS232_SECTION, "Port");
        if (Ini_NumberOfItems(store, CONNECT_RS232_SECTION) <= 1)
            out->ports.assign(default_ports, default_ports + 2);
    }
    if (Ini_SectionExists(store, CONNECT_TCP_SECTION) == 1) {
        out->tcp = true;
        int port = 0;
        if (Ini_GetInt(store, CONNECT_TCP_SECTION, "Portnumber", &port) == 1) {
            out->has_tcp_port = true;
            out->tcp_port = port;
        }
        out->addresses = read_list(store, CONNECT_TCP_SECTION, "Addr.");
        if (Ini_NumberOfItems(store, CONNECT_TCP_SECTION) <= 1)
            out->addresses.assign(default_addresses, default_addresses + 2);
    }
}
