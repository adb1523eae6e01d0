// Linearisation: what CHECK and LOAD cost on the GUI thread before anything is
// painted. A table from a file (read, fit, 1024 cubics), the info reader on a
// regular file of 1024 readings and five description lines, and junk files
// that must not hold the panel up.
#include "linear/linear_curve.h"
#include "linear/linear_file.h"
#include "linear/linear_math.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <unistd.h>

namespace {

std::string temp_path(const std::string& tag) {
    return "/tmp/bench_linear_" + std::to_string(getpid()) + "_" + tag + ".txt";
}

// A regular file: 1024 readings from the end of the range down, then the
// five description lines (1029 lines).
std::string sensor_file(const std::string& tag, double (*f)(double)) {
    std::string text;
    for (int k = 0; k < 1024; k++)
        text += std::to_string(std::lround(1023.0 * f(1.0 - k / 1024.0))) + "\r\n";
    text += "x0-200\r\nx123456\r\nxLVDT 200\r\nxJ. Doe\r\nx01-02-2024\r\n";
    const std::string path = temp_path(tag);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

struct Files {
    std::string square = sensor_file("square", [](double p) { return p * p; });
    std::string s_curve = sensor_file("s", [](double p) { return 0.5 - 0.5 * std::cos(M_PI * p); });
    std::string root = sensor_file("root", [](double p) { return std::sqrt(p); });
    std::string junk_big = temp_path("junk50");
    std::string junk_cap = temp_path("junk1");
    std::string newlines_cap = temp_path("newlines1");
    Files() {
        std::mt19937 rng(11);
        std::string junk(LINEAR_FILE_MAX_BYTES, '\0');
        for (char& c : junk) c = static_cast<char>(rng());
        std::ofstream(junk_cap, std::ios::binary) << junk;
        std::ofstream(newlines_cap, std::ios::binary) << std::string(LINEAR_FILE_MAX_BYTES, '\n');
        std::ofstream big(junk_big, std::ios::binary);
        for (int i = 0; i < 50; i++) big << junk; // 50 MB of real bytes, not a sparse file
    }
    ~Files() {
        for (const std::string* p : {&square, &s_curve, &root, &junk_big, &junk_cap, &newlines_cap})
            std::remove(p->c_str());
    }
};

Files& files() {
    static Files f;
    return f;
}

void BM_GetLinearData(benchmark::State& state) {
    const std::string& path = state.range(0) == 0 ? files().square : state.range(0) == 1 ? files().s_curve
                                                                                         : files().root;
    int16_t table[1024];
    for (auto _ : state) {
        if (get_linear_data(path.c_str(), 1024, LINEAR_FULL_SCALE, table, 1024) != LINEAR_TABLE_OK)
            state.SkipWithError("no table");
        benchmark::DoNotOptimize(table);
    }
}
BENCHMARK(BM_GetLinearData)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Repetitions(20)
    ->ReportAggregatesOnly(true);

// CHECK computes both channels before painting.
void BM_CheckTwoFiles(benchmark::State& state) {
    int16_t a[1024], b[1024];
    auto info = std::make_unique<linear_file_info>();
    for (auto _ : state) {
        linear_file_read_info(files().square.c_str(), info.get());
        get_linear_data(files().square.c_str(), 1024, LINEAR_FULL_SCALE, a, 1024);
        linear_file_read_info(files().s_curve.c_str(), info.get());
        get_linear_data(files().s_curve.c_str(), 1024, LINEAR_FULL_SCALE, b, 1024);
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
    }
}
BENCHMARK(BM_CheckTwoFiles)->Unit(benchmark::kMillisecond)->Repetitions(20)->ReportAggregatesOnly(true);

// LOAD: the info reader and the linear error of a 1029-line file.
void BM_LoadFile(benchmark::State& state) {
    auto info = std::make_unique<linear_file_info>();
    char text[32];
    for (auto _ : state) {
        if (linear_file_read_info(files().square.c_str(), info.get()) != LINEAR_FILE_OK || info->npoints != 1024)
            state.SkipWithError("not read");
        linear_error_text(linear_error(info->x, info->y, info->npoints), text, sizeof text);
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMicrosecond)->Repetitions(20)->ReportAggregatesOnly(true);

// Junk: 50 MB refused by its size; 1 MiB of random bytes and 1 MiB of line
// ends, the worst that is read at all, through both readers.
void BM_Junk(benchmark::State& state) {
    const std::string& path = state.range(0) == 0 ? files().junk_big : state.range(0) == 1 ? files().junk_cap
                                                                                           : files().newlines_cap;
    auto info = std::make_unique<linear_file_info>();
    int16_t table[1024];
    for (auto _ : state) {
        benchmark::DoNotOptimize(linear_file_read_info(path.c_str(), info.get()));
        benchmark::DoNotOptimize(get_linear_data(path.c_str(), 1024, LINEAR_FULL_SCALE, table, 1024));
    }
}
BENCHMARK(BM_Junk)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)->Repetitions(20)
    ->ReportAggregatesOnly(true);

// The root search alone: the 1024 cubics of one table.
void BM_Roots1024(benchmark::State& state) {
    const double c[4] = {1.0575489405970446e-15, 0.99994743233816707, 0.0020065959327754661, -7.94e-06};
    complex_num roots[3];
    for (auto _ : state) {
        for (int j = 0; j < 1024; j++) {
            const double level[4] = {c[0], c[1], c[2], c[3] - j / 1024.0};
            benchmark::DoNotOptimize(CxPolyRoots(level, 4, roots));
        }
    }
}
BENCHMARK(BM_Roots1024)->Unit(benchmark::kMillisecond)->Repetitions(20)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
