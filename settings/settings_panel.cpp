// Callbacks of the general and hidden settings panels.
#include "settings/settings_panel.h"

#include "connect/connect_panel.h"
#include "link/link.h"
#include "link/orders.h"
#include "run/run_mode.h"
#include "settings/anaout_view.h"
#include "ui/help_hook.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>

namespace {

// A fixed interval starts at 50 µs; the maximum rate shows the 20 µs the unit
// needs at least, dimmed since it is not a setting then.
const int fixed_interval_us = 50;
const int maximum_rate_us = 20;

int help_only(int panel, int control, int event) {
    return event == EVENT_RIGHT_CLICK ? show_ctrl_help(panel, control) : 0;
}

} // namespace

int settings_norm_now() {
    std::snprintf(str_data, sizeof str_data, "Ordering unit to acquire norm factor ... ");
    SetCtrlVal(graph1, GRAPH1_STRING_STATUS, str_data);
    const int rc = switch_status(
        exchange_frame(&com.connect, ORDER_NORM_NOW, 0, nullptr, 0, nullptr, 0, nullptr), str_data);
    SetCtrlVal(graph1, GRAPH1_STRING_STATUS, str_data);
    return rc;
}

int CC_RING_SCANSETTING(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || panel != tab7) return 0;
    int setting = 0;
    if (GetCtrlVal(panel, control, &setting) < 0) return 0;
    SetCtrlVal(panel, TAB7_NUMS_SCANRATE, setting != 0 ? fixed_interval_us : maximum_rate_us);
    SetCtrlAttribute(panel, TAB7_NUMS_SCANRATE, ATTR_DIMMED, setting != 0 ? 0 : 1);
    return 0;
}

// While a transaction waits, the press is that transaction's interrupt; while
// RUN or VIDEO runs, the loop serves it as such. Either way not here, or the
// unit would be ordered twice.
int CC_CMDB_NORM_NOW(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || com.exch_active || runs.run) return 0;
    settings_norm_now();
    return 0;
}

int CC_NUMS_SCANRATE(int panel, int control, int event, void*, int, int) {
    return help_only(panel, control, event);
}

int CC_NUMS_NORMTIMECONSTANT(int panel, int control, int event, void*, int, int) {
    return help_only(panel, control, event);
}

int CC_RING_DIRTOUTPUT(int panel, int control, int event, void*, int, int) {
    return help_only(panel, control, event);
}

int CC_RING_NORMCOND1(int panel, int control, int event, void*, int, int) {
    return help_only(panel, control, event);
}

int CC_RING_SWITCH_ANAOUT(int panel, int control, int event, void*, int, int) {
    return help_only(panel, control, event);
}

void register_settings_callbacks() {
    struct entry {
        const char* name;
        ui_callback function;
    };
    const entry table[] = {
        {"CC_RING_SCANSETTING", CC_RING_SCANSETTING},
        {"CC_CMDB_NORM_NOW", CC_CMDB_NORM_NOW},
        {"CC_NUMS_SCANRATE", CC_NUMS_SCANRATE},
        {"CC_NUMS_NORMTIMECONSTANT", CC_NUMS_NORMTIMECONSTANT},
        {"CC_RING_DIRTOUTPUT", CC_RING_DIRTOUTPUT},
        {"CC_RING_NORMCOND1", CC_RING_NORMCOND1},
        {"CC_RING_SWITCH_ANAOUT", CC_RING_SWITCH_ANAOUT},
        {"CC_RING_ANALOGOUTMODE", CC_RING_ANALOGOUTMODE},
        {"CC_MANU_SCALE", CC_MANU_SCALE},
        {"CC_GRPH_TRANSFER", CC_GRPH_TRANSFER},
        {"CC_CMDB_CLOSE", CC_CMDB_CLOSE},
    };
    for (const entry& e : table) RegisterCallbackName(e.name, e.function);
}
