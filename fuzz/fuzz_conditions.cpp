// Fuzz target for the condition text parser and the rings it feeds.
//
// The parser is the only way from a ring item's text back to a condition, so it
// must take any text: any bytes, any length, with or without the span separator.
// The first byte picks a kind, the next two a list code for a ring; the rest is
// the text, once as given (cut at its first zero byte) and once as the value of
// a ring item.
//
// Properties:
// - each kind writes only the words it owns: the parser is given a record of
//   exactly the kind's size (event_cond for the event kinds, combined_cond for
//   the others), so the sanitizer sees any write beyond it, and kinds without
//   words leave the record alone;
// - a parsed condition printed as a value text and parsed again is the same
//   condition, and the printed text has the fixed 35-character form;
// - a span printed and parsed back gives its begin and evaluation words;
// - a ring item longer than 127 characters is refused and changes nothing;
// - showing a condition on a filled ring selects an item whose value is the
//   condition's text, or the "Continuous" item for a continuous one.
#include "fuzz/fuzz_input.h"
#include "params/conditions.h"
#include "tests/params/mem_ring.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr int KINDS[] = {COND_KIND_EVENT,
                         COND_KIND_SPAN_BEGIN,
                         COND_KIND_SPAN_EVAL,
                         COND_KIND_COMBINED,
                         COND_KIND_COMBINED_RES,
                         COND_KIND_EVENT_OUTPUTS,
                         1,
                         2,
                         4,
                         9,
                         -1,
                         1000};

bool is_event_kind(int kind) {
    return kind == COND_KIND_EVENT || kind == COND_KIND_SPAN_BEGIN || kind == COND_KIND_EVENT_OUTPUTS;
}
bool is_combined_kind(int kind) {
    return kind == COND_KIND_SPAN_EVAL || kind == COND_KIND_COMBINED || kind == COND_KIND_COMBINED_RES;
}

// A record of exactly the size the kind owns, filled with a pattern.
struct Cond {
    size_t size;
    std::unique_ptr<uint8_t[]> bytes;
    explicit Cond(int kind) : size(is_event_kind(kind) ? sizeof(event_cond) : sizeof(combined_cond)) {
        bytes.reset(new uint8_t[size]);
        std::memset(bytes.get(), 0xA5, size);
    }
    void* get() const { return bytes.get(); }
    bool pattern() const {
        for (size_t i = 0; i < size; i++)
            if (bytes[i] != 0xA5) return false;
        return true;
    }
};

void check_value_text(const char* text) {
    check(std::strlen(text) == static_cast<size_t>(COND_TEXT_LEN));
    for (int i = 0; i < COND_TEXT_LEN; i++) {
        const char c = text[i];
        if (i % 5 == 4)
            check(c == '*');
        else
            check((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
    }
}

// Printing and parsing again gives the same words.
void check_round_trip(const Cond& c, int kind) {
    const int printed_kind = kind == COND_KIND_SPAN_BEGIN  ? COND_KIND_EVENT
                             : kind == COND_KIND_SPAN_EVAL ? COND_KIND_COMBINED
                                                           : kind;
    char text[COND_TEXT_LEN + 1];
    const int continuous = cond_value_text(c.get(), printed_kind, text);
    check(continuous == 0 || continuous == 1);
    if (is_event_kind(kind)) check(continuous == 0);
    check_value_text(text);
    Cond again(kind);
    check(string2cond(again.get(), text, printed_kind, nullptr, 0) == 0);
    check(std::memcmp(again.get(), c.get(), c.size) == 0);
}

void check_span(const std::string& text) {
    event_cond begin;
    combined_cond eval;
    std::memset(&begin, 0xA5, sizeof begin);
    std::memset(&eval, 0xA5, sizeof eval);
    check(string2cond(&begin, text.c_str(), COND_KIND_SPAN_BEGIN, nullptr, 0) == 0);
    check(string2cond(&eval, text.c_str(), COND_KIND_SPAN_EVAL, nullptr, 0) == 0);
    char span[COND_SPAN_LEN + 1];
    span2string(&begin, &eval, span, nullptr);
    check(std::strlen(span) == static_cast<size_t>(COND_SPAN_LEN) && span[COND_TEXT_LEN] == '>');
    event_cond begin2{};
    combined_cond eval2{};
    check(string2cond(&begin2, span, COND_KIND_SPAN_BEGIN, nullptr, 0) == 0);
    check(string2cond(&eval2, span, COND_KIND_SPAN_EVAL, nullptr, 0) == 0);
    check(std::memcmp(&begin, &begin2, sizeof begin) == 0 && std::memcmp(&eval, &eval2, sizeof eval) == 0);
}

// The text as a ring item's value, as a condition ring of `list_code` holds it.
void check_ring(const std::string& text, int kind, int list_code) {
    mem_ring ring;
    check(fill_conditions(&ring.ring, list_code) == 0);
    check(ring.items.size() <= static_cast<size_t>(COND_LIST_MAX));
    for (const auto& item : ring.items) {
        const size_t gt = item.text.find('>');
        check_value_text(item.text.substr(0, COND_TEXT_LEN).c_str());
        if (gt != std::string::npos) check_value_text(item.text.substr(gt + 1).c_str());
    }
    const int at = ring.insert(static_cast<int>(ring.items.size()), {"fuzz", text, 0});

    Cond c(kind);
    const int rc = string2cond(c.get(), nullptr, kind, &ring.ring, at);
    if (text.size() > static_cast<size_t>(COND_RING_VALUE_MAX)) {
        check(rc == -1 && c.pattern());
        return;
    }
    check(rc == 0);
    if (!is_event_kind(kind) && !is_combined_kind(kind)) check(c.pattern());
    check(string2cond(c.get(), nullptr, kind, &ring.ring, -1) == -1);
    check(string2cond(c.get(), nullptr, kind, &ring.ring, at + 1) == -1);

    if (kind != COND_KIND_EVENT && kind != COND_KIND_EVENT_OUTPUTS && kind != COND_KIND_COMBINED &&
        kind != COND_KIND_COMBINED_RES)
        return;
    char shown[COND_TEXT_LEN + 1];
    const int sel = cond2string(c.get(), shown, kind, &ring.ring);
    check(sel >= 0 && sel == ring.selected && sel < static_cast<int>(ring.items.size()));
    const std::string& value = ring.items[sel].text;
    check(value == shown || ring.items[sel].label == COND_LABEL_CONTINUOUS);
    check(ring.count_label(COND_LABEL_SPECIAL) <= 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReader r{data, size};
    const uint8_t pick = r.byte();
    const int list_code = r.word() & 0x7FFF;
    const std::string raw = r.rest();
    const std::string text(raw.c_str()); // cut at the first zero byte, as a C text is

    for (int kind : KINDS) {
        Cond c(kind);
        check(string2cond(c.get(), text.c_str(), kind, nullptr, 0) == 0);
        if (!is_event_kind(kind) && !is_combined_kind(kind)) {
            check(c.pattern());
            continue;
        }
        check_round_trip(c, kind);
    }
    check_span(text);
    check_ring(text, KINDS[pick % 6], list_code);
    return 0;
}
