// The real transports: a TCP loopback server and a pseudo-terminal play the unit in the
// same thread, answering from the event loop the waiting transaction runs.
#include "link/link.h"
#include "tests/measure.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <pty.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

void ensure_app() {
    static int argc = 1;
    static char name[] = "test_link";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

Bytes make_frame(int order, uint16_t value, int nwords) {
    Bytes f(FRAME_HEADER_SIZE + 2 * nwords);
    for (int i = 0; i < nwords; i++)
        frame_put_word(&f[FRAME_HEADER_SIZE + 2 * i], static_cast<uint16_t>(500 + i));
    frame_write_header(f.data(), order, value, static_cast<uint16_t>(2 * nwords),
                       crc8_update_stream(CRC8_START, f.data() + FRAME_HEADER_SIZE, 2 * nwords));
    return f;
}

void run_events_for(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

class RealLink : public ::testing::Test {
  protected:
    std::vector<int> dims;
    std::vector<std::string> log;
    bool stop_pending = false;

    void SetUp() override {
        ensure_app();
        link_ui_hooks h;
        h.get_user_event = [this](int* p, int* c) {
            if (!stop_pending) return 0;
            stop_pending = false;
            *p = 1;
            *c = 10;
            return LINK_EVENT_COMMIT;
        };
        h.log_append = [this](const char* s) { log.emplace_back(s); };
        h.dim_link_buttons = [this](int d) { dims.push_back(d); };
        link_set_ui_hooks(h);
        const link_interrupt stop = {1, 10, LINK_STOP, 1};
        link_set_interrupt_table(&stop, 1);
    }
    void TearDown() override {
        init_rs232(&com.connect, 0, 0, 0);
        link_clear_serial_devices();
        link_set_ui_hooks(link_ui_hooks{});
        link_set_interrupt_table(nullptr, 0);
    }
};

// A pseudo-terminal whose master side answers every request like the unit.
struct pty_unit {
    int master = -1;
    int slave = -1;
    char name[128] = "";
    Bytes answer;
    QSocketNotifier* notifier = nullptr;

    bool open() {
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0) return false;
        termios t{};
        tcgetattr(slave, &t);
        cfmakeraw(&t);
        tcsetattr(slave, TCSANOW, &t);
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        notifier = new QSocketNotifier(master, QSocketNotifier::Read);
        QObject::connect(notifier, &QSocketNotifier::activated, [this] {
            uint8_t buf[600];
            if (::read(master, buf, sizeof buf) > 0 && !answer.empty())
                (void)!::write(master, answer.data(), answer.size());
        });
        return true;
    }
    void close_master() {
        delete notifier;
        notifier = nullptr;
        if (master >= 0) ::close(master);
        master = -1;
    }
    ~pty_unit() {
        close_master();
        if (slave >= 0) ::close(slave);
    }
};

// Opens COM9 on `device` as a user without rights beyond its own (nobody, when the
// tests run as root, since root may open anything) in a child process, and returns
// the link's message. Empty when no such user exists.
std::string open_as_plain_user(const char* device) {
    const passwd* nobody = getpwnam("nobody");
    if (getuid() == 0 && !nobody) return "";
    const uid_t uid = nobody ? nobody->pw_uid : 0;
    const gid_t gid = nobody ? nobody->pw_gid : 0;
    int out[2];
    if (pipe(out) != 0) return "";
    const pid_t pid = fork();
    if (pid == 0) {
        ::close(out[0]);
        if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(gid) != 0 || setuid(uid) != 0)) _exit(3);
        link_set_serial_device(9, device);
        init_rs232(&com.connect, 9, 1, 1);
        (void)!::write(out[1], com.connect.message, strlen(com.connect.message));
        _exit(0);
    }
    ::close(out[1]);
    std::string message;
    char buf[256];
    for (ssize_t n; (n = ::read(out[0], buf, sizeof buf)) > 0;) message.append(buf, static_cast<size_t>(n));
    ::close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? message : "child failed";
}

} // namespace

// ---- Pseudo-terminal --------------------------------------------------------------------------

TEST_F(RealLink, PtyExchange) {
    pty_unit unit;
    ASSERT_TRUE(unit.open());
    unit.answer = make_frame(ORDER_POLL, POLL_RECORD, 36);
    link_set_serial_device(9, unit.name);
    ASSERT_EQ(init_rs232(&com.connect, 9, 4, 1), 1) << com.connect.message;
    EXPECT_NE(std::string(com.connect.message).find(unit.name), std::string::npos);
    uint16_t rec[36] = {};
    int n = 0;
    for (int i = 0; i < 20; i++)
        ASSERT_EQ(exchange_frame(&com.connect, ORDER_POLL, POLL_RECORD, nullptr, 0, rec, 36, &n), LINK_OK);
    EXPECT_EQ(n, 36);
    EXPECT_EQ(rec[35], 535);
}

TEST_F(RealLink, PtyLeftoverInputFlushedOnOpen) {
    pty_unit unit;
    ASSERT_TRUE(unit.open());
    // An autosend frame already waiting before the program opened the port.
    const Bytes stale = make_frame(ORDER_POLL, POLL_RECORD, 36);
    ASSERT_EQ(::write(unit.master, stale.data(), stale.size()), static_cast<ssize_t>(stale.size()));
    link_set_serial_device(9, unit.name);
    ASSERT_EQ(init_rs232(&com.connect, 9, 1, 1), 1) << com.connect.message;
    int ticks = 0;
    const int rc = receive_frame(
        &com.connect, [&] { stop_pending = ++ticks >= 3; }, 0.1, nullptr, 0, nullptr);
    EXPECT_EQ(rc, LINK_STOP);
}

