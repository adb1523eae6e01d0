// The recorder panel: mode table, file choice, MANUAL STORE outside RUN, the
// viewer, and full recordings of each mode driven by RUN against the unit.
#include "run_fixture.h"

#include "params/para_gui.h"
#include "recorder/record_file.h"
#include "recorder/recorder_panel.h"
#include "tests/support/fifo_guard.h"
#include "tests/support/file_limit.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

int data_lines(const std::vector<std::string>& lines) {
    int n = 0;
    for (const std::string& l : lines)
        if (l.rfind("*;", 0) == 0) n++;
    return n;
}

bool has_line(const std::vector<std::string>& lines, const std::string& want) {
    for (const std::string& l : lines)
        if (l == want) return true;
    return false;
}

// Every data line carries the column line's 25 fields and counts from 0.
void expect_well_formed(const std::vector<std::string>& lines) {
    int index = 0;
    for (const std::string& l : lines) {
        if (l.rfind("#;", 0) == 0) {
            EXPECT_EQ(fields(l).size(), 25u) << l;
            index = 0;
        }
        if (l.rfind("*;", 0) != 0) continue;
        std::vector<std::string> f = fields(l);
        ASSERT_EQ(f.size(), 25u) << l;
        EXPECT_EQ(f[1], std::to_string(index++)) << l;
    }
}

} // namespace

// ---- panel states ---------------------------------------------------------------------------------

TEST_F(RunTest, ModeRingShowsAndDimsPerMode) {
    commit(tab5, TAB5_EDIT_SELECTRECMODE, 2); // MANUAL
    EXPECT_EQ(attr(tab5, TAB5_CBTN_START, ATTR_VISIBLE), 0);
    EXPECT_EQ(attr(tab5, TAB5_CMDB_STOP, ATTR_VISIBLE), 0);
    EXPECT_EQ(attr(tab5, TAB5_CMDB_MANUALREC, ATTR_VISIBLE), 1);
    EXPECT_EQ(attr(tab5, TAB5_NUMS_INTERVAL, ATTR_DIMMED), 1);
    commit(tab5, TAB5_EDIT_SELECTRECMODE, 3); // AUTOTRIGGERED
    EXPECT_EQ(attr(tab5, TAB5_RING_AUTOSEND, ATTR_DIMMED), 0);
    EXPECT_EQ(attr(tab5, TAB5_NUMS_NUMBER, ATTR_DIMMED), 1);
    EXPECT_EQ(attr(tab5, TAB5_CMDB_MANUALREC, ATTR_VISIBLE), 0);
    EXPECT_EQ(recs.recorder[0], 3);
    set_rec_buttons(1, recs.recorder);
    EXPECT_EQ(attr(tab5, TAB5_CBTN_START, ATTR_CMD_BUTTON_COLOR), 0xFF0000);
    EXPECT_EQ(attr(tab5, TAB5_CBTN_START, ATTR_DIMMED), 1);
    EXPECT_EQ(attr(tab5, TAB5_CMDB_SHOWGRAPH, ATTR_DIMMED), 1);
    EXPECT_EQ(attr(tab5, TAB5_CMDB_STOP, ATTR_DIMMED), 0);
}

// ---- file choice and MANUAL STORE outside RUN ---------------------------------------------------

TEST_F(RunTest, ChosenFileKeepsItsCaseAndStartsAnew) {
    const std::string path = tmp_path("Run-A.CSV");
    {
        std::ofstream old(path);
        old << "an old recording\n";
    }
    file_answer = path;
    press(tab5, TAB5_CMDB_SELECTFILE);
    EXPECT_EQ(std::string(recs.file_pathname), path);
    EXPECT_EQ(text(tab5, TAB5_TEXTBOX_FILENAME), "Run-A.CSV");
    std::vector<std::string> lines = file_lines(path);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "KORMELAN-3 record file:");
    EXPECT_TRUE(popups.empty());
}

TEST_F(RunTest, CancelledChoiceForgetsTheFile) {
    file_answer = tmp_path("x.csv");
    press(tab5, TAB5_CMDB_SELECTFILE);
    file_answer.clear();
    press(tab5, TAB5_CMDB_SELECTFILE);
    EXPECT_EQ(std::string(recs.file_pathname), "");
    EXPECT_EQ(text(tab5, TAB5_TEXTBOX_FILENAME), "");
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0], "File error!|No file selected.");
}

