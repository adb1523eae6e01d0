// The control-id tables against the embedded layout files, and the layout rules the program relies on.
#include "ui/userif.h"

#include <QFile>
#include <QRect>
#include <QRegularExpression>
#include <QString>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct UiWidget {
    QString cls, name;
    QRect geometry;
    int depth = 0; // 0 is the panel's top widget
    bool hidden = false, dimmed = false;
    QString callback, buddy;
    int items = 0;        // static ring items
    int item_values = -1; // entries of itemValues, -1 when the ring has none
};

struct UiFile {
    QString error;
    std::vector<UiWidget> widgets; // widgets[0] is the top widget
    std::map<QString, QString> custom_headers;
    int layouts = 0;
};

void read_property(QXmlStreamReader& xml, UiWidget& w) {
    const QString name = xml.attributes().value("name").toString();
    while (xml.readNextStartElement()) {
        if (name == "geometry" && xml.name() == u"rect") {
            int v[4] = {0, 0, 0, 0};
            while (xml.readNextStartElement()) {
                const int k = xml.name() == u"x"       ? 0
                              : xml.name() == u"y"     ? 1
                              : xml.name() == u"width" ? 2
                                                       : 3;
                v[k] = xml.readElementText().toInt();
            }
            w.geometry = QRect(v[0], v[1], v[2], v[3]);
        } else if (name == "itemValues" && xml.name() == u"stringlist") {
            w.item_values = 0;
            while (xml.readNextStartElement()) {
                ++w.item_values;
                xml.skipCurrentElement();
            }
        } else if (name == "visible" || name == "enabled" || name == "callback" || name == "buddy") {
            const QString text = xml.readElementText();
            if (name == "visible") w.hidden = text == "false";
            if (name == "enabled") w.dimmed = text == "false";
            if (name == "callback") w.callback = text;
            if (name == "buddy") w.buddy = text;
        } else {
            xml.skipCurrentElement();
        }
    }
}

void read_widget(QXmlStreamReader& xml, int depth, UiFile& f) {
    const size_t index = f.widgets.size();
    f.widgets.push_back({});
    f.widgets[index].cls = xml.attributes().value("class").toString();
    f.widgets[index].name = xml.attributes().value("name").toString();
    f.widgets[index].depth = depth;
    while (xml.readNextStartElement()) {
        if (xml.name() == u"property") {
            read_property(xml, f.widgets[index]);
        } else if (xml.name() == u"widget") {
            read_widget(xml, depth + 1, f);
        } else {
            if (xml.name() == u"item") ++f.widgets[index].items;
            if (xml.name() == u"layout") ++f.layouts;
            xml.skipCurrentElement();
        }
    }
}

UiFile parse_ui(const char* path) {
    UiFile f;
    QFile file(QString::fromUtf8(path));
    if (!file.open(QIODevice::ReadOnly)) {
        f.error = "cannot open";
        return f;
    }
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement() || xml.name() != u"ui") {
        f.error = "not a Designer file";
        return f;
    }
    while (xml.readNextStartElement()) {
        if (xml.name() == u"widget" && f.widgets.empty()) {
            read_widget(xml, 0, f);
        } else if (xml.name() == u"customwidgets") {
            while (xml.readNextStartElement()) {
                QString cls, header;
                while (xml.readNextStartElement()) {
                    if (xml.name() == u"class")
                        cls = xml.readElementText();
                    else if (xml.name() == u"header")
                        header = xml.readElementText();
                    else
                        xml.skipCurrentElement();
                }
                f.custom_headers[cls] = header;
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError()) f.error = xml.errorString();
    if (f.error.isEmpty() && f.widgets.empty()) f.error = "no widget";
    return f;
}

// Every layout file, parsed once, by resource number.
const std::map<int, UiFile>& layouts() {
    static const std::map<int, UiFile> files = [] {
        std::map<int, UiFile> m;
        for (int i = 0; i < userif_panel_count; ++i)
            m[userif_panels[i].resource] = parse_ui(userif_panels[i].path);
        return m;
    }();
    return files;
}

const userif_panel* panel_by_name(const std::string& name) {
    for (int i = 0; i < userif_panel_count; ++i)
        if (name == userif_panels[i].name) return &userif_panels[i];
    return nullptr;
}

const UiWidget* find_widget(const UiFile& f, const QString& name) {
    for (const UiWidget& w : f.widgets)
        if (w.name == name) return &w;
    return nullptr;
}

bool in_table(int resource, const QString& name) {
    for (int i = 0; i < userif_control_count; ++i)
        if (userif_controls[i].resource == resource && name == userif_controls[i].name) return true;
    return false;
}

bool is_decoration(const UiWidget& w) {
    return w.name.startsWith("DECO_") || w.name.startsWith("LBL_");
}

// Frames stand behind other controls and timers are never drawn; neither takes room on the panel.
bool takes_room(const UiWidget& w) {
    return w.depth == 1 && !w.hidden && w.cls != "QFrame" && w.cls != "UiTimer";
}

} // namespace

