// Condition texts, the ring catalogue and the ring selection rules.
#include "params/conditions.h"

#include "mem_ring.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

const char SPAN_IN0[] = "0000*0000*0000*0002*0000*0000*0000*>0000*0000*0000*0001*0000*0000*0000*";

std::string text_of(const void* cond, int kind) {
    char buf[COND_TEXT_LEN + 1];
    cond_value_text(cond, kind, buf);
    return buf;
}

void fill(mem_ring& r, int code) {
    ASSERT_EQ(fill_conditions(&r.ring, code), 0);
}

int index_of(const mem_ring& r, const std::string& label) {
    for (size_t i = 0; i < r.items.size(); i++)
        if (r.items[i].label == label) return static_cast<int>(i);
    return -1;
}

} // namespace

// ---- value texts ----

TEST(CondText, EventConditionFillsTheEventFields) {
    event_cond c{{0x0002, 0, 0}};
    EXPECT_EQ(text_of(&c, COND_KIND_EVENT), "0000*0000*0000*0002*0000*0000*0000*");
    c = {{0x3F00, 0x00A5, 0x0300}};
    EXPECT_EQ(text_of(&c, COND_KIND_EVENT_OUTPUTS), "0000*0000*0000*3F00*00A5*0300*0000*");
}

TEST(CondText, CombinedConditionIsUpperCaseInWordOrder) {
    combined_cond c{{0x00ab, 0x0001, 0x0200}, {0xFFFF, 0x0c00, 0x0003}, 3};
    EXPECT_EQ(text_of(&c, COND_KIND_COMBINED_RES), "00AB*0001*0200*FFFF*0C00*0003*0003*");
}

TEST(CondText, SpanKindsHaveNoValueTextOfTheirOwn) {
    combined_cond c{{1, 2, 3}, {4, 5, 6}, 1};
    char buf[COND_TEXT_LEN + 1] = "junk";
    EXPECT_EQ(cond2string(&c, buf, COND_KIND_SPAN_EVAL, nullptr), -1);
    EXPECT_STREQ(buf, "");
}

TEST(CondText, SpanTextJoinsBeginAndEvaluation) {
    event_cond begin{{0x0002, 0, 0}};
    combined_cond eval{{0, 0, 0}, {0x0001, 0, 0}, 0};
    char buf[COND_SPAN_LEN + 1];
    EXPECT_EQ(span2string(&begin, &eval, buf, nullptr), -1);
    EXPECT_STREQ(buf, SPAN_IN0);
    EXPECT_EQ(std::strlen(buf), 71u);
}

// ---- continuity ----

TEST(CondContinuous, StateWithItsOppositeUnderOr) {
    combined_cond c{};
    c.stat[0] = 0x0003;
    EXPECT_TRUE(cond_is_continuous(&c));
    c.comb = 1; // AND of a state and its opposite is not "always"
    EXPECT_FALSE(cond_is_continuous(&c));
    c = {};
    c.stat[1] = 0x00C0;
    EXPECT_TRUE(cond_is_continuous(&c));
    c.stat[1] = 0x0006; // bits 1 and 2 belong to different pairs
    EXPECT_FALSE(cond_is_continuous(&c));
    c = {};
    c.stat[0] = 0x0300; // output pairs are not looked at
    EXPECT_FALSE(cond_is_continuous(&c));
}

TEST(CondContinuous, EveryResultOfOneChannel) {
    combined_cond c{};
    c.stat[2] = 0x0009; // under and over, but neither in-tolerance half
    EXPECT_FALSE(cond_is_continuous(&c));
    c.stat[2] = 0x000D;
    EXPECT_TRUE(cond_is_continuous(&c));
    c.stat[2] = 0x00B0;
    EXPECT_TRUE(cond_is_continuous(&c));
    c.stat[2] = 0x0099; // A and B each incomplete
    EXPECT_FALSE(cond_is_continuous(&c));
}

TEST(CondContinuous, EventKindsAreNeverContinuous) {
    event_cond c{{0xFFFF, 0xFFFF, 0xFFFF}};
    char buf[COND_TEXT_LEN + 1];
    EXPECT_EQ(cond_value_text(&c, COND_KIND_EVENT_OUTPUTS, buf), 0);
}

// ---- ring catalogue ----

