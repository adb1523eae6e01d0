// What the panel shows and sends: linear error texts, table curves, the SEND
// plan, the description blocks and the progress of a transfer.
#include "linear/linear_curve.h"
#include "linear/linear_math.h"
#include "linear/linear_transfer.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <string>

namespace {

std::string error_text(double e) {
    char buf[32];
    EXPECT_GT(linear_error_text(e, buf, sizeof buf), 0);
    return buf;
}

std::string block_text(const unsigned char* block) {
    return std::string(reinterpret_cast<const char*>(block), strnlen(reinterpret_cast<const char*>(block), 256));
}

bool zero_from(const unsigned char* block, size_t from) {
    for (size_t i = from; i < LINEAR_DESCR_BYTES; i++)
        if (block[i] != 0) return false;
    return true;
}

} // namespace

// ---- Linear error ----

TEST(LinearError, LargestDeviationInPercentOfFullScale) {
    const int x[3] = {4096, 4092, 4088};
    const int y[3] = {4096, 4092 - 41, 4088 + 20};
    EXPECT_DOUBLE_EQ(linear_error(x, y, 3), 41 / 40.96);
    EXPECT_EQ(error_text(linear_error(x, y, 3)), "1.00% linear error");
    EXPECT_EQ(error_text(4095 / 40.96), "99.98% linear error");
    EXPECT_EQ(error_text(36000 / 40.96), "878.91% linear error");
    EXPECT_EQ(linear_error(x, y, 0), 0.0);
    char small[8];
    EXPECT_EQ(linear_error_text(1.0, small, sizeof small), -1);
    EXPECT_STREQ(small, "");
}

TEST(LinearError, DecimalPointUnderACommaLocale) {
    const char* locales[] = {"de_DE.UTF-8", "de_DE", "fr_FR.UTF-8"};
    const char* chosen = nullptr;
    for (const char* l : locales)
        if (std::setlocale(LC_NUMERIC, l)) {
            chosen = l;
            break;
        }
    if (!chosen) GTEST_SKIP() << "no locale with a decimal comma installed";
    const std::string text = error_text(12.5);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(text, "12.50% linear error");
}

// ---- Curves ----

TEST(LinearCurve, TableIsDrawnFromTheEndOfTheRange) {
    int16_t t[1024];
    get_default_linear_data(LINEAR_FULL_SCALE, t, 1024);
    t[1023] = 32767;
    t[0] = 7;
    int x[1024], y[1024];
    linear_table_curve(t, x, y);
    EXPECT_EQ(x[0], 4096);
    EXPECT_EQ(y[0], 4095);
    EXPECT_EQ(x[1023], 4);
    EXPECT_EQ(y[1023], 0);
    EXPECT_EQ(y[1], 32702 >> 3); // entry 1022 of the default table
    linear_default_points(x, y);
    EXPECT_EQ(x[10], 4056);
    EXPECT_EQ(y[10], 4056);
    EXPECT_EQ(y[1023], 4);
}

// ---- SEND plan ----

TEST(LinearSend, NinePartsTablesThenInformation) {
    const uint16_t values[9] = {0x1400, 0x1500, 0x1600, 0x1700, 0x1800, 0x1900, 0x1A00, 0x1B00, 0x1300};
    int16_t a[1024], b[1024];
    for (int i = 0; i < 1024; i++) {
        a[i] = static_cast<int16_t>(i);
        b[i] = static_cast<int16_t>(30000 + i);
    }
    unsigned char info[512];
    for (int i = 0; i < 512; i++) info[i] = static_cast<unsigned char>(i * 7);
    uint16_t words[256];
    for (int part = 0; part < LINEAR_SEND_PARTS; part++) {
        SCOPED_TRACE(part);
        EXPECT_EQ(linear_send_plan[part].value, values[part]);
        ASSERT_EQ(linear_send_words(part, a, b, info, words), 0);
        if (part < 4) {
            EXPECT_EQ(words[0], 256 * part);
            EXPECT_EQ(words[255], 256 * part + 255);
        } else if (part < 8) {
            EXPECT_EQ(words[0], 30000 + 256 * (part - 4));
        } else {
            EXPECT_EQ(words[0], info[0] | info[1] << 8);
            EXPECT_EQ(words[255], info[510] | info[511] << 8);
        }
    }
    EXPECT_EQ(linear_send_words(9, a, b, info, words), -1);
    EXPECT_EQ(linear_send_words(8, a, b, nullptr, words), -1);
}

