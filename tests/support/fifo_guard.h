// A named pipe for tests of code that must refuse one without waiting for a
// writer. Should the code under test block on it all the same, the guard opens
// the other end after a few seconds, which releases the reader with an empty
// input, and notes that it had to: the test then fails instead of hanging.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class fifo_guard {
  public:
    explicit fifo_guard(std::string path, std::chrono::milliseconds patience = std::chrono::seconds(5))
        : path_(std::move(path)) {
        made_ = mkfifo(path_.c_str(), 0600) == 0;
        if (made_) watcher_ = std::thread([this, patience] { watch(patience); });
    }
    ~fifo_guard() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        if (watcher_.joinable()) watcher_.join();
        if (made_) unlink(path_.c_str());
    }
    fifo_guard(const fifo_guard&) = delete;
    fifo_guard& operator=(const fifo_guard&) = delete;

    const std::string& path() const { return path_; }
    bool made() const { return made_; }
    // True when a reader had to be released.
    bool fired() {
        std::lock_guard<std::mutex> lock(mutex_);
        return fired_;
    }

  private:
    void watch(std::chrono::milliseconds patience) {
        std::unique_lock<std::mutex> lock(mutex_);
        if (wake_.wait_for(lock, patience, [this] { return done_; })) return;
        // A writer that opens without blocking succeeds only while a reader has
        // the pipe open, or waits in open for a writer.
        while (!done_) {
            const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (fd >= 0) {
                ::close(fd);
                fired_ = true;
            }
            wake_.wait_for(lock, std::chrono::milliseconds(50), [this] { return done_; });
        }
    }

    std::string path_;
    bool made_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    bool fired_ = false;
    std::thread watcher_;
};
