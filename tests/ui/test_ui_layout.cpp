// The program's own panel layouts loaded through the layer: every control id
// names a widget of the kind its name promises.
#include "tests/ui/test_ui_fixture.h"
#include "ui/userif.h"

#include <string>

namespace {
// The kind a control's name prefix stands for, or -1 when the prefix says nothing.
int kind_of_prefix(const std::string& name) {
    struct Prefix {
        const char* prefix;
        int kind;
    };
    static const Prefix table[] = {
        {"NUMS_", UI_KIND_NUMERIC},  {"NUM_", UI_KIND_NUMERIC},         {"RING_", UI_KIND_RING},
        {"GRAPH_", UI_KIND_GRAPH},   {"STRIP_", UI_KIND_STRIP_CHART},   {"STC_", UI_KIND_STRIP_CHART},
        {"CANVAS_", UI_KIND_CANVAS}, {"TIMER_", UI_KIND_TIMER},         {"TEXTBOX_", UI_KIND_TEXT_BOX},
        {"TABLE_", UI_KIND_TABLE},   {"LISTBOX_", UI_KIND_LIST_BOX},    {"SWITCH_", UI_KIND_SWITCH},
        {"BSW_", UI_KIND_SWITCH},    {"CMDB_", UI_KIND_COMMAND_BUTTON}, {"LED_", UI_KIND_LED},
    };
    for (const Prefix& p : table)
        if (name.rfind(p.prefix, 0) == 0) return p.kind;
    return -1;
}

class LayoutTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        ASSERT_EQ(RegisterUserIF(userif_panels, userif_panel_count, userif_controls, userif_control_count),
                  0);
    }
};
} // namespace

TEST_F(LayoutTest, EveryControlIdNamesAWidgetOfItsKind) {
    for (int i = 0; i < userif_panel_count; i++) {
        int panel = LoadPanel(0, "UserIF.uir", userif_panels[i].resource);
        ASSERT_GT(panel, 0) << userif_panels[i].name;
        char name[64];
        GetPanelAttribute(panel, ATTR_PANEL_NAME, name, sizeof name);
        EXPECT_STREQ(name, userif_panels[i].name);
        for (int c = 0; c < userif_control_count; c++) {
            const userif_control& ctrl = userif_controls[c];
            if (ctrl.resource != userif_panels[i].resource) continue;
            int kind = GetCtrlKind(panel, ctrl.id);
            EXPECT_GT(kind, UI_KIND_NONE) << userif_panels[i].name << " " << ctrl.name;
            int want = kind_of_prefix(ctrl.name);
            // A text field with a drop-down list is a ring by name and an editable combo box by kind.
            if (want >= 0 && kind != UI_KIND_COMBO_TEXT) {
                EXPECT_EQ(kind, want) << ctrl.name;
            }
        }
        DiscardPanel(panel);
    }
}

TEST_F(LayoutTest, RingValuesFromTheLayoutSelectTheirItems) {
    int panel = LoadPanel(0, "UserIF.uir", TAB10);
    ASSERT_GT(panel, 0);
    int n = 0;
    GetNumListItems(panel, TAB10_RING_FILTERA, &n);
    ASSERT_GT(n, 1);
    int last = 0, index = -1;
    GetValueFromIndexInt(panel, TAB10_RING_FILTERA, n - 1, &last);
    ASSERT_EQ(SetCtrlValInt(panel, TAB10_RING_FILTERA, last), 0);
    GetCtrlIndex(panel, TAB10_RING_FILTERA, &index);
    EXPECT_EQ(index, n - 1);
}