TEST_F(RunTest, PathBeyondTheSystemsLimitIsRefusedNotCut) {
    // The test directory padded with "./", then a file name that crosses the
    // limit: cut at the limit, the path would name a new file there.
    std::string path = dir + "/";
    while (path.size() < static_cast<size_t>(UI_MAX_PATH) - 100) path += "./";
    path += std::string(200, 'r');
    file_answer = path;
    press(tab5, TAB5_CMDB_SELECTFILE);
    EXPECT_EQ(std::string(recs.file_pathname), "");
    EXPECT_EQ(text(tab5, TAB5_TEXTBOX_FILENAME), "");
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0], "File error!|The selected file could not be opened.");
    EXPECT_TRUE(std::filesystem::is_empty(dir));
}

// A file that cannot be started used to stay chosen and shown: START then
// said "No file selected." and SHOW GRAPH that the file does not exist.
TEST_F(RunTest, FileThatCannotBeStartedIsForgottenAndNamed) {
    file_answer = tmp_path("good.csv");
    press(tab5, TAB5_CMDB_SELECTFILE);
    ASSERT_TRUE(popups.empty());
    const std::string blocked = tmp_path("no-such-dir/rec.csv");
    file_answer = blocked;
    press(tab5, TAB5_CMDB_SELECTFILE);
    EXPECT_EQ(std::string(recs.file_pathname), "");
    EXPECT_EQ(text(tab5, TAB5_TEXTBOX_FILENAME), "");
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].rfind("File error!|", 0), 0u) << popups[0];
    EXPECT_NE(popups[0].find(blocked), std::string::npos) << popups[0];
    // A directory replaced by a file refuses the same way.
    { std::ofstream plain(tmp_path("plain")); }
    file_answer = tmp_path("plain/rec.csv");
    press(tab5, TAB5_CMDB_SELECTFILE);
    EXPECT_EQ(std::string(recs.file_pathname), "");
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_NE(popups[1].find(tmp_path("plain/rec.csv")), std::string::npos) << popups[1];
}

TEST_F(RunTest, ManualStoreOutsideRunOnlyTellsToRun) {
    press(tab5, TAB5_CMDB_MANUALREC);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0], "Communication with sensor stopped.|Please enter 'RUN' mode to use this function.");
}

// ---- viewer ----------------------------------------------------------------------------------------

TEST_F(RunTest, ViewerPlotsOneColumnOfEveryRecording) {
    const std::string path = tmp_path("two.csv");
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    rec_header_info info = {};
    uint16_t w[REC_RECORD_WORDS] = {};
    for (int recording = 0; recording < 2; recording++) {
        ASSERT_EQ(print_file_header(path.c_str(), 0, 3, 1, &info), 0);
        for (int i = 0; i < 3; i++) {
            w[4] = static_cast<uint16_t>(100 * recording + i); // raw A
            ASSERT_EQ(print_file_dataset(path.c_str(), i, w), 0);
        }
    }
    file_answer = path;
    press(tab5, TAB5_CMDB_SELECTFILE);                             // starts the file anew ...
    ASSERT_EQ(print_file_header(path.c_str(), 2, 0, 0, &info), 0); // ... so write it again
    for (int recording = 0; recording < 2; recording++)
        for (int i = 0; i < 3; i++) {
            w[4] = static_cast<uint16_t>(100 * recording + i);
            ASSERT_EQ(print_file_dataset(path.c_str(), i, w), 0);
        }
    column_answer = 2; // "raw A (short)"
    press(tab5, TAB5_CMDB_SHOWGRAPH);
    EXPECT_EQ(xy_title, "raw A (short)");
    ASSERT_EQ(xy_x.size(), 6u);
    EXPECT_EQ(xy_x[3], 0.0); // the index restarts with the second recording
    EXPECT_EQ(xy_y[2], 2.0);
    EXPECT_EQ(xy_y[4], 101.0);
    EXPECT_TRUE(popups.empty());
}

// SHOW GRAPH on a named pipe waited for a writer for good.
TEST_F(RunTest, ViewerRefusesANamedPipeWithoutWaiting) {
    fifo_guard fifo(tmp_path("pipe.csv"));
    ASSERT_TRUE(fifo.made());
    std::snprintf(recs.file_pathname, sizeof recs.file_pathname, "%s", fifo.path().c_str());
    const auto start = std::chrono::steady_clock::now();
    press(tab5, TAB5_CMDB_SHOWGRAPH);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(fifo.fired()) << "the viewer blocked on the pipe";
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0], "File error!|The selected file could not be opened.");
    EXPECT_TRUE(xy_x.empty());
    recs.file_pathname[0] = 0;
}

