// Oscillograph sequences: block table, decoding against the simulated unit's ring,
// marker lists and the plot-handle list.
#include "osci/video_decode.h"
#include "sim/sim_osci.h"
#include "tests/sim/sim_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Markers and inputs on a pattern of samples, so that every ring position mod 4 sees
// both marker kinds and both inputs; values count time (mod 4096) so each point
// tells which sample it came from.
uint16_t marks_of(int n) {
    return static_cast<uint16_t>((n % 3 == 0 ? VIDEO_END : 0) | (n % 5 == 1 ? VIDEO_BEGIN : 0));
}
uint16_t sample_of(int n) {
    return static_cast<uint16_t>((n & 0x0FFF) | (n % 7 < 3 ? VIDEO_IN0 : 0) | (n % 11 < 4 ? VIDEO_IN1 : 0));
}

sim_osci filled(int samples) {
    sim_osci o;
    sim_osci_arm(&o);
    for (int n = 0; n < samples; n++) sim_osci_scan(&o, sample_of(n), marks_of(n), false, 1, 0);
    return o;
}

// The blocks of one read of channel A as the unit hands them out; returns the start index.
int read_blocks(const sim_osci& o, int factor, uint16_t src[VIDEO_SAMPLES]) {
    int values[VIDEO_MAX_BLOCKS];
    const int n = video_blocks(factor, 0, values);
    EXPECT_GT(n, 0);
    int start = -1;
    for (int i = 0; i < n; i++) start = sim_osci_block(&o, values[i] & ~1, src + VIDEO_BLOCK_WORDS * i);
    return start;
}

// What the window must show for the unit's time-ordered buffer `seq` and start index s:
// point j <= 1023 - k shows sample ((q - q mod k) - s) mod 1024 with q = (s + j + k) mod 1024,
// markers only where q mod k = 0; the last k points repeat point 1023 - k without markers.
void expect_decoded(const uint16_t* d, const uint16_t* seq, int factor, int s, const char* what) {
    const int k = 4 / factor;
    for (int j = 0; j <= 1023 - k; j++) {
        const int q = (s + j + k) % 1024;
        const int t = ((q - q % k) - s + 1024) % 1024;
        const uint16_t want = q % k == 0 ? seq[t] : static_cast<uint16_t>(seq[t] & VIDEO_NO_MARKERS);
        ASSERT_EQ(d[j], want) << what << ": factor " << factor << " start " << s << " point " << j;
    }
    for (int j = 1024 - k; j < 1024; j++)
        ASSERT_EQ(d[j], d[1023 - k] & VIDEO_NO_MARKERS) << what << ": factor " << factor << " point " << j;
}

int count_bits(const uint16_t* d, uint16_t bit) {
    int c = 0;
    for (int j = 0; j < VIDEO_SAMPLES; j++) c += (d[j] & bit) != 0;
    return c;
}

} // namespace

// ---- block table ----

TEST(VideoBlocks, FactorFollowsTheHorizontalSpan) {
    const int spans[][2] = {{1024, 1}, {512, 2}, {256, 4}, {128, 4}, {0, 1}, {64, 1}, {2048, 1}, {-512, 1}};
    for (const auto& sf : spans) EXPECT_EQ(video_factor(sf[0]), sf[1]) << sf[0];
}

TEST(VideoBlocks, ValuesInReadingOrderPerChannel) {
    int v[VIDEO_MAX_BLOCKS];
    ASSERT_EQ(video_blocks(1, 0, v), 1);
    EXPECT_EQ(v[0], 8);
    ASSERT_EQ(video_blocks(2, 0, v), 2);
    EXPECT_EQ(std::vector<int>(v, v + 2), (std::vector<int>{10, 8}));
    ASSERT_EQ(video_blocks(4, 0, v), 4);
    EXPECT_EQ(std::vector<int>(v, v + 4), (std::vector<int>{2, 6, 4, 0}));
    ASSERT_EQ(video_blocks(4, 1, v), 4);
    EXPECT_EQ(std::vector<int>(v, v + 4), (std::vector<int>{3, 7, 5, 1}));
    ASSERT_EQ(video_blocks(2, 1, v), 2);
    EXPECT_EQ(std::vector<int>(v, v + 2), (std::vector<int>{11, 9}));

    v[0] = 77;
    EXPECT_EQ(video_blocks(3, 0, v), VIDEO_ERR_ARGS);
    EXPECT_EQ(video_blocks(4, 2, v), VIDEO_ERR_ARGS);
    EXPECT_EQ(video_blocks(4, -1, v), VIDEO_ERR_ARGS);
    EXPECT_EQ(v[0], 77);
    EXPECT_EQ(video_closing_value(0), 84);
    EXPECT_EQ(video_closing_value(1), 168);
    EXPECT_EQ(video_closing_value(2), VIDEO_ERR_ARGS);
}

