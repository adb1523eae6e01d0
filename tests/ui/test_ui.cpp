// Panels, events, the user-event queue, popups and timers of the UI layer.
#include "tests/ui/test_ui_fixture.h"
#include "ui/help_hook.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <ctime>
#include <string>

namespace {
int child_of(int parent) {
    int h = LoadPanel(parent, "UserIF.uir", R_CHILD);
    EXPECT_GT(h, 0);
    return h;
}

void show(int panel) {
    ASSERT_EQ(DisplayPanel(panel), 0);
    QWidget* w = find_widget("tpanel");
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w->window()));
}
} // namespace

// ---- loading -------------------------------------------------------------------------------

TEST_F(UiTest, ControlIdsFromTheTableAddressTheirWidgets) {
    EXPECT_EQ(GetCtrlKind(main_panel, C_GO), UI_KIND_COMMAND_BUTTON);
    EXPECT_EQ(GetCtrlKind(main_panel, C_RAM), UI_KIND_TOGGLE_BUTTON);
    EXPECT_EQ(GetCtrlKind(main_panel, C_VALUE), UI_KIND_NUMERIC);
    EXPECT_EQ(GetCtrlKind(main_panel, C_RING), UI_KIND_RING);
    EXPECT_EQ(GetCtrlKind(main_panel, C_PORT), UI_KIND_COMBO_TEXT);
    EXPECT_EQ(GetCtrlKind(main_panel, C_LOG), UI_KIND_TEXT_BOX);
    EXPECT_EQ(GetCtrlKind(main_panel, C_STATUS), UI_KIND_TEXT_MSG);
    EXPECT_EQ(GetCtrlKind(main_panel, C_FLAG), UI_KIND_SWITCH);
    EXPECT_EQ(GetCtrlKind(main_panel, C_LED), UI_KIND_LED);
    EXPECT_EQ(GetCtrlKind(main_panel, C_TIMER), UI_KIND_TIMER);
    EXPECT_EQ(GetCtrlIdByName(main_panel, "TABLE_TEACH"), C_TABLE);
    EXPECT_EQ(GetCtrlKind(main_panel, 99), UI_ERR_CTRL);
    EXPECT_EQ(EnumCtrls(main_panel, nullptr, 0), 16);
}

// A right click anywhere asks for help by the panel's and the control's names.
TEST_F(UiTest, HelpIsAskedForByPanelAndControlName) {
    static std::vector<std::string> asked;
    asked.clear();
    EXPECT_EQ(show_ctrl_help(main_panel, C_GO), 0); // no handler yet
    set_help_handler([](const char* panel, const char* control) {
        asked.push_back(std::string(panel) + "|" + control);
        return 1;
    });
    EXPECT_EQ(show_ctrl_help(main_panel, C_GO), 1);
    EXPECT_EQ(show_ctrl_help(main_panel, 0), 1);
    EXPECT_EQ(show_ctrl_help(main_panel, 99), 0);
    set_help_handler(nullptr);
    EXPECT_EQ(show_help("tpanel", "CMDB_GO"), 0);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], "tpanel|CMDB_GO");
    EXPECT_EQ(asked[1], "tpanel|");
}

TEST_F(UiTest, UnknownResourceAndParentAreRefused) {
    EXPECT_EQ(LoadPanel(0, "UserIF.uir", 4711), UI_ERR_RESOURCE);
    EXPECT_EQ(LoadPanel(999, "UserIF.uir", R_CHILD), UI_ERR_PANEL);
}

TEST_F(UiTest, CallbacksAreBoundByTheirRegisteredName) {
    char name[64];
    ASSERT_EQ(GetCtrlAttribute(main_panel, C_STOP, ATTR_CALLBACK_NAME, name, sizeof name), 0);
    EXPECT_STREQ(name, "CC_NOT_REGISTERED");
    // An unregistered name binds nothing: a commit runs no callback.
    EXPECT_EQ(SimulateCtrlEvent(main_panel, C_STOP, EVENT_COMMIT, 0, 0), 0);
    EXPECT_TRUE(seen.empty());
    SimulateCtrlEvent(main_panel, C_GO, EVENT_COMMIT, 0, 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].ctrl, C_GO);
}

