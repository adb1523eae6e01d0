// The parameter transfer behind SEND and READ, with both buttons dimmed while
// it runs, and the channel reset order.
#include "link/link.h"
#include "link/orders.h"
#include "params/para_gui.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>
#include <cstring>

namespace {

const int idle_color = MakeColor(224, 224, 224);
const int busy_color = MakeColor(255, 0, 0);

// SEND and READ stay dimmed and red while a parameter transfer runs, so the
// user cannot start a second one from the events the link handles meanwhile.
void exchange_buttons(int busy) {
    for (int ctrl : {MPANEL_CBTN_SEND, MPANEL_CBTN_READ}) {
        SetCtrlAttribute(mpanel, ctrl, ATTR_DIMMED, busy);
        SetCtrlAttribute(mpanel, ctrl, ATTR_CMD_BUTTON_COLOR, busy ? busy_color : idle_color);
    }
}

int transact(int order, int value, const uint16_t* words, int nwords, uint16_t* answer, int max_answer) {
    int received = 0;
    return exchange_frame(&com.connect, order, value, words, nwords, answer, max_answer, &received);
}

} // namespace

int parameter_exchange(int mode, int value, char* text, uint16_t* words, int nwords, uint16_t* answer,
                       int max_answer) {
    if (mode < PARA_MODE_SEND_RAM || mode > PARA_MODE_READ_ROM || !text) return LINK_ERR_ARGS;
    exchange_buttons(1);
    const int rc =
        para_transfer(link_exchanger_of(&com.connect), mode, value, text, words, nwords, answer, max_answer);
    exchange_buttons(0);
    return rc;
}

int para_reset_channel(int channel, char* text) {
    if (com.exch_active) return LINK_BUSY;
    snprintf(text, LINK_TEXT_SIZE, "Ordering unit to reset channel %c ... ", channel == RESET_B ? 'B' : 'A');
    SetCtrlVal(graph1, GRAPH1_STRING_STATUS, text);
    const int rc = switch_status(transact(ORDER_RESET, channel, nullptr, 0, nullptr, 0), text);
    SetCtrlVal(graph1, GRAPH1_STRING_STATUS, text);
    return rc;
}
