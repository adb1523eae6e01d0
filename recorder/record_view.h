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
constexpr int REC_VIEW_NO_DATA = -5;    // no data line gave a value of the column

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
// `is_float` (may be null) tells which.
//
// Cells are counted with the empty ones, so a column is read from the cell
// its name has in the column line even where a hand-edited line leaves cells
// empty. A data line whose index or chosen cell is not a finite number (an
// empty cell, "nan", "inf") is skipped and counted in `skipped` (may be null).
// REC_VIEW_NO_DATA when no line gave a point.
int rec_view_read(const char* path, int column, std::vector<rec_point>* points, int* is_float,
                  int* skipped = nullptr);

// What the user is told about a reading that gave `points` points and
// skipped `skipped` data lines; empty when all lines were read.
std::string rec_view_summary(size_t points, int skipped);
