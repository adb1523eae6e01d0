// The recorder panel's callbacks and displays. The states and texts come from
// the pure recorder code (rec_modes, rec_time, record_file, record_view); this
// file only applies them to the panel.
#include "recorder/recorder_panel.h"

#include "params/para_gui.h"
#include "recorder/record_file.h"
#include "recorder/record_view.h"
#include "ui/help_hook.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

recorder_hooks recorder_hook = {};

namespace {

const int idle_color = 0xE0E0E0;
const int active_color = 0xFF0000;

// The panel's controls in the order of the pairs in `recorder`.
const int rec_controls[REC_CTRL_COUNT] = {
    TAB5_EDIT_SELECTRECMODE, TAB5_NUMS_INTERVAL,  TAB5_NUMS_NUMBER,     TAB5_RING_AUTOSEND,  TAB5_CBTN_START,
    TAB5_CMDB_STOP,          TAB5_CMDB_MANUALREC, TAB5_CMDB_SELECTFILE, TAB5_CMDB_SHOWGRAPH,
};

void no_file(const char* text) {
    MessagePopup("File error!", text);
}

// Lets the user pick one column of the file in popup1. Returns the column
// number, or -1 when cancelled.
int choose_column(const std::vector<std::string>& names, std::string* name) {
    ClearListCtrl(popup1, POPUP1_LISTBOX_COLUMNS);
    for (size_t i = 0; i < names.size(); i++)
        InsertListItemInt(popup1, POPUP1_LISTBOX_COLUMNS, -1, names[i].c_str(), static_cast<int>(i));
    SetCtrlIndex(popup1, POPUP1_LISTBOX_COLUMNS, 0);
    InstallPopup(popup1);
    int chosen = -1;
    for (;;) {
        int panel = 0, control = 0;
        if (GetUserEvent(1, &panel, &control) == 0) break; // the program is quitting
        if (panel != popup1) continue;
        if (control == POPUP1_CMDB_CANCEL) break;
        if (control != POPUP1_CMDB_OK) continue;
        int index = -1;
        if (GetCtrlIndex(popup1, POPUP1_LISTBOX_COLUMNS, &index) >= 0 && index >= 0 &&
            index < static_cast<int>(names.size())) {
            GetValueFromIndexInt(popup1, POPUP1_LISTBOX_COLUMNS, index, &chosen);
            *name = names[static_cast<size_t>(index)];
        }
        break;
    }
    RemovePopup(0);
    return chosen;
}

} // namespace

// ---- states and displays ---------------------------------------------------------------

void set_rec_buttons(int active, const int setting[REC_SETTING_INTS]) {
    int visible[REC_CTRL_COUNT], dimmed[REC_CTRL_COUNT];
    rec_buttons_state(setting, active, visible, dimmed);
    for (int k = 0; k < REC_CTRL_COUNT; k++) {
        SetCtrlAttribute(tab5, rec_controls[k], ATTR_VISIBLE, visible[k]);
        SetCtrlAttribute(tab5, rec_controls[k], ATTR_DIMMED, dimmed[k]);
    }
    SetCtrlAttribute(tab5, TAB5_CBTN_START, ATTR_CMD_BUTTON_COLOR, active ? active_color : idle_color);
}

void set_rec_info(int mode, const rec_time* r, const rec_time* t, int count, int limit) {
    rec_info info;
    if (rec_info_compute(mode, r, t, count, limit, &info) < 0) return;
    SetCtrlVal(tab5, TAB5_STRING_TIME, info.time_text);
    SetCtrlVal(tab5, TAB5_BAR_TIME, info.time_bar);
    SetCtrlVal(tab5, TAB5_STRING_COUNT, info.count_text);
    SetCtrlVal(tab5, TAB5_BAR_COUNT, info.count_bar);
}

void rec_show_end(const char* text, double bars) {
    SetCtrlVal(tab5, TAB5_STRING_TIME, text);
    SetCtrlVal(tab5, TAB5_BAR_TIME, bars);
    SetCtrlVal(tab5, TAB5_BAR_COUNT, bars);
}

void rec_show_time(const char* text) {
    SetCtrlVal(tab5, TAB5_STRING_TIME, text);
}

void rec_read_panel(int* mode, int* interval, int* number) {
    *mode = 0;
    *interval = 0;
    *number = 0;
    GetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, mode);
    GetCtrlVal(tab5, TAB5_NUMS_INTERVAL, interval);
    GetCtrlVal(tab5, TAB5_NUMS_NUMBER, number);
}

