// The linearisation transfer's plan, blocks and texts.
#include "linear/linear_transfer.h"

#include "linear/linear_file.h"

#include <cstdio>
#include <cstring>

const linear_send_part linear_send_plan[LINEAR_SEND_PARTS] = {
    {0x1400, 0, 0},   {0x1500, 0, 256}, {0x1600, 0, 512}, {0x1700, 0, 768},
    {0x1800, 1, 0},   {0x1900, 1, 256}, {0x1A00, 1, 512}, {0x1B00, 1, 768},
    {LINEAR_INFO_VALUE, LINEAR_SEND_INFO, 0},
};

int linear_send_words(int part, const int16_t* table_a, const int16_t* table_b, const unsigned char* info,
                      uint16_t* words) {
    if (part < 0 || part >= LINEAR_SEND_PARTS || !words) return -1;
    const linear_send_part& p = linear_send_plan[part];
    if (p.channel == LINEAR_SEND_INFO) {
        if (!info) return -1;
        for (int k = 0; k < LINEAR_BLOCK_WORDS; k++)
            words[k] = static_cast<uint16_t>(info[2 * k] | info[2 * k + 1] << 8);
        return 0;
    }
    const int16_t* table = p.channel == 0 ? table_a : table_b;
    if (!table) return -1;
    for (int k = 0; k < LINEAR_BLOCK_WORDS; k++) words[k] = static_cast<uint16_t>(table[p.first + k]);
    return 0;
}

int linear_descr_block(const char* const* lines, int nlines, unsigned char* block) {
    std::memset(block, 0, LINEAR_DESCR_BYTES);
    // The last byte stays the terminating zero.
    constexpr size_t room = LINEAR_DESCR_BYTES - 1;
    size_t used = 0;
    int placed = 0;
    for (int k = 0; k < nlines; k++) {
        const char* line = lines && lines[k] ? lines[k] : "";
        size_t len = strnlen(line, LINEAR_LINE - 1);
        if (used + len + 1 > room) {
            if (placed > 0) break;
            len = room - 1;
        }
        std::memcpy(block + used, line, len);
        block[used + len] = '\n';
        used += len + 1;
        placed++;
    }
    return placed;
}

void linear_info_bytes(const uint16_t* words, int nwords, unsigned char* bytes) {
    std::memset(bytes, 0, 2 * LINEAR_DESCR_BYTES);
    for (int k = 0; words && k < nwords && k < LINEAR_DESCR_BYTES; k++) {
        bytes[2 * k] = static_cast<unsigned char>(words[k] & 0xFF);
        bytes[2 * k + 1] = static_cast<unsigned char>(words[k] >> 8);
    }
}

int linear_descr_text(const unsigned char* block, char* text) {
    if (!block || !text) return -1;
    size_t n = strnlen(reinterpret_cast<const char*>(block), LINEAR_DESCR_BYTES);
    std::memcpy(text, block, n);
    if (n > 0 && text[n - 1] == '\n') n--;
    text[n] = '\0';
    return static_cast<int>(n);
}

int linear_send_text(int part, bool written, char* out, size_t size) {
    const int n = std::snprintf(out, size, "Part %d of %d ... %s", part, LINEAR_SEND_PARTS, written ? "OK." : "");
    return n < 0 || static_cast<size_t>(n) >= size ? -1 : n;
}

double linear_send_bar(int steps) {
    return steps >= LINEAR_SEND_STEPS ? 100.0 : 100.0 - 5.5 * steps;
}
