// The names under which the layouts bind the oscillograph's callbacks.
#include "osci/osci_gui.h"

#include "ui/ui.h"

void register_osci_callbacks() {
    struct entry {
        const char* name;
        ui_callback function;
    };
    const entry table[] = {
        {"CC_CBTN_VIDEO", CC_CBTN_VIDEO},
        {"CC_CMDB_ACVIDEO", CC_CMDB_ACVIDEO},
        {"CC_OSCILLOGPH", CC_OSCILLOGPH},
        {"CC_OSCI1", CC_OSCI1},
        {"CC_VSLIDE", CC_VSLIDE},
        {"CC_HSLIDE", CC_HSLIDE},
        {"CC_CURSOR", CC_CURSOR},
        {"CC_CURSOR_EN", CC_CURSOR_EN},
        {"CC_BINS_SCALEX", CC_BINS_SCALEX},
        {"CC_RING_ONCE", CC_RING_ONCE},
        {"CC_NUMS_TAKESAMPLES", CC_NUMS_TAKESAMPLES},
        {"CC_PRETRIGGER", CC_PRETRIGGER},
        {"CC_CBTN_MASTER", CC_CBTN_MASTER},
    };
    for (const entry& e : table) RegisterCallbackName(e.name, e.function);
}
