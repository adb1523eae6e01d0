#include "tests/help/layout_names.h"

#include <filesystem>
#include <fstream>
#include <regex>

namespace {

void read_layout(const std::filesystem::path& file, layout_names& out) {
    static const std::regex widget_open(R"re(<widget\s+class="[^"]*"\s+name="([^"]*)")re");
    static const std::regex callback(R"re(<property\s+name="callback"[^>]*>\s*<string>([^<]*)</string>)re");
    std::ifstream in(file);
    std::string line, panel;
    std::vector<std::string> open; // widgets not yet closed, innermost last
    std::smatch m;
    while (std::getline(in, line)) {
        if (std::regex_search(line, m, widget_open)) {
            if (panel.empty()) panel = m[1];
            out.objects[panel].insert(m[1]);
            open.push_back(m[1]);
        } else if (std::regex_search(line, m, callback) && !open.empty()) {
            const std::string control = open.back() == panel ? "" : open.back();
            out.callbacks.push_back({panel, control, m[1]});
        }
        if (line.find("</widget>") != std::string::npos && !open.empty()) open.pop_back();
    }
}

} // namespace

layout_names read_layouts() {
    layout_names out;
    const std::filesystem::path dir = std::filesystem::path(ZAZED_SOURCE_DIR) / "resources";
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
        if (entry.path().extension() == ".ui") read_layout(entry.path(), out);
    }
    if (out.objects.count("tab2")) {
        out.objects["tab3"] = out.objects["tab2"];
        const std::vector<layout_callback> chan_a = out.callbacks;
        for (const layout_callback& cb : chan_a) {
            if (cb.panel == "tab2") out.callbacks.push_back({"tab3", cb.control, cb.callback});
        }
    }
    return out;
}
