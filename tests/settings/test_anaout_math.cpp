// The analog output's transfer rows, end points, source and preset changes and
// the transfer view's contents.
#include "settings/anaout_math.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>

namespace {

constexpr int32_t FIX = 65536; // 16.16 fixed point

teach_entry teach(double ref, double low, double high) {
    return teach_entry{static_cast<int32_t>(ref * FIX), static_cast<int32_t>(low * FIX),
                       static_cast<int32_t>(high * FIX)};
}

void expect_row(const anaout_scaling& r, int gain, int shift, int offset) {
    EXPECT_EQ(r.gain, gain);
    EXPECT_EQ(r.shift, shift);
    EXPECT_EQ(r.offset, offset);
}

int out(const anaout_scaling& r, int x) {
    return anaout_out(&r, x);
}

// The transfer worked out independently: exact scaling by a power of two in long
// double, floored. Exponents beyond +-100 cannot change the clamped result.
int reference_out(const anaout_scaling& r, int x) {
    const long double p = static_cast<long double>(x) * r.gain;
    const int e = std::clamp(r.shift - 15, -100, 100);
    const long double y = std::floor(std::ldexp(p, e)) + r.offset;
    return static_cast<int>(std::clamp<long double>(y, 0, 4095));
}

// Rows set to a value no plan computes, to tell kept rows from set ones.
const anaout_scaling SENTINEL{111, 5, 222};

para_record plan_record() {
    para_record rec{};
    rec.teachA[0] = teach(1000, 10, 10); // "REF -> 5V, Gain:x2" offset 2048 - 2000 = 48
    rec.teachB[0] = teach(500, 10, 10);  // offset 2048 - 1000 = 1048
    for (anaout_scaling& r : rec.anaout_scale) r = SENTINEL;
    return rec;
}

bool same(const anaout_scaling& a, const anaout_scaling& b) {
    return a.gain == b.gain && a.shift == b.shift && a.offset == b.offset;
}

} // namespace

// ---- transfer of one row ----

TEST(AnaoutOut, IdentityAndPresetFromTheReference) {
    const anaout_scaling identity{16384, 1, 0};
    for (int x : {0, 1, 2047, 4095}) EXPECT_EQ(out(identity, x), x);

    para_record rec{};
    rec.teachA[0] = teach(1000, 0, 0);
    ASSERT_EQ(anaout_set_row(&rec, 0, 4, ANAOUT_CHAN_A), ANAOUT_OK);
    expect_row(rec.anaout_scale[0], 16384, 2, 48);
    EXPECT_EQ(out(rec.anaout_scale[0], 1000), 2048);
    EXPECT_EQ(out(rec.anaout_scale[0], 0), 48);
    EXPECT_EQ(out(rec.anaout_scale[0], 2024), 4095);
}

TEST(AnaoutOut, RightShiftFloorsAndLargeShiftsShiftLeft) {
    EXPECT_EQ(out({-16384, 1, 10}, 1), 9);   // -16384 >> 14 is -1, not 0
    EXPECT_EQ(out({1, 16, 0}, 1000), 2000);  // shift 16: one place to the left
    EXPECT_EQ(out({16384, 1, -100}, 50), 0); // clamped below
    EXPECT_EQ(out({16384, 3, 0}, 2000), 4095);
}

// Rows from a file or the unit may hold any shift; the unit's 32-bit shifts would
// then be undefined. The sanitizer build runs this too.
TEST(AnaoutOut, AnyRowGivesTheExactClampedValue) {
    const int16_t gains[] = {-32768, -16384, -1, 0, 1, 3, 16384, 32767};
    const int16_t shifts[] = {-32768, -100, -49, -17, 0,  1,  15, 16,  31,
                              32,     33,   46,  47,  48, 63, 64, 200, 32767};
    const int32_t offsets[] = {INT32_MIN, -70000, -1, 0, 2048, 4095, 4096, INT32_MAX};
    const int xs[] = {0, 1, 2, 2047, 4095};
    for (int16_t g : gains)
        for (int16_t s : shifts)
            for (int32_t o : offsets)
                for (int x : xs) {
                    const anaout_scaling r{g, s, o};
                    ASSERT_EQ(out(r, x), reference_out(r, x)) << g << " " << s << " " << o << " " << x;
                }
}

// ---- rows of the presets ----

