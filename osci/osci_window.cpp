// The oscillograph window: the view windows of its two sliders and the zoom
// spans, the trigger cursors that show and set each channel's pretrigger, the
// two measurement cursors, the millisecond axis and the legend.
#include "osci/osci_gui.h"
#include "osci/osci_mode.h"
#include "osci/osci_view.h"

#include "run/run_mode.h"
#include "ui/help_hook.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

namespace {

const int window_height = 548;
const int window_width = 790;
const int cursor3_color = 0xFF0000;
const int cursor4_color = 0xFF9900;

const char mismatch_text[] =
    "Oscillograph cannot be scaled in \nmilliseconds because the settings \nof chan A and B "
    "do not match. Set \nthe parameter to identical values \n(by using the 'A = master' "
    "or the \n'B = master' buttons), update the \ncontrol unit and restart the 'VIDEO' "
    "\nmode.";

double slider_value(int ctrl) {
    double v = 0.0;
    GetCtrlVal(osci1, ctrl, &v);
    return v;
}

int pretrigger_field(int channel) {
    int v = 0;
    GetCtrlVal(tab6, channel == 1 ? TAB6_NUMS_PRETRIGB : TAB6_NUMS_PRETRIGA, &v);
    return static_cast<int16_t>(v); // the field is a 16-bit parameter
}

void show_readouts() {
    double x3 = 0, y3 = 0, x4 = 0, y4 = 0;
    GetGraphCursor(osci1, OSCI1_GRAPH_OSCI, OSCI_CURSOR_3, &x3, &y3);
    GetGraphCursor(osci1, OSCI1_GRAPH_OSCI, OSCI_CURSOR_4, &x4, &y4);
    const osci_readouts r = osci_measure(x3, y3, x4, y4, oscis.osci_mode, runs.osci_gain);
    SetCtrlVal(osci1, OSCI1_NUM_C3X, r.x3);
    SetCtrlVal(osci1, OSCI1_NUM_C3Y, r.y3);
    SetCtrlVal(osci1, OSCI1_NUM_C4X, r.x4);
    SetCtrlVal(osci1, OSCI1_NUM_C4Y, r.y4);
    SetCtrlVal(osci1, OSCI1_NUM_DX, r.dx);
    SetCtrlVal(osci1, OSCI1_NUM_DY, r.dy);
}

// ---- legend ----

enum legend_kind { LEGEND_LINE, LEGEND_TRIGGER };

struct legend_item {
    int kind;
    int color;
    int x, y;          // line: from (x, y) 25 pixels to the right; trigger: its axis x
    const char* text1; // beside the line, or the upper text of a trigger
    const char* text2; // lower text of a trigger
    int text_x;
};

const legend_item legend[] = {
    {LEGEND_LINE, 0x00FFFF, 10, 7, "IN0", nullptr, 45},
    {LEGEND_LINE, 0xFF00FF, 10, 23, "IN1", nullptr, 45},
    {LEGEND_LINE, OSCI_COLOR_A, 80, 7, "CHAN A", nullptr, 115},
    {LEGEND_LINE, OSCI_COLOR_B, 80, 23, "CHAN B", nullptr, 115},
    {LEGEND_TRIGGER, OSCI_COLOR_A, 170, 0, " PRE-", "TRIG A", 180},
    {LEGEND_TRIGGER, OSCI_COLOR_B, 230, 0, " PRE-", "TRIG B", 240},
};

void pen(int color, int width) {
    SetCtrlAttribute(osci1, OSCI1_CANVAS_LEGEND, ATTR_PEN_COLOR, color);
    SetCtrlAttribute(osci1, OSCI1_CANVAS_LEGEND, ATTR_PEN_WIDTH, width);
}

void legend_text(const char* text, int x, int y) {
    CanvasDrawTextAtPoint(osci1, OSCI1_CANVAS_LEGEND, text, x, y, UI_TEXT_CENTER_LEFT);
}

} // namespace