// Lines the viewer cannot read used to vanish without a word, and a file
// with nothing readable showed nothing and said nothing.
TEST_F(RunTest, ViewerTellsHowManyLinesItSkipped) {
    const std::string path = tmp_path("edited.csv");
    file_answer = path;
    press(tab5, TAB5_CMDB_SELECTFILE);
    column_answer = 2; // "raw A (short)"
    press(tab5, TAB5_CMDB_SHOWGRAPH);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0], "File error!|The selected file holds no recording.");

    rec_header_info info = {};
    ASSERT_EQ(print_file_header(path.c_str(), 2, 0, 0, &info), 0);
    {
        std::ofstream out(path, std::ios::app);
        out << "*;0;10:11:12;;1.5;;100;\n"  // an empty counter cell
            << "*;1;10:11:12;;1.5;3;nan;\n" // not a number
            << "*;2;10:11:12;;1.5;3;;\n";   // no raw value
    }
    press(tab5, TAB5_CMDB_SHOWGRAPH);
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(popups[1], "File error!|2 data lines could not be read and were skipped.");
    ASSERT_EQ(xy_y.size(), 1u);
    EXPECT_EQ(xy_y[0], 100.0);

    xy_title.clear();
    column_answer = 3; // "max{raw A} (short)"
    {
        std::ofstream out(path, std::ios::app);
        out << "*;3;10:11:12;;1.5;3;4;inf;\n";
    }
    press(tab5, TAB5_CMDB_SHOWGRAPH);
    ASSERT_EQ(popups.size(), 3u);
    EXPECT_EQ(popups[2], "File error!|None of the 4 data lines could be read.");
    EXPECT_EQ(xy_title, ""); // no empty graph
}

// ---- recordings driven by RUN ------------------------------------------------------------------------

TEST_F(RunSimTest, AutoLimitedAtIntervalZeroWritesOneRecordPerPoll) {
    const std::string path = tmp_path("lim.csv");
    choose_file(path);
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 0);
    SetCtrlVal(tab5, TAB5_NUMS_INTERVAL, 0);
    SetCtrlVal(tab5, TAB5_NUMS_NUMBER, 25);
    run_for(1500, 1);
    EXPECT_EQ(text(tab5, TAB5_STRING_TIME), "All data recorded.");
    double bar = 0.0;
    GetCtrlVal(tab5, TAB5_BAR_COUNT, &bar);
    EXPECT_DOUBLE_EQ(bar, 100.0);
    EXPECT_EQ(runs.record_to_file, 0);
    std::vector<std::string> lines = file_lines(path);
    EXPECT_EQ(data_lines(lines), 25);
    EXPECT_TRUE(has_line(lines, "Recording mode:; AUTO LIMITED: one value each 0 sec., 25 values max;") ||
                !has_line(lines, "Recording mode:; MANUAL;"));
    expect_well_formed(lines);
    EXPECT_EQ(attr(tab5, TAB5_CBTN_START, ATTR_CMD_BUTTON_COLOR), 0xE0E0E0);
}

// Paths were held in 260 bytes: a recording to a longer path went to the cut
// name, another file.
TEST_F(RunSimTest, RecordingToAPathLongerThan260BytesGoesToThatFile) {
    const std::string deep =
        dir + "/" + std::string(100, 'a') + "/" + std::string(100, 'b') + "/" + std::string(100, 'c');
    std::filesystem::create_directories(deep);
    const std::string path = deep + "/long.csv";
    choose_file(path);
    EXPECT_EQ(std::string(recs.file_pathname), path);
    EXPECT_EQ(text(tab5, TAB5_TEXTBOX_FILENAME), "long.csv");
    EXPECT_EQ(std::string(last_directory), deep + "/");
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 0);
    SetCtrlVal(tab5, TAB5_NUMS_INTERVAL, 0);
    SetCtrlVal(tab5, TAB5_NUMS_NUMBER, 5);
    run_for(800, 1);
    EXPECT_EQ(text(tab5, TAB5_STRING_TIME), "All data recorded.");
    std::vector<std::string> lines = file_lines(path);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "KORMELAN-3 record file:");
    EXPECT_EQ(data_lines(lines), 5);
    EXPECT_TRUE(popups.empty());
}