TEST_F(RealLink, PtyPeerVanishesWithoutSpinning) {
    pty_unit unit;
    ASSERT_TRUE(unit.open());
    link_set_serial_device(9, unit.name);
    ASSERT_EQ(init_rs232(&com.connect, 9, 4, 1), 1) << com.connect.message;
    unit.close_master();
    const double cpu0 = cpu_seconds();
    run_events_for(500);
    const double cpu = cpu_seconds() - cpu0;
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(dims, std::vector<int>{1});
    EXPECT_NE(std::string(com.connect.message).find("CONNECTION LOST ON: COM9"), std::string::npos)
        << com.connect.message;
    EXPECT_LT(cpu, 0.1) << "CPU seconds in 0.5 s after the peer vanished";
    EXPECT_EQ(exchange_frame(&com.connect, ORDER_POLL, POLL_RECORD, nullptr, 0, nullptr, 0, nullptr),
              LINK_ERR_NO_CONNECTION);
}

TEST_F(RealLink, MissingDevice) {
    link_set_serial_device(9, "/dev/zazed-no-such-port");
    EXPECT_EQ(init_rs232(&com.connect, 9, 1, 1), 0);
    EXPECT_STREQ(com.connect.message, "NO SERIAL PORT ON: COM9 (/dev/zazed-no-such-port)");
}

// ---- Devices the user may not open -----------------------------------------------------------

TEST_F(RealLink, DeviceWithoutRightsGetsTheDialoutHint) {
    pty_unit unit;
    ASSERT_TRUE(unit.open());
    ASSERT_EQ(chmod(unit.name, 0), 0);
    const std::string message = open_as_plain_user(unit.name);
    if (message.empty()) GTEST_SKIP() << "running as root and there is no user nobody to open the device as";
    EXPECT_EQ(message, "PORT COM9 NOT OPEN (" + std::string(unit.name) + ")\npermission denied on " +
                           unit.name + ": add your user to the dialout group");
}

TEST_F(RealLink, BusyDeviceGetsNoHint) {
    // Another program holds the line exclusively: Qt calls that a permission error
    // too, but no group would help.
    pty_unit unit;
    ASSERT_TRUE(unit.open());
    ASSERT_EQ(chmod(unit.name, 0666), 0);
    ASSERT_EQ(ioctl(unit.slave, TIOCEXCL), 0);
    const std::string message = open_as_plain_user(unit.name);
    if (message.empty()) GTEST_SKIP() << "running as root and there is no user nobody to open the device as";
    EXPECT_EQ(message, "PORT COM9 NOT OPEN (" + std::string(unit.name) + ")");
}

// ---- TCP loopback --------------------------------------------------------------------------------

TEST_F(RealLink, TcpExchangeAndAutosend) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    QTcpSocket* peer = nullptr;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        peer = server.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, [&] {
            const QByteArray req = peer->readAll();
            if (req.size() >= 2 && static_cast<uint8_t>(req[1]) == 2) {
                const Bytes a = make_frame(ORDER_READ_RAM, 0, 228);
                peer->write(reinterpret_cast<const char*>(a.data()), static_cast<qint64>(a.size()));
            }
        });
    });
    ASSERT_EQ(init_tcp(&com.connect, server.serverPort(), "127.0.0.1"), 1) << com.connect.message;
    std::vector<uint16_t> para(228);
    int n = 0;
    EXPECT_EQ(exchange_frame(&com.connect, ORDER_READ_RAM, 0, nullptr, 0, para.data(), 228, &n), LINK_OK);
    EXPECT_EQ(n, 228);
    EXPECT_EQ(para[227], 727);

    ASSERT_NE(peer, nullptr);
    QTimer::singleShot(100, [&] {
        const Bytes a = make_frame(ORDER_POLL, POLL_RECORD, 36);
        peer->write(reinterpret_cast<const char*>(a.data()), static_cast<qint64>(a.size()));
    });
    uint16_t rec[36] = {};
    EXPECT_EQ(receive_frame(&com.connect, nullptr, 0.0, rec, 36, &n), LINK_AUTOSEND);
    EXPECT_EQ(rec[0], 500);
}

TEST_F(RealLink, TcpReceiveTimeoutIdlesTheCpu) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    ASSERT_EQ(init_tcp(&com.connect, server.serverPort(), "127.0.0.1"), 1) << com.connect.message;
    const double cpu0 = cpu_seconds();
    const double t0 = link_now();
    EXPECT_EQ(exchange_frame(&com.connect, ORDER_POLL, POLL_RECORD, nullptr, 0, nullptr, 0, nullptr),
              LINK_ERR_RECV_TIMEOUT);
    EXPECT_NEAR(link_now() - t0, 2.0, 0.2);
    EXPECT_LT(cpu_seconds() - cpu0, 0.1);
}

TEST_F(RealLink, TcpRefused) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
    const quint16 port = server.serverPort();
    server.close();
    EXPECT_EQ(init_tcp(&com.connect, port, "127.0.0.1"), 0);
    EXPECT_STREQ(com.connect.message, "COULD NOT CONNECT TO SERVER");
}
