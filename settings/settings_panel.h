// The general and hidden settings panels' own callbacks: the scan setting,
// NORM NOW, and the controls that only answer a right click with their help
// (their values reach the parameter set with the other fields when the panels
// are read). The analog output's callbacks are in settings/anaout_view.h.
#pragma once

// NORM NOW: orders the unit to acquire its normalisation factor at once and
// shows "Ordering unit to acquire norm factor ... " and then the result in the
// status line (in the shared text str_data). Returns switch_status's code.
int settings_norm_now();

int CC_RING_SCANSETTING(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_NORM_NOW(int panel, int control, int event, void* data, int d1, int d2);
int CC_NUMS_SCANRATE(int panel, int control, int event, void* data, int d1, int d2);
int CC_NUMS_NORMTIMECONSTANT(int panel, int control, int event, void* data, int d1, int d2);
int CC_RING_DIRTOUTPUT(int panel, int control, int event, void* data, int d1, int d2);
int CC_RING_NORMCOND1(int panel, int control, int event, void* data, int d1, int d2);
int CC_RING_SWITCH_ANAOUT(int panel, int control, int event, void* data, int d1, int d2);

// Registers every callback of the general and hidden settings panels (these
// and the analog output's) by name; call before the panels are loaded.
void register_settings_callbacks();
