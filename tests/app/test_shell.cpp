// The main window's callbacks on the real layouts: panel selection, target
// dimming, SEND/READ, STOP, shut-down order, settings file.
#include "shell_fixture.h"

#include "link/link.h"
#include "settings/settings_file.h"
#include "settings/settings_path.h"
#include "support/path_time.h"
#include "tests/support/fifo_guard.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

int visible(int panel, int ctrl) {
    int v = -1;
    GetCtrlAttribute(panel, ctrl, ATTR_VISIBLE, &v);
    return v;
}

int dimmed(int panel, int ctrl) {
    int v = -1;
    GetCtrlAttribute(panel, ctrl, ATTR_DIMMED, &v);
    return v;
}

int panel_visible(int panel) {
    int v = -1;
    GetPanelAttribute(panel, ATTR_VISIBLE, &v);
    return v;
}

int colour(int panel, int ctrl) {
    int v = -1;
    GetCtrlAttribute(panel, ctrl, ATTR_CMD_BUTTON_COLOR, &v);
    return v;
}

void commit(int panel, int ctrl) {
    SimulateCtrlEvent(panel, ctrl, EVENT_COMMIT, 0, 0);
}

const int hidden_selectors[3] = {MPANEL_CBTN_SEL_HIDDEN, MPANEL_CBTN_SEL_FILTER, MPANEL_CBTN_SEL_COUNTER};

void unlock_hidden() {
    for (int b : hidden_selectors) SetCtrlAttribute(mpanel, b, ATTR_VISIBLE, 1);
}

std::string temp_path(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

} // namespace

// ---- start-up ----------------------------------------------------------------------------

TEST_F(ShellTest, StartUpShowsConnectPanelAndMainDisplay) {
    EXPECT_EQ(panel_visible(mpanel), 1);
    EXPECT_EQ(panel_visible(tab1), 1);
    EXPECT_EQ(panel_visible(graph1), 1);
    EXPECT_EQ(panel_visible(tab2), 0);
    EXPECT_EQ(panel_visible(graph2), 0);
    EXPECT_EQ(panel_visible(osci1), 0);
    EXPECT_EQ(colour(mpanel, MPANEL_CBTN_SEL_CONNECT), 0xC0C0C0);
    char title[128];
    GetPanelAttribute(mpanel, ATTR_TITLE, title, sizeof title);
    EXPECT_STREQ(title, "KORMELAN-3 Zazed V4.04 - Main");
    GetPanelAttribute(osci1, ATTR_TITLE, title, sizeof title);
    EXPECT_STREQ(title, "KORMELAN-3 Zazed V4.04 - Oscillograph");
    EXPECT_EQ(ctrl_text(graph1, GRAPH1_STRING_STATUS), "KORMELAN-3 Zazed V4.04");
}

TEST_F(ShellTest, StartUpFillsConnectionChoices) {
    EXPECT_EQ(ctrl_text(tab1, TAB1_COMB_SELPORT), "COM1");
    EXPECT_EQ(ctrl_text(tab1, TAB1_COMB_IPADDRESS), "192.168.0.10");
    int n = 0;
    GetNumListItems(tab1, TAB1_COMB_IPADDRESS, &n);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(visible(tab1, TAB1_COMB_SELPORT), 1);
    EXPECT_EQ(visible(tab1, TAB1_COMB_IPADDRESS), 0);
    EXPECT_EQ(visible(tab1, TAB1_PWDC_PASSWORD), 0);
    EXPECT_EQ(visible(tab1, TAB1_TEXTMSG_PASSWORD), 0);
    int mask = 0;
    GetCtrlAttribute(tab1, TAB1_PWDC_PASSWORD, ATTR_MASK_CHARACTER, &mask);
    EXPECT_EQ(mask, '*');
}

