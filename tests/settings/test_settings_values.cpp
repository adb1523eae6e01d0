// The settings file read into values without a panel: odd and oversized items
// give defaults or cut values, never more than the buffers hold.
#include "settings/settings_values.h"

#include "connect/connect_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

struct Read {
    IniText store = Ini_New(0);
    std::unique_ptr<settings_values> v = std::make_unique<settings_values>();
    explicit Read(const std::string& text, const char* path = "/home/u/zazed/K.ini") {
        EXPECT_EQ(Ini_ReadFromText(store, text.data(), text.size()), 0);
        EXPECT_EQ(settings_read(store, path, v.get()), 0);
    }
    ~Read() { Ini_Dispose(store); }
};

} // namespace

TEST(SettingsValues, GarbageNumbersLeaveTheirValuesUnset) {
    Read r(
        "[RS232 connection data]\nBaudrate = fast\nPort 1 = COM7\n"
        "[TCP/IP connection data]\nPortnumber = 99999999999999999999\n"
        "[Panel data]\nMain - Left = 12x\nMain - Top = -40\nOsci - Fullscreen = maybe\nOsci - Width = 800\n");
    const settings_values& v = *r.v;
    EXPECT_TRUE(v.connection.rs232);
    EXPECT_EQ(v.connection.baud_index, -1);
    ASSERT_EQ(v.connection.ports.size(), 1u);
    EXPECT_EQ(v.connection.ports[0], "COM7");
    EXPECT_TRUE(v.connection.tcp);
    EXPECT_FALSE(v.connection.has_tcp_port);
    // A section with no list entries brings back the lists' start-up entries.
    EXPECT_EQ(v.connection.addresses.size(), 2u);
    EXPECT_FALSE(v.windows[0].has[0]);
    EXPECT_TRUE(v.windows[0].has[1]);
    EXPECT_EQ(v.windows[0].value[1], -40);
    EXPECT_FALSE(v.windows[1].maximized);
    EXPECT_TRUE(v.windows[1].has[2]);
    EXPECT_FALSE(v.has_parameters);
    // Without a "Last" directory the settings file's own folder is the one.
    EXPECT_STREQ(v.last_directory, "/home/u/zazed/");
}

TEST(SettingsValues, HugeListsAndIdsAreCut) {
    std::string text = "[RS232 connection data]\nBaudrate = 38400\n";
    for (int i = 1; i <= 10000; i++)
        text += "Port " + std::to_string(i) + " = COM" + std::to_string(i) + "\n";
    text += "[Panel data]\nPanel ID string = \"" + std::string(1 << 20, 'I') + "\"\n";
    text += "[Serial devices]\nCOM0 = /dev/null\nCOM3 = /dev/ttyUSB0\nCOM4 =\nCOM255 = /dev/ttyS9\nCOM256 = "
            "/dev/x\n";
    Read r(text, "/etc/K.ini");
    const settings_values& v = *r.v;
    EXPECT_EQ(v.connection.baud_index, 2);
    ASSERT_EQ(static_cast<int>(v.connection.ports.size()), CONNECT_LIST_MAX);
    EXPECT_EQ(v.connection.ports.back(), "COM" + std::to_string(CONNECT_LIST_MAX));
    EXPECT_TRUE(v.has_panel_id);
    EXPECT_EQ(std::strlen(v.panel_id), sizeof v.panel_id - 1);
    EXPECT_STREQ(v.last_directory, "/etc/");
    ASSERT_EQ(v.serial_devices.size(), 2u);
    EXPECT_EQ(v.serial_devices[0].first, 3);
    EXPECT_EQ(v.serial_devices[1].first, 255);
}
