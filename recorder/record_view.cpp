#include "recorder/record_view.h"

#include "support/linefile.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <sys/stat.h>

namespace {

struct Reader {
    LineFile lf = nullptr;
    ~Reader() { LineFile_Dispose(lf); }
};

// The ";"-separated cells of a line, empty ones kept in their place: a cell
// left empty must not move the later ones onto another column's name.
std::vector<std::string> cells_of(const char* line) {
    std::vector<std::string> out;
    const char* p = line;
    while (*p) {
        const char* e = std::strchr(p, ';');
        const size_t n = e ? static_cast<size_t>(e - p) : std::strlen(p);
        out.emplace_back(p, n);
        p += n;
        if (*p == ';') p++;
    }
    return out;
}

// The column line's names, and the cell each name stands in.
struct column_line {
    std::vector<std::string> names;
    std::vector<size_t> cells;
};

int open_file(const char* path, Reader* r) {
    struct stat st;
    if (!path || !*path || stat(path, &st) != 0) return REC_VIEW_NO_FILE;
    if (LineFile_New(path, &r->lf) != 0) return REC_VIEW_NO_OPEN;
    return REC_VIEW_OK;
}

// Reads up to and including the first column line. Its names are the
// non-empty cells after the marker, index and timestamp.
int find_column_line(Reader* r, column_line* cols) {
    char line[REC_VIEW_LINE];
    int rc;
    while ((rc = LineFile_Read(r->lf, line, sizeof line, nullptr)) == 1) {
        if (line[0] != '#') continue; // the first field marks the line's kind
        const std::vector<std::string> c = cells_of(line);
        int leading = 3;
        for (size_t i = 0; i < c.size(); i++) {
            if (c[i].empty() || leading-- > 0) continue;
            cols->names.push_back(c[i]);
            cols->cells.push_back(i);
        }
        return REC_VIEW_OK;
    }
    return rc < 0 ? REC_VIEW_NO_OPEN : REC_VIEW_NO_COLUMNS;
}

template <typename T>
bool read_number(const std::string& s, T* v) {
    const auto r = std::from_chars(s.data(), s.data() + s.size(), *v);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// from_chars takes "nan" and "inf" as numbers; a plot of them shows nothing
// sensible, so they count as unreadable.
bool read_value(const std::string& s, bool as_float, double* y) {
    if (as_float) return read_number(s, y) && std::isfinite(*y);
    long long v = 0;
    if (!read_number(s, &v)) return false;
    *y = static_cast<double>(v);
    return true;
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
    case REC_VIEW_NO_DATA:
        return "The selected file holds no recorded values.";
    default:
        return "Unknown error.";
    }
}

std::string rec_view_summary(size_t points, int skipped) {
    if (points == 0 && skipped <= 0) return rec_view_text(REC_VIEW_NO_DATA);
    if (skipped <= 0) return "";
    if (points == 0)
        return skipped == 1 ? "The one data line could not be read."
                            : "None of the " + std::to_string(skipped) + " data lines could be read.";
    return skipped == 1 ? "1 data line could not be read and was skipped."
                        : std::to_string(skipped) + " data lines could not be read and were skipped.";
}

int rec_view_columns(const char* path, std::vector<std::string>* names) {
    names->clear();
    Reader r;
    column_line cols;
    const int rc = open_file(path, &r);
    if (rc < 0) return rc;
    const int found = find_column_line(&r, &cols);
    *names = std::move(cols.names);
    return found;
}

int rec_view_read(const char* path, int column, std::vector<rec_point>* points, int* is_float, int* skipped) {
    points->clear();
    if (skipped) *skipped = 0;
    Reader r;
    column_line cols;
    int rc = open_file(path, &r);
    if (rc == REC_VIEW_OK) rc = find_column_line(&r, &cols);
    if (rc < 0) return rc;
    if (column < 0 || column >= static_cast<int>(cols.names.size())) return REC_VIEW_BAD_COLUMN;
    const bool as_float = cols.names[static_cast<size_t>(column)].find("(float)") != std::string::npos;
    if (is_float) *is_float = as_float;

    char line[REC_VIEW_LINE];
    const size_t cell = cols.cells[static_cast<size_t>(column)];
    int unread = 0;
    while (static_cast<int>(points->size()) < REC_VIEW_MAX_POINTS &&
           (rc = LineFile_Read(r.lf, line, sizeof line, nullptr)) == 1) {
        if (line[0] != '*') continue;
        const std::vector<std::string> c = cells_of(line);
        int index = 0;
        rec_point p{};
        if (c.size() <= cell || !read_number(c[1], &index) || !read_value(c[cell], as_float, &p.y)) {
            unread++;
            continue;
        }
        p.x = static_cast<int16_t>(index);
        points->push_back(p);
    }
    if (skipped) *skipped = unread;
    if (rc < 0) return REC_VIEW_NO_OPEN;
    return points->empty() ? REC_VIEW_NO_DATA : REC_VIEW_OK;
}