TEST_F(ShellTest, ChannelPanelsShareTheLayoutButNotTheirLists) {
    EXPECT_NE(tab2, tab3);
    EXPECT_EQ(GetPanelHandleByName("tab3"), tab3);
    int n = 0, value = 0;
    GetNumListItems(tab2, TAB2_RING_CHAN, &n);
    EXPECT_EQ(n, 1);
    GetNumListItems(tab3, TAB2_RING_CHAN, &n);
    EXPECT_EQ(n, 3);
    GetCtrlValInt(tab3, TAB2_RING_CHAN, &value);
    EXPECT_EQ(value, 0); // "2" selected
    EXPECT_EQ(ctrl_text(tab2, TAB2_TEXT_TITLE), "CHANNEL A");
    EXPECT_EQ(ctrl_text(tab3, TAB2_TEXT_TITLE), "CHANNEL B");
    // The output rings differ: channel A lists A's tolerances, B lists B's.
    char a[128] = "", b[128] = "";
    int na = 0, nb = 0;
    GetNumListItems(tab2, TAB2_RING_OUTCOND, &na);
    GetNumListItems(tab3, TAB2_RING_OUTCOND, &nb);
    ASSERT_GT(na, 1);
    ASSERT_GT(nb, 1);
    GetLabelFromIndex(tab2, TAB2_RING_OUTCOND, na - 1, a, sizeof a);
    GetLabelFromIndex(tab3, TAB2_RING_OUTCOND, nb - 1, b, sizeof b);
    EXPECT_STRNE(a, b);
}

TEST_F(ShellTest, SettingsFileNameIsWholeVersionStringInProjectDir) {
    char path[UI_MAX_PATH];
    ASSERT_EQ(settings_file_in("/opt/k3", path), 0);
    EXPECT_STREQ(path, "/opt/k3/KORMELAN-3 Zazed V4.04.ini");
    // Start-up builds it from the executable's directory.
    char dir[UI_MAX_PATH], expected[UI_MAX_PATH];
    GetProjectDir(dir);
    settings_file_in(dir, expected);
    shell_discard_panels();
    ASSERT_EQ(shell_startup(), 0);
    EXPECT_STREQ(scope_para_file, expected);
    scope_para_file[0] = 0;
}

// ---- panel selection -------------------------------------------------------------------------

TEST_F(ShellTest, SelectorShowsItsPanelOnlyAndMarksItself) {
    commit(mpanel, MPANEL_CBTN_SEL_RECORDER);
    EXPECT_EQ(panel_visible(tab5), 1);
    EXPECT_EQ(panel_visible(tab1), 0);
    EXPECT_EQ(colour(mpanel, MPANEL_CBTN_SEL_RECORDER), 0xC0C0C0);
    EXPECT_EQ(colour(mpanel, MPANEL_CBTN_SEL_CONNECT), 0xE0E0E0);
    commit(mpanel, MPANEL_CBTN_SEL_CHANB);
    EXPECT_EQ(panel_visible(tab3), 1);
    EXPECT_EQ(panel_visible(tab2), 0);
    EXPECT_EQ(panel_visible(tab5), 0);
}

TEST_F(ShellTest, HiddenSelectorsStayWhileAHiddenPanelIsChosen) {
    unlock_hidden();
    commit(mpanel, MPANEL_CBTN_SEL_FILTER);
    EXPECT_EQ(panel_visible(tab10), 1);
    for (int b : hidden_selectors) EXPECT_EQ(visible(mpanel, b), 1);
    commit(mpanel, MPANEL_CBTN_SEL_COUNTER);
    EXPECT_EQ(panel_visible(tab11), 1);
    EXPECT_EQ(panel_visible(tab10), 0);
    for (int b : hidden_selectors) EXPECT_EQ(visible(mpanel, b), 1);
    commit(mpanel, MPANEL_CBTN_SEL_LINEAR);
    EXPECT_EQ(panel_visible(tab9), 1);
    for (int b : hidden_selectors) EXPECT_EQ(visible(mpanel, b), 0);
}

