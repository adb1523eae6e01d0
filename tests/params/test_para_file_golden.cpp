// Parameter file golden text: the sample record written with and without limits,
// compared byte for byte with a text built here from the file's section table,
// and read by a generic ini reader.
#include "params/conditions.h"
#include "params/para_file.h"

#include "para_sample.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

// The expected file, section by section, as the table lists it.
struct golden {
    bool limits;
    std::string text;
    std::vector<std::pair<std::string, int>> sections; // name, number of keys

    void begin(const std::string& name) {
        if (!sections.empty()) text += "\r\n";
        text += "[" + name + "]\r\n";
        sections.push_back({name, 0});
    }
    void line(const std::string& key, const std::string& value) {
        text += key + " = " + value + "\r\n";
        sections.back().second++;
    }
    void num(const std::string& key, long v) { line(key, std::to_string(v)); }
    void flag(const std::string& key, bool v) { line(key, v ? "True" : "False"); }
    void str(const std::string& key, const std::string& v) { line(key, "\"" + v + "\""); }
    std::string finish() { return text + "\r\n"; }

    void limited(const std::string& name, long v) {
        begin(name);
        num("Value", v);
        if (limits) {
            num("Max. value", v + 1000);
            num("Min. value", v - 1000);
        }
    }
    void value(const std::string& name, long v) {
        begin(name);
        num("Value", v);
    }
    void boolean(const std::string& name, const std::string& key, bool v) {
        begin(name);
        flag(key, v);
    }
    void timer(const std::string& name, long v) {
        limited(name, v);
        str("Option", "0: timer deactivated, x: timer activated");
    }
    void evalmode(const std::string& name, long v) {
        value(name, v);
        for (int i = 0; i < 22; i++) str("Option " + std::to_string(i) + ":", eval_modes_options[i]);
    }
    void bits(const char (*names)[COND_BITSTR_LEN], int n, unsigned mask) {
        for (int b = 0; b < n; b++) flag(names[b], (mask >> b) & 1);
    }
    // Kinds 0 and 8: register 0 events (8 or 14 bits), register 1 events.
    void events(const std::string& name, int reg0_bits, unsigned e0, unsigned e1) {
        begin(name);
        bits(reg0_bitstr_evnt, reg0_bits, e0);
        bits(reg1_bitstr_evnt, 8, e1);
    }
    // Kinds 6 and 7 (with_res): states 0, 1, events 0, 1, [states 2, events 2], combination.
    void combined(const std::string& name, bool with_res, const combined_cond& c, const char* comb) {
        begin(name);
        bits(reg0_bitstr_stat, 8, c.stat[0]);
        bits(reg1_bitstr_stat, 8, c.stat[1]);
        bits(reg0_bitstr_evnt, 8, c.evnt[0]);
        bits(reg1_bitstr_evnt, 8, c.evnt[1]);
        if (with_res) {
            bits(reg2_bitstr_stat, 10, c.stat[2]);
            bits(reg2_bitstr_evnt, 10, c.evnt[2]);
        }
        str("Combine conditions by:", comb);
    }
    void iir(const std::string& name, const iir_block& f) {
        begin(name);
        num("Initial gain", f.gain);
        for (int s = 0; s < 3; s++) {
            const std::string st = "Stage " + std::to_string(s) + ": coeff. ";
            num(st + "a1", f.stage[s].a1);
            num(st + "a2", f.stage[s].a2);
            num(st + "b0", f.stage[s].b0);
            num(st + "b1", f.stage[s].b1);
            num(st + "b2", f.stage[s].b2);
        }
        num("Final shift value", f.shift);
        flag("Use filtered value instead of value", f.use_filtered);
    }
    void teach(const std::string& chan, const teach_entry t[4]) {
        for (int k = 0; k < 4; k++) {
            limited(chan + " Reference " + std::to_string(k), t[k].reference);
            limited(chan + " Low tolerance " + std::to_string(k), t[k].tol_low);
            limited(chan + " High tolerance " + std::to_string(k), t[k].tol_high);
        }
    }
    void anaout(int k, const anaout_scaling& a) {
        begin("Analog output scaling " + std::to_string(k));
        num("Gain", a.gain);
        num("Shift", a.shift);
        num("Offset", a.offset);
    }
};

