// The linearisation panel's buttons without a unit: LOAD, CLEAR, CHECK and
// the dimming of SEND, what the graphs and boxes show, and the buttons while
// RUN runs.
#include "linear_fixture.h"

#include "linear/linear_math.h"
#include "linear/linear_panel.h"
#include "link/link.h"
#include "params/para_gui.h"
#include "run/run_mode.h"
#include "ui/help_hook.h"

#include "linear_test_util.h"

#include <cmath>
#include <cstring>

namespace {

struct graph_text {
    std::string text;
    double x = 0, y = 0;
    int color = -1;
};

std::vector<graph_text> texts(int channel) {
    std::vector<graph_text> out;
    const int g = channel == 1 ? GRAPH1_GRAPH_LINEARB : GRAPH1_GRAPH_LINEARA;
    for (int i = 0;; i++) {
        char buf[256];
        graph_text t;
        if (GetGraphText(graph1, g, i, buf, sizeof buf, &t.x, &t.y, &t.color) < 0) break;
        t.text = buf;
        out.push_back(t);
    }
    return out;
}

const char* const default_lines[5] = {"Range [mm]:    *****", "Ser.No.:       *****", "Sensortype:    *****",
                                      "Linearized by: *****", "Linearized at: *****"};

std::vector<int16_t> default_table() {
    std::vector<int16_t> t(1024);
    get_default_linear_data(LINEAR_FULL_SCALE, t.data(), 1024);
    return t;
}

std::vector<int16_t> table_a() {
    return std::vector<int16_t>(lins.linear_dataA, lins.linear_dataA + 1024);
}
std::vector<int16_t> table_b() {
    return std::vector<int16_t>(lins.linear_dataB, lins.linear_dataB + 1024);
}

const char yes_no_text[] = "No linearisation data file selected.\nUse a standard transfer curve instead?";

} // namespace

// ---- CHECK --------------------------------------------------------------------------------------

TEST_F(LinearTest, CheckWithoutFilesAndYesTwiceEnablesSendWithDefaultTables) {
    confirms = {1, 1};
    press(tab9, TAB9_CMDB_CHECK_LIN);
    EXPECT_EQ(popups, (std::vector<std::string>{
                          std::string("No linearisation data file for chan A|") + yes_no_text,
                          std::string("No linearisation data file for chan B|") + yes_no_text}));
    EXPECT_EQ(attr(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED), 0);
    EXPECT_EQ(table_a(), default_table());
    EXPECT_EQ(table_b(), default_table());
    for (int box : {TAB9_TEXTBOX_DESCRA, TAB9_TEXTBOX_DESCRB})
        EXPECT_EQ(box_lines(box), std::vector<std::string>(default_lines, default_lines + 5));
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEB), "<default transfer curve>");
    // The default curve on each graph, and the graphs instead of the strip chart.
    EXPECT_EQ(plots(GRAPH1_GRAPH_LINEARA), 1);
    EXPECT_EQ(plots(GRAPH1_GRAPH_LINEARB), 1);
    EXPECT_EQ(attr(graph1, GRAPH1_GRAPH_LINEARA, ATTR_VISIBLE), 1);
    EXPECT_EQ(attr(graph1, GRAPH1_STRIP_DATA, ATTR_VISIBLE), 0);
    int mode = -1;
    double lo = -1, hi = -1;
    GetAxisScalingMode(graph1, GRAPH1_GRAPH_LINEARB, UI_XAXIS, &mode, &lo, &hi);
    EXPECT_EQ(mode, UI_MANUAL);
    EXPECT_EQ(lo, 0.0);
    EXPECT_EQ(hi, 4096.0);
}

TEST_F(LinearTest, CheckWithAFileForAAndNoForBKeepsSendDimmed) {
    const std::string a = write_file("ideal.txt", lin_text(lin_ideal_lines()) + "x100\nxSN1\n");
    std::snprintf(lins.linear_fileA, sizeof lins.linear_fileA, "%s", a.c_str());
    std::fill(lins.linear_dataB, lins.linear_dataB + 1024, int16_t{7});
    confirms = {0};
    press(tab9, TAB9_CMDB_CHECK_LIN);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0], std::string("No linearisation data file for chan B|") + yes_no_text);
    EXPECT_EQ(attr(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED), 1);
    // A: the table of its file, drawn in red with the verdict at the lower right.
    std::vector<int16_t> want(1024);
    ASSERT_EQ(get_linear_data(a.c_str(), 1024, LINEAR_FULL_SCALE, want.data(), 1024), LINEAR_TABLE_OK);
    EXPECT_EQ(table_a(), want);
    const auto shown = texts(0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Data OK.");
    EXPECT_EQ(shown[0].x, 4095.0);
    EXPECT_EQ(shown[0].y, 0.0);
    EXPECT_EQ(shown[0].color, 0xFF0000);
    EXPECT_EQ(plots(GRAPH1_GRAPH_LINEARA), 2);
    EXPECT_EQ(box_lines(TAB9_TEXTBOX_DESCRA),
              (std::vector<std::string>{"Range [mm]:    100", "Ser.No.:       SN1"}));
    // B: counted as failed, its table untouched.
    EXPECT_EQ(table_b(), std::vector<int16_t>(1024, 7));
}

