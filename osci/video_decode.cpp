// Oscillograph sequences (see video_decode.h).
#include "osci/video_decode.h"

namespace {

// Base values of the blocks in reading order. The unit answers base b with the ring
// positions 4i + b/2 (0, 2, 4, 6) or, for the coarse reads, 4i (8) and 4i + 2 (10).
const int bases_4[] = {2, 6, 4, 0};
const int bases_2[] = {10, 8};
const int bases_1[] = {8};

} // namespace

int video_factor(int zoom_span_x) {
    switch (zoom_span_x) {
    case 512:
        return 2;
    case 256:
    case 128:
        return 4;
    default:
        return 1;
    }
}

int video_blocks(int factor, int channel, int values[VIDEO_MAX_BLOCKS]) {
    if (!values || (channel != 0 && channel != 1)) return VIDEO_ERR_ARGS;
    const int* bases = nullptr;
    int n = 0;
    switch (factor) {
    case 4:
        bases = bases_4, n = 4;
        break;
    case 2:
        bases = bases_2, n = 2;
        break;
    case 1:
        bases = bases_1, n = 1;
        break;
    default:
        return VIDEO_ERR_ARGS;
    }
    for (int i = 0; i < n; i++) values[i] = bases[i] + channel;
    return n;
}

int video_closing_value(int channel) {
    if (channel == 0) return VIDEO_POLL_CLOSE_A;
    if (channel == 1) return VIDEO_POLL_CLOSE_B;
    return VIDEO_ERR_ARGS;
}

int video_channel_due(int channel, int mode, int video_on, int r) {
    if (mode < 0 || !video_on) return 0;
    if (channel == 0) return r == 3 || r == 5;
    if (channel == 1) return r == 4 || r == 5;
    return 0;
}

int interleave_data(int factor, const uint16_t* src, uint16_t* dst, int count, int start) {
    if (!src || !dst || count != VIDEO_SAMPLES) return VIDEO_ERR_ARGS;
    if (factor != 1 && factor != 2 && factor != 4) return VIDEO_ERR_ARGS;
    const uint16_t* b0 = src;
    const uint16_t* b1 = src + VIDEO_BLOCK_WORDS;
    const uint16_t* b2 = src + 2 * VIDEO_BLOCK_WORDS;
    const uint16_t* b3 = src + 3 * VIDEO_BLOCK_WORDS;

    // Ring order: position q holds the sample read for position q - q mod k. Only that
    // first point keeps the markers; the base-10 block of a factor-2 read is such a first
    // point (ring position 4i + 2) and keeps them too.
    uint16_t t[VIDEO_SAMPLES];
    for (int i = 0; i < VIDEO_BLOCK_WORDS; i++) {
        uint16_t* g = t + 4 * i;
        if (factor == 4) {
            g[0] = b3[i];
            g[1] = b0[i];
            g[2] = b2[i];
            g[3] = b1[i];
        } else if (factor == 2) {
            g[0] = b1[i];
            g[1] = static_cast<uint16_t>(b1[i] & VIDEO_NO_MARKERS);
            g[2] = b0[i];
            g[3] = static_cast<uint16_t>(b0[i] & VIDEO_NO_MARKERS);
        } else {
            g[0] = b0[i];
            g[1] = g[2] = g[3] = static_cast<uint16_t>(b0[i] & VIDEO_NO_MARKERS);
        }
    }

    // The start index is the ring position of the oldest sample; the unit's 16-bit field
    // may hold anything, so only its position within the ring counts. Rotating to it and
    // dropping the oldest sample (k points) is one pass.
    const int k = 4 / factor;
    const int s = ((start % VIDEO_SAMPLES) + VIDEO_SAMPLES) % VIDEO_SAMPLES;
    for (int j = 0; j <= VIDEO_SAMPLES - 1 - k; j++) dst[j] = t[(s + j + k) % VIDEO_SAMPLES];
    const uint16_t newest = static_cast<uint16_t>(dst[VIDEO_SAMPLES - 1 - k] & VIDEO_NO_MARKERS);
    for (int j = VIDEO_SAMPLES - k; j < VIDEO_SAMPLES; j++) dst[j] = newest;
    return VIDEO_OK;
}

int video_count_end_markers(const uint16_t* samples, int n) {
    if (!samples) return 0;
    int ends = 0;
    for (int i = 0; i < n; i++) ends += (samples[i] & VIDEO_END) != 0;
    return ends;
}

int video_marks(const uint16_t* samples, int n, std::vector<video_mark>* out) {
    if (!samples || !out || n < 0) return VIDEO_ERR_ARGS;
    out->clear();
    const int ends = video_count_end_markers(samples, n);
    if (ends >= VIDEO_MARKS_CONTINUOUS_FROM) {
        out->push_back({VIDEO_MARK_TEXT, 0.0, VIDEO_TOP, "Continuous evaluation"});
        return VIDEO_MARKS_CONTINUOUS;
    }
    if (ends >= VIDEO_MARKS_DRAWN_BELOW) return VIDEO_MARKS_NONE;

    // The label heights run once over the whole drawing, so labels sit on the first
    // markers only and never pile up on each other.
    double end_height = VIDEO_TOP;
    double begin_height = 0.0;
    for (int i = 0; i < n; i++) {
        const double x = i;
        if (samples[i] & VIDEO_END) {
            out->push_back({VIDEO_MARK_LINE, x, 0.0, nullptr});
            if (end_height > 0.0) {
                out->push_back({VIDEO_MARK_TEXT, x, end_height, "Eval. end"});
                end_height -= VIDEO_LABEL_STEP;
            }
        }
        if (samples[i] & VIDEO_BEGIN) {
            out->push_back({VIDEO_MARK_LINE, x, 0.0, nullptr});
            if (begin_height < VIDEO_TOP) {
                out->push_back({VIDEO_MARK_TEXT, x, begin_height, "Eval. begin"});
                begin_height += VIDEO_LABEL_STEP;
            }
        }
    }
    return VIDEO_MARKS_LINES;
}

int video_curves(const uint16_t* samples, int n, double* analog, double* in0, double* in1) {
    if (!samples || !analog || !in0 || !in1 || n < 0) return VIDEO_ERR_ARGS;
    for (int i = 0; i < n; i++) {
        const uint16_t v = samples[i];
        analog[i] = v & VIDEO_VALUE;
        in0[i] = (v & VIDEO_IN0) ? VIDEO_IN0_HIGH : VIDEO_IN0_LOW;
        in1[i] = (v & VIDEO_IN1) ? VIDEO_IN1_HIGH : VIDEO_IN1_LOW;
    }
    return VIDEO_OK;
}

int video_handle_add(int* list, int handle) {
    if (!list) return VIDEO_ERR_ARGS;
    if (list[0] >= 1 && list[1] == VIDEO_ALL_PLOTS) return 0;
    if (list[0] < 0) list[0] = 0;
    if (list[0] + 1 >= VIDEO_HANDLES) {
        list[0] = 1;
        list[1] = VIDEO_ALL_PLOTS;
        return 0;
    }
    list[++list[0]] = handle;
    return 1;
}
