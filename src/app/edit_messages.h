// Where quavel1 --edit's messages go: compile errors with file and line, swaps, the sync
// editor's comings and goings.
//
//     const std::string logFile = routeEditMessages(shaderFolder);  // "" : a console has them
//
// Started from a console (or with standard error sent somewhere) they go there; a GUI program
// started from the desktop (or a program started with standard error closed) has nowhere to
// print, so they go to quavel1-edit.log beside the shader folder (in its parent, out of the
// watched folder), or in the working folder when no shader folder is given or the first place
// cannot be written. The file is started afresh each run.
#pragma once

#include <string>
#include <vector>

constexpr const char* kEditLogName = "quavel1-edit.log";

// Where the log goes for `shaderFolder` ("" for none), tried in this order.
std::vector<std::string> editLogPlaces(const std::string& shaderFolder);

// Returns the log file's path, or "" when the messages have a console.
std::string routeEditMessages(const std::string& shaderFolder);