TEST(AnaoutPresets, EveryModeFromTheChannelsReference) {
    para_record rec{};
    rec.teachA[0] = teach(1000, 0, 0);
    rec.teachB[0] = teach(-0.5, 0, 0); // integer part floored: -1
    const struct {
        int mode, channel, gain, shift, offset;
    } cases[] = {
        {-1, 0, 0, 0, 0},        {0, 0, 16384, 1, 0},     {3, 0, 16384, 1, 1048},  {4, 0, 16384, 2, 48},
        {5, 0, 16384, 3, -1952}, {6, 0, -16384, 1, 3048}, {7, 0, -16384, 2, 4048}, {8, 0, -16384, 3, 6048},
        {3, 1, 16384, 1, 2049},  {8, 1, -16384, 3, 2044},
    };
    for (const auto& c : cases) {
        rec.anaout_scale[2] = SENTINEL;
        ASSERT_EQ(anaout_set_row(&rec, 2, c.mode, c.channel), ANAOUT_OK) << c.mode;
        expect_row(rec.anaout_scale[2], c.gain, c.shift, c.offset);
    }
}

TEST(AnaoutPresets, KeepUnknownModesAndBadRows) {
    para_record rec = plan_record();
    EXPECT_EQ(anaout_set_row(&rec, 1, ANAOUT_MODE_KEEP, 0), ANAOUT_OK);
    EXPECT_EQ(anaout_set_row(&rec, 1, 9, 0), ANAOUT_BAD_MODE);
    EXPECT_EQ(anaout_set_row(&rec, 1, -2, 0), ANAOUT_BAD_MODE);
    EXPECT_TRUE(same(rec.anaout_scale[1], SENTINEL));
    EXPECT_EQ(anaout_set_row(&rec, 4, 0, 0), ANAOUT_BAD_ROW);
    EXPECT_EQ(anaout_set_row(&rec, -1, 0, 0), ANAOUT_BAD_ROW);
    EXPECT_EQ(anaout_set_row(nullptr, 0, 0, 0), ANAOUT_BAD_ROW);
}

TEST(AnaoutZoom, BandSpreadOverTheOutputRange) {
    anaout_scaling r{};
    const teach_entry t = teach(2000, 500, 500);
    ASSERT_EQ(anaout_zoom_row(&r, &t), ANAOUT_OK);
    expect_row(r, 16777, 3, -6144);
    EXPECT_EQ(out(r, 1500), 0); // -1 before clamping
    EXPECT_EQ(out(r, 2500), 4095);

    // Band cut at both ends of the range: L = 0, U = 4095.
    const teach_entry wide = teach(100, 500, 5000);
    ASSERT_EQ(anaout_zoom_row(&r, &wide), ANAOUT_OK);
    expect_row(r, 16388, 1, 0);
}

TEST(AnaoutZoom, EmptyBandLeavesTheRow) {
    const teach_entry cases[] = {
        teach(2000, 0, 0), teach(2000, 0, 0.5), // 16.16 values differ, integer parts do not
        teach(5000, 0, 0),                      // lower above 4095, upper cut to 4095
        teach(-10, 0, 5),                       // upper below 0
    };
    for (const teach_entry& t : cases) {
        anaout_scaling r = SENTINEL;
        EXPECT_EQ(anaout_zoom_row(&r, &t), ANAOUT_UNCHANGED);
        EXPECT_TRUE(same(r, SENTINEL));
    }
}

// Negative tolerances (a parameter file may hold them) give U below L; the
// halving loop then never ended.
TEST(AnaoutZoom, NegativeTolerancesReturnAtOnce) {
    anaout_scaling r = SENTINEL;
    const teach_entry t = teach(2000, -600, -600);
    EXPECT_EQ(anaout_zoom_row(&r, &t), ANAOUT_UNCHANGED);
    EXPECT_TRUE(same(r, SENTINEL));
    const teach_entry extreme{INT32_MAX, INT32_MIN, INT32_MIN};
    EXPECT_EQ(anaout_zoom_row(&r, &extreme), ANAOUT_UNCHANGED);
}

TEST(AnaoutZoom, BandOfOneCountGivesAFlatRow) {
    anaout_scaling r = SENTINEL;
    const teach_entry t = teach(2000, 0, 1);
    ASSERT_EQ(anaout_zoom_row(&r, &t), ANAOUT_OK);
    expect_row(r, 0, 13, 0);
    EXPECT_EQ(out(r, 2000), 0);
    EXPECT_EQ(out(r, 4095), 0);
}

