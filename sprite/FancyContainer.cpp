// sprite::FancyContainer: the class record and the child list filled from a sub-script.
#include "sprite/FancyContainer.h"

namespace sprite {

LANG_DEFINE_CLASS_RECORD(FancyContainer);

FancyContainer::FancyContainer() : children_(new util::Vector()) {}

FancyContainer::~FancyContainer() {
    children_->release();
}

void FancyContainer::setUp(DataLoader* loader) {
    (void)loader;
}

void FancyContainer::appendChild(Sprite* child) {
    if (child == nullptr)
        return;
    lang::Synchronized guard(children_);
    children_->removeElement(child);
    children_->addElement(child);
}

}  // namespace sprite
