// Graphs, strip charts, canvases and coalesced painting.
#include "tests/ui/test_ui_fixture.h"
#include "ui/ui_widgets.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {
class GraphTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        gp = LoadPanel(0, "UserIF.uir", R_GRAPH);
        ASSERT_GT(gp, 0);
    }
    UiGraph* graph() { return qobject_cast<UiGraph*>(find_widget("GRAPH_OSC")); }
    void show() {
        DisplayPanel(gp);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(find_widget("tgraph")));
        Delay(0.05); // let the first paints settle
    }
    double xspan() {
        double x0, x1;
        GetGraphView(gp, C_GRAPH, &x0, &x1, nullptr, nullptr);
        return x1 - x0;
    }
    int gp = 0;
};

int plots(int panel) {
    int n = -1;
    GetCtrlAttribute(panel, C_GRAPH, ATTR_NUM_PLOTS, &n);
    return n;
}
} // namespace

// ---- plots ---------------------------------------------------------------------------------------

TEST_F(GraphTest, PlotsAreRetainedUntilDeleted) {
    double y[4] = {1, 2, 3, 4};
    int h1 = PlotY(gp, C_GRAPH, y, 4, UI_DOUBLE, UI_THIN_LINE, UI_SOLID, UI_BLUE);
    int h2 = PlotLine(gp, C_GRAPH, 10, 0, 10, 4095, UI_BLUE);
    int h3 = PlotText(gp, C_GRAPH, 10, 4095, "Eval. end", UI_BLUE, UI_TRANSPARENT);
    ASSERT_GT(h1, 0);
    EXPECT_NE(h1, h2);
    EXPECT_NE(h2, h3);
    EXPECT_EQ(plots(gp), 3);
    EXPECT_EQ(DeleteGraphPlot(gp, C_GRAPH, h2, UI_IMMEDIATE_DRAW), 0);
    EXPECT_EQ(plots(gp), 2);
    EXPECT_EQ(DeleteGraphPlot(gp, C_GRAPH, h2, UI_IMMEDIATE_DRAW), UI_ERR_PLOT);
    EXPECT_EQ(DeleteGraphPlot(gp, C_GRAPH, -1, UI_DELAYED_DRAW), 0);
    EXPECT_EQ(plots(gp), 0);
    // Handles are not reused, so a stale handle list cannot delete a new plot.
    EXPECT_GT(PlotPoint(gp, C_GRAPH, 1, 1, UI_RED), h3);
}

TEST_F(GraphTest, PlotAttributesAreKeptPerPlot) {
    int h = PlotLine(gp, C_GRAPH, 0, 0, 1, 1, UI_GREEN);
    ASSERT_EQ(SetPlotAttribute(gp, C_GRAPH, h, ATTR_LINE_STYLE, UI_DASH), 0);
    SetPlotAttribute(gp, C_GRAPH, h, ATTR_PLOT_STYLE, UI_FAT_LINE);
    int v = 0;
    GetPlotAttribute(gp, C_GRAPH, h, ATTR_LINE_STYLE, &v);
    EXPECT_EQ(v, UI_DASH);
    GetPlotAttribute(gp, C_GRAPH, h, ATTR_TRACE_COLOR, &v);
    EXPECT_EQ(v, UI_GREEN);
    EXPECT_EQ(SetPlotAttribute(gp, C_GRAPH, h, ATTR_PEN_WIDTH, 2), UI_ERR_ATTR);
    EXPECT_EQ(SetPlotAttribute(gp, C_GRAPH, h + 1, ATTR_LINE_STYLE, UI_DOT), UI_ERR_PLOT);
}

TEST_F(GraphTest, AutoscaleFollowsTheDataOfAnyElementType) {
    SetAxisScalingMode(gp, C_GRAPH, UI_LEFT_YAXIS, UI_AUTOSCALE, 0, 0);
    SetAxisScalingMode(gp, C_GRAPH, UI_XAXIS, UI_AUTOSCALE, 0, 0);
    short y[3] = {-5, 10, 3};
    PlotY(gp, C_GRAPH, y, 3, UI_SHORT_INTEGER, UI_THIN_LINE, UI_SOLID, UI_RED);
    int mode = -1;
    double lo = 0, hi = 0;
    GetAxisScalingMode(gp, C_GRAPH, UI_LEFT_YAXIS, &mode, &lo, &hi);
    EXPECT_EQ(mode, UI_AUTOSCALE);
    EXPECT_DOUBLE_EQ(lo, -5.0);
    EXPECT_DOUBLE_EQ(hi, 10.0);
    GetAxisScalingMode(gp, C_GRAPH, UI_XAXIS, &mode, &lo, &hi);
    EXPECT_DOUBLE_EQ(lo, 0.0);
    EXPECT_DOUBLE_EQ(hi, 2.0);
    EXPECT_EQ(PlotY(gp, C_GRAPH, y, 3, 42, UI_THIN_LINE, UI_SOLID, UI_RED), UI_ERR_ARG);
}

