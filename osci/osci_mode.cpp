// The oscillograph mode of a channel as the settings panel shows it, and the
// check whether both channels record alike.
#include "osci/osci_mode.h"

#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <initializer_list>

namespace {

struct osci_controls {
    int mode_ring, skip, pretrig, cond;
};

const osci_controls osci_a = {TAB6_RING_MODEA, TAB6_NUMS_SKIPA, TAB6_NUMS_PRETRIGA, TAB6_RING_OSCICONDA};
const osci_controls osci_b = {TAB6_RING_MODEB, TAB6_NUMS_SKIPB, TAB6_NUMS_PRETRIGB, TAB6_RING_OSCICONDB};

} // namespace

void set_oszi_mode(int channel, int mode) {
    if (mode < -1 || mode > 1) return;
    const osci_controls& c = channel == 1 ? osci_b : osci_a;
    static const char* const labels[3] = {"Trigger = Off", "Trigger = Auto", "Trigger = Once"};
    const int off = mode == -1;
    for (int ctrl : {c.pretrig, c.skip, c.cond}) SetCtrlAttribute(tab6, ctrl, ATTR_DIMMED, off);
    SetCtrlAttribute(tab6, c.mode_ring, ATTR_LABEL_TEXT, labels[mode + 1]);
    SetCtrlVal(tab6, c.mode_ring, mode);
    // A skip count of 0 is what turns the unit's recording off, so the skip
    // count follows the mode.
    int skip = 0;
    GetCtrlVal(tab6, c.skip, &skip);
    if (off)
        SetCtrlVal(tab6, c.skip, 0);
    else if (skip == 0)
        SetCtrlVal(tab6, c.skip, 1);
}

int test_osci_setting(const para_record* rec) {
    for (int i = 0; i < 3; i++)
        if (rec->osci_condA.evnt[i] != rec->osci_condB.evnt[i]) return 0;
    return rec->osci_skipA == rec->osci_skipB && rec->osci_pretrigA == rec->osci_pretrigB;
}
