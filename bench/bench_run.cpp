// RUN mode on the program's real panels (offscreen): the cost of showing one
// record with all 24 traces on, and the record rate of the RUN loop against
// the simulator executable, over TCP loopback (with and without an AUTO
// LIMITED recording at interval 0) and over a 115200-baud pseudo-terminal,
// with the CPU the program uses. The unit runs as a child process, so
// getrusage of this process is the program's own cost.
#include "bench/start_program.h"
#include "link/link.h"
#include "recorder/rec_modes.h"
#include "recorder/record_file.h"
#include "run/run_mode.h"
#include "tests/link/sim_process.h"
#include "tests/measure.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

namespace {

constexpr int COM = 7;
constexpr double WIRE_LIMIT_115200 = 115200.0 / 880.0; // 88 bytes a poll, 10 bits a byte

void BM_UpdateDataAllTraces(benchmark::State& state) {
    trace_record all = traces_initial;
    for (int trace_record::*f :
         {&trace_record::raw_on_A, &trace_record::max_on_A, &trace_record::video_on_A,
          &trace_record::minval_on_A, &trace_record::maxval_on_A, &trace_record::cntr_on_A,
          &trace_record::result_on_A, &trace_record::raw_on_B, &trace_record::max_on_B,
          &trace_record::video_on_B, &trace_record::minval_on_B, &trace_record::maxval_on_B,
          &trace_record::cntr_on_B, &trace_record::result_on_B})
        all.*f = 1;
    configure_STC(&all);
    uint16_t rec[MEAS_WORDS] = {};
    uint16_t k = 0;
    for (auto _ : state) {
        // Values change with every record, as they do in RUN.
        for (int i = 0; i < MEAS_WORDS; i++) rec[i] = static_cast<uint16_t>((k * 37 + i * 101) & 0x0FFF);
        k++;
        update_DATA(rec, &all);
    }
    configure_STC(&traces);
    // What the user would have seen is painted now, outside the measurement.
    ProcessSystemEvents();
}
BENCHMARK(BM_UpdateDataAllTraces)->Unit(benchmark::kMicrosecond);

// Runs RUN (or the recorder's START) for `seconds` and reports records per
// second and the CPU share of one core.
void run_for(benchmark::State& state, double seconds, int start) {
    for (auto _ : state) {
        const long r0 = runs.run_records;
        const double t0 = now_s(), c0 = cpu_seconds();
        QTimer::singleShot(static_cast<int>(seconds * 1000),
                           [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
        SimulateCtrlEvent(start ? tab5 : mpanel, start ? TAB5_CBTN_START : MPANEL_CBTN_RUN, EVENT_COMMIT, 0,
                          0);
        const double wall = now_s() - t0;
        state.SetIterationTime(wall);
        state.counters["records_per_s"] = static_cast<double>(runs.run_records - r0) / wall;
        state.counters["cpu_share"] = (cpu_seconds() - c0) / wall;
    }
}

sim_process tcp_unit;
sim_process pty_unit;
std::string record_path;

bool tcp_link() {
    if (tcp_unit.pid <= 0 && !tcp_unit.start(ZAZED_SIM_EXE, {"--tcp", "0"})) return false;
    if (com.connect.status && com.connect.protocol == LINK_PROTOCOL_TCP) return true;
    init_rs232(&com.connect, 0, 0, 0);
    if (init_tcp(&com.connect, std::stoi(tcp_unit.announced()), "127.0.0.1") != 1) return false;
    connect_update_gui(&com.connect, 0);
    return true;
}

void BM_RunTcp(benchmark::State& state) {
    if (!tcp_link()) {
        state.SkipWithError("no link to the simulator");
        return;
    }
    run_for(state, 3.0, 0);
}
BENCHMARK(BM_RunTcp)->UseManualTime()->Iterations(1)->Repetitions(3)->Unit(benchmark::kSecond);

void BM_RunTcpRecordingAutoLimited(benchmark::State& state) {
    if (!tcp_link()) {
        state.SkipWithError("no link to the simulator");
        return;
    }
    std::snprintf(recs.file_pathname, sizeof recs.file_pathname, "%s", record_path.c_str());
    print_file_start(recs.file_pathname);
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 0);
    SetCtrlVal(tab5, TAB5_NUMS_INTERVAL, 0);
    SetCtrlVal(tab5, TAB5_NUMS_NUMBER, 65535);
    run_for(state, 3.0, 1);
    if (runs.record_to_file == 0 && runs.run_records == 0) state.SkipWithError("recording did not run");
}
BENCHMARK(BM_RunTcpRecordingAutoLimited)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kSecond);

void BM_RunPty115200(benchmark::State& state) {
    if (pty_unit.pid <= 0 && !pty_unit.start(ZAZED_SIM_EXE, {"--pty", "--baud", "115200"})) {
        state.SkipWithError("simulator did not start");
        return;
    }
    init_rs232(&com.connect, 0, 0, 0);
    link_set_serial_device(COM, pty_unit.announced().c_str());
    if (init_rs232(&com.connect, COM, 4, 1) != 1) {
        state.SkipWithError("no link to the simulator");
        return;
    }
    connect_update_gui(&com.connect, 0);
    run_for(state, 5.0, 0);
    state.counters["of_wire_limit"] = state.counters["records_per_s"] / WIRE_LIMIT_115200;
}
BENCHMARK(BM_RunPty115200)->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kSecond);

// Where the CPU goes: the same with the strip chart hidden, and with the main
// window hidden (no painting at all; the link and update_DATA remain).
void BM_RunPty115200NoChart(benchmark::State& state) {
    SetCtrlAttribute(graph1, GRAPH1_STRIP_DATA, ATTR_VISIBLE, 0);
    run_for(state, 5.0, 0);
    SetCtrlAttribute(graph1, GRAPH1_STRIP_DATA, ATTR_VISIBLE, 1);
}
BENCHMARK(BM_RunPty115200NoChart)->UseManualTime()->Iterations(1)->Repetitions(1)->Unit(benchmark::kSecond);

void BM_RunPty115200Hidden(benchmark::State& state) {
    HidePanel(mpanel);
    run_for(state, 5.0, 0);
    DisplayPanel(mpanel);
}
BENCHMARK(BM_RunPty115200Hidden)->UseManualTime()->Iterations(1)->Repetitions(1)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (bench_start_program() < 0) {
        std::fprintf(stderr, "the panels did not load\n");
        return 1;
    }
    char dir[] = "/tmp/bench_run_XXXXXX";
    if (!mkdtemp(dir)) return 1;
    record_path = std::string(dir) + "/bench.csv";
    // The strip chart is on, as RUN shows it.
    traces = traces_initial;
    configure_STC(&traces);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    init_rs232(&com.connect, 0, 0, 0);
    tcp_unit.stop();
    pty_unit.stop();
    std::remove(record_path.c_str());
    std::remove(dir);
    return 0;
}
