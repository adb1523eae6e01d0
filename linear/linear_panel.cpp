// The linearisation panel's buttons and the linearisation graphs.
#include "linear/linear_panel.h"

#include "linear/linear_curve.h"
#include "linear/linear_info.h"
#include "linear/linear_math.h"
#include "linear/linear_transfer.h"
#include "link/link.h"
#include "link/orders.h"
#include "params/para_gui.h"
#include "run/run_mode.h"
#include "ui/help_hook.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

int graph_of(int channel) {
    return channel == 1 ? GRAPH1_GRAPH_LINEARB : GRAPH1_GRAPH_LINEARA;
}
int box_of(int channel) {
    return channel == 1 ? TAB9_TEXTBOX_DESCRB : TAB9_TEXTBOX_DESCRA;
}
int16_t* table_of(int channel) {
    return channel == 1 ? lins.linear_dataB : lins.linear_dataA;
}
int channel_of(int control) {
    return control == TAB9_CMDB_LOADB || control == TAB9_CMDB_CLEARB ? 1 : 0;
}

// The display point lists of the channel shown last.
int points_x[LINEAR_POINTS];
int points_y[LINEAR_POINTS];

void show_status(const char* text) {
    SetCtrlVal(graph1, GRAPH1_STRING_STATUS, text);
}

void clear_graph(int channel) {
    DeleteGraphPlot(graph1, graph_of(channel), -1, UI_DELAYED_DRAW);
}

// A verdict or a linear error: texts on the graph at a data position.
void graph_text(int channel, double x, double y, const char* text, int color) {
    PlotText(graph1, graph_of(channel), x, y, text, color, UI_TRANSPARENT);
}

// A button's own action runs only when nothing else does: during RUN, VIDEO
// or a transaction its press only ends what runs (the link's interrupt table).
bool panel_free() {
    return runs.run == 0 && !com.exch_active;
}

// Something of that name is there; a file the user chose and then deleted
// counts as no file.
bool file_exists(const char* path) {
    struct stat st;
    return path && path[0] && stat(path, &st) == 0;
}

void set_last_directory(const char* path) {
    char drive[UI_MAX_PATH] = "", dir[UI_MAX_PATH] = "";
    if (SplitPath(path, drive, dir, nullptr) < 0) return;
    const size_t n = strnlen(drive, sizeof last_directory - 1);
    std::memcpy(last_directory, drive, n);
    std::snprintf(last_directory + n, sizeof last_directory - n, "%s", dir);
}

// ---- CHECK ------------------------------------------------------------------------------------

// One channel of CHECK. Returns 1 when the channel has a table to send.
int check_channel(int channel) {
    const char* path = linear_file_of(channel);
    int16_t* table = table_of(channel);
    if (file_exists(path)) {
        update_linear_info(path, channel, points_x, points_y);
        clear_graph(channel);
        const int rc = get_linear_data(path, LINEAR_POINTS, LINEAR_FULL_SCALE, table, LINEAR_POINTS);
        if (rc == LINEAR_ERR_OPEN) MessagePopup("Error", "Could not open file");
        if (rc == LINEAR_TABLE_OK) {
            plot_linear_table(channel, table, LINEAR_TABLE_COLOR);
            graph_text(channel, 4095, 0, "Data OK.", LINEAR_TABLE_COLOR);
            return 1;
        }
        graph_text(channel, 4095, 0, "Data loading/generating failed.", LINEAR_TABLE_COLOR);
        return 0;
    }
    const char* title =
        channel == 1 ? "No linearisation data file for chan B" : "No linearisation data file for chan A";
    if (ConfirmPopup(title, "No linearisation data file selected.\nUse a standard transfer curve instead?") !=
        1)
        return 0;
    if (update_linear_info(nullptr, channel, points_x, points_y) > 0) {
        clear_graph(channel);
        PlotXY(graph1, graph_of(channel), points_x, points_y, LINEAR_POINTS, UI_INTEGER, UI_INTEGER,
               UI_THIN_LINE, UI_SOLID, LINEAR_TABLE_COLOR);
    }
    get_default_linear_data(LINEAR_FULL_SCALE, table, LINEAR_POINTS);
    return 1;
}

// ---- SEND -------------------------------------------------------------------------------------

bool link_ok(int rc) {
    return rc == LINK_OK || (rc >= LINK_STATUS_1 && rc <= LINK_STATUS_3);
}

