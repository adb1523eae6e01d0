// The unit model stays consistent with the parameter set it holds.
#include "sim/sim_params.h"
#include "tests/sim/sim_harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

std::vector<uint16_t> ram_of(sim_harness& h) {
    std::vector<uint16_t> w;
    EXPECT_EQ(h.ask_words(ORDER_READ_RAM, 0, {}, &w, SIM_PARA_WORDS), 0);
    return w;
}

void send_ram(sim_harness& h, const std::vector<uint16_t>& set) {
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_WRITE_RAM, 0, set, &a), FRAME_COMPLETE);
    ASSERT_EQ(a.header.order, ORDER_WRITE_RAM);
    ASSERT_EQ(a.header.value, 0);
}

// Changes the unit's set through order 1, the way the program does.
void change(sim_harness& h, const std::function<void(std::vector<uint16_t>&)>& edit) {
    std::vector<uint16_t> set = ram_of(h);
    edit(set);
    send_ram(h, set);
}

// Polls every `step_ms` for `total_ms` and hands each record to `check`.
void poll_for(sim_harness& h, int total_ms, int step_ms,
              const std::function<void(const std::vector<uint16_t>&)>& check) {
    for (int t = 0; t < total_ms; t += step_ms) {
        h.advance_ms(step_ms);
        check(h.record());
    }
}

int fix_int(int32_t v) {
    return v >> 16;
}

} // namespace

// ---- liveliness ----

TEST(SimModel, ObjectsPassAndAreCountedOnBothChannels) {
    sim_harness h;
    int lo = 4095, hi = 0;
    poll_for(h, 5000, 2, [&](const std::vector<uint16_t>& r) {
        lo = std::min<int>(lo, rec_s16(r, SR_RAW));
        hi = std::max<int>(hi, rec_s16(r, SR_RAW));
    });
    const std::vector<uint16_t> r = h.record();
    // 60 to 160 ms gaps and 20 to 35 ms objects: 5 to 12 objects a second.
    EXPECT_GE(rec_s32(r, SR_COUNTER), 25);
    EXPECT_LE(rec_s32(r, SR_COUNTER), 60);
    EXPECT_NEAR(rec_s32(r, SR_CHANNEL_B + SR_COUNTER), rec_s32(r, SR_COUNTER), 1);
    EXPECT_LT(lo, 500);
    EXPECT_GT(hi, 2500);
}

TEST(SimModel, InputsChange) {
    sim_harness h;
    int in0_on = 0, in1_on = 0, polls = 0;
    poll_for(h, 20000, 5, [&](const std::vector<uint16_t>& r) {
        polls++;
        if (r[SR_IO] & SIM_IO_IN0) in0_on++;
        if (r[SR_IO] & SIM_IO_IN1) in1_on++;
    });
    EXPECT_GT(in0_on, polls / 10);
    EXPECT_LT(in0_on, polls / 2);
    EXPECT_GT(in1_on, polls / 5);
    EXPECT_LT(in1_on, 4 * polls / 5);
}

TEST(SimModel, SameSeedSameRunOtherSeedOtherRun) {
    sim_config c1, c2;
    c2.seed = 99;
    sim_harness a(c1), b(c1), c(c2);
    bool differs = false;
    for (int i = 0; i < 200; i++) {
        a.advance_ms(7);
        b.advance_ms(7);
        c.advance_ms(7);
        const std::vector<uint16_t> ra = a.record();
        ASSERT_EQ(ra, b.record()) << i;
        if (ra != c.record()) differs = true;
    }
    EXPECT_TRUE(differs);
}

TEST(SimModel, LongIdleIsSkippedQuicklyAndTheClockStillCounts) {
    sim_harness h;
    h.advance_ms(3600LL * 1000); // one hour without a request
    const std::vector<uint16_t> r = h.record();
    EXPECT_EQ(r[SR_SECONDS], 3600);
    h.advance_ms(500);
    EXPECT_GT(rec_s32(h.record(), SR_COUNTER), 0);
}

// ---- evaluation ----

TEST(SimModel, OutputsFollowTheToleranceBandOfTheResult) {
    sim_harness h;
    change(h, [](std::vector<uint16_t>& s) {
        for (int i = 0; i < 6; i++) s[static_cast<size_t>(SW_OUT_HOLD + i)] = 0; // no hold times
    });
    const std::vector<uint16_t> set = ram_of(h);
    const int32_t ref_a = sim_s32(set.data(), sim_chan_a.teach),
                  low_a = sim_s32(set.data(), sim_chan_a.teach + 2),
                  high_a = sim_s32(set.data(), sim_chan_a.teach + 4);
    int in_tol = 0, out_tol = 0;
    poll_for(h, 20000, 3, [&](const std::vector<uint16_t>& r) {
        const int32_t res = rec_s32(r, SR_RESULT);
        const bool in = res >= ref_a - low_a && res <= ref_a + high_a;
        EXPECT_EQ((r[SR_IO] & SIM_IO_OUT0) != 0, in) << res / 65536.0;
        EXPECT_EQ((r[SR_IO] & SIM_IO_OUT2) != 0, !in) << res / 65536.0;
        EXPECT_EQ(rec_s32(r, SR_REFERENCE), ref_a);
        (in ? in_tol : out_tol)++;
    });
    // Most objects are good, some are not: both outputs are seen.
    EXPECT_GT(in_tol, out_tol);
    EXPECT_GT(out_tol, 0);
}

