// Conversions between condition masks, value texts and condition rings.
#include "params/conditions.h"

#include "params/cond_tables.h"

#include <cctype>
#include <cstdio>
#include <cstring>

namespace {

void format_fields(const uint16_t words[7], char* text) {
    for (int i = 0; i < 7; i++) std::snprintf(text + 5 * i, 6, "%04X*", static_cast<unsigned>(words[i]));
}

// An event condition occupies the event fields only.
void format_event(const event_cond* cond, char* text) {
    const uint16_t words[7] = {0, 0, 0, cond->evnt[0], cond->evnt[1], cond->evnt[2], 0};
    format_fields(words, text);
}

void format_combined(const combined_cond* cond, char* text) {
    const uint16_t words[7] = {cond->stat[0], cond->stat[1], cond->stat[2], cond->evnt[0],
                               cond->evnt[1], cond->evnt[2], cond->comb};
    format_fields(words, text);
}

// A state word holding some state and its opposite covers every case.
bool pair_covered(uint16_t w) {
    return ((w & 0x55) & ((w >> 1) & 0x55)) != 0;
}

// Under tolerance, over tolerance and at least one in-tolerance half of one
// channel together cover every result of that channel.
bool results_covered(uint16_t w, int shift) {
    const unsigned r = (w >> shift) & 0x0F;
    return (r & 0x09) == 0x09 && (r & 0x06) != 0;
}

// Splits at '*' into at most seven fields; a field reads as up to four hex
// digits, anything that does not parse as 0.
void parse_fields(const char* s, size_t len, uint16_t f[7]) {
    for (int i = 0; i < 7; i++) f[i] = 0;
    size_t pos = 0;
    for (int i = 0; i < 7 && pos < len; i++) {
        size_t p = pos;
        while (p < len && (s[p] == ' ' || s[p] == '\t')) p++;
        unsigned v = 0;
        for (int d = 0; d < 4 && p < len && std::isxdigit(static_cast<unsigned char>(s[p])); d++, p++) {
            const int c = std::tolower(static_cast<unsigned char>(s[p]));
            v = v * 16 + static_cast<unsigned>(c <= '9' ? c - '0' : c - 'a' + 10);
        }
        f[i] = static_cast<uint16_t>(v);
        const char* star = static_cast<const char*>(std::memchr(s + pos, '*', len - pos));
        if (!star) break;
        pos = static_cast<size_t>(star - s) + 1;
    }
}

void take_events(void* cond, const uint16_t f[7]) {
    auto* c = static_cast<event_cond*>(cond);
    for (int i = 0; i < 3; i++) c->evnt[i] = f[3 + i];
}

void take_all(void* cond, const uint16_t f[7]) {
    auto* c = static_cast<combined_cond*>(cond);
    for (int i = 0; i < 3; i++) {
        c->stat[i] = f[i];
        c->evnt[i] = f[3 + i];
    }
    c->comb = f[6];
}

// Selects the item whose value is `text`. A continuous condition shows as
// "Continuous" (the record keeps its own words); an unknown one as the ring's
// single "Special" item, which always holds the last odd condition shown.
int show_on_ring(const cond_ring* ring, const char* text, bool continuous, const char* continuous_value) {
    const int n = ring->count(ring->ctx);
    int special = -1, cont = -1, match = -1;
    std::string special_label = COND_LABEL_SPECIAL;
    std::string label, value;
    for (int i = 0; i < n; i++) {
        if (ring->get_label(ring->ctx, i, &label) < 0) return -1;
        if (static_cast<int>(label.size()) > COND_LABEL_MAX) return -1;
        if (label.find(COND_LABEL_SPECIAL) != std::string::npos) {
            special = i;
            special_label = label;
        }
        if (label == COND_LABEL_CONTINUOUS) cont = i;
        if (match < 0 && ring->get_text(ring->ctx, i, &value) >= 0 && value == text) match = i;
    }

    if (continuous) {
        if (cont < 0) {
            ring->insert_text(ring->ctx, -1, COND_LABEL_CONTINUOUS, continuous_value);
            cont = n;
        }
        if (special >= 0 && special != match) {
            ring->remove(ring->ctx, special);
            if (special < cont) cont--;
        }
        ring->select(ring->ctx, cont);
        return cont;
    }
    if (match >= 0) {
        ring->select(ring->ctx, match);
        return match;
    }
    int last = n;
    if (special >= 0) {
        ring->remove(ring->ctx, special);
        last--;
    }
    ring->insert_text(ring->ctx, -1, special_label.c_str(), text);
    ring->select(ring->ctx, last);
    return last;
}

} // namespace

bool cond_is_continuous(const combined_cond* cond) {
    if (cond->comb != 0) return false;
    return pair_covered(cond->stat[0]) || pair_covered(cond->stat[1]) || results_covered(cond->stat[2], 0) ||
           results_covered(cond->stat[2], 4);
}

