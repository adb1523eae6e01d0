// The program settings file: the last directory, the connect panel's choices,
// the window state, the panel ID and the linearisation files, then a copy of
// the parameter set; and, after them, sections other writers keep in it (the
// serial devices a user names by hand).
#include "settings/settings_file.h"

#include "connect/connect_panel.h"
#include "linear/linear_settings.h"
#include "link/link.h"
#include "params/para_file.h"
#include "params/para_gui.h"
#include "settings/settings_path.h"
#include "settings/settings_values.h"
#include "support/inifile.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <system_error>

namespace {

const char* const history_section = SETTINGS_HISTORY_SECTION;
const char* const panel_section = SETTINGS_PANEL_SECTION;
static_assert(sizeof panel_id == SETTINGS_PANEL_ID_SIZE, "the panel ID's buffer is read whole");

struct window_keys {
    int* panel;
    const char* fullscreen;
    const char* left;
    const char* top;
    const char* width;
    const char* height;
};

const window_keys windows[] = {
    {&mpanel, "Main - Fullscreen", "Main - Left", "Main - Top", "Main - Width", "Main - Height"},
    {&osci1, "Osci - Fullscreen", "Osci - Left", "Osci - Top", "Osci - Width", "Osci - Height"},
};

using store_ptr = std::unique_ptr<IniStore, void (*)(IniText)>;

void show_window(int panel, const settings_window& w) {
    if (w.maximized) {
        SetPanelAttribute(panel, ATTR_WINDOW_ZOOM, UI_MAXIMIZE);
        return;
    }
    const int attrs[4] = {ATTR_LEFT, ATTR_TOP, ATTR_WIDTH, ATTR_HEIGHT};
    for (int i = 0; i < 4; i++)
        if (w.has[i]) SetPanelAttribute(panel, attrs[i], w.value[i]);
}

void store_window(IniText store, const window_keys& k) {
    int zoom = UI_NO_ZOOM;
    GetPanelAttribute(*k.panel, ATTR_WINDOW_ZOOM, &zoom);
    Ini_PutBoolean(store, panel_section, k.fullscreen, zoom == UI_MAXIMIZE);
    const char* keys[4] = {k.left, k.top, k.width, k.height};
    const int attrs[4] = {ATTR_LEFT, ATTR_TOP, ATTR_WIDTH, ATTR_HEIGHT};
    for (int i = 0; i < 4; i++) {
        int value = 0;
        GetPanelAttribute(*k.panel, attrs[i], &value);
        Ini_PutInt(store, panel_section, keys[i], value);
    }
}

// Window titles and the panel-ID displays follow the panel ID.
void show_panel_id() {
    connect_window_titles();
    SetCtrlVal(tab5, TAB5_STRING_PANELID, panel_id);
    SetCtrlVal(tab1, TAB1_TEXT_PANELID, panel_id);
}

// Everything the file gave goes where the program keeps it and onto the panels.
void show_values(const settings_values& v) {
    for (const auto& [n, device] : v.serial_devices) link_set_serial_device(n, device.c_str());
    if (v.last_directory[0]) std::memcpy(last_directory, v.last_directory, std::strlen(v.last_directory) + 1);
    connect_settings_show(v.connection);
    if (v.panel_data) {
        for (int i = 0; i < 2; i++) show_window(*windows[i].panel, v.windows[i]);
        if (v.has_panel_id) {
            std::memcpy(panel_id, v.panel_id, sizeof panel_id);
            show_panel_id();
        }
        if (v.linear) linear_settings_show(v.linear_file);
    }
    if (v.has_parameters) {
        paras.para_pc = v.parameters;
        update_PARA(&paras.para_pc);
    }
}

// The file the settings were last read from: on the first run in the user's
// folder, the copy beside the executable.
char read_from[UI_MAX_PATH] = "";

// An installed program writes into the user's configuration folder, where its
// own folder may not exist yet. Any other missing folder makes the write fail,
// as the user must learn.

void make_config_folder_of(const char* path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.filename() != SETTINGS_CONFIG_FOLDER) return;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
}

} // namespace

int load_scope_para(const char* path) {
    store_ptr store(Ini_New(0), Ini_Dispose);
    if (!store) return INI_ERR_NO_MEMORY;
    const int rc = Ini_ReadFromFile(store.get(), path);
    if (rc < 0) return rc;
    std::snprintf(read_from, sizeof read_from, "%s", path);
    auto values = std::make_unique<settings_values>();
    values->parameters = paras.para_pc;
    para_file_progress = prog_bar;
    settings_read(store.get(), path, values.get());
    show_values(*values);
    return 0;
}

int store_scope_para(const char* path) {
    store_ptr store(Ini_New(0), Ini_Dispose);
    if (!store) return INI_ERR_NO_MEMORY;
    IniText s = store.get();
    Ini_PutString(s, history_section, "Last", last_directory);
    connect_settings_store(s);
    for (const window_keys& k : windows) store_window(s, k);
    Ini_PutString(s, panel_section, "Panel ID string", panel_id);
    linear_settings_store(s);
    int rc = parameter_save2file(s, &paras.para_pc, nullptr, nullptr);
    if (rc < 0) return rc;
    // What others keep in the file (the serial devices a user named by hand)
    // follows the program's own sections. Before the first write in the user's
    // folder that is what the copy read at start-up held.
    // A file at `path` that is there but cannot be read (above the store's size
    // cap, not readable) is left as it is: written over, it would lose those
    // sections, which only the user can rescue. The close then reports that
    // the settings were not written.
    for (const char* previous : {path, static_cast<const char*>(read_from)}) {
        if (!previous[0]) continue;
        store_ptr old(Ini_New(0), Ini_Dispose);
        if (!old) return INI_ERR_NO_MEMORY;
        const int read = Ini_ReadFromFile(old.get(), previous);
        if (read == 0) {
            if ((rc = Ini_CopyMissingSections(s, old.get())) < 0) return rc;
            break;
        }
        struct stat st;
        if (previous == path && (stat(path, &st) == 0 || errno != ENOENT)) return read;
    }
    make_config_folder_of(path);
    return Ini_WriteToFile(s, path);
}
