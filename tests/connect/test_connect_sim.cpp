// The connect panel end to end: its callbacks on the program's layouts drive
// the link against a simulated unit over TCP loopback and a pseudo-terminal.
#include "connect_fixture.h"

#include "linear/linear_info.h"
#include "params/para_gui.h"
#include "settings/settings_file.h"
#include "sim/sim_faults.h"
#include "support/inifile.h"

#include <QTimer>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace {

const char DEFAULT_VERSION[] = "KORMELAN-3 V4.04 {SN 00042 CH A/B}";

std::vector<uint16_t> words_of(const para_record& rec) {
    std::vector<uint16_t> w(PARA_WORDS);
    para_to_words(&rec, w.data());
    return w;
}

int count_of(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
    return n;
}

// A parameter set the unit never sends: every word 0x5A5A.
para_record marker() {
    std::vector<uint16_t> w(PARA_WORDS, 0x5A5A);
    para_record rec{};
    para_from_words(&rec, w.data());
    return rec;
}

} // namespace

// ---- pairing over TCP ---------------------------------------------------------------------------

TEST_F(ConnectTest, TryToConnectIdentifiesTheUnit) {
    running_sim sim({"--tcp", "0"});
    connect_choose_tcp("127.0.0.1", sim.port());
    commit(TAB1_CMDB_TRYCONNECT);
    EXPECT_EQ(com.connect.status, 1);
    EXPECT_EQ(com.connect.unit_number, 1);
    EXPECT_STREQ(com.connect.unit_text, DEFAULT_VERSION);
    EXPECT_EQ(status_text(), DEFAULT_VERSION);
    EXPECT_EQ(dimmed(tab1, TAB1_CMDB_COMACCEPT), 0);
    EXPECT_NE(log_text().find("ZAZED CONNECTED TO SERVER\n\"127.0.0.1\""), std::string::npos) << log_text();
    EXPECT_TRUE(popups.empty());
}

TEST_F(ConnectTest, AcceptWithYesTakesLimitsRamSetAndDescriptions) {
    running_sim sim({"--tcp", "0"});
    connect_choose_tcp("127.0.0.1", sim.port());
    paras.para_pc = marker();
    commit(TAB1_CMDB_TRYCONNECT);
    answers.push_back(1);
    commit(TAB1_CMDB_COMACCEPT);

    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0],
              "Load parameter from RAM: Do you want to synchronize with\nthe sensor and load RAM parameter?");
    EXPECT_EQ(paras.pt_para_min, &paras.para_min);
    EXPECT_EQ(paras.pt_para_max, &paras.para_max);
    EXPECT_NE(words_of(paras.para_min), words_of(paras.para_max));
    EXPECT_EQ(words_of(paras.para_pc), words_of(paras.para_rd));
    EXPECT_NE(words_of(paras.para_pc), words_of(marker()));

    EXPECT_NE(text(tab9, TAB9_TEXTBOX_DESCRA).find("CH A, linear"), std::string::npos);
    EXPECT_NE(text(tab9, TAB9_TEXTBOX_DESCRB).find("CH B, linear"), std::string::npos);
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEB), "<data from flash memory>");
    EXPECT_NE(log_text().find("FOUND SENSOR #00001\n\"KORMELAN-3 V4.04 \n{SN 00042 CH A/B}\"\n"
                              "ON (AND LINKED TO) SERVER\n\"127.0.0.1\""),
              std::string::npos)
        << log_text();
    EXPECT_EQ(com.connect.status, 1);
    EXPECT_EQ(status_text(), DEFAULT_VERSION);
}

