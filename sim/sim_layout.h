// Word positions of the records the simulated unit exchanges with the PC.
//
// The unit sees its parameter set as 228 little-endian words, exactly the payload of
// the parameter frames; it never needs the PC's field-by-field record, only word
// positions. They are taken from the PC's record (its byte offsets are the wire
// format), so the two cannot drift apart. Channel A and channel B fields sit at
// different positions but mean the same, so a per-channel table of positions lets
// one scan routine serve both.
#pragma once

#include "link/orders.h"
#include "params/para_record.h"

#include <cstddef>
#include <cstdint>

// Word position of a field of the parameter record, or of a member of a sub-record.
#define SIM_WORD_OF(record, field) static_cast<int>(offsetof(record, field) / 2)

constexpr int SIM_PARA_WORDS = PARA_WORDS;
constexpr int SIM_RECORD_WORDS = 36;
constexpr int SIM_BLOCK_WORDS = 256;
constexpr int SIM_OSCI_SAMPLES = 1024;

// Sub-record sizes in words.
constexpr int SIM_EVENT_COND_WORDS = sizeof(event_cond) / 2; // event masks of registers 0, 1, 2
constexpr int SIM_COMBINED_COND_WORDS =
    sizeof(combined_cond) / 2;                                 // 3 state masks, 3 event masks, combination
constexpr int SIM_TEACH_ENTRY_WORDS = sizeof(teach_entry) / 2; // reference, low and high tolerance, each s32
constexpr int SIM_TEACH_ENTRIES = 4;
constexpr int SIM_IIR_WORDS = sizeof(iir_block) / 2;
constexpr int SIM_ANAOUT_ROW_WORDS = sizeof(anaout_scaling) / 2; // gain, shift, offset (s32)

// Positions of the per-channel fields.
struct sim_chan_layout {
    int power;
    int timer;
    int norm;
    int trigger1;
    int hyst1;
    int trigger2;
    int hyst2;
    int eval_begin;   // event_cond
    int counter_cond; // event_cond
    int timer_cond;   // event_cond
    int osci_cond;    // event_cond
    int eval_cond;    // combined_cond
    int eval_mode;
    int averaging;
    int osci_skip;
    int osci_pretrig;
    int linearisation;
    int eval_select;
    int eval_switch;
    int teach; // 4 teach entries
    int iir;   // iir block
    int dirt_level;
    int dirt_timeout;
    int ext_teach;
    int prev_samples;
    int counter_effect;
    int derivation;
    int timer_mode;
};

extern const sim_chan_layout sim_chan_a;
extern const sim_chan_layout sim_chan_b;

// Fields of the unit as a whole.
constexpr int SW_SCANRATE = SIM_WORD_OF(para_record, scanrate);
constexpr int SW_INPUT_SOURCE_B = SIM_WORD_OF(para_record, input_sourceB);
constexpr int SW_NORM_TIMEBASE = SIM_WORD_OF(para_record, norm_timebase);
constexpr int SW_DIRT_OUTPUT = SIM_WORD_OF(para_record, dirt_output);
constexpr int SW_OUT_COND = SIM_WORD_OF(para_record, out_cond); // 3 combined_cond
constexpr int SW_NORM_COND = SIM_WORD_OF(para_record, norm_cond);
constexpr int SW_OUT_HOLD = SIM_WORD_OF(para_record, out_hold); // per output: OFF hold, ON hold
constexpr int SW_ANAOUT_SOURCE = SIM_WORD_OF(para_record, anaout_source);
constexpr int SW_ANAOUT_SWITCH = SIM_WORD_OF(para_record, anaout_switch);
constexpr int SW_ANAOUT_SCALE = SIM_WORD_OF(para_record, anaout_scale); // 4 rows
constexpr int SW_AUTOSEND_COND = SIM_WORD_OF(para_record, autosend_cond);
constexpr int SW_POTI_USAGE = SIM_WORD_OF(para_record, poti_usage);

// Inside an iir block.
constexpr int SIM_IIR_GAIN = SIM_WORD_OF(iir_block, gain);
constexpr int SIM_IIR_STAGE0 = SIM_WORD_OF(iir_block, stage); // a2, a1, b0, b1, b2 per stage
constexpr int SIM_IIR_SHIFT = SIM_WORD_OF(iir_block, shift);
constexpr int SIM_IIR_USE_FILTERED = SIM_WORD_OF(iir_block, use_filtered);

// Words of the 36-word measurement record; channel B fields follow at +16.
constexpr int SR_RESULT = 0;  // s32
constexpr int SR_COUNTER = 2; // s32
constexpr int SR_RAW = 4;
constexpr int SR_MAX_RAW = 5;
constexpr int SR_VAL = 6;
constexpr int SR_FILTERED = 7;
constexpr int SR_DERIVATION = 8;
constexpr int SR_AUX = 9;
constexpr int SR_MIN_VAL = 10;
constexpr int SR_MAX_VAL = 11;
constexpr int SR_TRACE4 = 12;
constexpr int SR_TRACE5 = 13;
constexpr int SR_REFERENCE = 14; // s32
constexpr int SR_CHANNEL_B = 16; // offset of the channel B block
constexpr int SR_CYCLE_TIME = 32;
constexpr int SR_SECONDS = 33;
constexpr int SR_ANA = 34;
constexpr int SR_IO = 35;

// Bits of the I/O word.
constexpr uint16_t SIM_IO_OUT0 = 0x0001;
constexpr uint16_t SIM_IO_OUT1 = 0x0002;
constexpr uint16_t SIM_IO_OUT2 = 0x0004;
constexpr uint16_t SIM_IO_IN0 = 0x0100;
constexpr uint16_t SIM_IO_IN1 = 0x0200;

// Bits of an oscillograph sample word.
constexpr uint16_t SIM_SAMPLE_VALUE = 0x0FFF;
constexpr uint16_t SIM_SAMPLE_IN0 = 0x1000;
constexpr uint16_t SIM_SAMPLE_IN1 = 0x2000;
constexpr uint16_t SIM_SAMPLE_BEGIN = 0x4000;
constexpr uint16_t SIM_SAMPLE_END = 0x8000;

// Linearisation storage: block numbers (high byte of the order value) 0x13 to 0x1B.
constexpr int SIM_LIN_FIRST_BLOCK = LIN_FIRST_BLOCK; // the information block
constexpr int SIM_LIN_BLOCKS = LIN_LAST_BLOCK - LIN_FIRST_BLOCK + 1;

// Signed and 32-bit views of little-endian word images.
inline int16_t sim_s16(const uint16_t* w, int i) {
    return static_cast<int16_t>(w[i]);
}
inline int32_t sim_s32(const uint16_t* w, int i) {
    return static_cast<int32_t>(static_cast<uint32_t>(w[i]) | (static_cast<uint32_t>(w[i + 1]) << 16));
}
inline void sim_put_s32(uint16_t* w, int i, int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    w[i] = static_cast<uint16_t>(u & 0xFFFF);
    w[i + 1] = static_cast<uint16_t>(u >> 16);
}
