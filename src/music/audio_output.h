// The music's way to the sound card and the show's clock: the wave-out device plays one
// 4096-frame buffer as an endless loop, and the audio thread keeps re-filling the part of it
// the device has just played with the next frames of the song.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>

#include "music/audio_refill.h"
#include "platform/waveout.h"

struct ModulePlayer;
struct AudioThread; // the thread that refills the buffer (audio_output.cpp)

struct AudioOutput {
    WAVEHDR header{};
    HWAVEOUT device = nullptr; // null while no device is open
    float buffer[kAudioRingFrames * 2] = {};
    ModulePlayer* player = nullptr;
    // Held by pointer so that this header needs no <thread>: the web build's C++ library has
    // none, and the show's record (DemoApp) holds an AudioOutput there too.
    std::unique_ptr<AudioThread, void (*)(AudioThread*)> thread{nullptr, nullptr};
    bool firstWritePending = false;
    std::atomic<bool> stopRequested{false};
    // For seeks: the module the player was made from (it must stay valid while playing), the
    // song frame at device position 0, and whether playback is held.
    const void* module = nullptr;
    std::size_t moduleSize = 0;
    std::uint64_t baseFrame = 0;
    bool paused = false;

    // The show stops its output before it ends; a process that ends without that (exit() from
    // the display library when the display server goes away) destroys a playing output, whose
    // thread must end with it: a joinable std::thread destroyed would abort the process.
    ~AudioOutput();
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
// While paused the write waits for the resume.
void submitFirstWrite(AudioOutput& audio);

// Holds (true) or resumes (false) playback; the device position, and with it the clock, stops.
void pauseAudioOutput(AudioOutput& audio, bool pause);

// Moves the song, and with it the clock, to `frame` (from its start); without sound the clock
// alone moves. The thread is joined first, so only this thread
// touches the player meanwhile; the device is reset (its position restarts at 0), a fresh
// player is advanced to the frame without sound, the ring is rendered from there and the
// thread restarted; the next submitFirstWrite starts the sound. Costs what rendering the song
// up to the frame costs. False when no sound is playing (nothing to seek) or the player cannot
// be made again (the show goes on silent).
bool seekAudioOutput(AudioOutput& audio, std::uint64_t frame);

// The song frame the device is playing: the seek's base plus the device position.
std::uint64_t audioSongFrame(const AudioOutput& audio);
// The same in seconds, rounded once to single precision: the clock of a show that seeks.
float audioSongSeconds(const AudioOutput& audio);

// Stops and joins the thread, pauses, resets and closes the device, releases the player.
// Safe to call whatever start-up achieved.
void stopAudioOutput(AudioOutput& audio);

// The audio thread: polls the device position every 5 ms and refills what it played.
void audioThreadMain(AudioOutput* audio);
