#include "help/help_screen.h"

#include <climits>
#include <cmath>
#include <cstring>

help_screen active_helpscr;
int tick_cntr;
int help_status;

// ---- templates ----------------------------------------------------------------------------
// Built by constant expressions, so they are complete before any code runs, and a
// label or name too long for its field stops the build.

namespace {

constexpr void put_text(char* dst, const char* src) {
    while ((*dst++ = *src++) != '\0') {
    }
}

// The record every template starts from: no texts, no traces, no generators.
constexpr help_screen blank(const char* upper_label, const char* lower_label) {
    help_screen s{};
    put_text(s.upper.label, upper_label);
    put_text(s.lower.label, lower_label);
    s.upper.flag = 0;
    s.lower.flag = 1;
    return s;
}

constexpr void set_trace(help_chart& chart, int slot, int colour, int plot_style, int line_style) {
    chart.colours[slot - 1] = colour;
    chart.plot_styles[slot - 1] = plot_style;
    chart.line_styles[slot - 1] = line_style;
}

constexpr void upper_slot(help_screen& s, int slot, help_generator generator, int start) {
    s.upper_generators[slot - 1] = generator;
    s.upper_values[slot - 1] = start;
}

// An upper slot that is drawn, with the name of its value indicator.
constexpr void upper_trace(help_screen& s, int slot, const char* name, help_generator generator, int start,
                           int colour, int plot_style, int line_style) {
    upper_slot(s, slot, generator, start);
    put_text(s.trace_names[slot - 1], name);
    set_trace(s.upper, slot, colour, plot_style, line_style);
}

constexpr char none[] = "No visualisation available.";

constexpr help_screen no_visual() {
    help_screen s = blank(none, none);
    for (char* name : s.trace_names) put_text(name, ".");
    return s;
}

// The raw value rides on a ramp (slot 5, not drawn); its peak-hold maximum decays in
// growing steps, and the normalised value is the raw value scaled by that maximum.
constexpr help_screen raw_norm() {
    help_screen s = blank("RAW value (fat blue), max{RAW} value (blue dash) and NORM value (RED)", none);
    s.upper.count = 4;
    upper_trace(s, 1, "RAW", sine_of_fifth, 1, HELP_BLUE, HELP_THICK, HELP_SOLID);
    upper_trace(s, 2, "max{RAW}", max_of_1st_value_step_in_third, 1, HELP_BLUE, HELP_THIN, HELP_DASHED);
    upper_trace(s, 3, "step", decr_2nd_every_16, 1, HELP_RED, HELP_THIN, HELP_DASHED);
    upper_trace(s, 4, "NORM", norm_1st_with_2nd_value, 1, HELP_RED, HELP_THICK, HELP_SOLID);
    upper_slot(s, 5, raw_ramp, 0);
    return s;
}

// Minimum and maximum follow the value and jump to it on each reset (slot 4, not drawn).
constexpr help_screen min_max() {
    help_screen s =
        blank("NORM value (blue), max{NORM} value (red) and min{NORM} value (red)", "Reset signal (red)");
    s.upper.count = 3;
    upper_trace(s, 1, "NORM", schwebung, 1, HELP_BLUE, HELP_THICK, HELP_SOLID);
    upper_trace(s, 2, "max{NORM}", max_of_1st_value, 1, HELP_RED, HELP_THIN, HELP_DASHED);
    upper_trace(s, 3, "min{NORM}", min_of_1st_value, 1, HELP_RED, HELP_THIN, HELP_DASHED);
    upper_slot(s, 4, reset_2nd_3rd, 1);
    s.lower.count = 1;
    s.lower_generators[0] = reset_2nd_3rd_digital;
    set_trace(s.lower, 1, HELP_RED, HELP_THICK, HELP_SOLID);
    return s;
}

// The counter counts rising edges over the trigger level. Upper slot 4 (not drawn)
// compares value and level and writes the trigger signal into lower slot 1, which has
// no generator of its own.
constexpr help_screen trigg_count() {
    help_screen s =
        blank("NORM value (red), triggerlevel (blue)", "Trigger signal (blue), reset signal (red)");
    s.upper.count = 3;
    upper_trace(s, 1, "NORM", val_sine, 1, HELP_RED, HELP_THICK, HELP_SOLID);
    upper_trace(s, 2, "TRIG-LVL", trigger_lvl, 1, HELP_BLUE, HELP_THIN, HELP_DASHED);
    upper_trace(s, 3, "CNTR", count_trigg_low, 1, HELP_TRANSPARENT, HELP_THIN, HELP_SOLID);
    upper_slot(s, 4, compare_1st_2nd, 1);
    s.lower.count = 2;
    set_trace(s.lower, 1, HELP_BLUE, HELP_THICK, HELP_SOLID);
    s.lower_generators[1] = reset_cntr_value;
    set_trace(s.lower, 2, HELP_RED, HELP_THICK, HELP_SOLID);
    return s;
}

} // namespace

