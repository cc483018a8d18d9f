// sprite::GameCanvas2: the canvas with a loaded scene, a name table, routing, commands and timed labels.
#pragma once

#include <atomic>
#include <vector>

#include "sprite/FrameNotify.h"
#include "sprite/GameCanvas.h"
#include "sprite/LoaderCanvas.h"
#include "util/Hashtable.h"

namespace sprite {

class DataLoader;
class LoadedScene;
class DialogSprite;

// Adds to the canvas the scene list that the definition loader fills (index order is z-order: the last
// sprite is drawn last, on top), the sprites by name, the routing of input to dialogs and buttons, the
// named-command handler through which buttons, dialogs, animations and timed notifications ask the game
// to act, and the timed, labelled notifications counted in frame steps.
//
// Threads: the scene may change from the render thread (commands raised inside a frame step) and from
// the input thread (commands of a delivered event), both under the canvas lock; the scene list's own
// monitor guards the list for readers that do not hold it. Commands never run while the list's or the
// notification list's monitor is held: the step and the routing walk snapshots taken with references.
class GameCanvas2 : public GameCanvas, public LoaderCanvas {
public:
    using FrameNotify = sprite::FrameNotify;

    // Flag bits of scheduleNotify.
    static constexpr int kNotifySeconds = 1;
    static constexpr int kNotifyReplace = 2;
    static constexpr int kNotifyRepeat = 4;
    static constexpr int kNotifyCancel = 8;
    static constexpr int kNotifySameObjects = 16;

    GameCanvas2();
    ~GameCanvas2() override;

    LANG_CLASS_NAME(GameCanvas2, GameCanvas)

    // Every key is queued once started, key releases too; only Escape while the frame is in full screen
    // goes on to the frame instead (it takes the frame back to a window first).
    bool keyDown(window::Event* event, int key) override;
    bool keyUp(window::Event* event, int key) override;
    // An action event whose first object is a String runs handleAction(second object, text) at once,
    // on the caller's thread: animations report their end this way from inside the frame step.
    bool receive(window::Event* event) override;
    void pauseAnimations(bool paused) override;
    // Due notifications, the sprite slots, the scene (then its pending removals), the fading clips.
    void tick() override;
    void renderOffscreen() override;
    // Routes currentEvent() by its kind and runs the command the routing produced.
    bool dispatchEvent() override;

    // ---- operations added here, in the order derived canvases rely on ----
    // Marks everything dirty and the scene loaded. The game builds its scene first, then calls this.
    virtual void onSceneLoaded(DataLoader* loader);
    // Runs the definition loader on the script named by initResources: a counting pass, then the
    // loading pass; on success the canvas takes the scene, the names, the sounds, the third string
    // table and the numbers, and onSceneLoaded runs. Answers whether the script was loaded.
    virtual bool loadScene();
    // The loader asks first for every sprite; null lets the class registry make it.
    Sprite* createSprite(const lang::String& classToken, window::ImageArray* images, lang::IntArray* params,
                         DataLoader* loader) override;
    // Schedules `label` to reach receiver->handleAction (a sprite) or, for a null receiver, the canvas's
    // handleAction, after `delay` frame steps (seconds with kNotifySeconds). See the flag bits above.
    virtual void scheduleNotify(int delay, const lang::String& label, int flags, lang::Object* source,
                                lang::Object* receiver);
    virtual void setNotificationsPaused(bool paused) { notificationsPaused_ = paused; }
    // The named-command handler: the cursor commands, then the visible dialogs top-down, each asked to
    // handle the command until one does. Takes the canvas lock.
    virtual void handleAction(lang::Object* source, const lang::String& command);
    // Routing: each answers true when handleAction(*target, *command) must run. *target gets a
    // reference of its own when set.
    virtual bool onMouseDown(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command);
    virtual bool onMouseUp(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command);
    virtual bool onMouseMove(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command);
    virtual bool onKeyUp(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command);
    virtual bool onKeyDown(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command);
    // The wheel: the first visible dialog that answers it decides, as for a release; a modal dialog
    // that does not use it ends the walk.
    virtual bool onMouseWheel(window::Event* event, lang::Ref<lang::Object>* target, lang::String* command);