TEST(CondCatalogue, EvaluationSpanRing) {
    cond_item it[COND_LIST_MAX];
    ASSERT_EQ(cond_list_items(COND_CODE_SPAN, it, COND_LIST_MAX), 37);
    EXPECT_STREQ(it[0].label, "Continuous");
    EXPECT_STREQ(it[0].value, COND_SPAN_CONTINUOUS);
    EXPECT_STREQ(it[1].label, "on IN0 falling edge");
    EXPECT_STREQ(it[1].value, "0000*0000*0000*0000*0000*0000*0000*>0000*0000*0000*0001*0000*0000*0000*");
    EXPECT_STREQ(it[13].label, "IN0 rising edge --> IN0 falling edge");
    EXPECT_STREQ(it[13].value, SPAN_IN0);
    EXPECT_STREQ(it[35].label, "while CH B over thres.");
    EXPECT_STREQ(it[35].value, "0000*0000*0000*0000*0020*0000*0000*>0000*0020*0000*0000*0000*0000*0000*");
    EXPECT_STREQ(it[36].label, "while CH B under thres");
}

TEST(CondCatalogue, NormalisationRingPutsNeverAboveContinuous) {
    cond_item it[COND_LIST_MAX];
    ASSERT_EQ(cond_list_items(COND_CODE_NORM, it, COND_LIST_MAX), 26);
    EXPECT_STREQ(it[0].label, "Never");
    EXPECT_STREQ(it[0].value, "0000*0000*0000*0000*0000*0000*0000*");
    EXPECT_STREQ(it[1].label, "Continuous");
    EXPECT_STREQ(it[1].value, COND_VALUE_CONTINUOUS);
    EXPECT_STREQ(it[2].label, "IN0 rising edge");
    EXPECT_STREQ(it[13].label, "CH B falling edge");
    EXPECT_STREQ(it[13].value, "0000*0000*0000*0000*0010*0000*0000*");
    EXPECT_STREQ(it[14].label, "while IN0 high");
    EXPECT_STREQ(it[14].value, "0002*0000*0000*0000*0000*0000*0000*");
}

TEST(CondCatalogue, CounterRingEndsWithTheOutputEvents) {
    cond_item it[COND_LIST_MAX];
    ASSERT_EQ(cond_list_items(COND_CODE_EVENT_OUTPUTS, it, COND_LIST_MAX), 19);
    EXPECT_STREQ(it[0].label, "Never");
    EXPECT_STREQ(it[13].label, "OUT0 switch. on");
    EXPECT_STREQ(it[13].value, "0000*0000*0000*0200*0000*0000*0000*");
    EXPECT_STREQ(it[18].label, "OUT2 switch. off");
    EXPECT_STREQ(it[18].value, "0000*0000*0000*1000*0000*0000*0000*");
}

TEST(CondCatalogue, OutputRingsOfBothChannels) {
    cond_item it[COND_LIST_MAX];
    ASSERT_EQ(cond_list_items(COND_CODE_OUTPUT_A, it, COND_LIST_MAX), 12);
    EXPECT_STREQ(it[1].label, "while CH A in tol.");
    EXPECT_STREQ(it[1].value, "0000*0000*0006*0000*0000*0000*0000*");
    EXPECT_STREQ(it[5].label, "dyn. on CH A in tol.");
    EXPECT_STREQ(it[5].value, "0000*0000*0006*0000*0000*0100*0001*");
    EXPECT_STREQ(it[9].label, "single p. on CH A out of tol.");
    EXPECT_STREQ(it[9].value, "0000*0000*0000*0000*0000*0009*0000*");

    ASSERT_EQ(cond_list_items(COND_CODE_OUTPUT_B, it, COND_LIST_MAX), 12);
    EXPECT_STREQ(it[6].label, "dyn. on CH B under tol.");
    EXPECT_STREQ(it[6].value, "0000*0000*0010*0000*0000*0100*0001*"); // "on evaluating A" here too
    EXPECT_STREQ(it[2].label, "while CH B out of tol");
}

TEST(CondCatalogue, PlainContinuousWinsOverTheSpanOne) {
    cond_item it[COND_LIST_MAX];
    ASSERT_EQ(cond_list_items(0x0102, it, COND_LIST_MAX), 1);
    EXPECT_STREQ(it[0].value, COND_VALUE_CONTINUOUS);
    ASSERT_EQ(cond_list_items(0x0100, it, COND_LIST_MAX), 1);
    EXPECT_STREQ(it[0].value, COND_SPAN_CONTINUOUS);
}

TEST(CondCatalogue, ShortOutputListStillCountsEverything) {
    cond_item it[3];
    EXPECT_EQ(cond_list_items(0xFFFF, it, 3), 90);
    EXPECT_STREQ(it[0].label, "Never");
    EXPECT_LE(cond_list_items(0xFFFF, nullptr, 0), COND_LIST_MAX);
}

