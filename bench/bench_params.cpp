// Parameter set costs: a 100-section parameter file written and read back,
// and one refresh of every parameter panel from a record followed by reading
// the panels back (offscreen, on the program's own layouts).
#include "app/panels.h"
#include "params/cond_ring_ui.h"
#include "params/para_file.h"
#include "params/para_gui.h"
#include "resources/userif.h"
#include "support/ui.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

// Distinct values in every field the panels can hold.
para_record bench_record() {
    para_record r{};
    for (int i = 0; i < para_field_count; i++) para_field_set(&r, i, 3 + i);
    r.timerA = 100;
    r.timerB = 200;
    r.input_sourceB = 0;
    r.out_hold[0].on = 200;
    r.out_hold[1].on = 500;
    r.eval_modeA = 7;
    r.eval_modeB = 13;
    r.osci_skipA = 5;
    r.osci_skipB = 6;
    r.osci_pretrigA = 200;
    r.osci_pretrigB = 300;
    r.scanrate = 30000;
    r.anaout_source = 1;
    r.anaout_switch = 2;
    return r;
}

std::string file_path() {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/bench_params_" + std::to_string(::getpid()) + ".ini";
}

void BM_SaveParameterFile(benchmark::State& state) {
    const para_record r = bench_record();
    const std::string path = file_path();
    for (auto _ : state) benchmark::DoNotOptimize(parameter_save2path(path.c_str(), &r, &r, &r));
    std::remove(path.c_str());
}
BENCHMARK(BM_SaveParameterFile)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_LoadParameterFile(benchmark::State& state) {
    const para_record r = bench_record();
    const std::string path = file_path();
    parameter_save2path(path.c_str(), &r, &r, &r);
    para_record back{};
    for (auto _ : state) benchmark::DoNotOptimize(parameter_path2para(path.c_str(), &back));
    std::remove(path.c_str());
}
BENCHMARK(BM_LoadParameterFile)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

void BM_UpdateThenAcquire(benchmark::State& state) {
    const para_record r = bench_record();
    for (auto _ : state) {
        para_record shown = r;
        update_PARA(&shown);
        para_record read{};
        benchmark::DoNotOptimize(acquire_PARA(&read, 1));
        // Numeric writes reach their spin boxes at the next refresh; let it run
        // so the deferred work is counted too.
        ProcessSystemEvents();
    }
}
BENCHMARK(BM_UpdateThenAcquire)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

int load(int parent, int resource, const char* name) {
    const int panel = LoadPanel(parent, "UserIF.uir", resource);
    if (panel > 0) SetPanelAttribute(panel, ATTR_PANEL_NAME, name);
    return panel;
}

// The parameter panels as start-up loads and fills them.
bool load_panels() {
    if (RegisterUserIF(userif_panels, userif_panel_count, userif_controls, userif_control_count) < 0)
        return false;
    mpanel = load(0, MPANEL, "mpanel");
    tab2 = load(mpanel, TAB2, "tab2");
    tab3 = load(mpanel, TAB2, "tab3");
    tab4 = load(mpanel, TAB4, "tab4");
    tab5 = load(mpanel, TAB5, "tab5");
    tab6 = load(mpanel, TAB6, "tab6");
    tab7 = load(mpanel, TAB7, "tab7");
    tab8 = load(mpanel, TAB8, "tab8");
    tab9 = load(mpanel, TAB9, "tab9");
    tab10 = load(mpanel, TAB10, "tab10");
    tab11 = load(mpanel, TAB11, "tab11");
    graph1 = load(mpanel, GRAPH1, "graph1");
    for (int p : {mpanel, tab2, tab3, tab4, tab5, tab6, tab7, tab8, tab9, tab10, tab11, graph1})
        if (p <= 0) return false;
    const int rings[6] = {TAB2_RING_TIMERCOND, TAB2_RING_COUNTERCOND, TAB2_RING_OUTCOND,
                          TAB2_RING_EVALSTART, TAB2_RING_EVALSTOP,    TAB2_RING_EVALSPAN};
    const int codes[2][6] = {{5, 16389, 1556, 5, 11, 8640}, {5, 16389, 6180, 5, 11, 8640}};
    for (int i = 0; i < 6; i++) {
        ui_fill_conditions(tab2, rings[i], codes[0][i]);
        ui_fill_conditions(tab3, rings[i], codes[1][i]);
    }
    ClearListCtrl(tab3, TAB2_RING_CHAN);
    InsertListItemInt(tab3, TAB2_RING_CHAN, -1, "1", 1);
    InsertListItemInt(tab3, TAB2_RING_CHAN, -1, "2", 0);
    InsertListItemInt(tab3, TAB2_RING_CHAN, -1, "OFF", -1);
    ui_fill_conditions(tab5, TAB5_RING_AUTOSEND, 16389);
    ui_fill_conditions(tab6, TAB6_RING_OSCICONDA, 16389);
    ui_fill_conditions(tab6, TAB6_RING_OSCICONDB, 16389);
    ui_fill_conditions(tab7, TAB7_RING_NORMCOND, 15);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (InitUserInterface(&argc, argv) < 0 || !load_panels()) {
        fprintf(stderr, "bench_params: cannot load the parameter panels\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
