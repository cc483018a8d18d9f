// Renders text scores with FluidSynth and a General MIDI SoundFont.
#pragma once

#include <string>

#include "tools/SoundScore.h"

namespace soundgen {

// The score's notes played on the SoundFont at the sound rate, stereo, with the score's reverb; the form
// plus its tail. Throws naming the SoundFont when it cannot be loaded.
SoundBuffer renderScore(const Score& score, const std::string& soundFont);

// Renders and finishes: a loop is folded to the form's exact length (so it repeats without a seam); a
// jingle keeps its tail, fades out at the end and becomes mono. Then the kind's loudness and peak limit.
SoundBuffer buildScore(const Score& score, const std::string& soundFont);

}  // namespace soundgen
