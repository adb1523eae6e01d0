// Transfer characteristic of the analog output; see anaout_math.h.
#include "settings/anaout_math.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

struct status_text {
    int code;
    const char* text;
};

const status_text status_texts[] = {
    {ANAOUT_OK, "Row set."},
    {ANAOUT_UNCHANGED, "Tolerance band empty: row unchanged."},
    {ANAOUT_BAD_MODE, "No such scaling mode."},
    {ANAOUT_BAD_ROW, "No such analog output row."},
    {ANAOUT_BAD_SOURCE, "No such analog output source."},
};

// Past 32 bits the product alone decides the sign of the sum, since the offset
// is a 32-bit number and the product is never 0 here.
constexpr int MAX_LEFT_SHIFT = 32;
constexpr int64_t SATURATED = int64_t{1} << 62;

// product * 2^n without overflow: a result that would pass 2^62 stays at +-2^62,
// far outside anything an offset can bring back into 0..4095.
int64_t shift_left(int64_t product, int n) {
    if (product == 0) return 0;
    n = std::min(n, MAX_LEFT_SHIFT);
    const int64_t limit = int64_t{1} << (62 - n);
    if (product >= limit) return SATURATED;
    if (product <= -limit) return -SATURATED;
    return product * (int64_t{1} << n);
}

int clamp_count(int64_t y) {
    return static_cast<int>(std::clamp<int64_t>(y, 0, ANAOUT_MAX));
}

// Rounded half away from zero (std::round), kept inside the box so far-away
// intersections of nearly flat lines stay representable.
int box_coord(double v) {
    return static_cast<int>(std::round(std::clamp(v, 0.0, static_cast<double>(ANAOUT_MAX))));
}

anaout_point box_point(double x, double y) {
    return anaout_point{box_coord(x), box_coord(y)};
}

const teach_entry* teach_of(const para_record* rec, int channel) {
    return channel == ANAOUT_CHAN_B ? &rec->teachB[0] : &rec->teachA[0];
}

// Rows of a source change, by source: 0, 1, 2, then 3..11 alike.
const anaout_plan source_plans[] = {
    {ANAOUT_LIST_NO_SCALE,
     {{ANAOUT_MODE_OFF, 0}, {ANAOUT_MODE_KEEP, 0}, {ANAOUT_MODE_KEEP, 0}, {ANAOUT_MODE_OFF, 0}}},
    {ANAOUT_LIST_FULL, {{ANAOUT_MODE_KEEP, 0}, {ANAOUT_MODE_KEEP, 0}, {0, 0}, {0, 0}}},
    {ANAOUT_LIST_FULL, {{ANAOUT_MODE_KEEP, 0}, {0, 0}, {0, 0}, {0, 0}}},
    {ANAOUT_LIST_NO_SCALE, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}},
};

// Rows of a preset change, by source as above. PRESET marks the rows that take
// the chosen preset; the channel says whose reference it scales.
constexpr int PRESET = 100;
const anaout_plan scale_plans[] = {
    {ANAOUT_LIST_KEEP, {{ANAOUT_MODE_OFF, 0}, {PRESET, ANAOUT_CHAN_A}, {PRESET, ANAOUT_CHAN_B}, {0, 0}}},
    {ANAOUT_LIST_KEEP, {{PRESET, ANAOUT_CHAN_A}, {PRESET, ANAOUT_CHAN_B}, {0, 0}, {0, 0}}},
    {ANAOUT_LIST_KEEP, {{PRESET, ANAOUT_CHAN_B}, {0, 0}, {0, 0}, {0, 0}}},
    {ANAOUT_LIST_KEEP, {{0, 0}, {0, 0}, {0, 0}, {0, 0}}},
};

int plan_index(int v) {
    return std::min(v, 3);
}

} // namespace

const char* anaout_status_text(int code) {
    for (const status_text& s : status_texts)
        if (s.code == code) return s.text;
    return "unknown status";
}

// ---- transfer of one row --------------------------------------------------------------

int anaout_out(const anaout_scaling* row, int x) {
    const int64_t product = static_cast<int64_t>(x) * row->gain;
    const int distance = 15 - row->shift;
    // A right shift by 63 already leaves only the sign (0 or -1), as any longer one would.
    const int64_t shifted =
        distance >= 0 ? product >> std::min(distance, 63) : shift_left(product, -distance);
    return clamp_count(shifted + row->offset);
}

void anaout_curve(const anaout_scaling* row, double y[ANAOUT_POINTS]) {
    for (int x = 0; x < ANAOUT_POINTS; x++) y[x] = anaout_out(row, x);
}