TEST(VideoBlocks, BothChannelsNewReadsAFirstAndBWhenAIsUnreadable) {
    // r = 5: A is due; after A's read r is 0, so B waits for a later poll.
    EXPECT_TRUE(video_channel_due(0, 0, 1, 5));
    EXPECT_FALSE(video_channel_due(1, 0, 1, 0));
    // A Off, or its trace hidden: B is read at once on the same answer.
    EXPECT_FALSE(video_channel_due(0, -1, 1, 5));
    EXPECT_FALSE(video_channel_due(0, 1, 0, 5));
    EXPECT_TRUE(video_channel_due(1, 1, 1, 5));
    // An answer naming only the other channel.
    EXPECT_FALSE(video_channel_due(0, 0, 1, 4));
    EXPECT_FALSE(video_channel_due(1, 0, 1, 3));
    EXPECT_TRUE(video_channel_due(1, 0, 1, 4));
}

// ---- decoding against the unit's ring ----

TEST(VideoDecode, EveryFactorAndStartIndexGivesTheUnitsTimeOrder) {
    // 1024 and 2048 scans leave the oldest sample at ring position 0; the others do not.
    for (int samples : {1024, 2048, 1025, 1026, 1027, 1500, 2047, 3001}) {
        const sim_osci o = filled(samples);
        uint16_t seq[VIDEO_SAMPLES];
        sim_osci_sequence(&o, seq);
        for (int factor : {1, 2, 4}) {
            uint16_t src[VIDEO_SAMPLES] = {};
            const int s = read_blocks(o, factor, src);
            ASSERT_EQ(s, samples % 1024);
            uint16_t d[VIDEO_SAMPLES];
            ASSERT_EQ(interleave_data(factor, src, d, VIDEO_SAMPLES, s), VIDEO_OK);
            expect_decoded(d, seq, factor, s, "ring");
        }
    }
}

TEST(VideoDecode, FactorTwoKeepsMarkersOfTheBase10Block) {
    // Ring positions 4i + 2 come from the base-10 block. A marker there is a sample of
    // its own, not a repeat, and must reach the drawing.
    uint16_t src[VIDEO_SAMPLES] = {};
    src[5] = static_cast<uint16_t>(100 | VIDEO_END);         // base 10, i = 5: ring position 22
    src[256 + 9] = static_cast<uint16_t>(200 | VIDEO_BEGIN); // base 8, i = 9: ring position 36
    uint16_t d[VIDEO_SAMPLES];
    ASSERT_EQ(interleave_data(2, src, d, VIDEO_SAMPLES, 0), VIDEO_OK);
    // Start 0, k = 2: ring position q lands on point q - 2.
    EXPECT_EQ(d[20], 100 | VIDEO_END);
    EXPECT_EQ(d[21], 100);
    EXPECT_EQ(d[34], 200 | VIDEO_BEGIN);
    EXPECT_EQ(d[35], 200);
    EXPECT_EQ(count_bits(d, VIDEO_END), 1);
    EXPECT_EQ(count_bits(d, VIDEO_BEGIN), 1);
}

