// Running the command-line tools as a user does, in a scratch folder of their own.
#pragma once

#include <string>
#include <vector>

namespace tooltest {

struct ToolRun {
    int status = -1;    // exit code, or 128 + the signal that ended the tool
    std::string output; // standard error (and standard output unless redirected)
};

// Runs a shell command line with standard error joined to standard output.
ToolRun runTool(const std::string& command);

// '...' quoting for the shell.
std::string quoted(const std::string& text);

// A fresh folder under the system's temporary folder, removed with its contents.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    std::string path(const std::string& name) const { return path_ + "/" + name; }
    // Names in the folder, sorted (hidden ones included).
    std::vector<std::string> entries() const;

private:
    std::string path_;
};

std::string readText(const std::string& path);
void writeText(const std::string& path, const std::string& text);

} // namespace tooltest
