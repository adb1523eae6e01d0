// The linearisation panel's channels: the chosen files, the tables computed
// from them, and what each channel's description box and file-name field show.
#pragma once

#include "linear/linear_file.h"
#include "linear/linear_transfer.h"
#include "support/path_time.h"

#include <cstdint>

// What the panel keeps per channel: the files the user chose (empty when
// none; kept from one run to the next through the program settings file) and
// the tables the last CHECK made, which SEND transfers.
struct linear_state {
    char linear_fileA[UI_MAX_PATH];
    char linear_fileB[UI_MAX_PATH];
    int16_t linear_dataA[LINEAR_POINTS];
    int16_t linear_dataB[LINEAR_POINTS];
};
extern linear_state lins;

// The path buffer of a channel (0 = A, 1 = B).
char* linear_file_of(int channel);

// Background of a description box that shows a file or the defaults; one that
// shows the unit's description, or nothing, is white.
constexpr int LINEAR_BOX_COLOR = (236 << 16) | (233 << 8) | 216;

// Shows a file on channel `channel` (0 = A, 1 = B): its name without directory
// in the file-name field and, on the box colour, each description line behind
// its label; the file's points go to x and y (room for LINEAR_POINTS each)
// when both are given, their number to `npoints` when given.
// With a null path the channel shows the defaults instead: each label followed
// by "*****", "<default transfer curve>" in the file-name field, and the
// straight line as points.
// Returns 1 when something was shown; 0 when the file does not exist (nothing
// changes) or cannot be read (the box says "Could not open specified file!").
int update_linear_info(const char* path, int channel, int* x, int* y, int* npoints = nullptr);

// Shows a description the unit keeps for a channel (0 = A, 1 = B): `text` is a
// block of up to LINEAR_DESCR_BYTES bytes, zero-terminated or not, and
// replaces the channel's description box, which turns white; the file-name
// field says the data comes from the unit's flash memory. Returns 0 for a null
// text, else 1.
int refresh_linear_info(int channel, const char* text);
