// The display side of a measurement record: the numbers of the main display,
// the I/O picture, the two values of the general settings panel, and the
// strip chart with its trace selectors (which the oscillograph window shares).
#include "run/run_mode.h"
#include "ui/help_hook.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstring>

run_hooks run_hook = {};

namespace {

// The record's numbers on graph1, channel A then B, in record order.
struct channel_ctrls {
    int result, cntr, raw, max, val, filt, deriv, smooth, minval, maxval;
};
const channel_ctrls numerics[2] = {
    {GRAPH1_NUM_RESULTA, GRAPH1_NUM_CNTRA, GRAPH1_NUM_RAWA, GRAPH1_NUM_MAXA, GRAPH1_NUM_VALA,
     GRAPH1_NUM_FILTA, GRAPH1_NUM_DERIVA, GRAPH1_NUM_SMOOTHA, GRAPH1_NUM_MINVALA, GRAPH1_NUM_MAXVALA},
    {GRAPH1_NUM_RESULTB, GRAPH1_NUM_CNTRB, GRAPH1_NUM_RAWB, GRAPH1_NUM_MAXB, GRAPH1_NUM_VALB,
     GRAPH1_NUM_FILTB, GRAPH1_NUM_DERIVB, GRAPH1_NUM_SMOOTHB, GRAPH1_NUM_MINVALB, GRAPH1_NUM_MAXVALB},
};
const int leds[LED_COUNT] = {GRAPH1_LED_IN0, GRAPH1_LED_IN1, GRAPH1_LED_OUT0, GRAPH1_LED_OUT1,
                             GRAPH1_LED_OUT2};

// The twelve selectors; graph1 and osci1 number them alike but apart.
enum { SEL_SWITCHES = 10 };
struct selector_set {
    int switches[SEL_SWITCHES]; // RAW/MAX, VAL, MIN/MAX VAL, CNTR, RESULT of A, then of B
    int zoom_x, zoom_y;
};
const selector_set graph1_selectors = {
    {GRAPH1_BINS_RAWMAXA, GRAPH1_BINS_VALA, GRAPH1_BINS_MINMAXA, GRAPH1_BINS_CNTRA, GRAPH1_BINS_RESULTA,
     GRAPH1_BINS_RAWMAXB, GRAPH1_BINS_VALB, GRAPH1_BINS_MINMAXB, GRAPH1_BINS_CNTRB, GRAPH1_BINS_RESULTB},
    GRAPH1_RING_ZOOMX,
    GRAPH1_RING_ZOOMY,
};
const selector_set osci1_selectors = {
    {OSCI1_BINS_RAWMAXA, OSCI1_BINS_VALA, OSCI1_BINS_MINMAXA, OSCI1_BINS_CNTRA, OSCI1_BINS_RESULTA,
     OSCI1_BINS_RAWMAXB, OSCI1_BINS_VALB, OSCI1_BINS_MINMAXB, OSCI1_BINS_CNTRB, OSCI1_BINS_RESULTB},
    OSCI1_RING_ZOOMX,
    OSCI1_RING_ZOOMY,
};
const selector_set* selectors_of(int panel) {
    if (panel == graph1) return &graph1_selectors;
    if (panel == osci1) return &osci1_selectors;
    return nullptr;
}

// The flags a switch sets: RAW/MAX and MIN/MAX VAL set two each.
struct switch_flags {
    int trace_record::*first;
    int trace_record::*second;
};
const switch_flags flags_of[SEL_SWITCHES] = {
    {&trace_record::raw_on_A, &trace_record::max_on_A},
    {&trace_record::video_on_A, nullptr},
    {&trace_record::minval_on_A, &trace_record::maxval_on_A},
    {&trace_record::cntr_on_A, nullptr},
    {&trace_record::result_on_A, nullptr},
    {&trace_record::raw_on_B, &trace_record::max_on_B},
    {&trace_record::video_on_B, nullptr},
    {&trace_record::minval_on_B, &trace_record::maxval_on_B},
    {&trace_record::cntr_on_B, nullptr},
    {&trace_record::result_on_B, nullptr},
};

void clear_video(int channel) {
    if (run_hook.clear_video) {
        run_hook.clear_video(channel);
        return;
    }
    DeleteGraphPlot(graph1, channel ? GRAPH1_GRAPH_VIDEOB : GRAPH1_GRAPH_VIDEOA, -1, UI_DELAYED_DRAW);
}

} // namespace

// ---- a record --------------------------------------------------------------------------------