TEST_F(LinearTest, CheckFailureIsShownOnTheGraphAndKeepsTheTable) {
    // A text header: shown (points skip it), but no table.
    const std::string a = write_file("header.txt", "Sensor 12\n" + lin_text(lin_ideal_lines()));
    std::snprintf(lins.linear_fileA, sizeof lins.linear_fileA, "%s", a.c_str());
    std::fill(lins.linear_dataA, lins.linear_dataA + 1024, int16_t{9});
    confirms = {1};
    press(tab9, TAB9_CMDB_CHECK_LIN);
    EXPECT_EQ(popups.size(), 1u); // B's question only
    const auto shown = texts(0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Data loading/generating failed.");
    EXPECT_EQ(shown[0].color, 0xFF0000);
    EXPECT_EQ(table_a(), std::vector<int16_t>(1024, 9));
    EXPECT_EQ(table_b(), default_table());
    EXPECT_EQ(attr(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED), 1);
}

TEST_F(LinearTest, CheckOfAFileThatCannotBeOpenedSaysSo) {
    // Something of that name, but a directory.
    std::snprintf(lins.linear_fileA, sizeof lins.linear_fileA, "%s", dir.c_str());
    confirms = {1};
    press(tab9, TAB9_CMDB_CHECK_LIN);
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(popups[0], "Error|Could not open file");
    EXPECT_EQ(text(tab9, TAB9_TEXTBOX_DESCRA), "Could not open specified file!");
    ASSERT_EQ(texts(0).size(), 1u);
    EXPECT_EQ(texts(0)[0].text, "Data loading/generating failed.");
    EXPECT_EQ(attr(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED), 1);
}

// A file chosen once and deleted since is no file: CHECK asks for the default.
TEST_F(LinearTest, CheckTreatsAVanishedFileAsNoFile) {
    std::snprintf(lins.linear_fileA, sizeof lins.linear_fileA, "%s", (dir + "/gone.txt").c_str());
    confirms = {1, 1};
    press(tab9, TAB9_CMDB_CHECK_LIN);
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(popups[0], std::string("No linearisation data file for chan A|") + yes_no_text);
    EXPECT_EQ(attr(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED), 0);
    EXPECT_EQ(table_a(), default_table());
}

// ---- SEND's dimming -----------------------------------------------------------------------------

TEST_F(LinearTest, EveryActionOfThePanelDimsSend) {
    for (int button : {TAB9_CMDB_LOADA, TAB9_CMDB_LOADB, TAB9_CMDB_CLEARA, TAB9_CMDB_CLEARB,
                       TAB9_CMDB_REFRESH_LIN, TAB9_CMDB_SEND_LIN, TAB9_CMDB_CHECK_LIN}) {
        SCOPED_TRACE(button);
        confirms = {1, 1};
        press(tab9, TAB9_CMDB_CHECK_LIN);
        ASSERT_EQ(attr(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED), 0);
        confirms = {0, 0}; // CHECK again: No to both
        files = {""};      // LOAD: cancelled
        press(tab9, button);
        EXPECT_EQ(attr(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED), 1);
    }
    // Choosing another panel too.
    confirms = {1, 1};
    press(tab9, TAB9_CMDB_CHECK_LIN);
    press(mpanel, MPANEL_CBTN_SEL_CHANA);
    EXPECT_EQ(attr(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED), 1);
}

// ---- CLEAR ----------------------------------------------------------------------------------------

TEST_F(LinearTest, ClearForgetsTheFileAndKeepsTheTable) {
    confirms = {1, 1};
    press(tab9, TAB9_CMDB_CHECK_LIN);
    std::snprintf(lins.linear_fileB, sizeof lins.linear_fileB, "%s", "/some/B.txt");
    press(tab9, TAB9_CMDB_CLEARB);
    EXPECT_STREQ(lins.linear_fileB, "");
    EXPECT_EQ(text(tab9, TAB9_TEXTBOX_DESCRB), "");
    EXPECT_EQ(attr(tab9, TAB9_TEXTBOX_DESCRB, ATTR_TEXT_BGCOLOR), 0xFFFFFF);
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEB), "<no file selected>");
    EXPECT_EQ(plots(GRAPH1_GRAPH_LINEARB), 0);
    EXPECT_EQ(table_b(), default_table());
    // Channel A is left alone.
    EXPECT_EQ(plots(GRAPH1_GRAPH_LINEARA), 1);
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEA), "<default transfer curve>");
}

