#include "tests/ui/test_ui_fixture.h"

#include <QPointer>

std::vector<Seen> seen;

int record_cb(int panel, int ctrl, int event, void*, int d1, int d2) {
    // Showing a window moves the focus; tests that want focus events ask for them.
    if (event == EVENT_GOT_FOCUS || event == EVENT_LOST_FOCUS) return 0;
    seen.push_back({panel, ctrl, event, d1, d2});
    return 0;
}

int count_events(int ctrl, int event) {
    int n = 0;
    for (const Seen& s : seen)
        if (s.ctrl == ctrl && s.event == event) n++;
    return n;
}

QWidget* find_widget(const char* name) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == QLatin1String(name)) return top;
        if (QWidget* w = top->findChild<QWidget*>(QLatin1String(name))) return w;
    }
    return nullptr;
}

namespace {
void register_tables() {
    static bool done = false;
    if (done) return;
    done = true;
    struct P {
        int resource;
        const char* path;
        const char* name;
    };
    struct C {
        int resource;
        int id;
        const char* name;
    };
    static const P panels[] = {{R_MAIN, ":/uitest/ui_test_main.ui", "tpanel"},
                               {R_GRAPH, ":/uitest/ui_test_graph.ui", "tgraph"},
                               {R_CHILD, ":/uitest/ui_test_child.ui", "tchild"},
                               {R_ATTR, ":/uitest/ui_test_attr.ui", "tattr"}};
    static const C controls[] = {
        {R_MAIN, C_GO, "CMDB_GO"},
        {R_MAIN, C_STOP, "CMDB_STOP"},
        {R_MAIN, C_RAM, "BTN_RAM"},
        {R_MAIN, C_VALUE, "NUMS_VALUE"},
        {R_MAIN, C_RING, "RING_MODE"},
        {R_MAIN, C_PORT, "COMBO_PORT"},
        {R_MAIN, C_NAME, "STRING_NAME"},
        {R_MAIN, C_LOG, "TEXTBOX_LOG"},
        {R_MAIN, C_STATUS, "TEXTMSG_STATUS"},
        {R_MAIN, C_FLAG, "SWITCH_FLAG"},
        {R_MAIN, C_TABLE, "TABLE_TEACH"},
        {R_MAIN, C_LIST, "LISTBOX_FILES"},
        {R_MAIN, C_SLIDE, "SLIDE_POS"},
        {R_MAIN, C_BAR, "BAR_ACT"},
        {R_MAIN, C_LED, "LED_IN0"},
        {R_MAIN, C_TIMER, "TIMER_TICK"},
        {R_GRAPH, C_GRAPH, "GRAPH_OSC"},
        {R_GRAPH, C_STRIP, "STRIP_DATA"},
        {R_GRAPH, C_CANVAS, "CANVAS_LEGEND"},
        {R_CHILD, C_INNER, "CMDB_INNER"},
        {R_ATTR, C_COUNT, "NUM_COUNT"},
        {R_ATTR, C_DECO, "DECO_BOX"},
        {R_ATTR, C_PLAIN, "PLAIN_AREA"},
    };
    for (const char* name : {"CC_TPANEL", "CC_TCHILD", "CC_CMDB_GO", "CC_CURSOR"})
        ASSERT_EQ(RegisterCallbackName(name, record_cb), 0);
    ASSERT_EQ(RegisterUserIF(panels, static_cast<int>(sizeof panels / sizeof panels[0]), controls,
                             static_cast<int>(sizeof controls / sizeof controls[0])),
              0);
}
} // namespace

void UiTest::SetUp() {
    register_tables();
    seen.clear();
    FlushUserEvents();
    ResumeTimerCallbacks();
    main_panel = LoadPanel(0, "UserIF.uir", R_MAIN);
    ASSERT_GT(main_panel, 0);
}

void UiTest::TearDown() {
    SetPopupHandler(nullptr);
    int handles[64];
    int n = EnumPanels(handles, 64);
    for (int i = 0; i < n && i < 64; i++) DiscardPanel(handles[i]);
    // Discarded widgets are deleted later; let that happen between tests.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    FlushUserEvents();
}
