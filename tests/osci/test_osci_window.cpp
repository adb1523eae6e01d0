// The oscillograph window and the oscillograph settings panel through their
// callbacks, on the program's real panels (offscreen), and the drawing of a
// sequence with its markers.
#include "tests/osci/osci_fixture.h"

#include "osci/osci_gui.h"
#include "params/cond_ring_ui.h"
#include "params/para_gui.h"
#include "ui/ui_widgets.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <algorithm>

#include <string>
#include <vector>

namespace {

double num(int panel, int ctrl) {
    double v = -1.0;
    GetCtrlVal(panel, ctrl, &v);
    return v;
}

int ival(int panel, int ctrl) {
    int v = -99;
    GetCtrlVal(panel, ctrl, &v);
    return v;
}

int plots(int panel, int graph) {
    int n = -1;
    GetCtrlAttribute(panel, graph, ATTR_NUM_PLOTS, &n);
    return n;
}

void range(int graph, int axis, double* lo, double* hi) {
    GetAxisScalingMode(osci1, graph, axis, nullptr, lo, hi);
}

struct cursor_state {
    double x, y;
    int color, enabled;
};

cursor_state cursor(int n) {
    cursor_state c = {};
    GetGraphCursor(osci1, OSCI1_GRAPH_OSCI, n, &c.x, &c.y);
    GetCursorAttribute(osci1, OSCI1_GRAPH_OSCI, n, ATTR_CURSOR_COLOR, &c.color);
    GetCursorAttribute(osci1, OSCI1_GRAPH_OSCI, n, ATTR_CURSOR_ENABLED, &c.enabled);
    return c;
}

// A sequence of plain samples with `ends` end markers and `begins` begin markers.
std::vector<uint16_t> marked(int ends, int begins) {
    std::vector<uint16_t> s(1024, 2000);
    for (int i = 0; i < ends; i++) s[static_cast<size_t>(i * 1024 / std::max(ends, 1))] |= 0x8000;
    for (int i = 0; i < begins; i++) s[static_cast<size_t>(i * 1024 / std::max(begins, 1) + 1)] |= 0x4000;
    return s;
}

} // namespace

class OsciWindow : public RunTest {
  protected:
    void SetUp() override {
        oscis = osci_state{};
        RunTest::SetUp();
        traces.zoom_span_x = 1024;
        traces.zoom_span_y = 4096;
    }
    static void slide(int ctrl, double at) {
        SetCtrlVal(osci1, ctrl, at);
        SimulateCtrlEvent(osci1, ctrl, EVENT_COMMIT, 0, 0);
    }
    static void pretriggers(int a, int b) {
        SetCtrlVal(tab6, TAB6_NUMS_PRETRIGA, a);
        SetCtrlVal(tab6, TAB6_NUMS_PRETRIGB, b);
    }
};

// ---- views --------------------------------------------------------------------------------------

TEST_F(OsciWindow, FullVerticalSpanShowsEverythingWhateverTheSlider) {
    slide(OSCI1_SLIDE_VERTICAL, 60.0);
    EXPECT_DOUBLE_EQ(num(osci1, OSCI1_SLIDE_VERTICAL), 0.0);
    EXPECT_DOUBLE_EQ(num(osci1, OSCI1_NUM_VTOP), 100.0);
    double lo = -1, hi = -1;
    range(OSCI1_GRAPH_OSCI, UI_LEFT_YAXIS, &lo, &hi);
    EXPECT_DOUBLE_EQ(lo, 0.0);
    EXPECT_DOUBLE_EQ(hi, 4095.0);
}

TEST_F(OsciWindow, HorizontalViewIsPulledBackAtTheRightEdge) {
    traces.zoom_span_x = 256;
    slide(OSCI1_SLIDE_HORIZONTAL, 90.0);
    EXPECT_DOUBLE_EQ(num(osci1, OSCI1_SLIDE_HORIZONTAL), 75.0);
    EXPECT_DOUBLE_EQ(num(osci1, OSCI1_NUM_HRIGHT), 100.0);
    for (int g : {OSCI1_GRAPH_OSCI, OSCI1_GRAPH_INPUTS}) {
        double lo = -1, hi = -1;
        range(g, UI_XAXIS, &lo, &hi);
        EXPECT_DOUBLE_EQ(lo, 767.25) << g;
        EXPECT_DOUBLE_EQ(hi, 1023.0) << g;
    }
}

