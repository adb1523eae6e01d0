// The simulator's front ends over TCP loopback and a pseudo-terminal, driven by a
// plain blocking client while the unit runs on its own thread.
#include "sim/sim_layout.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"
#include "tests/measure.h"
#include "tests/qt_core_env.h"
#include "tests/sim/sim_client.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

[[maybe_unused]] ::testing::Environment* const qt_env =
    ::testing::AddGlobalTestEnvironment(new qt_core_environment);

// A unit on its own thread for the length of a test.
struct running_sim {
    sim_server* server = nullptr;
    explicit running_sim(std::vector<const char*> args) {
        args.insert(args.begin(), "kormelan3-sim");
        sim_options o;
        std::string err;
        EXPECT_EQ(sim_options_parse(static_cast<int>(args.size()), args.data(), &o, &err), SIM_OPT_RUN)
            << err;
        EXPECT_EQ(sim_server_start(o, &server, &err), 0) << err;
    }
    ~running_sim() { sim_server_stop(server); }
    int port() const { return sim_server_tcp_port(server); }
    std::string pty() { return sim_server_pty_path(server); }
    sim_stats stats() {
        sim_stats s{};
        sim_server_call(server, [&](sim_service* svc) { s = svc->wire()->proto()->stats; });
        return s;
    }
};

struct fd_guard {
    int fd;
    explicit fd_guard(int f) : fd(f) {}
    ~fd_guard() {
        if (fd >= 0) ::close(fd);
    }
};

// Seconds per poll over `n` polls.
// Median time of one poll: a poll the machine's load delays (the test runs beside
// other tests on a small machine) must not count as the line's pace.
double poll_time(int fd, int n) {
    std::vector<double> t;
    for (int i = 0; i < n; i++) {
        std::vector<uint16_t> r;
        const double t0 = now_s();
        EXPECT_EQ(client_ask(fd, 8, 252, {}, &r, 36), 0);
        t.push_back(now_s() - t0);
    }
    std::nth_element(t.begin(), t.begin() + n / 2, t.end());
    return t[n / 2];
}

} // namespace

// ---- TCP ----

TEST(SimTcp, IdentifiesItselfAndAnswersPolls) {
    running_sim sim({"--tcp", "0", "--unit", "42"});
    ASSERT_GT(sim.port(), 0);
    fd_guard c(client_connect_tcp(sim.port()));
    ASSERT_GE(c.fd, 0);
    frame_in f;
    EXPECT_EQ(client_ask(c.fd, 5, 0, std::vector<uint16_t>(16, 0), nullptr, 0, &f), 0);
    EXPECT_EQ(f.header.value, 42);
    std::vector<uint16_t> w;
    EXPECT_EQ(client_ask(c.fd, 7, 0, {}, &w, 0), 0);
    EXPECT_NE(std::string(reinterpret_cast<const char*>(w.data())).find("V4.04"), std::string::npos);
    EXPECT_EQ(client_ask(c.fd, 8, 252, {}, &w, 36), 0);
    EXPECT_EQ(w.size(), 36u);
}

TEST(SimTcp, AClientThatLeavesIsReplacedByTheNext) {
    running_sim sim({"--tcp", "0"});
    std::vector<uint16_t> r;
    {
        fd_guard first(client_connect_tcp(sim.port()));
        EXPECT_EQ(client_ask(first.fd, 8, 252, {}, &r, 36), 0);
        // A second client waits while the first is served...
        fd_guard second(client_connect_tcp(sim.port()));
        ASSERT_GE(second.fd, 0);
        ASSERT_TRUE(client_send(second.fd, 5, 0, std::vector<uint16_t>(16, 0)));
        frame_rx rx;
        frame_rx_clear(&rx);
        frame_in in;
        EXPECT_EQ(client_recv(second.fd, &rx, &in, 300), CLIENT_TIMEOUT);
        // ...and is served once the first has gone.
        ::close(first.fd);
        first.fd = -1;
        EXPECT_EQ(client_recv(second.fd, &rx, &in, 2000), FRAME_COMPLETE);
        EXPECT_EQ(in.header.order, ORDER_SEARCH);
        EXPECT_EQ(client_ask(second.fd, 8, 252, {}, &r, 36), 0);
    }
    fd_guard third(client_connect_tcp(sim.port()));
    EXPECT_EQ(client_ask(third.fd, 8, 252, {}, &r, 36), 0);
}