    // The command onFullScreenSwitched queues.
    static constexpr const char* kFullScreenSwitched = "fullScreenSwitched";
    // Window thread: the parent frame has handled a full-screen switch (see window::Frame::
    // onFullScreenSwitched). While started, queues the action event kFullScreenSwitched with no
    // source, so that handleAction (and through it the visible dialogs' handleCommand) runs on the
    // input thread once the switch is done and the frame's isFullScreen() tells its outcome. It never
    // waits for the canvas lock.
    virtual void onFullScreenSwitched(bool on);

    // LoaderCanvas: one more item loaded.
    void incrementLoadedCount() override { loadedCount_.fetch_add(1, std::memory_order_relaxed); }

    // ---- the scene ----
    // Under the canvas lock: places the sprite at `index` (out of range: on top), named `name` (null or
    // empty: unnamed), taking it out of the scene, of the pending removals and of the name table under
    // its old name first.
    void addSprite(const char* name, Sprite* sprite, int index);
    // Under the canvas lock: hides the sprite and drops its own entries from the name table; it leaves
    // the scene at the end of the next frame step (a later addSprite keeps it).
    void removeSprite(Sprite* sprite);
    // The newest sprite entered under `name` that still carries it (a sprite renamed since never
    // answers to its old name). No reference for the caller; null without a name table or such a name.
    Sprite* getSprite(const lang::String& name);
    Sprite* getSprite(const char* name);
    int indexOfSprite(Sprite* sprite);
    // The sprite at `index` with a reference, or null out of range.
    lang::Ref<Sprite> spriteAt(int index);
    int sceneSize();
    // The scene in paint order, each with a reference.
    std::vector<lang::Ref<Sprite>> sceneSnapshot();

    // The loading screen's progress numbers: the counting pass's total and the items loaded so far.
    int loadTotal() const { return loadTotal_.load(std::memory_order_relaxed); }
    int loadedCount() const { return loadedCount_.load(std::memory_order_relaxed); }
    bool notificationsPaused() const { return notificationsPaused_; }
    int pendingNotificationCount() { return notifications_->size(); }

protected:
    // The due notifications of this step, fired newest first.
    void fireNotifications();
    // Offers a release or a wheel event to the visible dialogs top-down (see onMouseWheel).
    bool routeToDialogs(int (DialogSprite::*handler)(window::Event*), window::Event* event,
                        lang::Ref<lang::Object>* target, lang::String* command);
    // Copies the routing's command text from a dialog that answered 1 through its refinement. False
    // when the refinement cancels.
    bool refineDialogCommand(class DialogSprite* dialog, lang::String* command);

    // The scene list, made with the canvas and refilled by loadScene; its monitor guards it.
    lang::Ref<util::Vector> scene_;
    // Sprites by name: null until a scene is loaded; replaced and read under the canvas lock.
    lang::Ref<util::Hashtable> spriteNames_;
    util::RectangleNM sceneDirty_;
    lang::Ref<util::Vector> pendingRemovals_;  // guarded by the scene list's monitor
    lang::Ref<util::Vector> notifications_;    // FrameNotify entries in scheduling order; own monitor
    std::atomic<bool> notificationsPaused_{false};
    // The loader's results, kept so that the scene's sprites, names and tables outlive the loader.
    lang::Ref<LoadedScene> loaded_;
    std::atomic<int32_t> loadTotal_{0};
    std::atomic<int32_t> loadedCount_{0};

private:
    struct Due {
        lang::Ref<FrameNotify> entry;
        uint32_t generation;
    };
    // The entries collected for firing in this step (canvas lock): cancelling or reusing one bumps its
    // generation, and an entry whose generation moved is not fired.
    std::vector<Due> firing_;
    std::vector<lang::Ref<Sprite>> stepSnapshot_;  // reused by every step
    std::vector<lang::Ref<Sprite>> leaving_;       // the removals pending when the step began
};

}  // namespace sprite