TEST_F(GraphTest, ManualRangeFromLayoutAndProgram) {
    int mode = -1;
    double lo = 0, hi = 0;
    GetAxisScalingMode(gp, C_GRAPH, UI_XAXIS, &mode, &lo, &hi);
    EXPECT_EQ(mode, UI_MANUAL);
    EXPECT_DOUBLE_EQ(hi, 1023.0);
    SetAxisScalingMode(gp, C_GRAPH, UI_XAXIS, UI_MANUAL, 767.25, 1023.0);
    GetAxisScalingMode(gp, C_GRAPH, UI_XAXIS, &mode, &lo, &hi);
    EXPECT_DOUBLE_EQ(lo, 767.25);
    char name[16];
    GetCtrlAttribute(gp, C_GRAPH, ATTR_XNAME, name, sizeof name);
    EXPECT_STREQ(name, "samples");
}

// ---- cursors -------------------------------------------------------------------------------------

TEST_F(GraphTest, CursorPositionAndAttributes) {
    ASSERT_EQ(SetGraphCursor(gp, C_GRAPH, 1, 923.0, 0.0), 0);
    SetCursorAttribute(gp, C_GRAPH, 1, ATTR_CURSOR_COLOR, UI_TRANSPARENT);
    double x = 0, y = 1;
    GetGraphCursor(gp, C_GRAPH, 1, &x, &y);
    EXPECT_DOUBLE_EQ(x, 923.0);
    EXPECT_DOUBLE_EQ(y, 0.0);
    int color = 0;
    GetCursorAttribute(gp, C_GRAPH, 1, ATTR_CURSOR_COLOR, &color);
    EXPECT_EQ(color, UI_TRANSPARENT);
    EXPECT_EQ(SetGraphCursor(gp, C_GRAPH, 5, 0, 0), UI_ERR_INDEX);
    EXPECT_EQ(SetGraphCursor(gp, C_STRIP, 1, 0, 0), UI_ERR_ATTR);
}

TEST_F(GraphTest, DraggingACursorCommitsTheGraph) {
    SetGraphCursor(gp, C_GRAPH, 3, 100.0, 2000.0);
    SetCursorAttribute(gp, C_GRAPH, 3, ATTR_CURSOR_ENABLED, 1);
    SetCursorAttribute(gp, C_GRAPH, 3, ATTR_CURSOR_COLOR, UI_RED);
    show();
    UiGraph* g = graph();
    QPoint at = g->toPixel(100.0, 2000.0).toPoint();
    QTest::mousePress(g, Qt::LeftButton, {}, at);
    QTest::mouseMove(g, at + QPoint(60, 0));
    QTest::mouseRelease(g, Qt::LeftButton, {}, at + QPoint(60, 0));
    EXPECT_EQ(count_events(C_GRAPH, EVENT_COMMIT), 1);
    EXPECT_GE(count_events(C_GRAPH, EVENT_VAL_CHANGED), 1);
    double x = 0;
    GetGraphCursor(gp, C_GRAPH, 3, &x, nullptr);
    EXPECT_GT(x, 200.0);
}

// The callback got 0 for every cursor, so it could not tell which one moved and
// wrote them all back, moving what the others stand for.
TEST_F(GraphTest, CursorEventsNameTheMovedCursor) {
    for (int c : {2, 4}) {
        SetGraphCursor(gp, C_GRAPH, c, 100.0 + 300.0 * (c - 2), 2000.0);
        SetCursorAttribute(gp, C_GRAPH, c, ATTR_CURSOR_ENABLED, 1);
        SetCursorAttribute(gp, C_GRAPH, c, ATTR_CURSOR_COLOR, UI_RED);
    }
    show();
    UiGraph* g = graph();
    for (int c : {4, 2}) {
        seen.clear();
        QPoint at = g->toPixel(100.0 + 300.0 * (c - 2), 2000.0).toPoint();
        QTest::mousePress(g, Qt::LeftButton, {}, at);
        QTest::mouseMove(g, at + QPoint(20, 0));
        QTest::mouseRelease(g, Qt::LeftButton, {}, at + QPoint(20, 0));
        ASSERT_EQ(count_events(C_GRAPH, EVENT_COMMIT), 1) << c;
        for (const Seen& s : seen) {
            if (s.ctrl != C_GRAPH || (s.event != EVENT_COMMIT && s.event != EVENT_VAL_CHANGED)) continue;
            EXPECT_EQ(s.data1, c) << "event " << s.event;
        }
    }
}

