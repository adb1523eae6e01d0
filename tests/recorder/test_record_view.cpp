// Reading record files back: column names, points of one column, files with
// several recordings, and files the viewer cannot show.
#include "recorder/record_file.h"
#include "recorder/record_view.h"

#include "rec_test_util.h"
#include "support/linefile.h"

#include <chrono>
#include <cstdio>

namespace {

struct RecordView : ::testing::Test {
    std::string path =
        rec_temp_path(std::string("view_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    rec_header_info info = {"01-02-2024", "10:11:12", 1, 9600, "sw", "unit", "id"};
    void TearDown() override { std::remove(path.c_str()); }

    // One recording of n records: raw A = 100 + index, result B = -index / 4,
    // counter A beyond 16 bits.
    void record(int mode, int n) {
        ASSERT_EQ(print_file_header(path.c_str(), mode, n, 1, &info), 0);
        for (int i = 0; i < n; i++) {
            uint16_t r[REC_RECORD_WORDS] = {};
            rec_put16(r, 4, static_cast<int16_t>(100 + i));
            rec_put32(r, 16, -i * 16384);
            rec_put32(r, 2, 70000 + i);
            ASSERT_EQ(print_file_dataset(path.c_str(), i, r, "10:11:12"), 0);
        }
    }
};

} // namespace

TEST_F(RecordView, ColumnNamesInFileOrderWithoutEmptyFields) {
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    record(REC_AUTO_LIMITED, 1);
    std::vector<std::string> names;
    ASSERT_EQ(rec_view_columns(path.c_str(), &names), REC_VIEW_OK);
    ASSERT_EQ(names.size(), 20u);
    EXPECT_EQ(names[0], "result A (float)");
    EXPECT_EQ(names[2], "raw A (short)");
    EXPECT_EQ(names[10], "result B (float)");
    EXPECT_EQ(names[19], "smoothed{val B} (short)");
}

TEST_F(RecordView, ShortColumnAgainstIndex) {
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    record(REC_AUTO_LIMITED, 5);
    std::vector<rec_point> pts;
    int is_float = -1;
    ASSERT_EQ(rec_view_read(path.c_str(), 2, &pts, &is_float), REC_VIEW_OK);
    EXPECT_EQ(is_float, 0);
    ASSERT_EQ(pts.size(), 5u);
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(pts[i].x, i);
        EXPECT_EQ(pts[i].y, 100 + i);
    }
}

TEST_F(RecordView, FloatColumnReadsWhatTheWriterWrote) {
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    record(REC_AUTO_UNLIMITED, 3);
    std::vector<rec_point> pts;
    int is_float = 0;
    ASSERT_EQ(rec_view_read(path.c_str(), 10, &pts, &is_float), REC_VIEW_OK);
    EXPECT_EQ(is_float, 1);
    ASSERT_EQ(pts.size(), 3u);
    EXPECT_DOUBLE_EQ(pts[1].y, -0.25);
    EXPECT_DOUBLE_EQ(pts[2].y, -0.5);
}

// Counters are written with 32 bits; reading them as 16-bit numbers wrapped
// 70000 to 4464.
TEST_F(RecordView, CountersKeepTheirFullWidth) {
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    record(REC_AUTO_UNLIMITED, 2);
    std::vector<rec_point> pts;
    ASSERT_EQ(rec_view_read(path.c_str(), 1, &pts, nullptr), REC_VIEW_OK);
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_EQ(pts[1].y, 70001);
}

TEST_F(RecordView, TwoRecordingsShareTheIndexRange) {
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    record(REC_AUTO_LIMITED, 3);
    record(REC_AUTOTRIGGERED, 2);
    std::vector<rec_point> pts;
    ASSERT_EQ(rec_view_read(path.c_str(), 2, &pts, nullptr), REC_VIEW_OK);
    ASSERT_EQ(pts.size(), 5u);
    const int xs[] = {0, 1, 2, 0, 1};
    for (int i = 0; i < 5; i++) EXPECT_EQ(pts[i].x, xs[i]) << i;
}

TEST_F(RecordView, MissingEmptyOrHeaderlessFiles) {
    std::vector<std::string> names;
    std::vector<rec_point> pts;
    EXPECT_EQ(rec_view_columns(path.c_str(), &names), REC_VIEW_NO_FILE);
    EXPECT_EQ(rec_view_columns("", &names), REC_VIEW_NO_FILE);
    EXPECT_EQ(rec_view_read(nullptr, 0, &pts, nullptr), REC_VIEW_NO_FILE);
    EXPECT_EQ(rec_view_read(::testing::TempDir().c_str(), 0, &pts, nullptr), REC_VIEW_NO_OPEN);
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    EXPECT_EQ(rec_view_columns(path.c_str(), &names), REC_VIEW_NO_COLUMNS);
    record(REC_MANUAL, 1);
    EXPECT_EQ(rec_view_read(path.c_str(), 20, &pts, nullptr), REC_VIEW_BAD_COLUMN);
    EXPECT_EQ(rec_view_read(path.c_str(), -1, &pts, nullptr), REC_VIEW_BAD_COLUMN);
}

TEST_F(RecordView, BrokenDataLinesAreSkipped) {
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    record(REC_MANUAL, 1);
    {
        std::ofstream out(path, std::ios::app);
        out << "*;1;10:11:12;;x;\n*;2;\n*;3;10:11:12;;2.5;7;\r\nnote;4;\n";
    }
    std::vector<rec_point> pts;
    ASSERT_EQ(rec_view_read(path.c_str(), 0, &pts, nullptr), REC_VIEW_OK);
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_EQ(pts[1].x, 3);
    EXPECT_DOUBLE_EQ(pts[1].y, 2.5);
}

// A hand-edited or spreadsheet-saved file may leave a cell empty; dropping
// the empty cell shifted every later column onto the wrong name.
TEST_F(RecordView, EmptyCellsKeepTheirPlace) {
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    record(REC_MANUAL, 1);
    {
        std::ofstream out(path, std::ios::app);
        out << "*;1;10:11:12;;;;207;208;;\n";
    }
    std::vector<rec_point> pts;
    int skipped = -1;
    ASSERT_EQ(rec_view_read(path.c_str(), 2, &pts, nullptr, &skipped), REC_VIEW_OK); // raw A
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_EQ(pts[1].y, 207);
    EXPECT_EQ(skipped, 0);
    ASSERT_EQ(rec_view_read(path.c_str(), 3, &pts, nullptr, &skipped), REC_VIEW_OK); // max{raw A}
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_EQ(pts[1].y, 208);
    // The empty cell itself holds no number: its line is skipped for that column.
    ASSERT_EQ(rec_view_read(path.c_str(), 1, &pts, nullptr, &skipped), REC_VIEW_OK); // counter A
    EXPECT_EQ(pts.size(), 1u);
    EXPECT_EQ(skipped, 1);
    // Channel B's columns lie beyond the cut line.
    ASSERT_EQ(rec_view_read(path.c_str(), 12, &pts, nullptr, &skipped), REC_VIEW_OK); // raw B
    EXPECT_EQ(pts.size(), 1u);
    EXPECT_EQ(skipped, 1);
}

TEST_F(RecordView, NonFiniteValuesAreSkippedAndCounted) {
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    record(REC_AUTO_LIMITED, 1);
    {
        std::ofstream out(path, std::ios::app);
        out << "*;1;t;;nan;\n*;2;t;;inf;\n*;3;t;;-infinity;\n*;4;t;;1e999;\n*;5;t;;0.75;\n*;x;t;;1;\n";
    }
    std::vector<rec_point> pts;
    int skipped = -1;
    ASSERT_EQ(rec_view_read(path.c_str(), 0, &pts, nullptr, &skipped), REC_VIEW_OK);
    ASSERT_EQ(pts.size(), 2u);
    EXPECT_EQ(pts[1].x, 5);
    EXPECT_DOUBLE_EQ(pts[1].y, 0.75);
    EXPECT_EQ(skipped, 5);
}

TEST_F(RecordView, NothingReadableIsAnErrorWithItsCount) {
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    record(REC_AUTO_LIMITED, 0);
    std::vector<rec_point> pts;
    int skipped = -1;
    EXPECT_EQ(rec_view_read(path.c_str(), 0, &pts, nullptr, &skipped), REC_VIEW_NO_DATA);
    EXPECT_EQ(skipped, 0);
    {
        std::ofstream out(path, std::ios::app);
        out << "*;0;t;;nan;\n*;1;t;;;\n";
    }
    EXPECT_EQ(rec_view_read(path.c_str(), 0, &pts, nullptr, &skipped), REC_VIEW_NO_DATA);
    EXPECT_EQ(skipped, 2);
    EXPECT_TRUE(pts.empty());
}

// Regression: a file of any size was read to its end with the user interface
// blocked (300 MB of unreadable lines took 1.6 s). Above the cap of the line
// reader, far beyond forty full recordings, the file is refused at once.
TEST_F(RecordView, FileAboveTheSizeCapIsRefusedAtOnce) {
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    record(REC_AUTO_LIMITED, 2);
    ASSERT_EQ(truncate(path.c_str(), LINEFILE_MAX_BYTES + 1), 0); // the rest reads as zero bytes
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::string> names;
    std::vector<rec_point> pts;
    EXPECT_EQ(rec_view_columns(path.c_str(), &names), REC_VIEW_NO_OPEN);
    EXPECT_EQ(rec_view_read(path.c_str(), 0, &pts, nullptr), REC_VIEW_NO_OPEN);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_TRUE(names.empty() && pts.empty());
}

TEST(RecordViewSummary, WhatTheUserIsTold) {
    EXPECT_EQ(rec_view_summary(5, 0), "");
    EXPECT_EQ(rec_view_summary(5, 1), "1 data line could not be read and was skipped.");
    EXPECT_EQ(rec_view_summary(5, 3), "3 data lines could not be read and were skipped.");
    EXPECT_EQ(rec_view_summary(0, 1), "The one data line could not be read.");
    EXPECT_EQ(rec_view_summary(0, 4), "None of the 4 data lines could be read.");
    EXPECT_EQ(rec_view_summary(0, 0), rec_view_text(REC_VIEW_NO_DATA));
}

TEST(RecordViewCodes, EveryCodeHasAText) {
    for (int code :
         {REC_VIEW_NO_FILE, REC_VIEW_NO_OPEN, REC_VIEW_NO_COLUMNS, REC_VIEW_BAD_COLUMN, REC_VIEW_NO_DATA})
        EXPECT_GT(std::string(rec_view_text(code)).size(), 0u) << code;
}