TEST_F(ShellTest, AnySelectionLocksUnlockEntryAndLinearSend) {
    SetCtrlAttribute(tab1, TAB1_PWDC_PASSWORD, ATTR_VISIBLE, 1);
    SetCtrlAttribute(tab1, TAB1_TEXTMSG_PASSWORD, ATTR_VISIBLE, 1);
    SetCtrlAttribute(tab1, TAB1_TEXT_PANELID, ATTR_VISIBLE, 0);
    SetCtrlAttribute(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED, 0);
    commit(mpanel, MPANEL_CBTN_SEL_CONNECT);
    EXPECT_EQ(visible(tab1, TAB1_PWDC_PASSWORD), 0);
    EXPECT_EQ(visible(tab1, TAB1_TEXTMSG_PASSWORD), 0);
    EXPECT_EQ(visible(tab1, TAB1_TEXT_PANELID), 1);
    EXPECT_EQ(visible(tab1, TAB1_TEXTMSG_PANELID), 1);
    EXPECT_EQ(dimmed(tab9, TAB9_CMDB_SEND_LIN), 1);
}

TEST_F(ShellTest, SelectorRightClickOpensHelpWithPanelDescription) {
    EXPECT_EQ(SimulateCtrlEvent(mpanel, MPANEL_CBTN_SEL_TEACH, EVENT_RIGHT_CLICK, 0, 0), 1);
    EXPECT_EQ(SimulateCtrlEvent(mpanel, MPANEL_CBTN_SEL_LINEAR, EVENT_RIGHT_CLICK, 0, 0), 1);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], "help mpanel CBTN_SEL_TEACH");
    EXPECT_EQ(calls[1], "help mpanel CBTN_SEL_LINEAR");
    EXPECT_EQ(panel_visible(tab4), 0); // a right click selects nothing
}

TEST_F(ShellTest, TabBackgroundRightClickHelpExceptChannelBAndTwoHidden) {
    EXPECT_EQ(SimulateCtrlEvent(tab1, 0, EVENT_RIGHT_CLICK, 0, 0), 1);
    EXPECT_EQ(SimulateCtrlEvent(tab3, 0, EVENT_RIGHT_CLICK, 0, 0), 1);
    EXPECT_EQ(SimulateCtrlEvent(tab10, 0, EVENT_RIGHT_CLICK, 0, 0), 1);
    EXPECT_EQ(SimulateCtrlEvent(tab8, 0, EVENT_RIGHT_CLICK, 0, 0), 1);
    EXPECT_EQ(SimulateCtrlEvent(tab8, 0, EVENT_LEFT_CLICK, 0, 0), 0);
    // tab3 runs the channel callback; the help names channel B by the panel.
    std::vector<std::string> expected = {"help tab1", "help tab3", "help tab8"};
    EXPECT_EQ(calls, expected);
}

// ---- target ------------------------------------------------------------------------------------

TEST_F(ShellTest, FileTargetEnablesSendReadWithoutConnection) {
    SetCtrlAttribute(mpanel, MPANEL_CBTN_SEND, ATTR_DIMMED, 1);
    SetCtrlAttribute(mpanel, MPANEL_CBTN_READ, ATTR_DIMMED, 1);
    commit(mpanel, MPANEL_TOGGLE_FILE);
    EXPECT_EQ(get_para_target(), PARA_TARGET_FILE);
    EXPECT_EQ(dimmed(mpanel, MPANEL_CBTN_SEND), 0);
    EXPECT_EQ(dimmed(mpanel, MPANEL_CBTN_READ), 0);
    commit(mpanel, MPANEL_TOGGLE_ROM);
    EXPECT_EQ(get_para_target(), PARA_TARGET_ROM);
    EXPECT_EQ(dimmed(mpanel, MPANEL_CBTN_SEND), 1);
    EXPECT_EQ(dimmed(mpanel, MPANEL_CBTN_READ), 1);
}

TEST_F(ShellTest, RamTargetEnablesSendReadOnlyWhenConnected) {
    com.connect.status = 1;
    commit(mpanel, MPANEL_TOGGLE_RAM);
    EXPECT_EQ(dimmed(mpanel, MPANEL_CBTN_SEND), 0);
    com.connect.status = 0;
    commit(mpanel, MPANEL_TOGGLE_RAM);
    EXPECT_EQ(dimmed(mpanel, MPANEL_CBTN_SEND), 1);
}

