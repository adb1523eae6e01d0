// zazed-batch against the simulator executable: a verified send to RAM over a
// 115200-baud pseudo-terminal next to the wire time of its bytes, info on ten
// units over TCP, and the CPU share of polling (stats) at 115200 baud.
//
// The units run as child processes, so getrusage of this process is the tool's own
// cost. The tool runs in-process (batch_main), and the send also as the executable,
// which adds the start of a process. After the runs a summary prints the medians.
#include "batch/batch_run.h"
#include "params/para_file.h"
#include "params/para_record.h"
#include "tests/link/sim_process.h"
#include "tests/measure.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// The default version text of the simulated unit.
constexpr int VERSION_LEN = 34; // "KORMELAN-3 V4.04 {SN 00042 CH A/B}"

// Bytes on the wire of a pairing and a verified send to RAM, both directions:
// 8 header bytes a frame, 2 bytes a word.
int send_ram_wire_bytes() {
    const int h = 8, set = 2 * PARA_WORDS;
    const int version_words = (VERSION_LEN + 1 + 1) / 2; // zero-terminated, whole words
    const int pairing = (h + 2 * 16) + h                 // search: 16 zero words, empty answer
                        + h + (h + 2 * version_words)    // version
                        + 2 * (h + h + set)              // lower and upper limits
                        + h + h + set                    // RAM set
                        + (h + 2) + (h + 512);           // linearisation information block
    const int send = (h + set) + h                       // write RAM
                     + h + (h + set);                    // read it back
    return pairing + send;
}

double wire_seconds(int bytes, int baud) {
    return bytes * 10.0 / baud;
}

int run_batch(const std::vector<std::string>& args, std::string* out = nullptr) {
    std::vector<const char*> argv{"zazed-batch"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    std::ostringstream o, e;
    const int rc = batch_main(static_cast<int>(argv.size()), argv.data(), o, e);
    if (out) *out = o.str() + e.str();
    return rc;
}

// The executable from fork to exit, its output thrown away.
int run_exe(const std::vector<std::string>& args) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv{const_cast<char*>(ZAZED_BATCH_EXE)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execv(ZAZED_BATCH_EXE, argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

sim_process& pty_unit() {
    static sim_process s;
    if (s.pid <= 0) s.start(ZAZED_SIM_EXE, {"--pty", "--baud", "115200"});
    return s;
}

// A parameter file of the unit's own set: what an end-of-line station sends.
const std::string& set_file() {
    static std::string path;
    if (path.empty()) {
        path = "/tmp/zazed_bench_batch_" + std::to_string(::getpid()) + ".ini";
        run_batch({"--serial", pty_unit().announced(), "--baud", "115200", "read", "ram", path});
    }
    return path;
}

std::map<std::string, std::vector<double>> results;

void keep(benchmark::State& state, const std::string& name, double value) {
    results[name].push_back(value);
    state.counters[name] = value;
}

void BM_SendRamPty115200(benchmark::State& state) {
    sim_process& s = pty_unit();
    if (s.pid <= 0) {
        state.SkipWithError("simulator did not start");
        return;
    }
    const std::vector<std::string> args = {"--serial", s.announced(), "--baud", "115200",
                                           "send",     set_file(),    "ram"};
    const double wire = wire_seconds(send_ram_wire_bytes(), 115200);
    for (auto _ : state) {
        const double t0 = now_s();
        const int rc = run_batch(args);
        const double wall = now_s() - t0;
        if (rc != 0) state.SkipWithError("send failed");
        state.SetIterationTime(wall);
        keep(state, "send_wall_ms", wall * 1000);
        keep(state, "send_wire_share", wire / wall);
    }
    state.counters["wire_ms"] = wire * 1000;
}
BENCHMARK(BM_SendRamPty115200)->UseManualTime()->Iterations(1)->Repetitions(7)->Unit(benchmark::kMillisecond);

void BM_SendRamPty115200Executable(benchmark::State& state) {
    sim_process& s = pty_unit();
    const std::vector<std::string> args = {"--serial", s.announced(), "--baud", "115200",
                                           "send",     set_file(),    "ram"};
    const double wire = wire_seconds(send_ram_wire_bytes(), 115200);
    for (auto _ : state) {
        const double t0 = now_s();
        const int rc = run_exe(args);
        const double wall = now_s() - t0;
        if (rc != 0) state.SkipWithError("send failed");
        state.SetIterationTime(wall);
        keep(state, "exe_send_wall_ms", wall * 1000);
        keep(state, "exe_send_wire_share", wire / wall);
    }
}
BENCHMARK(BM_SendRamPty115200Executable)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(7)
    ->Unit(benchmark::kMillisecond);

void BM_InfoTenUnitsTcp(benchmark::State& state) {
    static std::vector<std::unique_ptr<sim_process>> units;
    std::vector<std::string> args;
    if (units.empty())
        for (int i = 0; i < 10; i++) {
            units.push_back(std::make_unique<sim_process>());
            units.back()->start(ZAZED_SIM_EXE, {"--tcp", "0", "--unit", std::to_string(i + 1)});
        }
    for (const auto& u : units) {
        if (u->pid <= 0) {
            state.SkipWithError("simulator did not start");
            return;
        }
        args.insert(args.end(), {"--tcp", "127.0.0.1:" + u->announced()});
    }
    args.push_back("info");
    for (auto _ : state) {
        const double t0 = now_s();
        const int rc = run_batch(args);
        const double wall = now_s() - t0;
        if (rc != 0) state.SkipWithError("info failed");
        state.SetIterationTime(wall);
        keep(state, "info10_wall_ms", wall * 1000);
    }
}
BENCHMARK(BM_InfoTenUnitsTcp)->UseManualTime()->Iterations(1)->Repetitions(7)->Unit(benchmark::kMillisecond);

void BM_Stats10CpuShare(benchmark::State& state) {
    sim_process& s = pty_unit();
    for (auto _ : state) {
        const double t0 = now_s(), c0 = cpu_seconds();
        std::string out;
        const int rc =
            run_batch({"--json", "--serial", s.announced(), "--baud", "115200", "stats", "10"}, &out);
        const double wall = now_s() - t0, cpu = cpu_seconds() - c0;
        if (rc != 0) state.SkipWithError("stats failed");
        state.SetIterationTime(wall);
        keep(state, "stats_cpu_share", cpu / wall);
        const size_t at = out.find("\"polls_per_second\":");
        if (at != std::string::npos) keep(state, "stats_polls_per_s", std::stod(out.substr(at + 19)));
    }
}
BENCHMARK(BM_Stats10CpuShare)->UseManualTime()->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);

double median(std::vector<double> v) {
    if (v.empty()) return 0.0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    const double wire_ms = wire_seconds(send_ram_wire_bytes(), 115200) * 1000;
    std::printf("\nsend ... ram, pty 115200: %d bytes, wire %.1f ms; in-process %.1f ms (%.1f %% of the wall "
                "is wire, target >= 95 %%); executable %.1f ms (%.1f %%)\n",
                send_ram_wire_bytes(), wire_ms, median(results["send_wall_ms"]),
                median(results["send_wire_share"]) * 100, median(results["exe_send_wall_ms"]),
                median(results["exe_send_wire_share"]) * 100);
    std::printf("info on 10 units over TCP: %.1f ms\n", median(results["info10_wall_ms"]));
    std::printf("stats 10, pty 115200: %.1f polls/s, CPU %.2f %% of one core (target <= 2 %%)\n",
                median(results["stats_polls_per_s"]), median(results["stats_cpu_share"]) * 100);
    if (!set_file().empty()) std::remove(set_file().c_str());
    return 0;
}
