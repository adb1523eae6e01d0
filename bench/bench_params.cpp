// Parameter set costs: a 100-section parameter file written and read back,
// and one refresh of every parameter panel from a record followed by reading
// the panels back (offscreen, on the program's own layouts).
#include "bench/start_program.h"
#include "params/para_file.h"
#include "params/para_gui.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

// Distinct values in every field the panels can hold.
para_record bench_record() {
    para_record r{};
    for (int i = 0; i < para_field_count; i++) para_field_set(&r, i, 3 + i);
    r.timerA = 100;
    r.timerB = 200;
    r.input_sourceB = 0;
    r.out_hold[0].on = 200;
    r.out_hold[1].on = 500;
    r.eval_modeA = 7;
    r.eval_modeB = 13;
    r.osci_skipA = 5;
    r.osci_skipB = 6;
    r.osci_pretrigA = 200;
    r.osci_pretrigB = 300;
    r.scanrate = 30000;
    r.anaout_source = 1;
    r.anaout_switch = 2;
    return r;
}

std::string file_path() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/bench_params_" + std::to_string(::getpid()) + ".ini";
}

void BM_SaveParameterFile(benchmark::State& state) {
    const para_record r = bench_record();
    const std::string path = file_path();
    for (auto _ : state) benchmark::DoNotOptimize(parameter_save2path(path.c_str(), &r, &r, &r));
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveParameterFile)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_LoadParameterFile(benchmark::State& state) {
    const para_record r = bench_record();
    const std::string path = file_path();
    parameter_save2path(path.c_str(), &r, &r, &r);
    para_record back{};
    for (auto _ : state) benchmark::DoNotOptimize(parameter_path2para(path.c_str(), &back));
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadParameterFile)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_UpdateThenAcquire(benchmark::State& state) {
    const para_record r = bench_record();
    for (auto _ : state) {
        para_record shown = r;
        update_PARA(&shown);
        para_record read{};
        benchmark::DoNotOptimize(acquire_PARA(&read, 1));
        // Numeric writes reach their spin boxes at the next refresh; let it run
        // so the deferred work is counted too.
        ProcessSystemEvents();
    }
}
BENCHMARK(BM_UpdateThenAcquire)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (InitUserInterface(&argc, argv) < 0 || bench_start_program() < 0) {
        fprintf(stderr, "bench_params: cannot load the parameter panels\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
