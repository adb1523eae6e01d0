// Fuzz target for the analog output's transfer arithmetic.
//
// Rows, teach entries and points come from parameter files and from the unit, so
// every one of them may hold any bit pattern. The input is read as a recipe: a
// row, an input count, two points, two typed voltages, a teach entry, and the
// mode, channel, row index, source and preset of a panel action.
//
// Properties:
// - out() of any row for any input is 0..4095, and for inputs 0..4095 it never
//   falls where the slope is positive nor rises where it is negative;
// - the end points of any row lie in the box, the start left of the end;
// - a row made from two points in the box with a slope of at most 16 meets both
//   points within 2 counts (the accuracy the header promises);
// - a row made from any two points or any two voltages is computed without
//   undefined arithmetic (the sanitizer checks that), and equal x or y give 0, 0, 0;
// - every panel action returns one of its codes, and what the view shows stays in
//   range: curve 0..4095, axis inside 0..4095 and not inverted, at most 3 marks.
#include "fuzz/fuzz_input.h"
#include "settings/anaout_math.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

anaout_scaling any_row(FuzzReader& r) {
    anaout_scaling row;
    row.gain = static_cast<int16_t>(r.word());
    row.shift = static_cast<int16_t>(r.word());
    row.offset = r.int32();
    return row;
}

bool in_box(const anaout_point& p) {
    return p.x >= 0 && p.x <= ANAOUT_MAX && p.y >= 0 && p.y <= ANAOUT_MAX;
}

void check_row(const anaout_scaling& row, int x) {
    const int y = anaout_out(&row, x);
    check(y >= 0 && y <= ANAOUT_MAX);
    const double slope = anaout_slope(&row);
    check(std::isfinite(slope) && (slope == 0) == (row.gain == 0));

    // Monotone over the input range, on a walk with input-chosen steps.
    int last = anaout_out(&row, 0);
    const int step = 7 + (static_cast<unsigned>(x) % 97);
    for (int i = step; i <= ANAOUT_MAX; i += step) {
        const int v = anaout_out(&row, i);
        check(v >= 0 && v <= ANAOUT_MAX);
        if (row.gain > 0) check(v >= last);
        if (row.gain < 0) check(v <= last);
        last = v;
    }

    anaout_point start{-1, -1}, end{-1, -1};
    factor_to_xy(&row, &start, &end);
    check(in_box(start) && in_box(end));
    check(start.x <= end.x);
}

// Two points in the box: the row through them meets both when the line is not steep.
void check_points(FuzzReader& r) {
    const anaout_point a{r.word() % (ANAOUT_MAX + 1), r.word() % (ANAOUT_MAX + 1)};
    const anaout_point b{r.word() % (ANAOUT_MAX + 1), r.word() % (ANAOUT_MAX + 1)};
    anaout_scaling row{1, 2, 3};
    xy_to_factor(&row, &a, &b);
    if (a.x == b.x || a.y == b.y) {
        check(row.gain == 0 && row.shift == 0 && row.offset == 0);
        return;
    }
    const double slope = static_cast<double>(b.y - a.y) / (b.x - a.x);
    if (std::fabs(slope) > 16) return;
    check(std::abs(anaout_out(&row, a.x) - a.y) <= 2);
    check(std::abs(anaout_out(&row, b.x) - b.y) <= 2);
}

void check_any_points(FuzzReader& r) {
    const anaout_point a{r.int32(), r.int32()};
    const anaout_point b{r.int32(), r.int32()};
    anaout_scaling row{1, 2, 3};
    xy_to_factor(&row, &a, &b);
    if (a.x == b.x || a.y == b.y) check(row.gain == 0 && row.shift == 0 && row.offset == 0);
    check(anaout_out(&row, a.x) >= 0);

    const double va = r.real(), vb = r.real();
    anaout_manual_row(&row, a.x, va, b.x, vb);
    check_row(row, a.x);
    (void)anaout_counts(va);
    (void)anaout_volts(a.y);
}

