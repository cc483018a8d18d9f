// sprite::FancyContainer: a sprite whose children come from a sub-script of the definition script.
#pragma once

#include "sprite/Sprite.h"
#include "util/Vector.h"

namespace sprite {

class DataLoader;

class FancyContainer : public Sprite {
public:
    FancyContainer();
    ~FancyContainer() override;
    FancyContainer(const FancyContainer&) = delete;
    FancyContainer& operator=(const FancyContainer&) = delete;

    LANG_CLASS_NAME(FancyContainer, Sprite)
    LANG_DECLARE_CLASS_RECORD(FancyContainer);

    // Called by the definition loader once the sprites of the container's sub-script have been
    // appended as its children, with the loader that read them; does nothing here.
    virtual void setUp(DataLoader* loader);
    // Appends a child on top of the others (a child already present moves to the top). The container
    // takes a reference.
    virtual void appendChild(Sprite* child);

    // The children in paint order; the vector holds their references.
    util::Vector& children() { return *children_; }

private:
    util::Vector* children_;
};

}  // namespace sprite
