// The analog output's transfer characteristic as numbers: the output of a row
// for an input, the rows each scaling preset gives, the rows a change of source
// or preset sets, the two end points of a row's line and the row through two
// points, and everything the transfer view draws. No user interface here: the
// general settings panel calls these and draws what they return.
//
// A row (anaout_scaling) maps an input count x (0..4095) to an output count:
//     out(x) = clamp(((x * gain) >> (15 - shift)) + offset, 0, 4095)
// with an arithmetic (flooring) right shift, and a left shift by shift - 15 when
// that distance is negative. The slope is gain * 2^(shift - 15); gain 16384 with
// shift 1 is the identity. The unit computes this in 32 bits with shifts it
// never sees out of range. Rows read from a parameter file or from the unit may
// hold any gain, shift and offset, so everything here is computed in 64-bit
// integers or doubles with the shift distance saturated: a row never leads to
// undefined arithmetic, only to an output clamped to 0..4095.
#pragma once

#include "params/para_record.h"

constexpr int ANAOUT_MAX = 4095;    // largest input and output count (10.0 V)
constexpr int ANAOUT_POINTS = 4096; // inputs 0..4095
constexpr int ANAOUT_ROWS = 4;      // rows in para_record::anaout_scale
constexpr int ANAOUT_SOURCES = 12;  // sources 0 ("OFF") .. 11 ("DERIV B")

// Scaling modes: the scale list's preset values plus -1 (off) and 1 (keep the
// row as it is, for a row entered by hand).
enum {
    ANAOUT_MODE_OFF = -1,
    ANAOUT_MODE_NO_SCALE = 0,
    ANAOUT_MODE_KEEP = 1,
    ANAOUT_MODE_ZOOM = 2,   // "ZOOM TOLERANCE"
    ANAOUT_MODE_REF_X1 = 3, // "REF -> 5V, Gain:x1"; x2 and x4 follow
    ANAOUT_MODE_REF_X4 = 5,
    ANAOUT_MODE_INV_X1 = 6, // "REF -> 5V, Inv.:x1"; x2 and x4 follow
    ANAOUT_MODE_INV_X4 = 8,
};

// Channel argument: which teach table's entry 0 the presets use. Channel 2 is
// the manual entry: it takes channel A's entry (only mode 1 is used with it)
// and leaves the four numerics of the view as the user typed them.
enum { ANAOUT_CHAN_A = 0, ANAOUT_CHAN_B = 1, ANAOUT_CHAN_MANUAL = 2 };

// Status codes. Non-negative codes leave a valid record behind.
enum {
    ANAOUT_OK = 0,         // row computed (or kept, mode 1): draw it
    ANAOUT_UNCHANGED = 1,  // zoom onto an empty or inverted tolerance band: row left, nothing to draw
    ANAOUT_BAD_MODE = -1,  // mode outside -1..8: row left
    ANAOUT_BAD_ROW = -2,   // row index outside 0..3, or no record
    ANAOUT_BAD_SOURCE = -3 // source outside 0..11: no plan, nothing changes
};
// The developer's text for a status code; "unknown status" for any other value.
const char* anaout_status_text(int code);

struct anaout_point {
    int x; // input count
    int y; // output count
};

// ---- transfer of one row --------------------------------------------------------------

// out(x) of `row`, always 0..4095, for any row and any x (the input is meant to
// be 0..4095; other values follow the same line and are clamped the same way).
int anaout_out(const anaout_scaling* row, int x);
// out(0) .. out(4095) into `y`, as the graph wants them (doubles).
void anaout_curve(const anaout_scaling* row, double y[ANAOUT_POINTS]);
// The row's slope gain * 2^(shift - 15), exact; the shift is saturated to
// -64..64, so the result is finite and non-zero unless gain is 0.
double anaout_slope(const anaout_scaling* row);

// ---- rows of the presets --------------------------------------------------------------

// The tolerance band of a teach entry in whole counts: L = integer part of
// (reference - low tolerance) raised to 0, U = integer part of (reference + high
// tolerance) lowered to 4095, R = integer part of the reference (floored, as the
// unit's fixed point does). Returns ANAOUT_OK when U > L, else ANAOUT_UNCHANGED
// (equal 16.16 values, equal integer parts, or U below L: tolerances from a
// file may be negative). The band is filled either way.
struct anaout_band {
    int low;  // L
    int ref;  // R, not clamped
    int high; // U
};
int anaout_zoom_band(const teach_entry* t, anaout_band* band);

// "ZOOM TOLERANCE": the row that spreads L..U over nearly the whole output
// range (shift s is the number of halvings of 4096 until it is below U - L,
// gain = int(32768 * g / (U - L)), offset = int(-factor * L) * 2^s). U - L = 1
// halves g down to 0 and gives the flat row gain 0, shift 13, offset 0, as the
// unit's own arithmetic does. Returns ANAOUT_OK, or ANAOUT_UNCHANGED with the row
// untouched when the band is empty (see anaout_zoom_band).
int anaout_zoom_row(anaout_scaling* row, const teach_entry* t);

// Sets `row` for `mode` with the reference of `t` (modes 2..8 read it; -1, 0 and
// 1 do not). Returns ANAOUT_OK (mode 1 keeps the row and is OK: it is drawn),
// ANAOUT_UNCHANGED for a zoom onto an empty band, ANAOUT_BAD_MODE.
int anaout_mode_row(anaout_scaling* row, int mode, const teach_entry* t);

