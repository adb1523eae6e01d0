// Ini store: the store itself, lookups, typed put and get, escaping.
#include "support/inifile.h"
#include "support/inifile_store.h"
#include "support/linefile.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>

// ---- Names ----

std::string_view ini_trim(std::string_view s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && linefile_is_blank(s[b])) b++;
    while (e > b && linefile_is_blank(s[e - 1])) e--;
    return s.substr(b, e - b);
}

// Lower case of ASCII letters, every other byte as it is; by table, as lookups
// fold every character of every name they compare.
static const std::array<char, 256> lower_table = [] {
    std::array<char, 256> t{};
    for (int c = 0; c < 256; c++)
        t[static_cast<size_t>(c)] = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return t;
}();

static char lower_ascii(char c) {
    return lower_table[static_cast<unsigned char>(c)];
}

std::string ini_key(std::string_view name) {
    std::string key(ini_trim(name));
    for (char& c : key) c = lower_ascii(c);
    return key;
}

// Compares a stored key with a trimmed name, without building a key for the
// name: lookups must not allocate.
static bool key_matches(const std::string& key, IniName name) {
    if (key.size() != name.text.size()) return false;
    for (size_t i = 0; i < key.size(); i++) {
        if (key[i] != lower_ascii(name.text[i])) return false;
    }
    return true;
}

// FNV-1a over the folded bytes.
static size_t name_hash(std::string_view text, bool fold) {
    uint64_t h = 14695981039346656037ull;
    for (char c : text) h = (h ^ static_cast<unsigned char>(fold ? lower_ascii(c) : c)) * 1099511628211ull;
    return static_cast<size_t>(h);
}

size_t IniNameHash::operator()(const std::string& key) const noexcept {
    return name_hash(key, false);
}

size_t IniNameHash::operator()(IniName name) const noexcept {
    return name_hash(name.text, true);
}

bool IniNameEqual::operator()(const std::string& key, IniName name) const noexcept {
    return key_matches(key, name);
}

void ini_sort_sections(std::vector<std::unique_ptr<IniSection>>& sections) {
    std::stable_sort(sections.begin(), sections.end(),
                     [](const std::unique_ptr<IniSection>& a, const std::unique_ptr<IniSection>& b) {
                         return a->key < b->key;
                     });
}

void ini_sort_items(IniSection* section) {
    std::stable_sort(section->items.begin(), section->items.end(),
                     [](const IniItem& a, const IniItem& b) { return a.key < b.key; });
    section->indexed = false;
}

void ini_index_section(IniStore* store, IniSection* section) {
    if (!store->indexed) return;
    try {
        store->index.emplace(section->key, section);
    } catch (const std::bad_alloc&) {
        store->index.clear();
        store->indexed = false;
    }
}

// Makes the store's index whole again after a file was read into it. False
// when there is no memory for it: the caller then searches without it.
static bool index_sections(IniStore* store) {
    if (store->indexed) return true;
    try {
        store->index.clear();
        store->index.reserve(store->sections.size());
        for (const auto& s : store->sections) store->index.emplace(s->key, s.get());
        store->indexed = true;
    } catch (const std::bad_alloc&) {
        store->index.clear();
    }
    return store->indexed;
}

static bool index_items(IniSection* s) {
    if (s->indexed) return true;
    try {
        s->index.clear();
        s->index.reserve(s->items.size());
        for (size_t i = 0; i < s->items.size(); i++) s->index.emplace(s->items[i].key, i);
        s->indexed = true;
    } catch (const std::bad_alloc&) {
        s->index.clear();
    }
    return s->indexed;
}

static IniSection* find_section(IniStore* store, std::string_view text) {
    const IniName name{ini_trim(text)};
    if (store->cache && key_matches(store->cache->key, name)) return store->cache;
    IniSection* found = nullptr;
    if (index_sections(store)) {
        const auto it = store->index.find(name);
        if (it != store->index.end()) found = it->second;
    } else {
        for (const auto& s : store->sections) {
            if (key_matches(s->key, name)) {
                found = s.get();
                break;
            }
        }
    }
    if (found) store->cache = found;
    return found;
}

static IniItem* find_item(IniStore* store, const char* section, const char* tag) {
    IniSection* s = find_section(store, section);
    if (!s) return nullptr;
    const IniName name{ini_trim(tag)};
    IniItem* found = nullptr;
    if (s->items.size() >= INI_INDEX_MIN_ITEMS && index_items(s)) {
        const auto it = s->index.find(name);
        if (it != s->index.end()) found = &s->items[it->second];
    } else {
        for (IniItem& item : s->items) {
            if (key_matches(item.key, name)) {
                found = &item;
                break;
            }
        }
    }
    if (found) store->last_line = found->line;
    return found;
}

