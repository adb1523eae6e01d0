// Ini store: building, writing and reading a file shaped like a parameter file
// (100 sections; a value in each, limits in most, legends and condition bits in
// some), which the program saves and loads on every SEND or READ to a file.
#include "support/inifile.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string section_name(int i) {
    return "ChanA Parameter " + std::to_string(i);
}

IniText build_parameter_store() {
    IniText s = Ini_New(0);
    for (int i = 0; i < 100; i++) {
        const std::string sec = section_name(i);
        Ini_PutInt(s, sec.c_str(), "Value", i * 37 - 1000);
        if (i % 4 != 3) {
            Ini_PutInt(s, sec.c_str(), "Max. value", 4095);
            Ini_PutInt(s, sec.c_str(), "Min. value", -4095);
        }
        if (i % 10 == 0) Ini_PutString(s, sec.c_str(), "Option", "0: timer deactivated, x: timer activated");
        if (i % 10 == 5) {
            for (int bit = 0; bit < 16; bit++) {
                Ini_PutBoolean(s, sec.c_str(), ("Event bit " + std::to_string(bit)).c_str(), bit & 1);
            }
        }
    }
    return s;
}

// Reads back what the program reads: every value and every condition bit.
int read_back(IniText s) {
    int sum = 0;
    for (int i = 0; i < 100; i++) {
        const std::string sec = section_name(i);
        int v = 0;
        if (Ini_GetInt(s, sec.c_str(), "Value", &v) > 0) sum += v;
        if (i % 10 == 5) {
            for (int bit = 0; bit < 16; bit++) {
                if (Ini_GetBoolean(s, sec.c_str(), ("Event bit " + std::to_string(bit)).c_str(), &v) > 0)
                    sum += v;
            }
        }
    }
    return sum;
}

std::string temp_path() {
    char dir[] = "/tmp/bench_ini_XXXXXX";
    if (!mkdtemp(dir)) abort();
    return std::string(dir) + "/params.ini";
}

void BM_IniBuildStore(benchmark::State& state) {
    for (auto _ : state) {
        IniText s = build_parameter_store();
        benchmark::DoNotOptimize(s);
        Ini_Dispose(s);
    }
}
BENCHMARK(BM_IniBuildStore);

void BM_IniWriteFile(benchmark::State& state) {
    IniText s = build_parameter_store();
    const std::string path = temp_path();
    for (auto _ : state) {
        if (Ini_WriteToFile(s, path.c_str()) != 0) state.SkipWithError("write failed");
    }
    std::string text;
    Ini_WriteToText(s, &text);
    state.counters["file_bytes"] = static_cast<double>(text.size());
    Ini_Dispose(s);
    unlink(path.c_str());
    rmdir(path.substr(0, path.rfind('/')).c_str());
}
BENCHMARK(BM_IniWriteFile)->Unit(benchmark::kMicrosecond);

// Argument 0: reading only; 1: reading and getting every value.
void BM_IniReadFile(benchmark::State& state) {
    IniText s = build_parameter_store();
    const std::string path = temp_path();
    Ini_WriteToFile(s, path.c_str());
    Ini_Dispose(s);
    for (auto _ : state) {
        IniText r = Ini_New(0);
        if (Ini_ReadFromFile(r, path.c_str()) != 0) state.SkipWithError("read failed");
        if (state.range(0)) benchmark::DoNotOptimize(read_back(r));
        Ini_Dispose(r);
    }
    unlink(path.c_str());
    rmdir(path.substr(0, path.rfind('/')).c_str());
}
BENCHMARK(BM_IniReadFile)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
