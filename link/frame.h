// Frame codec and CRC8 of the control-unit protocol.
//
// Every exchange with the unit is a frame: an 8-byte header (0x55, order number,
// 16-bit value, 16-bit payload length in bytes, payload CRC8, header CRC8, all
// little-endian) followed by 16-bit little-endian payload words. This module only
// works on byte buffers; the transports, the transaction and its time-outs are the
// rest of link/, and the simulator, the tests and the fuzzers share this code.
#pragma once

#include "link/orders.h"

#include <cstddef>
#include <cstdint>

constexpr uint8_t FRAME_START_BYTE = 0x55;
constexpr uint8_t CRC8_START = 0xAA;
constexpr int FRAME_HEADER_SIZE = 8;
constexpr int FRAME_MAX_REQUEST_WORDS = 256; // a request carries at most 512 payload bytes
constexpr int FRAME_MAX_PAYLOAD_BYTES = 512; // payload kept of a received frame (`data_in`)
constexpr int FRAME_MAX_TOTAL = 1024;        // longest frame the receiver accepts
constexpr int FRAME_RX_CAPACITY = 1032;      // size of the receive buffer `exch`

// Frame codec result codes (a subset of the link result codes).
constexpr int FRAME_INCOMPLETE = 0;       // frame_find: no complete frame yet, read more
constexpr int FRAME_COMPLETE = 1;         // frame_find: a complete frame is in `frame`
constexpr int FRAME_ERR_ARGS = -1;        // bad arguments
constexpr int FRAME_ERR_CRC = -5;         // payload CRC mismatch
constexpr int FRAME_ERR_FEW_WORDS = -13;  // fewer answer words than expected
constexpr int FRAME_ERR_ORDER = -15;      // the unit rejected the order, or wrong autosend order
constexpr int FRAME_ERR_OVERSIZE = -1000; // total frame size above 1024 bytes
constexpr int FRAME_AUTOSEND = 2;         // a valid autosend frame

// The header as found on the wire, decoded to host order.
struct frame_header {
    uint8_t start;
    uint8_t order;
    uint16_t value;
    uint16_t length; // payload bytes
    uint8_t crc_payload;
    uint8_t crc_header;
};

// Last request sent (`data_out`): header and up to 256 words, wire order.
struct frame_out {
    uint8_t bytes[FRAME_HEADER_SIZE + 2 * FRAME_MAX_REQUEST_WORDS];
    int size; // bytes to transmit: 8 + 2n
};

// Receive buffer (`exch`): raw bytes as they arrive, filled to at most 1024.
struct frame_rx {
    uint8_t bytes[FRAME_RX_CAPACITY];
    int count;
};

// Last received frame (`data_in`): decoded header, the payload length as sent,
// and the first 512 payload bytes.
struct frame_in {
    frame_header header;
    uint8_t payload[FRAME_MAX_PAYLOAD_BYTES];
    int payload_kept; // bytes of `payload` that are valid (at most 512)
};

extern const uint8_t crc8_array[256];

uint8_t crc8_update_byte(uint8_t crc, uint8_t byte);
uint8_t crc8_update_stream(uint8_t crc, const uint8_t* bytes, size_t count);

// Writes an 8-byte header (both CRCs included) for a payload of `length` bytes whose
// CRC is `crc_payload`. Used by frame_build and by anything that answers like the unit.
void frame_write_header(uint8_t* dst, int order, uint16_t value, uint16_t length, uint8_t crc_payload);

// Builds a request: order, value and n words (0..256; words may be null when n is 0).
// Returns 8 + 2n, or FRAME_ERR_ARGS.
int frame_build(frame_out* out, int order, uint16_t value, const uint16_t* words, int nwords);

// Empties the receive buffer.
void frame_rx_clear(frame_rx* rx);

// Bytes that may still be appended before the buffer holds 1024.
int frame_rx_room(const frame_rx* rx);

// Appends received bytes to `rx`, never beyond 1024 bytes. Returns the number taken.
int frame_rx_append(frame_rx* rx, const uint8_t* bytes, int count);

// Looks for the first valid header in `rx` (0x55 and a header CRC of 0 from 0xAA),
// drops the bytes before it (or keeps only the last 8 when there is none), and once the
// whole frame is there decodes it into `frame` and removes it from `rx`.
// Frames with a payload of 513..1016 bytes are accepted and truncated: the payload CRC
// is checked over the whole payload while it is still in `rx`, and `frame` keeps the
// first 512 bytes (`payload_kept`).
// On FRAME_ERR_OVERSIZE the offending header, and on FRAME_ERR_CRC the whole frame, is
// removed too, so a caller that goes on reading does not meet the same error again.
// `skipped` (may be null) counts up the bytes dropped for not starting a header: line
// noise, stray bytes, the rest of a frame whose start was lost.
// Returns FRAME_INCOMPLETE, FRAME_COMPLETE, FRAME_ERR_OVERSIZE, FRAME_ERR_CRC or FRAME_ERR_ARGS.
int frame_find(frame_rx* rx, frame_in* frame, long* skipped = nullptr);

// After frame_find returned FRAME_INCOMPLETE: how many more bytes must arrive before it
// could find a whole frame (at least 1). A serial line uses it to be woken once a frame
// is complete instead of at every few bytes.
int frame_rx_missing(const frame_rx* rx);

// Checks an answer to a request of order `request_order` and copies its words.
// Words are copied only when both `answer` and `nwords` are given; with `nwords` alone the
// count is set to 0. `max_words` is 0..256; 0 means all that came, which is never more
// than 256 words because a received frame keeps at most 512 payload bytes.
// Returns 0, 3, 4 or 5 (order 8 status answers), FRAME_ERR_ORDER, FRAME_ERR_FEW_WORDS or
// FRAME_ERR_ARGS.
int frame_check_answer(const frame_in* frame, int request_order, uint16_t* answer, int max_words,
                       int* nwords);

// Checks an autosend frame (order 8) and copies its words as frame_check_answer does.
// Returns FRAME_AUTOSEND, FRAME_ERR_ORDER, FRAME_ERR_FEW_WORDS or FRAME_ERR_ARGS.
int frame_check_autosend(const frame_in* frame, uint16_t* answer, int max_words, int* nwords);

// Little-endian word access, explicit about byte order whatever the host is.
inline uint16_t frame_get_word(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline void frame_put_word(uint8_t* p, uint16_t w) {
    p[0] = static_cast<uint8_t>(w & 0xFF);
    p[1] = static_cast<uint8_t>(w >> 8);
}