TEST_F(GraphTest, DisabledCursorCannotBeDragged) {
    SetGraphCursor(gp, C_GRAPH, 1, 100.0, 0.0);
    show();
    UiGraph* g = graph();
    QPoint at = g->toPixel(100.0, 2000.0).toPoint();
    QTest::mousePress(g, Qt::LeftButton, {}, at);
    QTest::mouseMove(g, at + QPoint(60, 0));
    QTest::mouseRelease(g, Qt::LeftButton, {}, at + QPoint(60, 0));
    EXPECT_EQ(count_events(C_GRAPH, EVENT_COMMIT), 0);
    double x = 0;
    GetGraphCursor(gp, C_GRAPH, 1, &x, nullptr);
    EXPECT_DOUBLE_EQ(x, 100.0);
}

// ---- zoom and pan ---------------------------------------------------------------------------------

TEST_F(GraphTest, CtrlClicksZoomAndDoubleClickRestores) {
    SetCtrlAttribute(gp, C_GRAPH, ATTR_ENABLE_ZOOM_AND_PAN, 1);
    show();
    UiGraph* g = graph();
    QPoint centre = g->plotArea().center().toPoint();
    double full = xspan();
    QTest::mouseClick(g, Qt::LeftButton, Qt::ControlModifier, centre);
    EXPECT_NEAR(xspan(), full / 2, 1e-6);
    QTest::mouseClick(g, Qt::RightButton, Qt::ControlModifier, centre);
    EXPECT_NEAR(xspan(), full, 1e-6);
    QTest::mouseClick(g, Qt::LeftButton, Qt::ControlModifier, centre);
    QTest::mouseDClick(g, Qt::LeftButton, {}, centre);
    EXPECT_NEAR(xspan(), full, 1e-6);
    // The CTRL gestures are the graph's own; the plain double click is the callback's too.
    EXPECT_EQ(count_events(C_GRAPH, EVENT_RIGHT_CLICK), 0);
    EXPECT_EQ(count_events(C_GRAPH, EVENT_LEFT_DOUBLE_CLICK), 1);
}

TEST_F(GraphTest, CtrlShiftDragMovesTheView) {
    SetCtrlAttribute(gp, C_GRAPH, ATTR_ENABLE_ZOOM_AND_PAN, 1);
    show();
    UiGraph* g = graph();
    QPoint centre = g->plotArea().center().toPoint();
    double x0 = 0, x1 = 0;
    GetGraphView(gp, C_GRAPH, &x0, &x1, nullptr, nullptr);
    Qt::KeyboardModifiers mods = Qt::ControlModifier | Qt::ShiftModifier;
    QTest::mousePress(g, Qt::LeftButton, mods, centre);
    QTest::mouseMove(g, centre - QPoint(50, 0));
    QTest::mouseRelease(g, Qt::LeftButton, mods, centre - QPoint(50, 0));
    double n0 = 0, n1 = 0;
    GetGraphView(gp, C_GRAPH, &n0, &n1, nullptr, nullptr);
    EXPECT_GT(n0, x0); // dragged left: the view moves right
    EXPECT_NEAR(n1 - n0, x1 - x0, 1e-6);
}

TEST_F(GraphTest, ZoomStaysOffUnlessEnabled) {
    show();
    UiGraph* g = graph();
    double full = xspan();
    QTest::mouseClick(g, Qt::LeftButton, Qt::ControlModifier, g->plotArea().center().toPoint());
    EXPECT_DOUBLE_EQ(xspan(), full);
}

TEST_F(GraphTest, XGainScalesLabelsOnly) {
    SetCtrlAttribute(gp, C_GRAPH, ATTR_XAXIS_GAIN, 0.25);
    double gain = 0;
    GetCtrlAttribute(gp, C_GRAPH, ATTR_XAXIS_GAIN, &gain);
    EXPECT_DOUBLE_EQ(gain, 0.25);
    EXPECT_NEAR(xspan(), 1023.0, 1e-9);
}

// ---- strip chart -----------------------------------------------------------------------------------

