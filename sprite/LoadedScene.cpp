// sprite::LoadedScene: the loader's results, taken over with references of their own.
#include "sprite/LoadedScene.h"

#include "sprite/DataLoader.h"

namespace sprite {

namespace {

// Copies the elements of `from` into `to`, taking a reference on each.
void copyReferenced(const lang::ObjectArray* from, lang::ObjectArray& to) {
    const int length = from != nullptr ? from->length() : 0;
    to.setSize(length);
    for (int i = 0; i < length; ++i) {
        lang::Object* element = (*from)[i];
        if (element != nullptr)
            element->addRef();
        to[i] = element;
    }
}

}  // namespace

LoadedScene::LoadedScene()
    : sounds_(lang::make<lang::ObjectArray>()),
      strings_(lang::make<lang::StringArray>()),
      numbers_(lang::make<lang::IntArray>()) {}

LoadedScene::~LoadedScene() {
    for (lang::ObjectArray* array : {sounds_.get(), static_cast<lang::ObjectArray*>(strings_.get())}) {
        for (int i = 0; i < array->length(); ++i)
            lang::release((*array)[i]);
        array->setSize(0);
    }
}

lang::Ref<LoadedScene> LoadedScene::takeFrom(const DataLoader& loader) {
    lang::Ref<LoadedScene> scene = lang::adopt(new LoadedScene());
    scene->sprites_ = lang::share(loader.sprites());
    scene->names_ = lang::share(loader.names());
    if (!scene->sprites_)
        scene->sprites_ = lang::make<util::Vector>();
    if (!scene->names_)
        scene->names_ = lang::make<util::Hashtable>();
    copyReferenced(loader.sounds(), *scene->sounds_);
    copyReferenced(loader.strings(), *scene->strings_);
    if (loader.data() != nullptr)
        scene->numbers_->copyFrom(*loader.data());
    return scene;
}

}  // namespace sprite
