// The help on screen, with the whole program started on its real layouts
// (offscreen): what a right click anywhere shows, the visualisation and its
// animation, switching and closing the help panels, RUN/PAUSE, and the HELP
// button with its tooltips.
#include "app/shell.h"
#include "help/help_panels.h"
#include "help/help_table.h"
#include "help/tooltip_table.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/ui_internal.h"
#include "ui/userif.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>

#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

int ignore_popup(const ui_popup_request*, char*, int) {
    return 0;
}

int panel_visible(int panel) {
    int v = -1;
    GetPanelAttribute(panel, ATTR_VISIBLE, &v);
    return v;
}

int attr(int panel, int ctrl, int a) {
    int v = -1;
    GetCtrlAttribute(panel, ctrl, a, &v);
    return v;
}

std::string text(int panel, int ctrl, int a = 0) {
    char buf[4096] = "";
    if (a)
        GetCtrlAttribute(panel, ctrl, a, buf, sizeof buf);
    else
        GetCtrlValString(panel, ctrl, buf, sizeof buf);
    return buf;
}

std::string tooltip(int panel, int ctrl) {
    char buf[512] = "";
    GetCtrlToolTipAttribute(panel, ctrl, buf, sizeof buf);
    return buf;
}

int right_click(int panel, int ctrl) {
    return SimulateCtrlEvent(panel, ctrl, EVENT_RIGHT_CLICK, 0, 0);
}

void commit(int panel, int ctrl) {
    SimulateCtrlEvent(panel, ctrl, EVENT_COMMIT, 0, 0);
}

void tick(int n = 1) {
    for (int i = 0; i < n; i++) SimulateCtrlEvent(graph3, GRAPH3_TIMER_ANI, EVENT_TIMER_TICK, 0, 0);
}

int timer_on() {
    return attr(graph3, GRAPH3_TIMER_ANI, ATTR_ENABLED);
}

const int indicators[8] = {GRAPH3_NUM_VALUE1, GRAPH3_NUM_VALUE2, GRAPH3_NUM_VALUE3, GRAPH3_NUM_VALUE4,
                           GRAPH3_NUM_VALUE5, GRAPH3_NUM_VALUE6, GRAPH3_NUM_VALUE7, GRAPH3_NUM_VALUE8};

int shown_indicators() {
    int n = 0;
    for (int ind : indicators) n += attr(graph3, ind, ATTR_VISIBLE) == 1;
    return n;
}

std::string panel_name(int panel) {
    char buf[64] = "";
    GetPanelAttribute(panel, ATTR_PANEL_NAME, buf, sizeof buf);
    return buf;
}

std::string ctrl_name(int panel, int ctrl) {
    return ctrl ? text(panel, ctrl, ATTR_CONSTANT_NAME) : "";
}

bool registered = false;

class HelpPanels : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!registered) {
            RegisterUserIF(userif_panels, userif_panel_count, userif_controls, userif_control_count);
            shell_register_callbacks();
            shell_use_subsystems();
            registered = true;
        }
        SetPopupHandler(ignore_popup);
        help_status = 0;
        ASSERT_EQ(shell_startup(), 0);
        scope_para_file[0] = 0;
    }
    void TearDown() override {
        shell_discard_panels();
        ProcessSystemEvents();
        FlushUserEvents();
    }
    // The help text panel is up in the display's place, focus on its CLOSE.
    static void expect_help_text_shown() {
        EXPECT_EQ(panel_visible(graph2), 1);
        EXPECT_EQ(panel_visible(graph1), 0);
        EXPECT_EQ(panel_visible(graph3), 0);
        EXPECT_EQ(GetActiveCtrl(graph2), GRAPH2_CMDB_CLOSE);
    }
    static void expect_main_display() {
        EXPECT_EQ(panel_visible(graph1), 1);
        EXPECT_EQ(panel_visible(graph2), 0);
        EXPECT_EQ(panel_visible(graph3), 0);
    }
};

