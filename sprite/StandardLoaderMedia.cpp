// The real pictures, audio clips and settings store, as the definition loader's media.
#include "sprite/StandardLoaderMedia.h"

#include "lang/Ref.h"
#include "sprite/store/User.h"
#include "window/AudioClip.h"
#include "window/Image.h"

namespace sprite {

LoaderMedia standardLoaderMedia() {
    LoaderMedia media;
    media.loadImage = [](const lang::String& path, bool requireData) -> lang::Object* {
        auto image = lang::make<window::Image>(path);
        // "@" names ask now whether the picture exists, so that they can fall back to the archive.
        if (requireData && image->getPixels() == nullptr) return nullptr;
        return image.detach();
    };
    media.decodeImage = [](const lang::String& name, const uint8_t* bytes, int length) -> lang::Object* {
        auto image = lang::make<window::Image>(name);
        if (!image->decode(bytes, length, name.chars())) return nullptr;
        return image.detach();
    };
    media.loadSound = [](const lang::String& path, int kind) -> lang::Object* {
        // A clip that did not load still takes its slot, so sound numbers stay the script's.
        auto clip = lang::make<window::AudioClip>();
        clip->load(path, kind);
        return clip.detach();
    };
    media.readSetting = [](User* settings, const lang::String& name,
                           const lang::String& defaultValue) -> lang::String* {
        if (settings == nullptr) return new lang::String(defaultValue);
        return settings->getString(name, defaultValue.view());
    };
    return media;
}

}  // namespace sprite
