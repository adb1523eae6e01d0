// The transactions of the pairing procedure, without the panel: the search and
// the version text that identify a unit (TRY TO CONNECT), and the limits, the
// RAM set and the linearisation descriptions that pair with it (ACCEPT). The
// connect panel runs them step by step between its popups; the batch tool runs
// them as a whole. Each takes the link as a link_exchanger, so the steps are
// plain C++ and are tested against a scripted unit.
#pragma once

#include "link/exchanger.h"
#include "params/para_record.h"

#include <functional>

// Bytes of the linearisation information block: channel A's description, then B's.
constexpr int PAIR_LIN_INFO_BYTES = 512;
// Characters kept of the unit's version text (the shared status text's size).
constexpr int PAIR_VERSION_SIZE = 256;

// Order 5 with 16 zero words; the answer's value is the unit number. Returns 0
// with `unit_number` set, else the link result code.
int pair_search(const link_exchanger& link, int* unit_number);
// Order 7; the whole answer is taken and its text cut to `size` - 1 characters.
// Returns 0 with `text` set, else the link result code (`text` unchanged).
int pair_version(const link_exchanger& link, char* text, int size);
// One parameter record by a limits order (104, value 1 or 2) or the RAM order
// (2). Returns 0 with `rec` filled, else the link result code (`rec` unchanged).
int pair_read_record(const link_exchanger& link, int order, int value, para_record* rec);
// The linearisation information block (order 184). Returns 0 with `bytes`
// (PAIR_LIN_INFO_BYTES) filled, else the link result code.
int pair_read_lin_info(const link_exchanger& link, unsigned char* bytes);

// What pairing learnt of a unit.
struct paired_unit {
    int unit_number;
    char version[PAIR_VERSION_SIZE];
    para_record min; // the unit's limits
    para_record max;
    para_record ram; // its RAM set
    unsigned char lin_info[PAIR_LIN_INFO_BYTES];
};

// The steps in their order; a failure names the step it happened in.
enum {
    PAIR_STEP_SEARCH = 0,
    PAIR_STEP_VERSION,
    PAIR_STEP_LIMITS_MIN,
    PAIR_STEP_LIMITS_MAX,
    PAIR_STEP_RAM,
    PAIR_STEP_LIN_INFO,
    PAIR_STEPS
};

// TRY TO CONNECT's steps: search and version. `status` (may be empty) gets the
// status line texts the connect panel shows ("Searching for control unit ... ",
// then the version text). Returns 0, or the link result code with `failed_step`.
int pair_identify(const link_exchanger& link, paired_unit* unit, int* failed_step,
                  const std::function<void(const char*)>& status);
// ACCEPT's steps: lower and upper limits, the RAM set, the linearisation
// descriptions. Returns 0, or the link result code with `failed_step`.
int pair_accept(const link_exchanger& link, paired_unit* unit, int* failed_step);