TEST(CondCatalogue, EveryItemSurvivesParseAndFormat) {
    cond_item it[COND_LIST_MAX];
    const int n = cond_list_items(0xFEFF, it, COND_LIST_MAX); // all groups, plain "Continuous"
    for (int i = 0; i < n; i++) {
        const char* v = it[i].value;
        char out[COND_SPAN_LEN + 1];
        if (std::strchr(v, '>')) {
            event_cond b{};
            combined_cond e{};
            string2cond(&b, v, COND_KIND_SPAN_BEGIN, nullptr, 0);
            string2cond(&e, v, COND_KIND_SPAN_EVAL, nullptr, 0);
            span2string(&b, &e, out, nullptr);
        } else {
            combined_cond c{};
            string2cond(&c, v, COND_KIND_COMBINED_RES, nullptr, 0);
            cond2string(&c, out, COND_KIND_COMBINED_RES, nullptr);
        }
        EXPECT_STREQ(out, v) << it[i].label;
    }
}

// ---- selecting on a ring ----

TEST(CondRing, ZeroTimerConditionSelectsNever) {
    mem_ring r;
    fill(r, COND_CODE_EVENT);
    event_cond c{};
    EXPECT_EQ(cond2string(&c, nullptr, COND_KIND_EVENT, &r.ring), 0);
    EXPECT_EQ(r.selected_label(), "Never");
}

TEST(CondRing, KnownConditionSelectsItsItem) {
    mem_ring r;
    fill(r, COND_CODE_OUTPUT_A);
    combined_cond c{{0, 0, 0x0009}, {0, 0, 0}, 0};
    const int i = cond2string(&c, nullptr, COND_KIND_COMBINED_RES, &r.ring);
    EXPECT_EQ(r.items[i].label, "while CH A out of tol");
    EXPECT_EQ(r.selected, i);
    EXPECT_EQ(r.items.size(), 12u);
}

TEST(CondRing, ContinuousIsAppendedWhenMissingAndTheRecordKeepsItsWords) {
    mem_ring r;
    fill(r, COND_CODE_OUTPUT_A);
    combined_cond c{{0x0003, 0, 0}, {0, 0, 0}, 0};
    const int i = cond2string(&c, nullptr, COND_KIND_COMBINED, &r.ring);
    EXPECT_EQ(i, 12);
    EXPECT_EQ(r.selected_label(), "Continuous");
    EXPECT_EQ(r.items[12].text, COND_VALUE_CONTINUOUS);
    EXPECT_EQ(c.stat[0], 0x0003);
    EXPECT_EQ(cond2string(&c, nullptr, COND_KIND_COMBINED, &r.ring), 12); // not appended twice
    EXPECT_EQ(r.count_label("Continuous"), 1);
}

TEST(CondRing, AndOfOppositesIsShownAsSpecial) {
    mem_ring r;
    fill(r, 15);
    combined_cond c{{0x0003, 0, 0}, {0, 0, 0}, 1};
    char text[COND_TEXT_LEN + 1];
    const int i = cond2string(&c, text, COND_KIND_COMBINED, &r.ring);
    EXPECT_EQ(r.items[i].label, "Special");
    EXPECT_EQ(r.items[i].text, "0003*0000*0000*0000*0000*0000*0001*");
    EXPECT_STREQ(text, "0003*0000*0000*0000*0000*0000*0001*");
    EXPECT_EQ(r.selected, i);
}

TEST(CondRing, SpecialIsKeptOnceAndHoldsTheLastOddCondition) {
    mem_ring r;
    fill(r, 15);
    const size_t base = r.items.size();
    combined_cond odd1{{0, 0, 0x0001}, {0, 0, 0}, 2};
    combined_cond odd2{{0x0010, 0x0001, 0}, {0, 0, 0}, 3};
    cond2string(&odd1, nullptr, COND_KIND_COMBINED_RES, &r.ring);
    const int i = cond2string(&odd2, nullptr, COND_KIND_COMBINED_RES, &r.ring);
    EXPECT_EQ(r.count_label("Special"), 1);
    EXPECT_EQ(r.items.size(), base + 1);
    EXPECT_EQ(r.items[i].text, "0010*0001*0000*0000*0000*0000*0003*");
    EXPECT_EQ(cond2string(&odd2, nullptr, COND_KIND_COMBINED_RES, &r.ring), i); // same odd one again
    EXPECT_EQ(r.count_label("Special"), 1);
}

