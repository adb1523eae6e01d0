// Fuzz target for the linearisation file readers and the table behind them.
//
// The input is a linearisation data file. Both readers read it through the
// same code as a file on disk, and the table is computed from it. For any
// input: the info reader stays within its counts and its points lie where
// they must; a description holds no line end; the value reader's count never
// exceeds what was asked; a table that is reported made lies within the full
// scale, and a failure leaves the table untouched.
#include "linear/linear_file.h"
#include "linear/linear_math.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);

    auto info = std::make_unique<linear_file_info>();
    check(linear_file_read_info_mem(bytes, size, info.get()) == LINEAR_FILE_OK);
    check(info->npoints >= 0 && info->npoints <= LINEAR_POINTS);
    check(info->ndescr >= 0 && info->ndescr <= LINEAR_DESCR_LINES);
    for (int i = 0; i < info->npoints; i++) {
        check(info->x[i] == 4096 - 4 * i);
        check(info->y[i] % 4 == 0 && info->y[i] >= 4 * -32768 && info->y[i] <= 4 * 32767);
    }
    for (int k = 0; k < info->ndescr; k++) {
        const size_t len = strnlen(info->descr[k], LINEAR_LINE);
        check(len < LINEAR_LINE - 1);
        check(!std::memchr(info->descr[k], '\n', len) && !std::memchr(info->descr[k], '\r', len));
    }

    int values[LINEAR_POINTS];
    int count = -1;
    const int rc = linear_file_read_values_mem(bytes, size, LINEAR_POINTS, values, &count);
    check(rc == LINEAR_FILE_OK || rc == LINEAR_FILE_NOT_NUMBER);
    check(count >= 0 && count <= LINEAR_POINTS);

    // Short inputs rarely hold 1024 lines: fewer readings make a smaller fit.
    // A table of 16 levels runs the same code as one of 1024, in a 64th of
    // the time: each level solves its own cubic, which is most of the cost.
    const int n = count >= 4 ? count : 4;
    int16_t table[16];
    std::memset(table, 0x5A, sizeof table);
    const int made = get_linear_data_mem(bytes, size, n, LINEAR_FULL_SCALE, table, 16, nullptr);
    if (made == LINEAR_TABLE_OK) {
        for (int16_t v : table) check(v >= 0 && v <= LINEAR_FULL_SCALE);
    } else {
        check(made < 0);
        for (int16_t v : table) check(v == 0x5A5A);
    }
    return 0;
}
