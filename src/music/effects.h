// Volume-column and effect-column commands, and the slides, vibrato and oscillators they use.
#pragma once

#include "music/module_player.h"

// Tick-0 handling of a cell's volume column, then of its effect.
void applyCellEffects(ModulePlayer* player, PlayerChannel* channel, const PatternCell* cell);
// Handling of the channel's current cell on the current tick: volume column, then effect.
void tickEffects(ModulePlayer* player, PlayerChannel* channel);

void applyVolumeColumnRowStart(ModulePlayer* player, PlayerChannel* channel, uint8_t v);
void applyVolumeColumnTick(ModulePlayer* player, PlayerChannel* channel, uint8_t v);
void applyEffectRowStart(ModulePlayer* player, PlayerChannel* channel, const PatternCell* cell);
void applyEffectTick(ModulePlayer* player, PlayerChannel* channel, const PatternCell* cell);

void slideVolume(PlayerChannel* channel, uint8_t param);
void slidePanning(PlayerChannel* channel, uint8_t param);
void slidePitch(const ModulePlayer* player, PlayerChannel* channel, int amount);
void slideTonePortamento(const ModulePlayer* player, PlayerChannel* channel);
void applyVibrato(const ModulePlayer* player, PlayerChannel* channel, uint8_t param);
// Vibrato offset in fine period units (see periodFrequency) of a waveform at a phase taken
// modulo 64, for a depth of 0..15: up to 255 x depth / 32 (a 4xF swings about 1.9 semitones
// each way), positive (a lower pitch) through the first half of a cycle.
float vibratoPeriodOffset(Waveform waveform, uint32_t phase, uint32_t depth);
// Oscillator value (-1..1) of a waveform at a phase taken modulo 64.
float waveformValue(Waveform waveform, uint32_t phase);

// The process-wide generator behind the Random waveform (initially 24492).
uint32_t randomWaveformState();
void setRandomWaveformState(uint32_t state);
