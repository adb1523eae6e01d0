// The program settings file ("KORMELAN-3 Zazed V4.04.ini", placed as
// settings_path.h says): read at start-up, written when the program closes.
// In this order it holds the last directory of the file dialogs, the connect
// panel's choices, the state of the main and oscillograph windows, the panel
// ID, the linearisation files, and the parameter set without limits; then
// the sections other writers keep in it, such as [Serial devices].
#pragma once

// Reads the file; a missing or unreadable file leaves everything as it is.
// The parameter set is taken only from a file that holds one (its first
// section, "ChanA Power"), and is then shown on the panels. Returns 0 when
// read, negative when not.
int load_scope_para(const char* path);
// Writes the file, replacing it; a file in the user's configuration folder
// gets its "KORMELAN-3 Zazed" folder made first when missing. Returns 0 or the
// ini store's error code.
int store_scope_para(const char* path);