// ---- Tables ----

TEST(UserifTables, EveryPanelResourceOfTheShellHasOneLayout) {
    const std::map<int, std::string> shell = {
        {MPANEL, "mpanel"}, {OSCI1, "osci1"},   {TAB1, "tab1"},     {TAB2, "tab2"},
        {TAB4, "tab4"},     {TAB5, "tab5"},     {TAB6, "tab6"},     {TAB7, "tab7"},
        {TAB8, "tab8"},     {TAB9, "tab9"},     {TAB10, "tab10"},   {TAB11, "tab11"},
        {GRAPH1, "graph1"}, {GRAPH2, "graph2"}, {GRAPH3, "graph3"}, {POPUP1, "popup1"}};
    ASSERT_EQ(userif_panel_count, static_cast<int>(shell.size()));
    std::set<int> seen;
    for (int i = 0; i < userif_panel_count; ++i) {
        const userif_panel& p = userif_panels[i];
        EXPECT_TRUE(seen.insert(p.resource).second) << "resource " << p.resource << " twice";
        ASSERT_TRUE(shell.count(p.resource)) << "unknown resource " << p.resource;
        EXPECT_EQ(shell.at(p.resource), p.name);
        EXPECT_EQ(std::string(":/userif/") + p.name + ".ui", p.path);
    }
}

TEST(UserifTables, ControlIdsArePositiveAndUniqueWithinTheirPanel) {
    std::set<std::pair<int, int>> ids;
    std::set<std::pair<int, std::string>> names;
    for (int i = 0; i < userif_control_count; ++i) {
        const userif_control& c = userif_controls[i];
        EXPECT_GT(c.id, 0) << c.name;
        EXPECT_TRUE(ids.insert({c.resource, c.id}).second) << "id " << c.id << " twice (" << c.name << ")";
        EXPECT_TRUE(names.insert({c.resource, c.name}).second) << c.name << " twice on " << c.resource;
        EXPECT_TRUE(layouts().count(c.resource)) << c.name << " on unknown panel " << c.resource;
    }
}

TEST(UserifTables, AnIdNamesAControlOnOnePanelOnly) {
    // A control id handed to the wrong panel must not silently address another control there.
    std::map<int, int> panel_of_id;
    for (int i = 0; i < userif_control_count; ++i) {
        const auto [it, fresh] = panel_of_id.insert({userif_controls[i].id, userif_controls[i].resource});
        EXPECT_TRUE(fresh || it->second == userif_controls[i].resource) << userif_controls[i].name;
    }
}

// ---- Tables against the layout files ----

TEST(UserifLayout, EveryFileLoadsAndItsTopWidgetIsNamedForThePanel) {
    for (int i = 0; i < userif_panel_count; ++i) {
        const UiFile& f = layouts().at(userif_panels[i].resource);
        ASSERT_TRUE(f.error.isEmpty()) << userif_panels[i].path << ": " << f.error.toStdString();
        EXPECT_EQ(f.widgets[0].name.toStdString(), userif_panels[i].name);
        EXPECT_EQ(f.widgets[0].cls, "QWidget") << userif_panels[i].name;
    }
}

TEST(UserifLayout, EveryTableControlHasItsWidget) {
    for (int i = 0; i < userif_control_count; ++i) {
        const userif_control& c = userif_controls[i];
        const UiWidget* w = find_widget(layouts().at(c.resource), c.name);
        ASSERT_NE(w, nullptr) << c.name << " missing on panel " << c.resource;
        EXPECT_GT(w->depth, 0) << c.name << " is the panel itself";
    }
}

TEST(UserifLayout, EveryNamedControlIsInTheTable) {
    for (const auto& [resource, f] : layouts()) {
        for (const UiWidget& w : f.widgets) {
            if (w.depth == 0 || is_decoration(w)) continue;
            EXPECT_TRUE(in_table(resource, w.name)) << w.name.toStdString() << " on panel " << resource;
        }
    }
}

