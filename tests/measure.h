// Wall and CPU time for the tests and benchmarks that measure how the program waits.
#pragma once

#include <chrono>
#include <sys/resource.h>

// Monotonic seconds.
inline double now_s() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// User plus system CPU seconds of this process.
inline double cpu_seconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}
