// What a user gets from `cmake --install` and from the Debian package: the files in
// their places, a program that starts from an installed, read-only folder and keeps
// its settings in the user's configuration folder, and a package whose dependencies
// name the Qt 6 libraries.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char version_text[] = "KORMELAN-3 Zazed V4.04\n";
const char settings_name[] = "KORMELAN-3 Zazed V4.04.ini";

std::string read_file(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

struct result {
    int code = -1;
    std::string out, err;
};

// Runs a program with extra environment entries, its output caught in files (no pipe
// can fill up). With `plain_user` a test running as root runs it as nobody, for whom
// permissions hold.
result run(const std::vector<std::string>& args, const std::vector<std::string>& env = {},
           bool plain_user = false) {
    char tmpl[] = "/tmp/zazed_run_XXXXXX";
    const int out_fd = mkstemp(tmpl);
    const std::string out_path = tmpl;
    char tmpl2[] = "/tmp/zazed_run_XXXXXX";
    const int err_fd = mkstemp(tmpl2);
    const std::string err_path = tmpl2;
    const passwd* nobody = getpwnam("nobody");
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out_fd, 1);
        dup2(err_fd, 2);
        if (plain_user && getuid() == 0 &&
            (!nobody || setgroups(0, nullptr) != 0 || setgid(nobody->pw_gid) != 0 ||
             setuid(nobody->pw_uid) != 0))
            _exit(126);
        for (const std::string& e : env) putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(out_fd);
    close(err_fd);
    result r;
    int status = 0;
    waitpid(pid, &status, 0);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = read_file(out_path);
    r.err = read_file(err_path);
    fs::remove(out_path);
    fs::remove(err_path);
    return r;
}

std::string temp_dir() {
    char tmpl[] = "/tmp/zazed_install_XXXXXX";
    if (!mkdtemp(tmpl)) return "";
    // The plain user the read-only runs use must reach what lies below.
    chmod(tmpl, 0755);
    return tmpl;
}

bool on_path(const std::string& program) {
    const char* path = getenv("PATH");
    std::stringstream dirs(path ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty() && access((fs::path(dir) / program).c_str(), X_OK) == 0) return true;
    return false;
}

// Every file below `root`, as paths relative to it.
std::set<std::string> files_below(const fs::path& root) {
    std::set<std::string> out;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(root))
        if (!e.is_directory()) out.insert(fs::relative(e.path(), root).string());
    return out;
}

// Width and height from a PNG file's header chunk.
std::pair<int, int> png_size(const fs::path& p) {
    const std::string s = read_file(p);
    if (s.size() < 24 || s.compare(1, 3, "PNG") != 0) return {0, 0};
    auto be32 = [&](size_t at) {
        return (static_cast<unsigned char>(s[at]) << 24) | (static_cast<unsigned char>(s[at + 1]) << 16) |
               (static_cast<unsigned char>(s[at + 2]) << 8) | static_cast<unsigned char>(s[at + 3]);
    };
    return {be32(16), be32(20)};
}

// A test as root needs the user nobody to see permissions hold.
bool plain_user_available() {
    return getuid() != 0 || getpwnam("nobody") != nullptr;
}

uintmax_t bytes_below(const fs::path& root) {
    uintmax_t n = 0;
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(root))
        if (e.is_regular_file()) n += e.file_size();
    return n;
}

// The tree `cmake --install` made under DESTDIR, once for the whole suite.
class Installed : public ::testing::Test {
  protected:
    static inline std::string top;
    static inline fs::path usr;
    static inline result install;

    static void SetUpTestSuite() {
        top = temp_dir();
        usr = fs::path(top) / "root/usr";
        install = run({ZAZED_CMAKE, "--install", ZAZED_BUILD_DIR, "--prefix", "/usr", "--strip"},
                      {"DESTDIR=" + top + "/root"});
    }
    static void TearDownTestSuite() {
        chmod(usr.c_str(), 0755);
        chmod((usr / "bin").c_str(), 0755);
        fs::remove_all(top);
    }
    void SetUp() override {
        ASSERT_FALSE(top.empty());
        ASSERT_EQ(install.code, 0) << install.out << install.err;
    }