double anaout_slope(const anaout_scaling* row) {
    const int shift = std::clamp<int>(row->shift, -64, 64);
    return std::ldexp(static_cast<double>(row->gain), shift - 15);
}

// ---- rows of the presets --------------------------------------------------------------

int anaout_zoom_band(const teach_entry* t, anaout_band* band) {
    // 16.16 sums in 64 bits: reference and tolerances may each be any 32-bit value.
    const int64_t lower = std::max<int64_t>(int64_t{t->reference} - t->tol_low, 0);
    const int64_t upper = std::min<int64_t>(int64_t{t->reference} + t->tol_high, int64_t{ANAOUT_MAX} << 16);
    band->low = static_cast<int>(lower >> 16);
    band->high = static_cast<int>(upper >> 16);
    band->ref = t->reference >> 16;
    // Equal 16.16 values give equal integer parts, so one test covers both; U below
    // L comes from negative tolerances and would never end the halving below.
    return band->high - band->low > 0 ? ANAOUT_OK : ANAOUT_UNCHANGED;
}

int anaout_zoom_row(anaout_scaling* row, const teach_entry* t) {
    anaout_band band;
    if (anaout_zoom_band(t, &band) != ANAOUT_OK) return ANAOUT_UNCHANGED;
    const int span = band.high - band.low; // 1..4095
    int s = 0;
    int g = 4096;
    while (g >= span) {
        s++;
        g /= 2;
    }
    const double factor = static_cast<double>(g) / span; // below 1, so the gain fits
    row->gain = static_cast<int16_t>(static_cast<int>(32768 * factor));
    row->shift = static_cast<int16_t>(s);
    row->offset = static_cast<int32_t>(static_cast<int>(-factor * band.low) * (1 << s));
    return ANAOUT_OK;
}

int anaout_mode_row(anaout_scaling* row, int mode, const teach_entry* t) {
    const int r = t->reference >> 16;
    switch (mode) {
    case ANAOUT_MODE_OFF:
        *row = anaout_scaling{0, 0, 0};
        return ANAOUT_OK;
    case ANAOUT_MODE_NO_SCALE:
        *row = anaout_scaling{16384, 1, 0};
        return ANAOUT_OK;
    case ANAOUT_MODE_KEEP:
        return ANAOUT_OK;
    case ANAOUT_MODE_ZOOM:
        return anaout_zoom_row(row, t);
    case 3:
    case 4:
    case 5: {
        const int k = 1 << (mode - 3);
        *row = anaout_scaling{16384, static_cast<int16_t>(mode - 2), 2048 - k * r};
        return ANAOUT_OK;
    }
    case 6:
    case 7:
    case 8: {
        const int k = 1 << (mode - 6);
        *row = anaout_scaling{-16384, static_cast<int16_t>(mode - 5), k * r + 2048};
        return ANAOUT_OK;
    }
    default:
        return ANAOUT_BAD_MODE;
    }
}

int anaout_set_row(para_record* rec, int row, int mode, int channel) {
    if (!rec || row < 0 || row >= ANAOUT_ROWS) return ANAOUT_BAD_ROW;
    return anaout_mode_row(&rec->anaout_scale[row], mode, teach_of(rec, channel));
}

// ---- end points ------------------------------------------------------------------------

void factor_to_xy(const anaout_scaling* row, anaout_point* start, anaout_point* end) {
    *start = anaout_point{0, 0};
    *end = anaout_point{0, 0};
    const double k = anaout_slope(row);
    if (k == 0) return;
    const double d = row->offset;
    const double y_last = k * ANAOUT_MAX + d;
    if (std::max(d, y_last) < 0 || std::min(d, y_last) > ANAOUT_MAX) return;
    // The line crosses the box, so each branch's intersection lies within it.
    if (k > 0) {
        *start = d >= 0 ? box_point(0, d) : box_point(-d / k, 0);
        *end = y_last <= ANAOUT_MAX ? box_point(ANAOUT_MAX, y_last)
                                    : box_point((ANAOUT_MAX - d) / k, ANAOUT_MAX);
    } else {
        *start = d <= ANAOUT_MAX ? box_point(0, d) : box_point((ANAOUT_MAX - d) / k, ANAOUT_MAX);
        *end = y_last >= 0 ? box_point(ANAOUT_MAX, y_last) : box_point(-d / k, 0);
    }
}

