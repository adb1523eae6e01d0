#include "support/path_time.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace {
const size_t path_len = UI_MAX_PATH;

// The caller checked that n is below path_len.
void copy_path(char* out, const char* text, size_t n) {
    if (!out) return;
    memcpy(out, text, n);
    out[n] = 0;
}

bool is_separator(char c) {
    return c == '/' || c == '\\';
}
} // namespace

double Timer() {
    using clock = std::chrono::steady_clock;
    static const clock::time_point start = clock::now();
    return std::chrono::duration<double>(clock::now() - start).count();
}

const char* DateStr() {
    static char text[32];
    time_t now = time(nullptr);
    struct tm t;
    localtime_r(&now, &t);
    snprintf(text, sizeof text, "%02d-%02d-%04d", t.tm_mon + 1, t.tm_mday, t.tm_year + 1900);
    return text;
}

const char* TimeStr() {
    static char text[32];
    time_t now = time(nullptr);
    struct tm t;
    localtime_r(&now, &t);
    snprintf(text, sizeof text, "%02d:%02d:%02d", t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

int GetProjectDir(char* buf) {
    if (!buf) return -1;
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) {
        buf[0] = 0;
        return -1;
    }
    exe[n] = 0;
    char* slash = strrchr(exe, '/');
    size_t len = slash ? static_cast<size_t>(slash - exe) : 0;
    if (slash == exe) len = 1; // the root directory keeps its slash
    if (len >= path_len) {
        buf[0] = 0;
        return -1;
    }
    copy_path(buf, exe, len);
    return 0;
}

int MakePathname(const char* dir, const char* file, char* out) {
    if (!dir || !file || !out) return -1;
    size_t dl = strlen(dir);
    while (dl > 1 && is_separator(dir[dl - 1])) dl--;
    while (is_separator(*file)) file++;
    size_t fl = strlen(file);
    bool need_sep = dl > 0 && !is_separator(dir[dl - 1]);
    size_t total = dl + (need_sep ? 1 : 0) + fl;
    if (total >= path_len) {
        out[0] = 0;
        return -1;
    }
    memcpy(out, dir, dl);
    if (need_sep) out[dl++] = '/';
    memcpy(out + dl, file, fl);
    out[dl + fl] = 0;
    return 0;
}

int SplitPath(const char* path, char* drive, char* dir, char* file) {
    if (!path) return -1;
    if (drive) drive[0] = 0;
    const char* last = nullptr;
    for (const char* p = path; *p; p++)
        if (is_separator(*p)) last = p;
    size_t dl = last ? static_cast<size_t>(last - path) + 1 : 0;
    size_t fl = strlen(path) - dl;
    if (dl >= path_len || fl >= path_len) {
        if (dir) dir[0] = 0;
        if (file) file[0] = 0;
        return -1;
    }
    copy_path(dir, path, dl);
    copy_path(file, path + dl, fl);
    return 0;
}
