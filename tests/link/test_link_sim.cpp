// The program's link layer against the simulated unit: exchange_frame, receive_frame,
// init_tcp and init_rs232 over TCP loopback and over a pseudo-terminal opened by its COM
// number, with every fault the simulator injects. The unit runs on its own thread, or as
// the executable in a child process where the test kills it or measures the program's
// CPU alone.
#include "link/link.h"
#include "link/orders.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"
#include "tests/link/sim_process.h"
#include "tests/measure.h"
#include "tests/qt_core_env.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int COM = 7; // the COM number the pseudo-terminal is opened as
constexpr int STOP_PANEL = 1;
constexpr int STOP_CONTROL = 10;

[[maybe_unused]] ::testing::Environment* const qt_env =
    ::testing::AddGlobalTestEnvironment(new qt_core_environment);

void run_events_for(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

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
    running_sim(const running_sim&) = delete;
    running_sim& operator=(const running_sim&) = delete;

    int port() const { return sim_server_tcp_port(server); }
    // The current device: a cut connection replaces it with a new one.
    std::string pty() { return sim_server_pty_path(server); }
    long fault_count(sim_fault f) {
        long n = 0;
        sim_server_call(server, [&](sim_service* s) { n = s->wire()->proto()->faults.count[f]; });
        return n;
    }
    void set_fault(sim_fault f, double p) {
        sim_server_call(server, [&](sim_service* s) { s->wire()->proto()->faults.p[f] = p; });
    }
};

class LinkSim : public ::testing::Test {
  protected:
    std::vector<int> dims;
    std::vector<std::string> log;
    bool stop_pending = false;
    uint16_t rec[256] = {};
    int nrec = 0;

    void SetUp() override {
        link_ui_hooks h;
        // As the program's user-interface layer does, fetching an event handles the
        // pending ones first.
        h.get_user_event = [this](int* p, int* c) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            if (!stop_pending) return 0;
            stop_pending = false;
            *p = STOP_PANEL;
            *c = STOP_CONTROL;
            return LINK_EVENT_COMMIT;
        };
        h.log_append = [this](const char* s) { log.emplace_back(s); };
        h.dim_link_buttons = [this](int d) { dims.push_back(d); };
        link_set_ui_hooks(h);
        const link_interrupt stop = {STOP_PANEL, STOP_CONTROL, LINK_STOP, 1};
        link_set_interrupt_table(&stop, 1);
    }
    void TearDown() override {
        init_rs232(&com.connect, 0, 0, 0);
        link_clear_serial_devices();
        link_set_ui_hooks(link_ui_hooks{});
        link_set_interrupt_table(nullptr, 0);
    }

    int open_pty(const std::string& path, int baud_index) {
        link_set_serial_device(COM, path.c_str());
        return init_rs232(&com.connect, COM, baud_index, 1);
    }
    int poll() {
        nrec = 0;
        return exchange_frame(&com.connect, ORDER_POLL, POLL_RECORD, nullptr, 0, rec, 36, &nrec);
    }
    int ask(int order, int value, const std::vector<uint16_t>& words, std::vector<uint16_t>* answer,
            int max_answer) {
        answer->assign(256, 0);
        int n = 0;
        const int rc = exchange_frame(&com.connect, order, value, words.data(),
                                      static_cast<int>(words.size()), answer->data(), max_answer, &n);
        answer->resize(static_cast<size_t>(n));
        return rc;
    }
    // Waits for one autosend frame; gives up with LINK_STOP after `seconds`.
    int autosend_frame(double seconds) {
        int ticks = 0;
        const double interval = 0.1;
        return receive_frame(
            &com.connect, [&] { stop_pending = ++ticks * interval >= seconds; }, interval, rec, 36, &nrec);
    }
};

// ---- TCP: orders ---------------------------------------------------------------------------------

TEST_F(LinkSim, TcpPollsReturnTheRecord) {
    running_sim sim({"--tcp", "0"});
    ASSERT_EQ(init_tcp(&com.connect, sim.port(), "127.0.0.1"), 1) << com.connect.message;
    for (int i = 0; i < 50; i++) {
        ASSERT_EQ(poll(), LINK_OK) << i;
        ASSERT_EQ(nrec, 36);
    }
    EXPECT_EQ(com.data_in.header.order, ORDER_POLL);
    EXPECT_NE(rec[32], 0) << "cycle time in word 32";
}

