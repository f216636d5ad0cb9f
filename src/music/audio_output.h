// The music's way to the sound card and the show's clock: the wave-out device plays one
// 4096-frame buffer as an endless loop, and the audio thread keeps re-filling the part of it
// the device has just played with the next frames of the song.
#pragma once

#include <atomic>
#include <cstddef>
#include <thread>

#include "music/audio_refill.h"
#include "platform/waveout.h"

struct ModulePlayer;

struct AudioOutput {
    WAVEHDR header{};
    HWAVEOUT device = nullptr; // null while no device is open
    float buffer[kAudioRingFrames * 2] = {};
    ModulePlayer* player = nullptr;
    std::thread thread;
    bool firstWritePending = false;
    std::atomic<bool> stopRequested{false};
};

enum class AudioStart {
    Playing,      // device open, song pre-rendered, thread running, first write pending
    NoDevice,     // no device is open (none could be, or the module would not load): silent
    ThreadFailed, // the audio thread could not start; everything is released again
};

// Opens the device for 44100 Hz float stereo, prepares the looping header, creates the player
// over module[0..moduleSize) with a loop limit of 1, pre-renders the whole ring and starts
// the audio thread. The player keeps no pointer into the module bytes.
AudioStart startAudioOutput(AudioOutput& audio, const void* module, std::size_t moduleSize);

// Writes the looping header once, on the first frame, so the sound starts with the picture.
void submitFirstWrite(AudioOutput& audio);

// Stops and joins the thread, pauses, resets and closes the device, releases the player.
// Safe to call whatever start-up achieved.
void stopAudioOutput(AudioOutput& audio);

// The audio thread: polls the device position every 5 ms and refills what it played.
void audioThreadMain(AudioOutput* audio);