// ---- end points ----

TEST(AnaoutEndPoints, LinesThroughTheBox) {
    const struct {
        anaout_scaling row;
        anaout_point start, end;
    } cases[] = {
        {{16384, 1, 0}, {0, 0}, {4095, 4095}},           // identity
        {{16384, 2, 46}, {0, 46}, {2025, 4095}},         // rising, leaves at the top: 2024.5 rounds up
        {{16777, 3, -6144}, {1500, 0}, {2500, 4095}},    // rising, enters through y = 0
        {{-16384, 1, 3048}, {0, 3048}, {3048, 0}},       // falling, leaves through y = 0
        {{-16384, 3, 6048}, {488, 4095}, {1512, 0}},     // falling, enters through y = 4095
        {{-16384, 1, 6000}, {1905, 4095}, {4095, 1905}}, // falling, enters at the top, leaves at the side
        {{0, 0, 2000}, {0, 0}, {0, 0}},                  // flat
        {{16384, 1, 5000}, {0, 0}, {0, 0}},              // wholly above
        {{16384, 1, -5000}, {0, 0}, {0, 0}},             // wholly below
        {{-16384, 1, -1}, {0, 0}, {0, 0}},               // falling, wholly below
        {{1, -32768, 100}, {0, 100}, {4095, 100}},       // all but flat
        {{1, 32767, -5}, {0, 0}, {0, 4095}},             // all but vertical
    };
    for (const auto& c : cases) {
        anaout_point a{-1, -1};
        anaout_point b{-1, -1};
        factor_to_xy(&c.row, &a, &b);
        EXPECT_EQ(a.x, c.start.x) << c.row.gain << " " << c.row.shift << " " << c.row.offset;
        EXPECT_EQ(a.y, c.start.y) << c.row.gain << " " << c.row.shift << " " << c.row.offset;
        EXPECT_EQ(b.x, c.end.x) << c.row.gain << " " << c.row.shift << " " << c.row.offset;
        EXPECT_EQ(b.y, c.end.y) << c.row.gain << " " << c.row.shift << " " << c.row.offset;
    }
}

TEST(AnaoutEndPoints, RowThroughTwoPoints) {
    anaout_scaling r = SENTINEL;
    anaout_manual_row(&r, 0, 0.0, 4095, 10.0); // slope 1 halved once
    expect_row(r, 16384, 1, 0);
    anaout_manual_row(&r, 0, 0.0, 2000, 10.0); // 2.0475 halved twice to 0.511875
    expect_row(r, 16773, 2, 0);
    anaout_manual_row(&r, 0, 10.0, 4095, 0.0);
    expect_row(r, -16384, 1, 4095);
    const anaout_point a{0, 100};
    const anaout_point b{4000, 300}; // slope 0.05 doubled five times
    xy_to_factor(&r, &a, &b);
    expect_row(r, 26214, -4, 100);

    r = SENTINEL;
    anaout_manual_row(&r, 1000, 0.0, 1000, 5.0); // equal inputs
    expect_row(r, 0, 0, 0);
    r = SENTINEL;
    anaout_manual_row(&r, 0, 2.0, 4095, 2.0); // equal volts
    expect_row(r, 0, 0, 0);
}

TEST(AnaoutEndPoints, AnyTypedValueConverts) {
    EXPECT_EQ(anaout_counts(10.0), 4095);
    EXPECT_EQ(anaout_counts(1e300), INT_MAX);
    EXPECT_EQ(anaout_counts(-1e300), INT_MIN);
    EXPECT_EQ(anaout_counts(std::nan("")), 0);
    anaout_scaling r{};
    const anaout_point a{INT_MIN, INT_MIN};
    const anaout_point b{INT_MAX, INT_MIN + 1};
    xy_to_factor(&r, &a, &b);
    EXPECT_GT(r.gain, 0);
    const anaout_point c{0, INT_MIN};
    const anaout_point d{1, INT_MAX};
    xy_to_factor(&r, &c, &d);
    EXPECT_EQ(r.offset, INT32_MIN);
}

