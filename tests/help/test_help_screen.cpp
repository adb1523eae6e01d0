// Help-screen record: the generators at chosen ticks, the animation of each
// template run against an independent model, the tick counter, and copying
// within the record's bounds.
#include "help/help_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct gen_case {
    int tick;
    int expected;
};

// Calls a generator for upper slot `slot` of the given values, as the tick does.
int run_gen(help_generator g, int tick, int slot, int* upper, int* lower) {
    return g(tick, slot, upper, lower);
}

// A fresh working copy of a template.
std::unique_ptr<help_screen> working(const help_screen& tpl) {
    auto scr = std::make_unique<help_screen>();
    copy_helpscr(scr.get(), &tpl);
    return scr;
}

} // namespace

// ---- generators at chosen ticks ----

TEST(HelpGenerators, ValSineOverOnePeriod) {
    const int expected[17] = {2048, 2635, 3134, 3467, 3584, 3467, 3134, 2635, 2048,
                              1461, 962,  629,  512,  629,  962,  1461, 2048};
    int u[8] = {}, l[8] = {};
    for (int t = 0; t <= 16; t++) EXPECT_EQ(val_sine(t, 1, u, l), expected[t]) << "t = " << t;
    // The period divides the tick range, so the wrap from 4095 to 0 keeps the wave.
    EXPECT_EQ(val_sine(4095, 1, u, l), expected[15]);
    EXPECT_EQ(val_sine(4096 + 1, 1, u, l), expected[1]);
}

TEST(HelpGenerators, SchwebungAtChosenTicks) {
    const gen_case cases[] = {{0, 2048}, {2, 2965}, {16, 2816}, {48, 1280}};
    int u[8] = {}, l[8] = {};
    for (const gen_case& c : cases) EXPECT_EQ(schwebung(c.tick, 1, u, l), c.expected) << "t = " << c.tick;
}

TEST(HelpGenerators, RawRampAtTheCornersOfItsPeriod) {
    // (t, previous value, value): the flanks move 16 per tick between 1024 and 3072.
    const struct {
        int tick, previous, expected;
    } cases[] = {
        {16, 3072, 3072},       {17, 3072, 3056},  {143, 1056, 1040}, {144, 1040, 1024}, {145, 1024, 1024},
        {272, 1024, 1024},      {273, 1024, 1040}, {399, 3040, 3056}, {400, 3056, 3072}, {401, 3072, 3072},
        {512 + 17, 3072, 3056}, {17, 0, 1024},     {273, 5000, 3072},
    };
    for (const auto& c : cases) {
        int u[8] = {0, 0, 0, 0, c.previous}, l[8] = {};
        EXPECT_EQ(raw_ramp(c.tick, 5, u, l), c.expected) << "t = " << c.tick << ", previous " << c.previous;
    }
}

TEST(HelpGenerators, RawRampRunIsATrapezoidOfPeriod512) {
    int u[8] = {0, 0, 0, 0, 3072}, l[8] = {};
    int first[512];
    for (int t = 0; t < 1024; t++) {
        u[4] = raw_ramp(t, 5, u, l);
        if (t < 512)
            first[t] = u[4];
        else
            EXPECT_EQ(u[4], first[t - 512]) << "t = " << t;
    }
    EXPECT_EQ(first[144], 1024);
    EXPECT_EQ(first[80], 3072 - 16 * 64);
    EXPECT_EQ(first[400], 3072);
    EXPECT_EQ(first[336], 1024 + 16 * 64);
}

TEST(HelpGenerators, NormDividesByOneWhenTheMaximumIsZero) {
    const struct {
        int u1, u2, expected;
    } cases[] = {{0, 0, 0}, {1, 0, 4095}, {-3, 0, 0}, {1000, 2000, 2047}, {3000, 2000, 4095}, {2000, -1, 0}};
    for (const auto& c : cases) {
        int u[8] = {c.u1, c.u2}, l[8] = {};
        EXPECT_EQ(norm_1st_with_2nd_value(0, 4, u, l), c.expected) << c.u1 << " / " << c.u2;
    }
}