TEST_F(LinkSim, TcpParametersWriteStoreAndLoad) {
    running_sim sim({"--tcp", "0"});
    ASSERT_EQ(init_tcp(&com.connect, sim.port(), "127.0.0.1"), 1) << com.connect.message;
    std::vector<uint16_t> para, lo, hi, back;
    ASSERT_EQ(ask(ORDER_READ_RAM, 0, {}, &para, 228), LINK_OK);
    ASSERT_EQ(para.size(), 228u);
    EXPECT_EQ(com.data_in.header.value, 0) << "plausibility errors of the unit's own set";
    ASSERT_EQ(ask(ORDER_LIMITS, LIMITS_MIN, {}, &lo, 228), LINK_OK);
    ASSERT_EQ(ask(ORDER_LIMITS, LIMITS_MAX, {}, &hi, 228), LINK_OK);

    // A field with a small range: the analog output shift of row 0.
    const int w = 199;
    ASSERT_LT(static_cast<int16_t>(hi[w]), 100);
    std::vector<uint16_t> changed = para;
    changed[w] = static_cast<uint16_t>(static_cast<int16_t>(hi[w]) - 1);
    ASSERT_NE(changed[w], para[w]);
    EXPECT_EQ(ask(ORDER_WRITE_RAM, 0, changed, &back, 0), LINK_OK);
    EXPECT_EQ(com.data_in.header.value, 0);
    ASSERT_EQ(ask(ORDER_READ_RAM, 0, {}, &back, 228), LINK_OK);
    EXPECT_EQ(back, changed);

    // Outside the limits: refused, counted in the answer's value, the old value kept.
    std::vector<uint16_t> bad = changed;
    bad[w] = static_cast<uint16_t>(static_cast<int16_t>(hi[w]) + 1);
    EXPECT_EQ(ask(ORDER_WRITE_RAM, 0, bad, &back, 0), LINK_OK);
    EXPECT_EQ(com.data_in.header.value, 1);
    ASSERT_EQ(ask(ORDER_READ_RAM, 0, {}, &back, 228), LINK_OK);
    EXPECT_EQ(back[w], changed[w]);

    // Store, change RAM again, load: RAM holds the stored set.
    EXPECT_EQ(ask(ORDER_STORE_ROM, 0, {}, &back, 0), LINK_OK);
    EXPECT_EQ(ask(ORDER_WRITE_RAM, 0, para, &back, 0), LINK_OK);
    EXPECT_EQ(ask(ORDER_LOAD_ROM, 0, {}, &back, 0), LINK_OK);
    EXPECT_EQ(com.data_in.header.value, 0);
    ASSERT_EQ(ask(ORDER_READ_RAM, 0, {}, &back, 228), LINK_OK);
    EXPECT_EQ(back, changed);
}

TEST_F(LinkSim, TcpUnknownOrderAndBadArgumentsAreRejected) {
    running_sim sim({"--tcp", "0"});
    ASSERT_EQ(init_tcp(&com.connect, sim.port(), "127.0.0.1"), 1) << com.connect.message;
    std::vector<uint16_t> a;
    EXPECT_EQ(ask(77, 0, {}, &a, 0), LINK_ERR_ORDER);
    EXPECT_EQ(ask(ORDER_RESET, 7, {}, &a, 0), LINK_ERR_ORDER);
    EXPECT_EQ(ask(ORDER_POLL, POLL_RECORD, {}, &a, 36), LINK_OK) << "the link goes on after a rejection";
}