    // The installed program started offscreen as the plain user, with its
    // configuration folder below `config`.
    static result zazed(const std::vector<std::string>& args, const std::string& config) {
        std::vector<std::string> argv = {(usr / "bin/zazed").string()};
        argv.insert(argv.end(), args.begin(), args.end());
        return run(argv, {"QT_QPA_PLATFORM=offscreen", "XDG_CONFIG_HOME=" + config, "HOME=" + config}, true);
    }
    // A folder the plain user may write to.
    static std::string writable(const std::string& name) {
        const fs::path p = fs::path(top) / name;
        fs::create_directories(p);
        chmod(p.c_str(), 0777);
        return p.string();
    }
};

} // namespace

// ---- The installed tree ---------------------------------------------------------------------------

TEST_F(Installed, HoldsTheProgramsTheEntryAndTheIconsOnly) {
    // Nothing the program writes at run time (its settings file above all) is among them.
    const std::set<std::string> want = {"bin/kormelan3-sim",
                                        "bin/zazed",
                                        "bin/zazed-batch",
                                        "share/applications/zazed.desktop",
                                        "share/icons/hicolor/128x128/apps/zazed.png",
                                        "share/icons/hicolor/256x256/apps/zazed.png",
                                        "share/icons/hicolor/48x48/apps/zazed.png",
                                        "share/icons/hicolor/scalable/apps/zazed.svg"};
    EXPECT_EQ(files_below(usr), want);
    for (int size : {48, 128, 256}) {
        const std::string dir = std::to_string(size) + "x" + std::to_string(size);
        EXPECT_EQ(png_size(usr / "share/icons/hicolor" / dir / "apps/zazed.png"), std::make_pair(size, size));
    }
    const std::string entry = read_file(usr / "share/applications/zazed.desktop");
    for (const char* line : {"\nName=KORMELAN-3 Zazed\n", "\nExec=zazed\n", "\nIcon=zazed\n",
                             "\nCategories=Development;Electronics;\n"})
        EXPECT_NE(entry.find(line), std::string::npos) << line;
}

TEST_F(Installed, DesktopEntryValidates) {
    if (!on_path("desktop-file-validate")) GTEST_SKIP() << "desktop-file-validate is not installed";
    const result r = run({"desktop-file-validate", (usr / "share/applications/zazed.desktop").string()});
    EXPECT_EQ(r.code, 0) << r.out << r.err;
    EXPECT_EQ(r.out + r.err, "");
}

TEST_F(Installed, SmallWithoutQt) {
    EXPECT_LE(bytes_below(usr), 10u * 1024 * 1024);
}

// ---- Command line ------------------------------------------------------------------------------------

