// The linearisation panel's part of the program settings file: the chosen
// file of each channel, so the next start shows the same files.
#pragma once

#include "support/inifile.h"

// Section and keys of the two paths.
constexpr char LINEAR_SETTINGS_SECTION[] = "Panel data";
constexpr char LINEAR_SETTINGS_KEY_A[] = "Linearisation file chan. A";
constexpr char LINEAR_SETTINGS_KEY_B[] = "Linearisation file chan. B";

// Takes each channel's path from the store, but only when something of that
// name still exists: the channel then shows the file (update_linear_info).
// A key that is missing or blank, a path that no longer exists and one too
// long for the path buffer leave the channel without a file: its path is
// emptied and it shows the defaults. A store without the section changes
// nothing. Returns the number of paths taken (0 to 2), or INI_ERR_NULL_ARG.
int linear_settings_load(IniText store);

// Puts both paths into the store (an empty text for a channel without a
// file). Returns 0 or the store's error code.
int linear_settings_store(IniText store);
