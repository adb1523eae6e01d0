// The context-help record and its animated visualisations.
//
// A help screen carries the two help texts (the panel's and the control's) and,
// for some measurement values, the set-up of two small strip charts whose
// traces are driven by signal generators imitating what the unit computes: a
// raw value with its peak-hold maximum and the normalised value, minimum and
// maximum with their reset, and trigger counting. Four constant templates hold
// the set-ups; the working record `active_helpscr` holds what is shown.
//
// Everything here is plain data and arithmetic; the help panels draw the
// record and call help_tick from their animation timer.
#pragma once

#include <cstddef>

constexpr int HELP_SLOTS = 8;        // traces per chart, generator slots per row
constexpr int HELP_TEXT_SIZE = 2048; // panel text, control text (2047 characters)
constexpr int HELP_LABEL_SIZE = 128; // chart labels (127 characters)
constexpr int HELP_NAME_SIZE = 32;   // value indicator names (31 characters)
constexpr int HELP_TICKS = 4096;     // the tick counter runs 0..4095; every period used divides it

constexpr int HELP_BLUE = 0x0000FF;
constexpr int HELP_RED = 0xFF0000;
constexpr int HELP_TRANSPARENT = 0x1000000; // a trace that is there but not seen
constexpr int HELP_THIN = 0;                // plot styles
constexpr int HELP_THICK = 5;
constexpr int HELP_SOLID = 0; // line styles
constexpr int HELP_DASHED = 1;

// A generator: (tick, slot 1..8, upper values, lower values) -> the value the
// caller stores in the generator's own slot. Slots are numbered from 1; U[1]
// is upper[0]. Generators that keep a running value (ramp, maximum, minimum,
// decay step) take it from the upper value of their slot: they serve the upper
// chart. Some also write other slots, as their comments say. A slot outside
// 1..8 or a null array gives 0 and writes nothing.
using help_generator = int (*)(int tick, int slot, int* upper, int* lower);

// One strip chart of the visualisation panel.
struct help_chart {
    int count;                   // traces drawn; 0 = no visualisation
    int colours[HELP_SLOTS];     // 0xRRGGBB
    int plot_styles[HELP_SLOTS]; // HELP_THIN, HELP_THICK
    int line_styles[HELP_SLOTS]; // HELP_SOLID, HELP_DASHED
    char label[HELP_LABEL_SIZE];
    int flag; // display attribute of the chart: 0 upper, 1 lower in every template
};

struct help_screen {
    char panel_text[HELP_TEXT_SIZE];   // upper text box of the help text panel
    char control_text[HELP_TEXT_SIZE]; // lower text box
    int upper_values[HELP_SLOTS];
    int lower_values[HELP_SLOTS];
    help_generator upper_generators[HELP_SLOTS]; // null: the slot keeps its value
    help_generator lower_generators[HELP_SLOTS];
    help_chart upper;
    char trace_names[HELP_SLOTS][HELP_NAME_SIZE]; // labels of the eight value indicators
    help_chart lower;
};

// The templates. Texts are empty; the values are the start values.
extern const help_screen std_helpscr_noVisual;
extern const help_screen helpscr_RAW_NORM;
extern const help_screen helpscr_MIN_MAX;
extern const help_screen helpscr_TRIGG_COUNT;

extern help_screen active_helpscr; // what the help panels show
extern int tick_cntr;              // animation tick, 0..4095, never reset
extern int help_status;            // 1 while the HELP button is on (tooltips installed)

// Copies a whole record. Texts are cut at 2047 characters, labels at 127 and
// trace names at 31, and always end in a zero, so a source that lacks one
// cannot make the copy read or write past its fields. Returns 0, or -1 when
// either pointer is null (nothing is copied then).
int copy_helpscr(help_screen* dest, const help_screen* src);

// Puts the two texts into a record, cut as in copy_helpscr; a null text
// becomes empty. Returns 0, or -1 for a null record.
int help_set_texts(help_screen* scr, const char* panel_text, const char* control_text);

