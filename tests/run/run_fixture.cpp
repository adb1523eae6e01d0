#include "run_fixture.h"

#include "link/link.h"
#include "params/para_gui.h"
#include "recorder/rec_modes.h"
#include "sim/sim_proto.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"

#include <QTimer>

#include <cstdio>
#include <cstring>
#include <fstream>

std::vector<std::string> popups;
std::string file_answer;
std::vector<double> xy_x, xy_y;
std::string xy_title;
int column_answer = 0;

namespace {

int answer_popup(const ui_popup_request* r, char* path, int size) {
    switch (r->kind) {
    case UI_POPUP_MESSAGE:
    case UI_POPUP_CONFIRM:
        popups.push_back(popup_line(r));
        return 1;
    case UI_POPUP_FILE_LOAD:
    case UI_POPUP_FILE_SAVE:
        return answer_file_popup(file_answer, UI_NEW_FILE_SELECTED, path, size);
    case UI_POPUP_XY_GRAPH: {
        xy_title = r->title ? r->title : "";
        xy_x.clear();
        xy_y.clear();
        const short* x = static_cast<const short*>(r->x);
        const double* y = static_cast<const double*>(r->y);
        for (int i = 0; i < r->count; i++) {
            xy_x.push_back(x[i]);
            xy_y.push_back(y[i]);
        }
        return 0;
    }
    case UI_POPUP_PANEL:
        // The viewer waits for OK or CANCEL of its column list.
        if (r->panel == popup1) {
            const int column = column_answer;
            QTimer::singleShot(0, [column] {
                if (column < 0) {
                    SimulateCtrlEvent(popup1, POPUP1_CMDB_CANCEL, EVENT_COMMIT, 0, 0);
                    return;
                }
                SetCtrlIndex(popup1, POPUP1_LISTBOX_COLUMNS, column);
                SimulateCtrlEvent(popup1, POPUP1_CMDB_OK, EVENT_COMMIT, 0, 0);
            });
        }
        return 0;
    default:
        return 0;
    }
}

} // namespace

void RunTest::SetUp() {
    popups.clear();
    file_answer.clear();
    column_answer = 0;
    dir = make_temp_dir("zazed_run");
    ASSERT_FALSE(dir.empty());
    panel_reset_program();
    runs.record_to_file = 0;
    recs.file_pathname[0] = 0;
    recorder_set_mode(recs.recorder, 0);
    traces = traces_initial;
    std::memset(stc_data, 0, sizeof stc_data);
    SetPopupHandler(answer_popup);
    ASSERT_NO_FATAL_FAILURE(panel_start_program());
}

void RunTest::TearDown() {
    panel_stop_program();
    remove_temp_dir(dir);
}

std::string RunTest::tmp_path(const char* name) const {
    return dir + "/" + name;
}

void RunSimTest::SetUp() {
    RunTest::SetUp();
    ASSERT_NO_FATAL_FAILURE(start_sim_unit(&server));
    ASSERT_NO_FATAL_FAILURE(connect_sim_unit(server));
}

void RunSimTest::TearDown() {
    stop_sim_unit(&server);
    RunTest::TearDown();
}

void RunSimTest::set_autosend_events(uint16_t mask) {
    uint16_t words[PARA_WORDS];
    ASSERT_EQ(exchange_frame(&com.connect, ORDER_READ_RAM, 0, nullptr, 0, words, PARA_WORDS, nullptr), 0);
    para_record p;
    para_from_words(&p, words);
    // The unit refuses bits beyond those its registers have.
    const uint16_t bits[3] = {0x3FFF, 0x00FF, 0x03FF};
    for (int r = 0; r < 3; r++) p.autosend_cond.evnt[r] = mask & bits[r];
    para_to_words(&p, words);
    ASSERT_EQ(exchange_frame(&com.connect, ORDER_WRITE_RAM, 0, words, PARA_WORDS, nullptr, 0, nullptr), 0);
}

void RunSimTest::choose_file(const std::string& path) {
    file_answer = path;
    press(tab5, TAB5_CMDB_SELECTFILE);
    file_answer.clear();
}

void RunSimTest::run_for(int ms, int start) {
    at(ms, [] { press(mpanel, MPANEL_CBTN_STOP); });
    // Through the layer, so that buttons pressed meanwhile count as pressed
    // inside a callback and reach the loop.
    press(start ? tab5 : mpanel, start ? TAB5_CBTN_START : MPANEL_CBTN_RUN);
}

long RunSimTest::autosent() {
    long n = 0;
    sim_server_call(server, [&](sim_service* s) { n = s->wire()->proto()->stats.autosent; });
    return n;
}

std::vector<std::string> file_lines(const std::string& path) {
    std::vector<std::string> out;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) out.push_back(line);
    return out;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    size_t p = 0;
    for (size_t e; (e = line.find(';', p)) != std::string::npos; p = e + 1)
        out.push_back(line.substr(p, e - p));
    return out;
}