// Both points come back within 2 counts for slopes up to 16; steeper lines lose
// more to the 15-bit gain, as the unit's own row format does.
TEST(AnaoutEndPoints, RoundTripWithinTwoCounts) {
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> coord(0, ANAOUT_MAX);
    int worst = 0;
    int pairs = 0;
    while (pairs < 100000) {
        const anaout_point a{coord(rng), coord(rng)};
        const anaout_point b{coord(rng), coord(rng)};
        if (a.x == b.x || a.y == b.y || std::abs(b.y - a.y) > 16 * std::abs(b.x - a.x)) continue;
        pairs++;
        anaout_scaling r{};
        xy_to_factor(&r, &a, &b);
        worst = std::max({worst, std::abs(out(r, a.x) - a.y), std::abs(out(r, b.x) - b.y)});
    }
    EXPECT_LE(worst, 2);
}

// ---- source and preset changes ----

TEST(AnaoutPlans, SourceChangeSetsTheRows) {
    const anaout_scaling off{0, 0, 0};
    const anaout_scaling identity{16384, 1, 0};
    const struct {
        int v, list;
        anaout_scaling rows[4];
    } cases[] = {
        {0, ANAOUT_LIST_NO_SCALE, {off, SENTINEL, SENTINEL, off}},
        {1, ANAOUT_LIST_FULL, {SENTINEL, SENTINEL, identity, identity}},
        {2, ANAOUT_LIST_FULL, {SENTINEL, identity, identity, identity}},
        {5, ANAOUT_LIST_NO_SCALE, {identity, identity, identity, identity}},
    };
    for (const auto& c : cases) {
        para_record rec = plan_record();
        anaout_plan plan;
        ASSERT_EQ(anaout_source_plan(c.v, &plan), ANAOUT_OK);
        EXPECT_EQ(plan.list, c.list) << c.v;
        EXPECT_EQ(anaout_apply_plan(&rec, &plan), ANAOUT_OK);
        for (int i = 0; i < 4; i++) EXPECT_TRUE(same(rec.anaout_scale[i], c.rows[i])) << c.v << " row " << i;
    }
    anaout_plan plan;
    EXPECT_EQ(anaout_source_plan(12, &plan), ANAOUT_BAD_SOURCE);
    EXPECT_EQ(anaout_source_plan(-1, &plan), ANAOUT_BAD_SOURCE);
}

TEST(AnaoutPlans, PresetChangeUsesTheRightChannel) {
    const anaout_scaling off{0, 0, 0};
    const anaout_scaling identity{16384, 1, 0};
    const anaout_scaling a_x2{16384, 2, 48};
    const anaout_scaling b_x2{16384, 2, 1048};
    const struct {
        int v;
        anaout_scaling rows[4];
    } cases[] = {
        {0, {off, a_x2, b_x2, identity}},
        {1, {a_x2, b_x2, identity, identity}},
        {2, {b_x2, identity, identity, identity}},
        {5, {identity, identity, identity, identity}},
    };
    for (const auto& c : cases) {
        para_record rec = plan_record();
        anaout_plan plan;
        ASSERT_EQ(anaout_scale_plan(c.v, 4, &plan), ANAOUT_OK);
        EXPECT_EQ(plan.list, ANAOUT_LIST_KEEP);
        EXPECT_EQ(anaout_apply_plan(&rec, &plan), ANAOUT_OK);
        for (int i = 0; i < 4; i++) EXPECT_TRUE(same(rec.anaout_scale[i], c.rows[i])) << c.v << " row " << i;
    }
    anaout_plan plan;
    EXPECT_EQ(anaout_scale_plan(12, 4, &plan), ANAOUT_BAD_SOURCE);
    EXPECT_EQ(anaout_scale_plan(1, 9, &plan), ANAOUT_BAD_MODE);
}

TEST(AnaoutPlans, EmptyBandOnRowZeroStillSetsTheOthers) {
    para_record rec = plan_record();
    rec.teachA[0] = teach(1000, 0, 0);
    anaout_plan plan;
    ASSERT_EQ(anaout_scale_plan(1, ANAOUT_MODE_ZOOM, &plan), ANAOUT_OK);
    EXPECT_EQ(anaout_apply_plan(&rec, &plan), ANAOUT_UNCHANGED);
    EXPECT_TRUE(same(rec.anaout_scale[0], SENTINEL));
    expect_row(rec.anaout_scale[1], 26214, 8, -100352); // B's band 490..510
    expect_row(rec.anaout_scale[2], 16384, 1, 0);
}

// ---- the transfer view ----