// ---- views and cursors ----------------------------------------------------------------------------

void osci_apply_vertical(int zoom_span_y) {
    const osci_view v = osci_vertical_view(slider_value(OSCI1_SLIDE_VERTICAL), zoom_span_y);
    SetCtrlVal(osci1, OSCI1_NUM_VTOP, v.edge);
    SetCtrlVal(osci1, OSCI1_SLIDE_VERTICAL, v.slider);
    SetAxisScalingMode(osci1, OSCI1_GRAPH_OSCI, UI_LEFT_YAXIS, UI_MANUAL, v.min, v.max);
}

void osci_apply_horizontal(int zoom_span_x) {
    const osci_view v = osci_horizontal_view(slider_value(OSCI1_SLIDE_HORIZONTAL), zoom_span_x);
    SetCtrlVal(osci1, OSCI1_NUM_HRIGHT, v.edge);
    SetCtrlVal(osci1, OSCI1_SLIDE_HORIZONTAL, v.slider);
    for (int g : {OSCI1_GRAPH_OSCI, OSCI1_GRAPH_INPUTS})
        SetAxisScalingMode(osci1, g, UI_XAXIS, UI_MANUAL, v.min, v.max);
    osci_place_trigger_cursors();
}

void osci_zoom(int zoom_span_y, int zoom_span_x) {
    osci_apply_vertical(zoom_span_y);
    osci_apply_horizontal(zoom_span_x);
}

void osci_place_trigger_cursors() {
    double xmin = 0, xmax = 0, ymin = 0, ymax = 0;
    GetAxisScalingMode(osci1, OSCI1_GRAPH_OSCI, UI_XAXIS, nullptr, &xmin, &xmax);
    GetAxisScalingMode(osci1, OSCI1_GRAPH_OSCI, UI_LEFT_YAXIS, nullptr, &ymin, &ymax);
    for (int channel = 0; channel < 2; channel++) {
        const int cursor = channel ? OSCI_CURSOR_TRIG_B : OSCI_CURSOR_TRIG_A;
        const osci_cursor_place c = osci_trigger_cursor(pretrigger_field(channel), xmin, xmax, ymin);
        SetGraphCursor(osci1, OSCI1_GRAPH_OSCI, cursor, c.x, c.y);
        SetCursorAttribute(osci1, OSCI1_GRAPH_OSCI, cursor, ATTR_CURSOR_COLOR,
                           c.shown ? (channel ? OSCI_COLOR_B : OSCI_COLOR_A) : UI_TRANSPARENT);
        SetCursorAttribute(osci1, OSCI1_GRAPH_OSCI, cursor, ATTR_CURSOR_ENABLED, c.shown);
    }
}

void osci_refresh(const para_record* rec) {
    osci_place_trigger_cursors();
    if (rec && !test_osci_setting(rec)) oscis.osci_mode = 0;
    SetCtrlVal(osci1, OSCI1_BINS_SCALEX, oscis.osci_mode);
}

int osci_ms_axis() {
    return oscis.osci_mode;
}

void print_osci1_legend() {
    SetCtrlAttribute(osci1, OSCI1_CANVAS_LEGEND, ATTR_PEN_FILL_COLOR, UI_WHITE);
    for (const legend_item& l : legend) {
        if (l.kind == LEGEND_LINE) {
            pen(l.color, 6);
            CanvasDrawLine(osci1, OSCI1_CANVAS_LEGEND, l.x, l.y, l.x + 25, l.y);
            pen(l.color, 1);
            legend_text(l.text1, l.text_x, l.y);
            continue;
        }
        // The trigger cursor as the graph draws it: a small ring on a vertical line.
        pen(l.color, 1);
        CanvasDrawOval(osci1, OSCI1_CANVAS_LEGEND, l.x - 2, 12, 5, 5, UI_DRAW_FRAME_AND_INTERIOR);
        CanvasDrawLine(osci1, OSCI1_CANVAS_LEGEND, l.x, 2, l.x, 10);
        CanvasDrawLine(osci1, OSCI1_CANVAS_LEGEND, l.x, 19, l.x, 28);
        CanvasDrawPoint(osci1, OSCI1_CANVAS_LEGEND, l.x, 14);
        legend_text(l.text1, l.text_x, 7);
        legend_text(l.text2, l.text_x, 23);
    }
}

