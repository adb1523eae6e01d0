// Record files: the text of header blocks and data lines, files other programs
// read, missing files, and write failures.
#include "recorder/record_file.h"

#include "rec_test_util.h"
#include "tests/support/file_limit.h"

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <csignal>
#include <cstring>
#include <random>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const char column_line[] =
    "#;index;timestamp;;result A (float);counter A (short);raw A (short);max{raw A} (short);val A (short);"
    "min{val A} (short);max{val A} (short);filtered{val A} (short);derivated{val A} (short);"
    "smoothed{val A} (short);;result B (float);counter B (short);raw B (short);max{raw B} (short);"
    "val B (short);min{val B} (short);max{val B} (short);filtered{val B} (short);derivated{val B} (short);"
    "smoothed{val B} (short);\n";

rec_header_info info(const char* panel_id = "Sensor 7") {
    return {"01-02-2024", "10:11:12", 3, 115200, "KORMELAN-3 Zazed V4.04", "V4.04 unit", panel_id};
}

// A record whose every field has a value of its own, so a swapped column shows.
void sample_record(uint16_t* r) {
    for (int i = 0; i < REC_RECORD_WORDS; i++) r[i] = 0;
    rec_put32(r, 0, 98304); // 1.5
    rec_put32(r, 2, 70000);
    rec_put16(r, 4, -5);
    for (int w = 5; w <= 11; w++) rec_put16(r, w, static_cast<int16_t>(w == 5 ? 100 : w == 6 ? 200 : w));
    rec_put32(r, 16, -98304); // -1.5
    rec_put32(r, 18, 3);
    rec_put16(r, 20, 2000);
    rec_put16(r, 21, 2100);
    rec_put16(r, 22, 2200);
    for (int w = 23; w <= 27; w++) rec_put16(r, w, static_cast<int16_t>(w));
}
const char sample_line[] =
    "*;7;10:11:12;;1.500000;70000;-5;100;200;10;11;7;8;9;;-1.500000;3;2000;2100;2200;26;27;23;24;25;\n";

struct RecordFile : ::testing::Test {
    std::string path = rec_temp_path(::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { ASSERT_EQ(print_file_start(path.c_str()), 0); }
    void TearDown() override { std::remove(path.c_str()); }

    // The text of a header block between the panel ID line and the column line.
    std::string mode_line(int mode, int max, int interval) {
        const rec_header_info i = info();
        EXPECT_EQ(print_file_header(path.c_str(), mode, max, interval, &i), 0);
        const std::string t = rec_file_text(path);
        const size_t b = t.rfind("Panel ID:; Sensor 7;\n");
        const size_t e = t.rfind("\n#;");
        if (b == std::string::npos || e == std::string::npos) return "<no header>";
        const size_t from = b + std::strlen("Panel ID:; Sensor 7;\n");
        return t.substr(from, e - from);
    }
};

} // namespace

// ---- header blocks ----

TEST_F(RecordFile, TitleAndOneFullHeaderBlock) {
    const rec_header_info i = info();
    ASSERT_EQ(print_file_header(path.c_str(), REC_AUTO_LIMITED, 100, 5, &i), 0);
    EXPECT_EQ(rec_file_text(path), std::string("KORMELAN-3 record file:\n"
                                               "\n"
                                               "File created:; 01-02-2024; 10:11:12;\n"
                                               "RS232 connection:; COM3;\n"
                                               "RS232 format:; b:115200 d:8 s:1 p:None;\n"
                                               "Recording software:; KORMELAN-3 Zazed V4.04;\n"
                                               "Control unit version:; V4.04 unit;\n"
                                               "Panel ID:; Sensor 7;\n"
                                               "Recording mode:; AUTO LIMITED: one value each 5 sec., 100 "
                                               "values max;\n"
                                               "\n") +
                                       column_line);
}

