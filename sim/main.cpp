// kormelan3-sim: a simulated KORMELAN-3 control unit on TCP or a pseudo-terminal.
#include "sim/sim_options.h"
#include "sim/sim_server.h"
#include "sim/sim_wire.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

int signal_pipe[2] = {-1, -1};

void on_signal(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(signal_pipe[1], &c, 1);
}

// Ends the event loop on SIGINT and SIGTERM, so that the destructors remove the
// symbolic link and close the pseudo-terminal.
void quit_on_signals(QCoreApplication* app) {
    if (::pipe(signal_pipe) != 0) return;
    auto* n = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, app);
    QObject::connect(n, &QSocketNotifier::activated, app, &QCoreApplication::quit);
    std::signal(SIGINT, on_signal);
    std::signal(SIGTERM, on_signal);
}

} // namespace

int main(int argc, char** argv) {
    sim_options opts;
    std::string error;
    const int rc = sim_options_parse(argc, argv, &opts, &error);
    if (rc == SIM_OPT_HELP) {
        std::fputs(sim_options_help(), stdout);
        return 0;
    }
    if (rc != SIM_OPT_RUN) {
        std::fprintf(stderr, "kormelan3-sim: %s\n", error.c_str());
        return 2;
    }
    QCoreApplication app(argc, argv);
    quit_on_signals(&app);
    int status = 0;
    {
        sim_service service(opts);
        QString message;
        const auto announce = [](const QString& line) {
            std::printf("%s\n", line.toLocal8Bit().constData());
            std::fflush(stdout);
        };
        if (service.start(announce, &message) != 0) {
            std::fprintf(stderr, "kormelan3-sim: %s\n", message.toLocal8Bit().constData());
            return 1;
        }
        if (opts.verbose)
            service.wire()->proto()->log = [](const char* line) { std::fprintf(stderr, "%s\n", line); };
        status = app.exec();
    }
    return status;
}
