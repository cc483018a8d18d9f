// DragonflySprite: flight states, the kept path and the direction it faces.
#include "game/DragonflySprite.h"

#include <algorithm>

LANG_DEFINE_CLASS_RECORD(DragonflySprite);

namespace {

size_t headingIndex(Heading h) {
    return static_cast<size_t>(static_cast<int>(h) - static_cast<int>(Heading::Up));
}

}  // namespace

DragonflySprite::DragonflySprite() = default;
DragonflySprite::~DragonflySprite() = default;

void DragonflySprite::setDirectionSprites(const std::array<sprite::AnimateSprite*, 4>& sprites) {
    for (size_t i = 0; i < 4; ++i)
        directions_[i] = lang::share(sprites[i]);
}

sprite::AnimateSprite* DragonflySprite::directionSprite(Heading heading) const {
    return directions_[headingIndex(heading)].get();
}

void DragonflySprite::flyToSquare(int x, int y, int screenX, int screenY, int frames) {
    rest_ = {x, y};
    flightState_ = kResting;
    setVisible(true);
    moveTo(screenX, screenY, frames);
}

void DragonflySprite::takeOff(const std::vector<BoardSquare>& path) {
    path_.assign(path.begin(), path.begin() + static_cast<long>(std::min(path.size(), size_t{kMaxPath})));
    next_ = 0;
    flightState_ = kTakingOff;
    rest_ = {kNoSquare, kNoSquare};
}

BoardSquare DragonflySprite::nextPathSquare() {
    flightState_ = kFlying;
    if (next_ >= path_.size())
        return {kNoSquare, kNoSquare};
    return path_[next_++];
}

void DragonflySprite::leaveScreen(Heading heading, int frames) {
    flightState_ = kLeaving;
    face(heading);
    int tx = getX();
    int ty = getY();
    switch (heading) {
    case Heading::Up:
        ty = -getHeight() - 1;
        break;
    case Heading::Right:
        tx = 801;
        break;
    case Heading::Down:
        ty = 601;
        break;
    case Heading::Left:
        tx = -getWidth() - 1;
        break;
    }
    moveTo(tx, ty, frames);
}

void DragonflySprite::reset() {
    flightState_ = kResetting;
    setVisible(false);
    for (auto& d : directions_)
        if (d)
            d->setVisible(false);
    path_.clear();
    next_ = 0;
    rest_ = {kNoSquare, kNoSquare};
    flightState_ = kFree;
}

void DragonflySprite::face(Heading heading) {
    facing_ = heading;
    markDirty();
}

bool DragonflySprite::update(int frame, util::RectangleNM* out, util::Region* region) {
    bool changed = false;
    for (size_t i = 0; i < 4; ++i) {
        sprite::AnimateSprite* d = directions_[i].get();
        if (d == nullptr)
            continue;
        d->setLocation(getX(), getY());
        d->setVisible(visible_ && i == headingIndex(facing_));
        changed |= d->update(frame, out, region);
    }
    changed |= AnimateSprite::update(frame, out, region);
    // Off the screen: free again.
    if (flightState_ == kLeaving && !isAnimating())
        reset();
    return changed;
}

void DragonflySprite::paint(window::Graphics* g) {
    if (!shown_)
        return;
    sprite::AnimateSprite* d = directions_[headingIndex(facing_)].get();
    if (d != nullptr && d->isShown())
        d->paint(g);
    else
        AnimateSprite::paint(g);
}
