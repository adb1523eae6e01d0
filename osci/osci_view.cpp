// View arithmetic of the oscillograph window (see osci_view.h).
#include "osci/osci_view.h"

namespace {

osci_view view_over(double slider, int zoom_span, int whole, double last) {
    double span = 100.0 * zoom_span / whole;
    // An empty or oversized span would give an empty or inverted axis range, which the
    // graph refuses; the whole area is the only view that makes sense then.
    if (span <= 0.0 || span > 100.0) span = 100.0;
    if (!(slider >= 0.0)) slider = 0.0;
    if (slider > 100.0) slider = 100.0;
    double edge = slider + span;
    if (edge > 100.0) edge = 100.0;
    slider = edge - span;
    return {slider, edge, last * slider / 100.0, last * edge / 100.0};
}

} // namespace

osci_view osci_vertical_view(double slider, int zoom_span_y) {
    return view_over(slider, zoom_span_y, OSCI_COUNTS, OSCI_LAST_COUNT);
}

osci_view osci_horizontal_view(double slider, int zoom_span_x) {
    return view_over(slider, zoom_span_x, OSCI_POSITIONS, OSCI_LAST_POSITION);
}

osci_cursor_place osci_trigger_cursor(int pretrigger, double xmin, double xmax, double ymin) {
    const double p = OSCI_LAST_POSITION - pretrigger;
    if (xmin <= p && p <= xmax) return {p, ymin, 1};
    return {(xmin + xmax) / 2.0, ymin, 0};
}

int osci_pretrigger_from_cursor(double x) {
    if (!(x >= 0.0)) x = 0.0;
    if (x > OSCI_LAST_POSITION) x = OSCI_LAST_POSITION;
    return static_cast<int>(OSCI_LAST_POSITION) - static_cast<int>(x);
}

osci_readouts osci_measure(double x3, double y3, double x4, double y4, int osci_mode, double osci_gain) {
    if (osci_mode == 1) {
        x3 *= osci_gain;
        x4 *= osci_gain;
    }
    return {x3, y3, x4, y4, x4 - x3, y4 - y3};
}
