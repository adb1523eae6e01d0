#include "linear_fixture.h"

#include "connect/connect_panel.h"

#include "link/link.h"
#include "run/run_mode.h"
#include "sim/sim_proto.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"

#include <cstdio>
#include <cstring>
#include <fstream>

namespace {

LinearTest* current = nullptr;

int answer_popup(const ui_popup_request* r, char* path, int size) {
    LinearTest* t = current;
    switch (r->kind) {
    case UI_POPUP_MESSAGE:
        t->popups.push_back(popup_line(r));
        return 1;
    case UI_POPUP_CONFIRM: {
        t->popups.push_back(popup_line(r));
        int yes = 0;
        if (!t->confirms.empty()) {
            yes = t->confirms.front();
            t->confirms.pop_front();
        }
        return yes;
    }
    case UI_POPUP_FILE_LOAD:
    case UI_POPUP_FILE_SAVE: {
        t->file_popups++;
        t->last_file_popup = {r->directory ? r->directory : "", r->default_name ? r->default_name : "",
                              r->filter ? r->filter : "", r->title ? r->title : "", r->kind};
        std::string answer;
        if (!t->files.empty()) {
            answer = t->files.front();
            t->files.pop_front();
        }
        return answer_file_popup(answer, UI_EXISTING_FILE_SELECTED, path, size);
    }
    default:
        return 0;
    }
}

} // namespace

void LinearTest::SetUp() {
    dir = make_temp_dir("zazed_lin");
    ASSERT_FALSE(dir.empty());
    panel_reset_program();
    lins = linear_state{};
    current = this;
    SetPopupHandler(answer_popup);
    ASSERT_NO_FATAL_FAILURE(panel_start_program());
}

void LinearTest::TearDown() {
    panel_stop_program();
    current = nullptr;
    remove_temp_dir(dir);
}

std::string LinearTest::write_file(const std::string& name, const std::string& text) const {
    const std::string path = dir + "/" + name;
    std::ofstream out(path, std::ios::binary);
    out << text;
    return path;
}

std::vector<std::string> LinearTest::box_lines(int ctrl) {
    std::vector<std::string> lines;
    int n = 0;
    GetNumTextBoxLines(tab9, ctrl, &n);
    for (int i = 0; i < n; i++) {
        char line[1024] = "";
        GetTextBoxLine(tab9, ctrl, i, line, sizeof line);
        lines.emplace_back(line);
    }
    return lines;
}

int LinearTest::plots(int ctrl) {
    int n = -1;
    GetCtrlAttribute(graph1, ctrl, ATTR_NUM_PLOTS, &n);
    return n;
}

void LinearSimTest::SetUp() {
    LinearTest::SetUp();
    if (on_pty) {
        const char* pty[] = {"kormelan3-sim", "--pty", "--baud", "115200"};
        sim_options o;
        std::string err;
        ASSERT_EQ(sim_options_parse(4, pty, &o, &err), SIM_OPT_RUN) << err;
        ASSERT_NO_FATAL_FAILURE(start_sim_unit(o, &server));
    } else {
        ASSERT_NO_FATAL_FAILURE(start_sim_unit(&server));
    }
    // The log line comes before the answer goes out: the test's hook can still
    // change what the unit answers.
    on_sim_log(server, [this](sim_proto* p, const char* line) {
        sim_request rq{};
        // Request lines only: the unit's log also has a line for each fault it injects.
        if (std::sscanf(line, "%*f s order %d value %d words %d", &rq.order, &rq.value, &rq.nwords) != 3)
            return;
        std::function<void(sim_proto*, const sim_request&)> hook;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(rq);
            hook = hook_;
        }
        if (hook) hook(p, rq);
    });
    ASSERT_NO_FATAL_FAILURE(connect_sim_unit(server, on_pty));
}

void LinearSimTest::try_to_connect() {
    try_to_connect_sim_unit(server, on_pty);
}

void LinearSimTest::TearDown() {
    stop_sim_unit(&server);
    LinearTest::TearDown();
}

std::vector<sim_request> LinearSimTest::requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void LinearSimTest::on_request(std::function<void(sim_proto*, const sim_request&)> fn) {
    std::lock_guard<std::mutex> lock(mutex_);
    hook_ = std::move(fn);
}

std::vector<uint16_t> LinearSimTest::unit_block(int block) {
    std::vector<uint16_t> words(SIM_BLOCK_WORDS);
    sim_server_call(server, [&](sim_service* s) {
        std::memcpy(words.data(), s->wire()->proto()->unit.lin[block], words.size() * sizeof words[0]);
    });
    return words;
}