void update_DATA(const uint16_t* rec, const trace_record* tr) {
    meas_values v;
    meas_decode(rec, &v);
    for (int c = 0; c < 2; c++) {
        const meas_channel& m = v.chan[c];
        const channel_ctrls& n = numerics[c];
        SetCtrlVal(graph1, n.result, m.result);
        SetCtrlVal(graph1, n.cntr, static_cast<int>(m.cntr));
        SetCtrlVal(graph1, n.raw, static_cast<int>(m.raw));
        SetCtrlVal(graph1, n.max, static_cast<int>(m.max));
        SetCtrlVal(graph1, n.val, static_cast<int>(m.val));
        SetCtrlVal(graph1, n.filt, static_cast<int>(m.filtered));
        SetCtrlVal(graph1, n.deriv, static_cast<int>(m.derivation));
        SetCtrlVal(graph1, n.smooth, static_cast<int>(m.aux));
        SetCtrlVal(graph1, n.minval, static_cast<int>(m.minval));
        SetCtrlVal(graph1, n.maxval, static_cast<int>(m.maxval));
    }
    SetCtrlVal(tab7, TAB7_NUM_FREQUENCY, v.cycle_rate);
    SetCtrlVal(tab7, TAB7_NUM_ADTIME, v.minutes);
    SetCtrlVal(graph1, GRAPH1_NUM_ANA, static_cast<int>(v.ana));
    for (int i = 0; i < LED_COUNT; i++) SetCtrlVal(graph1, leds[i], v.led[i]);
    const int ms_axis = run_hook.osci_mode ? run_hook.osci_mode() : 0;
    runs.osci_gain = meas_osci_gain(rec, ms_axis, paras.para_pc.osci_skipA);

    stc_range r = stc_update(stc_data, rec, &paras.para_pc, tr);
    SetAxisScalingMode(graph1, GRAPH1_STRIP_DATA, UI_LEFT_YAXIS, UI_MANUAL, r.low, r.high);
    SetCtrlAttribute(graph1, GRAPH1_STRIP_DATA, ATTR_POINTS_PER_SCREEN, stc_points_per_screen(tr));
    PlotStripChart(graph1, GRAPH1_STRIP_DATA, stc_data, STC_ROWS * STC_TRACES, UI_DOUBLE);
}

// ---- strip chart --------------------------------------------------------------------------------

void configure_STC(const trace_record* tr) {
    SetCtrlAttribute(graph1, GRAPH1_STRIP_DATA, ATTR_NUM_TRACES, STC_TRACES);
    SetCtrlAttribute(graph1, GRAPH1_STRIP_DATA, ATTR_POINTS_PER_SCREEN, stc_points_per_screen(tr));
    stc_range r = stc_initial_range(tr);
    SetAxisScalingMode(graph1, GRAPH1_STRIP_DATA, UI_LEFT_YAXIS, UI_MANUAL, r.low, r.high);
    for (int t = 0; t < STC_TRACES; t++) {
        const stc_trace& s = stc_traces[t];
        SetTraceAttribute(graph1, GRAPH1_STRIP_DATA, t + 1, ATTR_TRACE_COLOR, MakeColor(s.r, s.g, s.b));
        SetTraceAttribute(graph1, GRAPH1_STRIP_DATA, t + 1, ATTR_LINE_STYLE, s.line);
        SetTraceAttribute(graph1, GRAPH1_STRIP_DATA, t + 1, ATTR_PLOT_STYLE, s.width);
        SetTraceAttribute(graph1, GRAPH1_STRIP_DATA, t + 1, ATTR_TRACE_VISIBLE, stc_trace_visible(tr, t));
    }
}

void prep_for_stripchart() {
    SetCtrlAttribute(graph1, GRAPH1_STRIP_DATA, ATTR_VISIBLE, 1);
    SetCtrlAttribute(graph1, GRAPH1_GRAPH_VIDEOA, ATTR_VISIBLE, 0);
    SetCtrlAttribute(graph1, GRAPH1_GRAPH_VIDEOB, ATTR_VISIBLE, 0);
    SetCtrlAttribute(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED, 1);
}

// ---- trace selectors ---------------------------------------------------------------------------

void trace_selectors_get(int panel, trace_record* tr) {
    const selector_set* s = selectors_of(panel);
    if (!s) return;
    for (int i = 0; i < SEL_SWITCHES; i++) {
        int on = 0;
        if (GetCtrlVal(panel, s->switches[i], &on) < 0) continue;
        tr->*flags_of[i].first = on != 0;
        if (flags_of[i].second) tr->*flags_of[i].second = on != 0;
    }
    int x = 0, y = 0;
    if (GetCtrlVal(panel, s->zoom_x, &x) >= 0 && x > 0) {
        tr->stc_points = x;
        tr->zoom_span_x = x;
    }
    if (GetCtrlVal(panel, s->zoom_y, &y) >= 0 && y > 0) {
        tr->stc_span = y;
        tr->zoom_span_y = y;
    }
}

void trace_selectors_set(int panel, const trace_record* tr) {
    const selector_set* s = selectors_of(panel);
    if (!s) return;
    for (int i = 0; i < SEL_SWITCHES; i++) SetCtrlVal(panel, s->switches[i], tr->*flags_of[i].first ? 1 : 0);
    SetCtrlVal(panel, s->zoom_x, tr->zoom_span_x);
    SetCtrlVal(panel, s->zoom_y, tr->zoom_span_y);
}

int CC_TRACE_SELECT(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT) return 0;
    trace_selectors_get(panel, &traces);
    if (!traces.video_on_A) clear_video(0);
    if (!traces.video_on_B) clear_video(1);
    trace_selectors_set(panel == graph1 ? osci1 : graph1, &traces);
    if (run_hook.osci_zoom) run_hook.osci_zoom(traces.zoom_span_y, traces.zoom_span_x);
    configure_STC(&traces);
    return 0;
}

// ---- help on the display ---------------------------------------------------------------------------
// The strip chart and the controller I/O picture have callbacks only to answer a
// right click; the numerics and the display's background are the help's own.

int CC_STRIPCHART(int panel, int control, int event, void*, int, int) {
    return event == EVENT_RIGHT_CLICK ? show_ctrl_help(panel, control) : 0;
}

int CC_CONTROLER_IF(int panel, int control, int event, void*, int, int) {
    return event == EVENT_RIGHT_CLICK ? show_ctrl_help(panel, control) : 0;
}
