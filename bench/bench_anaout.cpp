// The analog output's transfer: one row over all 4096 inputs, as the transfer
// view draws it, and a whole preset change with the view's contents.
#include "settings/anaout_math.h"

#include <benchmark/benchmark.h>

static void BM_AnaoutOut4096(benchmark::State& state) {
    const anaout_scaling row{16777, 3, -6144};
    for (auto _ : state) {
        int sum = 0;
        for (int x = 0; x < ANAOUT_POINTS; x++) sum += anaout_out(&row, x);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * ANAOUT_POINTS);
}
BENCHMARK(BM_AnaoutOut4096);

static void BM_AnaoutCurve(benchmark::State& state) {
    const anaout_scaling row{-16384, 2, 4048};
    static double y[ANAOUT_POINTS];
    for (auto _ : state) {
        anaout_curve(&row, y);
        benchmark::DoNotOptimize(y[4095]);
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * ANAOUT_POINTS);
}
BENCHMARK(BM_AnaoutCurve);

// A preset chosen on the scale list: four rows set and row 0's view filled.
static void BM_AnaoutScaleChange(benchmark::State& state) {
    para_record rec{};
    rec.teachA[0] = teach_entry{2000 << 16, 500 << 16, 500 << 16};
    rec.teachB[0] = teach_entry{1000 << 16, 10 << 16, 10 << 16};
    static anaout_view view;
    for (auto _ : state) {
        anaout_plan plan;
        anaout_scale_plan(1, ANAOUT_MODE_ZOOM, &plan);
        if (anaout_apply_plan(&rec, &plan) == ANAOUT_OK)
            anaout_view_of(&rec, 0, plan.row[0].mode, plan.row[0].channel, 0, &view);
        benchmark::DoNotOptimize(view.x_end);
    }
}
BENCHMARK(BM_AnaoutScaleChange);

BENCHMARK_MAIN();
