// Linearisation data files: both readers on regular files, on files from
// other systems, on damaged files and on things that are no files.
#include "linear/linear_file.h"

#include "linear_test_util.h"
#include "tests/support/fifo_guard.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

namespace {

struct Info {
    std::unique_ptr<linear_file_info> r = std::make_unique<linear_file_info>();
    int rc = 0;
    explicit Info(const std::string& text) { rc = linear_file_read_info_mem(text.data(), text.size(), r.get()); }
    linear_file_info* operator->() { return r.get(); }
};

struct Values {
    std::vector<int> v = std::vector<int>(1024, -99);
    int count = -1;
    int rc = 0;
    explicit Values(const std::string& text, int n = 1024) {
        rc = linear_file_read_values_mem(text.data(), text.size(), n, v.data(), &count);
    }
};

std::vector<std::string> regular_lines() {
    std::vector<std::string> lines = lin_ideal_lines();
    for (const char* d : {"x0-200", "x1234", "xLVDT", "xJ. Doe", "x01-02-2024"}) lines.push_back(d);
    return lines;
}

} // namespace

// ---- Regular files ----

TEST(LinearFileInfo, RegularFileGivesPointsAndDescriptions) {
    Info info(lin_text(regular_lines()));
    ASSERT_EQ(info.rc, LINEAR_FILE_OK);
    EXPECT_EQ(info->npoints, 1024);
    EXPECT_EQ(info->x[0], 4096);
    EXPECT_EQ(info->x[1023], 4);
    EXPECT_EQ(info->y[0], 4 * 1024);
    EXPECT_EQ(info->y[1023], 4);
    ASSERT_EQ(info->ndescr, 5);
    EXPECT_STREQ(info->descr[0], "0-200");
    EXPECT_STREQ(info->descr[4], "01-02-2024");
    EXPECT_EQ(info->skipped, 0);
    EXPECT_STREQ(linfile_descr[2], "Sensortype:    ");
    for (const char* label : linfile_descr) EXPECT_EQ(std::strlen(label), 15u);
}

TEST(LinearFileInfo, PathAndMemoryReadAlike) {
    const std::string text = lin_text(regular_lines(), "\r\n");
    const std::string path = lin_temp_path("alike");
    lin_write(path, text);
    auto from_file = std::make_unique<linear_file_info>();
    ASSERT_EQ(linear_file_read_info(path.c_str(), from_file.get()), LINEAR_FILE_OK);
    Info from_mem(text);
    EXPECT_EQ(std::memcmp(from_file.get(), from_mem.r.get(), sizeof(linear_file_info)), 0);
    std::vector<int> v(1024);
    int count = 0;
    EXPECT_EQ(linear_file_read_values(path.c_str(), 1024, v.data(), &count), LINEAR_FILE_OK);
    EXPECT_EQ(count, 1024);
    EXPECT_EQ(v[5], 1019);
    std::remove(path.c_str());
}

TEST(LinearFileInfo, SixDescriptionLinesShowFive) {
    std::vector<std::string> lines = regular_lines();
    lines.push_back("xsixth");
    Info info(lin_text(lines));
    ASSERT_EQ(info->ndescr, 5);
    EXPECT_STREQ(info->descr[4], "01-02-2024");
}

TEST(LinearFileInfo, DescriptionLinesAmongDataAndUpperCaseX) {
    Info info(lin_text({"xfirst", "10", "X not a description", "20", "xsecond"}));
    EXPECT_EQ(info->npoints, 2);
    EXPECT_EQ(info->y[1], 80);
    ASSERT_EQ(info->ndescr, 2);
    EXPECT_STREQ(info->descr[1], "second");
    EXPECT_EQ(info->skipped, 1);
}

// ---- Files from other systems ----

TEST(LinearFileBoth, CrLfAndBlanksAroundNumbers) {
    const std::string text = " 12 \r\n\t7\t\r\n+5\r\n-3\r\nxRange \r\n";
    Info info(text);
    ASSERT_EQ(info->npoints, 4);
    EXPECT_EQ(info->y[0], 48);
    EXPECT_EQ(info->y[1], 28);
    EXPECT_EQ(info->y[2], 20);
    EXPECT_EQ(info->y[3], -12);
    ASSERT_EQ(info->ndescr, 1);
    EXPECT_STREQ(info->descr[0], "Range "); // no CR left behind

    Values values(text, 4);
    EXPECT_EQ(values.rc, LINEAR_FILE_OK);
    EXPECT_EQ(values.count, 4);
    EXPECT_EQ(values.v[0], 12);
    EXPECT_EQ(values.v[3], -3);
}

