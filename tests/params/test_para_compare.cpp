// Comparing parameter sets as the file names their fields, and which fields a
// file defines; the transfer's transactions over a scripted link.
#include "link/link.h"
#include "link/orders.h"
#include "params/para_compare.h"
#include "params/para_file.h"
#include "params/para_transfer.h"

#include "para_sample.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Store {
    IniText s = Ini_New(0);
    ~Store() { Ini_Dispose(s); }
    operator IniText() const { return s; }
};

// A file as a user might have edited it: loaded into a store and decoded.
struct File {
    Store st;
    para_record rec{};
    explicit File(const std::string& text) {
        EXPECT_EQ(Ini_ReadFromText(st, text.data(), text.size()), 0);
        parameter_store2para(st, &rec);
    }
    para_side side() const { return {&rec, st}; }
};

std::string full_text(const para_record& r) {
    Store st;
    parameter_save2store(st, &r, &r, &r);
    std::string t;
    Ini_WriteToText(st, &t);
    return t;
}

std::vector<para_difference> compare(const para_side& l, const para_side& r) {
    std::vector<para_difference> out;
    EXPECT_GE(para_compare(l, r, &out), 0);
    return out;
}

std::string line(const para_difference& d) {
    return d.section + " / " + d.key + ": " + d.left + " | " + d.right;
}

} // namespace

TEST(ParaCompare, UnitsDifferInEveryFieldNamedAsTheFileNamesIt) {
    const para_record a = para_sample();
    ASSERT_EQ(a.timer_condA.evnt[0] & 0x0002, 0x0002);
    ASSERT_EQ(a.eval_condA.comb, 1);
    EXPECT_TRUE(compare({&a, nullptr}, {&a, nullptr}).empty());

    para_record b = a;
    b.powerA = 5;
    b.scanrate = 600;                 // microseconds in the file: 10
    b.timer_condA.evnt[0] &= ~0x0002; // one condition bit: IN0 rising edge
    b.eval_condA.comb = 3;            // NAND
    b.iirB.use_filtered = !a.iirB.use_filtered;
    b.reserved1 = 0x7777;           // in no file: never a difference
    b.timer_condA.evnt[2] = 0x5555; // register 2 of a kind 0 condition: not in the file either
    std::vector<std::string> lines;
    for (const para_difference& d : compare({&a, nullptr}, {&b, nullptr})) lines.push_back(line(d));
    const std::vector<std::string> want = {
        "ChanA Power / Value: 101 | 5",
        "ChanA Timer condition / IN0 rising edge: True | False",
        "ChanA Evaluation condition / Combine conditions by:: AND | NAND",
        "ChanB IIR Filter / Use filtered value instead of value: " +
            std::string(a.iirB.use_filtered ? "True | False" : "False | True"),
        "Scanrate (\xB5s) / Value: " + std::to_string(a.scanrate / 60) + " | 10",
    };
    EXPECT_EQ(lines, want);
}

TEST(ParaCompare, AgainstAUnitOnlyTheFieldsTheFileDefinesCount) {
    para_record unit = para_sample();
    unit.timer_condA.evnt[0] = 0x0003;
    // Power A equal, power B different, a section with a value that does not
    // read, a condition section that names one bit only, limits and a legend
    // that differ from anything, and no other section at all.
    const File f("[ChanA Power]\r\nValue = 101\r\nMax. value = 9\r\n\r\n"
                 "[ChanB Power]\r\nValue = 7\r\n\r\n"
                 "[ChanA Trigger 1]\r\nValue = abc\r\n\r\n"
                 "[ChanA Timer]\r\nOption = \"something else\"\r\nValue = 103\r\n\r\n"
                 "[ChanA Timer condition]\r\nIN0 rising edge = True\r\n\r\n");
    std::vector<std::string> lines;
    for (const para_difference& d : compare(f.side(), {&unit, nullptr}))
        lines.push_back(d.section + "/" + d.key);
    // The condition section defines all its bits: the one bit named, the rest
    // 0, so the unit's other bits differ; then power B.
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines.back(), "ChanB Power/Value");
    for (size_t i = 0; i + 1 < lines.size(); i++)
        EXPECT_EQ(lines[i].rfind("ChanA Timer condition/", 0), 0u) << lines[i];
    EXPECT_EQ(lines[0], "ChanA Timer condition/IN0 falling edge");

    // The same the other way round.
    EXPECT_EQ(compare({&unit, nullptr}, f.side()).size(), lines.size());
    EXPECT_EQ(parameter_store_defines(f.st, "ChanA Trigger 1", "Value"), 0);
    EXPECT_EQ(parameter_store_defines(f.st, "ChanA Power", "Max. value"), 0);
    EXPECT_EQ(parameter_store_defines(f.st, "ChanA Timer condition", "Combine conditions by:"), 1);
    EXPECT_EQ(parameter_store_defines(f.st, "ChanA Normalisation", "Value"), 0);
    EXPECT_EQ(parameter_is_value_key("ChanA Evaluation mode", "Option 3:"), 0);
    EXPECT_EQ(parameter_is_value_key("ChanA IIR Filter", "Stage 2: coeff. b1"), 1);
}

