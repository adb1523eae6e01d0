// Word positions of the per-channel parameter fields (see sim_layout.h), taken from the
// PC's parameter record.
#include "sim/sim_layout.h"

// clang-format off
// The fields of channel `X` (A or B) are named with the channel letter last.
#define SIM_CHANNEL_LAYOUT(X) {                                       \
    .power = SIM_WORD_OF(para_record, power##X),                  \
    .timer = SIM_WORD_OF(para_record, timer##X),                  \
    .norm = SIM_WORD_OF(para_record, norm##X),                    \
    .trigger1 = SIM_WORD_OF(para_record, trigger1##X),            \
    .hyst1 = SIM_WORD_OF(para_record, trigger1_hyst##X),          \
    .trigger2 = SIM_WORD_OF(para_record, trigger2##X),            \
    .hyst2 = SIM_WORD_OF(para_record, trigger2_hyst##X),          \
    .eval_begin = SIM_WORD_OF(para_record, eval_begin##X),        \
    .counter_cond = SIM_WORD_OF(para_record, counter_cond##X),    \
    .timer_cond = SIM_WORD_OF(para_record, timer_cond##X),        \
    .osci_cond = SIM_WORD_OF(para_record, osci_cond##X),          \
    .eval_cond = SIM_WORD_OF(para_record, eval_cond##X),          \
    .eval_mode = SIM_WORD_OF(para_record, eval_mode##X),          \
    .averaging = SIM_WORD_OF(para_record, averaging##X),          \
    .osci_skip = SIM_WORD_OF(para_record, osci_skip##X),          \
    .osci_pretrig = SIM_WORD_OF(para_record, osci_pretrig##X),    \
    .linearisation = SIM_WORD_OF(para_record, linearisation##X),  \
    .eval_select = SIM_WORD_OF(para_record, eval_select##X),      \
    .eval_switch = SIM_WORD_OF(para_record, eval_switch##X),      \
    .teach = SIM_WORD_OF(para_record, teach##X),                  \
    .iir = SIM_WORD_OF(para_record, iir##X),                      \
    .dirt_level = SIM_WORD_OF(para_record, dirt_level##X),        \
    .dirt_timeout = SIM_WORD_OF(para_record, dirt_timeout##X),    \
    .ext_teach = SIM_WORD_OF(para_record, ext_teach##X),          \
    .prev_samples = SIM_WORD_OF(para_record, prev_samples##X),    \
    .counter_effect = SIM_WORD_OF(para_record, counter_effect##X),\
    .derivation = SIM_WORD_OF(para_record, derivation##X),        \
    .timer_mode = SIM_WORD_OF(para_record, timer_mode##X),        \
}
// clang-format on

const sim_chan_layout sim_chan_a = SIM_CHANNEL_LAYOUT(A);
const sim_chan_layout sim_chan_b = SIM_CHANNEL_LAYOUT(B);
