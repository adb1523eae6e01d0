// The user-interface layer: panels, controls, graphs, popups, timers and the
// event loop, as procedural calls on integer handles.
//
// Conventions
// - Panels have positive handles from LoadPanel; controls are addressed by
//   (panel, control id). Ids come from the layout's control table (register it
//   with RegisterPanelResource/RegisterControlName or RegisterUserIF before the
//   first LoadPanel); controls made at run time (NewCtrl) get fresh ids.
// - Every call returns an int status: 0 or positive on success, negative on
//   failure (UI_ERR_...; UiErrorText gives the text). Out-parameters are written
//   only on success.
// - Values are int, double or string. SetCtrlVal/GetCtrlVal overloads pick the
//   type; the named variants (SetCtrlValInt ...) say it explicitly. Strings read
//   into caller buffers are always terminated and cut to the buffer size.
// - Colours are 0xRRGGBB ints; UI_TRANSPARENT is "no colour".
// - Callbacks: one per control and one per panel, all with the shape of
//   ui_callback. Panel events carry control 0. Event data for clicks is the
//   mouse position in panel coordinates (data1 = y, data2 = x); for key presses
//   data1 is the key (a character code or a UI_KEY_ value) and data2 the
//   modifier bits; for a graph's cursor moved by the user (EVENT_VAL_CHANGED
//   while dragged, EVENT_COMMIT when let go) data1 is the cursor's number 1..4.
//   A non-zero return from a left/right click or key press
//   swallows it (a swallowed click does not commit).
// - Setting a value from the program never raises events; only the user (or
//   SimulateCtrlEvent/FakeKeystroke) does.
// - Every commit, after its callback ran, and every QueueUserEvent lands in a
//   bounded queue that GetUserEvent reads, so a loop inside a callback can see
//   which button the user pressed meanwhile. Old entries are dropped when full.
// - Painting of graphs, strip charts and canvases is coalesced: data calls only
//   mark the control dirty; it repaints at most once per screen refresh.
//   Numeric values likewise reach their spin box at the next refresh (reading
//   them back gives the new value at once); an unchanged value costs nothing.
// - Popups all go through one handler (SetPopupHandler); the default shows Qt
//   dialogs, tests and scripts install their own answers.
// - Rows, columns, list indexes: rows and columns of tables are 1-based, list
//   and text-box indexes 0-based, cursors 1..4, strip-chart traces 1..N.
// - This header never includes Qt: application code stays toolkit-free.
#pragma once

#include "support/path_time.h"

// ---- status codes ---------------------------------------------------------
enum {
    UI_OK = 0,
    UI_ERR_NO_APP = -1,        // no user interface initialised
    UI_ERR_PANEL = -2,         // invalid panel handle
    UI_ERR_CTRL = -3,          // invalid control id
    UI_ERR_RESOURCE = -4,      // resource number not registered or not loadable
    UI_ERR_ATTR = -5,          // attribute does not apply to this control
    UI_ERR_TYPE = -6,          // value type does not fit the control
    UI_ERR_INDEX = -7,         // list index, row, column or cursor out of range
    UI_ERR_NOT_FOUND = -8,     // value not in the list, name not known
    UI_ERR_PLOT = -9,          // invalid plot handle
    UI_ERR_ARG = -10,          // invalid argument (null buffer, bad count ...)
    UI_ERR_LONG_PATH = -11,    // a chosen path does not fit UI_MAX_PATH
    UI_ERR_MEMORY = -12,       // out of memory
    UI_ERR_TOOLTIP_ATTR = -46, // tooltip attribute other than the text
};
const char* UiErrorText(int code);

// ---- events ---------------------------------------------------------------
enum {
    EVENT_NONE = 0,
    EVENT_COMMIT = 1,
    EVENT_VAL_CHANGED = 2,
    EVENT_LEFT_CLICK = 3,
    EVENT_LEFT_DOUBLE_CLICK = 4,
    EVENT_RIGHT_CLICK = 5,
    EVENT_RIGHT_DOUBLE_CLICK = 6,
    EVENT_KEYPRESS = 7,
    EVENT_GOT_FOCUS = 8,
    EVENT_LOST_FOCUS = 9,
    EVENT_IDLE = 10,
    EVENT_CLOSE = 11,
    EVENT_PANEL_SIZE = 12,
    EVENT_PANEL_MOVE = 13,
    EVENT_END_TASK = 14,
    EVENT_TIMER_TICK = 15,
    EVENT_DISCARD = 16,
};