TEST_F(ConnectTest, AcceptWithNoLeavesTheParameterSetButReadsTheRest) {
    running_sim sim({"--tcp", "0"});
    connect_choose_tcp("127.0.0.1", sim.port());
    paras.para_pc = marker();
    commit(TAB1_CMDB_TRYCONNECT);
    answers.push_back(0);
    commit(TAB1_CMDB_COMACCEPT);
    EXPECT_EQ(words_of(paras.para_pc), words_of(marker()));
    EXPECT_EQ(paras.pt_para_min, &paras.para_min);
    EXPECT_EQ(paras.pt_para_max, &paras.para_max);
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEA), "<data from flash memory>");
    EXPECT_NE(log_text().find("FOUND SENSOR #00001"), std::string::npos);
}

// ---- version check ------------------------------------------------------------------------------

TEST_F(ConnectTest, OtherFirmwareVersionAsksAndNoLeavesAcceptDimmed) {
    running_sim sim({"--tcp", "0", "--version-text", "KORMELAN-3 V4.10"});
    connect_choose_tcp("127.0.0.1", sim.port());
    answers.push_back(0);
    commit(TAB1_CMDB_TRYCONNECT);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].rfind("Mismatch of versions: Different versions of controller\n", 0), 0u)
        << popups[0];
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(com.connect.unit_text[0], '\0');
    EXPECT_EQ(dimmed(tab1, TAB1_CMDB_COMACCEPT), 1);
    EXPECT_EQ(dimmed(mpanel, MPANEL_CBTN_RUN), 1);
    EXPECT_NE(log_text().find("CONNECT PROTOCOL ERROR:"), std::string::npos);
    EXPECT_EQ(status_text(), "No connection");
}

TEST_F(ConnectTest, OtherFirmwareVersionConfirmedPairs) {
    running_sim sim({"--tcp", "0", "--version-text", "KORMELAN-3 V4.10"});
    connect_choose_tcp("127.0.0.1", sim.port());
    answers.push_back(1);
    commit(TAB1_CMDB_TRYCONNECT);
    EXPECT_EQ(com.connect.status, 1);
    EXPECT_STREQ(com.connect.unit_text, "KORMELAN-3 V4.10");
    EXPECT_EQ(dimmed(tab1, TAB1_CMDB_COMACCEPT), 0);
}

// ---- sensor line over the pseudo-terminal ------------------------------------------------------

TEST_F(ConnectTest, SensorLineWithoutBracesAndFiveDigitUnitOnCom) {
    running_sim sim({"--pty", "--unit", "12345", "--version-text", "KORMELAN-3 V4.04"});
    link_set_serial_device(COM, sim.pty().c_str());
    connect_choose_com(COM, 4);
    commit(TAB1_CMDB_TRYCONNECT);
    ASSERT_EQ(com.connect.status, 1) << com.connect.message;
    EXPECT_EQ(com.connect.baud, 115200);
    answers.push_back(0);
    commit(TAB1_CMDB_COMACCEPT);
    EXPECT_NE(log_text().find("FOUND SENSOR #12345\n\"KORMELAN-3 V4.04\"\nON COM7, LINKED TO SENSOR"),
              std::string::npos)
        << log_text();
}

TEST_F(ConnectTest, SensorLineWithBracesOnCom) {
    running_sim sim({"--pty", "--unit", "7"});
    link_set_serial_device(COM, sim.pty().c_str());
    connect_choose_com(COM, 1);
    commit(TAB1_CMDB_TRYCONNECT);
    answers.push_back(0);
    commit(TAB1_CMDB_COMACCEPT);
    EXPECT_NE(log_text().find("FOUND SENSOR #00007\n\"KORMELAN-3 V4.04 \n{SN 00042 CH A/B}\"\n"
                              "ON COM7, LINKED TO SENSOR"),
              std::string::npos)
        << log_text();
}

TEST_F(ConnectTest, ComPortWithoutDeviceLogsTheOpenFailureAndGoesNoFurther) {
    link_set_serial_device(COM, "/nonexistent/tty-for-zazed");
    connect_choose_com(COM, 1);
    commit(TAB1_CMDB_TRYCONNECT);
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(log_text().find("Searching"), std::string::npos);
    EXPECT_NE(status_text().find("No connection"), std::string::npos) << status_text();
}

