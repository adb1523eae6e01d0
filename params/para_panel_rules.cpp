// The rules of the parameter panels beyond one control per field: the timer
// controls, the channel-B input choice, the filter presets and the teach-cell
// conversion.
#include "params/cond_ring_ui.h"
#include "params/para_gui.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cmath>
#include <cstdint>
#include <iterator>

namespace {

struct iir_preset {
    int16_t gain;
    iir_stage stage[3];
    int16_t shift;
};

// Coefficient sets 1..3 of the filter ring, in block order (a2 before a1).
const iir_preset iir_presets[3] = {
    {7, {{-15698, 32075, 2, 4, 2}, {-15780, 32155, 2, 5, 2}, {-15974, 32348, 4096, 8192, 4096}}, 1},
    {946,
     {{-9577, 25015, 268, 537, 268}, {-10255, 25564, 362, 724, 362}, {-12008, 26943, 4096, 8192, 4096}},
     1},
    {267, {{-12541, 28657, 75, 150, 75}, {-12957, 29041, 98, 197, 98}, {-13998, 29987, 4095, 8191, 4095}}, 1},
};

// Panel B controls that mean nothing while channel B is off.
const int group_b_channel[] = {
    TAB2_RING_COUNTERCOND, TAB2_BINS_NORM,      TAB2_RING_OUTCOND,  TAB2_RING_EVALSPAN, TAB2_RING_EVALSTART,
    TAB2_RING_EVALSTOP,    TAB2_NUMS_AVERAGING, TAB2_RING_EVALMODE, TAB2_RING_HOLDTIME, TAB2_CMDB_RESET};
const int group_b_teach[] = {TAB4_TABLE_TEACHB, TAB4_CMDB_TEACHB, TAB4_NUMS_EXTTEACHB};
const int group_b_display[] = {GRAPH1_NUM_RESULTB,  GRAPH1_NUM_CNTRB,   GRAPH1_NUM_RAWB,     GRAPH1_NUM_MAXB,
                               GRAPH1_NUM_VALB,     GRAPH1_NUM_MINVALB, GRAPH1_NUM_MAXVALB,  GRAPH1_NUM_FILTB,
                               GRAPH1_NUM_DERIVB,   GRAPH1_NUM_SMOOTHB, GRAPH1_BINS_RAWMAXB, GRAPH1_BINS_VALB,
                               GRAPH1_BINS_MINMAXB, GRAPH1_BINS_CNTRB,  GRAPH1_BINS_RESULTB};

template <size_t N>
void dim_all(int panel, const int (&ctrls)[N], int dimmed) {
    for (int c : ctrls) SetCtrlAttribute(panel, c, ATTR_DIMMED, dimmed);
}

void dim_group_b(int dimmed) {
    dim_all(tab3, group_b_channel, dimmed);
    dim_all(tab4, group_b_teach, dimmed);
    dim_all(graph1, group_b_display, dimmed);
}

} // namespace

void config_timer(int panel, int off, para_record* rec) {
    for (int c : {TAB2_NUMS_TIMER, TAB2_RING_TIMERCOND, TAB2_BINS_TIMERMODE})
        SetCtrlAttribute(panel, c, ATTR_DIMMED, off ? 1 : 0);
    if (!off) return;
    const bool b = panel == tab3;
    int16_t* timer = b ? &rec->timerB : &rec->timerA;
    event_cond* cond = b ? &rec->timer_condB : &rec->timer_condA;
    *timer = 0;
    *cond = event_cond{};
    SetCtrlVal(panel, TAB2_NUMS_TIMER, 0);
    ui_ring ring;
    cond2string(cond, nullptr, COND_KIND_EVENT, ui_ring_bind(&ring, panel, TAB2_RING_TIMERCOND));
    SetCtrlVal(panel, TAB2_BINS_TIMER, 0);
}

void panel_B_mode(para_record* rec, int source, const int* osci_mode) {
    int mode = -1;
    if (osci_mode)
        mode = *osci_mode;
    else
        GetCtrlVal(tab6, TAB6_RING_MODEB, &mode);
    if (source == -1) mode = -1;

    if (source == -1) {
        for (int c : {TAB2_NUMS_POWER, TAB2_NUMS_TRIGGER, TAB2_NUMS_HYSTERESIS, TAB2_BINS_TIMER})
            SetCtrlAttribute(tab3, c, ATTR_DIMMED, 1);
        config_timer(tab3, 1, rec);
        dim_group_b(1);
    } else if (source == 1 || source == 0) {
        // Input "1" has no sensor of its own, so it has no laser power.
        SetCtrlAttribute(tab3, TAB2_NUMS_POWER, ATTR_DIMMED, source == 1 ? 1 : 0);
        for (int c : {TAB2_NUMS_TRIGGER, TAB2_NUMS_HYSTERESIS, TAB2_BINS_TIMER})
            SetCtrlAttribute(tab3, c, ATTR_DIMMED, 0);
        config_timer(tab3, rec->timerB == 0, rec);
        dim_group_b(0);
    } else {
        return;
    }
    if (params_hook.set_oszi_mode) params_hook.set_oszi_mode(1, mode);
}

void iir_apply_preset(iir_block* block, int preset, int use_filtered) {
    if (preset == 0) {
        // Off keeps the coefficients, so choosing the same preset again later
        // is not needed to get them back from the unit.
        block->gain = 0;
        block->use_filtered = 0;
        return;
    }
    if (preset < 1 || preset > static_cast<int>(std::size(iir_presets))) return;
    const iir_preset& p = iir_presets[preset - 1];
    block->gain = p.gain;
    for (int i = 0; i < 3; i++) block->stage[i] = p.stage[i];
    block->shift = p.shift;
    block->use_filtered = static_cast<int16_t>(use_filtered);
}

double teach_to_cell(int32_t fixed) {
    return fixed / 65536.0;
}

int32_t teach_from_cell(double cell) {
    const double scaled = std::trunc(cell * 65536.0);
    if (std::isnan(scaled)) return 0;
    if (scaled < INT32_MIN) return INT32_MIN;
    if (scaled > INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(scaled);
}
