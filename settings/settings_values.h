// The program settings file read into plain values, apart from the panels
// that show them: so the reading of any file, however odd (a baud rate that
// is no number, thousands of port keys, a panel ID of a megabyte), can be
// tried without a window, and the panel side only copies values it is given.
#pragma once

#include "connect/connect_saved.h"
#include "params/para_record.h"
#include "support/inifile.h"
#include "support/path_time.h"

#include <string>
#include <utility>
#include <vector>

constexpr char SETTINGS_HISTORY_SECTION[] = "Directory history";
constexpr char SETTINGS_PANEL_SECTION[] = "Panel data";
constexpr char SETTINGS_SERIAL_SECTION[] = "Serial devices";
// The first section of the parameter set: a file without it holds no set of ours.
constexpr char SETTINGS_PARAMETER_SECTION[] = "ChanA Power";
constexpr int SETTINGS_PANEL_ID_SIZE = 64; // the panel ID's buffer, closing zero included
constexpr int SETTINGS_MAX_COM = 255;      // COM numbers a device may be named for

// One window's state: maximised, or the place and size items found.
struct settings_window {
    bool maximized = false;
    bool has[4] = {};  // left, top, width, height
    int value[4] = {}; // as written
};

struct settings_values {
    // COM number and device path, ascending; entries with an empty path are left out.
    std::vector<std::pair<int, std::string>> serial_devices;
    // The last directory of the file dialogs, or, without one that fits, the
    // settings file's own folder (empty when even that does not fit).
    char last_directory[PARA_PATH_LEN];
    connect_saved connection;
    bool panel_data = false;    // the section is there: the items below it count
    settings_window windows[2]; // main window, oscillograph window
    bool has_panel_id = false;
    char panel_id[SETTINGS_PANEL_ID_SIZE]; // cut to its buffer
    bool linear = false;                   // the linearisation files were read (panel section present)
    char linear_file[2][UI_MAX_PATH];      // empty: that channel shows the defaults
    // On entry the set to load over (items a file lacks keep these values); on
    // return the set with the file's values, valid when has_parameters is set.
    bool has_parameters = false;
    para_record parameters;
};

// Reads the store of the settings file `path` (used for the folder fallback of
// the last directory) into `out`. Returns 0, or INI_ERR_NULL_ARG.
int settings_read(IniText store, const char* path, settings_values* out);
