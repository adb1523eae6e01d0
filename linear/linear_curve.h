// What the linearisation graphs show of a file or a table: the linear error of
// a file's points and the curve of a table. Both graphs run from 0 to 4096 on
// both axes.
#pragma once

#include "linear/linear_file.h"

#include <cstddef>
#include <cstdint>

// Largest deviation of the points from the straight line y = x, in percent of
// 4096: max |y[i] - x[i]| / 40.96 over the n points; 0 for n < 1.
double linear_error(const int* x, const int* y, int n);

// The graph's text for an error, "0.00% linear error": two decimals, rounded,
// with a decimal point whatever the locale. `out` holds `size` bytes (32 are
// plenty). Returns the length, or -1 when it does not fit (out is then empty).
int linear_error_text(double error, char* out, size_t size);

// The curve of a table of LINEAR_POINTS entries, drawn from the end of the
// range down: x[i] = 4096 - 4 i, y[i] = table[1023 - i] >> 3 (0 to 4095 for
// entries 0 to 32767).
void linear_table_curve(const int16_t* table, int* x, int* y);

// The default points shown for a channel without a file: x[i] = y[i] =
// 4096 - 4 i.
void linear_default_points(int* x, int* y);

// The text the default description shows after each label.
constexpr char LINEAR_DEFAULT_DESCR[] = "*****";
