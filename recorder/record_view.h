// Reading a record file back for the viewer: the names of its data columns and
// the points of one column over the record index. The file is read as the
// writers produce it, also while a recording is still appending to it.
#pragma once

#include <string>
#include <vector>

constexpr int REC_VIEW_LINE = 512;         // longer lines are cut after 511 characters
constexpr int REC_VIEW_MAX_POINTS = 32767; // further data lines are ignored

constexpr int REC_VIEW_OK = 0;
constexpr int REC_VIEW_NO_FILE = -1;    // no file chosen, or it does not exist
constexpr int REC_VIEW_NO_OPEN = -2;    // it exists but cannot be read
constexpr int REC_VIEW_NO_COLUMNS = -3; // no column line: nothing to show
constexpr int REC_VIEW_BAD_COLUMN = -4; // the column asked for is not in the file

// The popup message of a code ("File error!" is the title of all of them),
// or an empty text for REC_VIEW_OK.
const char* rec_view_text(int code);

// The data column names of the first column line: its non-empty fields after
// the marker, index and timestamp, so that name k belongs to column k.
int rec_view_columns(const char* path, std::vector<std::string>* names);

struct rec_point {
    int x;    // record index, read as a 16-bit number
    double y; // the column's value
};
// The points of data column `column` from every data line after the first
// column line; later header blocks are skipped, so several recordings share
// one index range. A column named "(float)" is read as a decimal number, any
// other as an integer, in full width: counters are written with 32 bits.
// `is_float` (may be null) tells which. Lines whose fields do not read are skipped.
int rec_view_read(const char* path, int column, std::vector<rec_point>* points, int* is_float);