TEST(SimModel, MaximumModeGivesTheObjectHeight) {
    sim_harness h;
    // Objects are normalised to about 3600 on channel A (the teach reference).
    int results = 0;
    poll_for(h, 5000, 10, [&](const std::vector<uint16_t>& r) {
        if (r[SR_COUNTER] < 2) return; // the first object has given its result
        const int res = fix_int(rec_s32(r, SR_RESULT));
        EXPECT_GT(res, 2900);
        EXPECT_LT(res, 4096);
        results++;
    });
    EXPECT_GT(results, 100);
}

TEST(SimModel, CounterModeResultEqualsTheCounterBetweenObjects) {
    sim_harness h;
    change(h, [](std::vector<uint16_t>& s) { s[sim_chan_a.eval_mode] = 16; });
    int checked = 0;
    poll_for(h, 5000, 7, [&](const std::vector<uint16_t>& r) {
        // Between objects no evaluation runs (trace 4 counts its samples) and both agree.
        if (r[SR_TRACE4] != 0 || r[SR_COUNTER] == 0) return;
        EXPECT_EQ(fix_int(rec_s32(r, SR_RESULT)), rec_s32(r, SR_COUNTER));
        checked++;
    });
    EXPECT_GT(checked, 100);
}

TEST(SimModel, ContinuousEvaluationOfAGivesTheValueOfEachScan) {
    sim_harness h;
    change(h, [](std::vector<uint16_t>& s) {
        std::fill_n(s.begin() + sim_chan_a.eval_begin, 3, 0);
        std::fill_n(s.begin() + sim_chan_a.eval_cond, 7, 0);
        for (int i = 0; i < 3; i++) s[static_cast<size_t>(sim_chan_a.eval_cond + i)] = 0x00FF;
        s[sim_chan_a.eval_mode] = 1;
    });
    poll_for(h, 1000, 3, [&](const std::vector<uint16_t>& r) {
        EXPECT_EQ(fix_int(rec_s32(r, SR_RESULT)), rec_s16(r, SR_VAL));
    });
}

TEST(SimModel, ReferenceFollowsTheSelectedTeachEntry) {
    sim_harness h;
    change(h, [](std::vector<uint16_t>& s) { s[sim_chan_a.eval_select] = 2; });
    h.advance_ms(10);
    const std::vector<uint16_t> set = ram_of(h);
    EXPECT_EQ(rec_s32(h.record(), SR_REFERENCE),
              sim_s32(set.data(), sim_chan_a.teach + 2 * SIM_TEACH_ENTRY_WORDS));
}

TEST(SimModel, MinimumAndMaximumHoldUntilReset) {
    sim_harness h;
    int top = 0;
    poll_for(h, 2000, 3, [&](const std::vector<uint16_t>& r) {
        top = std::max<int>(top, rec_s16(r, SR_RAW));
        EXPECT_GE(rec_s16(r, SR_MAX_RAW), top);
        EXPECT_LE(rec_s16(r, SR_MIN_VAL), rec_s16(r, SR_VAL));
        EXPECT_GE(rec_s16(r, SR_MAX_VAL), rec_s16(r, SR_VAL));
    });
    const int before = rec_s16(h.record(), SR_MAX_VAL);
    ASSERT_GT(before, 3000);
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_RESET, RESET_BOTH, {}, &a), FRAME_COMPLETE);
    h.t += 100; // one scan
    sim_proto_advance(h.p.get(), h.t);
    const std::vector<uint16_t> r = h.record();
    EXPECT_EQ(rec_s16(r, SR_MAX_VAL), rec_s16(r, SR_VAL));
    EXPECT_EQ(rec_s16(r, SR_MIN_VAL), rec_s16(r, SR_VAL));
    EXPECT_EQ(rec_s16(r, SR_MAX_RAW), rec_s16(r, SR_RAW));
}

// ---- thresholds, timers ----

TEST(SimModel, ThresholdsSwitchWithHysteresis) {
    sim_harness h;
    change(h, [](std::vector<uint16_t>& s) { s[sim_chan_a.hyst1] = 400; });
    sim_unit* u = &h.p->unit;
    int rising = 0, falling = 0;
    for (int i = 0; i < 30000; i++) {
        h.t += 100;
        sim_proto_advance(h.p.get(), h.t);
        const int v = u->ch[0].val;
        const bool over = u->regs.state[1] & 0x0002;
        EXPECT_NE(over, (u->regs.state[1] & 0x0001) != 0);
        if (u->regs.event[1] & 0x0002) {
            EXPECT_GE(v, 2048);
            rising++;
        }
        if (u->regs.event[1] & 0x0001) {
            EXPECT_LT(v, 2048 - 400);
            falling++;
        }
        if (over) {
            EXPECT_GE(v, 2048 - 400);
        } else {
            EXPECT_LT(v, 2048);
        }
    }
    EXPECT_GT(rising, 10);
    EXPECT_NEAR(rising, falling, 1);
}

