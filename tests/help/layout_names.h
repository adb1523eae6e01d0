// The panel layout files read as plain text: which objects each panel has and
// which of them carry a callback. Panel "tab3" is loaded from the channel A
// layout and gets its objects.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

struct layout_callback {
    std::string panel;
    std::string control; // "" for the panel's own callback
    std::string callback;
};

struct layout_names {
    std::map<std::string, std::set<std::string>> objects; // panel -> object names (the panel's own included)
    std::vector<layout_callback> callbacks;
};

// Reads every resources/*.ui of the source tree; empty when none is found.
layout_names read_layouts();
