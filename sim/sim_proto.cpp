// Protocol side of the simulated unit (see sim_proto.h).
#include "sim/sim_proto.h"

#include "link/orders.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

struct answer {
    int order;
    uint16_t value;
    uint16_t words[SIM_BLOCK_WORDS];
    int nwords;
    int new_baud; // order 190: rate to switch to once the answer is out, else 0
};

struct request {
    int order;
    uint16_t value;
    uint16_t words[FRAME_MAX_REQUEST_WORDS];
    int nwords;
};

constexpr int ACCEPTED = 0;
constexpr int REJECTED = -1;

// ---- orders ----

int order_write_ram(sim_proto* p, const request* rq, answer* a) {
    if (rq->nwords < SIM_PARA_WORDS) return REJECTED;
    // A unit whose writes fail silently: it acknowledges with no refused field
    // and keeps its set, which only a read-back reveals.
    if (p->ignore_writes) return ACCEPTED;
    a->value = static_cast<uint16_t>(sim_unit_write_ram(&p->unit, rq->words));
    return ACCEPTED;
}

int order_read_ram(sim_proto* p, const request*, answer* a) {
    std::memcpy(a->words, p->unit.ram, sizeof p->unit.ram);
    a->nwords = SIM_PARA_WORDS;
    a->value = static_cast<uint16_t>(sim_params_count_errors(p->unit.ram, &p->unit.limits));
    return ACCEPTED;
}

int order_store_rom(sim_proto* p, const request*, answer*) {
    sim_unit_store_rom(&p->unit);
    return ACCEPTED;
}

int order_load_rom(sim_proto* p, const request*, answer* a) {
    a->value = static_cast<uint16_t>(sim_unit_load_rom(&p->unit));
    return ACCEPTED;
}

int order_search(sim_proto* p, const request*, answer* a) {
    a->value = static_cast<uint16_t>(p->unit.unit_number);
    return ACCEPTED;
}

// The version text goes out zero-terminated, padded to whole words.
int order_version(sim_proto* p, const request*, answer* a) {
    const int len = static_cast<int>(std::strlen(p->unit.version)) + 1;
    a->nwords = (len + 1) / 2;
    for (int i = 0; i < a->nwords; i++) {
        const uint8_t lo = static_cast<uint8_t>(p->unit.version[2 * i]);
        const uint8_t hi = 2 * i + 1 < len ? static_cast<uint8_t>(p->unit.version[2 * i + 1]) : 0;
        a->words[i] = static_cast<uint16_t>(lo | (hi << 8));
    }
    return ACCEPTED;
}

// Order 8 polls the measurement record. Value 3 asks for the oscillograph status too;
// 84 and 168 close the reading of channel A or B and re-arm it.
int order_poll(sim_proto* p, const request* rq, answer* a) {
    if (rq->value == POLL_OSCI_STATUS) a->value = static_cast<uint16_t>(sim_unit_osci_status(&p->unit));
    if (rq->value == POLL_CLOSE_A) sim_osci_arm(&p->unit.ch[0].osci);
    if (rq->value == POLL_CLOSE_B) sim_osci_arm(&p->unit.ch[1].osci);
    sim_unit_record(&p->unit, a->words);
    a->nwords = SIM_RECORD_WORDS;
    return ACCEPTED;
}

int order_osci_block(sim_proto* p, const request* rq, answer* a) {
    const int base = rq->value & ~1;
    if (rq->value > 11) return REJECTED;
    a->value = static_cast<uint16_t>(sim_osci_block(&p->unit.ch[rq->value & 1].osci, base, a->words));
    a->nwords = SIM_BLOCK_WORDS;
    return ACCEPTED;
}

int order_norm_now(sim_proto* p, const request*, answer*) {
    sim_unit_norm_now(&p->unit);
    return ACCEPTED;
}

int order_reset(sim_proto* p, const request* rq, answer*) {
    if (rq->value < RESET_A || rq->value > RESET_BOTH) return REJECTED;
    sim_unit_reset(&p->unit, rq->value);
    return ACCEPTED;
}