TEST(LinearSend, StatusTextsAndBars) {
    char text[32];
    ASSERT_GT(linear_send_text(1, false, text, sizeof text), 0);
    EXPECT_STREQ(text, "Part 1 of 9 ... ");
    ASSERT_GT(linear_send_text(9, true, text, sizeof text), 0);
    EXPECT_STREQ(text, "Part 9 of 9 ... OK.");
    EXPECT_EQ(linear_send_text(9, true, text, 10), -1);
    EXPECT_DOUBLE_EQ(linear_send_bar(1), 94.5);
    EXPECT_DOUBLE_EQ(linear_send_bar(2), 89.0);
    EXPECT_DOUBLE_EQ(linear_send_bar(17), 6.5);
    EXPECT_DOUBLE_EQ(linear_send_bar(18), 100.0);
}

// ---- Description blocks ----

TEST(LinearDescr, LinesWithLineFeedsZeroFilled) {
    const char* lines[] = {"Range [mm]:    0-200", "Ser.No.:       42"};
    unsigned char block[256];
    std::memset(block, 0xEE, sizeof block);
    EXPECT_EQ(linear_descr_block(lines, 2, block), 2);
    EXPECT_EQ(block_text(block), "Range [mm]:    0-200\nSer.No.:       42\n");
    EXPECT_TRUE(zero_from(block, 39));
}

TEST(LinearDescr, EmptyBoxGivesZeroBytes) {
    unsigned char block[256];
    std::memset(block, 0xEE, sizeof block);
    EXPECT_EQ(linear_descr_block(nullptr, 0, block), 0);
    EXPECT_TRUE(zero_from(block, 0));
}

// Five lines of 60 characters need 305 bytes: the block keeps the first four
// whole lines, not four and a half.
TEST(LinearDescr, LongDescriptionIsCutAtALineBoundary) {
    const std::string l(60, 'd');
    const char* lines[] = {l.c_str(), l.c_str(), l.c_str(), l.c_str(), l.c_str()};
    unsigned char block[256];
    EXPECT_EQ(linear_descr_block(lines, 5, block), 4);
    const std::string text = block_text(block);
    EXPECT_EQ(text.size(), 244u);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_TRUE(zero_from(block, 244));
    // Exactly 255 bytes still fit with the terminating zero.
    const std::string last(255 - 4 * 61 - 1, 'e');
    const char* fitting[] = {l.c_str(), l.c_str(), l.c_str(), l.c_str(), last.c_str()};
    EXPECT_EQ(linear_descr_block(fitting, 5, block), 5);
    EXPECT_EQ(block_text(block).size(), 255u);
    EXPECT_EQ(block[255], 0);
}

TEST(LinearDescr, OverLongFirstLineIsCutToFit) {
    const std::string l(400, 'f');
    const char* lines[] = {l.c_str(), "second"};
    unsigned char block[256];
    EXPECT_EQ(linear_descr_block(lines, 2, block), 1);
    EXPECT_EQ(block_text(block), std::string(254, 'f') + "\n");
}

TEST(LinearDescr, InformationBlockRoundTrip) {
    const char* a[] = {"Range [mm]:    0-200"};
    const char* b[] = {"Sensortype:    LVDT", "Linearized by: me"};
    unsigned char info[512];
    linear_descr_block(a, 1, info);
    linear_descr_block(b, 2, info + 256);
    uint16_t words[256];
    ASSERT_EQ(linear_send_words(8, nullptr, nullptr, info, words), 0);
    unsigned char back[512];
    linear_info_bytes(words, 256, back);
    EXPECT_EQ(std::memcmp(back, info, 512), 0);
    // A short answer leaves the rest zero.
    linear_info_bytes(words, 3, back);
    EXPECT_EQ(back[5], info[5]);
    EXPECT_EQ(back[6], 0);
    EXPECT_EQ(back[300], 0);
}

// The unit's block as the box shows it: up to the first zero, at most the whole
// block when it has none, without the last line's line feed.
TEST(LinearDescr, BlockFromTheUnitAsTheBoxShowsIt) {
    const char* lines[] = {"Range [mm]:    0-200", "Ser.No.:       42"};
    unsigned char block[256];
    linear_descr_block(lines, 2, block);
    char text[257];
    EXPECT_EQ(linear_descr_text(block, text), 38);
    EXPECT_STREQ(text, "Range [mm]:    0-200\nSer.No.:       42");
    std::memset(block, 'u', sizeof block);
    EXPECT_EQ(linear_descr_text(block, text), 256);
    EXPECT_EQ(text[256], '\0');
    block[0] = '\n';
    block[1] = 0;
    EXPECT_EQ(linear_descr_text(block, text), 0);
    EXPECT_EQ(linear_descr_text(nullptr, text), -1);
}
