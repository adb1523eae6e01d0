#include "connect_fixture.h"

#include "sim/sim_wire.h"

#include <cstring>

namespace {

ConnectTest* current = nullptr;

int answer_popup(const ui_popup_request* r, char* path, int size) {
    current->popups.push_back(popup_line(r, ": "));
    if (r->kind == UI_POPUP_FILE_SAVE || r->kind == UI_POPUP_FILE_LOAD) {
        if (current->paths.empty()) return UI_NO_FILE_SELECTED;
        const std::string chosen = current->paths.front();
        current->paths.pop_front();
        return answer_file_popup(chosen, UI_NEW_FILE_SELECTED, path, size);
    }
    if (r->kind != UI_POPUP_CONFIRM) return 0;
    if (current->answers.empty()) {
        ADD_FAILURE() << "unanswered question " << (r->title ? r->title : "");
        return 0;
    }
    const int a = current->answers.front();
    current->answers.pop_front();
    return a;
}

} // namespace

running_sim::running_sim(std::vector<const char*> args) {
    args.insert(args.begin(), "kormelan3-sim");
    sim_options o;
    std::string err;
    EXPECT_EQ(sim_options_parse(static_cast<int>(args.size()), args.data(), &o, &err), SIM_OPT_RUN) << err;
    EXPECT_EQ(sim_server_start(o, &server, &err), 0) << err;
}

running_sim::~running_sim() {
    sim_server_stop(server);
}

int running_sim::port() const {
    return sim_server_tcp_port(server);
}

std::string running_sim::pty() {
    return sim_server_pty_path(server);
}

void running_sim::set_fault(int fault, double p) {
    sim_server_call(server, [&](sim_service* s) { s->wire()->proto()->faults.p[fault] = p; });
}

void ConnectTest::SetUp() {
    current = this;
    panel_reset_program();
    paras.pt_para_min = nullptr;
    paras.pt_para_max = nullptr;
    SetPopupHandler(answer_popup);
    ASSERT_NO_FATAL_FAILURE(panel_start_program());
}

void ConnectTest::TearDown() {
    init_rs232(&com.connect, 0, 0, 0);
    link_clear_serial_devices();
    panel_stop_program();
    EXPECT_TRUE(answers.empty()) << "answers left over";
    current = nullptr;
}

int ConnectTest::commit(int ctrl) {
    return SimulateCtrlEvent(tab1, ctrl, EVENT_COMMIT, 0, 0);
}

std::string ConnectTest::log_text() {
    int lines = 0;
    GetNumTextBoxLines(tab1, TAB1_TEXT_CONNECTSTAT, &lines);
    std::string all;
    for (int i = 0; i < lines; i++) {
        char line[512] = "";
        GetTextBoxLine(tab1, TAB1_TEXT_CONNECTSTAT, i, line, sizeof line);
        all += line;
        all += '\n';
    }
    return all;
}

std::string ConnectTest::status_text() {
    return text(graph1, GRAPH1_STRING_STATUS);
}

int ConnectTest::dimmed(int panel, int ctrl) {
    int v = -1;
    GetCtrlAttribute(panel, ctrl, ATTR_DIMMED, &v);
    return v;
}

int ConnectTest::visible(int panel, int ctrl) {
    int v = -1;
    GetCtrlAttribute(panel, ctrl, ATTR_VISIBLE, &v);
    return v;
}