TEST(UserifLayout, ControlsSitDirectlyOnThePanelWithoutLayouts) {
    // Positions are absolute panel coordinates; a layout or a container would move controls around.
    for (const auto& [resource, f] : layouts()) {
        EXPECT_EQ(f.layouts, 0) << "panel " << resource;
        for (const UiWidget& w : f.widgets)
            EXPECT_LE(w.depth, 1) << w.name.toStdString() << " nested on panel " << resource;
    }
}

TEST(UserifLayout, CustomWidgetsAreDeclaredForTheLoader) {
    for (const auto& [resource, f] : layouts()) {
        for (const UiWidget& w : f.widgets) {
            if (!w.cls.startsWith("Ui")) continue;
            ASSERT_TRUE(f.custom_headers.count(w.cls))
                << w.cls.toStdString() << " undeclared on " << resource;
            EXPECT_EQ(f.custom_headers.at(w.cls), "ui/ui_widgets.h");
        }
    }
}

TEST(UserifLayout, CaptionsNameAControlOfTheirPanel) {
    for (const auto& [resource, f] : layouts()) {
        for (const UiWidget& w : f.widgets) {
            if (w.buddy.isEmpty()) continue;
            const UiWidget* target = find_widget(f, w.buddy);
            ASSERT_NE(target, nullptr) << w.name.toStdString() << " captions nothing";
            EXPECT_TRUE(in_table(resource, target->name)) << w.name.toStdString();
            EXPECT_EQ(w.hidden, target->hidden) << w.name.toStdString() << " shows apart from its control";
        }
    }
}

TEST(UserifLayout, RingValuesMatchTheirItems) {
    for (const auto& [resource, f] : layouts()) {
        for (const UiWidget& w : f.widgets) {
            if (w.item_values >= 0) {
                EXPECT_EQ(w.item_values, w.items) << w.name.toStdString();
            }
        }
    }
}

// ---- Callbacks ----

TEST(UserifCallbacks, NamesAreWellFormed) {
    const QRegularExpression well_formed("^CC_[A-Z0-9]+(_[A-Z0-9]+)*$");
    for (const auto& [resource, f] : layouts()) {
        for (const UiWidget& w : f.widgets) {
            if (w.callback.isEmpty()) continue;
            EXPECT_TRUE(well_formed.match(w.callback).hasMatch())
                << w.name.toStdString() << ": '" << w.callback.toStdString() << "'";
        }
    }
}

