// Oscillograph window: view windows, trigger cursors, measurement readouts.
#include "osci/osci_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// ---- view windows ----

TEST(OsciView, FullVerticalSpanForcesTheWholeRange) {
    for (double slider : {0.0, 37.5, 100.0}) {
        const osci_view v = osci_vertical_view(slider, 4096);
        EXPECT_EQ(v.slider, 0.0) << slider;
        EXPECT_EQ(v.edge, 100.0) << slider;
        EXPECT_EQ(v.min, 0.0) << slider;
        EXPECT_EQ(v.max, 4095.0) << slider;
    }
}

TEST(OsciView, VerticalViewInsideTheArea) {
    const osci_view v = osci_vertical_view(50.0, 1024);
    EXPECT_EQ(v.slider, 50.0);
    EXPECT_EQ(v.edge, 75.0);
    EXPECT_DOUBLE_EQ(v.min, 2047.5);
    EXPECT_DOUBLE_EQ(v.max, 3071.25);
}

TEST(OsciView, HorizontalViewPastTheRightEdgePullsTheSliderBack) {
    const osci_view v = osci_horizontal_view(90.0, 256);
    EXPECT_EQ(v.edge, 100.0);
    EXPECT_EQ(v.slider, 75.0);
    EXPECT_DOUBLE_EQ(v.min, 767.25);
    EXPECT_DOUBLE_EQ(v.max, 1023.0);
    const osci_view h = osci_horizontal_view(0.0, 512);
    EXPECT_EQ(h.min, 0.0);
    EXPECT_DOUBLE_EQ(h.max, 511.5);
}

TEST(OsciView, OutOfRangeSlidersAndSpansGiveAUsableAxis) {
    // A slider beyond its control's range or not a number: the nearer end.
    const osci_view low = osci_horizontal_view(-20.0, 128);
    EXPECT_EQ(low.slider, 0.0);
    EXPECT_DOUBLE_EQ(low.max, 127.875);
    EXPECT_EQ(osci_horizontal_view(std::nan(""), 128).slider, 0.0);
    EXPECT_EQ(osci_horizontal_view(250.0, 128).edge, 100.0);
    // Spans no zoom ring offers: the whole area, never an empty or inverted range.
    for (int span : {0, -256, 2048}) {
        const osci_view v = osci_horizontal_view(40.0, span);
        EXPECT_EQ(v.min, 0.0) << span;
        EXPECT_EQ(v.max, 1023.0) << span;
        const osci_view w = osci_vertical_view(40.0, span * 4);
        EXPECT_EQ(w.min, 0.0) << span;
        EXPECT_EQ(w.max, 4095.0) << span;
    }
}

// ---- trigger cursors ----

TEST(OsciCursor, TriggerInsideTheViewSitsAtItsPosition) {
    const osci_cursor_place c = osci_trigger_cursor(600, 0.0, 511.5, 12.0);
    EXPECT_EQ(c.shown, 1);
    EXPECT_EQ(c.x, 423.0);
    EXPECT_EQ(c.y, 12.0);
    // The edges of the view still count as inside.
    EXPECT_EQ(osci_trigger_cursor(0, 767.25, 1023.0, 0.0).shown, 1);
    EXPECT_EQ(osci_trigger_cursor(1023, 0.0, 511.5, 0.0).x, 0.0);
}

TEST(OsciCursor, TriggerOutsideTheViewIsParkedInTheMiddle) {
    const osci_cursor_place c = osci_trigger_cursor(100, 0.0, 511.5, 0.0);
    EXPECT_EQ(c.shown, 0);
    EXPECT_DOUBLE_EQ(c.x, 255.75);
    EXPECT_EQ(c.y, 0.0);
    // A negative 16-bit pretrigger lies right of every view.
    EXPECT_EQ(osci_trigger_cursor(-1, 0.0, 1023.0, 0.0).shown, 0);
}

TEST(OsciCursor, DraggedTriggerCursorSetsThePretrigger) {
    EXPECT_EQ(osci_pretrigger_from_cursor(1000.7), 23);
    EXPECT_EQ(osci_pretrigger_from_cursor(0.0), 1023);
    EXPECT_EQ(osci_pretrigger_from_cursor(1023.0), 0);
    // Round trip: a cursor placed from a pretrigger gives that pretrigger back.
    for (int p : {0, 1, 100, 511, 1023}) {
        const osci_cursor_place c = osci_trigger_cursor(p, 0.0, 1023.0, 0.0);
        EXPECT_EQ(osci_pretrigger_from_cursor(c.x), p);
    }
    // Nothing a graph can report makes a pretrigger outside 0..1023.
    EXPECT_EQ(osci_pretrigger_from_cursor(-0.5), 1023);
    EXPECT_EQ(osci_pretrigger_from_cursor(-5000.0), 1023);
    EXPECT_EQ(osci_pretrigger_from_cursor(1e12), 0);
    EXPECT_EQ(osci_pretrigger_from_cursor(std::numeric_limits<double>::quiet_NaN()), 1023);
}

// ---- measurement cursors ----

TEST(OsciCursor, MillisecondAxisScalesOnlyTheXReadouts) {
    const osci_readouts s = osci_measure(100.0, 500.0, 300.0, 200.0, 0, 0.5);
    EXPECT_EQ(s.x3, 100.0);
    EXPECT_EQ(s.dx, 200.0);
    EXPECT_EQ(s.dy, -300.0);
    const osci_readouts ms = osci_measure(100.0, 500.0, 300.0, 200.0, 1, 0.5);
    EXPECT_EQ(ms.x3, 50.0);
    EXPECT_EQ(ms.x4, 150.0);
    EXPECT_EQ(ms.y3, 500.0);
    EXPECT_EQ(ms.dx, 100.0);
    EXPECT_EQ(ms.dy, -300.0);
}
