// Dispatch tables of the effect-column commands, indexed by effect type (0..35) and, for the
// extended command E, by the parameter's high nibble.
#pragma once

#include "music/module_player.h"

constexpr int kEffectTypes = 36;

using EffectHandler = void (*)(ModulePlayer*, PlayerChannel*, const PatternCell*);
using ExtendedHandler = void (*)(ModulePlayer*, PlayerChannel*, const PatternCell*, uint8_t y);

extern const EffectHandler kEffectRowStart[kEffectTypes];
extern const EffectHandler kEffectTick[kEffectTypes];
extern const ExtendedHandler kExtendedRowStart[16];
extern const ExtendedHandler kExtendedTick[16];