// ---- Store ----

IniText Ini_New(int automatic_sorting) {
    IniStore* store = new (std::nothrow) IniStore;
    if (store) store->auto_sort = automatic_sorting != 0;
    return store;
}

void Ini_Dispose(IniText store) {
    delete store;
}

int Ini_SetTokens(IniText store, char section_start, char section_end, const char* value_separator,
                  const char* comment_marker) {
    if (!store) return INI_ERR_NULL_ARG;
    try {
        std::string separator = store->separator;
        std::string comment = store->comment;
        if (value_separator && *value_separator)
            separator.assign(value_separator, strnlen(value_separator, 7));
        if (comment_marker && *comment_marker) comment.assign(comment_marker, strnlen(comment_marker, 7));
        std::string item_separator = " " + separator + " ";
        store->separator.swap(separator);
        store->comment.swap(comment);
        store->item_separator.swap(item_separator);
    } catch (const std::bad_alloc&) {
        return INI_ERR_NO_MEMORY;
    }
    if (section_start) store->section_start = section_start;
    if (section_end) store->section_end = section_end;
    return 0;
}

int Ini_SetDuplicateChecking(IniText store, int check) {
    if (!store) return INI_ERR_NULL_ARG;
    const int previous = store->check_duplicates ? 1 : 0;
    store->check_duplicates = check != 0;
    return previous;
}

int Ini_SectionExists(IniText store, const char* section) {
    if (!store || !section) return INI_ERR_NULL_ARG;
    return find_section(store, section) ? 1 : 0;
}

int Ini_NumberOfItems(IniText store, const char* section) {
    if (!store || !section) return INI_ERR_NULL_ARG;
    const IniSection* s = find_section(store, section);
    if (!s) return 0;
    return s->items.size() > INT_MAX ? INT_MAX : static_cast<int>(s->items.size());
}

int Ini_NumberOfSections(IniText store) {
    if (!store) return INI_ERR_NULL_ARG;
    return store->sections.size() > INT_MAX ? INT_MAX : static_cast<int>(store->sections.size());
}

int Ini_NthSectionName(IniText store, int index, const char** name) {
    if (!store || !name) return INI_ERR_NULL_ARG;
    if (index < 1 || static_cast<size_t>(index) > store->sections.size()) return 0;
    *name = store->sections[static_cast<size_t>(index) - 1]->name.c_str();
    return 1;
}

int Ini_NthItemName(IniText store, const char* section, int index, const char** tag) {
    if (!store || !section || !tag) return INI_ERR_NULL_ARG;
    const IniSection* s = find_section(store, section);
    if (!s || index < 1 || static_cast<size_t>(index) > s->items.size()) return 0;
    *tag = s->items[static_cast<size_t>(index) - 1].tag.c_str();
    return 1;
}

int Ini_CopyMissingSections(IniText dst, IniText src) {
    if (!dst || !src) return INI_ERR_NULL_ARG;
    int copied = 0;
    try {
        std::vector<std::string> own;
        for (const auto& s : dst->sections) own.push_back(s->key);
        for (const auto& s : src->sections) {
            if (std::find(own.begin(), own.end(), s->key) != own.end()) continue;
            auto copy = std::make_unique<IniSection>(*s);
            copy->sorted = dst->auto_sort;
            if (copy->sorted) ini_sort_items(copy.get());
            auto& sections = dst->sections;
            auto at = sections.end();
            if (dst->auto_sort) {
                at = std::upper_bound(sections.begin(), sections.end(), copy->key,
                                      [](const std::string& key, const std::unique_ptr<IniSection>& sec) {
                                          return key < sec->key;
                                      });
            }
            IniSection* added = copy.get();
            sections.insert(at, std::move(copy)); // no effect when it throws
            ini_index_section(dst, added);
            copied++;
        }
    } catch (const std::bad_alloc&) {
        return INI_ERR_NO_MEMORY;
    } catch (const std::length_error&) {
        return INI_ERR_NO_MEMORY;
    }
    return copied;
}

int Ini_LineOfLastAccess(IniText store) {
    return store ? store->last_line : INI_ERR_NULL_ARG;
}

// ---- Putting ----