TEST(SimTcp, CutClosesTheConnectionInTheMiddleOfAFrame) {
    running_sim sim({"--tcp", "0", "--cut", "1"});
    for (int i = 0; i < 2; i++) {
        fd_guard c(client_connect_tcp(sim.port()));
        ASSERT_TRUE(client_send(c.fd, 8, 252));
        frame_rx rx;
        frame_rx_clear(&rx);
        frame_in in;
        int received = 0;
        EXPECT_EQ(client_recv(c.fd, &rx, &in, 2000, &received), CLIENT_CLOSED);
        EXPECT_GT(received, 0);
        EXPECT_LT(received, 80);
    }
}

TEST(SimTcp, DelayedAnswerArrivesAfterTheTimeOut) {
    running_sim sim({"--tcp", "0", "--delay", "1"});
    fd_guard c(client_connect_tcp(sim.port()));
    const double t0 = now_s();
    std::vector<uint16_t> r;
    EXPECT_EQ(client_ask(c.fd, 8, 252, {}, &r, 36, nullptr, 2000), CLIENT_TIMEOUT);
    frame_rx rx;
    frame_rx_clear(&rx);
    frame_in in;
    EXPECT_EQ(client_recv(c.fd, &rx, &in, 2000), FRAME_COMPLETE);
    EXPECT_GT(now_s() - t0, 2.4);
}

TEST(SimTcp, EachFaultReachesTheClient) {
    struct {
        const char* option;
        int expected;
    } cases[] = {{"--corrupt-crc", FRAME_ERR_CRC},
                 {"--short", FRAME_ERR_FEW_WORDS},
                 {"--reject", FRAME_ERR_ORDER},
                 {"--noise", 0},
                 {"--drop", CLIENT_TIMEOUT}};
    for (const auto& c : cases) {
        running_sim sim({"--tcp", "0", c.option, "1"});
        fd_guard fd(client_connect_tcp(sim.port()));
        std::vector<uint16_t> r;
        EXPECT_EQ(client_ask(fd.fd, 8, 252, {}, &r, 36, nullptr, 500), c.expected) << c.option;
    }
}

TEST(SimTcp, AutosendFramesArriveUnasked) {
    running_sim sim({"--tcp", "0"});
    fd_guard c(client_connect_tcp(sim.port()));
    ASSERT_EQ(client_ask(c.fd, 30, 1, {}, nullptr, 0), 0);
    frame_rx rx;
    frame_rx_clear(&rx);
    int frames = 0;
    const double t0 = now_s();
    while (now_s() - t0 < 1.5) {
        frame_in in;
        if (client_recv(c.fd, &rx, &in, 300) != FRAME_COMPLETE) continue;
        uint16_t rec[36];
        int n = 0;
        EXPECT_EQ(frame_check_autosend(&in, rec, 36, &n), FRAME_AUTOSEND);
        frames++;
    }
    EXPECT_GE(frames, 5); // 5 to 12 objects a second leave channel A
}

TEST(SimTcp, PacedLikeTheSerialLineWhenAsked) {
    running_sim sim({"--tcp", "0", "--baud", "9600", "--pace-tcp"});
    fd_guard c(client_connect_tcp(sim.port()));
    // 8 request bytes and 80 answer bytes, 10 bits each: 91.7 ms.
    EXPECT_NEAR(poll_time(c.fd, 10), 0.0917, 0.012);
}

// ---- pseudo-terminal ----

TEST(SimPty, AnswersAndServesTheNextClientAfterOneCloses) {
    running_sim sim({"--pty"});
    ASSERT_FALSE(sim.pty().empty());
    std::vector<uint16_t> r;
    for (int i = 0; i < 3; i++) {
        fd_guard c(client_open_pty(sim.pty(), 19200));
        ASSERT_GE(c.fd, 0);
        EXPECT_EQ(client_ask(c.fd, 8, 252, {}, &r, 36), 0) << i;
        EXPECT_EQ(client_ask(c.fd, 2, 0, {}, &r, 228), 0) << i;
    }
}

