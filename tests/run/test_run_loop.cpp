// The RUN loop against the simulated unit over TCP loopback: polling, STOP,
// and the buttons served inside the loop.
#include "run_fixture.h"

#include "link/link.h"
#include "sim/sim_proto.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"
#include "tests/measure.h"

#include <QEventLoop>
#include <QTimer>
// The picture cache's size in use, which Qt exports for its own tests.
#define Q_TEST_QPIXMAPCACHE
#include <QPixmapCache>

#include <algorithm>
#include <cstdio>

namespace {

// Presses STOP `ms` from now unless the test has ended by then.
struct stop_fallback {
    QTimer timer;
    explicit stop_fallback(int ms) {
        timer.setSingleShot(true);
        QObject::connect(&timer, &QTimer::timeout,
                         [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
        timer.start(ms);
    }
};

} // namespace

// ---- polling and STOP ------------------------------------------------------------------------

TEST_F(RunSimTest, PollsUntilStopAndRestoresTheButtons) {
    const long before = runs.run_records;
    int red = 0, dimmed = 0;
    at(300, [&] {
        red = attr(mpanel, MPANEL_CBTN_RUN, ATTR_CMD_BUTTON_COLOR);
        dimmed = attr(mpanel, MPANEL_CBTN_VIDEO, ATTR_DIMMED);
    });
    run_for(700);
    EXPECT_GT(runs.run_records - before, 20);
    EXPECT_EQ(red, 0xFF0000);
    EXPECT_EQ(dimmed, 1);
    EXPECT_EQ(runs.run, 0);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Stopped.");
    EXPECT_EQ(attr(mpanel, MPANEL_CBTN_RUN, ATTR_DIMMED), 0);
    EXPECT_EQ(attr(mpanel, MPANEL_CBTN_RUN, ATTR_CMD_BUTTON_COLOR), 0xE0E0E0);
    EXPECT_EQ(attr(mpanel, MPANEL_CBTN_VIDEO, ATTR_DIMMED), 0);
    // The last record was shown: the unit's cycle time gives the frequency.
    double f = 0.0;
    GetCtrlVal(tab7, TAB7_NUM_FREQUENCY, &f);
    EXPECT_GT(f, 0.0);
}

TEST_F(RunSimTest, FrameRateTextAfterTwoSeconds) {
    std::string rate;
    at(2400, [&] { rate = text(graph1, GRAPH1_STRING_STATUS); });
    run_for(2600);
    ASSERT_EQ(rate.rfind("Reading ", 0), 0u) << rate;
    EXPECT_NE(rate, "Reading 0 frames per second.");
    EXPECT_GT(std::stod(rate.substr(8)), 10.0) << rate;
}

// The server goes away during RUN: the closed connection ends the loop at once with
// the no-connection text, and the link is shown closed.
TEST_F(RunSimTest, LostLinkEndsTheLoopWithItsText) {
    double stopped_at = 0.0;
    at(200, [&] {
        sim_server_stop(server);
        server = nullptr;
        stopped_at = now_s();
    });
    stop_fallback fallback(3000); // only if the loss goes unnoticed
    press(mpanel, MPANEL_CBTN_RUN);
    EXPECT_LT(now_s() - stopped_at, 1.0) << "noticed without waiting for the time-out";
    EXPECT_EQ(runs.run, 0);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "No connection established with control unit.");
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_NE(text(tab1, TAB1_TEXT_CONNECTSTAT).find("CONNECTION TO SERVER LOST"), std::string::npos);
    EXPECT_EQ(attr(mpanel, MPANEL_CBTN_SEND, ATTR_DIMMED), 1);
    double bar = -1.0;
    GetCtrlVal(graph1, GRAPH1_BAR_ACTIVITY2, &bar);
    EXPECT_DOUBLE_EQ(bar, 100.0);
}

// The server goes away between two transactions: the program shows the link closed
// without waiting for the next request.
TEST_F(RunSimTest, LostLinkWhileIdleIsShownAtOnce) {
    sim_server_stop(server);
    server = nullptr;
    QEventLoop idle;
    QTimer::singleShot(200, &idle, &QEventLoop::quit);
    idle.exec();
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "No connection");
    EXPECT_NE(text(tab1, TAB1_TEXT_CONNECTSTAT).find("CONNECTION TO SERVER LOST"), std::string::npos);
    for (int button : {MPANEL_CBTN_RUN, MPANEL_CBTN_VIDEO, MPANEL_CBTN_SEND, MPANEL_CBTN_READ})
        EXPECT_EQ(attr(mpanel, button, ATTR_DIMMED), 1) << button;
}

