// The game's dialogs built from small scripts through the real definition loader, with pictures made
// in memory, inside a game canvas that records the commands reaching it and serves as their host.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "game/GameDialog.h"
#include "game/PlayerData.h"
#include "lang/Ref.h"
#include "sprite/DataLoader.h"
#include "sprite/GameCanvas2.h"
#include "sprite/NewFontSprite.h"
#include "tests/support/ScratchSettings.h"
#include "tests/support/TempFolder.h"
#include "util/Random.h"
#include "window/Event.h"
#include "window/Image.h"

namespace dialog_test {

using lang::Ref;

// A sheet of three 20 x 20 cells (disabled, normal, hover for a button), every pixel opaque.
inline window::Image* sheet() {
    auto* image = new window::Image(60, 20, window::Image::kCleared);
    uint32_t* p = image->getPixels();
    for (int i = 0; i < 60 * 20; ++i)
        p[i] = 0xFF000000u | static_cast<uint32_t>(i % 60 / 20 + 1);
    return image;
}

// A bitmap font for texts whose layout a test measures: every glyph box 10 x 20, advance 10, so a line
// is 20 high.
struct BoxFont {
    BoxFont() {
        picture = lang::make<window::Image>(224 * 10, 20, window::Image::kCleared);
        metrics = lang::make<window::Image>(6, 224, window::Image::kCleared);
        for (int r = 0; r < 224; ++r) {
            const int32_t words[6] = {10 * r, 0, 10, 20, 0, 10};
            for (int w = 0; w < 6; ++w)
                metrics->getPixels()[r * 6 + w] = static_cast<uint32_t>(words[w]);
        }
    }
    void dress(sprite::NewFontSprite* text) const {
        text->setImage(picture.get());
        text->setFont(metrics.get());
    }
    // The size `text` takes in this font with the given spacings, wrapped to `wrap` (0: not wrapped).
    std::pair<int, int> sizeOf(const std::string& text, int letterSpacing, int lineSpacing,
                               int wrap = 0) const {
        auto s = lang::make<sprite::NewFontSprite>();
        dress(s.get());
        s->setLetterSpacing(letterSpacing);
        s->setLineSpacing(lineSpacing);
        s->setText(text.c_str());
        if (wrap > 0)
            s->wrapToWidth(wrap);
        return {s->getWidth(), s->getHeight()};
    }
    lang::Ref<window::Image> picture;
    lang::Ref<window::Image> metrics;
};

// The canvas as the game's canvas will be: the host of its dialogs. Commands are recorded, then
// handled by the engine (offered to the visible dialogs).
class TestCanvas : public sprite::GameCanvas2, public GameHost {
public:
    explicit TestCanvas(sprite::User* store) : data(lang::make<PlayerData>(store, "Lumaroo")) {}

    void handleAction(lang::Object* source, const lang::String& command) override {
        lang::Synchronized guard(this);
        commands.emplace_back(command.chars());
        GameCanvas2::handleAction(source, command);
    }
    // Delivers an event as the input thread does, through the engine's routing.
    void deliver(window::Event* event) {
        currentEvent_ = lang::share(event);
        dispatchEvent();
        currentEvent_.reset();
    }
    void click(int x, int y, int clicks = 1) {
        deliver(lang::make<window::Event>(window::Event::kMouseDown, x, y, 0, 0, clicks).get());
        deliver(lang::make<window::Event>(window::Event::kMouseUp, x, y, 0, 0, clicks).get());
    }
    void key(int code, int modifiers = 0) {
        deliver(lang::make<window::Event>(window::Event::kKeyDown, 0, 0, modifiers, code, 1).get());
    }
    void type(const std::string& text) {
        for (char c : text)
            key(static_cast<unsigned char>(c));
    }
    std::vector<std::string> take() {
        lang::Synchronized guard(this);
        return std::exchange(commands, {});
    }

    // GameHost
    PlayerData* playerData() override { return data.get(); }
    util::Random* random() override { return &generator; }
    std::string text(const char* id) override {
        auto found = texts.find(id);
        return found != texts.end() ? found->second : std::string();
    }
    void playSound(int index) override { sounds.push_back(index); }
    void stopSound(int index) override { stopped.push_back(index); }
    void runAction(lang::Object* source, const lang::String& label) override { handleAction(source, label); }
    void setEffectsVolume(int volume) override { effectsVolume = volume; }
    bool isFullScreen() override { return fullScreen; }
    // At once, or, with fullScreenLater, only when finishFullScreen runs (as the frame's own thread
    // switches some time after it is asked).
    void setFullScreen(bool on) override {
        if (fullScreenLater)
            fullScreenAsked.push_back(on);
        else
            fullScreen = on;
    }
    void finishFullScreen() {
        for (bool on : std::exchange(fullScreenAsked, {}))
            fullScreen = on;
    }

    Ref<PlayerData> data;
    util::Random generator{12345};
    std::map<std::string, std::string> texts;
    std::vector<std::string> commands;
    std::vector<int> sounds;
    std::vector<int> stopped;
    int effectsVolume = -1;
    bool fullScreen = false;
    bool fullScreenLater = false;
    std::vector<bool> fullScreenAsked;
};

// Writes scripts into a temporary program folder and loads the main one into the canvas's scene.
class DialogFixture {
public:
    DialogFixture() : canvas(lang::make<TestCanvas>(settings.user())) {
        media.loadImage = [](const lang::String&, bool) -> lang::Object* { return sheet(); };
    }
    ~DialogFixture() { canvas->destroy(); }

    void write(const std::string& name, const std::string& text) { folder.write(name, text); }

    // Loads `script`, puts every sprite into the scene in order and hands the canvas to the dialogs.
    void load(const std::string& script) {
        auto loader = lang::adopt(
            new sprite::DataLoader(lang::String(folder.path().c_str()), canvas.get(), settings.user(), media));
        if (!loader->load(script.c_str()))
            throw std::runtime_error("script did not load: " + script);
        util::Vector* sprites = loader->sprites();
        for (int i = 0; i < sprites->size(); ++i) {
            auto* s = static_cast<sprite::Sprite*>(sprites->elementAt(i));
            canvas->addSprite(s->getName().chars(), s, -1);
            if (s->instanceOf("GameDialog"))
                static_cast<GameDialog*>(s)->setHost(canvas.get());
        }
    }
    template <class T>
    T* get(const char* name) {
        sprite::Sprite* s = canvas->getSprite(name);
        return s != nullptr ? dynamic_cast<T*>(static_cast<lang::Object*>(s)) : nullptr;
    }

    testsupport::TempFolder folder;
    testsupport::ScratchSettings settings;
    sprite::LoaderMedia media;
    Ref<TestCanvas> canvas;
};

// The button `name` inside dialog d, or null.
inline sprite::ButtonSprite* buttonIn(sprite::DialogSprite* d, const char* name) {
    lang::Ref<sprite::Sprite> s = d->getChild(name);
    return s && s->instanceOf("ButtonSprite") ? static_cast<sprite::ButtonSprite*>(s.get()) : nullptr;
}

// One frame step of a sprite, its changes thrown away.
inline bool step(sprite::Sprite& s, int frame) {
    util::RectangleNM out;
    util::Region region;
    return s.update(frame, &out, &region);
}

inline int stateOf(sprite::DialogSprite* d, const char* name) {
    sprite::ButtonSprite* b = buttonIn(d, name);
    return b != nullptr ? b->getState() : -1;
}

}  // namespace dialog_test
