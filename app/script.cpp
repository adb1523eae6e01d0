// Script mode.
//
//   zazed --script FILE      (FILE "-" reads the script from standard input)
//
// The program starts as usual and then runs the script one line at a time from
// its event loop, so the panels behave exactly as under a person's hands, with
// or without a display (QT_QPA_PLATFORM=offscreen). A line whose callback
// starts a long loop (RUN, VIDEO, a transfer, the connection procedure) does
// not hold the script up: the following lines run while the loop runs, as a
// person's clicks would.
//
// One command per line; blank lines and lines starting with '#' are skipped.
// Words are separated by blanks; a word with blanks is written in double
// quotes ("a b", with \" and \\ inside). Panels are named as in the program
// (mpanel, osci1, tab1 .. tab11, graph1 .. graph3, popup1), controls by their
// layout names (CBTN_RUN, RING_CHAN ...); `list` shows them all.
//
//   commit PANEL CONTROL          press a button / commit the control as a
//                                 click would (toggles and switches flip)
//   set PANEL CONTROL VALUE       type or pick VALUE, then commit: a ring item
//                                 by label or value, a number, on/off
//   rightclick PANEL [CONTROL]    right click on a control or the panel
//   doubleclick PANEL [CONTROL]   left double click
//   key PANEL CONTROL|- KEY       key press on a control (- : the panel);
//                                 KEY is a character or Enter, Return, Esc,
//                                 Tab, Backspace, Delete, Home, End, Left,
//                                 Up, Right, Down, F1, Space
//   answer yes|no|ok|cancel|PATH  queue the answer of the next popup
//   wait SECONDS                  let the program run
//   waitfor PANEL CONTROL REGEX [TIMEOUT]
//                                 wait until the control's value (as print
//                                 shows it) contains a match; 10 s by default
//   print PANEL CONTROL [value|text|label|dimmed|visible|colour]
//   print PANEL [title|visible]   to standard output, one line
//   list                          every panel and control with its kind
//   screenshot PANEL|window FILE.png
//                                 picture of a panel, or of the main window
//   close                         close the main window (normal shut-down)
//
// `print` of a ring shows "LABEL (VALUE)", of a graph its number of plots, of
// a strip chart its points per trace, of a colour "R,G,B". A dimmed control
// cannot be committed, set or typed into, nor can an invisible one.
//
// Popups take the queued answers in order; a popup without one takes its
// default (message: ok, question: no, file dialog: cancel). Every popup's
// title and text are printed to standard error. At the end of the script the
// program closes as with `close`. A bad line, an unknown panel or control, a
// control that cannot take the action, a wrong answer for a popup or a waitfor
// time-out prints "script FILE:LINE: reason" to standard error and closes the
// program with exit status 2.
#include "app/script.h"

#include "app/script_clock.h"
#include "app/script_ctrl.h"
#include "app/shell.h"
#include "support/path_time.h"
#include "ui/panels.h"
#include "ui/ui.h"

#include <cstdio>
#include <deque>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

const int script_error_status = 2;
const double waitfor_default = 10.0;
const double waitfor_poll = 0.02;

struct script_state {
    std::string name;
    std::vector<std::string> lines;
    size_t next = 0;    // index of the next line to run
    size_t current = 0; // line number (1-based) of the line that runs
    int exit_code = 0;
    bool active = false;
    bool done = false;
    std::deque<std::string> answers;
    // a waitfor in progress
    bool waiting = false;
    double deadline = 0.0;
    std::vector<std::string> wait_args;
    size_t wait_line = 0;
    std::string pending_error; // raised inside a popup, reported at the next step
};

script_state S;

void step();

void finish(int code) {
    if (S.done) return;
    S.done = true;
    S.exit_code = code;
    shell_shutdown(code);
}

void fail(const std::string& reason, size_t line) {
    if (S.done) return;
    std::cerr << "script " << S.name << ":" << line << ": " << reason << std::endl;
    finish(script_error_status);
}

bool tokenize(const std::string& line, std::vector<std::string>* words, std::string* error) {
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && isspace(static_cast<unsigned char>(line[i]))) i++;
        if (i >= line.size()) break;
        std::string word;
        if (line[i] == '"') {
            i++;
            bool closed = false;
            while (i < line.size()) {
                char c = line[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < line.size()) c = line[i++];
                word += c;
            }
            if (!closed) {
                *error = "unterminated quote";
                return false;
            }
        } else {
            while (i < line.size() && !isspace(static_cast<unsigned char>(line[i]))) word += line[i++];
        }
        words->push_back(word);
    }
    return true;
}

