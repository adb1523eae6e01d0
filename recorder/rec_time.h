// Time and count bookkeeping of the recorder: the durations shown while a
// recording runs, their texts and progress values, and the values a recording
// starts from. The RUN loop is the recorder's clock and calls these; the
// panel shows what they compute.
#pragma once

#include <cstdint>

// A duration: seconds and minutes 0 to 59, hours 0 to 23, days 0 upward.
struct rec_time {
    int32_t seconds;
    int32_t minutes;
    int32_t hours;
    int32_t days;
};

// t = a x b seconds, a and b taken as unsigned 16-bit values (the panel's
// interval and number of values).
void recset_to_struct(rec_time* t, int a, int b);
// One second more; days grow without limit.
void inc_sec_on_struct(rec_time* t);
// One second less, borrowing from the next field; days never fall below 0, so
// a second taken from zero gives 0 days, 23 hours, 59 minutes, 59 seconds.
void dec_sec_on_struct(rec_time* t);
// "<d> Days, <h> Hours, <m> Min., <s> Sec., " into `text` of `size` bytes; a
// part is appended only while more than 9 bytes remain. Returns the length
// written, or -1 when size is at most 9 (text untouched).
int rem_time_to_str(const rec_time* t, char* text, int size);
// Percent of `total` that has passed when `remaining` is left; 100.0 for a
// zero total.
double rem_time_to_perc(const rec_time* remaining, const rec_time* total);

// What the recorder panel shows of a running recording.
struct rec_info {
    char time_text[256];
    double time_bar; // 0.0 to 100.0
    char count_text[256];
    double count_bar; // 0.0 to 100.0
};
// The display for `mode` (0 to 3) with remaining (mode 0) or elapsed time `r`,
// total time `t`, and `count` of `limit` records (remaining in mode 0,
// recorded otherwise). Returns 0, or -1 for another mode (info untouched).
int rec_info_compute(int mode, const rec_time* r, const rec_time* t, int count, int limit, rec_info* info);

// How a recording starts in `mode` with the panel's interval and number.
struct rec_plan {
    int header_mode;    // mode written into the header block
    int header_max;     // maximum number written into it
    int record_to_file; // RUN loop state once the header is written
    int run;            // 1 polling, 2 waiting for autosend frames
    int count;          // records remaining (mode 0) or recorded (others)
    int limit;          // records at most
    rec_time total;     // interval x limit
    rec_time remaining; // interval x count
};
// Returns 0, or -1 for a mode outside 0 to 3 (the recording does not start).
int rec_plan_start(int mode, int interval, int number, rec_plan* plan);
