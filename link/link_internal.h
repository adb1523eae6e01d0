// State shared by the link's own files: the open transport, the hooks, the clock.
#pragma once

#include "link/link.h"

#include <cstdio>
#include <memory>

struct link_private {
    std::unique_ptr<link_transport> transport;
    connect_info* owner = nullptr; // record the open transport belongs to
    char device[128] = "";         // device path of the open COM port, for messages
    link_ui_hooks hooks;
    std::function<double()> clock;
    link_serial_opener serial_opener;
    link_tcp_opener tcp_opener;
    double late_until = 0.0; // drop input until then: a timed-out answer may still come
};

link_private& link_globals();

// Handles events for up to `seconds` through the hook, or the transport when there is none.
void link_wait(double seconds);

// Forgets the open transport after closing it.
void link_close_transport();

// Sets the fields every open, close and transport failure clears.
void link_clear_unit(connect_info* c);

// printf into a fixed record field.
template <size_t N, class... Args>
void link_format(char (&dst)[N], const char* fmt, Args... args) {
    std::snprintf(dst, N, fmt, args...);
}
