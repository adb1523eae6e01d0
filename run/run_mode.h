// RUN mode: the loop that fetches measurement records (polled, or sent by the
// unit itself in triggered recording), shows them on the main display, and
// drives the recorder; plus the display side of a record (numbers, LEDs, the
// strip chart) and the trace selectors shared with the oscillograph window.
#pragma once

#include "run/measurement.h"

#include <cstdint>

// The state of RUN that the rest of the program reads: whether and how the
// loop runs, the recorder's state within it, and the last record.
struct run_state {
    // 0 idle, 1 polling, 2 waiting for autosend frames. STOP sets it to 0,
    // which ends the loop after the transaction that waits.
    int run;
    // Recorder state of the loop: 0 none, 2 AUTO LIMITED, 3 AUTO UNLIMITED,
    // 5 AUTOTRIGGERED (the values rec_plan_start gives).
    int record_to_file;
    // The last measurement record received, words in host order.
    uint16_t rawdata[MEAS_WORDS];
    // Milliseconds per oscillograph sample while the oscillograph runs in its
    // millisecond mode, else 1.0; each record updates it.
    double osci_gain;
    // Records RUN has shown since the program started (polled and autosend).
    long run_records;
};
extern run_state runs;

// Parts of the program above RUN that the loop and the display reach (the
// oscillograph window, the recorder buttons as the shell sets them, SEND and
// READ of the main window); an empty hook is skipped.
struct run_hooks {
    // 1 when the oscillograph shows a millisecond time axis.
    int (*osci_mode)();
    // Clears the video curves of channel 0 (A) or 1 (B) on the main display
    // and in the oscillograph window.
    void (*clear_video)(int channel);
    // The oscillograph window's vertical and horizontal views for new spans.
    void (*osci_zoom)(int span_y, int span_x);
    // Recorder buttons to idle (0) or running (1).
    void (*set_rec_buttons)(int on);
    // SEND or READ of the main window pressed while RUN waited: the
    // parameter transfer runs inside the loop. `control` is the button.
    void (*exchange_pressed)(int control);
};
extern run_hooks run_hook;

// ---- display of a record -----------------------------------------------------------------
// Shows `rec` (MEAS_WORDS words) on the main display and the general settings
// panel, updates osci_gain, and feeds the strip chart.
void update_DATA(const uint16_t* rec, const trace_record* tr);
// Applies the trace record to the strip chart: traces, points, range, looks.
void configure_STC(const trace_record* tr);
// Shows the strip chart instead of the two video graphs; the linearisation
// cannot be sent while it is shown.
void prep_for_stripchart();
// Writes `tr` to the twelve trace selectors of `panel` (graph1 or osci1).
void trace_selectors_set(int panel, const trace_record* tr);
// Reads the twelve trace selectors of `panel` into `tr`.
void trace_selectors_get(int panel, trace_record* tr);

// ---- the loop ------------------------------------------------------------------------------------
// Serves a button pressed while a transaction of a measurement loop (RUN or
// VIDEO) waited, so that both loops act alike: SEND and READ run the main
// window's parameter transfer, NORM NOW and RESET send their order to the unit.
// `status` (LINK_TEXT_SIZE bytes) receives what the status line shows then.
// Returns 1 when `rc` was one of these codes, else 0 and does nothing.
int run_serve_button(int rc, char* status);
// Tick of the autosend wait: one second more on the recorder's elapsed time.
void waiting_for_auto_frame();
// Runs RUN until it ends; `with_recorder` starts a recording first (the
// recorder's START button).
void run_mode(int with_recorder);

// ---- the recorder's side of the loop ----------------------------------------------------------
// Starts a recording from the recorder panel's settings. Sets `run` (1 poll,
// 2 autosend, 0 when autosend could not be started) and `record_to_file`.
void run_rec_start();
// One recorder step after a polled record (`autosend` 0) or an autosend frame.
void run_rec_step(int autosend);
// MANUAL STORE during RUN; `first` when it is the first press of this RUN
// into the file now chosen: the header goes first and the index restarts.
// Returns 0, or -1 when the RUN loop must end (no manual header).
int run_rec_manual(int first, char* status);
// STOP on the recorder panel during RUN.
void run_rec_stop();
// Records written in the current recording (the next record's index).
int run_rec_index();

int CC_CBTN_RUN(int panel, int control, int event, void* data, int d1, int d2);
int CC_TRACE_SELECT(int panel, int control, int event, void* data, int d1, int d2);
int CC_STRIPCHART(int panel, int control, int event, void* data, int d1, int d2);
int CC_CONTROLER_IF(int panel, int control, int event, void* data, int d1, int d2);
// Registers the callbacks above by name; call before the panels are loaded.
void run_register_callbacks();
