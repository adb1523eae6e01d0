// The pairing procedure's transactions (see connect_pairing.h).
#include "connect/connect_pairing.h"

#include "connect/connect_text.h"
#include "linear/linear_transfer.h"
#include "link/frame.h"
#include "link/link.h"
#include "link/orders.h"

#include <cstring>

namespace {

bool succeeded(int code) {
    return switch_status(code, nullptr) == 0;
}

int fail(int code, int step, int* failed_step) {
    if (failed_step) *failed_step = step;
    return code;
}

} // namespace

int pair_search(const link_exchanger& link, int* unit_number) {
    const uint16_t zeros[SEARCH_WORDS] = {};
    const int rc = link.exchange(ORDER_SEARCH, 0, zeros, SEARCH_WORDS, nullptr, 0, nullptr);
    if (succeeded(rc) && unit_number) *unit_number = link.answer_value ? link.answer_value() : 0;
    return rc;
}

int pair_version(const link_exchanger& link, char* text, int size) {
    // The unit sets no length on its text; the whole answer is taken and cut.
    uint16_t answer[FRAME_MAX_REQUEST_WORDS] = {};
    int n = 0;
    const int rc = link.exchange(ORDER_VERSION, 0, nullptr, 0, answer, 0, &n);
    if (succeeded(rc)) answer_text(answer, n, text, size);
    return rc;
}

int pair_read_record(const link_exchanger& link, int order, int value, para_record* rec) {
    uint16_t words[PARA_WORDS] = {};
    int n = 0;
    const int rc = link.exchange(order, value, nullptr, 0, words, PARA_WORDS, &n);
    if (succeeded(rc)) para_from_words(rec, words);
    return rc;
}

int pair_read_lin_info(const link_exchanger& link, unsigned char* bytes) {
    const uint16_t wanted = LINEAR_INFO_READ_WORDS;
    uint16_t block[FRAME_MAX_REQUEST_WORDS] = {};
    int n = 0;
    const int rc =
        link.exchange(ORDER_LIN_READ, LIN_INFO_BLOCK, &wanted, 1, block, FRAME_MAX_REQUEST_WORDS, &n);
    if (succeeded(rc)) linear_info_bytes(block, FRAME_MAX_REQUEST_WORDS, bytes);
    return rc;
}

int pair_identify(const link_exchanger& link, paired_unit* unit, int* failed_step,
                  const std::function<void(const char*)>& status) {
    const auto show = [&status](const char* text) {
        if (status) status(text);
    };
    show("Searching for control unit ... ");
    int rc = pair_search(link, &unit->unit_number);
    if (!succeeded(rc)) return fail(rc, PAIR_STEP_SEARCH, failed_step);
    show("Searching for control unit ... Success.");
    show("Requesting version info ... ");
    rc = pair_version(link, unit->version, sizeof unit->version);
    if (!succeeded(rc)) return fail(rc, PAIR_STEP_VERSION, failed_step);
    show(unit->version);
    return 0;
}

int pair_accept(const link_exchanger& link, paired_unit* unit, int* failed_step) {
    int rc = pair_read_record(link, ORDER_LIMITS, LIMITS_MIN, &unit->min);
    if (!succeeded(rc)) return fail(rc, PAIR_STEP_LIMITS_MIN, failed_step);
    rc = pair_read_record(link, ORDER_LIMITS, LIMITS_MAX, &unit->max);
    if (!succeeded(rc)) return fail(rc, PAIR_STEP_LIMITS_MAX, failed_step);
    rc = pair_read_record(link, ORDER_READ_RAM, 0, &unit->ram);
    if (!succeeded(rc)) return fail(rc, PAIR_STEP_RAM, failed_step);
    rc = pair_read_lin_info(link, unit->lin_info);
    if (!succeeded(rc)) return fail(rc, PAIR_STEP_LIN_INFO, failed_step);
    return 0;
}