constinit const help_screen std_helpscr_noVisual = no_visual();
constinit const help_screen helpscr_RAW_NORM = raw_norm();
constinit const help_screen helpscr_MIN_MAX = min_max();
constinit const help_screen helpscr_TRIGG_COUNT = trigg_count();

// ---- copying ----------------------------------------------------------------------------

namespace {

// Copies at most cap - 1 characters and always terminates; never reads past them.
void copy_text(char* dst, size_t cap, const char* src) {
    const size_t n = src ? strnlen(src, cap - 1) : 0;
    if (n) std::memmove(dst, src, n);
    dst[n] = '\0';
}

template <size_t N>
void copy_text(char (&dst)[N], const char* src) {
    copy_text(dst, N, src);
}

void copy_chart(help_chart* dst, const help_chart* src) {
    dst->count = src->count;
    std::memcpy(dst->colours, src->colours, sizeof dst->colours);
    std::memcpy(dst->plot_styles, src->plot_styles, sizeof dst->plot_styles);
    std::memcpy(dst->line_styles, src->line_styles, sizeof dst->line_styles);
    copy_text(dst->label, src->label);
    dst->flag = src->flag;
}

} // namespace

int copy_helpscr(help_screen* dest, const help_screen* src) {
    if (!dest || !src) return -1;
    // memmove-based text copies make a copy onto itself just a cut to the limits.
    copy_text(dest->panel_text, src->panel_text);
    copy_text(dest->control_text, src->control_text);
    std::memmove(dest->upper_values, src->upper_values, sizeof dest->upper_values);
    std::memmove(dest->lower_values, src->lower_values, sizeof dest->lower_values);
    std::memmove(dest->upper_generators, src->upper_generators, sizeof dest->upper_generators);
    std::memmove(dest->lower_generators, src->lower_generators, sizeof dest->lower_generators);
    if (dest != src) {
        copy_chart(&dest->upper, &src->upper);
        copy_chart(&dest->lower, &src->lower);
    } else {
        copy_text(dest->upper.label, src->upper.label);
        copy_text(dest->lower.label, src->lower.label);
    }
    for (int i = 0; i < HELP_SLOTS; i++) copy_text(dest->trace_names[i], src->trace_names[i]);
    return 0;
}

int help_set_texts(help_screen* scr, const char* panel_text, const char* control_text) {
    if (!scr) return -1;
    copy_text(scr->panel_text, panel_text);
    copy_text(scr->control_text, control_text);
    return 0;
}

int help_chart_traces(const help_chart* chart) {
    if (!chart || chart->count < 1) return 1;
    return chart->count > HELP_SLOTS ? HELP_SLOTS : chart->count;
}

// ---- animation tick -----------------------------------------------------------------------

namespace {

int wrap(int t, int period) {
    const int m = t % period;
    return m < 0 ? m + period : m;
}

int points(const help_chart& chart) {
    if (chart.count <= 0) return 0;
    return chart.count > HELP_SLOTS ? HELP_SLOTS : chart.count;
}

} // namespace