static void put_into_section(IniSection* s, IniItem&& item, bool check_duplicates) {
    std::vector<IniItem>& items = s->items;
    if (check_duplicates) {
        const auto first =
            std::find_if(items.begin(), items.end(), [&](const IniItem& it) { return it.key == item.key; });
        if (first != items.end()) {
            // Moves and erasing do not allocate: once here, the put cannot fail.
            const auto rest =
                std::remove_if(first + 1, items.end(), [&](const IniItem& it) { return it.key == item.key; });
            if (rest != items.end()) s->indexed = false; // later items move forward
            items.erase(rest, items.end());
            *first = std::move(item);
            return;
        }
    }
    auto at = items.end();
    if (s->sorted) {
        at = std::upper_bound(items.begin(), items.end(), item.key,
                              [](const std::string& key, const IniItem& it) { return key < it.key; });
    }
    const bool appended = at == items.end();
    const size_t position = static_cast<size_t>(at - items.begin());
    items.insert(at, std::move(item)); // no effect when it throws
    if (!appended) {
        s->indexed = false;
    } else if (s->indexed) {
        try {
            s->index.emplace(items[position].key, position);
        } catch (const std::bad_alloc&) {
            s->index.clear();
            s->indexed = false;
        }
    }
}

static int put_item(IniText store, const char* section, const char* tag, std::string&& value, bool quoted) {
    if (!store || !section || !tag) return INI_ERR_NULL_ARG;
    try {
        IniItem item;
        item.tag = ini_trim(tag);
        item.key = ini_key(item.tag);
        item.value = std::move(value);
        item.quoted = quoted;
        IniSection* s = find_section(store, section);
        if (s) {
            put_into_section(s, std::move(item), store->check_duplicates);
            return 0;
        }
        auto fresh = std::make_unique<IniSection>();
        fresh->name = section;
        fresh->key = ini_key(section);
        fresh->sorted = store->auto_sort;
        fresh->items.push_back(std::move(item));
        auto& sections = store->sections;
        auto at = sections.end();
        if (store->auto_sort) {
            at = std::upper_bound(sections.begin(), sections.end(), fresh->key,
                                  [](const std::string& key, const std::unique_ptr<IniSection>& sec) {
                                      return key < sec->key;
                                  });
        }
        IniSection* created = fresh.get();
        sections.insert(at, std::move(fresh)); // no effect when it throws
        ini_index_section(store, created);
        store->cache = created;
    } catch (const std::bad_alloc&) {
        return INI_ERR_NO_MEMORY;
    } catch (const std::length_error&) {
        return INI_ERR_NO_MEMORY;
    }
    return 0;
}

// Quotes, backslashes and control characters are escaped so that a value stays
// on one line and its closing quote is the last character of the line.
static std::string escape(const char* text) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    if (!text) return out;
    for (const char* p = text; *p; p++) {
        const unsigned char c = static_cast<unsigned char>(*p);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            if (c < 0x20 || c == 0x7f) {
                out += "\\x";
                out += hex[c >> 4];
                out += hex[c & 15];
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out;
}

int Ini_PutInt(IniText store, const char* section, const char* tag, long value) {
    char text[32];
    snprintf(text, sizeof text, "%ld", value);
    try {
        return put_item(store, section, tag, std::string(text), false);
    } catch (const std::bad_alloc&) {
        return INI_ERR_NO_MEMORY;
    }
}

int Ini_PutBoolean(IniText store, const char* section, const char* tag, int value) {
    try {
        return put_item(store, section, tag, std::string(value ? "True" : "False"), false);
    } catch (const std::bad_alloc&) {
        return INI_ERR_NO_MEMORY;
    }
}

int Ini_PutString(IniText store, const char* section, const char* tag, const char* text) {
    try {
        return put_item(store, section, tag, escape(text), true);
    } catch (const std::bad_alloc&) {
        return INI_ERR_NO_MEMORY;
    }
}

int Ini_PutRawString(IniText store, const char* section, const char* tag, const char* text) {
    try {
        return put_item(store, section, tag, std::string(text ? text : ""), true);
    } catch (const std::bad_alloc&) {
        return INI_ERR_NO_MEMORY;
    }
}

// ---- Getting ----

static bool is_blank_text(const std::string& s) {
    return ini_trim(s).empty();
}

// Decimal integer: blanks, one optional sign directly before the digits, digits,
// blanks. Anything else, or a number outside 32 bits, is refused.
static bool parse_int(const std::string& s, int* out) {
    size_t i = 0;
    const size_t n = s.size();
    while (i < n && linefile_is_blank(s[i])) i++;
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i >= n || s[i] < '0' || s[i] > '9') return false;
    long long magnitude = 0;
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    while (i < n && s[i] >= '0' && s[i] <= '9') {
        magnitude = magnitude * 10 + (s[i++] - '0');
        if (magnitude > limit) return false;
    }
    while (i < n && linefile_is_blank(s[i])) i++;
    if (i != n) return false;
    *out = static_cast<int>(negative ? -magnitude : magnitude);
    return true;
}

static bool equals_ignoring_case(const std::string& s, const char* word) {
    const size_t n = strlen(word);
    if (s.size() != n) return false;
    for (size_t i = 0; i < n; i++) {
        if (lower_ascii(s[i]) != lower_ascii(word[i])) return false;
    }
    return true;
}

