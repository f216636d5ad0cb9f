// expand_hlsl_includes INPUT.hlsl OUTPUT DEPFILE [INCLUDE_DIR ...]: writes the program with
// every `#include "name"` replaced by that file's text, recursively, with #line directives so a
// compiler's messages still name the original file and line. The result compiles on its own,
// without an include handler. DEPFILE (Makefile syntax) lists every file read, so the build
// expands the program again when one of them changes.
#include <cstdio>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Expansion {
    std::vector<std::string> includeDirs;
    std::set<std::string> read;
    std::string error;
};

std::string directoryOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The quoted name of an `#include "name"` line, or empty for any other line.
std::string includedName(const std::string& line) {
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos || line[i] != '#')
        return "";
    i = line.find_first_not_of(" \t", i + 1);
    if (i == std::string::npos || line.compare(i, 7, "include") != 0)
        return "";
    const std::size_t open = line.find('"', i + 7);
    const std::size_t close = open == std::string::npos ? open : line.find('"', open + 1);
    return close == std::string::npos ? "" : line.substr(open + 1, close - open - 1);
}

bool expand(Expansion& x, const std::string& path, int depth, std::string& out) {
    if (depth > 16) {
        x.error = path + ": includes nested deeper than 16";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        x.error = "cannot read " + path;
        return false;
    }
    x.read.insert(path);
    const std::string name = nameOf(path);
    out += "#line 1 \"" + name + "\"\n";
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string wanted = includedName(line);
        if (wanted.empty()) {
            out += line + '\n';
            continue;
        }
        std::vector<std::string> dirs{directoryOf(path)};
        dirs.insert(dirs.end(), x.includeDirs.begin(), x.includeDirs.end());
        std::string found;
        for (const std::string& dir : dirs) {
            if (std::ifstream(dir + "/" + wanted)) {
                found = dir + "/" + wanted;
                break;
            }
        }
        if (found.empty()) {
            x.error =
                path + ":" + std::to_string(number) + ": cannot find include \"" + wanted + "\"";
            return false;
        }
        if (!expand(x, found, depth + 1, out))
            return false;
        out += "#line " + std::to_string(number + 1) + " \"" + name + "\"\n";
    }
    return true;
}

std::string escaped(const std::string& path) {
    std::string s;
    for (char c : path) {
        if (c == ' ')
            s += '\\';
        s += c;
    }
    return s;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::printf("usage: expand_hlsl_includes INPUT.hlsl OUTPUT DEPFILE [INCLUDE_DIR ...]\n"
                    "Writes INPUT with its #include \"...\" lines replaced by the files' text.\n");
        return 0;
    }
    if (argc < 4) {
        std::fprintf(stderr, "expand_hlsl_includes: expected INPUT OUTPUT DEPFILE (see --help)\n");
        return 2;
    }
    Expansion x;
    for (int i = 4; i < argc; ++i)
        x.includeDirs.push_back(argv[i]);
    std::string text;
    if (!expand(x, argv[1], 0, text)) {
        std::fprintf(stderr, "expand_hlsl_includes: %s\n", x.error.c_str());
        return 1;
    }
    std::ofstream out(argv[2], std::ios::binary);
    out << text;
    std::ofstream dep(argv[3], std::ios::binary);
    dep << escaped(argv[2]) << ":";
    for (const std::string& f : x.read)
        dep << " \\\n  " << escaped(f);
    dep << "\n";
    if (!out || !dep) {
        std::fprintf(stderr, "expand_hlsl_includes: cannot write %s or %s\n", argv[2], argv[3]);
        return 1;
    }
    return 0;
}