// One channel's description block from its box, line by line as the box
// shows them.
void box_block(int channel, unsigned char* block) {
    static char lines[LINEAR_DESCR_BYTES][LINEAR_LINE];
    const char* pointers[LINEAR_DESCR_BYTES];
    int n = 0;
    GetNumTextBoxLines(tab9, box_of(channel), &n);
    // More lines than bytes cannot fit anyway: each takes its line feed.
    if (n > LINEAR_DESCR_BYTES) n = LINEAR_DESCR_BYTES;
    for (int k = 0; k < n; k++) {
        lines[k][0] = '\0';
        GetTextBoxLine(tab9, box_of(channel), k, lines[k], LINEAR_LINE);
        pointers[k] = lines[k];
    }
    linear_descr_block(pointers, n, block);
}

void send_progress(int steps) {
    SetCtrlVal(graph1, GRAPH1_BAR_ACTIVITY1, 0.0);
    SetCtrlVal(graph1, GRAPH1_BAR_ACTIVITY2, linear_send_bar(steps));
}

void linear_send() {
    char text[LINK_TEXT_SIZE];
    uint16_t words[LINEAR_BLOCK_WORDS];
    unsigned char info[2 * LINEAR_DESCR_BYTES] = {};
    int steps = 0;
    for (int part = 0; part < LINEAR_SEND_PARTS; part++) {
        const linear_send_part& p = linear_send_plan[part];
        int rc = exchange_frame(&com.connect, ORDER_LIN_ANNOUNCE, p.value, nullptr, 0, nullptr, 0, nullptr);
        if (!link_ok(rc)) {
            show_status(linear_result_text(rc));
            return;
        }
        linear_send_text(part + 1, false, text, sizeof text);
        show_status(text);
        send_progress(++steps);
        // The descriptions go out as the boxes show them now.
        if (p.channel == LINEAR_SEND_INFO) {
            box_block(0, info);
            box_block(1, info + LINEAR_DESCR_BYTES);
        }
        linear_send_words(part, lins.linear_dataA, lins.linear_dataB, info, words);
        rc = exchange_frame(&com.connect, ORDER_LIN_WRITE, p.value, words, LINEAR_BLOCK_WORDS, nullptr, 0,
                            nullptr);
        if (!link_ok(rc)) {
            show_status(linear_result_text(rc));
            return;
        }
        linear_send_text(part + 1, true, text, sizeof text);
        show_status(text);
        send_progress(++steps);
    }
}

// ---- REFRESH ----------------------------------------------------------------------------------

void linear_refresh() {
    const uint16_t wanted = LINEAR_INFO_READ_WORDS;
    uint16_t block[LINEAR_BLOCK_WORDS] = {};
    int n = 0;
    const int rc = exchange_frame(&com.connect, ORDER_LIN_READ, LINEAR_INFO_VALUE, &wanted, 1, block,
                                  LINEAR_BLOCK_WORDS, &n);
    if (!link_ok(rc)) {
        show_status(linear_result_text(rc));
        return;
    }
    show_status("Success.");
    clear_graph(0);
    clear_graph(1);
    unsigned char bytes[2 * LINEAR_DESCR_BYTES];
    linear_info_bytes(block, n, bytes);
    refresh_linear_info(0, reinterpret_cast<const char*>(bytes));
    refresh_linear_info(1, reinterpret_cast<const char*>(bytes + LINEAR_DESCR_BYTES));
}

} // namespace

void prep_for_linear_curve() {
    SetCtrlAttribute(graph1, GRAPH1_STRIP_DATA, ATTR_VISIBLE, 0);
    for (int channel = 0; channel < 2; channel++) {
        const int g = graph_of(channel);
        SetCtrlAttribute(graph1, g, ATTR_VISIBLE, 1);
        // The curves are black: the graphs get a light ground while they show them.
        SetCtrlAttribute(graph1, g, ATTR_BACKCOLOR, LINEAR_GRAPH_COLOR);
        SetCtrlAttribute(graph1, g, ATTR_TEXT_COLOR, UI_BLACK);
        SetAxisScalingMode(graph1, g, UI_XAXIS, UI_MANUAL, 0.0, 4096.0);
        SetAxisScalingMode(graph1, g, UI_LEFT_YAXIS, UI_MANUAL, 0.0, 4096.0);
    }
    SetCtrlAttribute(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED, 1);
}