TEST_F(UiTest, ChildPanelLivesInsideItsParent) {
    int child = child_of(main_panel);
    EXPECT_EQ(find_widget("tchild")->parentWidget(), find_widget("tpanel"));
    int parent = 0;
    ASSERT_EQ(GetPanelAttribute(child, ATTR_PANEL_PARENT, &parent), 0);
    EXPECT_EQ(parent, main_panel);
    EXPECT_EQ(GetPanelHandleByName("tchild"), child);
}

TEST_F(UiTest, DiscardedPanelHandleIsDeadAndNotReused) {
    int child = child_of(main_panel);
    ASSERT_EQ(DiscardPanel(main_panel), 0);
    EXPECT_EQ(SetCtrlValInt(main_panel, C_VALUE, 1), UI_ERR_PANEL);
    EXPECT_EQ(SetCtrlValInt(child, C_INNER, 1), UI_ERR_PANEL); // went with its parent
    int again = LoadPanel(0, "UserIF.uir", R_MAIN);
    EXPECT_GT(again, child);
}

TEST_F(UiTest, RuntimeTextControlGetsAFreshId) {
    int id = NewCtrl(main_panel, UI_KIND_TEXT_MSG, "info", 6, 12);
    ASSERT_GT(id, C_TIMER);
    EXPECT_EQ(GetCtrlKind(main_panel, id), UI_KIND_TEXT_MSG);
    int top = 0;
    GetCtrlAttribute(main_panel, id, ATTR_TOP, &top);
    EXPECT_EQ(top, 6);
}

// ---- mouse and keys ----------------------------------------------------------------------------

TEST_F(UiTest, RightClickOnButtonIsEventFiveAndDoesNotCommit) {
    InstallCtrlCallback(main_panel, C_STOP, record_cb, nullptr);
    show(main_panel);
    QTest::mouseClick(find_widget("CMDB_STOP"), Qt::RightButton);
    EXPECT_EQ(count_events(C_STOP, EVENT_RIGHT_CLICK), 1);
    EXPECT_EQ(count_events(C_STOP, EVENT_COMMIT), 0);
    EXPECT_EQ(count_events(0, EVENT_RIGHT_CLICK), 0);
}

TEST_F(UiTest, RightClickInsideSpinBoxReachesTheNumericOnce) {
    InstallCtrlCallback(main_panel, C_VALUE, record_cb, nullptr);
    show(main_panel);
    QLineEdit* inner = find_widget("NUMS_VALUE")->findChild<QLineEdit*>();
    ASSERT_NE(inner, nullptr);
    QTest::mouseClick(inner, Qt::RightButton);
    EXPECT_EQ(count_events(C_VALUE, EVENT_RIGHT_CLICK), 1);
    EXPECT_EQ(count_events(0, EVENT_RIGHT_CLICK), 0);
}

TEST_F(UiTest, RightClickOnPanelBackgroundReachesThePanel) {
    show(main_panel);
    QTest::mouseClick(find_widget("tpanel"), Qt::RightButton, {}, QPoint(600, 400));
    ASSERT_EQ(count_events(0, EVENT_RIGHT_CLICK), 1);
    EXPECT_EQ(seen[0].panel, main_panel);
    EXPECT_EQ(seen[0].data1, 400); // y first, as the callbacks expect
    EXPECT_EQ(seen[0].data2, 600);
}

TEST_F(UiTest, RightClickOnChildBackgroundReachesOnlyTheChild) {
    int child = child_of(main_panel);
    SetPanelPos(child, 300, 400);
    DisplayPanel(child);
    show(main_panel);
    QTest::mouseClick(find_widget("tchild"), Qt::RightButton, {}, QPoint(150, 80));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].panel, child);
    EXPECT_EQ(seen[0].event, EVENT_RIGHT_CLICK);
}

TEST_F(UiTest, LeftClickComesBeforeTheCommit) {
    show(main_panel);
    QTest::mouseClick(find_widget("CMDB_GO"), Qt::LeftButton);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].event, EVENT_LEFT_CLICK);
    EXPECT_EQ(seen[1].event, EVENT_COMMIT);
}

