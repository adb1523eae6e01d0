// Condition codes: bit names, value texts, span texts, the condition ring
// catalogue, and the evaluation-mode table.
//
// A condition is a set of masks over the unit's three status registers. A ring
// control shows it as a readable item whose string value is the exact masks as
// text ("value text"): seven fields of four upper-case hex digits, each followed
// by '*', in the word order of combined_cond. An evaluation span is a begin
// condition's value text, '>', then the evaluation condition's value text.
//
// The routines here never touch a toolkit: a ring is reached through the small
// cond_ring table of functions, which the user-interface layer fills for a real
// control and the tests fill with an in-memory list.
#pragma once

#include "params/para_record.h"

#include <cstdint>
#include <string>

constexpr int COND_BITSTR_LEN = 32;
constexpr int COND_TEXT_LEN = 35;        // value text without terminator
constexpr int COND_SPAN_LEN = 71;        // span text without terminator
constexpr int COND_LABEL_MAX = 127;      // longer ring labels abort cond2string
constexpr int COND_RING_VALUE_MAX = 127; // longer ring values are not parsed
constexpr int EVAL_MODE_COUNT = 22;
constexpr int COND_LIST_MAX = 96; // more than the whole catalogue

// Which words a condition occupies and which bits it may use.
enum cond_kind {
    COND_KIND_EVENT = 0,         // event_cond: timer, evaluation begin/reset
    COND_KIND_SPAN_BEGIN = 3,    // event_cond: the begin part of a span
    COND_KIND_SPAN_EVAL = 5,     // combined_cond: the evaluation part of a span
    COND_KIND_COMBINED = 6,      // combined_cond: evaluation, normalisation
    COND_KIND_COMBINED_RES = 7,  // combined_cond with register 2: outputs
    COND_KIND_EVENT_OUTPUTS = 8, // event_cond with output events: counter, oscillograph, autosend
};

// List-code bits of fill_conditions; each adds one group of ring items.
enum cond_list_bit {
    COND_LIST_EVENTS = 0x0001,
    COND_LIST_CONTINUOUS = 0x0002,
    COND_LIST_NEVER = 0x0004,
    COND_LIST_STATES = 0x0008,
    COND_LIST_TOL_A = 0x0010,
    COND_LIST_TOL_B = 0x0020,
    COND_LIST_SPAN_EDGES = 0x0040,
    COND_LIST_SPAN_WHILE = 0x0080,
    COND_LIST_SPAN_CONTINUOUS = 0x0100, // only without COND_LIST_CONTINUOUS
    COND_LIST_SINGLE_A = 0x0200,
    COND_LIST_DYN_A = 0x0400,
    COND_LIST_SINGLE_B = 0x0800,
    COND_LIST_DYN_B = 0x1000,
    COND_LIST_SPAN_ON = 0x2000,
    COND_LIST_OUTPUTS = 0x4000,
};

// The list codes the program's rings are filled with.
constexpr int COND_CODE_EVENT = COND_LIST_EVENTS | COND_LIST_NEVER; // 5: timer, evaluation start
constexpr int COND_CODE_EVENT_OUTPUTS =
    COND_CODE_EVENT | COND_LIST_OUTPUTS; // 16389: counter, oscillograph, autosend
constexpr int COND_CODE_EVAL_STOP = COND_LIST_EVENTS | COND_LIST_CONTINUOUS | COND_LIST_STATES; // 11
constexpr int COND_CODE_NORM = COND_CODE_EVAL_STOP | COND_LIST_NEVER; // 15: normalisation
constexpr int COND_CODE_OUTPUT_A =
    COND_LIST_NEVER | COND_LIST_TOL_A | COND_LIST_SINGLE_A | COND_LIST_DYN_A; // 1556
constexpr int COND_CODE_OUTPUT_B =
    COND_LIST_NEVER | COND_LIST_TOL_B | COND_LIST_SINGLE_B | COND_LIST_DYN_B; // 6180