int order_autosend(sim_proto* p, const request* rq, answer*) {
    if (rq->value > AUTOSEND_ON) return REJECTED;
    p->unit.autosend = rq->value == AUTOSEND_ON;
    return ACCEPTED;
}

int order_limits(sim_proto* p, const request* rq, answer* a) {
    if (rq->value != LIMITS_MIN && rq->value != LIMITS_MAX) return REJECTED;
    std::memcpy(a->words, rq->value == LIMITS_MIN ? p->unit.limits.min : p->unit.limits.max,
                SIM_PARA_WORDS * sizeof a->words[0]);
    a->nwords = SIM_PARA_WORDS;
    return ACCEPTED;
}

// Index of the linearisation block a value names in its high byte, or -1.
int lin_block(uint16_t value) {
    const int block = value >> 8;
    if ((value & 0xFF) != 0 || block < SIM_LIN_FIRST_BLOCK || block >= SIM_LIN_FIRST_BLOCK + SIM_LIN_BLOCKS)
        return -1;
    return block - SIM_LIN_FIRST_BLOCK;
}

int order_lin_announce(sim_proto* p, const request* rq, answer*) {
    p->announced_block = lin_block(rq->value);
    return p->announced_block < 0 ? REJECTED : ACCEPTED;
}

// A block is written only right after its announcement and only whole.
int order_lin_write(sim_proto* p, const request* rq, answer*) {
    const int block = lin_block(rq->value);
    const bool ok = block >= 0 && block == p->announced_block && rq->nwords >= SIM_BLOCK_WORDS;
    p->announced_block = -1;
    if (!ok) return REJECTED;
    std::memcpy(p->unit.lin[block], rq->words, sizeof p->unit.lin[block]);
    return ACCEPTED;
}

// The request's one word is the number of words wanted (the whole block when absent).
int order_lin_read(sim_proto* p, const request* rq, answer* a) {
    const int block = lin_block(rq->value);
    if (block < 0) return REJECTED;
    int n = rq->nwords > 0 ? rq->words[0] : SIM_BLOCK_WORDS;
    if (n <= 0 || n > SIM_BLOCK_WORDS) n = SIM_BLOCK_WORDS;
    std::memcpy(a->words, p->unit.lin[block], static_cast<size_t>(n) * sizeof a->words[0]);
    a->nwords = n;
    return ACCEPTED;
}

int order_baud(sim_proto*, const request* rq, answer* a) {
    if (rq->value > 4) return REJECTED;
    a->new_baud = SIM_BAUD_RATES[rq->value];
    return ACCEPTED;
}

int order_hardware(sim_proto* p, const request*, answer* a) {
    std::memcpy(a->words, p->unit.hardware, sizeof p->unit.hardware);
    a->nwords = SIM_BLOCK_WORDS;
    return ACCEPTED;
}

struct order_entry {
    int order;
    int (*serve)(sim_proto*, const request*, answer*);
    const char* name;
};

constexpr order_entry orders[] = {
    {ORDER_WRITE_RAM, order_write_ram, "write RAM"},
    {ORDER_READ_RAM, order_read_ram, "read RAM"},
    {ORDER_STORE_ROM, order_store_rom, "store ROM"},
    {ORDER_LOAD_ROM, order_load_rom, "load ROM"},
    {ORDER_SEARCH, order_search, "search"},
    {ORDER_VERSION, order_version, "version"},
    {ORDER_POLL, order_poll, "poll"},
    {ORDER_OSCI_BLOCK, order_osci_block, "oscillograph block"},
    {ORDER_NORM_NOW, order_norm_now, "norm now"},
    {ORDER_RESET, order_reset, "reset"},
    {ORDER_AUTOSEND, order_autosend, "autosend"},
    {ORDER_LIMITS, order_limits, "limits"},
    {ORDER_LIN_ANNOUNCE, order_lin_announce, "announce block"},
    {ORDER_LIN_WRITE, order_lin_write, "write block"},
    {ORDER_LIN_READ, order_lin_read, "read block"},
    {ORDER_BAUD, order_baud, "baud rate"},
    {ORDER_HARDWARE, order_hardware, "hardware block"},
};