golden build_expected(const para_record& r, bool limits) {
    golden g{limits, {}, {}};
    g.limited("ChanA Power", 101);
    g.limited("ChanA Trigger 1", 105);
    g.limited("ChanA Trigger 1 hysteresis", 106);
    g.limited("ChanA Trigger 2", 107);
    g.limited("ChanA Trigger 2 hysteresis", 108);
    g.timer("ChanA Timer", 103);
    g.events("ChanA Timer condition", 8, 0x0003, 0x0004);
    g.boolean("ChanA Timer Mode", "Run Timer without retriggering", false);
    g.events("ChanA Counter condition", 14, 0x2A05, 0x0042);
    g.boolean("ChanA Normalisation", "Value", true);
    g.combined("Output 0 condition", true, r.out_cond[0], "NOR");
    g.limited("Output 0 min. ON holdtime", 381);
    g.limited("Output 0 min. OFF holdtime", 380);
    g.events("ChanA Eval begin./Reset condition", 8, 0x0012, 0x0081);
    g.combined("ChanA Evaluation condition", false, r.eval_condA, "AND");
    g.evalmode("ChanA Evaluation mode", 7);
    g.limited("ChanA Evaluation setting select", 112);
    g.value("ChanA Evaluation setting switch", -113);
    g.teach("ChanA", r.teachA);
    g.value("ChanA averaging", 109);
    g.boolean("ChanA linearisation", "Value", true);
    g.events("ChanA Oscillograph record cond.", 14, 0x1100, 0x0018);
    g.limited("ChanA Oscillograph skip count", 110);
    g.limited("ChanA Oscillograph pretrigger", 111);
    g.iir("ChanA IIR Filter", r.iirA);
    g.limited("ChanA External teach mode", 320);
    g.limited("ChanA Dirt accumulation upper level", 312);
    g.limited("ChanA Dirt accumulation timeout", 314);
    g.limited("ChanA Include prev. samples at reset", 428);
    g.boolean("ChanA Derivation", "Use derivation value instead of value", true);
    g.limited("ChanA Counter effect on ChanB Counter", 438);
    g.limited("ChanB Input source", -1);
    g.limited("ChanB Power", 202);
    g.limited("ChanB Trigger 1", 205);
    g.limited("ChanB Trigger 1 hysteresis", 206);
    g.limited("ChanB Trigger 2", 207);
    g.limited("ChanB Trigger 2 hysteresis", 208);
    g.timer("ChanB Timer", -204);
    g.events("ChanB Timer condition", 8, 0x0030, 0x00C0);
    g.boolean("ChanB Timer Mode", "Run Timer without retriggering", true);
    g.events("ChanB Counter condition", 14, 0x14A0, 0x0081);
    g.boolean("ChanB Normalisation", "Value", false);
    g.combined("Output 1 condition", true, r.out_cond[1], "NAND");
    g.limited("Output 1 min. ON holdtime", 383);
    g.limited("Output 1 min. OFF holdtime", 382);
    g.events("ChanB Eval begin./Reset condition", 8, 0x0048, 0x0012);
    g.combined("ChanB Evaluation condition", false, r.eval_condB, "NOR");
    g.evalmode("ChanB Evaluation mode", 21);
    g.limited("ChanB Evaluation setting select", 212);
    g.value("ChanB Evaluation setting switch", -213);
    g.teach("ChanB", r.teachB);
    g.value("ChanB averaging", 209);
    g.boolean("ChanB linearisation", "Value", false);
    g.events("ChanB Oscillograph record cond.", 14, 0x0802, 0x0024);
    g.limited("ChanB Oscillograph skip count", 210);
    g.limited("ChanB Oscillograph pretrigger", 211);
    g.iir("ChanB IIR Filter", r.iirB);
    g.limited("ChanB External teach mode", 322);
    g.limited("ChanB Dirt accumulation upper level", 316);
    g.limited("ChanB Dirt accumulation timeout", 318);
    g.limited("ChanB Include prev. samples at reset", 430);
    g.boolean("ChanB Derivation", "Use derivation value instead of value", false);
    g.limited("ChanB Counter effect on ChanA Counter", -440);
    // 30000 / 60; the limits 31000 and 29000 truncate to 516 and 483.
    g.begin("Scanrate (\xB5s)");
    g.num("Value", 500);
    if (limits) {
        g.num("Max. value", 516);
        g.num("Min. value", 483);
    }
    g.limited("Normalisation timebase (s)", 310);
    g.combined("Normalisation condition", false, r.norm_cond, "NAND");
    g.limited("Analog output source", 392);
    g.value("Analog output switch", 394);
    for (int k = 0; k < 4; k++) g.anaout(k, r.anaout_scale[k]);
    g.events("Autosend condition", 14, 0x3C01, 0x0020);
    g.boolean("Dirt accumulation output", "Value", true);
    g.combined("Output 2 condition", true, r.out_cond[2], "OR");
    g.limited("Output 2 min. ON holdtime", 385);
    g.limited("Output 2 min. OFF holdtime", 384);
    g.limited("Usage of Potentiometer", 446);
    return g;
}