constexpr int COND_CODE_SPAN =
    COND_LIST_SPAN_EDGES | COND_LIST_SPAN_WHILE | COND_LIST_SPAN_CONTINUOUS | COND_LIST_SPAN_ON; // 8640

// Bit names; they are also the keys of condition sections in parameter files.
extern const char reg0_bitstr_stat[14][COND_BITSTR_LEN];
extern const char reg0_bitstr_evnt[14][COND_BITSTR_LEN];
extern const char reg1_bitstr_stat[8][COND_BITSTR_LEN];
extern const char reg1_bitstr_evnt[8][COND_BITSTR_LEN];
extern const char reg2_bitstr_stat[10][COND_BITSTR_LEN];
extern const char reg2_bitstr_evnt[10][COND_BITSTR_LEN];
extern const char bitcomb[4][6]; // "OR", "AND", "NOR", "NAND"
extern const char eval_modes_options[EVAL_MODE_COUNT][COND_BITSTR_LEN];

extern const char COND_LABEL_CONTINUOUS[]; // "Continuous"
extern const char COND_LABEL_NEVER[];      // "Never"
extern const char COND_LABEL_SPECIAL[];    // "Special"
extern const char COND_LABEL_USER[];       // "User"
extern const char COND_VALUE_CONTINUOUS[]; // the "Continuous" item of a condition ring
extern const char COND_SPAN_CONTINUOUS[];  // the "Continuous" item of a span ring

// One ring control. Every function returns 0 or positive on success, negative on
// failure; `index` -1 in the insert functions appends.
struct cond_ring {
    void* ctx;
    int (*count)(void* ctx);
    int (*get_label)(void* ctx, int index, std::string* label);
    int (*get_text)(void* ctx, int index, std::string* value); // string-valued rings
    int (*get_int)(void* ctx, int index, int* value);          // numeric rings
    int (*insert_text)(void* ctx, int index, const char* label, const char* value);
    int (*insert_int)(void* ctx, int index, const char* label, int value);
    int (*remove)(void* ctx, int index);
    int (*select)(void* ctx, int index);
    int (*clear_text)(void* ctx); // deletes all items and makes the values strings
};

// One item of the catalogue as fill_conditions adds it.
struct cond_item {
    const char* label;
    char value[COND_SPAN_LEN + 1];
};

// True when a combined condition holds always: combination OR and, in a state
// word, a state together with its opposite (or every result of one channel).
bool cond_is_continuous(const combined_cond* cond);

// Writes the value text of `cond` (an event_cond for kinds 0, 8, a combined_cond
// for kinds 6, 7) into `text` (at least 36 characters); other kinds give "".
// Returns 1 for a continuous condition, else 0.
int cond_value_text(const void* cond, int kind, char* text);

// The items a ring with `list_code` gets, in ring order. Writes at most
// `max_items` and returns the full count.
int cond_list_items(int list_code, cond_item* items, int max_items);

// Empties the ring and adds the items of `list_code`.
int fill_conditions(const cond_ring* ring, int list_code);

// Builds the value text of `cond` (kinds 0, 8, 6, 7), copies it to `text` when
// given, and with a ring selects the matching item, adding "Continuous" or a
// single "Special" item as needed. Returns the selected index, or -1 without a
// ring or when a label is too long.
int cond2string(const void* cond, char* text, int kind, const cond_ring* ring);

// The same for a span (text at least 72 characters); the continuity test looks
// at the evaluation condition only.
int span2string(const event_cond* begin, const combined_cond* eval, char* text, const cond_ring* ring);

// Parses a value or span text into the words of `cond` as `kind` says. The text
// is `text` when given, else the value of ring item `index`. Returns 0 when
// parsed, -1 when there was nothing to parse (the condition is then unchanged).
int string2cond(void* cond, const char* text, int kind, const cond_ring* ring, int index);

// Selects the item of a numeric ring whose low 16 bits equal `value`; returns 0.
// Without one, replaces the "User" item by a new one with `value` (not
// selected) and returns -1.
int enlist_short_with_test(const cond_ring* ring, int value);