// ---- popups -------------------------------------------------------------------------------

const char* popup_kind(int kind) {
    switch (kind) {
    case UI_POPUP_MESSAGE:
        return "message";
    case UI_POPUP_CONFIRM:
        return "question";
    case UI_POPUP_FILE_LOAD:
        return "file (load)";
    case UI_POPUP_FILE_SAVE:
        return "file (save)";
    case UI_POPUP_XY_GRAPH:
        return "graph";
    default:
        return "panel";
    }
}

bool file_exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

int script_popup(const ui_popup_request* r, char* path_out, int path_size) {
    if (r->kind == UI_POPUP_PANEL || r->kind == UI_POPUP_PANEL_REMOVE) return 0;
    std::cerr << "popup " << popup_kind(r->kind) << ": " << (r->title ? r->title : "");
    if (r->text && *r->text) std::cerr << ": " << r->text;
    std::cerr << std::endl;
    if (S.answers.empty()) {
        std::cerr << "  (no answer queued: default)" << std::endl;
        return r->kind == UI_POPUP_MESSAGE ? 1 : 0;
    }
    std::string a = S.answers.front();
    S.answers.pop_front();
    std::cerr << "  answer: " << a << std::endl;
    switch (r->kind) {
    case UI_POPUP_MESSAGE:
    case UI_POPUP_XY_GRAPH:
        if (a == "ok" || a == "cancel") return 1;
        break;
    case UI_POPUP_CONFIRM:
        if (a == "yes" || a == "ok") return 1;
        if (a == "no" || a == "cancel") return 0;
        break;
    case UI_POPUP_FILE_LOAD:
    case UI_POPUP_FILE_SAVE:
        if (a == "cancel") return UI_NO_FILE_SELECTED;
        if (a == "yes" || a == "no" || a == "ok") break;
        snprintf(path_out, static_cast<size_t>(path_size), "%s", a.c_str());
        if (r->kind == UI_POPUP_FILE_SAVE && !file_exists(a)) return UI_NEW_FILE_SELECTED;
        return UI_EXISTING_FILE_SELECTED;
    default:
        break;
    }
    S.pending_error = "answer '" + a + "' does not fit the " + popup_kind(r->kind) + " popup";
    return r->kind == UI_POPUP_MESSAGE ? 1 : 0;
}

// ---- commands ---------------------------------------------------------------------------------

// The panel and control of a command; false (with the script failed) when
// either is unknown. With `optional`, a missing control word means the panel.
bool target(const std::vector<std::string>& w, size_t at, bool optional, int* panel, int* ctrl) {
    if (w.size() <= at) {
        fail(w[0] + ": panel name missing", S.current);
        return false;
    }
    *panel = script_panel(w[at]);
    if (*panel < 0) {
        fail("unknown panel '" + w[at] + "'", S.current);
        return false;
    }
    *ctrl = 0;
    if (w.size() <= at + 1 || (optional && w[at + 1] == "-")) {
        if (optional) return true;
        fail(w[0] + ": control name missing", S.current);
        return false;
    }
    *ctrl = script_ctrl(*panel, w[at + 1]);
    if (*ctrl < 0) {
        fail("unknown control '" + w[at + 1] + "' on panel '" + w[at] + "'", S.current);
        return false;
    }
    return true;
}

// A person can operate only what is visible and not dimmed.
bool operable(const std::vector<std::string>& w, int panel, int ctrl) {
    int dimmed = 0, visible = 1;
    if (ctrl) {
        GetCtrlAttribute(panel, ctrl, ATTR_DIMMED, &dimmed);
        GetCtrlAttribute(panel, ctrl, ATTR_VISIBLE, &visible);
    } else {
        GetPanelAttribute(panel, ATTR_DIMMED, &dimmed);
    }
    std::string what = ctrl ? "'" + w[2] + "' on panel '" + w[1] + "'" : "panel '" + w[1] + "'";
    if (dimmed) fail(w[0] + ": " + what + " is dimmed", S.current);
    if (!visible) fail(w[0] + ": " + what + " is not visible", S.current);
    return !dimmed && visible;
}

void print_line(const std::string& text) {
    std::cout << text << std::endl;
}

