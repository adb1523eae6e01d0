// The parameter panels offscreen: every bound control against the record, the
// timer, channel-B, filter, scan and teach rules, the oscillograph mode and
// the analog output's scale list.
#include "params/cond_ring_ui.h"
#include "tests/params/para_gui_fixture.h"
#include "ui/help_hook.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstring>
#include <string>

namespace {

int value_of(int panel, int ctrl) {
    int v = -12345;
    EXPECT_GE(GetCtrlVal(panel, ctrl, &v), 0);
    return v;
}

int attr_of(int panel, int ctrl, int attr) {
    int v = -12345;
    EXPECT_GE(GetCtrlAttribute(panel, ctrl, attr, &v), 0);
    return v;
}

std::string selected_label(int panel, int ctrl) {
    int index = -1;
    char buf[128] = "";
    GetCtrlIndex(panel, ctrl, &index);
    GetLabelFromIndex(panel, ctrl, index, buf, sizeof buf);
    return buf;
}

int list_count(int panel, int ctrl) {
    int n = -1;
    GetNumListItems(panel, ctrl, &n);
    return n;
}

// Fields that no control holds: acquire_PARA must leave them alone. The IIR
// blocks count here because the sample's filter A is "from the unit" (the
// block is kept) and filter B is off (gain and flag are 0 in the sample).
bool unbound(const char* name) {
    static const char* const prefixes[] = {
        "trigger2",    "eval_select",  "eval_switch", "teachA[1]",   "teachA[2]",       "teachA[3]",
        "teachB[1]",   "teachB[2]",    "teachB[3]",   "out_cond[2]", "out_hold[0].off", "out_hold[1].off",
        "out_hold[2]", "anaout_scale", "iirA",        "iirB",        "reserved"};
    for (const char* p : prefixes)
        if (std::strncmp(name, p, std::strlen(p)) == 0) return true;
    return false;
}

} // namespace

// ---- update_PARA then acquire_PARA --------------------------------------------------

TEST_F(ParaPanels, ShowingTheSampleLeavesItUnchanged) {
    const para_record want = panel_sample();
    para_record shown = want;
    update_PARA(&shown);
    EXPECT_EQ(std::memcmp(&shown, &want, sizeof want), 0);
}

TEST_F(ParaPanels, ReadBackReproducesEveryBoundFieldAndTouchesNoOther) {
    para_record want = panel_sample();
    update_PARA(&want);
    para_record got{};
    ASSERT_EQ(acquire_PARA(&got, 1), 0);
    for (int i = 0; i < para_field_count; i++) {
        const char* name = para_fields[i].name;
        if (unbound(name))
            EXPECT_EQ(para_field_get(&got, i), 0) << name;
        else
            EXPECT_EQ(para_field_get(&got, i), para_field_get(&want, i)) << name;
    }
}

TEST_F(ParaPanels, ReadingWithoutPanelsChangesNothing) {
    int* const handles[] = {&tab2, &tab3, &tab4, &tab5, &tab6, &tab7, &tab8, &tab9, &tab10, &tab11};
    int saved[10];
    for (int i = 0; i < 10; i++) {
        saved[i] = *handles[i];
        *handles[i] = 0;
    }
    para_record r = panel_sample();
    const para_record before = r;
    EXPECT_EQ(acquire_PARA(&r, 1), 0);
    for (int i = 0; i < 10; i++) *handles[i] = saved[i];
    EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);
}

TEST_F(ParaPanels, ConditionOutsideTheCatalogueSurvivesAsSpecial) {
    para_record r = panel_sample();
    r.counter_condA = {{0x2A05, 0x0042, 0x0000}};
    update_PARA(&r);
    EXPECT_EQ(selected_label(tab2, TAB2_RING_COUNTERCOND), "Special");
    para_record got{};
    acquire_PARA(&got, 1);
    EXPECT_EQ(std::memcmp(&got.counter_condA, &r.counter_condA, sizeof r.counter_condA), 0);
}

// ---- timer ---------------------------------------------------------------------------

