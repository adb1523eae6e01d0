// A full disk without mounting anything: the body runs in a child process whose
// files may not grow beyond a limit (RLIMIT_FSIZE). With SIGXFSZ ignored, a
// write past the limit fails with EFBIG instead of killing the process, as a
// write to a full disk fails with ENOSPC. Works for any user, root included,
// and leaves the test process's own limit alone.
#pragma once

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Sets the limit of the calling (child) process; a child may move it up and
// down below its hard limit as often as it likes.
inline bool set_file_limit(rlim_t bytes) {
    rlimit r;
    if (getrlimit(RLIMIT_FSIZE, &r) != 0) return false;
    r.rlim_cur = bytes;
    return setrlimit(RLIMIT_FSIZE, &r) == 0;
}

// Runs `body` (returning 0 when every check held, else a code naming the
// check) in a child limited to `bytes`. Returns that code, or 100 + the signal
// when the child was killed.
template <typename F>
int with_file_limit(rlim_t bytes, F body) {
    std::fflush(nullptr); // nothing buffered may be written twice
    const pid_t child = fork();
    if (child < 0) return -1;
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        if (!set_file_limit(bytes)) _exit(99);
        _exit(body());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child) return -1;
    if (WIFSIGNALED(status)) return 100 + WTERMSIG(status);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The same limit on the test process itself, for as long as the object lives:
// for tests whose program needs its threads (a simulated unit) and cannot run
// in a child. Only regular files are limited; the test's output is not.
class scoped_file_limit {
  public:
    explicit scoped_file_limit(rlim_t bytes) {
        old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        ok_ = getrlimit(RLIMIT_FSIZE, &old_) == 0 && set_file_limit(bytes);
    }
    ~scoped_file_limit() {
        if (ok_) setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, old_handler_);
    }
    scoped_file_limit(const scoped_file_limit&) = delete;
    scoped_file_limit& operator=(const scoped_file_limit&) = delete;
    bool ok() const { return ok_; }

  private:
    rlimit old_{};
    bool ok_ = false;
    void (*old_handler_)(int) = SIG_DFL;
};
