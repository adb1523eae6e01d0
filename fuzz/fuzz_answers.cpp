// Fuzz target for what the program makes of the unit's answers past the frame codec.
//
// Random bytes would almost never pass the CRCs, so the input is read as an answer
// frame: order, value and payload, assembled here with correct CRCs and fed to the
// receive buffer in two pieces, as bytes arrive from a port. The words the codec
// hands out then go to every reader of unit answers, whatever order they came
// with, because a confused or hostile unit may send any words to any request:
// - the version text (cut into the shared 256-character text, compared with the
//   program's version, put into the log line of a paired unit);
// - the parameter words (into the record and back, the limit check with limits
//   from the same answer, the conditions shown from them, the analog output rows);
// - the measurement record (decoded for the display, the strip chart's history and
//   its range, the oscillograph time gain), also as an autosend frame;
// - the hardware block of the export.
//
// Properties: texts always end within their buffers and hold the answer's bytes up
// to the first zero; words survive the trip into the record and back exactly;
// decoded values are finite and within their documented ranges.
#include "connect/connect_text.h"
#include "fuzz/fuzz_input.h"
#include "link/frame.h"
#include "params/conditions.h"
#include "params/para_record.h"
#include "run/measurement.h"
#include "settings/anaout_math.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr char PC_VERSION[] = "KORMELAN-3 Zazed V4.04";

// The answer frame as the program's receive path gives it back. Its CRCs are
// right and it fits, so the codec must take it; refused frames are the frame
// fuzzer's part.
std::unique_ptr<frame_in> receive(FuzzReader& r) {
    const uint8_t order = r.byte();
    const uint16_t value = r.word();
    const size_t split = r.word();
    std::vector<uint8_t> payload(r.data + r.pos, r.data + r.size);
    if (payload.size() > 1016) payload.resize(1016); // the longest frame the receiver takes
    std::vector<uint8_t> stream(FRAME_HEADER_SIZE);
    frame_write_header(stream.data(), order, value, static_cast<uint16_t>(payload.size()),
                       crc8_update_stream(CRC8_START, payload.data(), payload.size()));
    stream.insert(stream.end(), payload.begin(), payload.end());

    frame_rx rx;
    frame_rx_clear(&rx);
    auto in = std::make_unique<frame_in>();
    const size_t first = split % (stream.size() + 1);
    check(frame_rx_append(&rx, stream.data(), static_cast<int>(first)) == static_cast<int>(first));
    if (first < stream.size()) check(frame_find(&rx, in.get()) == FRAME_INCOMPLETE);
    const int rest = static_cast<int>(stream.size() - first);
    check(frame_rx_append(&rx, stream.data() + first, rest) == rest);
    check(frame_find(&rx, in.get()) == FRAME_COMPLETE);
    return in;
}

// The words an answer gives a request of `order` that wants `max_words` (0: all).
// Returns the count, or -1 when the program would not take the answer.
int words_of(const frame_in& in, int order, int max_words, uint16_t* words) {
    int n = -1;
    const int rc = frame_check_answer(&in, order, words, max_words, &n);
    if (rc < 0) return -1;
    check(n >= 0 && n <= FRAME_MAX_REQUEST_WORDS);
    if (max_words > 0) check(n == max_words);
    return n;
}

void check_text(const char* text, int size) {
    check(static_cast<int>(strnlen(text, static_cast<size_t>(size))) < size);
}

void version_text(const frame_in& in) {
    uint16_t words[FRAME_MAX_REQUEST_WORDS] = {};
    const int n = words_of(in, 7, 0, words);
    if (n < 0) return;
    // Exactly the words that came, so that the sanitizer sees a read past them.
    const std::vector<uint16_t> exact(words, words + n);
    char str_data[256];
    std::memset(str_data, 'x', sizeof str_data);
    const int len = answer_text(exact.data(), n, str_data, sizeof str_data);
    check(len >= 0 && len < static_cast<int>(sizeof str_data) && str_data[len] == '\0');
    check(len <= 2 * n && static_cast<int>(std::strlen(str_data)) == len);
    check(std::memcmp(str_data, in.payload, static_cast<size_t>(len)) == 0);
    // Small buffers cut the same text shorter.
    for (int size : {1, 2, 5}) {
        char small[5];
        const int cut = answer_text(exact.data(), n, small, size);
        check(cut == std::min(len, size - 1) && std::memcmp(small, str_data, static_cast<size_t>(cut)) == 0);
    }
    const int match = versions_match(str_data, PC_VERSION);
    check(match == 0 || match == 1);

    char unit_text[128];
    std::snprintf(unit_text, sizeof unit_text, "%.127s", str_data);
    for (int protocol = 0; protocol < 2; protocol++) {
        char line[512];
        std::memset(line, 'x', sizeof line);
        format_sensor_line(line, sizeof line, in.header.value, unit_text, protocol, in.header.order,
                           str_data);
        check_text(line, sizeof line);
        char small[16];
        format_sensor_line(small, sizeof small, in.header.value, unit_text, protocol, 1, str_data);
        check_text(small, sizeof small);
    }
}

void check_conditions(const para_record& rec) {
    struct shown {
        const void* cond;
        int kind;
    };
    const shown conditions[] = {
        {&rec.eval_beginA, COND_KIND_EVENT},   {&rec.counter_condA, COND_KIND_EVENT_OUTPUTS},
        {&rec.timer_condA, COND_KIND_EVENT},   {&rec.osci_condA, COND_KIND_EVENT_OUTPUTS},
        {&rec.eval_condA, COND_KIND_COMBINED}, {&rec.out_cond[0], COND_KIND_COMBINED_RES},
        {&rec.norm_cond, COND_KIND_COMBINED},  {&rec.autosend_cond, COND_KIND_EVENT_OUTPUTS},
    };
    for (const shown& c : conditions) {
        char text[COND_TEXT_LEN + 1];
        check(cond2string(c.cond, text, c.kind, nullptr) == -1);
        check(std::strlen(text) == static_cast<size_t>(COND_TEXT_LEN));
    }
    char span[COND_SPAN_LEN + 1];
    span2string(&rec.eval_beginB, &rec.eval_condB, span, nullptr);
    check(std::strlen(span) == static_cast<size_t>(COND_SPAN_LEN));
}

