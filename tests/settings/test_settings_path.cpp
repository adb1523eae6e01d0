// Where the program settings file is read and written: beside the executable
// while its folder can be written, else in the user's configuration folder.
#include "settings/settings_path.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string name = "KORMELAN-3 Zazed V4.04.ini";

class SettingsPath : public ::testing::Test {
  protected:
    std::string dir;
    void SetUp() override {
        char tmpl[] = "/tmp/settings_path_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        mkdir((dir + "/bin").c_str(), 0755);
    }
    void TearDown() override {
        const std::string cmd = "rm -rf '" + dir + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
    std::string bin() const { return dir + "/bin"; }
};

} // namespace

TEST_F(SettingsPath, WritableFolderKeepsTheFileBesideTheExecutable) {
    settings_paths p;
    ASSERT_EQ(settings_locate(bin().c_str(), 1, (dir + "/cfg").c_str(), dir.c_str(), &p), 0);
    EXPECT_EQ(std::string(p.write), bin() + "/" + name);
    EXPECT_EQ(std::string(p.read), p.write);
}

// Settings of an installed program were written nowhere and lost at every close.
TEST_F(SettingsPath, FolderThatCannotBeWrittenMovesTheFileToTheConfigFolder) {
    settings_paths p;
    const std::string cfg = dir + "/cfg";
    const std::string own = cfg + "/KORMELAN-3 Zazed/" + name;
    ASSERT_EQ(settings_locate(bin().c_str(), 0, cfg.c_str(), "/home/x", &p), 0);
    EXPECT_EQ(std::string(p.write), own);
    // First use: the file that came with the installation is read.
    EXPECT_EQ(std::string(p.read), bin() + "/" + name);

    mkdir((cfg).c_str(), 0755);
    mkdir((cfg + "/KORMELAN-3 Zazed").c_str(), 0755);
    std::ofstream(own) << "[Directory history]\n";
    ASSERT_EQ(settings_locate(bin().c_str(), 0, cfg.c_str(), "/home/x", &p), 0);
    EXPECT_EQ(std::string(p.read), own);
}

TEST_F(SettingsPath, ConfigFolderFollowsTheEnvironment) {
    settings_paths p;
    // No XDG_CONFIG_HOME, or a relative one: ~/.config.
    for (const char* config_home : {static_cast<const char*>(nullptr), "", "rel/cfg"}) {
        ASSERT_EQ(settings_locate(bin().c_str(), 0, config_home, "/home/u", &p), 0);
        EXPECT_EQ(std::string(p.write), "/home/u/.config/KORMELAN-3 Zazed/" + name);
    }
    // Nowhere else to go: beside the executable all the same.
    ASSERT_EQ(settings_locate(bin().c_str(), 0, nullptr, nullptr, &p), 0);
    EXPECT_EQ(std::string(p.write), bin() + "/" + name);
    // A path that does not fit is refused whole.
    const std::string deep(UI_MAX_PATH, 'd');
    EXPECT_LT(settings_locate(bin().c_str(), 0, ("/" + deep).c_str(), nullptr, &p), 0);
    EXPECT_STREQ(p.write, "");
    EXPECT_STREQ(p.read, "");
}

TEST_F(SettingsPath, WritableIsTriedNotJudged) {
    EXPECT_EQ(settings_dir_writable(bin().c_str()), 1);
    EXPECT_EQ(settings_dir_writable((dir + "/missing").c_str()), 0);
    EXPECT_EQ(settings_dir_writable(""), 0);
    EXPECT_EQ(settings_dir_writable("/proc/1"), 0);
    // The probe leaves nothing behind.
    EXPECT_EQ(std::system(("test -z \"$(ls -A '" + bin() + "')\"").c_str()), 0);
}

// A read-only mount stops even the administrator, whom permission bits do not.
TEST_F(SettingsPath, ReadOnlyMountIsNotWritable) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", bin().c_str(), "tmpfs", 0, "size=64k") != 0) {
            _exit(77);
        }
        std::ofstream(bin() + "/" + name) << "[Directory history]\n";
        if (mount(nullptr, bin().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) != 0) _exit(77);
        if (settings_dir_writable(bin().c_str()) != 0) _exit(1);
        settings_paths p;
        if (settings_locate(bin().c_str(), 0, (dir + "/cfg").c_str(), nullptr, &p) != 0) _exit(2);
        _exit(std::string(p.read) == bin() + "/" + name && std::string(p.write) != p.read ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot mount a file system here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: counted writable, 2: no paths, 3: wrong paths";
}
