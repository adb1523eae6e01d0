// The analog output on the general settings panel, through its controls as a
// user works them: source and preset, the transfer view with its end points,
// marker lines and zoom, the manual end points, and what closes the view.
#include "tests/settings/settings_fixture.h"

#include "params/para_gui.h"
#include "settings/anaout_math.h"
#include "settings/anaout_view.h"
#include "ui/ui_widgets.h"

namespace {

constexpr int32_t FIX = 65536;

teach_entry teach(int ref, int low, int high) {
    return teach_entry{ref * FIX, low * FIX, high * FIX};
}

void expect_row(const anaout_scaling& r, int gain, int shift, int offset) {
    EXPECT_EQ(r.gain, gain);
    EXPECT_EQ(r.shift, shift);
    EXPECT_EQ(r.offset, offset);
}

int list_count(int panel, int ctrl) {
    int n = -1;
    GetNumListItems(panel, ctrl, &n);
    return n;
}

// The controls the view takes the place of.
const int place_ctrls[] = {TAB7_RING_SCANSETTING, TAB7_NUMS_SCANRATE,         TAB7_NUM_FREQUENCY,
                           TAB7_NUM_ADTIME,       TAB7_NUMS_NORMTIMECONSTANT, TAB7_CMDB_NORM_NOW,
                           TAB7_RING_NORMCOND,    TAB7_RING_DIRTOUTPUT};
const int view_ctrls[] = {TAB7_GRPH_TRANSFER, TAB7_NUMS_XSTART, TAB7_NUMS_VSTART,
                          TAB7_NUMS_XEND,     TAB7_NUMS_VEND,   TAB7_CMDB_CLOSE};

} // namespace

class AnaoutView : public SettingsTest {
  protected:
    void expect_open(int open) {
        EXPECT_EQ(anaout_view_open(), open);
        for (int c : view_ctrls) EXPECT_EQ(attr(tab7, c, ATTR_VISIBLE), open) << c;
        for (int c : place_ctrls) EXPECT_EQ(attr(tab7, c, ATTR_VISIBLE), !open) << c;
    }
    void expect_numerics(double x_start, double v_start, double x_end, double v_end) {
        EXPECT_EQ(number(tab7, TAB7_NUMS_XSTART), x_start);
        EXPECT_NEAR(number(tab7, TAB7_NUMS_VSTART), v_start, 0.005);
        EXPECT_EQ(number(tab7, TAB7_NUMS_XEND), x_end);
        EXPECT_NEAR(number(tab7, TAB7_NUMS_VEND), v_end, 0.005);
    }
    // The curve drawn is out(0) .. out(4095) of row 0, thick and dark red.
    void expect_curve_of_row0() {
        const std::vector<const UiPlot*> plots = transfer_plots();
        ASSERT_FALSE(plots.empty());
        const UiPlot& c = *plots[0];
        EXPECT_EQ(c.kind, UiPlot::Curve);
        EXPECT_EQ(c.color, 0x800000);
        EXPECT_EQ(c.plot_style, UI_FAT_LINE);
        ASSERT_EQ(c.y.size(), 4096u);
        for (int x = 0; x < 4096; x++)
            ASSERT_EQ(c.y[static_cast<size_t>(x)], anaout_out(&paras.para_pc.anaout_scale[0], x)) << x;
    }
    // Vertical lines after the curve: (x, colour) each.
    static std::vector<std::pair<double, int>> marks() {
        std::vector<std::pair<double, int>> out;
        const std::vector<const UiPlot*> plots = transfer_plots();
        for (size_t i = 1; i < plots.size(); i++) {
            const UiPlot& p = *plots[i];
            EXPECT_EQ(p.kind, UiPlot::Line);
            EXPECT_EQ(p.x[0], p.x[1]);
            EXPECT_EQ(p.y[0], 0.0);
            EXPECT_EQ(p.y[1], 4095.0);
            out.emplace_back(p.x[0], p.color);
        }
        return out;
    }
};