void xy_to_factor(anaout_scaling* row, const anaout_point* start, const anaout_point* end) {
    if (start->x == end->x || start->y == end->y) {
        *row = anaout_scaling{0, 0, 0};
        return;
    }
    // Differences in double: the points may be any ints.
    double k = (static_cast<double>(end->y) - start->y) / (static_cast<double>(end->x) - start->x);
    const double d = start->y - k * start->x;
    int e = 0;
    if (std::fabs(k) >= 1) {
        while (std::fabs(k) >= 1) {
            k /= 2;
            e++;
        }
    } else {
        while (std::fabs(k) < 0.5) {
            k *= 2;
            e--;
        }
    }
    row->gain = static_cast<int16_t>(static_cast<int>(32768 * k));
    row->shift = static_cast<int16_t>(e);
    row->offset =
        static_cast<int32_t>(std::clamp(d, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
}

double anaout_volts(int counts) {
    return counts * 10.0 / ANAOUT_MAX;
}

int anaout_counts(double volts) {
    const double c = 409.5 * volts;
    if (std::isnan(c)) return 0;
    return static_cast<int>(std::clamp(c, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
}

void anaout_manual_row(anaout_scaling* row, int x_start, double v_start, int x_end, double v_end) {
    const anaout_point a{x_start, anaout_counts(v_start)};
    const anaout_point b{x_end, anaout_counts(v_end)};
    xy_to_factor(row, &a, &b);
}

// ---- source and scale changes ------------------------------------------------------------

int anaout_source_plan(int v, anaout_plan* plan) {
    if (v < 0 || v >= ANAOUT_SOURCES) return ANAOUT_BAD_SOURCE;
    *plan = source_plans[plan_index(v)];
    return ANAOUT_OK;
}

int anaout_scale_plan(int v, int s, anaout_plan* plan) {
    if (v < 0 || v >= ANAOUT_SOURCES) return ANAOUT_BAD_SOURCE;
    if (s < ANAOUT_MODE_OFF || s > ANAOUT_MODE_INV_X4) return ANAOUT_BAD_MODE;
    *plan = scale_plans[plan_index(v)];
    for (anaout_row_plan& r : plan->row)
        if (r.mode == PRESET) r.mode = s;
    return ANAOUT_OK;
}

int anaout_apply_plan(para_record* rec, const anaout_plan* plan) {
    int first = ANAOUT_OK;
    for (int i = 0; i < ANAOUT_ROWS; i++) {
        const int rc = anaout_set_row(rec, i, plan->row[i].mode, plan->row[i].channel);
        if (i == 0) first = rc;
    }
    return first;
}

// ---- the transfer view -------------------------------------------------------------------

int anaout_view_of(const para_record* rec, int row, int mode, int channel, int zoom, anaout_view* view) {
    if (!rec || !view || row < 0 || row >= ANAOUT_ROWS) return ANAOUT_BAD_ROW;
    const anaout_scaling* r = &rec->anaout_scale[row];
    anaout_curve(r, view->curve);

    anaout_point start;
    anaout_point end;
    factor_to_xy(r, &start, &end);
    if (start.y == end.y) {
        // A flat row (or one outside the box) has no end points of its own: show the
        // whole input range at the level the output really has.
        view->x_start = 0;
        view->x_end = ANAOUT_MAX;
        view->v_start = anaout_volts(anaout_out(r, 0));
        view->v_end = anaout_volts(anaout_out(r, ANAOUT_MAX));
    } else {
        view->x_start = start.x;
        view->x_end = end.x;
        view->v_start = anaout_volts(start.y);
        view->v_end = anaout_volts(end.y);
    }
    view->numerics = channel != ANAOUT_CHAN_MANUAL;
    view->axis_min = zoom ? std::max(view->x_start - 10, 0) : 0;
    view->axis_max = zoom ? std::min(view->x_end + 10, ANAOUT_MAX) : ANAOUT_MAX;

    view->marks = 0;
    const teach_entry* t = teach_of(rec, channel);
    if (mode == ANAOUT_MODE_ZOOM) {
        anaout_band band;
        anaout_zoom_band(t, &band);
        view->mark[view->marks++] = anaout_mark{band.low, ANAOUT_BAND_COLOR};
        view->mark[view->marks++] = anaout_mark{band.high, ANAOUT_BAND_COLOR};
        view->mark[view->marks++] = anaout_mark{band.ref, ANAOUT_REF_COLOR};
    } else if (mode >= ANAOUT_MODE_REF_X1 && mode <= ANAOUT_MODE_INV_X4) {
        view->mark[view->marks++] = anaout_mark{t->reference >> 16, ANAOUT_REF_COLOR};
    }
    return ANAOUT_OK;
}

int anaout_transfer(para_record* rec, int row, int mode, int channel, int zoom, anaout_view* view) {
    const int rc = anaout_set_row(rec, row, mode, channel);
    if (rc == ANAOUT_OK && view) anaout_view_of(rec, row, mode, channel, zoom, view);
    return rc;
}
