// sprite::FancyContainer: children, their stepping and painting, the local region and the fade-out.
#include "sprite/FancyContainer.h"

#include <cstring>

#include "sprite/AnimateSprite.h"

namespace sprite {

LANG_DEFINE_CLASS_RECORD(FancyContainer);

FancyContainer::FancyContainer()
    : children_(lang::make<util::Vector>()),
      pendingChildRemovals_(lang::make<util::Vector>()),
      localRegion_(lang::make<util::Region>()) {
    width_ = 1;
    height_ = 1;
    localRegion_->add(0, 0, 1, 1);
}

FancyContainer::~FancyContainer() = default;

void FancyContainer::init(window::ImageArray* images, lang::IntArray* numbers) {
    (void)images;
    setLocation(numberAt(numbers, 0), numberAt(numbers, 1));
    setSize(numberAt(numbers, 2), numberAt(numbers, 3));
}

void FancyContainer::setUp(DataLoader* loader) {
    (void)loader;
}

std::vector<lang::Ref<Sprite>> FancyContainer::childSnapshot() {
    lang::Synchronized guard(children_.get());
    std::vector<lang::Ref<Sprite>> snapshot;
    snapshot.reserve(static_cast<size_t>(children_->size()));
    for (int i = 0; i < children_->size(); ++i)
        snapshot.push_back(lang::share(static_cast<Sprite*>(children_->elementAtUnchecked(i))));
    return snapshot;
}

int FancyContainer::childCount() {
    return children_->size();
}

bool FancyContainer::hasChild(Sprite* child) {
    return child != nullptr && children_->indexOf(child) >= 0;
}

util::Region FancyContainer::localRegionCopy() {
    lang::Synchronized guard(localRegion_.get());
    return *localRegion_;
}

void FancyContainer::detachChild(Sprite* child) {
    lang::Synchronized guard(children_.get());
    children_->removeElement(child);
    while (pendingChildRemovals_->removeElement(child)) {
    }
}

void FancyContainer::insertChildAfter(Sprite* child, Sprite* after) {
    if (child == nullptr || child == this)
        return;
    lang::Ref<Sprite> keep = lang::share(child);
    {
        lang::Synchronized guard(children_.get());
        detachChild(child);
        const int index = after == nullptr ? 0 : children_->indexOf(after) + 1;
        if (after != nullptr && index == 0)
            children_->addElement(child);  // `after` is not a child: on top
        else
            children_->insertElementAt(child, index);
    }
    if (child->isVisible())
        child->markDirty();
}

void FancyContainer::appendChild(Sprite* child) {
    if (child == nullptr || child == this)
        return;
    lang::Ref<Sprite> keep = lang::share(child);
    {
        lang::Synchronized guard(children_.get());
        detachChild(child);
        children_->addElement(child);
    }
    if (child->isVisible())
        child->markDirty();
}

void FancyContainer::removeChild(Sprite* child) {
    if (!hasChild(child))
        return;
    // Hiding reports the child's area; it stays in the list (hidden) until the next step ends.
    child->setVisible(false);
    lang::Synchronized guard(children_.get());
    if (pendingChildRemovals_->indexOf(child) < 0)
        pendingChildRemovals_->addElement(child);
}

void FancyContainer::pauseAnimations(bool paused) {
    for (const lang::Ref<Sprite>& child : childSnapshot()) {
        if (child->instanceOf("AnimateSprite"))
            static_cast<AnimateSprite*>(child.get())->setPaused(paused);
    }
}

void FancyContainer::reloadImages() {
    for (const lang::Ref<Sprite>& child : childSnapshot())
        child->reloadImage();
}

void FancyContainer::unloadImages() {
    for (const lang::Ref<Sprite>& child : childSnapshot())
        child->unloadImage();
}

void FancyContainer::setSize(int width, int height) {
    Sprite::setSize(width, height);
    lang::Synchronized guard(localRegion_.get());
    localRegion_->clear();
    localRegion_->add(0, 0, width_, height_);
    fadePicture_.reset();
}

void FancyContainer::setColorTransform(int alpha, int red, int green, int blue) {
    Sprite::setColorTransform(alpha, red, green, blue);
    for (const lang::Ref<Sprite>& child : childSnapshot())
        child->setColorTransform(alpha, red, green, blue);
}

void FancyContainer::startFadeOut() {
    if (fadingOut_)
        return;
    window::FancyHelper* levels = colorTransform();
    alphaBeforeFade_ = levels->alpha;
    Sprite::setColorTransform(window::FancyHelper::kUnchanged, levels->red, levels->green, levels->blue);
    fadingOut_ = true;
    setVisible(true);
    {
        lang::Synchronized guard(localRegion_.get());
        localRegion_->clear();
        localRegion_->add(0, 0, width_, height_);
    }
    markDirty();
}

bool FancyContainer::update(int frame, util::RectangleNM* out, util::Region* region) {
    if (fadingOut_) {
        window::FancyHelper* levels = colorTransform();
        const int alpha = levels->alpha - fadeStep_;
        if (alpha < 1) {
            setVisible(false);
            fadingOut_ = false;
            // Only the container's own level faded; it is restored for the next show (hidden now, so
            // nothing is marked).
            Sprite::setColorTransform(alphaBeforeFade_, levels->red, levels->green, levels->blue);
        } else {
            Sprite::setColorTransform(alpha, levels->red, levels->green, levels->blue);
        }
    }
    bool result = Sprite::update(frame, out, region);
    const bool shown = shown_;
    const int x = x_, y = y_;
    const util::RectangleNM box(0, 0, width_, height_);

    // Removals queued from now on (by a child's completion label, say) wait for the next step, so that
    // every removed child has reported its area before it leaves.
    std::vector<lang::Ref<Sprite>> removals;
    {
        lang::Synchronized guard(children_.get());
        for (int i = 0; i < pendingChildRemovals_->size(); ++i)
            removals.push_back(lang::share(static_cast<Sprite*>(pendingChildRemovals_->elementAtUnchecked(i))));
    }

    util::Region changedArea;
    bool changed = false;
    for (const lang::Ref<Sprite>& child : childSnapshot()) {
        util::RectangleNM rect;
        if (!child->update(frame, &rect, &changedArea))
            continue;
        rect.intersect(box);
        if (rect.isEmpty())
            continue;
        changed = true;
        if (shown && out != nullptr) {
            rect.x += x;
            rect.y += y;
            if (out->isEmpty())
                out->setBounds(rect);
            else
                out->add(rect);
        }
    }
    if (changed) {
        changedArea.intersect(box.x, box.y, box.width, box.height);
        lang::Synchronized guard(localRegion_.get());
        localRegion_->intersect(box.x, box.y, box.width, box.height);
        localRegion_->add(changedArea);
        if (shown) {
            if (region != nullptr) {
                changedArea.translate(x, y);
                region->add(changedArea);
            }
            result = true;
        }
    }

    if (!removals.empty()) {
        lang::Synchronized guard(children_.get());
        for (auto it = removals.rbegin(); it != removals.rend(); ++it) {
            // Re-added meanwhile: the removal was cancelled.
            if (pendingChildRemovals_->removeElement(it->get()))
                children_->removeElement(it->get());
        }
    }
    return result;
}

void FancyContainer::paintChildren(window::Graphics* g, const util::Region* area) {
    for (const lang::Ref<Sprite>& child : childSnapshot()) {
        if (!child->isShown())
            continue;
        if (area != nullptr && !area->intersects(child->getBounds()))
            continue;
        child->paint(g);
    }
}

void FancyContainer::paint(window::Graphics* g) {
    if (!shown_ || g == nullptr)
        return;
    lang::Synchronized guard(localRegion_.get());
    if (fadingOut_) {
        paintFading(g);
        localRegion_->clear();
        return;
    }
    const int x = x_, y = y_;
    lang::Ref<window::Graphics> inner = lang::adopt(g->create());
    inner->clipRect(x, y, width_, height_);
    if (clipRect_)
        inner->clipRect(clipRect_->x, clipRect_->y, clipRect_->width, clipRect_->height);
    inner->translate(x, y);
    lang::Ref<util::Region> area = lang::adopt(inner->getClip());
    paintChildren(inner.get(), area.get());
    inner->dispose();
    localRegion_->clear();
}

void FancyContainer::paintFading(window::Graphics* g) {
    const int w = width_, h = height_;
    if (w <= 0 || h <= 0)
        return;
    if (!fadePicture_ || fadePicture_->getWidth() != w || fadePicture_->getHeight() != h) {
        fadePicture_ = lang::make<window::Image>(w, h, window::Image::kCleared);
        localRegion_->clear();
        localRegion_->add(0, 0, w, h);
    }
    uint32_t* pixels = fadePicture_->getPixels();
    if (pixels == nullptr)
        return;
    // The changed part is drawn again from a transparent start.
    localRegion_->intersect(0, 0, w, h);
    for (const util::Region::Box& b : localRegion_->boxes()) {
        for (int row = b.y1; row < b.y2; ++row)
            std::memset(pixels + static_cast<size_t>(row) * w + b.x1, 0,
                        static_cast<size_t>(b.x2 - b.x1) * sizeof(uint32_t));
    }
    {
        lang::Ref<window::Graphics> picture = lang::adopt(fadePicture_->getGraphics());
        picture->setClip(localRegion_.get());
        paintChildren(picture.get(), localRegion_.get());
        picture->dispose();
    }
    fadePicture_->setHasAlpha(true);
    if (clipRect_) {
        lang::Ref<window::Graphics> clipped = lang::adopt(g->create());
        clipped->clipRect(clipRect_->x, clipRect_->y, clipRect_->width, clipRect_->height);
        drawWithLevels(clipped.get(), fadePicture_.get(), x_, y_);
        clipped->dispose();
    } else {
        drawWithLevels(g, fadePicture_.get(), x_, y_);
    }
}

Sprite* FancyContainer::clone() {
    auto* copy = new FancyContainer();
    copySpriteTo(*copy);
    copy->fadeStep_ = fadeStep_;
    return copy;
}

}  // namespace sprite
