// Frame codec and CRC8 of the control-unit protocol (see frame.h).
#include "link/frame.h"

#include <algorithm>
#include <cstring>

// The unit checks frames with the 1-Wire CRC-8 (reflected polynomial 0x8C, no final
// inversion) by table lookup. The table is written out here rather than taken from a
// library: it is only 256 bytes, the protocol fixes every entry, and the simulator, the
// fuzzers and the program must agree on it bit for bit without any extra dependency.
const uint8_t crc8_array[256] = {
    0x00, 0x5E, 0xBC, 0xE2, 0x61, 0x3F, 0xDD, 0x83, 0xC2, 0x9C, 0x7E, 0x20, 0xA3, 0xFD, 0x1F, 0x41,
    0x9D, 0xC3, 0x21, 0x7F, 0xFC, 0xA2, 0x40, 0x1E, 0x5F, 0x01, 0xE3, 0xBD, 0x3E, 0x60, 0x82, 0xDC,
    0x23, 0x7D, 0x9F, 0xC1, 0x42, 0x1C, 0xFE, 0xA0, 0xE1, 0xBF, 0x5D, 0x03, 0x80, 0xDE, 0x3C, 0x62,
    0xBE, 0xE0, 0x02, 0x5C, 0xDF, 0x81, 0x63, 0x3D, 0x7C, 0x22, 0xC0, 0x9E, 0x1D, 0x43, 0xA1, 0xFF,
    0x46, 0x18, 0xFA, 0xA4, 0x27, 0x79, 0x9B, 0xC5, 0x84, 0xDA, 0x38, 0x66, 0xE5, 0xBB, 0x59, 0x07,
    0xDB, 0x85, 0x67, 0x39, 0xBA, 0xE4, 0x06, 0x58, 0x19, 0x47, 0xA5, 0xFB, 0x78, 0x26, 0xC4, 0x9A,
    0x65, 0x3B, 0xD9, 0x87, 0x04, 0x5A, 0xB8, 0xE6, 0xA7, 0xF9, 0x1B, 0x45, 0xC6, 0x98, 0x7A, 0x24,
    0xF8, 0xA6, 0x44, 0x1A, 0x99, 0xC7, 0x25, 0x7B, 0x3A, 0x64, 0x86, 0xD8, 0x5B, 0x05, 0xE7, 0xB9,
    0x8C, 0xD2, 0x30, 0x6E, 0xED, 0xB3, 0x51, 0x0F, 0x4E, 0x10, 0xF2, 0xAC, 0x2F, 0x71, 0x93, 0xCD,
    0x11, 0x4F, 0xAD, 0xF3, 0x70, 0x2E, 0xCC, 0x92, 0xD3, 0x8D, 0x6F, 0x31, 0xB2, 0xEC, 0x0E, 0x50,
    0xAF, 0xF1, 0x13, 0x4D, 0xCE, 0x90, 0x72, 0x2C, 0x6D, 0x33, 0xD1, 0x8F, 0x0C, 0x52, 0xB0, 0xEE,
    0x32, 0x6C, 0x8E, 0xD0, 0x53, 0x0D, 0xEF, 0xB1, 0xF0, 0xAE, 0x4C, 0x12, 0x91, 0xCF, 0x2D, 0x73,
    0xCA, 0x94, 0x76, 0x28, 0xAB, 0xF5, 0x17, 0x49, 0x08, 0x56, 0xB4, 0xEA, 0x69, 0x37, 0xD5, 0x8B,
    0x57, 0x09, 0xEB, 0xB5, 0x36, 0x68, 0x8A, 0xD4, 0x95, 0xCB, 0x29, 0x77, 0xF4, 0xAA, 0x48, 0x16,
    0xE9, 0xB7, 0x55, 0x0B, 0x88, 0xD6, 0x34, 0x6A, 0x2B, 0x75, 0x97, 0xC9, 0x4A, 0x14, 0xF6, 0xA8,
    0x74, 0x2A, 0xC8, 0x96, 0x15, 0x4B, 0xA9, 0xF7, 0xB6, 0xE8, 0x0A, 0x54, 0xD7, 0x89, 0x6B, 0x35,
};

uint8_t crc8_update_byte(uint8_t crc, uint8_t byte) {
    return crc8_array[(crc ^ byte) & 0xFF];
}

uint8_t crc8_update_stream(uint8_t crc, const uint8_t* bytes, size_t count) {
    for (size_t i = 0; i < count; i++) crc = crc8_array[(crc ^ bytes[i]) & 0xFF];
    return crc;
}

void frame_write_header(uint8_t* dst, int order, uint16_t value, uint16_t length, uint8_t crc_payload) {
    dst[0] = FRAME_START_BYTE;
    dst[1] = static_cast<uint8_t>(order & 0xFF);
    frame_put_word(dst + 2, value);
    frame_put_word(dst + 4, length);
    dst[6] = crc_payload;
    dst[7] = crc8_update_stream(CRC8_START, dst, 7);
}

int frame_build(frame_out* out, int order, uint16_t value, const uint16_t* words, int nwords) {
    if (!out || nwords < 0 || nwords > FRAME_MAX_REQUEST_WORDS || (nwords > 0 && !words))
        return FRAME_ERR_ARGS;
    uint8_t* payload = out->bytes + FRAME_HEADER_SIZE;
    for (int i = 0; i < nwords; i++) frame_put_word(payload + 2 * i, words[i]);
    const uint8_t crc = crc8_update_stream(CRC8_START, payload, static_cast<size_t>(2 * nwords));
    frame_write_header(out->bytes, order, value, static_cast<uint16_t>(2 * nwords), crc);
    out->size = FRAME_HEADER_SIZE + 2 * nwords;
    return out->size;
}

