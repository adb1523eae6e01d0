// A scripted line and clock for tests of everything that talks through the link.
//
// Time stands still until the link waits; a wait jumps to the next scripted step (or by
// the whole wait when none is due), runs it, and returns. Steps deliver bytes, raise line
// errors, or run any code, such as queueing a user event or starting a nested
// transaction from a "button callback".
#pragma once

#include "link/transport.h"

#include <deque>
#include <functional>
#include <vector>

struct fake_clock {
    double t = 0.0;
    double now() const { return t; }
};

class fake_link final : public link_transport {
  public:
    explicit fake_link(fake_clock* clock) : clock_(clock) {}

    // Runs `action` once the clock reaches `at` seconds.
    void at(double at, std::function<void()> action);
    // Delivers bytes at `at` seconds (announced through on_data_ready, as a socket would).
    void deliver_at(double at, std::vector<uint8_t> bytes);
    // Called on every write with the bytes written; typically schedules an answer.
    std::function<void(fake_link& self, const std::vector<uint8_t>& request)> respond;
    // The port dies at `at` seconds, as when the peer vanishes.
    void fail_at(double at);

    int write_error = 0;        // returned by write() when not 0
    double drain_seconds = 0.0; // time the written bytes take to leave
    int line_error_bits = 0;    // reported (once) by line_errors()

    std::vector<std::vector<uint8_t>> writes; // every write, in order
    int waits = 0;                            // calls of wait_for_activity
    int flushes = 0;
    bool closed = false;

    void close() override { closed = true; }
    int write(const uint8_t* bytes, int count) override;
    int bytes_waiting() override { return static_cast<int>(input_.size()); }
    int read(uint8_t* dst, int max) override;
    void flush() override;
    int output_pending() override;
    int line_errors() override;
    void wait_for_activity(double seconds) override;
    bool failed() override { return dead_; }
    std::string error_text() override { return dead_ ? "fake line died" : "fake write failed"; }

  private:
    struct step {
        double at;
        long seq;
        std::function<void()> action;
    };
    fake_clock* clock_;
    std::vector<step> script_;
    long seq_ = 0;
    std::deque<uint8_t> input_;
    double drained_at_ = 0.0;
    int pending_ = 0;
    bool dead_ = false;
};
