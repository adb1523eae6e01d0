// Soak: the program on its real panels (offscreen) against the simulated unit
// over TCP with 1 % of each fault, for a long time.
//
//   soak [--minutes N]   (default 10; fractions allowed, 0.5 is 30 s)
//
// Phases take turns: RUN with an AUTO UNLIMITED recording at interval 0, then
// VIDEO in Auto on both channels with the oscillograph window shown, each for
// a tenth of the run (at most a minute). A phase a fault ends early starts
// again; a link the unit cut is opened again. At the end it prints records and
// sequences, the faults the unit injected per kind, the status texts the
// faults left, RSS at the start, after the warm-up (the first phase pair) and
// at the end, open file descriptors, and the plots held by the oscillograph
// window's graph and the main display's video graphs.
//
// Exits 1 when RSS grew by more than 1 MB after the warm-up, when more file
// descriptors are open at the end than after the warm-up, or when a graph
// holds more plots than its bound (2 x 64 marker lines and 2 curves on the
// window's graph, its input graph 2; one curve each on the video graphs) -
// a growing count is a leak of the handle lists.
#include "bench/start_program.h"
#include "link/link.h"
#include "link/orders.h"
#include "osci/osci_gui.h"
#include "recorder/recorder_panel.h"
#include "run/run_mode.h"
#include "sim/sim_proto.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"
#include "tests/measure.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <QApplication>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

namespace {

std::string record_path;
sim_server* server = nullptr;

long rss_kb() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return -1;
}

int open_fds() {
    int n = 0;
    DIR* d = opendir("/proc/self/fd");
    while (dirent* e = d ? readdir(d) : nullptr) n += e->d_name[0] != '.';
    if (d) closedir(d);
    return n - 1; // the directory's own descriptor
}

int plots(int panel, int graph) {
    int n = -1;
    GetCtrlAttribute(panel, graph, ATTR_NUM_PLOTS, &n);
    return n;
}

std::string status_text() {
    char text[LINK_TEXT_SIZE] = "";
    GetCtrlVal(graph1, GRAPH1_STRING_STATUS, text);
    return text;
}

int quiet_popup(const ui_popup_request* r, char* path, int size) {
    if (r->kind == UI_POPUP_FILE_LOAD || r->kind == UI_POPUP_FILE_SAVE) {
        std::snprintf(path, static_cast<size_t>(size), "%s", record_path.c_str());
        return UI_NEW_FILE_SELECTED;
    }
    return 1;
}

void reconnect() {
    for (int tries = 0; tries < 100 && com.connect.status != 1; tries++) {
        if (init_tcp(&com.connect, sim_server_tcp_port(server), "127.0.0.1") == 1) break;
        usleep(20000);
    }
    connect_update_gui(&com.connect, 0);
}

