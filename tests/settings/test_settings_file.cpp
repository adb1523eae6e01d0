// The program settings file on the program's real panels (offscreen): what is
// written in which order, what loading restores, and where the file goes.
#include "tests/settings/settings_fixture.h"

#include "connect/connect_panel.h"
#include "linear/linear_info.h"
#include "params/para_gui.h"
#include "settings/settings_file.h"
#include "settings/settings_path.h"
#include "support/inifile.h"
#include "tests/support/file_limit.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <fstream>
#include <iterator>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class SettingsFile : public SettingsTest {
  protected:
    std::string dir;
    void SetUp() override {
        SettingsTest::SetUp();
        char tmpl[] = "/tmp/settings_file_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        last_directory[0] = 0;
        lins.linear_fileA[0] = lins.linear_fileB[0] = 0;
    }
    void TearDown() override {
        last_directory[0] = 0;
        panel_id[0] = 0;
        lins.linear_fileA[0] = lins.linear_fileB[0] = 0;
        const std::string cmd = "rm -rf '" + dir + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
        SettingsTest::TearDown();
    }
    std::string path(const std::string& name) const { return dir + "/" + name; }
    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
        return path(name);
    }
    static std::string read(const std::string& p) {
        std::ifstream f(p, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return s.str();
    }
    static std::vector<std::string> list(int ctrl) {
        int n = 0;
        GetNumListItems(tab1, ctrl, &n);
        std::vector<std::string> out;
        for (int i = 0; i < n; i++) {
            char label[128] = "";
            GetLabelFromIndex(tab1, ctrl, i, label, sizeof label);
            out.emplace_back(label);
        }
        return out;
    }
    // Section names and item tags of a written file, in order.
    static std::vector<std::string> lines_starting(const std::string& text, char first) {
        std::vector<std::string> out;
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.empty() && (first == 0 ? line[0] != '[' : line[0] == first)) out.push_back(line);
        }
        return out;
    }
};

para_record with_conditions() {
    para_record r{};
    r.counter_condA = {{0x0002, 0x0040, 0}};
    r.osci_condB = {{0x0010, 0, 0}};
    r.timerA = 5;
    r.timer_condA = {{0x0001, 0, 0}};
    return r;
}

} // namespace

// ---- loading -------------------------------------------------------------------------------------

TEST_F(SettingsFile, TenPortKeysRestorePortOneToEight) {
    std::string file = "[RS232 connection data]\nBaudrate = 57600\n";
    for (int i = 1; i <= 10; i++)
        file += "Port " + std::to_string(i) + " = \"COM" + std::to_string(10 + i) + "\"\n";
    ASSERT_EQ(load_scope_para(write("s.ini", file).c_str()), 0);
    const std::vector<std::string> ports = list(TAB1_COMB_SELPORT);
    ASSERT_EQ(ports.size(), 8u);
    EXPECT_EQ(ports.front(), "COM11");
    EXPECT_EQ(ports.back(), "COM18");
    EXPECT_EQ(text(tab1, TAB1_COMB_SELPORT), "COM11");
}

// Keys are looked up by number up to the item count minus one.
TEST_F(SettingsFile, PortKeysWithAGapRestoreOnlyTheFirst) {
    ASSERT_EQ(
        load_scope_para(
            write("s.ini", "[RS232 connection data]\nBaudrate = 9600\nPort 1 = \"COM4\"\nPort 3 = \"COM6\"\n")
                .c_str()),
        0);
    EXPECT_EQ(list(TAB1_COMB_SELPORT), std::vector<std::string>{"COM4"});
}

TEST_F(SettingsFile, WithoutLastTheDialogsStartInTheSettingsFolder) {
    ASSERT_EQ(load_scope_para(write("s.ini", "[Panel data]\nPanel ID string = \"P\"\n").c_str()), 0);
    EXPECT_EQ(std::string(last_directory), dir + "/");
    ASSERT_EQ(load_scope_para(write("t.ini", "[Directory history]\nLast = \"/data/runs/\"\n").c_str()), 0);
    EXPECT_STREQ(last_directory, "/data/runs/");
}

