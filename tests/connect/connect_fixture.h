// The program's panels with its real subsystems, a simulated unit on its own
// thread, and popups answered from a queue the test fills.
#pragma once

#include "app/shell.h"
#include "connect/connect_panel.h"
#include "link/link.h"
#include "sim/sim_server.h"
#include "tests/common/panel_fixture.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

// A unit for the length of a test, started from simulator options.
struct running_sim {
    sim_server* server = nullptr;
    explicit running_sim(std::vector<const char*> args);
    ~running_sim();
    running_sim(const running_sim&) = delete;
    running_sim& operator=(const running_sim&) = delete;
    int port() const;
    std::string pty();
    // Probability of one injected fault from now on.
    void set_fault(int fault, double p);
};

class ConnectTest : public ::testing::Test {
  public:
    // Answers of the next popups: confirm 1/0; a path answers a file popup,
    // an empty path cancels it.
    std::deque<int> answers;
    std::deque<std::string> paths;
    // "title: text" of every popup shown.
    std::vector<std::string> popups;

  protected:
    void SetUp() override;
    void TearDown() override;

    static int commit(int ctrl);
    static std::string log_text();
    static std::string status_text();
    static std::string text(int panel, int ctrl) { return panel_text(panel, ctrl); }
    static int dimmed(int panel, int ctrl);
    static int visible(int panel, int ctrl);
    // Handles events until `done` holds or `seconds` passed.
    template <class F>
    static bool wait_until(F done, double seconds) {
        for (int i = 0; i < seconds * 100 && !done(); i++) WaitForActivity(0.01);
        return done();
    }
    // COM number the pseudo-terminal is opened as.
    static constexpr int COM = 7;
};