int cond_value_text(const void* cond, int kind, char* text) {
    text[0] = '\0';
    switch (kind) {
    case COND_KIND_EVENT:
    case COND_KIND_EVENT_OUTPUTS:
        format_event(static_cast<const event_cond*>(cond), text);
        return 0;
    case COND_KIND_COMBINED:
    case COND_KIND_COMBINED_RES:
        format_combined(static_cast<const combined_cond*>(cond), text);
        return cond_is_continuous(static_cast<const combined_cond*>(cond)) ? 1 : 0;
    default:
        return 0;
    }
}

int cond_list_items(int list_code, cond_item* items, int max_items) {
    cond_item all[COND_LIST_MAX];
    int n = 0;
    for (int g = 0; g < cond_catalogue_count; g++) {
        const cond_group& grp = cond_catalogue[g];
        if (!(list_code & grp.code)) continue;
        // A span ring and a plain ring cannot both offer "Continuous".
        if (grp.code == COND_LIST_SPAN_CONTINUOUS && (list_code & COND_LIST_CONTINUOUS)) continue;
        for (int i = 0; i < grp.count && n < COND_LIST_MAX; i++) {
            const cond_def& d = grp.items[i];
            const int at = grp.at_top ? 0 : n;
            for (int k = n; k > at; k--) all[k] = all[k - 1];
            cond_item& it = all[at];
            it.label = d.label;
            if (d.span) {
                const event_cond begin = {{d.begin[0], d.begin[1], d.begin[2]}};
                format_event(&begin, it.value);
                it.value[COND_TEXT_LEN] = '>';
                format_fields(d.words, it.value + COND_TEXT_LEN + 1);
            } else {
                format_fields(d.words, it.value);
            }
            n++;
        }
    }
    for (int i = 0; i < n && i < max_items; i++) items[i] = all[i];
    return n;
}

int fill_conditions(const cond_ring* ring, int list_code) {
    cond_item items[COND_LIST_MAX];
    const int n = cond_list_items(list_code, items, COND_LIST_MAX);
    int rc = ring->clear_text(ring->ctx);
    for (int i = 0; i < n && rc >= 0; i++)
        rc = ring->insert_text(ring->ctx, -1, items[i].label, items[i].value);
    return rc < 0 ? rc : 0;
}

int cond2string(const void* cond, char* text, int kind, const cond_ring* ring) {
    char own[COND_TEXT_LEN + 1];
    // Event conditions are never shown as "Continuous".
    const bool continuous = cond_value_text(cond, kind, own) == 1;
    if (text) std::memcpy(text, own, std::strlen(own) + 1);
    if (!ring) return -1;
    return show_on_ring(ring, own, continuous, COND_VALUE_CONTINUOUS);
}

int span2string(const event_cond* begin, const combined_cond* eval, char* text, const cond_ring* ring) {
    char own[COND_SPAN_LEN + 1];
    format_event(begin, own);
    own[COND_TEXT_LEN] = '>';
    format_combined(eval, own + COND_TEXT_LEN + 1);
    if (text) std::memcpy(text, own, sizeof own);
    if (!ring) return -1;
    return show_on_ring(ring, own, cond_is_continuous(eval), COND_SPAN_CONTINUOUS);
}

int string2cond(void* cond, const char* text, int kind, const cond_ring* ring, int index) {
    std::string src;
    if (text) {
        size_t len = 0;
        while (len < static_cast<size_t>(COND_RING_VALUE_MAX) && text[len]) len++;
        src.assign(text, len);
    } else {
        if (!ring || index < 0) return -1;
        if (ring->get_text(ring->ctx, index, &src) < 0) return -1;
        if (static_cast<int>(src.size()) > COND_RING_VALUE_MAX) return -1;
    }

    uint16_t f[7];
    const size_t gt = src.find('>');
    if (gt != std::string::npos) {
        parse_fields(src.data() + gt + 1, src.size() - gt - 1, f);
        if (kind == COND_KIND_SPAN_EVAL || kind == COND_KIND_COMBINED || kind == COND_KIND_COMBINED_RES)
            take_all(cond, f);
        else if (kind == COND_KIND_EVENT || kind == COND_KIND_EVENT_OUTPUTS)
            take_events(cond, f);
    }
    parse_fields(src.data(), gt == std::string::npos ? src.size() : gt, f);
    if (kind == COND_KIND_COMBINED || kind == COND_KIND_COMBINED_RES)
        take_all(cond, f);
    else if (kind == COND_KIND_EVENT || kind == COND_KIND_SPAN_BEGIN || kind == COND_KIND_EVENT_OUTPUTS)
        take_events(cond, f);
    return 0;
}

int enlist_short_with_test(const cond_ring* ring, int value) {
    const int n = ring->count(ring->ctx);
    int user = -1;
    std::string label;
    for (int i = 0; i < n; i++) {
        int v = 0;
        if (ring->get_int(ring->ctx, i, &v) >= 0 && static_cast<int16_t>(v) == static_cast<int16_t>(value)) {
            ring->select(ring->ctx, i);
            return 0;
        }
        if (ring->get_label(ring->ctx, i, &label) >= 0 && label == COND_LABEL_USER) user = i;
    }
    if (user >= 0) ring->remove(ring->ctx, user);
    ring->insert_int(ring->ctx, -1, COND_LABEL_USER, value);
    return -1;
}
