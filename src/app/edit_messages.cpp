#include "app/edit_messages.h"

#include <cstdio>
#include <ctime>
#include <filesystem>

#include "app/edit_output.h"
#include "platform/parent_console.h"

namespace fs = std::filesystem;

std::vector<std::string> editLogPlaces(const std::string& shaderFolder) {
    std::vector<std::string> places;
    std::error_code failed;
    if (!shaderFolder.empty()) {
        fs::path folder = fs::absolute(shaderFolder, failed).lexically_normal();
        if (!folder.has_filename()) // "shaders/" names the folder too
            folder = folder.parent_path();
        places.push_back((folder.parent_path() / kEditLogName).string());
    }
    places.push_back((fs::absolute(kEditLogName, failed)).lexically_normal().string());
    return places;
}

std::string routeEditMessages(const std::string& shaderFolder) {
    if (attachParentConsole())
        return {};
    for (const std::string& place : editLogPlaces(shaderFolder)) {
        // Standard error itself goes to the file where the C runtime can reopen it, so that
        // every message lands there; a runtime that cannot (Wine's, for a GUI program without
        // standard handles) leaves the file to the messages of --edit only.
        std::FILE* log = std::freopen(place.c_str(), "w", stderr);
        if (!log)
            log = std::fopen(place.c_str(), "w");
        if (!log)
            continue;
        // Each message whole in the file at once, even if the show is killed.
        std::setvbuf(log, nullptr, _IONBF, 0);
        setEditOutput(log);
        const std::time_t now = std::time(nullptr);
        char started[32] = "";
        std::strftime(started, sizeof started, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
        std::fprintf(log, "quavel1 --edit, started %s\n", started);
        return place;
    }
    return {};
}