TEST_F(SettingsFile, VanishedLinearisationFileIsDroppedSilently) {
    const std::string kept = write("lin_a.dat", "0 0\n4095 4095\n");
    ASSERT_EQ(
        load_scope_para(write("s.ini", "[Panel data]\nLinearisation file chan. A = \"" + kept +
                                           "\"\nLinearisation file chan. B = \"" + dir + "/gone.dat\"\n")
                            .c_str()),
        0);
    EXPECT_EQ(std::string(lins.linear_fileA), kept);
    EXPECT_STREQ(lins.linear_fileB, "");
    EXPECT_TRUE(popups.empty());
}

// Files written before the parameter set was kept here have none of its sections,
// and reading sections of a set rebuilds every condition from its bits: the
// conditions of the set in use must not be cleared at start-up.
TEST_F(SettingsFile, FileWithoutTheParameterSetKeepsTheConditionsInUse) {
    paras.para_pc = with_conditions();
    ASSERT_EQ(load_scope_para(write("old.ini", "[Panel data]\nMain - Left = 10\n").c_str()), 0);
    EXPECT_EQ(paras.para_pc.counter_condA.evnt[1], 0x0040);
    // A stray section of a set, without the set's first one, is not a set either.
    ASSERT_EQ(
        load_scope_para(write("stray.ini", "[Panel data]\nMain - Left = 10\n\n[ChanA Counter condition]\n"
                                           "Register 0 Bit 0 = 1\n")
                            .c_str()),
        0);
    EXPECT_EQ(paras.para_pc.counter_condA.evnt[0], 0x0002);
    EXPECT_EQ(paras.para_pc.counter_condA.evnt[1], 0x0040);
    EXPECT_EQ(paras.para_pc.timer_condA.evnt[0], 0x0001);
    EXPECT_EQ(paras.para_pc.osci_condB.evnt[0], 0x0010);
}

TEST_F(SettingsFile, ParameterSetComesBackAndIsShown) {
    paras.para_pc = with_conditions();
    paras.para_pc.osci_skipA = 3;
    paras.para_pc.osci_skipB = 3;
    paras.para_pc.osci_pretrigA = 400;
    SetCtrlVal(tab6, TAB6_RING_MODEA, 0);
    const std::string p = path("s.ini");
    ASSERT_EQ(store_scope_para(p.c_str()), 0);
    const para_record written = paras.para_pc;
    paras.para_pc = para_record{};
    SetCtrlVal(tab6, TAB6_NUMS_PRETRIGA, 0);
    ASSERT_EQ(load_scope_para(p.c_str()), 0);
    EXPECT_EQ(paras.para_pc.osci_pretrigA, 400);
    EXPECT_EQ(paras.para_pc.counter_condA.evnt[1], written.counter_condA.evnt[1]);
    EXPECT_EQ(paras.para_pc.timerA, 5);
    int shown = 0;
    GetCtrlVal(tab6, TAB6_NUMS_PRETRIGA, &shown);
    EXPECT_EQ(shown, 400);
}

// ---- writing -------------------------------------------------------------------------------------

