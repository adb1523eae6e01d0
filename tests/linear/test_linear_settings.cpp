// The linearisation files in the program settings file: taken only while
// they exist, shown when taken, and written back as chosen.
#include "linear_fixture.h"

#include "linear/linear_settings.h"

#include <memory>

namespace {

using store_ptr = std::unique_ptr<IniStore, void (*)(IniText)>;

store_ptr store_from(const std::string& text) {
    store_ptr s(Ini_New(0), Ini_Dispose);
    Ini_ReadFromText(s.get(), text.data(), text.size());
    return s;
}

std::string ini_text(IniText store) {
    std::string text;
    Ini_WriteToText(store, &text);
    return text;
}

const char* const default_lines[5] = {"Range [mm]:    *****", "Ser.No.:       *****", "Sensortype:    *****",
                                      "Linearized by: *****", "Linearized at: *****"};

} // namespace

TEST_F(LinearTest, SettingsTakeExistingFilesAndShowThem) {
    // Mixed case and a blank in the name: the path is taken as written.
    const std::string a = write_file("Sensor A.TXT", "1000\n999\nx12.5\nxSN 0042\r\n");
    const std::string b = write_file("b.csv", "7\n");
    auto s = store_from("[Panel data]\nLinearisation file chan. A = \"" + a +
                        "\"\nLinearisation file chan. B = \"" + b + "\"\n");
    EXPECT_EQ(linear_settings_load(s.get()), 2);
    EXPECT_EQ(std::string(lins.linear_fileA), a);
    EXPECT_EQ(std::string(lins.linear_fileB), b);
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEA), "Sensor A.TXT");
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEB), "b.csv");
    EXPECT_EQ(box_lines(TAB9_TEXTBOX_DESCRA),
              (std::vector<std::string>{"Range [mm]:    12.5", "Ser.No.:       SN 0042"}));
    EXPECT_EQ(attr(tab9, TAB9_TEXTBOX_DESCRA, ATTR_TEXT_BGCOLOR), MakeColor(236, 233, 216));
}

TEST_F(LinearTest, SettingsDropMissingFilesAndShowTheDefaults) {
    std::snprintf(lins.linear_fileA, sizeof lins.linear_fileA, "%s", "/old/a.txt");
    std::snprintf(lins.linear_fileB, sizeof lins.linear_fileB, "%s", "/old/b.txt");
    const std::string too_long(UI_MAX_PATH + 10, 'a');
    for (const std::string& value : {dir + "/gone.txt", std::string(""), too_long}) {
        SCOPED_TRACE(value.substr(0, 40));
        auto s = store_from("[Panel data]\nLinearisation file chan. A = \"" + value + "\"\n");
        EXPECT_EQ(linear_settings_load(s.get()), 0);
        EXPECT_STREQ(lins.linear_fileA, "");
        EXPECT_STREQ(lins.linear_fileB, ""); // no key at all
        for (int box : {TAB9_TEXTBOX_DESCRA, TAB9_TEXTBOX_DESCRB})
            EXPECT_EQ(box_lines(box), std::vector<std::string>(default_lines, default_lines + 5));
        EXPECT_EQ(text(tab9, TAB9_STRING_FILEA), "<default transfer curve>");
        EXPECT_EQ(text(tab9, TAB9_STRING_FILEB), "<default transfer curve>");
        EXPECT_EQ(attr(tab9, TAB9_TEXTBOX_DESCRB, ATTR_TEXT_BGCOLOR), MakeColor(236, 233, 216));
    }
}

TEST_F(LinearTest, SettingsWithoutTheSectionChangeNothing) {
    std::snprintf(lins.linear_fileA, sizeof lins.linear_fileA, "%s", "/kept/a.txt");
    SetCtrlVal(tab9, TAB9_STRING_FILEA, "a.txt");
    auto s = store_from("[Directory history]\nLast = \"/tmp\"\n");
    EXPECT_EQ(linear_settings_load(s.get()), 0);
    EXPECT_STREQ(lins.linear_fileA, "/kept/a.txt");
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEA), "a.txt");
    EXPECT_EQ(linear_settings_load(nullptr), INI_ERR_NULL_ARG);
    EXPECT_EQ(linear_settings_store(nullptr), INI_ERR_NULL_ARG);
}

// Written and read back: the same paths, quotes and all, into a store that
// already holds other items of the section.
TEST_F(LinearTest, SettingsRoundTrip) {
    const std::string a = write_file("Quote\"d \\ Name.txt", "5\n");
    std::snprintf(lins.linear_fileA, sizeof lins.linear_fileA, "%s", a.c_str());
    lins.linear_fileB[0] = '\0';
    auto s = store_from("[Panel data]\nPanel ID string = \"x\"\n");
    ASSERT_EQ(linear_settings_store(s.get()), 0);
    const std::string written = ini_text(s.get());
    EXPECT_NE(written.find("Linearisation file chan. A"), std::string::npos) << written;
    EXPECT_NE(written.find("Linearisation file chan. B"), std::string::npos) << written;
    EXPECT_NE(written.find("Panel ID string"), std::string::npos) << written;

    lins = linear_state{};
    auto back = store_from(written);
    EXPECT_EQ(linear_settings_load(back.get()), 1);
    EXPECT_EQ(std::string(lins.linear_fileA), a);
    EXPECT_STREQ(lins.linear_fileB, "");
    EXPECT_EQ(text(tab9, TAB9_STRING_FILEB), "<default transfer curve>");
}

// A name that exists but is no readable file is kept, and the box says so.
TEST_F(LinearTest, SettingsKeepAnUnreadableFileAndSayIt) {
    auto s = store_from("[Panel data]\nLinearisation file chan. B = \"" + dir + "\"\n");
    EXPECT_EQ(linear_settings_load(s.get()), 1);
    EXPECT_EQ(std::string(lins.linear_fileB), dir);
    EXPECT_EQ(text(tab9, TAB9_TEXTBOX_DESCRB), "Could not open specified file!");
}
