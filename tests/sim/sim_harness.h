// In-process harness for the simulated unit: requests in, answers decoded with the
// program's own frame codec, time advanced by hand.
#pragma once

#include "link/frame.h"
#include "sim/sim_proto.h"

#include <cstring>
#include <memory>
#include <vector>

struct sim_harness {
    std::unique_ptr<sim_proto> p = std::make_unique<sim_proto>();
    int64_t t = 1000000;
    std::vector<sim_chunk> last_chunks;

    explicit sim_harness(const sim_config& cfg = sim_config()) {
        sim_proto_init(p.get(), &cfg);
        sim_proto_advance(p.get(), t);
    }

    void advance_ms(int64_t ms) {
        t += ms * 1000;
        sim_proto_advance(p.get(), t);
    }

    static std::vector<uint8_t> request(int order, uint16_t value, const std::vector<uint16_t>& words = {}) {
        frame_out f;
        const int n = frame_build(&f, order, value, words.data(), static_cast<int>(words.size()));
        return std::vector<uint8_t>(f.bytes, f.bytes + n);
    }

    // Everything the unit sent since the last call, chunk boundaries removed.
    std::vector<uint8_t> take_output() {
        last_chunks.clear();
        std::vector<uint8_t> all;
        sim_chunk c;
        while (sim_proto_take(p.get(), &c)) {
            all.insert(all.end(), c.bytes.begin(), c.bytes.end());
            last_chunks.push_back(c);
        }
        return all;
    }

    // Sends one request and decodes the first frame of the output. Returns what
    // frame_find returned for it (FRAME_INCOMPLETE when nothing came).
    int ask(int order, uint16_t value, const std::vector<uint16_t>& words, frame_in* answer,
            int client_baud = 0) {
        const std::vector<uint8_t> req = request(order, value, words);
        sim_proto_feed(p.get(), req.data(), static_cast<int>(req.size()), t, client_baud);
        return decode(take_output(), answer);
    }

    static int decode(const std::vector<uint8_t>& bytes, frame_in* answer) {
        frame_rx rx;
        frame_rx_clear(&rx);
        std::memset(answer, 0, sizeof *answer);
        frame_rx_append(&rx, bytes.data(), static_cast<int>(bytes.size()));
        return frame_find(&rx, answer);
    }

    // Asks and copies the answer words as the program's transaction would.
    int ask_words(int order, uint16_t value, const std::vector<uint16_t>& words, std::vector<uint16_t>* out,
                  int max_words, frame_in* answer_frame = nullptr) {
        frame_in a;
        const int rc = ask(order, value, words, &a);
        if (answer_frame) *answer_frame = a;
        if (rc != FRAME_COMPLETE) return rc;
        out->assign(256, 0);
        int n = 0;
        const int check = frame_check_answer(&a, order, out->data(), max_words, &n);
        out->resize(static_cast<size_t>(n));
        return check;
    }

    std::vector<uint16_t> record() {
        std::vector<uint16_t> r;
        ask_words(ORDER_POLL, POLL_RECORD, {}, &r, SIM_RECORD_WORDS);
        return r;
    }
};

inline int32_t rec_s32(const std::vector<uint16_t>& r, int i) {
    return static_cast<int32_t>(r[i] | (static_cast<uint32_t>(r[i + 1]) << 16));
}
inline int16_t rec_s16(const std::vector<uint16_t>& r, int i) {
    return static_cast<int16_t>(r[i]);
}
