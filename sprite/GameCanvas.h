// sprite::GameCanvas: the window component the whole game is drawn on and all its input passes through.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "lang/Arrays.h"
#include "lang/Ref.h"
#include "lang/String.h"
#include "sprite/FrameClock.h"
#include "sprite/SpriteArray.h"
#include "util/RectangleNM.h"
#include "util/Region.h"
#include "util/Vector.h"
#include "window/AudioClip.h"
#include "window/Component.h"
#include "window/Event.h"
#include "window/Graphics.h"
#include "window/Image.h"
#include "window/MessageBox.h"

namespace lang {
class ResourceFile;
}

namespace sprite {

class InputThread;
class RenderThread;
class User;

// The canvas steps its sprites at a fixed frame rate on a render thread and redraws only what changed,
// through an off-screen picture; an input thread takes the window's mouse and key events off a queue
// and delivers them. It also keeps the sound table, played by index, and the clips being faded.
//
// Threads and locks, in the one order they are taken:
// - the canvas lock (this object's monitor): held for every frame step and paint, by start and stop,
//   and around the delivery of each input event, so that game code never runs beside a frame step;
// - the dirty-region lock (dirtyRegion_'s monitor): the region, dirtyBounds_, dirty_, the off-screen
//   picture and both drawing contexts; the window thread takes only this one (paint, update);
// - the scene list and the other lists' own monitors, taken last and never held while game code runs.
// stop() joins the threads, which need the canvas lock: it must never be called with that lock held.
//
// Stepping mode (setStepping before start): no threads are made; the caller runs frame passes with
// stepFrame() and delivers queued events with deliverEvents(), through the very code the threads run.
// Tests, the bot and the benchmarks drive the canvas this way, on any clock they give it.
class GameCanvas : public window::Component {
public:
    static constexpr int kDefaultFrameDelay = 40;
    static constexpr const char* kWebAddress = "https://www.quillbeck.example/";

    GameCanvas();
    ~GameCanvas() override;
    GameCanvas(const GameCanvas&) = delete;
    GameCanvas& operator=(const GameCanvas&) = delete;

    LANG_CLASS_NAME(GameCanvas, Component)

    // Component: setSize also sizes the off-screen picture. The mouse handlers queue the event once
    // started and answer whether they did; keyDown toggles the sound with 'S' or 's'.
    void setSize(int width, int height) override;
    bool mouseDown(window::Event* event, int x, int y) override;
    bool mouseUp(window::Event* event, int x, int y) override;
    bool mouseMove(window::Event* event, int x, int y) override;
    bool mouseDrag(window::Event* event, int x, int y) override;
    bool mouseWheel(window::Event* event, int x, int y) override;
    bool keyDown(window::Event* event, int key) override;
    // Not started: fills with the background colour. Started: copies the off-screen picture when it is
    // complete, and marks the exposed area dirty so that the next frame redraws it from the sprites.
    void paint(window::Graphics* g) override;
    // Window thread: takes the screen context and makes the off-screen picture when missing, then paints.
    void update(window::Graphics* g) override;
    // Takes every event and does nothing with it.
    bool receive(window::Event* event) override;

