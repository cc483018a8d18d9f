// GameDialog: what every dialog of the game adds to the engine's dialog: its host, its children by
// name, its data list, and the keys that press its close and default buttons.
#pragma once

#include <vector>

#include "game/GameHost.h"
#include "lang/Ref.h"
#include "sprite/ButtonSprite.h"
#include "sprite/DialogSprite.h"

namespace window {
class AudioClip;
}

namespace sprite {
class NewFontSprite;
class NumberSprite;
class AnimateSprite;
}  // namespace sprite

// Presses arrive as button names, by mouse (the engine's routing) or by key (Escape presses the close
// button, Enter the default button, each only while that button is enabled), and go through one
// operation, pressButton, which answers a routing result code. A press never falls through a dialog:
// a press the dialog does not use is consumed without a command.
class GameDialog : public sprite::DialogSprite {
public:
    GameDialog();
    ~GameDialog() override;

    LANG_CLASS_NAME(GameDialog, DialogSprite)

    // Keeps the loader's name table, data list and sounds, then runs setUpDialog.
    void setUp(sprite::DataLoader* loader) override;
    int mouseDown(window::Event* event) override;
    int mouseUp(window::Event* event) override;
    // Escape and Enter press the close and default buttons; other keys go to keyPressed.
    int keyDown(window::Event* event) override;
    // A key press's own result first (closed or handled), then translateCommand.
    int refineCommand(lang::String* out, const lang::String& command) override;

    // The host is not counted: the canvas outlives its dialogs. Passed on to the game dialogs among
    // the children.
    void setHost(GameHost* host);
    GameHost* host() const { return host_; }

    // What pressing the named button (or a command a child dialog produced) does: a routing result
    // code, 1 with command() holding the command for the game. The default passes the name up.
    virtual int pressButton(const lang::String& name);

protected:
    // The dialog's own set-up, once the children exist.
    virtual void setUpDialog() {}
    // Keys other than Escape and Enter: a routing result code as pressButton's, 0 when not used.
    virtual int keyPressed(window::Event* event);
    // The translation of a command on its way to the game (0 keeps it, 1 when *out holds it).
    virtual int translateCommand(lang::String* out, const lang::String& command);
    // The buttons the keys press; null for none.
    virtual const char* closeButtonName() const { return nullptr; }
    virtual const char* defaultButtonName() const { return nullptr; }

    // Children by name: null when missing or of another kind.
    lang::Ref<sprite::Sprite> child(const char* name) { return getChild(name); }
    lang::Ref<sprite::ButtonSprite> button(const char* name);
    lang::Ref<sprite::NewFontSprite> font(const char* name);
    lang::Ref<sprite::NumberSprite> number(const char* name);
    lang::Ref<sprite::AnimateSprite> animated(const char* name);
    lang::Ref<sprite::DialogSprite> childDialog(const char* name);
    // Number i of the dialog's data list, or fallback when the list is shorter.
    int dataAt(int i, int fallback = 0) const;
    int dataCount() const { return static_cast<int>(data_.size()); }
    // Clip i of the dialog's own sound list (its sub-script's <sounds>, numbered in script order), or
    // null when the list is shorter or the clip could not be made.
    window::AudioClip* sound(int i) const;

    // Button helpers that accept a missing button. Enabling leaves a selected state (3, 4) alone.
    static void enable(sprite::ButtonSprite* b, bool on);
    static void show(sprite::Sprite* s, bool on);
    // Shows and enables, or disables and hides: a disabled look of its own would show the button again.
    static void showEnabled(sprite::ButtonSprite* b, bool shown, bool enabled);
    static bool isEnabled(sprite::ButtonSprite* b) { return b != nullptr && b->getState() != 0; }
    // The press of a button whose own frame animation is switched off.
    static void stopFrameAnimation(sprite::ButtonSprite* b);

private:
    int pressByKey(const char* name);

    GameHost* host_ = nullptr;
    std::vector<int> data_;
    std::vector<lang::Ref<window::AudioClip>> sounds_;
    // The result of the last key press, for the refinement that follows it (0: none).
    int keyResult_ = 0;
};
