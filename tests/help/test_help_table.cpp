// Help texts: the lookup by (panel, control) with its fallback, building the
// help screen of a click, the texts the system quotes, and the table against
// the panel layouts.
#include "help/help_table.h"
#include "tests/help/layout_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>

namespace {

bool starts_with(const char* text, const std::string& opening) {
    return text && std::string(text).compare(0, opening.size(), opening) == 0;
}

bool ends_with(const char* text, const std::string& ending) {
    const std::string t = text ? text : "";
    return t.size() >= ending.size() && t.compare(t.size() - ending.size(), ending.size(), ending) == 0;
}

help_topic lookup(const char* panel, const char* control, int expected) {
    help_topic topic{};
    EXPECT_EQ(help_lookup(panel, control, &topic), expected)
        << panel << " / " << (control ? control : "null");
    return topic;
}

// Clicks that the Parts answer without help.
bool shows_no_help(const std::string& panel, const std::string& control) {
    if (panel == "graph2" || panel == "graph3") return true;
    if ((panel == "tab10" || panel == "tab11") && control.empty()) return true;
    return panel == "graph1" && (control == "GRAPH_ANALOGA" || control == "GRAPH_ANALOGB");
}

} // namespace

// ---- the table ----

TEST(HelpTable, EveryTextFitsAHelpScreenUncut) {
    for (int i = 0; i < help_row_count; i++) {
        const help_row& r = help_rows[i];
        if (r.visual == HELP_SWALLOW || r.visual == HELP_SHOW_AGAIN) continue;
        ASSERT_TRUE(r.panel_text && r.control_text) << r.panel << " / " << r.control;
        EXPECT_GT(std::strlen(r.panel_text), 0u) << r.panel << " / " << r.control;
        EXPECT_LT(std::strlen(r.panel_text), size_t(HELP_TEXT_SIZE)) << r.panel << " / " << r.control;
        EXPECT_LT(std::strlen(r.control_text), size_t(HELP_TEXT_SIZE)) << r.panel << " / " << r.control;
    }
}

TEST(HelpTable, NoTwoRowsNameTheSameClick) {
    std::set<std::string> seen;
    for (int i = 0; i < help_row_count; i++) {
        const std::string key = std::string(help_rows[i].panel) + "/" + help_rows[i].control;
        EXPECT_TRUE(seen.insert(key).second) << key;
    }
}

TEST(HelpTable, TyposOfTheSystemsTextsAreKept) {
    for (const char* typo : {"analouge", "seperate", "choosen", "theese", "parameteric", "it's function"}) {
        bool found = false;
        for (int i = 0; i < help_row_count && !found; i++) {
            const help_row& r = help_rows[i];
            found = (r.panel_text && std::strstr(r.panel_text, typo)) ||
                    (r.control_text && std::strstr(r.control_text, typo));
        }
        EXPECT_TRUE(found) << typo;
    }
}

// ---- lookup ----

TEST(HelpLookup, ControlsWithoutARowGetTheirPanelsText) {
    const struct {
        const char *panel, *control, *panel_text;
    } cases[] = {
        {"tab2", "RING_CHAN", descr_panel_chanA},
        {"tab3", "RING_CHAN", descr_panel_chanB},
        {"tab3", "CMDB_RESET", descr_panel_chanB},
        {"tab4", "CMDB_TEACHB", descr_panel_teachtable},
        {"tab5", "CBTN_START", descr_panel_recorder},
        {"tab6", "NUMS_PRETRIGA", descr_panel_oscillograph},
        {"tab6", "CBTN_MASTERB", descr_panel_oscillograph},
        {"tab7", "RING_DIRTOUTPUT", descr_panel_concernall},
        {"tab7", "GRPH_TRANSFER", descr_panel_concernall},
        {"tab9", "CMDB_CHECK_LIN", descr_panel_linearinfo},
        {"tab1", "RING_COMMODE", descr_panel_connect},
        {"osci1", "SLIDE_VERTICAL", descr_panel_oscillograph},
        {"osci1", "GRAPH_OSCI", descr_panel_oscillograph},
        {"mpanel", "NO_SUCH_CONTROL", descr_panel_main},
    };
    for (const auto& c : cases) {
        const help_topic t = lookup(c.panel, c.control, HELP_PANEL_ROW);
        EXPECT_EQ(t.panel_text, c.panel_text) << c.panel << " / " << c.control;
        EXPECT_EQ(t.control_text, descr_click_on_panel) << c.panel << " / " << c.control;
        EXPECT_EQ(t.visual, HELP_NO_VISUAL);
    }
}

