// The VIDEO loop against the simulated unit: which frames it sends (read back
// from the unit's log), what it shows, and how it ends.
#include "tests/osci/osci_fixture.h"

#include "connect/connect_panel.h"
#include "link/link.h"
#include "link/orders.h"
#include "osci/osci_gui.h"
#include "sim/sim_proto.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"

#include <QTimer>

#include <algorithm>
#include <cstring>

namespace {

double bar(int ctrl) {
    double v = -1.0;
    GetCtrlVal(graph1, ctrl, &v);
    return v;
}

int plots(int panel, int graph) {
    int n = -1;
    GetCtrlAttribute(panel, graph, ATTR_NUM_PLOTS, &n);
    return n;
}

bool is(const logged_frame& f, int order, int value) {
    return f.order == order && f.value == value;
}

// The requests without the polls that only fetch records.
std::vector<logged_frame> without_status_polls(const std::vector<logged_frame>& all) {
    std::vector<logged_frame> out;
    for (const logged_frame& f : all)
        if (!is(f, ORDER_POLL, POLL_OSCI_STATUS) || f.answer_value != 0) out.push_back(f);
    return out;
}

void expect_idle_buttons() {
    for (int b : {MPANEL_CBTN_RUN, MPANEL_CBTN_VIDEO}) {
        int dimmed = -1, color = -1;
        GetCtrlAttribute(mpanel, b, ATTR_DIMMED, &dimmed);
        GetCtrlAttribute(mpanel, b, ATTR_CMD_BUTTON_COLOR, &color);
        EXPECT_EQ(dimmed, 0) << b;
        EXPECT_EQ(color, 0xE0E0E0) << b;
    }
}

const uint16_t old_sample = 0x0123;

} // namespace

class VideoLoop : public OsciSimTest {
  protected:
    void SetUp() override {
        oscis = osci_state{};
        OsciSimTest::SetUp();
        std::fill(std::begin(oscis.video_dataA), std::end(oscis.video_dataA), old_sample);
        std::fill(std::begin(oscis.video_dataB), std::end(oscis.video_dataB), old_sample);
    }
    // TRY TO CONNECT on the connect panel after a failure: the link works again
    // and a VIDEO of channel A Once reads a whole sequence.
    void expect_try_to_connect_works() {
        // A fault set for the last request's answer stays set: off with it.
        on_request(nullptr);
        sim_server_call(server, [](sim_service* sv) {
            for (double& p : sv->wire()->proto()->faults.p) p = 0.0;
        });
        try_to_connect();
        ASSERT_EQ(com.connect.status, 1) << com.connect.message;
        modes(1, -1);
        at(8000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
        SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
        EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Data aquisiton stopped.");
    }
    void short_block(bool pty);
    void cut_during_closing_poll(bool pty);
    void cut_between_blocks(bool pty);
    void late_block_answer(bool pty);
};

// ---- how the loop ends by itself ---------------------------------------------------------------------

TEST_F(VideoLoop, BothChannelsOffSendNoFrameAtAll) {
    start_unit(false);
    modes(-1, -1);
    clear_frames();
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
    EXPECT_TRUE(frames().empty());
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Data aquisiton stopped.");
    EXPECT_DOUBLE_EQ(bar(GRAPH1_BAR_ACTIVITY1), 0.0);
    EXPECT_DOUBLE_EQ(bar(GRAPH1_BAR_ACTIVITY2), 100.0);
    EXPECT_EQ(runs.run, 0);
    expect_idle_buttons();
}

TEST_F(VideoLoop, ChannelAOnceReadsOneSequenceThenStops) {
    start_unit(false);
    modes(1, -1);
    std::vector<uint16_t> held;
    on_request([&held](sim_proto* p, const logged_frame& f) {
        if (f.order == ORDER_OSCI_BLOCK) {
            held.resize(1024);
            sim_osci_sequence(&p->unit.ch[0].osci, held.data());
        }
    });
    clear_frames();
    at(8000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); }); // only if it hangs
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);

    const std::vector<logged_frame> f = frames();
    ASSERT_GE(f.size(), 3u);
    // Status polls until A reports, its one block at span 1024, the closing poll, and nothing more.
    for (size_t i = 0; i + 2 < f.size(); i++) ASSERT_TRUE(is(f[i], ORDER_POLL, POLL_OSCI_STATUS)) << i;
    EXPECT_TRUE(f[f.size() - 3].answer_value & 1);
    EXPECT_TRUE(is(f[f.size() - 2], ORDER_OSCI_BLOCK, 8));
    EXPECT_TRUE(is(f.back(), ORDER_POLL, POLL_CLOSE_A));
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Data aquisiton stopped.");
    expect_idle_buttons();
    // The ring keeps Once: the mode went Off for this loop only.
    int ring = 0;
    GetCtrlVal(tab6, TAB6_RING_MODEA, &ring);
    EXPECT_EQ(ring, 1);

    // What was read is the unit's sequence in time order.
    const int s = f[f.size() - 2].answer_value;
    const std::vector<uint16_t> want = expected_decoding(held, 1, s);
    for (int j = 0; j < 1024; j++)
        ASSERT_EQ(oscis.video_dataA[j] & 0x3FFF, want[static_cast<size_t>(j)]) << "point " << j;
    EXPECT_EQ(oscis.video_dataB[0], old_sample);
    EXPECT_GE(plots(graph1, GRAPH1_GRAPH_VIDEOA), 1);
    // The window was not shown: nothing drawn there.
    EXPECT_EQ(plots(osci1, OSCI1_GRAPH_OSCI), 0);
}

