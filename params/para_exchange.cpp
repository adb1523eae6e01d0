// Moving the parameter set between the PC and the unit's RAM and ROM, and the
// channel reset order; each builds its status text by concatenation, and a
// failure text replaces what was there.
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

void append(char* text, const char* tail) {
    const size_t len = strnlen(text, LINK_TEXT_SIZE - 1);
    snprintf(text + len, LINK_TEXT_SIZE - len, "%s", tail);
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
    if (!words || nwords <= 0) {
        words = nullptr;
        nwords = 0;
    }
    if (!answer || max_answer <= 0) {
        answer = nullptr;
        max_answer = 0;
    }

    // `raw` is the last transaction's own code: the order-8 status codes 3 to 5
    // read as success in the text but do not count as exactly 0 below.
    int raw = 0;
    int rc = 0;
    if (mode == PARA_MODE_SEND_RAM || mode == PARA_MODE_SEND_ROM) {
        raw = transact(ORDER_WRITE_RAM, value, words, nwords, answer, max_answer);
        rc = switch_status(raw, text);
        // A set the unit refused in part must not reach its permanent memory;
        // the count is reported below as for a send to RAM.
        if (mode == PARA_MODE_SEND_ROM && raw == 0 && com.data_in.header.value == 0) {
            raw = transact(ORDER_STORE_ROM, value, nullptr, 0, nullptr, 0);
            append(text, " Store to ROM ... ");
            rc = switch_status(raw, text);
        }
    } else {
        char rom_text[LINK_TEXT_SIZE] = "";
        if (mode == PARA_MODE_READ_ROM) {
            snprintf(rom_text, sizeof rom_text, "Load from ROM ... ");
            raw = transact(ORDER_LOAD_ROM, value, nullptr, 0, nullptr, 0);
            rc = switch_status(raw, rom_text);
            if (raw != 0) snprintf(text, LINK_TEXT_SIZE, "%s", rom_text);
        }
        if (raw == 0) {
            raw = transact(ORDER_READ_RAM, value, words, nwords, answer, max_answer);
            rc = switch_status(raw, text);
            if (mode == PARA_MODE_READ_ROM) {
                char both[LINK_TEXT_SIZE];
                snprintf(both, sizeof both, "%s", rom_text);
                append(both, text);
                memcpy(text, both, sizeof both);
            }
        }
    }

    // The unit counts the fields its plausibility check refused in the value
    // field of its answer; only a plain success carries that count.
    if (raw == 0 && com.data_in.header.value != 0) {
        snprintf(text, LINK_TEXT_SIZE, "%i plausibility check errors!",
                 static_cast<int>(com.data_in.header.value));
        rc = LINK_ERR_PLAUSIBILITY;
    }
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
