// Parameter files: round trip, loading rules, condition sections, failures.
#include "params/conditions.h"
#include "params/para_file.h"

#include "para_sample.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <unistd.h>

namespace {

struct Store {
    IniText s = Ini_New(0);
    ~Store() { Ini_Dispose(s); }
    operator IniText() const { return s; }
};

std::string saved_text(const para_record& r) {
    Store st;
    EXPECT_EQ(parameter_save2store(st, &r, nullptr, nullptr), 0);
    std::string t;
    EXPECT_EQ(Ini_WriteToText(st, &t), 0);
    return t;
}

// Loads `text` into `rec` through a store.
void load_text(const std::string& text, para_record* rec) {
    Store st;
    ASSERT_EQ(Ini_ReadFromText(st, text.data(), text.size()), 0);
    EXPECT_EQ(parameter_store2para(st, rec), 0);
}

void replace(std::string* text, const std::string& from, const std::string& to) {
    const size_t p = text->find(from);
    ASSERT_NE(p, std::string::npos) << from;
    text->replace(p, from.size(), to);
}

// Cuts a whole section (header to the empty line after it) out of a file text.
void drop_section(std::string* text, const std::string& name) {
    const size_t b = text->find("[" + name + "]\r\n");
    ASSERT_NE(b, std::string::npos);
    const size_t e = text->find("\r\n\r\n", b);
    text->erase(b, e + 4 - b);
}

std::string temp_path(const char* tag) {
    return ::testing::TempDir() + "para_file_" + std::to_string(getpid()) + "_" + tag + ".ini";
}

} // namespace

// ---- round trip ----

TEST(ParaFileRoundTrip, EveryFieldButReservedAndUnstoredRegister2Words) {
    const para_record r = para_sample();
    para_record mx{}, mn{};
    para_sample_limits(&r, &mx, &mn);
    const std::string path = temp_path("roundtrip");
    ASSERT_EQ(parameter_save2path(path.c_str(), &r, &mx, &mn), 0);

    para_record back;
    std::memset(&back, 0x5A, sizeof back);
    ASSERT_EQ(parameter_path2para(path.c_str(), &back), 0);
    std::remove(path.c_str());

    // Register 2 words of kind 0, 8 and 6 conditions are rebuilt as 0.
    const std::set<std::string> dropped = {
        "eval_beginA.evnt[2]", "counter_condA.evnt[2]", "timer_condA.evnt[2]",   "osci_condA.evnt[2]",
        "eval_condA.stat[2]",  "eval_condA.evnt[2]",    "eval_beginB.evnt[2]",   "counter_condB.evnt[2]",
        "timer_condB.evnt[2]", "osci_condB.evnt[2]",    "eval_condB.stat[2]",    "eval_condB.evnt[2]",
        "norm_cond.stat[2]",   "norm_cond.evnt[2]",     "autosend_cond.evnt[2]",
    };
    int checked = 0;
    for (int i = 0; i < para_field_count; i++) {
        const std::string name = para_fields[i].name;
        if (name.rfind("reserved", 0) == 0) {
            EXPECT_EQ(para_field_get(&back, i) & 0xFFFF, 0x5A5A) << name; // not in the file: untouched
        } else if (dropped.count(name)) {
            EXPECT_NE(para_field_get(&r, i), 0) << name; // the sample sets it, so the loss is visible
            EXPECT_EQ(para_field_get(&back, i), 0) << name;
        } else {
            EXPECT_EQ(para_field_get(&back, i), para_field_get(&r, i)) << name;
            checked++;
        }
    }
    EXPECT_EQ(checked, 200 - 4 - 15);
}

// ---- loading rules ----