// Right clicks that the panels answer without help: the tab panels without a
// description, the video graphs (their right button zooms) and the help panels.
bool shows_no_help(const std::string& panel, const std::string& callback) {
    return callback == "CC_TAB3" || callback == "CC_TAB10" || callback == "CC_TAB11" ||
           callback == "CC_OSCILLOGPH" || panel == "graph2" || panel == "graph3";
}

} // namespace

// ---- every right click -------------------------------------------------------------------------

TEST_F(HelpPanels, EveryControlWithACallbackAnswersARightClick) {
    int handles[64];
    const int n = EnumPanels(handles, 64);
    int walked = 0, helped = 0;
    std::set<std::string> not_bound;
    for (int i = 0; i < n && i < 64; i++) {
        const int panel = handles[i];
        std::vector<int> ids(1024);
        const int m = EnumCtrls(panel, ids.data(), 1024);
        ids.resize(static_cast<size_t>(m));
        ids.insert(ids.begin(), 0); // the panel's own callback
        for (int ctrl : ids) {
            const std::string cb = ctrl ? text(panel, ctrl, ATTR_CALLBACK_NAME) : ui_panel(panel)->cb_name;
            if (cb.empty() || (ctrl && GetCtrlKind(panel, ctrl) == UI_KIND_TIMER)) continue;
            const std::string where = panel_name(panel) + " / " + ctrl_name(panel, ctrl) + " (" + cb + ")";
            // Callbacks of panels still being built elsewhere are not in this program yet.
            if ((ctrl ? ui_ctrl(panel, ctrl)->cb : ui_panel(panel)->cb) == nullptr) {
                not_bound.insert(cb);
                continue;
            }
            help_close(1);
            ResetTextBox(graph2, GRAPH2_TEXTBOX_PANEL, "");
            walked++;
            EXPECT_EQ(right_click(panel, ctrl), 1) << where;
            if (shows_no_help(panel_name(panel), cb)) {
                EXPECT_EQ(panel_visible(graph2), 0) << where;
                EXPECT_EQ(panel_visible(graph1), 1) << where;
            } else {
                helped++;
                EXPECT_EQ(panel_visible(graph2), 1) << where;
                EXPECT_EQ(panel_visible(graph1), 0) << where;
                EXPECT_FALSE(text(graph2, GRAPH2_TEXTBOX_PANEL).empty()) << where;
            }
        }
    }
    for (const std::string& cb : not_bound) std::printf("not bound in this program: %s\n", cb.c_str());
    // Walked: the main window, connect, parameter, recorder panels and the displays at least.
    EXPECT_GT(walked, 100);
    EXPECT_GT(helped, 90);
}

