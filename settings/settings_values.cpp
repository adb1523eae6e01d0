#include "settings/settings_values.h"

#include "linear/linear_settings.h"
#include "params/para_file.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct window_keys {
    const char* fullscreen;
    const char* keys[4];
};

const window_keys window_items[2] = {
    {"Main - Fullscreen", {"Main - Left", "Main - Top", "Main - Width", "Main - Height"}},
    {"Osci - Fullscreen", {"Osci - Left", "Osci - Top", "Osci - Width", "Osci - Height"}},
};

// COM port numbers name devices here ("COM3" = "/dev/ttyUSB0"). A device path
// is taken whole: cut to a buffer it would name another device.
void read_serial_devices(IniText store, settings_values* out) {
    out->serial_devices.clear();
    if (Ini_SectionExists(store, SETTINGS_SERIAL_SECTION) != 1) return;
    for (int n = 1; n <= SETTINGS_MAX_COM; n++) {
        char key[8];
        std::snprintf(key, sizeof key, "COM%d", n);
        const char* device = nullptr;
        if (Ini_GetPointerToString(store, SETTINGS_SERIAL_SECTION, key, &device) == 1 && device && device[0])
            out->serial_devices.emplace_back(n, device);
    }
}

void read_directory(IniText store, const char* path, settings_values* out) {
    const char* last = nullptr;
    if (Ini_GetPointerToString(store, SETTINGS_HISTORY_SECTION, "Last", &last) == 1 && last &&
        std::strlen(last) < sizeof out->last_directory) {
        std::memcpy(out->last_directory, last, std::strlen(last) + 1);
        return;
    }
    out->last_directory[0] = '\0';
    char drive[UI_MAX_PATH] = "", dir[UI_MAX_PATH] = "";
    if (!path || SplitPath(path, drive, dir, nullptr) < 0) return;
    // A folder cut to the buffer would be another folder.
    const std::string folder = std::string(drive) + dir;
    if (folder.size() < sizeof out->last_directory)
        std::memcpy(out->last_directory, folder.c_str(), folder.size() + 1);
}

void read_window(IniText store, const window_keys& k, settings_window* w) {
    *w = settings_window{};
    int full = 0;
    if (Ini_GetBoolean(store, SETTINGS_PANEL_SECTION, k.fullscreen, &full) == 1 && full) {
        w->maximized = true;
        return;
    }
    for (int i = 0; i < 4; i++) {
        int value = 0;
        if (Ini_GetInt(store, SETTINGS_PANEL_SECTION, k.keys[i], &value) == 1) {
            w->has[i] = true;
            w->value[i] = value;
        }
    }
}

} // namespace

int settings_read(IniText store, const char* path, settings_values* out) {
    if (!store || !out) return INI_ERR_NULL_ARG;
    read_serial_devices(store, out);
    read_directory(store, path, out);
    connect_settings_read(store, &out->connection);
    out->panel_data = Ini_SectionExists(store, SETTINGS_PANEL_SECTION) == 1;
    out->has_panel_id = false;
    out->panel_id[0] = '\0';
    out->linear = false;
    out->linear_file[0][0] = out->linear_file[1][0] = '\0';
    if (out->panel_data) {
        for (int i = 0; i < 2; i++) read_window(store, window_items[i], &out->windows[i]);
        // A longer ID than the field holds is cut, never overrun.
        out->has_panel_id = Ini_GetStringIntoBuffer(store, SETTINGS_PANEL_SECTION, "Panel ID string",
                                                    out->panel_id, sizeof out->panel_id) == 1;
        out->linear = linear_settings_read(store, out->linear_file) >= 0;
    } else {
        for (settings_window& w : out->windows) w = settings_window{};
    }
    // Files written before the parameter set was kept here have none of its
    // sections; reading them would rebuild every condition from nothing.
    out->has_parameters = Ini_SectionExists(store, SETTINGS_PARAMETER_SECTION) == 1 &&
                          parameter_store2para(store, &out->parameters) == 0;
    return 0;
}