typedef int (*ui_callback)(int panel, int control, int event, void* callback_data, int event_data1,
                           int event_data2);

// Key codes in event data 1 of EVENT_KEYPRESS (printable keys give their
// character code instead).
enum {
    UI_KEY_ESC = 0x01000000,
    UI_KEY_TAB = 0x01000001,
    UI_KEY_BACKSPACE = 0x01000003,
    UI_KEY_ENTER = 0x01000004,
    UI_KEY_RETURN = 0x01000005,
    UI_KEY_DELETE = 0x01000007,
    UI_KEY_HOME = 0x01000010,
    UI_KEY_END = 0x01000011,
    UI_KEY_LEFT = 0x01000012,
    UI_KEY_UP = 0x01000013,
    UI_KEY_RIGHT = 0x01000014,
    UI_KEY_DOWN = 0x01000015,
    UI_KEY_F1 = 0x01000030,
};
enum { UI_SHIFT_MOD = 1, UI_CTRL_MOD = 2, UI_ALT_MOD = 4 };

// ---- colours, data types, styles -------------------------------------------
enum {
    UI_BLACK = 0x000000,
    UI_WHITE = 0xFFFFFF,
    UI_RED = 0xFF0000,
    UI_GREEN = 0x00FF00,
    UI_BLUE = 0x0000FF,
    UI_CYAN = 0x00FFFF,
    UI_MAGENTA = 0xFF00FF,
    UI_YELLOW = 0xFFFF00,
    UI_GRAY = 0x808080,
    UI_LT_GRAY = 0xE0E0E0,
    UI_TRANSPARENT = 0x1000000,
};
inline int MakeColor(int r, int g, int b) {
    return ((r & 255) << 16) | ((g & 255) << 8) | (b & 255);
}

// Element types of arrays passed to plots and strip charts, and value types of
// rings and lists (ATTR_DATA_TYPE).
enum {
    UI_CHAR = 1,
    UI_SHORT_INTEGER = 2,
    UI_INTEGER = 3,
    UI_FLOAT = 4,
    UI_DOUBLE = 5,
    UI_STRING = 6,
    UI_UNSIGNED_SHORT_INTEGER = 7,
    UI_UNSIGNED_INTEGER = 8,
    UI_UNSIGNED_CHAR = 9,
};

// Plot styles: UI_THIN_LINE and UI_FAT_LINE keep the numbers the strip-chart
// tables use (0 thin, 5 thick).
enum { UI_THIN_LINE = 0, UI_CONNECTED_POINTS = 1, UI_SCATTER = 2, UI_FAT_LINE = 5 };
enum { UI_SOLID = 0, UI_DASH = 1, UI_DOT = 2, UI_DASH_DOT = 3 };
enum { UI_XAXIS = 0, UI_LEFT_YAXIS = 1 };
enum { UI_MANUAL = 0, UI_AUTOSCALE = 1 };
enum { UI_IMMEDIATE_DRAW = 0, UI_DELAYED_DRAW = 1, UI_NO_DRAW = 2 };
enum { UI_NO_ZOOM = 0, UI_MAXIMIZE = 1, UI_MINIMIZE = 2 };
enum { UI_HOT = 0, UI_INDICATOR = 1 };
enum { UI_DRAW_FRAME = 0, UI_DRAW_INTERIOR = 1, UI_DRAW_FRAME_AND_INTERIOR = 2 };
enum { UI_TEXT_UPPER_LEFT = 0, UI_TEXT_CENTER_LEFT = 1, UI_TEXT_CENTER = 2 };

// Kinds of control (GetCtrlKind); which Qt class backs each is in the layout
// conventions.
enum {
    UI_KIND_NONE = 0,
    UI_KIND_COMMAND_BUTTON,
    UI_KIND_TOGGLE_BUTTON,
    UI_KIND_NUMERIC,
    UI_KIND_RING,
    UI_KIND_COMBO_TEXT,
    UI_KIND_STRING,
    UI_KIND_TEXT_BOX,
    UI_KIND_TEXT_MSG,
    UI_KIND_SWITCH,
    UI_KIND_SLIDER,
    UI_KIND_PROGRESS,
    UI_KIND_TABLE,
    UI_KIND_LIST_BOX,
    UI_KIND_DECORATION,
    UI_KIND_LED,
    UI_KIND_GRAPH,
    UI_KIND_STRIP_CHART,
    UI_KIND_CANVAS,
    UI_KIND_TIMER,
};