TEST_F(HelpPanels, EachShapeOfClickFindsItsTexts) {
    struct click {
        int* panel;
        int ctrl;
        const char* panel_text;   // what the panel text begins with
        const char* control_text; // what the control text begins with
    };
    const click clicks[] = {
        {&tab1, 0, "CONNECT:", "You performed a <RIGHT CLICK>"},
        {&tab1, TAB1_CMDB_TRYCONNECT, "CONNECT:", "Pressing the <TRY TO CONNECT> button"},
        {&tab3, 0, "CHANNEL B PARAMETER:", "You performed"},
        {&tab3, TAB2_NUMS_TIMER, "CHANNEL B PARAMETER:", "You performed"},
        {&tab2, TAB2_RING_CHAN, "CHANNEL A PARAMETER:", "You performed"},
        {&tab5, TAB5_CMDB_SHOWGRAPH, "DATA RECORDER:", "You can view the recorded data at any time."},
        {&tab5, TAB5_CBTN_START, "DATA RECORDER:", "You performed"},
        {&mpanel, 0, "MAIN PANEL:", "You performed"},
        {&mpanel, MPANEL_CBTN_SEL_TEACH, "PANEL SELECTOR:", "TEACHTABLES:"},
        {&mpanel, MPANEL_CBTN_STOP, "MAIN PANEL:", "Pressing the <STOP> button"},
        {&mpanel, MPANEL_CBTN_SEND, "MAIN PANEL:", "Pressing the <SEND> button"},
        {&mpanel, MPANEL_TOGGLE_ROM, "MAIN PANEL:", "Select the non-volatile storage"},
        {&mpanel, MPANEL_CBTN_RUN, "MAIN PANEL:", "Pressing the <RUN> button"},
        {&mpanel, MPANEL_CBTN_HELP, "MAIN PANEL:", "Pressing the <HELP> button"},
        {&graph1, 0, "While active, the KORMELAN-3", "You performed"},
        {&graph1, GRAPH1_STRIP_DATA, "While active", "Through this stripchart"},
        {&graph1, GRAPH1_LED_OUT1, "The KORMELAN-3 control unit can communicate",
         "View the status of the digital output OUT1."},
        {&graph1, GRAPH1_BINS_CNTRB, "While active", "Through this stripchart"},
        {&osci1, OSCI1_RING_ZOOMX, "While active", "Through this stripchart"},
    };
    for (const click& c : clicks) {
        const std::string where = panel_name(*c.panel) + " / " + ctrl_name(*c.panel, c.ctrl);
        help_close(1);
        ASSERT_EQ(right_click(*c.panel, c.ctrl), 1) << where;
        EXPECT_EQ(text(graph2, GRAPH2_TEXTBOX_PANEL).rfind(c.panel_text, 0), 0u) << where;
        EXPECT_EQ(text(graph2, GRAPH2_TEXTBOX_CONTROL).rfind(c.control_text, 0), 0u) << where;
        expect_help_text_shown();
    }
}

// ---- visualisations ------------------------------------------------------------------------------

TEST_F(HelpPanels, NumericsSetUpTheirVisualisation) {
    struct numeric {
        int ctrl;
        int upper, lower; // traces of the two charts (0: one unseen trace)
        const char* first_name;
        const char* lower_label;
    };
    const numeric numerics[] = {
        {GRAPH1_NUM_RAWA, 4, 0, "RAW", "No visualisation available."},
        {GRAPH1_NUM_MAXVALB, 3, 1, "NORM", "Reset signal (red)"},
        {GRAPH1_NUM_CNTRA, 3, 2, "NORM", "Trigger signal (blue), reset signal (red)"},
        {GRAPH1_NUM_RESULTB, 0, 0, nullptr, "No visualisation available."},
    };
    for (const numeric& nm : numerics) {
        const std::string where = ctrl_name(graph1, nm.ctrl);
        ASSERT_EQ(right_click(graph1, nm.ctrl), 1) << where;
        expect_help_text_shown();
        EXPECT_EQ(shown_indicators(), nm.upper) << where;
        if (nm.first_name) {
            EXPECT_EQ(text(graph3, GRAPH3_NUM_VALUE1, ATTR_LABEL_TEXT), nm.first_name) << where;
        }
        EXPECT_EQ(text(graph3, GRAPH3_STRIP_LOWER, ATTR_LABEL_TEXT), nm.lower_label) << where;
        EXPECT_EQ(attr(graph3, GRAPH3_STRIP_UPPER, ATTR_NUM_TRACES), nm.upper ? nm.upper : 1) << where;
        EXPECT_EQ(attr(graph3, GRAPH3_STRIP_LOWER, ATTR_NUM_TRACES), nm.lower ? nm.lower : 1) << where;
        int seen = -1;
        GetTraceAttribute(graph3, GRAPH3_STRIP_LOWER, 1, ATTR_TRACE_VISIBLE, &seen);
        EXPECT_EQ(seen, nm.lower ? 1 : 0) << where;
        // The lower chart's flag fits its range to the signal levels.
        if (nm.lower) {
            int mode = -1;
            double lo = 0, hi = 0;
            GetAxisScalingMode(graph3, GRAPH3_STRIP_LOWER, UI_LEFT_YAXIS, &mode, &lo, &hi);
            EXPECT_EQ(mode, UI_AUTOSCALE) << where;
            GetAxisScalingMode(graph3, GRAPH3_STRIP_UPPER, UI_LEFT_YAXIS, &mode, &lo, &hi);
            EXPECT_EQ(mode, UI_MANUAL) << where;
            EXPECT_EQ(hi, 4095.0) << where;
        }
        EXPECT_EQ(timer_on(), 1) << where;
    }
    // The counter's own trace is there but not seen.
    right_click(graph1, GRAPH1_NUM_CNTRB);
    int colour = 0;
    GetTraceAttribute(graph3, GRAPH3_STRIP_UPPER, 3, ATTR_TRACE_COLOR, &colour);
    EXPECT_EQ(colour, UI_TRANSPARENT);
    // A numeric without help of its own shows the last help again.
    const std::string last = text(graph2, GRAPH2_TEXTBOX_CONTROL);
    help_close(1);
    ASSERT_EQ(right_click(graph1, GRAPH1_NUM_FILTA), 1);
    expect_help_text_shown();
    EXPECT_EQ(text(graph2, GRAPH2_TEXTBOX_CONTROL), last);
    EXPECT_EQ(shown_indicators(), 3);
    EXPECT_EQ(timer_on(), 1);
}