TEST(SimPty, IdleUnitWithoutClientDoesNotSpin) {
    running_sim sim({"--pty"});
    {
        fd_guard c(client_open_pty(sim.pty(), 19200));
        std::vector<uint16_t> r;
        EXPECT_EQ(client_ask(c.fd, 8, 252, {}, &r, 36), 0);
    }
    const double cpu0 = cpu_seconds(), t0 = now_s();
    ::usleep(500000);
    EXPECT_LT((cpu_seconds() - cpu0) / (now_s() - t0), 0.05);
}

TEST(SimPty, PacedAt9600) {
    running_sim sim({"--pty", "--baud", "9600"});
    fd_guard c(client_open_pty(sim.pty(), 9600));
    EXPECT_NEAR(poll_time(c.fd, 10), 0.0917, 0.012);
}

TEST(SimPty, PacedAt115200CloseToTheWireLimit) {
    running_sim sim({"--pty", "--baud", "115200"});
    fd_guard c(client_open_pty(sim.pty(), 115200));
    const double wire = 88.0 * 10 / 115200; // 7.64 ms
    const double t = poll_time(c.fd, 50);
    // The line wakes slightly early to make up for its own wake-up time, never more.
    EXPECT_GE(t, wire * 0.95);
    EXPECT_LT(t, wire * 1.25);
}

TEST(SimPty, ClientAtAnotherRateIsNotUnderstood) {
    running_sim sim({"--pty", "--baud", "9600"});
    fd_guard c(client_open_pty(sim.pty(), 19200));
    std::vector<uint16_t> r;
    EXPECT_EQ(client_ask(c.fd, 8, 252, {}, &r, 36, nullptr, 300), CLIENT_TIMEOUT);
    client_set_baud(c.fd, 9600);
    EXPECT_EQ(client_ask(c.fd, 8, 252, {}, &r, 36), 0);
}

TEST(SimPty, RateChangeTakesEffectAfterItsAcknowledgement) {
    running_sim sim({"--pty", "--baud", "9600"});
    fd_guard c(client_open_pty(sim.pty(), 9600));
    std::vector<uint16_t> r;
    EXPECT_EQ(client_ask(c.fd, 190, 4, {}, &r, 0), 0);
    EXPECT_EQ(client_ask(c.fd, 8, 252, {}, &r, 36, nullptr, 300), CLIENT_TIMEOUT);
    client_set_baud(c.fd, 115200);
    ::tcflush(c.fd, TCIOFLUSH);
    EXPECT_EQ(client_ask(c.fd, 8, 252, {}, &r, 36), 0);
    EXPECT_GE(sim.stats().not_understood, 1);
}

TEST(SimPty, CutHangsUpAndALinkFollowsTheNewDevice) {
    const std::string link = "/tmp/test_sim_io_" + std::to_string(::getpid());
    running_sim sim({"--pty", link.c_str(), "--cut", "1"});
    char target[PATH_MAX] = {};
    ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), sim.pty());
    fd_guard c(client_open_pty(link, 19200));
    ASSERT_TRUE(client_send(c.fd, 8, 252));
    frame_rx rx;
    frame_rx_clear(&rx);
    frame_in in;
    int received = 0;
    EXPECT_EQ(client_recv(c.fd, &rx, &in, 2000, &received), CLIENT_CLOSED);
    EXPECT_LT(received, 80);
    // A new device takes the old one's place and the link follows it.
    bool moved = false;
    for (int i = 0; i < 100 && !moved; i++) {
        char again[PATH_MAX] = {};
        moved = ::readlink(link.c_str(), again, sizeof again - 1) > 0 && std::string(again) != target;
        if (!moved) ::usleep(10000);
    }
    ASSERT_TRUE(moved);
    fd_guard next(client_open_pty(link, 19200));
    EXPECT_GE(next.fd, 0);
    ASSERT_TRUE(client_send(next.fd, 8, 252));
    frame_rx rx2;
    frame_rx_clear(&rx2);
    EXPECT_EQ(client_recv(next.fd, &rx2, &in, 2000), CLIENT_CLOSED); // cut again, every time
}