TEST_F(ShellTest, ExactlyOneTargetIsOn) {
    commit(mpanel, MPANEL_TOGGLE_FILE);
    commit(mpanel, MPANEL_TOGGLE_RAM);
    int ram = 0, rom = 0, file = 0;
    GetCtrlValInt(mpanel, MPANEL_TOGGLE_RAM, &ram);
    GetCtrlValInt(mpanel, MPANEL_TOGGLE_ROM, &rom);
    GetCtrlValInt(mpanel, MPANEL_TOGGLE_FILE, &file);
    EXPECT_EQ(ram + rom + file, 1);
    EXPECT_EQ(get_para_target(), PARA_TARGET_RAM);
    SetCtrlValInt(mpanel, MPANEL_TOGGLE_RAM, 0);
    EXPECT_EQ(get_para_target(), PARA_TARGET_NONE);
}

// ---- SEND and READ ---------------------------------------------------------------------------------

TEST_F(ShellTest, SendToRomCollectsPanelsThenWritesAndStores) {
    commit(mpanel, MPANEL_TOGGLE_ROM);
    calls.clear();
    commit(mpanel, MPANEL_CBTN_SEND);
    std::vector<std::string> expected = {"acquire 2", "exchange 3 out 228 in 0"};
    EXPECT_EQ(calls, expected);
    EXPECT_EQ(ctrl_text(graph1, GRAPH1_STRING_STATUS), "Sending data ... Done. ");
}

TEST_F(ShellTest, ReadFromRamTakesAnswerOnlyOnSuccess) {
    commit(mpanel, MPANEL_TOGGLE_RAM);
    paras.para_pc = para_record{};
    fakes.exchange = -4;
    fakes.exchange_text = "Timeout while receiving.";
    calls.clear();
    commit(mpanel, MPANEL_CBTN_READ);
    EXPECT_EQ(count("update"), 0);
    EXPECT_EQ(paras.para_pc.scanrate, 0);
    EXPECT_EQ(ctrl_text(graph1, GRAPH1_STRING_STATUS), "Reading data ... Timeout while receiving.");
    fakes.exchange = 0;
    fakes.exchange_text = "Done. ";
    calls.clear();
    commit(mpanel, MPANEL_CBTN_READ);
    std::vector<std::string> expected = {"exchange 2 out 0 in 228", "update"};
    EXPECT_EQ(calls, expected);
    uint16_t words[PARA_WORDS];
    para_to_words(&paras.para_pc, words);
    EXPECT_EQ(words[0], 1000);
    EXPECT_EQ(words[PARA_WORDS - 1], 1000 + PARA_WORDS - 1);
    EXPECT_EQ(memcmp(&paras.para_pc, &paras.para_rd, sizeof paras.para_pc), 0);
}

TEST_F(ShellTest, ReadFromRomLoadsThenReads) {
    commit(mpanel, MPANEL_TOGGLE_ROM);
    calls.clear();
    commit(mpanel, MPANEL_CBTN_READ);
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0], "exchange 4 out 0 in 228");
}

TEST_F(ShellTest, FileTargetReportsFailuresInStatusLine) {
    commit(mpanel, MPANEL_TOGGLE_FILE);
    fakes.save = -1;
    commit(mpanel, MPANEL_CBTN_SEND);
    EXPECT_EQ(ctrl_text(graph1, GRAPH1_STRING_STATUS), "Error while saving file.");
    fakes.save = 0;
    commit(mpanel, MPANEL_CBTN_SEND);
    EXPECT_EQ(ctrl_text(graph1, GRAPH1_STRING_STATUS), "Sending data ... Done.");
    paras.para_pc = para_record{};
    fakes.file = -1;
    commit(mpanel, MPANEL_CBTN_READ);
    EXPECT_EQ(ctrl_text(graph1, GRAPH1_STRING_STATUS), "Error while reading file.");
    EXPECT_EQ(paras.para_pc.scanrate, 0);
    fakes.file = 0;
    commit(mpanel, MPANEL_CBTN_READ);
    EXPECT_EQ(ctrl_text(graph1, GRAPH1_STRING_STATUS), "Reading data ... Done.");
    EXPECT_EQ(paras.para_pc.scanrate, 4321);
}

