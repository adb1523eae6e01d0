#include "linear/linear_settings.h"

#include "linear/linear_info.h"

#include <cstring>
#include <sys/stat.h>

namespace {

// A path that names nothing (or cannot fit the buffer) gives no file; one that
// names something unreadable is still taken, and the box says it cannot be
// opened, so the user sees which file went wrong.
int load_channel(IniText store, const char* key, int channel) {
    char* path = linear_file_of(channel);
    const char* value = nullptr;
    struct stat st;
    if (Ini_GetPointerToString(store, LINEAR_SETTINGS_SECTION, key, &value) == 1 && value &&
        std::strlen(value) < UI_MAX_PATH && stat(value, &st) == 0) {
        std::memcpy(path, value, std::strlen(value) + 1);
        update_linear_info(path, channel, nullptr, nullptr);
        return 1;
    }
    path[0] = '\0';
    update_linear_info(nullptr, channel, nullptr, nullptr);
    return 0;
}

} // namespace

int linear_settings_load(IniText store) {
    if (!store) return INI_ERR_NULL_ARG;
    if (!Ini_SectionExists(store, LINEAR_SETTINGS_SECTION)) return 0;
    return load_channel(store, LINEAR_SETTINGS_KEY_A, 0) + load_channel(store, LINEAR_SETTINGS_KEY_B, 1);
}

int linear_settings_store(IniText store) {
    if (!store) return INI_ERR_NULL_ARG;
    const int rc = Ini_PutString(store, LINEAR_SETTINGS_SECTION, LINEAR_SETTINGS_KEY_A, lins.linear_fileA);
    if (rc < 0) return rc;
    return Ini_PutString(store, LINEAR_SETTINGS_SECTION, LINEAR_SETTINGS_KEY_B, lins.linear_fileB);
}