// ---- attributes -------------------------------------------------------------
// Which attributes apply to which kind is noted; an attribute that does not
// apply returns UI_ERR_ATTR.
enum {
    // every control and panel
    ATTR_DIMMED = 1,       // int 0/1
    ATTR_VISIBLE,          // int 0/1 (a control's buddy label follows it)
    ATTR_TOP,              // int pixels
    ATTR_LEFT,             // int
    ATTR_WIDTH,            // int
    ATTR_HEIGHT,           // int
    ATTR_TEXT_COLOR,       // colour of the text
    ATTR_TEXT_BGCOLOR,     // colour behind the text (fields, rings, messages)
    ATTR_BACKCOLOR,        // background (panels, decorations, graphs, canvases)
    ATTR_CMD_BUTTON_COLOR, // colour of a command or colour button
    ATTR_LABEL_TEXT,       // string: button text, graph title, else the buddy label
    ATTR_LABEL_VISIBLE,    // int: the buddy label shown
    ATTR_TEXT,             // string: text of a text message or string field
    ATTR_TEXT_BOLD,        // int
    ATTR_TEXT_POINT_SIZE,  // int
    ATTR_CTRL_MODE,        // UI_HOT or UI_INDICATOR (read only for the user)
    ATTR_CALLBACK_NAME,    // string (get only): the bound callback's name
    ATTR_CONSTANT_NAME,    // string (get only): the control's object name
    // rings, lists, string fields
    ATTR_DATA_TYPE,        // UI_INTEGER, UI_DOUBLE or UI_STRING: item value type
    ATTR_MAX_ENTRY_LENGTH, // int: characters a string field or editable combo takes
    ATTR_MASK_CHARACTER,   // int: non-zero turns a string field into a masked one
    // numerics and sliders
    ATTR_MIN_VALUE,  // double
    ATTR_MAX_VALUE,  // double
    ATTR_INCR_VALUE, // double
    ATTR_PRECISION,  // int digits after the point
    // switches, toggle buttons, LEDs
    ATTR_ON_VALUE,  // int value read when on (switches combined by AND use -1)
    ATTR_OFF_VALUE, // int
    ATTR_ON_COLOR,  // LED colour when on
    ATTR_OFF_COLOR, // LED colour when off
    // text boxes
    ATTR_FIRST_VISIBLE_LINE, // int, 0-based
    ATTR_VISIBLE_LINES,      // int (get only)
    // tables
    ATTR_NUM_ROWS,              // int
    ATTR_NUM_COLUMNS,           // int
    ATTR_ROW_LABELS_VISIBLE,    // int
    ATTR_COLUMN_LABELS_VISIBLE, // int
    // timers
    ATTR_INTERVAL, // double seconds
    ATTR_ENABLED,  // int
    // graphs
    ATTR_XAXIS_GAIN,          // double: x labels show data x times this
    ATTR_XNAME,               // string: x axis name
    ATTR_YNAME,               // string
    ATTR_ENABLE_ZOOM_AND_PAN, // int
    ATTR_NUM_PLOTS,           // int (get only): plots the graph holds
    // strip charts
    ATTR_NUM_TRACES,        // int 1..64
    ATTR_POINTS_PER_SCREEN, // int
    // plots and traces (SetPlotAttribute, SetTraceAttribute)
    ATTR_TRACE_COLOR,   // colour
    ATTR_LINE_STYLE,    // UI_SOLID, UI_DASH, UI_DOT, UI_DASH_DOT
    ATTR_PLOT_STYLE,    // UI_THIN_LINE, UI_FAT_LINE ...
    ATTR_TRACE_VISIBLE, // int
    // cursors (SetCursorAttribute)
    ATTR_CURSOR_COLOR,   // colour; UI_TRANSPARENT hides it
    ATTR_CURSOR_ENABLED, // int: can be dragged and is drawn
    // canvases
    ATTR_PEN_COLOR,      // colour
    ATTR_PEN_FILL_COLOR, // colour
    ATTR_PEN_WIDTH,      // int
    // panels
    ATTR_TITLE,        // string
    ATTR_WINDOW_ZOOM,  // UI_NO_ZOOM, UI_MAXIMIZE, UI_MINIMIZE
    ATTR_PANEL_NAME,   // string: the name scripts and lookups use
    ATTR_RESOURCE,     // int (get only)
    ATTR_PANEL_PARENT, // int (get only): parent panel handle or 0
};
enum { UI_TOOLTIP_TEXT = 25000 };

