// sprite::LoaderMedia: how the definition loader makes images, sounds and reads settings.
//
// The loader knows images, audio clips and the settings store only through these functions, so that it
// builds and is tested on its own; the program plugs in the real window::Image, window::AudioClip and
// sprite::User at start-up. With nothing plugged in, no image or sound is made and "@" names read no
// setting.
#pragma once

#include <cstdint>
#include <functional>

#include "lang/Object.h"
#include "lang/String.h"

namespace sprite {

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
    // the caller), or a copy of defaultValue.
    std::function<lang::String*(lang::Object* settings, const lang::String& name,
                                const lang::String& defaultValue)>
        readSetting;
};

// Replaces the functions every loader uses from now on; returns the previous set. Plugged in once at
// start-up (and by tests), before any loader runs.
LoaderMedia setLoaderMedia(LoaderMedia media);
// A copy of the current set.
LoaderMedia loaderMedia();

}  // namespace sprite