TEST_F(UiTest, ToggleButtonClickChangesValueAndCommits) {
    InstallCtrlCallback(main_panel, C_RAM, record_cb, nullptr);
    show(main_panel);
    QTest::mouseClick(find_widget("BTN_RAM"), Qt::LeftButton);
    EXPECT_EQ(count_events(C_RAM, EVENT_VAL_CHANGED), 1);
    EXPECT_EQ(count_events(C_RAM, EVENT_COMMIT), 1);
    int on = 0;
    GetCtrlValInt(main_panel, C_RAM, &on);
    EXPECT_EQ(on, 1);
}

TEST_F(UiTest, DimmedControlRaisesNoEvents) {
    InstallCtrlCallback(main_panel, C_STOP, record_cb, nullptr);
    SetCtrlAttribute(main_panel, C_STOP, ATTR_DIMMED, 1);
    show(main_panel);
    QTest::mouseClick(find_widget("CMDB_STOP"), Qt::RightButton);
    QTest::mouseClick(find_widget("CMDB_STOP"), Qt::LeftButton);
    EXPECT_TRUE(seen.empty());
}

TEST_F(UiTest, TypedNumberCommitsOnceOnEnter) {
    InstallCtrlCallback(main_panel, C_VALUE, record_cb, nullptr);
    show(main_panel);
    auto* spin = qobject_cast<QAbstractSpinBox*>(find_widget("NUMS_VALUE"));
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, "42");
    EXPECT_EQ(count_events(C_VALUE, EVENT_COMMIT), 0);
    QTest::keyClick(spin, Qt::Key_Return);
    EXPECT_EQ(count_events(C_VALUE, EVENT_COMMIT), 1);
    double v = 0;
    GetCtrlValDouble(main_panel, C_VALUE, &v);
    EXPECT_DOUBLE_EQ(v, 42.0);
    EXPECT_EQ(count_events(C_VALUE, EVENT_KEYPRESS), 3); // '4', '2', Return: once each
}

int swallow_keys(int, int, int event, void*, int, int) {
    return event == EVENT_KEYPRESS ? 1 : 0;
}

TEST_F(UiTest, KeyPressSwallowedByTheCallbackNeverReachesTheField) {
    InstallCtrlCallback(main_panel, C_NAME, swallow_keys, nullptr);
    show(main_panel);
    QWidget* field = find_widget("STRING_NAME");
    field->setFocus();
    QTest::keyClicks(field, "abc");
    char text[16];
    GetCtrlValString(main_panel, C_NAME, text, sizeof text);
    EXPECT_STREQ(text, "");
}

TEST_F(UiTest, FakeKeystrokeArrivesWhenEventsAreHandled) {
    InstallCtrlCallback(main_panel, C_STOP, record_cb, nullptr);
    ASSERT_EQ(FakeKeystroke(main_panel, C_STOP, UI_KEY_ENTER), 0);
    EXPECT_TRUE(seen.empty());
    ProcessSystemEvents();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].event, EVENT_KEYPRESS);
    EXPECT_EQ(seen[0].data1, UI_KEY_ENTER);
}

TEST_F(UiTest, ClosingTheWindowAsksThePanelAndKeepsItOpen) {
    show(main_panel);
    find_widget("tpanel")->close();
    EXPECT_EQ(count_events(0, EVENT_CLOSE), 1);
    int visible = 0;
    GetPanelAttribute(main_panel, ATTR_VISIBLE, &visible);
    EXPECT_EQ(visible, 1);
}

TEST_F(UiTest, ProgramWritesRaiseNoEvents) {
    for (int c : {C_VALUE, C_RING, C_NAME, C_LOG, C_FLAG, C_SLIDE, C_LIST, C_TABLE})
        InstallCtrlCallback(main_panel, c, record_cb, nullptr);
    show(main_panel);
    SetCtrlValDouble(main_panel, C_VALUE, 12.5);
    SetCtrlValInt(main_panel, C_RING, 2);
    SetCtrlValString(main_panel, C_NAME, "x");
    SetCtrlValString(main_panel, C_LOG, "line");
    SetCtrlValInt(main_panel, C_FLAG, 1);
    SetCtrlValDouble(main_panel, C_SLIDE, 3.0);
    InsertListItemInt(main_panel, C_LIST, -1, "a", 1);
    SetTableCellValInt(main_panel, C_TABLE, 1, 1, 5);
    ProcessSystemEvents();
    EXPECT_TRUE(seen.empty());
}

