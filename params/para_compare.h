// Comparing two parameter sets field by field, as the parameter file spells
// them: a field is named by its section and key, and its values are written as
// the file writes them (the scan rate in microseconds, flags as True and False,
// conditions bit by bit). Files and units go through the same decoder: a file
// is loaded with parameter_store2para, and both sets are then written out with
// parameter_save2store and compared item by item.
#pragma once

#include "params/para_record.h"
#include "support/inifile.h"

#include <string>
#include <vector>

struct para_difference {
    std::string section;
    std::string key;
    std::string left; // the value of the left set, or PARA_NOT_DEFINED
    std::string right;
};

// What a file that lacks a field shows for it.
extern const char PARA_NOT_DEFINED[]; // "(not in file)"

// One set to compare: its record and, for a set loaded from a parameter file,
// the file's store, which tells which fields it defines (parameter_store_defines).
// A set read from a unit has no store: it defines every field.
struct para_side {
    const para_record* rec;
    IniText file;
};

// Appends to `out`, in file order, every field whose values differ. Against a
// unit only the fields the file defines are compared (a file that leaves a
// section out does not differ from the unit there); between two files a field
// only one of them defines is listed with PARA_NOT_DEFINED on the other side.
// Reserved words are in no file and are not compared. Returns the number of
// fields appended, or the ini store's negative code.
int para_compare(const para_side& left, const para_side& right, std::vector<para_difference>* out);