TEST(LinearFileBoth, OverLongLineIsCutAndItsRestDropped) {
    // The number's tail lies beyond character 255: it must neither join the
    // number nor come back as a line of its own.
    const std::string long_data = "5" + std::string(294, ' ') + "77";
    const std::string long_descr = "x" + std::string(299, 'a');
    const std::string text = lin_text({long_data, "6", long_descr, "xnext"});
    Info info(text);
    ASSERT_EQ(info->npoints, 2);
    EXPECT_EQ(info->y[0], 20);
    EXPECT_EQ(info->y[1], 24);
    ASSERT_EQ(info->ndescr, 2);
    EXPECT_EQ(std::strlen(info->descr[0]), 254u);
    EXPECT_STREQ(info->descr[1], "next");

    Values values(text, 2);
    EXPECT_EQ(values.rc, LINEAR_FILE_OK);
    EXPECT_EQ(values.count, 2);
    EXPECT_EQ(values.v[0], 5);
    EXPECT_EQ(values.v[1], 6);
}

TEST(LinearFileBoth, WhatIsNotANumber) {
    for (const char* line : {"12abc", "0x10", "1.5", "+", "-", "--3", "+-3", "1 2", "x5"}) {
        Info info(lin_text({line}));
        EXPECT_EQ(info->npoints, 0) << line;
        Values values(lin_text({line}), 1);
        EXPECT_EQ(values.rc, LINEAR_FILE_NOT_NUMBER) << line;
    }
}

// ---- Damaged files ----

TEST(LinearFileBoth, EmptyThousandthLine) {
    std::vector<std::string> lines = regular_lines();
    lines[999] = "";
    const std::string text = lin_text(lines);
    Info info(text);
    EXPECT_EQ(info->npoints, 1023); // the gap is skipped, the points after it shown
    EXPECT_EQ(info->y[999], 4 * (1024 - 1000));
    EXPECT_EQ(info->ndescr, 5);
    Values values(text);
    EXPECT_EQ(values.rc, LINEAR_FILE_OK);
    EXPECT_EQ(values.count, 999); // the empty line ends the data
}

TEST(LinearFileBoth, TextHeaderBeforeTheData) {
    std::vector<std::string> lines = regular_lines();
    lines.insert(lines.begin(), "Sensor characteristic");
    const std::string text = lin_text(lines);
    Info info(text);
    EXPECT_EQ(info->npoints, 1024);
    EXPECT_EQ(info->skipped, 1);
    Values values(text);
    EXPECT_EQ(values.rc, LINEAR_FILE_NOT_NUMBER);
    EXPECT_EQ(values.count, 0);
}

TEST(LinearFileBoth, ReadingsBeyondTenBits) {
    // 9000 x 4 does not fit into 16 bits; the point keeps its value. 40000 is
    // no 16-bit number: the info reader skips it, the value reader takes it.
    const std::string text = lin_text({"9000", "40000", "-32768", "32767", "32768"});
    Info info(text);
    ASSERT_EQ(info->npoints, 3);
    EXPECT_EQ(info->y[0], 36000);
    EXPECT_EQ(info->y[1], -131072);
    EXPECT_EQ(info->y[2], 131068);
    EXPECT_EQ(info->skipped, 2);
    Values values(text, 5);
    EXPECT_EQ(values.rc, LINEAR_FILE_OK);
    EXPECT_EQ(values.v[1], 40000);
    Values huge(lin_text({"2147483647", "-2147483648", "2147483648"}), 3);
    EXPECT_EQ(huge.rc, LINEAR_FILE_NOT_NUMBER);
    EXPECT_EQ(huge.count, 2);
    EXPECT_EQ(huge.v[1], -2147483647 - 1);
}

TEST(LinearFileBoth, AllZeroReadingsAreReadAsSuch) {
    const std::string text = lin_text(std::vector<std::string>(1024, "0"));
    Info info(text);
    EXPECT_EQ(info->npoints, 1024);
    EXPECT_EQ(info->y[500], 0);
    Values values(text);
    EXPECT_EQ(values.count, 1024);
}

