// SEND and REFRESH against the simulated unit: the frames in order, what the
// unit keeps, the texts of failures and interruptions, and the panel's
// buttons pressed while RUN waits for the unit.
#include "linear_fixture.h"

#include "connect/connect_panel.h"
#include "linear/linear_math.h"
#include "linear/linear_panel.h"
#include "linear/linear_transfer.h"
#include "link/link.h"
#include "link/orders.h"
#include "run/run_mode.h"
#include "sim/sim_faults.h"
#include "sim/sim_proto.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"

#include "linear_test_util.h"

#include <QCoreApplication>
#include <QSemaphore>
#include <QTimer>

#include <cmath>
#include <cstring>
#include <memory>

namespace {

double bar(int ctrl) {
    double v = -1;
    GetCtrlVal(graph1, ctrl, &v);
    return v;
}

std::vector<uint16_t> words_of(const int16_t* table, int first) {
    std::vector<uint16_t> w(256);
    for (int k = 0; k < 256; k++) w[k] = static_cast<uint16_t>(table[first + k]);
    return w;
}

std::vector<uint16_t> words_of_bytes(const unsigned char* bytes) {
    std::vector<uint16_t> w(256);
    for (int k = 0; k < 256; k++) w[k] = static_cast<uint16_t>(bytes[2 * k] | bytes[2 * k + 1] << 8);
    return w;
}

// The 18 requests of a whole SEND.
std::vector<sim_request> send_frames() {
    std::vector<sim_request> r;
    const int values[9] = {0x1400, 0x1500, 0x1600, 0x1700, 0x1800, 0x1900, 0x1A00, 0x1B00, 0x1300};
    for (int v : values) {
        r.push_back({ORDER_LIN_ANNOUNCE, v, 0});
        r.push_back({ORDER_LIN_WRITE, v, 256});
    }
    return r;
}

} // namespace

class LinearSendTest : public LinearSimTest {
  public:
    void link_lost_at_part_three();
    void refresh_with_a_short_answer();

  protected:
    // Two files with descriptions, checked: SEND is enabled.
    void check_two_files(const std::string& descr_a = "xA range\nxA serial\n",
                         const std::string& descr_b = "xB range\nxB serial\nxB type\nxB who\nxB when\n") {
        const std::string a = write_file("a.txt", lin_text(lin_ideal_lines()) + descr_a);
        const std::string b =
            write_file("b.txt", lin_text(lin_lines(lin_sensor([](double p) { return p * p; }))) + descr_b);
        std::snprintf(lins.linear_fileA, sizeof lins.linear_fileA, "%s", a.c_str());
        std::snprintf(lins.linear_fileB, sizeof lins.linear_fileB, "%s", b.c_str());
        press(tab9, TAB9_CMDB_CHECK_LIN);
        ASSERT_TRUE(popups.empty());
        ASSERT_EQ(attr(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED), 0);
    }
    // The description block of a box as SEND builds it.
    static std::vector<unsigned char> block_of(int box) {
        std::vector<std::string> lines = box_lines(box);
        std::vector<const char*> p;
        for (const std::string& l : lines) p.push_back(l.c_str());
        std::vector<unsigned char> block(LINEAR_DESCR_BYTES);
        linear_descr_block(p.data(), static_cast<int>(p.size()), block.data());
        return block;
    }
};

// The same unit on a 115200-baud pseudo-terminal.
class LinearSendPtyTest : public LinearSendTest {
  protected:
    void SetUp() override {
        on_pty = true;
        LinearSendTest::SetUp();
    }
};

