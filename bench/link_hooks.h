// The link's hooks as the program installs them, for the benchmarks that run
// the link without panels: fetching a user event handles pending events, and
// the wait blocks in the event loop until something happens or the deadline
// passes.
#pragma once

#include "link/link.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

inline void bench_install_link_hooks() {
    link_ui_hooks h;
    h.get_user_event = [](int*, int*) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        return 0;
    };
    h.wait_for_activity = [](double seconds) {
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.start(static_cast<int>(seconds * 1000.0 + 0.5));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    };
    link_set_ui_hooks(h);
}