TEST(VideoDecode, RepeatedTailPointsCarryNoMarkers) {
    for (int factor : {1, 2, 4}) {
        const int k = 4 / factor;
        // Start 1: the newest sample sits at ring position 0, which every read takes
        // (first word of the block of base 0 or 8), and it ends an evaluation.
        uint16_t src[VIDEO_SAMPLES] = {};
        int values[VIDEO_MAX_BLOCKS];
        const int n = video_blocks(factor, 0, values);
        for (int b = 0; b < n; b++)
            if (values[b] == 0 || values[b] == 8)
                src[VIDEO_BLOCK_WORDS * b] = static_cast<uint16_t>(4000 | VIDEO_END);
        uint16_t d[VIDEO_SAMPLES];
        ASSERT_EQ(interleave_data(factor, src, d, VIDEO_SAMPLES, 1), VIDEO_OK);
        EXPECT_EQ(d[1023 - k], 4000 | VIDEO_END) << factor;
        for (int j = 1024 - k; j < 1024; j++) EXPECT_EQ(d[j], 4000) << factor << " point " << j;
        EXPECT_EQ(count_bits(d, VIDEO_END), 1) << factor;
    }
}

TEST(VideoDecode, StartIndexBeyondTheRingIsTakenModulo1024) {
    const sim_osci o = filled(1300);
    for (int factor : {1, 2, 4}) {
        uint16_t src[VIDEO_SAMPLES];
        const int s = read_blocks(o, factor, src);
        uint16_t want[VIDEO_SAMPLES], d[VIDEO_SAMPLES];
        ASSERT_EQ(interleave_data(factor, src, want, VIDEO_SAMPLES, s), VIDEO_OK);
        for (int start : {s + 1024, s + 3 * 1024, s + 63 * 1024, s - 1024}) {
            ASSERT_EQ(interleave_data(factor, src, d, VIDEO_SAMPLES, start), VIDEO_OK);
            EXPECT_EQ(0, std::memcmp(d, want, sizeof d)) << "factor " << factor << " start " << start;
        }
    }
    // The largest value the 16-bit field can carry is ring position 1023.
    const sim_osci full = filled(2047);
    uint16_t src[VIDEO_SAMPLES], a[VIDEO_SAMPLES], b[VIDEO_SAMPLES];
    ASSERT_EQ(read_blocks(full, 4, src), 1023);
    ASSERT_EQ(interleave_data(4, src, a, VIDEO_SAMPLES, 0xFFFF), VIDEO_OK);
    ASSERT_EQ(interleave_data(4, src, b, VIDEO_SAMPLES, 1023), VIDEO_OK);
    EXPECT_EQ(0, std::memcmp(a, b, sizeof a));
}

TEST(VideoDecode, RefusedCallsLeaveTheDestination) {
    uint16_t src[VIDEO_SAMPLES] = {};
    uint16_t d[VIDEO_SAMPLES];
    std::fill(d, d + VIDEO_SAMPLES, 0x1234);
    EXPECT_EQ(interleave_data(3, src, d, VIDEO_SAMPLES, 0), VIDEO_ERR_ARGS);
    EXPECT_EQ(interleave_data(0, src, d, VIDEO_SAMPLES, 0), VIDEO_ERR_ARGS);
    EXPECT_EQ(interleave_data(4, src, d, 1023, 0), VIDEO_ERR_ARGS);
    EXPECT_EQ(interleave_data(4, nullptr, d, VIDEO_SAMPLES, 0), VIDEO_ERR_ARGS);
    EXPECT_EQ(interleave_data(4, src, nullptr, VIDEO_SAMPLES, 0), VIDEO_ERR_ARGS);
    for (uint16_t w : d) ASSERT_EQ(w, 0x1234);
}