TEST_F(LinkSim, TcpIdentificationAndStatusAnswers) {
    running_sim sim({"--tcp", "0", "--unit", "12"});
    ASSERT_EQ(init_tcp(&com.connect, sim.port(), "127.0.0.1"), 1) << com.connect.message;
    std::vector<uint16_t> a;
    EXPECT_EQ(ask(ORDER_SEARCH, 0, std::vector<uint16_t>(16, 0), &a, 0), LINK_OK);
    EXPECT_EQ(com.data_in.header.value, 12);
    ASSERT_EQ(ask(ORDER_VERSION, 0, {}, &a, 0), LINK_OK);
    a.push_back(0);
    EXPECT_NE(std::string(reinterpret_cast<const char*>(a.data())).find("V4.04"), std::string::npos);
    // Order 8 value 3: result 0 with no sequence ready, else 3, 4 or 5 for A, B, both.
    const int rc = ask(ORDER_POLL, POLL_OSCI_STATUS, {}, &a, 36);
    EXPECT_TRUE(rc == LINK_OK || (rc >= LINK_STATUS_1 && rc <= LINK_STATUS_3)) << rc;
    EXPECT_EQ(rc == LINK_OK ? 0 : rc - 2, com.data_in.header.value);
}

TEST_F(LinkSim, TcpAutosendFramesComeThroughReceiveFrame) {
    running_sim sim({"--tcp", "0"});
    ASSERT_EQ(init_tcp(&com.connect, sim.port(), "127.0.0.1"), 1) << com.connect.message;
    std::vector<uint16_t> a;
    ASSERT_EQ(ask(ORDER_AUTOSEND, AUTOSEND_ON, {}, &a, 0), LINK_OK);
    for (int i = 0; i < 3; i++) {
        ASSERT_EQ(autosend_frame(5.0), LINK_AUTOSEND) << i;
        EXPECT_EQ(nrec, 36);
        EXPECT_EQ(com.exch_active, 0);
    }
}

// ---- TCP: faults -----------------------------------------------------------------------------------

struct fault_case {
    const char* option;
    sim_fault fault;
    int expected;
};

TEST_F(LinkSim, TcpEachFaultGivesItsCodeAndTheLinkRecovers) {
    const fault_case cases[] = {
        {"--drop", SIM_FAULT_DROP, LINK_ERR_RECV_TIMEOUT},
        {"--corrupt-crc", SIM_FAULT_CORRUPT, LINK_ERR_CRC},
        {"--noise", SIM_FAULT_NOISE, LINK_OK},
        {"--delay", SIM_FAULT_DELAY, LINK_ERR_RECV_TIMEOUT},
        {"--short", SIM_FAULT_SHORT, LINK_ERR_FEW_WORDS},
        {"--reject", SIM_FAULT_REJECT, LINK_ERR_ORDER},
    };
    for (const fault_case& c : cases) {
        running_sim sim({"--tcp", "0", "--seed", "11", c.option, "1"});
        ASSERT_EQ(init_tcp(&com.connect, sim.port(), "127.0.0.1"), 1) << com.connect.message;
        const double t0 = now_s();
        EXPECT_EQ(poll(), c.expected) << c.option;
        if (c.expected == LINK_ERR_RECV_TIMEOUT) {
            EXPECT_NEAR(now_s() - t0, 2.0, 0.3) << c.option;
        }
        if (c.fault == SIM_FAULT_SHORT) {
            EXPECT_EQ(nrec, 18);
        }
        EXPECT_EQ(sim.fault_count(c.fault), 1) << c.option;
        sim.set_fault(c.fault, 0.0);
        EXPECT_EQ(poll(), LINK_OK) << "after " << c.option;
        EXPECT_EQ(poll(), LINK_OK) << "after " << c.option;
        EXPECT_EQ(com.exch_active, 0);
    }
}