TEST_F(RecordFile, ModeLinePerModeAndInterval) {
    EXPECT_EQ(mode_line(0, 100, 1), "Recording mode:; AUTO LIMITED: one value each sec., 100 values max;\n");
    EXPECT_EQ(mode_line(0, 100, 0), "");
    EXPECT_EQ(mode_line(1, 32767, 3), "Recording mode:; AUTO UNLIMITED: one value each 3 sec.;\n");
    EXPECT_EQ(mode_line(1, 32767, 1), "Recording mode:; AUTO UNLIMITED: one value each sec.;\n");
    EXPECT_EQ(mode_line(1, 32767, 0), "");
    EXPECT_EQ(mode_line(2, 32767, 0), "Recording mode:; MANUAL;\n");
    EXPECT_EQ(mode_line(2, 32767, 9), "Recording mode:; MANUAL;\n");
    EXPECT_EQ(mode_line(3, 32767, 0), "Recording mode:; AUTOTRIGGERED;\n");
    EXPECT_EQ(mode_line(4, 32767, 5), "");
    EXPECT_EQ(mode_line(-1, 32767, 5), "");
}

TEST_F(RecordFile, EmptyOrNullPanelIdSaysNoIdEntered) {
    for (const char* id : {"", static_cast<const char*>(nullptr)}) {
        const rec_header_info i = info(id);
        ASSERT_EQ(print_file_header(path.c_str(), REC_MANUAL, 32767, 0, &i), 0);
    }
    const std::string t = rec_file_text(path);
    const size_t first = t.find("Panel ID:; No ID entered;\n");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(t.find("Panel ID:; No ID entered;\n", first + 1), std::string::npos);
}

TEST_F(RecordFile, SemicolonOrLineBreakInPanelIdKeepsTheLine) {
    const rec_header_info i = info("belt 3;\nleft");
    ASSERT_EQ(print_file_header(path.c_str(), REC_MANUAL, 32767, 0, &i), 0);
    EXPECT_NE(rec_file_text(path).find("Panel ID:; belt 3, left;\n"), std::string::npos);
}

// ---- data lines ----

TEST_F(RecordFile, DataLineFieldsInColumnOrder) {
    uint16_t r[REC_RECORD_WORDS];
    sample_record(r);
    ASSERT_EQ(print_file_dataset(path.c_str(), 7, r, "10:11:12"), 0);
    EXPECT_EQ(rec_file_text(path), std::string(rec_file_title) + sample_line);
}

TEST_F(RecordFile, ResultsKeepTheirSignAndSmallestStep) {
    uint16_t r[REC_RECORD_WORDS] = {};
    rec_put32(r, 0, -1); // -1/65536
    rec_put32(r, 16, INT32_MIN);
    ASSERT_EQ(print_file_dataset(path.c_str(), 0, r, "00:00:00"), 0);
    const std::string t = rec_file_text(path);
    EXPECT_NE(t.find("*;0;00:00:00;;-0.000015;0;"), std::string::npos) << t;
    EXPECT_NE(t.find(";;-32768.000000;0;"), std::string::npos) << t;
}

// Regression: a German locale turned the point into a comma, and the viewer
// and spreadsheets set to ";" then read other numbers.
TEST_F(RecordFile, DecimalPointUnderGermanLocale) {
    const std::string old = std::setlocale(LC_NUMERIC, nullptr);
    const char* german = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German_Germany.1252"}) {
        if (std::setlocale(LC_NUMERIC, name)) {
            german = name;
            break;
        }
    }
    if (!german) GTEST_SKIP() << "no German locale installed";
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    uint16_t r[REC_RECORD_WORDS];
    sample_record(r);
    const int rc = print_file_dataset(path.c_str(), 7, r, "10:11:12");
    std::setlocale(LC_NUMERIC, old.c_str());
    ASSERT_STREQ(probe, "1,5") << "the locale " << german << " does not use a comma";
    ASSERT_EQ(rc, 0);
    EXPECT_EQ(rec_file_text(path), std::string(rec_file_title) + sample_line);
}

