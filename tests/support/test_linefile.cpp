// Line reader: line ends split across chunks, long lines, files and memory alike.
#include "support/linefile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> lines_of(LineFile lf, int size = 256, bool non_empty = false) {
    std::vector<std::string> out;
    std::vector<char> buf(size);
    int length = -1;
    int r;
    while ((r = non_empty ? LineFile_ReadNonEmpty(lf, buf.data(), size, &length)
                          : LineFile_Read(lf, buf.data(), size, &length)) == 1) {
        out.emplace_back(buf.data(), length);
    }
    EXPECT_EQ(r, 0);
    return out;
}

std::vector<std::string> lines_of(const std::string& text, int size = 256, bool non_empty = false) {
    LineFile lf = nullptr;
    EXPECT_EQ(LineFile_NewFromMemory(text.data(), text.size(), &lf), 0);
    auto out = lines_of(lf, size, non_empty);
    LineFile_Dispose(lf);
    return out;
}

using Lines = std::vector<std::string>;

// ---- Line ends ----

TEST(LineFile, PairsAcrossTheChunkBoundary) {
    // CR as the last byte of the first chunk, its LF the first of the next.
    std::string text(LINEFILE_CHUNK - 1, 'a');
    text += "\r\nb\n\rc\r\rd";
    const Lines got = lines_of(text, 4096);
    EXPECT_EQ(got, (Lines{std::string(LINEFILE_CHUNK - 1, 'a'), "b", "c", "", "d"}));
}

TEST(LineFile, EmptyInputAndTrailingEnd) {
    EXPECT_EQ(lines_of(""), Lines{});
    EXPECT_EQ(lines_of("x\r\n"), Lines{"x"});
    EXPECT_EQ(lines_of(std::string("\0", 1)), Lines{""});
}

// ---- Long lines ----

TEST(LineFile, LongLineIsCutNotCarriedOver) {
    const std::string text = std::string(5000, 'x') + "\nnext";
    EXPECT_EQ(lines_of(text, 8), (Lines{"xxxxxxx", "next"}));
}

TEST(LineFile, NonEmptySkipsBlankLinesButCountsThem) {
    const std::string text = "\n \t\nvalue\n\v\n";
    LineFile lf = nullptr;
    ASSERT_EQ(LineFile_NewFromMemory(text.data(), text.size(), &lf), 0);
    char buf[16];
    EXPECT_EQ(LineFile_ReadNonEmpty(lf, buf, sizeof buf, nullptr), 1);
    EXPECT_STREQ(buf, "value");
    EXPECT_EQ(LineFile_LineNumber(lf), 3);
    EXPECT_EQ(LineFile_ReadNonEmpty(lf, buf, sizeof buf, nullptr), 0);
    LineFile_Dispose(lf);
}

// ---- Files ----

TEST(LineFile, FileGivesTheSameLinesAsMemory) {
    char name[] = "/tmp/linefile_XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    std::string text;
    for (int i = 0; i < 1000; i++) text += "line " + std::to_string(i) + (i % 2 ? "\r\n" : "\n\r");
    FILE* f = fdopen(fd, "wb");
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
    LineFile lf = nullptr;
    ASSERT_EQ(LineFile_New(name, &lf), 0);
    EXPECT_EQ(lines_of(lf), lines_of(text));
    LineFile_Dispose(lf);
    remove(name);
    EXPECT_EQ(LineFile_New(name, &lf), LINEFILE_ERR_OPEN);
}

// ---- Size cap ----

// A file of `size` bytes that takes no disk space: its content reads as zero
// bytes, each of them a line end, which is the slowest text there is.
struct SparseFile {
    char name[32] = "/tmp/linefile_big_XXXXXX";
    explicit SparseFile(long long size) {
        const int fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(ftruncate(fd, size), 0);
        close(fd);
    }
    ~SparseFile() { remove(name); }
};

// Regression: a file of any size was read to its end, line by line, with the
// user interface blocked; a wrong choice in a file dialog took seconds.
TEST(LineFileCap, FileAboveTheCapIsRefusedBeforeReading) {
    SparseFile big(LINEFILE_MAX_BYTES + 1);
    const auto start = std::chrono::steady_clock::now();
    LineFile lf = nullptr;
    EXPECT_EQ(LineFile_New(big.name, &lf), LINEFILE_ERR_READ);
    EXPECT_EQ(lf, nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));

    SparseFile at_cap(LINEFILE_MAX_BYTES);
    ASSERT_EQ(LineFile_New(at_cap.name, &lf), 0);
    LineFile_Dispose(lf);
}

TEST(LineFileCap, FileGrowingPastTheCapFailsWhereItPassesIt) {
    SparseFile f(100);
    LineFile lf = nullptr;
    ASSERT_EQ(LineFile_NewCapped(f.name, 3 * LINEFILE_CHUNK, &lf), 0);
    ASSERT_EQ(truncate(f.name, 3 * LINEFILE_CHUNK + 1), 0);
    char line[8];
    int r;
    int lines = 0;
    while ((r = LineFile_Read(lf, line, sizeof line, nullptr)) == 1) lines++;
    EXPECT_EQ(r, LINEFILE_ERR_READ);
    EXPECT_EQ(lines, 3 * LINEFILE_CHUNK);
    LineFile_Dispose(lf);
}

} // namespace
