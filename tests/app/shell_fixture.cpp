#include "shell_fixture.h"

#include "app/script.h"
#include "link/link.h"
#include "ui/help_hook.h"

#include <cstring>

std::vector<std::string> calls;
fake_results fakes;

namespace {

void note(const std::string& s) {
    calls.push_back(s);
}

int acquire(para_record*, int mode) {
    note("acquire " + std::to_string(mode));
    return 0;
}

int update(para_record*) {
    note("update");
    return 0;
}

int exchange(int mode, int, char* text, uint16_t* words, int nwords, uint16_t* answer, int max_answer) {
    note("exchange " + std::to_string(mode) + " out " + std::to_string(nwords) + " in " +
         std::to_string(max_answer));
    if (answer)
        for (int i = 0; i < max_answer; i++) answer[i] = static_cast<uint16_t>(1000 + i);
    (void)words;
    strncat(text, fakes.exchange_text.c_str(), LINK_TEXT_SIZE - strlen(text) - 1);
    return fakes.exchange;
}

int save(IniText, const para_record*, const para_record*, const para_record*) {
    note("save2file");
    return fakes.save;
}

int load(IniText, para_record* rec) {
    note("file2para");
    if (fakes.file >= 0) rec->scanrate = 4321;
    return fakes.file;
}

void rec_buttons(int on) {
    note("rec_buttons " + std::to_string(on));
}

int help(const char* panel, const char* control) {
    note(std::string("help ") + panel + (*control ? std::string(" ") + control : ""));
    return 1;
}

void step(int n) {
    note("step " + std::to_string(n));
}

// A dialog would block an offscreen test.
int no_popups(const ui_popup_request* r, char*, int) {
    ADD_FAILURE() << "unexpected popup " << (r->title ? r->title : "");
    return 0;
}

} // namespace

void ShellTest::SetUp() {
    calls.clear();
    fakes = fake_results{};
    panel_register();
    shell = shell_hooks{};
    shell.acquire_para = acquire;
    shell.update_para = update;
    shell.parameter_exchange = exchange;
    shell.parameter_save2file = save;
    shell.parameter_file2para = load;
    shell.set_rec_buttons = rec_buttons;
    set_help_handler(help);
    shell.shutdown_step = step;
    com.connect = connect_info{};
    com.exch_active = 0;
    runs.run = 0;
    SetPopupHandler(no_popups);
    ASSERT_NO_FATAL_FAILURE(panel_start_program());
    calls.clear();
}

void ShellTest::TearDown() {
    script_reset();
    SetPopupHandler(no_popups);
    ResumeTimerCallbacks();
    panel_discard();
    shell = shell_hooks{};
    set_help_handler(nullptr);
}

int ShellTest::count(const std::string& prefix) {
    int n = 0;
    for (const std::string& c : calls)
        if (c.rfind(prefix, 0) == 0) n++;
    return n;
}

int ShellTest::index_of(const std::string& call) {
    for (size_t i = 0; i < calls.size(); i++)
        if (calls[i] == call) return static_cast<int>(i);
    return -1;
}