TEST(ParaCompare, AWholeFileAgreesWithTheSetItWasWrittenFrom) {
    const para_record r = para_sample();
    const File f(full_text(r));
    EXPECT_TRUE(compare(f.side(), {&r, nullptr}).empty());
    // A 16-bit field given as 70000 is loaded as 4464: that is what the unit gets.
    std::string text = full_text(r);
    const size_t at = text.find("[ChanA Power]\r\nValue = 101");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 26, "[ChanA Power]\r\nValue = 70000");
    const File g(text);
    para_record unit = r;
    unit.powerA = 4464;
    EXPECT_TRUE(compare(g.side(), {&unit, nullptr}).empty());
}

TEST(ParaCompare, BetweenTwoFilesAFieldOnlyOneDefinesIsADifference) {
    const File a("[ChanA Power]\r\nValue = 1\r\n\r\n[ChanB Power]\r\nValue = 2\r\n\r\n");
    // The micro sign saved as UTF-8 by an editor is still the scan rate.
    const File b("[ChanB Power]\r\nValue = 3\r\n\r\n[Scanrate (\xC2\xB5s)]\r\nValue = 500\r\n\r\n");
    std::vector<std::string> lines;
    for (const para_difference& d : compare(a.side(), b.side())) lines.push_back(line(d));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "ChanA Power / Value: 1 | (not in file)",
                         "ChanB Power / Value: 2 | 3",
                         "Scanrate (\xB5s) / Value: (not in file) | 500",
                     }));
}

namespace {

// A unit that answers each order from a script and remembers what it was asked.
struct scripted_unit {
    std::vector<int> orders;
    std::vector<int> codes;  // result of each transaction in turn (0 when the list runs out)
    std::vector<int> values; // answer value of each transaction in turn
    uint16_t last_value = 0;
    link_exchanger link() {
        link_exchanger x;
        x.exchange = [this](int order, int, const uint16_t*, int, uint16_t* answer, int max_answer, int* n) {
            const size_t k = orders.size();
            orders.push_back(order);
            last_value = static_cast<uint16_t>(k < values.size() ? values[k] : 0);
            for (int i = 0; answer && i < max_answer; i++) answer[i] = static_cast<uint16_t>(i);
            if (n) *n = max_answer;
            return k < codes.size() ? codes[k] : 0;
        };
        x.answer_value = [this] { return last_value; };
        return x;
    }
};

} // namespace

TEST(ParaTransfer, RunsTheProgramsTransactionsWithoutAPanel) {
    uint16_t words[PARA_WORDS] = {};
    char text[LINK_TEXT_SIZE] = "Sending data ... ";
    scripted_unit rom;
    EXPECT_EQ(para_transfer(rom.link(), PARA_MODE_SEND_ROM, 0, text, words, PARA_WORDS, nullptr, 0), 0);
    EXPECT_EQ(rom.orders, (std::vector<int>{ORDER_WRITE_RAM, ORDER_STORE_ROM}));
    EXPECT_STREQ(text, "Sending data ... Done.  Store to ROM ... Done. ");

    // Refused fields: the count replaces the text, and ROM is never stored.
    scripted_unit refusing;
    refusing.values = {2};
    std::snprintf(text, sizeof text, "Sending data ... ");
    EXPECT_EQ(para_transfer(refusing.link(), PARA_MODE_SEND_ROM, 0, text, words, PARA_WORDS, nullptr, 0),
              LINK_ERR_PLAUSIBILITY);
    EXPECT_EQ(refusing.orders, (std::vector<int>{ORDER_WRITE_RAM}));
    EXPECT_STREQ(text, "2 plausibility check errors!");

    scripted_unit reading;
    uint16_t answer[PARA_WORDS] = {};
    std::snprintf(text, sizeof text, "Reading data ... ");
    EXPECT_EQ(para_transfer(reading.link(), PARA_MODE_READ_ROM, 0, text, nullptr, 0, answer, PARA_WORDS), 0);
    EXPECT_EQ(reading.orders, (std::vector<int>{ORDER_LOAD_ROM, ORDER_READ_RAM}));
    EXPECT_STREQ(text, "Load from ROM ... Done. Reading data ... Done. ");
    EXPECT_EQ(answer[227], 227);

    scripted_unit timing_out;
    timing_out.codes = {LINK_ERR_RECV_TIMEOUT};
    std::snprintf(text, sizeof text, "Reading data ... ");
    EXPECT_EQ(para_transfer(timing_out.link(), PARA_MODE_READ_ROM, 0, text, nullptr, 0, answer, PARA_WORDS),
              LINK_ERR_RECV_TIMEOUT);
    EXPECT_EQ(timing_out.orders, (std::vector<int>{ORDER_LOAD_ROM}));
    EXPECT_STREQ(text, "Timeout while receiving.");
}
