#include "platform/linux/waveout/wave_format.h"

namespace quavel::waveout {

namespace {

struct SupportedFormat {
    WORD tag;
    WORD bitsPerSample;
    SDL_AudioFormat sdlFormat;
};

constexpr SupportedFormat kSupported[] = {
    {WAVE_FORMAT_PCM, 8, AUDIO_U8},
    {WAVE_FORMAT_PCM, 16, AUDIO_S16SYS},
    {WAVE_FORMAT_IEEE_FLOAT, 32, AUDIO_F32SYS},
};

constexpr DWORD kMaxSampleRate = 384000;

} // namespace

SDL_AudioFormat sdlFormatFor(const WAVEFORMATEX& format) {
    if (format.nChannels < 1 || format.nChannels > 2)
        return 0;
    if (format.nSamplesPerSec == 0 || format.nSamplesPerSec > kMaxSampleRate)
        return 0;
    if (format.nBlockAlign != format.nChannels * format.wBitsPerSample / 8)
        return 0;
    if (format.nAvgBytesPerSec != format.nSamplesPerSec * format.nBlockAlign)
        return 0;
    for (const SupportedFormat& supported : kSupported)
        if (supported.tag == format.wFormatTag && supported.bitsPerSample == format.wBitsPerSample)
            return supported.sdlFormat;
    return 0;
}

} // namespace quavel::waveout