TEST(HelpGenerators, DecayStepDoublesUpTo1024EverySixteenTicks) {
    const struct {
        int tick, u1, u2, step, expected, u2_after;
    } cases[] = {
        {3, 1000, 3000, 16, 16, 3000}, // not a decay tick: nothing changes
        {4, 1000, 3000, 16, 32, 2984}, // (4 + 12) mod 16 = 0
        {20, 1000, 3000, 512, 1024, 2488},
        {36, 1000, 3000, 513, 1024, 2487}, // min(2 x 513, 1024), not 1026
        {52, 1000, 3000, 1024, 1024, 1976},
        {68, 1000, 1500, 600, 1, 1000},    // the maximum falls below the value: back to it, step 1
        {68, 1000, 1600, 600, 1024, 1000}, // exactly reaching the value is still a decay
    };
    for (const auto& c : cases) {
        int u[8] = {c.u1, c.u2, c.step}, l[8] = {};
        EXPECT_EQ(decr_2nd_every_16(c.tick, 3, u, l), c.expected) << "t = " << c.tick << ", step " << c.step;
        EXPECT_EQ(u[1], c.u2_after) << "t = " << c.tick << ", step " << c.step;
    }
}

TEST(HelpGenerators, SmallGeneratorsAndTheirSideEffects) {
    int u[8] = {500, 700, 300, 9}, l[8] = {};
    EXPECT_EQ(max_of_1st_value(0, 2, u, l), 700);
    EXPECT_EQ(min_of_1st_value(0, 3, u, l), 300);
    EXPECT_EQ(max_of_1st_value_step_in_third(0, 2, u, l), 700);
    EXPECT_EQ(u[2], 300); // no new maximum: the step stays
    u[0] = 800;
    EXPECT_EQ(max_of_1st_value_step_in_third(0, 2, u, l), 800);
    EXPECT_EQ(u[2], 1);
    EXPECT_EQ(trigger_lvl(0, 2, u, l), 3072);
    EXPECT_EQ(compare_1st_2nd(0, 4, u, l), 100);
    EXPECT_EQ(l[0], 3510);
    u[1] = 900;
    EXPECT_EQ(compare_1st_2nd(0, 4, u, l), -100);
    EXPECT_EQ(l[0], 2925);
    EXPECT_EQ(raw_sine(128, 1, u, l), 2559);
    EXPECT_EQ(raw_sine(384, 1, u, l), 1);
    EXPECT_EQ(dummy(0, 1, u, l), 0);
}

TEST(HelpGenerators, SlotsOutsideOneToEightGiveZeroAndWriteNothing) {
    help_generator all[] = {schwebung,
                            sine_of_fifth,
                            raw_ramp,
                            raw_sine,
                            val_sine,
                            max_of_1st_value,
                            max_of_1st_value_step_in_third,
                            min_of_1st_value,
                            norm_1st_with_2nd_value,
                            decr_2nd_every_16,
                            reset_2nd_3rd,
                            reset_2nd_3rd_digital,
                            trigger_lvl,
                            count_trigg_low,
                            compare_1st_2nd,
                            reset_cntr_value,
                            dummy};
    for (help_generator g : all) {
        int u[8] = {1000, 2000, 3, 4, 5000, 6, 7, 8}, l[8] = {11, 12};
        const int u0[8] = {1000, 2000, 3, 4, 5000, 6, 7, 8}, l0[8] = {11, 12};
        for (int slot : {0, 9, -1, 100}) {
            for (int t : {4, 32, 60}) EXPECT_EQ(run_gen(g, t, slot, u, l), 0);
        }
        EXPECT_EQ(run_gen(g, 4, 1, nullptr, l), 0);
        EXPECT_EQ(run_gen(g, 4, 1, u, nullptr), 0);
        EXPECT_EQ(std::memcmp(u, u0, sizeof u), 0);
        EXPECT_EQ(std::memcmp(l, l0, sizeof l), 0);
    }
}

// ---- templates animated ----

TEST(HelpAnimation, MinMaxFollowTheValueAndJumpToItOnEachReset) {
    auto scr = working(helpscr_MIN_MAX);
    int tick = 4000; // runs through the wrap to 0
    int max = 1, min = 1;
    for (int i = 0; i < 3 * 64 + 100; i++) {
        help_frame f;
        const int t = help_tick(scr.get(), &tick, &f);
        const int norm = f.upper[0];
        EXPECT_EQ(norm, schwebung(t, 1, f.upper, f.lower));
        max = std::max(max, norm);
        min = std::min(min, norm);
        if (t % 64 == 32) max = min = norm;
        EXPECT_EQ(f.upper[1], max) << "t = " << t;
        EXPECT_EQ(f.upper[2], min) << "t = " << t;
        EXPECT_EQ(f.lower[0], t % 64 <= 32 ? 2925 : 3510) << "t = " << t;
        EXPECT_EQ(f.upper_points, 3);
        EXPECT_EQ(f.lower_points, 1);
    }
}

