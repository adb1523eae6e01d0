// The recorder panel: mode selection with the controls each mode offers, the
// button states while recording, the time and count display, the choice of
// the record file, MANUAL STORE outside RUN, and the viewer that plots one
// column of the record file.
//
// The panel has no loop of its own; the RUN loop starts and ends recordings
// and calls set_rec_info and set_rec_buttons as they go.
#pragma once

#include "recorder/rec_modes.h"
#include "recorder/rec_time.h"

// What the recorder needs from the rest of the program; an empty hook is
// skipped.
struct recorder_hooks {
    // 1 while the RUN loop runs (MANUAL STORE is then served by the loop).
    int (*running)();
};
extern recorder_hooks recorder_hook;

// Shows and dims the panel's controls as `setting` says; while recording
// (`active` 1) everything but STOP is dimmed and START is red.
void set_rec_buttons(int active, const int setting[REC_SETTING_INTS]);
// The time and count texts and bars of a running recording in `mode`.
void set_rec_info(int mode, const rec_time* r, const rec_time* t, int count, int limit);
// The end of a recording: `text` in the time text and both bars at `bars`.
void rec_show_end(const char* text, double bars);
// Shows the recorder's elapsed-time text (AUTOTRIGGERED waiting).
void rec_show_time(const char* text);
// The recorder settings on the panel: mode, interval and number of values.
void rec_read_panel(int* mode, int* interval, int* number);
// The chosen record file cannot be written: names it in a "File error!" popup
// and forgets the choice (path and name box), so that START, MANUAL STORE and
// SHOW GRAPH do not go on using it. Without a choice: "No file selected.".
void rec_file_unusable();
// Whether `path` needs its case kept: 1 on a case-sensitive file system.
int rec_path_case_sensitive(const char* path);

int CC_EDIT_SELECTRECMODE(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_SELECTFILE(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_MANUALREC(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_SHOWGRAPH(int panel, int control, int event, void* data, int d1, int d2);
// Registers the callbacks above by name; call before the panels are loaded.
void register_recorder_callbacks();