// ---- user-event queue ------------------------------------------------------------------------------

namespace {
bool go_running = false;
bool stop_ran_inside_go = false;
bool loop_saw_stop = false;

int stop_cb(int, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) stop_ran_inside_go = go_running;
    return 0;
}

// A long loop inside a callback, as RUN is: it polls the queue while it waits.
int go_loop_cb(int panel, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    go_running = true;
    QTimer::singleShot(30, [] { QTest::mouseClick(find_widget("CMDB_STOP"), Qt::LeftButton); });
    double end = Timer() + 3.0;
    while (Timer() < end) {
        int p = 0, c = 0;
        if (GetUserEvent(0, &p, &c) == EVENT_COMMIT && c == C_STOP) {
            loop_saw_stop = p == panel;
            break;
        }
        WaitForActivity(0.05);
    }
    go_running = false;
    return 0;
}
} // namespace

TEST_F(UiTest, CommitDuringAWaitingLoopIsFetchedWhileItsCallbackRuns) {
    go_running = stop_ran_inside_go = loop_saw_stop = false;
    InstallCtrlCallback(main_panel, C_GO, go_loop_cb, nullptr);
    InstallCtrlCallback(main_panel, C_STOP, stop_cb, nullptr);
    show(main_panel);
    QTest::mouseClick(find_widget("CMDB_GO"), Qt::LeftButton);
    EXPECT_TRUE(stop_ran_inside_go);
    EXPECT_TRUE(loop_saw_stop);
}

TEST_F(UiTest, ProgramEventTravelsThroughTheQueue) {
    ASSERT_EQ(QueueUserEvent(1000, main_panel, C_STOP), 0);
    int p = 0, c = 0;
    EXPECT_EQ(GetUserEvent(0, &p, &c), 1000);
    EXPECT_EQ(p, main_panel);
    EXPECT_EQ(c, C_STOP);
    EXPECT_EQ(GetUserEvent(0, &p, &c), 0);
}

TEST_F(UiTest, FlushDropsStaleEvents) {
    QueueUserEvent(1000, main_panel, C_STOP);
    SimulateCtrlEvent(main_panel, C_GO, EVENT_COMMIT, 0, 0);
    FlushUserEvents();
    EXPECT_EQ(GetUserEvent(0, nullptr, nullptr), 0);
}

// A STOP pressed while nothing runs, or left over from a loop that ended between two
// transactions, used to stop the next RUN at its first poll.
TEST_F(UiTest, CommitsOutsideAnyLoopAreNotLeftForTheNextLoop) {
    QTest::mouseClick(find_widget("CMDB_STOP"), Qt::LeftButton);
    EXPECT_EQ(GetUserEvent(0, nullptr, nullptr), 0);

    go_running = stop_ran_inside_go = loop_saw_stop = false;
    InstallCtrlCallback(main_panel, C_GO, go_loop_cb, nullptr);
    show(main_panel);
    QTest::mouseClick(find_widget("CMDB_GO"), Qt::LeftButton);
    EXPECT_TRUE(loop_saw_stop);
    EXPECT_EQ(GetUserEvent(0, nullptr, nullptr), 0); // neither GO's nor a second commit is left
}

TEST_F(UiTest, FullQueueDropsTheOldestEvents) {
    for (int i = 0; i < 100; i++) QueueUserEvent(1000 + i, main_panel, C_STOP);
    EXPECT_EQ(GetUserEvent(0, nullptr, nullptr), 1036);
}

TEST_F(UiTest, WaitingForAnEventBlocksWithoutSpinning) {
    QTimer::singleShot(300, [this] { QueueUserEvent(1000, main_panel, C_STOP); });
    std::clock_t cpu0 = std::clock();
    double t0 = Timer();
    int c = 0;
    EXPECT_EQ(GetUserEvent(1, nullptr, &c), 1000);
    double cpu = static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC;
    EXPECT_GE(Timer() - t0, 0.25);
    EXPECT_LT(cpu, 0.1);
}

