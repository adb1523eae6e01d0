// Fuzz target for the oscillograph sequence decoder and its drawing lists.
//
// The input is a recipe: a factor selector, the start index the unit put into the
// last block's answer (any 16 bits, taken as sent and as a sign-extended number),
// then the block words. Short inputs repeat their bytes, so every block is full.
// The blocks are held in a buffer of exactly the size the factor reads, so the
// sanitizer sees any read past them; the output has exactly 1024 points.
//
// Properties, none of which restates the decoder:
// - every factor 1, 2, 4 gives 1024 points, all written (two runs over different
//   old contents agree), and a bad factor or count leaves the output untouched;
// - only whole samples carry markers, and no more markers come out than went in;
// - each point's value and input bits come from a sample that was read;
// - the last 4 / factor points repeat the one before them, without markers;
// - the start index counts modulo 1024, and moving it by 4 / factor moves the
//   sequence by as many points;
// - the marker list follows its policy: at most 8 labels of each kind, every
//   line at a sample position, the continuous text alone;
// - the curves stay between 0 and 4095, and the plot-handle list never grows
//   past 64 entries.
#include "fuzz/fuzz_input.h"
#include "osci/video_decode.h"

#include <algorithm>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

std::vector<uint16_t> decode(int factor, const std::vector<uint16_t>& src, int start, uint16_t fill) {
    std::vector<uint16_t> dst(VIDEO_SAMPLES, fill);
    check(interleave_data(factor, src.data(), dst.data(), VIDEO_SAMPLES, start) == VIDEO_OK);
    return dst;
}

void check_sequence(int factor, const std::vector<uint16_t>& src, const std::vector<uint16_t>& dst) {
    const int k = 4 / factor;
    // Every sample read, its value and input bits alone, and how many markers of
    // each kind went in.
    static std::bitset<65536> read;
    static std::bitset<VIDEO_NO_MARKERS + 1> seen;
    read.reset();
    seen.reset();
    int ends_in = 0, begins_in = 0;
    for (uint16_t w : src) {
        read[w] = true;
        seen[w & VIDEO_NO_MARKERS] = true;
        ends_in += (w & VIDEO_END) != 0;
        begins_in += (w & VIDEO_BEGIN) != 0;
    }
    int ends_out = 0, begins_out = 0;
    for (int j = 0; j < VIDEO_SAMPLES; j++) {
        const uint16_t w = dst[j];
        check(seen[w & VIDEO_NO_MARKERS]);
        if (w & ~VIDEO_NO_MARKERS) check(read[w]);
        ends_out += (w & VIDEO_END) != 0;
        begins_out += (w & VIDEO_BEGIN) != 0;
    }
    check(ends_out <= ends_in && begins_out <= begins_in);
    const uint16_t newest = static_cast<uint16_t>(dst[VIDEO_SAMPLES - 1 - k] & VIDEO_NO_MARKERS);
    for (int j = VIDEO_SAMPLES - k; j < VIDEO_SAMPLES; j++) check(dst[j] == newest);
}

void check_marks(const uint16_t* samples, int n) {
    std::vector<video_mark> marks{{VIDEO_MARK_TEXT, -1.0, -1.0, "stale"}};
    const int kind = video_marks(samples, n, &marks);
    const int ends = video_count_end_markers(samples, n);
    int begins = 0;
    for (int i = 0; i < n; i++) begins += (samples[i] & VIDEO_BEGIN) != 0;
    check(ends >= 0 && ends <= n);
    if (ends >= VIDEO_MARKS_CONTINUOUS_FROM) {
        check(kind == VIDEO_MARKS_CONTINUOUS && marks.size() == 1 && marks[0].type == VIDEO_MARK_TEXT);
        return;
    }
    if (ends >= VIDEO_MARKS_DRAWN_BELOW) {
        check(kind == VIDEO_MARKS_NONE && marks.empty());
        return;
    }
    check(kind == VIDEO_MARKS_LINES);
    int lines = 0, end_labels = 0, begin_labels = 0;
    for (const video_mark& m : marks) {
        check(m.x >= 0 && m.x < n && m.x == static_cast<int>(m.x));
        check(samples[static_cast<int>(m.x)] & (VIDEO_END | VIDEO_BEGIN));
        if (m.type == VIDEO_MARK_LINE) {
            check(m.y == 0.0 && m.text == nullptr);
            lines++;
            continue;
        }
        check(m.type == VIDEO_MARK_TEXT && m.text != nullptr);
        check(m.y >= 0.0 && m.y <= VIDEO_TOP);
        const bool end = std::string(m.text) == "Eval. end";
        check(end || std::string(m.text) == "Eval. begin");
        (end ? end_labels : begin_labels)++;
    }
    check(lines == ends + begins);
    check(end_labels <= VIDEO_LABELS_MAX && begin_labels <= VIDEO_LABELS_MAX);
    check(end_labels == std::min(ends, VIDEO_LABELS_MAX) &&
          begin_labels == std::min(begins, VIDEO_LABELS_MAX));
}

