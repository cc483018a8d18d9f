// Pictures, receivers and frame stepping shared by the sprite tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lang/Ref.h"
#include "sprite/Sprite.h"
#include "util/Region.h"
#include "window/Event.h"
#include "window/Image.h"
#include "window/Receiver.h"

namespace sprite_test {

// A picture of w x h pixels, every pixel `argb`.
inline lang::Ref<window::Image> solidImage(int w, int h, uint32_t argb) {
    auto image = lang::make<window::Image>(w, h, window::Image::kCleared);
    uint32_t* p = image->getPixels();
    for (int i = 0; i < w * h; ++i)
        p[i] = argb;
    image->setHasAlpha((argb >> 24) != 0xFF);
    return image;
}

// A sheet of columns x rows cells of w x h; cell n is filled with 0xFF000000 | (n + 1), so a pixel
// tells which frame it came from.
inline lang::Ref<window::Image> numberedSheet(int columns, int rows, int w, int h) {
    auto image = lang::make<window::Image>(columns * w, rows * h, window::Image::kCleared);
    uint32_t* p = image->getPixels();
    for (int y = 0; y < rows * h; ++y)
        for (int x = 0; x < columns * w; ++x)
            p[y * columns * w + x] = 0xFF000000u | static_cast<uint32_t>((y / h) * columns + x / w + 1);
    return image;
}

// Records the labels of the action events it receives.
class LabelReceiver : public lang::Object, public window::Receiver {
public:
    const char* getClassName() const override { return "LabelReceiver"; }
    bool receive(window::Event* event) override {
        if (event->id == window::Event::kAction && event->arg && event->arg->instanceOf("String"))
            labels.emplace_back(static_cast<lang::String*>(event->arg.get())->chars());
        sources.push_back(event->source.get());
        return true;
    }
    std::vector<std::string> labels;
    std::vector<lang::Object*> sources;
};

// One frame step of a sprite: whether it changed, and the area it reported.
struct Step {
    bool changed = false;
    util::RectangleNM out;
    util::Region region;
};

inline Step step(sprite::Sprite& s, int frame) {
    Step result;
    result.changed = s.update(frame, &result.out, &result.region);
    return result;
}

inline lang::Ref<lang::IntArray> numbers(std::initializer_list<int> values) {
    auto array = lang::make<lang::IntArray>(static_cast<int>(values.size()));
    int i = 0;
    for (int v : values)
        (*array)[i++] = v;
    return array;
}

}  // namespace sprite_test
