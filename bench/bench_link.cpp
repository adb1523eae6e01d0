// The program's link against the simulator executable: polls per second over TCP
// loopback next to a minimal blocking client on the same unit, and over a 115200-baud
// pseudo-terminal next to the wire limit (and the blocking client on the same line, which
// shows what a loaded machine allows), with the CPU the polling process uses.
//
// The unit runs as a child process, so getrusage of this process is the program's own
// cost. After the runs a summary prints the medians and the ratios.
#include "bench/link_hooks.h"
#include "link/link.h"
#include "tests/link/sim_process.h"
#include "tests/measure.h"
#include "tests/sim/sim_client.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <sys/resource.h>
#include <vector>

namespace {

constexpr int COM = 7;
constexpr double WIRE_LIMIT_115200 = 115200.0 / 880.0; // 88 bytes a poll, 10 bits a byte

// Times the process went to sleep: the wake-ups a transaction costs, which unlike CPU
// seconds do not depend on what else the machine is doing.
long sleeps() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return u.ru_nvcsw;
}

// One unit per transport for the whole run, started on first use.
sim_process& sim(const std::string& kind) {
    static std::map<std::string, sim_process> running;
    sim_process& s = running[kind];
    if (s.pid <= 0) {
        if (kind == "tcp")
            s.start(ZAZED_SIM_EXE, {"--tcp", "0"});
        else
            s.start(ZAZED_SIM_EXE, {"--pty", "--baud", "115200"});
    }
    return s;
}

// Polls per second, CPU share and sleeps per poll of each repetition, by benchmark, for
// the summary.
std::map<std::string, std::vector<double>> rates;
std::map<std::string, std::vector<double>> cpu_shares;
std::map<std::string, std::vector<double>> sleeps_per_poll;

// The runs Google Benchmark makes to size the iteration count are left out of the summary.
void record(benchmark::State& state, const std::string& name, double wall, double cpu, long slept,
            int failures, double min_time) {
    const double rate = static_cast<double>(state.iterations()) / wall;
    const double per_poll = static_cast<double>(slept) / static_cast<double>(state.iterations());
    if (wall >= 0.8 * min_time) {
        rates[name].push_back(rate);
        cpu_shares[name].push_back(cpu / wall);
        sleeps_per_poll[name].push_back(per_poll);
    }
    state.counters["sleeps_per_poll"] = per_poll;
    state.counters["polls_per_s"] = rate;
    state.counters["cpu_share"] = cpu / wall;
    state.counters["failures"] = failures;
}

// RUN's poll sent by the blocking client over `fd` for as long as the benchmark runs;
// closes `fd`.
void poll_with_client(benchmark::State& state, int fd, const char* label, double min_time) {
    int failures = 0;
    const double t0 = now_s(), c0 = cpu_seconds();
    const long s0 = sleeps();
    for (auto _ : state) {
        std::vector<uint16_t> r;
        if (client_ask(fd, 8, 252, {}, &r, 36) != 0) failures++;
    }
    record(state, label, now_s() - t0, cpu_seconds() - c0, sleeps() - s0, failures, min_time);
    ::close(fd);
}

void BM_TcpBlockingClient(benchmark::State& state) {
    sim_process& s = sim("tcp");
    const int fd = s.pid > 0 ? client_connect_tcp(std::stoi(s.announced())) : -1;
    if (fd < 0) {
        state.SkipWithError("simulator did not start");
        return;
    }
    poll_with_client(state, fd, "tcp client", 1.0);
}
BENCHMARK(BM_TcpBlockingClient)->UseRealTime()->MinTime(1.0)->Repetitions(5);