TEST_F(HelpPanels, ANumericWithoutHelpBeforeAnyOtherShowsTheDisplaysHelp) {
    active_helpscr = help_screen{}; // as the program starts
    help_install();
    ASSERT_EQ(right_click(graph1, GRAPH1_NUM_DERIVB), 1);
    EXPECT_EQ(text(graph2, GRAPH2_TEXTBOX_PANEL), descr_help_on_traces);
    EXPECT_EQ(text(graph2, GRAPH2_TEXTBOX_CONTROL), descr_click_on_panel);
}

TEST_F(HelpPanels, EachTickAppendsOnePointPerTraceAndShowsTheValues) {
    ASSERT_EQ(right_click(graph1, GRAPH1_NUM_MINVALA), 1);
    // The same record and tick, animated apart from the panels.
    auto expected = std::make_unique<help_screen>();
    copy_helpscr(expected.get(), &active_helpscr);
    int t = tick_cntr;
    help_frame frame{};
    const int ticks = 70; // past one reset of minimum and maximum
    std::vector<double> upper1, lower1;
    for (int i = 0; i < ticks; i++) {
        help_tick(expected.get(), &t, &frame);
        upper1.push_back(frame.upper[0]);
        lower1.push_back(frame.lower[0]);
    }
    tick(ticks);
    EXPECT_EQ(tick_cntr, t);
    std::vector<double> got(256);
    ASSERT_EQ(GetStripChartPoints(graph3, GRAPH3_STRIP_UPPER, 1, got.data(), 256), ticks);
    EXPECT_EQ(std::vector<double>(got.begin(), got.begin() + ticks), upper1);
    ASSERT_EQ(GetStripChartPoints(graph3, GRAPH3_STRIP_LOWER, 1, got.data(), 256), ticks);
    EXPECT_EQ(std::vector<double>(got.begin(), got.begin() + ticks), lower1);
    for (int i = 0; i < 8; i++) {
        double v = -1;
        GetCtrlValDouble(graph3, indicators[i], &v);
        EXPECT_EQ(v, frame.upper[i]) << "indicator " << i + 1;
    }
}

// ---- switching, pausing, closing --------------------------------------------------------------------

TEST_F(HelpPanels, BothSwitchesOfEachPanelLeadToTheOther) {
    for (int to_visual : {GRAPH2_CMDB_VISUAL, GRAPH2_CMDB_TAB_VISUAL}) {
        for (int to_text : {GRAPH3_CMDB_TEXT, GRAPH3_CMDB_TAB_TEXT}) {
            right_click(graph1, GRAPH1_NUM_VALA);
            commit(graph2, to_visual);
            EXPECT_EQ(panel_visible(graph3), 1);
            EXPECT_EQ(panel_visible(graph2), 0);
            EXPECT_EQ(panel_visible(graph1), 0);
            EXPECT_EQ(GetActiveCtrl(graph3), GRAPH3_CMDB_CLOSE);
            commit(graph3, to_text);
            expect_help_text_shown();
            EXPECT_EQ(timer_on(), 1);
        }
    }
}

