// sprite::LoadedScene: what a finished loading pass hands over to the canvas that will show it.
#pragma once

#include "lang/Arrays.h"
#include "lang/Ref.h"
#include "util/Hashtable.h"
#include "util/Vector.h"

namespace sprite {

class DataLoader;

// The loader keeps its results only while it lives: when it dies it gives up its references on the
// elements of its sound and string arrays and empties them. A canvas that shared those arrays would be
// left with empty tables (or, worse, dangling elements), so the hand-over copies them into arrays of
// its own, with a reference on every element, held until the scene is released. The sprite list and
// the name table are vectors and tables, which hold their own references; the scene shares them.
class LoadedScene : public lang::Object {
public:
    // The results of the loader's last pass, with references of the scene's own.
    static lang::Ref<LoadedScene> takeFrom(const DataLoader& loader);
    ~LoadedScene() override;

    LANG_CLASS_NAME(LoadedScene, Object)

    // None hands over a reference; all stay valid while the scene lives.
    // Every sprite of the script, in script order (z-order).
    util::Vector* sprites() const { return sprites_.get(); }
    // Sprites by name.
    util::Hashtable* names() const { return names_.get(); }
    // The sound table by index; the elements are the loader's audio clips (or null slots).
    lang::ObjectArray* sounds() const { return sounds_.get(); }
    lang::StringArray* strings() const { return strings_.get(); }
    lang::IntArray* numbers() const { return numbers_.get(); }

private:
    LoadedScene();

    lang::Ref<util::Vector> sprites_;
    lang::Ref<util::Hashtable> names_;
    lang::Ref<lang::ObjectArray> sounds_;  // one reference of ours on each element
    lang::Ref<lang::StringArray> strings_;  // one reference of ours on each element
    lang::Ref<lang::IntArray> numbers_;
};

}  // namespace sprite
