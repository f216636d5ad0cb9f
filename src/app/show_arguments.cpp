#include "app/show_arguments.h"

#include "cli/command_line.h"

ShowArguments parseShowArguments(const std::vector<std::string>& arguments, bool liveShaders) {
    ShowArguments a;
    cli::Parser parser;
    parser.optionalText("--edit", &a.address);
    parser.optionalText("--check", &a.checkFolder);
    if (liveShaders)
        parser.text("--shaders", &a.shaders);
    std::vector<std::string> words = {"quavel1"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    const cli::Parsed parsed = parser.parse(int(argv.size()), argv.data(), 0);
    a.help = parsed.help;
    a.edit = parsed.has("--edit");
    a.check = parsed.has("--check");
    a.error = parsed.error;
    if (a.error.empty() && a.edit && a.check)
        a.error = "--edit and --check cannot be used together";
    if (a.error.empty() && parsed.has("--shaders") && !a.edit)
        a.error = "--shaders goes with --edit";
    return a;
}