TEST_F(HelpPanels, RunPauseActsOnALeftClickAndNamesTheNextAction) {
    right_click(graph1, GRAPH1_NUM_CNTRA);
    commit(graph2, GRAPH2_CMDB_VISUAL);
    EXPECT_EQ(text(graph3, GRAPH3_CBTN_RUNSTOP, ATTR_LABEL_TEXT), "PAUSE");
    EXPECT_EQ(SimulateCtrlEvent(graph3, GRAPH3_CBTN_RUNSTOP, EVENT_LEFT_CLICK, 0, 0), 0);
    EXPECT_EQ(timer_on(), 0);
    EXPECT_EQ(text(graph3, GRAPH3_CBTN_RUNSTOP, ATTR_LABEL_TEXT), "RUN");
    // Other events do nothing; a right click is answered without help.
    commit(graph3, GRAPH3_CBTN_RUNSTOP);
    EXPECT_EQ(right_click(graph3, GRAPH3_CBTN_RUNSTOP), 1);
    EXPECT_EQ(timer_on(), 0);
    EXPECT_EQ(panel_visible(graph3), 1);
    SimulateCtrlEvent(graph3, GRAPH3_CBTN_RUNSTOP, EVENT_LEFT_CLICK, 0, 0);
    EXPECT_EQ(timer_on(), 1);
    EXPECT_EQ(text(graph3, GRAPH3_CBTN_RUNSTOP, ATTR_LABEL_TEXT), "PAUSE");
    // Help shown anew runs, whatever was left paused.
    SimulateCtrlEvent(graph3, GRAPH3_CBTN_RUNSTOP, EVENT_LEFT_CLICK, 0, 0);
    right_click(graph1, GRAPH1_NUM_RAWB);
    EXPECT_EQ(timer_on(), 1);
    EXPECT_EQ(text(graph3, GRAPH3_CBTN_RUNSTOP, ATTR_LABEL_TEXT), "PAUSE");
    double interval = 0;
    GetCtrlAttribute(graph3, GRAPH3_TIMER_ANI, ATTR_INTERVAL, &interval);
    EXPECT_EQ(interval, 0.1);
}

TEST_F(HelpPanels, ClosingThreeWays) {
    // CLOSE on either panel ends the animation.
    for (int* panel : {&graph2, &graph3}) {
        right_click(graph1, GRAPH1_NUM_RAWA);
        if (*panel == graph3) commit(graph2, GRAPH2_CMDB_VISUAL);
        commit(*panel, *panel == graph2 ? GRAPH2_CMDB_CLOSE : GRAPH3_CMDB_CLOSE);
        expect_main_display();
        EXPECT_EQ(timer_on(), 0);
    }
    // A right click on the visualisation's background as well.
    right_click(graph1, GRAPH1_NUM_RAWA);
    commit(graph2, GRAPH2_CMDB_VISUAL);
    EXPECT_EQ(right_click(graph3, 0), 1);
    expect_main_display();
    EXPECT_EQ(timer_on(), 0);
    // One on the text's background leaves it running.
    right_click(graph1, GRAPH1_NUM_RAWA);
    EXPECT_EQ(right_click(graph2, 0), 1);
    expect_main_display();
    EXPECT_EQ(timer_on(), 1);
    // Right clicks on the help panels' own controls show no help.
    right_click(graph1, GRAPH1_NUM_RAWA);
    EXPECT_EQ(right_click(graph2, GRAPH2_CMDB_CLOSE), 1);
    EXPECT_EQ(panel_visible(graph2), 1);
}

