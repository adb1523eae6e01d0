#include "support/arg_number.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

bool arg_long(const char* s, long lo, long hi, long* out) {
    if (!s || !*s) return false;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(s, &end, 10);
    if (errno || *end || v < lo || v > hi) return false;
    *out = v;
    return true;
}

bool arg_double(const char* s, double* out) {
    if (!s || !*s) return false;
    char* end = nullptr;
    const double v = std::strtod(s, &end);
    if (*end || std::isnan(v)) return false;
    *out = v;
    return true;
}