TEST(HelpAnimation, TriggerCounterCountsRisingEdgesAndResetsEvery128Ticks) {
    auto scr = working(helpscr_TRIGG_COUNT);
    int tick = 0, count = scr->upper_values[2], highest = 0;
    ASSERT_EQ(count, 1); // the template's start value, until the first reset
    bool was_above = true; // the template's start difference (1) counts as above the level
    for (int i = 0; i < 3 * HELP_TICKS; i++) {
        help_frame f;
        const int t = help_tick(scr.get(), &tick, &f);
        const bool above = val_sine(t, 1, f.upper, f.lower) > 3072;
        if (above && !was_above) count++;
        was_above = above;
        EXPECT_EQ(f.upper[2], count) << "t = " << t;
        if (above != (t % 16 == 2 || t % 16 == 3 || t % 16 == 4 || t % 16 == 5 || t % 16 == 6))
            ADD_FAILURE() << "t = " << t;
        // The trigger signal of lower slot 1 is written by the upper comparison.
        EXPECT_EQ(f.lower[0], val_sine(t, 1, f.upper, f.lower) >= 3072 ? 3510 : 2925) << "t = " << t;
        EXPECT_EQ(f.lower[1], (t + 4) % 128 < 64 ? 1755 : 2340) << "t = " << t;
        highest = std::max(highest, count);
        if ((t + 4) % 128 == 64) {
            count = 0;
            EXPECT_EQ(scr->upper_values[2], 0) << "t = " << t;
            EXPECT_EQ(t % 128, 60);
        }
    }
    EXPECT_EQ(highest, 8);
}

TEST(HelpAnimation, TriggerCounterStepsAtTheTicksOfTheRisingEdge) {
    auto scr = working(helpscr_TRIGG_COUNT);
    int tick = 0;
    int previous = scr->upper_values[2];
    for (int i = 0; i < 59; i++) { // up to the first reset at t = 60
        const int t = help_tick(scr.get(), &tick, nullptr);
        const int step = scr->upper_values[2] - previous;
        EXPECT_EQ(step, t % 16 == 2 ? 1 : 0) << "t = " << t;
        previous = scr->upper_values[2];
    }
}

TEST(HelpAnimation, RawNormHoldsThePeakAndNormalisesByIt) {
    auto scr = working(helpscr_RAW_NORM);
    int tick = 0;
    int fifth = 0; // slot 5 starts at 0
    for (int i = 0; i < 2 * 512; i++) {
        const int old_fifth = fifth;
        help_frame f;
        const int t = help_tick(scr.get(), &tick, &f);
        fifth = f.upper[4];
        EXPECT_EQ(f.upper_points, 4); // the ramp in slot 5 runs but is not drawn
        EXPECT_EQ(f.lower_points, 0);
        // Slot 1 runs before slot 5 and so scales by the ramp of the tick before.
        int probe[8] = {0, 0, 0, 0, old_fifth};
        EXPECT_EQ(f.upper[0], sine_of_fifth(t, 1, probe, f.lower)) << "t = " << t;
        EXPECT_GE(f.upper[1], f.upper[0]) << "t = " << t;
        const int step = f.upper[2];
        EXPECT_TRUE(step >= 1 && step <= 1024 && (step & (step - 1)) == 0) << "step " << step;
        const long long norm = static_cast<long long>(f.upper[0]) * 4095 / std::max(f.upper[1], 1);
        EXPECT_EQ(f.upper[3], norm > 4095 ? 4095 : norm) << "t = " << t;
    }
}

TEST(HelpAnimation, NoVisualisationDrawsNothing) {
    auto scr = working(std_helpscr_noVisual);
    int tick = 7;
    help_frame f;
    EXPECT_EQ(help_tick(scr.get(), &tick, &f), 8);
    EXPECT_EQ(f.upper_points, 0);
    EXPECT_EQ(f.lower_points, 0);
    EXPECT_EQ(help_chart_traces(&scr->upper), 1); // one invisible trace
    EXPECT_EQ(help_chart_traces(&helpscr_RAW_NORM.upper), 4);
    help_chart many = helpscr_MIN_MAX.upper;
    many.count = 12;
    EXPECT_EQ(help_chart_traces(&many), 8);
}

// ---- tick counter ----

TEST(HelpTick, CounterWrapsAt4096AndIsBroughtIntoRange) {
    auto scr = working(helpscr_MIN_MAX);
    const struct {
        int before, after;
    } cases[] = {{0, 1}, {4094, 4095}, {4095, 0}, {-1, 0}, {5000, 905}, {-4097, 0}};
    for (const auto& c : cases) {
        int tick = c.before;
        EXPECT_EQ(help_tick(scr.get(), &tick, nullptr), c.after) << c.before;
        EXPECT_EQ(tick, c.after);
    }
    int tick = 0;
    EXPECT_EQ(help_tick(nullptr, &tick, nullptr), -1);
    EXPECT_EQ(help_tick(scr.get(), nullptr, nullptr), -1);
    EXPECT_EQ(tick, 0);
}