TEST_F(LinearSendTest, SendWritesEighteenFramesAndTheUnitKeepsTheTables) {
    check_two_files();
    const auto info_a = block_of(TAB9_TEXTBOX_DESCRA);
    const auto info_b = block_of(TAB9_TEXTBOX_DESCRB);
    press(tab9, TAB9_CMDB_SEND_LIN);
    EXPECT_EQ(requests(), send_frames());
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Part 9 of 9 ... OK.");
    EXPECT_EQ(bar(GRAPH1_BAR_ACTIVITY1), 0.0);
    EXPECT_EQ(bar(GRAPH1_BAR_ACTIVITY2), 100.0);
    for (int part = 0; part < 8; part++) {
        const int16_t* table = part < 4 ? lins.linear_dataA : lins.linear_dataB;
        EXPECT_EQ(unit_block(1 + part), words_of(table, 256 * (part % 4))) << part;
    }
    unsigned char info[512];
    std::memcpy(info, info_a.data(), 256);
    std::memcpy(info + 256, info_b.data(), 256);
    EXPECT_EQ(unit_block(0), words_of_bytes(info));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info)),
              "Range [mm]:    A range\nSer.No.:       A serial\n");
    // A second SEND needs a new CHECK.
    EXPECT_EQ(attr(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED), 1);
}

// A file without description lines leaves its box empty: 256 zero bytes.
TEST_F(LinearSendTest, AnEmptyBoxSendsZeroBytes) {
    check_two_files("", "xB only\n");
    ASSERT_EQ(text(tab9, TAB9_TEXTBOX_DESCRA), "");
    press(tab9, TAB9_CMDB_SEND_LIN);
    const std::vector<uint16_t> info = unit_block(0);
    EXPECT_EQ(std::vector<uint16_t>(info.begin(), info.begin() + 128), std::vector<uint16_t>(128, 0));
    EXPECT_EQ(info[128], 'R' | 'a' << 8);
}

// Five long description lines do not fit into 256 bytes: the unit gets the
// whole lines that fit, the box keeps all five.
TEST_F(LinearSendTest, ALongDescriptionIsCutAtALineEnd) {
    std::string descr;
    for (char c : {'1', '2', '3', '4', '5'}) descr += "x" + std::string(80, c) + "\n";
    check_two_files(descr);
    ASSERT_EQ(box_lines(TAB9_TEXTBOX_DESCRA).size(), 5u);
    press(tab9, TAB9_CMDB_SEND_LIN);
    const std::vector<uint16_t> info = unit_block(0);
    std::string block;
    for (int k = 0; k < 128; k++)
        block += {static_cast<char>(info[k] & 0xFF), static_cast<char>(info[k] >> 8)};
    EXPECT_EQ(block.substr(0, block.find('\0')),
              "Range [mm]:    " + std::string(80, '1') + "\nSer.No.:       " + std::string(80, '2') + "\n");
    EXPECT_EQ(block.find_first_not_of('\0', block.find('\0')), std::string::npos);
    EXPECT_EQ(box_lines(TAB9_TEXTBOX_DESCRA).size(), 5u);
}

TEST_F(LinearSendTest, RefreshReadsBackWhatSendWrote) {
    check_two_files();
    const auto lines_a = box_lines(TAB9_TEXTBOX_DESCRA);
    const auto lines_b = box_lines(TAB9_TEXTBOX_DESCRB);
    press(tab9, TAB9_CMDB_SEND_LIN);
    ASSERT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Part 9 of 9 ... OK.");
    press(tab9, TAB9_CMDB_CLEARA);
    press(tab9, TAB9_CMDB_CLEARB);
    confirms = {1, 1};
    press(tab9, TAB9_CMDB_CHECK_LIN); // default curves on both graphs
    const size_t before = requests().size();
    press(tab9, TAB9_CMDB_REFRESH_LIN);
    const auto r = requests();
    ASSERT_EQ(r.size(), before + 1);
    EXPECT_EQ(r.back(), (sim_request{ORDER_LIN_READ, 0x1300, 1}));
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Success.");
    EXPECT_EQ(box_lines(TAB9_TEXTBOX_DESCRA), lines_a);
    EXPECT_EQ(box_lines(TAB9_TEXTBOX_DESCRB), lines_b);
    EXPECT_EQ(attr(tab9, TAB9_TEXTBOX_DESCRA, ATTR_TEXT_BGCOLOR), 0xFFFFFF);
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEA), "<data from flash memory>");
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEB), "<data from flash memory>");
    EXPECT_EQ(plots(GRAPH1_GRAPH_LINEARA), 0);
    EXPECT_EQ(plots(GRAPH1_GRAPH_LINEARB), 0);
}