TEST(CondRing, ContinuousRemovesAStaleSpecialAboveIt) {
    mem_ring r;
    fill(r, COND_CODE_OUTPUT_A); // no "Continuous" item
    combined_cond odd{{0, 0, 0x0001}, {0, 0, 0}, 2};
    cond2string(&odd, nullptr, COND_KIND_COMBINED_RES, &r.ring); // Special at 12
    combined_cond cont{{0, 0x0030, 0}, {0, 0, 0}, 0};
    const int i = cond2string(&cont, nullptr, COND_KIND_COMBINED_RES, &r.ring);
    EXPECT_EQ(r.count_label("Special"), 0);
    EXPECT_EQ(i, 12);
    EXPECT_EQ(r.selected_label(), "Continuous");
}

TEST(CondRing, SpecialKeepsItsOwnLabel) {
    mem_ring r;
    fill(r, COND_CODE_EVENT);
    r.ring.insert_text(&r, -1, "Special (from file)", "0000*0000*0000*7777*0000*0000*0000*");
    event_cond c{{0x0101, 0, 0}};
    const int i = cond2string(&c, nullptr, COND_KIND_EVENT_OUTPUTS, &r.ring);
    EXPECT_EQ(r.items[i].label, "Special (from file)");
    EXPECT_EQ(r.items[i].text, "0000*0000*0000*0101*0000*0000*0000*");
    EXPECT_EQ(r.count_label("Special (from file)"), 1);
}

TEST(CondRing, OverlongLabelAbortsWithoutSelecting) {
    mem_ring r;
    fill(r, COND_CODE_EVENT);
    r.ring.insert_text(&r, -1, std::string(128, 'x').c_str(), "x");
    event_cond c{};
    EXPECT_EQ(cond2string(&c, nullptr, COND_KIND_EVENT, &r.ring), -1);
    EXPECT_EQ(r.selected, -1);
}

TEST(CondRing, SpansSelectTheirItemOrContinuous) {
    mem_ring r;
    fill(r, 8640);
    event_cond begin{{0x0002, 0, 0}};
    combined_cond eval{{0, 0, 0}, {0x0001, 0, 0}, 0};
    EXPECT_EQ(span2string(&begin, &eval, nullptr, &r.ring), 13);
    // The continuity test ignores the begin condition.
    eval = {{0, 0, 0x000F}, {0, 0, 0}, 0};
    EXPECT_EQ(span2string(&begin, &eval, nullptr, &r.ring), 0);
    EXPECT_EQ(r.selected_label(), "Continuous");
}

// ---- parsing ----

TEST(CondParse, SpanBeginAndEvaluationParts) {
    event_cond b{{9, 9, 9}};
    string2cond(&b, SPAN_IN0, COND_KIND_SPAN_BEGIN, nullptr, 0);
    EXPECT_EQ(b.evnt[0], 0x0002);
    EXPECT_EQ(b.evnt[1], 0);
    EXPECT_EQ(b.evnt[2], 0);

    combined_cond e{{9, 9, 9}, {9, 9, 9}, 9};
    string2cond(&e, SPAN_IN0, COND_KIND_SPAN_EVAL, nullptr, 0);
    const combined_cond want{{0, 0, 0}, {0x0001, 0, 0}, 0};
    EXPECT_EQ(std::memcmp(&e, &want, sizeof e), 0);
}

TEST(CondParse, EventKindsTakeTheBeginPartOfASpan) {
    event_cond c{};
    string2cond(&c, SPAN_IN0, COND_KIND_EVENT, nullptr, 0);
    EXPECT_EQ(c.evnt[0], 0x0002);
}

TEST(CondParse, PlainTextByKind) {
    const char* t = "00AB*0001*0200*FFFF*0C00*0003*0003*";
    combined_cond c{};
    string2cond(&c, t, COND_KIND_COMBINED, nullptr, 0);
    const combined_cond want{{0x00AB, 0x0001, 0x0200}, {0xFFFF, 0x0C00, 0x0003}, 3};
    EXPECT_EQ(std::memcmp(&c, &want, sizeof c), 0);

    event_cond e{};
    string2cond(&e, t, COND_KIND_EVENT_OUTPUTS, nullptr, 0);
    EXPECT_EQ(e.evnt[0], 0xFFFF);
    EXPECT_EQ(e.evnt[2], 0x0003);

    combined_cond untouched{{1, 2, 3}, {4, 5, 6}, 7};
    string2cond(&untouched, t, COND_KIND_SPAN_EVAL, nullptr, 0); // no '>' part
    EXPECT_EQ(untouched.stat[0], 1);
    EXPECT_EQ(untouched.comb, 7);
}

