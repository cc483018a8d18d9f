// util::Point and util::Dimension: a position and a size in pixels.
#pragma once

#include "lang/Object.h"

namespace util {

class Point : public lang::Object {
public:
    Point(int x = 0, int y = 0) : x(x), y(y) {}
    LANG_CLASS_NAME(Point, Object)

    int32_t x;
    int32_t y;
};

class Dimension : public lang::Object {
public:
    Dimension(int width = 0, int height = 0) : width(width), height(height) {}
    LANG_CLASS_NAME(Dimension, Object)

    int32_t width;
    int32_t height;
};

}  // namespace util
