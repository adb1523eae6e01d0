// Control attributes over every kind of control: what each of the six calls answers
// and whether a value written is read back.
#include "tests/ui/test_ui_fixture.h"

#include <climits>
#include <cstring>
#include <string>

namespace {

// One control of each kind the test layouts hold, in the column order of the
// answers below.
struct Target {
    int resource;
    int id;
};
constexpr Target targets[] = {
    {R_MAIN, C_GO},     {R_MAIN, C_RAM},    {R_MAIN, C_VALUE},   {R_MAIN, C_RING},  {R_MAIN, C_PORT},
    {R_MAIN, C_NAME},   {R_MAIN, C_LOG},    {R_MAIN, C_STATUS},  {R_MAIN, C_FLAG},  {R_MAIN, C_TABLE},
    {R_MAIN, C_LIST},   {R_MAIN, C_SLIDE},  {R_MAIN, C_BAR},     {R_MAIN, C_LED},   {R_MAIN, C_TIMER},
    {R_GRAPH, C_GRAPH}, {R_GRAPH, C_STRIP}, {R_GRAPH, C_CANVAS}, {R_ATTR, C_COUNT}, {R_ATTR, C_DECO},
    {R_ATTR, C_PLAIN},
};
constexpr int n_targets = static_cast<int>(sizeof targets / sizeof targets[0]);
constexpr const char* written_text = "Zz";

// One attribute tried on every control: `i` is written through the int call, `d`
// through the double call and "Zz" through the text call, each read back at once
// through its own call. The answers hold one letter per control: '.' done,
// '=' done and read back as written, 'a' UI_ERR_ATTR, 'r' UI_ERR_ARG. An empty
// answer stands for UI_ERR_ATTR from every control.
struct Probe {
    int attr;
    const char* name;
    int i;
    double d;
    const char* set_int;
    const char* get_int;
    const char* set_double;
    const char* get_double;
    const char* set_text;
    const char* get_text;
};
#define A(attr) attr, #attr

// Columns: GO RAM VALUE RING PORT NAME LOG STATUS FLAG TABLE LIST SLIDE BAR LED TIMER
//          GRAPH STRIP CANVAS COUNT DECO PLAIN
const Probe probes[] = {
    {A(ATTR_DIMMED), 1, 0.0, ".....................", "=====================", ".....................",
     "=====================", "", ""},
    {A(ATTR_VISIBLE), 0, 1.0, ".....................", "=====================", ".....................",
     "==============.======", "", ""},
    {A(ATTR_TOP), 5, 7.0, ".....................", "=====================", ".....................",
     "=====================", "", ""},
    {A(ATTR_LEFT), 6, 8.0, ".....................", "=====================", ".....................",
     "=====================", "", ""},
    {A(ATTR_WIDTH), 60, 70.0, ".....................", "=====================", ".....................",
     "=====================", "", ""},
    {A(ATTR_HEIGHT), 30, 25.0, ".....................", "=====================", ".....................",
     "=====================", "", ""},
    {A(ATTR_TEXT_COLOR), 0x112233, 0x445566, ".....................",
     "=====================", ".....................", "=====================", "", ""},
    {A(ATTR_TEXT_BGCOLOR), 0x223344, 0x556677, ".....................",
     "=====================", ".....................", "=====================", "", ""},
    {A(ATTR_BACKCOLOR), 0x334455, 0x667788, ".....................",
     "=====================", ".....................", "=====================", "", ""},
    {A(ATTR_CMD_BUTTON_COLOR), 0x445566, 0x778899, ".....................",
     "=====================", ".....................", "=====================", "", ""},
    {A(ATTR_LABEL_TEXT), 1, 1.0, "", "", "", "", ".....................", "====================="},
    {A(ATTR_LABEL_VISIBLE), 0, 1.0, "aa.aaaaaaaaaaaaaaaaaa", "aa=aaaaaaaaaaaaaaaaaa", "aa.aaaaaaaaaaaaaaaaaa",
     "aa=aaaaaaaaaaaaaaaaaa", "", ""},
    {A(ATTR_TEXT), 1, 1.0, "", "", "", "", "..aa.....aaaaaaaaaaaa", "==aa=====aaaaaaaaaaaa"},
    {A(ATTR_TEXT_BOLD), 1, 0.0, ".....................", "=====================", ".....................",
     "=====================", "", ""},
    {A(ATTR_TEXT_POINT_SIZE), 13, 0.0, ".....................",
     "=====================", ".....................", ".....................", "", ""},
    {A(ATTR_CTRL_MODE), UI_INDICATOR, UI_HOT, ".....................",
     "=====================", ".....................", "=====================", "", ""},
    {A(ATTR_CALLBACK_NAME), 1, 1.0, "", "", "", "", "", "....................."},
    {A(ATTR_CONSTANT_NAME), 1, 1.0, "", "", "", "", "", "....................."},
    {A(ATTR_DATA_TYPE), UI_STRING, UI_DOUBLE, "aaa..aaaaa.aaaaaaaaaa", "...==.....=..........",
     "aaa..aaaaa.aaaaaaaaaa", "...==.....=..........", "", ""},
    {A(ATTR_DATA_TYPE), 99, 0.0, "aaarraaaaaraaaaaaaaaa", ".....................", "aaarraaaaaraaaaaaaaaa",
     ".....................", "", ""},
    {A(ATTR_MAX_ENTRY_LENGTH), 8, 0.0, "aaaa..aaaaaaaaaaaaaaa", "aaaa==aaaaaaaaaaaaaaa",
     "aaaa..aaaaaaaaaaaaaaa", "aaaa..aaaaaaaaaaaaaaa", "", ""},
    {A(ATTR_MASK_CHARACTER), '*', 0.0, "aaaaa.aaaaaaaaaaaaaaa", "aaaaa=aaaaaaaaaaaaaaa",
     "aaaaa.aaaaaaaaaaaaaaa", "aaaaa=aaaaaaaaaaaaaaa", "", ""},
    // Limits and steps are doubles: the int read refuses them.
    {A(ATTR_MIN_VALUE), -5, -2.5, "aa.aaaaaaaa..aaaaa.aa", "", "aa.aaaaaaaa..aaaaa.aa",
     "aa=aaaaaaaa=.aaaaa.aa", "", ""},
    {A(ATTR_MAX_VALUE), 500, 250.5, "aa.aaaaaaaa..aaaaa.aa", "", "aa.aaaaaaaa..aaaaa.aa",
     "aa=aaaaaaaa=.aaaaa.aa", "", ""},
    {A(ATTR_INCR_VALUE), 2, 0.5, "aa.aaaaaaaa.aaaaaa.aa", "", "aa.aaaaaaaa.aaaaaa.aa",
     "aa=aaaaaaaa=aaaaaa.aa", "", ""},
    {A(ATTR_PRECISION), 3, 1.0, "aa.aaaaaaaa.aaaaaaaaa", "..=........=.........", "aa.aaaaaaaa.aaaaaaaaa",
     "..=........=.........", "", ""},
    {A(ATTR_ON_VALUE), 5, -1.0, ".....................", "=====================", ".....................",
     "=====================", "", ""},
    {A(ATTR_OFF_VALUE), 7, 2.0, ".....................", "=====================", ".....................",
     "=====================", "", ""},
    {A(ATTR_ON_COLOR), 0x102030, 0x405060, "aaaaaaaaaaaaa.aaaaaaa", "aaaaaaaaaaaaa=aaaaaaa",
     "aaaaaaaaaaaaa.aaaaaaa", "aaaaaaaaaaaaa=aaaaaaa", "", ""},
    {A(ATTR_OFF_COLOR), 0x203040, 0x506070, "aaaaaaaaaaaaa.aaaaaaa", "aaaaaaaaaaaaa=aaaaaaa",
     "aaaaaaaaaaaaa.aaaaaaa", "aaaaaaaaaaaaa=aaaaaaa", "", ""},
    {A(ATTR_FIRST_VISIBLE_LINE), 3, -2.0, "aaaaaa.aaaaaaaaaaaaaa", "aaaaaa.aaaaaaaaaaaaaa",
     "aaaaaa.aaaaaaaaaaaaaa", "aaaaaa.aaaaaaaaaaaaaa", "", ""},
    {A(ATTR_VISIBLE_LINES), 77, 77.0, "", "aaaaaa.aaaaaaaaaaaaaa", "", "aaaaaa.aaaaaaaaaaaaaa", "", ""},
    {A(ATTR_NUM_ROWS), 5, 2.0, "aaaaaaaaa.aaaaaaaaaaa", "aaaaaaaaa=aaaaaaaaaaa", "aaaaaaaaa.aaaaaaaaaaa",
     "aaaaaaaaa=aaaaaaaaaaa", "", ""},
    // A negative count is refused as UI_ERR_ATTR, not UI_ERR_ARG.
    {A(ATTR_NUM_ROWS), -1, -1.0, "", "aaaaaaaaa.aaaaaaaaaaa", "", "aaaaaaaaa.aaaaaaaaaaa", "", ""},
    {A(ATTR_NUM_COLUMNS), 4, 6.0, "aaaaaaaaa.aaaaaaaaaaa", "aaaaaaaaa=aaaaaaaaaaa", "aaaaaaaaa.aaaaaaaaaaa",
     "aaaaaaaaa=aaaaaaaaaaa", "", ""},
    {A(ATTR_ROW_LABELS_VISIBLE), 0, 1.0, "aaaaaaaaa.aaaaaaaaaaa", "aaaaaaaaa=aaaaaaaaaaa",
     "aaaaaaaaa.aaaaaaaaaaa", "aaaaaaaaa=aaaaaaaaaaa", "", ""},
    {A(ATTR_COLUMN_LABELS_VISIBLE), 0, 1.0, "aaaaaaaaa.aaaaaaaaaaa", "aaaaaaaaa=aaaaaaaaaaa",
     "aaaaaaaaa.aaaaaaaaaaa", "aaaaaaaaa=aaaaaaaaaaa", "", ""},
    {A(ATTR_INTERVAL), 2, 0.25, "aaaaaaaaaaaaaa.aaaaaa", "", "aaaaaaaaaaaaaa.aaaaaa", "aaaaaaaaaaaaaa=aaaaaa",
     "", ""},
    {A(ATTR_INTERVAL), 0, -1.0, "aaaaaaaaaaaaaaraaaaaa", "", "aaaaaaaaaaaaaaraaaaaa", "aaaaaaaaaaaaaa.aaaaaa",
     "", ""},
    {A(ATTR_ENABLED), 1, 0.0, "aaaaaaaaaaaaaa.aaaaaa", "aaaaaaaaaaaaaa=aaaaaa", "aaaaaaaaaaaaaa.aaaaaa",
     "aaaaaaaaaaaaaa=aaaaaa", "", ""},
    {A(ATTR_XAXIS_GAIN), 3, 0.25, "aaaaaaaaaaaaaaa.aaaaa", "", "aaaaaaaaaaaaaaa.aaaaa",
     "aaaaaaaaaaaaaaa=aaaaa", "", ""},
    {A(ATTR_XNAME), 1, 1.0, "", "", "", "", "aaaaaaaaaaaaaaa.aaaaa", "aaaaaaaaaaaaaaa=aaaaa"},
    {A(ATTR_YNAME), 1, 1.0, "", "", "", "", "aaaaaaaaaaaaaaa.aaaaa", "aaaaaaaaaaaaaaa=aaaaa"},
    {A(ATTR_ENABLE_ZOOM_AND_PAN), 1, 0.0, "aaaaaaaaaaaaaaa.aaaaa", "aaaaaaaaaaaaaaa=aaaaa",
     "aaaaaaaaaaaaaaa.aaaaa", "aaaaaaaaaaaaaaa=aaaaa", "", ""},
    {A(ATTR_NUM_PLOTS), 77, 77.0, "", "aaaaaaaaaaaaaaa.aaaaa", "", "aaaaaaaaaaaaaaa.aaaaa", "", ""},
    {A(ATTR_NUM_TRACES), 12, 70.0, "aaaaaaaaaaaaaaaa.aaaa", "aaaaaaaaaaaaaaaa=aaaa", "aaaaaaaaaaaaaaaa.aaaa",
     "aaaaaaaaaaaaaaaa.aaaa", "", ""},
    {A(ATTR_NUM_TRACES), 0, -3.0, "aaaaaaaaaaaaaaaaraaaa", "aaaaaaaaaaaaaaaa.aaaa", "aaaaaaaaaaaaaaaaraaaa",
     "aaaaaaaaaaaaaaaa.aaaa", "", ""},
    {A(ATTR_POINTS_PER_SCREEN), 50, 20.0, "aaaaaaaaaaaaaaaa.aaaa", "aaaaaaaaaaaaaaaa=aaaa",
     "aaaaaaaaaaaaaaaa.aaaa", "aaaaaaaaaaaaaaaa=aaaa", "", ""},
    {A(ATTR_POINTS_PER_SCREEN), 0, 0.0, "aaaaaaaaaaaaaaaaraaaa", "aaaaaaaaaaaaaaaa.aaaa",
     "aaaaaaaaaaaaaaaaraaaa", "aaaaaaaaaaaaaaaa.aaaa", "", ""},
    {A(ATTR_PEN_COLOR), 0x010203, 0x040506, "aaaaaaaaaaaaaaaaa.aaa", "aaaaaaaaaaaaaaaaa=aaa",
     "aaaaaaaaaaaaaaaaa.aaa", "aaaaaaaaaaaaaaaaa=aaa", "", ""},
    {A(ATTR_PEN_FILL_COLOR), 0x070809, 0x0a0b0c, "aaaaaaaaaaaaaaaaa.aaa", "aaaaaaaaaaaaaaaaa=aaa",
     "aaaaaaaaaaaaaaaaa.aaa", "aaaaaaaaaaaaaaaaa=aaa", "", ""},
    {A(ATTR_PEN_WIDTH), 3, 0.0, "aaaaaaaaaaaaaaaaa.aaa", "aaaaaaaaaaaaaaaaa=aaa", "aaaaaaaaaaaaaaaaa.aaa",
     "aaaaaaaaaaaaaaaaa.aaa", "", ""},
};
#undef A

char letter(int rc) {
    switch (rc) {
    case 0:
        return '.';
    case UI_ERR_ATTR:
        return 'a';
    case UI_ERR_ARG:
        return 'r';
    default:
        return '?';
    }
}

std::string all_attr() {
    return std::string(n_targets, 'a');
}

std::string answer(const char* s) {
    return *s ? std::string(s) : all_attr();
}

class UiAttrTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        panels[0] = main_panel;
        panels[1] = LoadPanel(0, "UserIF.uir", R_GRAPH);
        panels[2] = LoadPanel(0, "UserIF.uir", R_ATTR);
        ASSERT_GT(panels[1], 0);
        ASSERT_GT(panels[2], 0);
    }
    int panel_of(const Target& t) const {
        return t.resource == R_MAIN ? panels[0] : t.resource == R_GRAPH ? panels[1] : panels[2];
    }
    // The six answers of one attribute, one line each.
    std::string run(int attr, int i, double d) {
        std::string si, gi, sd, gd, st, gt;
        for (const Target& t : targets) {
            int p = panel_of(t);
            int iv = INT_MIN;
            double dv = -1e300;
            char text[64] = "";
            si += letter(SetCtrlAttribute(p, t.id, attr, i));
            int rc = GetCtrlAttribute(p, t.id, attr, &iv);
            gi += rc == 0 && iv == i ? '=' : letter(rc);
            sd += letter(SetCtrlAttribute(p, t.id, attr, d));
            rc = GetCtrlAttribute(p, t.id, attr, &dv);
            gd += rc == 0 && dv == d ? '=' : letter(rc);
            st += letter(SetCtrlAttribute(p, t.id, attr, written_text));
            rc = GetCtrlAttribute(p, t.id, attr, text, sizeof text);
            gt += rc == 0 && std::strcmp(text, written_text) == 0 ? '=' : letter(rc);
        }
        return format(si, gi, sd, gd, st, gt);
    }
    static std::string format(const std::string& si, const std::string& gi, const std::string& sd,
                              const std::string& gd, const std::string& st, const std::string& gt) {
        return "set int    " + si + "\nget int    " + gi + "\nset double " + sd + "\nget double " + gd +
               "\nset text   " + st + "\nget text   " + gt + "\n";
    }
    int panels[3] = {};
};

} // namespace

