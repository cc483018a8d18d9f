// sprite::LoaderMedia: how the definition loader makes images, sounds and reads settings.
//
// The loader knows images, audio clips and the settings store only through these functions, so that it
// is tested and fuzzed with fakes. Each loader is given its set when it is made (the real one by
// default, see StandardLoaderMedia.h); nothing is process-wide. An empty function makes nothing: no
// image, no sound, or no setting read.
#pragma once

#include <cstdint>
#include <functional>

#include "lang/Object.h"
#include "lang/String.h"

namespace sprite {

class User;

struct LoaderMedia {
    // A new image (one reference for the caller) for a path: "+entry" names an archive entry, anything
    // else a disk file (already joined with the program folder), possibly "colour|mask". When
    // requireData is true the caller must know now whether the image has pixels: answer null when it
    // has none. Otherwise an image that loads later (or never) may be answered.
    std::function<lang::Object*(const lang::String& path, bool requireData)> loadImage;
    // A new image decoded from bytes in memory (an image pack's entry), or null.
    std::function<lang::Object*(const lang::String& name, const uint8_t* bytes, int length)> decodeImage;
    // A new audio clip (one reference for the caller) for "+entry" or a disk path, of kind 0 (sampled),
    // 1 (streamed) or 2 (music module); a clip whose data is missing may still be answered.
    std::function<lang::Object*(const lang::String& path, int kind)> loadSound;
    // The settings string `name` of the store handed to the loader (a new String, one reference for
    // the caller), or a copy of defaultValue. Only called with a store.
    std::function<lang::String*(User* settings, const lang::String& name, const lang::String& defaultValue)>
        readSetting;
};

}  // namespace sprite