std::string expected_file(const para_record& r, bool limits) {
    golden g = build_expected(r, limits);
    EXPECT_EQ(g.sections.size(), 100u);
    return g.finish();
}

std::string file_bytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

class ParaGolden : public ::testing::Test {
  protected:
    std::string path;
    para_record rec = para_sample();
    para_record max{}, min{};
    void SetUp() override {
        path = ::testing::TempDir() + "para_golden_" + std::to_string(getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        para_sample_limits(&rec, &max, &min);
    }
    void TearDown() override { std::remove(path.c_str()); }
};

// Line-by-line first, so a mismatch names the first differing line.
void expect_same_text(const std::string& got, const std::string& want) {
    size_t a = 0, b = 0;
    int line = 1;
    while (a < got.size() && b < want.size()) {
        const size_t ea = got.find('\n', a), eb = want.find('\n', b);
        const std::string la = got.substr(a, ea - a), lb = want.substr(b, eb - b);
        ASSERT_EQ(la, lb) << "line " << line;
        if (ea == std::string::npos || eb == std::string::npos) break;
        a = ea + 1;
        b = eb + 1;
        line++;
    }
    EXPECT_EQ(got, want);
}

} // namespace

TEST_F(ParaGolden, WithLimits) {
    ASSERT_EQ(parameter_save2path(path.c_str(), &rec, &max, &min), 0);
    expect_same_text(file_bytes(path), expected_file(rec, true));
}

TEST_F(ParaGolden, WithoutLimitsOnlyValues) {
    ASSERT_EQ(parameter_save2path(path.c_str(), &rec, nullptr, nullptr), 0);
    const std::string got = file_bytes(path);
    expect_same_text(got, expected_file(rec, false));
    EXPECT_EQ(got.find("Max. value"), std::string::npos);
}

TEST_F(ParaGolden, ScanrateSectionNameIsOneByteMicroSign) {
    ASSERT_EQ(parameter_save2path(path.c_str(), &rec, nullptr, nullptr), 0);
    const std::string got = file_bytes(path);
    EXPECT_NE(got.find("[Scanrate (\xB5s)]\r\n"), std::string::npos);
    EXPECT_EQ(got.find("\xC2\xB5"), std::string::npos); // no UTF-8
}

// A generic reader (Python's configparser, '=' as the only delimiter) must see
// every section and every key of the file.
TEST_F(ParaGolden, GenericIniReaderSeesEverySectionAndKey) {
    if (std::system("python3 -c 'import configparser' >/dev/null 2>&1") != 0) GTEST_SKIP() << "no python3";
    ASSERT_EQ(parameter_save2path(path.c_str(), &rec, &max, &min), 0);

    const std::string script = path + ".py";
    std::ofstream(script) << "import configparser, sys\n"
                             "c = configparser.ConfigParser(delimiters=('=',))\n"
                             "c.read(sys.argv[1], encoding='cp1252')\n"
                             "for s in c.sections():\n"
                             "    n = 0\n"
                             "    for k in c[s]:\n"
                             "        c[s][k]\n"
                             "        n += 1\n"
                             "    sys.stdout.buffer.write((s + '|' + str(n) + '\\n').encode('cp1252'))\n";
    const std::string cmd = "python3 '" + script + "' '" + path + "'";
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[512];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int status = pclose(p);
    std::remove(script.c_str());
    ASSERT_EQ(status, 0) << out;

    std::string want;
    for (const auto& [name, keys] : build_expected(rec, true).sections)
        want += name + "|" + std::to_string(keys) + "\n";
    EXPECT_EQ(out, want);
}
