// The program settings file: the serial device names, the connect panel's
// part, and the window state and panel ID of section "Panel data".
#include "settings/settings_file.h"

#include "connect/connect_panel.h"
#include "link/link.h"
#include "support/inifile.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char panel_section[] = "Panel data";
const char serial_section[] = "Serial devices";

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

} // namespace

int load_scope_para(const char* path) {
    store_ptr store(Ini_New(0), Ini_Dispose);
    if (!store) return INI_ERR_NO_MEMORY;
    int rc = Ini_ReadFromFile(store.get(), path);
    if (rc < 0) return rc;
    load_serial_devices(store.get());
    connect_settings_load(store.get());
    if (!Ini_SectionExists(store.get(), panel_section)) return 0;
    for (const window_keys& k : windows) load_window(store.get(), k);
    // A longer ID than the field holds is cut, never overrun.
    if (Ini_GetStringIntoBuffer(store.get(), panel_section, "Panel ID string", panel_id, sizeof panel_id) ==
        1)
        show_panel_id();
    return 0;
}

int store_scope_para(const char* path) {
    store_ptr store(Ini_New(0), Ini_Dispose);
    if (!store) return INI_ERR_NO_MEMORY;
    // Sections the program does not write itself (the serial devices a user named by
    // hand) survive: the file is read first and only the program's own items replaced.
    Ini_ReadFromFile(store.get(), path);
    connect_settings_store(store.get());
    for (const window_keys& k : windows) store_window(store.get(), k);
    Ini_PutString(store.get(), panel_section, "Panel ID string", panel_id);
    return Ini_WriteToFile(store.get(), path);
}
