// window::ImageArray: a plain array of images; like every plain array it holds no references.
#pragma once

#include "lang/Arrays.h"
#include "window/Image.h"

namespace window {

class ImageArray : public lang::ObjectArray {
public:
    explicit ImageArray(int length = 0) : ObjectArray(length) {}

    LANG_CLASS_NAME(ImageArray, ObjectArray)

    Image*& operator[](int index) { return reinterpret_cast<Image*&>(ObjectArray::operator[](index)); }
    Image* operator[](int index) const { return static_cast<Image*>(ObjectArray::operator[](index)); }
};

}  // namespace window