// ---- failures during ACCEPT ------------------------------------------------------------------------

TEST_F(ConnectTest, RejectedOrderDuringAcceptClosesTheLink) {
    running_sim sim({"--tcp", "0"});
    connect_choose_tcp("127.0.0.1", sim.port());
    commit(TAB1_CMDB_TRYCONNECT);
    ASSERT_EQ(com.connect.status, 1);
    sim.set_fault(SIM_FAULT_REJECT, 1.0);
    commit(TAB1_CMDB_COMACCEPT);
    EXPECT_EQ(status_text(), "No connection");
    EXPECT_NE(log_text().find("CONNECT PROTOCOL ERROR:\nUNKNOWN ORDER NUMBER"), std::string::npos)
        << log_text();
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(paras.pt_para_min, nullptr);
    EXPECT_EQ(dimmed(tab1, TAB1_CMDB_COMACCEPT), 1);
    EXPECT_TRUE(popups.empty());
    // Logically closed: nothing reaches the unit until TRY TO CONNECT again.
    EXPECT_EQ(exchange_frame(&com.connect, ORDER_SEARCH, 0, nullptr, 0, nullptr, 0, nullptr),
              LINK_ERR_NO_CONNECTION);
}

TEST_F(ConnectTest, TimeOutDuringAcceptGivesItsTexts) {
    running_sim sim({"--tcp", "0"});
    connect_choose_tcp("127.0.0.1", sim.port());
    commit(TAB1_CMDB_TRYCONNECT);
    ASSERT_EQ(com.connect.status, 1);
    sim.set_fault(SIM_FAULT_DROP, 1.0);
    commit(TAB1_CMDB_COMACCEPT);
    EXPECT_NE(log_text().find("CONNECT PROTOCOL ERROR:\nTIMEOUT WHILE RECEIVING"), std::string::npos)
        << log_text();
    EXPECT_STREQ(com.connect.message, "TIMEOUT WHILE RECEIVING");
    EXPECT_EQ(com.connect.status, 0);
    EXPECT_EQ(paras.pt_para_min, nullptr);
    EXPECT_EQ(status_text(), "No connection");
}

// A click on TRY TO CONNECT handled while ACCEPT waits used to reopen the
// link under the waiting transaction.
TEST_F(ConnectTest, ConnectingAgainWhileATransactionWaitsIsRefused) {
    running_sim sim({"--tcp", "0"});
    connect_choose_tcp("127.0.0.1", sim.port());
    commit(TAB1_CMDB_TRYCONNECT);
    ASSERT_EQ(com.connect.status, 1);
    sim.set_fault(SIM_FAULT_DROP, 1.0);
    std::string nested_status;
    QTimer::singleShot(300, [&] {
        commit(TAB1_CMDB_TRYCONNECT);
        nested_status = status_text();
    });
    commit(TAB1_CMDB_COMACCEPT);
    EXPECT_EQ(nested_status, "Transmit busy.");
    EXPECT_EQ(count_of(log_text(), "ZAZED CONNECTED TO SERVER"), 1) << log_text();
    EXPECT_STREQ(com.connect.message, "TIMEOUT WHILE RECEIVING");
}

// ---- CHANGE BAUD ---------------------------------------------------------------------------------

TEST_F(ConnectTest, ChangeBaudMovesTheUnitAndReconnectsAtTheNewRate) {
    running_sim sim({"--pty", "--baud", "19200"});
    link_set_serial_device(COM, sim.pty().c_str());
    connect_choose_com(COM, 1);
    commit(TAB1_CMDB_TRYCONNECT);
    ASSERT_EQ(com.connect.status, 1) << com.connect.message;
    SetCtrlIndex(tab1, TAB1_RING_BAUDRATE, 4);
    commit(TAB1_CMDB_CHANGEBAUD);
    EXPECT_EQ(status_text(), "Connection reset: b:115200, d:8, s:1, p:None");
    EXPECT_TRUE(wait_until([] { return com.connect.baud == 115200 && com.connect.unit_text[0]; }, 10.0))
        << com.connect.message;
    EXPECT_EQ(com.connect.status, 1);
    uint16_t record[36];
    int n = 0;
    EXPECT_EQ(exchange_frame(&com.connect, ORDER_POLL, POLL_RECORD, nullptr, 0, record, 36, &n), LINK_OK);
}

