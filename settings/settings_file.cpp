// The program settings file: the last directory, the connect panel's choices,
// the window state, the panel ID and the linearisation files, then a copy of
// the parameter set; and, after them, sections other writers keep in it (the
// serial devices a user names by hand).
#include "settings/settings_file.h"

#include "connect/connect_panel.h"
#include "linear/linear_settings.h"
#include "link/link.h"
#include "params/para_gui.h"
#include "settings/settings_path.h"
#include "support/inifile.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace {

const char history_section[] = "Directory history";
const char panel_section[] = "Panel data";
const char serial_section[] = "Serial devices";
// The first section of the parameter set: a file without it holds no set of ours.
const char parameter_section[] = "ChanA Power";

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

void load_window(IniText store, const window_keys& k) {
    int full = 0;
    if (Ini_GetBoolean(store, panel_section, k.fullscreen, &full) == 1 && full) {
        SetPanelAttribute(*k.panel, ATTR_WINDOW_ZOOM, UI_MAXIMIZE);
        return;
    }
    const char* keys[4] = {k.left, k.top, k.width, k.height};
    const int attrs[4] = {ATTR_LEFT, ATTR_TOP, ATTR_WIDTH, ATTR_HEIGHT};
    for (int i = 0; i < 4; i++) {
        int value = 0;
        if (Ini_GetInt(store, panel_section, keys[i], &value) == 1)
            SetPanelAttribute(*k.panel, attrs[i], value);
    }
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

// COM port numbers name devices here ("COM3" = "/dev/ttyUSB0"); a number without an
// entry keeps the link's default device.
void load_serial_devices(IniText store) {
    for (int n = 1; n <= 255; n++) {
        char key[8];
        snprintf(key, sizeof key, "COM%d", n);
        // Taken whole: a device path cut to a buffer would name another device.
        const char* device = nullptr;
        if (Ini_GetPointerToString(store, serial_section, key, &device) == 1 && device && device[0])
            link_set_serial_device(n, device);
    }
}

// The last directory of the file dialogs; without one, the settings file's own.
void load_directory(IniText store, const char* path) {
    const char* last = nullptr;
    if (Ini_GetPointerToString(store, history_section, "Last", &last) == 1 && last &&
        std::strlen(last) < sizeof last_directory) {
        std::memcpy(last_directory, last, std::strlen(last) + 1);
        return;
    }
    char drive[UI_MAX_PATH] = "", dir[UI_MAX_PATH] = "";
    if (SplitPath(path, drive, dir, nullptr) < 0) return;
    std::snprintf(last_directory, sizeof last_directory, "%s%s", drive, dir);
}

void load_panel_data(IniText store) {
    for (const window_keys& k : windows) load_window(store, k);
    // A longer ID than the field holds is cut, never overrun.
    if (Ini_GetStringIntoBuffer(store, panel_section, "Panel ID string", panel_id, sizeof panel_id) == 1)
        show_panel_id();
    linear_settings_load(store);
}

// An installed program writes into the user's configuration folder, where its
// own folder may not exist yet. Any other missing folder makes the write fail,
// as the user must learn.
// The file the settings were last read from: on the first run in the user's
// folder, the copy beside the executable.
char read_from[UI_MAX_PATH] = "";

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
    load_serial_devices(store.get());
    load_directory(store.get(), path);
    connect_settings_load(store.get());
    if (Ini_SectionExists(store.get(), panel_section)) load_panel_data(store.get());
    // Files written before the parameter set was kept here have none of its
    // sections; reading them would rebuild every condition from nothing.
    if (Ini_SectionExists(store.get(), parameter_section) &&
        parameter_file2para(store.get(), &paras.para_pc) == 0)
        update_PARA(&paras.para_pc);
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
    for (const char* previous : {path, static_cast<const char*>(read_from)}) {
        store_ptr old(Ini_New(0), Ini_Dispose);
        if (previous[0] && old && Ini_ReadFromFile(old.get(), previous) == 0) {
            Ini_CopyMissingSections(s, old.get());
            break;
        }
    }
    make_config_folder_of(path);
    return Ini_WriteToFile(s, path);
}
