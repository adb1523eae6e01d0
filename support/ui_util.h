// Time, date and path helpers of the user-interface layer that need no
// toolkit, so pure code (file formats, settings) can use them too.
#pragma once

// Seconds since an arbitrary fixed point of a monotonic clock; for time-outs
// and rates, never for the time of day.
double Timer();
// The local date as MM-DD-YYYY and the local time as HH:MM:SS; the text stays
// valid until the next call of the same function.
const char* DateStr();
const char* TimeStr();
// Directory of the running executable, without a trailing separator; buf holds
// 260 bytes. Returns 0, or negative when it cannot be found.
int GetProjectDir(char* buf);
// Joins a directory and a file name with one separator into out (260 bytes).
// Returns 0, or negative when the result does not fit (out is then empty).
int MakePathname(const char* dir, const char* file, char* out);
// Splits a path into drive (always empty here), directory with its trailing
// separator, and file name. Any output may be null; each holds 260 bytes.
int SplitPath(const char* path, char* drive, char* dir, char* file);