bool cmd_print(const std::vector<std::string>& w) {
    if (w.size() < 2 || w.size() > 4)
        return fail("print: PANEL [CONTROL] [ATTRIBUTE] expected", S.current), false;
    int panel = script_panel(w[1]);
    if (panel < 0) return fail("unknown panel '" + w[1] + "'", S.current), false;
    std::string text;
    if (w.size() == 2 || (w.size() == 3 && (w[2] == "title" || w[2] == "visible"))) {
        std::string what = w.size() == 2 ? "title" : w[2];
        script_panel_text(panel, what, &text);
        print_line(text);
        return true;
    }
    int panel_h = 0, ctrl = 0;
    if (!target(w, 1, false, &panel_h, &ctrl)) return false;
    std::string what = w.size() == 4 ? w[3] : "value";
    if (script_ctrl_text(panel, ctrl, what, &text) < 0)
        return fail("print: cannot show " + what + " of '" + w[2] + "'", S.current), false;
    print_line(text);
    return true;
}

void cmd_list() {
    int panels[64];
    int n = EnumPanels(panels, 64);
    for (int i = 0; i < n && i < 64; i++) {
        char name[64] = "";
        GetPanelAttribute(panels[i], ATTR_PANEL_NAME, name, sizeof name);
        print_line(name);
        int ids[512];
        int m = EnumCtrls(panels[i], ids, 512);
        for (int j = 0; j < m && j < 512; j++) {
            char ctrl[128] = "";
            GetCtrlAttribute(panels[i], ids[j], ATTR_CONSTANT_NAME, ctrl, sizeof ctrl);
            if (!ctrl[0]) continue; // the information text made at start-up
            print_line(std::string(name) + " " + ctrl + " " +
                       script_kind_name(GetCtrlKind(panels[i], ids[j])));
        }
    }
}

bool cmd_screenshot(const std::vector<std::string>& w) {
    if (w.size() != 3) return fail("screenshot: PANEL|window FILE.png expected", S.current), false;
    int panel = w[1] == "window" ? mpanel : script_panel(w[1]);
    if (panel <= 0) return fail("unknown panel '" + w[1] + "'", S.current), false;
    // Pending layout and paint work first, so the picture shows the state now.
    ProcessSystemEvents();
    if (SavePanelImage(panel, w[2].c_str()) < 0)
        return fail("screenshot: cannot write " + w[2], S.current), false;
    return true;
}

bool parse_seconds(const std::string& s, double* seconds) {
    char* end = nullptr;
    *seconds = strtod(s.c_str(), &end);
    return !s.empty() && *end == 0 && *seconds >= 0.0;
}

// Checks the waitfor in progress; schedules the next check, the next line, or
// fails on time-out.
void check_waitfor() {
    if (S.done || !S.waiting) return;
    const std::vector<std::string>& w = S.wait_args;
    S.current = S.wait_line;
    int panel = 0, ctrl = 0;
    if (!target(w, 1, false, &panel, &ctrl)) return;
    std::string text;
    script_ctrl_text(panel, ctrl, "value", &text);
    std::regex re;
    try {
        re = std::regex(w[3]);
    } catch (const std::regex_error&) {
        fail("waitfor: bad regular expression '" + w[3] + "'", S.current);
        return;
    }
    if (std::regex_search(text, re)) {
        S.waiting = false;
        script_call_after(0.0, step);
        return;
    }
    if (Timer() >= S.deadline) {
        S.waiting = false;
        fail("waitfor: time-out; " + w[1] + " " + w[2] + " is '" + text + "'", S.current);
        return;
    }
    script_call_after(waitfor_poll, check_waitfor);
}

void start_waitfor(const std::vector<std::string>& w) {
    if (w.size() < 4 || w.size() > 5)
        return fail("waitfor: PANEL CONTROL REGEX [TIMEOUT] expected", S.current);
    double timeout = waitfor_default;
    if (w.size() == 5 && !parse_seconds(w[4], &timeout))
        return fail("waitfor: bad time-out '" + w[4] + "'", S.current);
    S.waiting = true;
    S.wait_args = w;
    S.wait_line = S.current;
    S.deadline = Timer() + timeout;
    check_waitfor();
}

