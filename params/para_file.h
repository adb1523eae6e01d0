// Parameter files: the parameter set spelled out in an ini store, 100 sections
// in a fixed order, conditions bit by bit under the bit names, and the unit's
// limits next to each value when they are known.
//
// Only the store and file logic lives here. The file dialogs belong to the
// user interface, which wraps these functions (and reports a failed write as
// "Error while saving file."); progress is reported through para_file_progress.
#pragma once

#include "params/para_record.h"
#include "support/inifile.h"

constexpr int PARA_FILE_SECTIONS = 100;
constexpr int PARA_FILE_NO_SET = -2; // the store holds none of the set's sections

// Called after each section with the step counter, which it raises by one
// (prog_bar of the main display); null when nobody watches.
extern void (*para_file_progress)(int* step);

// Adds the 100 sections of `rec` to `store`. "Max. value" and "Min. value" are
// written only for the limit records given (either may be null). 0 or the
// store's negative code.
int parameter_save2store(IniText store, const para_record* rec, const para_record* max,
                         const para_record* min);

// Takes every value found in `store` into `rec`, cut to the field's width;
// missing or invalid values leave their field as it was, conditions are rebuilt
// from their bits. Returns 0, or PARA_FILE_NO_SET (`rec` unchanged) when not
// one section of the set is present.
int parameter_store2para(IniText store, para_record* rec);

// The same through a file: 0, or the store's negative code when the file cannot
// be written (the old file then stays as it was) or read (`rec` then unchanged),
// or PARA_FILE_NO_SET.
int parameter_save2path(const char* path, const para_record* rec, const para_record* max,
                        const para_record* min);
int parameter_path2para(const char* path, para_record* rec);

// What loading `store` does to the field that parameter_save2store writes as
// item `key` of `section`: 1 when it sets the field, 0 when the field keeps the
// value it had. A condition section that is there sets all its bits, those
// whose item is missing to 0; any other value is set only when its item is
// there and reads as an integer or a boolean as its key wants. Limits and
// legends ("Max. value", "Option 3:") are never read back: 0.
int parameter_store_defines(IniText store, const char* section, const char* key);
// 1 when `key` of `section` is a value of the set rather than a limit or a
// legend, as parameter_save2store names them; 0 otherwise.
int parameter_is_value_key(const char* section, const char* key);

// One condition section; kind as in conditions.h (0, 8 event conditions, 6, 7
// combined). Register 2 words of kinds 0, 8 and 6 are not stored, and load as 0.
int cond2inifile(const void* cond, int kind, IniText store, const char* section);
int inifile2cond(void* cond, int kind, IniText store, const char* section);

// The 22 items "Option 0:" .. "Option 21:" naming the evaluation modes.
int enlist_evalmode_to_inifile(IniText store, const char* section);
