// Plugs the real pictures, audio clips and settings store into the definition-script loader.
#pragma once

namespace sprite {

// Makes every loader from now on create window::Image pictures, window::AudioClip sounds and read "@"
// image names from a sprite::User store. Called once at start-up, before the loader thread runs.
void installStandardLoaderMedia();

}  // namespace sprite
