// The soundtrack of a stretch of the show, rendered offline by the module player.
#pragma once

#include <string>

// Writes seconds of the soundtrack from startSeconds on as a 32-bit float stereo WAV at
// 44100 Hz (written to a temporary name and renamed, so no half file is left behind).
bool writeSoundtrackWav(const std::string& path, double startSeconds, double seconds,
                        std::string& error);
