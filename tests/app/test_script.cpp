// Script mode end to end: the script runs from the event loop against the real
// panels; errors end the program with a non-zero status.
#include "shell_fixture.h"

#include "app/script.h"

#include <cstring>

namespace {

// Runs the script to its end (or its error) and returns the program's status.
int run_script(const char* text) {
    script_start_text(text, "test");
    return RunUserInterface();
}

int confirm_result = -1;

int ask_callback(int, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) confirm_result = ConfirmPopup("Overwrite?", "The file exists.");
    return 0;
}

// A RUN-like loop: spins on the event queue until STOP sets `run` to 0.
int loop_passes = 0;
int run_like_loop(int, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    runs.run = 1;
    shell_status("Running");
    SetCtrlAttribute(mpanel, MPANEL_CBTN_STOP, ATTR_DIMMED, 0);
    while (runs.run && !UserInterfaceQuitting()) {
        loop_passes++;
        GetUserEvent(0, nullptr, nullptr);
        WaitForActivity(0.005);
    }
    calls.push_back("loop ended");
    return 0;
}

} // namespace

// ---- errors --------------------------------------------------------------------------------

TEST_F(ShellTest, ScriptUnknownPanelFails) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(run_script("commit nopanel CBTN_RUN\n"), 2);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("test:1: unknown panel 'nopanel'"), std::string::npos) << err;
}

TEST_F(ShellTest, ScriptUnknownControlFails) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(run_script("# comment\n\nprint mpanel CBTN_NONE\n"), 2);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("test:3: unknown control 'CBTN_NONE' on panel 'mpanel'"), std::string::npos) << err;
}

TEST_F(ShellTest, ScriptBadCommandAndBadWordsFail) {
    EXPECT_EQ(run_script("jump mpanel\n"), 2);
    EXPECT_EQ(run_script("wait soon\n"), 2);
    EXPECT_EQ(run_script("print mpanel \"CBTN_RUN\n"), 2);
    EXPECT_EQ(run_script("set tab2 NUMS_POWER loud\n"), 2);
}

TEST_F(ShellTest, ScriptCannotPressDimmedOrInvisibleControl) {
    SetCtrlAttribute(mpanel, MPANEL_CBTN_SEND, ATTR_DIMMED, 1);
    EXPECT_EQ(run_script("commit mpanel CBTN_SEND\n"), 2);
    EXPECT_EQ(count("exchange"), 0);
    EXPECT_EQ(run_script("commit mpanel CBTN_SEL_HIDDEN\n"), 2);
}

TEST_F(ShellTest, ScriptWaitforTimesOut) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(run_script("waitfor graph1 STRING_STATUS ^never$ 0.2\n"), 2);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("time-out"), std::string::npos) << err;
}

// ---- commands ---------------------------------------------------------------------------------

TEST_F(ShellTest, ScriptDrivesPanelsAndPrints) {
    testing::internal::CaptureStdout();
    int rc = run_script("commit mpanel TOGGLE_FILE\n"
                        "print mpanel CBTN_SEND dimmed\n"
                        "set tab3 RING_CHAN OFF\n"
                        "print tab3 RING_CHAN\n"
                        "set tab2 NUMS_POWER 42\n"
                        "print tab2 NUMS_POWER\n"
                        "commit mpanel CBTN_SEL_GENERAL\n"
                        "print tab7 visible\n"
                        "print mpanel CBTN_SEL_GENERAL colour\n"
                        "print graph1 GRAPH_ANALOGA\n"
                        "print mpanel title\n");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out, "0\nOFF (-1)\n42\n1\n192,192,192\n0\nKORMELAN-3 Zazed V4.04 - Main\n");
}

TEST_F(ShellTest, ScriptListNamesEveryPanelAndControl) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(run_script("list\n"), 0);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("mpanel CBTN_STOP command-button\n"), std::string::npos);
    EXPECT_NE(out.find("tab3 RING_CHAN ring\n"), std::string::npos);
    EXPECT_NE(out.find("\npopup1\n"), std::string::npos);
}

TEST_F(ShellTest, ScriptRightClickReachesCallbackAsHelp) {
    EXPECT_EQ(run_script("rightclick tab1\nrightclick mpanel CBTN_STOP\n"), 0);
    EXPECT_EQ(index_of("help tab1"), 0);
    EXPECT_GE(index_of("help mpanel CBTN_STOP"), 1);
}

TEST_F(ShellTest, ScriptEndClosesThroughShutdown) {
    EXPECT_EQ(run_script("wait 0.05\n"), 0);
    EXPECT_GE(index_of("step 6"), 0);
    EXPECT_EQ(count("acquire 3"), 1);
}

// ---- popups ------------------------------------------------------------------------------------------

TEST_F(ShellTest, ScriptAnswersPopupsFromQueue) {
    InstallCtrlCallback(mpanel, MPANEL_CBTN_HELP, ask_callback, nullptr);
    confirm_result = -1;
    testing::internal::CaptureStderr();
    EXPECT_EQ(run_script("answer yes\ncommit mpanel CBTN_HELP\n"), 0);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(confirm_result, 1);
    EXPECT_NE(err.find("Overwrite?: The file exists."), std::string::npos) << err;
}

TEST_F(ShellTest, ScriptUnansweredPopupTakesDefault) {
    InstallCtrlCallback(mpanel, MPANEL_CBTN_HELP, ask_callback, nullptr);
    confirm_result = -1;
    testing::internal::CaptureStderr();
    EXPECT_EQ(run_script("commit mpanel CBTN_HELP\n"), 0);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(confirm_result, 0);
    EXPECT_NE(err.find("no answer queued"), std::string::npos) << err;
}

TEST_F(ShellTest, ScriptWrongAnswerForPopupFails) {
    InstallCtrlCallback(mpanel, MPANEL_CBTN_HELP, ask_callback, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(run_script("answer /tmp/file.ini\ncommit mpanel CBTN_HELP\nwait 0.05\n"), 2);
    testing::internal::GetCapturedStderr();
}

// ---- long loops --------------------------------------------------------------------------------------

TEST_F(ShellTest, ScriptGoesOnWhileCallbackLoopsAndStopsIt) {
    InstallCtrlCallback(mpanel, MPANEL_CBTN_RUN, run_like_loop, nullptr);
    SetCtrlAttribute(mpanel, MPANEL_CBTN_RUN, ATTR_DIMMED, 0);
    loop_passes = 0;
    testing::internal::CaptureStdout();
    int rc = run_script("commit mpanel CBTN_RUN\n"
                        "waitfor graph1 STRING_STATUS ^Running$ 2\n"
                        "wait 0.1\n"
                        "print graph1 STRING_STATUS\n"
                        "commit mpanel CBTN_STOP\n"
                        "waitfor graph1 STRING_STATUS Stopped 2\n");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out, "Running\n");
    EXPECT_GT(loop_passes, 5);
    // STOP ended the loop before the script's end closed the program.
    ASSERT_GE(index_of("loop ended"), 0);
    EXPECT_LT(index_of("loop ended"), index_of("step 1"));
}
