// Values and attributes of controls: numerics, rings, text boxes, tables.
#include "tests/ui/test_ui_fixture.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTableWidget>
#include <QTest>

// ---- numerics, switches, sliders ---------------------------------------------------------------

TEST_F(UiTest, NumericKeepsItsLimitsAndPrecision) {
    SetCtrlValDouble(main_panel, C_VALUE, 150.0);
    double v = 0;
    GetCtrlValDouble(main_panel, C_VALUE, &v);
    EXPECT_DOUBLE_EQ(v, 100.0);
    SetCtrlAttribute(main_panel, C_VALUE, ATTR_MAX_VALUE, 4095.0);
    SetCtrlValDouble(main_panel, C_VALUE, 2.567);
    GetCtrlValDouble(main_panel, C_VALUE, &v);
    EXPECT_DOUBLE_EQ(v, 2.57); // two decimals in the layout
    int i = 0;
    GetCtrlValInt(main_panel, C_VALUE, &i);
    EXPECT_EQ(i, 3);
    char text[16];
    GetCtrlValString(main_panel, C_VALUE, text, sizeof text);
    EXPECT_STREQ(text, "2.57");
    double max = 0;
    GetCtrlAttribute(main_panel, C_VALUE, ATTR_MAX_VALUE, &max);
    EXPECT_DOUBLE_EQ(max, 4095.0);
}

TEST_F(UiTest, NumericWriteReachesTheWidgetWithinARefresh) {
    auto* spin = qobject_cast<QDoubleSpinBox*>(find_widget("NUMS_VALUE"));
    for (int i = 0; i <= 50; i++) SetCtrlValDouble(main_panel, C_VALUE, i);
    Delay(0.05);
    EXPECT_DOUBLE_EQ(spin->value(), 50.0);
}

// A value rewritten with every record is shown about ten times a second, not at
// every refresh, and its last value still arrives.
TEST_F(UiTest, ValuesRewrittenAllTheTimeAreShownTenTimesASecond) {
    auto* spin = qobject_cast<QDoubleSpinBox*>(find_widget("NUMS_VALUE"));
    int shown_changes = 0;
    double last_seen = spin->value();
    int n = 0;
    for (const double end = Timer() + 0.6; Timer() < end;) {
        SetCtrlValDouble(main_panel, C_VALUE, ++n % 90); // within the box's limits
        Delay(0.005);
        if (spin->value() != last_seen) shown_changes++, last_seen = spin->value();
    }
    EXPECT_GE(shown_changes, 2);
    EXPECT_LE(shown_changes, 8); // the 40 ms refresh alone would show about 15
    Delay(0.15);
    EXPECT_DOUBLE_EQ(spin->value(), n % 90);
}

TEST_F(UiTest, UserEditWinsOverAnUnshownProgramWrite) {
    DisplayPanel(main_panel);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(find_widget("tpanel")));
    auto* spin = qobject_cast<QDoubleSpinBox*>(find_widget("NUMS_VALUE"));
    SetCtrlValDouble(main_panel, C_VALUE, 5.0);
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, "42");
    QTest::keyClick(spin, Qt::Key_Return);
    Delay(0.05);
    double v = 0;
    GetCtrlValDouble(main_panel, C_VALUE, &v);
    EXPECT_DOUBLE_EQ(v, 42.0);
    EXPECT_DOUBLE_EQ(spin->value(), 42.0);
}

// Strings written by the program are shown at the refresh tick like numerics;
// reads see them at once and typing replaces a write not yet shown.
TEST_F(UiTest, StringWriteIsReadAtOnceShownWithinARefreshAndYieldsToTyping) {
    DisplayPanel(main_panel);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(find_widget("tpanel")));
    auto* edit = qobject_cast<QLineEdit*>(find_widget("STRING_NAME"));
    SetCtrlValString(main_panel, C_NAME, "first");
    SetCtrlValString(main_panel, C_NAME, "second");
    char text[32] = "";
    GetCtrlAttribute(main_panel, C_NAME, ATTR_TEXT, text, sizeof text);
    EXPECT_STREQ(text, "second");
    Delay(0.05);
    EXPECT_EQ(edit->text(), "second");

    SetCtrlValString(main_panel, C_NAME, "program");
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "user");
    Delay(0.05);
    GetCtrlValString(main_panel, C_NAME, text, sizeof text);
    EXPECT_STREQ(text, "user");
    EXPECT_EQ(edit->text(), "user");
}

