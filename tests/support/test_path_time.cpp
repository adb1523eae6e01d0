// Time, date and path helpers (no toolkit).
#include "support/path_time.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <unistd.h>

// ---- paths ----------------------------------------------------------------------------------

TEST(UiPaths, MakePathnameJoinsWithOneSeparator) {
    char out[UI_MAX_PATH];
    ASSERT_EQ(MakePathname("/opt/zazed", "KORMELAN-3 Zazed V4.04", out), 0);
    EXPECT_STREQ(out, "/opt/zazed/KORMELAN-3 Zazed V4.04"); // blanks kept
    MakePathname("/opt/zazed/", "/x.ini", out);
    EXPECT_STREQ(out, "/opt/zazed/x.ini");
    MakePathname("/", "x.ini", out);
    EXPECT_STREQ(out, "/x.ini");
    MakePathname("", "x.ini", out);
    EXPECT_STREQ(out, "x.ini");
}

// Paths were held in 260 bytes, so a longer one could not be joined at all.
TEST(UiPaths, MakePathnameTakesPathsUpToTheSystemsLimitAndRefusesLonger) {
    const std::string file = "0123456789.ini";
    std::string dir(300, 'd');
    char out[UI_MAX_PATH] = "stale";
    ASSERT_EQ(MakePathname(dir.c_str(), file.c_str(), out), 0);
    EXPECT_EQ(std::string(out), dir + "/" + file);
    dir.assign(UI_MAX_PATH - file.size() - 2, 'd'); // the joined path takes every byte
    ASSERT_EQ(MakePathname(dir.c_str(), file.c_str(), out), 0);
    EXPECT_EQ(strlen(out), static_cast<size_t>(UI_MAX_PATH - 1));
    dir += 'd';
    EXPECT_LT(MakePathname(dir.c_str(), file.c_str(), out), 0);
    EXPECT_STREQ(out, ""); // refused whole, never cut
}

TEST(UiPaths, SplitPathKeepsTheTrailingSeparatorOnTheDirectory) {
    char drive[UI_MAX_PATH], dir[UI_MAX_PATH], file[UI_MAX_PATH];
    ASSERT_EQ(SplitPath("/home/u/para.ini", drive, dir, file), 0);
    EXPECT_STREQ(drive, "");
    EXPECT_STREQ(dir, "/home/u/");
    EXPECT_STREQ(file, "para.ini");
    SplitPath("para.ini", nullptr, dir, file);
    EXPECT_STREQ(dir, "");
    EXPECT_STREQ(file, "para.ini");
    SplitPath("/home/u/", nullptr, dir, file);
    EXPECT_STREQ(dir, "/home/u/");
    EXPECT_STREQ(file, "");
    const std::string deep = "/" + std::string(400, 'd') + "/";
    ASSERT_EQ(SplitPath((deep + "para.ini").c_str(), nullptr, dir, file), 0);
    EXPECT_EQ(std::string(dir), deep);
    EXPECT_STREQ(file, "para.ini");
    const std::string too_long(UI_MAX_PATH, 'f');
    EXPECT_LT(SplitPath(too_long.c_str(), nullptr, dir, file), 0);
    EXPECT_STREQ(file, "");
}

TEST(UiPaths, ProjectDirIsTheExecutablesDirectory) {
    char dir[UI_MAX_PATH], exe[4096] = {};
    ASSERT_EQ(GetProjectDir(dir), 0);
    ASSERT_GT(readlink("/proc/self/exe", exe, sizeof exe - 1), 0);
    std::string e(exe);
    EXPECT_EQ(std::string(dir), e.substr(0, e.rfind('/')));
}

// ---- time and date -------------------------------------------------------------------------------

TEST(UiTime, DateAndTimeTextsHaveTheirFixedShape) {
    EXPECT_TRUE(std::regex_match(DateStr(), std::regex("(0[1-9]|1[0-2])-[0-3][0-9]-[0-9]{4}")));
    EXPECT_TRUE(std::regex_match(TimeStr(), std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]")));
}

TEST(UiTime, TimerIsMonotonicSeconds) {
    double t0 = Timer();
    usleep(20000);
    double t1 = Timer();
    EXPECT_GE(t1 - t0, 0.019);
    EXPECT_LT(t1 - t0, 1.0);
}