// Presses `button` and STOP after `seconds` unless the loop ended before.
void run_phase(int panel, int button, double seconds) {
    QTimer stop;
    stop.setSingleShot(true);
    QObject::connect(&stop, &QTimer::timeout,
                     [] { SimulateCtrlEvent(mpanel, MPANEL_CBTN_STOP, EVENT_COMMIT, 0, 0); });
    stop.start(static_cast<int>(seconds * 1000));
    SimulateCtrlEvent(panel, button, EVENT_COMMIT, 0, 0);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    double minutes = 10.0;
    for (int i = 1; i + 1 < argc; i++)
        if (!std::strcmp(argv[i], "--minutes")) minutes = std::atof(argv[i + 1]);
    const double total = minutes * 60.0;
    const double phase = std::min(60.0, std::max(1.0, total / 10.0));

    char tmpl[] = "/tmp/zazed_soak_XXXXXX";
    if (!mkdtemp(tmpl)) return 2;
    record_path = std::string(tmpl) + "/soak.csv";
    if (bench_start_program() < 0) return 2;
    SetPopupHandler(quiet_popup);

    const char* args[] = {"kormelan3-sim", "--tcp", "0", "--seed", "5"};
    sim_options o;
    std::string err;
    if (sim_options_parse(5, args, &o, &err) != SIM_OPT_RUN || sim_server_start(o, &server, &err) != 0) {
        std::fprintf(stderr, "no unit: %s\n", err.c_str());
        return 2;
    }
    // A sequence read ends with the poll that closes it (value 84 for A, 168
    // for B), counted as the unit answers it.
    static std::atomic<long> closing_polls{0};
    sim_server_call(server, [](sim_service* s) {
        for (double& p : s->wire()->proto()->faults.p) p = 0.01;
        s->wire()->proto()->log = [](const char* line) {
            int order = -1, value = -1;
            if (std::sscanf(line, "%*f s order %d value %d", &order, &value) == 2 && order == ORDER_POLL &&
                (value == POLL_CLOSE_A || value == POLL_CLOSE_B))
                closing_polls++;
        };
    });
    reconnect();

    // The recorder: AUTO UNLIMITED at interval 0 into one file.
    SimulateCtrlEvent(tab5, TAB5_CMDB_SELECTFILE, EVENT_COMMIT, 0, 0);
    SetCtrlVal(tab5, TAB5_EDIT_SELECTRECMODE, 1);
    SetCtrlVal(tab5, TAB5_NUMS_INTERVAL, 0);
    // VIDEO: both channels Auto, shown in the window.
    SetCtrlVal(tab6, TAB6_RING_MODEA, 0);
    SetCtrlVal(tab6, TAB6_RING_MODEB, 0);
    SimulateCtrlEvent(graph1, GRAPH1_CMDB_ACVIDEO, EVENT_COMMIT, 0, 0);

    const long rss_start = rss_kb();
    long rss_warm = -1;
    int fds_warm = -1;
    long sequences = 0, phases = 0, records_before = runs.run_records;
    std::map<std::string, long> endings;
    int max_osci = 0, max_input = 0, max_video = 0;
    const double t0 = now_s();
    for (int pair = 0; now_s() - t0 < total; pair++) {
        for (int video = 0; video < 2 && now_s() - t0 < total; video++) {
            const double end = std::min(t0 + total, now_s() + phase);
            while (now_s() < end - 0.05) {
                if (com.connect.status != 1) reconnect();
                if (video) {
                    run_phase(mpanel, MPANEL_CBTN_VIDEO, end - now_s());
                } else {
                    // START on the recorder panel runs RUN with the recording.
                    run_phase(tab5, TAB5_CBTN_START, end - now_s());
                }
                phases++;
                endings[status_text()]++;
                max_osci = std::max(max_osci, plots(osci1, OSCI1_GRAPH_OSCI));
                max_input = std::max(max_input, plots(osci1, OSCI1_GRAPH_INPUTS));
                max_video = std::max(
                    {max_video, plots(graph1, GRAPH1_GRAPH_VIDEOA), plots(graph1, GRAPH1_GRAPH_VIDEOB)});
            }
        }
        if (pair == 0) {
            ProcessSystemEvents();
            rss_warm = rss_kb();
            fds_warm = open_fds();
        }
    }
    ProcessSystemEvents();
    const double wall = now_s() - t0;
    const long rss_end = rss_kb();
    sequences = closing_polls;
    const int fds_end = open_fds();
    long faults[SIM_FAULTS] = {};
    sim_server_call(server, [&](sim_service* s) {
        for (int f = 0; f < SIM_FAULTS; f++) faults[f] = s->wire()->proto()->faults.count[f];
    });

    long data_lines = 0;
    {
        std::ifstream in(record_path);
        std::string line;
        while (std::getline(in, line)) data_lines += line.rfind("*;", 0) == 0;
    }
    std::printf("soak: %.0f s, %ld phases, %ld records (%ld data lines in the record files), %ld sequences\n",
                wall, phases, runs.run_records - records_before, data_lines, sequences);
    std::printf("faults injected:");
    for (int f = 0; f < SIM_FAULTS; f++) std::printf(" %s %ld", sim_fault_names[f], faults[f]);
    std::printf("\nphases ended with:\n");
    for (const auto& [text, n] : endings) std::printf("  %5ld  %s\n", n, text.c_str());
    std::printf("RSS: %ld kB at start, %ld kB after warm-up, %ld kB at end\n", rss_start, rss_warm, rss_end);
    std::printf("open fds: %d after warm-up, %d at end\n", fds_warm, fds_end);
    std::printf("plots held at most: osci1 graph %d (bound %d), input graph %d (bound 2), video graphs %d\n",
                max_osci, 2 * 64 + 2, max_input, max_video);

    bool bad = false;
    if (rss_warm >= 0 && rss_end - rss_warm > 1024) {
        std::printf("FAIL: RSS grew by %ld kB after the warm-up\n", rss_end - rss_warm);
        bad = true;
    }
    if (fds_end > fds_warm) {
        std::printf("FAIL: %d more file descriptors open\n", fds_end - fds_warm);
        bad = true;
    }
    if (max_osci > 2 * 64 + 2 || max_input > 2 || max_video > 64 + 1) {
        std::printf("FAIL: a graph holds more plots than its bound\n");
        bad = true;
    }
    sim_server_call(server, [](sim_service* s) { s->wire()->proto()->log = nullptr; });
    sim_server_stop(server);
    std::string cmd = std::string("rm -rf ") + tmpl;
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "cannot remove %s\n", tmpl);
    return bad ? 1 : 0;
}
