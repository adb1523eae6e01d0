#include "recorder/rec_modes.h"

#include "recorder/record_file.h"

namespace {

// V visible, D visible and dimmed, H hidden; one row per mode, one column per
// control in REC_CTRL order.
enum { H, V, D };
const unsigned char mode_table[4][REC_CTRL_COUNT] = {
    {V, V, V, D, V, V, H, V, V}, // AUTO LIMITED
    {V, V, D, D, V, V, H, V, V}, // AUTO UNLIMITED
    {V, D, D, D, H, H, V, V, V}, // MANUAL
    {V, D, D, V, V, V, H, V, V}, // AUTOTRIGGERED
};

} // namespace

recorder_state recs = {
    {REC_AUTO_LIMITED, 1, 0, 1, 0, 1, 0, 1, 1, 1, 0, 1, 0, 0, 0, 1, 0, 1, 0, 0}, "", {}, 0};

int recorder_set_mode(int setting[REC_SETTING_INTS], int mode) {
    if (mode < REC_AUTO_LIMITED || mode > REC_AUTOTRIGGERED) return -1;
    setting[0] = mode;
    for (int k = 0; k < REC_CTRL_COUNT; k++) {
        setting[1 + 2 * k] = mode_table[mode][k] != H;
        setting[2 + 2 * k] = mode_table[mode][k] == D;
    }
    return 0;
}

void rec_buttons_state(const int setting[REC_SETTING_INTS], int active, int visible[REC_CTRL_COUNT],
                       int dimmed[REC_CTRL_COUNT]) {
    for (int k = 0; k < REC_CTRL_COUNT; k++) {
        visible[k] = setting[1 + 2 * k] != 0;
        dimmed[k] = setting[2 + 2 * k] != 0 || (active && k != REC_CTRL_STOP);
    }
}