// Two recordings as the recorder makes them, read by Python's csv module with
// ";" as delimiter: every data line has as many fields as the column line, the
// first 25 of them meaningful and the rest empty.
TEST_F(RecordFile, PythonCsvReadsTheSameFieldsOnEveryLine) {
    if (std::system("python3 -c pass >/dev/null 2>&1") != 0) GTEST_SKIP() << "python3 not found";
    uint16_t r[REC_RECORD_WORDS];
    sample_record(r);
    const rec_header_info i = info();
    ASSERT_EQ(print_file_header(path.c_str(), REC_AUTO_LIMITED, 3, 1, &i), 0);
    for (int n = 0; n < 3; n++) ASSERT_EQ(print_file_dataset(path.c_str(), n, r, "10:11:12"), 0);
    ASSERT_EQ(print_file_header(path.c_str(), REC_AUTOTRIGGERED, 32767, 0, &i), 0);
    for (int n = 0; n < 2; n++) ASSERT_EQ(print_file_dataset(path.c_str(), n, r, "10:11:13"), 0);

    const std::string script = "import csv,sys\n"
                               "rows=list(csv.reader(open(sys.argv[1],newline=''),delimiter=';'))\n"
                               "cols=[r for r in rows if r and r[0]=='#']\n"
                               "data=[r for r in rows if r and r[0]=='*']\n"
                               "n=len(cols[0])\n"
                               "ok=all(len(r)==n and all(f=='' for f in r[25:]) for r in cols+data)\n"
                               "ok=ok and all(r[3]=='' and r[14]=='' and float(r[4])==1.5 for r in data)\n"
                               "print(len(cols),len(data),n,int(ok),cols[0][24])\n";
    const std::string script_path = path + ".py";
    { std::ofstream(script_path) << script; }
    FILE* p = popen(("python3 '" + script_path + "' '" + path + "'").c_str(), "r");
    ASSERT_NE(p, nullptr);
    char out[256] = {};
    const size_t n = fread(out, 1, sizeof out - 1, p);
    pclose(p);
    std::remove(script_path.c_str());
    EXPECT_EQ(std::string(out, n), "2 5 26 1 smoothed{val B} (short)\n");
}

// ---- missing files and write failures ----

TEST_F(RecordFile, DeletedFileGivesErrorAndStaysDeleted) {
    std::remove(path.c_str());
    uint16_t r[REC_RECORD_WORDS] = {};
    const rec_header_info i = info();
    EXPECT_EQ(print_file_header(path.c_str(), REC_AUTO_LIMITED, 10, 2, &i), REC_ERR);
    EXPECT_EQ(print_file_dataset(path.c_str(), 0, r, "10:11:12"), REC_ERR);
    EXPECT_FALSE(rec_file_exists(path));
}

TEST_F(RecordFile, NullOrEmptyPathOrDirectoryGivesError) {
    uint16_t r[REC_RECORD_WORDS] = {};
    const rec_header_info i = info();
    EXPECT_EQ(print_file_header(nullptr, REC_MANUAL, 10, 2, &i), REC_ERR);
    EXPECT_EQ(print_file_dataset("", 0, r, "10:11:12"), REC_ERR);
    EXPECT_EQ(print_file_dataset(::testing::TempDir().c_str(), 0, r, "10:11:12"), REC_ERR);
    EXPECT_EQ(print_file_dataset(path.c_str(), 0, nullptr, "10:11:12"), REC_ERR);
    EXPECT_EQ(print_file_start((::testing::TempDir() + "no_such_dir/x.csv").c_str()), REC_ERR);
}

TEST_F(RecordFile, StartEmptiesAnExistingFile) {
    uint16_t r[REC_RECORD_WORDS] = {};
    ASSERT_EQ(print_file_dataset(path.c_str(), 0, r, "10:11:12"), 0);
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    EXPECT_EQ(rec_file_text(path), rec_file_title);
}

