// sprite::SpriteArray: the plain array type that holds sprites (it holds no references).
#pragma once

#include "lang/Arrays.h"
#include "sprite/Sprite.h"

namespace sprite {

class SpriteArray : public lang::ObjectArray {
public:
    explicit SpriteArray(int length = 0) : ObjectArray(length) {}

    LANG_CLASS_NAME(SpriteArray, ObjectArray)

    Sprite*& operator[](int index) { return reinterpret_cast<Sprite*&>(ObjectArray::operator[](index)); }
    Sprite* operator[](int index) const { return static_cast<Sprite*>(ObjectArray::operator[](index)); }
};

}  // namespace sprite