    // ---- the canvas's own operations, in the order derived canvases rely on ----
    // The frame lost activation; nothing here.
    virtual void onDeactivate() {}
    // Pauses or resumes every animated sprite of the sprite slots.
    virtual void pauseAnimations(bool paused);
    // A flag kept for the game; the engine never reads it.
    virtual void setAuxFlag(bool on) { auxFlag_ = on; }
    // Keeps the program folder, the settings store (referenced), the definition script's name and a
    // number for the loading that follows.
    virtual void initResources(const lang::String& programDir, User* settings, const lang::String& scriptName,
                               int resourceArg);
    virtual bool getAuxState() { return auxState_; }
    // The frame loop's paint request.
    virtual void paintFrame();
    // Asked by the loading frame before loadScene; true.
    virtual bool prepareScene() { return true; }
    // Stops both threads and every sound; events are refused from now on. Never with the canvas lock
    // held (it waits for the threads, which take that lock): doing so aborts with a message.
    virtual void stop();
    // stop() unless stopped, unloads the sounds, frees the off-screen picture.
    virtual void destroy();
    // Accepts events from now on and starts the threads (none in stepping mode).
    virtual void start();
    // Asks the parent frame to quit.
    virtual void exitGame();
    virtual void requestExit() { exitGame(); }
    // If the parent frame is full screen, asks it for a window.
    virtual void leaveFullScreen();
    // Window thread or under the screen context: a new off-screen picture unless one of this size exists.
    // A new picture is marked dirty in full, so that nothing ever copies it blank to the screen.
    virtual void createOffscreen(int width, int height);
    // False also stops every clip of the sound table.
    virtual void setSoundEnabled(bool on);
    // Play, loop and fade act only while sound is enabled; stop always acts. By index: the sound-table
    // entry (out of range or null: nothing).
    virtual void playSound(window::AudioClip* clip);
    virtual void playSound(int index);
    virtual void loopSound(window::AudioClip* clip);
    virtual void loopSound(int index);
    virtual void stopSound(window::AudioClip* clip);
    virtual void stopSound(int index);
    virtual void fadeSoundSpeed(window::AudioClip* clip, float target, int frames);
    virtual void fadeSoundSpeed(int index, float target, int frames);
    virtual void fadeSoundVolume(window::AudioClip* clip, int target, int frames, bool pauseAtEnd);
    virtual void fadeSoundVolume(int index, int target, int frames, bool pauseAtEnd);
    // Marks everything dirty, takes `sounds` as the sound table (with references of its own), empties
    // the first two string tables and marks the scene loaded.
    virtual void resetScene(lang::ObjectArray* sounds);
    // One frame step; render thread (or stepFrame) under the canvas lock.
    virtual void tick();
    virtual void invalidate(const util::RectangleNM* rect) { invalidateRect(rect); }
    // Null: the whole canvas. A rectangle with no area (width or height 0 or less) changes nothing.
    virtual void invalidateRect(const util::RectangleNM* rect);
    // The lists (no reference for the caller), valid while the canvas lives.
    virtual lang::StringArray* getStringTable2() { return stringTable2_.get(); }
    virtual lang::StringArray* getStringTable1() { return stringTable1_.get(); }
    // Delivers currentEvent(); nothing here. Answers true.
    virtual bool dispatchEvent() { return true; }
    // Redraws the dirty region of the off-screen picture from the sprites and empties the region.
    virtual void renderOffscreen();
    // Reads the string-tables file named by the script name: "+entry" from `archive` (null: the open
    // archives), anything else a file below the program folder. Four lists, each a count and its items:
    // strings, strings, numbers, strings. Errors go to a message box naming the file and the line.
    virtual void loadStringTables(lang::ResourceFile* archive);
    // The paint of one frame: redraws the dirty region off screen and copies exactly it to the window.
    virtual void flushToScreen();

    // ---- input intake ----
    // Queues an event (the queue takes a reference) while started and not stopped.
    void enqueueEvent(window::Event* event);
    // The event being delivered (no reference for the caller), or null between events.
    window::Event* currentEvent() const { return currentEvent_.get(); }
    int pendingEventCount();

    // ---- stepping mode and the frame pass ----
    struct FramePass {
        bool painted = false;
        int64_t lag = 0;
        int64_t deadline = 0;
        bool failed = false;  // a lang::Exception was dropped
    };
    // Before start(): run without threads.
    void setStepping(bool on) { stepping_ = on; }
    bool isStepping() const { return stepping_; }
    // One pass of the frame loop: tick, the schedule's verdict, the paint or its skip. The first pass
    // starts the schedule. Never sleeps.
    FramePass stepFrame();

    // ---- telling the player ----
    // Something went wrong that the game goes on without (a level that cannot start, damaged data):
    // shown in a message box titled "Quillbeck Error" after the frame pass, outside every canvas lock,
    // so that the box never holds up the other threads. Any thread, the canvas lock held or not.
    void notifyPlayer(const std::string& text);
    // Shows what waits: the notices, then one box listing the damaged data reported since the last
    // time (util::reportDataProblem). Nothing while the calling thread holds the canvas lock; the next
    // pass shows it. Called after each frame pass, by the render thread and by stepFrame.
    void showPlayerNotices();
    // Delivers every queued event on the calling thread; answers how many.
    int deliverEvents();
    // The clock of the schedule (referenced); null restores the steady clock. Before start.
    void setClock(FrameClock* clock);
    FrameClock* clock() const { return clock_.get(); }

    // ---- state ----
    int frameCounter() const { return frameCounter_.load(std::memory_order_acquire); }
    int frameDelay() const { return frameDelay_; }
    void setFrameDelay(int milliseconds) { frameDelay_ = milliseconds > 0 ? milliseconds : 1; }
    bool allowsFrameSkip() const { return allowFrameSkip_; }
    void setAllowFrameSkip(bool on) { allowFrameSkip_ = on; }
    bool isSoundEnabled() const { return soundEnabled_; }
    bool isStarted() const { return started_; }
    bool isStopped() const { return stopped_; }
    bool isSceneLoaded() const { return sceneLoaded_; }
    void setClearBackground(bool on) { clearBackground_ = on; }
    const lang::String& getWebAddress() const { return webAddress_; }
    const lang::String& getProgramDir() const { return programDir_; }
    const lang::String& getScriptName() const { return scriptName_; }
    int getResourceArg() const { return resourceArg_; }
    User* getSettings() const { return settings_.get(); }
    lang::IntArray* getNumberTable() { return numberTable_.get(); }
    lang::StringArray* getStringTable3() { return stringTable3_.get(); }

    // Sprite slots, drawn under everything else in index order. The canvas takes a reference; null
    // empties a slot. Under the canvas lock.
    void setSlotSprite(int index, Sprite* sprite);
    Sprite* slotSprite(int index);
    // The sound-table entry (referenced for the caller), or null.
    lang::Ref<window::AudioClip> soundAt(int index);
    int soundCount();
    int fadingSoundCount() { return fadingSounds_->size(); }

