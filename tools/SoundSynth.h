// Renders effect recipes: modal tones (marimba, wood, chimes, bells, ...), filtered noise, pitch
// sweeps (birds), bubbles (water), crackles (lightning), pulse trains (insects) and thumps.
#pragma once

#include "tools/SoundRecipe.h"

namespace soundgen {

// The recipe's layers mixed at the recipe's length (folded when it loops), before level finishing.
// Every random draw comes from a generator seeded with the recipe's seed, so a recipe always gives the
// same samples.
SoundBuffer renderRecipe(const Recipe& recipe);

// Renders and finishes: DC removed and ends faded (one-shots), brought to the loudness target of the
// recipe's kind plus its level offset, peaks limited.
SoundBuffer buildRecipe(const Recipe& recipe);

}  // namespace soundgen
