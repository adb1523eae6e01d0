// The context-help texts: one table, one row per (panel name, control name).
//
// A right click anywhere is keyed by the panel's name as the layout gives it
// ("mpanel", "osci1", "tab1" .. "tab11", "graph1" .. "graph3"; "tab3" is the
// channel B panel, loaded from the channel A layout) and the clicked control's
// object name ("CBTN_RUN", "NUMS_SCANRATE"); a click on the panel background
// uses the control "". Each row gives the panel text, the control text and the
// visualisation. Controls without a row of their own get the text of their
// panel's background row and `descr_click_on_panel`, without visualisation.
#pragma once

#include "help/help_screen.h"

// The fourteen panel texts.
extern const char descr_panel_connect[];
extern const char descr_panel_chanA[];
extern const char descr_panel_chanB[];
extern const char descr_panel_teachtable[];
extern const char descr_panel_recorder[];
extern const char descr_panel_oscillograph[];
extern const char descr_panel_concernall[];
extern const char descr_panel_hidden[];
extern const char descr_panel_linearinfo[];
extern const char descr_panel_main[];
extern const char descr_panelselector[];
extern const char descr_help_on_traces[];
extern const char descr_help_on_interface[];
extern const char descr_click_on_panel[];

// What a right click shows besides the texts.
enum help_visual {
    HELP_NO_VISUAL,   // std_helpscr_noVisual
    HELP_RAW_NORM,    // helpscr_RAW_NORM
    HELP_MIN_MAX,     // helpscr_MIN_MAX
    HELP_TRIGG_COUNT, // helpscr_TRIGG_COUNT
    HELP_SHOW_AGAIN,  // the help last shown, unchanged (numerics without help of their own)
    HELP_SWALLOW,     // the click is answered but shows no help
};

struct help_row {
    const char* panel;
    const char* control;    // "" for the panel background
    const char* panel_text; // null with HELP_SHOW_AGAIN and HELP_SWALLOW
    const char* control_text;
    help_visual visual;
};

extern const help_row help_rows[];
extern const int help_row_count;

// Template of a visualisation, or null for HELP_SHOW_AGAIN and HELP_SWALLOW.
const help_screen* help_template(help_visual visual);

// Results of help_lookup and help_prepare.
enum {
    HELP_UNKNOWN_PANEL = -1, // no row names the panel (or the panel is null)
    HELP_NOTHING = 0,        // the click shows no help
    HELP_OWN_ROW = 1,        // the control (or background) has its own row
    HELP_PANEL_ROW = 2,      // the control has no row: panel text and descr_click_on_panel
};

struct help_topic {
    const char* panel_text;
    const char* control_text;
    help_visual visual;
};

// Finds the help of a click; a null control is the background. `out` (may be
// null) gets the texts and the visualisation when the result is positive.
int help_lookup(const char* panel, const char* control, help_topic* out);

// Builds the help of a click in `active`: copies the template and puts in both
// texts. With HELP_SHOW_AGAIN, and whenever the result is not positive,
// `active` is left as it is. Returns as help_lookup; -1 also for a null record.
int help_prepare(const char* panel, const char* control, help_screen* active);
