// Where the program settings file lives (see settings_path.h).
#include "settings/settings_path.h"

#include "support/program.h"

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool exists(const char* path) {
    struct stat st;
    return stat(path, &st) == 0;
}

int fail(settings_paths* out) {
    out->write[0] = out->read[0] = 0;
    return -1;
}

} // namespace

int settings_file_in(const char* dir, char* out) {
    char name[128];
    std::snprintf(name, sizeof name, "%s.ini", pc_version_str);
    return MakePathname(dir, name, out);
}

int settings_dir_writable(const char* dir) {
    if (!dir || !dir[0]) return 0;
    const std::string probe = std::string(dir) + "/.zazed-probe-" + std::to_string(getpid());
    const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (fd < 0) return 0;
    close(fd);
    unlink(probe.c_str());
    return 1;
}

int settings_locate(const char* exe_dir, int writable, const char* config_home, const char* home,
                    settings_paths* out) {
    if (!out || !exe_dir) return -1;
    char beside[UI_MAX_PATH];
    if (settings_file_in(exe_dir, beside) < 0) return fail(out);
    std::string config;
    if (config_home && config_home[0] == '/')
        config = config_home;
    else if (home && home[0])
        config = std::string(home) + "/.config";
    if (writable || config.empty()) {
        std::snprintf(out->write, sizeof out->write, "%s", beside);
        std::snprintf(out->read, sizeof out->read, "%s", beside);
        return 0;
    }
    char folder[UI_MAX_PATH];
    if (MakePathname(config.c_str(), SETTINGS_CONFIG_FOLDER, folder) < 0 ||
        settings_file_in(folder, out->write) < 0)
        return fail(out);
    std::snprintf(out->read, sizeof out->read, "%s", exists(out->write) ? out->write : beside);
    return 0;
}