TEST_F(ShellTest, SendReadIgnoredWhileTransactionInFlight) {
    commit(mpanel, MPANEL_TOGGLE_FILE);
    SetCtrlVal(graph1, GRAPH1_STRING_STATUS, "busy");
    calls.clear();
    com.exch_active = 1;
    commit(mpanel, MPANEL_CBTN_SEND);
    commit(mpanel, MPANEL_CBTN_READ);
    com.exch_active = 0;
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(ctrl_text(graph1, GRAPH1_STRING_STATUS), "busy");
}

// ---- STOP ----------------------------------------------------------------------------------------------

TEST_F(ShellTest, StopEndsModeAndResetsButtons) {
    runs.run = 1;
    SetCtrlAttribute(mpanel, MPANEL_CBTN_STOP, ATTR_DIMMED, 0);
    SetCtrlAttribute(mpanel, MPANEL_CBTN_RUN, ATTR_CMD_BUTTON_COLOR, 0xFF0000);
    SetCtrlAttribute(mpanel, MPANEL_CBTN_VIDEO, ATTR_DIMMED, 1);
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_KEYPRESS, ' ', 0);
    EXPECT_EQ(runs.run, 0);
    EXPECT_EQ(colour(mpanel, MPANEL_CBTN_RUN), 0xE0E0E0);
    EXPECT_EQ(dimmed(mpanel, MPANEL_CBTN_VIDEO), 0);
    EXPECT_EQ(ctrl_text(graph1, GRAPH1_STRING_STATUS), "Stopped.");
    double a = -1, b = -1;
    GetCtrlValDouble(graph1, GRAPH1_BAR_ACTIVITY1, &a);
    GetCtrlValDouble(graph1, GRAPH1_BAR_ACTIVITY2, &b);
    EXPECT_EQ(a, 0.0);
    EXPECT_EQ(b, 100.0);
    EXPECT_EQ(count("rec_buttons 0"), 1);
}

// ---- window and shut-down ---------------------------------------------------------------------------------

TEST_F(ShellTest, DoubleClickRestoresMainWindowSize) {
    SetPanelSize(mpanel, 300, 400);
    SimulateCtrlEvent(mpanel, 0, EVENT_LEFT_DOUBLE_CLICK, 0, 0);
    int w = 0, h = 0;
    GetPanelAttribute(mpanel, ATTR_WIDTH, &w);
    GetPanelAttribute(mpanel, ATTR_HEIGHT, &h);
    EXPECT_EQ(w, 790);
    EXPECT_EQ(h, 548);
}

TEST_F(ShellTest, CloseWithStopDimmedGoesStraightToSaving) {
    std::string path = temp_path("zazed_shell_close.ini");
    std::remove(path.c_str());
    snprintf(scope_para_file, sizeof scope_para_file, "%s", path.c_str());
    SetCtrlAttribute(mpanel, MPANEL_CBTN_STOP, ATTR_DIMMED, 1);
    SimulateCtrlEvent(mpanel, 0, EVENT_CLOSE, 0, 0);
    std::vector<std::string> expected = {"step 1",    "step 2", "step 3", "step 4",
                                         "acquire 3", "step 5", "step 6"};
    EXPECT_EQ(calls, expected);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(UserInterfaceQuitting(), 1);
    std::remove(path.c_str());
}