TEST_F(UiTest, NumericTakesATypedNumberAndRefusesText) {
    EXPECT_EQ(SetCtrlValString(main_panel, C_VALUE, " 12.5 "), 0);
    double v = 0;
    GetCtrlValDouble(main_panel, C_VALUE, &v);
    EXPECT_DOUBLE_EQ(v, 12.5);
    EXPECT_EQ(SetCtrlValString(main_panel, C_VALUE, "12a"), UI_ERR_TYPE);
}

TEST_F(UiTest, IndicatorModeMakesTheNumericReadOnly) {
    SetCtrlAttribute(main_panel, C_VALUE, ATTR_CTRL_MODE, UI_INDICATOR);
    int mode = -1;
    GetCtrlAttribute(main_panel, C_VALUE, ATTR_CTRL_MODE, &mode);
    EXPECT_EQ(mode, UI_INDICATOR);
}

TEST_F(UiTest, SwitchWithOnValueMinusOneReadsAllBitsSet) {
    int v = 0;
    SetCtrlValInt(main_panel, C_FLAG, -1);
    GetCtrlValInt(main_panel, C_FLAG, &v);
    EXPECT_EQ(v, -1);
    EXPECT_EQ(v & 0x1234, 0x1234);
    SetCtrlValInt(main_panel, C_FLAG, 0);
    GetCtrlValInt(main_panel, C_FLAG, &v);
    EXPECT_EQ(v, 0);
}

TEST_F(UiTest, SliderKeepsDecimalsOfItsPrecision) {
    SetCtrlValDouble(main_panel, C_SLIDE, 12.3);
    EXPECT_EQ(qobject_cast<QSlider*>(find_widget("SLIDE_POS"))->value(), 123);
    double v = 0;
    GetCtrlValDouble(main_panel, C_SLIDE, &v);
    EXPECT_DOUBLE_EQ(v, 12.3);
}

TEST_F(UiTest, LedAndProgressBar) {
    int on = 0, color = 0;
    SetCtrlValInt(main_panel, C_LED, 1);
    GetCtrlValInt(main_panel, C_LED, &on);
    EXPECT_EQ(on, 1);
    GetCtrlAttribute(main_panel, C_LED, ATTR_ON_COLOR, &color);
    EXPECT_EQ(color, 0x00FF00); // from the layout
    SetCtrlValDouble(main_panel, C_BAR, 99.0);
    double v = 0;
    GetCtrlValDouble(main_panel, C_BAR, &v);
    EXPECT_DOUBLE_EQ(v, 99.0);
}

// ---- texts, labels, colours -------------------------------------------------------------------------

TEST_F(UiTest, LabelTextAndVisibilityGoToTheBuddyLabel) {
    ASSERT_EQ(SetCtrlAttribute(main_panel, C_VALUE, ATTR_LABEL_TEXT, "POWER"), 0);
    auto* label = qobject_cast<QLabel*>(find_widget("LBL_VALUE"));
    EXPECT_EQ(label->text(), QStringLiteral("POWER"));
    SetCtrlAttribute(main_panel, C_VALUE, ATTR_VISIBLE, 0);
    EXPECT_TRUE(label->isHidden());
    int visible = 1;
    GetCtrlAttribute(main_panel, C_VALUE, ATTR_VISIBLE, &visible);
    EXPECT_EQ(visible, 0);
}

TEST_F(UiTest, TextMessageAndColours) {
    SetCtrlAttribute(main_panel, C_STATUS, ATTR_TEXT, "CHANNEL A");
    SetCtrlAttribute(main_panel, C_STATUS, ATTR_TEXT_COLOR, MakeColor(0, 0, 255));
    char text[32];
    GetCtrlValString(main_panel, C_STATUS, text, sizeof text);
    EXPECT_STREQ(text, "CHANNEL A");
    int color = 0;
    GetCtrlAttribute(main_panel, C_STATUS, ATTR_TEXT_COLOR, &color);
    EXPECT_EQ(color, 0x0000FF);
    SetCtrlAttribute(main_panel, C_GO, ATTR_CMD_BUTTON_COLOR, MakeColor(255, 0, 0));
    GetCtrlAttribute(main_panel, C_GO, ATTR_CMD_BUTTON_COLOR, &color);
    EXPECT_EQ(color, 0xFF0000);
}