TEST(HelpLookup, BackgroundsAndNullControls) {
    help_topic t = lookup("tab8", nullptr, HELP_OWN_ROW);
    EXPECT_EQ(t.panel_text, descr_panel_hidden);
    EXPECT_EQ(t.control_text, descr_click_on_panel);
    t = lookup("graph1", "", HELP_OWN_ROW);
    EXPECT_EQ(t.panel_text, descr_help_on_traces);
    EXPECT_EQ(t.control_text, descr_click_on_panel);
    EXPECT_EQ(help_lookup("tab10", "", nullptr), HELP_NOTHING);
    EXPECT_EQ(help_lookup("tab11", nullptr, nullptr), HELP_NOTHING);
    EXPECT_EQ(help_lookup("graph1", "GRAPH_ANALOGB", nullptr), HELP_NOTHING);
    EXPECT_EQ(help_lookup("graph2", "CMDB_CLOSE", nullptr), HELP_NOTHING);
    EXPECT_EQ(help_lookup("graph3", "", nullptr), HELP_NOTHING);
    EXPECT_EQ(help_lookup("popup1", "", nullptr), HELP_UNKNOWN_PANEL);
    EXPECT_EQ(help_lookup(nullptr, "CBTN_RUN", nullptr), HELP_UNKNOWN_PANEL);
}

TEST(HelpLookup, MeasurementNumericsChooseTheirVisualisation) {
    const struct {
        const char* control;
        help_visual visual;
        const char* opening;
    } cases[] = {
        {"NUM_RAWA", HELP_RAW_NORM,
         "The <RAW A> data displays the unnormalized digital representation of the analouge sensor connected "
         "to "
         "the input socket marked \"CH A\"."},
        {"NUM_RAWB", HELP_RAW_NORM,
         "The <RAW B> data displays the unnormalized digital representation of the analouge sensor connected "
         "to "
         "the input socket marked \"CH B\"."},
        {"NUM_MAXA", HELP_RAW_NORM,
         "The <MAX A> data displays the maximum unnormalized digital representation of the analouge sensor "
         "connected to the input socket marked \"CH A\"."},
        {"NUM_MAXB", HELP_RAW_NORM, "The <MAX B> data displays the maximum unnormalized"},
        {"NUM_VALA", HELP_RAW_NORM,
         "The <VAL A> data displays the normalized digital representation of the analouge sensor connected "
         "to "
         "the input socket marked \"CH A\"."},
        {"NUM_VALB", HELP_RAW_NORM, "The <VAL B> data displays the normalized"},
        {"NUM_MINVALA", HELP_MIN_MAX,
         "The <MIN VAL A> data displays the minimal value of the <VAL A> data.\n\nThe formula is: <MIN VAL "
         "A> = "
         "min{<VAL A>}\n\nOn each reset event: <MIN VAL A> = <VAL A>"},
        {"NUM_MINVALB", HELP_MIN_MAX, "The <MIN VAL B> data displays the minimal value of the <VAL B> data."},
        {"NUM_MAXVALA", HELP_MIN_MAX, "The <MAX VAL A> data displays the maximal value of the <VAL A> data."},
        {"NUM_MAXVALB", HELP_MIN_MAX, "The <MAX VAL B> data displays the maximal value of the <VAL B> data."},
        {"NUM_CNTRA", HELP_TRIGG_COUNT,
         "The <CNTR A> data displays the number of specified events counted by the KORMELAN-3 since the last "
         "reset event."},
        {"NUM_CNTRB", HELP_TRIGG_COUNT, "The <CNTR B> data displays the number of specified events"},
        {"NUM_RESULTA", HELP_NO_VISUAL,
         "The <RESULT A> data is the result of the application of the operation/selection specified with the "
         "<EVALMODE A> parameter."},
        {"NUM_RESULTB", HELP_NO_VISUAL, "The <RESULT B> data is the result of the application"},
    };
    for (const auto& c : cases) {
        const help_topic t = lookup("graph1", c.control, HELP_OWN_ROW);
        EXPECT_EQ(t.visual, c.visual) << c.control;
        EXPECT_EQ(t.panel_text, descr_help_on_traces) << c.control;
        EXPECT_TRUE(starts_with(t.control_text, c.opening)) << c.control << ": " << t.control_text;
    }
    EXPECT_NE(std::strstr(lookup("graph1", "NUM_VALA", 1).control_text,
                          "<VAL A> = <RAW A> * (4095 / max{<RAW A>} "),
              nullptr);
    for (const char* other :
         {"NUM_FILTA", "NUM_DERIVA", "NUM_SMOOTHA", "NUM_FILTB", "NUM_DERIVB", "NUM_SMOOTHB"})
        EXPECT_EQ(lookup("graph1", other, HELP_OWN_ROW).visual, HELP_SHOW_AGAIN) << other;
}

