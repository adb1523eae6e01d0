// The linearisation panel on the program's real panels (offscreen): CHECK of
// two files and LOAD of one, each up to the end of its callback (painting
// follows at the next screen refresh), and SEND and REFRESH against the
// simulator executable over a 115200-baud pseudo-terminal, as a share of the
// time the bytes need on the wire (10 bits a byte).
#include "bench/start_program.h"
#include "linear/linear_info.h"
#include "link/link.h"
#include "tests/link/sim_process.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

constexpr int COM = 7;
// SEND: 9 announces (8 bytes) and 9 writes (8 + 512), 18 answers of 8 bytes.
constexpr double SEND_BYTES = 9 * 8 + 9 * 520 + 18 * 8;
// REFRESH: a request with one word, an answer with 256.
constexpr double REFRESH_BYTES = 10 + 520;
constexpr double WIRE_BYTES_PER_S = 115200.0 / 10.0;

std::string file_answer;

int answer_popup(const ui_popup_request* r, char* path, int size) {
    switch (r->kind) {
    case UI_POPUP_CONFIRM:
        return 1;
    case UI_POPUP_FILE_LOAD:
        std::snprintf(path, static_cast<size_t>(size), "%s", file_answer.c_str());
        return UI_EXISTING_FILE_SELECTED;
    default:
        std::fprintf(stderr, "popup: %s / %s\n", r->title ? r->title : "", r->text ? r->text : "");
        return 0;
    }
}

double now_s() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// A sensor file of 1024 readings and five description lines (1029 lines).
std::string sensor_file(const char* tag, double power) {
    const char* tmp = std::getenv("TMPDIR");
    const std::string path = std::string(tmp && *tmp ? tmp : "/tmp") + "/bench_lin_" + tag + "_" +
                             std::to_string(::getpid()) + ".txt";
    std::ofstream out(path);
    for (int k = 0; k < 1024; k++) out << std::lround(1023.0 * std::pow(1.0 - k / 1024.0, power)) << "\r\n";
    out << "x0 - 50\r\nx4711\r\nxLVDT\r\nxbench\r\nx2024-01-01\r\n";
    return path;
}

void BM_CheckTwoFiles(benchmark::State& state) {
    const std::string a = sensor_file("a", 1.3), b = sensor_file("b", 0.5);
    std::snprintf(lins.linear_fileA, sizeof lins.linear_fileA, "%s", a.c_str());
    std::snprintf(lins.linear_fileB, sizeof lins.linear_fileB, "%s", b.c_str());
    for (auto _ : state) {
        SimulateCtrlEvent(tab9, TAB9_CMDB_CHECK_LIN, EVENT_COMMIT, 0, 0);
        state.PauseTiming();
        ProcessSystemEvents(); // the painting, outside the measurement
        state.ResumeTiming();
    }
    int dimmed = 1;
    GetCtrlAttribute(tab9, TAB9_CMDB_SEND_LIN, ATTR_DIMMED, &dimmed);
    if (dimmed) state.SkipWithError("CHECK did not give two tables");
    std::remove(a.c_str());
    std::remove(b.c_str());
}
BENCHMARK(BM_CheckTwoFiles)->Unit(benchmark::kMillisecond)->Repetitions(20)->ReportAggregatesOnly(true);

void BM_LoadFile(benchmark::State& state) {
    file_answer = sensor_file("load", 1.3);
    for (auto _ : state) {
        SimulateCtrlEvent(tab9, TAB9_CMDB_LOADA, EVENT_COMMIT, 0, 0);
        state.PauseTiming();
        ProcessSystemEvents();
        state.ResumeTiming();
    }
    std::remove(file_answer.c_str());
}
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMicrosecond)->Repetitions(20)->ReportAggregatesOnly(true);

sim_process pty_unit;

bool pty_link() {
    if (com.connect.status) return true;
    if (pty_unit.pid <= 0 && !pty_unit.start(ZAZED_SIM_EXE, {"--pty", "--baud", "115200"})) return false;
    link_set_serial_device(COM, pty_unit.announced().c_str());
    if (init_rs232(&com.connect, COM, 4, 1) != 1) return false;
    connect_update_gui(&com.connect, 0);
    return true;
}

std::string status_text() {
    char buf[256] = "";
    GetCtrlValString(graph1, GRAPH1_STRING_STATUS, buf, sizeof buf);
    return buf;
}

void BM_SendPty115200(benchmark::State& state) {
    if (!pty_link()) {
        state.SkipWithError("no link to the simulator");
        return;
    }
    lins.linear_fileA[0] = lins.linear_fileB[0] = '\0';
    for (auto _ : state) {
        SimulateCtrlEvent(tab9, TAB9_CMDB_CHECK_LIN, EVENT_COMMIT, 0, 0); // default tables, SEND enabled
        ProcessSystemEvents();
        const double t0 = now_s();
        SimulateCtrlEvent(tab9, TAB9_CMDB_SEND_LIN, EVENT_COMMIT, 0, 0);
        const double wall = now_s() - t0;
        state.SetIterationTime(wall);
        state.counters["of_wire"] = SEND_BYTES / WIRE_BYTES_PER_S / wall;
        if (status_text() != "Part 9 of 9 ... OK.") state.SkipWithError(status_text().c_str());
    }
}
BENCHMARK(BM_SendPty115200)->UseManualTime()->Iterations(1)->Repetitions(20)->Unit(benchmark::kMillisecond);

void BM_RefreshPty115200(benchmark::State& state) {
    if (!pty_link()) {
        state.SkipWithError("no link to the simulator");
        return;
    }
    for (auto _ : state) {
        const double t0 = now_s();
        SimulateCtrlEvent(tab9, TAB9_CMDB_REFRESH_LIN, EVENT_COMMIT, 0, 0);
        const double wall = now_s() - t0;
        state.SetIterationTime(wall);
        state.counters["of_wire"] = REFRESH_BYTES / WIRE_BYTES_PER_S / wall;
        if (status_text() != "Success.") state.SkipWithError(status_text().c_str());
        ProcessSystemEvents();
    }
}
BENCHMARK(BM_RefreshPty115200)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (bench_start_program() < 0) return 1;
    SetPopupHandler(answer_popup);
    // The linearisation panel shown, as a user would see it.
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_SEL_LINEAR, EVENT_COMMIT, 0, 0);
    ProcessSystemEvents();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    init_rs232(&com.connect, 0, 0, 0);
    pty_unit.stop();
    return 0;
}
