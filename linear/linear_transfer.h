// The linearisation transfer to the unit as data: which block goes in which
// part, the words of each part, the description blocks, and the texts and bar
// values the panel shows on the way. The panel does the frames.
//
// SEND writes nine parts, each announced and then written with the same value:
// parts 1 to 4 carry channel A's table (256 entries each, values 0x1400 to
// 0x1700), parts 5 to 8 channel B's (0x1800 to 0x1B00), part 9 the information
// block (0x1300): channel A's description in bytes 0 to 255, channel B's in
// bytes 256 to 511. REFRESH reads the information block back.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr int LINEAR_SEND_PARTS = 9;
constexpr int LINEAR_SEND_STEPS = 2 * LINEAR_SEND_PARTS; // an announce and a write per part
constexpr int LINEAR_BLOCK_WORDS = 256;                  // words written per part
constexpr int LINEAR_DESCR_BYTES = 256;                  // one channel's description in the unit
constexpr int LINEAR_INFO_VALUE = 0x1300;                // the information block
constexpr int LINEAR_INFO_READ_WORDS = 256;              // the one word of a REFRESH request

constexpr int LINEAR_SEND_INFO = -1; // channel of the part that carries the descriptions

struct linear_send_part {
    uint16_t value; // block number in the high byte
    int channel;    // 0 = A, 1 = B, LINEAR_SEND_INFO
    int first;      // first table entry of the part
};
// In sending order.
extern const linear_send_part linear_send_plan[LINEAR_SEND_PARTS];

// The 256 words of part `part` (0 to 8, in plan order): a quarter of a table,
// or the information block `info` (512 bytes) for the last part, byte 2k the
// low byte of word k. The tables hold 1024 entries. Returns 0, or -1 for a part
// out of range or a null argument.
int linear_send_words(int part, const int16_t* table_a, const int16_t* table_b, const unsigned char* info,
                      uint16_t* words);

// One channel's description block as the unit keeps it: the lines (each taken
// up to 255 characters, as the box's line buffer holds them), each followed by
// "\n", zero-terminated and zero-filled to LINEAR_DESCR_BYTES. Only whole lines
// go in, as many as fit before the zero, so a long description loses its last
// lines, not the end of one line; only a first line that alone does not fit is
// cut, to 254 characters. Null lines count as empty. Returns the number of
// lines placed.
int linear_descr_block(const char* const* lines, int nlines, unsigned char* block);

// The information block from the words of a REFRESH answer: bytes beyond the
// `nwords` words read are zero. `bytes` holds 2 * LINEAR_DESCR_BYTES.
void linear_info_bytes(const uint16_t* words, int nwords, unsigned char* bytes);

// The text a description box shows for one channel's block as the unit sent
// it: the bytes up to the first zero, never more than LINEAR_DESCR_BYTES (the
// unit's block need not end in a zero), without the line feed that ends the
// last line (it would show as an empty line of its own). `text` holds
// LINEAR_DESCR_BYTES + 1 bytes and is always zero-terminated. Returns the
// text's length, or -1 for a null argument.
int linear_descr_text(const unsigned char* block, char* text);

// Status texts of part `part` (1 to 9): "Part 1 of 9 ... " once announced,
// "Part 1 of 9 ... OK." once written. Returns the length, or -1 when `size`
// is too small.
int linear_send_text(int part, bool written, char* out, size_t size);

// The second progress bar after `steps` of the 18 steps: 100 - 5.5 steps
// (94.5 down to 6.5), and 100.0 once all are done. The first bar is 0.0 all
// the while.
double linear_send_bar(int steps);
