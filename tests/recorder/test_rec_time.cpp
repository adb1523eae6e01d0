// Recorder time and count bookkeeping, the values a recording starts from, and
// the panel states per mode.
#include "recorder/rec_modes.h"
#include "recorder/rec_time.h"
#include "recorder/record_file.h"

#include <gtest/gtest.h>
#include <string>

namespace {

rec_time make(int d, int h, int m, int s) {
    return {s, m, h, d};
}

std::string text_of(const rec_time& t, int size = 256) {
    char buf[256] = "untouched";
    const int n = rem_time_to_str(&t, buf, size);
    EXPECT_EQ(n < 0 ? 9 : n, static_cast<int>(std::string(buf).size()));
    return buf;
}

} // namespace

// ---- time arithmetic ----

TEST(RecTime, ProductOfIntervalAndNumberSplitsIntoFields) {
    rec_time t;
    recset_to_struct(&t, 3600, 25);
    EXPECT_EQ(text_of(t), "1 Days, 1 Hours, 0 Min., 0 Sec., ");
    recset_to_struct(&t, 2, 10);
    EXPECT_EQ(text_of(t), "0 Days, 0 Hours, 0 Min., 20 Sec., ");
}

TEST(RecTime, FactorsAreUnsigned16Bit) {
    rec_time t;
    recset_to_struct(&t, 65535, 65535); // 4294836225 s, beyond a signed 32-bit product
    EXPECT_EQ(t.days, 49708);
    EXPECT_EQ(t.hours, 18);
    EXPECT_EQ(t.minutes, 3);
    EXPECT_EQ(t.seconds, 45);
    recset_to_struct(&t, -1, 1); // the panel's 65535
    EXPECT_EQ(text_of(t), "0 Days, 18 Hours, 12 Min., 15 Sec., ");
}

TEST(RecTime, IncrementCarriesThroughEveryField) {
    rec_time t = make(0, 23, 59, 59);
    inc_sec_on_struct(&t);
    EXPECT_EQ(text_of(t), "1 Days, 0 Hours, 0 Min., 0 Sec., ");
    for (int i = 0; i < 61; i++) inc_sec_on_struct(&t);
    EXPECT_EQ(text_of(t), "1 Days, 0 Hours, 1 Min., 1 Sec., ");
}

TEST(RecTime, DecrementBorrowsAndZeroWrapsToADayLess) {
    rec_time t = make(1, 0, 0, 0);
    dec_sec_on_struct(&t);
    EXPECT_EQ(text_of(t), "0 Days, 23 Hours, 59 Min., 59 Sec., ");
    rec_time z = make(0, 0, 0, 0);
    dec_sec_on_struct(&z);
    EXPECT_EQ(text_of(z), "0 Days, 23 Hours, 59 Min., 59 Sec., ");
    rec_time m = make(0, 0, 1, 0);
    dec_sec_on_struct(&m);
    EXPECT_EQ(text_of(m), "0 Days, 0 Hours, 0 Min., 59 Sec., ");
}

TEST(RecTime, TextStopsWhileTenOrMoreBytesAreNotLeft) {
    const rec_time t = make(2, 3, 4, 5);
    EXPECT_EQ(text_of(t, 9), "untouched");
    EXPECT_EQ(text_of(t, 10), "2 Days, ");
    EXPECT_EQ(text_of(t, 17), "2 Days, ");
    EXPECT_EQ(text_of(t, 18), "2 Days, 3 Hours, ");
    EXPECT_EQ(text_of(t, 63), "2 Days, 3 Hours, 4 Min., 5 Sec., ");
    const rec_time big = make(123456789, 0, 0, 0);
    EXPECT_EQ(text_of(big, 10), "123456789"); // cut, never overrun
}

TEST(RecTime, PercentPassed) {
    const rec_time total = make(0, 0, 0, 20);
    rec_time r = make(0, 0, 0, 5);
    EXPECT_DOUBLE_EQ(rem_time_to_perc(&r, &total), 75.0);
    const rec_time long_total = make(2, 0, 0, 0);
    r = make(1, 0, 0, 0);
    EXPECT_DOUBLE_EQ(rem_time_to_perc(&r, &long_total), 50.0);
    const rec_time zero = make(0, 0, 0, 0);
    EXPECT_DOUBLE_EQ(rem_time_to_perc(&r, &zero), 100.0);
}

// ---- recorder information and start ----

TEST(RecInfo, AutoLimitedCountsDown) {
    const rec_time total = make(0, 0, 0, 20), r = make(0, 0, 0, 15);
    rec_info info;
    ASSERT_EQ(rec_info_compute(0, &r, &total, 3, 4, &info), 0);
    EXPECT_STREQ(info.time_text, "0 Days, 0 Hours, 0 Min., 15 Sec., ");
    EXPECT_DOUBLE_EQ(info.time_bar, 25.0);
    EXPECT_STREQ(info.count_text, "3 of 4 remaining ...");
    EXPECT_DOUBLE_EQ(info.count_bar, 25.0);
}

TEST(RecInfo, OpenEndedModesCountUp) {
    const rec_time total = make(0, 0, 0, 0), r = make(0, 0, 2, 0);
    rec_info info;
    for (int mode : {1, 2, 3}) {
        ASSERT_EQ(rec_info_compute(mode, &r, &total, 12, 32767, &info), 0);
        EXPECT_STREQ(info.time_text, "0 Days, 0 Hours, 2 Min., 0 Sec., ");
        EXPECT_DOUBLE_EQ(info.time_bar, 100.0);
        EXPECT_STREQ(info.count_text, "12 data recorded ...");
        EXPECT_DOUBLE_EQ(info.count_bar, 100.0 - 1200.0 / 32767);
    }
    EXPECT_EQ(rec_info_compute(4, &r, &total, 12, 32767, &info), -1);
}

