// Numbers on a command line. A word counts only when all of it is the number:
// "12x", "", "0x10" and values out of range are refused rather than read in part.
#pragma once

// A decimal whole number from `lo` to `hi`; `out` is left as it was on refusal.
bool arg_long(const char* s, long lo, long hi, long* out);
// A decimal number of any size (not NaN); the caller checks the range.
bool arg_double(const char* s, double* out);