// Commands that act on a control as a person would. The next line is
// scheduled first, so it runs even while this line's callback still loops.
void cmd_act(const std::vector<std::string>& w) {
    const std::string& c = w[0];
    int panel = 0, ctrl = 0;
    bool optional = c == "rightclick" || c == "doubleclick" || c == "key";
    if (!target(w, 1, optional, &panel, &ctrl)) return;
    if (c == "commit" || c == "set" || c == "key")
        if (!operable(w, panel, ctrl)) return;
    size_t expected = c == "commit" ? 3 : c == "set" || c == "key" ? 4 : ctrl ? 3 : 2;
    if (w.size() != expected) return fail(c + ": wrong number of words", S.current);
    int key = 0;
    std::string error;
    if (c == "key" && !(key = script_key(w[3]))) return fail("key: unknown key '" + w[3] + "'", S.current);
    if (c == "set" && script_set_value(panel, ctrl, w[3], &error) < 0)
        return fail("set: " + error, S.current);

    script_call_after(0.0, step);
    if (c == "commit") {
        if (script_flip(panel, ctrl)) SimulateCtrlEvent(panel, ctrl, EVENT_VAL_CHANGED, 0, 0);
        SimulateCtrlEvent(panel, ctrl, EVENT_COMMIT, 0, 0);
    } else if (c == "set") {
        SimulateCtrlEvent(panel, ctrl, EVENT_VAL_CHANGED, 0, 0);
        SimulateCtrlEvent(panel, ctrl, EVENT_COMMIT, 0, 0);
    } else if (c == "rightclick") {
        SimulateCtrlEvent(panel, ctrl, EVENT_RIGHT_CLICK, 0, 0);
    } else if (c == "doubleclick") {
        SimulateCtrlEvent(panel, ctrl, EVENT_LEFT_DOUBLE_CLICK, 0, 0);
    } else {
        if (ctrl) SetActiveCtrl(panel, ctrl);
        FakeKeystroke(panel, ctrl, key);
    }
}

// Runs one line. Returns true when the next line is to be scheduled here.
bool run_line(const std::vector<std::string>& w) {
    const std::string& c = w[0];
    if (c == "commit" || c == "set" || c == "rightclick" || c == "doubleclick" || c == "key") {
        cmd_act(w);
        return false;
    }
    if (c == "wait") {
        double seconds = 0.0;
        if (w.size() != 2 || !parse_seconds(w[1], &seconds))
            return fail("wait: SECONDS expected", S.current), false;
        script_call_after(seconds, step);
        return false;
    }
    if (c == "waitfor") {
        start_waitfor(w);
        return false;
    }
    if (c == "answer") {
        if (w.size() != 2) return fail("answer: one answer expected", S.current), false;
        S.answers.push_back(w[1]);
        return true;
    }
    if (c == "print") return cmd_print(w);
    if (c == "list") {
        if (w.size() != 1) return fail("list takes no arguments", S.current), false;
        cmd_list();
        return true;
    }
    if (c == "screenshot") return cmd_screenshot(w);
    if (c == "close") {
        if (w.size() != 1) return fail("close takes no arguments", S.current), false;
        S.done = true;
        SimulateCtrlEvent(mpanel, 0, EVENT_CLOSE, 0, 0);
        return false;
    }
    fail("unknown command '" + c + "'", S.current);
    return false;
}

void step() {
    if (!S.active || S.done) return;
    if (!S.pending_error.empty()) return fail(S.pending_error, S.current);
    while (S.next < S.lines.size()) {
        size_t index = S.next++;
        std::vector<std::string> words;
        std::string error;
        if (!tokenize(S.lines[index], &words, &error)) return fail(error, index + 1);
        if (words.empty() || words[0][0] == '#') continue;
        S.current = index + 1;
        if (run_line(words)) script_call_after(0.0, step);
        return;
    }
    // The end of the script closes the program as `close` would.
    S.done = true;
    SimulateCtrlEvent(mpanel, 0, EVENT_CLOSE, 0, 0);
}

int begin(const std::string& text, const std::string& name) {
    script_reset();
    S.name = name;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        S.lines.push_back(line);
    }
    S.active = true;
    SetPopupHandler(script_popup);
    script_call_after(0.0, step);
    return 0;
}

} // namespace

int script_start(const char* path) {
    std::stringstream text;
    if (std::string(path) == "-") {
        text << std::cin.rdbuf();
    } else {
        std::ifstream f(path);
        if (!f) {
            std::cerr << "script " << path << ": cannot be read" << std::endl;
            return -1;
        }
        text << f.rdbuf();
    }
    return begin(text.str(), path);
}

int script_start_text(const char* text, const char* name) {
    return begin(text ? text : "", name ? name : "script");
}

int script_exit_code() {
    return S.exit_code;
}

void script_reset() {
    if (S.active) SetPopupHandler(nullptr);
    S = script_state{};
}
