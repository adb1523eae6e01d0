#include "tests/params/para_gui_fixture.h"

#include "osci/osci_mode.h"
#include "params/cond_ring_ui.h"
#include "settings/anaout_view.h"
#include "tests/params/para_sample.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>

popup_log popups;

namespace {

int answer_popup(const ui_popup_request* r, char* path_out, int path_size) {
    auto str = [](const char* s) { return std::string(s ? s : ""); };
    popups.popups.push_back(
        {r->kind, str(r->title), str(r->text), str(r->directory), str(r->default_name), str(r->filter)});
    if (r->kind == UI_POPUP_FILE_LOAD || r->kind == UI_POPUP_FILE_SAVE) {
        snprintf(path_out, static_cast<size_t>(path_size), "%s", popups.file_path.c_str());
        return popups.file_answer;
    }
    return 0;
}

int load(int parent, int resource, const char* name) {
    const int panel = LoadPanel(parent, "UserIF.uir", resource);
    if (panel > 0) SetPanelAttribute(panel, ATTR_PANEL_NAME, name);
    return panel;
}

// The condition rings as start-up fills them, with their list codes.
void fill_channel(int panel, int out_code) {
    const int rings[6] = {TAB2_RING_TIMERCOND, TAB2_RING_COUNTERCOND, TAB2_RING_OUTCOND,
                          TAB2_RING_EVALSTART, TAB2_RING_EVALSTOP,    TAB2_RING_EVALSPAN};
    const int codes[6] = {COND_CODE_EVENT, COND_CODE_EVENT_OUTPUTS, out_code,
                          COND_CODE_EVENT, COND_CODE_EVAL_STOP,     COND_CODE_SPAN};
    for (int i = 0; i < 6; i++) ui_fill_conditions(panel, rings[i], codes[i]);
}

} // namespace

void ParaPanels::SetUpTestSuite() {
    if (mpanel > 0) return;
    SetPopupHandler(answer_popup);
    ASSERT_EQ(RegisterUserIF(userif_panels, userif_panel_count, userif_controls, userif_control_count), 0);
    register_params_callbacks();
    mpanel = load(0, MPANEL, "mpanel");
    tab2 = load(mpanel, TAB2, "tab2");
    tab3 = load(mpanel, TAB2, "tab3");
    tab4 = load(mpanel, TAB4, "tab4");
    tab5 = load(mpanel, TAB5, "tab5");
    tab6 = load(mpanel, TAB6, "tab6");
    tab7 = load(mpanel, TAB7, "tab7");
    tab8 = load(mpanel, TAB8, "tab8");
    tab9 = load(mpanel, TAB9, "tab9");
    tab10 = load(mpanel, TAB10, "tab10");
    tab11 = load(mpanel, TAB11, "tab11");
    graph1 = load(mpanel, GRAPH1, "graph1");
    for (int p : {mpanel, tab2, tab3, tab4, tab5, tab6, tab7, tab8, tab9, tab10, tab11, graph1})
        ASSERT_GT(p, 0);

    fill_channel(tab2, COND_CODE_OUTPUT_A);
    fill_channel(tab3, COND_CODE_OUTPUT_B);
    ClearListCtrl(tab2, TAB2_RING_CHAN);
    InsertListItemInt(tab2, TAB2_RING_CHAN, -1, "1", 0);
    ClearListCtrl(tab3, TAB2_RING_CHAN);
    InsertListItemInt(tab3, TAB2_RING_CHAN, -1, "1", 1);
    InsertListItemInt(tab3, TAB2_RING_CHAN, -1, "2", 0);
    InsertListItemInt(tab3, TAB2_RING_CHAN, -1, "OFF", -1);
    ui_fill_conditions(tab5, TAB5_RING_AUTOSEND, COND_CODE_EVENT_OUTPUTS);
    ui_fill_conditions(tab6, TAB6_RING_OSCICONDA, COND_CODE_EVENT_OUTPUTS);
    ui_fill_conditions(tab6, TAB6_RING_OSCICONDB, COND_CODE_EVENT_OUTPUTS);
    ui_fill_conditions(tab7, TAB7_RING_NORMCOND, COND_CODE_NORM);
}

// The oscillograph settings and the analog output view, which the program
// puts behind the parameter panels' hooks at start-up.
static void use_panel_hooks() {
    params_hook.set_oszi_mode = set_oszi_mode;
    params_hook.fill_zoom_list = fill_zoom_list;
    params_hook.set_anaout_transfer = set_anaout_transfer;
}

void ParaPanels::SetUp() {
    popups = popup_log{};
    params_hook = params_hooks{};
    use_panel_hooks();
    paras.para_pc = para_record{};
    paras.para_rd = para_record{};
    osci_modes(0, 0);
}

void ParaPanels::TearDown() {
    params_hook = params_hooks{};
}

void ParaPanels::osci_modes(int a, int b) {
    SetCtrlVal(tab6, TAB6_RING_MODEA, a);
    SetCtrlVal(tab6, TAB6_RING_MODEB, b);
}

para_record panel_sample() {
    para_record r = para_sample();
    r.timerB = 204;
    r.osci_skipA = 5;
    r.osci_skipB = 7;
    r.osci_pretrigA = 200;
    r.osci_pretrigB = 301;
    r.out_hold[0].on = 200;
    r.out_hold[1].on = 500;
    r.input_sourceB = 0;
    r.anaout_source = 2;
    r.anaout_switch = 3;
    r.iirB.gain = 0;
    r.iirB.use_filtered = 0;
    r.derivationB = 1;
    r.timer_modeA = 1;
    r.timer_modeB = 0;
    return r;
}
