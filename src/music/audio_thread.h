// The audio thread of an AudioOutput (audio_output.h holds it by pointer, so that its own
// header needs no <thread>); for audio_output.cpp and the tests that watch the thread.
#pragma once

#include <thread>

struct AudioThread {
    std::thread thread;
};

struct AudioOutput;
// Whether the output's thread runs (has not been joined).
bool audioThreadRunning(const AudioOutput& audio);
