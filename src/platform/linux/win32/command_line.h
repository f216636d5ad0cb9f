// The process's command line as Windows hands it over: one string, arguments quoted so that
// CommandLineToArgvW gives them back unchanged.
#pragma once

#include <string>
#include <vector>

namespace quavel::win32 {

// The command line Windows would pass for these UTF-8 arguments (the program's name first):
// arguments with white space or quotes (and empty ones) in double quotes, with the
// backslashes before a quote doubled and the quote escaped.
std::wstring windowsCommandLine(const std::vector<std::string>& arguments);

// UTF-8 to wide characters (one code point each); malformed bytes become U+FFFD.
std::wstring fromUtf8(const std::string& text);

} // namespace quavel::win32
