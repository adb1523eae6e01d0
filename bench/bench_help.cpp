// Cost of the help without painting: one animation tick of each visualisation
// (generators and the frame the panels append), building the help screen of a
// right click, and walking the tooltip table with a setter that does nothing.
#include "help/help_table.h"
#include "help/tooltip_table.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void tick_of(benchmark::State& state, const help_screen& tpl) {
    auto scr = std::make_unique<help_screen>();
    copy_helpscr(scr.get(), &tpl);
    int tick = 0;
    help_frame frame;
    for (auto _ : state) {
        help_tick(scr.get(), &tick, &frame);
        benchmark::DoNotOptimize(frame);
    }
}

int ignore_tip(const char*, const char*, const char* text, void*) {
    benchmark::DoNotOptimize(text);
    return 0;
}

} // namespace

static void BM_AniTickRawNorm(benchmark::State& state) {
    tick_of(state, helpscr_RAW_NORM);
}
BENCHMARK(BM_AniTickRawNorm);

static void BM_AniTickMinMax(benchmark::State& state) {
    tick_of(state, helpscr_MIN_MAX);
}
BENCHMARK(BM_AniTickMinMax);

static void BM_AniTickTriggCount(benchmark::State& state) {
    tick_of(state, helpscr_TRIGG_COUNT);
}
BENCHMARK(BM_AniTickTriggCount);

// The last row of the table and a fallback: the longest walks of a lookup.
static void BM_HelpPrepare(benchmark::State& state) {
    auto active = std::make_unique<help_screen>();
    for (auto _ : state) {
        benchmark::DoNotOptimize(help_prepare("graph1", "NUM_ANA", active.get()));
        benchmark::DoNotOptimize(help_prepare("tab7", "NUMS_NORMTIMECONSTANT", active.get()));
        benchmark::DoNotOptimize(help_prepare("tab6", "CBTN_MASTERB", active.get()));
    }
}
BENCHMARK(BM_HelpPrepare);

static void BM_WalkTooltips(benchmark::State& state) {
    int on = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(walk_tooltips(on, ignore_tip, nullptr));
        on = !on;
    }
}
BENCHMARK(BM_WalkTooltips);

BENCHMARK_MAIN();
