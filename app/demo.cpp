// Demo mode: a simulated control unit in the same process, on a thread of its
// own (the user-interface thread blocks in its own loops and must not starve
// it), reached over TCP loopback exactly like a unit behind a server. The
// connect panel is set to it; connecting and pairing are left to the user.
#include "app/demo.h"

#include "app/shell.h"
#include "connect/connect_panel.h"
#include "link/link.h"
#include "sim/sim_server.h"
#include "ui/ui.h"

#include <cstdio>
#include <string>

namespace {

sim_server* unit = nullptr;
const char loopback[] = "127.0.0.1";

// The log window says where the unit is, and the status line what to do next.
void announce(int port) {
    snprintf(com.connect.message, sizeof com.connect.message, "SIMULATED UNIT LISTENS ON\n\"%s\"\nPORT:%i",
             loopback, port);
    connect_update_gui(&com.connect, 0);
    shell_status("Simulated unit ready: press TRY TO CONNECT, then ACCEPT.");
    printf("zazed: simulated unit listening on %s port %d\n", loopback, port);
    fflush(stdout);
}

} // namespace

int shell_start_demo() {
    sim_options options;
    options.tcp_port = 0;
    // Paced like a unit on a 115200-baud line, so RUN shows a real unit's frame rate
    // instead of polling a loopback socket as fast as the machine can.
    options.baud = 115200;
    options.pace_tcp = true;
    std::string error;
    if (sim_server_start(options, &unit, &error) < 0) {
        fprintf(stderr, "zazed: the simulated unit did not start: %s\n", error.c_str());
        return -1;
    }
    // The user connects and pairs as with a real unit; only the choice is made.
    int port = sim_server_tcp_port(unit);
    connect_choose_tcp(loopback, port);
    announce(port);
    return 0;
}

void shell_stop_demo() {
    if (!unit) return;
    sim_server_stop(unit);
    unit = nullptr;
}
