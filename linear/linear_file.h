// Linearisation data files: the two readers.
//
// A file holds 1024 readings of a sensor, one decimal integer per line, taken
// at equidistant positions from the end of the measuring range (4096 on the
// 12-bit scale) down to its start (4), followed by up to five description lines
// that begin with a lower-case "x" (range, serial number, sensor type, who
// linearised it and when). The system only reads this format.
//
// Two readers look at a file differently. The info reader shows a file: it
// takes what it can, skipping lines that are not numbers, so a header or a
// gap still gives a curve. The value reader feeds the table computation: every
// line up to the n-th must be a number, anything else fails.
//
// Both readers follow the same line rules, so that files written on other
// systems read alike: a line ends in LF, CR LF, CR or a zero byte; blanks and
// tabs around a number are allowed; a line is read up to 255 characters and
// the rest of a longer line is dropped, never read as a further line. A number
// is an optional sign and decimal digits, nothing else ("12abc", "0x10" and
// "1.5" are not numbers).
//
// Limits: a file larger than LINEAR_FILE_MAX_BYTES is refused before anything
// is read (a regular file is about 6 kB), and the info reader stops after
// LINEAR_FILE_MAX_LINES lines; the value reader never reads more lines than
// values asked for. So junk of any size costs a few milliseconds at most.
// Only regular files are read: a directory, a named pipe or a device counts as
// a file that cannot be opened, and is refused without waiting for a writer.
//
// Each reader exists over a path and over a block of memory; both run the same
// code, so tests and fuzzers reach exactly what reads a file.
#pragma once

#include <cstddef>

constexpr int LINEAR_POINTS = 1024;     // readings of a file, entries of a table
constexpr int LINEAR_DESCR_LINES = 5;   // description lines shown
constexpr int LINEAR_LINE = 256;        // line buffer: 255 characters and the zero
constexpr int LINEAR_FILE_MAX_LINES = 4096;
constexpr size_t LINEAR_FILE_MAX_BYTES = size_t{1} << 20;

// Reader status codes.
constexpr int LINEAR_FILE_OK = 0;
constexpr int LINEAR_FILE_MISSING = -1;    // no path, or nothing of that name
constexpr int LINEAR_FILE_NO_OPEN = -2;    // there, but not a readable regular file
constexpr int LINEAR_FILE_TOO_BIG = -3;    // more than LINEAR_FILE_MAX_BYTES
constexpr int LINEAR_FILE_NOT_NUMBER = -4; // value reader: a line before the n-th is no number
constexpr int LINEAR_FILE_BAD_ARG = -5;    // null output, or a count out of range

// Labels of the five description lines, 15 characters each; the description
// box shows label k followed by the text of the k-th description line.
extern const char* const linfile_descr[LINEAR_DESCR_LINES];

// What the info reader takes from a file.
struct linear_file_info {
    int npoints;          // points read, 0 to LINEAR_POINTS
    int x[LINEAR_POINTS]; // 4096 - 4 i: the position of reading i on the 12-bit scale
    // 4 x reading i: the 10-bit reading on the 12-bit scale. Kept in int, since
    // a reading of 8192 or more would wrap in 16 bits.
    int y[LINEAR_POINTS];
    int ndescr;                                 // description lines read, 0 to 5
    char descr[LINEAR_DESCR_LINES][LINEAR_LINE]; // text after the "x", as in the file
    int skipped;                                // lines that were neither a point nor a description
};

// The info reader. Reads lines until the end of the file, until the fifth
// description line, or until LINEAR_FILE_MAX_LINES lines. While fewer than
// LINEAR_POINTS points are collected, a line holding a number in the 16-bit
// range gives the next point; numbers outside that range, empty lines and text
// are skipped. A line beginning with "x" is the next description line (also
// among the data lines).
//
// Returns LINEAR_FILE_OK, or LINEAR_FILE_MISSING, LINEAR_FILE_NO_OPEN,
// LINEAR_FILE_TOO_BIG, LINEAR_FILE_BAD_ARG; on failure `out` is emptied.
int linear_file_read_info(const char* path, linear_file_info* out);
int linear_file_read_info_mem(const char* bytes, size_t size, linear_file_info* out);

// The value reader. Reads lines while fewer than `n` values were read and the
// line is not empty (an empty line ends the data, as the end of the file
// does); each such line must hold a number in the 32-bit range.
// `values` holds n entries; `*count` receives the number of values read, also
// on failure. `n` lies in 1 to LINEAR_FILE_MAX_LINES.
//
// Returns LINEAR_FILE_OK (check *count against n: a short file is not an
// error of the reader), LINEAR_FILE_NOT_NUMBER, or the open failures above.
int linear_file_read_values(const char* path, int n, int* values, int* count);
int linear_file_read_values_mem(const char* bytes, size_t size, int n, int* values, int* count);
