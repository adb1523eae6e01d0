#include "tests/settings/settings_fixture.h"

#include "sim/sim_proto.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"
#include "ui/help_hook.h"
#include "ui/ui_internal.h"
#include "ui/ui_widgets.h"

#include <cstdio>
#include <cstring>

std::vector<std::pair<std::string, std::string>> SettingsTest::helps;
std::vector<std::string> SettingsTest::popups;

namespace {

int answer_popup(const ui_popup_request* r, char*, int) {
    SettingsTest::popups.push_back(popup_line(r));
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
    panel_reset_program();
    paras.para_pc = para_record{};
    SetPopupHandler(answer_popup);
    set_help_handler(note_help);
    ASSERT_NO_FATAL_FAILURE(panel_start_program());
}

void SettingsTest::TearDown() {
    set_help_handler(nullptr);
    panel_stop_program();
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
    ASSERT_NO_FATAL_FAILURE(start_sim_unit(&server));
    on_sim_log(server, [this](sim_proto*, const char* line) {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.emplace_back(line);
    });
    ASSERT_NO_FATAL_FAILURE(connect_sim_unit(server));
}

void SettingsSimTest::TearDown() {
    stop_sim_unit(&server);
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