TEST_F(AnaoutView, PresetOfAResultSourceIsDrawnWithItsEndPointsAndReference) {
    paras.para_pc.teachA[0] = teach(1000, 10, 10);
    paras.para_pc.teachB[0] = teach(500, 10, 10);
    expect_open(0);
    commit(tab7, TAB7_RING_ANALOGOUTMODE, 1); // RESULT A
    EXPECT_EQ(list_count(tab7, TAB7_RING_ANAOUTSCALE), 8);
    expect_open(1);

    commit(tab7, TAB7_RING_ANAOUTSCALE, 4); // "REF -> 5V, Gain:x2"
    expect_row(paras.para_pc.anaout_scale[0], 16384, 2, 48);
    expect_row(paras.para_pc.anaout_scale[1], 16384, 2, 1048); // channel B's reference
    expect_row(paras.para_pc.anaout_scale[2], 16384, 1, 0);
    expect_row(paras.para_pc.anaout_scale[3], 16384, 1, 0);
    expect_open(1);
    expect_numerics(0, 48 * 10.0 / 4095, 2024, 10.0);
    expect_curve_of_row0();
    EXPECT_EQ(marks(), (std::vector<std::pair<double, int>>{{1000, 0x000000}}));
    double x0 = -1, x1 = -1;
    transfer_x_range(&x0, &x1);
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(x1, 4095);
}

TEST_F(AnaoutView, SourcesSetTheRowsAndTheScaleList) {
    for (anaout_scaling& r : paras.para_pc.anaout_scale) r = {111, 5, 222};
    commit(tab7, TAB7_RING_ANALOGOUTMODE, 0); // OFF: row 0 off, drawn flat at 0 V
    EXPECT_EQ(list_count(tab7, TAB7_RING_ANAOUTSCALE), 1);
    expect_row(paras.para_pc.anaout_scale[0], 0, 0, 0);
    expect_row(paras.para_pc.anaout_scale[1], 111, 5, 222);
    expect_row(paras.para_pc.anaout_scale[3], 0, 0, 0);
    expect_open(1);
    expect_numerics(0, 0.0, 4095, 0.0);
    expect_curve_of_row0();
    EXPECT_TRUE(marks().empty());

    commit(tab7, TAB7_RING_ANALOGOUTMODE, 2); // RESULT B keeps row 0 as it is
    EXPECT_EQ(list_count(tab7, TAB7_RING_ANAOUTSCALE), 8);
    expect_row(paras.para_pc.anaout_scale[0], 0, 0, 0);
    expect_row(paras.para_pc.anaout_scale[1], 16384, 1, 0);

    commit(tab7, TAB7_RING_ANALOGOUTMODE, 5); // CNTR B: every row the identity
    EXPECT_EQ(list_count(tab7, TAB7_RING_ANAOUTSCALE), 1);
    for (const anaout_scaling& r : paras.para_pc.anaout_scale) expect_row(r, 16384, 1, 0);
    expect_numerics(0, 0.0, 4095, 10.0);
    expect_curve_of_row0();
}

TEST_F(AnaoutView, ZoomToleranceMarksTheBandAndAClickZoomsOntoIt) {
    paras.para_pc.teachB[0] = teach(2000, 500, 500);
    commit(tab7, TAB7_RING_ANALOGOUTMODE, 2); // RESULT B
    commit(tab7, TAB7_RING_ANAOUTSCALE, 2);   // "ZOOM TOLERANCE"
    expect_row(paras.para_pc.anaout_scale[0], 16777, 3, -6144);
    expect_numerics(1500, 0.0, 2500, 10.0);
    EXPECT_EQ(marks(), (std::vector<std::pair<double, int>>{{1500, 0x00FF00}, {2500, 0x00FF00}, {2000, 0}}));

    double x0 = -1, x1 = -1;
    SimulateCtrlEvent(tab7, TAB7_GRPH_TRANSFER, EVENT_LEFT_CLICK, 50, 50);
    transfer_x_range(&x0, &x1);
    EXPECT_EQ(x0, 1490);
    EXPECT_EQ(x1, 2510);
    expect_curve_of_row0();

    // Near the ends of the range the zoom stops at 0 and 4095.
    paras.para_pc.anaout_scale[0] = {16384, 1, -5}; // enters at input 5, leaves at 4095
    SimulateCtrlEvent(tab7, TAB7_GRPH_TRANSFER, EVENT_LEFT_CLICK, 50, 50);
    transfer_x_range(&x0, &x1);
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(x1, 4095);
    EXPECT_EQ(number(tab7, TAB7_NUMS_XSTART), 5);

    paras.para_pc.anaout_scale[0] = {16777, 3, -6144};
    press(tab7, TAB7_CMDB_SHOWTRANSFER); // SHOW draws unzoomed
    transfer_x_range(&x0, &x1);
    EXPECT_EQ(x0, 0);
    EXPECT_EQ(x1, 4095);
}

