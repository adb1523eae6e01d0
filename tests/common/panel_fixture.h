// What the fixtures of the program's panels have in common: the program
// started on its real layouts (offscreen), the controls read and worked as the
// user would, a private folder, and a simulated unit on its own thread reached
// over TCP loopback. Each fixture keeps its own names for these.
#pragma once

#include "ui/ui.h"

#include <functional>
#include <string>

struct sim_options;
struct sim_proto;
struct sim_server;

// The layouts and the shell's callbacks, once per test program.
void panel_register();
// The shell on the program's own subsystems, unconnected and idle.
void panel_reset_program();
// Starts the shell on the real panels; tests that write the settings file
// choose where.
void panel_start_program();
// The panels discarded and every event they left handled.
void panel_discard();
// panel_discard, then no popup handler and no shell hooks.
void panel_stop_program();

std::string panel_text(int panel, int ctrl);
double panel_number(int panel, int ctrl);
int panel_attr(int panel, int ctrl, int attribute);
// Sets a control's value and commits it as the user would.
void panel_commit(int panel, int ctrl, int value);
void panel_commit(int panel, int ctrl, double value);
void panel_press(int panel, int ctrl);
// Runs `fn` `ms` milliseconds from now while the program handles events.
void panel_at(int ms, std::function<void()> fn);

// "title<sep>text" of a popup.
std::string popup_line(const ui_popup_request* r, const char* sep = "|");
// A file popup's answer: `answer` into `path` and `selected`, or, for an empty
// answer, UI_NO_FILE_SELECTED.
int answer_file_popup(const std::string& answer, int selected, char* path, int size);

// A new folder under /tmp named after `prefix`; empty on failure.
std::string make_temp_dir(const char* prefix);
// Removes the folder and all in it; a failure fails the test.
void remove_temp_dir(const std::string& dir);

// Starts a simulated unit from `o` (default: TCP on any free loopback port).
void start_sim_unit(sim_server** server);
void start_sim_unit(const sim_options& o, sim_server** server);
// Every line the unit logs goes to `fn` on the unit's thread; a request's line
// comes before its answer goes out, so `fn` may still change the answer.
void on_sim_log(sim_server* server, std::function<void(sim_proto*, const char*)> fn);
// The COM number a unit on a pseudo-terminal is opened as.
constexpr int SIM_PTY_COM = 7;
// Connects the program to the unit over TCP loopback, or over its
// pseudo-terminal at 115200 bit/s.
void connect_sim_unit(sim_server* server, bool pty = false);
// TRY TO CONNECT on the connect panel as the user would. After a cut the unit
// makes a new device on its own thread, which can take a while: on a
// pseudo-terminal the user tries again for up to 3 s until it answers.
void try_to_connect_sim_unit(sim_server* server, bool pty);
// Closes the program's connection and forgets the COM devices, then stops the unit.
void stop_sim_unit(sim_server** server);
