#include "rocket_file.h"

#include <expat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <set>
#include <stdexcept>

#include "params/float_text.h"

namespace {

std::string escaped(const std::string& text) {
    // Tab, line feed and carriage return as references: a reader turns them into spaces
    // where they stand as they are in an attribute.
    static const struct {
        char c;
        const char* entity;
    } kEntities[] = {{'&', "&amp;"}, {'<', "&lt;"},   {'>', "&gt;"},  {'"', "&quot;"},
                     {'\t', "&#9;"}, {'\n', "&#10;"}, {'\r', "&#13;"}};
    std::string out;
    for (char c : text) {
        const auto* e = std::find_if(std::begin(kEntities), std::end(kEntities),
                                     [c](const auto& entity) { return entity.c == c; });
        if (e != std::end(kEntities))
            out += e->entity;
        else
            out += c;
    }
    return out;
}

struct Reader {
    RocketFile file;
    std::set<std::string> names;
    bool inTrack = false;
    std::string error;
    XML_Parser parser = nullptr;

    void fail(const std::string& what) {
        if (error.empty())
            error = "line " + std::to_string(XML_GetCurrentLineNumber(parser)) + ": " + what;
        XML_StopParser(parser, XML_FALSE);
    }
};

const char* attribute(const char** attributes, const char* name) {
    for (int i = 0; attributes[i]; i += 2)
        if (std::strcmp(attributes[i], name) == 0)
            return attributes[i + 1];
    return nullptr;
}

bool readUnsigned(const char* text, std::uint32_t& out) {
    if (!text || !*text || *text == '-' || *text == '+' || *text == ' ')
        return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(text, &end, 10);
    if (*end || errno || v > 0xffffffffull)
        return false;
    out = static_cast<std::uint32_t>(v);
    return true;
}

bool readFloat(const char* text, float& out) {
    if (!text || !*text)
        return false;
    char* end = nullptr;
    out = std::strtof(text, &end);
    return !*end && std::isfinite(out);
}

void onStart(void* data, const char* element, const char** attributes) {
    auto& r = *static_cast<Reader*>(data);
    if (std::strcmp(element, "sync") == 0) {
        if (!readUnsigned(attribute(attributes, "rows"), r.file.rows))
            r.fail("<sync> needs a row count");
    } else if (std::strcmp(element, "track") == 0) {
        const char* name = attribute(attributes, "name");
        if (!name)
            return r.fail("<track> without a name");
        // A second track of one name would silently replace the first one's keys.
        if (!r.names.insert(name).second)
            return r.fail("a second track named \"" + std::string(name) + "\"");
        r.file.tracks.push_back({name, {}});
        r.inTrack = true;
    } else if (std::strcmp(element, "key") == 0) {
        if (!r.inTrack)
            return r.fail("<key> outside a track");
        SyncKey key{};
        std::uint32_t mode = 0;
        if (!readUnsigned(attribute(attributes, "row"), key.row))
            return r.fail("a key's row is not a row number");
        if (!readFloat(attribute(attributes, "value"), key.value))
            return r.fail("a key's value is not a finite number");
        if (!readUnsigned(attribute(attributes, "interpolation"), mode) || mode > Quartic)
            return r.fail("a key's interpolation is not 0 to 4");
        key.interpolation = static_cast<std::int32_t>(mode);
        r.file.tracks.back().keys.push_back(key);
    }
}

void onEnd(void* data, const char* element) {
    if (std::strcmp(element, "track") == 0)
        static_cast<Reader*>(data)->inTrack = false;
}

} // namespace

std::string writeRocket(const RocketFile& file) {
    std::string out = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<sync rows=\"" +
                      std::to_string(file.rows) + "\">\n<tracks>\n";
    for (const RocketTrack& track : file.tracks) {
        out += "<track name=\"" + escaped(track.name) + "\">\n";
        for (const SyncKey& key : track.keys)
            out += "<key row=\"" + std::to_string(key.row) + "\" value=\"" +
                   shortestFloatText(key.value) + "\" interpolation=\"" +
                   std::to_string(key.interpolation) + "\"/>\n";
        out += "</track>\n";
    }
    out += "</tracks>\n</sync>\n";
    return out;
}

RocketFile readRocket(const std::string& text) {
    // Expat takes the length as an int.
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        throw std::runtime_error("the file is larger than 2 GB");
    Reader reader;
    reader.parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(reader.parser, &reader);
    XML_SetElementHandler(reader.parser, onStart, onEnd);
    const bool parsed = XML_Parse(reader.parser, text.data(), static_cast<int>(text.size()),
                                  XML_TRUE) == XML_STATUS_OK;
    if (!parsed && reader.error.empty())
        reader.error = "line " + std::to_string(XML_GetCurrentLineNumber(reader.parser)) + ": " +
                       XML_ErrorString(XML_GetErrorCode(reader.parser));
    XML_ParserFree(reader.parser);
    if (!reader.error.empty())
        throw std::runtime_error(reader.error);
    for (RocketTrack& track : reader.file.tracks) {
        std::stable_sort(track.keys.begin(), track.keys.end(),
                         [](const SyncKey& a, const SyncKey& b) { return a.row < b.row; });
        for (std::size_t i = 1; i < track.keys.size(); ++i)
            if (track.keys[i].row == track.keys[i - 1].row)
                throw std::runtime_error("track " + track.name + " has two keys on row " +
                                         std::to_string(track.keys[i].row));
    }
    return reader.file;
}