// Drawn with channel 2, the row through the typed points leaves the numerics
// as typed, although the row's own end points lie elsewhere.
TEST_F(AnaoutView, TypedEndPointsSetRowZeroAndStayAsTyped) {
    press(tab7, TAB7_CMDB_SHOWTRANSFER);
    SetCtrlVal(tab7, TAB7_NUMS_XSTART, 100.0);
    SetCtrlVal(tab7, TAB7_NUMS_VSTART, 1.0);
    SetCtrlVal(tab7, TAB7_NUMS_XEND, 3000.0);
    commit(tab7, TAB7_NUMS_VEND, 9.0);
    anaout_scaling want{};
    anaout_manual_row(&want, 100, 1.0, 3000, 9.0);
    expect_row(paras.para_pc.anaout_scale[0], want.gain, want.shift, want.offset);
    expect_numerics(100, 1.0, 3000, 9.0);
    expect_curve_of_row0();
    EXPECT_NEAR(anaout_out(&paras.para_pc.anaout_scale[0], 100), 409, 2);
    EXPECT_NEAR(anaout_out(&paras.para_pc.anaout_scale[0], 3000), 3685, 2);

    press(tab7, TAB7_CMDB_SHOWTRANSFER); // now the row's own end points
    EXPECT_EQ(number(tab7, TAB7_NUMS_XSTART), 0);

    SetCtrlVal(tab7, TAB7_NUMS_XSTART, 100.0);
    commit(tab7, TAB7_NUMS_XEND, 100.0); // equal inputs: the row becomes 0, 0, 0
    expect_row(paras.para_pc.anaout_scale[0], 0, 0, 0);
    EXPECT_EQ(number(tab7, TAB7_NUMS_XEND), 100);
}

TEST_F(AnaoutView, CloseAPanelSwitchAndShowingARecordCloseTheView) {
    press(tab7, TAB7_CMDB_SHOWTRANSFER);
    expect_open(1);
    press(tab7, TAB7_CMDB_CLOSE);
    expect_open(0);

    press(tab7, TAB7_CMDB_SHOWTRANSFER);
    shell_select_panel(MPANEL_CBTN_SEL_CHANA);
    expect_open(0);

    press(tab7, TAB7_CMDB_SHOWTRANSFER);
    para_record r{};
    r.anaout_source = 1;
    update_PARA(&r);
    expect_open(0);
    EXPECT_EQ(list_count(tab7, TAB7_RING_ANAOUTSCALE), 8);
}

// Negative tolerances (a parameter file may hold them) put U below L; the
// view's own halving loop never ended. Now the row stays and nothing is drawn.
TEST_F(AnaoutView, NegativeTolerancesLeaveTheRowAndDrawNothing) {
    paras.para_pc.teachA[0] = teach(2000, -600, -600);
    paras.para_pc.anaout_scale[0] = {111, 5, 222};
    commit(tab7, TAB7_RING_ANALOGOUTMODE, 1);
    const size_t before = transfer_plots().size();
    commit(tab7, TAB7_RING_ANAOUTSCALE, 2);
    expect_row(paras.para_pc.anaout_scale[0], 111, 5, 222);
    EXPECT_EQ(transfer_plots().size(), before);
}

// Rows from a file or the unit may hold any shift. The view used to shift by
// up to 32783 bits, which the machine takes modulo the register width.
TEST_F(AnaoutView, AnyShiftIsDrawnAsItsClampedLine) {
    const anaout_scaling rows[] = {{16384, -32768, 100}, {-32768, 32767, 4000}, {32767, 47, -5}};
    const int at_100[] = {100, 0, 4095};
    for (size_t i = 0; i < std::size(rows); i++) {
        paras.para_pc.anaout_scale[0] = rows[i];
        press(tab7, TAB7_CMDB_SHOWTRANSFER);
        expect_curve_of_row0();
        const std::vector<const UiPlot*> plots = transfer_plots();
        ASSERT_FALSE(plots.empty());
        EXPECT_EQ(plots[0]->y[100], at_100[i]) << i;
    }
}