// Traces a chart of this record is given when it is shown: one (an invisible
// one) when its count is below 1, else the count, at most 8.
int help_chart_traces(const help_chart* chart);

// What one tick leaves to draw: the points to append to each chart and the
// values the indicators show. The upper values are taken after the upper
// generators ran and before the lower ones, as they were when the upper chart
// got its point.
struct help_frame {
    int upper_points; // points to append to the upper chart (0 when it has no traces)
    int upper[HELP_SLOTS];
    int lower_points;
    int lower[HELP_SLOTS];
};

// One animation tick: *tick = (*tick + 1) mod 4096 (a tick outside 0..4095 is
// first brought into range), then the upper generators in slot order 1..8, then
// the lower ones, each with the new tick and each seeing what the slots before
// it wrote in this tick. `frame` may be null. Returns the new tick, or -1 when
// `scr` or `tick` is null.
int help_tick(help_screen* scr, int* tick, help_frame* frame);

// ---- generators ----------------------------------------------------------------------
// int() below truncates toward zero; "previous" is the value of the generator's own
// upper slot. Periods: 8, 16, 64, 128 and 512 ticks.

// int(768 * (sin(2 pi (t mod 8)/8) + sin(2 pi (t mod 64)/64)) + 2048): a beat of two sines.
int schwebung(int tick, int slot, int* upper, int* lower);
// h + int(h * sin(2 pi (t mod 16)/16)) with h = U[5] / 2: a sine scaled by slot 5 (not for slot 5).
int sine_of_fifth(int tick, int slot, int* upper, int* lower);
// Trapezoid between 1024 and 3072 with period 512, moving 16 per tick on its flanks.
int raw_ramp(int tick, int slot, int* upper, int* lower);
// int(1279 * sin(2 pi (t mod 512)/512)) + 1280 (in no template).
int raw_sine(int tick, int slot, int* upper, int* lower);
// int(1536 * sin(2 pi (t mod 16)/16)) + 2048.
int val_sine(int tick, int slot, int* upper, int* lower);
// max(U[1], previous).
int max_of_1st_value(int tick, int slot, int* upper, int* lower);
// As max_of_1st_value; a new maximum also sets U[3] (the decay step) to 1.
int max_of_1st_value_step_in_third(int tick, int slot, int* upper, int* lower);
// min(U[1], previous).
int min_of_1st_value(int tick, int slot, int* upper, int* lower);
// U[1] * 4095 / U[2] limited to 0..4095; U[2] = 0 is taken as 1.
int norm_1st_with_2nd_value(int tick, int slot, int* upper, int* lower);
// The decay step of a peak hold: every 16 ticks ((t + 12) mod 16 = 0) U[2] drops by the
// step; below U[1] it is set to U[1] and the step becomes 1, else the step doubles up to
// 1024. Other ticks keep the step.
int decr_2nd_every_16(int tick, int slot, int* upper, int* lower);
// 0; at t mod 64 = 32 sets U[2] and U[3] to U[1] (the reset of minimum and maximum).
int reset_2nd_3rd(int tick, int slot, int* upper, int* lower);
// The reset signal: 2925 while t mod 64 <= 32, else 3510.
int reset_2nd_3rd_digital(int tick, int slot, int* upper, int* lower);
// 3072.
int trigger_lvl(int tick, int slot, int* upper, int* lower);
// U[3] + 1 when U[2] < U[1] and U[4] <= 0 (a rising edge over the level), else U[3].
int count_trigg_low(int tick, int slot, int* upper, int* lower);
// d = U[1] - U[2]; sets L[1] to 2925 when d < 0, else 3510; returns d.
int compare_1st_2nd(int tick, int slot, int* upper, int* lower);
// With m = (t + 4) mod 128: 1755 while m < 64, else 2340; at m = 64 sets U[3] to 0.
int reset_cntr_value(int tick, int slot, int* upper, int* lower);
// 0 (in no template).
int dummy(int tick, int slot, int* upper, int* lower);