TEST_F(UiTest, DelayKeepsTimersRunningAndDoesNotSpin) {
    int ticks = 0;
    QTimer t;
    QObject::connect(&t, &QTimer::timeout, [&ticks] { ticks++; });
    t.start(20);
    std::clock_t cpu0 = std::clock();
    double t0 = Timer();
    Delay(0.3);
    EXPECT_GE(Timer() - t0, 0.3);
    EXPECT_LT(static_cast<double>(std::clock() - cpu0) / CLOCKS_PER_SEC, 0.1);
    EXPECT_GE(ticks, 5);
}

namespace {
int quit_from_loop(int, int, int event, void*, int, int) {
    if (event != EVENT_COMMIT) return 0;
    // A loop waiting for events must give up once the program quits.
    QTimer::singleShot(20, [] { QuitUserInterface(7); });
    GetUserEvent(1, nullptr, nullptr);
    return 0;
}
} // namespace

TEST_F(UiTest, QuitEndsWaitingLoopsAndTheEventLoop) {
    InstallCtrlCallback(main_panel, C_GO, quit_from_loop, nullptr);
    QTimer::singleShot(10, [this] { SimulateCtrlEvent(main_panel, C_GO, EVENT_COMMIT, 0, 0); });
    double t0 = Timer();
    EXPECT_EQ(RunUserInterface(), 7);
    EXPECT_LT(Timer() - t0, 2.0);
    EXPECT_EQ(UserInterfaceQuitting(), 0);
}

// ---- timers ------------------------------------------------------------------------------------------

TEST_F(UiTest, TimerTicksReachTheCallbackUntilSuspended) {
    InstallCtrlCallback(main_panel, C_TIMER, record_cb, nullptr);
    int enabled = 1;
    GetCtrlAttribute(main_panel, C_TIMER, ATTR_ENABLED, &enabled);
    EXPECT_EQ(enabled, 0); // as the layout says
    SetCtrlAttribute(main_panel, C_TIMER, ATTR_ENABLED, 1);
    Delay(0.15);
    EXPECT_GE(count_events(C_TIMER, EVENT_TIMER_TICK), 3);

    SuspendTimerCallbacks();
    seen.clear();
    Delay(0.1);
    EXPECT_EQ(count_events(C_TIMER, EVENT_TIMER_TICK), 0);

    ResumeTimerCallbacks();
    EXPECT_EQ(ResetTimer(main_panel, C_TIMER), 0);
    Delay(0.1);
    EXPECT_GE(count_events(C_TIMER, EVENT_TIMER_TICK), 2);

    SetCtrlAttribute(main_panel, C_TIMER, ATTR_ENABLED, 0);
    seen.clear();
    Delay(0.1);
    EXPECT_EQ(count_events(C_TIMER, EVENT_TIMER_TICK), 0);
}

TEST_F(UiTest, TimerIntervalIsInSeconds) {
    double interval = 0;
    ASSERT_EQ(GetCtrlAttribute(main_panel, C_TIMER, ATTR_INTERVAL, &interval), 0);
    EXPECT_DOUBLE_EQ(interval, 0.01);
    EXPECT_EQ(SetCtrlAttribute(main_panel, C_TIMER, ATTR_INTERVAL, 0.0), UI_ERR_ARG);
    EXPECT_EQ(SetCtrlAttribute(main_panel, C_GO, ATTR_INTERVAL, 1.0), UI_ERR_ATTR);
}

// ---- popups ------------------------------------------------------------------------------------------

namespace {
std::vector<ui_popup_request> asked;
int answer = 0;
const char* answer_path = "";

int test_popups(const ui_popup_request* r, char* path, int size) {
    asked.push_back(*r);
    if (path && size > 0) snprintf(path, static_cast<size_t>(size), "%s", answer_path);
    return answer;
}
} // namespace

TEST_F(UiTest, PopupsGoThroughTheInstalledHandler) {
    asked.clear();
    SetPopupHandler(test_popups);
    answer = 1;
    EXPECT_EQ(MessagePopup("File error!", "No file selected."), 0);
    EXPECT_EQ(ConfirmPopup("Load parameter from RAM", "Sync?"), 1);
    answer = 0;
    EXPECT_EQ(ConfirmPopup("Load parameter from RAM", "Sync?"), 0);
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(asked[0].kind, UI_POPUP_MESSAGE);
    EXPECT_STREQ(asked[0].title, "File error!");
    EXPECT_EQ(asked[1].kind, UI_POPUP_CONFIRM);
}

