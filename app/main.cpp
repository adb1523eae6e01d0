// Program entry: start-up, the event loop, and the end of the program.
#include "app/demo.h"
#include "app/script.h"
#include "app/shell.h"
#include "support/program.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>
#include <cstring>

namespace {

const char usage[] = "usage: zazed [--demo] [--script FILE|-] [--help]\n"
                     "  --demo         attach a simulated control unit over TCP loopback\n"
                     "  --script FILE  run the commands of FILE (- : standard input), then close\n"
                     "  --help         this text\n";

} // namespace

int main(int argc, char** argv) {
    const char* script = nullptr;
    bool demo = false;
    for (int i = 1; i < argc; i++) {
        if (!strcmp(argv[i], "--help") || !strcmp(argv[i], "-h")) {
            fputs(usage, stdout);
            return 0;
        }
        if (!strcmp(argv[i], "--version")) {
            printf("%s\n", pc_version_str);
            return 0;
        }
        if (!strcmp(argv[i], "--demo")) {
            demo = true;
            continue;
        }
        if (!strcmp(argv[i], "--script") && i + 1 < argc) {
            script = argv[++i];
            continue;
        }
        fprintf(stderr, "zazed: unknown option '%s'\n%s", argv[i], usage);
        return 2;
    }

    if (InitUserInterface(&argc, argv) < 0) return -1;
    RegisterUserIF(userif_panels, userif_panel_count, userif_controls, userif_control_count);
    shell_register_callbacks();
    shell_use_subsystems();
    if (shell_startup() < 0) return -1;
    if (demo && shell_start_demo() < 0) {
        shell_discard_panels();
        return 2;
    }
    if (script && script_start(script) < 0) {
        shell_discard_panels();
        return 2;
    }
    int code = RunUserInterface();
    shell_discard_panels();
    shell_stop_demo();
    CloseUserInterface();
    return code;
}