TEST_F(VideoLoop, SequenceGoesToTheShownWindowWithItsTimeScale) {
    start_unit(false);
    modes(1, -1);
    SimulateCtrlEvent(graph1, GRAPH1_CMDB_ACVIDEO, EVENT_COMMIT, 0, 0);
    ASSERT_EQ(oscis.osci_vis, 1);
    // Milliseconds: each record sets the gain from the unit's cycle time and A's skip count.
    oscis.osci_mode = 1;
    paras.para_pc.osci_skipA = 600;
    at(8000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(oscis.osci1_gphA[0], plots(osci1, OSCI1_GRAPH_OSCI));
    EXPECT_GE(oscis.osci1_gphA[0], 1);
    EXPECT_EQ(plots(osci1, OSCI1_GRAPH_INPUTS), 2);
    double gain = 0.0;
    GetCtrlAttribute(osci1, OSCI1_GRAPH_OSCI, ATTR_XAXIS_GAIN, &gain);
    EXPECT_GT(gain, 0.0);
    EXPECT_NE(gain, 1.0);
    oscis.osci_mode = 0;
}

// The trace switched off means the channel is never read, Once or not.
TEST_F(VideoLoop, OnceWithItsTraceOffRunsUntilStop) {
    start_unit(false);
    modes(1, -1);
    traces.video_on_A = 0;
    ASSERT_TRUE(wait_for_status(1));
    clear_frames();
    video_for(1000);
    const std::vector<logged_frame> f = frames();
    EXPECT_GT(f.size(), 10u);
    for (const logged_frame& x : f) EXPECT_TRUE(is(x, ORDER_POLL, POLL_OSCI_STATUS));
    // A's report came with the records all the time; they were shown.
    EXPECT_TRUE(f.back().answer_value & 1);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Stopped.");
    EXPECT_EQ(oscis.video_dataA[0], old_sample);
}

// A report of both channels reads A in this pass and B on a later poll.
TEST_F(VideoLoop, BothReportedReadsAFirstAndBOnTheNextPoll) {
    start_unit(false);
    modes(1, 1);
    ASSERT_TRUE(wait_for_status(3));
    clear_frames();
    at(8000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
    const std::vector<logged_frame> f = frames();
    ASSERT_EQ(f.size(), 6u);
    EXPECT_TRUE(is(f[0], ORDER_POLL, POLL_OSCI_STATUS));
    EXPECT_EQ(f[0].answer_value, 3);
    EXPECT_TRUE(is(f[1], ORDER_OSCI_BLOCK, 8));
    EXPECT_TRUE(is(f[2], ORDER_POLL, POLL_CLOSE_A));
    EXPECT_TRUE(is(f[3], ORDER_POLL, POLL_OSCI_STATUS));
    EXPECT_TRUE(f[3].answer_value & 2);
    EXPECT_TRUE(is(f[4], ORDER_OSCI_BLOCK, 9));
    EXPECT_TRUE(is(f[5], ORDER_POLL, POLL_CLOSE_B));
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Data aquisiton stopped.");
    EXPECT_NE(oscis.video_dataA[0], old_sample);
    EXPECT_NE(oscis.video_dataB[0], old_sample);
}

// The oscillograph window's span sets how many blocks are read, at each read.
TEST_F(VideoLoop, SpanOf256ReadsFourBlocksInTheirOrder) {
    start_unit(false);
    modes(1, -1);
    traces.zoom_span_x = 256;
    std::vector<uint16_t> held;
    on_request([&held](sim_proto* p, const logged_frame& f) {
        if (f.order == ORDER_OSCI_BLOCK && held.empty()) {
            held.resize(1024);
            sim_osci_sequence(&p->unit.ch[0].osci, held.data());
        }
    });
    clear_frames();
    at(8000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
    const std::vector<logged_frame> f = without_status_polls(frames());
    ASSERT_EQ(f.size(), 6u);
    const int values[4] = {2, 6, 4, 0};
    for (int i = 0; i < 4; i++)
        EXPECT_TRUE(is(f[static_cast<size_t>(i + 1)], ORDER_OSCI_BLOCK, values[i])) << i;
    EXPECT_TRUE(is(f[5], ORDER_POLL, POLL_CLOSE_A));
    const std::vector<uint16_t> want = expected_decoding(held, 4, f[4].answer_value);
    for (int j = 0; j < 1024; j++)
        ASSERT_EQ(oscis.video_dataA[j] & 0x3FFF, want[static_cast<size_t>(j)]) << "point " << j;
}

// ---- buttons pressed while VIDEO runs ----------------------------------------------------------------

TEST_F(VideoLoop, SendBetweenPollsIsServedAndVideoGoesOn) {
    start_unit(false);
    modes(1, -1);
    traces.video_on_A = 0; // polls only
    SetCtrlVal(mpanel, MPANEL_TOGGLE_RAM, 1);
    clear_frames();
    at(300, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_SEND, EVENT_COMMIT, 0, 0); });
    at(600, [] { SimulateCtrlEvent(tab7, TAB7_CMDB_NORM_NOW, EVENT_COMMIT, 0, 0); });
    video_for(1000);
    const std::vector<logged_frame> f = frames();
    const auto send =
        std::find_if(f.begin(), f.end(), [](const logged_frame& x) { return x.order == ORDER_WRITE_RAM; });
    const auto norm =
        std::find_if(f.begin(), f.end(), [](const logged_frame& x) { return x.order == ORDER_NORM_NOW; });
    ASSERT_NE(send, f.end());
    ASSERT_NE(norm, f.end());
    EXPECT_LT(send, norm);
    EXPECT_TRUE(is(f.back(), ORDER_POLL, POLL_OSCI_STATUS)); // polling went on after both
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Stopped.");
}

// A button latched while a block comes in ends the read as any failure does.
TEST_F(VideoLoop, SendDuringABlockStopsWithoutSending) {
    start_unit(true); // a block takes 45 ms on the line: time to press SEND
    modes(0, -1);
    SetCtrlVal(mpanel, MPANEL_TOGGLE_RAM, 1);
    QTimer watch;
    bool pressed = false;
    QObject::connect(&watch, &QTimer::timeout, [&pressed] {
        if (pressed || !com.exch_active || com.data_out.bytes[1] != ORDER_OSCI_BLOCK) return;
        pressed = true;
        SimulateCtrlEvent(mpanel, MPANEL_CBTN_SEND, EVENT_COMMIT, 0, 0);
    });
    watch.start(1);
    clear_frames();
    at(10000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
    ASSERT_TRUE(pressed);
    const std::vector<logged_frame> f = frames();
    EXPECT_EQ(f.back().order, ORDER_OSCI_BLOCK);
    for (const logged_frame& x : f) EXPECT_NE(x.order, ORDER_WRITE_RAM);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Stopped.");
    EXPECT_EQ(oscis.video_dataA[0], old_sample);
    EXPECT_EQ(runs.run, 0);
    expect_idle_buttons();
}

TEST_F(VideoLoop, RecorderStartIsRefusedAndEndsTheLoop) {
    start_unit(false);
    modes(1, -1);
    traces.video_on_A = 0;
    at(300, [] { SimulateCtrlEvent(tab5, TAB5_CBTN_START, EVENT_COMMIT, 0, 0); });
    at(5000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Not allowed in VIDEO mode.");
    EXPECT_DOUBLE_EQ(bar(GRAPH1_BAR_ACTIVITY2), 100.0);
    EXPECT_EQ(runs.record_to_file, 0);
    expect_idle_buttons();
}

// ---- failures --------------------------------------------------------------------------------------

void VideoLoop::short_block(bool pty) {
    start_unit(false, pty);
    modes(0, -1);
    on_request([](sim_proto* p, const logged_frame& f) {
        p->faults.p[SIM_FAULT_SHORT] = f.order == ORDER_OSCI_BLOCK ? 1.0 : 0.0;
    });
    update_GRPH(oscis.video_dataA, 1024, OSCI_COLOR_A, graph1, GRAPH1_GRAPH_VIDEOA, nullptr);
    at(8000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Insufficient number of bytes.");
    for (uint16_t v : oscis.video_dataA) ASSERT_EQ(v, old_sample);
    EXPECT_EQ(plots(graph1, GRAPH1_GRAPH_VIDEOA), 1); // the old curve stays
    EXPECT_EQ(frames().back().order, ORDER_OSCI_BLOCK);
    EXPECT_EQ(runs.run, 0);
}

TEST_F(VideoLoop, ShortBlockFailsAndKeepsTheOldSequence) {
    short_block(false);
}

TEST_F(VideoLoop, ShortBlockOnAPtyFailsAndKeepsTheOldSequence) {
    short_block(true);
}

TEST_F(VideoLoop, LinkCutDuringABlockEndsTheLoop) {
    start_unit(false);
    modes(0, -1);
    on_request([](sim_proto* p, const logged_frame& f) {
        p->faults.p[SIM_FAULT_CUT] = f.order == ORDER_OSCI_BLOCK ? 1.0 : 0.0;
    });
    at(8000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "No connection established with control unit.");
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(oscis.video_dataA[0], old_sample);
    // RUN and VIDEO wait for a new connection.
    int dimmed = 0;
    GetCtrlAttribute(mpanel, MPANEL_CBTN_VIDEO, ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 1);
}

// The unit names the ring position of its oldest sample with any 16-bit
// value; one of 1024 or more counts modulo 1024.
TEST_F(VideoLoop, StartIndexBeyondTheRingCountsModulo1024) {
    start_unit(false);
    modes(1, -1);
    std::vector<uint16_t> held;
    on_request([&held](sim_proto* p, const logged_frame& f) {
        sim_osci& o = p->unit.ch[0].osci;
        // The block's answer gives the position the unit holds; a sequence that
        // is ready is no longer written, and the closing poll puts it back.
        if (f.order == ORDER_POLL && f.value == POLL_OSCI_STATUS && o.state == SIM_OSCI_READY && o.next < 1024) {
            held.resize(1024);
            sim_osci_sequence(&o, held.data());
            o.next += 5 * 1024;
        }
        if (f.order == ORDER_POLL && f.value == POLL_CLOSE_A) o.next %= 1024;
    });
    clear_frames();
    at(8000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
    const std::vector<logged_frame> f = without_status_polls(frames());
    ASSERT_GE(f.size(), 2u);
    const logged_frame& block = f[f.size() - 2];
    ASSERT_EQ(block.order, ORDER_OSCI_BLOCK);
    ASSERT_GE(block.answer_value, 5 * 1024);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Data aquisiton stopped.");
    const std::vector<uint16_t> want = expected_decoding(held, 1, block.answer_value % 1024);
    for (int j = 0; j < 1024; j++)
        ASSERT_EQ(oscis.video_dataA[j] & 0x3FFF, want[static_cast<size_t>(j)]) << "point " << j;
}

// The link cut by the unit during the poll that closes a read: the blocks came,
// but the read failed, so the old sequence stays; TRY TO CONNECT then works.
void VideoLoop::cut_during_closing_poll(bool pty) {
    start_unit(false, pty);
    modes(0, -1);
    int closing = 0;
    on_request([&closing](sim_proto* p, const logged_frame& f) {
        p->faults.p[SIM_FAULT_CUT] = f.order == ORDER_POLL && f.value == POLL_CLOSE_A && ++closing == 1 ? 1.0 : 0.0;
    });
    at(8000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "No connection established with control unit.");
    EXPECT_EQ(com.connect.status, 0);
    for (uint16_t v : oscis.video_dataA) ASSERT_EQ(v, old_sample);
    on_request(nullptr);
    expect_try_to_connect_works();
    EXPECT_NE(oscis.video_dataA[0], old_sample);
}

TEST_F(VideoLoop, LinkCutDuringTheClosingPollKeepsTheOldSequence) {
    cut_during_closing_poll(false);
}

TEST_F(VideoLoop, LinkCutOnAPtyDuringTheClosingPollKeepsTheOldSequence) {
    cut_during_closing_poll(true);
}

// The unit hangs up between two blocks of a read (span 256, four blocks): the
// read fails with the connection, the old sequence stays, and TRY TO CONNECT
// works.
void VideoLoop::cut_between_blocks(bool pty) {
    start_unit(false, pty);
    modes(0, -1);
    traces.zoom_span_x = 256;
    int blocks = 0;
    on_request([&blocks](sim_proto* p, const logged_frame& f) {
        // The unit hangs up in the second block's answer, before a word of it is used.
        p->faults.p[SIM_FAULT_CUT] = f.order == ORDER_OSCI_BLOCK && ++blocks == 2 ? 1.0 : 0.0;
    });
    at(8000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(blocks, 2);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "No connection established with control unit.");
    for (uint16_t v : oscis.video_dataA) ASSERT_EQ(v, old_sample);
    on_request(nullptr);
    traces.zoom_span_x = 1024;
    expect_try_to_connect_works();
}

TEST_F(VideoLoop, LinkCutBetweenBlocksKeepsTheOldSequence) {
    cut_between_blocks(false);
}

TEST_F(VideoLoop, LinkCutOnAPtyBetweenBlocksKeepsTheOldSequence) {
    cut_between_blocks(true);
}

// A block answer that comes after the time-out: the read ends with it, and
// the late answer is not taken for anything of the next VIDEO, started at once.
void VideoLoop::late_block_answer(bool pty) {
    start_unit(false, pty);
    modes(1, -1);
    std::vector<uint16_t> held;
    int blocks = 0;
    on_request([&](sim_proto* p, const logged_frame& f) {
        p->faults.p[SIM_FAULT_DELAY] = f.order == ORDER_OSCI_BLOCK && ++blocks == 1 ? 1.0 : 0.0;
        if (f.order == ORDER_OSCI_BLOCK && blocks == 2) {
            held.resize(1024);
            sim_osci_sequence(&p->unit.ch[0].osci, held.data());
        }
    });
    at(8000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Timeout while receiving.");
    EXPECT_EQ(oscis.video_dataA[0], old_sample);
    clear_frames();
    modes(1, -1);
    at(8000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Data aquisiton stopped.");
    ASSERT_EQ(blocks, 2);
    const std::vector<logged_frame> f = without_status_polls(frames());
    ASSERT_GE(f.size(), 2u);
    const std::vector<uint16_t> want = expected_decoding(held, 1, f[f.size() - 2].answer_value);
    for (int j = 0; j < 1024; j++)
        ASSERT_EQ(oscis.video_dataA[j] & 0x3FFF, want[static_cast<size_t>(j)]) << "point " << j;
}

TEST_F(VideoLoop, LateBlockAnswerIsNotTakenByTheNextRead) {
    late_block_answer(false);
}

TEST_F(VideoLoop, LateBlockAnswerOnAPtyIsNotTakenByTheNextRead) {
    late_block_answer(true);
}

TEST(VideoEndText, TextsAndBarsOfTheCodesThatEndTheLoop) {
    struct row {
        int rc;
        const char* text;
        int bars;
    };
    const row rows[] = {
        {LINK_BUSY, "Transmit busy.", 1},
        {LINK_AUTOSEND, "Misplaced AUTO frame received.", 1},
        {LINK_ERR_ARGS, "Function call error.", 1},
        {LINK_ERR_RECV_TIMEOUT, "Timeout while receiving.", 1},
        {LINK_STOP, "Stopped.", 1},
        {LINK_ERR_LINE, "Wrong baudrate.", 1},
        {LINK_REC_STORE, "Not allowed in VIDEO mode.", 1},
        {LINK_REC_START, "Not allowed in VIDEO mode.", 1},
        {LINK_REC_STOP, "Stopped.", 1},
        {LINK_ERR_FEW_WORDS, "Unknown error.", 0},
        {LINK_ERR_PLAUSIBILITY, "Unknown error.", 0},
        {LINK_ERR_ORDER, "Unknown order number.", 1},
        {LINK_ERR_NO_CONNECTION, "No connection established with control unit.", 1},
        {LINK_ERR_OVERSIZE, "Unknown error.", 0},
        {-19, "Unknown error.", 0},
        {6, "Unknown error.", 0},
    };
    for (const row& r : rows) {
        int bars = -1;
        EXPECT_STREQ(video_end_text(r.rc, &bars), r.text) << r.rc;
        EXPECT_EQ(bars, r.bars) << r.rc;
    }
}