// ---- start, loop, processing ------------------------------------------------
// Creates the application object unless one exists; 0 or UI_ERR_NO_APP.
int InitUserInterface(int* argc, char** argv);
// Runs the event loop until QuitUserInterface; returns the code passed to it.
int RunUserInterface();
int QuitUserInterface(int code);
// Ends the user interface after the last panel was discarded: the application object
// goes while the platform it runs on still exists.
int CloseUserInterface();
// Non-zero after QuitUserInterface: waiting loops give up.
int UserInterfaceQuitting();
int ProcessSystemEvents();
int ProcessDrawEvents();
// Blocks in the event loop until some event was handled or max_seconds passed.
int WaitForActivity(double max_seconds);
// Waits seconds while events keep being handled; never spins.
int Delay(double seconds);

// ---- layout tables ------------------------------------------------------------
// A panel resource: its number, the .ui file (a plain name is looked up under
// ":/userif/", a name starting with ':' or '/' is taken as it is) and the panel
// name. Registering a number again replaces it.
int RegisterPanelResource(int resource, const char* ui_path, const char* panel_name);
// A control of a resource: its id and the objectName of its widget.
int RegisterControlName(int resource, int control_id, const char* object_name);
// Registers whole tables whose rows have the fields {resource, path, name} and
// {resource, id, name}, such as the layout's userif_panels/userif_controls.
template <class PanelRow, class ControlRow>
int RegisterUserIF(const PanelRow* panels, int panel_count, const ControlRow* controls, int control_count) {
    for (int i = 0; i < panel_count; i++) {
        int rc = RegisterPanelResource(panels[i].resource, panels[i].path, panels[i].name);
        if (rc < 0) return rc;
    }
    for (int i = 0; i < control_count; i++) {
        int rc = RegisterControlName(controls[i].resource, controls[i].id, controls[i].name);
        if (rc < 0) return rc;
    }
    return 0;
}
// Callbacks named by the layout's "callback" properties; LoadPanel binds them.
int RegisterCallbackName(const char* name, ui_callback function);

// ---- panels ---------------------------------------------------------------------
// parent 0 makes a top-level window, else a child of the parent panel. The file
// name is accepted for the layout's single-file origin and not used.
int LoadPanel(int parent, const char* file, int resource);
int DiscardPanel(int panel);
int DisplayPanel(int panel);
int HidePanel(int panel);
int SetPanelPos(int panel, int top, int left);
int SetPanelSize(int panel, int height, int width);
int SetPanelAttribute(int panel, int attr, int value);
int SetPanelAttribute(int panel, int attr, const char* value);
int GetPanelAttribute(int panel, int attr, int* value);
int GetPanelAttribute(int panel, int attr, char* buf, int size);
int InstallPanelCallback(int panel, ui_callback function, void* callback_data);
// Makes the panel modal (through the popup handler); RemovePopup(0) removes the
// last installed one, RemovePopup(1) all.
int InstallPopup(int panel);
int RemovePopup(int all);
// Handle of the first loaded panel with this name (ATTR_PANEL_NAME), or
// UI_ERR_NOT_FOUND.
int GetPanelHandleByName(const char* name);
// Fills handles with the live panels in load order; returns how many exist.
int EnumPanels(int* handles, int max);
// Writes a picture of the panel (as drawn now) to a PNG file.
int SavePanelImage(int panel, const char* png_path);

// ---- controls -------------------------------------------------------------------
int InstallCtrlCallback(int panel, int ctrl, ui_callback function, void* callback_data);
int GetCtrlKind(int panel, int ctrl);
int GetCtrlIdByName(int panel, const char* object_name);
int EnumCtrls(int panel, int* ids, int max);
// Makes a control at run time (UI_KIND_TEXT_MSG, UI_KIND_STRING, UI_KIND_NUMERIC,
// UI_KIND_COMMAND_BUTTON, UI_KIND_DECORATION, UI_KIND_CANVAS); returns its id.
int NewCtrl(int panel, int kind, const char* label, int top, int left);
int DiscardCtrl(int panel, int ctrl);