void rec_file_unusable() {
    if (!recs.file_pathname[0]) {
        no_file("No file selected.");
        return;
    }
    std::string text = "The selected file could not be written:\n";
    text += recs.file_pathname;
    recs.file_pathname[0] = 0;
    ResetTextBox(tab5, TAB5_TEXTBOX_FILENAME, "");
    no_file(text.c_str());
}

int rec_path_case_sensitive(const char*) {
#if defined(_WIN32) || defined(__APPLE__)
    return 0;
#else
    return 1;
#endif
}

// ---- callbacks -------------------------------------------------------------------------------

int CC_EDIT_SELECTRECMODE(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT) return 0;
    int mode = 0;
    if (GetCtrlVal(panel, control, &mode) < 0) return 0;
    if (recorder_set_mode(recs.recorder, mode) < 0) return 0;
    set_rec_buttons(0, recs.recorder);
    return 0;
}

int CC_CMDB_SELECTFILE(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT) return 0;
    char path[UI_MAX_PATH] = "";
    // The save dialog itself asks before an existing file is chosen, so a
    // previous recording is not emptied by a mis-click.
    int rc = FileSelectPopup(last_directory, "*.csv", "*.csv;*.txt;*.dat", "Select record file",
                             UI_SAVE_BUTTON, path);
    if (rc == UI_ERR_LONG_PATH) {
        // Refused whole: a cut path would record into another file.
        recs.file_pathname[0] = 0;
        ResetTextBox(tab5, TAB5_TEXTBOX_FILENAME, "");
        no_file("The selected file could not be opened.");
        return 0;
    }
    if (rc <= 0 || !path[0]) {
        recs.file_pathname[0] = 0;
        ResetTextBox(tab5, TAB5_TEXTBOX_FILENAME, "");
        no_file("No file selected.");
        return 0;
    }
    if (!rec_path_case_sensitive(path))
        for (char* p = path; *p; p++) *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
    std::snprintf(recs.file_pathname, sizeof recs.file_pathname, "%s", path);
    char drive[UI_MAX_PATH] = "", dir[UI_MAX_PATH] = "", name[UI_MAX_PATH] = "";
    SplitPath(recs.file_pathname, drive, dir, name);
    const size_t n = strnlen(drive, sizeof last_directory - 1);
    std::memcpy(last_directory, drive, n);
    std::snprintf(last_directory + n, sizeof last_directory - n, "%s", dir);
    ResetTextBox(tab5, TAB5_TEXTBOX_FILENAME, name);
    if (print_file_start(recs.file_pathname) < 0) {
        rec_file_unusable();
        return 0;
    }
    recs.file_choice++;
    return 0;
}

int CC_CMDB_MANUALREC(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT) return 0;
    if (recorder_hook.running && recorder_hook.running()) return 0; // the RUN loop serves it
    MessagePopup("Communication with sensor stopped.", "Please enter 'RUN' mode to use this function.");
    return 0;
}

int CC_CMDB_SHOWGRAPH(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT) return 0;
    std::vector<std::string> names;
    int rc = rec_view_columns(recs.file_pathname, &names);
    if (rc < 0) {
        no_file(rec_view_text(rc));
        return 0;
    }
    std::string name;
    int column = choose_column(names, &name);
    if (column < 0) return 0;
    std::vector<rec_point> points;
    int is_float = 0, skipped = 0;
    rc = rec_view_read(recs.file_pathname, column, &points, &is_float, &skipped);
    // Nothing readable says so instead of opening an empty graph; lines
    // skipped are told before the graph, which then shows the rest.
    if (rc == REC_VIEW_NO_DATA) {
        no_file(rec_view_summary(0, skipped).c_str());
        return 0;
    }
    if (rc < 0) {
        no_file(rec_view_text(rc));
        return 0;
    }
    if (skipped > 0) no_file(rec_view_summary(points.size(), skipped).c_str());
    std::vector<short> x(points.size());
    std::vector<double> y(points.size());
    for (size_t i = 0; i < points.size(); i++) {
        x[i] = static_cast<short>(points[i].x);
        y[i] = points[i].y;
    }
    XYGraphPopup(name.c_str(), x.data(), y.data(), static_cast<int>(points.size()), UI_SHORT_INTEGER,
                 UI_DOUBLE);
    return 0;
}

void register_recorder_callbacks() {
    RegisterCallbackName("CC_EDIT_SELECTRECMODE", CC_EDIT_SELECTRECMODE);
    RegisterCallbackName("CC_CMDB_SELECTFILE", CC_CMDB_SELECTFILE);
    RegisterCallbackName("CC_CMDB_MANUALREC", CC_CMDB_MANUALREC);
    RegisterCallbackName("CC_CMDB_SHOWGRAPH", CC_CMDB_SHOWGRAPH);
}