// ---- callbacks ----------------------------------------------------------------------------------

int CC_OSCI1(int panel, int, int event, void*, int, int) {
    switch (event) {
    case EVENT_LEFT_DOUBLE_CLICK:
        SetPanelSize(panel, window_height, window_width);
        return 0;
    case EVENT_RIGHT_CLICK:
        return show_ctrl_help(panel, 0);
    case EVENT_CLOSE:
        // Only hidden: the curves stay for the next time it is shown.
        oscis.osci_vis = 0;
        HidePanel(panel);
        return 0;
    default:
        return 0;
    }
}

int CC_VSLIDE(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event == EVENT_VAL_CHANGED || event == EVENT_COMMIT) osci_apply_vertical(traces.zoom_span_y);
    return 0;
}

int CC_HSLIDE(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event == EVENT_VAL_CHANGED || event == EVENT_COMMIT) osci_apply_horizontal(traces.zoom_span_x);
    return 0;
}

int CC_CURSOR(int panel, int control, int event, void*, int cursor, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT) return 0;
    // Only the cursor that moved sets its field: a parked trigger cursor sits in
    // the middle of the view and does not stand for its pretrigger.
    if (cursor == OSCI_CURSOR_TRIG_A || cursor == OSCI_CURSOR_TRIG_B) {
        double x = 0.0;
        GetGraphCursor(panel, control, cursor, &x, nullptr);
        SetCtrlVal(tab6, cursor == OSCI_CURSOR_TRIG_A ? TAB6_NUMS_PRETRIGA : TAB6_NUMS_PRETRIGB,
                   osci_pretrigger_from_cursor(x));
    }
    show_readouts();
    return 0;
}

int CC_CURSOR_EN(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT) return 0;
    struct measuring {
        int cursor, color, sw, x, y;
    };
    static const measuring cursors[2] = {
        {OSCI_CURSOR_3, cursor3_color, OSCI1_BINS_CURSOR3, OSCI1_NUM_C3X, OSCI1_NUM_C3Y},
        {OSCI_CURSOR_4, cursor4_color, OSCI1_BINS_CURSOR4, OSCI1_NUM_C4X, OSCI1_NUM_C4Y},
    };
    int both = 1;
    for (const measuring& m : cursors) {
        int on = 0;
        GetCtrlVal(osci1, m.sw, &on);
        on = on != 0;
        both &= on;
        SetCursorAttribute(osci1, OSCI1_GRAPH_OSCI, m.cursor, ATTR_CURSOR_COLOR,
                           on ? m.color : UI_TRANSPARENT);
        SetCursorAttribute(osci1, OSCI1_GRAPH_OSCI, m.cursor, ATTR_CURSOR_ENABLED, on);
        SetCtrlAttribute(osci1, m.x, ATTR_DIMMED, !on);
        SetCtrlAttribute(osci1, m.y, ATTR_DIMMED, !on);
    }
    SetCtrlAttribute(osci1, OSCI1_NUM_DX, ATTR_DIMMED, !both);
    SetCtrlAttribute(osci1, OSCI1_NUM_DY, ATTR_DIMMED, !both);
    return 0;
}

int CC_BINS_SCALEX(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT) return 0;
    int on = 0;
    GetCtrlVal(panel, control, &on);
    if (on && !test_osci_setting(&paras.para_pc)) {
        oscis.osci_mode = 0;
        MessagePopup("Setting mismatch", mismatch_text);
        SetCtrlVal(panel, control, 0);
        return 0;
    }
    oscis.osci_mode = on ? 1 : 0;
    return 0;
}