TEST(VideoDecode, ReadOverTheProtocolMatchesTheUnitForEachChannelAndFactor) {
    sim_harness h;
    for (int factor : {1, 2, 4}) {
        h.advance_ms(2000);
        for (int channel : {0, 1}) {
            int values[VIDEO_MAX_BLOCKS];
            const int n = video_blocks(factor, channel, values);
            uint16_t src[VIDEO_SAMPLES] = {};
            frame_in last;
            for (int i = 0; i < n; i++) {
                std::vector<uint16_t> w;
                ASSERT_EQ(h.ask_words(VIDEO_ORDER_BLOCK, static_cast<uint16_t>(values[i]), {}, &w,
                                      VIDEO_BLOCK_WORDS, &last),
                          0);
                ASSERT_EQ(w.size(), static_cast<size_t>(VIDEO_BLOCK_WORDS));
                std::copy(w.begin(), w.end(), src + VIDEO_BLOCK_WORDS * i);
            }
            uint16_t d[VIDEO_SAMPLES];
            ASSERT_EQ(interleave_data(factor, src, d, VIDEO_SAMPLES, last.header.value), VIDEO_OK);
            const sim_osci& o = h.p->unit.ch[channel].osci;
            uint16_t seq[VIDEO_SAMPLES];
            sim_osci_sequence(&o, seq);
            expect_decoded(d, seq, factor, o.next, channel ? "channel B" : "channel A");
            std::vector<uint16_t> rec;
            ASSERT_EQ(h.ask_words(VIDEO_ORDER_POLL, static_cast<uint16_t>(video_closing_value(channel)), {},
                                  &rec, 36),
                      0);
        }
    }
}

// ---- marker lists ----

namespace {

std::vector<uint16_t> with_ends(int ends, int begins = 0) {
    std::vector<uint16_t> s(VIDEO_SAMPLES, 1000);
    for (int i = 0; i < ends; i++) s[static_cast<size_t>(3 + 4 * i)] |= VIDEO_END;
    for (int i = 0; i < begins; i++) s[static_cast<size_t>(1 + 8 * i)] |= VIDEO_BEGIN;
    return s;
}

struct tally {
    int lines = 0;
    std::vector<video_mark> texts;
};
tally count(const std::vector<video_mark>& m) {
    tally t;
    for (const video_mark& k : m) {
        if (k.type == VIDEO_MARK_LINE) {
            t.lines++;
            EXPECT_EQ(k.text, nullptr);
        } else {
            t.texts.push_back(k);
        }
    }
    return t;
}

} // namespace

TEST(VideoMarks, SixtyThreeEndMarkersAreDrawnWithEightLabels) {
    const std::vector<uint16_t> s = with_ends(63);
    std::vector<video_mark> m;
    ASSERT_EQ(video_marks(s.data(), VIDEO_SAMPLES, &m), VIDEO_MARKS_LINES);
    const tally t = count(m);
    EXPECT_EQ(t.lines, 63);
    ASSERT_EQ(t.texts.size(), 8u);
    for (int i = 0; i < 8; i++) {
        EXPECT_STREQ(t.texts[static_cast<size_t>(i)].text, "Eval. end");
        EXPECT_EQ(t.texts[static_cast<size_t>(i)].x, 3 + 4 * i);
        EXPECT_EQ(t.texts[static_cast<size_t>(i)].y, 4095.0 - 512.0 * i);
    }
}

TEST(VideoMarks, SixtyFourTo255EndMarkersDrawNothingAt256Continuous) {
    std::vector<video_mark> m;
    for (int ends : {64, 255}) {
        const std::vector<uint16_t> s = with_ends(ends, 10);
        ASSERT_EQ(video_marks(s.data(), VIDEO_SAMPLES, &m), VIDEO_MARKS_NONE) << ends;
        EXPECT_TRUE(m.empty()) << ends;
    }
    // Exactly 256 end markers, or every sample (continuous evaluation).
    for (const std::vector<uint16_t>& s : {with_ends(256), std::vector<uint16_t>(VIDEO_SAMPLES, 0xC000)}) {
        ASSERT_EQ(video_marks(s.data(), VIDEO_SAMPLES, &m), VIDEO_MARKS_CONTINUOUS);
        ASSERT_EQ(m.size(), 1u);
        EXPECT_EQ(m[0].type, VIDEO_MARK_TEXT);
        EXPECT_STREQ(m[0].text, "Continuous evaluation");
        EXPECT_EQ(m[0].x, 0.0);
        EXPECT_EQ(m[0].y, 4095.0);
    }
}

