#include "linear/linear_settings.h"

#include "linear/linear_info.h"

#include <cstring>

int linear_settings_load(IniText store) {
    static char paths[2][UI_MAX_PATH];
    const int taken = linear_settings_read(store, paths);
    if (taken < 0) return taken == -1 ? 0 : taken;
    linear_settings_show(paths);
    return taken;
}

void linear_settings_show(const char paths[2][UI_MAX_PATH]) {
    for (int channel = 0; channel < 2; channel++) {
        char* path = linear_file_of(channel);
        if (paths[channel][0]) {
            std::memcpy(path, paths[channel], std::strlen(paths[channel]) + 1);
            update_linear_info(path, channel, nullptr, nullptr);
        } else {
            path[0] = '\0';
            update_linear_info(nullptr, channel, nullptr, nullptr);
        }
    }
}

int linear_settings_store(IniText store) {
    if (!store) return INI_ERR_NULL_ARG;
    const int rc = Ini_PutString(store, LINEAR_SETTINGS_SECTION, LINEAR_SETTINGS_KEY_A, lins.linear_fileA);
    if (rc < 0) return rc;
    return Ini_PutString(store, LINEAR_SETTINGS_SECTION, LINEAR_SETTINGS_KEY_B, lins.linear_fileB);
}
