// Demo mode: a simulated control unit in the same process, on a thread of its
// own (the user-interface thread blocks in its own loops and must not starve
// it), reached over TCP loopback exactly like a unit behind a server.
#include "app/demo.h"

#include "app/panels.h"
#include "app/shell.h"
#include "link/serial_com.h"
#include "resources/userif.h"
#include "sim/sim_server.h"
#include "support/ui.h"

#include <cstdio>
#include <string>

namespace {

sim_server* unit = nullptr;
const char loopback[] = "127.0.0.1";

// The connect panel shows what a person would have chosen for this unit.
void show_choice(int port) {
    char text[16];
    snprintf(text, sizeof text, "%d", port);
    SetCtrlIndex(tab1, TAB1_RING_COMMODE, LINK_PROTOCOL_TCP);
    SetCtrlVal(tab1, TAB1_COMB_IPADDRESS, loopback);
    SetCtrlVal(tab1, TAB1_STRING_TCPPORT, text);
    SetCtrlAttribute(tab1, TAB1_COMB_SELPORT, ATTR_VISIBLE, 0);
    SetCtrlAttribute(tab1, TAB1_RING_BAUDRATE, ATTR_VISIBLE, 0);
    SetCtrlAttribute(tab1, TAB1_COMB_IPADDRESS, ATTR_VISIBLE, 1);
    SetCtrlAttribute(tab1, TAB1_STRING_TCPPORT, ATTR_VISIBLE, 1);
}

} // namespace

int shell_start_demo() {
    sim_options options;
    options.tcp_port = 0;
    std::string error;
    if (sim_server_start(options, &unit, &error) < 0) {
        fprintf(stderr, "zazed: the simulated unit did not start: %s\n", error.c_str());
        return -1;
    }
    int port = sim_server_tcp_port(unit);
    show_choice(port);
    init_tcp(&zazed::connect, port, loopback);
    connect_update_gui(&zazed::connect, 0);
    return zazed::connect.status > 0 ? 0 : -1;
}

void shell_stop_demo() {
    if (!unit) return;
    sim_server_stop(unit);
    unit = nullptr;
}