// Regression: AUTO LIMITED with 0 values divided 0 by 0 for its count bar.
TEST(RecInfo, ZeroValuesIsDone) {
    const rec_time z = make(0, 0, 0, 0);
    rec_info info;
    ASSERT_EQ(rec_info_compute(0, &z, &z, 0, 0, &info), 0);
    EXPECT_DOUBLE_EQ(info.count_bar, 100.0);
    EXPECT_DOUBLE_EQ(info.time_bar, 100.0);
    EXPECT_STREQ(info.count_text, "0 of 0 remaining ...");
}

TEST(RecPlan, EachModeStartsAsTheLoopExpects) {
    rec_plan p;
    ASSERT_EQ(rec_plan_start(REC_AUTO_LIMITED, 2, 10, &p), 0);
    EXPECT_EQ(p.header_mode, 0);
    EXPECT_EQ(p.header_max, 10);
    EXPECT_EQ(p.record_to_file, 2);
    EXPECT_EQ(p.run, 1);
    EXPECT_EQ(p.count, 10);
    EXPECT_EQ(p.limit, 10);
    EXPECT_EQ(p.remaining.seconds, 20);
    EXPECT_EQ(p.total.seconds, 20);

    ASSERT_EQ(rec_plan_start(REC_AUTO_UNLIMITED, 1, 10, &p), 0);
    EXPECT_EQ(p.header_max, REC_MAX_VALUES);
    EXPECT_EQ(p.record_to_file, 3);
    EXPECT_EQ(p.count, 0);
    EXPECT_EQ(p.total.hours, 9); // 32767 s = 9 h 6 min 7 s
    EXPECT_EQ(p.total.minutes, 6);
    EXPECT_EQ(p.total.seconds, 7);
    EXPECT_EQ(p.remaining.seconds, 0);

    ASSERT_EQ(rec_plan_start(REC_MANUAL, 1, 10, &p), 0);
    EXPECT_EQ(p.header_mode, REC_AUTO_UNLIMITED);
    EXPECT_EQ(p.record_to_file, 4);

    ASSERT_EQ(rec_plan_start(REC_AUTOTRIGGERED, 0, 10, &p), 0);
    EXPECT_EQ(p.header_mode, REC_AUTOTRIGGERED);
    EXPECT_EQ(p.record_to_file, 5);
    EXPECT_EQ(p.run, 2);

    EXPECT_EQ(rec_plan_start(4, 1, 1, &p), -1);
}

// ---- panel states ----

TEST(RecModes, StartsInAutoLimited) {
    int expected[REC_SETTING_INTS] = {};
    ASSERT_EQ(recorder_set_mode(expected, REC_AUTO_LIMITED), 0);
    for (int i = 0; i < REC_SETTING_INTS; i++) EXPECT_EQ(recs.recorder[i], expected[i]) << i;
}

TEST(RecModes, ManualShowsOnlyItsStoreButton) {
    int s[REC_SETTING_INTS] = {};
    ASSERT_EQ(recorder_set_mode(s, REC_MANUAL), 0);
    int vis[REC_CTRL_COUNT], dim[REC_CTRL_COUNT];
    rec_buttons_state(s, 0, vis, dim);
    EXPECT_EQ(vis[REC_CTRL_START], 0);
    EXPECT_EQ(vis[REC_CTRL_STOP], 0);
    EXPECT_EQ(vis[REC_CTRL_MANUAL_STORE], 1);
    EXPECT_EQ(dim[REC_CTRL_MANUAL_STORE], 0);
    EXPECT_EQ(dim[REC_CTRL_INTERVAL], 1);
    EXPECT_EQ(dim[REC_CTRL_NUMBER], 1);
}

TEST(RecModes, AutotriggeredEnablesTheConditionOnly) {
    int s[REC_SETTING_INTS] = {};
    ASSERT_EQ(recorder_set_mode(s, REC_AUTOTRIGGERED), 0);
    int vis[REC_CTRL_COUNT], dim[REC_CTRL_COUNT];
    rec_buttons_state(s, 0, vis, dim);
    EXPECT_EQ(dim[REC_CTRL_AUTOSEND_COND], 0);
    EXPECT_EQ(dim[REC_CTRL_INTERVAL], 1);
    EXPECT_EQ(vis[REC_CTRL_MANUAL_STORE], 0);
    EXPECT_EQ(vis[REC_CTRL_START], 1);
}

TEST(RecModes, RecordingDimsAllButStop) {
    int s[REC_SETTING_INTS] = {};
    ASSERT_EQ(recorder_set_mode(s, REC_AUTO_UNLIMITED), 0);
    int vis[REC_CTRL_COUNT], dim[REC_CTRL_COUNT];
    rec_buttons_state(s, 1, vis, dim);
    for (int k = 0; k < REC_CTRL_COUNT; k++) EXPECT_EQ(dim[k], k != REC_CTRL_STOP) << k;
}

TEST(RecModes, UnknownModeLeavesSettingAlone) {
    int s[REC_SETTING_INTS];
    for (int& v : s) v = 7;
    EXPECT_EQ(recorder_set_mode(s, 4), -1);
    for (int v : s) EXPECT_EQ(v, 7);
}
