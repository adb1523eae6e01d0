// User-interface layer: what one measurement record costs the layer in RUN
// (30 numerics written, one 24-trace point appended to the strip chart),
// painting excluded, how many paints a burst of records causes, and what one
// paint of a full 24-trace strip chart costs.
#include "ui/ui.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

const int numerics = 30;
const int strip_id = 100;
int panel = 0;

// A panel shaped like the main display: 30 numerics and a strip chart.
std::string layout() {
    std::string ui =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ui version=\"4.0\"><class>bench</class>"
        "<widget class=\"QWidget\" name=\"bench\">"
        "<property name=\"geometry\"><rect><x>0</x><y>0</y><width>500</width><height>500</height>"
        "</rect></property>";
    for (int i = 0; i < numerics; i++) {
        char w[512];
        snprintf(
            w, sizeof w,
            "<widget class=\"QDoubleSpinBox\" name=\"NUM_%d\"><property name=\"geometry\"><rect><x>%d</x>"
            "<y>%d</y><width>80</width><height>22</height></rect></property>"
            "<property name=\"decimals\"><number>2</number></property>"
            "<property name=\"maximum\"><double>100000</double></property>"
            "<property name=\"readOnly\"><bool>true</bool></property></widget>",
            i, (i % 5) * 90, (i / 5) * 26);
        ui += w;
    }
    ui += "<widget class=\"UiStripChart\" name=\"STRIP\"><property name=\"geometry\"><rect><x>0</x><y>170</y>"
          "<width>500</width><height>320</height></rect></property>"
          "<property name=\"traces\" stdset=\"0\"><number>24</number></property>"
          "<property name=\"pointsPerScreen\" stdset=\"0\"><number>129</number></property></widget>"
          "</widget><customwidgets><customwidget><class>UiStripChart</class><extends>QWidget</extends>"
          "<header>ui/ui_widgets.h</header></customwidget></customwidgets></ui>\n";
    return ui;
}

bool load_panel(const QTemporaryDir& dir) {
    QString path = dir.filePath("bench.ui");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    f.write(layout().c_str());
    f.close();
    RegisterPanelResource(1, path.toUtf8().constData(), "bench");
    for (int i = 0; i < numerics; i++) RegisterControlName(1, i + 1, ("NUM_" + std::to_string(i)).c_str());
    RegisterControlName(1, strip_id, "STRIP");
    panel = LoadPanel(0, "UserIF.uir", 1);
    if (panel <= 0) return false;
    DisplayPanel(panel);
    Delay(0.1);
    return true;
}

void one_record(int n) {
    for (int i = 1; i <= numerics; i++) SetCtrlValDouble(panel, i, (n + i) % 4096 + 0.25);
    double row[24];
    for (int t = 0; t < 24; t++) row[t] = (n * 7 + t * 100) % 4096;
    PlotStripChart(panel, strip_id, row, 24, UI_DOUBLE);
}

void BM_RecordUpdate(benchmark::State& state) {
    int n = 0;
    for (auto _ : state) {
        one_record(n++);
        // Repaints belong to the event loop, not to the record: done untimed.
        if (n % 1000 == 0) {
            state.PauseTiming();
            ProcessSystemEvents();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordUpdate);

// 1000 records written back to back, then the event loop runs for 100 ms.
void BM_PaintsPerBurst(benchmark::State& state) {
    long paints = 0;
    int n = 0;
    for (auto _ : state) {
        Delay(0.05);
        long before = GetPaintCount();
        for (int i = 0; i < 1000; i++) {
            double row[24];
            for (int t = 0; t < 24; t++) row[t] = (n++ * 7 + t * 100) % 4096;
            PlotStripChart(panel, strip_id, row, 24, UI_DOUBLE);
        }
        Delay(0.1);
        paints += GetPaintCount() - before;
    }
    state.counters["strip_paints_per_burst"] =
        benchmark::Counter(static_cast<double>(paints) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_PaintsPerBurst)->Iterations(10)->Unit(benchmark::kMillisecond);

// One repaint of the strip chart with a full screen of points and the first
// `range(0)` traces on (RUN starts with 2 thick ones; all 24 is the worst case),
// half of them thick and some dashed.
void BM_StripChartPaint(benchmark::State& state) {
    QWidget* strip = nullptr;
    for (QWidget* w : QApplication::allWidgets())
        if (w->objectName() == "STRIP") strip = w;
    if (!strip) {
        state.SkipWithError("no strip chart");
        return;
    }
    const int styles[4] = {UI_SOLID, UI_DASH, UI_DOT, UI_DASH_DOT};
    for (int t = 1; t <= 24; t++) {
        SetTraceAttribute(panel, strip_id, t, ATTR_PLOT_STYLE, t % 2 ? UI_FAT_LINE : UI_THIN_LINE);
        SetTraceAttribute(panel, strip_id, t, ATTR_LINE_STYLE, styles[t % 4]);
        SetTraceAttribute(panel, strip_id, t, ATTR_TRACE_VISIBLE, t <= state.range(0));
    }
    int n = 0;
    for (auto _ : state) {
        double row[24];
        for (int t = 0; t < 24; t++) row[t] = (n * 37 + t * 170) % 4096;
        n++;
        PlotStripChart(panel, strip_id, row, 24, UI_DOUBLE);
        strip->repaint();
    }
}
BENCHMARK(BM_StripChartPaint)->Arg(2)->Arg(24)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid() || !load_panel(dir)) {
        fprintf(stderr, "bench_ui: cannot load the bench panel\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
