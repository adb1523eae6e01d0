// The simulated control unit: parameter storage and the scan that evaluates the two
// synthetic sensors as the parameter set says.
//
// Time is given from outside (microseconds on any monotonic scale), so tests can run
// the unit through minutes in an instant and the front ends can drive it from a
// real clock. Scans are computed lazily when the unit is advanced to a time; after a
// long idle only the last SIM_CATCH_UP_US are computed, which is more than the
// longest oscillograph window.
//
// Within one scan: sample the sensors and inputs, normalise, filter and derive, set
// registers 0 and 1, evaluate, set register 2, count, run the delay timers, switch the
// outputs (with their hold times), drive the analog output, store the oscillograph
// samples and note an autosend record when its condition fires. A condition sees
// the timers and outputs of the previous scan.
#pragma once

#include "sim/sim_cond.h"
#include "sim/sim_layout.h"
#include "sim/sim_osci.h"
#include "sim/sim_params.h"
#include "sim/sim_signal.h"

#include <cstdint>

constexpr int SIM_TICKS_PER_US = 60;         // the cycle time counts a 60 MHz clock
constexpr int SIM_MIN_CYCLE_TICKS = 6000;    // fastest scan: 100 us
constexpr int64_t SIM_CATCH_UP_US = 2500000; // longest stretch of scans computed at once
constexpr int SIM_AVERAGING_MAX = 64;
constexpr int SIM_VERSION_LEN = 128;
constexpr double SIM_NORM_TARGET = 3600.0; // normalisation maps the peak here

// Statistics of the samples of one evaluation window, for both channels' data.
struct sim_acc {
    int64_t n;
    int64_t sum[2];
    int min[2];
    int max[2];
    int last[2];
    int deriv_max[2];
};

struct sim_chan {
    int raw;
    int val;
    int filtered;
    int deriv;
    double baseline; // level between objects, shown as the auxiliary value
    int max_raw;
    int min_val;
    int max_val;
    double norm_factor;
    int peak_now;       // highest raw sample of the current second
    int peak_before;    // and of the second before: normalisation scales to these
    int64_t peak_until; // end of the current second, in ticks
    int64_t iir_x[3][2];
    int64_t iir_y[3][2];
    int history[8]; // recent values for the derivation
    int history_pos;
    // Evaluation.
    bool active;
    bool cond_before;
    bool new_result;
    sim_acc acc;
    int32_t results[SIM_AVERAGING_MAX];
    int nresults;
    int result_pos;
    int32_t result; // 16.16
    uint16_t marks; // oscillograph markers of this scan
    int32_t counter;
    int64_t timer_left_ticks;
    sim_osci osci;
};

// Called during a scan whose autosend condition fired, with that scan's record.
using sim_autosend_fn = void (*)(void* ctx, const uint16_t* record, int64_t time_us);

struct sim_unit_config {
    uint64_t seed;
    int unit_number;
    const char* version_text; // null for the default
};

struct sim_unit {
    uint16_t ram[SIM_PARA_WORDS];
    uint16_t rom[SIM_PARA_WORDS];
    sim_limits limits;
    uint16_t lin[SIM_LIN_BLOCKS][SIM_BLOCK_WORDS]; // 0x13 information, 0x14.. tables
    uint16_t hardware[SIM_BLOCK_WORDS];
    char version[SIM_VERSION_LEN];
    int unit_number;
    uint64_t seed;

    int64_t now_ticks;   // time of the last scan
    int64_t start_ticks; // power-on
    int64_t cycle_ticks; // scan period from the parameter set
    bool started;
    sim_signal signal;
    sim_rng rng;
    sim_regs regs;
    sim_chan ch[2];
    bool out[3];
    int64_t out_since_ticks[3];
    bool in0, in1;
    int ana;
    int cycle_report; // word 32 of the record: the cycle time with some jitter

    bool autosend;
    sim_autosend_fn on_autosend;
    void* autosend_ctx;
};

extern const char SIM_DEFAULT_VERSION[];

void sim_unit_init(sim_unit* u, const sim_unit_config* cfg);

// Runs the scans up to time t (earlier times are ignored).
void sim_unit_advance(sim_unit* u, int64_t t_us);

// The 36-word measurement record of the latest scan.
void sim_unit_record(const sim_unit* u, uint16_t* record);

// Takes a new parameter set into RAM (fields outside the limits are refused and
// counted) and re-arms the oscillographs so that sequences match the new settings.
int sim_unit_write_ram(sim_unit* u, const uint16_t* para);
void sim_unit_store_rom(sim_unit* u);
int sim_unit_load_rom(sim_unit* u);

// Order 29: 1 resets channel A, 2 channel B, 3 both (counters, minimum and maximum).
void sim_unit_reset(sim_unit* u, int which);

// Order 28: take the normalisation factor from the recent peak now.
void sim_unit_norm_now(sim_unit* u);

// Oscillograph status for order 8 value 3: 1 A ready, 2 B ready, 3 both, else 0.
int sim_unit_osci_status(const sim_unit* u);

inline int64_t sim_unit_now_us(const sim_unit* u) {
    return u->now_ticks / SIM_TICKS_PER_US;
}
