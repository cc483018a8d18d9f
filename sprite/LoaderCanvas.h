// sprite::LoaderCanvas: what the definition loader asks of the canvas it loads for.
#pragma once

#include "lang/Arrays.h"
#include "lang/String.h"

namespace window {
class ImageArray;
}

namespace sprite {

class DataLoader;
class Sprite;

// The game canvas implements this: it is asked first to make every sprite of a script, and its loaded
// count advances as the loading pass goes, so that the loading screen can draw its bar.
class LoaderCanvas : public virtual lang::ObjectI {
public:
    // A sprite for a definition record (one reference for the caller), or null when the class
    // registry should make it. classToken is the record's class token as written ("Name:sub-script").
    virtual Sprite* createSprite(const lang::String& classToken, window::ImageArray* images,
                                 lang::IntArray* params, DataLoader* loader) = 0;
    // One more item (image entry, sound or sprite) has been loaded.
    virtual void incrementLoadedCount() = 0;
};

}  // namespace sprite