// Regression: failed writes were reported as success and the data was lost
// without notice.
TEST(RecordFileFailure, FullDeviceGivesError) {
    if (!rec_file_exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    uint16_t r[REC_RECORD_WORDS] = {};
    const rec_header_info i = info();
    EXPECT_EQ(print_file_header("/dev/full", REC_MANUAL, 10, 2, &i), REC_ERR);
    EXPECT_EQ(print_file_dataset("/dev/full", 0, r, "10:11:12"), REC_ERR);
}

TEST(RecordFileFailure, ReadOnlyFileGivesError) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
    const std::string path = rec_temp_path("readonly");
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    uint16_t r[REC_RECORD_WORDS] = {};
    EXPECT_EQ(print_file_dataset(path.c_str(), 0, r, "10:11:12"), REC_ERR);
    std::remove(path.c_str());
}

// A disk that fills up at any byte of a short recording, made with a file size
// limit in a child process: every writer that could not write its whole text
// says so, the file then ends in a whole line with nothing before it lost, and
// a writer is never reported successful once a line is missing.
TEST(RecordFileFailure, FileSizeLimitAtEveryByteIsReportedAndKeepsWholeLines) {
    const std::string path = rec_temp_path("limit");
    const rec_header_info i = info();
    uint16_t r[REC_RECORD_WORDS];
    sample_record(r);
    constexpr int records = 3;
    // The text of the recording without a limit, and where each writer ends.
    std::vector<size_t> ends;
    ASSERT_EQ(print_file_start(path.c_str()), 0);
    ends.push_back(rec_file_text(path).size());
    ASSERT_EQ(print_file_header(path.c_str(), REC_AUTO_UNLIMITED, 0, 1, &i), 0);
    ends.push_back(rec_file_text(path).size());
    for (int n = 0; n < records; n++) {
        ASSERT_EQ(print_file_dataset(path.c_str(), n, r, "10:11:12"), 0);
        ends.push_back(rec_file_text(path).size());
    }
    const std::string full = rec_file_text(path);

    const int rc = with_file_limit(RLIM_INFINITY, [&] {
        for (size_t limit = 0; limit <= full.size(); limit++) {
            std::remove(path.c_str());
            if (!set_file_limit(limit)) return 1;
            // The writers in order, as a recording calls them; after the first
            // failure the recording stops.
            size_t done = 0;
            int failed = print_file_start(path.c_str());
            if (failed == 0) done++;
            if (failed == 0 && (failed = print_file_header(path.c_str(), REC_AUTO_UNLIMITED, 0, 1, &i)) == 0)
                done++;
            for (int n = 0; failed == 0 && n < records; n++)
                if ((failed = print_file_dataset(path.c_str(), n, r, "10:11:12")) == 0) done++;
            if (!set_file_limit(RLIM_INFINITY)) return 1;
            // Everything that fits is written and reported so; the first writer
            // that does not fit reports it.
            const size_t expected =
                static_cast<size_t>(std::upper_bound(ends.begin(), ends.end(), limit) - ends.begin());
            if (done != expected) return 2;
            if ((failed != 0) != (done < ends.size())) return 3;
            if (failed != 0 && failed != REC_ERR) return 4;
            // The file holds exactly the writers' texts that were reported written.
            const std::string text = rec_file_exists(path) ? rec_file_text(path) : std::string();
            if (text != full.substr(0, done ? ends[done - 1] : 0) && !(done == 0 && text.empty())) return 5;
        }
        return 0;
    });
    std::remove(path.c_str());
    EXPECT_EQ(rc, 0) << "1: limit not set, 2: a writer that fitted failed or one that did not fit succeeded, "
                        "3: failure not reported, 4: wrong code, 5: file not cut back to whole lines";
}