TEST(UserifCallbacks, EveryCallbackTheProgramUsesIsBoundOnItsPanel) {
    struct Binding {
        const char* panel;
        const char* callback;
        int count; // controls carrying it; the panel's own callback counts once
    };
    const Binding bindings[] = {
        {"mpanel", "CC_MPANEL", 1},
        {"mpanel", "CC_PANELSELECT", 11},
        {"mpanel", "CC_MEMORY", 3},
        {"mpanel", "CC_EXCHANGE", 2},
        {"mpanel", "CC_CBTN_RUN", 1},
        {"mpanel", "CC_CBTN_VIDEO", 1},
        {"mpanel", "CC_CBTN_STOP", 1},
        {"mpanel", "CC_CBTN_HELP", 1},
        {"osci1", "CC_OSCI1", 1},
        {"osci1", "CC_TRACE_SELECT", 12},
        {"osci1", "CC_CURSOR", 1},
        {"osci1", "CC_CURSOR_EN", 2},
        {"osci1", "CC_VSLIDE", 1},
        {"osci1", "CC_HSLIDE", 1},
        {"osci1", "CC_BINS_SCALEX", 1},
        {"tab1", "CC_TAB1", 1},
        {"tab1", "CC_RING_COMMODE", 1},
        {"tab1", "CC_COMB_SELPORT", 1},
        {"tab1", "CC_COMB_IPADDRESS", 1},
        {"tab1", "CC_CMDB_TRYCONNECT", 1},
        {"tab1", "CC_CMDB_COMACCEPT", 1},
        {"tab1", "CC_CMDB_CHANGEBAUD", 1},
        {"tab1", "CC_CMDB_EXPORT_HWFILE", 1},
        {"tab1", "CC_TEXT_PANELID", 1},
        {"tab1", "CC_PWDC_PASSWORD", 1},
        {"tab1", "CC_TEXT_CONNECTSTAT", 1},
        {"tab2", "CC_TAB2", 1},
        {"tab2", "CC_RING_TIMER", 3},
        {"tab2", "CC_RING_CHAN", 1},
        {"tab2", "CC_CMDB_RESET", 1},
        {"tab4", "CC_TAB4", 1},
        {"tab4", "CC_CMDB_TEACH", 2},
        {"tab5", "CC_TAB5", 1},
        {"tab5", "CC_EDIT_SELECTRECMODE", 1},
        {"tab5", "CC_CBTN_RUN", 1},
        {"tab5", "CC_CMDB_MANUALREC", 1},
        {"tab5", "CC_CMDB_SELECTFILE", 1},
        {"tab5", "CC_CMDB_SHOWGRAPH", 1},
        {"tab6", "CC_TAB6", 1},
        {"tab6", "CC_RING_ONCE", 2},
        {"tab6", "CC_NUMS_TAKESAMPLES", 2},
        {"tab6", "CC_PRETRIGGER", 2},
        {"tab6", "CC_CBTN_MASTER", 2},
        {"tab7", "CC_TAB7", 1},
        {"tab7", "CC_RING_SCANSETTING", 1},
        {"tab7", "CC_NUMS_SCANRATE", 1},
        {"tab7", "CC_NUMS_NORMTIMECONSTANT", 1},
        {"tab7", "CC_RING_DIRTOUTPUT", 1},
        {"tab7", "CC_RING_NORMCOND1", 1},
        {"tab7", "CC_CMDB_NORM_NOW", 1},
        {"tab7", "CC_RING_ANALOGOUTMODE", 2},
        {"tab7", "CC_GRPH_TRANSFER", 1},
        {"tab7", "CC_MANU_SCALE", 4},
        {"tab7", "CC_CMDB_CLOSE", 2},
        {"tab8", "CC_TAB8", 1},
        {"tab8", "CC_RING_SWITCH_ANAOUT", 1},
        {"tab9", "CC_TAB9", 1},
        {"tab9", "CC_CMDB_LOAD_LINFILE", 2},
        {"tab9", "CC_CMDB_CLEAR_LINFILE", 2},
        {"tab9", "CC_CMDB_CHECK_LIN", 1},
        {"tab9", "CC_CMDB_SEND_LIN", 1},
        {"tab9", "CC_CMDB_REFRESH_LIN", 1},
        {"tab10", "CC_TAB10", 1},
        {"tab11", "CC_TAB11", 1},
        {"graph1", "CC_GRAPH1", 1},
        {"graph1", "CC_NUMERICS_HELP", 20},
        {"graph1", "CC_TRACE_SELECT", 12},
        {"graph1", "CC_STRIPCHART", 1},
        {"graph1", "CC_OSCILLOGPH", 2},
        {"graph1", "CC_CONTROLER_IF", 6},
        {"graph1", "CC_CMDB_ACVIDEO", 1},
        {"graph2", "CC_GRAPH2", 1},
        {"graph2", "CC_CMDB_HELP_SWICH", 2},
        {"graph2", "CC_CMDB_HELP_CLOSE", 1},
        {"graph3", "CC_GRAPH3", 1},
        {"graph3", "CC_CMDB_HELP_SWICH", 2},
        {"graph3", "CC_CMDB_HELP_CLOSE", 1},
        {"graph3", "CC_CBTN_RUNSTOP", 1},
        {"graph3", "CC_ANI_TIMER", 1},
    };
    for (const Binding& b : bindings) {
        const userif_panel* p = panel_by_name(b.panel);
        ASSERT_NE(p, nullptr) << b.panel;
        int count = 0;
        for (const UiWidget& w : layouts().at(p->resource).widgets) count += w.callback == b.callback;
        EXPECT_EQ(count, b.count) << b.callback << " on " << b.panel;
    }
}

// ---- Start-up state the program relies on ----

