// The line the link talks over: one interface for RS-232, TCP and the test fake.
//
// The transaction (link.h) never knows which kind of line it drives beyond the
// protocol field of the connection record; everything it needs from a port is here.
// Openers are factories rather than methods so that init_rs232 and init_tcp can be
// pointed at fakes or at the in-process simulator.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// Error numbers of a port operation, as the link's messages distinguish them.
constexpr int LINK_IO_INVALID = -2;    // no such port number
constexpr int LINK_IO_NOT_OPEN = -3;   // the port exists but could not be used
constexpr int LINK_IO_PERMISSION = -4; // the user may not open the device (not in its group)
constexpr int LINK_IO_NO_PORT = -6;    // no device behind the port number
constexpr int LINK_IO_UNKNOWN = -99;   // anything else

// Line-error bits returned by line_errors(). Framing, overrun and parity end a
// transaction; a break also ends the wait for autosend frames.
constexpr int LINK_LINE_BREAK = 0x10;
constexpr int LINK_LINE_FRAMING = 0x20;
constexpr int LINK_LINE_OVERRUN = 0x40;
constexpr int LINK_LINE_PARITY = 0x80;

struct link_transport {
    virtual ~link_transport() = default;
    virtual void close() = 0;
    // Hands all bytes to the line; 0, or a negative LINK_IO_ number.
    virtual int write(const uint8_t* bytes, int count) = 0;
    virtual int bytes_waiting() = 0;
    virtual int read(uint8_t* dst, int max) = 0;
    // Discards unread input and output not yet sent.
    virtual void flush() = 0;
    // Bytes written but not yet gone out on the line.
    virtual int output_pending() = 0;
    // LINK_LINE_ bits seen since the previous call (0 where the platform cannot tell).
    virtual int line_errors() = 0;
    // Hint that nothing can be done with fewer than `count` more input bytes, so a wait
    // need not end before they are there (or its deadline passed). Lines that cannot
    // tell ignore it.
    virtual void expect_bytes(int /*count*/) {}
    // Handles events until something happened or `seconds` passed; never spins.
    virtual void wait_for_activity(double seconds) = 0;
    // True once the port died under us (a vanished peer); it stays closed.
    virtual bool failed() = 0;
    // Text of the last failure, for the log window.
    virtual std::string error_text() = 0;

    // Set by the link. on_data_ready runs when bytes arrived (the TCP data callback);
    // on_failure runs once, on the first fatal error of the port.
    std::function<void()> on_data_ready;
    std::function<void()> on_failure;
};

using link_serial_opener =
    std::function<std::unique_ptr<link_transport>(const char* device, int baud, int* error)>;
using link_tcp_opener = std::function<std::unique_ptr<link_transport>(
    const char* host, int port, int timeout_ms, std::string* error_text)>;

// The real transports (QSerialPort and QTcpSocket, on the calling thread).
std::unique_ptr<link_transport> link_open_serial_qt(const char* device, int baud, int* error);
std::unique_ptr<link_transport> link_open_tcp_qt(const char* host, int port, int timeout_ms,
                                                 std::string* error_text);
