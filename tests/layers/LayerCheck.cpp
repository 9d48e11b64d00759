// Holds the program's sources to the layer table in the README: every #include of a file in
// one of the table's folders must name a header of that folder or of a folder its row allows,
// and a <Q...> header only where the row allows Qt. Each include the table does not allow is
// named with its file and line, and the check fails.
//
//   layer_check SOURCE_ROOT   (reads SOURCE_ROOT/README.md)

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Layer {
    std::set<std::string> mayUse; // folders, each ending in '/'
    bool mayUseQt = false;
};

std::vector<std::string> backticked(const std::string& text) {
    std::vector<std::string> found;
    static const std::regex token("`([^`]+)`");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), token); it != std::sregex_iterator(); ++it) {
        found.push_back((*it)[1]);
    }
    return found;
}

std::vector<std::string> cells(const std::string& row) {
    std::vector<std::string> out;
    std::string cell;
    for (std::size_t i = 1; i < row.size(); ++i) {
        if (row[i] == '|') {
            out.push_back(cell);
            cell.clear();
        } else {
            cell += row[i];
        }
    }
    return out;
}

// The rows of the table under the "## Layers" heading: the folders of the first cell may use
// the folders named in the last cell, and Qt where the last cell says "Qt".
std::map<std::string, Layer> readLayerTable(const fs::path& readme) {
    std::map<std::string, Layer> table;
    std::ifstream in(readme);
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        if (line.rfind("## ", 0) == 0) {
            inSection = line == "## Layers";
            continue;
        }
        if (!inSection || line.rfind("| `", 0) != 0) {
            continue;
        }
        const std::vector<std::string> row = cells(line);
        if (row.size() < 2) {
            continue;
        }
        Layer layer;
        for (const std::string& folder : backticked(row.back())) {
            layer.mayUse.insert(folder);
        }
        std::string plain = std::regex_replace(row.back(), std::regex("`[^`]*`"), " ");
        layer.mayUseQt = std::regex_search(plain, std::regex("\\bQt\\b"));
        for (const std::string& folder : backticked(row.front())) {
            Layer own = layer;
            own.mayUse.insert(folder);
            table[folder] = own;
        }
    }
    return table;
}

// The table's folder a path relative to the root lies in (the longest that matches), or "".
std::string folderOf(const std::string& path, const std::map<std::string, Layer>& table) {
    std::string best;
    for (const auto& [folder, layer] : table) {
        if (path.rfind(folder, 0) == 0 && folder.size() > best.size()) {
            best = folder;
        }
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: layer_check SOURCE_ROOT\n";
        return 2;
    }
    const fs::path root = fs::weakly_canonical(argv[1]);
    const std::map<std::string, Layer> table = readLayerTable(root / "README.md");
    if (table.empty()) {
        std::cout << "README.md: no layer table under \"## Layers\"\n";
        return 2;
    }

    static const std::regex include(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    int files = 0;
    int faults = 0;
    for (const auto& [folder, layer] : table) {
        if (!fs::is_directory(root / folder)) {
            std::cout << "README.md: the layer table names " << folder << ", which is not a folder\n";
            ++faults;
        }
        for (const std::string& used : layer.mayUse) {
            if (!table.contains(used)) {
                std::cout << "README.md: " << folder << " may use " << used << ", which has no row of its own\n";
                ++faults;
            }
        }
    }

    std::set<fs::path> sources;
    for (const auto& [folder, layer] : table) {
        if (!fs::is_directory(root / folder)) {
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(root / folder)) {
            const std::string ext = entry.path().extension().string();
            if (entry.is_regular_file() && (ext == ".cpp" || ext == ".h")) {
                sources.insert(entry.path());
            }
        }
    }

    for (const fs::path& source : sources) {
        const std::string relative = source.lexically_relative(root).generic_string();
        const std::string folder = folderOf(relative, table);
        ++files;
        const Layer& layer = table.at(folder);
        std::ifstream in(source);
        std::string line;
        for (int number = 1; std::getline(in, line); ++number) {
            std::smatch m;
            if (!std::regex_search(line, m, include)) {
                continue;
            }
            const std::string name = m[2];
            std::string why;
            if (m[1] == "<") {
                if (name.front() == 'Q' && !layer.mayUseQt) {
                    why = folder + " may not use Qt";
                }
            } else {
                // A name relative to the including file counts where it leads.
                std::string target = name;
                const fs::path beside = (source.parent_path() / name).lexically_normal();
                if (fs::exists(beside)) {
                    target = beside.lexically_relative(root).generic_string();
                }
                const std::string used = folderOf(target, table);
                if (used.empty()) {
                    why = "it is in no folder of the layer table";
                } else if (!layer.mayUse.contains(used)) {
                    why = folder + " may not use " + used;
                }
            }
            if (!why.empty()) {
                std::cout << relative << ":" << number << ": " << line << "\n    " << why
                          << " (the layer table in README.md)\n";
                ++faults;
            }
        }
    }

    if (files == 0) {
        std::cout << "no source file of the layer table's folders found under " << root << "\n";
        return 1;
    }
    std::cout << files << " files checked against the layer table, " << faults << " faults\n";
    return faults == 0 ? 0 : 1;
}