const order_entry* find_order(int order) {
    for (const order_entry& e : orders)
        if (e.order == order) return &e;
    return nullptr;
}

// ---- sending ----

std::vector<uint8_t> build_frame(int order, uint16_t value, const uint16_t* words, int nwords) {
    frame_out f;
    const int size = frame_build(&f, order, value, words, nwords);
    return std::vector<uint8_t>(f.bytes, f.bytes + std::max(size, 0));
}

// The fault log: one line for each frame a fault hit, after the request's line.
void log_faults(sim_proto* p, const sim_fault_draw& d, size_t noise) {
    if (!p->log) return;
    char line[160] = "             fault:";
    bool any = false;
    for (int f = 0; f < SIM_FAULTS; f++) {
        if (!d.hit[f]) continue;
        any = true;
        const size_t len = std::strlen(line);
        if (f == SIM_FAULT_NOISE)
            std::snprintf(line + len, sizeof line - len, " %s (%zu bytes)", sim_fault_names[f], noise);
        else
            std::snprintf(line + len, sizeof line - len, " %s", sim_fault_names[f]);
    }
    if (any) p->log(line);
}

// Turns one frame into the chunk that goes out, with the faults drawn for it.
void send_frame(sim_proto* p, answer* a, bool is_answer, int64_t due_us) {
    sim_fault_draw d;
    sim_faults_draw(&p->faults, is_answer, &d);
    if (d.hit[SIM_FAULT_DROP]) {
        log_faults(p, d, 0);
        return;
    }
    if (d.hit[SIM_FAULT_REJECT]) {
        a->order = ORDER_REJECTED;
        a->nwords = 0;
    }
    if (d.hit[SIM_FAULT_SHORT]) a->nwords /= 2;
    std::vector<uint8_t> frame = build_frame(a->order, a->value, a->words, a->nwords);
    if (d.hit[SIM_FAULT_CORRUPT]) sim_fault_corrupt(&frame, d.extra);
    sim_chunk c;
    c.baud = p->baud;
    c.due_us = due_us + (d.hit[SIM_FAULT_DELAY] ? SIM_DELAY_US : 0);
    c.hangup = false;
    const size_t noise = d.hit[SIM_FAULT_NOISE] ? (sim_fault_noise(&c.bytes, d.extra), c.bytes.size()) : 0;
    p->faults.noise_bytes += static_cast<long>(noise);
    c.bytes.insert(c.bytes.end(), frame.begin(), frame.end());
    log_faults(p, d, noise);
    if (d.hit[SIM_FAULT_CUT]) {
        c.bytes.resize(static_cast<size_t>(sim_fault_cut_length(static_cast<int>(c.bytes.size()), d.extra)));
        c.hangup = true;
    }
    p->out.push_back(std::move(c));
}

void log_line(sim_proto* p, const request* rq, const answer* a, const char* name) {
    if (!p->log) return;
    char line[160];
    std::snprintf(line, sizeof line,
                  "%10.3f s  order %3d value %5u words %3d  %-20s -> order %3d value %5u words %3d",
                  static_cast<double>(p->now_us - p->start_us) * 1e-6, rq->order, rq->value, rq->nwords,
                  name ? name : "unknown", a->order, a->value, a->nwords);
    p->log(line);
}

// The unit is switched off: the connection is cut and nothing is heard or sent
// any more.
void vanish(sim_proto* p) {
    p->vanished = true;
    p->out.clear();
    sim_chunk c;
    c.due_us = p->now_us;
    c.baud = p->baud;
    c.hangup = true;
    p->out.push_back(std::move(c));
}

