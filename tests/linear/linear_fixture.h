// The linearisation panel on the program's real layouts (offscreen) with its
// own subsystems, popups answered and noted by the test, and, for the transfer
// tests, a simulated unit on its own thread reached over TCP loopback, whose
// requests the test sees in order.
#pragma once

#include "app/shell.h"
#include "linear/linear_info.h"
#include "tests/common/panel_fixture.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

struct sim_server;
struct sim_proto;

class LinearTest : public ::testing::Test {
  public:
    // Answers of the next confirm popups (1 yes, 0 no; none left: no) and of
    // the next file popups (a path; "" or none left: cancel).
    std::deque<int> confirms;
    std::deque<std::string> files;
    // "title|text" of every message and confirm popup; the last file popup.
    std::vector<std::string> popups;
    struct file_popup {
        std::string directory, default_name, filter, title;
        int kind = 0;
    } last_file_popup;
    int file_popups = 0;

  protected:
    void SetUp() override;
    void TearDown() override;
    static std::string text(int panel, int ctrl) { return panel_text(panel, ctrl); }
    static int attr(int panel, int ctrl, int attribute) { return panel_attr(panel, ctrl, attribute); }
    static void press(int panel, int ctrl) { panel_press(panel, ctrl); }
    // Runs `fn` `ms` milliseconds from now while the program handles events.
    static void at(int ms, std::function<void()> fn) { panel_at(ms, std::move(fn)); }
    // A file of the private directory with `text` in it; returns its path.
    std::string write_file(const std::string& name, const std::string& text) const;
    // The box's lines as GetTextBoxLine gives them.
    static std::vector<std::string> box_lines(int ctrl);
    // Plots a graph holds.
    static int plots(int ctrl);
    std::string dir;
};

// One request the unit received.
struct sim_request {
    int order;
    int value;
    int nwords;
    bool operator==(const sim_request&) const = default;
};
inline std::ostream& operator<<(std::ostream& o, const sim_request& r) {
    return o << "{" << r.order << ", 0x" << std::hex << r.value << std::dec << ", " << r.nwords << "}";
}

// The same with a simulated unit connected over TCP loopback.
class LinearSimTest : public LinearTest {
  protected:
    void SetUp() override;
    void TearDown() override;
    // The requests received so far, in order.
    std::vector<sim_request> requests();
    // Called on the unit's thread for each request before it is answered.
    void on_request(std::function<void(sim_proto*, const sim_request&)> fn);
    // The unit's linearisation block `block` (0 = the information block, 1 to
    // 8 the table parts), 256 words.
    std::vector<uint16_t> unit_block(int block);
    // TRY TO CONNECT on the connect panel to the unit, on whichever line.
    void try_to_connect();
    sim_server* server = nullptr;
    // Set before SetUp: the unit on a 115200-baud pseudo-terminal opened as
    // COM7 instead of TCP.
    bool on_pty = false;

  private:
    std::mutex mutex_;
    std::vector<sim_request> requests_;
    std::function<void(sim_proto*, const sim_request&)> hook_;
};
