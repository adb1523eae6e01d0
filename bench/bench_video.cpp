// VIDEO on the program's real panels (offscreen) against the simulator
// executable on a 115200-baud pseudo-terminal: how close one sequence read of
// each interleave factor comes to the line's own time, the poll rate and CPU
// of VIDEO while no sequence is read, what building one channel's drawing
// costs, what one repaint of the oscillograph window with both channels costs,
// and how often that window's graph repaints while sequences keep coming.
// The unit is a child process, so getrusage of this process is the program's.
#include "bench/start_program.h"
#include "link/link.h"
#include "osci/osci_gui.h"
#include "run/run_mode.h"
#include "tests/link/sim_process.h"
#include "tests/measure.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <vector>

namespace {

constexpr int COM = 7;
constexpr double BYTE_S = 10.0 / 115200.0; // 10 bits a byte
constexpr double POLL_BYTES = 8 + 8 + 72;  // request, answer header and 36 words
constexpr double BLOCK_BYTES = 8 + 8 + 512;

sim_process unit;

bool pty_link() {
    if (com.connect.status) return true;
    if (unit.pid <= 0 && !unit.start(ZAZED_SIM_EXE, {"--pty", "--baud", "115200"})) return false;
    link_set_serial_device(COM, unit.announced().c_str());
    if (init_rs232(&com.connect, COM, 4, 1) != 1) return false;
    connect_update_gui(&com.connect, 0);
    return true;
}

// One sequence of channel A: its blocks and the closing poll, against the wire time
// of their bytes.
void BM_SequencePty115200(benchmark::State& state) {
    const int factor = static_cast<int>(state.range(0));
    if (!pty_link()) {
        state.SkipWithError("no link to the simulator");
        return;
    }
    const int blocks = factor; // 1, 2 or 4 blocks
    const double wire = (blocks * BLOCK_BYTES + POLL_BYTES) * BYTE_S;
    uint16_t dst[VIDEO_SAMPLES];
    char msg[LINK_TEXT_SIZE];
    for (auto _ : state) {
        msg[0] = 0;
        const double t0 = now_s();
        const int rc = videodata_exchange(0, 0, 0, factor, msg, runs.rawdata, dst, VIDEO_SAMPLES);
        const double t = now_s() - t0;
        if (rc != 0) {
            state.SkipWithError(msg);
            return;
        }
        state.SetIterationTime(t);
        state.counters["of_wire_rate"] = wire / t;
        state.counters["wire_ms"] = wire * 1e3;
    }
}
BENCHMARK(BM_SequencePty115200)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(20)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);

