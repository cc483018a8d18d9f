// sprite::LoaderFrame2: start-up switches, the sound start, the loader thread and the orderly exit.
#include "sprite/LoaderFrame2.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <exception>
#include <thread>

#include "lang/Exception.h"
#include "lang/ProgramPath.h"
#include "lang/ResourceFile.h"
#include "lang/Thread.h"
#include "sprite/GameCanvas2.h"
#include "sprite/store/User.h"
#include "window/AudioClip.h"
#include "window/Component.h"
#include "window/Cursor.h"
#include "window/Event.h"
#include "window/MessageBox.h"

namespace sprite {

namespace {

constexpr int kEscape = 27;

LoaderFrame2::SoundControl engineSoundControl() {
    return {[](int mixBufferMs, bool forceWaveOut) { return window::AudioClip::initSound(mixBufferMs, forceWaveOut); },
            [] { window::AudioClip::shutdownSound(); }};
}

}  // namespace

LoaderFrame2::LoaderFrame2() : sound_(engineSoundControl()) {
    bounds_.width = 640;
    bounds_.height = 480;
}

LoaderFrame2::~LoaderFrame2() {
    // A frame dropped without its window's destruction (a failed create) still ends its loader first:
    // the loader holds a reference on the frame, so it has ended when this runs, save the platform
    // thread's last step.
    if (loader_)
        loader_->join();
}

// ---- the start-up switches ----

bool LoaderFrame2::startFullScreen(User* settings, int displayDepth) {
    if (settings == nullptr)
        return false;
    bool fullScreen;
    if (displayDepth == 15 || displayDepth == 16 || displayDepth == 24 || displayDepth == 32) {
        fullScreen = settings->getInt(kFullScreenSetting, displayDepth == 24 ? 1 : 0) == 1;
    } else {
        // A palette display cannot show the game in a window; an unknown depth (no display to ask)
        // says nothing, so the window is kept.
        fullScreen = displayDepth != 0;
    }
    if (settings->getInt(kNormalExitSetting, 1) == 0) {
        // The last run ended without exit(), perhaps in a display mode it could not leave: start in
        // a window. NORMALEXIT stays 0 until a run ends normally.
        settings->setInt(kFullScreenSetting, 0);
        return false;
    }
    settings->setInt(kNormalExitSetting, 0);
    return fullScreen;
}

void LoaderFrame2::init(GameCanvas2* canvas, const lang::String& scriptName, const lang::String& registryName) {
    if (programDir_.length() == 0)
        programDir_.assign(lang::programFolder().c_str());
    settings_ = settingsFolder_.empty() ? lang::make<User>() : lang::make<User>(settingsFolder_.c_str());
    settings_->setPath(registryName);
    if (startFullScreen(settings_.get(), displayDepth()))
        setFullScreen(true, false);
    scriptName_.assign(scriptName);
    if (canvas != nullptr)
        canvas->initResources(programDir_, settings_.get(), scriptName, -1);
    setCanvas(canvas);
}

void LoaderFrame2::setCanvas(GameCanvas2* canvas) {
    if (canvas_) {
        canvas_->stop();
        canvas_->destroy();
        canvas_ = nullptr;
    }
    if (loader_) {
        loader_->join();
        loader_ = nullptr;
    }
    restartPending_ = true;
    canvas_ = lang::share(canvas);
    onCanvasSet();
}

void LoaderFrame2::setSoundControl(SoundControl control, int retryPauseMs) {
    sound_ = std::move(control);
    soundRetryPauseMs_ = retryPauseMs;
}

// ---- the sound start ----

bool LoaderFrame2::initSound() {
    const int mix = settings_ ? settings_->getInt(kMixBufferSetting, -1) : -1;
    const bool winmm = settings_ ? settings_->getInt(kUseWinmmSetting, 0) != 0 : false;
    if (sound_.start(mix, winmm))
        return true;
    if (!pauseUnlessExiting(soundRetryPauseMs_))
        return false;
    if (sound_.start(mix, winmm))
        return true;
    // The last try forces the direct output. The engine takes an output choice only when it starts
    // afresh, so whatever the failed attempts left is shut down first.
    if (exiting_)
        return false;
    sound_.shutdown();
    return sound_.start(mix, true);
}

bool LoaderFrame2::pauseUnlessExiting(int milliseconds) {
    std::unique_lock<std::mutex> guard(stateLock_);
    exitSignal_.wait_for(guard, std::chrono::milliseconds(milliseconds), [this] { return exiting_.load(); });
    return !exiting_;
}

// ---- loading ----

void LoaderFrame2::startLoading() {
    if (!restartPending_)
        return;
    if (loader_) {
        loader_->join();
        loader_ = nullptr;
    }
    restartPending_ = false;
    soundPending_ = true;
    loading_ = true;
    loader_ = lang::make<lang::Thread>(static_cast<lang::Runnable*>(this));
    loader_->start();
}

void LoaderFrame2::loadNow() {
    restartPending_ = false;
    soundPending_ = true;
    loading_ = true;
    run();
}

void LoaderFrame2::joinLoader() {
    if (loader_)
        loader_->join();
}

void LoaderFrame2::run() {
    lang::Ref<GameCanvas2> canvas = canvas_;
    if (!canvas || exiting_) {
        finishLoading();
        return;
    }
    if (soundPending_.exchange(false))
        initSound();
    if (exiting_) {
        finishLoading();
        return;
    }
    if (!canvas->isSceneLoaded()) {
        // An exception out of the loading is a failed load: a half-built scene never starts.
        std::string failure;
        bool loaded = false;
        try {
            loaded = scriptPresent(&failure) && canvas->prepareScene() && canvas->loadScene();
            if (!loaded && failure.empty())
                failure = "The game's definitions could not be loaded from \"" + std::string(scriptName_.view()) +
                          "\".";
        } catch (lang::Exception* e) {
            failure = "Loading the game failed: " + std::string(e->message().view());
            e->release();
        } catch (const std::exception& e) {
            failure = std::string("Loading the game failed: ") + e.what();
        }
        if (!loaded) {
            failLoading(failure);
            return;
        }
    }
    if (restartPending_ || exiting_) {
        finishLoading();
        return;
    }
    canvas->setCursor(window::Cursor::arrow());
    canvas->start();
    showCanvas();
    finishLoading();
}

bool LoaderFrame2::scriptPresent(std::string* why) const {
    // The archive answers a missing entry with no bytes, which would load as an empty script and
    // start a game without a scene. Files are checked by the loader itself, which names them.
    if (!scriptName_.startsWith("+"))
        return true;
    const std::string entry(scriptName_.view().substr(1));
    lang::Ref<lang::ResourceItem> item = lang::adopt(lang::getResource(entry.c_str(), false));
    if (item)
        return true;
    *why = "The game's definition script \"" + entry + "\" is missing from the data archive.";
    return false;
}

void LoaderFrame2::failLoading(const std::string& why) {
    {
        std::lock_guard<std::mutex> guard(stateLock_);
        loadError_ = why;
    }
    loadFailed_ = true;
    window::showMessageBox(kErrorTitle, why, errorBoxes_);
    finishLoading();
    // The path of every close request: the canvas's exitGame, then exit().
    postCloseRequest();
}

void LoaderFrame2::finishLoading() {
    // Paired with exit(): it sets exiting_ and then reads loading_; here loading_ is cleared and then
    // exiting_ read, so at least one of the two closes the frame (twice is harmless).
    loading_ = false;
    if (exiting_)
        window::Frame::exit();
}

std::string LoaderFrame2::loadError() const {
    std::lock_guard<std::mutex> guard(stateLock_);
    return loadError_;
}

void LoaderFrame2::stopCanvas() {
    if (canvas_)
        canvas_->stop();
    restartPending_ = true;
}

void LoaderFrame2::showCanvas() {
    if (canvas_)
        canvas_->setVisible(true);
}

// ---- the window ----

void LoaderFrame2::exit() {
    if (isFullScreen())
        setFullScreen(false, true);
    {
        std::lock_guard<std::mutex> guard(stateLock_);
        exiting_ = true;
    }
    exitSignal_.notify_all();
    errorBoxes_.close();
    if (settings_)
        settings_->setInt(kNormalExitSetting, 1);
    if (loading_) {
        // Loading cannot be cut short; waiting for it here could freeze the window thread. The window
        // goes out of sight and the loader closes the frame when it returns.
        setVisible(false);
        if (loading_)
            return;
    }
    window::Frame::exit();
}

void LoaderFrame2::onDestroy() {
    stopCanvas();
    if (loader_) {
        // The loader has returned or is about to (the frame closes only once it has).
        loader_->join();
        loader_ = nullptr;
    }
    if (canvas_)
        canvas_->destroy();
    if (sound_.shutdown)
        sound_.shutdown();
    window::postQuitMessage(exitCode());
}

void LoaderFrame2::onCloseRequest() {
    if (canvas_)
        canvas_->exitGame();
}

void LoaderFrame2::onActivate(bool active) {
    if (isFullScreen() && !active) {
        setFullScreen(false, true);
        const bool wasVisible = isVisible();
        minimize();
        if (!wasVisible)
            setVisible(false);
        // Leaving full screen moves the window before the minimising shows: until the window has been
        // seen minimised, a position change is not the player's return.
        awaitingMinimize_ = true;
        restoreFullScreen_ = true;
    } else if (active && restoreFullScreen_) {
        // Active again without having been seen minimised (a desktop that refused): that is the return.
        awaitingMinimize_ = false;
        onMoved();
    }
    window::Frame::onActivate(active);
}

void LoaderFrame2::onFullScreenSwitched(bool on) {
    if (canvas_)
        canvas_->onFullScreenSwitched(on);
    window::Frame::onFullScreenSwitched(on);
}

bool LoaderFrame2::keyDown(window::Event*, int key) {
    if (isFullScreen() && key == kEscape) {
        setFullScreen(false, false);
        return true;
    }
    return false;
}

void LoaderFrame2::onMoved() {
    if (!isMinimized()) {
        if (restoreFullScreen_ && !awaitingMinimize_ && isVisible()) {
            restoreFullScreen_ = false;
            setFullScreen(true, false);
        }
    } else {
        awaitingMinimize_ = false;
        if (canvas_)
            canvas_->onDeactivate();
    }
}

// ---- SIGINT and SIGTERM ----

namespace {

// The handler only writes one byte into a pipe (async-signal-safe); a watcher thread reads it and posts
// the close request, since nothing else may be done inside a handler.
struct SignalWatch {
    std::mutex lock;
    int pipe[2] = {-1, -1};
    std::thread watcher;
    lang::Ref<LoaderFrame2> frame;
    struct sigaction previous[2];
};

SignalWatch& signalWatch() {
    static auto* watch = new SignalWatch;
    return *watch;
}

std::atomic<int> signalPipeWriteEnd{-1};

constexpr char kSignalled = 'S';
constexpr char kStopWatching = 'Q';

void onCloseSignal(int) {
    const int saved = errno;
    const int fd = signalPipeWriteEnd.load();
    if (fd >= 0) {
        const char byte = kSignalled;
        [[maybe_unused]] ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved;
}

void watchSignals(int readEnd, LoaderFrame2* frame) {
    for (;;) {
        char byte = 0;
        const ssize_t got = ::read(readEnd, &byte, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0 || byte == kStopWatching)
            return;
        frame->postCloseRequest();
    }
}

}  // namespace

bool LoaderFrame2::closeOnSignals(LoaderFrame2* frame) {
    SignalWatch& w = signalWatch();
    std::lock_guard<std::mutex> guard(w.lock);
    if (frame == nullptr || w.frame)
        return false;
    if (::pipe2(w.pipe, O_CLOEXEC) != 0)
        return false;
    w.frame = lang::share(frame);
    signalPipeWriteEnd = w.pipe[1];
    w.watcher = std::thread(watchSignals, w.pipe[0], frame);
    struct sigaction action {};
    action.sa_handler = onCloseSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    const int signals[2] = {SIGINT, SIGTERM};
    for (int i = 0; i < 2; ++i)
        sigaction(signals[i], &action, &w.previous[i]);
    return true;
}

void LoaderFrame2::stopClosingOnSignals() {
    SignalWatch& w = signalWatch();
    std::lock_guard<std::mutex> guard(w.lock);
    if (!w.frame)
        return;
    const int signals[2] = {SIGINT, SIGTERM};
    for (int i = 0; i < 2; ++i)
        sigaction(signals[i], &w.previous[i], nullptr);
    signalPipeWriteEnd = -1;
    const char byte = kStopWatching;
    while (::write(w.pipe[1], &byte, 1) < 0 && errno == EINTR) {
    }
    w.watcher.join();
    ::close(w.pipe[0]);
    ::close(w.pipe[1]);
    w.pipe[0] = w.pipe[1] = -1;
    w.frame = nullptr;
}

}  // namespace sprite
