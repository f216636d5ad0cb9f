// A small module whose output never repeats within its 7.7 seconds, so that a frame of the
// song identifies its position, and an offline render of it to compare the ring with.
#pragma once

#include <cstdint>
#include <vector>

namespace audiotest {

std::vector<std::uint8_t> audioTestModule();

// The first `frames` stereo frames of the module, played with loop limit 1 in one call.
std::vector<float> renderOffline(const std::vector<std::uint8_t>& module, std::uint32_t frames);

} // namespace audiotest