int plot_linear_table(int channel, const int16_t* table, int color) {
    int x[LINEAR_POINTS], y[LINEAR_POINTS];
    linear_table_curve(table, x, y);
    return PlotXY(graph1, graph_of(channel), x, y, LINEAR_POINTS, UI_INTEGER, UI_INTEGER, UI_THIN_LINE,
                  UI_SOLID, color);
}

const char* linear_result_text(int code) {
    switch (code) {
    case LINK_STOP:
    case LINK_SEND_PRESSED:
    case LINK_READ_PRESSED:
    case LINK_REC_STORE:
    case LINK_REC_START:
    case LINK_REC_STOP:
    case LINK_NORM_NOW:
    case LINK_RESET_PRESSED:
        return "Stopped by user.";
    case LINK_ERR_FEW_WORDS:
        return "Insufficient number of bytes.";
    case LINK_ERR_ORDER:
        return "Unknown order number.";
    default: {
        const char* text = link_loop_text(code);
        return text ? text : "Unknown error.";
    }
    }
}

int CC_CMDB_LOAD_LINFILE(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || !panel_free()) return 0;
    prep_for_linear_curve();
    const int channel = channel_of(control);
    char path[UI_MAX_PATH] = "";
    // A path too long for the buffer is refused like a cancel: cut, it would
    // name another file.
    const int rc = FileSelectPopup(last_directory, "*.txt", "*.csv;*.txt;*.dat", "Select linearisation file",
                                   UI_LOAD_BUTTON, path);
    if (rc <= 0 || !path[0]) return 0;
    std::memcpy(linear_file_of(channel), path, sizeof path);
    set_last_directory(path);
    clear_graph(channel);
    int n = 0;
    // A file without a single reading (only descriptions, or text) has no
    // curve and no error to show, as one that cannot be read.
    if (update_linear_info(path, channel, points_x, points_y, &n) <= 0 || n == 0) return 0;
    const int g = graph_of(channel);
    PlotXY(graph1, g, points_x, points_y, n, UI_INTEGER, UI_INTEGER, UI_THIN_LINE, UI_SOLID, UI_BLACK);
    char text[32] = "";
    linear_error_text(linear_error(points_x, points_y, n), text, sizeof text);
    const int line = PlotLine(graph1, g, 0.0, 0.0, 4096.0, 4096.0, UI_BLACK);
    if (line > 0) SetPlotAttribute(graph1, g, line, ATTR_LINE_STYLE, UI_DOT);
    graph_text(channel, 0, 4096, text, UI_BLACK);
    return 0;
}

int CC_CMDB_CLEAR_LINFILE(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || !panel_free()) return 0;
    prep_for_linear_curve();
    const int channel = channel_of(control);
    clear_graph(channel);
    ResetTextBox(tab9, box_of(channel), "");
    SetCtrlAttribute(tab9, box_of(channel), ATTR_TEXT_BGCOLOR, UI_WHITE);
    SetCtrlVal(tab9, channel == 1 ? TAB9_STRING_FILEB : TAB9_STRING_FILEA, "<no file selected>");
    linear_file_of(channel)[0] = '\0';
    return 0;
}

int CC_CMDB_CHECK_LIN(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || !panel_free()) return 0;
    prep_for_linear_curve();
    const int a = check_channel(0);
    const int b = check_channel(1);
    SetCtrlAttribute(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED, a && b ? 0 : 1);
    return 0;
}

int CC_CMDB_SEND_LIN(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || !panel_free()) return 0;
    prep_for_linear_curve();
    linear_send();
    return 0;
}

int CC_CMDB_REFRESH_LIN(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || !panel_free()) return 0;
    prep_for_linear_curve();
    linear_refresh();
    return 0;
}

void register_linear_callbacks() {
    struct entry {
        const char* name;
        ui_callback function;
    };
    const entry table[] = {
        {"CC_CMDB_LOAD_LINFILE", CC_CMDB_LOAD_LINFILE}, {"CC_CMDB_CLEAR_LINFILE", CC_CMDB_CLEAR_LINFILE},
        {"CC_CMDB_CHECK_LIN", CC_CMDB_CHECK_LIN},       {"CC_CMDB_SEND_LIN", CC_CMDB_SEND_LIN},
        {"CC_CMDB_REFRESH_LIN", CC_CMDB_REFRESH_LIN},
    };
    for (const entry& e : table) RegisterCallbackName(e.name, e.function);
}
