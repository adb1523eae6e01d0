// Ini store: putting and getting, escaping, continuation lines, reading odd files,
// and replacing files without ever losing the old one.
#include "support/inifile.h"
#include "support/inifile_store.h"
#include "tests/support/fifo_guard.h"
#include "tests/support/file_limit.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <random>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::string_literals;

struct Store {
    IniText s = Ini_New(0);
    ~Store() { Ini_Dispose(s); }
    operator IniText() const { return s; }
};

std::string text_of(IniText s) {
    std::string t;
    EXPECT_EQ(Ini_WriteToText(s, &t), 0);
    return t;
}

void read_text(IniText s, const std::string& t) {
    ASSERT_EQ(Ini_ReadFromText(s, t.data(), t.size()), 0);
}

std::string get_string(IniText s, const char* sec, const char* tag) {
    const char* p = nullptr;
    return Ini_GetPointerToString(s, sec, tag, &p) == 1 ? std::string(p) : std::string("<none>");
}

std::string file_bytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

void put_file(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A store whose text (about 36 KB) takes three write calls.
void fill_large(IniText s) {
    const std::string value(60, 'v');
    for (int i = 0; i < 500; i++)
        Ini_PutString(s, "Big", ("Tag " + std::to_string(i)).c_str(), value.c_str());
}

// A fresh directory per test, removed with its content afterwards.
class IniFiles : public ::testing::Test {
  protected:
    std::string dir;
    void SetUp() override {
        char tmpl[] = "/tmp/ini_test_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override {
        chmod(dir.c_str(), 0700);
        std::string cmd = "rm -rf '" + dir + "'";
        EXPECT_EQ(system(cmd.c_str()), 0);
    }
    std::string path(const char* name) const { return dir + "/" + name; }
    int entries() const {
        int n = 0;
        DIR* d = opendir(dir.c_str());
        while (dirent* e = d ? readdir(d) : nullptr) n += e->d_name[0] != '.';
        if (d) closedir(d);
        return n;
    }
};

// ---- Putting ----

TEST(IniPut, SecondPutReplacesTheFirstInPlace) {
    Store s;
    Ini_PutInt(s, "ChanA Power", "Value", 1);
    Ini_PutInt(s, "ChanA Power", "Max. value", 1023);
    Ini_PutInt(s, "chana power ", " VALUE", 512);
    EXPECT_EQ(Ini_NumberOfItems(s, "ChanA Power"), 2);
    EXPECT_EQ(text_of(s), "[ChanA Power]\r\nVALUE = 512\r\nMax. value = 1023\r\n\r\n");
}

TEST(IniPut, WithoutDuplicateCheckingEveryPutIsAppended) {
    Store s;
    EXPECT_EQ(Ini_SetDuplicateChecking(s, 0), 1);
    Ini_PutInt(s, "A", "x", 1);
    Ini_PutInt(s, "A", "x", 2);
    EXPECT_EQ(Ini_SetDuplicateChecking(s, 1), 0);
    int v = 0;
    EXPECT_EQ(Ini_GetInt(s, "A", "X", &v), 1);
    EXPECT_EQ(v, 1);
    // With checking back on, a put removes all copies, keeping the first position.
    Ini_PutInt(s, "A", "y", 3);
    Ini_PutInt(s, "A", "x", 4);
    EXPECT_EQ(text_of(s), "[A]\r\nx = 4\r\ny = 3\r\n\r\n");
}

TEST(IniPut, SortingKeepsSectionsAndItemsInOrder) {
    IniText s = Ini_New(1);
    Ini_PutBoolean(s, "b", "z", 1);
    Ini_PutBoolean(s, "B", "a", 0);
    Ini_PutBoolean(s, "A", "m", 1);
    read_text(s, "[C]\r\ny=1\r\nx=2\r\n[a0]\r\nk=1\r\n");
    EXPECT_EQ(text_of(s), "[A]\r\nm = True\r\n\r\n[a0]\r\nk = 1\r\n\r\n[b]\r\na = False\r\nz = True\r\n\r\n"
                          "[C]\r\nx = 2\r\ny = 1\r\n\r\n");
    // Walking the store by index meets sections and items in that same order.
    std::string walked;
    const char* name = nullptr;
    ASSERT_EQ(Ini_NumberOfSections(s), 4);
    for (int i = 1; Ini_NthSectionName(s, i, &name) == 1; i++) {
        walked += std::string("[") + name + "]";
        const char* tag = nullptr;
        for (int k = 1; Ini_NthItemName(s, name, k, &tag) == 1; k++) walked += tag;
    }
    EXPECT_EQ(walked, "[A]m[a0]k[b]az[C]xy");
    name = "untouched";
    EXPECT_EQ(Ini_NthSectionName(s, 0, &name), 0);
    EXPECT_EQ(Ini_NthSectionName(s, 5, &name), 0);
    EXPECT_EQ(Ini_NthItemName(s, "nope", 1, &name), 0);
    EXPECT_EQ(Ini_NthItemName(s, "b", 3, &name), 0);
    EXPECT_STREQ(name, "untouched");
    EXPECT_EQ(Ini_NthSectionName(nullptr, 1, &name), INI_ERR_NULL_ARG);
    Ini_Dispose(s);
}

TEST(IniPut, NullArgumentsAreRefused) {
    Store s;
    EXPECT_EQ(Ini_PutInt(nullptr, "a", "b", 1), INI_ERR_NULL_ARG);
    EXPECT_EQ(Ini_PutString(s, nullptr, "b", "x"), INI_ERR_NULL_ARG);
    EXPECT_EQ(Ini_GetInt(s, "a", "b", nullptr), INI_ERR_NULL_ARG);
    EXPECT_EQ(Ini_PutString(s, "a", "b", nullptr), 0); // a null text is an empty string
    EXPECT_EQ(get_string(s, "a", "b"), "");
}

TEST(IniPut, MissingSectionsAreCopiedWholeAndInOrder) {
    Store own, other;
    Ini_PutInt(own, "Mine", "a", 1);
    read_text(other, "[Serial devices]\nCOM3 = \"/dev/ttyUSB0\"\n[mine]\na = 9\nb = 2\n"
                     "[X]\nt = \"q\\\"\"\n[X]\nu = 3\n");
    EXPECT_EQ(Ini_CopyMissingSections(own, other), 3);
    EXPECT_EQ(text_of(own), "[Mine]\r\na = 1\r\n\r\n[Serial devices]\r\nCOM3 = \"/dev/ttyUSB0\"\r\n\r\n"
                            "[X]\r\nt = \"q\\\"\"\r\n\r\n[X]\r\nu = 3\r\n\r\n");
    // The copies belong to the store: the source may go.
    Ini_Dispose(other.s);
    other.s = nullptr;
    EXPECT_EQ(get_string(own, "x", "t"), "q\"");
    EXPECT_EQ(Ini_CopyMissingSections(own, nullptr), INI_ERR_NULL_ARG);
}

// Every lookup names the first section and the first item of its name, however
// the store was built: puts in order and out of it, with and without duplicate
// checking, files read into it and sections copied over. Checked against a plain
// walk of the store's own records after every step.
TEST(IniPut, LookupsFindTheFirstMatchAfterEveryKindOfChange) {
    const char* const sections[] = {"Big", " big", "BIG ", "Small", "other"};
    for (int sort = 0; sort < 2; sort++) {
        std::mt19937 random(7u + static_cast<unsigned>(sort));
        IniText s = Ini_New(sort);
        int stamp = 0;
        auto tag_of = [](int n, int variant) {
            std::string t = "Tag " + std::to_string(n);
            if (variant & 1) t = " " + t + "  ";
            if (variant & 2)
                for (char& c : t) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return t;
        };
        for (int step = 0; step < 400; step++) {
            const int what = static_cast<int>(random() % 10);
            const char* sec = sections[random() % 5];
            if (what < 6) {
                Ini_PutInt(s, sec, tag_of(static_cast<int>(random() % 40), static_cast<int>(random() % 4)).c_str(),
                           ++stamp);
            } else if (what == 6) {
                Ini_SetDuplicateChecking(s, static_cast<int>(random() % 2));
            } else if (what == 7) {
                std::string text = "[" + std::string(sec) + "]\n";
                for (int i = 0; i < 12; i++)
                    text += tag_of(static_cast<int>(random() % 40), i) + " = " + std::to_string(++stamp) + "\n";
                read_text(s, text);
            } else {
                Store other;
                std::string text = "[Copied " + std::to_string(step % 3) + "]\n";
                for (int i = 0; i < 10; i++) text += "Tag " + std::to_string(i) + " = " + std::to_string(++stamp) + "\n";
                read_text(other, text);
                Ini_CopyMissingSections(s, other);
            }
            for (const char* name : {"big", "SMALL", "Other", "copied 0", " Copied 2"}) {
                const IniSection* first = nullptr;
                for (const auto& sec_record : s->sections)
                    if (!first && sec_record->key == ini_key(name)) first = sec_record.get();
                ASSERT_EQ(Ini_SectionExists(s, name), first != nullptr) << name;
                for (int n = 0; n < 40; n++) {
                    int expected = -1;
                    if (first) {
                        for (const IniItem& item : first->items)
                            if (expected < 0 && item.key == ini_key(tag_of(n, 0))) expected = std::stoi(item.value);
                    }
                    int value = -1;
                    const int found = Ini_GetInt(s, name, tag_of(n, step % 4).c_str(), &value);
                    ASSERT_EQ(found, expected >= 0 ? 1 : 0) << "step " << step << " [" << name << "] " << n;
                    if (found == 1) {
                        ASSERT_EQ(value, expected) << "step " << step << " [" << name << "] " << n;
                    }
                }
            }
        }
        Ini_Dispose(s);
    }
}

// ---- Escaping ----

TEST(IniEscape, QuoteAndLineFeedRoundTrip) {
    Store s;
    Ini_PutString(s, "S", "t", "a\"b\nc");
    EXPECT_EQ(text_of(s), "[S]\r\nt = \"a\\\"b\\nc\"\r\n\r\n");
    Store back;
    read_text(back, text_of(s));
    EXPECT_EQ(get_string(back, "S", "t"), "a\"b\nc");
}

TEST(IniEscape, ControlCharactersAndHighBytes) {
    Store s;
    Ini_PutString(s, "S", "t", "\\\t\r\x01\x7f\xb5");
    EXPECT_EQ(text_of(s), "[S]\r\nt = \"\\\\\\t\\r\\x01\\x7f\xb5\"\r\n\r\n");
    Store back;
    read_text(back, text_of(s));
    EXPECT_EQ(get_string(back, "S", "t"), "\\\t\r\x01\x7f\xb5");
}

TEST(IniEscape, HandWrittenEscapesAndLoneBackslashes) {
    Store s;
    read_text(s, "[S]\na = \"\\x4A\\q\\x4\"\nb = \"end\\x\"\nc = \"end\\\"\nd = C:\\temp\\new\n");
    EXPECT_EQ(get_string(s, "S", "a"), "Jqx4");
    EXPECT_EQ(get_string(s, "S", "b"), "endx");
    EXPECT_EQ(get_string(s, "S", "c"), "end\\");
    EXPECT_EQ(get_string(s, "S", "d"), "C:\\temp\\new"); // unquoted text was never escaped
}

// ---- Continuation lines ----

TEST(IniContinuation, TwoHundredCharactersMakeThreeLines) {
    Store s;
    std::string v;
    for (int i = 0; i < 200; i++) v += static_cast<char>('a' + i % 26);
    Ini_PutString(s, "S", "Long", v.c_str());
    const std::string expected = "[S]\r\nLong Line0001 = \"" + v.substr(0, 80) + "\"\r\nLong Line0002 = \"" +
                                 v.substr(80, 80) + "\"\r\nLong Line0003 = \"" + v.substr(160) + "\"\r\n\r\n";
    EXPECT_EQ(text_of(s), expected);
    Store back;
    read_text(back, expected);
    EXPECT_EQ(Ini_NumberOfItems(back, "S"), 1);
    EXPECT_EQ(get_string(back, "S", "Long"), v);
}

TEST(IniContinuation, EightyCharactersStayOnOneLine) {
    Store s;
    const std::string v(80, 'x');
    Ini_PutString(s, "S", "t", v.c_str());
    EXPECT_EQ(text_of(s), "[S]\r\nt = \"" + v + "\"\r\n\r\n");
}

TEST(IniContinuation, RunsStartAtPieceOneOnly) {
    Store s;
    read_text(s, "[S]\nx Line0002 = stray\na Line0001 = 1\na Line0002 = 2\nb Line1 = 3\nb Line0002 = 4\n"
                 "c = 5\nd Line0003 = 6\n");
    EXPECT_EQ(text_of(s), "[S]\r\nx Line0002 = stray\r\na = 12\r\nb = 34\r\nc = 5\r\nd Line0003 = 6\r\n\r\n");
}

// ---- Typed getters ----

TEST(IniTyped, Integers) {
    Store s;
    read_text(s, "[N]\na = +12\nb = 12a\nc = + 12\nd = -2147483648\ne = 2147483648\nf = \"  \"\ng = \" 7 \"\n"
                 "h = --1\n");
    int v = 99;
    EXPECT_EQ(Ini_GetInt(s, "N", "a", &v), 1);
    EXPECT_EQ(v, 12);
    v = 99;
    EXPECT_EQ(Ini_GetInt(s, "N", "b", &v), INI_ERR_NOT_INTEGER);
    EXPECT_EQ(Ini_GetInt(s, "N", "c", &v), INI_ERR_NOT_INTEGER);
    EXPECT_EQ(Ini_GetInt(s, "N", "e", &v), INI_ERR_NOT_INTEGER);
    EXPECT_EQ(Ini_GetInt(s, "N", "h", &v), INI_ERR_NOT_INTEGER);
    EXPECT_EQ(Ini_GetInt(s, "N", "f", &v), 0); // blank reads as not found
    EXPECT_EQ(Ini_GetInt(s, "N", "missing", &v), 0);
    EXPECT_EQ(v, 99);
    EXPECT_EQ(Ini_GetInt(s, "N", "d", &v), 1);
    EXPECT_EQ(v, INT32_MIN);
    EXPECT_EQ(Ini_GetInt(s, "N", "g", &v), 1);
    EXPECT_EQ(v, 7);
}

TEST(IniTyped, Booleans) {
    Store s;
    read_text(s, "[B]\na = TRUE\nb = yes\nc = false\n");
    Ini_PutBoolean(s, "B", "d", -1);
    int v = 7;
    EXPECT_EQ(Ini_GetBoolean(s, "B", "b", &v), INI_ERR_NOT_BOOLEAN);
    EXPECT_EQ(v, 7);
    EXPECT_EQ(Ini_GetBoolean(s, "B", "a", &v), 1);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(Ini_GetBoolean(s, "B", "c", &v), 1);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(Ini_GetBoolean(s, "B", "d", &v), 1);
    EXPECT_EQ(v, 1);
}

TEST(IniTyped, StringIntoBufferIsCutAndEmptied) {
    Store s;
    Ini_PutString(s, "S", "t", "abcdef");
    char buf[4] = "xyz";
    EXPECT_EQ(Ini_GetStringIntoBuffer(s, "S", "t", buf, 4), 1);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(Ini_GetStringIntoBuffer(s, "S", "missing", buf, 4), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(Ini_GetStringIntoBuffer(s, "S", "t", buf, 1), 1);
    EXPECT_STREQ(buf, "");
}

TEST(IniTyped, LongStringsGrowTheSharedBuffer) {
    Store s;
    const std::string v(5000, 'q');
    Ini_PutString(s, "S", "t", v.c_str());
    EXPECT_EQ(get_string(s, "S", "t"), v);
}

// ---- Reading ----

TEST(IniRead, CommentsStrayItemsAndMalformedLines) {
    Store s;
    read_text(s, "early = 1\n; [Hidden]\n[Sec]\n  ; x = 1\nno separator\nblank =   \n = 3\nok = 4\n"
                 "[Bad] tail\n[Unclosed\nafter = 5");
    EXPECT_EQ(text_of(s), "[Sec]\r\nok = 4\r\nafter = 5\r\n\r\n");
}

TEST(IniRead, DuplicateSectionsAndTagsAreKeptAndTheFirstWins) {
    Store s;
    read_text(s, "[A]\nx = 1\nx = 2\n[a]\nx = 3\n");
    EXPECT_EQ(Ini_NumberOfItems(s, "A"), 2);
    int v = 0;
    EXPECT_EQ(Ini_GetInt(s, " a ", "X", &v), 1);
    EXPECT_EQ(v, 1);
    EXPECT_EQ(Ini_LineOfLastAccess(s), 2);
    EXPECT_EQ(text_of(s), "[A]\r\nx = 1\r\nx = 2\r\n\r\n[a]\r\nx = 3\r\n\r\n");
}

TEST(IniRead, EveryKindOfLineEnd) {
    Store s;
    read_text(s, "[S]\ra = 1\n\rb = 2\r\n\n\nc = 3\0d = 4"s);
    EXPECT_EQ(text_of(s), "[S]\r\na = 1\r\nb = 2\r\nc = 3\r\nd = 4\r\n\r\n");
    int v = 0;
    Ini_GetInt(s, "S", "c", &v);
    EXPECT_EQ(Ini_LineOfLastAccess(s), 6); // LF CR and CR LF are single ends, LF LF is not
}

TEST(IniRead, SectionNamesKeepTheirBytes) {
    Store s;
    read_text(s, "[Scanrate (\xb5s)]\nValue = 500\n[ [x]y] ]  \nz = 1\n");
    EXPECT_EQ(Ini_SectionExists(s, "scanrate (\xb5S)"), 1);
    EXPECT_EQ(Ini_SectionExists(s, "[x]y]"), 1);
    EXPECT_EQ(Ini_SectionExists(s, "Scanrate (us)"), 0);
}

TEST(IniRead, LongLinesAreCutAt255) {
    Store s;
    const std::string v(300, 'v');
    read_text(s, "[S]\nt = " + v + "\nu = 1\n");
    EXPECT_EQ(get_string(s, "S", "t"), v.substr(0, 251));
    EXPECT_EQ(get_string(s, "S", "u"), "1");
}

TEST(IniRead, OtherTokens) {
    Store s;
    Ini_SetTokens(s, '<', '>', ":=", "#");
    read_text(s, "<S>\n# a := 1\nb := 2\nc = 3\n");
    EXPECT_EQ(text_of(s), "<S>\r\nb := 2\r\n\r\n");
}

// ---- Files ----

TEST_F(IniFiles, WrittenFileHasExactBytesAndReadsBack) {
    Store s;
    Ini_PutInt(s, "ChanA Power", "Value", 512);
    Ini_PutInt(s, "ChanA Power", "Max. value", 1023);
    Ini_PutString(s, "Panel data", "Panel ID string", "Line 7");
    ASSERT_EQ(Ini_WriteToFile(s, path("p.ini").c_str()), 0);
    EXPECT_EQ(file_bytes(path("p.ini")), "[ChanA Power]\r\nValue = 512\r\nMax. value = 1023\r\n\r\n"
                                         "[Panel data]\r\nPanel ID string = \"Line 7\"\r\n\r\n");
    EXPECT_EQ(entries(), 1);
    Store back;
    ASSERT_EQ(Ini_ReadFromFile(back, path("p.ini").c_str()), 0);
    EXPECT_EQ(text_of(back), text_of(s));
}

TEST_F(IniFiles, ReplacingKeepsTheFileMode) {
    put_file(path("p.ini"), "old");
    chmod(path("p.ini").c_str(), 0640);
    Store s;
    Ini_PutInt(s, "A", "b", 1);
    ASSERT_EQ(Ini_WriteToFile(s, path("p.ini").c_str()), 0);
    struct stat st;
    ASSERT_EQ(stat(path("p.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(file_bytes(path("p.ini")), "[A]\r\nb = 1\r\n\r\n");
}

TEST_F(IniFiles, UnreadableFiles) {
    Store s;
    EXPECT_EQ(Ini_ReadFromFile(s, path("none.ini").c_str()), INI_ERR_OPEN);
    EXPECT_EQ(Ini_ReadFromFile(s, dir.c_str()), INI_ERR_OPEN);
    EXPECT_EQ(Ini_ReadFromFile(s, "/dev/null"), INI_ERR_OPEN);
}

// Regression: the store took in any file whole, at several times its size in
// memory. Above the cap a file is refused before a byte is read (this one is
// sparse: it costs no disk space, and reading it would take seconds).
TEST_F(IniFiles, FileAboveTheSizeCapIsRefusedAndTheStoreKept) {
    const std::string big = path("big.ini");
    const int fd = open(big.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, INI_MAX_FILE_BYTES + 1), 0);
    close(fd);
    Store s;
    Ini_PutInt(s, "Kept", "Value", 1);
    const std::string before = text_of(s);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Ini_ReadFromFile(s, big.c_str()), INI_ERR_READ);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(text_of(s), before);

    const std::string text(static_cast<size_t>(INI_MAX_FILE_BYTES) + 1, '\n');
    EXPECT_EQ(Ini_ReadFromText(s, text.data(), text.size()), INI_ERR_READ);
    EXPECT_EQ(text_of(s), before);
    EXPECT_EQ(Ini_ReadFromText(s, text.data(), text.size() - 1), 0);
}

// The reader opened the file before it looked at its kind, and opening a named
// pipe without a writer waits for good.
TEST_F(IniFiles, NamedPipeIsRefusedWithoutWaiting) {
    fifo_guard fifo(path("pipe.ini"));
    ASSERT_TRUE(fifo.made());
    Store s;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Ini_ReadFromFile(s, fifo.path().c_str()), INI_ERR_OPEN);
    EXPECT_EQ(Ini_WriteToFile(s, fifo.path().c_str()), INI_ERR_NOT_WRITABLE);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(fifo.fired()) << "the reader blocked on the pipe";
}

TEST_F(IniFiles, PathsThatCannotBeWrittenLeaveNothingBehind) {
    Store s;
    Ini_PutInt(s, "A", "b", 1);
    EXPECT_EQ(Ini_WriteToFile(s, path("missing/p.ini").c_str()), INI_ERR_NOT_WRITABLE);
    EXPECT_EQ(Ini_WriteToFile(s, dir.c_str()), INI_ERR_NOT_WRITABLE);
    EXPECT_EQ(Ini_WriteToFile(s, (dir + "/").c_str()), INI_ERR_NOT_WRITABLE);
    EXPECT_EQ(entries(), 0);
    // /proc takes no new files, whoever asks.
    EXPECT_LT(Ini_WriteToFile(s, "/proc/zazed_ini_test.ini"), 0);
    EXPECT_NE(access("/proc/zazed_ini_test.ini", F_OK), 0);
}

TEST_F(IniFiles, ReadOnlyDirectoryKeepsTheOldFile) {
    put_file(path("p.ini"), "old");
    chmod(dir.c_str(), 0500);
    // Root writes anyway; then the directory protects nothing and there is nothing to test.
    const std::string probe = path("probe");
    if (FILE* f = fopen(probe.c_str(), "w")) {
        fclose(f);
        unlink(probe.c_str());
        GTEST_SKIP() << "permissions do not stop this user";
    }
    Store s;
    Ini_PutInt(s, "A", "b", 1);
    EXPECT_EQ(Ini_WriteToFile(s, path("p.ini").c_str()), INI_ERR_NOT_WRITABLE);
    EXPECT_EQ(file_bytes(path("p.ini")), "old");
    EXPECT_EQ(entries(), 1);
}

// A file size limit makes a write fail with EFBIG, like a full disk, for any
// user. In a child process, so that the test process keeps its own limit.
TEST_F(IniFiles, FailingWriteKeepsTheOldFile) {
    put_file(path("p.ini"), std::string(3000, 'o'));
    Store s;
    for (int i = 0; i < 100; i++) Ini_PutInt(s, ("Section " + std::to_string(i)).c_str(), "Value", i);
    const int r = with_file_limit(1000, [&] {
        const int rc = Ini_WriteToFile(s, path("p.ini").c_str());
        return rc != INI_ERR_IO                                      ? 1
               : file_bytes(path("p.ini")) != std::string(3000, 'o') ? 2
               : entries() != 1                                      ? 3
                                                                     : 0;
    });
    EXPECT_EQ(r, 0) << "1: wrong code, 2: old file changed, 3: files left behind";
}

// Any limit short of the whole text is a failure, down to the last byte; the
// whole text fits exactly. The file is never reported saved when it is not.
TEST_F(IniFiles, NoLimitShortOfTheWholeTextCountsAsSaved) {
    Store s;
    fill_large(s);
    const std::string text = text_of(s);
    const std::string old_text = "[Old]\r\nValue = 1\r\n";
    const size_t n = text.size();
    for (size_t limit : {size_t{0}, size_t{1}, n / 2, size_t{INI_WRITE_CHUNK}, n - 1, n}) {
        put_file(path("p.ini"), old_text);
        const int r = with_file_limit(limit, [&] {
            const int rc = Ini_WriteToFile(s, path("p.ini").c_str());
            if (limit == n) return rc != 0 ? 1 : file_bytes(path("p.ini")) != text ? 2 : 0;
            return rc >= 0 ? 3 : file_bytes(path("p.ini")) != old_text ? 4 : entries() != 1 ? 5 : 0;
        });
        EXPECT_EQ(r, 0)
            << "limit " << limit << " of " << n
            << ": 1 not saved, 2 wrong text, 3 success reported, 4 old file changed, 5 files left";
    }
}

// A real full disk: a 64 KiB tmpfs in a private mount namespace of a child
// process. Needs the right to mount (root in most containers); skipped otherwise.
TEST_F(IniFiles, FullDiskKeepsTheOldFile) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") != 0) {
            _exit(77);
        }
        put_file(path("p.ini"), "old");
        IniText s = Ini_New(0);
        const std::string big(20000, 'x');
        for (int i = 0; i < 10; i++) Ini_PutString(s, std::to_string(i).c_str(), "t", big.c_str());
        const int r = Ini_WriteToFile(s, path("p.ini").c_str());
        Ini_Dispose(s);
        _exit(r != INI_ERR_DISK_FULL ? 1 : file_bytes(path("p.ini")) != "old" ? 2 : entries() != 1 ? 3 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot mount a small file system here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: wrong code, 2: old file changed, 3: files left behind";
}

// ---- Steps of a save, each made to fail ----

// The steps a save takes, and which one of them fails (0: none).
std::vector<std::string> steps_taken;
size_t failing_step = 0;
int failing_errno = EIO;

int record_step(const char* step) {
    steps_taken.emplace_back(step);
    return steps_taken.size() == failing_step ? failing_errno : 0;
}

struct StepSeam {
    explicit StepSeam(size_t fail, int err = EIO) {
        steps_taken.clear();
        failing_step = fail;
        failing_errno = err;
        ini_file_step = record_step;
    }
    ~StepSeam() { ini_file_step = nullptr; }
};

// Regression: the temporary file was renamed onto the old one without being
// synced, so a power loss could leave an empty or partial file where the old
// one had been; the folder was not synced either.
TEST_F(IniFiles, TemporaryFileIsSyncedBeforeTheRenameAndTheFolderAfter) {
    Store s;
    fill_large(s);
    StepSeam seam(0);
    ASSERT_EQ(Ini_WriteToFile(s, path("p.ini").c_str()), 0);
    EXPECT_EQ(steps_taken, (std::vector<std::string>{"write", "write", "write", "sync", "close", "rename",
                                                     "sync folder"}));
}

// Every step failing in turn, as a full disk, a broken device or a folder that
// turned read-only would make it: the failure is reported, the old file keeps
// every byte, and no temporary file is left. Only a failing sync of the folder
// comes after the new file is in place.
TEST_F(IniFiles, EveryFailingStepIsReportedAndKeepsTheOldFile) {
    const std::string old_text = "[Old]\r\nValue = 1\r\n\r\n" + std::string(5000, 'o');
    Store s;
    fill_large(s);
    size_t count = 0;
    {
        StepSeam seam(0);
        ASSERT_EQ(Ini_WriteToFile(s, path("count.ini").c_str()), 0);
        count = steps_taken.size();
        ASSERT_GE(count, 5u) << "writes, sync, close, rename, sync of the folder";
        ASSERT_EQ(unlink(path("count.ini").c_str()), 0);
    }
    for (size_t n = 1; n <= count; n++) {
        for (int err : {EIO, ENOSPC}) {
            put_file(path("p.ini"), old_text);
            StepSeam seam(n, err);
            const int r = Ini_WriteToFile(s, path("p.ini").c_str());
            ASSERT_GE(steps_taken.size(), n);
            const std::string step = steps_taken[n - 1];
            // After a failure the temporary file is only closed (and removed).
            for (size_t i = n; i < steps_taken.size(); i++) EXPECT_EQ(steps_taken[i], "close") << step;
            EXPECT_EQ(r, err == ENOSPC ? INI_ERR_DISK_FULL : INI_ERR_IO) << step;
            EXPECT_EQ(entries(), 1) << step;
            if (step == "sync folder")
                EXPECT_EQ(file_bytes(path("p.ini")), text_of(s)) << step;
            else
                EXPECT_EQ(file_bytes(path("p.ini")), old_text) << step;
        }
    }
}

// Regression: temporary files of saves that were killed (at a close of the
// program, 8 runs in 10) piled up beside the settings file for good.
TEST_F(IniFiles, StaleTemporaryFilesOfItsOwnAreRemoved) {
    const char* stale[] = {"ini$$a1B2c3.TMP", "ini$$ZZZZZZ.TMP"};
    const char* kept[] = {"ini$$abc.TMP", "ini$$abcdef.tmp", "xini$$abcdef.TMP", "ini$$abcdef.TMP.bak",
                          "ini$$ab-def.TMP"};
    for (const char* name : stale) put_file(path(name), "left by a killed save");
    for (const char* name : kept) put_file(path(name), "someone else's");
    put_file(path("ini$$fresh1.TMP"), "a save going on right now");
    ASSERT_EQ(mkdir(path("ini$$folder.TMP").c_str(), 0700), 0);
    ASSERT_EQ(symlink("ini$$fresh1.TMP", path("ini$$linked.TMP").c_str()), 0);
    const timespec old_times[2] = {{time(nullptr) - 120, 0}, {time(nullptr) - 120, 0}};
    for (const char* name : {"ini$$a1B2c3.TMP", "ini$$ZZZZZZ.TMP", "ini$$abc.TMP", "ini$$abcdef.tmp",
                             "xini$$abcdef.TMP", "ini$$abcdef.TMP.bak", "ini$$ab-def.TMP", "ini$$folder.TMP"})
        ASSERT_EQ(utimensat(AT_FDCWD, path(name).c_str(), old_times, 0), 0) << name;
    ASSERT_EQ(utimensat(AT_FDCWD, path("ini$$linked.TMP").c_str(), old_times, AT_SYMLINK_NOFOLLOW), 0);

    Store s;
    Ini_PutInt(s, "A", "b", 1);
    ASSERT_EQ(Ini_WriteToFile(s, path("p.ini").c_str()), 0);
    for (const char* name : stale) EXPECT_NE(access(path(name).c_str(), F_OK), 0) << name;
    for (const char* name : kept) EXPECT_EQ(access(path(name).c_str(), F_OK), 0) << name;
    for (const char* name : {"ini$$fresh1.TMP", "ini$$folder.TMP", "ini$$linked.TMP"})
        EXPECT_EQ(faccessat(AT_FDCWD, path(name).c_str(), F_OK, AT_SYMLINK_NOFOLLOW), 0) << name;
}

TEST_F(IniFiles, LinkIsFollowed) {
    put_file(path("real.ini"), "old");
    ASSERT_EQ(symlink("real.ini", path("link.ini").c_str()), 0);
    Store s;
    Ini_PutInt(s, "A", "b", 1);
    ASSERT_EQ(Ini_WriteToFile(s, path("link.ini").c_str()), 0);
    struct stat st;
    ASSERT_EQ(lstat(path("link.ini").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(file_bytes(path("real.ini")), "[A]\r\nb = 1\r\n\r\n");
}

// ---- Codes ----

TEST(IniCodes, EveryCodeHasAText) {
    for (int code : {INI_ERR_NULL_ARG, INI_ERR_NO_MEMORY, INI_ERR_OPEN, INI_ERR_READ, INI_ERR_NOT_INTEGER,
                     INI_ERR_NOT_BOOLEAN, INI_ERR_NOT_WRITABLE, INI_ERR_DISK_FULL, INI_ERR_IO}) {
        ASSERT_NE(Ini_ErrorText(code), nullptr) << code;
        EXPECT_GT(strlen(Ini_ErrorText(code)), 0u) << code;
    }
    EXPECT_EQ(Ini_ErrorText(-1), nullptr);
}

} // namespace