TEST(CondParse, LowerCaseShortAndBrokenFields) {
    combined_cond c{{9, 9, 9}, {9, 9, 9}, 9};
    string2cond(&c, "00ab*zz*1*", COND_KIND_COMBINED, nullptr, 0);
    EXPECT_EQ(c.stat[0], 0x00AB);
    EXPECT_EQ(c.stat[1], 0);      // does not parse
    EXPECT_EQ(c.stat[2], 0x0001); // fewer digits
    EXPECT_EQ(c.evnt[0], 0);      // absent fields count as 0
    EXPECT_EQ(c.comb, 0);
}

TEST(CondParse, LowerCaseTextParsesButDoesNotMatchARingItem) {
    mem_ring r;
    fill(r, 15);
    combined_cond c{};
    string2cond(&c, "0000*0000*0000*0000*0000*0000*0000*>00ff*00ff*00ff*0000*0000*0000*0000*",
                COND_KIND_SPAN_EVAL, nullptr, 0);
    EXPECT_EQ(c.stat[2], 0x00FF);
    EXPECT_EQ(index_of(r, "Continuous"), 1);
}

TEST(CondParse, FromRingItemAndTheRefusals) {
    mem_ring r;
    fill(r, 15);
    event_cond c{};
    EXPECT_EQ(string2cond(&c, nullptr, COND_KIND_EVENT, &r.ring, index_of(r, "TMR B stopping")), 0);
    EXPECT_EQ(c.evnt[0], 0x0040);

    const event_cond before = c;
    EXPECT_EQ(string2cond(&c, nullptr, COND_KIND_EVENT, &r.ring, -1), -1);
    EXPECT_EQ(string2cond(&c, nullptr, COND_KIND_EVENT, nullptr, 0), -1);
    r.ring.insert_text(&r, -1, "long", (std::string("0000*0000*0000*0001*") + std::string(108, '0')).c_str());
    EXPECT_EQ(string2cond(&c, nullptr, COND_KIND_EVENT, &r.ring, static_cast<int>(r.items.size()) - 1), -1);
    EXPECT_EQ(std::memcmp(&c, &before, sizeof c), 0);
}

// ---- numeric rings ----

TEST(EnlistShort, MatchesLow16BitsAsSigned) {
    mem_ring r;
    for (int i = 0; i < EVAL_MODE_COUNT; i++) r.ring.insert_int(&r, -1, eval_modes_options[i], i);
    r.ring.insert_int(&r, -1, "all ones", 0xFFFF);
    EXPECT_EQ(enlist_short_with_test(&r.ring, 7), 0);
    EXPECT_EQ(r.selected_label(), "(A + B) / 2");
    EXPECT_EQ(enlist_short_with_test(&r.ring, 0x10005), 0);
    EXPECT_EQ(r.selected, 5);
    EXPECT_EQ(enlist_short_with_test(&r.ring, -1), 0);
    EXPECT_EQ(r.selected_label(), "all ones");
}

TEST(EnlistShort, UnknownValueLeavesOneUserItemUnselected) {
    mem_ring r;
    for (int i = 0; i < EVAL_MODE_COUNT; i++) r.ring.insert_int(&r, -1, eval_modes_options[i], i);
    r.selected = 3;
    EXPECT_EQ(enlist_short_with_test(&r.ring, 99), -1);
    EXPECT_EQ(enlist_short_with_test(&r.ring, 42), -1);
    EXPECT_EQ(r.count_label("User"), 1);
    EXPECT_EQ(r.items.back().value, 42);
    EXPECT_EQ(r.selected, 3);
    EXPECT_EQ(enlist_short_with_test(&r.ring, 42), 0); // now it is there
    EXPECT_EQ(r.selected_label(), "User");
}

// ---- name tables ----

TEST(CondTables, SpotChecksOfTheNames) {
    EXPECT_STREQ(reg0_bitstr_evnt[9], "OUT0 switching off");
    EXPECT_STREQ(reg1_bitstr_stat[7], "CH B2 over thres.");
    EXPECT_STREQ(reg2_bitstr_evnt[9], "on evaluating B");
    EXPECT_STREQ(reg2_bitstr_stat[1], "RES A in tol -");
    EXPECT_STREQ(bitcomb[3], "NAND");
    EXPECT_STREQ(eval_modes_options[21], "raw diff. (wire mode 2)");
}