TEST_F(UiTest, FileSelectReturnsThePathAndWhetherItIsNew) {
    asked.clear();
    SetPopupHandler(test_popups);
    char path[UI_MAX_PATH] = "old";
    answer = UI_NEW_FILE_SELECTED;
    answer_path = "/tmp/new.ini";
    EXPECT_EQ(FileSelectPopup("/tmp", "para.ini", "*.ini", "Save", UI_SAVE_BUTTON, path),
              UI_NEW_FILE_SELECTED);
    EXPECT_STREQ(path, "/tmp/new.ini");
    EXPECT_EQ(asked[0].kind, UI_POPUP_FILE_SAVE);
    EXPECT_STREQ(asked[0].filter, "*.ini");
    answer = UI_NO_FILE_SELECTED;
    EXPECT_EQ(FileSelectPopup("/tmp", "", "*.ini", "Load", UI_LOAD_BUTTON, path), UI_NO_FILE_SELECTED);
    EXPECT_STREQ(path, ""); // a cancelled popup leaves no stale path behind
}

// The chosen path was copied into 260 bytes, so a longer one came back cut.
TEST_F(UiTest, FileSelectGivesLongPathsWholeAndRefusesWhatDoesNotFit) {
    asked.clear();
    SetPopupHandler(test_popups);
    char path[UI_MAX_PATH] = "old";
    const std::string deep = "/tmp/" + std::string(300, 'd') + "/set.ini";
    answer = UI_NEW_FILE_SELECTED;
    answer_path = deep.c_str();
    EXPECT_EQ(FileSelectPopup("/tmp", "*.ini", "*.ini", "Save", UI_SAVE_BUTTON, path), UI_NEW_FILE_SELECTED);
    EXPECT_EQ(std::string(path), deep);
    const std::string longest = "/" + std::string(UI_MAX_PATH - 2, 'x');
    answer_path = longest.c_str();
    EXPECT_EQ(FileSelectPopup("/tmp", "*.ini", "*.ini", "Save", UI_SAVE_BUTTON, path), UI_NEW_FILE_SELECTED);
    EXPECT_EQ(std::string(path), longest);
    // One byte more: the handler's answer no longer fits and is refused whole.
    const std::string too_long = longest + "x";
    answer_path = too_long.c_str();
    EXPECT_EQ(FileSelectPopup("/tmp", "*.ini", "*.ini", "Save", UI_SAVE_BUTTON, path), UI_ERR_LONG_PATH);
    EXPECT_STREQ(path, "");
    EXPECT_STRNE(UiErrorText(UI_ERR_LONG_PATH), UiErrorText(-999));
    answer_path = "";
}

// The type list "*.csv;*.txt;*.dat" went to Qt as one name filter; Qt splits
// patterns on blanks, so the dialog matched no file and a folder of recordings
// looked empty.
TEST_F(UiTest, FileDialogListsEveryTypeOfASemicolonList) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* name : {"a.csv", "b.txt", "c.dat", "d.ini", "e.png"}) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    SetPopupHandler(nullptr); // the layer's own dialog
    QStringList filters, patterns;
    bool found = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog || !dialog->isVisible()) continue;
            found = true;
            filters = dialog->nameFilters();
            // The patterns the dialog's file list filters by, as Qt read them.
            if (auto* model = dialog->findChild<QFileSystemModel*>()) patterns = model->nameFilters();
            dialog->reject();
        }
    });
    poll.start(10);
    char path[UI_MAX_PATH] = "";
    const QByteArray dir = QFile::encodeName(folder.path());
    EXPECT_EQ(FileSelectPopup(dir.constData(), "*.csv", "*.csv;*.txt;*.dat", "Select record file",
                              UI_SAVE_BUTTON, path),
              UI_NO_FILE_SELECTED);
    poll.stop();
    ASSERT_TRUE(found);
    ASSERT_GE(filters.size(), 2);
    EXPECT_TRUE(filters.first().endsWith("(*.csv *.txt *.dat)")) << filters.first().toStdString();
    EXPECT_EQ(filters.last(), "All files (*)");
    const QStringList listed = QDir(folder.path()).entryList(patterns, QDir::Files, QDir::Name);
    EXPECT_EQ(listed.join(' ').toStdString(), "a.csv b.txt c.dat");
}

