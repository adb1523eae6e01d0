#include "app/script_clock.h"

#include <QTimer>

void script_call_after(double seconds, void (*fn)()) {
    int ms = seconds <= 0.0 ? 0 : static_cast<int>(seconds * 1000.0 + 0.5);
    // Each call gets its own timer: a timer whose handler is still running
    // (a line whose callback loops) would not fire again, a fresh one does.
    QTimer::singleShot(ms, fn);
}