// A mix of the faults that answer at once: every outcome is one of their codes, and the
// link counts exactly the corrupted frames the unit sent.
TEST_F(LinkSim, TcpSeededFaultMix) {
    running_sim sim({"--tcp", "0", "--seed", "7", "--corrupt-crc", "0.2", "--noise", "0.3", "--short", "0.2",
                     "--reject", "0.2"});
    ASSERT_EQ(init_tcp(&com.connect, sim.port(), "127.0.0.1"), 1) << com.connect.message;
    std::map<int, int> seen;
    for (int i = 0; i < 60; i++) seen[poll()]++;
    for (const auto& [code, n] : seen)
        EXPECT_TRUE(code == LINK_OK || code == LINK_ERR_CRC || code == LINK_ERR_FEW_WORDS ||
                    code == LINK_ERR_ORDER)
            << code << " x" << n;
    EXPECT_EQ(seen[LINK_ERR_CRC], sim.fault_count(SIM_FAULT_CORRUPT));
    EXPECT_LE(seen[LINK_ERR_ORDER], sim.fault_count(SIM_FAULT_REJECT));
    EXPECT_GT(seen[LINK_OK], 0);
    EXPECT_GT(seen[LINK_ERR_FEW_WORDS], 0);
    EXPECT_GT(sim.fault_count(SIM_FAULT_NOISE), 0);
}

// Dropped answers with a fixed seed: each costs one time-out, and the next answer is
// taken as if nothing had happened.
TEST_F(LinkSim, TcpSeededDropsTimeOutAndRecover) {
    running_sim sim({"--tcp", "0", "--seed", "3", "--drop", "0.4"});
    ASSERT_EQ(init_tcp(&com.connect, sim.port(), "127.0.0.1"), 1) << com.connect.message;
    std::vector<int> results;
    for (int i = 0; i < 6; i++) results.push_back(poll());
    int timeouts = 0;
    bool recovered = false;
    for (size_t i = 0; i < results.size(); i++) {
        EXPECT_TRUE(results[i] == LINK_OK || results[i] == LINK_ERR_RECV_TIMEOUT) << results[i];
        if (results[i] == LINK_ERR_RECV_TIMEOUT) timeouts++;
        if (i > 0 && results[i - 1] == LINK_ERR_RECV_TIMEOUT && results[i] == LINK_OK) recovered = true;
    }
    EXPECT_EQ(timeouts, sim.fault_count(SIM_FAULT_DROP));
    EXPECT_GT(timeouts, 0);
    EXPECT_TRUE(recovered);
    EXPECT_EQ(com.connect.status, 1);
}

// A block answer that comes after its request timed out, while the next block
// is asked for: answers carry no number of their request, and the late one was
// taken as the next block's. It is now dropped, over TCP and over the serial line.
TEST_F(LinkSim, LateAnswerIsNotTakenAsTheNextOne) {
    for (const bool pty : {false, true}) {
        running_sim sim(pty ? std::vector<const char*>{"--pty", "--baud", "115200"}
                            : std::vector<const char*>{"--tcp", "0"});
        ASSERT_EQ(pty ? open_pty(sim.pty(), 4) : init_tcp(&com.connect, sim.port(), "127.0.0.1"), 1)
            << com.connect.message;
        const std::vector<uint16_t> wanted = {256};
        std::vector<uint16_t> info, table;
        ASSERT_EQ(ask(ORDER_LIN_READ, LIN_INFO_BLOCK, wanted, &info, 256), LINK_OK);
        ASSERT_EQ(ask(ORDER_LIN_READ, LIN_INFO_BLOCK + 0x100, wanted, &table, 256), LINK_OK);
        ASSERT_NE(info, table);

        sim.set_fault(SIM_FAULT_DELAY, 1.0);
        std::vector<uint16_t> answer;
        EXPECT_EQ(ask(ORDER_LIN_READ, LIN_INFO_BLOCK, wanted, &answer, 256), LINK_ERR_RECV_TIMEOUT) << pty;
        sim.set_fault(SIM_FAULT_DELAY, 0.0);
        EXPECT_EQ(ask(ORDER_LIN_READ, LIN_INFO_BLOCK + 0x100, wanted, &answer, 256), LINK_OK) << pty;
        EXPECT_EQ(answer, table) << (pty ? "pty" : "tcp") << ": the late answer was taken";
        EXPECT_EQ(ask(ORDER_LIN_READ, LIN_INFO_BLOCK, wanted, &answer, 256), LINK_OK) << pty;
        EXPECT_EQ(answer, info) << pty;
        init_rs232(&com.connect, 0, 0, 0);
    }
}