int help_tick(help_screen* scr, int* tick, help_frame* frame) {
    if (!scr || !tick) return -1;
    const int t = (wrap(*tick, HELP_TICKS) + 1) % HELP_TICKS;
    *tick = t;
    for (int k = 0; k < HELP_SLOTS; k++) {
        if (scr->upper_generators[k])
            scr->upper_values[k] = scr->upper_generators[k](t, k + 1, scr->upper_values, scr->lower_values);
    }
    if (frame) {
        frame->upper_points = points(scr->upper);
        std::memcpy(frame->upper, scr->upper_values, sizeof frame->upper);
    }
    for (int k = 0; k < HELP_SLOTS; k++) {
        if (scr->lower_generators[k])
            scr->lower_values[k] = scr->lower_generators[k](t, k + 1, scr->upper_values, scr->lower_values);
    }
    if (frame) {
        frame->lower_points = points(scr->lower);
        std::memcpy(frame->lower, scr->lower_values, sizeof frame->lower);
    }
    return t;
}

// ---- generators ---------------------------------------------------------------------------
// U(k) is upper value k counted from 1, as the generators' descriptions count slots.

namespace {

constexpr double two_pi = 6.283185307179586476925286766559;

bool usable(int slot, const int* upper, const int* lower) {
    return slot >= 1 && slot <= HELP_SLOTS && upper && lower;
}

double wave(int t, int period) {
    return std::sin(two_pi * wrap(t, period) / period);
}

int saturate(long long v) {
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return static_cast<int>(v);
}

#define U(k) upper[(k)-1]
#define L(k) lower[(k)-1]

} // namespace

int schwebung(int tick, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    return static_cast<int>(768.0 * (wave(tick, 8) + wave(tick, 64)) + 2048.0);
}

int sine_of_fifth(int tick, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    const int h = U(5) / 2;
    return h + static_cast<int>(h * wave(tick, 16));
}

int raw_ramp(int tick, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    const int m = wrap(tick, 512);
    const int previous = U(slot);
    if (m >= 17 && m <= 144) return previous > 1040 ? previous - 16 : 1024;
    if (m >= 145 && m <= 272) return 1024;
    if (m >= 273 && m <= 400) return previous < 3056 ? previous + 16 : 3072;
    return 3072;
}

int raw_sine(int tick, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    return static_cast<int>(1279.0 * wave(tick, 512)) + 1280;
}

int val_sine(int tick, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    return static_cast<int>(1536.0 * wave(tick, 16)) + 2048;
}

int max_of_1st_value(int, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    return U(1) > U(slot) ? U(1) : U(slot);
}

int max_of_1st_value_step_in_third(int, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    if (U(1) <= U(slot)) return U(slot);
    U(3) = 1;
    return U(1);
}

int min_of_1st_value(int, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    return U(1) < U(slot) ? U(1) : U(slot);
}

int norm_1st_with_2nd_value(int, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    const long long divisor = U(2) == 0 ? 1 : U(2);
    const long long v = static_cast<long long>(U(1)) * 4095 / divisor;
    return v < 0 ? 0 : v > 4095 ? 4095 : static_cast<int>(v);
}

int decr_2nd_every_16(int tick, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    const int previous = U(slot);
    if (wrap(tick, 16) != 4) return previous; // (t + 12) mod 16 = 0
    const long long lowered = static_cast<long long>(U(2)) - previous;
    if (lowered < U(1)) {
        U(2) = U(1);
        return 1;
    }
    U(2) = saturate(lowered);
    const long long doubled = 2LL * previous;
    return doubled > 1024 ? 1024 : saturate(doubled);
}

int reset_2nd_3rd(int tick, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    if (wrap(tick, 64) == 32) U(2) = U(3) = U(1);
    return 0;
}

int reset_2nd_3rd_digital(int tick, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    return wrap(tick, 64) <= 32 ? 2925 : 3510;
}

int trigger_lvl(int, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    return 3072;
}

int count_trigg_low(int, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    if (U(2) < U(1) && U(4) <= 0) return saturate(static_cast<long long>(U(3)) + 1);
    return U(3);
}

int compare_1st_2nd(int, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    const long long d = static_cast<long long>(U(1)) - U(2);
    L(1) = d < 0 ? 2925 : 3510;
    return saturate(d);
}

int reset_cntr_value(int tick, int slot, int* upper, int* lower) {
    if (!usable(slot, upper, lower)) return 0;
    const int m = (wrap(tick, 128) + 4) % 128;
    if (m == 64) U(3) = 0;
    return m < 64 ? 1755 : 2340;
}

int dummy(int, int slot, int* upper, int* lower) {
    (void)slot, (void)upper, (void)lower;
    return 0;
}

#undef U
#undef L