TEST_F(ConnectTest, ChangeBaudThatFailsStillConnectsAgain) {
    running_sim sim({"--tcp", "0"});
    connect_choose_tcp("127.0.0.1", sim.port());
    commit(TAB1_CMDB_TRYCONNECT);
    sim.set_fault(SIM_FAULT_REJECT, 1.0);
    SetCtrlVal(graph1, GRAPH1_STRING_STATUS, "before");
    commit(TAB1_CMDB_CHANGEBAUD);
    // A rejected order 190 is not one this procedure names.
    EXPECT_EQ(status_text(), "before");
    sim.set_fault(SIM_FAULT_REJECT, 0.0);
    EXPECT_TRUE(wait_until([] { return count_of(log_text(), "ZAZED CONNECTED TO SERVER") == 2; }, 5.0))
        << log_text();
    EXPECT_TRUE(wait_until([] { return com.connect.unit_text[0] != 0; }, 5.0));
    EXPECT_EQ(com.connect.status, 1);
}

// ---- hardware-information export ------------------------------------------------------------------

TEST_F(ConnectTest, ExportWritesVersionsHardwareBlockAndParameters) {
    running_sim sim({"--tcp", "0"});
    connect_choose_tcp("127.0.0.1", sim.port());
    commit(TAB1_CMDB_TRYCONNECT);
    const std::string dir = ::testing::TempDir() + "zazed_export_" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    const std::string file = dir + "/hw.ini";
    paths.push_back(file);
    commit(TAB1_CMDB_EXPORT_HWFILE);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].rfind("Export harware info to file:", 0), 0u);
    EXPECT_EQ(std::string(last_directory).find(dir), 0u) << last_directory;

    IniText store = Ini_New(0);
    ASSERT_GE(Ini_ReadFromFile(store, file.c_str()), 0);
    char value[2048] = "";
    ASSERT_EQ(Ini_GetStringIntoBuffer(store, "GENERAL INFO", "ZAZED VERSION:", value, sizeof value), 1);
    EXPECT_STREQ(value, "KORMELAN-3 Zazed V4.04");
    ASSERT_EQ(Ini_GetStringIntoBuffer(store, "GENERAL INFO", "FIRMWARE VERSION:", value, sizeof value), 1);
    EXPECT_STREQ(value, DEFAULT_VERSION);
    ASSERT_EQ(Ini_GetStringIntoBuffer(store, "HARDWARE INFO", "DATA", value, sizeof value), 1);
    const std::string data = value;
    EXPECT_EQ(data.size(), 256u * 5 - 1);
    EXPECT_EQ(data.substr(0, 15), "4B33 0204 0404 ");
    EXPECT_EQ(data.substr(data.size() - 4), "FFFF");
    EXPECT_EQ(Ini_SectionExists(store, "ChanA Timer"), 1);
    // Limits are not written into the export, even once known.
    EXPECT_EQ(Ini_GetStringIntoBuffer(store, "ChanA Power", "Max. value", value, sizeof value), 0);
    Ini_Dispose(store);
    std::filesystem::remove_all(dir);
}

TEST_F(ConnectTest, ExportCancelledWritesNothing) {
    running_sim sim({"--tcp", "0"});
    connect_choose_tcp("127.0.0.1", sim.port());
    commit(TAB1_CMDB_TRYCONNECT);
    paths.push_back("");
    EXPECT_EQ(connect_export_hw(), 0);
    EXPECT_EQ(status_text().rfind("No file selected.", 0), 0u) << status_text();
}