TEST_F(HelpPanels, HiddenChartsArePaintedOnlyWhenShown) {
    right_click(graph1, GRAPH1_NUM_VALA);
    auto settle = [] {
        for (int i = 0; i < 5; i++) {
            Delay(0.03);
            ProcessDrawEvents();
        }
    };
    SetCtrlAttribute(graph3, GRAPH3_TIMER_ANI, ATTR_ENABLED, 0); // ticks come from the test
    settle();
    const long before = GetPaintCount();
    for (int i = 0; i < 10; i++) {
        tick();
        settle();
    }
    EXPECT_EQ(GetPaintCount(), before);
    double pts[16];
    EXPECT_EQ(GetStripChartPoints(graph3, GRAPH3_STRIP_UPPER, 1, pts, 16), 10);
    commit(graph2, GRAPH2_CMDB_VISUAL);
    tick();
    settle();
    EXPECT_GT(GetPaintCount(), before);
}

// ---- HELP button and tooltips -------------------------------------------------------------------------

namespace {

// Rows whose control shows `want` (its text when on, "" when off).
int rows_showing(bool on) {
    int n = 0;
    for (const tooltip_row& r : tooltip_rows) {
        const int p = GetPanelHandleByName(r.panel);
        const int c = p > 0 ? GetCtrlIdByName(p, r.control) : -1;
        if (c > 0 && tooltip(p, c) == (on ? r.text : "")) n++;
    }
    return n;
}

} // namespace

TEST_F(HelpPanels, HelpButtonSwitchesEveryTooltipOnAndOff) {
    EXPECT_EQ(rows_showing(true), 0);
    for (int round = 0; round < 2; round++) {
        commit(mpanel, MPANEL_CBTN_HELP);
        EXPECT_EQ(help_status, 1);
        EXPECT_EQ(attr(mpanel, MPANEL_CBTN_HELP, ATTR_CMD_BUTTON_COLOR), MakeColor(192, 192, 192));
        EXPECT_EQ(rows_showing(true), TOOLTIP_ROWS);
        EXPECT_EQ(GetActiveCtrl(mpanel), MPANEL_CBTN_SEL_CONNECT);
        commit(mpanel, MPANEL_CBTN_HELP);
        EXPECT_EQ(help_status, 0);
        EXPECT_EQ(attr(mpanel, MPANEL_CBTN_HELP, ATTR_CMD_BUTTON_COLOR), MakeColor(224, 224, 224));
        EXPECT_EQ(rows_showing(false), TOOLTIP_ROWS);
        EXPECT_EQ(GetActiveCtrl(mpanel), MPANEL_CBTN_SEL_CONNECT);
    }
    // Every row names a control that is there.
    EXPECT_EQ(init_tooltips(), TOOLTIP_ROWS);
    EXPECT_EQ(quit_tooltips(), TOOLTIP_ROWS);
}

TEST_F(HelpPanels, HiddenPasswordFieldShowsNoTooltipUntilVisible) {
    commit(mpanel, MPANEL_CBTN_HELP);
    QWidget* field = ui_ctrl(tab1, TAB1_PWDC_PASSWORD)->w;
    QWidget* panel = ui_panel(tab1)->w;
    ASSERT_TRUE(field && panel);
    const std::string tip = tooltip(tab1, TAB1_PWDC_PASSWORD);
    ASSERT_FALSE(tip.empty());
    // Qt asks the widget under the mouse, as the mouse rests over the field's place.
    auto tip_at_field = [&] {
        QToolTip::hideText();
        const QPoint at = field->geometry().center();
        QWidget* under = panel->childAt(field->parentWidget()->mapTo(panel, at));
        if (!under) return std::string();
        const QPoint local = under->mapFrom(panel, field->parentWidget()->mapTo(panel, at));
        QHelpEvent e(QEvent::ToolTip, local, under->mapToGlobal(local));
        QApplication::sendEvent(under, &e);
        return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
    };
    EXPECT_EQ(attr(tab1, TAB1_PWDC_PASSWORD, ATTR_VISIBLE), 0);
    EXPECT_NE(tip_at_field(), tip);
    SetCtrlAttribute(tab1, TAB1_TEXT_PANELID, ATTR_VISIBLE, 0);
    SetCtrlAttribute(tab1, TAB1_PWDC_PASSWORD, ATTR_VISIBLE, 1);
    EXPECT_EQ(tip_at_field(), tip);
    QToolTip::hideText();
}
