// The simulator executable as a child process, for tests and benchmarks that need the
// unit outside the process they measure (CPU use of the program alone) or that kill it
// the way a pulled adapter or a crashed server goes away.
#pragma once

#include <cerrno>
#include <chrono>
#include <csignal>
#include <string>
#include <vector>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

struct sim_process {
    pid_t pid = -1;
    int out_fd = -1;   // the child's standard output
    std::string first; // the first line it printed: "tcp PORT" or "pty PATH"

    sim_process() = default;
    sim_process(const sim_process&) = delete;
    sim_process& operator=(const sim_process&) = delete;
    ~sim_process() { stop(); }

    // Starts `exe` with `args` and waits up to 5 s for its announcement line.
    bool start(const char* exe, const std::vector<std::string>& args) {
        int p[2];
        if (::pipe(p) != 0) return false;
        pid = ::fork();
        if (pid < 0) return false;
        if (pid == 0) {
            ::dup2(p[1], STDOUT_FILENO);
            ::close(p[0]);
            ::close(p[1]);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(exe));
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(exe, argv.data());
            ::_exit(127);
        }
        ::close(p[1]);
        out_fd = p[0];
        return read_line(&first, 5000);
    }

    // "pty /dev/pts/N" -> "/dev/pts/N"; "tcp 1234" -> "1234".
    std::string announced() const {
        const auto space = first.find(' ');
        return space == std::string::npos ? std::string() : first.substr(space + 1);
    }

    // SIGKILL: no destructor runs, the pseudo-terminal vanishes as the kernel closes it.
    void kill_now() {
        if (pid <= 0) return;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }

    void stop() {
        if (pid > 0) {
            ::kill(pid, SIGTERM);
            ::waitpid(pid, nullptr, 0);
            pid = -1;
        }
        if (out_fd >= 0) ::close(out_fd);
        out_fd = -1;
    }

  private:
    bool read_line(std::string* line, int timeout_ms) {
        using clock = std::chrono::steady_clock;
        const auto deadline = clock::now() + std::chrono::milliseconds(timeout_ms);
        line->clear();
        for (;;) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now()).count();
            if (left <= 0) return false;
            pollfd pf{out_fd, POLLIN, 0};
            if (::poll(&pf, 1, static_cast<int>(left)) <= 0) continue;
            char c;
            const ssize_t n = ::read(out_fd, &c, 1);
            if (n == 0) return false;
            if (n < 0) {
                if (errno == EINTR) continue;
                return false;
            }
            if (c == '\n') return true;
            line->push_back(c);
        }
    }
};