TEST_F(LinearSendTest, LinkDownSendsNothing) {
    check_two_files();
    init_rs232(&com.connect, 0, 0, 0);
    const size_t before = requests().size();
    press(tab9, TAB9_CMDB_SEND_LIN);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "No connection established with control unit.");
    const auto lines = box_lines(TAB9_TEXTBOX_DESCRA);
    press(tab9, TAB9_CMDB_REFRESH_LIN);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "No connection established with control unit.");
    EXPECT_EQ(box_lines(TAB9_TEXTBOX_DESCRA), lines);
    EXPECT_EQ(requests().size(), before);
}

// The unit refuses part 5: its text replaces "Part 4 of 9 ... OK.", and
// nothing after it goes out.
TEST_F(LinearSendTest, AUnitRejectingPartFiveIsReported) {
    check_two_files();
    on_request([](sim_proto* p, const sim_request& r) {
        if (r.order == ORDER_LIN_ANNOUNCE && r.value == 0x1800) p->faults.p[SIM_FAULT_REJECT] = 1.0;
    });
    press(tab9, TAB9_CMDB_SEND_LIN);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Unknown order number.");
    const auto r = requests();
    ASSERT_EQ(r.size(), 9u);
    EXPECT_EQ(r.back(), (sim_request{ORDER_LIN_ANNOUNCE, 0x1800, 0}));
    // The bars keep their values of the last step that worked.
    EXPECT_EQ(bar(GRAPH1_BAR_ACTIVITY2), 100.0 - 5.5 * 8);
}

// The unit hangs up while part 3 is announced: the status names the lost
// connection, not "Part 2 of 9 ... OK.", nothing more goes out, and TRY TO
// CONNECT then works.
TEST_F(LinearSendTest, LinkLostAtPartThreeIsReported) {
    link_lost_at_part_three();
}

void LinearSendTest::link_lost_at_part_three() {
    check_two_files();
    int cuts = 0;
    on_request([&cuts](sim_proto* p, const sim_request& r) {
        p->faults.p[SIM_FAULT_CUT] = r.order == ORDER_LIN_ANNOUNCE && r.value == 0x1600 && ++cuts == 1 ? 1.0 : 0.0;
    });
    press(tab9, TAB9_CMDB_SEND_LIN);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "No connection established with control unit.");
    EXPECT_EQ(requests().size(), 5u);
    EXPECT_EQ(requests().back(), (sim_request{ORDER_LIN_ANNOUNCE, 0x1600, 0}));
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(bar(GRAPH1_BAR_ACTIVITY2), 100.0 - 5.5 * 4);

    on_request(nullptr);
    sim_server_call(server, [](sim_service* sv) {
        for (double& p : sv->wire()->proto()->faults.p) p = 0.0;
    });
    try_to_connect();
    ASSERT_EQ(com.connect.status, 1) << com.connect.message;
    press(tab9, TAB9_CMDB_SEND_LIN);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Part 9 of 9 ... OK.");
}

// A REFRESH answer with fewer words than asked for: the status says so and
// the boxes keep what they showed; the next REFRESH reads the descriptions.
TEST_F(LinearSendTest, RefreshWithAShortAnswerLeavesThePanel) {
    refresh_with_a_short_answer();
}

void LinearSendTest::refresh_with_a_short_answer() {
    check_two_files();
    const auto lines = box_lines(TAB9_TEXTBOX_DESCRB);
    on_request([](sim_proto* p, const sim_request& r) { p->faults.p[SIM_FAULT_SHORT] = r.order == ORDER_LIN_READ; });
    press(tab9, TAB9_CMDB_REFRESH_LIN);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Insufficient number of bytes.");
    EXPECT_EQ(box_lines(TAB9_TEXTBOX_DESCRB), lines);
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEB), "b.txt");
    on_request([](sim_proto* p, const sim_request&) { p->faults.p[SIM_FAULT_SHORT] = 0.0; });
    press(tab9, TAB9_CMDB_REFRESH_LIN);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Success.");
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEB), "<data from flash memory>");
}

TEST_F(LinearSendPtyTest, LinkLostAtPartThreeIsReported) {
    link_lost_at_part_three();
}

