// Fuzz target for the linearisation descriptions the unit keeps.
//
// The first byte gives the number of words a REFRESH answer brought (any
// count, also more than the block holds); the rest are the words. Both
// channels' blocks are decoded as the description boxes show them. Then the
// rest of the input, split at line feeds and zeros, is taken as the lines of a
// box, made into a block as SEND does and read back.
//
// Properties: a shown text ends within its buffer, holds no zero, is a prefix
// of the block and never longer than it; a block made from lines is
// zero-terminated, and reads back as the placed lines joined by line feeds.
#include "fuzz/fuzz_input.h"
#include "linear/linear_file.h"
#include "linear/linear_transfer.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReader in{data, size};
    const int nwords = in.byte() * 3; // 0 to 765
    std::vector<uint16_t> words(LINEAR_DESCR_BYTES);
    for (uint16_t& w : words) w = in.word();
    unsigned char info[2 * LINEAR_DESCR_BYTES];
    std::memset(info, 0xEE, sizeof info);
    linear_info_bytes(words.data(), nwords, info);
    for (int k = 2 * nwords; k < 2 * LINEAR_DESCR_BYTES; k++) check(info[k] == 0);
    for (int channel = 0; channel < 2; channel++) {
        const unsigned char* block = info + channel * LINEAR_DESCR_BYTES;
        char text[LINEAR_DESCR_BYTES + 2];
        text[LINEAR_DESCR_BYTES + 1] = 0x55;
        const int n = linear_descr_text(block, text);
        check(n >= 0 && n <= LINEAR_DESCR_BYTES);
        check(text[n] == '\0' && text[LINEAR_DESCR_BYTES + 1] == 0x55);
        check(std::strlen(text) == static_cast<size_t>(n));
        check(std::memcmp(text, block, static_cast<size_t>(n)) == 0);
    }

    // The rest as a box's lines.
    in.pos = size > 1 ? 1 : size;
    const std::string rest = in.rest();
    std::vector<std::string> lines;
    std::string line;
    for (char c : rest) {
        if (c == '\n' || c == '\0') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    std::vector<const char*> pointers;
    for (const std::string& l : lines) pointers.push_back(l.c_str());
    unsigned char block[LINEAR_DESCR_BYTES];
    const int placed = linear_descr_block(pointers.data(), static_cast<int>(pointers.size()), block);
    check(placed >= 0 && placed <= static_cast<int>(lines.size()));
    check(block[LINEAR_DESCR_BYTES - 1] == 0);
    std::string expected;
    for (int k = 0; k < placed; k++) {
        std::string l = lines[static_cast<size_t>(k)].substr(0, LINEAR_LINE - 1);
        if (k == 0 && l.size() > LINEAR_DESCR_BYTES - 2) l.resize(LINEAR_DESCR_BYTES - 2);
        expected += l;
        if (k + 1 < placed) expected += '\n';
    }
    char text[LINEAR_DESCR_BYTES + 1];
    const int n = linear_descr_text(block, text);
    check(n >= 0 && expected == text);
    return 0;
}