// The wait for a late answer belongs to the line it was asked on: a line opened
// anew after a time-out sends its first request at once.
TEST_F(LinkSim, NewLineDoesNotWaitForTheOldLinesLateAnswer) {
    running_sim sim({"--tcp", "0"});
    ASSERT_EQ(init_tcp(&com.connect, sim.port(), "127.0.0.1"), 1) << com.connect.message;
    const std::vector<uint16_t> wanted = {256};
    std::vector<uint16_t> answer;
    sim.set_fault(SIM_FAULT_DELAY, 1.0);
    EXPECT_EQ(ask(ORDER_LIN_READ, LIN_INFO_BLOCK, wanted, &answer, 256), LINK_ERR_RECV_TIMEOUT);
    sim.set_fault(SIM_FAULT_DELAY, 0.0);
    ASSERT_EQ(init_tcp(&com.connect, sim.port(), "127.0.0.1"), 1) << com.connect.message;
    const double t0 = now_s();
    EXPECT_EQ(ask(ORDER_LIN_READ, LIN_INFO_BLOCK, wanted, &answer, 256), LINK_OK);
    EXPECT_LT(now_s() - t0, 0.5);
    init_rs232(&com.connect, 0, 0, 0);
}

// The server closes the connection in the middle of an answer. The closed socket fails
// the link at once, reported once, instead of a time-out per transaction; the link is
// then opened again.
TEST_F(LinkSim, TcpCutConnectionDropsTheLinkOnceWithoutWaiting) {
    running_sim sim({"--tcp", "0", "--cut", "1"});
    ASSERT_EQ(init_tcp(&com.connect, sim.port(), "127.0.0.1"), 1) << com.connect.message;
    const double t0 = now_s();
    EXPECT_EQ(poll(), LINK_ERR_NO_CONNECTION);
    EXPECT_LT(now_s() - t0, 1.0) << "noticed without waiting for the time-out";
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_STREQ(com.connect.message, "CONNECTION TO SERVER LOST");
    EXPECT_EQ(poll(), LINK_ERR_NO_CONNECTION);
    run_events_for(100);
    EXPECT_EQ(dims, std::vector<int>{1});
    sim.set_fault(SIM_FAULT_CUT, 0.0);
    ASSERT_EQ(init_tcp(&com.connect, sim.port(), "127.0.0.1"), 1) << com.connect.message;
    EXPECT_EQ(poll(), LINK_OK);
}

// ---- Pseudo-terminal ---------------------------------------------------------------------------

TEST_F(LinkSim, PtyPollsAndParametersAt115200) {
    running_sim sim({"--pty", "--baud", "115200"});
    ASSERT_EQ(open_pty(sim.pty(), 4), 1) << com.connect.message;
    EXPECT_NE(std::string(com.connect.message).find(sim.pty()), std::string::npos) << com.connect.message;
    for (int i = 0; i < 20; i++) ASSERT_EQ(poll(), LINK_OK) << i;
    EXPECT_EQ(nrec, 36);
    std::vector<uint16_t> para, back;
    ASSERT_EQ(ask(ORDER_READ_RAM, 0, {}, &para, 228), LINK_OK);
    ASSERT_EQ(para.size(), 228u);
    EXPECT_EQ(ask(ORDER_WRITE_RAM, 0, para, &back, 0), LINK_OK);
    EXPECT_EQ(com.data_in.header.value, 0);
    EXPECT_EQ(ask(77, 0, {}, &back, 0), LINK_ERR_ORDER);
}

TEST_F(LinkSim, PtyEachFaultGivesItsCodeAndTheLinkRecovers) {
    const fault_case cases[] = {
        {"--drop", SIM_FAULT_DROP, LINK_ERR_RECV_TIMEOUT},
        {"--corrupt-crc", SIM_FAULT_CORRUPT, LINK_ERR_CRC},
        {"--noise", SIM_FAULT_NOISE, LINK_OK},
        {"--delay", SIM_FAULT_DELAY, LINK_ERR_RECV_TIMEOUT},
        {"--short", SIM_FAULT_SHORT, LINK_ERR_FEW_WORDS},
        {"--reject", SIM_FAULT_REJECT, LINK_ERR_ORDER},
    };
    for (const fault_case& c : cases) {
        running_sim sim({"--pty", "--baud", "57600", "--seed", "11", c.option, "1"});
        ASSERT_EQ(open_pty(sim.pty(), 3), 1) << com.connect.message;
        EXPECT_EQ(poll(), c.expected) << c.option;
        EXPECT_EQ(sim.fault_count(c.fault), 1) << c.option;
        sim.set_fault(c.fault, 0.0);
        EXPECT_EQ(poll(), LINK_OK) << "after " << c.option;
        EXPECT_EQ(poll(), LINK_OK) << "after " << c.option;
    }
}

