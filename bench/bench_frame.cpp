// Frame codec throughput: the CRC alone, and finding a full-size frame behind noise.
#include "link/frame.h"

#include <benchmark/benchmark.h>

#include <vector>

static void BM_Crc8_1KiB(benchmark::State& state) {
    std::vector<uint8_t> data(1024);
    for (size_t i = 0; i < data.size(); i++) data[i] = static_cast<uint8_t>(i * 131 + 17);
    for (auto _ : state) {
        uint8_t crc = crc8_update_stream(CRC8_START, data.data(), data.size());
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 1024);
}
BENCHMARK(BM_Crc8_1KiB);

// A 1024-byte frame (1016 payload bytes) preceded by noise that contains false start
// bytes, fed in 64-byte reads as a port would deliver it.
static void BM_DecodeFrameAfterNoise(benchmark::State& state) {
    const int noise = static_cast<int>(state.range(0));
    std::vector<uint8_t> stream;
    for (int i = 0; i < noise; i++) stream.push_back(i % 5 == 0 ? FRAME_START_BYTE : static_cast<uint8_t>(i));
    std::vector<uint8_t> payload(1016);
    for (size_t i = 0; i < payload.size(); i++) payload[i] = static_cast<uint8_t>(i * 7);
    uint8_t h[FRAME_HEADER_SIZE];
    frame_write_header(h, ORDER_OSCI_BLOCK, 0, 1016,
                       crc8_update_stream(CRC8_START, payload.data(), payload.size()));
    stream.insert(stream.end(), h, h + FRAME_HEADER_SIZE);
    stream.insert(stream.end(), payload.begin(), payload.end());

    frame_rx rx;
    frame_in in;
    for (auto _ : state) {
        frame_rx_clear(&rx);
        size_t pos = 0;
        int rc = FRAME_INCOMPLETE;
        while (rc == FRAME_INCOMPLETE && pos < stream.size()) {
            const int chunk = static_cast<int>(std::min<size_t>(64, stream.size() - pos));
            pos += static_cast<size_t>(frame_rx_append(&rx, stream.data() + pos, chunk));
            rc = frame_find(&rx, &in);
        }
        if (rc != FRAME_COMPLETE) state.SkipWithError("frame not found");
        benchmark::DoNotOptimize(in.payload_kept);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(stream.size()));
}
BENCHMARK(BM_DecodeFrameAfterNoise)->Arg(0)->Arg(100)->Arg(1000);

BENCHMARK_MAIN();
