// The recorder panel's state per mode: which controls are shown and which are
// dimmed, and the recorder's globals. The panel code applies what these give.
#pragma once

#include "recorder/rec_time.h"

#include <climits>

// Controls of the recorder panel in the order of the pairs in `recorder`.
enum {
    REC_CTRL_MODE,
    REC_CTRL_INTERVAL,
    REC_CTRL_NUMBER,
    REC_CTRL_AUTOSEND_COND,
    REC_CTRL_START,
    REC_CTRL_STOP,
    REC_CTRL_MANUAL_STORE,
    REC_CTRL_SELECT_FILE,
    REC_CTRL_SHOW_GRAPH,
    REC_CTRL_COUNT
};
constexpr int REC_SETTING_INTS = 20;
constexpr int REC_PATH_LEN = PATH_MAX; // a path with its closing zero, as the system allows

// The recorder's state between its panel and the RUN loop.
struct recorder_state {
    // Entry 0 the selected mode; entries 1 + 2k and 2 + 2k the visible and
    // dimmed flags of control k; entry 19 unused. Starts in AUTO LIMITED.
    int recorder[REC_SETTING_INTS];
    // The chosen record file as chosen (no case folding: on a case-sensitive
    // file system another case names another file); empty when none is chosen.
    char file_pathname[REC_PATH_LEN];
    // Time spent waiting for autosend frames in AUTOTRIGGERED recording.
    rec_time trem;
    // Raised each time a record file is started anew, so that a MANUAL
    // recording that goes on into a newly chosen file begins it with a header.
    int file_choice;
};
extern recorder_state recs;

// Sets `setting` for `mode` (0 to 3). Returns 0, or -1 for another mode
// (setting unchanged).
int recorder_set_mode(int setting[REC_SETTING_INTS], int mode);

// The states set_rec_buttons gives the controls: each is dimmed by its flag or
// while recording (`active`), except STOP, which must stay usable then.
void rec_buttons_state(const int setting[REC_SETTING_INTS], int active, int visible[REC_CTRL_COUNT],
                       int dimmed[REC_CTRL_COUNT]);
