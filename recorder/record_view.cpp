#include "recorder/record_view.h"

#include "support/linefile.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <sys/stat.h>

namespace {

struct Reader {
    LineFile lf = nullptr;
    ~Reader() { LineFile_Dispose(lf); }
};

// The non-empty ";"-separated fields of a line, as the viewer counts columns.
std::vector<std::string> fields_of(const char* line) {
    std::vector<std::string> out;
    const char* p = line;
    while (*p) {
        const char* e = std::strchr(p, ';');
        const size_t n = e ? static_cast<size_t>(e - p) : std::strlen(p);
        if (n > 0) out.emplace_back(p, n);
        p += n;
        if (*p == ';') p++;
    }
    return out;
}

int open_file(const char* path, Reader* r) {
    struct stat st;
    if (!path || !*path || stat(path, &st) != 0) return REC_VIEW_NO_FILE;
    if (LineFile_New(path, &r->lf) != 0) return REC_VIEW_NO_OPEN;
    return REC_VIEW_OK;
}

// Reads up to and including the first column line; its fields go to `names`.
int find_column_line(Reader* r, std::vector<std::string>* names) {
    char line[REC_VIEW_LINE];
    int rc;
    while ((rc = LineFile_Read(r->lf, line, sizeof line, nullptr)) == 1) {
        if (line[0] != '#') continue; // the first field marks the line's kind
        std::vector<std::string> f = fields_of(line);
        names->assign(f.size() > 3 ? f.begin() + 3 : f.end(), f.end());
        return REC_VIEW_OK;
    }
    return rc < 0 ? REC_VIEW_NO_OPEN : REC_VIEW_NO_COLUMNS;
}

template <typename T>
bool read_number(const std::string& s, T* v) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), *v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

} // namespace

const char* rec_view_text(int code) {
    switch (code) {
    case REC_VIEW_OK:
        return "";
    case REC_VIEW_NO_FILE:
        return "The selected file does not exist.";
    case REC_VIEW_NO_OPEN:
        return "The selected file could not be opened.";
    case REC_VIEW_NO_COLUMNS:
        return "The selected file holds no recording.";
    case REC_VIEW_BAD_COLUMN:
        return "The selected column is not in the file.";
    default:
        return "Unknown error.";
    }
}

int rec_view_columns(const char* path, std::vector<std::string>* names) {
    names->clear();
    Reader r;
    const int rc = open_file(path, &r);
    return rc < 0 ? rc : find_column_line(&r, names);
}

int rec_view_read(const char* path, int column, std::vector<rec_point>* points, int* is_float) {
    points->clear();
    Reader r;
    std::vector<std::string> names;
    int rc = open_file(path, &r);
    if (rc == REC_VIEW_OK) rc = find_column_line(&r, &names);
    if (rc < 0) return rc;
    if (column < 0 || column >= static_cast<int>(names.size())) return REC_VIEW_BAD_COLUMN;
    const bool as_float = names[static_cast<size_t>(column)].find("(float)") != std::string::npos;
    if (is_float) *is_float = as_float;

    char line[REC_VIEW_LINE];
    const size_t field = static_cast<size_t>(column) + 3; // after marker, index and timestamp
    while (static_cast<int>(points->size()) < REC_VIEW_MAX_POINTS &&
           (rc = LineFile_Read(r.lf, line, sizeof line, nullptr)) == 1) {
        if (line[0] != '*') continue;
        const std::vector<std::string> f = fields_of(line);
        if (f.size() <= field) continue;
        int index = 0;
        rec_point p{};
        if (!read_number(f[1], &index)) continue;
        p.x = static_cast<int16_t>(index);
        if (as_float) {
            if (!read_number(f[field], &p.y)) continue;
        } else {
            long long v = 0;
            if (!read_number(f[field], &v)) continue;
            p.y = static_cast<double>(v);
        }
        points->push_back(p);
    }
    return rc < 0 ? REC_VIEW_NO_OPEN : REC_VIEW_OK;
}