TEST_F(LinearSendPtyTest, RefreshWithAShortAnswerLeavesThePanel) {
    refresh_with_a_short_answer();
}

TEST_F(LinearSendTest, RefreshRejectedLeavesThePanel) {
    check_two_files();
    const auto lines = box_lines(TAB9_TEXTBOX_DESCRB);
    on_request([](sim_proto* p, const sim_request&) { p->faults.p[SIM_FAULT_REJECT] = 1.0; });
    press(tab9, TAB9_CMDB_REFRESH_LIN);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Unknown order number.");
    EXPECT_EQ(box_lines(TAB9_TEXTBOX_DESCRB), lines);
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEB), "b.txt");
}

// A button pressed while part 3's announcement waits for its answer: the
// unit holds the answer until the press has happened, so the press always
// falls into that transaction.
class LinearStopTest : public LinearSendTest {
  protected:
    void press_during_part3(int panel, int ctrl) {
        auto pressed = std::make_shared<QSemaphore>();
        on_request([panel, ctrl, pressed](sim_proto*, const sim_request& r) {
            if (r.order != ORDER_LIN_ANNOUNCE || r.value != 0x1600) return;
            QMetaObject::invokeMethod(
                qApp,
                [panel, ctrl, pressed] {
                    SimulateCtrlEvent(panel, ctrl, EVENT_COMMIT, 0, 0);
                    pressed->release();
                },
                Qt::QueuedConnection);
            pressed->tryAcquire(1, 5000);
        });
        press(tab9, TAB9_CMDB_SEND_LIN);
        on_request(nullptr);
    }
};

TEST_F(LinearStopTest, StopDuringPartThreeEndsTheTransfer) {
    check_two_files();
    press_during_part3(mpanel, MPANEL_CBTN_STOP);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Stopped by user.");
    EXPECT_EQ(requests().size(), 5u);
}

// One of the panel's own buttons stops it too, without doing its own action.
TEST_F(LinearStopTest, ThePanelsButtonsStopTheTransferAndDoNothingElse) {
    check_two_files();
    const std::string path = lins.linear_fileA;
    press_during_part3(tab9, TAB9_CMDB_CLEARA);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Stopped by user.");
    EXPECT_EQ(requests().size(), 5u);
    EXPECT_EQ(bar(GRAPH1_BAR_ACTIVITY2), 100.0 - 5.5 * 4); // the last step that worked
    EXPECT_EQ(std::string(lins.linear_fileA), path);
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEA), "a.txt");
}

// ---- the panel's buttons and RUN ----------------------------------------------------------------

// Pressed while RUN waits for a record: RUN ends with "Stopped." and the
// button's own action (here the file popup of LOAD) does not run.
TEST_F(LinearSimTest, LoadDuringRunEndsRunAndDoesNotLoad) {
    files = {write_file("a.txt", "1\n")};
    QTimer fallback;
    fallback.setSingleShot(true);
    QObject::connect(&fallback, &QTimer::timeout,
                     [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    fallback.start(5000);
    const long before = runs.run_records;
    at(300, [] { SimulateCtrlEvent(tab9, TAB9_CMDB_LOADA, EVENT_COMMIT, 0, 0); });
    press(mpanel, MPANEL_CBTN_RUN);
    EXPECT_TRUE(fallback.isActive()); // ended by LOAD, not by the fallback STOP
    EXPECT_GT(runs.run_records, before);
    EXPECT_EQ(runs.run, 0);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Stopped.");
    EXPECT_EQ(file_popups, 0);
    EXPECT_STREQ(lins.linear_fileA, "");
}

// Pressed between transactions, a button does its own action and stops
// nothing: the next transaction runs to its end.
TEST_F(LinearSimTest, ButtonsPressedBetweenTransactionsStopNothing) {
    press(tab9, TAB9_CMDB_CLEARA);
    press(tab9, TAB9_CMDB_CLEARB);
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEA), "<no file selected>");
    press(tab9, TAB9_CMDB_REFRESH_LIN);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Success.");
    EXPECT_NE(text(tab9, TAB9_TEXTBOX_DESCRA).find("CH A, linear"), std::string::npos);
}