void serve(sim_proto* p, const frame_in* in) {
    if (p->vanish_after >= 0 && p->stats.requests >= p->vanish_after) {
        vanish(p);
        return;
    }
    request rq;
    rq.order = in->header.order;
    rq.value = in->header.value;
    rq.nwords = std::min(in->payload_kept / 2, FRAME_MAX_REQUEST_WORDS);
    for (int i = 0; i < rq.nwords; i++) rq.words[i] = frame_get_word(in->payload + 2 * i);

    answer a;
    std::memset(&a, 0, sizeof a);
    a.order = rq.order;
    const order_entry* e = find_order(rq.order);
    if (!e || e->serve(p, &rq, &a) != ACCEPTED) {
        std::memset(&a, 0, sizeof a);
        p->stats.rejected++;
    }
    p->stats.requests++;
    p->stats.by_order[rq.order & 0xFF]++;
    log_line(p, &rq, &a, e ? e->name : nullptr);
    send_frame(p, &a, true, p->now_us);
    // The acknowledgement of a rate change still goes out at the old rate.
    if (a.new_baud) p->baud = a.new_baud;
}

// A unit busy sending the last autosend frame lets the next event pass.
void on_autosend(void* ctx, const uint16_t* record, int64_t time_us) {
    auto* p = static_cast<sim_proto*>(ctx);
    if (p->vanished) return;
    if (time_us < p->autosend_free_us) {
        p->stats.autosend_skipped++;
        return;
    }
    answer a;
    std::memset(&a, 0, sizeof a);
    a.order = ORDER_POLL;
    std::memcpy(a.words, record, SIM_RECORD_WORDS * sizeof a.words[0]);
    a.nwords = SIM_RECORD_WORDS;
    p->autosend_free_us = time_us + std::max(SIM_AUTOSEND_MIN_GAP_US,
                                             sim_wire_us(FRAME_HEADER_SIZE + 2 * SIM_RECORD_WORDS, p->baud));
    p->stats.autosent++;
    send_frame(p, &a, false, time_us);
}

} // namespace

void sim_proto_init(sim_proto* p, const sim_config* cfg) {
    sim_config defaults;
    if (!cfg) cfg = &defaults;
    sim_unit_config uc{cfg->seed, cfg->unit_number, cfg->version_text};
    sim_unit_init(&p->unit, &uc);
    p->unit.on_autosend = on_autosend;
    p->unit.autosend_ctx = p;
    frame_rx_clear(&p->rx);
    std::memset(&p->in, 0, sizeof p->in);
    sim_faults_init(&p->faults, cfg->fault_p, cfg->seed);
    std::memset(&p->stats, 0, sizeof p->stats);
    p->baud = cfg->baud;
    p->announced_block = -1;
    p->ignore_writes = cfg->ignore_writes;
    p->vanish_after = cfg->vanish_after;
    p->vanished = false;
    p->now_us = 0;
    p->start_us = -1;
    p->autosend_free_us = 0;
    p->out.clear();
}

void sim_proto_advance(sim_proto* p, int64_t now_us) {
    if (p->start_us < 0) p->start_us = now_us;
    p->now_us = std::max(p->now_us, now_us);
    sim_unit_advance(&p->unit, p->now_us);
}

int sim_proto_feed(sim_proto* p, const uint8_t* bytes, int count, int64_t now_us, int client_baud) {
    sim_proto_advance(p, now_us);
    if (p->vanished) return 0;
    if (p->baud > 0 && client_baud > 0 && client_baud != p->baud) {
        p->stats.not_understood++;
        return 0;
    }
    int served = 0;
    while (count > 0) {
        const int taken = frame_rx_append(&p->rx, bytes, count);
        bytes += taken;
        count -= taken;
        for (;;) {
            const int rc = frame_find(&p->rx, &p->in);
            if (rc == FRAME_COMPLETE) {
                serve(p, &p->in);
                served++;
            } else if (rc == FRAME_ERR_CRC || rc == FRAME_ERR_OVERSIZE) {
                p->stats.bad_frames++;
            } else {
                break;
            }
        }
        // A full buffer that still holds no complete frame cannot make progress.
        if (taken == 0 && frame_rx_room(&p->rx) == 0) frame_rx_clear(&p->rx);
    }
    return served;
}

bool sim_proto_take(sim_proto* p, sim_chunk* out) {
    if (p->out.empty()) return false;
    *out = std::move(p->out.front());
    p->out.pop_front();
    return true;
}

void sim_proto_line_reset(sim_proto* p) {
    frame_rx_clear(&p->rx);
    p->out.clear();
    p->announced_block = -1;
}