// The same while RUN waits for autosend frames that do not come.
TEST_F(RunSimTest, LostLinkEndsTheAutosendWaitWithItsText) {
    set_autosend_events(0);
    choose_file(tmp_path("t.csv"));
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 3);
    int mode = -1;
    double stopped_at = 0.0;
    at(300, [&] {
        mode = runs.run;
        sim_server_stop(server);
        server = nullptr;
        stopped_at = now_s();
    });
    stop_fallback fallback(3000); // only if the loss goes unnoticed
    press(tab5, TAB5_CBTN_START);
    EXPECT_EQ(mode, 2);
    EXPECT_LT(now_s() - stopped_at, 1.5);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "No connection established with control unit.");
    EXPECT_EQ(com.connect.status, 0);
}

// A loop that ends with the link closed leaves RUN and VIDEO dimmed with the other
// link-dependent buttons, so that a press cannot start a mode that has no link.
TEST_F(RunSimTest, LoopEndingOnAClosedLinkLeavesRunAndVideoDimmed) {
    at(200, [&] {
        sim_server_stop(server);
        server = nullptr;
    });
    stop_fallback fallback(3000); // only if the loss goes unnoticed
    press(mpanel, MPANEL_CBTN_RUN);
    ASSERT_EQ(com.connect.status, 0);
    for (int button : {MPANEL_CBTN_RUN, MPANEL_CBTN_VIDEO, MPANEL_CBTN_STOP, MPANEL_CBTN_SEND})
        EXPECT_EQ(attr(mpanel, button, ATTR_DIMMED), 1) << button;
    EXPECT_EQ(attr(mpanel, MPANEL_CBTN_RUN, ATTR_CMD_BUTTON_COLOR), 0xE0E0E0);
}

// A link failure that leaves the link up (an answer that never came) enables them again.
TEST_F(RunSimTest, LoopEndingWithTheLinkUpEnablesRunAndVideo) {
    at(200, [&] {
        sim_server_call(server, [](sim_service* s) { s->wire()->proto()->faults.p[SIM_FAULT_DROP] = 1.0; });
    });
    stop_fallback fallback(5000);
    press(mpanel, MPANEL_CBTN_RUN);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Timeout while receiving.");
    ASSERT_EQ(com.connect.status, 1);
    EXPECT_EQ(attr(mpanel, MPANEL_CBTN_RUN, ATTR_DIMMED), 0);
    EXPECT_EQ(attr(mpanel, MPANEL_CBTN_VIDEO, ATTR_DIMMED), 0);
}

// ---- memory ---------------------------------------------------------------------------------------