int SetCtrlValInt(int panel, int ctrl, int value);
int SetCtrlValDouble(int panel, int ctrl, double value);
int SetCtrlValString(int panel, int ctrl, const char* value);
int GetCtrlValInt(int panel, int ctrl, int* value);
int GetCtrlValDouble(int panel, int ctrl, double* value);
int GetCtrlValString(int panel, int ctrl, char* buf, int size);
inline int SetCtrlVal(int panel, int ctrl, int value) {
    return SetCtrlValInt(panel, ctrl, value);
}
inline int SetCtrlVal(int panel, int ctrl, double value) {
    return SetCtrlValDouble(panel, ctrl, value);
}
inline int SetCtrlVal(int panel, int ctrl, const char* value) {
    return SetCtrlValString(panel, ctrl, value);
}
inline int GetCtrlVal(int panel, int ctrl, int* value) {
    return GetCtrlValInt(panel, ctrl, value);
}
inline int GetCtrlVal(int panel, int ctrl, double* value) {
    return GetCtrlValDouble(panel, ctrl, value);
}
template <int N>
int GetCtrlVal(int panel, int ctrl, char (&buf)[N]) {
    return GetCtrlValString(panel, ctrl, buf, N);
}

int SetCtrlAttribute(int panel, int ctrl, int attr, int value);
int SetCtrlAttribute(int panel, int ctrl, int attr, double value);
int SetCtrlAttribute(int panel, int ctrl, int attr, const char* value);
int GetCtrlAttribute(int panel, int ctrl, int attr, int* value);
int GetCtrlAttribute(int panel, int ctrl, int attr, double* value);
int GetCtrlAttribute(int panel, int ctrl, int attr, char* buf, int size);

// Tooltips: the first call attaches one, the same text again does nothing, an
// empty text switches it off. Only UI_TOOLTIP_TEXT is an attribute.
int SetCtrlToolTipAttribute(int panel, int ctrl, int attr, const char* text);
inline int SetCtrlToolTipAttribute(int panel, int ctrl, const char* text) {
    return SetCtrlToolTipAttribute(panel, ctrl, UI_TOOLTIP_TEXT, text);
}
int GetCtrlToolTipAttribute(int panel, int ctrl, char* buf, int size);

int SetActiveCtrl(int panel, int ctrl);
// The control that has (or last had) the input focus on the panel, or 0.
int GetActiveCtrl(int panel);
int SetActivePanel(int panel);

// ---- rings and list boxes -----------------------------------------------------
// index -1 appends. Item values take the ring's ATTR_DATA_TYPE (the first
// insert of a fresh ring sets it). Rings from a layout file have the values of
// their "itemValues" property, else integer values equal to their index.
int InsertListItemInt(int panel, int ctrl, int index, const char* label, int value);
int InsertListItemDouble(int panel, int ctrl, int index, const char* label, double value);
int InsertListItemString(int panel, int ctrl, int index, const char* label, const char* value);
inline int InsertListItem(int p, int c, int i, const char* l, int v) {
    return InsertListItemInt(p, c, i, l, v);
}
inline int InsertListItem(int p, int c, int i, const char* l, double v) {
    return InsertListItemDouble(p, c, i, l, v);
}
inline int InsertListItem(int p, int c, int i, const char* l, const char* v) {
    return InsertListItemString(p, c, i, l, v);
}
// Deletes count items from index (count -1: to the end).
int DeleteListItem(int panel, int ctrl, int index, int count);
int ClearListCtrl(int panel, int ctrl);
int GetNumListItems(int panel, int ctrl, int* count);
int SetCtrlIndex(int panel, int ctrl, int index);
int GetCtrlIndex(int panel, int ctrl, int* index);
int GetValueFromIndexInt(int panel, int ctrl, int index, int* value);
int GetValueFromIndexDouble(int panel, int ctrl, int index, double* value);
int GetValueFromIndexString(int panel, int ctrl, int index, char* buf, int size);
int GetLabelFromIndex(int panel, int ctrl, int index, char* buf, int size);
int GetIndexFromValueInt(int panel, int ctrl, int* index, int value);
int GetIndexFromValueDouble(int panel, int ctrl, int* index, double value);
int GetIndexFromValueString(int panel, int ctrl, int* index, const char* value);
int ReplaceListItemLabel(int panel, int ctrl, int index, const char* label);