void check_view(const para_record& rec, int row, int mode, int channel, int zoom) {
    auto view = std::make_unique<anaout_view>();
    const int rc = anaout_view_of(&rec, row, mode, channel, zoom, view.get());
    if (row < 0 || row >= ANAOUT_ROWS) {
        check(rc == ANAOUT_BAD_ROW);
        return;
    }
    check(rc == ANAOUT_OK);
    for (double y : view->curve) check(y >= 0 && y <= ANAOUT_MAX);
    check(view->axis_min >= 0 && view->axis_max <= ANAOUT_MAX && view->axis_min < view->axis_max);
    check(view->x_start >= 0 && view->x_end <= ANAOUT_MAX && view->x_start <= view->x_end);
    check(view->v_start >= 0 && view->v_start <= 10.0 && view->v_end >= 0 && view->v_end <= 10.0);
    check(view->marks >= 0 && view->marks <= ANAOUT_MARKS);
    check(view->numerics == (channel != ANAOUT_CHAN_MANUAL));
}

void check_actions(FuzzReader& r) {
    para_record rec;
    for (size_t i = 0; i < sizeof rec; i++) reinterpret_cast<uint8_t*>(&rec)[i] = r.byte();
    const int row = static_cast<int8_t>(r.byte()) % 6;
    const int mode = static_cast<int8_t>(r.byte()) % 12;
    const int channel = r.byte() % 4;
    const int zoom = r.byte() & 1;
    const int source = static_cast<int8_t>(r.byte()) % 14;
    const int preset = static_cast<int8_t>(r.byte()) % 11;

    anaout_band band;
    const int b = anaout_zoom_band(&rec.teachA[0], &band);
    check(b == ANAOUT_OK || b == ANAOUT_UNCHANGED);
    check(band.low >= 0 && band.high <= ANAOUT_MAX);
    if (b == ANAOUT_OK) check(band.low < band.high);

    const para_record before = rec;
    const int rc = anaout_set_row(&rec, row, mode, channel);
    check(rc == ANAOUT_OK || rc == ANAOUT_UNCHANGED || rc == ANAOUT_BAD_MODE || rc == ANAOUT_BAD_ROW);
    // Only the chosen row may change.
    for (int i = 0; i < ANAOUT_ROWS; i++)
        if (i != row || rc < 0 || rc == ANAOUT_UNCHANGED)
            check(std::memcmp(&rec.anaout_scale[i], &before.anaout_scale[i], sizeof(anaout_scaling)) == 0);
    check(std::memcmp(&rec, &before, offsetof(para_record, anaout_scale)) == 0);
    check_view(rec, row, mode, channel, zoom);
    if (row >= 0 && row < ANAOUT_ROWS) check_row(rec.anaout_scale[row], mode);

    // The view was checked above; without one the transfer only sets the row again.
    check(anaout_transfer(&rec, row, mode, channel, zoom, nullptr) == rc);

    anaout_plan plan;
    const int s = anaout_source_plan(source, &plan);
    check(s == ANAOUT_OK || s == ANAOUT_BAD_SOURCE);
    if (s == ANAOUT_OK) {
        check(plan.list == ANAOUT_LIST_NO_SCALE || plan.list == ANAOUT_LIST_FULL);
        const int a = anaout_apply_plan(&rec, &plan);
        check(a == ANAOUT_OK || a == ANAOUT_UNCHANGED);
    }
    const int p = anaout_scale_plan(source, preset, &plan);
    check(p == ANAOUT_OK || p == ANAOUT_BAD_SOURCE || p == ANAOUT_BAD_MODE);
    if (p == ANAOUT_OK) {
        const int a = anaout_apply_plan(&rec, &plan);
        check(a == ANAOUT_OK || a == ANAOUT_UNCHANGED);
        for (const anaout_scaling& row_now : rec.anaout_scale) check_row(row_now, preset);
    }
    check(anaout_status_text(rc) != nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReader r{data, size};
    const anaout_scaling row = any_row(r);
    const int x = r.int32();
    check_row(row, x);
    check_points(r);
    check_any_points(r);
    check_actions(r);
    return 0;
}
