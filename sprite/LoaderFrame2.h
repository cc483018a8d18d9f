// sprite::LoaderFrame2: the program's main frame: start-up switches, the sound start, the loader thread,
// the hand-over to the game canvas, full screen on activation and minimising, and the orderly exit.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

#include "lang/Ref.h"
#include "lang/Runnable.h"
#include "lang/String.h"
#include "window/Frame.h"
#include "window/MessageBox.h"

namespace lang {
class Thread;
}

namespace sprite {

class GameCanvas2;
class User;

// Threads: the window thread creates the frame, runs init, startLoading and every window handler; the
// loader thread (the frame's Runnable face) starts the sound engine, then runs the canvas's
// prepareScene and loadScene, starts the canvas and calls showCanvas. exit() may come from any thread
// (the canvas's input thread, the loader, a close request). The flags the threads share are atomics;
// the canvas and the settings store are set on the window thread before the loader starts.
//
// Nothing here ever blocks the window thread on loading: the sound start with its retry pauses runs on
// the loader thread, and a close while loading hides the window and leaves the closing to the loader,
// which ends the program as soon as it returns.
class LoaderFrame2 : public window::Frame, public lang::Runnable {
public:
    // The start-up switches, integers of the settings store.
    static constexpr const char* kFullScreenSetting = "FULLSCREEN";
    static constexpr const char* kNormalExitSetting = "NORMALEXIT";
    static constexpr const char* kUseWinmmSetting = "USEWINMM";
    static constexpr const char* kMixBufferSetting = "MIXBUFFER";
    // The pause between the first two sound-start attempts.
    static constexpr int kSoundRetryPauseMs = 3000;

    // How the sound engine is started and shut down; tests put recorders in.
    struct SoundControl {
        std::function<bool(int mixBufferMs, bool forceWaveOut)> start;
        std::function<void()> shutdown;
    };

    LoaderFrame2();
    ~LoaderFrame2() override;

    const char* getClassName() const override { return "LoaderFrame2"; }
    bool instanceOf(const char* className) const override {
        return lang::detail::sameName(className, "LoaderFrame2") || Frame::instanceOf(className) ||
               isRunnableName(className);
    }

    // ---- window::Frame ----
    // Any thread: leaves full screen, stores NORMALEXIT = 1 and closes the frame (at once, or when the
    // loader returns if it is still at work). A load error still shown is taken down: nobody answering
    // it must not keep the program from ending.
    void exit() override;
    // Window thread: stops the canvas, waits for the loader, destroys the canvas, shuts the sound down
    // and ends the message loop with exitCode().
    void onDestroy() override;
    // The close box, a posted close request, a signal: the canvas's exitGame (which ends in exit());
    // without a canvas nothing happens.
    void onCloseRequest() override;
    // Losing activation in full screen leaves full screen and minimises; restoring returns to it.
    void onActivate(bool active) override;
    // A full-screen switch has been handled: the canvas hears of it (GameCanvas2::onFullScreenSwitched).
    void onFullScreenSwitched(bool on) override;
    // Escape in full screen switches to the window.
    bool keyDown(window::Event* event, int key) override;
    // The window's position or state changed: back to full screen once restored, or tells the canvas
    // that it was minimised.
    void onMoved() override;

    // ---- the loading frame's own operations ----
    // Window thread, once the window exists: opens the settings under registryName, applies the
    // start-up switches (which may enter full screen), gives the canvas its resources and installs it.
    virtual void init(GameCanvas2* canvas, const lang::String& scriptName, const lang::String& registryName);
    // Installs a canvas (referenced), stopping and destroying one installed before.
    virtual void setCanvas(GameCanvas2* canvas);
    virtual void onCanvasSet() {}
    // Starts the sound engine: two attempts with the stored switches, 3 s apart, then one with the
    // direct output forced after shutting the engine down. Runs on the loader thread; the pause ends
    // early when the frame exits. Answers whether sound runs.
    virtual bool initSound();
    // Starts the loader thread when a start is pending (the sound start runs on it first).
    virtual void startLoading();
    // Starts the sound and runs the loader body on the calling thread.
    virtual void loadNow();
    // Stops the canvas's threads; the next startLoading loads again.
    virtual void stopCanvas();
    // Shows the canvas once it has taken over.
    virtual void showCanvas();
    // The loader body.
    void run() override;

    // The start-up switches' rule for a display of `displayDepth` bits per pixel (0: unknown): reads
    // FULLSCREEN and NORMALEXIT, writes what the rule says, and answers whether to enter full screen.
    // A previous run that ended without exit() forces the window and stores FULLSCREEN = 0.
    static bool startFullScreen(User* settings, int displayDepth);

    // ---- set-up before init, and state ----
    void setSoundControl(SoundControl control, int retryPauseMs = kSoundRetryPauseMs);
    // The folder of the settings database; empty (the default) is the user's usual one.
    void setSettingsFolder(const std::string& folder) { settingsFolder_ = folder; }
    void setProgramDir(const lang::String& folder) { programDir_.assign(folder); }
    const lang::String& programDir() const { return programDir_; }
    // No reference for the caller.
    GameCanvas2* canvas() const { return canvas_.get(); }
    User* settings() const { return settings_.get(); }
    bool isExiting() const { return exiting_.load(); }
    bool isLoading() const { return loading_.load(); }
    bool loadFailed() const { return loadFailed_.load(); }
    // Why loading failed ("" when it did not).
    std::string loadError() const;
    // What the program ends with: 0, or 1 after a failed load.
    int exitCode() const { return loadFailed() ? 1 : 0; }
    // Waits for the loader thread to end (tests; the window thread never needs to).
    void joinLoader();

    // SIGINT and SIGTERM become close requests of `frame` (referenced until stopClosingOnSignals), so
    // that Ctrl+C or a logout ends the program through exit() like the close box. False when the
    // handlers cannot be installed or a frame is already watched.
    static bool closeOnSignals(LoaderFrame2* frame);
    // Restores the previous handlers and ends the watcher.
    static void stopClosingOnSignals();

protected:
    // Waits up to `milliseconds` unless the frame exits first; false when it exits.
    bool pauseUnlessExiting(int milliseconds);
    // Marks the loader's work done and closes the frame when an exit came meanwhile.
    void finishLoading();
    void failLoading(const std::string& why);
    // A script named "+entry" must be in the archive; false with the reason otherwise.
    bool scriptPresent(std::string* why) const;

    lang::Ref<lang::Thread> loader_;
    lang::Ref<GameCanvas2> canvas_;
    lang::Ref<User> settings_;
    lang::String programDir_;
    lang::String scriptName_;
    std::string settingsFolder_;
    std::atomic<bool> restartPending_{true};
    std::atomic<bool> restoreFullScreen_{false};
    std::atomic<bool> awaitingMinimize_{false};  // window thread only, like restoreFullScreen_
    std::atomic<bool> exiting_{false};
    std::atomic<bool> loadFailed_{false};
    // A loader run is under way (set before the thread starts, cleared as its last step).
    std::atomic<bool> loading_{false};
    // The next loader run starts the sound first.
    std::atomic<bool> soundPending_{false};

private:
    SoundControl sound_;
    int soundRetryPauseMs_ = kSoundRetryPauseMs;
    // Wakes the sound retry pause when the frame exits; guards loadError_.
    mutable std::mutex stateLock_;
    std::condition_variable exitSignal_;
    std::string loadError_;
    // The load error's box; exit() closes it.
    window::MessageBoxCloser errorBoxes_;
};

}  // namespace sprite
