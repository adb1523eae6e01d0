// The program on its real layouts (offscreen) with its own subsystems, for the
// general and hidden settings panels: popups and help requests noted, and a
// simulated unit on its own thread for the tests that talk to one.
#pragma once

#include "app/shell.h"
#include "link/link.h"
#include "run/run_mode.h"
#include "tests/common/panel_fixture.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct sim_server;
struct UiPlot;

class SettingsTest : public ::testing::Test {
  public:
    // (panel name, control name) of every help request.
    static std::vector<std::pair<std::string, std::string>> helps;
    static std::vector<std::string> popups;

  protected:
    void SetUp() override;
    void TearDown() override;

    static std::string text(int panel, int ctrl) { return panel_text(panel, ctrl); }
    static double number(int panel, int ctrl) { return panel_number(panel, ctrl); }
    static int attr(int panel, int ctrl, int attribute) { return panel_attr(panel, ctrl, attribute); }
    // Sets a control's value and commits it as the user would.
    static void commit(int panel, int ctrl, int value) { panel_commit(panel, ctrl, value); }
    static void commit(int panel, int ctrl, double value) { panel_commit(panel, ctrl, value); }
    static void press(int panel, int ctrl) { panel_press(panel, ctrl); }
    // Runs `fn` `ms` milliseconds from now while the program handles events.
    static void at(int ms, std::function<void()> fn) { panel_at(ms, std::move(fn)); }
    // The plots of the transfer graph, oldest first.
    static std::vector<const UiPlot*> transfer_plots();
    // The x range the transfer graph is scaled to.
    static void transfer_x_range(double* min, double* max);
};

// The same with a simulated unit connected over TCP loopback, whose requests
// are noted as "order value words" lines.
class SettingsSimTest : public SettingsTest {
  protected:
    void SetUp() override;
    void TearDown() override;
    std::vector<std::string> requests();
    // Requests with this order number.
    int count_orders(int order);
    sim_server* server = nullptr;

  private:
    std::mutex mutex_;
    std::vector<std::string> requests_;
};