// A settings file that could not be written at close was lost without a word.
TEST_F(ShellTest, FailedSettingsSaveAtCloseIsReportedWithItsPath) {
    static std::vector<std::string> shown;
    SetPopupHandler([](const ui_popup_request* r, char*, int) {
        shown.push_back(std::string(r->title ? r->title : "") + "|" + (r->text ? r->text : ""));
        return 1;
    });
    const std::string where = temp_path(("zazed_shell_close_" + std::to_string(getpid())).c_str());
    std::filesystem::create_directories(where);
    // A directory that does not exist, and a directory in place of the file.
    for (const std::string& path : {where + "/missing/settings.ini", where}) {
        shown.clear();
        calls.clear();
        snprintf(scope_para_file, sizeof scope_para_file, "%s", path.c_str());
        SetCtrlAttribute(mpanel, MPANEL_CBTN_STOP, ATTR_DIMMED, 1);
        SimulateCtrlEvent(mpanel, 0, EVENT_CLOSE, 0, 0);
        ASSERT_EQ(shown.size(), 1u) << path;
        EXPECT_EQ(shown[0], "File error!|The program settings could not be written to\n" + path);
        EXPECT_EQ(calls.back(), "step 6"); // then the program closes
        EXPECT_EQ(UserInterfaceQuitting(), 1);
    }
    EXPECT_FALSE(std::filesystem::exists(where + "/missing"));
    std::filesystem::remove_all(where);
}

TEST_F(ShellTest, CloseDuringRunLoopStopsLoopBeforeSaving) {
    // A RUN-like loop: polls the user-event queue until `run` drops, and
    // closes the window itself after a few passes, as a person would.
    static std::vector<int> seen_events;
    seen_events.clear();
    InstallCtrlCallback(
        mpanel, MPANEL_CBTN_RUN,
        [](int, int, int event, void*, int, int) {
            if (event != EVENT_COMMIT) return 0;
            runs.run = 1;
            // Like a transaction, each pass fetches the pending event before
            // the loop looks at `run`.
            for (int pass = 0; pass < 1000; pass++) {
                int p = 0, c = 0;
                int e = GetUserEvent(0, &p, &c);
                if (e && p == mpanel && c == MPANEL_CBTN_STOP) seen_events.push_back(e);
                if (!runs.run) break;
                if (pass == 3) SimulateCtrlEvent(mpanel, 0, EVENT_CLOSE, 0, 0);
            }
            calls.push_back("loop ended");
            return 0;
        },
        nullptr);
    SetCtrlAttribute(mpanel, MPANEL_CBTN_STOP, ATTR_DIMMED, 0);
    commit(mpanel, MPANEL_CBTN_RUN);
    EXPECT_EQ(runs.run, 0);
    int stop = index_of("rec_buttons 0");
    ASSERT_GE(stop, 0);
    EXPECT_LT(index_of("step 3"), stop);
    EXPECT_LT(stop, index_of("step 4"));
    EXPECT_LT(index_of("step 6"), index_of("loop ended"));
    ASSERT_FALSE(seen_events.empty());
    EXPECT_EQ(seen_events[0], 1000); // the stop request travels the queue
}

// ---- settings file --------------------------------------------------------------------------------------

TEST_F(ShellTest, SettingsFileKeepsWindowPlaceAndPanelId) {
    std::string path = temp_path("zazed_shell_settings.ini");
    SetPanelPos(mpanel, 40, 60);
    SetPanelSize(mpanel, 500, 700);
    snprintf(panel_id, sizeof panel_id, "%s", "SENSOR 7");
    ASSERT_EQ(store_scope_para(path.c_str()), 0);
    SetPanelPos(mpanel, 0, 0);
    SetPanelSize(mpanel, 548, 790);
    panel_id[0] = 0;
    ASSERT_EQ(load_scope_para(path.c_str()), 0);
    int v = 0;
    GetPanelAttribute(mpanel, ATTR_LEFT, &v);
    EXPECT_EQ(v, 60);
    GetPanelAttribute(mpanel, ATTR_HEIGHT, &v);
    EXPECT_EQ(v, 500);
    EXPECT_STREQ(panel_id, "SENSOR 7");
    char title[128];
    GetPanelAttribute(mpanel, ATTR_TITLE, title, sizeof title);
    EXPECT_STREQ(title, "KORMELAN-3 Zazed V4.04 - SENSOR 7 - Main");
    EXPECT_EQ(ctrl_text(tab5, TAB5_STRING_PANELID), "SENSOR 7");
    std::remove(path.c_str());
    panel_id[0] = 0;
}

