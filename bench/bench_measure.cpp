// Cost of one RUN record without painting: decoding it for the display and
// the strip chart part (values, history shift, automatic range) with all 24
// traces on; and appending one data line to a record file.
#include "recorder/record_file.h"
#include "run/measurement.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

void fill_record(uint16_t* r, int i) {
    for (int w = 0; w < MEAS_WORDS; w++) r[w] = static_cast<uint16_t>((w * 97 + i * 13) & 0x0FFF);
}

trace_record all_on() {
    trace_record tr = traces_initial;
    tr.raw_on_A = tr.max_on_A = tr.video_on_A = tr.minval_on_A = tr.maxval_on_A = tr.cntr_on_A = 1;
    tr.result_on_A = tr.raw_on_B = tr.max_on_B = tr.video_on_B = tr.minval_on_B = 1;
    tr.maxval_on_B = tr.cntr_on_B = tr.result_on_B = 1;
    tr.stc_span = 100;
    return tr;
}

} // namespace

static void BM_UpdateDataAllTraces(benchmark::State& state) {
    const trace_record tr = all_on();
    para_record para{};
    para.teachA[0].tol_high = para.teachB[0].tol_low = 65536;
    uint16_t r[MEAS_WORDS];
    meas_values v;
    int i = 0;
    for (auto _ : state) {
        fill_record(r, i++);
        meas_decode(r, &v);
        const double gain = meas_osci_gain(r, 1, 4);
        const stc_range g = stc_update(stc_data, r, &para, &tr);
        benchmark::DoNotOptimize(v);
        benchmark::DoNotOptimize(gain);
        benchmark::DoNotOptimize(g);
    }
}
BENCHMARK(BM_UpdateDataAllTraces);

static void BM_DecodeOnly(benchmark::State& state) {
    uint16_t r[MEAS_WORDS];
    meas_values v;
    fill_record(r, 1);
    for (auto _ : state) {
        meas_decode(r, &v);
        benchmark::DoNotOptimize(v);
    }
}
BENCHMARK(BM_DecodeOnly);

// Open, append one line, close: what each stored record costs the RUN loop.
static void BM_RecordDataLine(benchmark::State& state) {
    const std::string path = "/tmp/bench_measure_" + std::to_string(getpid()) + ".csv";
    if (print_file_start(path.c_str()) != 0) {
        state.SkipWithError("cannot create the record file");
        return;
    }
    uint16_t r[MEAS_WORDS];
    fill_record(r, 3);
    int i = 0;
    for (auto _ : state) {
        if (print_file_dataset(path.c_str(), i++ & 0x7FFF, r, "12:00:00") != 0) {
            state.SkipWithError("write failed");
            break;
        }
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_RecordDataLine);

BENCHMARK_MAIN();