// The same on rec->anaout_scale[row] with entry 0 of teachB for channel 1, of
// teachA otherwise. Adds ANAOUT_BAD_ROW.
int anaout_set_row(para_record* rec, int row, int mode, int channel);

// ---- end points ------------------------------------------------------------------------

// The two points where the row's straight line y = slope * x + offset enters and
// leaves the box 0..4095 x 0..4095 (start has the smaller x). Both are (0, 0) for
// a zero slope or a line that stays wholly below 0 or above 4095 over the box.
// Coordinates are rounded half away from zero and lie in 0..4095. The slope is
// anaout_slope's exact one, the slope out() follows, rather than gain shifted as
// an integer (which would drop the odd bits of the gain for negative shifts).
void factor_to_xy(const anaout_scaling* row, anaout_point* start, anaout_point* end);

// The row whose line passes through `start` and `end`: k = dy / dx is halved
// while |k| >= 1 (shift + 1) or doubled while 0 < |k| < 0.5 (shift - 1); gain =
// int(32768 * k), offset = int(y0 - k0 * x0) with the unscaled slope k0, limited
// to the 32-bit range. Points with equal x or equal y give 0, 0, 0.
// Accuracy: for points in the box and |slope| <= 16, out() of the row meets both
// points within 2 counts; steeper lines lose more to the 15-bit gain, about
// slope * x / 32768 counts (164 seen over 10^5 random steep pairs, a few hundred
// at most).
void xy_to_factor(anaout_scaling* row, const anaout_point* start, const anaout_point* end);

// Output counts and volts: 10 / 4095 V per count one way; int(409.5 * volts) the
// other, limited to the int range (so any typed value converts).
double anaout_volts(int counts);
int anaout_counts(double volts);

// The manual entry: row from (start input, start volts) and (end input, end volts).
void anaout_manual_row(anaout_scaling* row, int x_start, double v_start, int x_end, double v_end);

// ---- source and scale changes ------------------------------------------------------------

// What a change of source or preset does: the mode and channel of each row, and
// for a source change how to refill the scale list. Row 0 is the one drawn.
struct anaout_row_plan {
    int mode;
    int channel;
};
struct anaout_plan {
    int list; // ANAOUT_LIST_*
    anaout_row_plan row[ANAOUT_ROWS];
};
enum {
    ANAOUT_LIST_KEEP = -1,    // scale change: the list stays
    ANAOUT_LIST_NO_SCALE = 0, // "NO SCALE" only
    ANAOUT_LIST_FULL = 1,     // every preset (sources RESULT A and RESULT B)
};

// Source `v` chosen on the source ring. ANAOUT_BAD_SOURCE for v outside 0..11.
int anaout_source_plan(int v, anaout_plan* plan);
// Preset `s` chosen on the scale list while the source is `v`. ANAOUT_BAD_SOURCE
// for v outside 0..11 (nothing changes), ANAOUT_BAD_MODE for s outside -1..8.
int anaout_scale_plan(int v, int s, anaout_plan* plan);
// Sets the four rows of `rec` as `plan` says. Returns row 0's status (row 0 is
// drawn when it is ANAOUT_OK); the other rows are set whatever row 0 returned.
int anaout_apply_plan(para_record* rec, const anaout_plan* plan);

// ---- the transfer view -------------------------------------------------------------------

constexpr int ANAOUT_CURVE_COLOR = 0x800000; // RGB 128, 0, 0, drawn as a thick line
constexpr int ANAOUT_BAND_COLOR = 0x00FF00;  // L and U of the zoom preset
constexpr int ANAOUT_REF_COLOR = 0x000000;   // the reference
constexpr int ANAOUT_MARKS = 3;

struct anaout_mark {
    int x;     // input count of a vertical line (the reference may lie outside 0..4095)
    int color; // 0xRRGGBB
};

struct anaout_view {
    double curve[ANAOUT_POINTS]; // out(0) .. out(4095)
    int numerics;                // 1: show the four values below; 0: leave the numerics alone
    int x_start, x_end;          // inputs of the start and end numerics
    double v_start, v_end;       // volts of the start and end numerics
    double axis_min, axis_max;   // x axis range
    int marks;                   // used entries of mark[]
    anaout_mark mark[ANAOUT_MARKS];
};

// Fills `view` for rec->anaout_scale[row] as computed for `mode` and `channel`:
// the curve; the numerics from factor_to_xy's points unless channel is 2 (a flat
// row, start y = end y, shows inputs 0 and 4095 with the volts of out(0) and
// out(4095)); the x axis 0..4095, or with `zoom` from start input - 10 (not
// below 0) to end input + 10 (not above 4095); vertical lines at L and U
// (green) and R (black) for mode 2, at R (black) for modes 3..8. Returns
// ANAOUT_OK or ANAOUT_BAD_ROW; the row itself is not changed.
int anaout_view_of(const para_record* rec, int row, int mode, int channel, int zoom, anaout_view* view);

// What the panel's set_anaout_transfer does short of drawing: computes row `row`
// for `mode` (anaout_set_row) and, when that returns ANAOUT_OK and `view` is
// given, fills `view`. Returns anaout_set_row's status; draw only on ANAOUT_OK.
int anaout_transfer(para_record* rec, int row, int mode, int channel, int zoom, anaout_view* view);