TEST_F(ParaPanels, NegativeTimerShowsOffStaysEnabledAndReadsAsZero) {
    para_record r = panel_sample();
    r.timerA = -5;
    update_PARA(&r);
    EXPECT_EQ(value_of(tab2, TAB2_BINS_TIMER), 0);
    EXPECT_EQ(value_of(tab2, TAB2_NUMS_TIMER), -5);
    EXPECT_EQ(attr_of(tab2, TAB2_NUMS_TIMER, ATTR_DIMMED), 0);
    EXPECT_EQ(r.timerA, -5);
    para_record got = r;
    acquire_PARA(&got, 1);
    EXPECT_EQ(got.timerA, 0);
}

TEST_F(ParaPanels, ZeroTimerClearsItsConditionAndShowsNever) {
    para_record r = panel_sample();
    r.timerA = 0;
    r.timer_condA = {{0x0003, 0x0004, 0x0001}};
    update_PARA(&r);
    EXPECT_EQ(r.timer_condA.evnt[0] | r.timer_condA.evnt[1] | r.timer_condA.evnt[2], 0);
    EXPECT_EQ(selected_label(tab2, TAB2_RING_TIMERCOND), "Never");
    EXPECT_EQ(attr_of(tab2, TAB2_NUMS_TIMER, ATTR_DIMMED), 1);
    EXPECT_EQ(attr_of(tab2, TAB2_BINS_TIMERMODE, ATTR_DIMMED), 1);
}

