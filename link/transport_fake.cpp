// Scripted line and clock for tests (see transport_fake.h).
#include "link/transport_fake.h"

#include <algorithm>

void fake_link::at(double at, std::function<void()> action) {
    script_.push_back({at, seq_++, std::move(action)});
}

void fake_link::deliver_at(double at, std::vector<uint8_t> bytes) {
    this->at(at, [this, bytes = std::move(bytes)] {
        if (dead_) return;
        input_.insert(input_.end(), bytes.begin(), bytes.end());
        if (on_data_ready) on_data_ready();
    });
}

void fake_link::fail_at(double at) {
    this->at(at, [this] {
        if (dead_) return;
        dead_ = true;
        input_.clear();
        if (on_failure) on_failure();
    });
}

int fake_link::write(const uint8_t* bytes, int count) {
    if (write_error) return write_error;
    std::vector<uint8_t> request(bytes, bytes + count);
    writes.push_back(request);
    pending_ = count;
    drained_at_ = clock_->t + drain_seconds;
    if (respond) respond(*this, request);
    return 0;
}

int fake_link::read(uint8_t* dst, int max) {
    const int n = std::min(max, static_cast<int>(input_.size()));
    std::copy_n(input_.begin(), n, dst);
    input_.erase(input_.begin(), input_.begin() + n);
    return n;
}

void fake_link::flush() {
    flushes++;
    input_.clear();
    pending_ = 0;
}

int fake_link::output_pending() {
    return clock_->t >= drained_at_ ? 0 : pending_;
}

int fake_link::line_errors() {
    const int bits = line_error_bits;
    line_error_bits = 0;
    return bits;
}

void fake_link::wait_for_activity(double seconds) {
    waits++;
    const double until = clock_->t + seconds;
    // Draining output is activity too: the wait ends when the bytes are gone.
    double next = pending_ && drained_at_ > clock_->t ? std::min(until, drained_at_) : until;
    auto due = script_.end();
    for (auto it = script_.begin(); it != script_.end(); ++it) {
        if (it->at > next) continue;
        if (due == script_.end() || it->at < due->at || (it->at == due->at && it->seq < due->seq)) due = it;
    }
    if (due == script_.end()) {
        clock_->t = next;
        return;
    }
    clock_->t = std::max(clock_->t, due->at);
    std::function<void()> action = std::move(due->action);
    script_.erase(due);
    action();
}
