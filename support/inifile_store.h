// Inner structure of the ini store, shared by its source files only.
#pragma once

#include "support/inifile.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct IniItem {
    std::string tag;   // as put or read, surrounding white space removed
    std::string key;   // tag in lower case: what lookups and sorting compare
    std::string value; // a quoted item's text is kept escaped, without its quotes
    bool quoted = false;
    int line = 0; // line of the file it was read from; 0 when put
};

struct IniSection {
    std::string name;
    std::string key; // name without surrounding white space, in lower case
    std::vector<IniItem> items;
    bool sorted = false;
    int line = 0;
};

struct IniStore {
    // Sections are held by pointer so that the cache below survives insertions.
    std::vector<std::unique_ptr<IniSection>> sections;
    bool auto_sort = false;
    bool check_duplicates = true;
    char section_start = '[';
    char section_end = ']';
    std::string separator = "=";
    std::string comment = ";";
    std::string item_separator = " = "; // the separator with a blank on each side
    int last_line = 0;
    // First section of the last name looked up. Sections are never removed and a
    // new section of an existing name always lands behind the older one, so the
    // pointer stays the first match for its name for the life of the store.
    IniSection* cache = nullptr;
    std::vector<char> text; // last unescaped string handed out
};

std::string_view ini_trim(std::string_view s);
// Lower-case copy of a trimmed name. Only ASCII letters change: other bytes,
// whatever encoding they belong to, compare as they are.
std::string ini_key(std::string_view name);
// Orders sections or items by key; stable, so equal names keep their order.
void ini_sort_sections(std::vector<std::unique_ptr<IniSection>>& sections);
void ini_sort_items(std::vector<IniItem>& items);

// ---- Replacing a file ----

// Bytes handed to one write call when a file is written.
constexpr size_t INI_WRITE_CHUNK = 16384;
// Temporary files ("ini$$" six characters ".TMP") older than this, left by a
// save that was killed, are removed by the next save into the same folder.
constexpr long INI_STALE_TEMP_SECONDS = 60;

// Test seam, null in normal use: called with the name of each step of
// replacing a file before it is taken ("write" for every write call, "sync"
// and "close" of the temporary file, "rename", "sync folder"). A non-zero
// result makes that step fail with it as the error number.
extern int (*ini_file_step)(const char* step);
