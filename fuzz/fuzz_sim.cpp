// Fuzz target for the simulated unit's protocol core.
//
// Random bytes almost never pass the header CRC, so the input is read as a recipe: the
// unit's line rate and fault probabilities, then pieces that are noise, requests with
// correct CRCs (any order, value and payload, some spoiled, some split across two reads),
// pauses and changes of the client's line rate. Whatever the unit sends is decoded with
// the program's own frame codec: it must never hold an oversize frame, a payload CRC
// error only when corruption is switched on, and without faults exactly one frame for
// every request served and every autosend record.
#include "link/frame.h"
#include "sim/sim_proto.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
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

// The orders the unit knows, so that most requests reach an order's own code.
constexpr int KNOWN_ORDERS[] = {1, 2, 3, 4, 5, 7, 8, 9, 28, 29, 30, 104, 180, 182, 184, 190, 194};
// Payload sizes the orders expect (parameter set, linearisation block, search, read).
constexpr int WORD_COUNTS[] = {0, 0, 0, 1, 16, 228, 256};

// The client side: decodes the unit's output as the program's link would.
struct Client {
    frame_rx rx;
    frame_in in;
    bool corrupt_possible = false;
    long frames = 0;

    void take(sim_proto* p) {
        sim_chunk c;
        while (sim_proto_take(p, &c)) {
            const uint8_t* b = c.bytes.data();
            int left = static_cast<int>(c.bytes.size());
            while (left > 0) {
                const int n = frame_rx_append(&rx, b, left);
                b += n;
                left -= n;
                drain();
                if (n == 0 && frame_rx_room(&rx) == 0) frame_rx_clear(&rx);
            }
            // The connection closes after a cut frame: the client starts afresh, and the
            // unit forgets what was half received and not yet sent, as its line does.
            if (c.hangup) {
                frame_rx_clear(&rx);
                sim_proto_line_reset(p);
            }
        }
    }

    void drain() {
        for (;;) {
            const int rc = frame_find(&rx, &in);
            if (rc == FRAME_INCOMPLETE) return;
            check(rc != FRAME_ERR_OVERSIZE && rc != FRAME_ERR_ARGS);
            if (rc == FRAME_ERR_CRC) {
                check(corrupt_possible);
                continue;
            }
            frames++;
            // A frame the unit sends fits the program's answer buffer and holds whole words.
            check(in.header.length % 2 == 0 && in.header.length <= 2 * FRAME_MAX_REQUEST_WORDS);
            uint16_t words[FRAME_MAX_REQUEST_WORDS];
            int n = 0;
            const int answer = frame_check_answer(&in, in.header.order, words, 0, &n);
            check(answer >= 0 && n == in.header.length / 2);
            // Every order the unit sends is one it knows, or 0 for a rejection.
            bool known = in.header.order == 0;
            for (int o : KNOWN_ORDERS) known = known || in.header.order == o;
            check(known);
        }
    }
};

std::vector<uint8_t> request(Reader& r) {
    const uint8_t pick = r.byte();
    const int order = pick & 0x80 ? r.byte() : KNOWN_ORDERS[pick % std::size(KNOWN_ORDERS)];
    const uint16_t value = r.word();
    const uint8_t size = r.byte();
    const int nwords =
        size & 0x80 ? size % (FRAME_MAX_REQUEST_WORDS + 1) : WORD_COUNTS[size % std::size(WORD_COUNTS)];
    std::vector<uint16_t> words(static_cast<size_t>(nwords));
    for (int i = 0; i < nwords; i++) words[i] = r.done() ? static_cast<uint16_t>(i * 7) : r.word();
    frame_out f;
    const int total = frame_build(&f, order, value, words.data(), nwords);
    check(total == FRAME_HEADER_SIZE + 2 * nwords);
    return std::vector<uint8_t>(f.bytes, f.bytes + total);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Reader r{data, size};
    sim_config cfg;
    const uint8_t line = r.byte();
    cfg.baud = line % 6 == 0 ? 0 : SIM_BAUD_RATES[line % 6 - 1];
    cfg.seed = r.byte();
    const uint8_t fault_mask = r.byte();
    const double fault_p = (r.byte() % 5) * 0.25;
    for (int i = 0; i < SIM_FAULTS; i++) cfg.fault_p[i] = fault_mask & (1 << i) ? fault_p : 0.0;
    const bool faults = fault_mask & 0x7F && fault_p > 0.0;

    static auto p = std::make_unique<sim_proto>();
    sim_proto_init(p.get(), &cfg);
    Client client;
    frame_rx_clear(&client.rx);
    client.corrupt_possible = cfg.fault_p[SIM_FAULT_CORRUPT] > 0.0;

    int64_t t = 1000000;
    sim_proto_advance(p.get(), t);
    int client_baud = 0;
    long served = 0;
    for (int pieces = 0; !r.done() && pieces < 64; pieces++) {
        const uint8_t kind = r.byte();
        std::vector<uint8_t> bytes;
        switch (kind % 5) {
        case 0: // noise, possibly with false start bytes
            for (int n = kind >> 3; n > 0; n--) bytes.push_back(r.byte());
            break;
        case 1:
        case 2:
            bytes = request(r);
            if (kind & 0x80) bytes[6 + (kind >> 6 & 1)] ^= 0x10; // a spoiled CRC
            break;
        case 3: // a pause: the unit runs on and may send autosend frames
            t += r.byte() * 20;
            sim_proto_advance(p.get(), t);
            client.take(p.get());
            break;
        default: // the client sets its line to another rate (0: the rate cannot be seen)
            client_baud = kind & 0x20 ? 0 : SIM_BAUD_RATES[(kind >> 3) % 5];
            break;
        }
        // Split at an input-chosen place: bytes trickle in from a port.
        const int split = bytes.empty() ? 0 : r.byte() % static_cast<int>(bytes.size() + 1);
        const int parts[2][2] = {{0, split}, {split, static_cast<int>(bytes.size())}};
        for (const auto& part : parts) {
            if (part[1] <= part[0]) continue;
            t += 10;
            served += sim_proto_feed(p.get(), bytes.data() + part[0], part[1] - part[0], t, client_baud);
            client.take(p.get());
        }
    }

    check(served == p->stats.requests);
    if (!faults) check(client.frames == p->stats.requests + p->stats.autosent);
    return 0;
}