TEST(LinearFileBoth, BinaryJunk) {
    std::mt19937 rng(7);
    std::string junk(256 * 1024, '\0');
    for (char& c : junk) c = static_cast<char>(rng());
    Info info(junk);
    EXPECT_EQ(info.rc, LINEAR_FILE_OK);
    EXPECT_LE(info->ndescr, 5);
    for (int k = 0; k < info->ndescr; k++) EXPECT_LT(std::strlen(info->descr[k]), 255u);
    Values values(junk);
    EXPECT_EQ(values.rc, LINEAR_FILE_NOT_NUMBER);
}

TEST(LinearFileBoth, LineAndSizeCaps) {
    // Within the size cap, the info reader still stops at its line cap.
    Info many(std::string(LINEAR_FILE_MAX_LINES + 500, '\n'));
    EXPECT_EQ(many.rc, LINEAR_FILE_OK);
    EXPECT_EQ(many->skipped, LINEAR_FILE_MAX_LINES);

    std::string at_cap(LINEAR_FILE_MAX_BYTES, 'j');
    EXPECT_EQ(Info(at_cap).rc, LINEAR_FILE_OK);
    at_cap.push_back('j');
    EXPECT_EQ(Info(at_cap).rc, LINEAR_FILE_TOO_BIG);
    EXPECT_EQ(Values(at_cap).rc, LINEAR_FILE_TOO_BIG);

    // 50 MB on disk (sparse, so the test writes nothing) is refused at once.
    const std::string path = lin_temp_path("huge");
    { std::ofstream out(path, std::ios::binary); }
    std::filesystem::resize_file(path, 50u << 20);
    auto info = std::make_unique<linear_file_info>();
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(linear_file_read_info(path.c_str(), info.get()), LINEAR_FILE_TOO_BIG);
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(100));
    std::remove(path.c_str());
}

// ---- No file ----

TEST(LinearFileBoth, MissingIsNotUnreadable) {
    auto info = std::make_unique<linear_file_info>();
    std::vector<int> v(4);
    int count = -1;
    const std::string missing = lin_temp_path("missing");
    EXPECT_EQ(linear_file_read_info(missing.c_str(), info.get()), LINEAR_FILE_MISSING);
    EXPECT_EQ(linear_file_read_info((missing + "/below").c_str(), info.get()), LINEAR_FILE_MISSING);
    EXPECT_EQ(linear_file_read_info("", info.get()), LINEAR_FILE_MISSING);
    EXPECT_EQ(linear_file_read_info(nullptr, info.get()), LINEAR_FILE_MISSING);
    EXPECT_EQ(linear_file_read_values(missing.c_str(), 4, v.data(), &count), LINEAR_FILE_MISSING);
    EXPECT_EQ(count, 0);

    // A directory exists but is no file to read.
    EXPECT_EQ(linear_file_read_info(::testing::TempDir().c_str(), info.get()), LINEAR_FILE_NO_OPEN);
    EXPECT_EQ(linear_file_read_values(::testing::TempDir().c_str(), 4, v.data(), &count), LINEAR_FILE_NO_OPEN);
}

TEST(LinearFileBoth, NamedPipeIsRefusedWithoutWaiting) {
    fifo_guard fifo(lin_temp_path("pipe"));
    ASSERT_TRUE(fifo.made());
    auto info = std::make_unique<linear_file_info>();
    EXPECT_EQ(linear_file_read_info(fifo.path().c_str(), info.get()), LINEAR_FILE_NO_OPEN);
    std::vector<int> v(4);
    int count = 0;
    EXPECT_EQ(linear_file_read_values(fifo.path().c_str(), 4, v.data(), &count), LINEAR_FILE_NO_OPEN);
    EXPECT_FALSE(fifo.fired());
}

TEST(LinearFileBoth, BadArguments) {
    std::vector<int> v(4);
    int count = 0;
    EXPECT_EQ(linear_file_read_info_mem("1", 1, nullptr), LINEAR_FILE_BAD_ARG);
    EXPECT_EQ(linear_file_read_values_mem("1", 1, 0, v.data(), &count), LINEAR_FILE_BAD_ARG);
    EXPECT_EQ(linear_file_read_values_mem("1", 1, LINEAR_FILE_MAX_LINES + 1, v.data(), &count),
              LINEAR_FILE_BAD_ARG);
    EXPECT_EQ(linear_file_read_values_mem(nullptr, 5, 4, v.data(), &count), LINEAR_FILE_BAD_ARG);
    EXPECT_EQ(Info(std::string()).rc, LINEAR_FILE_OK);
}