TEST(HelpLookup, QuotedControlTexts) {
    EXPECT_STREQ(lookup("tab1", "CMDB_COMACCEPT", 1).control_text, "");
    EXPECT_STREQ(lookup("graph1", "CMDB_ACVIDEO", 1).control_text,
                 "Display seperate panel for 'VIDEO' data.");
    EXPECT_STREQ(
        lookup("graph1", "LED_OUT1", 1).control_text,
        "View the status of the digital output OUT1. If LED is on, the state is \"1/ON\" and the voltage "
        "level is +24V on the input. If the LED is off, the state is \"0/OFF\" and the the voltage is 0V "
        "or GND.");
    EXPECT_EQ(lookup("graph1", "LED_IN0", 1).panel_text, descr_help_on_interface);
    EXPECT_TRUE(starts_with(lookup("graph1", "STRIP_DATA", 1).control_text,
                            "Through this stripchart it is possible to continuously monitor the data"));
    EXPECT_NE(std::strstr(lookup("graph1", "BINS_CNTRB", 1).control_text, "<CNTR B>"), nullptr);

    help_topic t = lookup("tab7", "NUMS_NORMTIMECONSTANT", HELP_OWN_ROW);
    EXPECT_EQ(t.visual, HELP_RAW_NORM);
    EXPECT_TRUE(starts_with(t.control_text, "Define the norming time constant."));
    EXPECT_TRUE(ends_with(t.control_text, "This is done by "));
    EXPECT_TRUE(ends_with(lookup("tab7", "NUMS_SCANRATE", 1).control_text,
                          "For one channel only, a minimum scanrate of 20µs can be selected. For two "
                          "channel-mode a minimum scanrate of 30µs is to be selected. Insufficient scanrate "
                          "settings can cause the controller skip samples."));

    t = lookup("tab8", "RING_SWITCH_ANAOUT", HELP_OWN_ROW);
    EXPECT_EQ(t.panel_text, descr_panel_hidden);
    const char* sources[] = {"OFF",   "RESULT A", "RESULT B", "RESULT (A+B)/2", "CNTR A",  "CNTR B",
                             "RAW A", "RAW B",    "VAL A",    "VAL B",          "DERIV A", "DERIV B"};
    for (int i = 0; i < 12; i++) {
        const std::string line = "analog source list entry " + std::to_string(i) + ": " + sources[i] + "\n";
        EXPECT_NE(std::strstr(t.control_text, line.c_str()), nullptr) << line;
    }
    EXPECT_TRUE(ends_with(t.control_text,
                          "If the external input IN0 is high, the selected analog source "
                          "advances +1.\nIf the external input IN1 is high, the selected analog "
                          "source advances +2.\nIf both inputs are high, the selected analog "
                          "source advances +3."));

    // The selector buttons of seven panels give that panel's description.
    EXPECT_EQ(lookup("mpanel", "CBTN_SEL_OSCI", 1).control_text, descr_panel_oscillograph);
    EXPECT_EQ(lookup("mpanel", "CBTN_SEL_OSCI", 1).panel_text, descr_panelselector);
    EXPECT_EQ(lookup("mpanel", "CBTN_SEL_FILTER", 1).control_text, descr_click_on_panel);
    EXPECT_EQ(lookup("mpanel", "CBTN_RUN", 1).panel_text, descr_panel_main);
}