TEST_F(UiTest, StringReadIsCutToTheBuffer) {
    SetCtrlValString(main_panel, C_NAME, "sensor 12345");
    char small[7];
    EXPECT_EQ(GetCtrlValString(main_panel, C_NAME, small, sizeof small), 0);
    EXPECT_STREQ(small, "sensor");
}

TEST_F(UiTest, ComboTextHonoursMaximumEntryLength) {
    SetCtrlAttribute(main_panel, C_PORT, ATTR_MAX_ENTRY_LENGTH, 8);
    InsertListItemString(main_panel, C_PORT, -1, "COM1", "COM1");
    InsertListItemString(main_panel, C_PORT, -1, "COM2", "COM2");
    SetCtrlValString(main_panel, C_PORT, "COM123456789");
    char text[32];
    GetCtrlValString(main_panel, C_PORT, text, sizeof text);
    EXPECT_STREQ(text, "COM12345");
    int n = 0;
    GetNumListItems(main_panel, C_PORT, &n);
    EXPECT_EQ(n, 2);
}

TEST_F(UiTest, MaskedFieldHidesTextButKeepsTheValue) {
    ASSERT_EQ(SetCtrlAttribute(main_panel, C_NAME, ATTR_MASK_CHARACTER, '*'), 0);
    SetCtrlAttribute(main_panel, C_NAME, ATTR_MAX_ENTRY_LENGTH, 20);
    SetCtrlValString(main_panel, C_NAME, "secret");
    EXPECT_EQ(qobject_cast<QLineEdit*>(find_widget("STRING_NAME"))->echoMode(), QLineEdit::Password);
    char text[32];
    GetCtrlValString(main_panel, C_NAME, text, sizeof text);
    EXPECT_STREQ(text, "secret");
}

// ---- rings and list boxes ---------------------------------------------------------------------------

TEST_F(UiTest, LayoutRingValuesAreTheirIndexes) {
    int v = -1;
    GetCtrlValInt(main_panel, C_RING, &v);
    EXPECT_EQ(v, 0);
    SetCtrlValInt(main_panel, C_RING, 2);
    char label[16];
    int index = -1;
    GetCtrlIndex(main_panel, C_RING, &index);
    GetLabelFromIndex(main_panel, C_RING, index, label, sizeof label);
    EXPECT_STREQ(label, "Once");
}

TEST_F(UiTest, RingValueIsTheValueOfTheSelectedItem) {
    // The channel list of channel B: "1" -> 1, "2" -> 0, "OFF" -> -1.
    ClearListCtrl(main_panel, C_RING);
    InsertListItemInt(main_panel, C_RING, -1, "1", 1);
    InsertListItemInt(main_panel, C_RING, -1, "2", 0);
    InsertListItemInt(main_panel, C_RING, -1, "OFF", -1);
    ASSERT_EQ(SetCtrlValInt(main_panel, C_RING, 0), 0);
    int index = -1, value = 99;
    GetCtrlIndex(main_panel, C_RING, &index);
    EXPECT_EQ(index, 1);
    GetCtrlValInt(main_panel, C_RING, &value);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(GetIndexFromValueInt(main_panel, C_RING, &index, -1), 0);
    EXPECT_EQ(index, 2);
    GetValueFromIndexInt(main_panel, C_RING, 0, &value);
    EXPECT_EQ(value, 1);
}

TEST_F(UiTest, ValueNotInTheRingLeavesTheSelection) {
    ClearListCtrl(main_panel, C_RING);
    InsertListItemInt(main_panel, C_RING, -1, "a", 10);
    InsertListItemInt(main_panel, C_RING, -1, "b", 20);
    SetCtrlIndex(main_panel, C_RING, 1);
    EXPECT_EQ(SetCtrlValInt(main_panel, C_RING, 5), UI_ERR_NOT_FOUND);
    int index = -1;
    GetCtrlIndex(main_panel, C_RING, &index);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(GetIndexFromValueInt(main_panel, C_RING, &index, 5), UI_ERR_NOT_FOUND);
    EXPECT_EQ(SetCtrlIndex(main_panel, C_RING, 2), UI_ERR_INDEX);
}

