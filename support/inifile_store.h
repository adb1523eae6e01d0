// Inner structure of the ini store, shared by its source files only.
#pragma once

#include "support/inifile.h"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A name as a caller wrote it, surrounding white space already removed: what
// lookups hash and compare with the stored keys (trimmed and in lower case).
struct IniName {
    std::string_view text;
};
// Hash and equality of names as lookups compare them: without regard to ASCII
// letter case. A stored key hashes and compares as every name it stands for,
// so a lookup builds no key.
struct IniNameHash {
    using is_transparent = void;
    size_t operator()(const std::string& key) const noexcept;
    size_t operator()(IniName name) const noexcept;
};
struct IniNameEqual {
    using is_transparent = void;
    bool operator()(const std::string& a, const std::string& b) const noexcept { return a == b; }
    bool operator()(const std::string& key, IniName name) const noexcept;
    bool operator()(IniName name, const std::string& key) const noexcept { return (*this)(key, name); }
};
template <class T>
using IniIndex = std::unordered_map<std::string, T, IniNameHash, IniNameEqual>;

// Sections with fewer items than this are searched item by item: for them a
// scan costs no more than hashing the name.
constexpr size_t INI_INDEX_MIN_ITEMS = 8;

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
    // Position of the first item of each key. Built at the first lookup after
    // the items changed in a way that moves them (`indexed` false); an item
    // appended at the end is added to it in place.
    IniIndex<size_t> index;
    bool indexed = false;
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
    // First section of each key, for the same reason. A file read or a failed
    // update (out of memory) drops it (`indexed` false); the next lookup builds
    // it again, or, without the memory for it, searches section by section.
    IniIndex<IniSection*> index;
    bool indexed = true;
    std::vector<char> text; // last unescaped string handed out
};

// Adds a section new to the store to its index (the index keeps the first
// section of a name, which a later one never replaces).
void ini_index_section(IniStore* store, IniSection* section);

std::string_view ini_trim(std::string_view s);
// Lower-case copy of a trimmed name. Only ASCII letters change: other bytes,
// whatever encoding they belong to, compare as they are.
std::string ini_key(std::string_view name);
// Orders sections or items by key; stable, so equal names keep their order
// (sorting items drops their section's index).
void ini_sort_sections(std::vector<std::unique_ptr<IniSection>>& sections);
void ini_sort_items(IniSection* section);

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