TEST(SimModel, DelayTimerRunsForItsIntervalAfterItsCondition) {
    sim_harness h;
    change(h, [](std::vector<uint16_t>& s) {
        s[sim_chan_a.timer] = 50;              // ms
        s[sim_chan_a.timer_cond + 0] = 0x0002; // IN0 rising edge
    });
    sim_unit* u = &h.p->unit;
    int starts = 0;
    int64_t started_at = -1;
    for (int i = 0; i < 20000; i++) {
        h.t += 100;
        sim_proto_advance(h.p.get(), h.t);
        if (u->regs.event[0] & 0x0002) {
            started_at = h.t;
            starts++;
        }
        if (u->regs.event[0] & 0x0010 && started_at >= 0) {
            // TMR0 stopping: 50 ms after the start, within a scan (objects are 60+ ms apart).
            EXPECT_NEAR(static_cast<double>(h.t - started_at), 50000.0, 200.0);
        }
    }
    EXPECT_GT(starts, 5);
}

// ---- normalisation ----

TEST(SimModel, ValueIsTheRawSampleWithoutNormalisation) {
    sim_harness h;
    change(h, [](std::vector<uint16_t>& s) { s[sim_chan_a.norm] = 0; });
    poll_for(h, 500, 3, [&](const std::vector<uint16_t>& r) { EXPECT_EQ(r[SR_VAL], r[SR_RAW]); });
}

TEST(SimModel, NormNowRescalesAWeakerSensorToTheFullHeight) {
    sim_harness h;
    change(h, [](std::vector<uint16_t>& s) { s[sim_chan_a.power] = 400; }); // half the light
    auto peak_val = [&h] {
        int peak = 0;
        poll_for(h, 2000, 1,
                 [&](const std::vector<uint16_t>& r) { peak = std::max<int>(peak, rec_s16(r, SR_VAL)); });
        return peak;
    };
    EXPECT_LT(peak_val(), 2400);
    frame_in a;
    ASSERT_EQ(h.ask(ORDER_NORM_NOW, 0, {}, &a), FRAME_COMPLETE);
    // The highest recent object now reaches 3600; the next ones are about as high.
    const int after = peak_val();
    EXPECT_GT(after, 3000);
    EXPECT_LE(after, 4095);
}

// ---- analog output, cycle time ----

TEST(SimModel, AnalogOutputAppliesRowZeroToItsSource) {
    sim_harness h;
    // Reference 1000 to 5 V with gain 2: out(x) = 2x + 48, clamped to 0..4095.
    change(h, [](std::vector<uint16_t>& s) {
        s[SW_ANAOUT_SOURCE] = 6; // RAW A
        s[SW_ANAOUT_SCALE] = 16384;
        s[SW_ANAOUT_SCALE + 1] = 2;
        sim_put_s32(s.data(), SW_ANAOUT_SCALE + 2, 48);
    });
    poll_for(h, 1000, 3, [&](const std::vector<uint16_t>& r) {
        EXPECT_EQ(r[SR_ANA], std::clamp(2 * rec_s16(r, SR_RAW) + 48, 0, 4095));
    });
    change(h, [](std::vector<uint16_t>& s) { s[SW_ANAOUT_SOURCE] = 0; });
    h.advance_ms(5);
    EXPECT_EQ(h.record()[SR_ANA], 0);
}

TEST(SimModel, CycleTimeFollowsTheScanRate) {
    sim_harness h;
    h.advance_ms(100);
    EXPECT_GE(h.record()[SR_CYCLE_TIME], 6000);
    EXPECT_LE(h.record()[SR_CYCLE_TIME], 6120);
    change(h, [](std::vector<uint16_t>& s) { s[SW_SCANRATE] = 30000; }); // 500 us
    h.advance_ms(100);
    EXPECT_GE(h.record()[SR_CYCLE_TIME], 30000);
    EXPECT_LE(h.record()[SR_CYCLE_TIME], 30120);
}

// ---- parameter table ----

TEST(SimParams, EveryWordHasARealRangeAndTheDefaultsFitIt) {
    sim_limits lim;
    sim_params_limits(&lim);
    int wide = 0;
    for (int w = 0; w < SIM_PARA_WORDS; w++) {
        if (lim.wide[w]) {
            EXPECT_LT(sim_s32(lim.min, w), sim_s32(lim.max, w)) << w;
            wide++;
            w++;
        } else {
            EXPECT_LT(sim_s16(lim.min, w), sim_s16(lim.max, w)) << w; // a forgotten word would be 0..0
        }
    }
    EXPECT_EQ(wide, 2 * 12 + 4); // teach values and analog offsets
    uint16_t set[SIM_PARA_WORDS];
    sim_params_defaults(set);
    EXPECT_EQ(sim_params_count_errors(set, &lim), 0);
}
