// Time, date and path helpers (no toolkit).
#include "support/ui_util.h"

#include <gtest/gtest.h>

#include <cstring>
#include <regex>
#include <string>
#include <unistd.h>

// ---- paths ----------------------------------------------------------------------------------

TEST(UiPaths, MakePathnameJoinsWithOneSeparator) {
    char out[260];
    ASSERT_EQ(MakePathname("/opt/zazed", "KORMELAN-3 Zazed V4.04", out), 0);
    EXPECT_STREQ(out, "/opt/zazed/KORMELAN-3 Zazed V4.04"); // blanks kept
    MakePathname("/opt/zazed/", "/x.ini", out);
    EXPECT_STREQ(out, "/opt/zazed/x.ini");
    MakePathname("/", "x.ini", out);
    EXPECT_STREQ(out, "/x.ini");
    MakePathname("", "x.ini", out);
    EXPECT_STREQ(out, "x.ini");
}

TEST(UiPaths, MakePathnameRefusesWhatDoesNotFit) {
    std::string dir(250, 'd');
    char out[260] = "stale";
    EXPECT_LT(MakePathname(dir.c_str(), "0123456789.ini", out), 0);
    EXPECT_STREQ(out, "");
}

TEST(UiPaths, SplitPathKeepsTheTrailingSeparatorOnTheDirectory) {
    char drive[260], dir[260], file[260];
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
}

TEST(UiPaths, ProjectDirIsTheExecutablesDirectory) {
    char dir[260], exe[4096] = {};
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