// The trace selectors of either panel apply their spans through RUN's hook.
TEST_F(OsciWindow, SpanRingsOfTheMainDisplayZoomTheWindow) {
    SetCtrlVal(osci1, OSCI1_SLIDE_VERTICAL, 80.0);
    SetCtrlVal(graph1, GRAPH1_RING_ZOOMY, 1024);
    SimulateCtrlEvent(graph1, GRAPH1_RING_ZOOMY, EVENT_COMMIT, 0, 0);
    double lo = -1, hi = -1;
    range(OSCI1_GRAPH_OSCI, UI_LEFT_YAXIS, &lo, &hi);
    EXPECT_DOUBLE_EQ(lo, 4095.0 * 75.0 / 100.0);
    EXPECT_DOUBLE_EQ(hi, 4095.0);
    EXPECT_DOUBLE_EQ(num(osci1, OSCI1_SLIDE_VERTICAL), 75.0);
}

// ---- trigger cursors ------------------------------------------------------------------------------

TEST_F(OsciWindow, TriggerCursorOutsideTheViewIsParkedInItsMiddle) {
    traces.zoom_span_x = 512;
    slide(OSCI1_SLIDE_HORIZONTAL, 0.0);
    pretriggers(100, 600);
    SimulateCtrlEvent(tab6, TAB6_NUMS_PRETRIGA, EVENT_COMMIT, 0, 0);
    const cursor_state a = cursor(1), b = cursor(2);
    EXPECT_DOUBLE_EQ(a.x, 511.5 / 2.0); // 923 lies beyond 511.5
    EXPECT_EQ(a.color, UI_TRANSPARENT);
    EXPECT_EQ(a.enabled, 0);
    EXPECT_DOUBLE_EQ(b.x, 423.0);
    EXPECT_EQ(b.color, OSCI_COLOR_B);
    EXPECT_EQ(b.enabled, 1);
}

TEST_F(OsciWindow, DraggedTriggerCursorSetsItsPretrigger) {
    pretriggers(500, 600);
    SetGraphCursor(osci1, OSCI1_GRAPH_OSCI, 1, 1000.7, 0.0);
    SimulateCtrlEvent(osci1, OSCI1_GRAPH_OSCI, EVENT_COMMIT, 1, 0);
    EXPECT_EQ(ival(tab6, TAB6_NUMS_PRETRIGA), 23);
    EXPECT_EQ(ival(tab6, TAB6_NUMS_PRETRIGB), 600);
}

// Every cursor used to be written back on any move: a parked trigger cursor sits
// in the middle of the view, so dragging a measurement cursor while zoomed
// changed that channel's pretrigger behind the user's back.
TEST_F(OsciWindow, DraggingCursor3LeavesAParkedPretriggerAlone) {
    DisplayPanel(osci1);
    traces.zoom_span_x = 256;
    slide(OSCI1_SLIDE_HORIZONTAL, 0.0);
    pretriggers(100, 900); // A parked (923 beyond 255.75), B at 123
    SimulateCtrlEvent(tab6, TAB6_NUMS_PRETRIGA, EVENT_COMMIT, 0, 0);
    ASSERT_EQ(cursor(1).enabled, 0);
    SetCtrlVal(osci1, OSCI1_BINS_CURSOR3, 1);
    SimulateCtrlEvent(osci1, OSCI1_BINS_CURSOR3, EVENT_COMMIT, 0, 0);
    SetGraphCursor(osci1, OSCI1_GRAPH_OSCI, 3, 40.0, 1000.0);
    ProcessSystemEvents();

    UiGraph* g = nullptr;
    for (QWidget* w : QApplication::allWidgets())
        if (w->objectName() == "GRAPH_OSCI" && w->isVisible()) g = qobject_cast<UiGraph*>(w);
    ASSERT_NE(g, nullptr);
    const QPoint at = g->toPixel(40.0, 1000.0).toPoint();
    QTest::mousePress(g, Qt::LeftButton, {}, at);
    QTest::mouseMove(g, at + QPoint(50, 0));
    QTest::mouseRelease(g, Qt::LeftButton, {}, at + QPoint(50, 0));

    EXPECT_GT(cursor(3).x, 40.0);
    EXPECT_EQ(ival(tab6, TAB6_NUMS_PRETRIGA), 100);
    EXPECT_EQ(ival(tab6, TAB6_NUMS_PRETRIGB), 900);
    EXPECT_NEAR(num(osci1, OSCI1_NUM_C3X), cursor(3).x, 0.01);
}