TEST(UserifLayout, ControlsTheProgramRevealsLaterStartHidden) {
    const std::pair<const char*, const char*> hidden[] = {
        {"mpanel", "CBTN_SEL_HIDDEN"}, {"mpanel", "CBTN_SEL_FILTER"}, {"mpanel", "CBTN_SEL_COUNTER"},
        {"tab1", "PWDC_PASSWORD"},     {"tab1", "TEXTMSG_PASSWORD"},  {"tab1", "COMB_IPADDRESS"},
        {"tab1", "STRING_TCPPORT"},    {"graph1", "GRAPH_ANALOGA"},   {"graph1", "GRAPH_ANALOGB"},
        {"graph1", "TEXT_FILTA"},      {"graph1", "TEXT_DERIVB"},     {"tab7", "GRPH_TRANSFER"},
        {"tab7", "CMDB_CLOSE"},        {"tab5", "CMDB_MANUALREC"},    {"graph3", "NUM_VALUE1"},
        {"graph3", "TIMER_ANI"},
    };
    for (const auto& [panel, name] : hidden) {
        const UiWidget* w = find_widget(layouts().at(panel_by_name(panel)->resource), name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_TRUE(w->hidden || w->cls == "UiTimer") << panel << " " << name;
    }
    // Link-dependent buttons stay dimmed until a connection is shown.
    const std::pair<const char*, const char*> dimmed[] = {
        {"mpanel", "CBTN_RUN"},      {"mpanel", "CBTN_VIDEO"},       {"mpanel", "CBTN_STOP"},
        {"mpanel", "CBTN_SEND"},     {"mpanel", "CBTN_READ"},        {"tab1", "CMDB_COMACCEPT"},
        {"tab1", "CMDB_CHANGEBAUD"}, {"tab1", "CMDB_EXPORT_HWFILE"}, {"tab9", "CMDB_SEND_LIN"},
    };
    for (const auto& [panel, name] : dimmed) {
        const UiWidget* w = find_widget(layouts().at(panel_by_name(panel)->resource), name);
        ASSERT_NE(w, nullptr) << name;
        EXPECT_TRUE(w->dimmed) << panel << " " << name;
    }
}

// ---- Geometry ----

TEST(UserifGeometry, ControlsLieInsideTheirPanel) {
    for (const auto& [resource, f] : layouts()) {
        const QRect panel(QPoint(0, 0), f.widgets[0].geometry.size());
        for (size_t i = 1; i < f.widgets.size(); ++i) {
            const UiWidget& w = f.widgets[i];
            EXPECT_FALSE(w.geometry.isEmpty()) << w.name.toStdString();
            EXPECT_TRUE(panel.contains(w.geometry)) << w.name.toStdString() << " leaves panel " << resource;
        }
    }
}

TEST(UserifGeometry, VisibleControlsDoNotOverlap) {
    for (const auto& [resource, f] : layouts()) {
        for (size_t i = 1; i < f.widgets.size(); ++i) {
            if (!takes_room(f.widgets[i])) continue;
            for (size_t j = i + 1; j < f.widgets.size(); ++j) {
                if (!takes_room(f.widgets[j])) continue;
                EXPECT_FALSE(f.widgets[i].geometry.intersects(f.widgets[j].geometry))
                    << f.widgets[i].name.toStdString() << " overlaps " << f.widgets[j].name.toStdString()
                    << " on panel " << resource;
            }
        }
    }
}

TEST(UserifGeometry, PanelsFitTheirPlaceInTheMainWindow) {
    // Child panels are placed at fixed positions in the 790 x 548 main window: tab panels on the left
    // (hidden-settings panels one selector row lower), display panels on the right.
    const QRect window(0, 0, 790, 548);
    const std::map<std::string, QPoint> places = {
        {"tab1", {8, 119}},   {"tab2", {8, 119}},  {"tab4", {8, 119}},    {"tab5", {8, 119}},
        {"tab6", {8, 119}},   {"tab7", {8, 119}},  {"tab9", {8, 119}},    {"tab8", {8, 145}},
        {"tab10", {8, 145}},  {"tab11", {8, 145}}, {"graph1", {288, 63}}, {"graph2", {288, 63}},
        {"graph3", {288, 63}}};
    for (const auto& [name, at] : places) {
        const QRect placed(at, layouts().at(panel_by_name(name)->resource).widgets[0].geometry.size());
        EXPECT_TRUE(window.contains(placed)) << name;
        if (at.x() == 8) {
            EXPECT_LT(placed.right(), 288) << name << " reaches into the display panels";
        }
    }
    for (const char* top_level : {"mpanel", "osci1"}) {
        const QRect r = layouts().at(panel_by_name(top_level)->resource).widgets[0].geometry;
        EXPECT_EQ(r.size(), window.size()) << top_level;
    }
}
