// The include rule of the source folders, checked by reading the files: a file
// includes ("...") only its own folder or a lower layer; a folder that stands
// beside the layers includes only what it is allowed and is included only by
// the folders named for it; only the user-interface layer includes Qt Widgets;
// and no folders include each other in a cycle. The same is checked for the
// libraries the folders' CMakeLists.txt files declare.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

struct layer_beside {
    std::string folder;
    std::vector<std::string> uses;    // folders ("support") or files ("link/frame.h") it may include
    std::vector<std::string> used_by; // folders that may include it
};

struct layer_rules {
    std::vector<std::string> layers; // lowest first
    std::vector<layer_beside> beside;
    std::vector<std::string> skipped;        // top-level folders that are not program code
    std::string widgets_layer;               // the only folder that may include Qt Widgets
    std::vector<std::string> widget_headers; // <QWidget>, <QLabel> ... (the module's header names)
};

// One breach: where it is (line 0 when it concerns a whole file or folder) and why.
struct layer_problem {
    std::string file; // relative to the root
    int line;
    std::string text;
};

// Reads every .cpp and .h under the root's code folders.
std::vector<layer_problem> check_includes(const std::filesystem::path& root, const layer_rules& rules);

// Reads the code folders' CMakeLists.txt: which folder declares each library and which
// libraries it links. A library links only libraries of its own or lower folders, and
// no libraries link each other in a cycle.
std::vector<layer_problem> check_libraries(const std::filesystem::path& root, const layer_rules& rules);

// "file:line: text", one line per problem.
std::string layer_report(const std::vector<layer_problem>& problems);
