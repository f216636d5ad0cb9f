#include <cstring>

#include "music/module_bytes.h"
#include "music/module_player.h"

namespace {

constexpr char kIdText[] = "Extended Module: ";
constexpr int kMaxChannels = 255;

const char* const kHeaderErrors[] = {
    "valid module header",
    "not an XM module: the ID text \"Extended Module: \" is missing",
    "not an XM module: byte 37 is not 0x1A",
    "unsupported XM version (only 0x0104 is played)",
    "not an XM module: fewer than 60 bytes",
    "more than 255 channels",
};

} // namespace

int checkModuleHeader(const void* data, size_t size) {
    const ModuleBytes bytes{static_cast<const uint8_t*>(data), size};
    if (size < 60) {
        return kHeaderTooShort;
    }
    if (std::memcmp(bytes.data, kIdText, 17) != 0) {
        return kHeaderWrongId;
    }
    if (bytes.data[37] != 0x1A) {
        return kHeaderNoEofMarker;
    }
    if (bytes.data[58] != 4 || bytes.data[59] != 1) {
        return kHeaderWrongVersion;
    }
    if (bytes.u16(xm::kChannelCount) > kMaxChannels) {
        return kHeaderTooManyChannels;
    }
    return kHeaderValid;
}

const char* moduleHeaderError(int check) {
    if (check < 0 || check >= static_cast<int>(sizeof kHeaderErrors / sizeof kHeaderErrors[0])) {
        return "unknown header check result";
    }
    return kHeaderErrors[check];
}
