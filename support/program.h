// The program's own name and version, as windows, record files, exported
// files and the settings file name carry it.
#pragma once

extern const char pc_version_str[]; // "KORMELAN-3 Zazed V4.04"
