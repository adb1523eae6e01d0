// Oscillograph sequences: status, blocks and their decoding into time order.
#include "osci/video_decode.h"
#include "sim/sim_osci.h"
#include "tests/sim/sim_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// The program's decoder over the blocks as read, in reading order.
std::vector<uint16_t> decode(int factor, const std::vector<std::vector<uint16_t>>& b, int s) {
    std::vector<uint16_t> src(VIDEO_SAMPLES);
    for (size_t i = 0; i < b.size(); i++)
        std::copy(b[i].begin(), b[i].end(), src.begin() + static_cast<long>(VIDEO_BLOCK_WORDS * i));
    std::vector<uint16_t> d(VIDEO_SAMPLES);
    EXPECT_EQ(interleave_data(factor, src.data(), d.data(), VIDEO_SAMPLES, s), VIDEO_OK);
    return d;
}

// Order-9 values of a read of channel A, which are the base values.
std::vector<int> bases_for(int factor) {
    int v[VIDEO_MAX_BLOCKS];
    const int n = video_blocks(factor, 0, v);
    EXPECT_GT(n, 0);
    return std::vector<int>(v, v + n);
}

// Reads one channel's sequence over the protocol as the VIDEO loop does.
std::vector<uint16_t> read_sequence(sim_harness& h, int channel, int factor) {
    std::vector<std::vector<uint16_t>> blocks;
    frame_in last;
    for (int base : bases_for(factor)) {
        std::vector<uint16_t> w;
        EXPECT_EQ(h.ask_words(ORDER_OSCI_BLOCK, static_cast<uint16_t>(base + channel), {}, &w, 256, &last),
                  0);
        EXPECT_EQ(last.header.order, ORDER_OSCI_BLOCK);
        blocks.push_back(w);
    }
    return decode(factor, blocks, last.header.value);
}

int poll_status(sim_harness& h) {
    std::vector<uint16_t> r;
    frame_in a;
    const int rc = h.ask_words(ORDER_POLL, POLL_OSCI_STATUS, {}, &r, 36, &a);
    EXPECT_EQ(r.size(), 36u);
    return rc;
}

void set_param(sim_harness& h, const std::function<void(std::vector<uint16_t>&)>& edit) {
    std::vector<uint16_t> set;
    ASSERT_EQ(h.ask_words(ORDER_READ_RAM, 0, {}, &set, SIM_PARA_WORDS), 0);
    edit(set);
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_WRITE_RAM, 0, set, &a), FRAME_COMPLETE);
    ASSERT_EQ(a.header.value, 0);
}

// Fills an oscillograph with samples numbered by time (mod 4096).
sim_osci numbered(int samples) {
    sim_osci o;
    sim_osci_arm(&o);
    for (int n = 0; n < samples; n++) sim_osci_scan(&o, static_cast<uint16_t>(n & 0xFFF), 0, false, 1, 0);
    return o;
}

std::vector<uint16_t> blocks_of(const sim_osci& o, int factor, int* start) {
    std::vector<std::vector<uint16_t>> b;
    for (int base : bases_for(factor)) {
        std::vector<uint16_t> w(256);
        *start = sim_osci_block(&o, base, w.data());
        b.push_back(w);
    }
    return decode(factor, b, *start);
}

} // namespace

// ---- block layout ----

