// Time, date and path helpers. They need no toolkit, so pure code (file
// formats, settings) and the user-interface layer share them; the names are
// those the user-interface layer has always offered.
#pragma once

#include <climits>

// Size of every path buffer: the system's limit for a path with its closing
// zero. A path that does not fit is refused, never cut, since a cut path names
// another file.
enum { UI_MAX_PATH = PATH_MAX };

// Seconds since an arbitrary fixed point of a monotonic clock; for time-outs
// and rates, never for the time of day.
double Timer();
// The local date as MM-DD-YYYY and the local time as HH:MM:SS; the text stays
// valid until the next call of the same function.
const char* DateStr();
const char* TimeStr();
// Directory of the running executable, without a trailing separator; buf holds
// UI_MAX_PATH bytes. Returns 0, or negative when it cannot be found.
int GetProjectDir(char* buf);
// Joins a directory and a file name with one separator into out (UI_MAX_PATH
// bytes).
// Returns 0, or negative when the result does not fit (out is then empty).
int MakePathname(const char* dir, const char* file, char* out);
// Splits a path into drive (always empty here), directory with its trailing
// separator, and file name. Any output may be null; each holds UI_MAX_PATH
// bytes. Returns 0, or negative when a part does not fit (the outputs are then
// empty).
int SplitPath(const char* path, char* drive, char* dir, char* file);