// ---- building the help of a click ----

TEST(HelpPrepare, CopiesTheTemplateAndBothTexts) {
    auto active = std::make_unique<help_screen>();
    ASSERT_EQ(help_prepare("tab7", "NUMS_NORMTIMECONSTANT", active.get()), HELP_OWN_ROW);
    EXPECT_EQ(active->upper.count, 4);
    EXPECT_EQ(active->upper_generators[4], helpscr_RAW_NORM.upper_generators[4]);
    EXPECT_STREQ(active->upper.label, helpscr_RAW_NORM.upper.label);
    EXPECT_STREQ(active->panel_text, descr_panel_concernall);
    EXPECT_TRUE(ends_with(active->control_text, "This is done by "));

    ASSERT_EQ(help_prepare("tab3", "BINS_TIMER", active.get()), HELP_PANEL_ROW);
    EXPECT_EQ(active->upper.count, 0);
    EXPECT_STREQ(active->upper.label, "No visualisation available.");
    EXPECT_STREQ(active->lower.label, "No visualisation available.");
    EXPECT_STREQ(active->panel_text, descr_panel_chanB);
    EXPECT_STREQ(active->control_text, descr_click_on_panel);
}

TEST(HelpPrepare, ClicksWithoutNewHelpLeaveTheActiveScreen) {
    auto active = std::make_unique<help_screen>();
    ASSERT_EQ(help_prepare("graph1", "NUM_CNTRA", active.get()), HELP_OWN_ROW);
    int tick = 0;
    for (int i = 0; i < 5; i++) help_tick(active.get(), &tick, nullptr);
    auto before = std::make_unique<help_screen>(*active);
    EXPECT_EQ(help_prepare("graph1", "NUM_SMOOTHA", active.get()), HELP_OWN_ROW);
    EXPECT_EQ(help_prepare("graph1", "GRAPH_ANALOGA", active.get()), HELP_NOTHING);
    EXPECT_EQ(help_prepare("tab10", "", active.get()), HELP_NOTHING);
    EXPECT_EQ(help_prepare("nowhere", "", active.get()), HELP_UNKNOWN_PANEL);
    EXPECT_EQ(std::memcmp(before.get(), active.get(), sizeof *active), 0);
    EXPECT_EQ(help_prepare("tab1", "", nullptr), HELP_UNKNOWN_PANEL);
}

// ---- against the panel layouts ----

TEST(HelpLayout, EveryRowNamesAPanelAndControlOfTheLayouts) {
    const layout_names layouts = read_layouts();
    ASSERT_FALSE(layouts.objects.empty()) << "no layout files under " ZAZED_SOURCE_DIR "/resources";
    for (int i = 0; i < help_row_count; i++) {
        const help_row& r = help_rows[i];
        const auto panel = layouts.objects.find(r.panel);
        ASSERT_NE(panel, layouts.objects.end()) << r.panel;
        if (*r.control) {
            EXPECT_TRUE(panel->second.count(r.control)) << r.panel << " / " << r.control;
        }
    }
}

TEST(HelpLayout, EveryControlWithACallbackShowsHelpUnlessThePanelsSayNot) {
    const layout_names layouts = read_layouts();
    ASSERT_GT(layouts.callbacks.size(), 100u);
    for (const layout_callback& cb : layouts.callbacks) {
        help_topic t{};
        const int found = help_lookup(cb.panel.c_str(), cb.control.c_str(), &t);
        const std::string where = cb.panel + " / " + cb.control + " (" + cb.callback + ")";
        if (shows_no_help(cb.panel, cb.control)) {
            EXPECT_EQ(found, HELP_NOTHING) << where;
        } else {
            ASSERT_GT(found, 0) << where;
            if (t.visual != HELP_SHOW_AGAIN) {
                EXPECT_GT(std::strlen(t.panel_text), 0u) << where;
            }
        }
    }
}
