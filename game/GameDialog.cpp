// GameDialog: host, children by name, data list, and the presses by mouse and by key.
#include "game/GameDialog.h"

#include "sprite/AnimateSprite.h"
#include "sprite/DataLoader.h"
#include "sprite/NewFontSprite.h"
#include "sprite/NumberSprite.h"
#include "window/AudioClip.h"

namespace {

template <class T>
lang::Ref<T> childOfKind(lang::Ref<sprite::Sprite> sprite, const char* className) {
    if (!sprite || !sprite->instanceOf(className))
        return nullptr;
    return lang::Ref<T>::share(static_cast<T*>(sprite.get()));
}

}  // namespace

GameDialog::GameDialog() = default;
GameDialog::~GameDialog() = default;

void GameDialog::setUp(sprite::DataLoader* loader) {
    sprite::DialogSprite::setUp(loader);
    data_.clear();
    if (loader != nullptr && loader->data() != nullptr) {
        lang::IntArray* numbers = loader->data();
        for (int i = 0; i < numbers->length(); ++i)
            data_.push_back((*numbers)[i]);
    }
    // The loader lets go of its sounds when it goes: the dialog keeps its own references.
    sounds_.clear();
    if (loader != nullptr && loader->sounds() != nullptr) {
        lang::ObjectArray* clips = loader->sounds();
        for (int i = 0; i < clips->length(); ++i) {
            lang::Object* clip = (*clips)[i];
            sounds_.push_back(clip != nullptr && clip->instanceOf("AudioClip")
                                  ? lang::share(static_cast<window::AudioClip*>(clip))
                                  : lang::Ref<window::AudioClip>());
        }
    }
    setUpDialog();
}

void GameDialog::setHost(GameHost* host) {
    host_ = host;
    for (const lang::Ref<sprite::Sprite>& c : childSnapshot())
        if (c->instanceOf("GameDialog"))
            static_cast<GameDialog*>(c.get())->setHost(host);
}

int GameDialog::dataAt(int i, int fallback) const {
    return i >= 0 && i < static_cast<int>(data_.size()) ? data_[static_cast<size_t>(i)] : fallback;
}

window::AudioClip* GameDialog::sound(int i) const {
    return i >= 0 && i < static_cast<int>(sounds_.size()) ? sounds_[static_cast<size_t>(i)].get() : nullptr;
}

lang::Ref<sprite::ButtonSprite> GameDialog::button(const char* name) {
    return childOfKind<sprite::ButtonSprite>(getChild(name), "ButtonSprite");
}

lang::Ref<sprite::NewFontSprite> GameDialog::font(const char* name) {
    return childOfKind<sprite::NewFontSprite>(getChild(name), "NewFontSprite");
}

lang::Ref<sprite::NumberSprite> GameDialog::number(const char* name) {
    return childOfKind<sprite::NumberSprite>(getChild(name), "NumberSprite");
}

lang::Ref<sprite::AnimateSprite> GameDialog::animated(const char* name) {
    return childOfKind<sprite::AnimateSprite>(getChild(name), "AnimateSprite");
}

lang::Ref<sprite::DialogSprite> GameDialog::childDialog(const char* name) {
    return childOfKind<sprite::DialogSprite>(getChild(name), "DialogSprite");
}

void GameDialog::enable(sprite::ButtonSprite* b, bool on) {
    if (b == nullptr)
        return;
    if (!on) {
        b->setState(sprite::ButtonSprite::kDisabled);
        return;
    }
    int state = b->getState();
    if (state != sprite::ButtonSprite::kSelected && state != sprite::ButtonSprite::kSelectedHover)
        b->setState(sprite::ButtonSprite::kNormal);
}

void GameDialog::show(sprite::Sprite* s, bool on) {
    if (s != nullptr)
        s->setVisible(on);
}

void GameDialog::showEnabled(sprite::ButtonSprite* b, bool shown, bool enabled) {
    if (b == nullptr)
        return;
    if (shown) {
        b->setVisible(true);
        enable(b, enabled);
    } else {
        enable(b, false);
        b->setVisible(false);
    }
}

void GameDialog::stopFrameAnimation(sprite::ButtonSprite* b) {
    if (b != nullptr)
        b->setFrameStep(0, true);
}

int GameDialog::pressButton(const lang::String& name) {
    command_ = name;
    return kCommand;
}

int GameDialog::mouseDown(window::Event* event) {
    keyResult_ = 0;
    int answer = DialogSprite::mouseDown(event);
    if (answer != kCommand)
        return answer;
    lang::String name(command_);
    answer = pressButton(name);
    // A press inside the dialog that it does not use goes no further.
    return answer == kNotHandled ? kHandled : answer;
}

int GameDialog::mouseUp(window::Event* event) {
    keyResult_ = 0;
    int answer = DialogSprite::mouseUp(event);
    if (answer != kCommand)
        return answer;
    lang::String name(command_);
    answer = pressButton(name);
    return answer == kNotHandled ? kHandled : answer;
}

int GameDialog::pressByKey(const char* name) {
    if (name == nullptr)
        return 0;
    lang::Ref<sprite::ButtonSprite> b = button(name);
    if (!isEnabled(b.get()))
        return 0;
    command_.assign("");
    int answer = pressButton(lang::String(name));
    if (answer == kNotHandled)
        return 0;
    keyResult_ = answer;
    return 1;
}

int GameDialog::keyDown(window::Event* event) {
    keyResult_ = 0;
    if (event == nullptr || !isVisible())
        return 0;
    // The top-most visible child dialog that takes keys (a prompt, a question) gets them first.
    std::vector<lang::Ref<sprite::Sprite>> children = childSnapshot();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        sprite::Sprite* c = it->get();
        if (!c->instanceOf("DialogSprite") || !c->isVisible())
            continue;
        auto* childDialog = static_cast<sprite::DialogSprite*>(c);
        if (!childDialog->takesKeys())
            continue;
        if (childDialog->keyDown(event) == 0)
            return 0;
        lang::String refined;
        lang::String text(childDialog->command());
        int answer = kCommand;
        switch (childDialog->refineCommand(&refined, text)) {
        case 0:
            answer = pressButton(text);
            break;
        case 1:
            answer = pressButton(refined);
            break;
        case 2:
            answer = kHandled;
            break;
        default:
            answer = kHandled;
            break;
        }
        keyResult_ = answer == kNotHandled ? kHandled : answer;
        return 1;
    }
    if (event->key == window::Event::kEscape)
        return pressByKey(closeButtonName());
    if (event->key == window::Event::kEnter)
        return pressByKey(defaultButtonName());
    int answer = keyPressed(event);
    if (answer == kNotHandled)
        return 0;
    keyResult_ = answer;
    return 1;
}

int GameDialog::keyPressed(window::Event* event) {
    (void)event;
    return 0;
}

int GameDialog::refineCommand(lang::String* out, const lang::String& command) {
    int keyResult = keyResult_;
    keyResult_ = 0;
    if (keyResult == kClosed)
        return 2;
    if (keyResult == kHandled)
        return 3;
    return translateCommand(out, command);
}

int GameDialog::translateCommand(lang::String* out, const lang::String& command) {
    (void)out;
    (void)command;
    return 0;
}
