// The module's instruments: every sample is synthesised here, deterministically.
#pragma once

#include "xm_module.h"

#include <cstdint>
#include <vector>

namespace composer {

// XM instrument numbers (1-based, as written in pattern cells).
enum Instrument : uint8_t {
    Kick = 1,
    Snare,
    Clap,
    ClosedHat,
    OpenHat,
    Crash,
    Tom,
    Bass,
    Pad,
    Strings,
    GatePad,
    Lead,
    Pluck,
    Chip,
    Riser,
    Impact,
    FlashKick,
    kInstrumentEnd
};

// Cell note of a MIDI note number: MIDI 60 (middle C) is cell note 49 (C-4).
inline uint8_t cellNote(int midi) {
    return uint8_t(midi - 11);
}
// Drums are rendered at their natural pitch for this note.
constexpr int kDrumMidi = 60;

std::vector<XmInstrument> buildInstruments();

} // namespace composer
