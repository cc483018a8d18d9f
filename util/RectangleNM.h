// util::RectangleNM: a rectangle in pixels; the right and bottom edges (x + width, y + height) are
// exclusive.
#pragma once

#include "lang/Object.h"

namespace util {

class RectangleNM : public lang::Object {
public:
    RectangleNM() = default;
    RectangleNM(int x, int y, int width, int height) : x(x), y(y), width(width), height(height) {}
    RectangleNM(const RectangleNM& other) : Object(), x(other.x), y(other.y), width(other.width), height(other.height) {}
    RectangleNM& operator=(const RectangleNM& other) {
        setBounds(other);
        return *this;
    }

    // The class answers "Rectangle", the name stored data and scripts know it by.
    LANG_CLASS_NAME(Rectangle, Object)
    int32_t hashCode() const override;

    // True for this very rectangle, or another "Rectangle" with the same four fields. The inherited
    // equals stays the identity test.
    bool equalsRect(const lang::Object* other) const;
    void setBounds(const RectangleNM& other);
    void setBounds(int x, int y, int width, int height);
    // Grows to the smallest rectangle holding both; an empty rectangle's position still counts.
    void add(const RectangleNM& other);
    // Shrinks to the common part; all four fields become 0 when nothing is common.
    void intersect(const RectangleNM& other);
    bool isEmpty() const { return width <= 0 || height <= 0; }
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + width && py < y + height; }

    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

}  // namespace util
