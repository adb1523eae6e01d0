#include "recorder/record_file.h"

#include "support/path_time.h"

#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

const char rec_file_title[] = "KORMELAN-3 record file:\n";

namespace {

enum { REC_COL_EMPTY, REC_COL_RESULT, REC_COL_INT32, REC_COL_INT16 };

// The fields after index and timestamp, in file order: their names make the
// column line and their sources the data lines, so the two cannot disagree.
// The counters keep their full 32 bits although their names say "(short)".
struct rec_column {
    const char* name;
    int kind;
    int word; // first word in the measurement record
};
const rec_column rec_columns[] = {
    {"", REC_COL_EMPTY, 0},
    {"result A (float)", REC_COL_RESULT, 0},
    {"counter A (short)", REC_COL_INT32, 2},
    {"raw A (short)", REC_COL_INT16, 4},
    {"max{raw A} (short)", REC_COL_INT16, 5},
    {"val A (short)", REC_COL_INT16, 6},
    {"min{val A} (short)", REC_COL_INT16, 10},
    {"max{val A} (short)", REC_COL_INT16, 11},
    {"filtered{val A} (short)", REC_COL_INT16, 7},
    {"derivated{val A} (short)", REC_COL_INT16, 8},
    {"smoothed{val A} (short)", REC_COL_INT16, 9},
    {"", REC_COL_EMPTY, 0},
    {"result B (float)", REC_COL_RESULT, 16},
    {"counter B (short)", REC_COL_INT32, 18},
    {"raw B (short)", REC_COL_INT16, 20},
    {"max{raw B} (short)", REC_COL_INT16, 21},
    {"val B (short)", REC_COL_INT16, 22},
    {"min{val B} (short)", REC_COL_INT16, 26},
    {"max{val B} (short)", REC_COL_INT16, 27},
    {"filtered{val B} (short)", REC_COL_INT16, 23},
    {"derivated{val B} (short)", REC_COL_INT16, 24},
    {"smoothed{val B} (short)", REC_COL_INT16, 25},
};
constexpr int rec_column_count = sizeof rec_columns / sizeof rec_columns[0];
static_assert(rec_column_count + 3 == REC_FILE_FIELDS, "marker, index and timestamp come first");

// Low word first, as the record carries 32-bit values.
int32_t rec_word32(const uint16_t* r, int w) {
    return static_cast<int32_t>(static_cast<uint32_t>(r[w]) | static_cast<uint32_t>(r[w + 1]) << 16);
}

void put_int(std::string& s, long long v) {
    char b[24];
    const auto r = std::to_chars(b, b + sizeof b, v);
    s.append(b, r.ptr);
}

// to_chars never consults the locale, unlike printf's "%f".
void put_fixed(std::string& s, double v) {
    char b[384];
    const auto r = std::to_chars(b, b + sizeof b, v, std::chars_format::fixed, 6);
    s.append(b, r.ptr);
}

// Panel texts are typed by users: a ';' would shift the fields of the line, a
// line break would split it, and the viewer and spreadsheets would misread both.
void put_text(std::string& s, const char* t) {
    for (; t && *t; t++) {
        char c = *t;
        if (c == ';')
            c = ',';
        else if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
        s += c;
    }
}

int write_all(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return REC_ERR;
        done += static_cast<size_t>(n);
    }
    return 0;
}

// Appends `text` to the existing file `path`. No O_CREAT: a missing file must
// stay missing. O_NONBLOCK: a FIFO without a reader fails at once instead of
// freezing the RUN loop. A failed write is cut back to the old end, so the file
// never ends in half a line that the viewer would misread.
int append_to_file(const char* path, const std::string& text) {
    if (!path || !*path) return REC_ERR;
    const int fd = ::open(path, O_WRONLY | O_APPEND | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return REC_ERR;
    struct stat st;
    const off_t old_end = (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) ? st.st_size : -1;
    int rc = write_all(fd, text);
    if (rc != 0 && old_end >= 0 && ftruncate(fd, old_end) != 0) rc = REC_ERR;
    if (::close(fd) != 0) rc = REC_ERR;
    return rc;
}

void put_mode_line(std::string& s, int mode, int max_values, int interval) {
    switch (mode) {
    case REC_AUTO_LIMITED:
        if (interval < 1) return;
        s += "Recording mode:; AUTO LIMITED: one value each ";
        if (interval > 1) {
            put_int(s, interval);
            s += ' ';
        }
        s += "sec., ";
        put_int(s, max_values);
        s += " values max;\n";
        return;
    case REC_AUTO_UNLIMITED:
        if (interval < 1) return;
        s += "Recording mode:; AUTO UNLIMITED: one value each ";
        if (interval > 1) {
            put_int(s, interval);
            s += ' ';
        }
        s += "sec.;\n";
        return;
    case REC_MANUAL:
        s += "Recording mode:; MANUAL;\n";
        return;
    case REC_AUTOTRIGGERED:
        s += "Recording mode:; AUTOTRIGGERED;\n";
        return;
    default:
        return;
    }
}

} // namespace

int print_file_start(const char* path) {
    if (!path || !*path) return REC_ERR;
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return REC_ERR;
    int rc = write_all(fd, rec_file_title);
    // Like the other writers, never leave half a line: the file stays empty.
    if (rc != 0 && ftruncate(fd, 0) != 0) rc = REC_ERR;
    if (::close(fd) != 0) rc = REC_ERR;
    return rc;
}

int print_file_header(const char* path, int mode, int max_values, int interval, const rec_header_info* info) {
    static const rec_header_info none = {};
    if (!info) info = &none;
    std::string s = "\nFile created:; ";
    s += info->date ? info->date : DateStr();
    s += "; ";
    s += info->time ? info->time : TimeStr();
    s += ";\nRS232 connection:; COM";
    put_int(s, info->com_port);
    s += ";\nRS232 format:; b:";
    put_int(s, info->baud);
    s += " d:8 s:1 p:None;\nRecording software:; ";
    put_text(s, info->software);
    s += ";\nControl unit version:; ";
    put_text(s, info->unit_version);
    s += ";\nPanel ID:; ";
    put_text(s, info->panel_id && *info->panel_id ? info->panel_id : "No ID entered");
    s += ";\n";
    put_mode_line(s, mode, max_values, interval);
    s += "\n#;index;timestamp;";
    for (int i = 0; i < rec_column_count; i++) {
        s += rec_columns[i].name;
        s += ';';
    }
    s += '\n';
    return append_to_file(path, s);
}

int print_file_dataset(const char* path, int index, const uint16_t* record, const char* time) {
    if (!record) return REC_ERR;
    std::string s = "*;";
    s.reserve(160);
    put_int(s, index);
    s += ';';
    put_text(s, time ? time : TimeStr());
    s += ';';
    for (int i = 0; i < rec_column_count; i++) {
        const rec_column& c = rec_columns[i];
        switch (c.kind) {
        case REC_COL_RESULT:
            put_fixed(s, rec_word32(record, c.word) / 65536.0);
            break;
        case REC_COL_INT32:
            put_int(s, rec_word32(record, c.word));
            break;
        case REC_COL_INT16:
            put_int(s, static_cast<int16_t>(record[c.word]));
            break;
        default:
            break;
        }
        s += ';';
    }
    s += '\n';
    return append_to_file(path, s);
}
