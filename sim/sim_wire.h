// The line between a transport and the simulated unit's protocol core: real time,
// RS-232 pacing and the hand-over of bytes in both directions.
//
// A request counts as received when its last byte would have arrived over a line of
// the set rate (10 bits per byte), and the answer's bytes go out at that rate after
// it, so a client measures the round trip of a real line. Bytes are written in
// batches at least a millisecond and a UART's FIFO trigger level apart, but the last
// byte of each frame is written at its exact time: the frame rate matches the line rate,
// not the timer granularity.
#pragma once

#include "sim/sim_proto.h"

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

// Monotonic time in microseconds, the time base of the simulator's front ends.
int64_t sim_clock_us();

class sim_wire : public QObject {
    Q_OBJECT
  public:
    // `write` hands bytes to the transport and returns how many it took; `hangup`
    // closes the connection (the fault that cuts a frame).
    sim_wire(const sim_config& cfg, std::function<int(const uint8_t*, int)> write,
             std::function<void()> hangup, QObject* parent = nullptr);
    ~sim_wire() override;

    // Pacing: a positive rate overrides the rate of the chunks, 0 sends unpaced, -1
    // follows the unit's own rate (so order 190 changes it).
    void set_pacing(int baud) { pace_ = baud; }

    // Bytes from the client; `client_baud` as the client set its line, 0 if unknown.
    void received(const uint8_t* bytes, int count, int client_baud);

    // The client went away: drop what was half received and what was not yet sent.
    void line_reset();

    sim_proto* proto() { return proto_.get(); }

  private:
    struct pending {
        sim_chunk chunk;
        bool started = false;
        int64_t start_us = 0;
        int written = 0;
        int baud = 0;
    };

    void pump();
    void arm(int64_t at_us);
    void on_wake();
    void update_ticker();
    int rate_for(const sim_chunk& c) const;
    int rx_rate() const;

    std::unique_ptr<sim_proto> proto_;
    std::function<int(const uint8_t*, int)> write_;
    std::function<void()> hangup_;
    std::deque<pending> queue_;
    int pace_ = 0;
    int64_t line_free_us_ = 0; // the output line is busy until then
    int64_t rx_free_us_ = 0;   // the input line is busy until then
    int wake_fd_ = -1;
    QSocketNotifier* wake_notifier_ = nullptr;
    QTimer wake_timer_;
    QTimer ticker_; // runs the unit between requests while it sends autosend frames
};
