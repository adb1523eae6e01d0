// Fuzz target for the record viewer.
//
// The viewer takes a path, so the input is put into a memory file (memfd) and
// handed over as /proc/self/fd/N: the bytes go through the very code that reads
// record files on disk, line reader included. The first byte picks the columns
// to read; the rest is the file.
//
// Properties:
// - the column names are the non-empty cells of the first column line after its
//   first three cells: none empty, none with a ';' or a line end, and no more
//   of them than the line has cells;
// - a column outside the names is refused, and only with names to refuse it;
// - every point has a finite value, an integral one unless the column is a
//   "(float)" column, and there are at most 32767 points;
// - "no data" comes exactly when no point was read, and the summary for the
//   result never crashes.
#include "fuzz/fuzz_input.h"
#include "recorder/record_view.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace {

struct MemoryFile {
    int fd = -1;
    char path[64] = "";
    MemoryFile() {
        fd = memfd_create("fuzz_record_view", MFD_CLOEXEC);
        check(fd >= 0);
        std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
    }
    void put(const uint8_t* data, size_t size) {
        check(ftruncate(fd, 0) == 0);
        size_t done = 0;
        while (done < size) {
            const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
            check(n > 0);
            done += static_cast<size_t>(n);
        }
    }
};

void check_column(const char* path, int column, const std::vector<std::string>& names, int names_rc) {
    std::vector<rec_point> points{{1, 2.0}};
    int is_float = -7;
    int skipped = -7;
    const int rc = rec_view_read(path, column, &points, &is_float, &skipped);
    check(skipped >= 0);
    if (names_rc != REC_VIEW_OK) {
        check(rc == names_rc && points.empty());
        return;
    }
    if (column < 0 || column >= static_cast<int>(names.size())) {
        check(rc == REC_VIEW_BAD_COLUMN && points.empty());
        return;
    }
    check(rc == REC_VIEW_OK || rc == REC_VIEW_NO_DATA);
    check((rc == REC_VIEW_NO_DATA) == points.empty());
    check(is_float == (names[column].find("(float)") != std::string::npos));
    check(points.size() <= static_cast<size_t>(REC_VIEW_MAX_POINTS));
    for (const rec_point& p : points) {
        check(std::isfinite(p.y));
        if (!is_float) check(p.y == std::floor(p.y));
        check(p.x >= -32768 && p.x <= 32767);
    }
    check(!rec_view_summary(points.size(), skipped).empty() || (skipped == 0 && !points.empty()));
    check(rec_view_text(rc) != nullptr);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile file;
    if (size == 0) return 0;
    const uint8_t pick = data[0];
    file.put(data + 1, size - 1);

    std::vector<std::string> names{"stale"};
    const int names_rc = rec_view_columns(file.path, &names);
    check(names_rc == REC_VIEW_OK || names_rc == REC_VIEW_NO_COLUMNS);
    if (names_rc != REC_VIEW_OK) check(names.empty());
    check(names.size() <= static_cast<size_t>(REC_VIEW_LINE / 2));
    for (const std::string& n : names)
        check(!n.empty() && n.find_first_of(";\r\n") == std::string::npos &&
              n.find('\0') == std::string::npos);

    // Column -1, one past the names, and two chosen by the input.
    const int count = static_cast<int>(names.size());
    check_column(file.path, -1 - (pick & 1), names, names_rc);
    check_column(file.path, count, names, names_rc);
    check_column(file.path, count ? pick % count : 0, names, names_rc);
    check_column(file.path, count ? (pick / 7) % count : 0, names, names_rc);
    return 0;
}