TEST_F(ShellTest, OverlongPanelIdIsCutNotOverrun) {
    std::string path = temp_path("zazed_shell_long.ini");
    {
        std::ofstream f(path);
        f << "[Panel data]\nPanel ID string = \"" << std::string(100, 'x') << "\"\n";
    }
    ASSERT_EQ(load_scope_para(path.c_str()), 0);
    EXPECT_EQ(strlen(panel_id), sizeof panel_id - 1);
    std::remove(path.c_str());
    panel_id[0] = 0;
}

// The settings file used to be written from scratch, so the serial devices a user had
// named by hand were gone after the first run.
TEST_F(ShellTest, SettingsFileNamesSerialDevicesAndKeepsThem) {
    std::string path = temp_path("zazed_shell_serial.ini");
    {
        std::ofstream f(path);
        f << "[Serial devices]\r\nCOM7 = \"/tmp/ttyK3\"\r\n\r\n[Unknown]\r\nx = 1\r\n";
    }
    link_clear_serial_devices();
    ASSERT_EQ(load_scope_para(path.c_str()), 0);
    char device[64] = "";
    link_com_device(7, device, sizeof device);
    EXPECT_STREQ(device, "/tmp/ttyK3");
    link_com_device(2, device, sizeof device);
    EXPECT_STREQ(device, "/dev/ttyS1");

    ASSERT_EQ(store_scope_para(path.c_str()), 0);
    std::ifstream f(path);
    std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("COM7 = \"/tmp/ttyK3\""), std::string::npos);
    EXPECT_NE(text.find("[Unknown]"), std::string::npos);
    EXPECT_NE(text.find("[Panel data]"), std::string::npos);
    link_clear_serial_devices();
    std::remove(path.c_str());
}

// The device was read into 260 bytes and opened from 128: a longer path was cut
// and named another device.
TEST_F(ShellTest, SerialDevicePathLongerThan260BytesIsKeptWhole) {
    std::string path = temp_path(("zazed_shell_serial_long_" + std::to_string(getpid()) + ".ini").c_str());
    const std::string device = "/dev/serial/by-path/" + std::string(300, 'p');
    {
        // Written by the store, which splits long values over several lines.
        IniText store = Ini_New(0);
        Ini_PutString(store, "Serial devices", "COM3", device.c_str());
        ASSERT_EQ(Ini_WriteToFile(store, path.c_str()), 0);
        Ini_Dispose(store);
    }
    link_clear_serial_devices();
    ASSERT_EQ(load_scope_para(path.c_str()), 0);
    char got[UI_MAX_PATH] = "";
    ASSERT_EQ(link_com_device(3, got, sizeof got), 0);
    EXPECT_EQ(std::string(got), device);
    // A buffer it does not fit is refused, not filled with a cut path.
    char small[64] = "stale";
    EXPECT_LT(link_com_device(3, small, sizeof small), 0);
    EXPECT_STREQ(small, "");
    link_clear_serial_devices();
    std::remove(path.c_str());
}

// A named pipe in place of the settings file stopped the program at start-up,
// waiting for a writer for good.
TEST_F(ShellTest, NamedPipeAsSettingsFileIsRefusedWithoutWaiting) {
    fifo_guard fifo(temp_path(("zazed_shell_pipe_" + std::to_string(getpid()) + ".ini").c_str()));
    ASSERT_TRUE(fifo.made());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_LT(load_scope_para(fifo.path().c_str()), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(fifo.fired()) << "start-up blocked on the pipe";
    char title[128];
    GetPanelAttribute(mpanel, ATTR_TITLE, title, sizeof title);
    EXPECT_STREQ(title, "KORMELAN-3 Zazed V4.04 - Main");
}

TEST_F(ShellTest, MissingSettingsFileChangesNothing) {
    EXPECT_LT(load_scope_para("/nonexistent/dir/x.ini"), 0);
    char title[128];
    GetPanelAttribute(mpanel, ATTR_TITLE, title, sizeof title);
    EXPECT_STREQ(title, "KORMELAN-3 Zazed V4.04 - Main");
}
