// The sync editor's wire format: command bytes, greetings and big-endian integers, as the
// client speaks it. The tests' fake editor spells the bytes out on its own, so that a fault
// here shows as a disagreement instead of being shared by both sides.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

namespace editor {

constexpr char kClientGreeting[] = "hello, synctracker!"; // sent by the show, 19 bytes
constexpr char kEditorGreeting[] = "hello, demo!";        // answered by the editor, 12 bytes
constexpr std::size_t kClientGreetingSize = sizeof kClientGreeting - 1;
constexpr std::size_t kEditorGreetingSize = sizeof kEditorGreeting - 1;
constexpr std::uint16_t kDefaultPort = 1338;

enum Command : std::uint8_t {
    SetKey = 0,     // editor: u32 track, u32 row, u32 float bits, u8 interpolation
    DeleteKey = 1,  // editor: u32 track, u32 row
    GetTrack = 2,   // show: u32 name length, name bytes
    SetRow = 3,     // both ways: u32 row
    Pause = 4,      // editor: u8 flag, 1 pause, 0 play
    SaveTracks = 5, // editor: no payload
};

inline void putU32(std::string& out, std::uint32_t v) {
    out.push_back(static_cast<char>(v >> 24));
    out.push_back(static_cast<char>(v >> 16));
    out.push_back(static_cast<char>(v >> 8));
    out.push_back(static_cast<char>(v));
}

inline std::uint32_t getU32(const unsigned char* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           std::uint32_t(p[3]);
}

inline std::uint32_t floatBits(float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

inline float bitsFloat(std::uint32_t u) {
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

} // namespace editor