TEST_F(ConnectTest, ExportWithoutLinkShowsTheReadFailure) {
    EXPECT_EQ(connect_export_hw(), 0);
    EXPECT_EQ(status_text(), "No connection established with control unit.");
    EXPECT_TRUE(popups.empty());
}

// ---- panel fields -----------------------------------------------------------------------------------

TEST_F(ConnectTest, ProtocolRingShowsTheFieldsOfItsLink) {
    SetCtrlIndex(tab1, TAB1_RING_COMMODE, 1);
    commit(TAB1_RING_COMMODE);
    EXPECT_EQ(visible(tab1, TAB1_COMB_IPADDRESS), 1);
    EXPECT_EQ(visible(tab1, TAB1_STRING_TCPPORT), 1);
    EXPECT_EQ(visible(tab1, TAB1_COMB_SELPORT), 0);
    EXPECT_EQ(visible(tab1, TAB1_RING_BAUDRATE), 0);
    SetCtrlIndex(tab1, TAB1_RING_COMMODE, 0);
    commit(TAB1_RING_COMMODE);
    EXPECT_EQ(visible(tab1, TAB1_COMB_SELPORT), 1);
    EXPECT_EQ(visible(tab1, TAB1_COMB_IPADDRESS), 0);
}

TEST_F(ConnectTest, ComPortFieldRewritesNumbersAndRefusesOthers) {
    SetCtrlVal(tab1, TAB1_COMB_SELPORT, "5");
    commit(TAB1_COMB_SELPORT);
    EXPECT_EQ(text(tab1, TAB1_COMB_SELPORT), "COM5");
    char first[16] = "";
    GetLabelFromIndex(tab1, TAB1_COMB_SELPORT, 0, first, sizeof first);
    EXPECT_STREQ(first, "COM5");

    SetCtrlVal(tab1, TAB1_COMB_SELPORT, "COM256");
    commit(TAB1_COMB_SELPORT);
    EXPECT_EQ(text(tab1, TAB1_COMB_SELPORT), "COM5");
    SetCtrlVal(tab1, TAB1_COMB_SELPORT, "abc");
    commit(TAB1_COMB_SELPORT);
    EXPECT_EQ(text(tab1, TAB1_COMB_SELPORT), "COM5");

    for (int i = 10; i < 20; i++) {
        SetCtrlVal(tab1, TAB1_COMB_SELPORT, ("com" + std::to_string(i)).c_str());
        commit(TAB1_COMB_SELPORT);
    }
    int count = 0;
    GetNumListItems(tab1, TAB1_COMB_SELPORT, &count);
    EXPECT_EQ(count, 8);
    EXPECT_EQ(text(tab1, TAB1_COMB_SELPORT), "COM19");
}

TEST_F(ConnectTest, AddressFieldTakesAnyTextOnTop) {
    SetCtrlVal(tab1, TAB1_COMB_IPADDRESS, "unit.example");
    commit(TAB1_COMB_IPADDRESS);
    char first[64] = "";
    GetLabelFromIndex(tab1, TAB1_COMB_IPADDRESS, 0, first, sizeof first);
    EXPECT_STREQ(first, "unit.example");
}

TEST_F(ConnectTest, PanelIdNamesTheWindows) {
    SetCtrlVal(tab1, TAB1_TEXT_PANELID, "Line 3");
    commit(TAB1_TEXT_PANELID);
    EXPECT_STREQ(panel_id, "Line 3");
    char title[256] = "";
    GetPanelAttribute(mpanel, ATTR_TITLE, title, sizeof title);
    EXPECT_STREQ(title, "KORMELAN-3 Zazed V4.04 - Line 3 - Main");
    GetPanelAttribute(osci1, ATTR_TITLE, title, sizeof title);
    EXPECT_STREQ(title, "KORMELAN-3 Zazed V4.04 - Line 3 - Oscillograph");
    EXPECT_EQ(text(tab5, TAB5_STRING_PANELID), "Line 3");

    SetCtrlVal(tab1, TAB1_TEXT_PANELID, "");
    commit(TAB1_TEXT_PANELID);
    GetPanelAttribute(mpanel, ATTR_TITLE, title, sizeof title);
    EXPECT_STREQ(title, "KORMELAN-3 Zazed V4.04 - Main");
}

