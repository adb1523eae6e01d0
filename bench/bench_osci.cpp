// Cost of the pure oscillograph work per sequence: putting the blocks of one read
// into time order, and building what one channel's drawing consists of (curves and
// marker list) with 63 end and 63 begin markers, for both channels.
#include "osci/video_decode.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void fill_blocks(uint16_t* src) {
    for (int i = 0; i < VIDEO_SAMPLES; i++) src[i] = static_cast<uint16_t>((i * 37) & 0xFFFF);
}

// A sequence with 63 end and 63 begin markers spread over it.
std::vector<uint16_t> marked_sequence() {
    std::vector<uint16_t> s(VIDEO_SAMPLES);
    for (int i = 0; i < VIDEO_SAMPLES; i++)
        s[static_cast<size_t>(i)] = static_cast<uint16_t>((i * 13) & 0x3FFF);
    for (int m = 0; m < 63; m++) {
        s[static_cast<size_t>(16 * m + 3)] |= VIDEO_END;
        s[static_cast<size_t>(16 * m + 9)] |= VIDEO_BEGIN;
    }
    return s;
}

} // namespace

static void BM_InterleaveData(benchmark::State& state) {
    const int factor = static_cast<int>(state.range(0));
    uint16_t src[VIDEO_SAMPLES];
    uint16_t dst[VIDEO_SAMPLES];
    fill_blocks(src);
    int start = 0;
    for (auto _ : state) {
        interleave_data(factor, src, dst, VIDEO_SAMPLES, start);
        start = (start + 389) & 0xFFFF;
        benchmark::DoNotOptimize(dst);
    }
}
BENCHMARK(BM_InterleaveData)->Arg(1)->Arg(2)->Arg(4);

// What update_GRPH builds before drawing, for channel A and channel B.
static void BM_DrawingListBothChannels63Markers(benchmark::State& state) {
    const std::vector<uint16_t> a = marked_sequence();
    const std::vector<uint16_t> b = marked_sequence();
    std::vector<double> analog(VIDEO_SAMPLES), in0(VIDEO_SAMPLES), in1(VIDEO_SAMPLES);
    std::vector<video_mark> marks;
    marks.reserve(256);
    for (auto _ : state) {
        for (const std::vector<uint16_t>* s : {&a, &b}) {
            video_curves(s->data(), VIDEO_SAMPLES, analog.data(), in0.data(), in1.data());
            video_marks(s->data(), VIDEO_SAMPLES, &marks);
            benchmark::DoNotOptimize(marks.data());
            benchmark::DoNotOptimize(analog.data());
        }
    }
}
BENCHMARK(BM_DrawingListBothChannels63Markers);

BENCHMARK_MAIN();
