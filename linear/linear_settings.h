// The linearisation panel's part of the program settings file: the chosen
// file of each channel, so the next start shows the same files.
#pragma once

#include "support/inifile.h"
#include "support/path_time.h"

// Section and keys of the two paths.
constexpr char LINEAR_SETTINGS_SECTION[] = "Panel data";
constexpr char LINEAR_SETTINGS_KEY_A[] = "Linearisation file chan. A";
constexpr char LINEAR_SETTINGS_KEY_B[] = "Linearisation file chan. B";

// The two paths as the store names them, read without the panel: a channel
// whose key is missing or blank, whose path does not fit UI_MAX_PATH or names
// nothing that exists gets an empty path. Returns -1 (and leaves `paths` as
// they were) when the store has no such section, else the number of paths
// taken, 0 to 2; INI_ERR_NULL_ARG for a null argument.
int linear_settings_read(IniText store, char paths[2][UI_MAX_PATH]);

// Takes each channel's path from the store, but only when something of that
// name still exists: the channel then shows the file (update_linear_info).
// A key that is missing or blank, a path that no longer exists and one too
// long for the path buffer leave the channel without a file: its path is
// emptied and it shows the defaults. A store without the section changes
// nothing. Returns the number of paths taken (0 to 2), or INI_ERR_NULL_ARG.
int linear_settings_load(IniText store);
// Shows the paths linear_settings_read gave: each channel its file, or the
// defaults for an empty path.
void linear_settings_show(const char paths[2][UI_MAX_PATH]);

// Puts both paths into the store (an empty text for a channel without a
// file). Returns 0 or the store's error code.
int linear_settings_store(IniText store);
