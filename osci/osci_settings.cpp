// Callbacks of the oscillograph settings panel: the mode rings, the skip
// counts, the pretriggers (which move the trigger cursors) and the two master
// buttons that copy one channel's recording settings onto the other.
#include "osci/osci_gui.h"
#include "osci/osci_mode.h"

#include "params/cond_ring_ui.h"
#include "ui/help_hook.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

namespace {

struct channel_fields {
    int skip, pretrig, cond;
};
const channel_fields fields[2] = {
    {TAB6_NUMS_SKIPA, TAB6_NUMS_PRETRIGA, TAB6_RING_OSCICONDA},
    {TAB6_NUMS_SKIPB, TAB6_NUMS_PRETRIGB, TAB6_RING_OSCICONDB},
};

} // namespace

void set_osci_master(int master) {
    if (master != 0 && master != 1) return;
    const channel_fields& from = fields[master];
    const channel_fields& to = fields[1 - master];
    for (int f : {0, 1}) {
        const int src = f ? from.pretrig : from.skip;
        const int dst = f ? to.pretrig : to.skip;
        int v = 0;
        if (GetCtrlVal(tab6, src, &v) >= 0) SetCtrlVal(tab6, dst, v);
    }
    // The condition travels as its words, so a "Special" item arrives whole.
    ui_ring from_ring, to_ring;
    int index = -1;
    if (GetCtrlIndex(tab6, from.cond, &index) < 0) return;
    event_cond cond = {};
    if (string2cond(&cond, nullptr, COND_KIND_EVENT_OUTPUTS, ui_ring_bind(&from_ring, tab6, from.cond),
                    index) < 0)
        return;
    cond2string(&cond, nullptr, COND_KIND_EVENT_OUTPUTS, ui_ring_bind(&to_ring, tab6, to.cond));
}

int CC_RING_ONCE(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT) return 0;
    int mode = -1;
    GetCtrlVal(panel, control, &mode);
    if (control == TAB6_RING_MODEB) {
        // Channel B switched off records nothing, whatever the ring says.
        set_oszi_mode(1, paras.para_pc.input_sourceB == -1 ? -1 : mode);
    } else {
        set_oszi_mode(0, mode);
    }
    return 0;
}

int CC_NUMS_TAKESAMPLES(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event != EVENT_COMMIT) return 0;
    // Only the field that changed counts: the other channel keeps its mode.
    int skip = 1;
    GetCtrlVal(panel, control, &skip);
    if (skip == 0) set_oszi_mode(control == TAB6_NUMS_SKIPB ? 1 : 0, -1);
    return 0;
}

int CC_PRETRIGGER(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event == EVENT_COMMIT) osci_place_trigger_cursors();
    return 0;
}

int CC_CBTN_MASTER(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_RIGHT_CLICK) return show_ctrl_help(panel, control);
    if (event == EVENT_COMMIT) set_osci_master(control == TAB6_CBTN_MASTERB ? 1 : 0);
    return 0;
}
