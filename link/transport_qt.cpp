// The real transports: QSerialPort and QTcpSocket, driven from the user-interface thread.
#include "link/transport.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef __linux__
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace {

// Blocks in the event loop until some event was handled (bytes arriving are events) or
// the deadline timer fired. Without an application object there is no event loop, so
// the device is waited on directly.
void wait_events(QIODevice* device, double seconds) {
    const int ms = std::max(1, static_cast<int>(seconds * 1000.0 + 0.5));
    if (!QCoreApplication::instance()) {
        device->waitForReadyRead(ms);
        return;
    }
    QTimer deadline;
    deadline.setSingleShot(true);
    deadline.start(ms);
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

class serial_transport final : public link_transport {
  public:
    int open(const char* device, int baud) {
        port_.setPortName(QString::fromLocal8Bit(device));
        port_.setBaudRate(baud);
        port_.setDataBits(QSerialPort::Data8);
        port_.setParity(QSerialPort::NoParity);
        port_.setStopBits(QSerialPort::OneStop);
        port_.setFlowControl(QSerialPort::NoFlowControl);
        port_.setReadBufferSize(4096);
        if (!port_.open(QIODevice::ReadWrite)) {
            switch (port_.error()) {
            case QSerialPort::DeviceNotFoundError:
                return LINK_IO_NO_PORT;
            case QSerialPort::PermissionError:
#ifdef __linux__
                // Qt says the same of a device that another program holds or has
                // locked; only a device the user may not open is a matter of rights.
                if (::access(device, R_OK | W_OK) != 0 && errno == EACCES) return LINK_IO_PERMISSION;
#endif
                return LINK_IO_NOT_OPEN;
            case QSerialPort::OpenError:
                return LINK_IO_NOT_OPEN;
            default:
                return LINK_IO_UNKNOWN;
            }
        }
        // Pseudo-terminals and some adapters keep no counters; asking them again on every
        // wake-up of a transaction would cost a system call each time for nothing.
        has_counters_ = read_counters(&counters_);
#ifdef __linux__
        termios tio{};
        is_tty_ = tcgetattr(static_cast<int>(port_.handle()), &tio) == 0;
        vmin_ = is_tty_ ? tio.c_cc[VMIN] : -1;
#endif
        // A vanished peer makes QSerialPort report read errors endlessly while the port
        // stays open, at full CPU. The first one closes the port (from the event loop,
        // not inside the notifier that raised it) and is reported once.
        QObject::connect(&port_, &QSerialPort::errorOccurred, &port_, [this](QSerialPort::SerialPortError e) {
            if (dead_ || (e != QSerialPort::ReadError && e != QSerialPort::ResourceError)) return;
            dead_ = true;
            error_ = port_.errorString().toStdString();
            QTimer::singleShot(0, &port_, [this] { port_.close(); });
            if (on_failure) on_failure();
        });
        return 0;
    }

    void close() override {
        port_.close();
    }

    int write(const uint8_t* bytes, int count) override {
        if (dead_ || !port_.isOpen()) return LINK_IO_NOT_OPEN;
#ifdef __linux__
        // A request goes straight to the driver, which has room for any of them:
        // QSerialPort's own buffering arms and disarms a write notifier for every
        // request, two more wake-ups of the event loop per record in RUN.
        if (port_.bytesToWrite() == 0) {
            const ssize_t n = ::write(static_cast<int>(port_.handle()), bytes, static_cast<size_t>(count));
            if (n < 0 && errno != EAGAIN && errno != EINTR) {
                error_ = std::strerror(errno);
                return LINK_IO_UNKNOWN;
            }
            if (n > 0) bytes += n, count -= static_cast<int>(n);
            if (count == 0) return 0;
        }
#endif
        if (port_.write(reinterpret_cast<const char*>(bytes), count) != count) {
            error_ = port_.errorString().toStdString();
            return LINK_IO_UNKNOWN;
        }
        port_.flush();
        return 0;
    }

    int bytes_waiting() override {
        return port_.isOpen() ? static_cast<int>(port_.bytesAvailable()) : 0;
    }

    int read(uint8_t* dst, int max) override {
        return port_.isOpen() ? static_cast<int>(port_.read(reinterpret_cast<char*>(dst), max)) : 0;
    }

    void flush() override {
        if (port_.isOpen()) port_.clear(QSerialPort::AllDirections);
    }

    int output_pending() override {
        return port_.isOpen() ? static_cast<int>(port_.bytesToWrite()) : 0;
    }

    // Qt 6 no longer reports framing, parity or overrun errors, so the driver's error
    // counters are compared instead; ports without counters (pseudo-terminals) report none.
    int line_errors() override {
#ifdef __linux__
        serial_icounter_struct now{};
        if (!has_counters_ || !port_.isOpen() || !read_counters(&now)) return 0;
        int bits = 0;
        if (now.brk != counters_.brk) bits |= LINK_LINE_BREAK;
        if (now.frame != counters_.frame) bits |= LINK_LINE_FRAMING;
        if (now.overrun != counters_.overrun || now.buf_overrun != counters_.buf_overrun)
            bits |= LINK_LINE_OVERRUN;
        if (now.parity != counters_.parity) bits |= LINK_LINE_PARITY;
        counters_ = now;
        return bits;
#else
        return 0;
#endif
    }

    // A terminal in raw mode with VMIN = n and VTIME = 0 reports itself readable only once
    // n bytes are in, so the event loop sleeps through the arrival of a frame instead of
    // waking for every few bytes the driver hands over (about ten times a record at
    // 115200 baud). The deadline of the wait still ends it if the bytes never come.
    void expect_bytes(int count) override {
#ifdef __linux__
        const int vmin = std::clamp(count, 1, 255);
        if (!is_tty_ || vmin == vmin_ || !port_.isOpen()) return;
        // Read afresh: the port's own settings (its baud rate) may have changed since.
        const int fd = static_cast<int>(port_.handle());
        termios tio{};
        if (tcgetattr(fd, &tio) != 0) return;
        tio.c_cc[VMIN] = static_cast<cc_t>(vmin);
        tio.c_cc[VTIME] = 0;
        if (tcsetattr(fd, TCSANOW, &tio) == 0) vmin_ = vmin;
#else
        (void)count;
#endif
    }

    void wait_for_activity(double seconds) override {
        wait_events(&port_, seconds);
    }
    bool failed() override {
        return dead_;
    }
    std::string error_text() override {
        return error_;
    }

  private:
#ifdef __linux__
    bool read_counters(serial_icounter_struct* c) {
        return port_.isOpen() && ioctl(static_cast<int>(port_.handle()), TIOCGICOUNT, c) == 0;
    }
    serial_icounter_struct counters_{};
    bool is_tty_ = false;
    int vmin_ = -1;
#else
    bool read_counters(void*) {
        return false;
    }
    int counters_ = 0;
#endif
    QSerialPort port_;
    bool has_counters_ = false;
    bool dead_ = false;
    std::string error_;
};

class tcp_transport final : public link_transport {
  public:
    bool open(const char* host, int port, int timeout_ms, std::string* error_text) {
        QObject::connect(&socket_, &QTcpSocket::readyRead, &socket_, [this] {
            if (on_data_ready) on_data_ready();
        });
        socket_.connectToHost(QString::fromLocal8Bit(host), static_cast<quint16>(port));
        if (!socket_.waitForConnected(timeout_ms)) {
            if (error_text) *error_text = socket_.errorString().toStdString();
            socket_.abort();
            return false;
        }
        // A server that closes or resets the connection is a port that vanished: the
        // link fails once, at once, instead of a time-out for every later request.
        QObject::connect(&socket_, &QAbstractSocket::disconnected, &socket_, [this] { lost(); });
        QObject::connect(&socket_, &QAbstractSocket::errorOccurred, &socket_,
                         [this](QAbstractSocket::SocketError e) {
                             if (e != QAbstractSocket::SocketTimeoutError &&
                                 socket_.state() != QAbstractSocket::ConnectedState)
                                 lost();
                         });
        return true;
    }

    ~tcp_transport() override {
        // Closing the socket emits its signals; a transport going away has not failed.
        dead_ = true;
        socket_.abort();
    }

    void close() override { socket_.abort(); }

    int write(const uint8_t* bytes, int count) override {
        if (dead_ || socket_.state() != QAbstractSocket::ConnectedState) {
            error_ = socket_.errorString().toStdString();
            return LINK_IO_NOT_OPEN;
        }
        if (socket_.write(reinterpret_cast<const char*>(bytes), count) != count) {
            error_ = socket_.errorString().toStdString();
            return LINK_IO_UNKNOWN;
        }
        socket_.flush();
        return 0;
    }

    int bytes_waiting() override { return static_cast<int>(socket_.bytesAvailable()); }
    int read(uint8_t* dst, int max) override {
        return static_cast<int>(socket_.read(reinterpret_cast<char*>(dst), max));
    }
    void flush() override { socket_.readAll(); }
    int output_pending() override { return static_cast<int>(socket_.bytesToWrite()); }
    int line_errors() override { return 0; }
    void wait_for_activity(double seconds) override { wait_events(&socket_, seconds); }
    bool failed() override { return dead_; }
    std::string error_text() override { return error_; }

  private:
    void lost() {
        if (dead_) return;
        dead_ = true;
        error_ = socket_.errorString().toStdString();
        if (on_failure) on_failure();
    }

    QTcpSocket socket_;
    bool dead_ = false;
    std::string error_;
};

} // namespace

std::unique_ptr<link_transport> link_open_serial_qt(const char* device, int baud, int* error) {
    auto t = std::make_unique<serial_transport>();
    const int rc = t->open(device, baud);
    if (error) *error = rc;
    if (rc < 0) return nullptr;
    return t;
}

std::unique_ptr<link_transport> link_open_tcp_qt(const char* host, int port, int timeout_ms,
                                                 std::string* error_text) {
    auto t = std::make_unique<tcp_transport>();
    if (!t->open(host, port, timeout_ms, error_text)) return nullptr;
    return t;
}