TEST(HelpTick, FrameKeepsTheUpperValuesFromBeforeTheLowerGenerators) {
    auto scr = working(helpscr_TRIGG_COUNT);
    scr->upper_values[2] = 5;
    int tick = 59; // the next tick, 60, is the counter reset of lower slot 2
    help_frame f;
    EXPECT_EQ(help_tick(scr.get(), &tick, &f), 60);
    EXPECT_EQ(f.upper[2], 5);
    EXPECT_EQ(scr->upper_values[2], 0);
}

// ---- copying ----

TEST(HelpCopy, TemplateCopiesWhole) {
    auto scr = std::make_unique<help_screen>();
    std::memset(scr.get(), 0x5A, sizeof *scr);
    ASSERT_EQ(copy_helpscr(scr.get(), &helpscr_TRIGG_COUNT), 0);
    const help_screen& t = helpscr_TRIGG_COUNT;
    EXPECT_STREQ(scr->panel_text, "");
    EXPECT_EQ(std::memcmp(scr->upper_values, t.upper_values, sizeof t.upper_values), 0);
    EXPECT_EQ(std::memcmp(scr->upper_generators, t.upper_generators, sizeof t.upper_generators), 0);
    EXPECT_EQ(std::memcmp(scr->lower_generators, t.lower_generators, sizeof t.lower_generators), 0);
    EXPECT_EQ(std::memcmp(scr->upper.colours, t.upper.colours, sizeof t.upper.colours), 0);
    EXPECT_EQ(std::memcmp(scr->lower.plot_styles, t.lower.plot_styles, sizeof t.lower.plot_styles), 0);
    EXPECT_STREQ(scr->upper.label, "NORM value (red), triggerlevel (blue)");
    EXPECT_STREQ(scr->lower.label, "Trigger signal (blue), reset signal (red)");
    EXPECT_STREQ(scr->trace_names[2], "CNTR");
    EXPECT_STREQ(scr->trace_names[7], "");
    EXPECT_EQ(scr->upper.flag, 0);
    EXPECT_EQ(scr->lower.flag, 1);
    EXPECT_EQ(copy_helpscr(nullptr, &t), -1);
    EXPECT_EQ(copy_helpscr(scr.get(), nullptr), -1);
}

TEST(HelpCopy, UnterminatedFieldsAreCutAtTheirLimits) {
    // Heap records of exact size, so a copy past a field's end at the record's end is caught
    // by the address sanitiser, and a zero written past a field shows in the next one.
    auto src = std::make_unique<help_screen>();
    auto dst = std::make_unique<help_screen>();
    std::memset(src.get(), 'x', sizeof *src);
    std::memset(dst.get(), 0, sizeof *dst);
    ASSERT_EQ(copy_helpscr(dst.get(), src.get()), 0);
    EXPECT_EQ(std::strlen(dst->panel_text), 2047u);
    EXPECT_EQ(std::strlen(dst->control_text), 2047u);
    EXPECT_EQ(std::strlen(dst->upper.label), 127u);
    EXPECT_EQ(std::strlen(dst->lower.label), 127u);
    for (int i = 0; i < HELP_SLOTS; i++) EXPECT_EQ(std::strlen(dst->trace_names[i]), 31u) << i;

    const std::string long_text(5000, 'p');
    ASSERT_EQ(help_set_texts(dst.get(), long_text.c_str(), "control"), 0);
    EXPECT_EQ(std::string(dst->panel_text), long_text.substr(0, 2047));
    EXPECT_STREQ(dst->control_text, "control");
    ASSERT_EQ(help_set_texts(dst.get(), nullptr, nullptr), 0);
    EXPECT_STREQ(dst->panel_text, "");
    EXPECT_STREQ(dst->control_text, "");
    EXPECT_EQ(help_set_texts(nullptr, "a", "b"), -1);
}

TEST(HelpCopy, CopyOntoItselfOnlyTerminates) {
    auto scr = std::make_unique<help_screen>();
    std::memset(scr.get(), 'y', sizeof *scr);
    ASSERT_EQ(copy_helpscr(scr.get(), scr.get()), 0);
    EXPECT_EQ(std::strlen(scr->panel_text), 2047u);
    EXPECT_EQ(std::strlen(scr->trace_names[0]), 31u);
    EXPECT_EQ(scr->upper.count, 0x79797979);
}