void BM_TcpLink(benchmark::State& state) {
    sim_process& s = sim("tcp");
    if (s.pid <= 0 || init_tcp(&com.connect, std::stoi(s.announced()), "127.0.0.1") != 1) {
        state.SkipWithError("no link to the simulator");
        return;
    }
    uint16_t rec[36];
    int n = 0;
    int failures = 0;
    const double t0 = now_s(), c0 = cpu_seconds();
    const long s0 = sleeps();
    for (auto _ : state)
        if (exchange_frame(&com.connect, ORDER_POLL, POLL_RECORD, nullptr, 0, rec, 36, &n) != LINK_OK)
            failures++;
    record(state, "tcp link", now_s() - t0, cpu_seconds() - c0, sleeps() - s0, failures, 1.0);
    init_rs232(&com.connect, 0, 0, 0); // closes the socket: the unit serves the next client
}
BENCHMARK(BM_TcpLink)->UseRealTime()->MinTime(1.0)->Repetitions(5);

// The same line driven by the blocking client: what the machine allows at the moment.
void BM_Pty115200BlockingClient(benchmark::State& state) {
    sim_process& s = sim("pty");
    const int fd = s.pid > 0 ? client_open_pty(s.announced(), 115200) : -1;
    if (fd < 0) {
        state.SkipWithError("simulator did not start");
        return;
    }
    poll_with_client(state, fd, "pty client", 3.0);
}
BENCHMARK(BM_Pty115200BlockingClient)->UseRealTime()->MinTime(3.0)->Repetitions(5);

void BM_Pty115200Link(benchmark::State& state) {
    sim_process& s = sim("pty");
    link_set_serial_device(COM, s.announced().c_str());
    if (s.pid <= 0 || init_rs232(&com.connect, COM, 4, 1) != 1) {
        state.SkipWithError("no link to the simulator");
        return;
    }
    uint16_t rec[36];
    int n = 0;
    int failures = 0;
    const double t0 = now_s(), c0 = cpu_seconds();
    const long s0 = sleeps();
    for (auto _ : state)
        if (exchange_frame(&com.connect, ORDER_POLL, POLL_RECORD, nullptr, 0, rec, 36, &n) != LINK_OK)
            failures++;
    const double wall = now_s() - t0;
    record(state, "pty link", wall, cpu_seconds() - c0, sleeps() - s0, failures, 3.0);
    state.counters["of_wire_limit"] = static_cast<double>(state.iterations()) / wall / WIRE_LIMIT_115200;
    init_rs232(&com.connect, 0, 0, 0);
}
BENCHMARK(BM_Pty115200Link)->UseRealTime()->MinTime(3.0)->Repetitions(5);

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    const size_t m = v.size() / 2;
    return v.size() % 2 ? v[m] : (v[m - 1] + v[m]) / 2;
}

void print_summary() {
    const double client = median(rates["tcp client"]);
    const double link = median(rates["tcp link"]);
    const double pty = median(rates["pty link"]);
    std::printf("\nmedians of %zu runs\n", rates["tcp link"].size());
    std::printf("TCP loopback: link %.0f polls/s, blocking client %.0f polls/s, ratio %.2f (target >= 0.5)\n",
                link, client, client > 0 ? link / client : 0.0);
    std::printf("TCP loopback: link CPU %.0f %% of one core\n", median(cpu_shares["tcp link"]) * 100);
    std::printf("pty 115200: link %.1f polls/s of %.1f wire limit, %.1f %% (target >= 97 %%), CPU %.2f %% of "
                "one core (target <= 5 %%)\n",
                pty, WIRE_LIMIT_115200, pty / WIRE_LIMIT_115200 * 100, median(cpu_shares["pty link"]) * 100);
    const double pty_client = median(rates["pty client"]);
    std::printf("pty 115200: blocking client %.1f polls/s, %.1f %% of the wire limit\n", pty_client,
                pty_client / WIRE_LIMIT_115200 * 100);
    std::printf("sleeps per poll: pty link %.1f, pty client %.1f, tcp link %.1f, tcp client %.1f\n",
                median(sleeps_per_poll["pty link"]), median(sleeps_per_poll["pty client"]),
                median(sleeps_per_poll["tcp link"]), median(sleeps_per_poll["tcp client"]));
}


} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv); // the link waits in the event loop
    bench_install_link_hooks();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    print_summary();
    return 0;
}
