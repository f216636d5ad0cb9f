// Volume and panning envelopes with sustain and loop, and the volume fadeout.
#pragma once

#include "music/module_player.h"

// One tick of the channel's instrument envelopes and fadeout.
void tickEnvelopes(PlayerChannel* channel);
// One tick of an envelope: sets value from the frame, then advances the frame (holding at the
// sustain point while the key is held).
void tickEnvelope(const Envelope* envelope, uint16_t* frame, float* value, bool sustained);
