// Real-time line of the simulated unit (see sim_wire.h).
#include "sim/sim_wire.h"

#include <algorithm>
#include <chrono>

#if defined(__linux__)
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace {

constexpr int64_t BATCH_US = 1000; // write paced bytes at most this often
// A PC's UART (a 16550A as Linux sets it up) interrupts once 8 bytes wait in its receive
// FIFO, or when the line falls quiet; USB adapters hand over larger packets still. Bytes
// therefore reach the program in batches of at least this many, not one by one, which
// at 9600 baud would wake it a thousand times a second.
constexpr int FIFO_BYTES = 8;
// Waking up takes the process some tens of microseconds; the line wakes that much
// early so that a frame's last byte leaves on time rather than late.
constexpr int64_t WAKE_LEAD_US = 80;
constexpr int TICK_MS = 5; // model steps while autosend runs

} // namespace

int64_t sim_clock_us() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

sim_wire::sim_wire(const sim_config& cfg, std::function<int(const uint8_t*, int)> write,
                   std::function<void()> hangup, QObject* parent)
    : QObject(parent), proto_(std::make_unique<sim_proto>()), write_(std::move(write)),
      hangup_(std::move(hangup)) {
    sim_proto_init(proto_.get(), &cfg);
    sim_proto_advance(proto_.get(), sim_clock_us());
#if defined(__linux__)
    // Qt's timers count whole milliseconds; a timerfd wakes the line to the microsecond,
    // on the same monotonic clock as sim_clock_us.
    wake_fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (wake_fd_ >= 0) {
        wake_notifier_ = new QSocketNotifier(wake_fd_, QSocketNotifier::Read, this);
        connect(wake_notifier_, &QSocketNotifier::activated, this, [this] {
            uint64_t expirations;
            while (::read(wake_fd_, &expirations, sizeof expirations) > 0) {
            }
            on_wake();
        });
    }
#endif
    wake_timer_.setSingleShot(true);
    wake_timer_.setTimerType(Qt::PreciseTimer);
    connect(&wake_timer_, &QTimer::timeout, this, &sim_wire::on_wake);
    ticker_.setInterval(TICK_MS);
    connect(&ticker_, &QTimer::timeout, this, &sim_wire::on_wake);
}

sim_wire::~sim_wire() {
#if defined(__linux__)
    delete wake_notifier_;
    if (wake_fd_ >= 0) ::close(wake_fd_);
#endif
}

int sim_wire::rate_for(const sim_chunk& c) const {
    return pace_ < 0 ? c.baud : pace_;
}

int sim_wire::rx_rate() const {
    return pace_ < 0 ? proto_->baud : pace_;
}

void sim_wire::received(const uint8_t* bytes, int count, int client_baud) {
    const int64_t now = sim_clock_us();
    const int rate = rx_rate();
    int64_t arrived = now;
    if (rate > 0) {
        // The bytes were there a wake-up before they were noticed.
        rx_free_us_ = std::max(now - WAKE_LEAD_US, rx_free_us_) + sim_wire_us(count, rate);
        arrived = rx_free_us_;
    }
    sim_proto_feed(proto_.get(), bytes, count, arrived, client_baud);
    pump();
    update_ticker();
}

void sim_wire::line_reset() {
    sim_proto_line_reset(proto_.get());
    queue_.clear();
    line_free_us_ = rx_free_us_ = 0;
}

void sim_wire::on_wake() {
    sim_proto_advance(proto_.get(), sim_clock_us());
    pump();
    update_ticker();
}

void sim_wire::update_ticker() {
    const bool want = proto_->unit.autosend;
    if (want && !ticker_.isActive()) ticker_.start();
    if (!want && ticker_.isActive()) ticker_.stop();
}

void sim_wire::pump() {
    sim_chunk c;
    while (sim_proto_take(proto_.get(), &c)) {
        pending p;
        p.chunk = std::move(c);
        queue_.push_back(std::move(p));
    }
    const int64_t now = sim_clock_us() + WAKE_LEAD_US;
    while (!queue_.empty()) {
        pending& p = queue_.front();
        const int size = static_cast<int>(p.chunk.bytes.size());
        if (!p.started) {
            p.started = true;
            p.baud = rate_for(p.chunk);
            p.start_us = std::max(p.chunk.due_us, line_free_us_);
        }
        const int64_t end_us = p.start_us + sim_wire_us(size, p.baud);
        if (now < p.start_us) {
            arm(p.start_us + sim_wire_us(1, p.baud));
            return;
        }
        // A byte may go once its last bit would have reached the client.
        int due = size;
        if (p.baud > 0 && now < end_us) due = static_cast<int>((now - p.start_us) * p.baud / 10 / 1000000);
        due = std::clamp(due, p.written, size);
        if (due > p.written) {
            // A transport that cannot take more (nobody reads the pseudo-terminal) loses
            // the bytes, as a real line would.
            write_(p.chunk.bytes.data() + p.written, due - p.written);
            p.written = due;
        }
        if (p.written < size) {
            const int64_t next_byte = p.start_us + sim_wire_us(p.written + 1, p.baud);
            const int64_t batch_us = std::max(BATCH_US, sim_wire_us(FIFO_BYTES, p.baud));
            arm(std::min(end_us, std::max(next_byte, now + batch_us)));
            return;
        }
        line_free_us_ = std::max(line_free_us_, end_us);
        const bool hangup = p.chunk.hangup;
        queue_.pop_front();
        if (hangup) {
            line_reset();
            hangup_();
            return;
        }
    }
}

void sim_wire::arm(int64_t at_us) {
#if defined(__linux__)
    if (wake_fd_ >= 0) {
        itimerspec its{};
        at_us = std::max<int64_t>(at_us - WAKE_LEAD_US, 1);
        its.it_value.tv_sec = static_cast<time_t>(at_us / 1000000);
        its.it_value.tv_nsec = static_cast<long>((at_us % 1000000) * 1000);
        timerfd_settime(wake_fd_, TFD_TIMER_ABSTIME, &its, nullptr);
        return;
    }
#endif
    const int64_t wait_us = std::max<int64_t>(0, at_us - WAKE_LEAD_US - sim_clock_us());
    wake_timer_.start(static_cast<int>((wait_us + 999) / 1000));
}
