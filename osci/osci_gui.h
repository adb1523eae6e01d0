// The oscillograph on screen: the VIDEO loop that brings the unit's sequences
// to the PC, their drawing on the main display and in the oscillograph window,
// that window's views, cursors, legend and millisecond axis, and the callbacks
// of the oscillograph settings panel.
//
// The rules themselves are pure code (video_decode.h, osci_view.h); this part
// reads the controls, runs the transactions and draws. RUN, the parameter
// panels and the shell reach it through their hooks, which app/ points at the
// functions below.
#pragma once

#include "osci/video_decode.h"
#include "params/para_record.h"

#include <cstdint>

// The oscillograph's state that outlives one VIDEO loop.
struct osci_state {
    // The last good sequence of channel A and B, oldest sample first; only a
    // successful read changes them.
    uint16_t video_dataA[VIDEO_SAMPLES];
    uint16_t video_dataB[VIDEO_SAMPLES];
    // Plot handles of each channel on the oscillograph window's graph, which
    // both channels share: entry 0 the count, then the handles (-1: every plot).
    int osci1_gphA[VIDEO_HANDLES];
    int osci1_gphB[VIDEO_HANDLES];
    int osci_vis;  // 1 while the oscillograph window is shown
    int osci_mode; // 1 while its time axis is in milliseconds
};
extern osci_state oscis;

constexpr int OSCI_COLOR_A = 0x0000FF;
constexpr int OSCI_COLOR_B = 0x00FF00;

// ---- VIDEO ------------------------------------------------------------------------------------
// Reads one sequence of `channel` (0 A, 1 B) with interleave `factor` into
// `dst` (`count` = 1024 words): the blocks, then the closing poll, whose record
// goes to `record` (36 words; null takes none). `msg` (LINK_TEXT_SIZE bytes)
// gets a point per block and the result, and is shown in (panel, control) after
// each block when both are non-zero. Returns 0, or the code switch_status gave
// (the message is then its failure text and `dst` is untouched).
int videodata_exchange(int panel, int control, int channel, int factor, char* msg, uint16_t* record,
                       uint16_t* dst, int count);
// The VIDEO loop; returns when it ended.
void video_mode();
// Text of a poll result that ends the VIDEO loop; `reset_bars` tells whether
// the activity bars go back to rest.
const char* video_end_text(int rc, int* reset_bars);

// ---- drawing -------------------------------------------------------------------------------------
// Draws `n` samples (null: only clears) in `color` on (panel, graph), with
// their markers, and their input states on the window's input graph. With a
// handle list only the plots it names are replaced; without, every plot.
void update_GRPH(const uint16_t* samples, int n, int color, int panel, int graph, int* list);
// The main display shows the two video graphs instead of the strip chart.
void prep_for_video_curve();
// Clears the video curves of channel 0 (A) or 1 (B) on the main display and in
// the oscillograph window.
void osci_clear_video(int channel);

// ---- the oscillograph window ----------------------------------------------------------------
// The vertical and horizontal views for the zoom spans (the sliders keep their
// place where they can); the horizontal one also places the trigger cursors.
void osci_apply_vertical(int zoom_span_y);
void osci_apply_horizontal(int zoom_span_x);
void osci_zoom(int zoom_span_y, int zoom_span_x);
// Both trigger cursors from the pretrigger fields of the settings panel, in
// the graph's present view.
void osci_place_trigger_cursors();
// A record shown on or read from the parameter panels: trigger cursors placed,
// and the millisecond axis switched off when its channels record differently.
void osci_refresh(const para_record* rec);
// 1 while the time axis is in milliseconds.
int osci_ms_axis();
// The legend beside the graphs.
void print_osci1_legend();

// ---- the oscillograph settings panel ----------------------------------------------------------
// 0 copies channel A's skip count, pretrigger and record condition onto B; 1
// copies B onto A. Only the fields change.
void set_osci_master(int master);

int CC_CBTN_VIDEO(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_ACVIDEO(int panel, int control, int event, void* data, int d1, int d2);
int CC_OSCILLOGPH(int panel, int control, int event, void* data, int d1, int d2);
int CC_OSCI1(int panel, int control, int event, void* data, int d1, int d2);
int CC_VSLIDE(int panel, int control, int event, void* data, int d1, int d2);
int CC_HSLIDE(int panel, int control, int event, void* data, int d1, int d2);
int CC_CURSOR(int panel, int control, int event, void* data, int d1, int d2);
int CC_CURSOR_EN(int panel, int control, int event, void* data, int d1, int d2);
int CC_BINS_SCALEX(int panel, int control, int event, void* data, int d1, int d2);
int CC_RING_ONCE(int panel, int control, int event, void* data, int d1, int d2);
int CC_NUMS_TAKESAMPLES(int panel, int control, int event, void* data, int d1, int d2);
int CC_PRETRIGGER(int panel, int control, int event, void* data, int d1, int d2);
int CC_CBTN_MASTER(int panel, int control, int event, void* data, int d1, int d2);
// Registers the callbacks above by name; call before the panels are loaded.
void register_osci_callbacks();
