// The catalogue of condition ring items as data; conditions.cpp turns it into
// (label, value text) items. Internal to the params library.
#pragma once

#include <cstdint>

// One ring item: a plain condition (words in combined_cond order), or a span
// (begin event words, then the evaluation condition's words).
struct cond_def {
    const char* label;
    int span;
    uint16_t begin[3];
    uint16_t words[7];
};

// Items one list-code bit adds; at_top items are inserted at index 0.
struct cond_group {
    int code;
    int at_top;
    const cond_def* items;
    int count;
};

// Groups in the order fill_conditions adds them.
extern const cond_group cond_catalogue[];
extern const int cond_catalogue_count;
