// Record files: semicolon-separated text that spreadsheets open directly and
// the recorder's viewer reads back. A file starts with one title line; every
// recording appends a header block and then one data line per stored record.
//
// Each writer opens the file, appends, and closes it again, so the file is
// complete on disk after every line and can be viewed while a recording runs.
// The writers never create a file: a missing file means the user's choice was
// lost (deleted, moved), and writing elsewhere would hide that.
//
// Numbers are written with a point as decimal separator whatever the locale,
// so that writer and viewer always agree.
#pragma once

#include <cstdint>

constexpr int REC_RECORD_WORDS = 36;  // words of a measurement record
constexpr int REC_FILE_FIELDS = 25;   // fields of the column line and of every data line
constexpr int REC_MAX_VALUES = 32767; // records of one recording in the open-ended modes
constexpr int REC_ERR = -1;           // no file, or the file could not be written

// Recorder modes as the mode ring gives them.
enum { REC_AUTO_LIMITED = 0, REC_AUTO_UNLIMITED = 1, REC_MANUAL = 2, REC_AUTOTRIGGERED = 3 };

extern const char rec_file_title[]; // "KORMELAN-3 record file:\n"

// What a header block tells about the recording besides its mode. The texts may
// be null; a null date or time takes the current local one.
struct rec_header_info {
    const char* date;         // MM-DD-YYYY
    const char* time;         // HH:MM:SS
    int com_port;             // of the connection record, written for TCP links too
    int baud;                 // bit/s
    const char* software;     // the program's version text
    const char* unit_version; // the unit's version text
    const char* panel_id;     // the sensor's name; null or empty gives "No ID entered"
};

// Starts `path` anew: creates or empties it and writes the title line.
// Returns 0, or REC_ERR when it cannot be written (the file is then left
// empty where the system allows).
int print_file_start(const char* path);

// Appends a header block for a recording in `mode` (0 to 3) with at most
// `max_values` records, one each `interval` seconds. Returns 0, or REC_ERR when
// the path is null, the file is missing (nothing is created then) or the block
// could not be written completely (the file is then cut back to its old end
// where the system allows).
int print_file_header(const char* path, int mode, int max_values, int interval, const rec_header_info* info);

// Appends the data line of `record` (REC_RECORD_WORDS words as received) with
// running number `index`; `time` is HH:MM:SS, null for now. Returns as
// print_file_header.
int print_file_dataset(const char* path, int index, const uint16_t* record, const char* time = nullptr);
