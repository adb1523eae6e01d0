#include "tests/settings/settings_fixture.h"

#include "sim/sim_proto.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"
#include "ui/help_hook.h"
#include "ui/ui_internal.h"
#include "ui/ui_widgets.h"

#include <QTimer>

#include <cstdio>
#include <cstring>

std::vector<std::pair<std::string, std::string>> SettingsTest::helps;
std::vector<std::string> SettingsTest::popups;

namespace {

bool registered = false;

int answer_popup(const ui_popup_request* r, char*, int) {
    SettingsTest::popups.push_back(std::string(r->title ? r->title : "") + "|" + (r->text ? r->text : ""));
    return 0;
}

int note_help(const char* panel, const char* control) {
    SettingsTest::helps.emplace_back(panel, control);
    return 1;
}

// The graph of the panels loaded now (those of earlier tests may linger
// until Qt deletes them).
UiGraph* transfer_graph() {
    UiCtrl* c = ui_ctrl(tab7, TAB7_GRPH_TRANSFER);
    return c ? qobject_cast<UiGraph*>(c->w.data()) : nullptr;
}

} // namespace

void SettingsTest::SetUp() {
    helps.clear();
    popups.clear();
    if (!registered) {
        RegisterUserIF(userif_panels, userif_panel_count, userif_controls, userif_control_count);
        shell_register_callbacks();
        registered = true;
    }
    shell = shell_hooks{};
    shell_use_subsystems();
    com.connect = connect_info{};
    com.exch_active = 0;
    runs.run = 0;
    paras.para_pc = para_record{};
    SetPopupHandler(answer_popup);
    set_help_handler(note_help);
    ASSERT_EQ(shell_startup(), 0);
    scope_para_file[0] = 0;
    FlushUserEvents();
}

void SettingsTest::TearDown() {
    set_help_handler(nullptr);
    shell_discard_panels();
    ProcessSystemEvents();
    FlushUserEvents();
    SetPopupHandler(nullptr);
    shell = shell_hooks{};
}

std::string SettingsTest::text(int panel, int ctrl) {
    char buf[512] = "";
    GetCtrlValString(panel, ctrl, buf, sizeof buf);
    return buf;
}

double SettingsTest::number(int panel, int ctrl) {
    double v = -999;
    GetCtrlVal(panel, ctrl, &v);
    return v;
}

int SettingsTest::attr(int panel, int ctrl, int attribute) {
    int v = -99;
    GetCtrlAttribute(panel, ctrl, attribute, &v);
    return v;
}

void SettingsTest::commit(int panel, int ctrl, int value) {
    SetCtrlVal(panel, ctrl, value);
    SimulateCtrlEvent(panel, ctrl, EVENT_COMMIT, 0, 0);
}

void SettingsTest::commit(int panel, int ctrl, double value) {
    SetCtrlVal(panel, ctrl, value);
    SimulateCtrlEvent(panel, ctrl, EVENT_COMMIT, 0, 0);
}

void SettingsTest::press(int panel, int ctrl) {
    SimulateCtrlEvent(panel, ctrl, EVENT_COMMIT, 0, 0);
}

void SettingsTest::at(int ms, std::function<void()> fn) {
    QTimer::singleShot(ms, std::move(fn));
}

std::vector<const UiPlot*> SettingsTest::transfer_plots() {
    std::vector<const UiPlot*> out;
    UiGraph* g = transfer_graph();
    if (!g) return out;
    // Handles count up from 1 and are never reused.
    for (int h = 1; static_cast<int>(out.size()) < g->plotCount() && h < 1000000; h++)
        if (const UiPlot* p = g->plot(h)) out.push_back(p);
    return out;
}

void SettingsTest::transfer_x_range(double* min, double* max) {
    int mode = -1;
    GetAxisScalingMode(tab7, TAB7_GRPH_TRANSFER, UI_XAXIS, &mode, min, max);
}

void SettingsSimTest::SetUp() {
    SettingsTest::SetUp();
    const char* args[] = {"kormelan3-sim", "--tcp", "0"};
    sim_options o;
    std::string err;
    ASSERT_EQ(sim_options_parse(3, args, &o, &err), SIM_OPT_RUN) << err;
    ASSERT_EQ(sim_server_start(o, &server, &err), 0) << err;
    sim_server_call(server, [this](sim_service* s) {
        s->wire()->proto()->log = [this](const char* line) {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.emplace_back(line);
        };
    });
    ASSERT_EQ(init_tcp(&com.connect, sim_server_tcp_port(server), "127.0.0.1"), 1);
    connect_update_gui(&com.connect, 0);
    FlushUserEvents();
}

void SettingsSimTest::TearDown() {
    init_rs232(&com.connect, 0, 0, 0);
    if (server) sim_server_stop(server);
    SettingsTest::TearDown();
}

std::vector<std::string> SettingsSimTest::requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

int SettingsSimTest::count_orders(int order) {
    int n = 0;
    for (const std::string& line : requests()) {
        double t = 0;
        int o = -1;
        unsigned value = 0;
        if (std::sscanf(line.c_str(), "%lf s order %d value %u", &t, &o, &value) == 3 && o == order) n++;
    }
    return n;
}
