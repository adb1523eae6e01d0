// View arithmetic of the oscillograph window: the vertical and horizontal view
// windows set by the two sliders and the zoom spans, the trigger cursors that show
// (and set) each channel's pretrigger, and the measurement-cursor readouts.
//
// The sliders hold the lower and left edge of the view in percent of the data area
// (1024 sample positions, 4096 counts); the zoom spans say how much of it is visible.
// A view never runs past 100 %: the slider is pulled back instead, and the caller
// writes the corrected slider back to its control.
#pragma once

constexpr int OSCI_POSITIONS = 1024; // sample positions across
constexpr int OSCI_COUNTS = 4096;    // counts up
constexpr double OSCI_LAST_POSITION = 1023.0;
constexpr double OSCI_LAST_COUNT = 4095.0;

// One view window: the slider after correction, the far edge (both in percent) and
// the axis range to apply with manual scaling.
struct osci_view {
    double slider; // lower or left edge, percent
    double edge;   // upper or right edge, percent: shown in the "top" or "right" field
    double min;    // axis range
    double max;
};

// Vertical view for the slider (0..100 %) and zoom_span_y (counts visible).
// span = 100 * zoom_span_y / 4096; top = min(slider + span, 100); slider = top - span;
// y range 4095 * slider / 100 .. 4095 * top / 100. A slider outside 0..100 is taken at
// the nearer end; a span of 0 or less, or above the whole area, shows the whole area.
osci_view osci_vertical_view(double slider, int zoom_span_y);

// Horizontal view for the slider and zoom_span_x (positions visible), the same way over
// 1024 positions: x range 1023 * slider / 100 .. 1023 * right / 100.
osci_view osci_horizontal_view(double slider, int zoom_span_x);

// Where a trigger cursor goes for a pretrigger (the channel's 16-bit field) in the view
// xmin..xmax, at the lower end of the y axis: at x = 1023 - pretrigger when that lies in
// the view (shown: channel colour, enabled), otherwise parked in the middle of the view
// (transparent, disabled).
struct osci_cursor_place {
    double x;
    double y;
    int shown; // 1: in view; 0: parked
};
osci_cursor_place osci_trigger_cursor(int pretrigger, double xmin, double xmax, double ymin);

// Pretrigger set by dragging a trigger cursor to x: 1023 - x, x cut toward zero. The
// graph keeps cursors on its 0..1023 axis; anything beyond (or not a number) is taken at
// the nearer end (0 for not a number), so the result is always 0..1023.
int osci_pretrigger_from_cursor(double x);

// Cursor numbers on the oscillograph graph.
enum { OSCI_CURSOR_TRIG_A = 1, OSCI_CURSOR_TRIG_B = 2, OSCI_CURSOR_3 = 3, OSCI_CURSOR_4 = 4 };

// Readouts of the two measurement cursors. With the millisecond axis (osci_mode 1) the
// x positions are multiplied by osci_gain (milliseconds per sample); the deltas are
// cursor 4 minus cursor 3 of the values shown.
struct osci_readouts {
    double x3, y3, x4, y4;
    double dx, dy;
};
osci_readouts osci_measure(double x3, double y3, double x4, double y4, int osci_mode, double osci_gain);
