// The shell started on the real panel layouts for each test, with every hook
// recording what it was asked to do, and popups answered by the test.
#pragma once

#include "app/shell.h"
#include "connect/connect_panel.h"
#include "run/run_mode.h"
#include "tests/common/panel_fixture.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What the hooks were asked, in order ("acquire 1", "exchange 3", "stop 0", "step 4" ...).
extern std::vector<std::string> calls;

// Results the fake parameter functions give.
struct fake_results {
    int exchange = 0;
    int save = 0;
    int file = 0;
    std::string exchange_text = "Done. ";
};
extern fake_results fakes;

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Number of calls that start with `prefix`.
    static int count(const std::string& prefix);
    static int index_of(const std::string& call);
    static std::string ctrl_text(int panel, int ctrl) { return panel_text(panel, ctrl); }
};
