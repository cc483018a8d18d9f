// sprite::GameCanvas2: the scene list, its loading, the frame step over it and the command handler.
#include "sprite/GameCanvas2.h"

#include "sprite/AnimateSprite.h"
#include "sprite/DataLoader.h"
#include "sprite/DialogSprite.h"
#include "sprite/LoadedScene.h"
#include "sprite/SpriteNames.h"
#include "window/Cursor.h"
#include "window/Frame.h"

namespace sprite {

GameCanvas2::GameCanvas2()
    : scene_(lang::make<util::Vector>(10)),
      pendingRemovals_(lang::make<util::Vector>(10)),
      notifications_(lang::make<util::Vector>(10)) {}

GameCanvas2::~GameCanvas2() {
    // The threads step and route the scene: they end before the scene goes.
    destroy();
}

// ---- the scene ----

void GameCanvas2::addSprite(const char* name, Sprite* sprite, int index) {
    if (sprite == nullptr)
        return;
    lang::Synchronized guard(this, true);
    lang::Ref<Sprite> keep = lang::share(sprite);
    // The sprite's own entries under its present name go, however many there are and whichever is
    // newest; another sprite's entry under the same name stays.
    dropName(spriteNames_.get(), sprite->getName(), sprite);
    {
        lang::Synchronized list(scene_.get());
        scene_->removeElement(sprite);
        pendingRemovals_->removeElement(sprite);
        if (index >= 0 && index <= scene_->size())
            scene_->insertElementAt(sprite, index);
        else
            scene_->addElement(sprite);
    }
    if (name != nullptr && name[0] != 0) {
        sprite->setName(name);
        if (!spriteNames_)
            spriteNames_ = lang::make<util::Hashtable>();
        spriteNames_->put(name, sprite);
    } else {
        sprite->setName("");
    }
}

void GameCanvas2::removeSprite(Sprite* sprite) {
    if (sprite == nullptr)
        return;
    lang::Synchronized guard(this, true);
    lang::Ref<Sprite> keep = lang::share(sprite);
    sprite->setVisible(false);
    dropName(spriteNames_.get(), sprite->getName(), sprite);
    lang::Synchronized list(scene_.get());
    if (pendingRemovals_->indexOf(sprite) < 0)
        pendingRemovals_->addElement(sprite);
}

Sprite* GameCanvas2::getSprite(const lang::String& name) {
    lang::Synchronized guard(this, true);
    return findNamed(spriteNames_.get(), name);
}

Sprite* GameCanvas2::getSprite(const char* name) {
    lang::String key(name != nullptr ? name : "");
    return getSprite(key);
}

int GameCanvas2::indexOfSprite(Sprite* sprite) {
    return scene_->indexOf(sprite);
}

lang::Ref<Sprite> GameCanvas2::spriteAt(int index) {
    lang::Synchronized list(scene_.get());
    if (index < 0 || index >= scene_->size())
        return nullptr;
    return lang::share(static_cast<Sprite*>(scene_->elementAt(index)));
}

int GameCanvas2::sceneSize() {
    return scene_->size();
}

std::vector<lang::Ref<Sprite>> GameCanvas2::sceneSnapshot() {
    std::vector<lang::Ref<Sprite>> snapshot;
    lang::Synchronized list(scene_.get());
    snapshot.reserve(static_cast<size_t>(scene_->size()));
    for (int i = 0; i < scene_->size(); ++i)
        snapshot.push_back(lang::share(static_cast<Sprite*>(scene_->elementAtUnchecked(i))));
    return snapshot;
}

void GameCanvas2::pauseAnimations(bool paused) {
    GameCanvas::pauseAnimations(paused);
    lang::Synchronized list(scene_.get());
    for (int i = 0; i < scene_->size(); ++i) {
        auto* sprite = static_cast<Sprite*>(scene_->elementAtUnchecked(i));
        if (sprite != nullptr && sprite->instanceOf("AnimateSprite"))
            static_cast<AnimateSprite*>(sprite)->setPaused(paused);
    }
}

// ---- loading ----

Sprite* GameCanvas2::createSprite(const lang::String&, window::ImageArray*, lang::IntArray*, DataLoader*) {
    return nullptr;
}

bool GameCanvas2::loadScene() {
    auto loader = lang::make<DataLoader>(programDir_, this, settings_.get());
    loadedCount_ = 0;
    loadTotal_ = loader->count(scriptName_);
    if (!loader->load(scriptName_))
        return false;
    // The scene takes references of its own on everything the loader made: the loader gives up its
    // references on its sounds and strings when it goes.
    lang::Ref<LoadedScene> loaded = LoadedScene::takeFrom(*loader);
    setSoundTable(loaded->sounds());
    setStringTable(stringTable3_, loaded->strings());
    {
        lang::Synchronized guard(this, true);
        numberTable_ = lang::share(loaded->numbers());
        {
            lang::Synchronized list(scene_.get());
            scene_->removeAllElements();
            pendingRemovals_->removeAllElements();
            util::Vector* sprites = loaded->sprites();
            lang::Synchronized from(sprites);
            for (int i = 0; i < sprites->size(); ++i)
                scene_->addElement(sprites->elementAtUnchecked(i));
        }
        spriteNames_ = lang::share(loaded->names());
        loaded_ = loaded;
    }
    onSceneLoaded(loader.get());
    return true;
}

void GameCanvas2::onSceneLoaded(DataLoader*) {
    invalidateRect(nullptr);
    sceneLoaded_ = true;
}

// ---- the frame step and the redraw ----

void GameCanvas2::tick() {
    if (!notificationsPaused_)
        fireNotifications();
    stepSlots(true);
    // The step walks a snapshot: an animation's end runs game commands that add and remove sprites,
    // which must neither shift the walk nor free a sprite in the middle of its update. Only the
    // removals asked for before the step leave at its end: a sprite removed by a command during the
    // step may have been stepped already, and must still report the area its hiding uncovers.
    {
        lang::Synchronized list(scene_.get());
        stepSnapshot_.clear();
        for (int i = 0; i < scene_->size(); ++i)
            stepSnapshot_.push_back(lang::share(static_cast<Sprite*>(scene_->elementAtUnchecked(i))));
        leaving_.clear();
        for (int i = 0; i < pendingRemovals_->size(); ++i)
            leaving_.push_back(lang::share(static_cast<Sprite*>(pendingRemovals_->elementAtUnchecked(i))));
    }
    for (size_t i = 0; i < stepSnapshot_.size(); ++i) {
        if (stepSnapshot_[i])
            stepSprite(stepSnapshot_[i].get(), true);
    }
    {
        lang::Synchronized list(scene_.get());
        for (auto it = leaving_.rbegin(); it != leaving_.rend(); ++it) {
            // A sprite added again meanwhile is no longer pending and stays.
            if (pendingRemovals_->removeElement(it->get()))
                scene_->removeElement(it->get());
        }
    }
    // The references go outside the list's monitor: a sprite that dies here releases its children.
    leaving_.clear();
    stepSnapshot_.clear();
    mergeStep();
    stepFadingSounds();
    finishStep();
}

void GameCanvas2::renderOffscreen() {
    lang::Synchronized guard(this, true);
    lang::Synchronized drawing(dirtyRegion_.get());
    dirty_ = false;
    if (!offscreen_)
        return;
    if (!offscreenGraphics_)
        offscreenGraphics_ = lang::adopt(offscreen_->getGraphics());
    const util::Region& region = *dirtyRegion_;
    if (!region.isEmpty()) {
        lang::Ref<window::Graphics> g = lang::adopt(offscreenGraphics_->create());
        g->setColor(backgroundRgb());
        // Always clipped to the region: a translucent sprite is never blended twice over pixels
        // that did not change.
        g->setClip(&region);
        if (clearBackground_ && dirtyBounds_.width > 0 && dirtyBounds_.height > 0)
            g->fillRect(dirtyBounds_.x, dirtyBounds_.y, dirtyBounds_.width, dirtyBounds_.height);
        paintSlots(g.get(), true);
        lang::Synchronized list(scene_.get());
        for (int i = 0; i < scene_->size(); ++i) {
            auto* sprite = static_cast<Sprite*>(scene_->elementAtUnchecked(i));
            if (sprite != nullptr && sprite->isShown() && region.intersects(sprite->getBounds()))
                sprite->paint(g.get());
        }
        g->dispose();
    }
    dirtyBounds_.setBounds(0, 0, 0, 0);
    dirtyRegion_->clear();
}

// ---- keys and action events ----

bool GameCanvas2::keyDown(window::Event* event, int key) {
    if (!accepting())
        return false;
    // In full screen the first Escape belongs to the frame, which goes back to a window; otherwise
    // Escape reaches the dialogs like every key.
    if (key == window::Event::kEscape) {
        window::Component* parent = getParent();
        if (parent != nullptr && parent->instanceOf("Frame") && static_cast<window::Frame*>(parent)->isFullScreen())
            return false;
    }
    enqueueEvent(event);
    return true;
}

bool GameCanvas2::keyUp(window::Event* event, int) {
    if (!accepting())
        return false;
    enqueueEvent(event);
    return true;
}

bool GameCanvas2::receive(window::Event* event) {
    if (event != nullptr && event->arg && event->arg->instanceOf("String"))
        handleAction(event->source.get(), *static_cast<lang::String*>(event->arg.get()));
    return true;
}

void GameCanvas2::onFullScreenSwitched(bool) {
    if (!accepting())
        return;
    auto command = lang::make<lang::String>(kFullScreenSwitched);
    auto event = lang::make<window::Event>(command.get(), nullptr);
    enqueueEvent(event.get());
}

// ---- the command handler ----

void GameCanvas2::handleAction(lang::Object*, const lang::String& command) {
    lang::Synchronized guard(this, true);
    if (command.equals("handCursor")) {
        setCursor(window::Cursor::hand());
        return;
    }
    if (command.equals("normalCursor")) {
        setCursor(window::Cursor::arrow());
        return;
    }
    if (command.equals("openHandCursor")) {
        setCursor(window::Cursor::openHand());
        return;
    }
    if (command.length() == 0)
        return;
    // The dialogs are asked outside the scene list's monitor: what they do in answer may change the
    // scene, and the scene list comes after the dirty region in the lock order.
    std::vector<lang::Ref<Sprite>> scene = sceneSnapshot();
    for (auto it = scene.rbegin(); it != scene.rend(); ++it) {
        Sprite* sprite = it->get();
        if (sprite == nullptr || !sprite->instanceOf("DialogSprite") || !sprite->isVisible())
            continue;
        const int answer = static_cast<DialogSprite*>(sprite)->handleCommand(command);
        if (answer >= DialogSprite::kCommand && answer <= DialogSprite::kHandled)
            return;
    }
}

}  // namespace sprite
