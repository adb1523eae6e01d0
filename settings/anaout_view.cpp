// The analog output's scale list, transfer view and callbacks on the general
// settings panel. Rows, end points, curve and marker lines are computed by
// settings/anaout_math; here they are only drawn and read back from the panel.
#include "settings/anaout_view.h"

#include "settings/anaout_math.h"
#include "ui/help_hook.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstddef>

namespace {

struct scale_item {
    const char* label;
    int value;
};

// Value 1 ("keep the row") is not offered: it stands for a row entered by hand.
const scale_item scale_items[] = {
    {"NO SCALE", ANAOUT_MODE_NO_SCALE},
    {"ZOOM TOLERANCE", ANAOUT_MODE_ZOOM},
    {"REF -> 5V, Gain:x1", 3},
    {"REF -> 5V, Gain:x2", 4},
    {"REF -> 5V, Gain:x4", 5},
    {"REF -> 5V, Inv.:x1", 6},
    {"REF -> 5V, Inv.:x2", 7},
    {"REF -> 5V, Inv.:x4", 8},
};

// The transfer view shares its place with the scan, normalisation and dirt
// controls: one set is shown at a time (labels follow their controls).
const int view_ctrls[] = {TAB7_DECO_TRANSFER, TAB7_GRPH_TRANSFER, TAB7_NUMS_XSTART, TAB7_NUMS_VSTART,
                          TAB7_NUMS_XEND,     TAB7_NUMS_VEND,     TAB7_CMDB_CLOSE};
const int place_ctrls[] = {TAB7_RING_SCANSETTING, TAB7_NUMS_SCANRATE,         TAB7_NUM_FREQUENCY,
                           TAB7_NUM_ADTIME,       TAB7_NUMS_NORMTIMECONSTANT, TAB7_CMDB_NORM_NOW,
                           TAB7_RING_NORMCOND,    TAB7_RING_DIRTOUTPUT};

const int scale_color = 0x000000;

int view_is_open = 0;

template <size_t N>
void set_visible(const int (&ctrls)[N], int on) {
    for (int c : ctrls) SetCtrlAttribute(tab7, c, ATTR_VISIBLE, on);
}

void show_view(int open) {
    if (open) {
        set_visible(place_ctrls, 0);
        set_visible(view_ctrls, 1);
    } else {
        set_visible(view_ctrls, 0);
        set_visible(place_ctrls, 1);
    }
    view_is_open = open;
}

void draw_view(const anaout_view& v) {
    show_view(1);
    if (v.numerics) {
        SetCtrlVal(tab7, TAB7_NUMS_XSTART, static_cast<double>(v.x_start));
        SetCtrlVal(tab7, TAB7_NUMS_VSTART, v.v_start);
        SetCtrlVal(tab7, TAB7_NUMS_XEND, static_cast<double>(v.x_end));
        SetCtrlVal(tab7, TAB7_NUMS_VEND, v.v_end);
    }
    DeleteGraphPlot(tab7, TAB7_GRPH_TRANSFER, -1, UI_DELAYED_DRAW);
    // The graph is white; its scale labels would be too.
    SetCtrlAttribute(tab7, TAB7_GRPH_TRANSFER, ATTR_TEXT_COLOR, scale_color);
    SetAxisScalingMode(tab7, TAB7_GRPH_TRANSFER, UI_XAXIS, UI_MANUAL, v.axis_min, v.axis_max);
    SetAxisScalingMode(tab7, TAB7_GRPH_TRANSFER, UI_LEFT_YAXIS, UI_MANUAL, 0.0, ANAOUT_MAX);
    PlotY(tab7, TAB7_GRPH_TRANSFER, v.curve, ANAOUT_POINTS, UI_DOUBLE, UI_FAT_LINE, UI_SOLID,
          ANAOUT_CURVE_COLOR);
    for (int i = 0; i < v.marks; i++)
        PlotLine(tab7, TAB7_GRPH_TRANSFER, v.mark[i].x, 0.0, v.mark[i].x, ANAOUT_MAX, v.mark[i].color);
}

// Sets the four rows as a change of source or preset says; row 0 is drawn.
void apply_plan(const anaout_plan& plan) {
    for (int i = ANAOUT_ROWS - 1; i >= 0; i--)
        set_anaout_transfer(i == 0 ? 1 : -1, plan.row[i].mode, plan.row[i].channel, i, &paras.para_pc, 0);
}

int ring_value(int control) {
    int v = -1;
    if (GetCtrlVal(tab7, control, &v) < 0) return -1;
    return v;
}

} // namespace