// The default pattern's filter comes first, also when the list lacks it.
TEST_F(UiTest, FileDialogOffersTheDefaultPatternFirst) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    SetPopupHandler(nullptr);
    QStringList filters;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog || !dialog->isVisible()) continue;
            filters = dialog->nameFilters();
            filters.prepend(dialog->selectedNameFilter());
            dialog->reject();
        }
    });
    poll.start(10);
    char path[UI_MAX_PATH] = "";
    const QByteArray dir = QFile::encodeName(folder.path());
    FileSelectPopup(dir.constData(), "*.lin", "*.txt; *.dat", "Load", UI_LOAD_BUTTON, path);
    poll.stop();
    ASSERT_EQ(filters.size(), 4);
    EXPECT_TRUE(filters[0].endsWith("(*.lin)")) << filters[0].toStdString();
    EXPECT_EQ(filters[1], filters[0]);
    EXPECT_TRUE(filters[2].endsWith("(*.txt *.dat)")) << filters[2].toStdString();
    EXPECT_EQ(filters[3], "All files (*)");
}

// The default pattern was put in the name box, so Save at once created a file
// named "*.csv".
TEST_F(UiTest, FileDialogTakesTheDefaultPatternAsFilterNotAsName) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    SetPopupHandler(nullptr);
    int presses = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog || !dialog->isVisible()) continue;
            // Save as the dialog opened; then, if it is still open, Cancel.
            if (presses++ == 0)
                QMetaObject::invokeMethod(dialog, "accept");
            else
                dialog->reject();
        }
    });
    poll.start(10);
    char path[UI_MAX_PATH] = "";
    const QByteArray dir = QFile::encodeName(folder.path());
    EXPECT_EQ(FileSelectPopup(dir.constData(), "*.csv", "*.csv;*.txt;*.dat", "Select record file",
                              UI_SAVE_BUTTON, path),
              UI_NO_FILE_SELECTED)
        << path;
    poll.stop();
    EXPECT_STREQ(path, "");
}

TEST_F(UiTest, ModalPanelIsShownAndRemoved) {
    asked.clear();
    SetPopupHandler(test_popups);
    ASSERT_EQ(InstallPopup(main_panel), 0);
    int visible = 0;
    GetPanelAttribute(main_panel, ATTR_VISIBLE, &visible);
    EXPECT_EQ(visible, 1);
    EXPECT_TRUE(find_widget("tpanel")->isModal());
    RemovePopup(0);
    GetPanelAttribute(main_panel, ATTR_VISIBLE, &visible);
    EXPECT_EQ(visible, 0);
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].panel, main_panel);
}

TEST_F(UiTest, XYGraphPopupHandsOverTheData) {
    asked.clear();
    SetPopupHandler(test_popups);
    double x[3] = {0, 1, 2};
    short y[3] = {5, 6, 7};
    EXPECT_EQ(XYGraphPopup("Record", x, y, 3, UI_DOUBLE, UI_SHORT_INTEGER), 0);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].count, 3);
    EXPECT_EQ(static_cast<const short*>(asked[0].y)[2], 7);
}

// ---- window state, focus, tooltips --------------------------------------------------------------------

TEST_F(UiTest, WindowPositionSizeAndMaximisedState) {
    SetPanelPos(main_panel, 50, 60);
    SetPanelSize(main_panel, 300, 400);
    show(main_panel);
    int top = 0, left = 0, w = 0, h = 0, zoom = -1;
    GetPanelAttribute(main_panel, ATTR_TOP, &top);
    GetPanelAttribute(main_panel, ATTR_LEFT, &left);
    GetPanelAttribute(main_panel, ATTR_WIDTH, &w);
    GetPanelAttribute(main_panel, ATTR_HEIGHT, &h);
    GetPanelAttribute(main_panel, ATTR_WINDOW_ZOOM, &zoom);
    EXPECT_EQ(top, 50);
    EXPECT_EQ(left, 60);
    EXPECT_EQ(w, 400);
    EXPECT_EQ(h, 300);
    EXPECT_EQ(zoom, UI_NO_ZOOM);
    SetPanelAttribute(main_panel, ATTR_WINDOW_ZOOM, UI_MAXIMIZE);
    GetPanelAttribute(main_panel, ATTR_WINDOW_ZOOM, &zoom);
    EXPECT_EQ(zoom, UI_MAXIMIZE);
    SetPanelAttribute(main_panel, ATTR_TITLE, "KORMELAN-3 Zazed V4.04 - Main");
    char title[64];
    GetPanelAttribute(main_panel, ATTR_TITLE, title, sizeof title);
    EXPECT_STREQ(title, "KORMELAN-3 Zazed V4.04 - Main");
}

