// The program started on its real layouts (offscreen) with its own
// subsystems, popups answered and noted by the test, and, for the loop tests,
// a simulated unit on its own thread reached over TCP loopback.
#pragma once

#include "app/shell.h"
#include "run/run_mode.h"
#include "tests/common/panel_fixture.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct sim_server;

// Popups shown ("title|text"), and the path the next file popup answers
// ("" cancels).
extern std::vector<std::string> popups;
extern std::string file_answer;
// Points the last XY graph popup got, and its title.
extern std::vector<double> xy_x, xy_y;
extern std::string xy_title;
// Column the viewer's list popup picks, -1 cancels.
extern int column_answer;

class RunTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    static std::string text(int panel, int ctrl) { return panel_text(panel, ctrl); }
    static int attr(int panel, int ctrl, int attribute) { return panel_attr(panel, ctrl, attribute); }
    // Sets a control's value and commits it as the user would.
    static void commit(int panel, int ctrl, int value) { panel_commit(panel, ctrl, value); }
    static void press(int panel, int ctrl) { panel_press(panel, ctrl); }
    // Runs `fn` `ms` milliseconds from now while the program handles events.
    static void at(int ms, std::function<void()> fn) { panel_at(ms, std::move(fn)); }
    std::string tmp_path(const char* name) const;
    std::string dir;
};

// The same with a simulated unit connected over TCP loopback.
class RunSimTest : public RunTest {
  protected:
    void SetUp() override;
    void TearDown() override;
    // The unit's autosend condition: `mask` on the events of all three
    // registers (0xFFFF: as often as its line allows, 0: never).
    void set_autosend_events(uint16_t mask);
    // Chooses `path` as the record file through the SELECT FILE dialog.
    void choose_file(const std::string& path);
    // Presses RUN (or START when `start`) and STOP `ms` later; returns when the loop ended.
    void run_for(int ms, int start = 0);
    long autosent();
    sim_server* server = nullptr;
};

// The lines of a text file.
std::vector<std::string> file_lines(const std::string& path);
// The ";"-terminated fields of a line.
std::vector<std::string> fields(const std::string& line);
