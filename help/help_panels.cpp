// The help panels: what a right click shows, the visualisation's animation, the
// switching and closing of the help panels, and the HELP button.
#include "help/help_panels.h"

#include "help/help_table.h"
#include "help/tooltip_table.h"
#include "ui/help_hook.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

namespace {

const int indicators[HELP_SLOTS] = {GRAPH3_NUM_VALUE1, GRAPH3_NUM_VALUE2, GRAPH3_NUM_VALUE3, GRAPH3_NUM_VALUE4,
                                    GRAPH3_NUM_VALUE5, GRAPH3_NUM_VALUE6, GRAPH3_NUM_VALUE7, GRAPH3_NUM_VALUE8};

const int idle_color = MakeColor(224, 224, 224);
const int selected_color = MakeColor(192, 192, 192);
const double full_scale = 4095.0; // the unit's 12-bit range, which every generator keeps to

void hide_displays() {
    HidePanel(graph1);
    HidePanel(graph2);
    HidePanel(graph3);
}

// Shows one of the two help panels with the focus on its CLOSE button, so that
// Enter or Space closes the help again.
void display_help_panel(int panel) {
    DisplayPanel(panel);
    SetActiveCtrl(panel, panel == graph3 ? GRAPH3_CMDB_CLOSE : GRAPH2_CMDB_CLOSE);
}

// The chart flag of a help screen says how the chart scales its values: 0 keeps
// the fixed 12-bit range in which the values of the upper chart move, 1 fits the
// range to the data, so that the two levels of a reset or trigger signal on the
// lower chart fill it instead of lying close together near its top.
void apply_chart_flag(int chart, int flag) {
    SetAxisScalingMode(graph3, chart, UI_LEFT_YAXIS, flag ? UI_AUTOSCALE : UI_MANUAL, 0.0, full_scale);
}

void set_up_chart(int chart, const help_chart& c) {
    SetCtrlAttribute(graph3, chart, ATTR_LABEL_TEXT, c.label);
    ClearStripChart(graph3, chart);
    if (c.count < 1) {
        // Nothing to draw: one trace that is not seen.
        SetCtrlAttribute(graph3, chart, ATTR_NUM_TRACES, 1);
        SetTraceAttribute(graph3, chart, 1, ATTR_TRACE_VISIBLE, 0);
        return;
    }
    const int n = help_chart_traces(&c);
    SetCtrlAttribute(graph3, chart, ATTR_NUM_TRACES, n);
    apply_chart_flag(chart, c.flag);
    for (int t = 0; t < n; t++) {
        SetTraceAttribute(graph3, chart, t + 1, ATTR_TRACE_VISIBLE, 1);
        SetTraceAttribute(graph3, chart, t + 1, ATTR_TRACE_COLOR, c.colours[t]);
        SetTraceAttribute(graph3, chart, t + 1, ATTR_PLOT_STYLE, c.plot_styles[t]);
        SetTraceAttribute(graph3, chart, t + 1, ATTR_LINE_STYLE, c.line_styles[t]);
    }
}

int set_tooltip(const char* panel, const char* control, const char* text, void*) {
    const int p = GetPanelHandleByName(panel);
    if (p < 0) return p;
    const int c = GetCtrlIdByName(p, control);
    if (c < 0) return c;
    return SetCtrlToolTipAttribute(p, c, UI_TOOLTIP_TEXT, text);
}

int timer_enabled() {
    int on = 0;
    GetCtrlAttribute(graph3, GRAPH3_TIMER_ANI, ATTR_ENABLED, &on);
    return on;
}

} // namespace

// ---- showing help ------------------------------------------------------------------------------

int init_helpscr(const help_screen* scr) {
    if (!scr) return -1;
    ResetTextBox(graph2, GRAPH2_TEXTBOX_PANEL, scr->panel_text);
    ResetTextBox(graph2, GRAPH2_TEXTBOX_CONTROL, scr->control_text);
    for (int ind : indicators) SetCtrlAttribute(graph3, ind, ATTR_VISIBLE, 0);
    if (scr->upper.count >= 1) {
        const int n = help_chart_traces(&scr->upper);
        for (int i = 0; i < n; i++) {
            SetCtrlAttribute(graph3, indicators[i], ATTR_LABEL_TEXT, scr->trace_names[i]);
            SetCtrlAttribute(graph3, indicators[i], ATTR_VISIBLE, 1);
        }
    }
    set_up_chart(GRAPH3_STRIP_UPPER, scr->upper);
    set_up_chart(GRAPH3_STRIP_LOWER, scr->lower);
    // The animation runs again, whatever a PAUSE left on the button.
    SetCtrlAttribute(graph3, GRAPH3_CBTN_RUNSTOP, ATTR_LABEL_TEXT, "PAUSE");
    SetCtrlAttribute(graph3, GRAPH3_TIMER_ANI, ATTR_ENABLED, 1);
    ResetTimer(graph3, GRAPH3_TIMER_ANI);
    ResumeTimerCallbacks();
    return 0;
}