TEST_F(GraphTest, StripChartTakesInterleavedSteps) {
    int traces = 0, pps = 0;
    GetCtrlAttribute(gp, C_STRIP, ATTR_NUM_TRACES, &traces);
    GetCtrlAttribute(gp, C_STRIP, ATTR_POINTS_PER_SCREEN, &pps);
    ASSERT_EQ(traces, 24);
    EXPECT_EQ(pps, 129);
    double block[3 * 24];
    for (int s = 0; s < 3; s++)
        for (int t = 0; t < 24; t++) block[s * 24 + t] = s * 100 + t;
    ASSERT_EQ(PlotStripChart(gp, C_STRIP, block, 72, UI_DOUBLE), 0);
    double v[8];
    ASSERT_EQ(GetStripChartPoints(gp, C_STRIP, 2, v, 8), 3);
    EXPECT_DOUBLE_EQ(v[0], 1.0);
    EXPECT_DOUBLE_EQ(v[2], 201.0);
    EXPECT_EQ(PlotStripChart(gp, C_STRIP, block, 25, UI_DOUBLE), UI_ERR_ARG);
}

TEST_F(GraphTest, StripChartKeepsOneScreenOfTheNewestPoints) {
    std::vector<int> block(200 * 24);
    for (int s = 0; s < 200; s++)
        for (int t = 0; t < 24; t++) block[static_cast<size_t>(s * 24 + t)] = s;
    PlotStripChart(gp, C_STRIP, block.data(), static_cast<int>(block.size()), UI_INTEGER);
    double v[200];
    ASSERT_EQ(GetStripChartPoints(gp, C_STRIP, 24, v, 200), 129);
    EXPECT_DOUBLE_EQ(v[0], 71.0);
    EXPECT_DOUBLE_EQ(v[128], 199.0);
    SetCtrlAttribute(gp, C_STRIP, ATTR_POINTS_PER_SCREEN, 10);
    ASSERT_EQ(GetStripChartPoints(gp, C_STRIP, 24, v, 200), 10);
    EXPECT_DOUBLE_EQ(v[9], 199.0);
    ClearStripChart(gp, C_STRIP);
    EXPECT_EQ(GetStripChartPoints(gp, C_STRIP, 24, v, 200), 0);
}

TEST_F(GraphTest, TraceAttributesPerTrace) {
    ASSERT_EQ(SetTraceAttribute(gp, C_STRIP, 6, ATTR_LINE_STYLE, UI_DASH_DOT), 0);
    SetTraceAttribute(gp, C_STRIP, 6, ATTR_TRACE_VISIBLE, 0);
    int v = -1;
    GetTraceAttribute(gp, C_STRIP, 6, ATTR_LINE_STYLE, &v);
    EXPECT_EQ(v, UI_DASH_DOT);
    GetTraceAttribute(gp, C_STRIP, 6, ATTR_TRACE_VISIBLE, &v);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(SetTraceAttribute(gp, C_STRIP, 25, ATTR_TRACE_COLOR, UI_RED), UI_ERR_INDEX);
    SetAxisScalingMode(gp, C_STRIP, UI_LEFT_YAXIS, UI_MANUAL, 2046.5, 2047.5);
    double lo = 0, hi = 0;
    GetAxisScalingMode(gp, C_STRIP, UI_LEFT_YAXIS, nullptr, &lo, &hi);
    EXPECT_DOUBLE_EQ(lo, 2046.5);
    EXPECT_DOUBLE_EQ(hi, 2047.5);
}

// ---- coalesced painting ---------------------------------------------------------------------------

TEST_F(GraphTest, BurstOfAppendsPaintsAtMostTwice) {
    show();
    double row[24] = {};
    long before = GetPaintCount();
    for (int i = 0; i < 1000; i++) {
        row[0] = i;
        PlotStripChart(gp, C_STRIP, row, 24, UI_DOUBLE);
    }
    Delay(0.1);
    long paints = GetPaintCount() - before;
    EXPECT_GE(paints, 1);
    EXPECT_LE(paints, 2);
}

TEST_F(GraphTest, AppendsBetweenEventPassesPaintOncePerRefresh) {
    show();
    double row[24] = {};
    long before = GetPaintCount();
    double t0 = Timer();
    for (int i = 0; i < 1000; i++) {
        row[0] = i;
        PlotStripChart(gp, C_STRIP, row, 24, UI_DOUBLE);
        SetGraphCursor(gp, C_GRAPH, 1, i, 0);
        ProcessSystemEvents();
    }
    Delay(0.05);
    double elapsed = Timer() - t0;
    long paints = GetPaintCount() - before;
    // Two widgets, each at most once per 40 ms refresh tick.
    EXPECT_LE(paints, 2 * (static_cast<long>(elapsed / 0.040) + 2));
}