// The disk filling up while AUTO UNLIMITED records: the recording stops with
// the file error while RUN goes on, and the file keeps every record written
// before, each line whole.
TEST_F(RunSimTest, FullDiskDuringRecordingAbortsItWithTheFileError) {
    const std::string path = tmp_path("full.csv");
    choose_file(path);
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 1);
    SetCtrlVal(tab5, TAB5_NUMS_INTERVAL, 0);
    int run_after = -1;
    at(1300, [&] { run_after = runs.run; });
    {
        scoped_file_limit full(4096);
        ASSERT_TRUE(full.ok());
        run_for(1500, 1);
    }
    EXPECT_EQ(run_after, 1);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0], "File error!|Record aborted.");
    EXPECT_EQ(runs.record_to_file, 0);
    EXPECT_NE(text(tab5, TAB5_STRING_TIME), "Max. nunber of data.");
    std::ifstream f(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    EXPECT_LE(bytes.size(), 4096u);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.back(), '\n') << "a cut line was left";
    const std::vector<std::string> lines = file_lines(path);
    EXPECT_GT(data_lines(lines), 3);
    expect_well_formed(lines);
}

TEST_F(RunSimTest, AutoLimitedWithNoValuesWritesOnlyTheHeader) {
    const std::string path = tmp_path("none.csv");
    choose_file(path);
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 0);
    SetCtrlVal(tab5, TAB5_NUMS_INTERVAL, 1);
    SetCtrlVal(tab5, TAB5_NUMS_NUMBER, 0);
    run_for(400, 1);
    EXPECT_EQ(text(tab5, TAB5_STRING_TIME), "All data recorded.");
    std::vector<std::string> lines = file_lines(path);
    EXPECT_EQ(data_lines(lines), 0);
    EXPECT_TRUE(has_line(lines, "Recording mode:; AUTO LIMITED: one value each sec., 0 values max;"));
}

TEST_F(RunSimTest, AutoUnlimitedCountsUpUntilRecorderStop) {
    const std::string path = tmp_path("unl.csv");
    choose_file(path);
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 1);
    SetCtrlVal(tab5, TAB5_NUMS_INTERVAL, 1);
    std::string elapsed;
    at(2500, [&] {
        elapsed = text(tab5, TAB5_STRING_TIME);
        press(tab5, TAB5_CMDB_STOP);
    });
    int run_after = -1;
    at(2800, [&] { run_after = runs.run; });
    run_for(3000, 1);
    EXPECT_EQ(elapsed, "0 Days, 0 Hours, 0 Min., 2 Sec., ");
    EXPECT_EQ(run_after, 1); // RUN went on after the recorder's STOP
    EXPECT_EQ(text(tab5, TAB5_STRING_TIME), "Stopped by user.");
    std::vector<std::string> lines = file_lines(path);
    EXPECT_EQ(data_lines(lines), 2);
    EXPECT_TRUE(has_line(lines, "Recording mode:; AUTO UNLIMITED: one value each sec.;"));
    expect_well_formed(lines);
}

TEST_F(RunSimTest, ManualStoreDuringRunWritesOnePressOneRecord) {
    const std::string path = tmp_path("man.csv");
    choose_file(path);
    commit(tab5, TAB5_EDIT_SELECTRECMODE, 2);
    std::string status;
    at(200, [] { press(tab5, TAB5_CMDB_MANUALREC); });
    at(400, [&] {
        status = text(graph1, GRAPH1_STRING_STATUS);
        press(tab5, TAB5_CMDB_MANUALREC);
    });
    run_for(700);
    EXPECT_EQ(status, "Storing data ... Success.");
    std::vector<std::string> lines = file_lines(path);
    EXPECT_TRUE(has_line(lines, "Recording mode:; MANUAL;"));
    EXPECT_EQ(data_lines(lines), 2);
    expect_well_formed(lines);
    EXPECT_TRUE(popups.empty());
}

TEST_F(RunSimTest, AutotriggeredOverTcpWritesEveryAutosendFrame) {
    set_autosend_events(0xFFFF);
    const std::string path = tmp_path("trig.csv");
    choose_file(path);
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 3);
    run_for(1500, 1);
    const long sent = autosent();
    std::vector<std::string> lines = file_lines(path);
    EXPECT_TRUE(has_line(lines, "Recording mode:; AUTOTRIGGERED;"));
    EXPECT_GT(data_lines(lines), 3);
    EXPECT_LE(data_lines(lines), sent);
    expect_well_formed(lines);
    EXPECT_EQ(text(tab5, TAB5_STRING_COUNT), std::to_string(data_lines(lines)) + " data recorded ...");
}

