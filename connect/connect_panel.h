// The connect panel: choosing and opening the link, identifying and pairing
// with the unit, changing its baud rate, the panel ID, the password that
// unlocks the hidden settings, the link log and the hardware-information export.
//
// The procedures run on the user-interface thread inside their button's
// callback; every transaction handles events while it waits (see link/link.h).
#pragma once

#include "connect/connect_saved.h"
#include "connect/connect_text.h"
#include "support/inifile.h"

// Shared text in which operations build their status messages; the version
// request leaves the unit's version text here.
extern char str_data[256];

// Free text naming the sensor: typed into the connect panel, shown in the
// window titles and on the recorder panel, kept in the program settings file.
extern char panel_id[64];

// The procedures behind the buttons, callable without a click.
// TRY TO CONNECT: opens the chosen link, searches the unit, reads and checks
// its version. Returns 1 when the unit is identified (ACCEPT enabled), else 0.
int connect_try();
// ACCEPT: limits, the RAM set (the user decides whether to take it), the
// linearisation descriptions, and the sensor line in the log. Returns 1 when
// paired, else 0.
int connect_accept();
// CHANGE BAUD: orders the unit to the rate of the baud-rate ring, then posts a
// key press to TRY TO CONNECT so the link reopens at that rate. Returns 1 when
// the unit took the order, else 0.
int connect_change_baud();
// EXPORT: reads the RAM set, version text and hardware block and writes them,
// with the parameter sections, to a file the user picks. Returns 1 when the
// file was written, else 0.
int connect_export_hw();

// Preselects a link on the panel as a user would choose it: the protocol,
// the visible fields, and the address or COM port at the top of its list.
void connect_choose_tcp(const char* address, int port);
void connect_choose_com(int com_port, int baud_index);

// The connection sections of the program settings file: the baud rate, the
// lists and the TCP port are read into the panel, or written from it.
void connect_settings_load(IniText store);
void connect_settings_store(IniText store);
// Shows what connect_settings_read (connect/connect_saved.h) took from a file.
void connect_settings_show(const connect_saved& saved);

// Rebuilds the titles of the main and oscillograph windows from panel_id.
void connect_window_titles();

// Registers the callbacks below by name; call before the panels are loaded.
void register_connect_callbacks();

int CC_RING_COMMODE(int panel, int control, int event, void* data, int d1, int d2);
int CC_COMB_SELPORT(int panel, int control, int event, void* data, int d1, int d2);
int CC_COMB_IPADDRESS(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_TRYCONNECT(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_COMACCEPT(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_CHANGEBAUD(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_EXPORT_HWFILE(int panel, int control, int event, void* data, int d1, int d2);
int CC_TEXT_PANELID(int panel, int control, int event, void* data, int d1, int d2);
int CC_PWDC_PASSWORD(int panel, int control, int event, void* data, int d1, int d2);
int CC_TEXT_CONNECTSTAT(int panel, int control, int event, void* data, int d1, int d2);
