// Protocol side of the simulated unit: bytes in, answer frames and autosend frames out.
//
// The front ends (TCP, pseudo-terminal, tests) feed received bytes with the time they
// finished arriving and take chunks of bytes to send, each with the earliest time it
// may go out and the line rate to pace it at. The core never blocks and never reads
// a clock, so the same code runs at wire speed behind a socket and in an instant
// under a test.
//
// Every request is answered with one frame of the same order number (value and
// payload as the order defines them), or with order 0 when the unit does not know the
// order or its arguments. Requests are understood only while the client's line rate
// matches the unit's: after order 190 the unit listens at the new rate, and bytes at
// the old one are noise to it. A front end that cannot tell the client's rate (TCP)
// passes 0, which always matches.
#pragma once

#include "link/frame.h"
#include "sim/sim_faults.h"
#include "sim/sim_unit.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

constexpr int SIM_BAUD_RATES[5] = {9600, 19200, 38400, 57600, 115200};
constexpr int64_t SIM_AUTOSEND_MIN_GAP_US = 1000;

struct sim_chunk {
    std::vector<uint8_t> bytes;
    int64_t due_us; // not before this time
    int baud;       // pace at this rate (0: as fast as the transport goes)
    bool hangup;    // close the connection once these bytes are out
};

struct sim_config {
    uint64_t seed = 1;
    int unit_number = 1;
    const char* version_text = nullptr; // null: SIM_DEFAULT_VERSION
    int baud = 0;                       // the unit's line rate; 0: any rate, unpaced
    double fault_p[SIM_FAULTS] = {};
    bool ignore_writes = false; // acknowledge order 1 without taking the set
    long vanish_after = -1;     // after this many requests hang up and fall silent; -1 never
};

struct sim_stats {
    long requests;
    long rejected;       // answered with order 0
    long not_understood; // byte batches ignored for a rate mismatch
    long bad_frames;     // header or payload CRC errors, oversize frames
    long autosent;
    long autosend_skipped; // events while the line was still busy
    long by_order[256];    // requests of each order number
};

struct sim_proto {
    sim_unit unit;
    frame_rx rx;
    frame_in in;
    sim_faults faults;
    sim_stats stats;
    int baud;
    int announced_block; // block announced by order 180, -1 when none
    bool ignore_writes;
    long vanish_after;
    bool vanished; // switched off: hung up, hears and sends nothing more
    int64_t now_us;
    int64_t start_us;         // first time seen, -1 before; the log counts from it
    int64_t autosend_free_us; // the line is busy with the last autosend frame until then
    std::deque<sim_chunk> out;
    std::function<void(const char*)> log; // one line per request when set
};

void sim_proto_init(sim_proto* p, const sim_config* cfg);

// Bytes received; `now_us` is when the last of them arrived, `client_baud` the rate
// the client's line is set to (0 when unknown). Returns the number of requests
// answered from these bytes.
int sim_proto_feed(sim_proto* p, const uint8_t* bytes, int count, int64_t now_us, int client_baud);

// Advances the unit to `now_us` and queues the autosend frames due by then.
void sim_proto_advance(sim_proto* p, int64_t now_us);

// Takes the next chunk to send, in order; false when there is none.
bool sim_proto_take(sim_proto* p, sim_chunk* out);

// The client went away: forget half-received requests and unsent answers.
void sim_proto_line_reset(sim_proto* p);

// Wire time of `bytes` bytes at `baud` with 10 bits per byte (start, 8 data, stop).
inline int64_t sim_wire_us(int bytes, int baud) {
    return baud > 0 ? static_cast<int64_t>(bytes) * 10 * 1000000 / baud : 0;
}
