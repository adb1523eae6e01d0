// Linearisation data files: opening with the size limit, the number rule, and
// the two readers over one line reader.
#include "linear/linear_file.h"

#include "support/linefile.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <sys/stat.h>

const char* const linfile_descr[LINEAR_DESCR_LINES] = {
    "Range [mm]:    ", "Ser.No.:       ", "Sensortype:    ", "Linearized by: ", "Linearized at: ",
};

namespace {

struct Reader {
    LineFile lf = nullptr;
    ~Reader() { LineFile_Dispose(lf); }
};

// A path that names nothing is a file that is not there; anything else that
// stops stat (a directory without search permission on the way, say) is a
// file that cannot be opened.
int open_path(const char* path, Reader* r) {
    if (!path || !*path) return LINEAR_FILE_MISSING;
    struct stat st;
    if (stat(path, &st) != 0) {
        return errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG ? LINEAR_FILE_MISSING
                                                                             : LINEAR_FILE_NO_OPEN;
    }
    // Only the size of a regular file says anything; the line reader refuses
    // the other kinds.
    if (S_ISREG(st.st_mode) && static_cast<uintmax_t>(st.st_size) > LINEAR_FILE_MAX_BYTES)
        return LINEAR_FILE_TOO_BIG;
    return LineFile_New(path, &r->lf) == 0 ? LINEAR_FILE_OK : LINEAR_FILE_NO_OPEN;
}

int open_mem(const char* bytes, size_t size, Reader* r) {
    if (!bytes && size > 0) return LINEAR_FILE_BAD_ARG;
    if (size > LINEAR_FILE_MAX_BYTES) return LINEAR_FILE_TOO_BIG;
    return LineFile_NewFromMemory(bytes, size, &r->lf) == 0 ? LINEAR_FILE_OK : LINEAR_FILE_NO_OPEN;
}

// A number: blanks, an optional sign, decimal digits, blanks; nothing else.
// False also when it does not fit into [lo, hi].
bool read_number(const char* line, int len, long lo, long hi, long* v) {
    const char* p = line;
    const char* end = line + len;
    while (p < end && linefile_is_blank(*p)) p++;
    while (end > p && linefile_is_blank(end[-1])) end--;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p == end || *p < '0' || *p > '9') return false;
    unsigned long magnitude = 0;
    const auto r = std::from_chars(p, end, magnitude);
    if (r.ec != std::errc() || r.ptr != end) return false;
    // Compared as magnitudes, so that the most negative value of the range fits.
    const unsigned long limit = negative ? 0UL - static_cast<unsigned long>(lo) : static_cast<unsigned long>(hi);
    if (magnitude > limit) return false;
    *v = negative ? static_cast<long>(0UL - magnitude) : static_cast<long>(magnitude);
    return true;
}

int read_info(Reader* r, linear_file_info* out) {
    char line[LINEAR_LINE];
    int len = 0;
    for (int lines = 0; lines < LINEAR_FILE_MAX_LINES && out->ndescr < LINEAR_DESCR_LINES; lines++) {
        const int got = LineFile_Read(r->lf, line, sizeof line, &len);
        if (got < 0) return LINEAR_FILE_NO_OPEN;
        if (got == 0) break;
        long v = 0;
        if (out->npoints < LINEAR_POINTS && read_number(line, len, INT16_MIN, INT16_MAX, &v)) {
            const int i = out->npoints++;
            out->x[i] = 4096 - 4 * i;
            out->y[i] = 4 * static_cast<int>(v);
        } else if (line[0] == 'x') {
            std::memcpy(out->descr[out->ndescr++], line + 1, static_cast<size_t>(len)); // with the zero
        } else {
            out->skipped++;
        }
    }
    return LINEAR_FILE_OK;
}

int read_values(Reader* r, int n, int* values, int* count) {
    char line[LINEAR_LINE];
    int len = 0;
    while (*count < n) {
        const int got = LineFile_Read(r->lf, line, sizeof line, &len);
        if (got < 0) return LINEAR_FILE_NO_OPEN;
        if (got == 0 || len == 0) break;
        long v = 0;
        if (!read_number(line, len, INT_MIN, INT_MAX, &v)) return LINEAR_FILE_NOT_NUMBER;
        values[(*count)++] = static_cast<int>(v);
    }
    return LINEAR_FILE_OK;
}

int finish_info(int rc, linear_file_info* out) {
    if (rc != LINEAR_FILE_OK) std::memset(out, 0, sizeof *out);
    return rc;
}

} // namespace

int linear_file_read_info(const char* path, linear_file_info* out) {
    if (!out) return LINEAR_FILE_BAD_ARG;
    std::memset(out, 0, sizeof *out);
    Reader r;
    int rc = open_path(path, &r);
    if (rc == LINEAR_FILE_OK) rc = read_info(&r, out);
    return finish_info(rc, out);
}

int linear_file_read_info_mem(const char* bytes, size_t size, linear_file_info* out) {
    if (!out) return LINEAR_FILE_BAD_ARG;
    std::memset(out, 0, sizeof *out);
    Reader r;
    int rc = open_mem(bytes, size, &r);
    if (rc == LINEAR_FILE_OK) rc = read_info(&r, out);
    return finish_info(rc, out);
}

int linear_file_read_values(const char* path, int n, int* values, int* count) {
    if (!values || !count || n < 1 || n > LINEAR_FILE_MAX_LINES) return LINEAR_FILE_BAD_ARG;
    *count = 0;
    Reader r;
    const int rc = open_path(path, &r);
    return rc == LINEAR_FILE_OK ? read_values(&r, n, values, count) : rc;
}

int linear_file_read_values_mem(const char* bytes, size_t size, int n, int* values, int* count) {
    if (!values || !count || n < 1 || n > LINEAR_FILE_MAX_LINES) return LINEAR_FILE_BAD_ARG;
    *count = 0;
    Reader r;
    const int rc = open_mem(bytes, size, &r);
    return rc == LINEAR_FILE_OK ? read_values(&r, n, values, count) : rc;
}
