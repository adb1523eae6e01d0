// Tooltip table: rows per panel, the form of every text, the rows quoted
// whole, installing and removing them, and the table against the layouts.
#include "help/tooltip_table.h"
#include "tests/help/layout_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>

namespace {

const tooltip_row* row_of(const std::string& panel, const std::string& control) {
    for (const tooltip_row& r : tooltip_rows) {
        if (panel == r.panel && control == r.control) return &r;
    }
    return nullptr;
}

std::string text_of(const std::string& panel, const std::string& control) {
    const tooltip_row* r = row_of(panel, control);
    return r ? r->text : "<no row>";
}

// The rows whose text is not description plus invitation.
bool quoted_whole(const tooltip_row& r) {
    return std::strcmp(r.panel, "graph1") == 0 &&
           (std::strcmp(r.control, "GRAPH_ANALOGA") == 0 || std::strcmp(r.control, "GRAPH_ANALOGB") == 0);
}

// Counts characters, not bytes, so "µs" is two.
size_t chars(const std::string& s) {
    size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

struct fake_panels {
    std::map<std::string, std::string> tip; // "panel/control" -> text
    std::string refuse;                     // a control whose setter fails
    int calls = 0;
};

int set_tip(const char* panel, const char* control, const char* text, void* ctx) {
    auto* f = static_cast<fake_panels*>(ctx);
    f->calls++;
    if (f->refuse == control) return -12;
    f->tip[std::string(panel) + "/" + control] = text;
    return 0;
}

} // namespace

// ---- the table ----

TEST(Tooltips, RowsPerPanel) {
    const std::map<std::string, int> expected = {{"mpanel", 15}, {"tab1", 10}, {"tab2", 16}, {"tab3", 16},
                                                 {"tab4", 6},    {"tab5", 13}, {"tab6", 10}, {"tab7", 11},
                                                 {"tab8", 5},    {"tab9", 11}, {"tab10", 4}, {"graph1", 34}};
    int total = 0;
    for (const auto& [panel, n] : expected) {
        EXPECT_EQ(tooltip_count(panel.c_str()), n) << panel;
        total += n;
    }
    EXPECT_EQ(total, TOOLTIP_ROWS);
    EXPECT_EQ(tooltip_count("tab11"), 0);
    EXPECT_EQ(tooltip_count(nullptr), 0);
    // Rows of one panel stand together, in the order the panels are installed.
    std::vector<std::string> order;
    for (const tooltip_row& r : tooltip_rows) {
        if (order.empty() || order.back() != r.panel) order.push_back(r.panel);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"mpanel", "tab1", "tab2", "tab3", "tab4", "tab5", "tab6",
                                               "tab7", "tab8", "tab9", "tab10", "graph1"}));
}

TEST(Tooltips, ChannelBPanelRepeatsChannelA) {
    std::vector<std::pair<std::string, std::string>> a, b;
    for (const tooltip_row& r : tooltip_rows) {
        if (std::strcmp(r.panel, "tab2") == 0) a.emplace_back(r.control, r.text);
        if (std::strcmp(r.panel, "tab3") == 0) b.emplace_back(r.control, r.text);
    }
    EXPECT_EQ(a, b);
}

TEST(Tooltips, NoControlHasTwoRows) {
    std::set<std::string> seen;
    for (const tooltip_row& r : tooltip_rows)
        EXPECT_TRUE(seen.insert(std::string(r.panel) + "/" + r.control).second);
}

TEST(Tooltips, EveryTextIsADescriptionAndTheInvitation) {
    const std::string suffix = tooltip_suffix;
    for (const tooltip_row& r : tooltip_rows) {
        const std::string where = std::string(r.panel) + " / " + r.control;
        const std::string text = r.text;
        if (quoted_whole(r)) {
            EXPECT_EQ(text.find(suffix), std::string::npos) << where;
            continue;
        }
        const size_t at = text.find(suffix);
        ASSERT_NE(at, std::string::npos) << where;
        // Only the transfer graph goes on after the invitation.
        if (std::strcmp(r.control, "GRPH_TRANSFER") != 0) {
            EXPECT_EQ(at + suffix.size(), text.size()) << where;
        }
        const bool line_feed = at >= 2 && text.compare(at - 2, 2, " \n") == 0;
        ASSERT_TRUE(line_feed || (at >= 1 && text[at - 1] == ' ')) << where;
        std::string description = text.substr(0, at - (line_feed ? 2 : 1));
        size_t breaks = 0;
        for (size_t p = description.find('\n'); p != std::string::npos; p = description.find('\n', p + 1)) {
            EXPECT_TRUE(p > 0 && description[p - 1] == ' ') << where << ": a line break not after a blank";
            breaks++;
        }
        std::erase(description, '\n');
        EXPECT_EQ(line_feed, chars(description) > 36) << where;
        EXPECT_EQ(breaks, chars(description) > 50 ? 1u : 0u) << where;
    }
}

