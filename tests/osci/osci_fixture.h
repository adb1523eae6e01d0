// VIDEO and the oscillograph window on the program's real panels (offscreen),
// with a simulated unit on its own thread over TCP loopback. Every request the
// unit answers is noted from its log, and a test may act on the unit (its
// faults, its oscillographs) as each request arrives, on the unit's thread.
#pragma once

#include "tests/run/run_fixture.h"

#include <functional>
#include <mutex>
#include <vector>

struct sim_proto;

// One request as the unit logged it, with its answer's order and value.
struct logged_frame {
    int order, value, answer_order, answer_value;
};

class OsciSimTest : public RunTest {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the unit and connects; `paced` paces TCP like a 115200-baud line,
    // `pty` puts the unit on a 115200-baud pseudo-terminal opened as COM7.
    void start_unit(bool paced, bool pty = false);
    // TRY TO CONNECT on the connect panel, to the unit as start_unit reached
    // it (a pseudo-terminal the unit replaced after a cut by its new path).
    void try_to_connect();
    // The requests answered since the last clear.
    std::vector<logged_frame> frames();
    void clear_frames();
    // Runs on the unit's thread for each request, before its answer goes out.
    void on_request(std::function<void(sim_proto*, const logged_frame&)> action);
    // Oscillograph status as the unit would report it now (1 A, 2 B, 3 both).
    int unit_osci_status();
    // Waits (handling events) until the unit reports at least the channels of
    // `status`; false after 10 s.
    bool wait_for_status(int status);
    // The time-ordered sequence of a channel as the unit holds it.
    std::vector<uint16_t> unit_sequence(int channel);
    // Mode rings of the settings panel: -1 Off, 0 Auto, 1 Once.
    static void modes(int a, int b);
    // Presses VIDEO; STOP follows after `ms` unless the loop ended before.
    void video_for(int ms);
    sim_server* server = nullptr;
    bool on_pty = false;

  private:
    std::mutex mutex_;
    std::vector<logged_frame> frames_;
    std::function<void(sim_proto*, const logged_frame&)> action_;
};

// The answer a decoded sequence must be: point j of a read with `factor` and
// start index `s` holds the unit's sample ((q - q mod k) - s) mod 1024 (value
// and input bits) with q = (s + j + k) mod 1024, k = 4 / factor; the last k
// points repeat point 1023 - k.
std::vector<uint16_t> expected_decoding(const std::vector<uint16_t>& sequence, int factor, int s);
