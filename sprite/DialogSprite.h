// sprite::DialogSprite: a container that answers routed mouse and key events with result codes.
#pragma once

#include "sprite/FancyContainer.h"
#include "util/Hashtable.h"
#include "window/Event.h"

namespace sprite {

class ButtonSprite;

// Routing result codes: 0 not handled, 1 handled and command() holds a command, 2 closed (the canvas
// turns it into "CLOSED"), 3 handled without a command. Event points arrive in the coordinates of the
// dialog's parent (the canvas for a top-level dialog); a dialog passes them on to its child dialogs
// moved into its own coordinates and restores them afterwards.
//
// Routing runs on the input thread. It never holds the children lock while it calls a child: each
// walk works on a snapshot of the children taken with references. A hidden dialog gives up its
// children's pixel memory at its next step and takes it back when shown.
class DialogSprite : public FancyContainer {
public:
    static constexpr int kNotHandled = 0;
    static constexpr int kCommand = 1;
    static constexpr int kClosed = 2;
    static constexpr int kHandled = 3;
    // The game area a dragged dialog stays inside.
    static constexpr int kAreaWidth = 800;
    static constexpr int kAreaHeight = 600;

    DialogSprite();
    ~DialogSprite() override;

    LANG_CLASS_NAME(DialogSprite, FancyContainer)
    LANG_DECLARE_CLASS_RECORD(DialogSprite);

    // Numbers 0-3 x, y, width, height; modal when numbers[4] is 1; visible when numbers[5] is 1;
    // draggable when numbers[6] is not 0.
    void init(window::ImageArray* images, lang::IntArray* numbers) override;
    bool update(int frame, util::RectangleNM* out, util::Region* region) override;
    // Takes the loader's name table as the child-name table.
    void setUp(DataLoader* loader) override;
    void reloadImages() override;
    void unloadImages() override;
    // Also takes the child's own entries out of the name table; another child's entry under the same
    // name stays.
    void removeChild(Sprite* child) override;
    Sprite* clone() override;

    // Under the dialog's own lock: takes the child out if present, names it (an empty or null name
    // gives "") and enters a non-empty name in the name table, then appends it.
    virtual void addChild(const char* name, Sprite* child);
    virtual void setButtonsFireOnRelease(bool on);
    virtual bool takesKeys() { return isVisible(); }
    // Asks the child dialogs, top-down; the first answer from 1 to 3 is the answer, else 0.
    virtual int handleCommand(const lang::String& command);
    // 0 keeps command() as it is, 1 means *out holds the command, 2 closes, 3 cancels.
    virtual int refineCommand(lang::String* out, const lang::String& command);
    // Answers whether the key was used (0: not used).
    virtual int keyDown(window::Event* event);
    virtual int mouseDown(window::Event* event);
    virtual int mouseUp(window::Event* event);
    // Answers whether something under the point can be clicked (drives the hand cursor).
    virtual bool mouseMove(window::Event* event);
    // The wheel (event->key notches): a visible child dialog under the point, or a modal one, gets it
    // first; a wheel over the dialog that nothing uses is consumed (3), elsewhere 0 (3 when modal).
    virtual int mouseWheel(window::Event* event);

    const lang::String& command() const { return command_; }
    void setCommand(const char* text) { command_.assign(text); }
    // The newest child entered under `name` that still carries it, with a reference, or null.
    lang::Ref<Sprite> getChild(const char* name);
    // The child pressed last and waiting for the release (no reference for the caller), or null.
    Sprite* pendingChild() const { return pendingChild_.get(); }
    bool isModal() const { return modal_; }
    void setModal(bool on) { modal_ = on; }
    bool isDraggable() const { return draggable_; }
    void setDraggable(bool on) { draggable_ = on; }
    bool isDragging() const { return dragging_; }
    bool imagesLoaded() const { return imagesLoaded_; }

protected:
    // Turns a child dialog's answer 1 or 2 into this dialog's answer through the child's refinement.
    int refineChildAnswer(DialogSprite* child, int answer);

    lang::String command_;
    // The pressed child itself (not its name): an unnamed child, or one whose name another child
    // shares, still gets its release.
    lang::Ref<Sprite> pendingChild_;
    lang::Ref<util::Hashtable> childNames_;
    std::atomic<bool> imagesLoaded_{false};
    bool modal_ = false;
    bool draggable_ = false;
    bool dragging_ = false;
    int32_t lastX_ = 0;
    int32_t lastY_ = 0;
};

}  // namespace sprite
