// DragonflySprite: a dragonfly of the dragonfly power: it rests on its piece, flies a path of squares
// and leaves the screen.
#pragma once

#include <array>
#include <vector>

#include "game/rules/BoardEvents.h"
#include "game/rules/BoardValues.h"
#include "lang/Ref.h"
#include "sprite/AnimateSprite.h"

// The path itself is planned by the board model (it decides which squares are hit); the sprite keeps it
// to glide along and faces the direction of each leg with one of its four direction pictures.
class DragonflySprite : public sprite::AnimateSprite {
public:
    static constexpr int kResetting = 16;
    static constexpr int kFree = 17;
    static constexpr int kResting = 18;
    static constexpr int kTakingOff = 19;
    static constexpr int kFlying = 20;
    static constexpr int kLeaving = 21;
    static constexpr int kMaxPath = 52;
    static constexpr int kNoSquare = board::kNone;

    DragonflySprite();
    ~DragonflySprite() override;

    LANG_CLASS_NAME(DragonflySprite, AnimateSprite)
    LANG_DECLARE_CLASS_RECORD(DragonflySprite);

    // The pictures facing up, right, down, left (referenced; copies of the scene's templates).
    void setDirectionSprites(const std::array<sprite::AnimateSprite*, 4>& sprites);
    sprite::AnimateSprite* directionSprite(Heading heading) const;

    // From free: glides to the screen position of square (x, y) and rests there.
    void flyToSquare(int x, int y, int screenX, int screenY, int frames);
    // Takes off along `path` (at most 52 squares kept).
    void takeOff(const std::vector<BoardSquare>& path);
    bool isTakingOff() const { return flightState_ == kTakingOff; }
    // The next square of the path (state 20 from now), or (-13, -13) when it is used up.
    BoardSquare nextPathSquare();
    bool pathDone() const { return flightState_ == kFlying && next_ >= path_.size(); }
    // Flies off the screen heading `heading`: to beyond the edge of the 800 by 600 canvas.
    void leaveScreen(Heading heading, int frames);
    // Hides every part and is free again.
    void reset();
    // Turns to face a direction (2 up .. 5 left).
    void face(Heading heading);

    int flightState() const { return flightState_; }
    BoardSquare restingSquare() const { return rest_; }
    Heading facing() const { return facing_; }

    bool update(int frame, util::RectangleNM* out, util::Region* region) override;
    void paint(window::Graphics* g) override;

private:
    std::array<lang::Ref<sprite::AnimateSprite>, 4> directions_;
    int flightState_ = kFree;
    BoardSquare rest_{kNoSquare, kNoSquare};
    std::vector<BoardSquare> path_;
    size_t next_ = 0;
    Heading facing_ = Heading::Up;
};
