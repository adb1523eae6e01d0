// The simulated unit's throughput: polls per second over TCP loopback (unthrottled)
// and over a pseudo-terminal paced at 115200 baud, with a minimal blocking client,
// and the cost of the unit model itself.
#include "sim/sim_proto.h"
#include "sim/sim_server.h"
#include "tests/sim/sim_client.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <memory>

namespace {

sim_server* start(std::vector<const char*> args) {
    args.insert(args.begin(), "kormelan3-sim");
    sim_options o;
    std::string err;
    sim_server* s = nullptr;
    if (sim_options_parse(static_cast<int>(args.size()), args.data(), &o, &err) != SIM_OPT_RUN ||
        sim_server_start(o, &s, &err) != 0)
        return nullptr;
    return s;
}

void run_polls(benchmark::State& state, int fd) {
    int failures = 0;
    for (auto _ : state) {
        std::vector<uint16_t> r;
        if (client_ask(fd, 8, 252, {}, &r, 36) != 0) failures++;
    }
    state.SetItemsProcessed(state.iterations());
    state.counters["failures"] = failures;
}

void BM_PollTcpUnthrottled(benchmark::State& state) {
    sim_server* s = start({"--tcp", "0"});
    const int fd = s ? client_connect_tcp(sim_server_tcp_port(s)) : -1;
    if (fd < 0) {
        state.SkipWithError("simulator did not start");
    } else {
        run_polls(state, fd);
        ::close(fd);
    }
    sim_server_stop(s);
}
BENCHMARK(BM_PollTcpUnthrottled)->UseRealTime()->MinTime(2.0);

// 88 bytes per poll at 10 bits per byte: at most 130.9 polls per second.
void BM_PollPty115200(benchmark::State& state) {
    sim_server* s = start({"--pty", "--baud", "115200"});
    const int fd = s ? client_open_pty(sim_server_pty_path(s), 115200) : -1;
    if (fd < 0) {
        state.SkipWithError("simulator did not start");
    } else {
        run_polls(state, fd);
        ::close(fd);
        state.counters["of_wire_limit"] = benchmark::Counter(
            static_cast<double>(state.iterations()) / (115200.0 / 880.0), benchmark::Counter::kIsRate);
    }
    sim_server_stop(s);
}
BENCHMARK(BM_PollPty115200)->UseRealTime()->MinTime(3.0);

// One simulated second of the unit (10000 scans at the default scan rate).
void BM_UnitSecond(benchmark::State& state) {
    auto p = std::make_unique<sim_proto>();
    sim_proto_init(p.get(), nullptr);
    int64_t t = 1000000;
    sim_proto_advance(p.get(), t);
    for (auto _ : state) {
        t += 1000000;
        sim_proto_advance(p.get(), t);
    }
}
BENCHMARK(BM_UnitSecond)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // the simulator's thread needs one
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