// ---- measurement cursors and the millisecond axis ---------------------------------------------------

TEST_F(OsciWindow, CursorSwitchesColourAndDimReadouts) {
    SetCtrlVal(osci1, OSCI1_BINS_CURSOR4, 1);
    SimulateCtrlEvent(osci1, OSCI1_BINS_CURSOR4, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(cursor(4).color, 0xFF9900);
    EXPECT_EQ(cursor(4).enabled, 1);
    EXPECT_EQ(cursor(3).color, UI_TRANSPARENT);
    int dimmed = -1;
    GetCtrlAttribute(osci1, OSCI1_NUM_C4X, ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 0);
    GetCtrlAttribute(osci1, OSCI1_NUM_C3Y, ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 1);
    GetCtrlAttribute(osci1, OSCI1_NUM_DX, ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 1); // deltas need both

    SetCtrlVal(osci1, OSCI1_BINS_CURSOR3, 1);
    SimulateCtrlEvent(osci1, OSCI1_BINS_CURSOR3, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(cursor(3).color, 0xFF0000);
    GetCtrlAttribute(osci1, OSCI1_NUM_DY, ATTR_DIMMED, &dimmed);
    EXPECT_EQ(dimmed, 0);
}

TEST_F(OsciWindow, ReadoutsInMillisecondsScaleOnlyX) {
    oscis.osci_mode = 1;
    runs.osci_gain = 0.5;
    SetGraphCursor(osci1, OSCI1_GRAPH_OSCI, 3, 100.0, 200.0);
    SetGraphCursor(osci1, OSCI1_GRAPH_OSCI, 4, 300.0, 1000.0);
    SimulateCtrlEvent(osci1, OSCI1_GRAPH_OSCI, EVENT_COMMIT, 4, 0);
    EXPECT_DOUBLE_EQ(num(osci1, OSCI1_NUM_C3X), 50.0);
    EXPECT_DOUBLE_EQ(num(osci1, OSCI1_NUM_C4X), 150.0);
    EXPECT_DOUBLE_EQ(num(osci1, OSCI1_NUM_DX), 100.0);
    EXPECT_DOUBLE_EQ(num(osci1, OSCI1_NUM_DY), 800.0);
    runs.osci_gain = 1.0;
}

TEST_F(OsciWindow, MillisecondsRefusedWhileTheChannelsDiffer) {
    paras.para_pc = para_record{};
    paras.para_pc.osci_skipA = 2;
    paras.para_pc.osci_skipB = 3;
    SetCtrlVal(osci1, OSCI1_BINS_SCALEX, 1);
    SimulateCtrlEvent(osci1, OSCI1_BINS_SCALEX, EVENT_COMMIT, 0, 0);
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0],
              "Setting mismatch|Oscillograph cannot be scaled in \nmilliseconds because the settings \n"
              "of chan A and B do not match. Set \nthe parameter to identical values \n(by using the "
              "'A = master' or the \n'B = master' buttons), update the \ncontrol unit and restart the "
              "'VIDEO' \nmode.");
    EXPECT_EQ(ival(osci1, OSCI1_BINS_SCALEX), 0);
    EXPECT_EQ(oscis.osci_mode, 0);

    paras.para_pc.osci_skipB = 2;
    SetCtrlVal(osci1, OSCI1_BINS_SCALEX, 1);
    SimulateCtrlEvent(osci1, OSCI1_BINS_SCALEX, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(oscis.osci_mode, 1);
    EXPECT_EQ(popups.size(), 1u);
}

// Reading the panels into a record used to keep the millisecond axis whatever
// the channels now record; only showing a record checked it.
TEST_F(OsciWindow, MillisecondAxisEndsWhenShownOrReadSettingsDiffer) {
    para_record same = para_record{};
    same.osci_skipA = same.osci_skipB = 4;
    update_PARA(&same);
    oscis.osci_mode = 1;
    SetCtrlVal(osci1, OSCI1_BINS_SCALEX, 1);
    para_record rec = same;
    acquire_PARA(&rec, 1);
    EXPECT_EQ(oscis.osci_mode, 1) << "alike: kept";

    SetCtrlVal(tab6, TAB6_NUMS_PRETRIGB, 77);
    acquire_PARA(&rec, 1);
    EXPECT_EQ(oscis.osci_mode, 0);
    EXPECT_EQ(ival(osci1, OSCI1_BINS_SCALEX), 0);

    oscis.osci_mode = 1;
    para_record differ = same;
    differ.osci_condB.evnt[1] = 0x0004;
    update_PARA(&differ);
    EXPECT_EQ(oscis.osci_mode, 0);
}

// ---- the window itself --------------------------------------------------------------------------

TEST_F(OsciWindow, ShownByItsButtonHiddenByItsCloseBox) {
    SimulateCtrlEvent(graph1, GRAPH1_CMDB_ACVIDEO, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(oscis.osci_vis, 1);
    int visible = 0;
    GetPanelAttribute(osci1, ATTR_VISIBLE, &visible);
    EXPECT_EQ(visible, 1);
    SetPanelSize(osci1, 300, 400);
    SimulateCtrlEvent(osci1, 0, EVENT_LEFT_DOUBLE_CLICK, 0, 0);
    int w = 0, h = 0;
    GetPanelAttribute(osci1, ATTR_WIDTH, &w);
    GetPanelAttribute(osci1, ATTR_HEIGHT, &h);
    EXPECT_EQ(w, 790);
    EXPECT_EQ(h, 548);
    SimulateCtrlEvent(osci1, 0, EVENT_CLOSE, 0, 0);
    EXPECT_EQ(oscis.osci_vis, 0);
    GetPanelAttribute(osci1, ATTR_VISIBLE, &visible);
    EXPECT_EQ(visible, 0);
    EXPECT_GT(osci1, 0); // hidden, not discarded
}

TEST_F(OsciWindow, DoubleClickOnAVideoGraphRestoresItsRange) {
    SetAxisScalingMode(graph1, GRAPH1_GRAPH_VIDEOA, UI_XAXIS, UI_MANUAL, 100.0, 200.0);
    SimulateCtrlEvent(graph1, GRAPH1_GRAPH_VIDEOA, EVENT_LEFT_DOUBLE_CLICK, 0, 0);
    double lo = -1, hi = -1;
    GetAxisScalingMode(graph1, GRAPH1_GRAPH_VIDEOA, UI_XAXIS, nullptr, &lo, &hi);
    EXPECT_DOUBLE_EQ(lo, 0.0);
    EXPECT_DOUBLE_EQ(hi, 1024.0);
    GetAxisScalingMode(graph1, GRAPH1_GRAPH_VIDEOA, UI_LEFT_YAXIS, nullptr, &lo, &hi);
    EXPECT_DOUBLE_EQ(hi, 4096.0);
    EXPECT_EQ(SimulateCtrlEvent(graph1, GRAPH1_GRAPH_VIDEOB, EVENT_RIGHT_CLICK, 0, 0), 1);
}

TEST_F(OsciWindow, LegendIsDrawnInTheChannelColours) {
    DisplayPanel(osci1);
    ProcessSystemEvents();
    const std::string png = tmp_path("osci1.png");
    ASSERT_EQ(SavePanelImage(osci1, png.c_str()), 0);
    QImage img(QString::fromStdString(png));
    ASSERT_FALSE(img.isNull());
    int left = 0, top = 0;
    GetCtrlAttribute(osci1, OSCI1_CANVAS_LEGEND, ATTR_LEFT, &left);
    GetCtrlAttribute(osci1, OSCI1_CANVAS_LEGEND, ATTR_TOP, &top);
    auto at = [&](int x, int y) { return img.pixel(left + x, top + y) & 0xFFFFFF; };
    EXPECT_EQ(at(20, 7), 0x00FFFFu);  // IN0
    EXPECT_EQ(at(20, 23), 0xFF00FFu); // IN1
    EXPECT_EQ(at(90, 7), 0x0000FFu);  // CHAN A
    EXPECT_EQ(at(90, 23), 0x00FF00u); // CHAN B
    EXPECT_EQ(at(170, 5), 0x0000FFu); // trigger A's line
    EXPECT_EQ(at(230, 25), 0x00FF00u);
}

// ---- drawing a sequence ------------------------------------------------------------------------

TEST_F(OsciWindow, MarkerCountsDecideWhatIsDrawn) {
    struct row {
        int ends, plots;
    };
    // 63 markers: a line each, 8 labels, the curve; 64 to 255: the curve alone;
    // 256 and more: the curve and "Continuous evaluation".
    const row rows[] = {{0, 1}, {63, 63 + 8 + 1}, {64, 1}, {255, 1}, {256, 2}};
    for (const row& r : rows) {
        const std::vector<uint16_t> s = marked(r.ends, 0);
        update_GRPH(s.data(), 1024, OSCI_COLOR_A, graph1, GRAPH1_GRAPH_VIDEOA, nullptr);
        EXPECT_EQ(plots(graph1, GRAPH1_GRAPH_VIDEOA), r.plots) << r.ends;
        EXPECT_EQ(plots(osci1, OSCI1_GRAPH_INPUTS), 2) << "IN0 and IN1, the earlier ones cleared";
    }
    update_GRPH(nullptr, 0, OSCI_COLOR_A, graph1, GRAPH1_GRAPH_VIDEOA, nullptr);
    EXPECT_EQ(plots(graph1, GRAPH1_GRAPH_VIDEOA), 0);
    EXPECT_EQ(plots(osci1, OSCI1_GRAPH_INPUTS), 0);
}

// The shared graph: each channel replaces only its own plots, until a list
// overflows and stands for all of them.
TEST_F(OsciWindow, HandleListsKeepTheOtherChannelUntilOneOverflows) {
    const std::vector<uint16_t> b = marked(2, 2); // 2 + 2 lines, 4 labels, curve
    update_GRPH(b.data(), 1024, OSCI_COLOR_B, osci1, OSCI1_GRAPH_OSCI, oscis.osci1_gphB);
    ASSERT_EQ(oscis.osci1_gphB[0], 9);

    const std::vector<uint16_t> a54 = marked(54, 0); // 54 lines, 8 labels, curve: 63 handles
    update_GRPH(a54.data(), 1024, OSCI_COLOR_A, osci1, OSCI1_GRAPH_OSCI, oscis.osci1_gphA);
    EXPECT_EQ(oscis.osci1_gphA[0], 63);
    EXPECT_EQ(plots(osci1, OSCI1_GRAPH_OSCI), 63 + 9);
    update_GRPH(a54.data(), 1024, OSCI_COLOR_A, osci1, OSCI1_GRAPH_OSCI, oscis.osci1_gphA);
    EXPECT_EQ(plots(osci1, OSCI1_GRAPH_OSCI), 63 + 9) << "A replaced its own, B kept";

    const std::vector<uint16_t> a55 = marked(55, 0); // the 64th handle
    update_GRPH(a55.data(), 1024, OSCI_COLOR_A, osci1, OSCI1_GRAPH_OSCI, oscis.osci1_gphA);
    EXPECT_EQ(oscis.osci1_gphA[0], 1);
    EXPECT_EQ(oscis.osci1_gphA[1], -1);
    EXPECT_EQ(plots(osci1, OSCI1_GRAPH_OSCI), 64 + 9);
    // The next clearing of A takes every plot, B's too.
    osci_clear_video(0);
    EXPECT_EQ(plots(osci1, OSCI1_GRAPH_OSCI), 0);
    EXPECT_EQ(oscis.osci1_gphA[0], 0);
}

TEST_F(OsciWindow, SwitchingAVideoTraceOffClearsItsCurvesEverywhere) {
    const std::vector<uint16_t> s = marked(1, 0);
    update_GRPH(s.data(), 1024, OSCI_COLOR_A, graph1, GRAPH1_GRAPH_VIDEOA, nullptr);
    update_GRPH(s.data(), 1024, OSCI_COLOR_A, osci1, OSCI1_GRAPH_OSCI, oscis.osci1_gphA);
    update_GRPH(s.data(), 1024, OSCI_COLOR_B, osci1, OSCI1_GRAPH_OSCI, oscis.osci1_gphB);
    SetCtrlVal(osci1, OSCI1_BINS_VALA, 0);
    SimulateCtrlEvent(osci1, OSCI1_BINS_VALA, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(plots(graph1, GRAPH1_GRAPH_VIDEOA), 0);
    EXPECT_EQ(plots(osci1, OSCI1_GRAPH_OSCI), 3) << "B's line, label and curve stay";
}

// ---- the oscillograph settings panel -------------------------------------------------------------

TEST_F(OsciWindow, ChannelBSwitchedOffStaysOff) {
    paras.para_pc.input_sourceB = -1;
    SetCtrlVal(tab6, TAB6_RING_MODEB, 0);
    SimulateCtrlEvent(tab6, TAB6_RING_MODEB, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(ival(tab6, TAB6_RING_MODEB), -1);
    EXPECT_EQ(ival(tab6, TAB6_NUMS_SKIPB), 0);
    paras.para_pc.input_sourceB = 0;
    SetCtrlVal(tab6, TAB6_RING_MODEB, 1);
    SimulateCtrlEvent(tab6, TAB6_RING_MODEB, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(ival(tab6, TAB6_RING_MODEB), 1);
    EXPECT_EQ(ival(tab6, TAB6_NUMS_SKIPB), 1);
}

TEST_F(OsciWindow, SkipCountZeroSwitchesOnlyItsOwnChannelOff) {
    SetCtrlVal(tab6, TAB6_RING_MODEA, 0);
    SetCtrlVal(tab6, TAB6_RING_MODEB, 0);
    SetCtrlVal(tab6, TAB6_NUMS_SKIPB, 0); // typed but not committed
    SetCtrlVal(tab6, TAB6_NUMS_SKIPA, 0);
    SimulateCtrlEvent(tab6, TAB6_NUMS_SKIPA, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(ival(tab6, TAB6_RING_MODEA), -1);
    char label[64] = "";
    GetCtrlAttribute(tab6, TAB6_RING_MODEA, ATTR_LABEL_TEXT, label, sizeof label);
    EXPECT_STREQ(label, "Trigger = Off");
    EXPECT_EQ(ival(tab6, TAB6_RING_MODEB), 0);
}

TEST_F(OsciWindow, MasterCopiesFieldsButNotModeNorCursors) {
    SetCtrlVal(tab6, TAB6_RING_MODEB, 1);
    SetCtrlVal(tab6, TAB6_NUMS_SKIPA, 5);
    SetCtrlVal(tab6, TAB6_NUMS_PRETRIGA, 200);
    SetCtrlIndex(tab6, TAB6_RING_OSCICONDA, 3);
    const cursor_state before = cursor(2);
    SimulateCtrlEvent(tab6, TAB6_CBTN_MASTERA, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(ival(tab6, TAB6_NUMS_SKIPB), 5);
    EXPECT_EQ(ival(tab6, TAB6_NUMS_PRETRIGB), 200);
    int a = -1, b = -2;
    GetCtrlIndex(tab6, TAB6_RING_OSCICONDA, &a);
    GetCtrlIndex(tab6, TAB6_RING_OSCICONDB, &b);
    EXPECT_EQ(a, b);
    EXPECT_EQ(ival(tab6, TAB6_RING_MODEB), 1);
    EXPECT_DOUBLE_EQ(cursor(2).x, before.x);
}
