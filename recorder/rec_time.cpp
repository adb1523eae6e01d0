#include "recorder/rec_time.h"

#include "recorder/record_file.h"

#include <cstdio>
#include <cstring>

namespace {

int64_t total_seconds(const rec_time* t) {
    return ((static_cast<int64_t>(t->days) * 24 + t->hours) * 60 + t->minutes) * 60 + t->seconds;
}

// A zero limit (AUTO LIMITED with no values) has nothing left to do; without
// this guard the bar would be 0/0.
double count_percent(int count, int limit) {
    if (limit == 0) return 100.0;
    return 100.0 - 100.0 * count / limit;
}

} // namespace

void recset_to_struct(rec_time* t, int a, int b) {
    const uint32_t s = static_cast<uint32_t>(static_cast<uint16_t>(a)) * static_cast<uint16_t>(b);
    t->seconds = static_cast<int32_t>(s % 60);
    t->minutes = static_cast<int32_t>(s / 60 % 60);
    t->hours = static_cast<int32_t>(s / 3600 % 24);
    t->days = static_cast<int32_t>(s / 86400);
}

void inc_sec_on_struct(rec_time* t) {
    if (++t->seconds < 60) return;
    t->seconds = 0;
    if (++t->minutes < 60) return;
    t->minutes = 0;
    if (++t->hours < 24) return;
    t->hours = 0;
    t->days++;
}

void dec_sec_on_struct(rec_time* t) {
    if (--t->seconds >= 0) return;
    t->seconds = 59;
    if (--t->minutes >= 0) return;
    t->minutes = 59;
    if (--t->hours >= 0) return;
    t->hours = 23;
    if (--t->days < 0) t->days = 0;
}

int rem_time_to_str(const rec_time* t, char* text, int size) {
    if (!t || !text || size <= 9) return -1;
    static const char* const formats[] = {"%d Days, ", "%d Hours, ", "%d Min., ", "%d Sec., "};
    const int32_t values[] = {t->days, t->hours, t->minutes, t->seconds};
    int len = 0;
    text[0] = 0;
    for (int i = 0; i < 4 && size - len > 9; i++) {
        const int n = std::snprintf(text + len, static_cast<size_t>(size - len), formats[i], values[i]);
        if (n < 0) break;
        len += n < size - len ? n : size - len - 1;
    }
    return len;
}

double rem_time_to_perc(const rec_time* remaining, const rec_time* total) {
    const int64_t t = total_seconds(total);
    if (t == 0) return 100.0;
    return 100.0 - 100.0 * static_cast<double>(total_seconds(remaining)) / static_cast<double>(t);
}

int rec_info_compute(int mode, const rec_time* r, const rec_time* t, int count, int limit, rec_info* info) {
    if (mode < REC_AUTO_LIMITED || mode > REC_AUTOTRIGGERED) return -1;
    rem_time_to_str(r, info->time_text, sizeof info->time_text);
    info->count_bar = count_percent(count, limit);
    if (mode == REC_AUTO_LIMITED) {
        info->time_bar = rem_time_to_perc(r, t);
        std::snprintf(info->count_text, sizeof info->count_text, "%d of %d remaining ...", count, limit);
    } else {
        info->time_bar = 100.0;
        std::snprintf(info->count_text, sizeof info->count_text, "%d data recorded ...", count);
    }
    return 0;
}

int rec_plan_start(int mode, int interval, int number, rec_plan* plan) {
    if (mode < REC_AUTO_LIMITED || mode > REC_AUTOTRIGGERED) return -1;
    std::memset(plan, 0, sizeof *plan);
    const bool limited = mode == REC_AUTO_LIMITED;
    plan->limit = limited ? number : REC_MAX_VALUES;
    plan->count = limited ? number : 0;
    // START in MANUAL mode writes the open-ended header; the MANUAL STORE
    // button writes the manual one itself.
    plan->header_mode = mode == REC_MANUAL ? REC_AUTO_UNLIMITED : mode;
    plan->header_max = plan->limit;
    plan->record_to_file = mode + 2;
    plan->run = mode == REC_AUTOTRIGGERED ? 2 : 1;
    recset_to_struct(&plan->total, interval, plan->limit);
    recset_to_struct(&plan->remaining, interval, plan->count);
    return 0;
}
