// The real pictures, audio clips and settings store, as the definition loader's media.
#pragma once

#include "sprite/LoaderMedia.h"

namespace sprite {

// Media that create window::Image pictures and window::AudioClip sounds and read "@" image names from
// the sprite::User store given to the loader. Every DataLoader uses these unless told otherwise.
LoaderMedia standardLoaderMedia();

}  // namespace sprite
