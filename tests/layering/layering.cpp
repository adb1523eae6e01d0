#include "layering.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

bool has(const std::vector<std::string>& list, const std::string& s) {
    return std::find(list.begin(), list.end(), s) != list.end();
}

std::string join(const std::vector<std::string>& list, const char* sep) {
    std::string out;
    for (const std::string& s : list) out += (out.empty() ? "" : sep) + s;
    return out;
}

std::string folder_of(const std::string& path) {
    const size_t slash = path.find('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool code_file(const fs::path& p) {
    return p.extension() == ".cpp" || p.extension() == ".h";
}

// Top-level folders that hold code or a CMakeLists.txt, not skipped, sorted.
std::vector<std::string> folders(const fs::path& root, const layer_rules& rules, bool with_cmake) {
    std::vector<std::string> out;
    for (const fs::directory_entry& d : fs::directory_iterator(root)) {
        const std::string name = d.path().filename().string();
        if (!d.is_directory() || name.empty() || name[0] == '.' || has(rules.skipped, name)) continue;
        bool code = with_cmake && fs::exists(d.path() / "CMakeLists.txt");
        for (const fs::directory_entry& f : fs::recursive_directory_iterator(d.path()))
            if (f.is_regular_file() && code_file(f.path())) code = true;
        if (code) out.push_back(name);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// Where each folder stands: its place in the layers, or beside them.
struct placing {
    const layer_rules& rules;
    std::map<std::string, int> rank;
    std::map<std::string, const layer_beside*> beside;

    explicit placing(const layer_rules& r) : rules(r) {
        for (size_t i = 0; i < r.layers.size(); i++) rank[r.layers[i]] = static_cast<int>(i);
        for (const layer_beside& b : r.beside) beside[b.folder] = &b;
    }

    bool known(const std::string& folder) const { return rank.count(folder) || beside.count(folder); }

    // Empty when `from` may use `what` (a file "x/y.h" of folder `to`), else the reason.
    // Without `what` the question is about the folder's libraries: a folder beside the
    // layers may link the libraries of every folder it may include files of.
    std::string refuse(const std::string& from, const std::string& to, const std::string& what) const {
        if (from == to) return "";
        auto b = beside.find(from);
        if (b != beside.end()) {
            for (const std::string& u : b->second->uses)
                if (u == what || u == to || (what.empty() && folder_of(u) == to)) return "";
            return from + " uses only " + join(b->second->uses, ", ");
        }
        auto t = beside.find(to);
        if (t != beside.end()) {
            if (has(t->second->used_by, from)) return "";
            return to + " stands beside the layers and is used only by " + join(t->second->used_by, ", ");
        }
        if (!rank.count(from)) return from + " is not a layer";
        if (!rank.count(to)) return to + " is not a layer";
        if (rank.at(to) > rank.at(from))
            return to + " is above " + from + " (layers: " + join(rules.layers, " < ") + ")";
        return "";
    }
};

// One edge of a graph with the place that made it.
struct witness {
    std::string file;
    int line;
};
using graph = std::map<std::string, std::map<std::string, witness>>;

// Every cycle once, as the strongly connected groups of more than one node (or a
// node with an edge to itself): a problem at the first edge inside the group.
void report_cycles(const graph& g, const char* what, std::vector<layer_problem>* out) {
    std::map<std::string, int> index, low;
    std::vector<std::string> stack;
    std::set<std::string> on_stack;
    int next = 0;
    std::function<void(const std::string&)> visit = [&](const std::string& v) {
        index[v] = low[v] = next++;
        stack.push_back(v);
        on_stack.insert(v);
        auto edges = g.find(v);
        if (edges != g.end())
            for (const auto& [w, where] : edges->second) {
                if (!index.count(w)) {
                    visit(w);
                    low[v] = std::min(low[v], low[w]);
                } else if (on_stack.count(w)) {
                    low[v] = std::min(low[v], index[w]);
                }
            }
        if (low[v] != index[v]) return;
        std::vector<std::string> group;
        std::string w;
        do {
            w = stack.back();
            stack.pop_back();
            on_stack.erase(w);
            group.push_back(w);
        } while (w != v);
        std::sort(group.begin(), group.end());
        const bool self = g.count(v) && g.at(v).count(v);
        if (group.size() < 2 && !self) return;
        // Name one edge of the cycle so the report points at a line to change.
        for (const std::string& a : group)
            for (const auto& [b, where] : g.count(a) ? g.at(a) : std::map<std::string, witness>{})
                if (has(group, b)) {
                    out->push_back({where.file, where.line,
                                    std::string(what) + " in a cycle: " + join(group, ", ") + " (" + a +
                                        " -> " + b + " here)"});
                    return;
                }
    };
    for (const auto& [v, edges] : g)
        if (!index.count(v)) visit(v);
}

std::string read_file(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

} // namespace

std::vector<layer_problem> check_includes(const fs::path& root, const layer_rules& rules) {
    std::vector<layer_problem> out;
    const placing place(rules);
    const std::regex quoted(R"(^\s*#\s*include\s*"([^"]+)\")");
    const std::regex angled(R"(^\s*#\s*include\s*<([^>]+)>)");
    graph g;
    for (const std::string& folder : folders(root, rules, false)) {
        if (!place.known(folder)) {
            out.push_back({folder, 0, "folder " + folder + " holds code but is not in the layer table"});
            continue;
        }
        std::vector<fs::path> files;
        for (const fs::directory_entry& f : fs::recursive_directory_iterator(root / folder))
            if (f.is_regular_file() && code_file(f.path())) files.push_back(f.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& path : files) {
            const std::string name = fs::relative(path, root).generic_string();
            std::ifstream in(path);
            std::string text;
            for (int line = 1; std::getline(in, text); line++) {
                std::smatch m;
                if (std::regex_search(text, m, quoted)) {
                    const std::string target = m[1];
                    const std::string to = folder_of(target);
                    if (to.empty()) {
                        out.push_back({name, line, "includes \"" + target + "\" without its folder"});
                        continue;
                    }
                    g[folder].emplace(to, witness{name, line});
                    const std::string why = place.refuse(folder, to, target);
                    if (!why.empty()) out.push_back({name, line, "includes \"" + target + "\": " + why});
                } else if (std::regex_search(text, m, angled) && folder != rules.widgets_layer) {
                    const std::string target = m[1];
                    if (target.rfind("QtWidgets", 0) == 0 || has(rules.widget_headers, target))
                        out.push_back({name, line,
                                       "includes <" + target + ">: only " + rules.widgets_layer +
                                           " includes Qt Widgets"});
                }
            }
        }
    }
    for (auto& [from, edges] : g) edges.erase(from);
    report_cycles(g, "folders include each other", &out);
    return out;
}

std::vector<layer_problem> check_libraries(const fs::path& root, const layer_rules& rules) {
    std::vector<layer_problem> out;
    const placing place(rules);
    struct command {
        std::string folder, file, name;
        int line;
        std::vector<std::string> args;
    };
    std::vector<command> commands;
    const std::regex call(R"(([A-Za-z_][A-Za-z0-9_]*)\s*\(([^()]*)\))");
    for (const std::string& folder : folders(root, rules, true)) {
        const fs::path cmake = root / folder / "CMakeLists.txt";
        if (!fs::exists(cmake)) continue;
        std::string text = read_file(cmake);
        // Comments end at the line's end; lines are kept for the report.
        text = std::regex_replace(text, std::regex("#[^\n]*"), "");
        for (auto it = std::sregex_iterator(text.begin(), text.end(), call); it != std::sregex_iterator();
             ++it) {
            command c{folder, folder + "/CMakeLists.txt", (*it)[1], 1, {}};
            c.line += static_cast<int>(std::count(text.begin(), text.begin() + it->position(), '\n'));
            std::istringstream words((*it)[2].str());
            for (std::string w; words >> w;) c.args.push_back(w);
            commands.push_back(c);
        }
    }
    std::map<std::string, std::string> owner, alias;
    for (const command& c : commands) {
        if (c.args.empty()) continue;
        if (c.name == "add_library" && c.args.size() >= 3 && c.args[1] == "ALIAS")
            alias[c.args[0]] = c.args[2];
        else if (c.name == "add_library" || c.name == "add_executable" || c.name == "zazed_library")
            owner[c.args[0]] = c.folder;
    }
    auto resolve = [&](std::string t) {
        for (int i = 0; i < 8 && alias.count(t); i++) t = alias[t];
        return t;
    };
    graph g;
    for (const command& c : commands) {
        if (c.name != "target_link_libraries" || c.args.empty()) continue;
        const std::string from = resolve(c.args[0]);
        if (!owner.count(from)) continue;
        for (size_t i = 1; i < c.args.size(); i++) {
            const std::string to = resolve(c.args[i]);
            if (!owner.count(to)) continue; // keywords, Qt and other packages
            g[from].emplace(to, witness{c.file, c.line});
            const std::string why = place.refuse(owner[from], owner[to], "");
            if (!why.empty())
                out.push_back({c.file, c.line, from + " links " + to + " of " + owner[to] + ": " + why});
        }
    }
    report_cycles(g, "libraries link each other", &out);
    return out;
}

std::string layer_report(const std::vector<layer_problem>& problems) {
    std::string out;
    for (const layer_problem& p : problems)
        out += p.file + ":" + std::to_string(p.line) + ": " + p.text + "\n";
    return out;
}
