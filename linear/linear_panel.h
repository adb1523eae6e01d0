// The linearisation panel: choosing and clearing a file per channel, checking
// both files by computing their tables, sending tables and descriptions to the
// unit, and reading the unit's descriptions back. The curves go to the two
// linearisation graphs of the main display.
//
// Every button does nothing while RUN or VIDEO runs or a transaction waits:
// the link's interrupt table makes the press end that loop or transaction
// instead. Otherwise each starts with prep_for_linear_curve, which dims SEND;
// only a CHECK that gave both tables enables it, so a table always goes out
// right after it was computed.
#pragma once

#include <cstdint>

constexpr int LINEAR_TABLE_COLOR = 0xFF0000; // a table's curve and CHECK's verdict
constexpr int LINEAR_GRAPH_COLOR = 0xFFFFFF; // ground of the graphs while they show linearisation curves

// Shows the two linearisation graphs (axes 0 to 4096, black labels on
// LINEAR_GRAPH_COLOR) instead of the strip chart, and dims SEND. The graphs
// are the video graphs too: VIDEO sets its own colours.
void prep_for_linear_curve();

// Draws a table of LINEAR_POINTS entries as a curve on channel `channel`'s
// graph (0 = A, 1 = B) in `color`: x = 4096 - 4 i, y = table[1023 - i] >> 3.
// Returns the plot handle, or a negative user-interface error.
int plot_linear_table(int channel, const int16_t* table, int color);

// The status text of a failed link result during SEND and REFRESH: the texts
// of the link's loops, "Stopped by user." for every button that ends a
// transaction, and "Unknown error." for what has no text of its own.
const char* linear_result_text(int code);

int CC_CMDB_LOAD_LINFILE(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_CLEAR_LINFILE(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_CHECK_LIN(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_SEND_LIN(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_REFRESH_LIN(int panel, int control, int event, void* data, int d1, int d2);

// Registers the callbacks above by name; call before the panels are loaded.
void register_linear_callbacks();
