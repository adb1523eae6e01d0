// The help on the program's own panels (offscreen): a right click until the help
// is built and its panel displayed (painting comes later, at the next refresh),
// one animation tick with its appends, installing the 151 tooltips, and the CPU
// share of the visualisation running on its 0.1 s timer.
#include "bench/start_program.h"
#include "help/help_panels.h"
#include "tests/measure.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>

namespace {

// A numeric with a visualisation, one without and a panel background, in turn.
void BM_RightClickToHelpBuilt(benchmark::State& state) {
    const struct {
        int* panel;
        int ctrl;
    } clicks[] = {{&graph1, GRAPH1_NUM_MINVALA}, {&graph1, GRAPH1_NUM_RESULTB}, {&tab7, 0}};
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        help_close(1);
        ProcessSystemEvents();
        state.ResumeTiming();
        benchmark::DoNotOptimize(SimulateCtrlEvent(*clicks[i].panel, clicks[i].ctrl, EVENT_RIGHT_CLICK, 0, 0));
        i = (i + 1) % 3;
    }
    help_close(1);
}
BENCHMARK(BM_RightClickToHelpBuilt)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The tick callback: generators, both appends and the eight indicators, with the
// visualisation shown (its painting follows at the next refresh, not counted).
void BM_AnimationTick(benchmark::State& state) {
    SimulateCtrlEvent(graph1, GRAPH1_NUM_CNTRA, EVENT_RIGHT_CLICK, 0, 0);
    SimulateCtrlEvent(graph2, GRAPH2_CMDB_VISUAL, EVENT_COMMIT, 0, 0);
    SetCtrlAttribute(graph3, GRAPH3_TIMER_ANI, ATTR_ENABLED, 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(SimulateCtrlEvent(graph3, GRAPH3_TIMER_ANI, EVENT_TIMER_TICK, 0, 0));
    help_close(1);
}
BENCHMARK(BM_AnimationTick)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// HELP on: all rows get their text (each iteration starts from all off).
void BM_InitTooltips(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        quit_tooltips();
        state.ResumeTiming();
        benchmark::DoNotOptimize(init_tooltips());
    }
    quit_tooltips();
}
BENCHMARK(BM_InitTooltips)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The visualisation left running for a few seconds, as a user reads it: the
// event loop idles between ticks, the charts repaint after each one.
void BM_VisualisationCpu(benchmark::State& state) {
    const double seconds = 5.0;
    for (auto _ : state) {
        SimulateCtrlEvent(graph1, GRAPH1_NUM_VALA, EVENT_RIGHT_CLICK, 0, 0);
        SimulateCtrlEvent(graph2, GRAPH2_CMDB_VISUAL, EVENT_COMMIT, 0, 0);
        const double t0 = now_s(), c0 = cpu_seconds();
        const long p0 = GetPaintCount();
        const int k0 = tick_cntr;
        Delay(seconds);
        const double wall = now_s() - t0;
        state.SetIterationTime(wall);
        state.counters["cpu_share"] = (cpu_seconds() - c0) / wall;
        state.counters["paints_per_s"] = static_cast<double>(GetPaintCount() - p0) / wall;
        state.counters["ticks_per_s"] = static_cast<double>((tick_cntr - k0 + HELP_TICKS) % HELP_TICKS) / wall;
        help_close(1);
    }
}
BENCHMARK(BM_VisualisationCpu)->UseManualTime()->Iterations(1)->Repetitions(3)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (bench_start_program() < 0) {
        std::fprintf(stderr, "the panels did not load\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
