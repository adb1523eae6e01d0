// The program settings file next to the executable ("KORMELAN-3 Zazed
// V4.04.ini"): read at start-up, written when the program closes. For now it
// keeps the COM-port device names, the connect panel's choices, the window
// state of the main and oscillograph windows and the panel ID; the other
// sections follow with the subsystems that own their values.
#pragma once

// Reads the file; a missing or unreadable file leaves everything as it is.
// Returns 0 when read, negative when not.
int load_scope_para(const char* path);
// Writes the file, replacing it. Returns 0 or the ini store's error code.
int store_scope_para(const char* path);