TEST(SimOsci, DecoderYieldsTimeOrderForEveryStartIndexAndFactor) {
    for (int samples : {1024, 1025, 1026, 1027, 1028, 1500, 2047, 3001}) {
        const sim_osci o = numbered(samples);
        for (int factor : {4, 2, 1}) {
            int s = 0;
            const std::vector<uint16_t> d = blocks_of(o, factor, &s);
            EXPECT_EQ(s, samples % 1024);
            // Numbers relative to the oldest kept sample: never back in time, in steps
            // of the interleave, spanning the whole buffer.
            const int newest = (samples - 1) & 0xFFF;
            int prev = -1;
            for (size_t i = 0; i < d.size(); i++) {
                const int age = (newest - (d[i] & 0x0FFF) + 4096) % 4096;
                ASSERT_LT(age, 1024) << "samples " << samples << " factor " << factor << " point " << i;
                if (prev >= 0) {
                    ASSERT_LE(age, prev) << "samples " << samples << " factor " << factor << " point " << i;
                    ASSERT_LE(prev - age, 4 / factor) << "samples " << samples << " factor " << factor;
                }
                prev = age;
            }
            // A coarse read takes every second or fourth ring position: the newest of those ends it.
            EXPECT_LT(prev, 4 / factor) << "samples " << samples << " factor " << factor;
        }
    }
}

TEST(SimOsci, FullReadGivesEverySampleOnceAfterTheDroppedOldest) {
    const sim_osci o = numbered(1700);
    int s = 0;
    const std::vector<uint16_t> d = blocks_of(o, 4, &s);
    uint16_t seq[1024];
    sim_osci_sequence(&o, seq);
    for (int i = 0; i < 1023; i++) ASSERT_EQ(d[static_cast<size_t>(i)], seq[i + 1]) << i;
    EXPECT_EQ(d[1023], seq[1023]);
}

TEST(SimOsci, SkipCountStoresEveryNthScan) {
    sim_osci o;
    sim_osci_arm(&o);
    for (int n = 0; n < 3 * 1100; n++) sim_osci_scan(&o, static_cast<uint16_t>(n & 0xFFF), 0, false, 3, 0);
    uint16_t seq[1024];
    sim_osci_sequence(&o, seq);
    for (int i = 1; i < 1024; i++) ASSERT_EQ((seq[i] - seq[i - 1] + 4096) % 4096, 3) << i;
}

TEST(SimOsci, MarkersOfSkippedScansGoToTheNextStoredSample) {
    sim_osci o;
    sim_osci_arm(&o);
    sim_osci_scan(&o, 1, 0, false, 2, 0);              // stored
    sim_osci_scan(&o, 2, SIM_SAMPLE_END, false, 2, 0); // skipped, its marker kept
    sim_osci_scan(&o, 3, 0, false, 2, 0);              // stored with the marker
    EXPECT_EQ(o.ring[0], 1);
    EXPECT_EQ(o.ring[1], 3 | SIM_SAMPLE_END);
}

TEST(SimOsci, SkipZeroRecordsNothing) {
    sim_osci o;
    sim_osci_arm(&o);
    for (int n = 0; n < 3000; n++) sim_osci_scan(&o, 5, 0, n == 2000, 0, 0);
    EXPECT_EQ(o.fill, 0);
    EXPECT_FALSE(sim_osci_ready(&o));
}

// ---- trigger ----

TEST(SimOsci, TriggerSitsAtItsPositionForAnyPretrigger) {
    for (int pretrig : {0, 1, 512, 1023}) {
        sim_osci o;
        sim_osci_arm(&o);
        int n = 0;
        for (; n < 5000 && !sim_osci_ready(&o); n++)
            sim_osci_scan(&o, static_cast<uint16_t>(n & 0xFFF), 0, n == 2000, 1, pretrig);
        ASSERT_TRUE(sim_osci_ready(&o)) << pretrig;
        uint16_t seq[1024];
        sim_osci_sequence(&o, seq);
        EXPECT_EQ(seq[1023 - pretrig], 2000) << pretrig;
        // Frozen: later scans change nothing until re-armed.
        sim_osci_scan(&o, 7, 0, true, 1, pretrig);
        uint16_t again[1024];
        sim_osci_sequence(&o, again);
        EXPECT_EQ(0, std::memcmp(seq, again, sizeof seq));
    }
}

TEST(SimOsci, TriggerBeforeTheRingHoldsItsHistoryIsIgnored) {
    sim_osci o;
    sim_osci_arm(&o);
    for (int n = 0; n < 100; n++) sim_osci_scan(&o, 1, 0, true, 1, 512);
    EXPECT_EQ(o.state, SIM_OSCI_ARMED);
}