// ---- text boxes -----------------------------------------------------------------
// SetCtrlValString on a text box appends; ResetTextBox replaces the whole text.
int ResetTextBox(int panel, int ctrl, const char* text);
int InsertTextBoxLine(int panel, int ctrl, int index, const char* text);
int DeleteTextBoxLine(int panel, int ctrl, int index);
int GetNumTextBoxLines(int panel, int ctrl, int* count);
int GetTextBoxLine(int panel, int ctrl, int index, char* buf, int size);

// ---- tables (row and column from 1) ------------------------------------------------
int SetTableCellValInt(int panel, int ctrl, int row, int col, int value);
int SetTableCellValDouble(int panel, int ctrl, int row, int col, double value);
int SetTableCellValString(int panel, int ctrl, int row, int col, const char* value);
int GetTableCellValInt(int panel, int ctrl, int row, int col, int* value);
int GetTableCellValDouble(int panel, int ctrl, int row, int col, double* value);
int GetTableCellValString(int panel, int ctrl, int row, int col, char* buf, int size);
inline int SetTableCellVal(int p, int c, int r, int col, int v) {
    return SetTableCellValInt(p, c, r, col, v);
}
inline int SetTableCellVal(int p, int c, int r, int col, double v) {
    return SetTableCellValDouble(p, c, r, col, v);
}
inline int SetTableCellVal(int p, int c, int r, int col, const char* v) {
    return SetTableCellValString(p, c, r, col, v);
}
inline int GetTableCellVal(int p, int c, int r, int col, int* v) {
    return GetTableCellValInt(p, c, r, col, v);
}
inline int GetTableCellVal(int p, int c, int r, int col, double* v) {
    return GetTableCellValDouble(p, c, r, col, v);
}

// ---- events -----------------------------------------------------------------------
// Puts a program event into the user-event queue (e.g. 1000 on a STOP button).
int QueueUserEvent(int event, int panel, int ctrl);
// Handles pending events (so callbacks run), then returns the oldest queued
// event code and its panel and control, or 0 when none is queued. wait != 0
// blocks (without spinning) until one arrives or the program quits.
int GetUserEvent(int wait, int* panel, int* ctrl);
// GetUserEvent(0, ...) without handling pending events first: for loops that
// handle them anyway while they wait, so each wake-up goes through the event
// loop once, not twice.
int TakeUserEvent(int* panel, int* ctrl);
int FlushUserEvents();
// Posts a key press to the control; it reaches the callback as EVENT_KEYPRESS
// when events are next handled.
int FakeKeystroke(int panel, int ctrl, int key);
// Delivers an event to a control (ctrl 0: the panel) as if the user caused it:
// the callback runs and a commit is queued. Returns the callback's result.
int SimulateCtrlEvent(int panel, int ctrl, int event, int data1, int data2);

// ---- timers (UiTimer controls) --------------------------------------------------------
// ATTR_INTERVAL and ATTR_ENABLED control one timer. ResetTimer restarts the
// interval of one timer (ctrl) or of every timer of the panel (ctrl 0) or of
// every panel (panel 0).
int ResetTimer(int panel, int ctrl);
int SuspendTimerCallbacks();
int ResumeTimerCallbacks();

// ---- graphs (UiGraph) ----------------------------------------------------------------
// Plot calls return a positive plot handle.
int PlotY(int panel, int ctrl, const void* y, int count, int y_type, int plot_style, int line_style,
          int color);
int PlotXY(int panel, int ctrl, const void* x, const void* y, int count, int x_type, int y_type,
           int plot_style, int line_style, int color);
