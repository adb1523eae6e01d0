// The analog output on the general settings panel (offscreen, on the program's
// own layouts): what a change of the scale list costs up to the point where the
// graph is left to paint (four rows, the view's numbers, the numerics, the
// curve and its marker lines handed to the graph), and how many repaints of
// the transfer graph one change causes.
#include "bench/start_program.h"
#include "params/para_record.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

int preset = 2;

// "ZOOM TOLERANCE" and "REF -> 5V, Gain:x2" in turn, so every change is one.
void change_scale() {
    preset = preset == 2 ? 4 : 2;
    SetCtrlVal(tab7, TAB7_RING_ANAOUTSCALE, preset);
    SimulateCtrlEvent(tab7, TAB7_RING_ANAOUTSCALE, EVENT_COMMIT, 0, 0);
}

void BM_ScaleChangeBeforePainting(benchmark::State& state) {
    int n = 0;
    for (auto _ : state) {
        change_scale();
        // Repaints belong to the event loop, not to the change: done untimed.
        if (++n % 100 == 0) {
            state.PauseTiming();
            ProcessSystemEvents();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_ScaleChangeBeforePainting)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// One change, then the event loop runs for 100 ms.
void BM_RepaintsPerScaleChange(benchmark::State& state) {
    long paints = 0;
    for (auto _ : state) {
        Delay(0.05);
        const long before = GetPaintCount();
        change_scale();
        Delay(0.1);
        paints += GetPaintCount() - before;
    }
    state.counters["paints_per_change"] =
        benchmark::Counter(static_cast<double>(paints) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_RepaintsPerScaleChange)->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (InitUserInterface(&argc, argv) < 0 || bench_start_program() < 0) {
        std::fprintf(stderr, "bench_settings: cannot load the panels\n");
        return 1;
    }
    paras.para_pc.teachA[0] = teach_entry{2000 << 16, 500 << 16, 500 << 16};
    paras.para_pc.teachB[0] = teach_entry{1000 << 16, 10 << 16, 10 << 16};
    shell_select_panel(MPANEL_CBTN_SEL_GENERAL);
    SetCtrlVal(tab7, TAB7_RING_ANALOGOUTMODE, 1); // RESULT A: every preset listed
    SimulateCtrlEvent(tab7, TAB7_RING_ANALOGOUTMODE, EVENT_COMMIT, 0, 0);
    Delay(0.2);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
