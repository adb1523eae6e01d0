// Where the program settings file lives. Its name is the program's name and
// version with ".ini"; its place is the executable's folder while that folder
// can be written. An installed program's folder usually cannot, and settings
// written nowhere would be lost at every close: the file then goes to the
// user's configuration folder ($XDG_CONFIG_HOME, else ~/.config) under
// "KORMELAN-3 Zazed", and until one has been written there the file beside
// the executable (one that came with the installation) is read instead.
//
// Pure code: no panels, no Qt.
#pragma once

#include "support/path_time.h"

constexpr char SETTINGS_CONFIG_FOLDER[] = "KORMELAN-3 Zazed";

// The settings file's path in `dir` (UI_MAX_PATH bytes). Returns 0, or
// negative when it does not fit (`out` empty).
int settings_file_in(const char* dir, char* out);

// 1 when a file can be created in `dir` (a probe file is made and removed at
// once), else 0. Tried, not judged from the permission bits, which the
// administrator does not obey and a read-only mount overrides.
int settings_dir_writable(const char* dir);

struct settings_paths {
    char write[UI_MAX_PATH]; // where the file is written at close
    char read[UI_MAX_PATH];  // what is read at start-up
};

// Both paths for the executable's folder `exe_dir`, whether it is `writable`,
// and the values of $XDG_CONFIG_HOME and $HOME (null or empty when unset; a
// relative $XDG_CONFIG_HOME counts as unset). Without either variable the
// executable's folder is used all the same. Returns 0, or negative when no
// path fits (both then empty).
int settings_locate(const char* exe_dir, int writable, const char* config_home, const char* home,
                    settings_paths* out);
