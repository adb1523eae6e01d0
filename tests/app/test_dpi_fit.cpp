// The program's panels on a high-resolution screen: CTest runs this suite once per
// scale a desktop offers (QT_SCALE_FACTOR 1.5 and 2.0). Every text must fit its
// control and no two controls may lie over each other, since text is drawn at the
// screen's own resolution and its width does not follow the layout's exactly.
#include "app/shell.h"
#include "tests/app/text_fit.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/ui_internal.h"
#include "ui/userif.h"

#include <QApplication>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct named_panel {
    const char* name;
    int* handle;
};

const named_panel program_panels[] = {
    {"mpanel", &mpanel}, {"osci1", &osci1},   {"tab1", &tab1},   {"tab2", &tab2},     {"tab3", &tab3},
    {"tab4", &tab4},     {"tab5", &tab5},     {"tab6", &tab6},   {"tab7", &tab7},     {"tab8", &tab8},
    {"tab9", &tab9},     {"tab10", &tab10},   {"tab11", &tab11}, {"graph1", &graph1}, {"graph2", &graph2},
    {"graph3", &graph3}, {"popup1", &popup1},
};

double requested_scale() {
    const QByteArray s = qgetenv("QT_SCALE_FACTOR");
    return s.isEmpty() ? 1.0 : s.toDouble();
}

class ProgramPanels : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        RegisterUserIF(userif_panels, userif_panel_count, userif_controls, userif_control_count);
        shell_register_callbacks();
        shell_use_subsystems();
        ASSERT_EQ(shell_startup(), 0);
        scope_para_file[0] = 0;
        for (const named_panel& p : program_panels) DisplayPanel(*p.handle);
        ProcessSystemEvents();
    }
    static void TearDownTestSuite() { shell_discard_panels(); }

    static std::vector<QWidget*> widgets() {
        std::vector<QWidget*> all;
        for (const named_panel& p : program_panels) all.push_back(ui_panel(*p.handle)->w);
        return all;
    }
};

} // namespace

// ---- The checker itself ------------------------------------------------------------------------

TEST(TextFit, FindsEachKindOfClippedText) {
    QWidget panel;
    panel.resize(400, 300);
    auto* label = new QLabel("A LABEL FAR TOO LONG FOR ITS PLACE", &panel);
    label->setObjectName("TEXT_LONG");
    label->setGeometry(0, 0, 60, 16);
    auto* ok = new QLabel("OK", &panel);
    ok->setObjectName("TEXT_OK");
    ok->setGeometry(0, 20, 60, 16);
    auto* button = new QPushButton("TRY TO CONNECT NOW", &panel);
    button->setObjectName("CMDB_NARROW");
    button->setGeometry(0, 40, 50, 22);
    auto* numeric = new QDoubleSpinBox(&panel);
    numeric->setObjectName("NUM_WIDE_RANGE");
    numeric->setRange(0, 99999999.0);
    numeric->setDecimals(3);
    numeric->setGeometry(0, 70, 60, 20);
    auto* ring = new QComboBox(&panel);
    ring->setObjectName("RING_ITEMS");
    ring->addItems({"A", "AN ITEM THAT NEEDS A WIDER RING"});
    ring->setGeometry(100, 70, 80, 20);
    panel.show();

    const std::vector<std::string> found = clipped_texts(&panel, "p", {&panel});
    std::string all;
    for (const std::string& s : found) all += s + "\n";
    EXPECT_EQ(found.size(), 4u) << all;
    for (const char* name :
         {"p/TEXT_LONG:", "p/CMDB_NARROW:", "p/NUM_WIDE_RANGE:", "p/RING_ITEMS: \"AN ITEM"})
        EXPECT_NE(all.find(name), std::string::npos) << name << " missing in\n" << all;

    EXPECT_TRUE(overlapping_controls(&panel, "p").empty());
    ring->move(30, 75);
    ASSERT_EQ(overlapping_controls(&panel, "p").size(), 1u);
    EXPECT_EQ(overlapping_controls(&panel, "p")[0], "p/NUM_WIDE_RANGE overlaps RING_ITEMS");
}

// ---- The program's panels ------------------------------------------------------------------------

TEST_F(ProgramPanels, DrawnAtTheRequestedScale) {
    EXPECT_DOUBLE_EQ(ui_panel(mpanel)->w->devicePixelRatioF(), requested_scale());
}

TEST_F(ProgramPanels, EveryTextFitsItsControl) {
    const std::vector<QWidget*> all = widgets();
    for (const named_panel& p : program_panels)
        for (const std::string& s : clipped_texts(ui_panel(*p.handle)->w, p.name, all)) ADD_FAILURE() << s;
}

TEST_F(ProgramPanels, NoControlsOverlap) {
    for (const named_panel& p : program_panels)
        for (const std::string& s : overlapping_controls(ui_panel(*p.handle)->w, p.name)) ADD_FAILURE() << s;
}
