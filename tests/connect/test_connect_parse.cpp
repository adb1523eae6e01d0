// The connection procedure's text rules, tested without a user interface.
#include "connect/connect_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int port_of(const char* text) {
    int port = -12345;
    return parse_com_port(text, &port) ? port : -12345;
}

std::string sensor(int unit, const char* text, int protocol, int com, const char* server) {
    char out[256];
    format_sensor_line(out, sizeof out, unit, text, protocol, com, server);
    return out;
}

} // namespace

// ---- COM-port entry ----------------------------------------------------------------------

TEST(ComPortEntry, NumberOrComPrefixInEitherCase) {
    EXPECT_EQ(port_of("5"), 5);
    EXPECT_EQ(port_of("COM5"), 5);
    EXPECT_EQ(port_of("com7"), 7);
    EXPECT_EQ(port_of("255"), 255);
    EXPECT_EQ(port_of("COM255"), 255);
}

TEST(ComPortEntry, RefusesAbove255AndNonNumbers) {
    for (const char* bad : {"256", "COM256", "abc", "", "Com5", "COM", "COM 5", "3a", "COM5x"})
        EXPECT_EQ(port_of(bad), -12345) << bad;
}

TEST(ComPortEntry, NoLowerBoundUntilThePortOpens) {
    EXPECT_EQ(port_of("0"), 0);
    EXPECT_EQ(port_of("-3"), -3);
}

TEST(ComPortEntry, ConnectingReadsOnlyTheComForm) {
    int port = 0;
    EXPECT_EQ(read_com_entry("COM12", &port), 1);
    EXPECT_EQ(port, 12);
    EXPECT_EQ(read_com_entry("12", &port), 0);
    EXPECT_EQ(read_com_entry("com12", &port), 0);
}

// ---- recent lists ----------------------------------------------------------------------------

TEST(RecentList, ReenteredEntryMovesUpWithoutDuplicate) {
    std::vector<std::string> list = {"COM1", "COM2", "COM3"};
    recent_list_push(&list, "COM3");
    EXPECT_EQ(list, (std::vector<std::string>{"COM3", "COM1", "COM2"}));
}

TEST(RecentList, NinthDistinctEntryDropsTheOldest) {
    std::vector<std::string> list;
    for (int i = 1; i <= 9; i++) recent_list_push(&list, "COM" + std::to_string(i));
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list.front(), "COM9");
    EXPECT_EQ(list.back(), "COM2");
}

// ---- version check --------------------------------------------------------------------------

TEST(VersionCheck, SameVersionNumberPasses) {
    EXPECT_EQ(versions_match("KORMELAN-3 V4.04 {SN 1}", "KORMELAN-3 Zazed V4.04"), 1);
}

TEST(VersionCheck, OtherVersionNumberFails) {
    EXPECT_EQ(versions_match("KORMELAN-3 V4.10", "KORMELAN-3 Zazed V4.04"), 0);
    EXPECT_EQ(versions_match("KORMELAN-3 V4.0", "KORMELAN-3 Zazed V4.04"), 0);
}

TEST(VersionCheck, TextWithoutCapitalVPasses) {
    EXPECT_EQ(versions_match("kormelan-3 v9.99", "KORMELAN-3 Zazed V4.04"), 1);
    EXPECT_EQ(versions_match("", "KORMELAN-3 Zazed V4.04"), 1);
}

TEST(VersionCheck, FirstCapitalVCountsEvenInsideAWord) {
    // "Version" starts with the V that is compared.
    EXPECT_EQ(versions_match("Version V4.04", "KORMELAN-3 Zazed V4.04"), 0);
}

// ---- answer text ----------------------------------------------------------------------------

TEST(AnswerText, LowByteFirstUpToTheZero) {
    const uint16_t words[] = {'A' | ('B' << 8), 'C', 'X' | ('Y' << 8)};
    char text[16];
    EXPECT_EQ(answer_text(words, 3, text, sizeof text), 3);
    EXPECT_STREQ(text, "ABC");
}

