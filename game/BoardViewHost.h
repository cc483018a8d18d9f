// BoardViewHost: what the board view asks of the canvas it draws on.
#pragma once

#include "game/rules/BoardEvents.h"
#include "lang/Ref.h"
#include "util/Point.h"
#include "util/Random.h"

class PlayerData;

namespace sprite {
class AnimateSprite;
class GameCanvas2;
class Sprite;
}  // namespace sprite

// Every operation runs under the canvas lock: the view is only called from the model's calls and from
// the canvas's own operations.
class BoardViewHost {
public:
    virtual ~BoardViewHost() = default;

    // The sprite scene: named sprites, sounds, removal, and the receiver of the effects' end labels.
    virtual sprite::GameCanvas2& scene() = 0;
    // Puts a sprite just below the named one in the scene order (on top when that one is missing).
    virtual void placeBelow(sprite::Sprite* sprite, const char* reference) = 0;
    // A copy of a template sprite shown at (x, y) below the top fence, whose end runs `label`; null
    // without the template.
    virtual lang::Ref<sprite::AnimateSprite> effectFrom(const char* templateName, int x, int y,
                                                        const char* label) = 0;
    // The current profile's store (null without settings).
    virtual PlayerData* playerData() = 0;
    // The one generator the board and the piece sprites draw from.
    virtual util::Random* random() = 0;
    virtual int level() = 0;
    // A tutorial page offered now, when this player is due to see it.
    virtual void offerTutorial(int page) = 0;
    // An explanation the model asks for: held while a level is being dealt, offered otherwise.
    virtual void explanationDue(int page) = 0;
    // Where the console's sun and the score stand on the screen.
    virtual util::Point consoleSunPoint() = 0;
    virtual util::Point scorePoint() = 0;
    // The first board's arrival: begun by its first piece placed; pieces spawned meanwhile stay hidden.
    virtual void beginArrival() = 0;
    virtual bool arriving() = 0;
    // The model ended the level; the canvas acts on it once the model's frame is over.
    virtual void boardLevelComplete() = 0;
    virtual void boardLevelLost(LevelLoss reason) = 0;
};
