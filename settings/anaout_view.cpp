// The analog output's scale list and transfer view, as far as showing a
// parameter set needs them: the list refilled for the chosen source, the rows
// computed for a preset, and the view opened with the row-0 curve or closed.
#include "settings/anaout_view.h"

#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <algorithm>
#include <cstdint>

namespace {

struct scale_item {
    const char* label;
    int value;
};

// Value 1 ("keep the row") is not offered: it stands for a row entered by hand.
const scale_item scale_items[] = {
    {"NO SCALE", 0},           {"ZOOM TOLERANCE", 2},     {"REF -> 5V, Gain:x1", 3},
    {"REF -> 5V, Gain:x2", 4}, {"REF -> 5V, Gain:x4", 5}, {"REF -> 5V, Inv.:x1", 6},
    {"REF -> 5V, Inv.:x2", 7}, {"REF -> 5V, Inv.:x4", 8},
};

// The transfer view shares its place with the scan, normalisation and dirt
// controls: one set is shown at a time.
const int view_ctrls[] = {TAB7_DECO_TRANSFER, TAB7_GRPH_TRANSFER, TAB7_NUMS_XSTART, TAB7_NUMS_VSTART,
                          TAB7_NUMS_XEND,     TAB7_NUMS_VEND,     TAB7_CMDB_CLOSE};
const int place_ctrls[] = {TAB7_RING_SCANSETTING, TAB7_NUMS_SCANRATE,         TAB7_NUM_FREQUENCY,
                           TAB7_NUM_ADTIME,       TAB7_NUMS_NORMTIMECONSTANT, TAB7_CMDB_NORM_NOW,
                           TAB7_RING_NORMCOND,    TAB7_RING_DIRTOUTPUT};

void show_view(int open) {
    for (int c : view_ctrls) SetCtrlAttribute(tab7, c, ATTR_VISIBLE, open);
    for (int c : place_ctrls) SetCtrlAttribute(tab7, c, ATTR_VISIBLE, !open);
}

int out_of(const anaout_scaling& row, int x) {
    const int64_t product = static_cast<int64_t>(x) * row.gain;
    const int s = 15 - row.shift;
    const int64_t shifted = s >= 0 ? (product >> s) : product * (int64_t{1} << -s);
    return static_cast<int>(std::clamp<int64_t>(shifted + row.offset, 0, 4095));
}

// Zoom onto the teach tolerance band: L..U spread over nearly the whole
// output range.
void zoom_row(anaout_scaling* row, const teach_entry& t) {
    int64_t lower = static_cast<int64_t>(t.reference) - t.tol_low;
    int64_t upper = static_cast<int64_t>(t.reference) + t.tol_high;
    lower = std::max<int64_t>(lower, 0);
    upper = std::min<int64_t>(upper, 0x0FFF0000);
    if (lower == upper) return;
    const int l = static_cast<int>(lower >> 16);
    const int u = static_cast<int>(upper >> 16);
    if (u == l) return;
    int s = 0;
    int g = 4096;
    while (g >= u - l) {
        s++;
        g /= 2;
    }
    const double factor = static_cast<double>(g) / (u - l);
    row->gain = static_cast<int16_t>(static_cast<int>(32768 * factor));
    row->shift = static_cast<int16_t>(s);
    row->offset = static_cast<int32_t>(static_cast<int>(-factor * l) * (1 << s));
}

void compute_row(anaout_scaling* row, int mode, const teach_entry& t) {
    const int r = t.reference >> 16;
    switch (mode) {
    case -1:
        *row = anaout_scaling{0, 0, 0};
        break;
    case 0:
        *row = anaout_scaling{16384, 1, 0};
        break;
    case 2:
        zoom_row(row, t);
        break;
    case 3:
    case 4:
    case 5: {
        const int k = 1 << (mode - 3);
        *row = anaout_scaling{16384, static_cast<int16_t>(mode - 2), 2048 - k * r};
        break;
    }
    case 6:
    case 7:
    case 8: {
        const int k = 1 << (mode - 6);
        *row = anaout_scaling{-16384, static_cast<int16_t>(mode - 5), k * r + 2048};
        break;
    }
    default:
        break; // 1 keeps a row entered by hand
    }
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

void set_anaout_transfer(int display, int mode, int channel, int row, para_record* rec,
                         [[maybe_unused]] int zoom) {
    if (display != 1 && display != -1) {
        show_view(0);
        return;
    }
    if (!rec || row < 0 || row > 3) return;
    anaout_scaling* r = &rec->anaout_scale[row];
    compute_row(r, mode, channel == 1 ? rec->teachB[0] : rec->teachA[0]);
    if (display != 1) return;

    show_view(1);
    static double curve[4096];
    for (int x = 0; x < 4096; x++) curve[x] = out_of(*r, x);
    DeleteGraphPlot(tab7, TAB7_GRPH_TRANSFER, -1, UI_DELAYED_DRAW);
    SetAxisScalingMode(tab7, TAB7_GRPH_TRANSFER, UI_XAXIS, UI_MANUAL, 0.0, 4095.0);
    PlotY(tab7, TAB7_GRPH_TRANSFER, curve, 4096, UI_DOUBLE, UI_FAT_LINE, UI_SOLID, MakeColor(128, 0, 0));
}
