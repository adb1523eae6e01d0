// Name tables of the condition bits and evaluation modes, and the catalogue of
// condition ring items. Texts are exactly those the unit's documentation and
// existing parameter files use, odd spellings included: files written by older
// versions must keep loading.
#include "params/cond_tables.h"

#include "params/conditions.h"

const char reg0_bitstr_stat[14][COND_BITSTR_LEN] = {
    "IN0 low state", "IN0 high state", "IN1 low state", "IN1 high state", "TMR0 idle",
    "TMR0 running",  "TMR1 idle",      "TMR1 running",  "OUT0 on state",  "OUT0 off state",
    "OUT1 on state", "OUT1 off state", "OUT2 on state", "OUT2 off state",
};

// Note the output rows: the file key names the bit position ("on" at the even
// bit), while the ring labels below name the item the user picks.
const char reg0_bitstr_evnt[14][COND_BITSTR_LEN] = {
    "IN0 falling edge",  "IN0 rising edge",    "IN1 falling edge",  "IN1 rising edge",
    "TMR0 stopping",     "TMR0 starting",      "TMR1 stopping",     "TMR1 starting",
    "OUT0 switching on", "OUT0 switching off", "OUT1 switching on", "OUT1 switching off",
    "OUT2 switching on", "OUT2 switching off",
};

const char reg1_bitstr_stat[8][COND_BITSTR_LEN] = {
    "CH A1 under thres.", "CH A1 over thres.", "CH A2 under thres.", "CH A2 over thres.",
    "CH B1 under thres.", "CH B1 over thres.", "CH B2 under thres.", "CH B2 over thres.",
};

const char reg1_bitstr_evnt[8][COND_BITSTR_LEN] = {
    "CH A1 falling edge", "CH A1 rising edge", "CH A2 falling edge", "CH A2 rising edge",
    "CH B1 falling edge", "CH B1 rising edge", "CH B2 falling edge", "CH B2 rising edge",
};

const char reg2_bitstr_stat[10][COND_BITSTR_LEN] = {
    "RES A under tol", "RES A in tol -", "RES A in tol +", "RES A over tol",     "RES B under tol",
    "RES B in tol -",  "RES B in tol +", "RES B over tol", "while evaluating A", "while evaluating B",
};

const char reg2_bitstr_evnt[10][COND_BITSTR_LEN] = {
    "RES A -> under tol", "RES A -> in tol -", "RES A -> in tol +", "RES A -> over tol", "RES B -> under tol",
    "RES B -> in tol -",  "RES B -> in tol +", "RES B -> over tol", "on evaluating A",   "on evaluating B",
};

const char bitcomb[4][6] = {"OR", "AND", "NOR", "NAND"};

const char eval_modes_options[EVAL_MODE_COUNT][COND_BITSTR_LEN] = {
    "NULL",
    "A",
    "B",
    "min{ A }",
    "min{ B }",
    "max{ A }",
    "max{ B }",
    "(A + B) / 2",
    "(4095 * A) / (A + B)",
    "(B - A + 4095) / 2",
    "(4095 - avg. integral A)",
    "avg. integral A",
    "(4095 - avg. integral B)",
    "avg. integral B",
    "max{ A } - min{ A }",
    "max{ B } - min{ B }",
    "counter{ A }",
    "counter{ B }",
    "derivation of { A }",
    "derivation of { B }",
    "norm div. (wire mode 1)",
    "raw diff. (wire mode 2)",
};

const char COND_LABEL_CONTINUOUS[] = "Continuous";
const char COND_LABEL_NEVER[] = "Never";
const char COND_LABEL_SPECIAL[] = "Special";
const char COND_LABEL_USER[] = "User";
const char COND_VALUE_CONTINUOUS[] = "00FF*00FF*00FF*0000*0000*0000*0000*";
const char COND_SPAN_CONTINUOUS[] = "0000*0000*0000*0000*0000*0000*0000*>00FF*00FF*00FF*0000*0000*0000*0000*";

