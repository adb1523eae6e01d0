// Callbacks of the parameter panels. Each reads its controls, calls the
// routine that does the work, and shows the result.
#include "link/link.h"
#include "params/cond_ring_ui.h"
#include "params/para_gui.h"
#include "ui/help_hook.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

params_hooks params_hook = {};

int CC_RING_TIMER(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || (panel != tab2 && panel != tab3)) return 0;
    int on = 0;
    int time = 0;
    GetCtrlVal(panel, TAB2_BINS_TIMER, &on);
    GetCtrlVal(panel, TAB2_NUMS_TIMER, &time);
    event_cond cond = {};
    int index = -1;
    ui_ring ring;
    if (GetCtrlIndex(panel, TAB2_RING_TIMERCOND, &index) >= 0)
        string2cond(&cond, nullptr, COND_KIND_EVENT, ui_ring_bind(&ring, panel, TAB2_RING_TIMERCOND), index);

    if (control == TAB2_BINS_TIMER) {
        config_timer(panel, on == 0, &paras.para_pc);
        if (on != 0) SetCtrlVal(panel, TAB2_NUMS_TIMER, 1);
    } else if (control == TAB2_RING_TIMERCOND) {
        // "Never" starts no timer: the timer is as good as off.
        if (cond.evnt[0] == 0 && cond.evnt[1] == 0 && cond.evnt[2] == 0)
            config_timer(panel, 1, &paras.para_pc);
    } else if (control == TAB2_NUMS_TIMER) {
        if (time == 1) config_timer(panel, 0, &paras.para_pc);
    }
    return 0;
}

int CC_RING_CHAN(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || panel != tab3) return 0;
    int source = 0;
    if (GetCtrlVal(panel, control, &source) < 0) return 0;
    paras.para_pc.input_sourceB = static_cast<int16_t>(source);
    panel_B_mode(&paras.para_pc, source, nullptr);
    return 0;
}

int CC_CMDB_RESET(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || com.exch_active) return 0;
    char text[LINK_TEXT_SIZE];
    para_reset_channel(panel == tab3 ? RESET_B : RESET_A, text);
    return 0;
}

int CC_CMDB_TEACH(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT || !params_hook.measured_value) return 0;
    const bool b = control == TAB4_CMDB_TEACHB;
    const int32_t value = params_hook.measured_value(b ? 8 : 0);
    SetTableCellValDouble(panel, b ? TAB4_TABLE_TEACHB : TAB4_TABLE_TEACHA, 1, 1, teach_to_cell(value));
    return 0;
}

void register_params_callbacks() {
    RegisterCallbackName("CC_RING_TIMER", CC_RING_TIMER);
    RegisterCallbackName("CC_RING_CHAN", CC_RING_CHAN);
    RegisterCallbackName("CC_CMDB_RESET", CC_CMDB_RESET);
    RegisterCallbackName("CC_CMDB_TEACH", CC_CMDB_TEACH);
}