TEST_F(ParaPanels, TimerSwitchOnStartsAtOneAndOffClearsTheWorkingSet) {
    para_record r = panel_sample();
    r.timerB = 0;
    update_PARA(&r);
    paras.para_pc = panel_sample();
    SetCtrlVal(tab3, TAB2_BINS_TIMER, -1);
    SimulateCtrlEvent(tab3, TAB2_BINS_TIMER, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(value_of(tab3, TAB2_NUMS_TIMER), 1);
    EXPECT_EQ(attr_of(tab3, TAB2_NUMS_TIMER, ATTR_DIMMED), 0);
    EXPECT_EQ(paras.para_pc.timerB, 204); // switching on changes only the panel

    SetCtrlVal(tab3, TAB2_BINS_TIMER, 0);
    SimulateCtrlEvent(tab3, TAB2_BINS_TIMER, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(paras.para_pc.timerB, 0);
    EXPECT_EQ(paras.para_pc.timer_condB.evnt[0] | paras.para_pc.timer_condB.evnt[1], 0);
    EXPECT_EQ(paras.para_pc.timerA, 103); // the other channel's timer is not touched
}

TEST_F(ParaPanels, ChoosingNeverAsTimerConditionSwitchesTheTimerOff) {
    para_record r = panel_sample();
    update_PARA(&r);
    paras.para_pc = r;
    int never = -1;
    for (int i = 0; i < list_count(tab2, TAB2_RING_TIMERCOND); i++) {
        char label[64] = "";
        GetLabelFromIndex(tab2, TAB2_RING_TIMERCOND, i, label, sizeof label);
        if (std::string(label) == "Never") never = i;
    }
    ASSERT_GE(never, 0);
    SetCtrlIndex(tab2, TAB2_RING_TIMERCOND, never);
    SimulateCtrlEvent(tab2, TAB2_RING_TIMERCOND, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(paras.para_pc.timerA, 0);
    EXPECT_EQ(attr_of(tab2, TAB2_NUMS_TIMER, ATTR_DIMMED), 1);
}

TEST_F(ParaPanels, RightClickOnAChannelControlAsksForItsHelp) {
    static std::string asked;
    set_help_handler([](const char* panel, const char* control) {
        asked = std::string(panel) + " " + control;
        return 1;
    });
    EXPECT_EQ(SimulateCtrlEvent(tab3, TAB2_NUMS_TIMER, EVENT_RIGHT_CLICK, 0, 0), 1);
    EXPECT_EQ(asked, "tab3 NUMS_TIMER");
    EXPECT_EQ(SimulateCtrlEvent(tab4, TAB4_CMDB_TEACHB, EVENT_RIGHT_CLICK, 0, 0), 1);
    EXPECT_EQ(asked, "tab4 CMDB_TEACHB");
    set_help_handler(nullptr);
}

// ---- channel B input -----------------------------------------------------------------

TEST_F(ParaPanels, ChannelBOffDimsItsControlsAndClearsItsTimer) {
    para_record r = panel_sample();
    r.input_sourceB = -1;
    update_PARA(&r);
    EXPECT_EQ(r.timerB, 0);
    EXPECT_EQ(r.timer_condB.evnt[0] | r.timer_condB.evnt[1] | r.timer_condB.evnt[2], 0);
    for (int c : {TAB2_NUMS_POWER, TAB2_NUMS_TRIGGER, TAB2_NUMS_HYSTERESIS, TAB2_BINS_TIMER,
                  TAB2_RING_EVALMODE, TAB2_CMDB_RESET, TAB2_RING_OUTCOND})
        EXPECT_EQ(attr_of(tab3, c, ATTR_DIMMED), 1) << c;
    EXPECT_EQ(attr_of(tab4, TAB4_TABLE_TEACHB, ATTR_DIMMED), 1);
    EXPECT_EQ(attr_of(graph1, GRAPH1_NUM_RESULTB, ATTR_DIMMED), 1);
    EXPECT_EQ(attr_of(tab2, TAB2_NUMS_POWER, ATTR_DIMMED), 0);
    EXPECT_EQ(value_of(tab6, TAB6_RING_MODEB), -1);
    EXPECT_EQ(value_of(tab6, TAB6_NUMS_SKIPB), 0);

    r = panel_sample();
    update_PARA(&r);
    EXPECT_EQ(attr_of(tab3, TAB2_NUMS_POWER, ATTR_DIMMED), 0);
    EXPECT_EQ(attr_of(tab4, TAB4_TABLE_TEACHB, ATTR_DIMMED), 0);
}

TEST_F(ParaPanels, ChannelRingWritesTheWorkingSetOnPanelBOnly) {
    para_record r = panel_sample();
    update_PARA(&r);
    paras.para_pc = r;
    SetCtrlVal(tab3, TAB2_RING_CHAN, -1);
    SimulateCtrlEvent(tab3, TAB2_RING_CHAN, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(paras.para_pc.input_sourceB, -1);
    EXPECT_EQ(paras.para_pc.timerB, 0);
    EXPECT_EQ(attr_of(tab3, TAB2_NUMS_TRIGGER, ATTR_DIMMED), 1);

    paras.para_pc.input_sourceB = 7;
    SimulateCtrlEvent(tab2, TAB2_RING_CHAN, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(paras.para_pc.input_sourceB, 7);
}

// ---- filters and value-source labels ---------------------------------------------------

TEST_F(ParaPanels, FilterFromTheUnitKeepsTheWholeBlock) {
    para_record r = panel_sample();
    update_PARA(&r);
    EXPECT_EQ(value_of(tab10, TAB10_RING_FILTERA), -1);
    SetCtrlVal(tab10, TAB10_BINS_USEFILTERA, 0);
    para_record got = r;
    acquire_PARA(&got, 1);
    EXPECT_EQ(std::memcmp(&got.iirA, &r.iirA, sizeof r.iirA), 0);
}

TEST_F(ParaPanels, FilterOffClearsGainAndFlagOnly) {
    para_record r = panel_sample();
    update_PARA(&r);
    SetCtrlVal(tab10, TAB10_RING_FILTERA, 0);
    para_record got = r;
    acquire_PARA(&got, 1);
    EXPECT_EQ(got.iirA.gain, 0);
    EXPECT_EQ(got.iirA.use_filtered, 0);
    EXPECT_EQ(got.iirA.stage[1].b0, r.iirA.stage[1].b0);
    EXPECT_EQ(got.iirA.shift, r.iirA.shift);
}

TEST_F(ParaPanels, FilterPresetsWriteTheirCoefficientsAndTheSwitch) {
    para_record r = panel_sample();
    update_PARA(&r);
    SetCtrlVal(tab10, TAB10_RING_FILTERB, 2);
    SetCtrlVal(tab10, TAB10_BINS_USEFILTERB, 1);
    para_record got = r;
    acquire_PARA(&got, 1);
    EXPECT_EQ(got.iirB.gain, 946);
    EXPECT_EQ(got.iirB.stage[0].a2, -9577);
    EXPECT_EQ(got.iirB.stage[0].a1, 25015);
    EXPECT_EQ(got.iirB.stage[2].b2, 4096);
    EXPECT_EQ(got.iirB.shift, 1);
    EXPECT_EQ(got.iirB.use_filtered, 1);

    iir_block b = r.iirA;
    iir_apply_preset(&b, 3, 0);
    EXPECT_EQ(b.gain, 267);
    EXPECT_EQ(b.stage[1].a1, 29041);
    EXPECT_EQ(b.stage[2].b1, 8191);
    EXPECT_EQ(b.use_filtered, 0);
    const iir_block kept = b;
    iir_apply_preset(&b, 4, 1);
    EXPECT_EQ(std::memcmp(&b, &kept, sizeof b), 0);
}

TEST_F(ParaPanels, FilterOffOnShowClearsTheUseFilteredFlag) {
    para_record r = panel_sample();
    r.iirB.use_filtered = 1;
    update_PARA(&r);
    EXPECT_EQ(r.iirB.use_filtered, 0);
    EXPECT_EQ(value_of(tab10, TAB10_RING_FILTERB), 0);
}

TEST_F(ParaPanels, OneValueSourceLabelPerChannel) {
    para_record r = panel_sample(); // A filtered and derived, B derived only
    update_PARA(&r);
    EXPECT_EQ(attr_of(graph1, GRAPH1_TEXT_FILTA, ATTR_VISIBLE), 1);
    EXPECT_EQ(attr_of(graph1, GRAPH1_TEXT_DERIVA, ATTR_VISIBLE), 0);
    EXPECT_EQ(attr_of(graph1, GRAPH1_TEXT_VALA, ATTR_VISIBLE), 0);
    EXPECT_EQ(attr_of(graph1, GRAPH1_TEXT_FILTB, ATTR_VISIBLE), 0);
    EXPECT_EQ(attr_of(graph1, GRAPH1_TEXT_DERIVB, ATTR_VISIBLE), 1);
    r.derivationB = 0;
    update_PARA(&r);
    EXPECT_EQ(attr_of(graph1, GRAPH1_TEXT_VALB, ATTR_VISIBLE), 1);
    EXPECT_EQ(attr_of(graph1, GRAPH1_TEXT_DERIVB, ATTR_VISIBLE), 0);
}

// ---- scan rate ---------------------------------------------------------------------------

TEST_F(ParaPanels, ScanRateIsShownPerSixtyAndReadThroughTheSetting) {
    para_record r = panel_sample();
    update_PARA(&r);
    EXPECT_EQ(value_of(tab7, TAB7_NUMS_SCANRATE), 500);
    EXPECT_EQ(value_of(tab7, TAB7_RING_SCANSETTING), -1);
    para_record got{};
    acquire_PARA(&got, 1);
    EXPECT_EQ(got.scanrate, 30000);

    SetCtrlVal(tab7, TAB7_RING_SCANSETTING, 0);
    acquire_PARA(&got, 1);
    EXPECT_EQ(got.scanrate, 0);
}

TEST_F(ParaPanels, MaximumScanRateShowsTwentyDimmed) {
    para_record r = panel_sample();
    r.scanrate = 0;
    update_PARA(&r);
    EXPECT_EQ(value_of(tab7, TAB7_NUMS_SCANRATE), 20);
    EXPECT_EQ(value_of(tab7, TAB7_RING_SCANSETTING), 0);
    EXPECT_EQ(attr_of(tab7, TAB7_NUMS_SCANRATE, ATTR_DIMMED), 1);
}

// ---- teach tables --------------------------------------------------------------------------

TEST_F(ParaPanels, TeachCellsAreFixedPointTruncatedTowardZero) {
    para_record r = panel_sample();
    update_PARA(&r);
    double cell = 0.0;
    GetTableCellValDouble(tab4, TAB4_TABLE_TEACHA, 1, 1, &cell);
    EXPECT_DOUBLE_EQ(cell, 1.5);
    SetTableCellValDouble(tab4, TAB4_TABLE_TEACHA, 1, 2, 1.5);
    SetTableCellValDouble(tab4, TAB4_TABLE_TEACHA, 1, 3, -0.00001);
    SetTableCellValString(tab4, TAB4_TABLE_TEACHB, 1, 1, "-2.25");
    para_record got{};
    acquire_PARA(&got, 1);
    EXPECT_EQ(got.teachA[0].tol_high, 98304);
    EXPECT_EQ(got.teachA[0].tol_low, 0);
    EXPECT_EQ(got.teachB[0].reference, -147456);
    EXPECT_EQ(teach_from_cell(-1.99999), -131071);
    EXPECT_EQ(teach_from_cell(1e9), INT32_MAX);
}

TEST_F(ParaPanels, TeachButtonPutsTheMeasuredValueIntoTheReferenceCell) {
    params_hook.measured_value = [](int slot) {
        return slot == 8 ? int32_t{0x00028000} : int32_t{0x00010000};
    };
    SimulateCtrlEvent(tab4, TAB4_CMDB_TEACHB, EVENT_COMMIT, 0, 0);
    double cell = 0.0;
    GetTableCellValDouble(tab4, TAB4_TABLE_TEACHB, 1, 1, &cell);
    EXPECT_DOUBLE_EQ(cell, 2.5);
    SimulateCtrlEvent(tab4, TAB4_CMDB_TEACHA, EVENT_COMMIT, 0, 0);
    GetTableCellValDouble(tab4, TAB4_TABLE_TEACHA, 1, 1, &cell);
    EXPECT_DOUBLE_EQ(cell, 1.0);
}

// ---- numeric rings with unlisted values --------------------------------------------------

TEST_F(ParaPanels, UnlistedEvaluationModeAddsAUserItemButKeepsTheSelection) {
    para_record r = panel_sample();
    update_PARA(&r);
    r.eval_modeA = 40;
    r.out_hold[0].on = 333;
    update_PARA(&r);
    EXPECT_EQ(selected_label(tab2, TAB2_RING_EVALMODE), "(A + B) / 2");
    int user = -1;
    EXPECT_GE(GetIndexFromValueInt(tab2, TAB2_RING_EVALMODE, &user, 40), 0);
    para_record got{};
    acquire_PARA(&got, 1);
    EXPECT_EQ(got.eval_modeA, 7);
    EXPECT_EQ(got.out_hold[0].on, 200);
    // A second unlisted value replaces the "User" item instead of adding one.
    const int n = list_count(tab2, TAB2_RING_EVALMODE);
    r.eval_modeA = 41;
    update_PARA(&r);
    EXPECT_EQ(list_count(tab2, TAB2_RING_EVALMODE), n);
}

// ---- oscillograph mode -------------------------------------------------------------------

TEST_F(ParaPanels, AutoOnZeroSkipCountStartsAtOneAndOffDims) {
    SetCtrlVal(tab6, TAB6_NUMS_SKIPA, 0);
    set_oszi_mode(0, 0);
    EXPECT_EQ(value_of(tab6, TAB6_NUMS_SKIPA), 1);
    EXPECT_EQ(attr_of(tab6, TAB6_NUMS_PRETRIGA, ATTR_DIMMED), 0);
    char label[64] = "";
    GetCtrlAttribute(tab6, TAB6_RING_MODEA, ATTR_LABEL_TEXT, label, sizeof label);
    EXPECT_STREQ(label, "Trigger = Auto");

    SetCtrlVal(tab6, TAB6_NUMS_SKIPA, 6);
    set_oszi_mode(0, 1);
    EXPECT_EQ(value_of(tab6, TAB6_NUMS_SKIPA), 6);
    set_oszi_mode(0, -1);
    EXPECT_EQ(value_of(tab6, TAB6_NUMS_SKIPA), 0);
    EXPECT_EQ(value_of(tab6, TAB6_RING_MODEA), -1);
    EXPECT_EQ(attr_of(tab6, TAB6_RING_OSCICONDA, ATTR_DIMMED), 1);
    GetCtrlAttribute(tab6, TAB6_RING_MODEA, ATTR_LABEL_TEXT, label, sizeof label);
    EXPECT_STREQ(label, "Trigger = Off");

    set_oszi_mode(0, 2);
    EXPECT_EQ(value_of(tab6, TAB6_RING_MODEA), -1);
}

TEST_F(ParaPanels, RecordWithSkipCountWhileRingIsOffEndsAtZero) {
    osci_modes(-1, 0);
    para_record r = panel_sample();
    r.osci_skipA = 3;
    update_PARA(&r);
    EXPECT_EQ(value_of(tab6, TAB6_NUMS_SKIPA), 0);
    EXPECT_EQ(value_of(tab6, TAB6_NUMS_SKIPB), 7);
    para_record got{};
    acquire_PARA(&got, 1);
    EXPECT_EQ(got.osci_skipA, 0);
    EXPECT_EQ(got.osci_skipB, 7);
}

TEST_F(ParaPanels, OscillographSettingsAgreeOnlyWhenAllFivePairsDo) {
    para_record r{};
    r.osci_condA = r.osci_condB = {{1, 2, 3}};
    r.osci_skipA = r.osci_skipB = 4;
    r.osci_pretrigA = r.osci_pretrigB = 200;
    EXPECT_EQ(test_osci_setting(&r), 1);
    r.osci_pretrigB = 201;
    EXPECT_EQ(test_osci_setting(&r), 0);
    r.osci_pretrigB = 200;
    r.osci_condB.evnt[2] = 0;
    EXPECT_EQ(test_osci_setting(&r), 0);
}

// ---- analog output -----------------------------------------------------------------------

TEST_F(ParaPanels, ScaleListFollowsTheSourceAndTheViewCloses) {
    para_record r = panel_sample();
    set_anaout_transfer(1, 0, 0, 0, &r, 0);
    EXPECT_EQ(attr_of(tab7, TAB7_GRPH_TRANSFER, ATTR_VISIBLE), 1);
    EXPECT_EQ(attr_of(tab7, TAB7_NUMS_SCANRATE, ATTR_VISIBLE), 0);
    update_PARA(&r);
    EXPECT_EQ(list_count(tab7, TAB7_RING_ANAOUTSCALE), 8);
    EXPECT_EQ(value_of(tab7, TAB7_RING_ANAOUTSCALE), 0);
    EXPECT_EQ(attr_of(tab7, TAB7_GRPH_TRANSFER, ATTR_VISIBLE), 0);
    EXPECT_EQ(attr_of(tab7, TAB7_NUMS_SCANRATE, ATTR_VISIBLE), 1);
    r.anaout_source = 5;
    update_PARA(&r);
    EXPECT_EQ(list_count(tab7, TAB7_RING_ANAOUTSCALE), 1);
}

TEST_F(ParaPanels, TransferRowsOfThePresets) {
    para_record r{};
    r.teachA[0] = {1000 << 16, 0, 0};
    set_anaout_transfer(-1, 4, 0, 1, &r, 0);
    EXPECT_EQ(r.anaout_scale[1].gain, 16384);
    EXPECT_EQ(r.anaout_scale[1].shift, 2);
    EXPECT_EQ(r.anaout_scale[1].offset, 48);
    set_anaout_transfer(-1, 7, 0, 2, &r, 0);
    EXPECT_EQ(r.anaout_scale[2].gain, -16384);
    EXPECT_EQ(r.anaout_scale[2].offset, 4048);

    r.teachB[0] = {2000 << 16, 500 << 16, 500 << 16};
    set_anaout_transfer(-1, 2, 1, 0, &r, 0);
    EXPECT_EQ(r.anaout_scale[0].gain, 16777);
    EXPECT_EQ(r.anaout_scale[0].shift, 3);
    EXPECT_EQ(r.anaout_scale[0].offset, -6144);

    r.teachA[0] = {2000 << 16, 0, 0};
    const anaout_scaling before = r.anaout_scale[3] = {1, 2, 3};
    set_anaout_transfer(-1, 2, 0, 3, &r, 0);
    EXPECT_EQ(r.anaout_scale[3].offset, before.offset);
    EXPECT_EQ(r.anaout_scale[3].gain, before.gain);
}