// VIDEO between sequences: channel A waits in Once with its trace off, so every
// pass is a status poll and a record shown.
void BM_VideoIdlePty115200(benchmark::State& state) {
    if (!pty_link()) {
        state.SkipWithError("no link to the simulator");
        return;
    }
    SetCtrlVal(tab6, TAB6_RING_MODEA, 1);
    SetCtrlVal(tab6, TAB6_RING_MODEB, -1);
    traces.video_on_A = 0;
    for (auto _ : state) {
        const long r0 = runs.run_records;
        const double t0 = now_s(), c0 = cpu_seconds();
        QTimer::singleShot(5000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
        SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
        const double wall = now_s() - t0;
        state.SetIterationTime(wall);
        const double rate = static_cast<double>(runs.run_records - r0) / wall;
        state.counters["polls_per_s"] = rate;
        state.counters["of_wire_rate"] = rate * POLL_BYTES * BYTE_S;
        state.counters["cpu_share"] = (cpu_seconds() - c0) / wall;
    }
    traces.video_on_A = 1;
}
BENCHMARK(BM_VideoIdlePty115200)->UseManualTime()->Iterations(1)->Repetitions(5)->Unit(benchmark::kSecond);

// A sequence with `ends` end markers spread over it.
std::vector<uint16_t> marked(int ends) {
    std::vector<uint16_t> s(VIDEO_SAMPLES);
    for (int i = 0; i < VIDEO_SAMPLES; i++)
        s[static_cast<size_t>(i)] = static_cast<uint16_t>((i * 13) & 0x3FFF);
    for (int m = 0; m < ends; m++) s[static_cast<size_t>(16 * m + 3)] |= VIDEO_END;
    return s;
}

// What VIDEO does for one channel read: the main display's graph and the window's.
void BM_UpdateGrphBothGraphs63Markers(benchmark::State& state) {
    const std::vector<uint16_t> a = marked(63);
    for (auto _ : state) {
        update_GRPH(a.data(), VIDEO_SAMPLES, OSCI_COLOR_A, graph1, GRAPH1_GRAPH_VIDEOA, nullptr);
        update_GRPH(a.data(), VIDEO_SAMPLES, OSCI_COLOR_A, osci1, OSCI1_GRAPH_OSCI, oscis.osci1_gphA);
    }
    ProcessSystemEvents();
}
BENCHMARK(BM_UpdateGrphBothGraphs63Markers)->Unit(benchmark::kMicrosecond);

QWidget* widget(const char* name) {
    for (QWidget* w : QApplication::allWidgets())
        if (w->objectName() == name && w->isVisible()) return w;
    return nullptr;
}

// One repaint of the whole window with both channels drawn: 2 curves, 2 x 63
// marker lines, 16 labels, the input curves.
void BM_Osci1Repaint(benchmark::State& state) {
    DisplayPanel(osci1);
    SetPanelSize(osci1, 548, 790);
    oscis.osci1_gphA[0] = oscis.osci1_gphB[0] = 0;
    DeleteGraphPlot(osci1, OSCI1_GRAPH_OSCI, -1, UI_DELAYED_DRAW);
    const std::vector<uint16_t> a = marked(63), b = marked(63);
    update_GRPH(a.data(), VIDEO_SAMPLES, OSCI_COLOR_A, osci1, OSCI1_GRAPH_OSCI, oscis.osci1_gphA);
    update_GRPH(b.data(), VIDEO_SAMPLES, OSCI_COLOR_B, osci1, OSCI1_GRAPH_OSCI, oscis.osci1_gphB);
    ProcessSystemEvents();
    QWidget* w = widget("osci1");
    if (!w) {
        state.SkipWithError("no oscillograph window");
        return;
    }
    int n = -1;
    GetCtrlAttribute(osci1, OSCI1_GRAPH_OSCI, ATTR_NUM_PLOTS, &n);
    state.counters["plots"] = n;
    for (auto _ : state) w->repaint();
}
BENCHMARK(BM_Osci1Repaint)->Unit(benchmark::kMillisecond);

// Counts the paints of one widget.
class paint_counter : public QObject {
  public:
    long paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) paints++;
        return false;
    }
};

// Sequences on both channels as fast as the line brings them, with the window
// shown: its graph repaints at most once per refresh tick (25 a second).
void BM_VideoSequencesPaintsPerTick(benchmark::State& state) {
    if (!pty_link()) {
        state.SkipWithError("no link to the simulator");
        return;
    }
    SimulateCtrlEvent(graph1, GRAPH1_CMDB_ACVIDEO, EVENT_COMMIT, 0, 0);
    QWidget* g = widget("GRAPH_OSCI");
    if (!g) {
        state.SkipWithError("no oscillograph graph");
        return;
    }
    paint_counter counter;
    g->installEventFilter(&counter);
    SetCtrlVal(tab6, TAB6_RING_MODEA, 0);
    SetCtrlVal(tab6, TAB6_RING_MODEB, 0);
    for (auto _ : state) {
        const long p0 = counter.paints;
        const double t0 = now_s(), c0 = cpu_seconds();
        QTimer::singleShot(5000, [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
        SimulateCtrlEvent(mpanel, MPANEL_CBTN_VIDEO, EVENT_COMMIT, 0, 0);
        const double wall = now_s() - t0;
        state.SetIterationTime(wall);
        state.counters["graph_paints_per_tick"] = static_cast<double>(counter.paints - p0) / (wall * 25.0);
        state.counters["cpu_share"] = (cpu_seconds() - c0) / wall;
    }
    g->removeEventFilter(&counter);
}
BENCHMARK(BM_VideoSequencesPaintsPerTick)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (bench_start_program() < 0) {
        std::fprintf(stderr, "the panels did not load\n");
        return 1;
    }
    traces = traces_initial;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    init_rs232(&com.connect, 0, 0, 0);
    unit.stop();
    return 0;
}