TEST_F(UiTest, StringRingComparesTexts) {
    ClearListCtrl(main_panel, C_RING);
    InsertListItemString(main_panel, C_RING, -1, "on TMR A", "0000*0000*0001*");
    InsertListItemString(main_panel, C_RING, -1, "Continuous", "0000*0000*0000*");
    int type = 0;
    GetCtrlAttribute(main_panel, C_RING, ATTR_DATA_TYPE, &type);
    EXPECT_EQ(type, UI_STRING);
    SetCtrlValString(main_panel, C_RING, "0000*0000*0000*");
    char value[32];
    GetCtrlValString(main_panel, C_RING, value, sizeof value);
    EXPECT_STREQ(value, "0000*0000*0000*");
    int index = -1;
    GetCtrlIndex(main_panel, C_RING, &index);
    EXPECT_EQ(index, 1);
}

TEST_F(UiTest, InsertAndDeleteShiftTheItems) {
    ClearListCtrl(main_panel, C_LIST);
    InsertListItemDouble(main_panel, C_LIST, -1, "b", 2.5);
    EXPECT_EQ(InsertListItemDouble(main_panel, C_LIST, 0, "a", 1.5), 0);
    InsertListItemDouble(main_panel, C_LIST, -1, "c", 3.5);
    char label[8];
    GetLabelFromIndex(main_panel, C_LIST, 0, label, sizeof label);
    EXPECT_STREQ(label, "a");
    ASSERT_EQ(DeleteListItem(main_panel, C_LIST, 0, 2), 0);
    int n = 0;
    GetNumListItems(main_panel, C_LIST, &n);
    EXPECT_EQ(n, 1);
    double v = 0;
    GetValueFromIndexDouble(main_panel, C_LIST, 0, &v);
    EXPECT_DOUBLE_EQ(v, 3.5);
    EXPECT_EQ(DeleteListItem(main_panel, C_LIST, 5, 1), UI_ERR_INDEX);
}

TEST_F(UiTest, RingPickedByTheUserCommitsItsNewValue) {
    InstallCtrlCallback(main_panel, C_RING, record_cb, nullptr);
    auto* ring = qobject_cast<QComboBox*>(find_widget("RING_MODE"));
    ring->setCurrentIndex(1);
    emit ring->activated(1);
    EXPECT_EQ(count_events(C_RING, EVENT_COMMIT), 1);
    int v = 0;
    GetCtrlValInt(main_panel, C_RING, &v);
    EXPECT_EQ(v, 1);
}

TEST_F(UiTest, ListCallsRefuseOtherControls) {
    int n = 0;
    EXPECT_EQ(GetNumListItems(main_panel, C_VALUE, &n), UI_ERR_ATTR);
    EXPECT_EQ(InsertListItemInt(main_panel, C_GO, -1, "x", 1), UI_ERR_ATTR);
}

// ---- text boxes ----------------------------------------------------------------------------------------

TEST_F(UiTest, TextBoxLinesAreCountedAndRead) {
    int n = -1;
    GetNumTextBoxLines(main_panel, C_LOG, &n);
    EXPECT_EQ(n, 0);
    InsertTextBoxLine(main_panel, C_LOG, -1, "");
    InsertTextBoxLine(main_panel, C_LOG, -1, "CONNECT PROTOCOL ERROR:");
    InsertTextBoxLine(main_panel, C_LOG, -1, "COM1 not open");
    GetNumTextBoxLines(main_panel, C_LOG, &n);
    EXPECT_EQ(n, 3);
    char line[64];
    GetTextBoxLine(main_panel, C_LOG, 1, line, sizeof line);
    EXPECT_STREQ(line, "CONNECT PROTOCOL ERROR:");
    InsertTextBoxLine(main_panel, C_LOG, 0, "first");
    GetTextBoxLine(main_panel, C_LOG, 0, line, sizeof line);
    EXPECT_STREQ(line, "first");
    DeleteTextBoxLine(main_panel, C_LOG, 0);
    GetNumTextBoxLines(main_panel, C_LOG, &n);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(GetTextBoxLine(main_panel, C_LOG, 3, line, sizeof line), UI_ERR_INDEX);
}

