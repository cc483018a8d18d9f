// sprite::FancyContainer: a sprite holding child sprites in its own coordinates, with a whole-fade-out.
#pragma once

#include <vector>

#include "sprite/Sprite.h"
#include "util/Region.h"
#include "util/Vector.h"

namespace sprite {

class DataLoader;

// Children are positioned relative to the container's top-left corner and drawn in list order (the
// last is top-most). The container steps them, keeps the part of itself they changed (its local
// region, in its own coordinates) and reports that part, moved to canvas coordinates, with its own.
//
// Locks: the children list's monitor guards the list only; children are stepped, painted and routed
// from a snapshot taken with references, so that nothing the children call (completion labels reaching
// the game, which may add or remove children) runs under it. The local region's monitor guards the
// region and the fade picture.
class FancyContainer : public Sprite {
public:
    static constexpr int kDefaultFadeStep = 20;

    FancyContainer();
    ~FancyContainer() override;

    LANG_CLASS_NAME(FancyContainer, Sprite)
    LANG_DECLARE_CLASS_RECORD(FancyContainer);

    // Numbers 0-3: x, y, width, height.
    void init(window::ImageArray* images, lang::IntArray* numbers) override;
    void paint(window::Graphics* g) override;
    bool update(int frame, util::RectangleNM* out, util::Region* region) override;
    void setSize(int width, int height) override;
    // Sets the levels of the container and of every child.
    void setColorTransform(int alpha, int red, int green, int blue) override;
    Sprite* clone() override;

    // Called by the definition loader once the sprites of the container's sub-script have been
    // appended as its children, with the loader that read them; does nothing here.
    virtual void setUp(DataLoader* loader);
    virtual void reloadImages();
    virtual void unloadImages();
    // Inserts the child after `after` (at the front for null), taking it out of the list and of the
    // pending removals first. The container takes a reference.
    virtual void insertChildAfter(Sprite* child, Sprite* after);
    // Appends a child on top of the others (a child already present moves to the top).
    virtual void appendChild(Sprite* child);
    // Hides the child at once; it leaves the list at the end of the next step.
    virtual void removeChild(Sprite* child);
    virtual void pauseAnimations(bool paused);
    // Paints every shown child whose bounds meet `area` (container coordinates), in list order.
    virtual void paintChildren(window::Graphics* g, const util::Region* area);

    // Fades the container and all its children out as one picture, fadeStep alpha units a frame, and
    // hides it at the end; the container's level is then back where it was.
    void startFadeOut();
    bool isFadingOut() const { return fadingOut_; }
    void setFadeStep(int step) { fadeStep_ = step; }

    // The children in paint order; the vector holds their references and its monitor guards it.
    util::Vector& children() { return *children_; }
    // The children in paint order, each with a reference.
    std::vector<lang::Ref<Sprite>> childSnapshot();
    int childCount();
    bool hasChild(Sprite* child);
    // The changed part in container coordinates (a copy, for tests).
    util::Region localRegionCopy();

protected:
    // Draws the children through the container's own picture with the container's alpha.
    void paintFading(window::Graphics* g);
    // Takes the child out of the list and the pending removals without touching its visibility.
    void detachChild(Sprite* child);

    int32_t fadeStep_ = kDefaultFadeStep;
    lang::Ref<util::Vector> children_;
    lang::Ref<util::Vector> pendingChildRemovals_;
    std::atomic<bool> fadingOut_{false};
    int32_t alphaBeforeFade_ = window::FancyHelper::kUnchanged;
    lang::Ref<util::Region> localRegion_;
    lang::Ref<window::Image> fadePicture_;
};

}  // namespace sprite