void fill_zoom_list(int full) {
    ClearListCtrl(tab7, TAB7_RING_ANAOUTSCALE);
    SetCtrlAttribute(tab7, TAB7_RING_ANAOUTSCALE, ATTR_DATA_TYPE, UI_INTEGER);
    for (const scale_item& it : scale_items) {
        InsertListItemInt(tab7, TAB7_RING_ANAOUTSCALE, -1, it.label, it.value);
        if (!full) break;
    }
    SetCtrlIndex(tab7, TAB7_RING_ANAOUTSCALE, 0);
}

void set_anaout_transfer(int display, int mode, int channel, int row, para_record* rec, int zoom) {
    if (display != 1 && display != -1) {
        show_view(0);
        return;
    }
    // Big enough to keep off the stack: 4096 doubles of curve.
    static anaout_view view;
    if (anaout_transfer(rec, row, mode, channel, zoom, display == 1 ? &view : nullptr) != ANAOUT_OK) return;
    if (display == 1) draw_view(view);
}

int anaout_view_open() {
    return view_is_open;
}

// The source ring and the scale list share this callback.
int CC_RING_ANALOGOUTMODE(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || panel != tab7) return 0;
    const int source = ring_value(TAB7_RING_ANALOGOUTMODE);
    anaout_plan plan;
    if (control == TAB7_RING_ANALOGOUTMODE) {
        if (anaout_source_plan(source, &plan) != ANAOUT_OK) return 0;
        fill_zoom_list(plan.list == ANAOUT_LIST_FULL);
    } else if (control == TAB7_RING_ANAOUTSCALE) {
        if (anaout_scale_plan(source, ring_value(TAB7_RING_ANAOUTSCALE), &plan) != ANAOUT_OK) return 0;
    } else {
        return 0;
    }
    apply_plan(plan);
    return 0;
}

// The row through the two typed end points; the numerics keep what was typed.
int CC_MANU_SCALE(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || panel != tab7) return 0;
    double x_start = 0, v_start = 0, x_end = 0, v_end = 0;
    GetCtrlVal(tab7, TAB7_NUMS_XSTART, &x_start);
    GetCtrlVal(tab7, TAB7_NUMS_VSTART, &v_start);
    GetCtrlVal(tab7, TAB7_NUMS_XEND, &x_end);
    GetCtrlVal(tab7, TAB7_NUMS_VEND, &v_end);
    anaout_manual_row(&paras.para_pc.anaout_scale[0], static_cast<int>(x_start), v_start, static_cast<int>(x_end),
                      v_end);
    set_anaout_transfer(1, ANAOUT_MODE_KEEP, ANAOUT_CHAN_MANUAL, 0, &paras.para_pc, 0);
    return 0;
}

// A left click zooms onto the part of the input range the line crosses.
int CC_GRPH_TRANSFER(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_LEFT_CLICK || panel != tab7) return 0;
    set_anaout_transfer(1, ANAOUT_MODE_KEEP, ANAOUT_CHAN_A, 0, &paras.para_pc, 1);
    return 0;
}

// SHOW TRANSFER and CLOSE.
int CC_CMDB_CLOSE(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || panel != tab7) return 0;
    if (control == TAB7_CMDB_SHOWTRANSFER)
        set_anaout_transfer(1, ANAOUT_MODE_KEEP, ANAOUT_CHAN_A, 0, &paras.para_pc, 0);
    else
        set_anaout_transfer(0, 0, 0, 0, &paras.para_pc, 0);
    return 0;
}
