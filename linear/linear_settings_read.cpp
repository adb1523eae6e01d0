#include "linear/linear_settings.h"

#include <cstring>
#include <sys/stat.h>

int linear_settings_read(IniText store, char paths[2][UI_MAX_PATH]) {
    if (!store || !paths) return INI_ERR_NULL_ARG;
    if (Ini_SectionExists(store, LINEAR_SETTINGS_SECTION) != 1) return -1;
    const char* const keys[2] = {LINEAR_SETTINGS_KEY_A, LINEAR_SETTINGS_KEY_B};
    int taken = 0;
    for (int channel = 0; channel < 2; channel++) {
        // A path that names nothing (or cannot fit the buffer) gives no file; one
        // that names something unreadable is still taken, so the user sees which
        // file went wrong.
        const char* value = nullptr;
        struct stat st;
        paths[channel][0] = '\0';
        if (Ini_GetPointerToString(store, LINEAR_SETTINGS_SECTION, keys[channel], &value) == 1 && value &&
            std::strlen(value) < UI_MAX_PATH && stat(value, &st) == 0) {
            std::memcpy(paths[channel], value, std::strlen(value) + 1);
            taken++;
        }
    }
    return taken;
}
