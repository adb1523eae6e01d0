// Link result codes and their texts: one table, read by switch_status and the callers.
#include "link/link.h"

#include <cstdio>
#include <cstring>

namespace {

struct result_text {
    int code;
    int normalised;     // what switch_status returns
    const char* status; // switch_status text ("Done. " is appended, the others replace)
    const char* loop;   // connection procedure, RUN loop, linearisation transfer
    const char* log;    // connection procedure's log
};

const char UNKNOWN[] = "Unknown error.";
const char STOPPED[] = "Stopped.";

const result_text RESULTS[] = {
    {LINK_OK, 0, "Done. ", nullptr, nullptr},
    {LINK_BUSY, 1, "Transmit busy.", "Transmit busy.", "TRANSMIT BUSY"},
    {LINK_AUTOSEND, LINK_ERR_OVERSIZE, UNKNOWN, nullptr, nullptr},
    {LINK_STATUS_1, 0, "Done. ", nullptr, nullptr},
    {LINK_STATUS_2, 0, "Done. ", nullptr, nullptr},
    {LINK_STATUS_3, 0, "Done. ", nullptr, nullptr},
    {LINK_ERR_ARGS, LINK_ERR_ARGS, "Function call error.", "Function call error.", "FUNCTION CALL ERROR"},
    {LINK_ERR_SEND, LINK_ERR_SEND, "Error while sending.", "Error while sending.", "ERROR WHILE SENDING"},
    {LINK_ERR_SEND_TIMEOUT, LINK_ERR_SEND_TIMEOUT, "Timeout while sending.", "Timeout while sending.",
     "TIMEOUT WHILE SENDING"},
    {LINK_ERR_RECV_TIMEOUT, LINK_ERR_RECV_TIMEOUT, "Timeout while receiving.", "Timeout while receiving.",
     "TIMEOUT WHILE RECEIVING"},
    {LINK_ERR_CRC, LINK_ERR_CRC, "CRC8 error on received frame.", "CRC8 error on received frame.",
     "CRC8 ERROR ON FRAME"},
    {LINK_STOP, LINK_STOP, STOPPED, STOPPED, "STOPPED BY USER"},
    {LINK_ERR_LINE, LINK_ERR_LINE, "Wrong baudrate.", "Wrong baudrate.", "WRONG BAUDRATE"},
    {LINK_SEND_PRESSED, LINK_STOP, STOPPED, nullptr, nullptr},
    {LINK_READ_PRESSED, LINK_STOP, STOPPED, nullptr, nullptr},
    {LINK_REC_STORE, LINK_STOP, STOPPED, nullptr, nullptr},
    {LINK_REC_START, LINK_STOP, STOPPED, nullptr, nullptr},
    {LINK_REC_STOP, LINK_STOP, STOPPED, nullptr, nullptr},
    {LINK_ERR_FEW_WORDS, LINK_ERR_FEW_WORDS, "Insufficient number of bytes.", UNKNOWN, nullptr},
    {LINK_ERR_PLAUSIBILITY, LINK_ERR_OVERSIZE, UNKNOWN, UNKNOWN, nullptr},
    {LINK_ERR_ORDER, LINK_ERR_OVERSIZE, UNKNOWN, "Unknown order number.", "UNKNOWN ORDER NUMBER"},
    {LINK_NORM_NOW, LINK_STOP, STOPPED, nullptr, nullptr},
    {LINK_ERR_NO_CONNECTION, LINK_ERR_NO_CONNECTION, "No connection established with control unit.",
     "No connection established with control unit.", "NO CONNECTION"},
    {LINK_RESET_PRESSED, LINK_ERR_OVERSIZE, UNKNOWN, nullptr, nullptr},
    {LINK_ERR_OVERSIZE, LINK_ERR_OVERSIZE, UNKNOWN, UNKNOWN, nullptr},
};

// Codes outside the table are reported like an oversize frame: "Unknown error.".
const result_text UNLISTED = {0, LINK_ERR_OVERSIZE, UNKNOWN, UNKNOWN, nullptr};

const result_text& lookup(int code) {
    for (const result_text& r : RESULTS)
        if (r.code == code) return r;
    return UNLISTED;
}

} // namespace

int switch_status(int code, char* text) {
    const result_text& r = lookup(code);
    if (!text) return r.normalised;
    if (r.normalised == 0) {
        const size_t used = strnlen(text, LINK_TEXT_SIZE - 1);
        text[used] = '\0';
        std::snprintf(text + used, LINK_TEXT_SIZE - used, "%s", r.status);
    } else {
        std::snprintf(text, LINK_TEXT_SIZE, "%s", r.status);
    }
    return r.normalised;
}

const char* link_status_text(int code) {
    return lookup(code).status;
}
const char* link_loop_text(int code) {
    return lookup(code).loop;
}
const char* link_log_text(int code) {
    return lookup(code).log;
}