// Every start and stop recolours RUN and VIDEO. The style keeps a picture of each
// button it draws, found again by the button's palette; palettes that are new at
// every recolouring, though their colours repeat, left some 14 KB of pictures per
// start and stop that were never drawn again.
TEST_F(RunSimTest, StartAndStopCyclesDoNotAccumulateButtonPictures) {
    auto cycle = [] {
        QTimer::singleShot(5, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
        SimulateCtrlEvent(mpanel, MPANEL_CBTN_RUN, EVENT_COMMIT, 0, 0);
        // The idle buttons are drawn before the next start, as between two clicks.
        QEventLoop idle;
        QTimer::singleShot(5, &idle, &QEventLoop::quit);
        idle.exec();
    };
    for (int i = 0; i < 5; i++) cycle();
    const long records = runs.run_records;
    // Qt's measure for its own tests, in units of 1024 KB (rounded up).
    const int used = QPixmapCache::totalUsed();
    for (int i = 0; i < 300; i++) cycle();
    ASSERT_GT(runs.run_records - records, 300) << "every start polled";
    const int grown = QPixmapCache::totalUsed() - used;
    std::printf("picture cache after 300 starts and stops: %d MB more\n", grown);
    EXPECT_LE(grown, 1);
}

// ---- buttons served inside the loop ----------------------------------------------------------------

TEST_F(RunSimTest, SendDuringRunSendsAndRunGoesOn) {
    SetCtrlVal(mpanel, MPANEL_TOGGLE_RAM, 1);
    press(mpanel, MPANEL_CBTN_READ); // the panels then hold what the unit accepts
    ASSERT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Reading data ... Done. ");
    std::string after_send;
    long records_at_send = 0;
    at(300, [&] { press(mpanel, MPANEL_CBTN_SEND); });
    at(700, [&] {
        after_send = text(graph1, GRAPH1_STRING_STATUS);
        records_at_send = runs.run_records;
    });
    run_for(1100);
    EXPECT_EQ(after_send, "Sending data ... Done. ");
    EXPECT_GT(runs.run_records, records_at_send + 5); // polling went on after the send
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Stopped.");
}

TEST_F(RunSimTest, ResetAndNormNowWhileWaitingForAutosendAreServedThenPolling) {
    // The wait hands a pressed button over with the next frame that comes.
    set_autosend_events(0xFFFF);
    choose_file(tmp_path("t.csv"));
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 3);
    std::vector<std::string> seen; // status texts, and the loop state after each
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        std::string s = text(graph1, GRAPH1_STRING_STATUS) + " run " + std::to_string(runs.run);
        if (seen.empty() || seen.back() != s) seen.push_back(s);
    });
    watch.start(1);
    int mode_before = -1;
    at(300, [&] {
        mode_before = runs.run;
        press(tab2, TAB2_CMDB_RESET);
    });
    at(700, [&] { press(tab7, TAB7_CMDB_NORM_NOW); });
    run_for(1100, 1);
    watch.stop();
    EXPECT_EQ(mode_before, 2);
    auto saw = [&](const std::string& s) { return std::find(seen.begin(), seen.end(), s) != seen.end(); };
    EXPECT_TRUE(saw("Ordering unit to reset channels A and B ... Done.  run 1"));
    EXPECT_TRUE(saw("Ordering unit to acquire norm factor ... Done.  run 1"));
}

TEST_F(RunSimTest, SendWhileWaitingForAutosendHasNoEffect) {
    choose_file(tmp_path("t.csv"));
    SetCtrlVal(mpanel, MPANEL_TOGGLE_RAM, 1);
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 3);
    int mode = -1;
    at(300, [&] { press(mpanel, MPANEL_CBTN_SEND); });
    at(600, [&] { mode = runs.run; });
    run_for(800, 1);
    EXPECT_EQ(mode, 2);
}

// ---- over a serial line ------------------------------------------------------------------------------

TEST_F(RunTest, PollsOverPseudoTerminalNearTheWireLimit) {
    const char* args[] = {"kormelan3-sim", "--pty", "--baud", "115200"};
    sim_options o;
    std::string err;
    ASSERT_EQ(sim_options_parse(4, args, &o, &err), SIM_OPT_RUN) << err;
    sim_server* unit = nullptr;
    ASSERT_EQ(sim_server_start(o, &unit, &err), 0) << err;
    link_set_serial_device(7, sim_server_pty_path(unit).c_str());
    ASSERT_EQ(init_rs232(&com.connect, 7, 4, 1), 1);
    connect_update_gui(&com.connect, 0);
    const long before = runs.run_records;
    at(1500, [] { press(mpanel, MPANEL_CBTN_STOP); });
    press(mpanel, MPANEL_CBTN_RUN);
    // 88 bytes of 10 bits each way per record: at most 130.9 records a second.
    EXPECT_GT(runs.run_records - before, 150);
    EXPECT_LE(runs.run_records - before, 200);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Stopped.");
    init_rs232(&com.connect, 0, 0, 0);
    link_clear_serial_devices();
    sim_server_stop(unit);
}
