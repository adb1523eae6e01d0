// A parameter record with a distinctive value in every field, chosen so that a
// file can carry it: flags 0 or 1, condition bits only where the file has keys,
// combinations 0..3, and a scan rate that is a multiple of 60. The register 2
// words of kind 0, 6 and 8 conditions and the reserved words are set too: files
// must drop them.
#pragma once

#include "params/para_record.h"

inline para_record para_sample() {
    para_record r{};
    r.powerA = 101;
    r.powerB = 202;
    r.timerA = 103;
    r.timerB = -204;
    r.normA = 1;
    r.normB = 0;
    r.trigger1A = 105;
    r.trigger1_hystA = 106;
    r.trigger2A = 107;
    r.trigger2_hystA = 108;
    r.trigger1B = 205;
    r.trigger1_hystB = 206;
    r.trigger2B = 207;
    r.trigger2_hystB = 208;
    r.eval_beginA = {{0x0012, 0x0081, 0x0333}};
    r.counter_condA = {{0x2A05, 0x0042, 0x0044}};
    r.timer_condA = {{0x0003, 0x0004, 0x0001}};
    r.osci_condA = {{0x1100, 0x0018, 0x0002}};
    r.eval_condA = {{0x0021, 0x0090, 0x0101}, {0x0006, 0x0041, 0x0202}, 1};
    r.eval_beginB = {{0x0048, 0x0012, 0x0003}};
    r.counter_condB = {{0x14A0, 0x0081, 0x0004}};
    r.timer_condB = {{0x0030, 0x00C0, 0x0005}};
    r.osci_condB = {{0x0802, 0x0024, 0x0006}};
    r.eval_condB = {{0x00C0, 0x000C, 0x0007}, {0x0010, 0x0003, 0x0008}, 2};
    r.eval_modeA = 7;
    r.eval_modeB = 21;
    r.averagingA = 109;
    r.averagingB = 209;
    r.osci_skipA = 110;
    r.osci_skipB = 210;
    r.osci_pretrigA = 111;
    r.osci_pretrigB = 211;
    r.reserved1 = 0x1111;
    r.reserved2 = 0x2222;
    r.reserved3 = 0x3333;
    r.reserved4 = 0x4444;
    r.linearisationA = 1;
    r.linearisationB = 0;
    r.eval_selectA = 112;
    r.eval_selectB = 212;
    r.eval_switchA = -113;
    r.eval_switchB = -213;
    for (int k = 0; k < 4; k++) {
        r.teachA[k] = {98304 + k, -6553 - 100 * k, 1000000 + k};
        r.teachB[k] = {-98304 - k, 6553 + 100 * k, 2000000 + k};
    }
    r.iirA.gain = 120;
    r.iirB.gain = -220;
    for (int s = 0; s < 3; s++) {
        const int16_t a = static_cast<int16_t>(121 + 5 * s), b = static_cast<int16_t>(-221 - 5 * s);
        r.iirA.stage[s] = {a, static_cast<int16_t>(a + 1000), static_cast<int16_t>(a + 2000),
                           static_cast<int16_t>(a + 3000), static_cast<int16_t>(a + 4000)};
        r.iirB.stage[s] = {b, static_cast<int16_t>(b - 1000), static_cast<int16_t>(b - 2000),
                           static_cast<int16_t>(b - 3000), static_cast<int16_t>(b - 4000)};
    }
    r.iirA.shift = 137;
    r.iirB.shift = 237;
    r.iirA.use_filtered = 1;
    r.iirB.use_filtered = 0;
    r.scanrate = 30000;
    r.input_sourceB = -1;
    r.norm_timebase = 310;
    r.dirt_output = 1;
    r.dirt_levelA = 312;
    r.dirt_timeoutA = 314;
    r.dirt_levelB = 316;
    r.dirt_timeoutB = 318;
    r.ext_teachA = 320;
    r.ext_teachB = 322;
    r.out_cond[0] = {{0x0003, 0x0030, 0x0206}, {0x0081, 0x0018, 0x0301}, 2};
    r.out_cond[1] = {{0x0084, 0x0041, 0x0060}, {0x0022, 0x0006, 0x0090}, 3};
    r.out_cond[2] = {{0x0000, 0x0000, 0x0009}, {0x0000, 0x0000, 0x0100}, 0};
    r.norm_cond = {{0x0040, 0x0002, 0x0010}, {0x0080, 0x0001, 0x0020}, 3};
    for (int k = 0; k < 3; k++)
        r.out_hold[k] = {static_cast<int16_t>(380 + 2 * k), static_cast<int16_t>(381 + 2 * k)};
    r.anaout_source = 392;
    r.anaout_switch = 394;
    for (int k = 0; k < 4; k++)
        r.anaout_scale[k] = {static_cast<int16_t>(400 + k), static_cast<int16_t>(-1 - k),
                             100000 * (k + 1) - 7};
    r.prev_samplesA = 428;
    r.prev_samplesB = 430;
    r.autosend_cond = {{0x3C01, 0x0020, 0x0100}};
    r.counter_effectA = 438;
    r.counter_effectB = -440;
    r.derivationA = 1;
    r.derivationB = 0;
    r.poti_usage = 446;
    r.timer_modeA = 0;
    r.timer_modeB = 1;
    return r;
}

// Limit records around the sample: upper = value + 1000, lower = value - 1000.
inline void para_sample_limits(const para_record* r, para_record* max, para_record* min) {
    for (int i = 0; i < para_field_count; i++) {
        para_field_set(max, i, para_field_get(r, i) + 1000);
        para_field_set(min, i, para_field_get(r, i) - 1000);
    }
}
