// Fuzz target for the ini reader and the store behind it.
//
// The first byte picks the store's options (sorting, duplicate checking, other
// tokens); the rest is the file. It is read through the same code as a file on
// disk, then looked up with names taken from its own lines, so that lookups hit
// as well as miss, written back to memory, read again and changed by puts. Two
// properties must hold for any input: a string put and read back (also through
// the written text) is the string that was put, and an integer put reads back
// as itself.
#include "support/inifile.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

struct Store {
    IniText s;
    explicit Store(int sorting) : s(Ini_New(sorting)) { check(s != nullptr); }
    ~Store() { Ini_Dispose(s); }
};

// Names to look up: each line's text before the first '=', with brackets
// stripped from section lines, at most 32 of them.
std::vector<std::string> names_in(std::string_view text) {
    std::vector<std::string> names;
    while (!text.empty() && names.size() < 32) {
        size_t end = text.find_first_of("\r\n");
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end < text.size() ? end + 1 : end);
        if (!line.empty() && line.front() == '[') line.remove_prefix(1);
        if (!line.empty() && line.back() == ']') line.remove_suffix(1);
        const size_t eq = line.find('=');
        if (eq != std::string_view::npos) line = line.substr(0, eq);
        names.emplace_back(line.data(), strnlen(line.data(), line.size()));
    }
    return names;
}

void look_up(IniText s, const std::vector<std::string>& names) {
    for (size_t i = 0; i < names.size(); i++) {
        const char* section = names[i].c_str();
        const char* tag = names[(i + 1) % names.size()].c_str();
        check(Ini_SectionExists(s, section) >= 0);
        check(Ini_NumberOfItems(s, section) >= 0);
        int v = 12345;
        const int ri = Ini_GetInt(s, section, tag, &v);
        check(ri == 1 || ri == 0 || ri == INI_ERR_NOT_INTEGER);
        if (ri != 1) check(v == 12345);
        const int rb = Ini_GetBoolean(s, section, tag, &v);
        check(rb == 1 || rb == 0 || rb == INI_ERR_NOT_BOOLEAN);
        char buffer[8];
        const int rs = Ini_GetStringIntoBuffer(s, section, tag, buffer, sizeof buffer);
        check(rs == 0 || rs == 1);
        check(strlen(buffer) < sizeof buffer);
    }
}

// Any string survives put, get, and a trip through the written text.
void string_round_trip(const std::string& value) {
    Store a(0);
    check(Ini_PutString(a.s, "Fuzz", "Value", value.c_str()) == 0);
    const char* got = nullptr;
    check(Ini_GetPointerToString(a.s, "Fuzz", "Value", &got) == 1 && value == got);
    std::string text;
    check(Ini_WriteToText(a.s, &text) == 0);
    Store b(0);
    check(Ini_ReadFromText(b.s, text.data(), text.size()) == 0);
    check(Ini_NumberOfItems(b.s, "fuzz") == 1);
    check(Ini_GetPointerToString(b.s, "FUZZ", " value ", &got) == 1 && value == got);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t options = data[0];
    const char* text = reinterpret_cast<const char*>(data + 1);
    const size_t length = size - 1;

    Store s(options & 1);
    if (options & 2) check(Ini_SetDuplicateChecking(s.s, 0) == 1);
    if (options & 4) check(Ini_SetTokens(s.s, '<', '>', ":", "#") == 0);
    check(Ini_ReadFromText(s.s, text, length) == 0);

    const std::vector<std::string> names = names_in(std::string_view(text, length));
    look_up(s.s, names);

    std::string written;
    check(Ini_WriteToText(s.s, &written) == 0);
    check(Ini_ReadFromText(s.s, written.data(), written.size()) == 0);
    look_up(s.s, names);

    for (size_t i = 0; i + 1 < names.size() && i < 8; i += 2) {
        int v = 0;
        const long n = static_cast<long>(names[i].size()) * 7919 - static_cast<long>(i);
        check(Ini_PutInt(s.s, names[i].c_str(), names[i + 1].c_str(), n) == 0);
        // Without duplicate checking an older item of the same tag may come first.
        const int r = Ini_GetInt(s.s, names[i].c_str(), names[i + 1].c_str(), &v);
        if (!(options & 2)) check(r == 1 && v == n);
        check(Ini_PutString(s.s, names[i + 1].c_str(), names[i].c_str(), names[i].c_str()) == 0);
    }
    check(Ini_WriteToText(s.s, &written) == 0);

    string_round_trip(std::string(text, strnlen(text, length < 4096 ? length : 4096)));
    return 0;
}
