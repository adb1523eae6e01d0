// Fuzz target for the program settings file as the start-up reads it.
//
// The input is the file's text. It goes through the ini store into the values
// the panels would show (settings_read), without the panels: the serial
// devices, the last directory, the connection lists, the window places, the
// panel ID, the linearisation files and the parameter set.
//
// Properties: every text ends within its buffer; a list never holds more than
// the panel offers, an entry never more than its field; the baud rate is one
// of those offered or unset; devices are named for COM 1 to 255 in order, each
// with a path; a file without the parameter set leaves the set untouched.
#include "connect/connect_text.h"
#include "fuzz/fuzz_input.h"
#include "settings/settings_values.h"
#include "support/inifile.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace {

bool ends_within(const char* text, size_t size) {
    return strnlen(text, size) < size;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    IniText store = Ini_New(0);
    check(store != nullptr);
    check(Ini_ReadFromText(store, reinterpret_cast<const char*>(data), size) == 0);
    auto v = std::make_unique<settings_values>();
    std::memset(&v->parameters, 0xA5, sizeof v->parameters);
    check(settings_read(store, "/home/user/K.ini", v.get()) == 0);
    Ini_Dispose(store);

    int last = 0;
    for (const auto& [n, device] : v->serial_devices) {
        check(n > last && n <= SETTINGS_MAX_COM && !device.empty());
        last = n;
    }
    check(ends_within(v->last_directory, sizeof v->last_directory));
    const connect_saved& c = v->connection;
    check(c.baud_index >= -1 && c.baud_index < 5);
    check(c.ports.size() <= CONNECT_LIST_MAX && c.addresses.size() <= CONNECT_LIST_MAX);
    for (const auto& e : c.ports) check(e.size() < 128);
    for (const auto& e : c.addresses) check(e.size() < 128);
    check(c.rs232 || (c.ports.empty() && c.baud_index == -1));
    check(c.tcp || (c.addresses.empty() && !c.has_tcp_port));
    check(ends_within(v->panel_id, sizeof v->panel_id));
    check(v->panel_data || (!v->has_panel_id && !v->linear));
    for (const auto& path : v->linear_file) check(ends_within(path, sizeof path));
    if (!v->has_parameters) {
        auto untouched = std::make_unique<para_record>();
        std::memset(untouched.get(), 0xA5, sizeof *untouched);
        check(std::memcmp(untouched.get(), &v->parameters, sizeof *untouched) == 0);
    }
    return 0;
}