TEST(Tooltips, RowsQuotedWhole) {
    EXPECT_EQ(text_of("mpanel", "CBTN_RUN"), "Enter \"RUN\"-mode. <RIGHT CLICK> for help!");
    EXPECT_EQ(text_of("graph1", "NUM_CNTRA"), "Channel A number of counted events. <RIGHT CLICK> for help!");
    EXPECT_EQ(text_of("tab1", "CMDB_TRYCONNECT"),
              "Try pairing with analog sensor \nusing current settings. \n<RIGHT CLICK> for help!");
    EXPECT_EQ(
        text_of("tab7", "GRPH_TRANSFER"),
        "Analog output transfer characteristic. \n<RIGHT CLICK> for help!\n<LEFT CLICK> to close window.");
    EXPECT_EQ(text_of("tab2", "RING_EVALSTART"),
              "Select start condition for evaluation. \n<RIGHT CLICK> for help!");
    EXPECT_EQ(text_of("tab3", "RING_EVALSTOP"),
              "Select stopp condition for evaluation. \n<RIGHT CLICK> for help!");
    const std::string gestures =
        " data.\n\n<CTRL> + <LEFT CLICK and HOLD> to zoom in\n<CTRL> + <RIGHT CLICK and "
        "HOLD> to zoom out\n<CTRL> + <SHIFT> + <LEFT CLICK and DRAG> to move view\n<LEFT "
        "DOUBLE CLICK> to restore view\n";
    EXPECT_EQ(text_of("graph1", "GRAPH_ANALOGA"), "Analog data screen for channel A" + gestures);
    EXPECT_EQ(text_of("graph1", "GRAPH_ANALOGB"), "Analog data screen for channel B" + gestures);
    EXPECT_EQ(text_of("tab6", "CBTN_MASTERA"),
              "Syncronize settings of chan. B with chan. A. \n<RIGHT CLICK> for help!");
    EXPECT_EQ(text_of("graph1", "NUM_MINVALB"),
              "Channel B minimum normalized value. <RIGHT CLICK> for help!");
}

TEST(Tooltips, TyposOfTheSystemsTextsAreKept) {
    for (const char* typo : {"lable", "Specifiy", "Stopp ", "stopp ", "conditon", "Syncronize",
                             "form control unit", "mimimum"}) {
        bool found = false;
        for (const tooltip_row& r : tooltip_rows) found = found || std::strstr(r.text, typo);
        EXPECT_TRUE(found) << typo;
    }
}

// ---- installing and removing ----

TEST(TooltipWalk, OnSetsEveryRowOffClearsTheSameRows) {
    fake_panels panels;
    EXPECT_EQ(walk_tooltips(1, set_tip, &panels), TOOLTIP_ROWS);
    ASSERT_EQ(panels.tip.size(), size_t(TOOLTIP_ROWS));
    for (const tooltip_row& r : tooltip_rows)
        EXPECT_EQ(panels.tip[std::string(r.panel) + "/" + r.control], r.text);

    EXPECT_EQ(walk_tooltips(0, set_tip, &panels), TOOLTIP_ROWS);
    ASSERT_EQ(panels.tip.size(), size_t(TOOLTIP_ROWS));
    for (const auto& [key, text] : panels.tip) EXPECT_EQ(text, "") << key;

    EXPECT_EQ(walk_tooltips(1, set_tip, &panels), TOOLTIP_ROWS);
    EXPECT_EQ(panels.tip["mpanel/CBTN_RUN"], "Enter \"RUN\"-mode. <RIGHT CLICK> for help!");
}

TEST(TooltipWalk, AFailingRowDoesNotStopTheOthers) {
    fake_panels panels;
    panels.refuse = "NUMS_POWER"; // on both channel panels
    EXPECT_EQ(walk_tooltips(1, set_tip, &panels), -12);
    EXPECT_EQ(panels.calls, TOOLTIP_ROWS);
    EXPECT_EQ(panels.tip.size(), size_t(TOOLTIP_ROWS - 2));
    EXPECT_EQ(walk_tooltips(1, nullptr, &panels), -1);
}

// ---- against the panel layouts ----

TEST(TooltipLayout, EveryRowNamesAControlOfItsPanel) {
    const layout_names layouts = read_layouts();
    ASSERT_FALSE(layouts.objects.empty()) << "no layout files under " ZAZED_SOURCE_DIR "/resources";
    for (const tooltip_row& r : tooltip_rows) {
        const auto panel = layouts.objects.find(r.panel);
        ASSERT_NE(panel, layouts.objects.end()) << r.panel;
        EXPECT_TRUE(panel->second.count(r.control)) << r.panel << " / " << r.control;
        EXPECT_STRNE(r.control, r.panel);
    }
}
