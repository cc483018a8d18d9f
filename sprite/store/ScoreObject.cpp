// sprite::ScoreObject: the text of a high-score record.
#include "sprite/store/ScoreObject.h"

namespace sprite {

lang::String* ScoreObject::toString() const {
    auto* text = new lang::String(name_);
    text->append(' ');
    text->append(score_);
    text->append(' ');
    text->append(level_);
    text->append(' ');
    text->append(mode_);
    text->append(' ');
    text->append(setting_);
    return text;
}

}  // namespace sprite
