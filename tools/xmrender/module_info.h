// The --info report of xmrender.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Header values of the module and its duration (at loop limit 1) as text, one per line.
std::string moduleInfo(const std::vector<uint8_t>& module, uint32_t rate, uint64_t capFrames);

// "m:ss.mmm (s.sss s)"
std::string formatDuration(double seconds);