// ---- LOAD -----------------------------------------------------------------------------------------

TEST_F(LinearTest, LoadShowsTheFileItsCurveAndItsLinearError) {
    // Mixed case: a path is kept as chosen, so it names the same file on a
    // system that tells cases apart.
    std::vector<std::string> lines = lin_ideal_lines();
    lines[10] = std::to_string(1024 - 10 + 10); // 40 counts off at one point: 0.98 %
    const std::string path =
        write_file("Sensor_A.TXT", lin_text(lines, "\r\n") + "x0-50\r\nxSN 7\r\nxLVDT\r\n");
    snprintf(last_directory, sizeof last_directory, "/start/here/");
    files = {path};
    press(tab9, TAB9_CMDB_LOADA);
    EXPECT_EQ(file_popups, 1);
    EXPECT_EQ(last_file_popup.kind, UI_POPUP_FILE_LOAD);
    EXPECT_EQ(last_file_popup.directory, "/start/here/");
    EXPECT_EQ(last_file_popup.default_name, "*.txt");
    EXPECT_EQ(last_file_popup.filter, "*.csv;*.txt;*.dat");
    EXPECT_EQ(last_file_popup.title, "Select linearisation file");
    EXPECT_EQ(std::string(lins.linear_fileA), path);
    EXPECT_EQ(std::string(last_directory), dir + "/");
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEA), "Sensor_A.TXT");
    EXPECT_EQ(
        box_lines(TAB9_TEXTBOX_DESCRA),
        (std::vector<std::string>{"Range [mm]:    0-50", "Ser.No.:       SN 7", "Sensortype:    LVDT"}));
    EXPECT_EQ(attr(tab9, TAB9_TEXTBOX_DESCRA, ATTR_TEXT_BGCOLOR), MakeColor(236, 233, 216));
    // The points (solid black), y = x (dotted black) and the error text at the top left.
    EXPECT_EQ(plots(GRAPH1_GRAPH_LINEARA), 3);
    const auto shown = texts(0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "0.98% linear error");
    EXPECT_EQ(shown[0].x, 0.0);
    EXPECT_EQ(shown[0].y, 4096.0);
    EXPECT_EQ(shown[0].color, 0x000000);
    EXPECT_EQ(plots(GRAPH1_GRAPH_LINEARB), 0);
}

TEST_F(LinearTest, LoadOfTheIdealFileShowsNoError) {
    files = {write_file("ideal.dat", lin_text(lin_ideal_lines()))};
    press(tab9, TAB9_CMDB_LOADB);
    ASSERT_EQ(texts(1).size(), 1u);
    EXPECT_EQ(texts(1)[0].text, "0.00% linear error");
    EXPECT_EQ(text(tab9, TAB9_TEXTBOX_DESCRB), "");
}

TEST_F(LinearTest, CancelledLoadChangesNothing) {
    std::snprintf(lins.linear_fileB, sizeof lins.linear_fileB, "%s", "/kept/b.txt");
    snprintf(last_directory, sizeof last_directory, "/kept/");
    confirms = {1, 1};
    press(tab9, TAB9_CMDB_CHECK_LIN); // draws the default curves
    files = {""};
    press(tab9, TAB9_CMDB_LOADB);
    EXPECT_EQ(file_popups, 1);
    EXPECT_STREQ(lins.linear_fileB, "/kept/b.txt");
    EXPECT_STREQ(last_directory, "/kept/");
    EXPECT_EQ(plots(GRAPH1_GRAPH_LINEARB), 1);
}

// Too big to be a linearisation file: the box says it cannot be opened, the
// graph stays empty and shows no error.
TEST_F(LinearTest, LoadOfAnUnreadableFileLeavesTheGraphEmpty) {
    files = {write_file("junk.txt", std::string(LINEAR_FILE_MAX_BYTES + 1, '7'))};
    press(tab9, TAB9_CMDB_LOADA);
    EXPECT_EQ(text(tab9, TAB9_TEXTBOX_DESCRA), "Could not open specified file!");
    EXPECT_EQ(plots(GRAPH1_GRAPH_LINEARA), 0);
    // Readable, but without a single reading: its descriptions, no curve, no error.
    files = {write_file("words.txt", "Sensor\nxRange\n")};
    press(tab9, TAB9_CMDB_LOADB);
    EXPECT_EQ(text(tab9, TAB9_TEXTBOX_DESCRB), "Range [mm]:    Range");
    EXPECT_EQ(plots(GRAPH1_GRAPH_LINEARB), 0);
}