TEST_F(UiTest, ResetTextBoxReplacesAndSetValueAppends) {
    ResetTextBox(main_panel, C_LOG, "a\nb");
    SetCtrlValString(main_panel, C_LOG, "c\n");
    SetCtrlValString(main_panel, C_LOG, "d");
    char text[32];
    GetCtrlValString(main_panel, C_LOG, text, sizeof text);
    EXPECT_STREQ(text, "a\nbc\nd");
    ResetTextBox(main_panel, C_LOG, "");
    int n = -1;
    GetNumTextBoxLines(main_panel, C_LOG, &n);
    EXPECT_EQ(n, 0);
}

TEST_F(UiTest, LogScrollsSoItsLastLineIsVisible) {
    DisplayPanel(main_panel);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(find_widget("tpanel")));
    for (int i = 0; i < 40; i++) InsertTextBoxLine(main_panel, C_LOG, -1, "line");
    QApplication::processEvents();
    int n = 0, visible = 0;
    GetNumTextBoxLines(main_panel, C_LOG, &n);
    GetCtrlAttribute(main_panel, C_LOG, ATTR_VISIBLE_LINES, &visible);
    ASSERT_GT(visible, 0);
    ASSERT_LT(visible, n);
    SetCtrlAttribute(main_panel, C_LOG, ATTR_FIRST_VISIBLE_LINE, n - visible);
    int first = -1;
    GetCtrlAttribute(main_panel, C_LOG, ATTR_FIRST_VISIBLE_LINE, &first);
    EXPECT_EQ(first, n - visible);
}

// ---- tables --------------------------------------------------------------------------------------------

TEST_F(UiTest, TableCellsCountFromOne) {
    ASSERT_EQ(SetTableCellValDouble(main_panel, C_TABLE, 1, 1, 1.25), 0);
    SetTableCellValInt(main_panel, C_TABLE, 3, 3, -7);
    double d = 0;
    int i = 0;
    GetTableCellValDouble(main_panel, C_TABLE, 1, 1, &d);
    GetTableCellValInt(main_panel, C_TABLE, 3, 3, &i);
    EXPECT_DOUBLE_EQ(d, 1.25);
    EXPECT_EQ(i, -7);
    EXPECT_EQ(SetTableCellValInt(main_panel, C_TABLE, 0, 1, 1), UI_ERR_INDEX);
    EXPECT_EQ(SetTableCellValInt(main_panel, C_TABLE, 1, 4, 1), UI_ERR_INDEX);
}

TEST_F(UiTest, TableCellTypedAsTextReadsAsNumber) {
    SetTableCellValString(main_panel, C_TABLE, 2, 1, "12.5");
    double d = 0;
    EXPECT_EQ(GetTableCellValDouble(main_panel, C_TABLE, 2, 1, &d), 0);
    EXPECT_DOUBLE_EQ(d, 12.5);
    SetTableCellValString(main_panel, C_TABLE, 2, 2, "abc");
    EXPECT_EQ(GetTableCellValDouble(main_panel, C_TABLE, 2, 2, &d), UI_ERR_TYPE);
}

TEST_F(UiTest, CellEditedByTheUserCommitsWithItsRowAndColumn) {
    InstallCtrlCallback(main_panel, C_TABLE, record_cb, nullptr);
    SetTableCellValInt(main_panel, C_TABLE, 2, 3, 0);
    auto* table = qobject_cast<QTableWidget*>(find_widget("TABLE_TEACH"));
    table->item(1, 2)->setText("17"); // what the cell editor does
    ASSERT_EQ(count_events(C_TABLE, EVENT_COMMIT), 1);
    EXPECT_EQ(seen[0].data1, 2);
    EXPECT_EQ(seen[0].data2, 3);
    int v = 0;
    GetTableCellValInt(main_panel, C_TABLE, 2, 3, &v);
    EXPECT_EQ(v, 17);
}

TEST_F(UiTest, TableHeadersCanBeSwitchedOff) {
    SetCtrlAttribute(main_panel, C_TABLE, ATTR_ROW_LABELS_VISIBLE, 0);
    int v = 1;
    GetCtrlAttribute(main_panel, C_TABLE, ATTR_ROW_LABELS_VISIBLE, &v);
    EXPECT_EQ(v, 0);
}
