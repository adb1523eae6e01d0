// The transactions of a parameter transfer and the text they build; a failure
// text replaces what was there.
#include "params/para_transfer.h"

#include "link/link.h"
#include "link/orders.h"

#include <cstdio>
#include <cstring>

namespace {

void append(char* text, const char* tail) {
    const size_t len = strnlen(text, LINK_TEXT_SIZE - 1);
    snprintf(text + len, LINK_TEXT_SIZE - len, "%s", tail);
}

} // namespace

int para_transfer(const link_exchanger& link, int mode, int value, char* text, const uint16_t* words,
                  int nwords, uint16_t* answer, int max_answer) {
    if (mode < PARA_MODE_SEND_RAM || mode > PARA_MODE_READ_ROM || !text || !link.exchange)
        return LINK_ERR_ARGS;
    if (!words || nwords <= 0) {
        words = nullptr;
        nwords = 0;
    }
    if (!answer || max_answer <= 0) {
        answer = nullptr;
        max_answer = 0;
    }
    const auto transact = [&link](int order, int v, const uint16_t* w, int nw, uint16_t* a, int max_a) {
        int received = 0;
        return link.exchange(order, v, w, nw, a, max_a, &received);
    };
    const auto answer_value = [&link]() -> int { return link.answer_value ? link.answer_value() : 0; };

    // `raw` is the last transaction's own code: the order-8 status codes 3 to 5
    // read as success in the text but do not count as exactly 0 below.
    int raw = 0;
    int rc = 0;
    if (mode == PARA_MODE_SEND_RAM || mode == PARA_MODE_SEND_ROM) {
        raw = transact(ORDER_WRITE_RAM, value, words, nwords, answer, max_answer);
        rc = switch_status(raw, text);
        // A set the unit refused in part must not reach its permanent memory;
        // the count is reported below as for a send to RAM.
        if (mode == PARA_MODE_SEND_ROM && raw == 0 && answer_value() == 0) {
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
    if (raw == 0 && answer_value() != 0) {
        snprintf(text, LINK_TEXT_SIZE, "%i plausibility check errors!", answer_value());
        rc = LINK_ERR_PLAUSIBILITY;
    }
    return rc;
}
