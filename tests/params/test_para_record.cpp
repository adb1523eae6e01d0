// Parameter record: leaf table, word and byte images, limit check.
#include "params/para_record.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

int leaf_index(const char* name) {
    for (int i = 0; i < para_field_count; i++)
        if (std::string(para_fields[i].name) == name) return i;
    return -1;
}

// Every word of the image gets its own value with the top bit set, so a
// misplaced, swapped or sign-mangled leaf shows up as a wrong word.
uint16_t word_pattern(int w) {
    return static_cast<uint16_t>(0x8000 + 3 * w + 1);
}

void fill_distinctive(para_record* rec) {
    for (int i = 0; i < para_field_count; i++) {
        const int w = para_fields[i].offset / 2;
        uint32_t v = word_pattern(w);
        if (para_fields[i].size == 4) v |= static_cast<uint32_t>(word_pattern(w + 1)) << 16;
        para_field_set(rec, i, static_cast<int32_t>(v));
    }
}

} // namespace

// ---- leaf table ----

TEST(ParaFields, NamedLeavesSitWhereTheUnitExpectsThem) {
    struct {
        const char* name;
        int offset, size, is_signed;
    } rows[] = {
        {"powerA", 0, 2, 1},
        {"eval_beginA.evnt[2]", 22, 2, 0},
        {"eval_condA.comb", 54, 2, 0},
        {"teachA[0].reference", 72, 4, 1},
        {"teachA[3].tol_high", 116, 4, 1},
        {"iirA.stage[0].a2", 122, 2, 1},
        {"iirA.stage[0].a1", 124, 2, 1},
        {"iirA.use_filtered", 154, 2, 1},
        {"eval_condB.stat[0]", 190, 2, 0},
        {"teachB[1].tol_low", 236, 4, 1},
        {"iirB.shift", 300, 2, 1},
        {"out_cond[2].comb", 364, 2, 0},
        {"norm_cond.evnt[0]", 372, 2, 0},
        {"out_hold[0].off", 380, 2, 1},
        {"out_hold[2].on", 390, 2, 1},
        {"anaout_scale[3].offset", 424, 4, 1},
        {"autosend_cond.evnt[0]", 432, 2, 0},
        {"reserved4", 454, 2, 1},
    };
    for (const auto& r : rows) {
        const int i = leaf_index(r.name);
        ASSERT_GE(i, 0) << r.name;
        EXPECT_EQ(para_fields[i].offset, r.offset) << r.name;
        EXPECT_EQ(para_fields[i].size, r.size) << r.name;
        EXPECT_EQ(para_fields[i].is_signed, r.is_signed) << r.name;
    }
}

TEST(ParaFields, GetExtendsBySignednessAndSetCutsToWidth) {
    para_record rec{};
    rec.timerA = -5;
    rec.timer_condA.evnt[0] = 0xFFFF;
    rec.teachB[2].reference = -98304;
    EXPECT_EQ(para_field_get(&rec, leaf_index("timerA")), -5);
    EXPECT_EQ(para_field_get(&rec, leaf_index("timer_condA.evnt[0]")), 65535);
    EXPECT_EQ(para_field_get(&rec, leaf_index("teachB[2].reference")), -98304);

    para_field_set(&rec, leaf_index("powerB"), 70000);
    EXPECT_EQ(rec.powerB, 4464);
    para_field_set(&rec, leaf_index("osci_condB.evnt[1]"), -1);
    EXPECT_EQ(rec.osci_condB.evnt[1], 0xFFFF);
    para_field_set(&rec, leaf_index("anaout_scale[1].offset"), INT32_MIN);
    EXPECT_EQ(rec.anaout_scale[1].offset, INT32_MIN);
}

// ---- word and byte images ----

TEST(ParaWords, DistinctiveValuesInEveryFieldRoundTrip) {
    para_record rec{};
    fill_distinctive(&rec);
    uint16_t words[PARA_WORDS];
    para_to_words(&rec, words);
    for (int w = 0; w < PARA_WORDS; w++) EXPECT_EQ(words[w], word_pattern(w)) << "word " << w;

    para_record back;
    std::memset(&back, 0x5A, sizeof back);
    para_from_words(&back, words);
    EXPECT_EQ(std::memcmp(&rec, &back, sizeof rec), 0);
}

TEST(ParaWords, FieldsSetByNameLandInTheirWords) {
    para_record rec{};
    rec.trigger2_hystA = -2;
    rec.teachA[1].tol_low = 0x12345678;
    rec.iirB.stage[2].b2 = 0x0BCD;
    rec.anaout_scale[0].offset = -65536;
    rec.reserved3 = 0x7777;
    uint16_t words[PARA_WORDS];
    para_to_words(&rec, words);
    EXPECT_EQ(words[8], 0xFFFE);
    EXPECT_EQ(words[44], 0x5678); // low half first
    EXPECT_EQ(words[45], 0x1234);
    EXPECT_EQ(words[149], 0x0BCD);
    EXPECT_EQ(words[200], 0x0000);
    EXPECT_EQ(words[201], 0xFFFF);
    EXPECT_EQ(words[224], 0x7777);
}

TEST(ParaWords, ByteImageIsLittleEndian) {
    para_record rec{};
    rec.powerB = 0x1234;
    rec.teachB[0].reference = 0x01020304;
    uint8_t bytes[PARA_BYTES];
    para_to_bytes(&rec, bytes);
    EXPECT_EQ(bytes[2], 0x34);
    EXPECT_EQ(bytes[3], 0x12);
    EXPECT_EQ(bytes[220], 0x04);
    EXPECT_EQ(bytes[221], 0x03);
    EXPECT_EQ(bytes[222], 0x02);
    EXPECT_EQ(bytes[223], 0x01);

    para_record full{}, back{};
    fill_distinctive(&full);
    para_to_bytes(&full, bytes);
    para_from_bytes(&back, bytes);
    EXPECT_EQ(std::memcmp(&full, &back, sizeof full), 0);
}

TEST(ParaGlobals, LimitPointersStartNull) {
    EXPECT_EQ(paras.pt_para_min, nullptr);
    EXPECT_EQ(paras.pt_para_max, nullptr);
}

// ---- limit check ----

TEST(ParaLimits, CountsFieldsOutsideAndSkipsReservedWords) {
    para_record lo{}, hi{}, rec{};
    for (int i = 0; i < para_field_count; i++) {
        para_field_set(&lo, i, para_fields[i].is_signed ? -100 : 0);
        para_field_set(&hi, i, 100);
    }
    EXPECT_EQ(para_check_limits(&rec, &lo, &hi, nullptr, 0), 0);

    rec.timerA = -101;
    rec.out_cond[2].evnt[1] = 0x8000; // an unsigned mask is large, not negative
    rec.reserved2 = 5000;
    int out[4] = {-1, -1, -1, -1};
    EXPECT_EQ(para_check_limits(&rec, &lo, &hi, out, 4), 2);
    EXPECT_EQ(out[0], leaf_index("timerA"));
    EXPECT_EQ(out[1], leaf_index("out_cond[2].evnt[1]"));
    EXPECT_EQ(out[2], -1);

    EXPECT_EQ(para_check_limits(&rec, &lo, &hi, out, 1), 2); // counts past a short list
}