// ---- over the protocol ----

TEST(SimOsci, StatusReportsReadySequencesAndClosingPollsRearm) {
    sim_harness h;
    EXPECT_EQ(poll_status(h), 0);
    h.advance_ms(2000);
    EXPECT_EQ(poll_status(h), 5); // both channels: answer value 3
    std::vector<uint16_t> r;
    EXPECT_EQ(h.ask_words(ORDER_POLL, POLL_CLOSE_A, {}, &r, 36), 0);
    EXPECT_EQ(r.size(), 36u);
    EXPECT_EQ(poll_status(h), 4); // B only
    EXPECT_EQ(h.ask_words(ORDER_POLL, POLL_CLOSE_B, {}, &r, 36), 0);
    EXPECT_EQ(poll_status(h), 0);
    h.advance_ms(2000);
    EXPECT_EQ(poll_status(h), 5);
}

TEST(SimOsci, ReadSequenceShowsTheTriggeringObjectWithItsMarkers) {
    sim_harness h;
    // Without normalisation the stored raw samples are what the threshold compares.
    set_param(h, [](std::vector<uint16_t>& s) { s[sim_chan_a.norm] = 0; });
    const int p = 512;
    h.advance_ms(2000);
    ASSERT_EQ(poll_status(h), 5);
    const std::vector<uint16_t> d = read_sequence(h, 0, 4);
    uint16_t seq[1024];
    sim_osci_sequence(&h.p->unit.ch[0].osci, seq);
    for (int i = 0; i < 1023; i++) ASSERT_EQ(d[static_cast<size_t>(i)], seq[i + 1]) << i;
    // The rising edge over threshold 1 (2048) both triggers and begins an evaluation.
    EXPECT_GE(seq[1023 - p] & 0x0FFF, 2048);
    EXPECT_LT(seq[1022 - p] & 0x0FFF, 2048);
    EXPECT_TRUE(seq[1023 - p] & SIM_SAMPLE_BEGIN);
    int ends = 0, in0 = 0;
    for (int i = 1023 - p; i < 1024; i++) {
        if (seq[i] & SIM_SAMPLE_END) {
            ends++;
            EXPECT_LT(seq[i] & 0x0FFF, 2048 - 100) << i; // fell under threshold minus hysteresis
        }
        if (seq[i] & SIM_SAMPLE_IN0) in0++;
    }
    EXPECT_GE(ends, 1);
    EXPECT_GT(in0, 100); // the light barrier saw the object too
    // Reading again after the unit went on gives the same frozen sequence.
    h.advance_ms(500);
    EXPECT_EQ(read_sequence(h, 0, 4), d);
}

TEST(SimOsci, SwitchedOffChannelBNeverReportsASequence) {
    sim_harness h;
    set_param(h, [](std::vector<uint16_t>& s) { s[SW_INPUT_SOURCE_B] = static_cast<uint16_t>(-1); });
    h.advance_ms(3000);
    EXPECT_EQ(poll_status(h), 3); // A only
}

TEST(SimOsci, ContinuousEvaluationMarksEverySample) {
    sim_harness h;
    set_param(h, [](std::vector<uint16_t>& s) {
        std::fill_n(s.begin() + sim_chan_a.eval_begin, 3, 0);
        std::fill_n(s.begin() + sim_chan_a.eval_cond, 7, 0);
        for (int i = 0; i < 3; i++) s[static_cast<size_t>(sim_chan_a.eval_cond + i)] = 0x00FF;
    });
    h.advance_ms(2000);
    ASSERT_EQ(poll_status(h) & 1, 1);
    int ends = 0;
    for (uint16_t v : read_sequence(h, 0, 4))
        if (v & SIM_SAMPLE_END) ends++;
    EXPECT_GE(ends, 256);
}