// The old file used to be read first and only the program's items replaced: a
// file with [Serial devices] at the top kept it there, and new sections went last.
TEST_F(SettingsFile, SectionsInTheirOrderThenWhatOthersKeep) {
    const std::string p = write(
        "s.ini", "[Serial devices]\nCOM7 = \"/tmp/ttyK3\"\n\n[Panel data]\nPanel ID string = \"old\"\n\n"
                 "[Notes]\nx = 1\n");
    snprintf(last_directory, sizeof last_directory, "%s", "/data/");
    snprintf(panel_id, sizeof panel_id, "%s", "S7");
    ASSERT_EQ(store_scope_para(p.c_str()), 0);
    const std::string text = read(p);
    const std::vector<std::string> sections = lines_starting(text, '[');
    ASSERT_EQ(sections.size(), 4u + 100u + 2u);
    EXPECT_EQ(sections[0], "[Directory history]");
    EXPECT_EQ(sections[1], "[RS232 connection data]");
    EXPECT_EQ(sections[2], "[TCP/IP connection data]");
    EXPECT_EQ(sections[3], "[Panel data]");
    EXPECT_EQ(sections[4], "[ChanA Power]");
    EXPECT_EQ(sections[104], "[Serial devices]");
    EXPECT_EQ(sections[105], "[Notes]");

    const size_t at = text.find("[Panel data]");
    const std::vector<std::string> items =
        lines_starting(text.substr(at, text.find("[ChanA Power]") - at), 0);
    const char* const tags[] = {"Main - Fullscreen",
                                "Main - Left",
                                "Main - Top",
                                "Main - Width",
                                "Main - Height",
                                "Osci - Fullscreen",
                                "Osci - Left",
                                "Osci - Top",
                                "Osci - Width",
                                "Osci - Height",
                                "Panel ID string",
                                "Linearisation file chan. A",
                                "Linearisation file chan. B"};
    ASSERT_EQ(items.size(), std::size(tags));
    for (size_t i = 0; i < items.size(); i++)
        EXPECT_EQ(items[i].rfind(std::string(tags[i]) + " = ", 0), 0u) << items[i];
    EXPECT_NE(text.find("Last = \"/data/\""), std::string::npos);
    EXPECT_NE(text.find("Panel ID string = \"S7\""), std::string::npos);
    EXPECT_NE(text.find("COM7 = \"/tmp/ttyK3\""), std::string::npos);
    // No limit records in the parameter set.
    EXPECT_EQ(text.find("Max. value"), std::string::npos);
}

// An installed program's folder cannot be written: the file that came with it is
// read on the first start, and the settings go to the user's folder from then on.
TEST_F(SettingsFile, InstalledProgramKeepsItsSettingsInTheConfigFolder) {
    mkdir(path("bin").c_str(), 0755);
    char beside[UI_MAX_PATH];
    ASSERT_EQ(settings_file_in(path("bin").c_str(), beside), 0);
    write("bin/KORMELAN-3 Zazed V4.04.ini", "[Panel data]\nPanel ID string = \"shipped\"\n");

    settings_paths where;
    ASSERT_EQ(settings_locate(path("bin").c_str(), 0, path("cfg").c_str(), nullptr, &where), 0);
    EXPECT_STREQ(where.read, beside);
    ASSERT_EQ(load_scope_para(where.read), 0);
    EXPECT_STREQ(panel_id, "shipped");

    snprintf(panel_id, sizeof panel_id, "%s", "mine");
    ASSERT_EQ(store_scope_para(where.write), 0) << "its folder is made";
    EXPECT_EQ(read(beside), "[Panel data]\nPanel ID string = \"shipped\"\n");

    ASSERT_EQ(settings_locate(path("bin").c_str(), 0, path("cfg").c_str(), nullptr, &where), 0);
    EXPECT_EQ(std::string(where.read), path("cfg/KORMELAN-3 Zazed/KORMELAN-3 Zazed V4.04.ini"));
    panel_id[0] = 0;
    ASSERT_EQ(load_scope_para(where.read), 0);
    EXPECT_STREQ(panel_id, "mine");
}

// The serial devices an administrator named in the copy beside the installed
// program were read on the first run, then lost at its close: the first write in
// the user's folder found no file there to take them from.
TEST_F(SettingsFile, FirstWriteInTheConfigFolderKeepsTheShippedSerialDevices) {
    mkdir(path("bin").c_str(), 0755);
    write("bin/KORMELAN-3 Zazed V4.04.ini", "[Serial devices]\nCOM7 = \"/dev/ttyUSB3\"\n");
    settings_paths where;
    ASSERT_EQ(settings_locate(path("bin").c_str(), 0, path("cfg").c_str(), nullptr, &where), 0);
    ASSERT_EQ(load_scope_para(where.read), 0);
    ASSERT_EQ(store_scope_para(where.write), 0);
    EXPECT_NE(read(where.write).find("COM7 = \"/dev/ttyUSB3\""), std::string::npos) << read(where.write);
}

