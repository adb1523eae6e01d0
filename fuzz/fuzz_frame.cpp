// Fuzz target for the frame decoder.
//
// Random bytes almost never pass the header CRC, so the input is read as a recipe: a few
// request parameters, then a list of pieces that are either raw noise or frames assembled
// here with correct CRCs (one of them optionally spoiled). The resulting stream is fed to
// the receive buffer in chunks of input-chosen sizes, the way bytes trickle in from a port,
// and every frame found is checked as an answer and as an autosend frame.
#include "link/frame.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    bool done() const { return pos >= size; }
    uint8_t byte() { return pos < size ? data[pos++] : 0; }
    uint16_t word() {
        const uint8_t lo = byte();
        return static_cast<uint16_t>(lo | (byte() << 8));
    }
};

void check(bool ok) {
    if (!ok) __builtin_trap();
}

struct Expected {
    uint8_t order;
    uint16_t value;
    std::vector<uint8_t> payload;
};

// Appends one frame with correct CRCs unless `spoil` says otherwise; returns whether the
// frame is one the decoder must return intact.
bool assemble(Reader& r, uint8_t kind, std::vector<uint8_t>& stream, std::vector<Expected>& expected) {
    Expected e;
    e.order = r.byte();
    e.value = r.word();
    // Lengths reach a little beyond the 1016-byte limit so the oversize path is hit too.
    const int length = r.word() % 1100;
    for (int i = 0; i < length; i++)
        e.payload.push_back(r.done() ? static_cast<uint8_t>(i * 31 + 7) : r.byte());
    uint8_t crc = crc8_update_stream(CRC8_START, e.payload.data(), e.payload.size());
    const bool bad_payload = kind & 0x02;
    const bool bad_header = kind & 0x04;
    if (bad_payload) crc ^= 0x5A;
    uint8_t h[FRAME_HEADER_SIZE];
    frame_write_header(h, e.order, e.value, static_cast<uint16_t>(length), crc);
    if (bad_header) h[7] ^= 0x01;
    stream.insert(stream.end(), h, h + FRAME_HEADER_SIZE);
    stream.insert(stream.end(), e.payload.begin(), e.payload.end());
    const bool intact = !bad_payload && !bad_header && length + FRAME_HEADER_SIZE <= FRAME_MAX_TOTAL;
    if (intact) expected.push_back(std::move(e));
    return intact;
}

void check_frame(const frame_in& in, int request_order, int max_words) {
    check(in.header.start == FRAME_START_BYTE);
    check(in.payload_kept ==
          (in.header.length < FRAME_MAX_PAYLOAD_BYTES ? in.header.length : FRAME_MAX_PAYLOAD_BYTES));
    constexpr uint16_t GUARD = 0xD00D;
    const int cap = max_words > 0 ? max_words : FRAME_MAX_REQUEST_WORDS;
    std::vector<uint16_t> answer(cap + 4, GUARD);
    int n = -1;
    const int rc = frame_check_answer(&in, request_order, answer.data(), max_words, &n);
    check(rc == 0 || rc == 3 || rc == 4 || rc == 5 || rc == FRAME_ERR_FEW_WORDS || rc == FRAME_ERR_ORDER);
    if (rc == FRAME_ERR_ORDER) check(in.header.order == 0 && (request_order & 0xFF) != 0);
    if (rc != FRAME_ERR_ORDER) {
        check(n >= 0 && n <= cap);
        check((rc == FRAME_ERR_FEW_WORDS) == (max_words > 0 && n < max_words));
        for (int i = 0; i < n; i++) check(answer[i] == frame_get_word(in.payload + 2 * i));
    }
    if (rc >= 3) check(in.header.order == 8 && in.header.value == rc - 2);
    for (int i = cap; i < cap + 4; i++) check(answer[i] == GUARD);

    int m = -1;
    check(frame_check_answer(&in, request_order, nullptr, max_words, &m) <= 5);
    if (in.header.order != 0 || (request_order & 0xFF) == 0) check(m == 0);

    std::fill(answer.begin(), answer.end(), GUARD);
    const int ra = frame_check_autosend(&in, answer.data(), max_words, &n);
    check(ra == FRAME_AUTOSEND || ra == FRAME_ERR_ORDER || ra == FRAME_ERR_FEW_WORDS);
    check((ra == FRAME_ERR_ORDER) == (in.header.order != 8));
    for (int i = cap; i < cap + 4; i++) check(answer[i] == GUARD);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader r{data, size};
    const int request_order = r.byte();
    const int max_words = r.word() % (FRAME_MAX_REQUEST_WORDS + 1);
    const uint8_t chunk_seed = r.byte();

    std::vector<uint8_t> stream;
    std::vector<Expected> expected;
    bool clean = true; // only intact frames, no noise: every frame must come out as sent
    while (!r.done()) {
        const uint8_t kind = r.byte();
        if (kind & 0x01) {
            const int n = r.byte() % 48;
            for (int i = 0; i < n && !r.done(); i++) stream.push_back(r.byte());
            clean = false;
        } else if (!assemble(r, kind, stream, expected)) {
            clean = false;
        }
    }

    frame_rx rx;
    frame_rx_clear(&rx);
    frame_in in;
    size_t fed = 0;
    size_t found = 0;
    size_t k = 0;
    while (fed < stream.size()) {
        const size_t want = 1 + (size ? data[(k++ * 7 + chunk_seed) % size] : 0) % 97;
        const size_t chunk = want < stream.size() - fed ? want : stream.size() - fed;
        const int before = rx.count;
        const int taken = frame_rx_append(&rx, stream.data() + fed, static_cast<int>(chunk));
        check(taken >= 0 && rx.count == before + taken && rx.count <= FRAME_MAX_TOTAL);
        fed += static_cast<size_t>(taken);
        for (;;) {
            const int count_before = rx.count;
            const int rc = frame_find(&rx, &in);
            check(rx.count >= 0 && rx.count <= count_before);
            // A full buffer must always make room, or a reader would stall forever.
            if (count_before == FRAME_MAX_TOTAL) check(rx.count < FRAME_MAX_TOTAL);
            if (rc == FRAME_INCOMPLETE) {
                check(rx.count < FRAME_HEADER_SIZE || rx.count == FRAME_HEADER_SIZE ||
                      crc8_update_stream(CRC8_START, rx.bytes, FRAME_HEADER_SIZE) == 0);
                break;
            }
            check(rc == FRAME_COMPLETE || rc == FRAME_ERR_CRC || rc == FRAME_ERR_OVERSIZE);
            if (clean) check(rc == FRAME_COMPLETE);
            if (rc != FRAME_COMPLETE) continue;
            check_frame(in, request_order, max_words);
            if (clean) {
                check(found < expected.size());
                const Expected& e = expected[found];
                check(in.header.order == e.order && in.header.value == e.value &&
                      in.header.length == e.payload.size());
                if (in.payload_kept > 0)
                    check(std::memcmp(in.payload, e.payload.data(), static_cast<size_t>(in.payload_kept)) ==
                          0);
            }
            found++;
        }
    }
    if (clean) check(found == expected.size());
    return 0;
}