int Ini_GetInt(IniText store, const char* section, const char* tag, int* value) {
    if (!store || !section || !tag || !value) return INI_ERR_NULL_ARG;
    const IniItem* item = find_item(store, section, tag);
    if (!item || is_blank_text(item->value)) return 0;
    int v = 0;
    if (!parse_int(item->value, &v)) return INI_ERR_NOT_INTEGER;
    *value = v;
    return 1;
}

int Ini_GetBoolean(IniText store, const char* section, const char* tag, int* value) {
    if (!store || !section || !tag || !value) return INI_ERR_NULL_ARG;
    const IniItem* item = find_item(store, section, tag);
    if (!item || is_blank_text(item->value)) return 0;
    if (equals_ignoring_case(item->value, "True")) {
        *value = 1;
    } else if (equals_ignoring_case(item->value, "False")) {
        *value = 0;
    } else {
        return INI_ERR_NOT_BOOLEAN;
    }
    return 1;
}

static int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Undoes the escaping of a quoted value into the store's buffer (grown in steps
// of 1024 bytes) and returns the length; an unquoted value is copied as it is,
// since it was never escaped (a path such as C:\temp must survive). A backslash
// that ends the value has nothing to escape and stays.
static int text_of(IniStore* store, const IniItem& item, size_t* length) {
    const std::string& v = item.value;
    if (store->text.size() < v.size() + 1) {
        try {
            store->text.resize((v.size() / 1024 + 1) * 1024);
        } catch (const std::bad_alloc&) {
            return INI_ERR_NO_MEMORY;
        } catch (const std::length_error&) {
            return INI_ERR_NO_MEMORY;
        }
    }
    char* out = store->text.data();
    size_t n = 0;
    if (!item.quoted) {
        memcpy(out, v.data(), v.size());
        n = v.size();
    } else {
        for (size_t i = 0; i < v.size(); i++) {
            if (v[i] != '\\' || i + 1 == v.size()) {
                out[n++] = v[i];
                continue;
            }
            const char c = v[++i];
            if (c == 'n') {
                out[n++] = '\n';
            } else if (c == 'r') {
                out[n++] = '\r';
            } else if (c == 't') {
                out[n++] = '\t';
            } else if (c == 'x' && i + 2 < v.size() && hex_digit(v[i + 1]) >= 0 && hex_digit(v[i + 2]) >= 0) {
                out[n++] = static_cast<char>(hex_digit(v[i + 1]) * 16 + hex_digit(v[i + 2]));
                i += 2;
            } else {
                out[n++] = c;
            }
        }
    }
    out[n] = 0;
    *length = n;
    return 0;
}

int Ini_GetPointerToString(IniText store, const char* section, const char* tag, const char** text) {
    if (!store || !section || !tag || !text) return INI_ERR_NULL_ARG;
    const IniItem* item = find_item(store, section, tag);
    if (!item) return 0;
    size_t length = 0;
    const int r = text_of(store, *item, &length);
    if (r < 0) return r;
    *text = store->text.data();
    return 1;
}

// The program's files are in a single-byte code page (the micro sign is the one
// byte 0xB5), so there are no double-byte characters a cut could split.
int Ini_GetStringIntoBuffer(IniText store, const char* section, const char* tag, char* buffer,
                            int buffer_size) {
    if (!store || !section || !tag || !buffer) return INI_ERR_NULL_ARG;
    if (buffer_size > 0) buffer[0] = 0;
    const IniItem* item = find_item(store, section, tag);
    if (!item) return 0;
    size_t length = 0;
    const int r = text_of(store, *item, &length);
    if (r < 0) return r;
    if (buffer_size > 0) {
        const size_t n = std::min(length, static_cast<size_t>(buffer_size) - 1);
        memcpy(buffer, store->text.data(), n);
        buffer[n] = 0;
    }
    return 1;
}

// ---- Codes ----

const char* Ini_ErrorText(int code) {
    static const struct {
        int code;
        const char* text;
    } table[] = {
        {INI_ERR_NULL_ARG, "A required argument is missing."},
        {INI_ERR_NO_MEMORY, "Out of memory."},
        {INI_ERR_OPEN, "The file cannot be opened for reading."},
        {INI_ERR_READ, "Error while reading the file."},
        {INI_ERR_NOT_INTEGER, "The item is not an integer."},
        {INI_ERR_NOT_BOOLEAN, "The item is not True or False."},
        {INI_ERR_NOT_WRITABLE, "The file or its directory is not writable."},
        {INI_ERR_DISK_FULL, "The disk is full."},
        {INI_ERR_IO, "Error while writing the file."},
    };
    if (code >= 0) return "";
    for (const auto& entry : table) {
        if (entry.code == code) return entry.text;
    }
    return nullptr;
}