    // For tests and tools, each taken under the dirty-region lock.
    bool isDirty();
    util::RectangleNM dirtyBoundsCopy();
    util::Region dirtyRegionCopy();
    bool isOffscreenValid();
    // The off-screen picture (referenced), or null.
    lang::Ref<window::Image> offscreenImage();

protected:
    friend class RenderThread;
    friend class InputThread;

    // The render thread's pass: like stepFrame, on the thread's own schedule.
    FramePass runFramePass(FrameSchedule& schedule);
    // Takes the next queued event and delivers it; false when the queue was empty.
    bool deliverNextEvent();
    // Started and not stopped: events are taken.
    bool accepting() const { return started_ && !stopped_; }
    // Aborts unless the calling thread is free of the canvas lock.
    void requireCanvasLockFree(const char* operation);

    // Steps the sprite slots into stepRegion_; `clipToCanvas` keeps only changes that touch the canvas.
    void stepSlots(bool clipToCanvas);
    // Steps one sprite into stepRegion_ and the step's bounds.
    void stepSprite(Sprite* sprite, bool clipToCanvas);
    // Hands the area the sprites reported to the dirty region (under its lock).
    void mergeStep();
    void stepFadingSounds();
    void finishStep() { frameCounter_.fetch_add(1, std::memory_order_acq_rel); }
    // Paints the sprite slots through g (dirty-region lock held).
    void paintSlots(window::Graphics* g, bool onlyShown);
    // Replaces the sound table by a copy of `sounds` with references of its own.
    void setSoundTable(const lang::ObjectArray* sounds);
    void setStringTable(lang::Ref<lang::StringArray>& table, const lang::StringArray* from);
    static void releaseElements(lang::ObjectArray* array);
    // Canvas size as the sprites see it.
    int canvasWidth() const { return bounds_.width; }
    int canvasHeight() const { return bounds_.height; }
    // The background colour as 0xRRGGBB (black without one).
    uint32_t backgroundRgb();

    lang::String webAddress_;
    // Pending events, oldest first; its monitor is the condition the input thread waits on.
    lang::Ref<util::Vector> eventQueue_;
    lang::Ref<window::Event> currentEvent_;  // the delivering thread's, under the canvas lock
    util::RectangleNM spriteDirty_;          // scratch for one sprite's update
    lang::Ref<window::Graphics> screenGraphics_;
    std::atomic<int32_t> frameDelay_{kDefaultFrameDelay};
    std::atomic<bool> allowFrameSkip_{true};
    std::atomic<bool> soundEnabled_{true};
    bool dirty_ = false;
    lang::Ref<window::Image> offscreen_;
    lang::Ref<window::Graphics> offscreenGraphics_;
    util::RectangleNM dirtyBounds_;  // width 0: empty
    std::atomic<bool> clearBackground_{false};
    lang::Ref<SpriteArray> sprites_;  // one reference on each slot sprite
    // The exact dirty area; its monitor is the dirty-region lock.
    lang::Ref<util::Region> dirtyRegion_;
    std::atomic<int32_t> frameCounter_{0};
    lang::Ref<InputThread> inputThread_;
    lang::Ref<RenderThread> renderThread_;
    std::atomic<bool> started_{false};
    bool offscreenValid_ = false;
    std::atomic<bool> stopped_{false};
    // The sound table: one reference on each clip; soundsLock_ guards the array.
    std::mutex soundsLock_;
    lang::Ref<lang::ObjectArray> sounds_;
    lang::String programDir_;
    lang::String scriptName_;
    int32_t resourceArg_ = 0;
    lang::Ref<User> settings_;
    lang::Ref<lang::IntArray> numberTable_;
    lang::Ref<lang::StringArray> stringTable1_;  // one reference on each string, as the other two
    lang::Ref<lang::StringArray> stringTable2_;
    lang::Ref<lang::StringArray> stringTable3_;
    std::atomic<bool> sceneLoaded_{false};
    // Clips with a fade running, stepped once a frame; its own monitor guards it.
    lang::Ref<util::Vector> fadingSounds_;

    // What the sprites reported during the current step (render thread, under the canvas lock), handed
    // to the dirty region once the step's game code has run.
    util::Region stepRegion_;
    util::RectangleNM stepBounds_;
    bool stepDirty_ = false;

private:
    // Notices for the player, oldest first; noticesLock_ guards the list and is taken alone.
    std::mutex noticesLock_;
    std::vector<std::string> notices_;
    std::atomic<bool> noticesWaiting_{false};
    // Takes down a box still up when the canvas stops, so that stop() never waits for the player.
    window::MessageBoxCloser noticeBoxes_;
    bool auxFlag_ = true;
    bool auxState_ = false;
    bool stepping_ = false;
    lang::Ref<FrameClock> clock_;
    FrameSchedule stepSchedule_;  // stepping mode's schedule, under the canvas lock
    bool stepScheduleStarted_ = false;
};

}  // namespace sprite