int help_show(const char* panel, const char* control) {
    const int found = help_prepare(panel, control, &active_helpscr);
    if (found == HELP_NOTHING) return 1;
    if (found < 0) return 0;
    hide_displays();
    init_helpscr(&active_helpscr);
    display_help_panel(graph2);
    return 1;
}

void help_close(int stop_animation) {
    hide_displays();
    DisplayPanel(graph1);
    if (stop_animation) SetCtrlAttribute(graph3, GRAPH3_TIMER_ANI, ATTR_ENABLED, 0);
}

void help_install() {
    const struct {
        const char* name;
        ui_callback function;
    } table[] = {
        {"CC_CMDB_HELP_SWICH", CC_CMDB_HELP_SWICH},
        {"CC_CMDB_HELP_CLOSE", CC_CMDB_HELP_CLOSE},
        {"CC_ANI_TIMER", CC_ANI_TIMER},
        {"CC_CBTN_RUNSTOP", CC_CBTN_RUNSTOP},
        {"CC_GRAPH1", CC_GRAPH1},
        {"CC_GRAPH2", CC_GRAPH2},
        {"CC_GRAPH3", CC_GRAPH3},
        {"CC_NUMERICS_HELP", CC_NUMERICS_HELP},
        {"CC_CBTN_HELP", CC_CBTN_HELP},
    };
    for (const auto& e : table) RegisterCallbackName(e.name, e.function);
    // A numeric without help of its own shows the last help again; before any
    // help was shown that is the main display's, not an empty screen.
    help_prepare("graph1", "", &active_helpscr);
    set_help_handler(help_show);
}

// ---- tooltips ----------------------------------------------------------------------------------

int init_tooltips() {
    return walk_tooltips(1, set_tooltip, nullptr);
}

int quit_tooltips() {
    return walk_tooltips(0, set_tooltip, nullptr);
}

// ---- callbacks of the help panels ------------------------------------------------------------------
// The help panels' own controls answer a right click without help.

int CC_CMDB_HELP_SWICH(int panel, int, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return 1;
    if (event != EVENT_COMMIT) return 0;
    hide_displays();
    display_help_panel(panel == graph2 ? graph3 : graph2);
    return 0;
}

int CC_CMDB_HELP_CLOSE(int, int, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return 1;
    if (event == EVENT_COMMIT) help_close(1);
    return 0;
}

int CC_ANI_TIMER(int, int, int event, void*, int, int) {
    if (event != EVENT_TIMER_TICK) return 0;
    help_frame frame;
    if (help_tick(&active_helpscr, &tick_cntr, &frame) < 0) return 0;
    // Hidden charts take their points without painting; they are up to date
    // when the visualisation is shown.
    if (frame.upper_points > 0)
        PlotStripChart(graph3, GRAPH3_STRIP_UPPER, frame.upper, frame.upper_points, UI_INTEGER);
    for (int i = 0; i < HELP_SLOTS; i++) SetCtrlVal(graph3, indicators[i], frame.upper[i]);
    if (frame.lower_points > 0)
        PlotStripChart(graph3, GRAPH3_STRIP_LOWER, frame.lower, frame.lower_points, UI_INTEGER);
    return 0;
}

// The label names what the next click does: PAUSE while the animation runs.
int CC_CBTN_RUNSTOP(int, int, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return 1;
    if (event != EVENT_LEFT_CLICK) return 0;
    const int running = timer_enabled();
    SetCtrlAttribute(graph3, GRAPH3_TIMER_ANI, ATTR_ENABLED, running ? 0 : 1);
    SetCtrlAttribute(graph3, GRAPH3_CBTN_RUNSTOP, ATTR_LABEL_TEXT, running ? "RUN" : "PAUSE");
    return 0;
}

// Back to the main display; the animation goes on (CLOSE or a right click on the
// visualisation ends it).
int CC_GRAPH2(int, int, int event, void*, int, int) {
    if (event != EVENT_RIGHT_CLICK) return 0;
    help_close(0);
    return 1;
}

int CC_GRAPH3(int, int, int event, void*, int, int) {
    if (event != EVENT_RIGHT_CLICK) return 0;
    help_close(1);
    return 1;
}

// ---- help on the main display --------------------------------------------------------------------

int CC_GRAPH1(int panel, int, int event, void*, int, int) {
    return event == EVENT_RIGHT_CLICK ? show_ctrl_help(panel, 0) : 0;
}

int CC_NUMERICS_HELP(int panel, int control, int event, void*, int, int) {
    return event == EVENT_RIGHT_CLICK ? show_ctrl_help(panel, control) : 0;
}

// ---- HELP button ---------------------------------------------------------------------------------

int CC_CBTN_HELP(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT) return 0;
    help_status = !help_status;
    SetCtrlAttribute(mpanel, MPANEL_CBTN_HELP, ATTR_CMD_BUTTON_COLOR, help_status ? selected_color : idle_color);
    if (help_status)
        init_tooltips();
    else
        quit_tooltips();
    SetActiveCtrl(mpanel, MPANEL_CBTN_SEL_CONNECT);
    return 0;
}