TEST(AnaoutView, PresetWithItsMarkersAndZoom) {
    static anaout_view v;
    para_record rec = plan_record();
    ASSERT_EQ(anaout_transfer(&rec, 0, 4, ANAOUT_CHAN_A, 0, &v), ANAOUT_OK);
    EXPECT_EQ(v.curve[1000], 2048);
    EXPECT_EQ(v.numerics, 1);
    EXPECT_EQ(v.x_start, 0);
    EXPECT_DOUBLE_EQ(v.v_start, 480.0 / 4095);
    EXPECT_EQ(v.x_end, 2024);
    EXPECT_DOUBLE_EQ(v.v_end, 10.0);
    EXPECT_EQ(v.axis_min, 0);
    EXPECT_EQ(v.axis_max, 4095);
    ASSERT_EQ(v.marks, 1);
    EXPECT_EQ(v.mark[0].x, 1000);
    EXPECT_EQ(v.mark[0].color, 0x000000);

    rec.teachB[0] = teach(2000, 500, 500);
    ASSERT_EQ(anaout_transfer(&rec, 0, ANAOUT_MODE_ZOOM, ANAOUT_CHAN_B, 1, &v), ANAOUT_OK);
    EXPECT_EQ(v.axis_min, 1490);
    EXPECT_EQ(v.axis_max, 2510);
    ASSERT_EQ(v.marks, 3);
    EXPECT_EQ(v.mark[0].x, 1500);
    EXPECT_EQ(v.mark[1].x, 2500);
    EXPECT_EQ(v.mark[0].color, 0x00FF00);
    EXPECT_EQ(v.mark[2].x, 2000);
    EXPECT_EQ(v.mark[2].color, 0x000000);

    ASSERT_EQ(anaout_transfer(&rec, 0, 0, ANAOUT_CHAN_A, 1, &v), ANAOUT_OK);
    EXPECT_EQ(v.axis_min, 0);
    EXPECT_EQ(v.axis_max, 4095);
    EXPECT_EQ(v.marks, 0);
}

TEST(AnaoutView, NumericsOfOffNoScaleFlatAndManual) {
    static anaout_view v;
    para_record rec = plan_record();
    const struct {
        int mode;
        anaout_scaling row;
        double v_start, v_end;
    } cases[] = {
        {ANAOUT_MODE_OFF, SENTINEL, 0.0, 0.0},
        {ANAOUT_MODE_NO_SCALE, SENTINEL, 0.0, 10.0},
        {ANAOUT_MODE_KEEP, {0, 0, 2000}, 20000.0 / 4095, 20000.0 / 4095}, // flat: the level it has
        {ANAOUT_MODE_KEEP, {16384, 1, 5000}, 10.0, 10.0},                 // wholly above the box
    };
    for (const auto& c : cases) {
        rec.anaout_scale[0] = c.row;
        ASSERT_EQ(anaout_transfer(&rec, 0, c.mode, ANAOUT_CHAN_A, 0, &v), ANAOUT_OK);
        EXPECT_EQ(v.x_start, 0) << c.mode;
        EXPECT_EQ(v.x_end, 4095) << c.mode;
        EXPECT_DOUBLE_EQ(v.v_start, c.v_start) << c.mode;
        EXPECT_DOUBLE_EQ(v.v_end, c.v_end) << c.mode;
    }
    ASSERT_EQ(anaout_transfer(&rec, 0, ANAOUT_MODE_KEEP, ANAOUT_CHAN_MANUAL, 0, &v), ANAOUT_OK);
    EXPECT_EQ(v.numerics, 0);
}

TEST(AnaoutView, EmptyBandDrawsNothing) {
    static anaout_view v;
    v.marks = -7;
    para_record rec = plan_record();
    rec.teachA[0] = teach(2000, -600, -600);
    EXPECT_EQ(anaout_transfer(&rec, 0, ANAOUT_MODE_ZOOM, ANAOUT_CHAN_A, 0, &v), ANAOUT_UNCHANGED);
    EXPECT_EQ(v.marks, -7);
    EXPECT_TRUE(same(rec.anaout_scale[0], SENTINEL));
    EXPECT_EQ(anaout_view_of(&rec, 4, 0, 0, 0, &v), ANAOUT_BAD_ROW);
}

TEST(AnaoutStatus, EveryCodeHasItsText) {
    for (int code : {ANAOUT_OK, ANAOUT_UNCHANGED, ANAOUT_BAD_MODE, ANAOUT_BAD_ROW, ANAOUT_BAD_SOURCE})
        EXPECT_STRNE(anaout_status_text(code), anaout_status_text(99)) << code;
}
