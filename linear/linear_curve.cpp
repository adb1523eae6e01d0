// Linear error and table curves.
#include "linear/linear_curve.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

double linear_error(const int* x, const int* y, int n) {
    long worst = 0;
    for (int i = 0; i < n; i++) worst = std::max(worst, std::labs(static_cast<long>(y[i]) - x[i]));
    return static_cast<double>(worst) / 40.96;
}

int linear_error_text(double error, char* out, size_t size) {
    static const char suffix[] = "% linear error";
    if (!out || size == 0) return -1;
    out[0] = 0;
    // to_chars, unlike printf, never takes the decimal comma of the user's locale.
    char number[32];
    const auto r = std::to_chars(number, number + sizeof number, error, std::chars_format::fixed, 2);
    if (r.ec != std::errc()) return -1;
    const size_t len = static_cast<size_t>(r.ptr - number);
    if (len + sizeof suffix > size) return -1;
    std::memcpy(out, number, len);
    std::memcpy(out + len, suffix, sizeof suffix);
    return static_cast<int>(len + sizeof suffix - 1);
}

void linear_table_curve(const int16_t* table, int* x, int* y) {
    for (int i = 0; i < LINEAR_POINTS; i++) {
        x[i] = 4096 - 4 * i;
        y[i] = table[LINEAR_POINTS - 1 - i] >> 3;
    }
}

void linear_default_points(int* x, int* y) {
    for (int i = 0; i < LINEAR_POINTS; i++) x[i] = y[i] = 4096 - 4 * i;
}