TEST(ParaFileLoad, ScanRateInMicroseconds) {
    para_record r{};
    r.scanrate = 30000;
    std::string t = saved_text(r);
    EXPECT_NE(t.find("[Scanrate (\xB5s)]\r\nValue = 500\r\n"), std::string::npos);
    para_record back{};
    load_text(t, &back);
    EXPECT_EQ(back.scanrate, 30000);

    r.scanrate = 59;
    t = saved_text(r);
    EXPECT_NE(t.find("[Scanrate (\xB5s)]\r\nValue = 0\r\n"), std::string::npos);
    back.scanrate = 7;
    load_text(t, &back);
    EXPECT_EQ(back.scanrate, 0);

    r.scanrate = -119; // truncated toward zero, not floored
    EXPECT_NE(saved_text(r).find("[Scanrate (\xB5s)]\r\nValue = -1\r\n"), std::string::npos);
}

// A text editor that saves as UTF-8 turns the single byte of the micro sign
// into two; the section must still be found.
TEST(ParaFileLoad, ScanRateSectionReSavedAsUtf8) {
    para_record r = para_sample();
    r.scanrate = 30000;
    std::string t = saved_text(r);
    replace(&t, "[Scanrate (\xB5s)]\r\nValue = 500", "[Scanrate (\xC2\xB5s)]\r\nValue = 250");
    para_record back = r;
    load_text(t, &back);
    EXPECT_EQ(back.scanrate, 15000);
    // Writing keeps the single byte that other readers of these files expect.
    EXPECT_NE(saved_text(back).find("[Scanrate (\xB5s)]\r\nValue = 250\r\n"), std::string::npos);
    EXPECT_EQ(saved_text(back).find("\xC2"), std::string::npos);
}

TEST(ParaFileLoad, MissingConditionSectionZeroesButMissingValueKeeps) {
    const para_record r = para_sample();
    std::string t = saved_text(r);
    drop_section(&t, "ChanA Timer condition");
    drop_section(&t, "ChanA Power");
    para_record back = r;
    back.powerA = 4242;
    load_text(t, &back);
    EXPECT_EQ(back.timer_condA.evnt[0], 0);
    EXPECT_EQ(back.timer_condA.evnt[1], 0);
    EXPECT_EQ(back.powerA, 4242);
}

TEST(ParaFileLoad, ValuesAreCutToTheFieldWidth) {
    std::string t = saved_text(para_sample());
    replace(&t, "[ChanB Power]\r\nValue = 202", "[ChanB Power]\r\nValue = 70000");
    replace(&t, "[ChanA Reference 1]\r\nValue = 98305", "[ChanA Reference 1]\r\nValue = -2000000000");
    para_record back{};
    load_text(t, &back);
    EXPECT_EQ(back.powerB, 4464);
    EXPECT_EQ(back.teachA[1].reference, -2000000000); // 32-bit fields keep all bits
}

TEST(ParaFileLoad, InvalidItemsKeepTheField) {
    std::string t = saved_text(para_sample());
    replace(&t, "[ChanA Trigger 1]\r\nValue = 105", "[ChanA Trigger 1]\r\nValue = 12a");
    replace(&t, "[ChanA Normalisation]\r\nValue = True", "[ChanA Normalisation]\r\nValue = yes");
    para_record back{};
    back.trigger1A = 9;
    back.normA = 3;
    load_text(t, &back);
    EXPECT_EQ(back.trigger1A, 9);
    EXPECT_EQ(back.normA, 3);
    EXPECT_EQ(back.trigger2A, 107);
}

TEST(ParaFileLoad, IirCoefficientsKeepTheirPlaces) {
    // The file lists a1 before a2; swapping them on the way is the easy mistake.
    para_record r{};
    r.iirB.stage[1].a2 = 11;
    r.iirB.stage[1].a1 = 22;
    const std::string t = saved_text(r);
    EXPECT_NE(t.find("Stage 1: coeff. a1 = 22\r\nStage 1: coeff. a2 = 11\r\n"), std::string::npos);
    para_record back{};
    load_text(t, &back);
    EXPECT_EQ(back.iirB.stage[1].a2, 11);
    EXPECT_EQ(back.iirB.stage[1].a1, 22);
}

