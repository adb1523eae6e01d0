// What the tool found out about one unit, and how it says it: human-readable
// lines by default, one JSON object per unit with --json.
#pragma once

#include "batch/batch_health.h"
#include "params/para_compare.h"

#include <ostream>
#include <string>
#include <vector>

enum {
    OUTCOME_OK = 0,
    OUTCOME_DIFFERENT, // a verification or a comparison found differing fields
    OUTCOME_FAILED,    // the unit refused fields, or a file could not be written
    OUTCOME_REFUSED,   // the unit's version was not the expected one: nothing was written
    OUTCOME_LINK,      // the link failed
};

struct unit_report {
    std::string label; // empty for a comparison of two files
    int unit_number = -1;
    std::string version;
    int outcome = OUTCOME_OK;
    std::string reason;              // why it is not OK, in the program's words
    std::vector<std::string> status; // the program's status texts, in order
    std::string left_name;           // the two sides of the differences
    std::string right_name;
    std::vector<para_difference> differences;
    std::vector<std::string> files; // files written
    bool has_lin = false;
    std::string lin[2]; // linearisation descriptions of channels A and B
    bool has_health = false;
    batch_health health;
};

// The exit status an outcome asks for, and the worse of two statuses.
int outcome_exit(int outcome);
int worse_exit(int a, int b);
const char* outcome_word(int outcome); // "ok", "different", "failed", "refused", "link failure"

// Human-readable lines, each starting with the unit's label.
void report_human(const unit_report& r, std::ostream& out);
// The report as one line of JSON.
std::string report_json(const unit_report& r);