int PlotLine(int panel, int ctrl, double x1, double y1, double x2, double y2, int color);
int PlotPoint(int panel, int ctrl, double x, double y, int color);
// Text whose left edge and vertical centre are at (x, y) in data coordinates.
// When (x, y) lies in the view but the text would run over the plot area's
// edge, it is drawn moved inside, so a text placed at a corner stays readable.
int PlotText(int panel, int ctrl, double x, double y, const char* text, int text_color, int bg_color);
// The index-th text (from 0, in plotting order) the graph shows: its text,
// position and colour; any output may be null. UI_ERR_INDEX past the last.
int GetGraphText(int panel, int ctrl, int index, char* buf, int size, double* x, double* y, int* color);
// handle -1 deletes every plot.
int DeleteGraphPlot(int panel, int ctrl, int handle, int draw_mode);
int SetPlotAttribute(int panel, int ctrl, int handle, int attr, int value);
int GetPlotAttribute(int panel, int ctrl, int handle, int attr, int* value);
int SetAxisScalingMode(int panel, int ctrl, int axis, int mode, double min, double max);
// In autoscale mode min and max are the range in use now.
int GetAxisScalingMode(int panel, int ctrl, int axis, int* mode, double* min, double* max);
int SetGraphCursor(int panel, int ctrl, int cursor, double x, double y);
int GetGraphCursor(int panel, int ctrl, int cursor, double* x, double* y);
int SetCursorAttribute(int panel, int ctrl, int cursor, int attr, int value);
int GetCursorAttribute(int panel, int ctrl, int cursor, int attr, int* value);
// The graph's own view (after zoom or pan) without changing its scaling mode.
int GetGraphView(int panel, int ctrl, double* xmin, double* xmax, double* ymin, double* ymax);

// ---- strip charts (UiStripChart) --------------------------------------------------------
// count is a multiple of the number of traces: one point of every trace per step.
int PlotStripChart(int panel, int ctrl, const void* data, int count, int data_type);
int ClearStripChart(int panel, int ctrl);
int SetTraceAttribute(int panel, int ctrl, int trace, int attr, int value);
int GetTraceAttribute(int panel, int ctrl, int trace, int attr, int* value);
// Points per trace the chart holds now (at most ATTR_POINTS_PER_SCREEN).
int GetStripChartPoints(int panel, int ctrl, int trace, double* values, int max);

// ---- canvases (UiCanvas); pixels from the top left -------------------------------------
int CanvasDrawLine(int panel, int ctrl, int x1, int y1, int x2, int y2);
int CanvasDrawPoint(int panel, int ctrl, int x, int y);
int CanvasDrawOval(int panel, int ctrl, int left, int top, int width, int height, int draw_mode);
int CanvasDrawTextAtPoint(int panel, int ctrl, const char* text, int x, int y, int alignment);
int CanvasClear(int panel, int ctrl);

// ---- popups -----------------------------------------------------------------------------
enum {
    UI_POPUP_MESSAGE = 1,
    UI_POPUP_CONFIRM,
    UI_POPUP_FILE_LOAD,
    UI_POPUP_FILE_SAVE,
    UI_POPUP_XY_GRAPH,
    UI_POPUP_PANEL,       // InstallPopup: panel made modal
    UI_POPUP_PANEL_REMOVE // RemovePopup: panel no longer modal
};
enum { UI_NO_FILE_SELECTED = 0, UI_EXISTING_FILE_SELECTED = 1, UI_NEW_FILE_SELECTED = 2 };
enum { UI_LOAD_BUTTON = 0, UI_SAVE_BUTTON = 1 };
struct ui_popup_request {
    int kind; // UI_POPUP_...
    const char* title;
    const char* text;         // message and confirm text
    const char* directory;    // file popups
    const char* default_name; // file popups
    const char* filter;       // file popups, e.g. "*.ini"
    const void* x;            // XY graph popup data
    const void* y;
    int count;
    int x_type;
    int y_type;
    int panel; // panel popups
};
// Answers a popup. Message: any; confirm: 1 yes, 0 no; file popups: one of
// UI_..._FILE_SELECTED with the chosen path in path_out (size path_size), or
// UI_ERR_LONG_PATH when the chosen path does not fit; the other kinds: 0.
// A null handler restores the default.
typedef int (*ui_popup_handler)(const ui_popup_request* request, char* path_out, int path_size);
ui_popup_handler SetPopupHandler(ui_popup_handler handler);

int MessagePopup(const char* title, const char* text);
int ConfirmPopup(const char* title, const char* text);
// button: UI_LOAD_BUTTON or UI_SAVE_BUTTON; path_out holds UI_MAX_PATH bytes.
// A chosen path that does not fit gives UI_ERR_LONG_PATH and an empty
// path_out: a cut path would name another file.
int FileSelectPopup(const char* directory, const char* default_name, const char* filter, const char* title,
                    int button, char* path_out);
int XYGraphPopup(const char* title, const void* x, const void* y, int count, int x_type, int y_type);

// ---- diagnostics ------------------------------------------------------------------------
// Paint events of graphs, strip charts and canvases since the program started.
long GetPaintCount();
