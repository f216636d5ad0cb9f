// The show's command line, read as Windows hands it over and parsed with the options every
// tool parses with (cli/command_line.h):
//
//   ShowArguments a = parseShowArguments(processArguments());
//   if (!a.error.empty()) { /* one line: what is wrong */ }
//   if (a.help) ...; else if (a.check) runSelfCheck(a.checkFolder); else if (a.edit) ...
//
// Options may come in any order; --edit and --check exclude each other, and --shaders
// belongs to --edit.
#pragma once

#include <string>
#include <vector>

struct ShowArguments {
    bool help = false;
    bool edit = false;
    std::string address; // --edit's HOST:PORT, or empty for the default
    bool check = false;
    std::string checkFolder; // --check's FOLDER, or empty for a new one
    std::string shaders;     // --shaders DIR
    std::string error;       // empty when the command line is good
};

// `arguments` without the program's name. `liveShaders`: whether this build takes --shaders.
ShowArguments parseShowArguments(const std::vector<std::string>& arguments, bool liveShaders);

// The process's arguments after the program's name, in UTF-8, split as the Windows C runtime
// splits them: CommandLineToArgvW over GetCommandLineW, so quoted paths with spaces and any
// characters arrive whole (WinMain's narrow command line is neither split nor Unicode).
std::vector<std::string> processArguments();

// UTF-8 of a wide, null-terminated string (UTF-16 on Windows).
std::string utf8FromWide(const wchar_t* text);