TEST(AnswerText, LongAnswerIsCutNotOverrun) {
    std::vector<uint16_t> words(256, 'a' | ('b' << 8)); // 512 characters, no zero
    char text[256 + 8];
    std::fill(std::begin(text), std::end(text), '#');
    EXPECT_EQ(answer_text(words.data(), 256, text, 256), 255);
    EXPECT_EQ(text[255], '\0');
    EXPECT_EQ(text[256], '#') << "wrote beyond the buffer";
}

// ---- sensor line ----------------------------------------------------------------------------

TEST(SensorLine, OnePartOnCom) {
    EXPECT_EQ(sensor(12, "ABC", 0, 3, ""), "FOUND SENSOR #00012\n\"ABC\"\nON COM3, LINKED TO SENSOR");
}

TEST(SensorLine, OnePartAtServer) {
    EXPECT_EQ(sensor(1, "ABC", 1, 1, "10.0.0.2"),
              "FOUND SENSOR #00001\n\"ABC\"\nON (AND LINKED TO) SERVER\n\"10.0.0.2\"");
}

TEST(SensorLine, FiveDigitUnitNumberKeepsAllDigits) {
    EXPECT_EQ(sensor(65535, "X", 0, 1, "").substr(0, 19), "FOUND SENSOR #65535");
}

TEST(SensorLine, EmptyBracesOrNothingBeforeThemGiveTheWholeText) {
    EXPECT_EQ(sensor(1, "ABC{}", 0, 1, ""), "FOUND SENSOR #00001\n\"ABC{}\"\nON COM1, LINKED TO SENSOR");
    EXPECT_EQ(sensor(1, "{DEF}", 0, 1, ""), "FOUND SENSOR #00001\n\"{DEF}\"\nON COM1, LINKED TO SENSOR");
}

// ---- status and log texts ------------------------------------------------------------------------

TEST(FailureTexts, EachProcedureReportsItsCodes) {
    const int codes[] = {1, -1, -2, -3, -4, -5, -6, -7, -13, -15, -17};
    for (int code : codes) {
        const char* status = nullptr;
        const char* log = nullptr;
        EXPECT_EQ(connect_failure_texts(CONNECT_TRY, code, &status, &log), code != -13) << code;
        EXPECT_EQ(connect_failure_texts(CONNECT_ACCEPT, code, &status, &log), 1) << code;
        EXPECT_EQ(connect_failure_texts(CONNECT_BAUD, code, &status, &log), code != -15) << code;
    }
}

TEST(FailureTexts, ConnectionTextsDifferFromTheLinkTable) {
    const char* status = nullptr;
    const char* log = nullptr;
    ASSERT_EQ(connect_failure_texts(CONNECT_ACCEPT, -13, &status, &log), 1);
    EXPECT_STREQ(status, "Not enough bytes in received frame.");
    EXPECT_STREQ(log, "FRAME SIZE ERROR");
    ASSERT_EQ(connect_failure_texts(CONNECT_TRY, -6, &status, &log), 1);
    EXPECT_STREQ(status, "Stopped by user.");
    EXPECT_STREQ(log, "STOPPED BY USER");
}

TEST(FailureTexts, OtherCodesOnlyCountAsFailure) {
    const char* status = nullptr;
    const char* log = nullptr;
    for (int code : {0, 2, -8, -14, -1000})
        EXPECT_EQ(connect_failure_texts(CONNECT_ACCEPT, code, &status, &log), 0) << code;
}

// ---- access --------------------------------------------------------------------------------------

TEST(Access, AccessWordIsExact) {
    EXPECT_EQ(is_access_word("tesmarol"), 1);
    EXPECT_EQ(is_access_word("Tesmarol"), 0);
    EXPECT_EQ(is_access_word("tesmarol "), 0);
}

TEST(Access, EmptyEntryOpensWhileUserPasswordIsEmpty) {
    EXPECT_EQ(password_accepted("", ""), 1);
    EXPECT_EQ(password_accepted("", "set"), 0);
}
