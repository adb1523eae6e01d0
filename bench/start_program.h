// The program's start-up for the benchmarks that measure it on its own panels:
// every panel loaded and filled as zazed loads them, popups written to stderr
// instead of waiting for a click.
#pragma once

#include "app/shell.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>

inline int bench_quiet_popup(const ui_popup_request* r, char*, int) {
    std::fprintf(stderr, "popup: %s / %s\n", r->title ? r->title : "", r->text ? r->text : "");
    return 0;
}

// Returns what shell_startup returns (negative when the panels did not load).
inline int bench_start_program() {
    RegisterUserIF(userif_panels, userif_panel_count, userif_controls, userif_control_count);
    shell_register_callbacks();
    shell_use_subsystems();
    SetPopupHandler(bench_quiet_popup);
    return shell_startup();
}
