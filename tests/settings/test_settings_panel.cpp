// The general and hidden settings panels' own callbacks: the scan setting,
// context help on every control, and NORM NOW against the simulated unit,
// outside RUN and during it.
#include "tests/settings/settings_fixture.h"

#include "connect/connect_panel.h"
#include "link/orders.h"

#include <QTimer>

#include <algorithm>
#include <cstdio>

// ---- scan setting --------------------------------------------------------------------------

TEST_F(SettingsTest, ScanSettingSetsTheIntervalAndDimsItAtMaximumRate) {
    commit(tab7, TAB7_RING_SCANSETTING, -1); // fixed interval
    EXPECT_EQ(number(tab7, TAB7_NUMS_SCANRATE), 50);
    EXPECT_EQ(attr(tab7, TAB7_NUMS_SCANRATE, ATTR_DIMMED), 0);
    SetCtrlVal(tab7, TAB7_NUMS_SCANRATE, 123.0);

    commit(tab7, TAB7_RING_SCANSETTING, 0); // maximum rate
    EXPECT_EQ(number(tab7, TAB7_NUMS_SCANRATE), 20);
    EXPECT_EQ(attr(tab7, TAB7_NUMS_SCANRATE, ATTR_DIMMED), 1);

    commit(tab7, TAB7_RING_SCANSETTING, -1); // the typed 123 is not restored
    EXPECT_EQ(number(tab7, TAB7_NUMS_SCANRATE), 50);
    EXPECT_EQ(attr(tab7, TAB7_NUMS_SCANRATE, ATTR_DIMMED), 0);
}

// ---- help -----------------------------------------------------------------------------------

// Every control of the two panels that has a callback answers a right click
// with the help of (panel name, control name); other events of the help-only
// controls do nothing.
TEST_F(SettingsTest, RightClickOnEveryControlAsksForItsHelp) {
    const std::pair<int, const char*> tab7_ctrls[] = {
        {TAB7_RING_SCANSETTING, "RING_SCANSETTING"},
        {TAB7_NUMS_SCANRATE, "NUMS_SCANRATE"},
        {TAB7_NUMS_NORMTIMECONSTANT, "NUMS_NORMTIMECONSTANT"},
        {TAB7_CMDB_NORM_NOW, "CMDB_NORM_NOW"},
        {TAB7_RING_NORMCOND, "RING_NORMCOND"},
        {TAB7_RING_DIRTOUTPUT, "RING_DIRTOUTPUT"},
        {TAB7_RING_ANALOGOUTMODE, "RING_ANALOGOUTMODE"},
        {TAB7_RING_ANAOUTSCALE, "RING_ANAOUTSCALE"},
        {TAB7_CMDB_SHOWTRANSFER, "CMDB_SHOWTRANSFER"},
        {TAB7_GRPH_TRANSFER, "GRPH_TRANSFER"},
        {TAB7_NUMS_XSTART, "NUMS_XSTART"},
        {TAB7_NUMS_VSTART, "NUMS_VSTART"},
        {TAB7_NUMS_XEND, "NUMS_XEND"},
        {TAB7_NUMS_VEND, "NUMS_VEND"},
        {TAB7_CMDB_CLOSE, "CMDB_CLOSE"},
    };
    std::vector<std::pair<std::string, std::string>> want;
    for (const auto& [ctrl, name] : tab7_ctrls) {
        EXPECT_EQ(SimulateCtrlEvent(tab7, ctrl, EVENT_RIGHT_CLICK, 0, 0), 1) << name;
        want.emplace_back("tab7", name);
    }
    EXPECT_EQ(SimulateCtrlEvent(tab8, TAB8_RING_SWITCH_ANAOUT, EVENT_RIGHT_CLICK, 0, 0), 1);
    want.emplace_back("tab8", "RING_SWITCH_ANAOUT");
    EXPECT_EQ(helps, want);

    helps.clear();
    for (int ctrl : {TAB7_NUMS_SCANRATE, TAB7_NUMS_NORMTIMECONSTANT, TAB7_RING_DIRTOUTPUT, TAB7_RING_NORMCOND})
        EXPECT_EQ(SimulateCtrlEvent(tab7, ctrl, EVENT_COMMIT, 0, 0), 0);
    EXPECT_TRUE(helps.empty());
}

// ---- NORM NOW ---------------------------------------------------------------------------------

TEST_F(SettingsSimTest, NormNowSendsOneOrderAndShowsItsText) {
    shell_status("before");
    std::vector<std::string> seen;
    // The status line as it is while the order waits for its answer.
    at(0, [&] { seen.push_back(text(graph1, GRAPH1_STRING_STATUS)); });
    press(tab7, TAB7_CMDB_NORM_NOW);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "Ordering unit to acquire norm factor ... Done. ");
    EXPECT_STREQ(str_data, "Ordering unit to acquire norm factor ... Done. ");
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "Ordering unit to acquire norm factor ... ");
    const std::vector<std::string> sent = requests();
    ASSERT_EQ(sent.size(), 1u);
    int order = -1, words = -1;
    unsigned value = 99;
    double t = 0;
    ASSERT_EQ(std::sscanf(sent[0].c_str(), "%lf s order %d value %u words %d", &t, &order, &value, &words), 4)
        << sent[0];
    EXPECT_EQ(order, ORDER_NORM_NOW);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(words, 0);
}

TEST_F(SettingsSimTest, NormNowWhileATransactionRunsDoesNothing) {
    shell_status("busy");
    com.exch_active = 1;
    press(tab7, TAB7_CMDB_NORM_NOW);
    com.exch_active = 0;
    ProcessSystemEvents();
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "busy");
    EXPECT_EQ(count_orders(ORDER_NORM_NOW), 0);
}

TEST_F(SettingsSimTest, NormNowWithoutALinkSaysSo) {
    init_rs232(&com.connect, 0, 0, 0);
    press(tab7, TAB7_CMDB_NORM_NOW);
    EXPECT_EQ(text(graph1, GRAPH1_STRING_STATUS), "No connection established with control unit.");
    EXPECT_EQ(count_orders(ORDER_NORM_NOW), 0);
}

// During RUN the press interrupts the waiting poll, and the loop orders the
// unit once; the button's own callback leaves it to the loop.
TEST_F(SettingsSimTest, NormNowDuringRunIsServedByTheLoop) {
    std::vector<std::string> seen;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const std::string s = text(graph1, GRAPH1_STRING_STATUS);
        if (seen.empty() || seen.back() != s) seen.push_back(s);
    });
    watch.start(1);
    int running = -1;
    at(300, [&] {
        running = runs.run;
        press(tab7, TAB7_CMDB_NORM_NOW);
    });
    at(700, [] { press(mpanel, MPANEL_CBTN_STOP); });
    press(mpanel, MPANEL_CBTN_RUN); // returns when the loop ended
    watch.stop();
    EXPECT_EQ(running, 1);
    EXPECT_EQ(count_orders(ORDER_NORM_NOW), 1);
    EXPECT_NE(std::find(seen.begin(), seen.end(), "Ordering unit to acquire norm factor ... Done. "), seen.end());
    EXPECT_GT(count_orders(ORDER_POLL), 5); // polling went on
}