// ---- condition sections ----

TEST(ParaFileCond, ItemCountsByKind) {
    Store st;
    event_cond e{};
    combined_cond c{};
    cond2inifile(&e, COND_KIND_EVENT, st, "k0");
    cond2inifile(&e, COND_KIND_EVENT_OUTPUTS, st, "k8");
    cond2inifile(&c, COND_KIND_COMBINED, st, "k6");
    cond2inifile(&c, COND_KIND_COMBINED_RES, st, "k7");
    EXPECT_EQ(Ini_NumberOfItems(st, "k0"), 16);
    EXPECT_EQ(Ini_NumberOfItems(st, "k8"), 22);
    EXPECT_EQ(Ini_NumberOfItems(st, "k6"), 33);
    EXPECT_EQ(Ini_NumberOfItems(st, "k7"), 53);
}

TEST(ParaFileCond, CombinationTextsAndTheirCase) {
    Store st;
    combined_cond c{};
    c.comb = 7; // unknown codes are written as OR
    cond2inifile(&c, COND_KIND_COMBINED, st, "s");
    char buf[16];
    Ini_GetStringIntoBuffer(st, "s", "Combine conditions by:", buf, sizeof buf);
    EXPECT_STREQ(buf, "OR");

    Ini_PutString(st, "s", "Combine conditions by:", "NAND");
    inifile2cond(&c, COND_KIND_COMBINED, st, "s");
    EXPECT_EQ(c.comb, 3);
    Ini_PutString(st, "s", "Combine conditions by:", "and"); // letter case counts
    inifile2cond(&c, COND_KIND_COMBINED, st, "s");
    EXPECT_EQ(c.comb, 0);
}

TEST(ParaFileCond, BitsWithoutKeysAreLost) {
    Store st;
    event_cond e{{0x0101, 0x0300, 0x0007}}; // output event and bits above 7 in register 1
    cond2inifile(&e, COND_KIND_EVENT, st, "s");
    event_cond back{{0xFFFF, 0xFFFF, 0xFFFF}};
    inifile2cond(&back, COND_KIND_EVENT, st, "s");
    EXPECT_EQ(back.evnt[0], 0x0001);
    EXPECT_EQ(back.evnt[1], 0x0000);
    EXPECT_EQ(back.evnt[2], 0x0000);
}

TEST(ParaFileCond, OutputConditionsKeepRegister2) {
    Store st;
    const combined_cond c{{0, 0, 0x03FF}, {0, 0, 0x0201}, 1};
    cond2inifile(&c, COND_KIND_COMBINED_RES, st, "s");
    combined_cond back{};
    inifile2cond(&back, COND_KIND_COMBINED_RES, st, "s");
    EXPECT_EQ(std::memcmp(&back, &c, sizeof c), 0);
}

TEST(ParaFileCond, NonBooleanBitCountsAsMissing) {
    Store st;
    Ini_PutBoolean(st, "s", "IN0 falling edge", 1);
    Ini_PutString(st, "s", "IN0 rising edge", "maybe");
    event_cond back{};
    inifile2cond(&back, COND_KIND_EVENT, st, "s");
    EXPECT_EQ(back.evnt[0], 0x0001);
}

// ---- progress and failures ----

namespace {
int progress_calls;
int progress_last;
void count_progress(int* step) {
    EXPECT_EQ(*step, progress_calls); // the counter runs 0, 1, 2, ...
    progress_calls++;
    progress_last = *step;
    (*step)++;
}
} // namespace

TEST(ParaFileProgress, OneStepPerSectionBothWays) {
    para_file_progress = count_progress;
    progress_calls = 0;
    const std::string t = saved_text(para_sample());
    EXPECT_EQ(progress_calls, 100);
    EXPECT_EQ(progress_last, 99);
    progress_calls = 0;
    para_record back{};
    load_text(t, &back);
    EXPECT_EQ(progress_calls, 100);
    para_file_progress = nullptr;
}