TEST_F(UiTest, ActiveControlFollowsSetActiveCtrl) {
    show(main_panel);
    ASSERT_EQ(SetActiveCtrl(main_panel, C_NAME), 0);
    EXPECT_EQ(GetActiveCtrl(main_panel), C_NAME);
    SetActiveCtrl(main_panel, C_STOP);
    EXPECT_EQ(GetActiveCtrl(main_panel), C_STOP);
}

namespace {
std::vector<Seen> focus;
int focus_cb(int panel, int ctrl, int event, void*, int d1, int d2) {
    if (event == EVENT_GOT_FOCUS || event == EVENT_LOST_FOCUS) focus.push_back({panel, ctrl, event, d1, d2});
    return 0;
}
} // namespace

TEST_F(UiTest, FocusEventsFollowTheActiveControl) {
    focus.clear();
    InstallCtrlCallback(main_panel, C_NAME, focus_cb, nullptr);
    InstallCtrlCallback(main_panel, C_VALUE, focus_cb, nullptr);
    show(main_panel);
    QWidget* w = find_widget("tpanel");
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    SetActiveCtrl(main_panel, C_NAME);
    SetActiveCtrl(main_panel, C_VALUE);
    ASSERT_EQ(focus.size(), 3u); // the spin box's inner field adds nothing
    EXPECT_EQ(focus[0].ctrl, C_NAME);
    EXPECT_EQ(focus[0].event, EVENT_GOT_FOCUS);
    EXPECT_EQ(focus[1].event, EVENT_LOST_FOCUS);
    EXPECT_EQ(focus[2].ctrl, C_VALUE);
    EXPECT_EQ(focus[2].event, EVENT_GOT_FOCUS);
}

TEST_F(UiTest, TooltipIsSetReplacedAndSwitchedOff) {
    char text[64];
    EXPECT_EQ(SetCtrlToolTipAttribute(main_panel, C_GO, "Enter RUN mode."), 0);
    GetCtrlToolTipAttribute(main_panel, C_GO, text, sizeof text);
    EXPECT_STREQ(text, "Enter RUN mode.");
    SetCtrlToolTipAttribute(main_panel, C_GO, UI_TOOLTIP_TEXT, "Stop.");
    GetCtrlToolTipAttribute(main_panel, C_GO, text, sizeof text);
    EXPECT_STREQ(text, "Stop.");
    SetCtrlToolTipAttribute(main_panel, C_GO, "");
    GetCtrlToolTipAttribute(main_panel, C_GO, text, sizeof text);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(SetCtrlToolTipAttribute(main_panel, C_GO, 1, "x"), UI_ERR_TOOLTIP_ATTR);
}

TEST_F(UiTest, DimmedControlShowsNoTooltip) {
    SetCtrlToolTipAttribute(main_panel, C_GO, "Go");
    show(main_panel);
    QWidget* go = find_widget("CMDB_GO");
    QHelpEvent tip(QEvent::ToolTip, QPoint(5, 5), go->mapToGlobal(QPoint(5, 5)));
    SetCtrlAttribute(main_panel, C_GO, ATTR_DIMMED, 1);
    EXPECT_TRUE(QApplication::sendEvent(go, &tip)); // taken by the layer
    SetCtrlAttribute(main_panel, C_GO, ATTR_DIMMED, 0);
    QHelpEvent tip2(QEvent::ToolTip, QPoint(5, 5), go->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(go, &tip2);
    EXPECT_TRUE(tip2.isAccepted());
}
