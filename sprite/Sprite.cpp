// sprite::Sprite: the class record and the definition-record hook of the plain sprite.
#include "sprite/Sprite.h"

namespace sprite {

LANG_DEFINE_CLASS_RECORD(Sprite);

void Sprite::init(window::ImageArray* images, lang::IntArray* numbers) {
    (void)images;
    (void)numbers;
}

}  // namespace sprite