TEST(VideoMarks, BeginLabelsRiseFromZeroAndStopBelowTheTop) {
    // 128 evaluations begin: a line each, but still only 8 labels.
    const std::vector<uint16_t> s = with_ends(63, 128);
    std::vector<video_mark> m;
    ASSERT_EQ(video_marks(s.data(), VIDEO_SAMPLES, &m), VIDEO_MARKS_LINES);
    const tally t = count(m);
    EXPECT_EQ(t.lines, 63 + 128);
    int begins = 0, ends = 0;
    for (const video_mark& k : t.texts) {
        if (std::string(k.text) == "Eval. begin") {
            EXPECT_EQ(k.y, 512.0 * begins);
            EXPECT_EQ(k.x, 1 + 8 * begins);
            begins++;
        } else {
            ends++;
        }
    }
    EXPECT_EQ(begins, 8);
    EXPECT_EQ(ends, 8);
}

TEST(VideoMarks, ASampleWithBothMarkersDrawsEndThenBegin) {
    std::vector<uint16_t> s(VIDEO_SAMPLES, 0);
    s[40] = VIDEO_END | VIDEO_BEGIN | 5;
    std::vector<video_mark> m;
    ASSERT_EQ(video_marks(s.data(), VIDEO_SAMPLES, &m), VIDEO_MARKS_LINES);
    ASSERT_EQ(m.size(), 4u);
    EXPECT_EQ(m[0].type, VIDEO_MARK_LINE);
    EXPECT_STREQ(m[1].text, "Eval. end");
    EXPECT_EQ(m[1].y, 4095.0);
    EXPECT_EQ(m[2].type, VIDEO_MARK_LINE);
    EXPECT_STREQ(m[3].text, "Eval. begin");
    EXPECT_EQ(m[3].y, 0.0);
    for (const video_mark& k : m) EXPECT_EQ(k.x, 40.0);
}

TEST(VideoMarks, CurvesSplitValueAndInputs) {
    const uint16_t s[4] = {static_cast<uint16_t>(4095 | VIDEO_END), static_cast<uint16_t>(7 | VIDEO_IN0),
                           static_cast<uint16_t>(VIDEO_IN1 | VIDEO_BEGIN), 0xFFFF};
    double a[4], i0[4], i1[4];
    ASSERT_EQ(video_curves(s, 4, a, i0, i1), VIDEO_OK);
    EXPECT_EQ(std::vector<double>(a, a + 4), (std::vector<double>{4095, 7, 0, 4095}));
    EXPECT_EQ(std::vector<double>(i0, i0 + 4), (std::vector<double>{409, 2866, 409, 2866}));
    EXPECT_EQ(std::vector<double>(i1, i1 + 4), (std::vector<double>{1229, 1229, 3686, 3686}));
    EXPECT_EQ(video_curves(nullptr, 4, a, i0, i1), VIDEO_ERR_ARGS);
    std::vector<video_mark> m;
    EXPECT_EQ(video_marks(nullptr, 4, &m), VIDEO_ERR_ARGS);
}

// ---- plot-handle list ----

TEST(VideoHandles, SixtyFourthHandleTurnsTheListIntoAllPlots) {
    int list[VIDEO_HANDLES] = {};
    for (int h = 1; h <= 63; h++) ASSERT_EQ(video_handle_add(list, 100 + h), 1) << h;
    EXPECT_EQ(list[0], 63);
    EXPECT_EQ(list[63], 163);
    EXPECT_EQ(video_handle_add(list, 999), 0);
    EXPECT_EQ(list[0], 1);
    EXPECT_EQ(list[1], VIDEO_ALL_PLOTS);
    // Recording stops for the rest of the drawing.
    EXPECT_EQ(video_handle_add(list, 1000), 0);
    EXPECT_EQ(list[0], 1);
    EXPECT_EQ(list[1], VIDEO_ALL_PLOTS);
    // A cleared list records again.
    list[0] = 0;
    EXPECT_EQ(video_handle_add(list, 7), 1);
    EXPECT_EQ(list[0], 1);
    EXPECT_EQ(list[1], 7);
}