void frame_rx_clear(frame_rx* rx) {
    std::memset(rx->bytes, 0, sizeof rx->bytes);
    rx->count = 0;
}

int frame_rx_room(const frame_rx* rx) {
    return std::max(0, FRAME_MAX_TOTAL - rx->count);
}

int frame_rx_append(frame_rx* rx, const uint8_t* bytes, int count) {
    if (!rx || !bytes || count <= 0) return 0;
    const int taken = std::min(count, frame_rx_room(rx));
    if (taken > 0) std::memcpy(rx->bytes + rx->count, bytes, static_cast<size_t>(taken));
    rx->count += taken;
    return taken;
}

// Removes the first `n` bytes of the buffer, keeping the rest in order.
static void rx_drop(frame_rx* rx, int n) {
    n = std::min(n, rx->count);
    std::memmove(rx->bytes, rx->bytes + n, static_cast<size_t>(rx->count - n));
    rx->count -= n;
}

static bool is_header_at(const uint8_t* p) {
    return p[0] == FRAME_START_BYTE && crc8_update_stream(CRC8_START, p, FRAME_HEADER_SIZE) == 0;
}

int frame_find(frame_rx* rx, frame_in* frame, long* skipped) {
    if (!rx || !frame || rx->count < 0 || rx->count > FRAME_MAX_TOTAL) return FRAME_ERR_ARGS;
    if (rx->count < FRAME_HEADER_SIZE) return FRAME_INCOMPLETE;

    int start = -1;
    for (int pos = 0; pos <= rx->count - FRAME_HEADER_SIZE; pos++) {
        if (is_header_at(rx->bytes + pos)) {
            start = pos;
            break;
        }
    }
    if (start < 0) {
        // The tail may hold the first bytes of a header still on its way.
        if (skipped) *skipped += rx->count - FRAME_HEADER_SIZE;
        rx_drop(rx, rx->count - FRAME_HEADER_SIZE);
        return FRAME_INCOMPLETE;
    }
    if (skipped) *skipped += start;
    rx_drop(rx, start);

    const int length = frame_get_word(rx->bytes + 4);
    const int total = length + FRAME_HEADER_SIZE;
    if (total > FRAME_MAX_TOTAL) {
        rx_drop(rx, FRAME_HEADER_SIZE);
        return FRAME_ERR_OVERSIZE;
    }
    if (rx->count < total) return FRAME_INCOMPLETE;

    const uint8_t* h = rx->bytes;
    frame->header.start = h[0];
    frame->header.order = h[1];
    frame->header.value = frame_get_word(h + 2);
    frame->header.length = static_cast<uint16_t>(length);
    frame->header.crc_payload = h[6];
    frame->header.crc_header = h[7];
    // Payloads beyond 512 bytes are truncated, never copied past the record's end; the
    // whole payload is still covered by the CRC check below.
    frame->payload_kept = std::min(length, FRAME_MAX_PAYLOAD_BYTES);
    std::memcpy(frame->payload, h + FRAME_HEADER_SIZE, static_cast<size_t>(frame->payload_kept));
    const uint8_t crc = crc8_update_stream(CRC8_START, h + FRAME_HEADER_SIZE, static_cast<size_t>(length));
    const bool crc_ok = crc == h[6];
    rx_drop(rx, total);
    return crc_ok ? FRAME_COMPLETE : FRAME_ERR_CRC;
}

int frame_rx_missing(const frame_rx* rx) {
    if (!rx || rx->count < 0) return 1;
    if (rx->count < FRAME_HEADER_SIZE) return FRAME_HEADER_SIZE - rx->count;
    // frame_find left a valid header at the front, or only a tail that may start one.
    if (!is_header_at(rx->bytes)) return 1;
    const int total = frame_get_word(rx->bytes + 4) + FRAME_HEADER_SIZE;
    return std::max(1, total - rx->count);
}

// Copies the answer words to the caller as the unit's protocol expects: only with both a
// buffer and a count; `max_words` 0 takes everything that was kept.
static int copy_words(const frame_in* frame, uint16_t* answer, int max_words, int* nwords) {
    if (!answer || !nwords) {
        if (nwords) *nwords = 0;
        return 0;
    }
    const int came = frame->payload_kept / 2;
    const int n = max_words > 0 ? std::min(max_words, came) : came;
    for (int i = 0; i < n; i++) answer[i] = frame_get_word(frame->payload + 2 * i);
    *nwords = n;
    return (max_words > 0 && n < max_words) ? FRAME_ERR_FEW_WORDS : 0;
}

int frame_check_answer(const frame_in* frame, int request_order, uint16_t* answer, int max_words,
                       int* nwords) {
    if (!frame || max_words < 0 || max_words > FRAME_MAX_REQUEST_WORDS) return FRAME_ERR_ARGS;
    if (frame->header.order == ORDER_REJECTED && (request_order & 0xFF) != ORDER_REJECTED)
        return FRAME_ERR_ORDER;
    const int rc = copy_words(frame, answer, max_words, nwords);
    if (rc < 0) return rc;
    if (frame->header.order == ORDER_POLL && frame->header.value >= POLL_STATUS_FIRST &&
        frame->header.value <= POLL_STATUS_LAST)
        return 2 + frame->header.value;
    return 0;
}

int frame_check_autosend(const frame_in* frame, uint16_t* answer, int max_words, int* nwords) {
    if (!frame || max_words < 0 || max_words > FRAME_MAX_REQUEST_WORDS) return FRAME_ERR_ARGS;
    if (frame->header.order != ORDER_POLL) return FRAME_ERR_ORDER;
    const int rc = copy_words(frame, answer, max_words, nwords);
    return rc < 0 ? rc : FRAME_AUTOSEND;
}
