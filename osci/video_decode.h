// Oscillograph sequences: which blocks to read, putting them into time order, and
// what a drawing of one sequence consists of.
//
// The unit keeps 1024 samples per channel in a ring and hands them out in blocks of
// 256 words (order 9). A fine read takes four blocks, one for each ring position
// 4i, 4i+1, 4i+2, 4i+3; coarser reads take only every second or fourth position,
// which is enough when the oscillograph window shows the whole buffer. The answer to
// each block carries the ring position of the oldest sample (the start index).
//
// Nothing here touches a panel or the link: the VIDEO loop asks for the block
// values, hands the blocks to interleave_data, and draws the mark list and curves
// that video_marks / video_curves return.
#pragma once

#include <cstdint>
#include <vector>

constexpr int VIDEO_SAMPLES = 1024;    // points of a decoded sequence
constexpr int VIDEO_BLOCK_WORDS = 256; // words of one block answer
constexpr int VIDEO_MAX_BLOCKS = 4;

// Sample word: 12-bit value, the two digital inputs and the two evaluation markers.
constexpr uint16_t VIDEO_VALUE = 0x0FFF;
constexpr uint16_t VIDEO_IN0 = 0x1000;
constexpr uint16_t VIDEO_IN1 = 0x2000;
constexpr uint16_t VIDEO_BEGIN = 0x4000;
constexpr uint16_t VIDEO_END = 0x8000;
constexpr uint16_t VIDEO_NO_MARKERS = 0x3FFF;

// Orders and values of the VIDEO loop.
constexpr int VIDEO_ORDER_POLL = 8;
constexpr int VIDEO_ORDER_BLOCK = 9;
constexpr int VIDEO_POLL_STATUS = 3;    // measurement record plus "new sequence" status
constexpr int VIDEO_POLL_CLOSE_A = 84;  // measurement record; the unit re-arms channel A
constexpr int VIDEO_POLL_CLOSE_B = 168; // the same for channel B

// Status codes of this module (the link's "Function call error." code for bad arguments).
constexpr int VIDEO_OK = 0;
constexpr int VIDEO_ERR_ARGS = -1;

// ---- blocks -------------------------------------------------------------------------------

// Interleave factor for the oscillograph window's horizontal span: 1024 -> 1,
// 512 -> 2, 256 or 128 -> 4, anything else -> 1. Taken again before every read.
int video_factor(int zoom_span_x);

// Order-9 values of one read in reading order (value = base value + channel; bases
// 2, 6, 4, 0 for factor 4; 10, 8 for factor 2; 8 for factor 1). Answer i goes to
// word offset 256 * i of the source buffer of interleave_data.
// Channel 0 is A, 1 is B. Returns the number of blocks (4, 2 or 1), or VIDEO_ERR_ARGS
// for another factor or channel (nothing written).
int video_blocks(int factor, int channel, int values[VIDEO_MAX_BLOCKS]);

// Value of the closing poll (order 8) after a read: 84 for A, 168 for B, else VIDEO_ERR_ARGS.
int video_closing_value(int channel);

// Whether the loop reads `channel` after a status answer r (3: A new, 4: B new, 5: both):
// its mode is not Off (-1), its video trace is shown, and r names it.
int video_channel_due(int channel, int mode, int video_on, int r);

// ---- decoding ----------------------------------------------------------------------------

// Puts the blocks of one read into time order, oldest sample first.
// `src` holds the block answers at 256-word offsets in reading order (1024 words for
// factor 4, the first 512 for 2, the first 256 for 1); `start` is the value field of the
// last block's answer, taken modulo 1024 whatever the unit sent.
// With k = 4 / factor, every sample fills k neighbouring points; only the first of them
// keeps the marker bits, so a begin or end marker is drawn once. The oldest sample of the
// ring is dropped: the sequence moves k points towards the start and its last k points
// repeat point 1023 - k, without marker bits.
// `count` must be 1024 (all points are written). Returns VIDEO_OK, or VIDEO_ERR_ARGS for a
// factor other than 1, 2, 4, a null buffer or another count (`dst` untouched).
int interleave_data(int factor, const uint16_t* src, uint16_t* dst, int count, int start);

// ---- drawing -----------------------------------------------------------------------------

// Marker policy by the number of end markers: fewer than 64 are drawn one by one,
// 256 or more mean the unit evaluates all the time, and in between nothing is marked.
constexpr int VIDEO_MARKS_DRAWN_BELOW = 64;
constexpr int VIDEO_MARKS_CONTINUOUS_FROM = 256;
constexpr double VIDEO_TOP = 4095.0;
constexpr double VIDEO_LABEL_STEP = 512.0;
constexpr int VIDEO_LABELS_MAX = 8; // per label kind: the steps that fit between 0 and 4095

enum video_marks_kind {
    VIDEO_MARKS_LINES = 0,      // every marker drawn, with labels on the first ones
    VIDEO_MARKS_NONE = 1,       // 64 to 255 end markers
    VIDEO_MARKS_CONTINUOUS = 2, // 256 or more
};

enum video_mark_type { VIDEO_MARK_LINE = 0, VIDEO_MARK_TEXT = 1 };

// One drawing step in the channel colour: a dashed vertical line from (x, 0) to
// (x, 4095), or a text anchored at (x, y) on a transparent background.
struct video_mark {
    int type;         // video_mark_type
    double x;         // sample position
    double y;         // text height; 0.0 for a line
    const char* text; // "Eval. end", "Eval. begin", "Continuous evaluation"; null for a line
};

// Samples with the end-marker bit among the first n.
int video_count_end_markers(const uint16_t* samples, int n);

// Fills `out` (cleared first) with the marker steps of a sequence in drawing order: per
// sample, its end line and label, then its begin line and label. End labels go from 4095
// down by 512 while above 0, begin labels from 0 up by 512 while below 4095, so each kind
// has at most 8 labels however many markers there are. 256 or more end markers give the
// single text "Continuous evaluation" at (0, 4095).
// Returns the video_marks_kind, or VIDEO_ERR_ARGS for null samples, null `out` or n < 0.
int video_marks(const uint16_t* samples, int n, std::vector<video_mark>* out);

// The curves of a sequence: analog (value bits), IN0 (2866 set, 409 clear) and IN1 (3686
// set, 1229 clear), n points each. Returns VIDEO_OK or VIDEO_ERR_ARGS.
constexpr double VIDEO_IN0_HIGH = 2866.0, VIDEO_IN0_LOW = 409.0;
constexpr double VIDEO_IN1_HIGH = 3686.0, VIDEO_IN1_LOW = 1229.0;
int video_curves(const uint16_t* samples, int n, double* analog, double* in0, double* in1);

// ---- plot-handle list --------------------------------------------------------------------

// Entry 0 holds the count n, entries 1..n plot handles; a single handle of -1 stands for
// every plot of the graph, so the next clearing removes them all.
constexpr int VIDEO_HANDLES = 64;
constexpr int VIDEO_ALL_PLOTS = -1;

// Records a plot handle. When the count would reach 64 the list becomes {1, -1}, and it
// stays so for the rest of the drawing. Returns 1 when the handle was recorded, 0 when the
// list stands for all plots, VIDEO_ERR_ARGS for a null list.
int video_handle_add(int* list, int handle);