namespace {

// Words in combined_cond order: states 0..2, events 0..2, combination.
constexpr cond_def plain(const char* label, uint16_t s0, uint16_t s1, uint16_t s2, uint16_t e0, uint16_t e1,
                         uint16_t e2, uint16_t comb) {
    return {label, 0, {0, 0, 0}, {s0, s1, s2, e0, e1, e2, comb}};
}
constexpr cond_def ev0(const char* label, uint16_t m) {
    return plain(label, 0, 0, 0, m, 0, 0, 0);
}
constexpr cond_def ev1(const char* label, uint16_t m) {
    return plain(label, 0, 0, 0, 0, m, 0, 0);
}
constexpr cond_def ev2(const char* label, uint16_t m) {
    return plain(label, 0, 0, 0, 0, 0, m, 0);
}
constexpr cond_def st0(const char* label, uint16_t m) {
    return plain(label, m, 0, 0, 0, 0, 0, 0);
}
constexpr cond_def st1(const char* label, uint16_t m) {
    return plain(label, 0, m, 0, 0, 0, 0, 0);
}
constexpr cond_def st2(const char* label, uint16_t m) {
    return plain(label, 0, 0, m, 0, 0, 0, 0);
}
// While a result holds, checked each time channel A has been evaluated.
constexpr cond_def dyn(const char* label, uint16_t s2) {
    return plain(label, 0, 0, s2, 0, 0, 0x0100, 1);
}

// Span: begin event words, then the evaluation condition's words.
constexpr cond_def span(const char* label, uint16_t b0, uint16_t b1, uint16_t s0, uint16_t s1, uint16_t e0,
                        uint16_t e1) {
    return {label, 1, {b0, b1, 0}, {s0, s1, 0, e0, e1, 0, 0}};
}
constexpr cond_def on0(const char* label, uint16_t e0) {
    return span(label, 0, 0, 0, 0, e0, 0);
}
constexpr cond_def on1(const char* label, uint16_t e1) {
    return span(label, 0, 0, 0, 0, 0, e1);
}
constexpr cond_def edge0(const char* label, uint16_t b, uint16_t e) {
    return span(label, b, 0, 0, 0, e, 0);
}
constexpr cond_def edge1(const char* label, uint16_t b, uint16_t e) {
    return span(label, 0, b, 0, 0, 0, e);
}
constexpr cond_def while0(const char* label, uint16_t m) {
    return span(label, m, 0, m, 0, 0, 0);
}
constexpr cond_def while1(const char* label, uint16_t m) {
    return span(label, 0, m, 0, m, 0, 0);
}

constexpr cond_def g_events[] = {
    ev0("IN0 rising edge", 0x0002),   ev0("IN0 falling edge", 0x0001), ev0("IN1 rising edge", 0x0008),
    ev0("IN1 falling edge", 0x0004),  ev0("TMR A starting", 0x0020),   ev0("TMR A stopping", 0x0010),
    ev0("TMR B starting", 0x0080),    ev0("TMR B stopping", 0x0040),   ev1("CH A rising edge", 0x0002),
    ev1("CH A falling edge", 0x0001), ev1("CH B rising edge", 0x0020), ev1("CH B falling edge", 0x0010),
};
constexpr cond_def g_outputs[] = {
    ev0("OUT0 switch. on", 0x0200),  ev0("OUT0 switch. off", 0x0100), ev0("OUT1 switch. on", 0x0800),
    ev0("OUT1 switch. off", 0x0400), ev0("OUT2 switch. on", 0x2000),  ev0("OUT2 switch. off", 0x1000),
};
constexpr cond_def g_continuous[] = {plain(COND_LABEL_CONTINUOUS, 0x00FF, 0x00FF, 0x00FF, 0, 0, 0, 0)};
constexpr cond_def g_span_continuous[] = {
    {COND_LABEL_CONTINUOUS, 1, {0, 0, 0}, {0x00FF, 0x00FF, 0x00FF, 0, 0, 0, 0}}};
constexpr cond_def g_never[] = {plain(COND_LABEL_NEVER, 0, 0, 0, 0, 0, 0, 0)};
constexpr cond_def g_states[] = {
    st0("while IN0 high", 0x0002),         st0("while IN0 low", 0x0001),
    st0("while IN1 high", 0x0008),         st0("while IN1 low", 0x0004),
    st0("while TMR A running", 0x0020),    st0("while TMR A stopped", 0x0010),
    st0("while TMR B running", 0x0080),    st0("while TMR B stopped", 0x0040),
    st1("while CH A over thres.", 0x0002), st1("while CH A under thres.", 0x0001),
    st1("while CH B over thres.", 0x0020), st1("while CH B under thres.", 0x0010),
};
constexpr cond_def g_tol_a[] = {
    st2("while CH A in tol.", 0x0006),
    st2("while CH A out of tol", 0x0009),
    st2("while CH A under tol.", 0x0001),
    st2("while CH A over tol.", 0x0008),
};
constexpr cond_def g_tol_b[] = {
    st2("while CH B in tol.", 0x0060),
    st2("while CH B out of tol", 0x0090),
    st2("while CH B under tol.", 0x0010),
    st2("while CH B over tol.", 0x0080),
};
constexpr cond_def g_dyn_a[] = {
    dyn("dyn. on CH A in tol.", 0x0006),
    dyn("dyn. on CH A under tol.", 0x0001),
    dyn("dyn. on CH A over tol.", 0x0008),
};
// The unit's channel B items test "on evaluating A" as well (event 0x0100).
constexpr cond_def g_dyn_b[] = {
    dyn("dyn. on CH B in tol.", 0x0060),
    dyn("dyn. on CH B under tol.", 0x0010),
    dyn("dyn. on CH B over tol.", 0x0080),
};
constexpr cond_def g_single_a[] = {
    ev2("single p. on CH A in tol.", 0x0006),
    ev2("single p. on CH A out of tol.", 0x0009),
    ev2("single p. on CH A under tol.", 0x0001),
    ev2("single p. on CH A over tol.", 0x0008),
};
constexpr cond_def g_single_b[] = {
    ev2("single p. on CH B in tol.", 0x0060),
    ev2("single p. on CH B out of tol.", 0x0090),
    ev2("single p. on CH B under tol.", 0x0010),
    ev2("single p. on CH B over tol.", 0x0080),
};
constexpr cond_def g_span_on[] = {
    on0("on IN0 falling edge", 0x0001),  on0("on IN0 rising edge", 0x0002),
    on0("on IN1 falling edge", 0x0004),  on0("on IN1 rising edge", 0x0008),
    on0("on TMR A stopping", 0x0010),    on0("on TMR A starting", 0x0020),
    on0("on TMR B stopping", 0x0040),    on0("on TMR B starting", 0x0080),
    on1("on CH A falling edge", 0x0001), on1("on CH A rising edge", 0x0002),
    on1("on CH B falling edge", 0x0010), on1("on CH B rising edge", 0x0020),
};
constexpr cond_def g_span_edges[] = {
    edge0("IN0 rising edge --> IN0 falling edge", 0x0002, 0x0001),
    edge0("IN0 falling edge --> IN0 rising edge", 0x0001, 0x0002),
    edge0("IN1 rising edge --> IN1 falling edge", 0x0008, 0x0004),
    edge0("IN1 falling edge --> IN1 rising edge", 0x0004, 0x0008),
    edge0("TMR A starting --> TMR A stopping", 0x0020, 0x0010),
    edge0("TMR A stopping --> TMR A starting", 0x0010, 0x0020),
    edge0("TMR B starting --> TMR B stopping", 0x0080, 0x0040),
    edge0("TMR B stopping --> TMR B starting", 0x0040, 0x0080),
    edge1("CH A rising edge --> CH A falling edge", 0x0002, 0x0001),
    edge1("CH A falling edge --> CH A rising edge", 0x0001, 0x0002),
    edge1("CH B rising edge --> CH B falling edge", 0x0020, 0x0010),
    edge1("CH B falling edge --> CH B rising edge", 0x0010, 0x0020),
};
// Begin on the edge, evaluate while the matching state holds. The last label
// has no final point in the unit's own lists.
constexpr cond_def g_span_while[] = {
    while0("while IN0 high", 0x0002),         while0("while IN0 low", 0x0001),
    while0("while IN1 high", 0x0008),         while0("while IN1 low", 0x0004),
    while0("while TMR A running", 0x0020),    while0("while TMR A stopped", 0x0010),
    while0("while TMR B running", 0x0080),    while0("while TMR B stopped", 0x0040),
    while1("while CH A over thres.", 0x0002), while1("while CH A under thres.", 0x0001),
    while1("while CH B over thres.", 0x0020), while1("while CH B under thres", 0x0010),
};

template <int N>
constexpr cond_group group(int code, int at_top, const cond_def (&items)[N]) {
    return {code, at_top, items, N};
}

} // namespace

const cond_group cond_catalogue[] = {
    group(COND_LIST_EVENTS, 0, g_events),         group(COND_LIST_OUTPUTS, 0, g_outputs),
    group(COND_LIST_CONTINUOUS, 1, g_continuous), group(COND_LIST_SPAN_CONTINUOUS, 1, g_span_continuous),
    group(COND_LIST_NEVER, 1, g_never),           group(COND_LIST_STATES, 0, g_states),
    group(COND_LIST_TOL_A, 0, g_tol_a),           group(COND_LIST_TOL_B, 0, g_tol_b),
    group(COND_LIST_DYN_A, 0, g_dyn_a),           group(COND_LIST_DYN_B, 0, g_dyn_b),
    group(COND_LIST_SINGLE_A, 0, g_single_a),     group(COND_LIST_SINGLE_B, 0, g_single_b),
    group(COND_LIST_SPAN_ON, 0, g_span_on),       group(COND_LIST_SPAN_EDGES, 0, g_span_edges),
    group(COND_LIST_SPAN_WHILE, 0, g_span_while),
};
const int cond_catalogue_count = sizeof(cond_catalogue) / sizeof(cond_catalogue[0]);
