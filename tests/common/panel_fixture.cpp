#include "tests/common/panel_fixture.h"

#include "app/shell.h"
#include "connect/connect_panel.h"
#include "link/link.h"
#include "run/run_mode.h"
#include "sim/sim_options.h"
#include "sim/sim_proto.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"
#include "tests/measure.h"
#include "ui/panels.h"
#include "ui/userif.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

void panel_register() {
    static bool registered = false;
    if (registered) return;
    RegisterUserIF(userif_panels, userif_panel_count, userif_controls, userif_control_count);
    shell_register_callbacks();
    registered = true;
}

void panel_reset_program() {
    panel_register();
    shell = shell_hooks{};
    shell_use_subsystems();
    com.connect = connect_info{};
    com.exch_active = 0;
    runs.run = 0;
}

void panel_start_program() {
    ASSERT_EQ(shell_startup(), 0);
    scope_para_file[0] = 0;
    FlushUserEvents();
}

void panel_discard() {
    shell_discard_panels();
    ProcessSystemEvents();
    FlushUserEvents();
}

void panel_stop_program() {
    panel_discard();
    SetPopupHandler(nullptr);
    shell = shell_hooks{};
}

std::string panel_text(int panel, int ctrl) {
    char buf[2048] = "";
    GetCtrlValString(panel, ctrl, buf, sizeof buf);
    return buf;
}

double panel_number(int panel, int ctrl) {
    double v = -999;
    GetCtrlVal(panel, ctrl, &v);
    return v;
}

int panel_attr(int panel, int ctrl, int attribute) {
    int v = -99;
    GetCtrlAttribute(panel, ctrl, attribute, &v);
    return v;
}

void panel_commit(int panel, int ctrl, int value) {
    SetCtrlVal(panel, ctrl, value);
    SimulateCtrlEvent(panel, ctrl, EVENT_COMMIT, 0, 0);
}

void panel_commit(int panel, int ctrl, double value) {
    SetCtrlVal(panel, ctrl, value);
    SimulateCtrlEvent(panel, ctrl, EVENT_COMMIT, 0, 0);
}

void panel_press(int panel, int ctrl) {
    SimulateCtrlEvent(panel, ctrl, EVENT_COMMIT, 0, 0);
}

void panel_at(int ms, std::function<void()> fn) {
    QTimer::singleShot(ms, std::move(fn));
}

std::string popup_line(const ui_popup_request* r, const char* sep) {
    return std::string(r->title ? r->title : "") + sep + (r->text ? r->text : "");
}

int answer_file_popup(const std::string& answer, int selected, char* path, int size) {
    if (answer.empty()) return UI_NO_FILE_SELECTED;
    std::snprintf(path, static_cast<size_t>(size), "%s", answer.c_str());
    return selected;
}

std::string make_temp_dir(const char* prefix) {
    std::string tmpl = std::string("/tmp/") + prefix + "_XXXXXX";
    return mkdtemp(tmpl.data()) ? tmpl : std::string();
}

void remove_temp_dir(const std::string& dir) {
    std::string cmd = "rm -rf " + dir;
    if (std::system(cmd.c_str()) != 0) ADD_FAILURE() << "cannot remove " << dir;
}

void start_sim_unit(sim_server** server) {
    sim_options o;
    o.tcp_port = 0;
    start_sim_unit(o, server);
}

void start_sim_unit(const sim_options& o, sim_server** server) {
    std::string err;
    ASSERT_EQ(sim_server_start(o, server, &err), 0) << err;
}

void on_sim_log(sim_server* server, std::function<void(sim_proto*, const char*)> fn) {
    sim_server_call(server, [&fn](sim_service* s) {
        sim_proto* p = s->wire()->proto();
        if (!fn) {
            p->log = nullptr;
            return;
        }
        p->log = [fn = std::move(fn), p](const char* line) { fn(p, line); };
    });
}

void connect_sim_unit(sim_server* server, bool pty) {
    if (pty) {
        link_set_serial_device(SIM_PTY_COM, sim_server_pty_path(server).c_str());
        ASSERT_EQ(init_rs232(&com.connect, SIM_PTY_COM, 4, 1), 1) << com.connect.message;
    } else {
        ASSERT_EQ(init_tcp(&com.connect, sim_server_tcp_port(server), "127.0.0.1"), 1);
    }
    connect_update_gui(&com.connect, 0);
    FlushUserEvents();
}

void try_to_connect_sim_unit(sim_server* server, bool pty) {
    if (!pty) {
        connect_choose_tcp("127.0.0.1", sim_server_tcp_port(server));
        SimulateCtrlEvent(tab1, TAB1_CMDB_TRYCONNECT, EVENT_COMMIT, 0, 0);
        return;
    }
    connect_choose_com(SIM_PTY_COM, 4);
    for (double until = now_s() + 3.0; com.connect.status != 1 && now_s() < until;) {
        QEventLoop wait;
        QTimer::singleShot(50, &wait, &QEventLoop::quit);
        wait.exec();
        link_set_serial_device(SIM_PTY_COM, sim_server_pty_path(server).c_str());
        SimulateCtrlEvent(tab1, TAB1_CMDB_TRYCONNECT, EVENT_COMMIT, 0, 0);
    }
}

void stop_sim_unit(sim_server** server) {
    init_rs232(&com.connect, 0, 0, 0);
    link_clear_serial_devices();
    if (!*server) return;
    // The unit's log may point into the fixture that is going away.
    on_sim_log(*server, nullptr);
    sim_server_stop(*server);
    *server = nullptr;
}