// A disk that fills up during a recording: a small tmpfs in a private mount
// namespace of a child process (needs the right to mount; skipped otherwise).
// The failing write is reported, and the file still ends in a whole line.
TEST(RecordFileFailure, DiskFullMidRecordingReportsAndKeepsWholeLines) {
    const std::string dir = ::testing::TempDir() + "rec_full_" + std::to_string(getpid());
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    const std::string path = dir + "/r.csv";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=8k") != 0) {
            _exit(77);
        }
        uint16_t r[REC_RECORD_WORDS];
        sample_record(r);
        const rec_header_info i = info();
        if (print_file_start(path.c_str()) != 0 || print_file_header(path.c_str(), 1, 32767, 0, &i) != 0)
            _exit(1);
        int n = 0;
        while (n < 1000 && print_file_dataset(path.c_str(), n, r, "10:11:12") == 0) n++;
        if (n == 1000) _exit(2);
        const std::string t = rec_file_text(path);
        if (t.back() != '\n') _exit(3);
        const std::string last = t.substr(t.rfind('\n', t.size() - 2) + 1);
        _exit(last != "*;" + std::to_string(n - 1) + (sample_line + 3) ? 4 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    rmdir(dir.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot mount a small file system here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: no start, 2: no failure, 3: half line left, 4: last line wrong";
}

// A recording killed (SIGKILL) at random points, 100 times: whatever the kill
// cut, every line but the last is whole, the header and the records are there
// in order, and every record the writer reported written is in the file.
TEST(RecordFileFailure, KilledRecordingKeepsEveryLineButTheLast) {
    const std::string path = rec_temp_path("killed");
    std::mt19937 random(42);
    int cut_lines = 0, records = 0;
    for (int run = 0; run < 100; run++) {
        std::remove(path.c_str());
        std::fflush(nullptr);
        int reported[2];
        ASSERT_EQ(pipe(reported), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(reported[0]);
            uint16_t r[REC_RECORD_WORDS];
            sample_record(r);
            const rec_header_info i = info();
            if (print_file_start(path.c_str()) != 0 || print_file_header(path.c_str(), 1, 0, 0, &i) != 0) _exit(1);
            for (int n = 0;; n++) {
                if (print_file_dataset(path.c_str(), n, r, "10:11:12") != 0) _exit(2);
                if (write(reported[1], &n, sizeof n) != sizeof n) _exit(3);
            }
        }
        close(reported[1]);
        usleep(static_cast<useconds_t>(random() % 20000));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself: " << WEXITSTATUS(status);
        // The last record the writer had returned from (the pipe holds 16 pages
        // at least: read it to the end, the child is gone).
        int last_reported = -1, n = 0;
        while (read(reported[0], &n, sizeof n) == sizeof n) last_reported = n;
        close(reported[0]);

        const std::string t = rec_file_exists(path) ? rec_file_text(path) : std::string();
        // Whole lines, then what the kill left of the last one.
        const size_t whole_end = t.rfind('\n') == std::string::npos ? 0 : t.rfind('\n') + 1;
        if (whole_end < t.size()) cut_lines++;
        std::istringstream in(t.substr(0, whole_end));
        std::string line;
        int next = 0;
        bool header = false;
        while (std::getline(in, line)) {
            if (line + "\n" == column_line) header = true;
            if (line.rfind("*;", 0) != 0) continue;
            ASSERT_TRUE(header) << "run " << run << ": a record before the header";
            ASSERT_EQ(line + "\n", "*;" + std::to_string(next) + (sample_line + 3)) << "run " << run;
            next++;
        }
        ASSERT_GT(next, last_reported) << "run " << run << ": a record reported written is missing";
        records += next;
        // A cut last line is the beginning of the next record or header line.
        const std::string rest = t.substr(whole_end);
        if (!rest.empty() && header) {
            const std::string want = "*;" + std::to_string(next) + (sample_line + 3);
            EXPECT_EQ(want.compare(0, rest.size(), rest), 0) << "run " << run << ": " << rest;
        }
    }
    std::remove(path.c_str());
    // Kills land in writes as well as between them; not every one does.
    std::printf("killed 100 recordings: %d records kept, %d last lines cut\n", records, cut_lines);
}