// The device disappears in the middle of an answer, as when an adapter is pulled: the
// link fails at once, reports it once, and works again on the device that replaces it.
TEST_F(LinkSim, PtyCutDropsTheLinkOnceAndReopens) {
    running_sim sim({"--pty", "--seed", "2", "--cut", "1"});
    const std::string first = sim.pty();
    ASSERT_EQ(open_pty(first, 1), 1) << com.connect.message;
    const double t0 = now_s();
    EXPECT_EQ(poll(), LINK_ERR_NO_CONNECTION);
    EXPECT_LT(now_s() - t0, 1.0) << "noticed without waiting for the time-out";
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(com.connect.com_port, 1);
    EXPECT_EQ(com.connect.baud, 19200);
    run_events_for(100);
    EXPECT_EQ(dims, std::vector<int>{1});
    EXPECT_NE(std::string(com.connect.message).find("CONNECTION LOST ON: COM7"), std::string::npos)
        << com.connect.message;
    sim.set_fault(SIM_FAULT_CUT, 0.0);
    // The unit makes its new device on its own thread, which on a busy machine can take
    // a while after the link has noticed the cut (and the kernel may give the new device
    // the old name): the link reopens on whatever the unit offers until a poll works.
    int rc = LINK_ERR_NO_CONNECTION;
    for (double t1 = now_s() + 3.0; rc != LINK_OK && now_s() < t1;) {
        run_events_for(50);
        if (open_pty(sim.pty(), 1) == 1) rc = poll();
    }
    EXPECT_EQ(rc, LINK_OK) << com.connect.message;
}

TEST_F(LinkSim, PtyAutosendFramesComeThroughReceiveFrame) {
    running_sim sim({"--pty", "--baud", "38400"});
    ASSERT_EQ(open_pty(sim.pty(), 2), 1) << com.connect.message;
    std::vector<uint16_t> a;
    ASSERT_EQ(ask(ORDER_AUTOSEND, AUTOSEND_ON, {}, &a, 0), LINK_OK);
    for (int i = 0; i < 3; i++) {
        ASSERT_EQ(autosend_frame(5.0), LINK_AUTOSEND) << i;
        EXPECT_EQ(nrec, 36);
    }
}

// A unit at 9600 does not understand a port at 19200; order 190 moves it to 115200, after
// which the port must be reopened at that rate.
TEST_F(LinkSim, PtyBaudMismatchAndRateChange) {
    running_sim sim({"--pty", "--baud", "9600"});
    ASSERT_EQ(open_pty(sim.pty(), 1), 1) << com.connect.message;
    EXPECT_EQ(poll(), LINK_ERR_RECV_TIMEOUT);
    ASSERT_EQ(open_pty(sim.pty(), 0), 1) << com.connect.message;
    EXPECT_EQ(poll(), LINK_OK);
    std::vector<uint16_t> a;
    EXPECT_EQ(ask(ORDER_BAUD, 4, {}, &a, 0), LINK_OK);
    EXPECT_EQ(poll(), LINK_ERR_RECV_TIMEOUT);
    ASSERT_EQ(open_pty(sim.pty(), 4), 1) << com.connect.message;
    EXPECT_EQ(com.connect.baud, 115200);
    for (int i = 0; i < 5; i++) EXPECT_EQ(poll(), LINK_OK) << i;
}

// ---- The simulator as a process ------------------------------------------------------------------

