// Opening and closing the link: RS-232 by COM number, TCP by server address.
#include "link/link.h"

#include "link/link_internal.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {

const int BAUD_RATES[5] = {9600, 19200, 38400, 57600, 115200};

std::map<int, std::string> serial_devices;

void reset_rs232(connect_info* c) {
    c->status = 0;
    c->protocol = LINK_PROTOCOL_RS232;
    c->open = 0;
    c->com_port = 1;
    c->baud = 19200;
}

// The open port died under us (a pulled USB adapter, a closed pseudo-terminal). The
// transport has already closed itself so that it cannot spin on read errors; the link is
// marked failed and the user told once, as after a failed write.
void transport_failed() {
    link_private& g = link_globals();
    connect_info* c = g.owner;
    if (!c) return;
    if (c->protocol == LINK_PROTOCOL_RS232) {
        link_format(c->message, "CONNECTION LOST ON: COM%i (%s)", c->com_port, g.device);
        c->com_port = 1;
        c->baud = 19200;
    } else {
        link_format(c->message, "%s", "CONNECTION TO SERVER LOST");
    }
    c->status = 0;
    c->open = 1;
    link_clear_unit(c);
    connect_update_gui(c, 0);
}

void install(std::unique_ptr<link_transport> t, connect_info* c, const char* device) {
    link_private& g = link_globals();
    t->on_failure = transport_failed;
    if (c->protocol == LINK_PROTOCOL_TCP) {
        // The socket's data callback; its data is the receive buffer, as the Part has it.
        t->on_data_ready = [c] { tcp_callback(c->tcp_handle, LINK_TCP_DATA_READY, 0, &com.exch); };
    }
    g.transport = std::move(t);
    g.owner = c;
    // A new line has no answer of an old request on its way.
    g.late_until = 0.0;
    std::snprintf(g.device, sizeof g.device, "%s", device);
}

} // namespace

void link_close_transport() {
    link_private& g = link_globals();
    if (g.transport) {
        g.transport->on_failure = nullptr;
        g.transport->on_data_ready = nullptr;
        g.transport->close();
    }
    g.transport.reset();
    g.late_until = 0.0;
    g.owner = nullptr;
    g.device[0] = '\0';
}

void link_set_openers(link_serial_opener serial, link_tcp_opener tcp) {
    link_private& g = link_globals();
    g.serial_opener = std::move(serial);
    g.tcp_opener = std::move(tcp);
}

void link_set_serial_device(int com_port, const char* device) {
    if (device && device[0])
        serial_devices[com_port] = device;
    else
        serial_devices.erase(com_port);
}

void link_clear_serial_devices() {
    serial_devices.clear();
}

int link_com_device(int com_port, char* device, int size) {
    if (!device || size <= 0) return LINK_IO_INVALID;
    device[0] = '\0';
    const auto it = serial_devices.find(com_port);
    if (it != serial_devices.end()) {
        // A device path that does not fit is refused: cut, it would name another device.
        if (it->second.size() >= static_cast<size_t>(size)) return LINK_IO_NO_PORT;
        std::memcpy(device, it->second.c_str(), it->second.size() + 1);
        return 0;
    }
#ifdef _WIN32
    if (com_port < 1) return LINK_IO_INVALID;
    std::snprintf(device, static_cast<size_t>(size), "COM%d", com_port);
#else
    // COM1 is the first on-board port, ttyS0; COM0 has no such counterpart.
    if (com_port < 1) return LINK_IO_INVALID;
    std::snprintf(device, static_cast<size_t>(size), "/dev/ttyS%d", com_port - 1);
#endif
    return 0;
}

int init_rs232(connect_info* c, int com_port, int baud_index, int mode) {
    if (!c) return 0;
    link_private& g = link_globals();
    if (mode != 1) {
        link_close_transport();
        reset_rs232(c);
        link_format(c->message, "%s", "ALL CONNECTIONS CLOSED");
        link_clear_unit(c);
        return c->status;
    }
    // Only one line is ever held, so closing it covers every port and the TCP connection.
    if (c->open == 1) link_close_transport();
    if (com_port < 0 || com_port > 255 || baud_index < 0 || baud_index > 4) {
        link_clear_unit(c);
        return c->status;
    }

    const int baud = BAUD_RATES[baud_index];
    char device[PATH_MAX];
    int err = link_com_device(com_port, device, sizeof device);
    std::unique_ptr<link_transport> t;
    if (err == 0) {
        t = g.serial_opener ? g.serial_opener(device, baud, &err) : link_open_serial_qt(device, baud, &err);
        if (!t && err == 0) err = LINK_IO_UNKNOWN;
    }
    if (!t) {
        const char* fmt = err == LINK_IO_NO_PORT    ? "NO SERIAL PORT ON: COM%i%s"
                          : err == LINK_IO_NOT_OPEN ? "PORT COM%i NOT OPEN%s"
                          : err == LINK_IO_INVALID  ? "INVALID NUMBER: COM%i%s"
                                                    : "UNKNOWN ERROR ON: COM%i%s";
        char shown[140] = "";
        // The message shows the start of a very long device path; the path itself is never cut.
        if (device[0]) std::snprintf(shown, sizeof shown, " (%.120s)", device);
        reset_rs232(c);
        if (err == LINK_IO_PERMISSION) {
            // Serial devices belong to the group dialout: the log's next line says so,
            // with both paths short enough that the hint is never cut.
            link_format(c->message,
                        "PORT COM%i NOT OPEN (%.80s)\npermission denied on %.80s: add your user to the "
                        "dialout group",
                        com_port, device, device);
        } else {
            link_format(c->message, fmt, com_port, shown);
        }
        link_clear_unit(c);
        return c->status;
    }

    // Whatever the unit (or line noise) left in the queues before we opened is not an answer.
    t->flush();
    c->status = 1;
    c->protocol = LINK_PROTOCOL_RS232;
    c->open = 1;
    c->com_port = com_port;
    c->baud = baud;
    install(std::move(t), c, device);
    link_format(c->message, "ZAZED CONNECTED TO COM%i (%.160s)\nb:%i d:8 s:1 p:none", com_port, device, baud);
    link_clear_unit(c);
    return c->status;
}

int init_tcp(connect_info* c, int tcp_port, const char* server) {
    if (!c) return 0;
    static int next_handle = 0;
    link_private& g = link_globals();
    link_close_transport();
    const char* host = server ? server : "";
    std::string error;
    std::unique_ptr<link_transport> t =
        g.tcp_opener ? g.tcp_opener(host, tcp_port, LINK_TCP_CONNECT_TIMEOUT_MS, &error)
                     : link_open_tcp_qt(host, tcp_port, LINK_TCP_CONNECT_TIMEOUT_MS, &error);
    link_clear_unit(c);
    if (!t) {
        c->status = 0;
        c->protocol = LINK_PROTOCOL_TCP;
        c->open = 0;
        c->server[0] = '\0';
        c->tcp_port = 1;
        link_format(c->message, "%s", "COULD NOT CONNECT TO SERVER");
        return 0;
    }
    c->status = 1;
    c->protocol = LINK_PROTOCOL_TCP;
    c->open = 1;
    link_format(c->server, "%s", host);
    c->tcp_port = tcp_port;
    c->tcp_handle = ++next_handle;
    install(std::move(t), c, "");
    link_format(c->message, "ZAZED CONNECTED TO SERVER\n\"%s\"\nvia PORT:%i", c->server, tcp_port);
    return 1;
}