TEST_F(ConnectTest, AccessWordRevealsThePasswordWithoutChangingThePanelId) {
    snprintf(panel_id, sizeof panel_id, "Line 3");
    connect_window_titles();
    SetCtrlVal(tab1, TAB1_TEXT_PANELID, "tesmarol");
    commit(TAB1_TEXT_PANELID);
    EXPECT_STREQ(panel_id, "Line 3");
    EXPECT_EQ(text(tab1, TAB1_TEXT_PANELID), "Line 3");
    char title[256] = "";
    GetPanelAttribute(mpanel, ATTR_TITLE, title, sizeof title);
    EXPECT_STREQ(title, "KORMELAN-3 Zazed V4.04 - Line 3 - Main");
    EXPECT_EQ(visible(tab1, TAB1_PWDC_PASSWORD), 1);
    EXPECT_EQ(visible(tab1, TAB1_TEXT_PANELID), 0);
    panel_id[0] = '\0';
}

TEST_F(ConnectTest, MasterPasswordOpensTheHiddenSettings) {
    SetCtrlVal(tab1, TAB1_TEXT_PANELID, "tesmarol");
    commit(TAB1_TEXT_PANELID);
    SetCtrlVal(tab1, TAB1_PWDC_PASSWORD, "quorbil");
    commit(TAB1_PWDC_PASSWORD);
    EXPECT_TRUE(popups.empty());
    int shown = 0;
    GetPanelAttribute(tab8, ATTR_VISIBLE, &shown);
    EXPECT_EQ(shown, 1);
    GetPanelAttribute(tab1, ATTR_VISIBLE, &shown);
    EXPECT_EQ(shown, 0);
    for (int s : {MPANEL_CBTN_SEL_HIDDEN, MPANEL_CBTN_SEL_FILTER, MPANEL_CBTN_SEL_COUNTER})
        EXPECT_EQ(visible(mpanel, s), 1) << s;
    int colour = 0;
    GetCtrlAttribute(mpanel, MPANEL_CBTN_SEL_HIDDEN, ATTR_CMD_BUTTON_COLOR, &colour);
    EXPECT_EQ(colour, MakeColor(192, 192, 192));
    GetCtrlAttribute(mpanel, MPANEL_CBTN_SEL_CONNECT, ATTR_CMD_BUTTON_COLOR, &colour);
    EXPECT_EQ(colour, MakeColor(224, 224, 224));
    EXPECT_EQ(visible(tab1, TAB1_PWDC_PASSWORD), 0);
    EXPECT_EQ(visible(tab1, TAB1_TEXT_PANELID), 1);
}

TEST_F(ConnectTest, WrongPasswordSaysSoAndHidesTheField) {
    SetCtrlVal(tab1, TAB1_TEXT_PANELID, "tesmarol");
    commit(TAB1_TEXT_PANELID);
    SetCtrlVal(tab1, TAB1_PWDC_PASSWORD, "guess");
    commit(TAB1_PWDC_PASSWORD);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0], "Password entry: Password incorrect.");
    EXPECT_EQ(visible(mpanel, MPANEL_CBTN_SEL_HIDDEN), 0);
    EXPECT_EQ(visible(tab1, TAB1_PWDC_PASSWORD), 0);
    EXPECT_EQ(visible(tab1, TAB1_TEXT_PANELID), 1);
}