TEST_F(LinkSim, PtyKilledSimulatorFailsTheLinkOnceWithoutSpinning) {
    sim_process sim;
    ASSERT_TRUE(sim.start(ZAZED_SIM_EXE, {"--pty"})) << sim.first;
    ASSERT_EQ(open_pty(sim.announced(), 4), 1) << com.connect.message;
    ASSERT_EQ(poll(), LINK_OK);
    dims.clear();
    sim.kill_now();
    run_events_for(200);
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(dims, std::vector<int>{1});
    int lost = 0;
    for (const std::string& l : log) lost += l.find("CONNECTION LOST") != std::string::npos;
    EXPECT_EQ(lost, 1);
    const double cpu0 = cpu_seconds();
    run_events_for(500);
    const double cpu = cpu_seconds() - cpu0;
    std::printf("CPU after the simulator was killed: %.1f ms in 0.5 s\n", cpu * 1e3);
    EXPECT_LT(cpu, 0.05);
    EXPECT_EQ(dims, std::vector<int>{1});
    EXPECT_EQ(poll(), LINK_ERR_NO_CONNECTION);
}

// The server process dies between two transactions: the link notices the closed
// connection while idle, as the serial link notices a vanished port.
TEST_F(LinkSim, TcpKilledServerBetweenTransactionsFailsTheLinkOnce) {
    sim_process sim;
    ASSERT_TRUE(sim.start(ZAZED_SIM_EXE, {"--tcp", "0"})) << sim.first;
    ASSERT_EQ(init_tcp(&com.connect, std::stoi(sim.announced()), "127.0.0.1"), 1) << com.connect.message;
    ASSERT_EQ(poll(), LINK_OK);
    dims.clear();
    log.clear();
    sim.kill_now();
    run_events_for(200);
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(dims, std::vector<int>{1});
    int lost = 0;
    for (const std::string& l : log) lost += l.find("CONNECTION TO SERVER LOST") != std::string::npos;
    EXPECT_EQ(lost, 1);
    const double t0 = now_s();
    EXPECT_EQ(poll(), LINK_ERR_NO_CONNECTION);
    EXPECT_LT(now_s() - t0, 0.1);
    run_events_for(100);
    EXPECT_EQ(dims, std::vector<int>{1}) << "reported once";
}

// The server dies while the link waits for autosend frames that do not come: the wait
// ends with the lost link, not only when the user stops it.
TEST_F(LinkSim, TcpKilledServerEndsTheAutosendWait) {
    sim_process sim;
    ASSERT_TRUE(sim.start(ZAZED_SIM_EXE, {"--tcp", "0"})) << sim.first;
    ASSERT_EQ(init_tcp(&com.connect, std::stoi(sim.announced()), "127.0.0.1"), 1) << com.connect.message;
    ASSERT_EQ(poll(), LINK_OK);
    QTimer::singleShot(300, [&sim] { sim.kill_now(); });
    const double t0 = now_s();
    EXPECT_EQ(autosend_frame(5.0), LINK_ERR_NO_CONNECTION);
    EXPECT_LT(now_s() - t0, 1.5);
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(com.exch_active, 0);
}

// A RUN-like loop polls as fast as a 9600-baud line answers (about 11 records a second):
// the waiting must leave the CPU nearly idle.
TEST_F(LinkSim, PtyPollingAt9600LeavesTheCpuIdle) {
    sim_process sim;
    ASSERT_TRUE(sim.start(ZAZED_SIM_EXE, {"--pty", "--baud", "9600"})) << sim.first;
    ASSERT_EQ(open_pty(sim.announced(), 0), 1) << com.connect.message;
    ASSERT_EQ(poll(), LINK_OK);
    const double cpu0 = cpu_seconds();
    const double t0 = now_s();
    int polls = 0;
    while (now_s() - t0 < 2.0) {
        ASSERT_EQ(poll(), LINK_OK);
        polls++;
    }
    const double wall = now_s() - t0;
    const double share = (cpu_seconds() - cpu0) / wall;
    std::printf("9600 baud: %d polls in %.2f s, CPU %.2f %% of one core\n", polls, wall, share * 100);
    EXPECT_NEAR(polls / wall, 9600.0 / 880.0, 1.5);
    EXPECT_LT(share, 0.15);
}

} // namespace