TEST(ParaFileFailure, FailedWriteIsReported) {
    const para_record r = para_sample();
    EXPECT_LT(parameter_save2path("/nonexistent-dir/sub/params.ini", &r, nullptr, nullptr), 0);
}

TEST(ParaFileFailure, UnreadableFileLeavesTheRecord) {
    para_record back = para_sample();
    const para_record before = back;
    EXPECT_EQ(parameter_path2para("/nonexistent-dir/params.ini", &back), INI_ERR_OPEN);
    EXPECT_EQ(std::memcmp(&back, &before, sizeof back), 0);
}

// Regression: a file of any size was read whole into the store, at several
// times its size in memory (100 MB took 750 MB and 2 s). A parameter file is
// about 20 KB; one above the ini reader's cap is refused before it is read.
TEST(ParaFileFailure, FileAboveTheSizeCapIsRefusedAndLeavesTheRecord) {
    para_record other{};
    other.powerA = 5;
    const std::string one = saved_text(other);
    const std::string path = temp_path("huge");
    {
        std::ofstream out(path, std::ios::binary);
        for (long long n = 0; n <= INI_MAX_FILE_BYTES; n += static_cast<long long>(one.size())) out << one;
    }
    para_record back = para_sample();
    const para_record before = back;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(parameter_path2para(path.c_str(), &back), INI_ERR_READ);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(std::memcmp(&back, &before, sizeof back), 0);
    std::remove(path.c_str());
}

// A file without a single section of the set is no parameter file: taking it
// would rebuild every condition from zero and report success.
TEST(ParaFileFailure, FileWithoutAnySectionIsRefusedAndLeavesTheRecord) {
    const para_record before = para_sample();
    const std::string path = temp_path("noset");
    const std::string texts[] = {
        "",
        std::string("\x7FPK\x03\x04\0\0\0\x89PNG\r\n\x1A\n\xFF\xD8\0\x01", 20),
        "[Other program]\r\nValue = 3\r\n\r\n[Scanrate]\r\nValue = 1\r\n",
    };
    for (const std::string& text : texts) {
        {
            std::ofstream out(path, std::ios::binary);
            out << text;
        }
        para_record back = before;
        EXPECT_LT(parameter_path2para(path.c_str(), &back), 0) << text;
        EXPECT_EQ(std::memcmp(&back, &before, sizeof back), 0) << text;
        Store st;
        ASSERT_EQ(Ini_ReadFromText(st, text.data(), text.size()), 0);
        EXPECT_LT(parameter_store2para(st, &back), 0);
        EXPECT_EQ(std::memcmp(&back, &before, sizeof back), 0) << text;
    }
    std::remove(path.c_str());

    // One section is enough to count as a parameter file; the rest follow the
    // rules for missing sections.
    para_record back = before;
    load_text("[ChanA Power]\r\nValue = 77\r\n", &back);
    EXPECT_EQ(back.powerA, 77);
    EXPECT_EQ(back.timer_condA.evnt[0], 0);
    EXPECT_EQ(back.trigger1A, before.trigger1A);
    // So is the scan rate under its UTF-8 spelling alone.
    back = before;
    load_text("[Scanrate (\xC2\xB5s)]\r\nValue = 2\r\n", &back);
    EXPECT_EQ(back.scanrate, 120);
}

TEST(ParaFileLegend, EvaluationModesAreListed) {
    Store st;
    ASSERT_EQ(enlist_evalmode_to_inifile(st, "m"), 0);
    EXPECT_EQ(Ini_NumberOfItems(st, "m"), 22);
    char buf[40];
    Ini_GetStringIntoBuffer(st, "m", "Option 8:", buf, sizeof buf);
    EXPECT_STREQ(buf, "(4095 * A) / (A + B)");
}
