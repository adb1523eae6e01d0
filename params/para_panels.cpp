// update_PARA and acquire_PARA: one table says which control holds which field
// and how it converts; both routines walk it in the same order.
#include "params/cond_ring_ui.h"
#include "params/para_gui.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstddef>
#include <cstdint>

namespace {

enum panel_kind {
    PK_CHAN_A,
    PK_CHAN_B,
    PK_TEACH,
    PK_RECORDER,
    PK_OSCI,
    PK_GENERAL,
    PK_HIDDEN,
    PK_LINEAR,
    PK_FILTER,
    PK_COUNTER
};

int* const panel_handles[] = {&tab2, &tab3, &tab4, &tab5, &tab6, &tab7, &tab8, &tab9, &tab10, &tab11};

enum conversion {
    CV_S16,           // numeric or numeric ring: the value as it is
    CV_FLAG,          // switch or off/on ring: shown on when non-zero, read as 0 or 1
    CV_COND,          // condition ring; arg is the condition kind
    CV_SPAN,          // span ring: begin condition at offset, evaluation condition at arg
    CV_SHORT_RING,    // numeric ring that gets a "User" item for an unlisted value
    CV_TEACH,         // teach table row 1; arg is the column; 16.16 field shown as a number
    CV_TIMER,         // the timer controls of a channel panel; arg is the channel
    CV_CHAN_SOURCE,   // the channel-B input ring, then the panel rules of that input
    CV_OSCI_SKIP,     // skip count, followed by the oscillograph mode; arg is the channel
    CV_OSCI_DONE,     // both channels' oscillograph controls are done
    CV_SCAN,          // scan setting ring and scan rate (shown / 60)
    CV_ANAOUT_SOURCE, // analog output source, then its scale list and transfer view
    CV_FILTER,        // filter preset ring and use-filtered switch; arg is the channel
    CV_SOURCE_LABELS, // value-source labels of the main display (shown only); arg is the channel
};

struct para_binding {
    uint8_t panel; // panel_kind
    uint8_t conv;  // conversion
    int ctrl;
    int offset; // of the field in para_record
    int arg;
};

#define AT(field) static_cast<int>(offsetof(para_record, field))

// Order matters: it is the order of the panels' refresh, and rules later in
// the table (channel-B input, oscillograph modes) override earlier states.
const para_binding bindings[] = {
    {PK_CHAN_A, CV_S16, TAB2_NUMS_POWER, AT(powerA), 0},
    {PK_CHAN_A, CV_S16, TAB2_NUMS_TRIGGER, AT(trigger1A), 0},
    {PK_CHAN_A, CV_S16, TAB2_NUMS_HYSTERESIS, AT(trigger1_hystA), 0},
    {PK_CHAN_A, CV_TIMER, 0, 0, 0},
    {PK_CHAN_A, CV_COND, TAB2_RING_COUNTERCOND, AT(counter_condA), COND_KIND_EVENT_OUTPUTS},
    {PK_CHAN_A, CV_FLAG, TAB2_BINS_NORM, AT(normA), 0},
    {PK_CHAN_A, CV_COND, TAB2_RING_OUTCOND, AT(out_cond[0]), COND_KIND_COMBINED_RES},
    {PK_CHAN_A, CV_SHORT_RING, TAB2_RING_HOLDTIME, AT(out_hold[0].on), 0},
    {PK_CHAN_A, CV_SPAN, TAB2_RING_EVALSPAN, AT(eval_beginA), AT(eval_condA)},
    {PK_CHAN_A, CV_SHORT_RING, TAB2_RING_EVALMODE, AT(eval_modeA), 0},
    {PK_CHAN_A, CV_S16, TAB2_NUMS_AVERAGING, AT(averagingA), 0},

    {PK_CHAN_B, CV_S16, TAB2_NUMS_POWER, AT(powerB), 0},
    {PK_CHAN_B, CV_S16, TAB2_NUMS_TRIGGER, AT(trigger1B), 0},
    {PK_CHAN_B, CV_S16, TAB2_NUMS_HYSTERESIS, AT(trigger1_hystB), 0},
    {PK_CHAN_B, CV_TIMER, 0, 0, 1},
    {PK_CHAN_B, CV_COND, TAB2_RING_COUNTERCOND, AT(counter_condB), COND_KIND_EVENT_OUTPUTS},
    {PK_CHAN_B, CV_FLAG, TAB2_BINS_NORM, AT(normB), 0},
    {PK_CHAN_B, CV_COND, TAB2_RING_OUTCOND, AT(out_cond[1]), COND_KIND_COMBINED_RES},
    {PK_CHAN_B, CV_SHORT_RING, TAB2_RING_HOLDTIME, AT(out_hold[1].on), 0},
    {PK_CHAN_B, CV_SPAN, TAB2_RING_EVALSPAN, AT(eval_beginB), AT(eval_condB)},
    {PK_CHAN_B, CV_SHORT_RING, TAB2_RING_EVALMODE, AT(eval_modeB), 0},
    {PK_CHAN_B, CV_S16, TAB2_NUMS_AVERAGING, AT(averagingB), 0},
    {PK_CHAN_B, CV_CHAN_SOURCE, TAB2_RING_CHAN, AT(input_sourceB), 0},

    // Only entry 0 of each teach table has cells; the columns are reference,
    // high tolerance, low tolerance.
    {PK_TEACH, CV_TEACH, TAB4_TABLE_TEACHA, AT(teachA[0].reference), 1},
    {PK_TEACH, CV_TEACH, TAB4_TABLE_TEACHA, AT(teachA[0].tol_high), 2},
    {PK_TEACH, CV_TEACH, TAB4_TABLE_TEACHA, AT(teachA[0].tol_low), 3},
    {PK_TEACH, CV_S16, TAB4_NUMS_EXTTEACHA, AT(ext_teachA), 0},
    {PK_TEACH, CV_TEACH, TAB4_TABLE_TEACHB, AT(teachB[0].reference), 1},
    {PK_TEACH, CV_TEACH, TAB4_TABLE_TEACHB, AT(teachB[0].tol_high), 2},
    {PK_TEACH, CV_TEACH, TAB4_TABLE_TEACHB, AT(teachB[0].tol_low), 3},
    {PK_TEACH, CV_S16, TAB4_NUMS_EXTTEACHB, AT(ext_teachB), 0},

    {PK_RECORDER, CV_COND, TAB5_RING_AUTOSEND, AT(autosend_cond), COND_KIND_EVENT_OUTPUTS},

    {PK_OSCI, CV_OSCI_SKIP, TAB6_NUMS_SKIPA, AT(osci_skipA), 0},
    {PK_OSCI, CV_S16, TAB6_NUMS_PRETRIGA, AT(osci_pretrigA), 0},
    {PK_OSCI, CV_COND, TAB6_RING_OSCICONDA, AT(osci_condA), COND_KIND_EVENT_OUTPUTS},
    {PK_OSCI, CV_OSCI_SKIP, TAB6_NUMS_SKIPB, AT(osci_skipB), 1},
    {PK_OSCI, CV_S16, TAB6_NUMS_PRETRIGB, AT(osci_pretrigB), 0},
    {PK_OSCI, CV_COND, TAB6_RING_OSCICONDB, AT(osci_condB), COND_KIND_EVENT_OUTPUTS},
    {PK_OSCI, CV_OSCI_DONE, 0, 0, 0},

    {PK_GENERAL, CV_SCAN, TAB7_NUMS_SCANRATE, AT(scanrate), 0},
    {PK_GENERAL, CV_S16, TAB7_NUMS_NORMTIMECONSTANT, AT(norm_timebase), 0},
    {PK_GENERAL, CV_COND, TAB7_RING_NORMCOND, AT(norm_cond), COND_KIND_COMBINED},
    {PK_GENERAL, CV_FLAG, TAB7_RING_DIRTOUTPUT, AT(dirt_output), 0},
    {PK_GENERAL, CV_ANAOUT_SOURCE, TAB7_RING_ANALOGOUTMODE, AT(anaout_source), 0},

    {PK_HIDDEN, CV_S16, TAB8_NUMS_DIRTLEVELA, AT(dirt_levelA), 0},
    {PK_HIDDEN, CV_S16, TAB8_NUMS_DIRTTIMEOUTA, AT(dirt_timeoutA), 0},
    {PK_HIDDEN, CV_S16, TAB8_NUMS_DIRTLEVELB, AT(dirt_levelB), 0},
    {PK_HIDDEN, CV_S16, TAB8_NUMS_DIRTTIMEOUTB, AT(dirt_timeoutB), 0},
    {PK_HIDDEN, CV_S16, TAB8_RING_SWITCH_ANAOUT, AT(anaout_switch), 0},
    {PK_HIDDEN, CV_S16, TAB8_NUMS_POTIUSAGE, AT(poti_usage), 0},
    {PK_LINEAR, CV_FLAG, TAB9_BINS_LINEARA, AT(linearisationA), 0},
    {PK_LINEAR, CV_FLAG, TAB9_BINS_LINEARB, AT(linearisationB), 0},

    {PK_FILTER, CV_FILTER, TAB10_RING_FILTERA, AT(iirA), 0},
    {PK_FILTER, CV_FLAG, TAB10_BINS_DERIVATIONA, AT(derivationA), 0},
    {PK_FILTER, CV_S16, TAB10_NUMS_PREVSAMPLESA, AT(prev_samplesA), 0},
    {PK_FILTER, CV_SOURCE_LABELS, 0, 0, 0},
    {PK_FILTER, CV_FILTER, TAB10_RING_FILTERB, AT(iirB), 1},
    {PK_FILTER, CV_FLAG, TAB10_BINS_DERIVATIONB, AT(derivationB), 0},
    {PK_FILTER, CV_S16, TAB10_NUMS_PREVSAMPLESB, AT(prev_samplesB), 0},
    {PK_FILTER, CV_SOURCE_LABELS, 0, 0, 1},

    {PK_COUNTER, CV_S16, TAB11_NUMS_COUNTEREFFECTA, AT(counter_effectA), 0},
    {PK_COUNTER, CV_S16, TAB11_NUMS_COUNTEREFFECTB, AT(counter_effectB), 0},
};

#undef AT

template <class T>
T* field(para_record* rec, int offset) {
    return reinterpret_cast<T*>(reinterpret_cast<char*>(rec) + offset);
}

int16_t get_s16(int panel, int ctrl, int16_t fallback) {
    int v = 0;
    return GetCtrlVal(panel, ctrl, &v) < 0 ? fallback : static_cast<int16_t>(v);
}

// Per channel, the fields the timer and filter rules work on.
struct channel_fields {
    int16_t* timer;
    event_cond* timer_cond;
    int16_t* timer_mode;
    iir_block* iir;
    int16_t* derivation;
};

channel_fields fields_of(para_record* rec, int channel) {
    if (channel == 1)
        return {&rec->timerB, &rec->timer_condB, &rec->timer_modeB, &rec->iirB, &rec->derivationB};
    return {&rec->timerA, &rec->timer_condA, &rec->timer_modeA, &rec->iirA, &rec->derivationA};
}

const int filter_switch[2] = {TAB10_BINS_USEFILTERA, TAB10_BINS_USEFILTERB};
const int osci_mode_ring[2] = {TAB6_RING_MODEA, TAB6_RING_MODEB};
const int osci_skip[2] = {TAB6_NUMS_SKIPA, TAB6_NUMS_SKIPB};
struct source_labels {
    int value, filtered, derivation;
};
const source_labels labels_of[2] = {{GRAPH1_TEXT_VALA, GRAPH1_TEXT_FILTA, GRAPH1_TEXT_DERIVA},
                                    {GRAPH1_TEXT_VALB, GRAPH1_TEXT_FILTB, GRAPH1_TEXT_DERIVB}};

// A skip count of 0 means the channel does not record; otherwise the mode its
// ring shows holds (and a ring on Off sets the skip count back to 0).
void apply_osci_mode(int channel, int skip) {
    int mode = -1;
    if (skip != 0) GetCtrlVal(tab6, osci_mode_ring[channel], &mode);
    if (params_hook.set_oszi_mode) params_hook.set_oszi_mode(channel, mode);
}

void show_binding(const para_binding& b, para_record* rec) {
    const int panel = *panel_handles[b.panel];
    ui_ring ring;
    switch (b.conv) {
    case CV_S16:
        SetCtrlVal(panel, b.ctrl, static_cast<int>(*field<int16_t>(rec, b.offset)));
        break;
    case CV_FLAG:
        SetCtrlVal(panel, b.ctrl, *field<int16_t>(rec, b.offset) != 0 ? 1 : 0);
        break;
    case CV_COND:
        cond2string(field<void>(rec, b.offset), nullptr, b.arg, ui_ring_bind(&ring, panel, b.ctrl));
        break;
    case CV_SPAN:
        span2string(field<event_cond>(rec, b.offset), field<combined_cond>(rec, b.arg), nullptr,
                    ui_ring_bind(&ring, panel, b.ctrl));
        break;
    case CV_SHORT_RING:
        enlist_short_with_test(ui_ring_bind(&ring, panel, b.ctrl), *field<int16_t>(rec, b.offset));
        break;
    case CV_TEACH:
        SetTableCellValDouble(panel, b.ctrl, 1, b.arg, teach_to_cell(*field<int32_t>(rec, b.offset)));
        break;
    case CV_TIMER: {
        const channel_fields f = fields_of(rec, b.arg);
        // A negative timer shows the switch off but keeps its value visible,
        // so the next read stores 0 (off AND value).
        SetCtrlVal(panel, TAB2_BINS_TIMER, *f.timer > 0 ? -1 : 0);
        if (*f.timer != 0) {
            SetCtrlVal(panel, TAB2_NUMS_TIMER, static_cast<int>(*f.timer));
            cond2string(f.timer_cond, nullptr, COND_KIND_EVENT,
                        ui_ring_bind(&ring, panel, TAB2_RING_TIMERCOND));
            SetCtrlVal(panel, TAB2_BINS_TIMERMODE, *f.timer_mode != 0 ? 1 : 0);
            config_timer(panel, 0, rec);
        } else {
            config_timer(panel, 1, rec);
        }
        break;
    }
    case CV_CHAN_SOURCE: {
        const int16_t source = *field<int16_t>(rec, b.offset);
        SetCtrlVal(panel, b.ctrl, static_cast<int>(source));
        panel_B_mode(rec, source, nullptr);
        break;
    }
    case CV_OSCI_SKIP:
        SetCtrlVal(panel, b.ctrl, static_cast<int>(*field<int16_t>(rec, b.offset)));
        apply_osci_mode(b.arg, *field<int16_t>(rec, b.offset));
        break;
    case CV_OSCI_DONE:
        if (params_hook.osci_refresh) params_hook.osci_refresh(rec);
        break;
    case CV_SCAN: {
        const int16_t rate = *field<int16_t>(rec, b.offset);
        SetCtrlVal(panel, TAB7_RING_SCANSETTING, rate != 0 ? -1 : 0);
        SetCtrlVal(panel, b.ctrl, rate != 0 ? rate / 60 : 20);
        SetCtrlAttribute(panel, b.ctrl, ATTR_DIMMED, rate == 0 ? 1 : 0);
        break;
    }
    case CV_ANAOUT_SOURCE: {
        const int16_t source = *field<int16_t>(rec, b.offset);
        SetCtrlVal(panel, b.ctrl, static_cast<int>(source));
        if (params_hook.fill_zoom_list) params_hook.fill_zoom_list(source == 1 || source == 2);
        if (params_hook.set_anaout_transfer) params_hook.set_anaout_transfer(0, 0, 0, 0, rec, 0);
        break;
    }
    case CV_FILTER: {
        iir_block* iir = field<iir_block>(rec, b.offset);
        // -1 is "as the unit has it": reading it back keeps the whole block.
        if (iir->gain != 0) {
            SetCtrlVal(panel, b.ctrl, -1);
            SetCtrlVal(panel, filter_switch[b.arg], iir->use_filtered != 0 ? 1 : 0);
        } else {
            SetCtrlVal(panel, b.ctrl, 0);
            SetCtrlVal(panel, filter_switch[b.arg], 0);
            iir->use_filtered = 0;
        }
        break;
    }
    case CV_SOURCE_LABELS: {
        const channel_fields f = fields_of(rec, b.arg);
        const source_labels& l = labels_of[b.arg];
        const int filtered = f.iir->use_filtered != 0;
        const int derived = !filtered && *f.derivation != 0;
        SetCtrlAttribute(graph1, l.filtered, ATTR_VISIBLE, filtered);
        SetCtrlAttribute(graph1, l.derivation, ATTR_VISIBLE, derived);
        SetCtrlAttribute(graph1, l.value, ATTR_VISIBLE, !filtered && !derived);
        break;
    }
    default:
        break;
    }
}

void read_condition(void* cond, int kind, int panel, int ctrl) {
    ui_ring ring;
    int index = -1;
    if (GetCtrlIndex(panel, ctrl, &index) < 0) return;
    string2cond(cond, nullptr, kind, ui_ring_bind(&ring, panel, ctrl), index);
}

void read_binding(const para_binding& b, para_record* rec) {
    const int panel = *panel_handles[b.panel];
    switch (b.conv) {
    case CV_S16:
    case CV_SHORT_RING:
    case CV_CHAN_SOURCE:
    case CV_OSCI_SKIP:
    case CV_ANAOUT_SOURCE: {
        int16_t* f = field<int16_t>(rec, b.offset);
        *f = get_s16(panel, b.ctrl, *f);
        break;
    }
    case CV_FLAG: {
        int16_t* f = field<int16_t>(rec, b.offset);
        *f = get_s16(panel, b.ctrl, *f) != 0 ? 1 : 0;
        break;
    }
    case CV_COND:
        read_condition(field<void>(rec, b.offset), b.arg, panel, b.ctrl);
        break;
    case CV_SPAN:
        read_condition(field<void>(rec, b.offset), COND_KIND_SPAN_BEGIN, panel, b.ctrl);
        read_condition(field<void>(rec, b.arg), COND_KIND_SPAN_EVAL, panel, b.ctrl);
        break;
    case CV_TEACH: {
        double cell = 0.0;
        if (GetTableCellValDouble(panel, b.ctrl, 1, b.arg, &cell) >= 0)
            *field<int32_t>(rec, b.offset) = teach_from_cell(cell);
        break;
    }
    case CV_TIMER: {
        const channel_fields f = fields_of(rec, b.arg);
        int on = 0;
        int time = 0;
        if (GetCtrlVal(panel, TAB2_BINS_TIMER, &on) >= 0 && GetCtrlVal(panel, TAB2_NUMS_TIMER, &time) >= 0)
            *f.timer = static_cast<int16_t>(on & time);
        read_condition(f.timer_cond, COND_KIND_EVENT, panel, TAB2_RING_TIMERCOND);
        *f.timer_mode = get_s16(panel, TAB2_BINS_TIMERMODE, *f.timer_mode) != 0 ? 1 : 0;
        break;
    }
    case CV_OSCI_DONE:
        // The mode rule may have turned a skip count back to 0; the record
        // takes what the panel ends with.
        apply_osci_mode(0, rec->osci_skipA);
        apply_osci_mode(1, rec->osci_skipB);
        rec->osci_skipA = get_s16(tab6, osci_skip[0], rec->osci_skipA);
        rec->osci_skipB = get_s16(tab6, osci_skip[1], rec->osci_skipB);
        // A set read with channels that record differently ends the millisecond axis.
        if (params_hook.osci_refresh) params_hook.osci_refresh(rec);
        break;
    case CV_SCAN: {
        int16_t* f = field<int16_t>(rec, b.offset);
        int setting = 0;
        int rate = 0;
        if (GetCtrlVal(panel, TAB7_RING_SCANSETTING, &setting) >= 0 && GetCtrlVal(panel, b.ctrl, &rate) >= 0)
            *f = static_cast<int16_t>((rate * 60) & setting);
        break;
    }
    case CV_FILTER: {
        int preset = -1;
        if (GetCtrlVal(panel, b.ctrl, &preset) < 0) break;
        const int use = get_s16(panel, filter_switch[b.arg], 0) != 0 ? 1 : 0;
        iir_apply_preset(field<iir_block>(rec, b.offset), preset, use);
        break;
    }
    default:
        break; // CV_SOURCE_LABELS: shown only
    }
}

} // namespace

void update_PARA(para_record* rec) {
    if (!rec) return;
    for (const para_binding& b : bindings) show_binding(b, rec);
}

int acquire_PARA(para_record* rec, int mode) {
    if (mode < 1 || mode > 3 || !rec) return mode;
    for (const para_binding& b : bindings) read_binding(b, rec);
    return 0;
}