TEST_F(Installed, VersionHelpAndUnknownOptions) {
    const result version = run({(usr / "bin/zazed").string(), "--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, version_text);
    EXPECT_EQ(version.err, "");

    const std::string usage = "usage: zazed [--demo] [--script FILE|-] [--help]\n"
                              "  --demo         attach a simulated control unit over TCP loopback\n"
                              "  --script FILE  run the commands of FILE (- : standard input), then close\n"
                              "  --help         this text\n";
    const result help = run({(usr / "bin/zazed").string(), "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.out, usage);

    const result unknown = run({(usr / "bin/zazed").string(), "--colour"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "zazed: unknown option '--colour'\n" + usage);

    for (const char* tool : {"kormelan3-sim", "zazed-batch"}) {
        const result r = run({(usr / "bin" / tool).string(), "--help"});
        EXPECT_EQ(r.code, 0) << tool;
        EXPECT_NE(r.out.find("--tcp"), std::string::npos) << tool << ": " << r.out;
    }
}

// ---- Running from the installed, read-only folder ---------------------------------------------------------

TEST_F(Installed, DemoRunsFromReadOnlyBinWithSettingsInTheConfigFolder) {
    if (!plain_user_available()) GTEST_SKIP() << "running as root and there is no user nobody";
    const std::string out = writable("demo-out");
    const std::string config = writable("config");
    std::string script = read_file(ZAZED_DEMO_SCRIPT);
    for (size_t at; (at = script.find("OUT/")) != std::string::npos;) script.replace(at, 4, out + "/");
    const fs::path script_path = fs::path(top) / "demo.zs";
    std::ofstream(script_path) << script;
    chmod(script_path.c_str(), 0644);

    ASSERT_EQ(chmod((usr / "bin").c_str(), 0555), 0);
    const std::set<std::string> before = files_below(usr / "bin");
    const result r = zazed({"--demo", "--script", script_path.string()}, config);
    chmod((usr / "bin").c_str(), 0755);
    ASSERT_EQ(r.code, 0) << r.out << r.err;

    EXPECT_EQ(files_below(usr / "bin"), before);
    const fs::path settings = fs::path(config) / "KORMELAN-3 Zazed" / settings_name;
    EXPECT_TRUE(fs::exists(settings)) << settings;
    EXPECT_TRUE(fs::exists(fs::path(out) / "recording.csv"));
    EXPECT_TRUE(fs::exists(fs::path(out) / "10-run.png"));
}

TEST_F(Installed, FirstRunTakesTheSettingsBesideTheExecutable) {
    // An administrator's copy beside the installed program names the COM devices;
    // a user's first run starts from it and keeps it in the user's folder.
    if (!plain_user_available()) GTEST_SKIP() << "running as root and there is no user nobody";
    const std::string config = writable("config-first");
    const fs::path shipped = usr / "bin" / settings_name;
    std::ofstream(shipped) << "[Serial devices]\nCOM7 = \"/dev/ttyUSB3\"\n";
    chmod(shipped.c_str(), 0644);
    const fs::path script_path = fs::path(top) / "close.zs";
    std::ofstream(script_path) << "close\n";
    chmod(script_path.c_str(), 0644);

    ASSERT_EQ(chmod((usr / "bin").c_str(), 0555), 0);
    const result r = zazed({"--script", script_path.string()}, config);
    chmod((usr / "bin").c_str(), 0755);
    fs::remove(shipped);
    ASSERT_EQ(r.code, 0) << r.out << r.err;

    const std::string kept = read_file(fs::path(config) / "KORMELAN-3 Zazed" / settings_name);
    EXPECT_NE(kept.find("/dev/ttyUSB3"), std::string::npos) << kept;
}

// ---- The Debian package
// ------------------------------------------------------------------------------------

TEST(Package, DependsOnQt6AndRunsFromItsFiles) {
    const std::string top = temp_dir();
    ASSERT_FALSE(top.empty());
    const result pack =
        run({ZAZED_CPACK, "-G", "DEB", "--config", ZAZED_BUILD_DIR "/CPackConfig.cmake", "-B", top});
    ASSERT_EQ(pack.code, 0) << pack.out << pack.err;
    std::string deb;
    for (const fs::directory_entry& e : fs::directory_iterator(top))
        if (e.path().extension() == ".deb") deb = e.path().string();
    ASSERT_FALSE(deb.empty()) << pack.out;
    EXPECT_EQ(fs::path(deb).filename().string().rfind("zazed_4.04_", 0), 0u) << deb;

    const result fields = run({"dpkg-deb", "-f", deb, "Package", "Version", "Depends", "Installed-Size"});
    ASSERT_EQ(fields.code, 0) << fields.err;
    EXPECT_NE(fields.out.find("Package: zazed\n"), std::string::npos) << fields.out;
    EXPECT_NE(fields.out.find("Version: 4.04\n"), std::string::npos) << fields.out;
    for (const char* lib :
         {"libqt6core6", "libqt6gui6", "libqt6widgets6", "libqt6network6", "libqt6serialport6"})
        EXPECT_NE(fields.out.find(lib), std::string::npos) << lib << " missing in\n" << fields.out;
    const size_t at = fields.out.find("Installed-Size: ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_LE(std::stol(fields.out.substr(at + 16)), 10L * 1024) << "KiB";

    const fs::path root = fs::path(top) / "root";
    ASSERT_EQ(run({"dpkg-deb", "-x", deb, root.string()}).code, 0);
    const result version = run({(root / "usr/bin/zazed").string(), "--version"});
    EXPECT_EQ(version.code, 0) << version.err;
    EXPECT_EQ(version.out, version_text);
    fs::remove_all(top);
}
