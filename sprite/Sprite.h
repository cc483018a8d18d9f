// sprite::SpriteBase and sprite::Sprite: the named, drawable objects that definition scripts create.
#pragma once

#include "lang/Arrays.h"
#include "lang/Class.h"
#include "lang/String.h"

namespace window {
class ImageArray;
}

namespace sprite {

// The root of every sprite: its name, as the definition script gave it (buttons use it as their command).
class SpriteBase : public lang::Object {
public:
    LANG_CLASS_NAME(SpriteBase, Object)

    const lang::String& getName() const { return name_; }
    void setName(const lang::String& name) { name_ = name; }

private:
    lang::String name_;
};

// The plain image sprite.
class Sprite : public SpriteBase {
public:
    LANG_CLASS_NAME(Sprite, SpriteBase)
    LANG_DECLARE_CLASS_RECORD(Sprite);

    // Takes the images and numbers of the sprite's definition record. Both arrays belong to the
    // caller and are reused for the next record: a sprite that keeps any of them copies them, with
    // references of its own. The base keeps nothing.
    virtual void init(window::ImageArray* images, lang::IntArray* numbers);
    // Visibility as last set; a new sprite is visible.
    virtual bool isVisible() const { return visible_; }

protected:
    bool visible_ = true;
};

}  // namespace sprite
