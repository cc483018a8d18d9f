// util::RectangleNM: union, intersection and the hash.
#include "util/RectangleNM.h"

#include <algorithm>

namespace util {

int32_t RectangleNM::hashCode() const {
    uint32_t h = static_cast<uint32_t>(x);
    h = h * 256 + static_cast<uint32_t>(y);
    h = h * 256 + static_cast<uint32_t>(width);
    h = h * 256 + static_cast<uint32_t>(height);
    return static_cast<int32_t>(h);
}

bool RectangleNM::equalsRect(const lang::Object* other) const {
    if (other == this) return true;
    if (other == nullptr || !other->instanceOf("Rectangle")) return false;
    const auto* r = static_cast<const RectangleNM*>(other);
    return r->x == x && r->y == y && r->width == width && r->height == height;
}

void RectangleNM::setBounds(const RectangleNM& other) {
    setBounds(other.x, other.y, other.width, other.height);
}

void RectangleNM::setBounds(int nx, int ny, int nwidth, int nheight) {
    x = nx;
    y = ny;
    width = nwidth;
    height = nheight;
}

void RectangleNM::add(const RectangleNM& other) {
    int left = std::min(x, other.x);
    int top = std::min(y, other.y);
    int right = std::max(x + width, other.x + other.width);
    int bottom = std::max(y + height, other.y + other.height);
    setBounds(left, top, right - left, bottom - top);
}

void RectangleNM::intersect(const RectangleNM& other) {
    int left = std::max(x, other.x);
    int top = std::max(y, other.y);
    int right = std::min(x + width, other.x + other.width);
    int bottom = std::min(y + height, other.y + other.height);
    if (right - left < 1 || bottom - top < 1) {
        setBounds(0, 0, 0, 0);
    } else {
        setBounds(left, top, right - left, bottom - top);
    }
}

}  // namespace util