TEST_F(GraphTest, DrawEventsAloneRepaintOncePerRefresh) {
    show();
    double row[24] = {};
    long before = GetPaintCount();
    double t0 = Timer();
    // A loop that only asks for drawing, never for timers.
    while (Timer() - t0 < 0.25) {
        PlotStripChart(gp, C_STRIP, row, 24, UI_DOUBLE);
        ProcessDrawEvents();
    }
    double elapsed = Timer() - t0;
    long paints = GetPaintCount() - before;
    EXPECT_GE(paints, 2);
    EXPECT_LE(paints, static_cast<long>(elapsed / 0.040) + 2);
}

// ---- canvas -------------------------------------------------------------------------------------------

TEST_F(GraphTest, CanvasKeepsWhatWasDrawn) {
    SetCtrlAttribute(gp, C_CANVAS, ATTR_PEN_COLOR, MakeColor(0, 255, 255));
    SetCtrlAttribute(gp, C_CANVAS, ATTR_PEN_WIDTH, 6);
    ASSERT_EQ(CanvasDrawLine(gp, C_CANVAS, 10, 7, 35, 7), 0);
    SetCtrlAttribute(gp, C_CANVAS, ATTR_PEN_WIDTH, 1);
    CanvasDrawTextAtPoint(gp, C_CANVAS, "IN0", 45, 7, UI_TEXT_CENTER_LEFT);
    CanvasDrawOval(gp, C_CANVAS, 168, 12, 5, 5, UI_DRAW_FRAME);
    show();
    QTemporaryDir dir;
    QString file = dir.filePath("panel.png");
    ASSERT_EQ(SavePanelImage(gp, file.toUtf8().constData()), 0);
    QImage img(file);
    ASSERT_FALSE(img.isNull());
    // The canvas sits at (410, 0) in the test layout.
    EXPECT_EQ(img.pixelColor(410 + 20, 7), QColor(0, 255, 255));
    EXPECT_EQ(img.pixelColor(410 + 20, 20), QColor(255, 255, 255));
    CanvasClear(gp, C_CANVAS);
    Delay(0.05);
    SavePanelImage(gp, file.toUtf8().constData());
    EXPECT_EQ(QImage(file).pixelColor(410 + 20, 7), QColor(255, 255, 255));
}

// ---- texts ----------------------------------------------------------------------------------------

TEST_F(GraphTest, TextsAreReadBackAndKeptInsideTheView) {
    SetAxisScalingMode(gp, C_GRAPH, UI_XAXIS, UI_MANUAL, 0.0, 4096.0);
    SetAxisScalingMode(gp, C_GRAPH, UI_LEFT_YAXIS, UI_MANUAL, 0.0, 4096.0);
    PlotLine(gp, C_GRAPH, 0, 0, 1, 1, UI_GREEN);
    // At the lower right corner: drawn to its left, inside the view.
    PlotText(gp, C_GRAPH, 4095, 0, "Data OK.", UI_RED, UI_TRANSPARENT);
    // Outside the view: not pulled in.
    PlotText(gp, C_GRAPH, 5000, 2000, "far away", UI_BLUE, UI_TRANSPARENT);
    char buf[32];
    double x = 0, y = 0;
    int color = 0;
    ASSERT_EQ(GetGraphText(gp, C_GRAPH, 0, buf, sizeof buf, &x, &y, &color), 0);
    EXPECT_STREQ(buf, "Data OK.");
    EXPECT_EQ(x, 4095.0);
    EXPECT_EQ(y, 0.0);
    EXPECT_EQ(color, UI_RED);
    ASSERT_EQ(GetGraphText(gp, C_GRAPH, 1, buf, sizeof buf, nullptr, nullptr, nullptr), 0);
    EXPECT_STREQ(buf, "far away");
    EXPECT_EQ(GetGraphText(gp, C_GRAPH, 2, buf, sizeof buf, nullptr, nullptr, nullptr), UI_ERR_INDEX);

    show();
    QTemporaryDir dir;
    QString file = dir.filePath("panel.png");
    ASSERT_EQ(SavePanelImage(gp, file.toUtf8().constData()), 0);
    QImage img(file);
    ASSERT_FALSE(img.isNull());
    UiGraph* g = graph();
    const QRect area = g->plotArea().toRect().translated(g->mapTo(g->window(), QPoint(0, 0)));
    int red = 0, blue = 0;
    for (int py = area.top(); py <= area.bottom(); py++)
        for (int px = area.left(); px <= area.right(); px++) {
            const QColor c = img.pixelColor(px, py);
            if (c.red() > 160 && c.green() < 90 && c.blue() < 90) red++;
            if (c.blue() > 160 && c.red() < 90 && c.green() < 90) blue++;
        }
    EXPECT_GT(red, 15);
    EXPECT_EQ(blue, 0);
}