void parameter_words(const frame_in& in) {
    uint16_t words[PARA_WORDS] = {};
    if (words_of(in, 2, PARA_WORDS, words) < 0) return;
    para_record rec, min, max;
    para_from_words(&rec, words);
    uint16_t back[PARA_WORDS];
    para_to_words(&rec, back);
    check(std::memcmp(back, words, sizeof words) == 0);
    uint8_t bytes[PARA_BYTES];
    para_to_bytes(&rec, bytes);
    para_record again;
    para_from_bytes(&again, bytes);
    check(std::memcmp(&again, &rec, sizeof rec) == 0);

    // Limits from the same words, turned: any words may be a limit record.
    uint16_t turned[PARA_WORDS];
    for (int i = 0; i < PARA_WORDS; i++) turned[i] = words[(i + 1) % PARA_WORDS];
    para_from_words(&min, turned);
    para_from_words(&max, words);
    int out[256];
    check(para_check_limits(&rec, &rec, &rec, out, 256) == 0); // within limits equal to itself
    const int crossed = para_check_limits(&rec, &min, &max, out, 256);
    check(crossed >= 0 && crossed <= para_field_count);
    for (int i = 0; i < std::min(crossed, 256); i++) check(out[i] >= 0 && out[i] < para_field_count);

    check_conditions(rec);
    for (const anaout_scaling& row : rec.anaout_scale) {
        check(anaout_out(&row, 0) >= 0 && anaout_out(&row, ANAOUT_MAX) <= ANAOUT_MAX);
        anaout_point a, b;
        factor_to_xy(&row, &a, &b);
        check(a.x >= 0 && b.x <= ANAOUT_MAX);
    }
}

void check_decoded(const meas_values& v) {
    for (const meas_channel& c : v.chan) {
        check(std::isfinite(c.result) && std::isfinite(c.reference));
        check(c.cntr <= MEAS_CNTR_LIMIT);
    }
    check(std::isfinite(v.cycle_rate) && v.cycle_rate >= 0 && v.cycle_rate <= 60000.0);
    check(std::isfinite(v.minutes) && v.minutes >= 0);
    for (int led : v.led) check(led == 0 || led == -1);
}

void measurement(const frame_in& in, const uint16_t* para_words) {
    uint16_t rec[MEAS_WORDS] = {};
    if (words_of(in, 8, MEAS_WORDS, rec) < 0) return;
    meas_values v;
    meas_decode(rec, &v);
    check_decoded(v);

    int n = -1;
    uint16_t auto_rec[MEAS_WORDS] = {};
    if (frame_check_autosend(&in, auto_rec, MEAS_WORDS, &n) == FRAME_AUTOSEND) {
        check(n == MEAS_WORDS && std::memcmp(auto_rec, rec, sizeof rec) == 0);
    }

    para_record para;
    para_from_words(&para, para_words);
    const double gain = meas_osci_gain(rec, 1, para.osci_skipA);
    check(std::isfinite(gain));

    // The strip chart's history full of this record, under the trace switches the
    // value field sets and a margin the order sets.
    trace_record tr = traces_initial;
    int* switches[] = {&tr.raw_on_A,    &tr.max_on_A,    &tr.video_on_A, &tr.minval_on_A, &tr.maxval_on_A,
                       &tr.cntr_on_A,   &tr.result_on_A, &tr.raw_on_B,   &tr.max_on_B,    &tr.video_on_B,
                       &tr.minval_on_B, &tr.maxval_on_B, &tr.cntr_on_B,  &tr.result_on_B};
    for (size_t i = 0; i < sizeof switches / sizeof switches[0]; i++)
        *switches[i] = (in.header.value >> i) & 1;
    tr.stc_span = in.header.order * 16;
    static double history[STC_ROWS][STC_TRACES];
    double row[STC_TRACES];
    stc_values(rec, &para, row);
    for (double x : row) check(std::isfinite(x));
    for (int i = 0; i < STC_ROWS; i++) std::memcpy(history[i], row, sizeof row);
    const stc_range range = stc_update(history, rec, &para, &tr);
    check(std::isfinite(range.low) && std::isfinite(range.high));
    check(range.low >= 0.0 && range.low <= STC_TOP && range.high >= 0.0 && range.high <= STC_TOP);
    check(range.low < range.high);
}

void hardware_block(const frame_in& in) {
    uint16_t words[FRAME_MAX_REQUEST_WORDS] = {};
    const int n = words_of(in, 194, 0, words);
    if (n < 0) return;
    const std::vector<uint16_t> exact(words, words + n);
    const std::string hex = hardware_hex(exact.data(), n);
    check(hex.size() == (n ? static_cast<size_t>(5 * n - 1) : 0u));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReader r{data, size};
    const std::unique_ptr<frame_in> in = receive(r);
    uint16_t para_words[PARA_WORDS] = {};
    for (int i = 0; i < PARA_WORDS && 2 * i + 1 < in->payload_kept; i++)
        para_words[i] = frame_get_word(in->payload + 2 * i);
    version_text(*in);
    parameter_words(*in);
    measurement(*in, para_words);
    hardware_block(*in);
    return 0;
}