// Only the program's own folder in the configuration folder is made; a settings
// path whose folder is gone fails, and the close reports it.
TEST_F(SettingsFile, OtherMissingFoldersAreNotMade) {
    EXPECT_LT(store_scope_para(path("gone/s.ini").c_str()), 0);
    struct stat st;
    EXPECT_NE(stat(path("gone").c_str(), &st), 0);
}

// ---- writing under failure ----------------------------------------------------------------------

// A settings file above the store's size cap was read as nothing and written
// over: the [Serial devices] a user wrote by hand were gone. It is now left as
// it is, and the close reports that the settings were not written.
TEST_F(SettingsFile, OldFileThatCannotBeReadIsNotWrittenOver) {
    std::string text = "[Serial devices]\nCOM7 = \"/dev/ttyUSB3\"\n\n[Notes]\n";
    const std::string line = "; " + std::string(100, 'n') + "\n";
    while (text.size() <= static_cast<size_t>(INI_MAX_FILE_BYTES)) text += line;
    const std::string p = write("big.ini", text);
    snprintf(panel_id, sizeof panel_id, "%s", "S7");
    EXPECT_LT(store_scope_para(p.c_str()), 0);
    EXPECT_TRUE(read(p) == text) << "the old file changed";
    // A file that is not there is no loss: the first write makes it.
    EXPECT_EQ(store_scope_para(path("new.ini").c_str()), 0);
}

// The disk filling up during the write at close: reported, and the old file,
// what others keep in it included, stays whole, with nothing left beside it.
TEST_F(SettingsFile, FullDiskAtTheSaveIsReportedAndKeepsTheOldFile) {
    const std::string old = "[Serial devices]\nCOM7 = \"/dev/ttyUSB3\"\n";
    const std::string p = write("s.ini", old);
    snprintf(panel_id, sizeof panel_id, "%s", "S7");
    {
        scoped_file_limit full(2048);
        ASSERT_TRUE(full.ok());
        EXPECT_LT(store_scope_para(p.c_str()), 0);
    }
    EXPECT_EQ(read(p), old);
    int entries = 0;
    DIR* d = opendir(dir.c_str());
    while (dirent* e = d ? readdir(d) : nullptr) entries += e->d_name[0] != '.';
    if (d) closedir(d);
    EXPECT_EQ(entries, 1);
    ASSERT_EQ(store_scope_para(p.c_str()), 0);
    EXPECT_NE(read(p).find("COM7 = \"/dev/ttyUSB3\""), std::string::npos);
}

// The same on a real full disk: a 4 KiB tmpfs in a private mount namespace of
// a child process. Needs the right to mount; shown as skipped otherwise.
TEST_F(SettingsFile, FullTmpfsAtTheSaveIsReportedAndKeepsTheOldFile) {
    snprintf(panel_id, sizeof panel_id, "%s", "S7");
    std::fflush(nullptr);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=4k") != 0)
            _exit(77);
        const std::string old = "[Serial devices]\nCOM7 = \"/dev/ttyUSB3\"\n";
        const std::string p = write("s.ini", old);
        if (store_scope_para(p.c_str()) >= 0) _exit(1);
        if (read(p) != old) _exit(2);
        DIR* d = opendir(dir.c_str());
        int entries = 0;
        while (dirent* e = d ? readdir(d) : nullptr) entries += e->d_name[0] != '.';
        if (d) closedir(d);
        _exit(entries != 1 ? 3 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 77) GTEST_SKIP() << "cannot mount a small file system here";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: success reported, 2: old file changed, 3: files left behind";
}