void check_curves(const uint16_t* samples, int n) {
    // One spare point, so that an empty drawing still hands over real buffers.
    std::vector<double> analog(n + 1), in0(n + 1), in1(n + 1);
    check(video_curves(samples, n, analog.data(), in0.data(), in1.data()) == VIDEO_OK);
    for (int i = 0; i < n; i++) {
        check(analog[i] >= 0.0 && analog[i] <= VIDEO_TOP);
        check(in0[i] == VIDEO_IN0_HIGH || in0[i] == VIDEO_IN0_LOW);
        check(in1[i] == VIDEO_IN1_HIGH || in1[i] == VIDEO_IN1_LOW);
    }
}

// Handles added in any number: the list holds at most 63 of them, or the single
// "every plot" entry once it would have overflowed.
void check_handles(FuzzReader& r) {
    int list[VIDEO_HANDLES + 1];
    std::fill(list, list + VIDEO_HANDLES + 1, 0x5A5A);
    list[0] =
        static_cast<int8_t>(r.byte()); // a count left over from an earlier drawing may be anything small
    if (list[0] >= VIDEO_HANDLES) list[0] = 0;
    const int adds = r.word() % 200;
    for (int i = 0; i < adds; i++) {
        const int rc = video_handle_add(list, i);
        check(rc == 0 || rc == 1);
        check(list[0] >= 1 && list[0] < VIDEO_HANDLES);
        if (rc == 0) check(list[0] == 1 && list[1] == VIDEO_ALL_PLOTS);
    }
    check(list[VIDEO_HANDLES] == 0x5A5A);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReader r{data, size};
    const uint8_t selector = r.byte();
    const uint16_t start_word = r.word();
    static const int factors[] = {4, 2, 1};
    const int factor = factors[selector % 3];
    const int blocks = factor; // a fine read takes four blocks, a coarse one fewer

    // Exactly the words this factor reads, from the input (repeated when it runs out).
    std::vector<uint16_t> src(static_cast<size_t>(blocks) * VIDEO_BLOCK_WORDS);
    const size_t body = r.left();
    for (size_t i = 0; i < src.size(); i++) {
        if (body == 0) {
            src[i] = static_cast<uint16_t>(i * 40503u);
            continue;
        }
        const size_t at = r.pos + (2 * i) % body;
        src[i] = static_cast<uint16_t>(data[at] | data[r.pos + (2 * i + 1) % body] << 8);
    }

    const int start = start_word;
    const std::vector<uint16_t> dst = decode(factor, src, start, 0x0000);
    check(decode(factor, src, start, 0xFFFF) == dst);
    check(decode(factor, src, static_cast<int16_t>(start_word), 0x0000) == dst);
    check(decode(factor, src, start + VIDEO_SAMPLES * 64, 0x0000) == dst);
    check_sequence(factor, src, dst);

    const int k = 4 / factor;
    const std::vector<uint16_t> moved = decode(factor, src, start + k, 0x0000);
    for (int j = 0; j + k < VIDEO_SAMPLES - k; j++) check(moved[j] == dst[j + k]);

    // Bad arguments write nothing.
    std::vector<uint16_t> untouched(VIDEO_SAMPLES, 0x1234);
    const int bad_factor = selector & 0x80 ? 3 : static_cast<int8_t>(selector);
    if (bad_factor != 1 && bad_factor != 2 && bad_factor != 4) {
        std::vector<uint16_t> all(4 * VIDEO_BLOCK_WORDS, 0xFFFF);
        check(interleave_data(bad_factor, all.data(), untouched.data(), VIDEO_SAMPLES, start) ==
              VIDEO_ERR_ARGS);
    }
    check(interleave_data(factor, src.data(), untouched.data(), VIDEO_SAMPLES - 1, start) == VIDEO_ERR_ARGS);
    check(std::all_of(untouched.begin(), untouched.end(), [](uint16_t w) { return w == 0x1234; }));

    check_marks(dst.data(), VIDEO_SAMPLES);
    // The raw blocks as a sequence of any length, as a drawing of part of one would be.
    const int n = static_cast<int>(start_word % (src.size() + 1));
    check_marks(src.data(), n);
    check_curves(dst.data(), VIDEO_SAMPLES);
    check_curves(src.data(), n);
    check_handles(r);
    return 0;
}