TEST_F(RunSimTest, WaitingForAutosendCountsTheSeconds) {
    set_autosend_events(0);
    choose_file(tmp_path("quiet.csv"));
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 3);
    std::string recorder_text, status;
    at(1400, [&] {
        recorder_text = text(tab5, TAB5_STRING_TIME);
        status = text(graph1, GRAPH1_STRING_STATUS);
    });
    run_for(1600, 1);
    EXPECT_EQ(recorder_text, "0 Days, 0 Hours, 0 Min., 1 Sec., ");
    EXPECT_EQ(status, recorder_text);
}

TEST_F(RunSimTest, StartWithoutFileTellsAndKeepsPolling) {
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 0);
    const long before = runs.run_records;
    run_for(400, 1);
    ASSERT_FALSE(popups.empty());
    EXPECT_EQ(popups[0], "File error!|No file selected.");
    EXPECT_GT(runs.run_records, before);
}

TEST_F(RunSimTest, FileLostMidRecordingAbortsTheRecordingNotRun) {
    const std::string path = tmp_path("lost.csv");
    choose_file(path);
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 0);
    SetCtrlVal(tab5, TAB5_NUMS_INTERVAL, 0);
    SetCtrlVal(tab5, TAB5_NUMS_NUMBER, 60000);
    int state = -1;
    at(300, [&] { std::remove(path.c_str()); });
    at(600, [&] { state = runs.record_to_file * 10 + runs.run; });
    run_for(800, 1);
    EXPECT_EQ(state, 1); // not recording, still polling
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0], "File error!|Record aborted.");
    EXPECT_FALSE(std::ifstream(path).good()); // nothing was created in its place
}

// A file chosen between two MANUAL STOREs of one RUN used to get its records
// straight after the title line, numbered on from the old file.
TEST_F(RunSimTest, ManualStoreIntoANewlyChosenFileStartsWithAHeader) {
    const std::string first = tmp_path("man1.csv"), second = tmp_path("man2.csv");
    choose_file(first);
    commit(tab5, TAB5_EDIT_SELECTRECMODE, 2);
    at(150, [] { press(tab5, TAB5_CMDB_MANUALREC); });
    at(300, [] { press(tab5, TAB5_CMDB_MANUALREC); });
    at(450, [&] { choose_file(second); });
    at(600, [] { press(tab5, TAB5_CMDB_MANUALREC); });
    at(750, [] { press(tab5, TAB5_CMDB_MANUALREC); });
    run_for(900);
    EXPECT_TRUE(popups.empty());
    std::vector<std::string> lines = file_lines(first);
    EXPECT_EQ(data_lines(lines), 2);
    lines = file_lines(second);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "KORMELAN-3 record file:");
    EXPECT_EQ(lines[1], "");
    EXPECT_TRUE(has_line(lines, "Recording mode:; MANUAL;"));
    EXPECT_EQ(data_lines(lines), 2);
    expect_well_formed(lines);
    // The viewer reads the new file from its own index 0.
    column_answer = 2;
    press(tab5, TAB5_CMDB_SHOWGRAPH);
    ASSERT_EQ(xy_x.size(), 2u);
    EXPECT_EQ(xy_x[0], 0.0);
    EXPECT_EQ(xy_x[1], 1.0);
}

// A chosen file that is gone when a recording starts is forgotten and named,
// and RUN keeps polling.
TEST_F(RunSimTest, StartIntoALostFileForgetsItAndNamesIt) {
    const std::string path = tmp_path("gone.csv");
    choose_file(path);
    std::remove(path.c_str());
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 0);
    const long before = runs.run_records;
    run_for(400, 1);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].rfind("File error!|", 0), 0u) << popups[0];
    EXPECT_NE(popups[0].find(path), std::string::npos) << popups[0];
    EXPECT_EQ(std::string(recs.file_pathname), "");
    EXPECT_EQ(text(tab5, TAB5_TEXTBOX_FILENAME), "");
    EXPECT_GT(runs.run_records, before);
    EXPECT_FALSE(std::ifstream(path).good());
}
