// A minimal blocking client of the simulated unit over a file descriptor (TCP socket
// or pseudo-terminal), written with plain POSIX calls so that it tests the simulator's
// front ends without the program's link layer.
#pragma once

#include "link/frame.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

constexpr int CLIENT_TIMEOUT = 0;
constexpr int CLIENT_CLOSED = -100;

inline int client_connect_tcp(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
        ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

inline speed_t client_speed(int baud) {
    switch (baud) {
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    default:
        return B115200;
    }
}

// Sets a serial line (here the pty slave) raw at `baud`, as a COM port client does.
inline int client_set_baud(int fd, int baud) {
    termios t;
    if (::tcgetattr(fd, &t) != 0) return -1;
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, client_speed(baud));
    ::cfsetospeed(&t, client_speed(baud));
    return ::tcsetattr(fd, TCSANOW, &t);
}

inline int client_open_pty(const std::string& path, int baud) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY);
    if (fd < 0) return -1;
    client_set_baud(fd, baud);
    ::tcflush(fd, TCIOFLUSH);
    return fd;
}

inline bool client_send(int fd, int order, uint16_t value, const std::vector<uint16_t>& words = {}) {
    frame_out f;
    const int n = frame_build(&f, order, value, words.data(), static_cast<int>(words.size()));
    return n > 0 && ::write(fd, f.bytes, static_cast<size_t>(n)) == n;
}

// Waits up to `timeout_ms` for a whole frame. Returns what frame_find returned,
// CLIENT_TIMEOUT, or CLIENT_CLOSED when the peer closed (EOF, or EIO on a pty).
// `received` (if given) counts every byte read.
inline int client_recv(int fd, frame_rx* rx, frame_in* out, int timeout_ms, int* received = nullptr) {
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        const int rc = frame_find(rx, out);
        if (rc != FRAME_INCOMPLETE) return rc;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
        if (left <= 0) return CLIENT_TIMEOUT;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0) continue;
        uint8_t buf[1024];
        const int room = std::min<int>(static_cast<int>(sizeof buf), frame_rx_room(rx));
        const ssize_t n = ::read(fd, buf, static_cast<size_t>(room));
        if (n == 0 || (n < 0 && errno == EIO)) return CLIENT_CLOSED;
        if (n < 0) continue;
        if (received) *received += static_cast<int>(n);
        frame_rx_append(rx, buf, static_cast<int>(n));
    }
}

// One request and its answer. Returns frame_check_answer's code, or client_recv's.
inline int client_ask(int fd, int order, uint16_t value, const std::vector<uint16_t>& words,
                      std::vector<uint16_t>* answer, int max_words, frame_in* frame = nullptr,
                      int timeout_ms = 2000) {
    frame_rx rx;
    frame_rx_clear(&rx);
    if (!client_send(fd, order, value, words)) return CLIENT_CLOSED;
    frame_in in;
    const int rc = client_recv(fd, &rx, &in, timeout_ms);
    if (rc != FRAME_COMPLETE) return rc;
    if (frame) *frame = in;
    std::vector<uint16_t> w(256);
    int n = 0;
    const int check = frame_check_answer(&in, order, w.data(), max_words, &n);
    w.resize(static_cast<size_t>(n));
    if (answer) *answer = w;
    return check;
}