// ---- every attribute on every kind ---------------------------------------------------------------

TEST_F(UiAttrTest, EveryAttributeOnEveryKindOfControl) {
    for (const Probe& p : probes) {
        SCOPED_TRACE(std::string(p.name) + " " + std::to_string(p.i) + " / " + std::to_string(p.d));
        EXPECT_EQ(run(p.attr, p.i, p.d),
                  format(answer(p.set_int), answer(p.get_int), answer(p.set_double), answer(p.get_double),
                         answer(p.set_text), answer(p.get_text)));
    }
}

// Panel, plot, trace and cursor attributes, and numbers that name no attribute.
TEST_F(UiAttrTest, AttributesOfOtherThingsApplyToNoControl) {
    const std::string none = format(all_attr(), all_attr(), all_attr(), all_attr(), all_attr(), all_attr());
    for (int attr = -1; attr <= ATTR_PANEL_PARENT + 1; attr++) {
        bool probed = false;
        for (const Probe& p : probes) probed = probed || p.attr == attr;
        if (probed) continue;
        SCOPED_TRACE("attribute " + std::to_string(attr));
        EXPECT_EQ(run(attr, 1, 1.0), none);
    }
}

// A bad handle is reported before anything else, a missing buffer before the attribute.
TEST_F(UiAttrTest, HandlesAndBuffersAreCheckedFirst) {
    int iv = 0;
    double dv = 0;
    char text[8];
    struct Bad {
        int panel, ctrl, rc;
    };
    const Bad bad[] = {{0, C_GO, UI_ERR_PANEL}, {main_panel, 99, UI_ERR_CTRL}};
    for (int attr : {ATTR_DIMMED, ATTR_MIN_VALUE, ATTR_TEXT, ATTR_TITLE}) {
        SCOPED_TRACE("attribute " + std::to_string(attr));
        for (auto [panel, ctrl, rc] : bad) {
            EXPECT_EQ(SetCtrlAttribute(panel, ctrl, attr, 1), rc);
            EXPECT_EQ(SetCtrlAttribute(panel, ctrl, attr, 1.0), rc);
            EXPECT_EQ(SetCtrlAttribute(panel, ctrl, attr, "x"), rc);
            EXPECT_EQ(SetCtrlAttribute(panel, ctrl, attr, static_cast<const char*>(nullptr)), rc);
            EXPECT_EQ(GetCtrlAttribute(panel, ctrl, attr, &iv), rc);
            EXPECT_EQ(GetCtrlAttribute(panel, ctrl, attr, &dv), rc);
            EXPECT_EQ(GetCtrlAttribute(panel, ctrl, attr, static_cast<int*>(nullptr)), rc);
            EXPECT_EQ(GetCtrlAttribute(panel, ctrl, attr, text, sizeof text), rc);
        }
        EXPECT_EQ(SetCtrlAttribute(main_panel, C_NAME, attr, static_cast<const char*>(nullptr)), UI_ERR_ARG);
        EXPECT_EQ(GetCtrlAttribute(main_panel, C_NAME, attr, static_cast<int*>(nullptr)), UI_ERR_ARG);
        EXPECT_EQ(GetCtrlAttribute(main_panel, C_NAME, attr, static_cast<double*>(nullptr)), UI_ERR_ARG);
        EXPECT_EQ(GetCtrlAttribute(main_panel, C_NAME, attr, nullptr, 8),
                  attr == ATTR_TEXT ? UI_ERR_ARG : UI_ERR_ATTR);
        EXPECT_EQ(GetCtrlAttribute(main_panel, C_NAME, attr, text, 0),
                  attr == ATTR_TEXT ? UI_ERR_ARG : UI_ERR_ATTR);
    }
}