// ---- while a mode runs, help, texts ---------------------------------------------------------------

// RUN (or VIDEO) running: the panel's buttons only stop it (the link's
// interrupt table); their own actions do not run.
TEST_F(LinearTest, ButtonsDoNothingWhileAModeRuns) {
    const std::string a = write_file("a.txt", lin_text(lin_ideal_lines()));
    std::snprintf(lins.linear_fileA, sizeof lins.linear_fileA, "%s", a.c_str());
    SetCtrlAttribute(graph1, GRAPH1_STRIP_DATA, ATTR_VISIBLE, 1);
    runs.run = 1;
    files = {a};
    confirms = {1, 1};
    for (int button : {TAB9_CMDB_LOADA, TAB9_CMDB_LOADB, TAB9_CMDB_CLEARA, TAB9_CMDB_CLEARB,
                       TAB9_CMDB_CHECK_LIN, TAB9_CMDB_SEND_LIN, TAB9_CMDB_REFRESH_LIN})
        press(tab9, button);
    runs.run = 0;
    EXPECT_EQ(file_popups, 0);
    EXPECT_TRUE(popups.empty());
    EXPECT_EQ(std::string(lins.linear_fileA), a);
    EXPECT_EQ(attr(graph1, GRAPH1_STRIP_DATA, ATTR_VISIBLE), 1);
    EXPECT_EQ(plots(GRAPH1_GRAPH_LINEARA), 0);
}

TEST_F(LinearTest, RightClickAsksForTheHelpOfTheControl) {
    static std::vector<std::string> asked;
    asked.clear();
    set_help_handler([](const char* panel, const char* control) {
        asked.push_back(std::string(panel) + " " + control);
        return 1;
    });
    int answered = 0;
    for (int button :
         {TAB9_CMDB_LOADB, TAB9_CMDB_CLEARA, TAB9_CMDB_CHECK_LIN, TAB9_CMDB_SEND_LIN, TAB9_CMDB_REFRESH_LIN})
        answered += SimulateCtrlEvent(tab9, button, EVENT_RIGHT_CLICK, 0, 0);
    set_help_handler(nullptr);
    EXPECT_EQ(answered, 5);
    EXPECT_EQ(asked, (std::vector<std::string>{"tab9 CMDB_LOADB", "tab9 CMDB_CLEARA", "tab9 CMDB_CHECK_LIN",
                                               "tab9 CMDB_SEND_LIN", "tab9 CMDB_REFRESH_LIN"}));
    EXPECT_TRUE(popups.empty());
}

TEST(LinearResultText, EveryCodeHasAText) {
    EXPECT_STREQ(linear_result_text(LINK_BUSY), "Transmit busy.");
    EXPECT_STREQ(linear_result_text(LINK_ERR_ARGS), "Function call error.");
    EXPECT_STREQ(linear_result_text(LINK_ERR_SEND), "Error while sending.");
    EXPECT_STREQ(linear_result_text(LINK_ERR_SEND_TIMEOUT), "Timeout while sending.");
    EXPECT_STREQ(linear_result_text(LINK_ERR_RECV_TIMEOUT), "Timeout while receiving.");
    EXPECT_STREQ(linear_result_text(LINK_ERR_CRC), "CRC8 error on received frame.");
    EXPECT_STREQ(linear_result_text(LINK_ERR_LINE), "Wrong baudrate.");
    EXPECT_STREQ(linear_result_text(LINK_ERR_NO_CONNECTION), "No connection established with control unit.");
    for (int user : {LINK_STOP, LINK_SEND_PRESSED, LINK_READ_PRESSED, LINK_REC_STORE, LINK_REC_START,
                     LINK_REC_STOP, LINK_NORM_NOW, LINK_RESET_PRESSED})
        EXPECT_STREQ(linear_result_text(user), "Stopped by user.") << user;
    EXPECT_STREQ(linear_result_text(LINK_ERR_FEW_WORDS), "Insufficient number of bytes.");
    EXPECT_STREQ(linear_result_text(LINK_ERR_ORDER), "Unknown order number.");
    for (int other : {LINK_AUTOSEND, LINK_ERR_PLAUSIBILITY, LINK_ERR_OVERSIZE, -19, 77})
        EXPECT_STREQ(linear_result_text(other), "Unknown error.") << other;
}