TEST_F(ConnectTest, DoubleClickClearsTheLog) {
    InsertTextBoxLine(tab1, TAB1_TEXT_CONNECTSTAT, -1, "something");
    SimulateCtrlEvent(tab1, TAB1_TEXT_CONNECTSTAT, EVENT_LEFT_DOUBLE_CLICK, 0, 0);
    int lines = -1;
    GetNumTextBoxLines(tab1, TAB1_TEXT_CONNECTSTAT, &lines);
    EXPECT_LE(lines, 1);
    EXPECT_EQ(log_text().find("something"), std::string::npos);
}

// ---- settings file ------------------------------------------------------------------------------------

TEST_F(ConnectTest, SettingsFileKeepsListsPortAndBaudRate) {
    const std::string path =
        ::testing::TempDir() + "zazed_connect_settings_" + std::to_string(getpid()) + ".ini";
    connect_choose_tcp("10.1.2.3", 4321);
    connect_choose_com(9, 2);
    ASSERT_EQ(store_scope_para(path.c_str()), 0);

    ClearListCtrl(tab1, TAB1_COMB_SELPORT);
    ClearListCtrl(tab1, TAB1_COMB_IPADDRESS);
    SetCtrlVal(tab1, TAB1_STRING_TCPPORT, "1");
    SetCtrlIndex(tab1, TAB1_RING_BAUDRATE, 0);
    ASSERT_EQ(load_scope_para(path.c_str()), 0);

    EXPECT_EQ(text(tab1, TAB1_COMB_SELPORT), "COM9");
    int count = 0;
    GetNumListItems(tab1, TAB1_COMB_SELPORT, &count);
    EXPECT_EQ(count, 3) << "COM9, COM1, COM2";
    EXPECT_EQ(text(tab1, TAB1_COMB_IPADDRESS), "10.1.2.3");
    GetNumListItems(tab1, TAB1_COMB_IPADDRESS, &count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(text(tab1, TAB1_STRING_TCPPORT), "4321");
    int index = -1;
    GetCtrlIndex(tab1, TAB1_RING_BAUDRATE, &index);
    EXPECT_EQ(index, 2);
    std::remove(path.c_str());
}

TEST_F(ConnectTest, SettingsFileWithOnlyAnOddBaudRateFallsBack) {
    const std::string path = ::testing::TempDir() + "zazed_connect_baud_" + std::to_string(getpid()) + ".ini";
    {
        FILE* f = std::fopen(path.c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("[RS232 connection data]\nBaudrate = 4800\n", f);
        std::fclose(f);
    }
    SetCtrlVal(tab1, TAB1_COMB_SELPORT, "7");
    commit(TAB1_COMB_SELPORT);
    ASSERT_EQ(load_scope_para(path.c_str()), 0);
    int index = -1;
    GetCtrlIndex(tab1, TAB1_RING_BAUDRATE, &index);
    EXPECT_EQ(index, 4);
    EXPECT_EQ(text(tab1, TAB1_COMB_SELPORT), "COM1");
    int count = 0;
    GetNumListItems(tab1, TAB1_COMB_SELPORT, &count);
    EXPECT_EQ(count, 2);
    std::remove(path.c_str());
}

// ---- linearisation descriptions -----------------------------------------------------------------------

TEST_F(ConnectTest, FullDescriptionBlockStopsAtItsEnd) {
    char blocks[2 * LINEAR_DESCR_BYTES];
    std::memset(blocks, 'A', LINEAR_DESCR_BYTES);
    std::memset(blocks + LINEAR_DESCR_BYTES, 'B', LINEAR_DESCR_BYTES);
    EXPECT_EQ(refresh_linear_info(0, blocks), 1);
    EXPECT_EQ(text(tab9, TAB9_TEXTBOX_DESCRA), std::string(LINEAR_DESCR_BYTES, 'A'));
    EXPECT_EQ(refresh_linear_info(1, nullptr), 0);
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEB), "<no file selected>");
}
