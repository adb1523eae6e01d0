// The include rule on a small tree made here (so the checker is seen to find
// each kind of breach) and on the program's own source folders.
#include "layering.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// The program's layers, lowest first. A feature folder may include a lower
// feature; an upper one is reached through a hooks record the lower one
// declares and app/ fills at start-up.
layer_rules program_rules() {
    layer_rules r;
    r.layers = {"support", "ui",      "link", "params",   "recorder", "run",
                "linear",  "connect", "osci", "settings", "help",     "app"};
    r.beside = {
        // The simulated unit shares the frame codec, the order table and the
        // parameter record with the program; only the demo mode starts it.
        {"sim", {"support", "link/frame.h", "link/orders.h", "params/para_record.h"}, {"app"}},
        // The panel layouts are data the program embeds.
        {"resources", {"ui"}, {"app"}},
        // The batch tool stands at the top beside app/: it uses the layers under
        // the panels and nothing includes it. Not the user-interface layer: it
        // runs without a display.
        {"batch", {"support", "link", "params", "recorder", "run", "linear", "connect"}, {}},
    };
    r.skipped = {"tests", "bench", "fuzz", "tools", "build", "build-asan", "build-fuzz", "demo-out"};
    r.widgets_layer = "ui";
    const std::string dir = ZAZED_QTWIDGETS_DIR;
    if (!dir.empty() && fs::is_directory(dir))
        for (const fs::directory_entry& e : fs::directory_iterator(dir))
            if (e.path().extension().empty()) r.widget_headers.push_back(e.path().filename().string());
    return r;
}

class SmallTree : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/zazed_layers_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        root = tmpl;
        rules.layers = {"low", "mid", "top"};
        rules.beside = {{"side", {"low", "mid/open.h"}, {"top"}}, {"p", {"q"}, {"q"}}, {"q", {"p"}, {"p"}}};
        rules.skipped = {"tests"};
        rules.widgets_layer = "low";
        rules.widget_headers = {"QLabel"};
    }
    void TearDown() override { fs::remove_all(root); }
    void put(const std::string& name, const std::string& text) {
        fs::create_directories((root / name).parent_path());
        std::ofstream(root / name) << text;
    }
    fs::path root;
    layer_rules rules;
};

} // namespace

TEST_F(SmallTree, EveryKindOfBreachIsNamedWithFileAndLine) {
    put("low/a.h", "#pragma once\n#include <QLabel>\n#include <vector>\n");
    put("low/a.cpp", "#include \"low/a.h\"\n#include \"mid/m.h\"\n");
    put("mid/m.h", "#pragma once\n#include \"low/a.h\"\n#include \"side/s.h\"\n#include <QLabel>\n");
    put("mid/open.h", "#pragma once\n");
    put("top/t.cpp",
        "#include \"mid/m.h\"\n#include \"side/s.h\"\n#include \"m.h\"\n#include <QtWidgets/QWidget>\n");
    put("side/s.h", "#include \"low/a.h\"\n#include \"mid/open.h\"\n#include \"mid/m.h\"\n");
    put("p/p.h", "#include \"q/q.h\"\n");
    put("q/q.h", "#include \"p/p.h\"\n");
    put("extra/e.cpp", "int e;\n");
    put("tests/t.cpp", "#include \"top/t.h\"\n");
    const std::string report = layer_report(check_includes(root, rules));
    EXPECT_EQ(report,
              "extra:0: folder extra holds code but is not in the layer table\n"
              "low/a.cpp:2: includes \"mid/m.h\": mid is above low (layers: low < mid < top)\n"
              "mid/m.h:3: includes \"side/s.h\": side stands beside the layers and is used only by top\n"
              "mid/m.h:4: includes <QLabel>: only low includes Qt Widgets\n"
              "side/s.h:3: includes \"mid/m.h\": side uses only low, mid/open.h\n"
              "top/t.cpp:3: includes \"m.h\" without its folder\n"
              "top/t.cpp:4: includes <QtWidgets/QWidget>: only low includes Qt Widgets\n"
              "low/a.cpp:2: folders include each other in a cycle: low, mid, side (low -> mid here)\n"
              "p/p.h:1: folders include each other in a cycle: p, q (p -> q here)\n");
}

TEST_F(SmallTree, AGoodTreePasses) {
    put("low/a.h", "#pragma once\n#include <QLabel>\n");
    put("mid/m.cpp", "#include \"low/a.h\"\n#include \"mid/open.h\"\n");
    put("mid/open.h", "#pragma once\n");
    put("side/s.cpp", "#include \"low/a.h\"\n#include \"mid/open.h\"\n");
    put("top/t.cpp", "#include \"mid/open.h\"\n#include \"side/s.h\"\n#include <vector>\n");
    put("low/CMakeLists.txt", "add_library(lowlib STATIC a.cpp)\n");
    put("mid/CMakeLists.txt",
        "add_library(midlib STATIC m.cpp)\ntarget_link_libraries(midlib PUBLIC lowlib Qt6::Core)\n");
    EXPECT_EQ(layer_report(check_includes(root, rules)), "");
    EXPECT_EQ(layer_report(check_libraries(root, rules)), "");
}

TEST_F(SmallTree, LibrariesLinkOnlyDownwardAndWithoutCycles) {
    put("low/CMakeLists.txt",
        "# the lowest\nadd_library(lowlib STATIC a.cpp)\nadd_library(oldname ALIAS lowlib)\n"
        "target_link_libraries(lowlib PUBLIC\n  toplib)\n");
    put("mid/CMakeLists.txt", "zazed_library(midlib m.cpp)\ntarget_link_libraries(midlib PRIVATE oldname)\n");
    put("top/CMakeLists.txt",
        "add_library(toplib STATIC t.cpp)\nadd_executable(prog main.cpp)\n"
        "target_link_libraries(prog PRIVATE toplib midlib)\ntarget_link_libraries(toplib PUBLIC midlib)\n");
    EXPECT_EQ(layer_report(check_libraries(root, rules)),
              "low/CMakeLists.txt:4: lowlib links toplib of top: top is above low (layers: low < mid < top)\n"
              "low/CMakeLists.txt:4: libraries link each other in a cycle: lowlib, midlib, toplib "
              "(lowlib -> toplib here)\n");
}

TEST(Layering, ProgramIncludesPointDownward) {
    const layer_rules rules = program_rules();
    ASSERT_FALSE(rules.widget_headers.empty() && std::string(ZAZED_QTWIDGETS_DIR).size() > 0);
    const std::vector<layer_problem> problems = check_includes(ZAZED_SOURCE_DIR, rules);
    EXPECT_TRUE(problems.empty()) << layer_report(problems);
}

TEST(Layering, ProgramLibrariesLinkDownward) {
    const std::vector<layer_problem> problems = check_libraries(ZAZED_SOURCE_DIR, program_rules());
    EXPECT_TRUE(problems.empty()) << layer_report(problems);
}
