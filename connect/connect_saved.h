// The connect panel's part of the program settings file as plain values: the
// baud rate, the COM-port list, the TCP port and the address list, read from
// a store without a panel, so that any file can be tried on them alone.
#pragma once

#include "support/inifile.h"

#include <string>
#include <vector>

constexpr char CONNECT_RS232_SECTION[] = "RS232 connection data";
constexpr char CONNECT_TCP_SECTION[] = "TCP/IP connection data";
constexpr int CONNECT_BAUD_RATES[5] = {9600, 19200, 38400, 57600, 115200};

struct connect_saved {
    bool rs232 = false;             // the RS-232 section is there: the items below it count
    int baud_index = -1;            // -1: no "Baudrate" number; a rate not offered gives 4 (115200)
    std::vector<std::string> ports; // "Port 1" ... as listed, at most CONNECT_LIST_MAX
    bool tcp = false;               // the TCP section is there
    bool has_tcp_port = false;
    int tcp_port = 0;                   // "Portnumber" as written, when it is a number
    std::vector<std::string> addresses; // "Addr. 1" ..., at most CONNECT_LIST_MAX
};

// Reads both sections. A list is taken from the keys "<prefix> 1" upward;
// every item of its section but one (the baud rate or the port number) may be
// an entry, and entries are cut to 127 characters. A section that holds no
// more than one item gives the lists' entries at start-up instead ("COM1",
// "COM2"; "192.168.0.10", "192.168.0.11"). Garbage in an item leaves its
// value unset; nothing here fails.
void connect_settings_read(IniText store, connect_saved* out);
