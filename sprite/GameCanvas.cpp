// sprite::GameCanvas: life cycle, input intake, the frame pass and the stepping mode.
#include "sprite/GameCanvas.h"

#include <cstdio>
#include <cstdlib>

#include "lang/Exception.h"
#include "sprite/AnimateSprite.h"
#include "sprite/InputThread.h"
#include "sprite/RenderThread.h"
#include "sprite/store/User.h"
#include "util/DataProblems.h"
#include "window/Frame.h"

namespace sprite {

GameCanvas::GameCanvas()
    : webAddress_(kWebAddress),
      eventQueue_(lang::make<util::Vector>(10)),
      sprites_(lang::make<SpriteArray>()),
      dirtyRegion_(lang::make<util::Region>()),
      sounds_(lang::make<lang::ObjectArray>()),
      numberTable_(lang::make<lang::IntArray>()),
      stringTable1_(lang::make<lang::StringArray>()),
      stringTable2_(lang::make<lang::StringArray>()),
      stringTable3_(lang::make<lang::StringArray>()),
      fadingSounds_(lang::make<util::Vector>(10)),
      clock_(lang::make<FrameClock>()) {}

GameCanvas::~GameCanvas() {
    settings_.reset();
    destroy();
    for (int i = 0; i < sprites_->length(); ++i)
        lang::release((*sprites_)[i]);
    sprites_->setSize(0);
    releaseElements(sounds_.get());
    releaseElements(stringTable1_.get());
    releaseElements(stringTable2_.get());
    releaseElements(stringTable3_.get());
    inputThread_.reset();
}

void GameCanvas::releaseElements(lang::ObjectArray* array) {
    for (int i = 0; i < array->length(); ++i) {
        lang::release((*array)[i]);
        (*array)[i] = nullptr;
    }
    array->setSize(0);
}

// ---- life cycle ----

void GameCanvas::initResources(const lang::String& programDir, User* settings, const lang::String& scriptName,
                               int resourceArg) {
    programDir_ = programDir;
    settings_ = lang::share(settings);
    scriptName_ = scriptName;
    resourceArg_ = resourceArg;
}

void GameCanvas::start() {
    // A canvas started again shows its notices again (stop closed the previous closer for good); set
    // before the render thread exists, which is the only other reader.
    if (noticeBoxes_.isClosed())
        noticeBoxes_ = window::MessageBoxCloser();
    {
        lang::Synchronized guard(this, true);
        started_ = true;
        if (!stepping_) {
            if (!inputThread_)
                inputThread_ = lang::make<InputThread>(this);
            if (!renderThread_)
                renderThread_ = lang::make<RenderThread>(this);
        }
        stopped_ = false;
    }
    repaint();
}

void GameCanvas::requireCanvasLockFree(const char* operation) {
    if (lockDepth() == 0)
        return;
    // Waiting for the threads while holding the lock they need would hang the game for good.
    std::fprintf(stderr, "GameCanvas::%s called with the canvas lock held (from a command, a routing or a "
                         "notification handler); it must run outside every canvas operation\n",
                 operation);
    std::abort();
}

void GameCanvas::stop() {
    requireCanvasLockFree("stop");
    lang::Ref<InputThread> input;
    lang::Ref<RenderThread> render;
    {
        lang::Synchronized guard(this, true);
        input = std::move(inputThread_);
        render = std::move(renderThread_);
        if (render)
            render->requestStop();
        std::lock_guard<std::mutex> soundGuard(soundsLock_);
        for (int i = 0; i < sounds_->length(); ++i) {
            if (auto* clip = static_cast<window::AudioClip*>((*sounds_)[i]))
                clip->stop();
        }
        stopped_ = true;
    }
    // A box the render thread shows now would hold up the join below until the player answers it.
    noticeBoxes_.close();
    // The queue's monitor is taken outside the canvas lock, as everywhere else.
    if (input)
        input->requestStop();
    if (input)
        input->join();
    if (render)
        render->join();
    lang::Synchronized guard(dirtyRegion_.get());
    if (screenGraphics_)
        screenGraphics_->dispose();
    screenGraphics_.reset();
    if (offscreenGraphics_)
        offscreenGraphics_->dispose();
    offscreenGraphics_.reset();
}

void GameCanvas::destroy() {
    if (!stopped_)
        stop();
    {
        std::lock_guard<std::mutex> guard(soundsLock_);
        for (int i = 0; i < sounds_->length(); ++i) {
            if (auto* clip = static_cast<window::AudioClip*>((*sounds_)[i]))
                clip->unload();
        }
    }
    lang::Synchronized guard(dirtyRegion_.get());
    offscreen_.reset();
    offscreenValid_ = false;
}

void GameCanvas::exitGame() {
    Component* parent = getParent();
    if (parent != nullptr && parent->instanceOf("Frame"))
        static_cast<window::Frame*>(parent)->exit();
}

void GameCanvas::leaveFullScreen() {
    Component* parent = getParent();
    if (parent != nullptr && parent->instanceOf("Frame")) {
        auto* frame = static_cast<window::Frame*>(parent);
        if (frame->isFullScreen())
            frame->setFullScreen(false, false);
    }
}

void GameCanvas::pauseAnimations(bool paused) {
    lang::Synchronized guard(this, true);
    for (int i = 0; i < sprites_->length(); ++i) {
        Sprite* sprite = (*sprites_)[i];
        if (sprite != nullptr && sprite->instanceOf("AnimateSprite"))
            static_cast<AnimateSprite*>(sprite)->setPaused(paused);
    }
}

void GameCanvas::setSlotSprite(int index, Sprite* sprite) {
    if (index < 0)
        return;
    lang::Synchronized guard(this, true);
    lang::Synchronized drawing(dirtyRegion_.get());
    if (index >= sprites_->length())
        sprites_->setSize(index + 1);
    if (sprite != nullptr)
        sprite->addRef();
    lang::release((*sprites_)[index]);
    (*sprites_)[index] = sprite;
}

Sprite* GameCanvas::slotSprite(int index) {
    lang::Synchronized guard(this, true);
    return index >= 0 && index < sprites_->length() ? (*sprites_)[index] : nullptr;
}

bool GameCanvas::receive(window::Event*) {
    return true;
}

// ---- input intake ----

void GameCanvas::enqueueEvent(window::Event* event) {
    if (event == nullptr || !started_ || stopped_)
        return;
    lang::Synchronized guard(eventQueue_.get());
    if (stopped_)
        return;
    eventQueue_->addElement(event);
    eventQueue_->notify();
}

int GameCanvas::pendingEventCount() {
    return eventQueue_->size();
}

bool GameCanvas::mouseDown(window::Event* event, int, int) {
    if (!accepting())
        return false;
    enqueueEvent(event);
    return true;
}

bool GameCanvas::mouseUp(window::Event* event, int, int) {
    if (!accepting())
        return false;
    enqueueEvent(event);
    return true;
}

bool GameCanvas::mouseMove(window::Event* event, int, int) {
    if (!accepting())
        return false;
    enqueueEvent(event);
    return true;
}

bool GameCanvas::mouseDrag(window::Event* event, int, int) {
    if (!accepting())
        return false;
    enqueueEvent(event);
    return true;
}

bool GameCanvas::mouseWheel(window::Event* event, int, int) {
    if (!accepting())
        return false;
    enqueueEvent(event);
    return true;
}

bool GameCanvas::keyDown(window::Event*, int key) {
    if (!accepting())
        return false;
    if (key == 'S' || key == 's') {
        setSoundEnabled(!soundEnabled_);
        return true;
    }
    return false;
}

bool GameCanvas::deliverNextEvent() {
    lang::Ref<window::Event> event;
    {
        lang::Synchronized guard(eventQueue_.get());
        if (eventQueue_->size() == 0)
            return false;
        event = lang::share(static_cast<window::Event*>(eventQueue_->elementAt(0)));
        eventQueue_->removeElementAt(0);
    }
    // Routing and the command it produces run under the canvas lock: the render thread paints the very
    // sprites that routing moves, presses and shows.
    lang::Synchronized guard(this, true);
    currentEvent_ = event;
    try {
        dispatchEvent();
    } catch (lang::Exception* e) {
        // A failed delivery loses that event only.
        e->release();
    }
    currentEvent_.reset();
    return true;
}

int GameCanvas::deliverEvents() {
    int count = 0;
    while (deliverNextEvent())
        ++count;
    return count;
}

// ---- the frame pass ----

void GameCanvas::setClock(FrameClock* clock) {
    clock_ = clock != nullptr ? lang::share(clock) : lang::make<FrameClock>();
}

GameCanvas::FramePass GameCanvas::runFramePass(FrameSchedule& schedule) {
    FramePass result;
    lang::Synchronized guard(this, true);
    try {
        tick();
        FrameSchedule::Pass pass = schedule.afterStep(clock_->now(), frameDelay_, allowFrameSkip_);
        result.lag = pass.lag;
        result.deadline = pass.deadline;
        if (pass.paint) {
            paintFrame();
            result.painted = true;
        }
    } catch (lang::Exception* e) {
        e->release();
        result.failed = true;
    }
    return result;
}

GameCanvas::FramePass GameCanvas::stepFrame() {
    FramePass pass;
    {
        lang::Synchronized guard(this, true);
        if (!stepScheduleStarted_) {
            stepSchedule_.start(clock_->now());
            stepScheduleStarted_ = true;
        }
        pass = runFramePass(stepSchedule_);
    }
    showPlayerNotices();
    return pass;
}

// ---- telling the player ----

void GameCanvas::notifyPlayer(const std::string& text) {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::lock_guard<std::mutex> guard(noticesLock_);
    notices_.push_back(text);
    noticesWaiting_.store(true, std::memory_order_release);
}

void GameCanvas::showPlayerNotices() {
    if (!noticesWaiting_.load(std::memory_order_acquire) && !util::hasDataProblems())
        return;
    // A box shown under the canvas lock would stop every thread that needs it until the player answers.
    if (lockDepth() > 0)
        return;
    std::vector<std::string> notices;
    {
        std::lock_guard<std::mutex> guard(noticesLock_);
        notices.swap(notices_);
        noticesWaiting_.store(false, std::memory_order_release);
    }
    for (const std::string& text : notices)
        window::showMessageBox(window::Frame::kErrorTitle, text, noticeBoxes_);
    util::DataProblems damaged = util::takeDataProblems();
    if (damaged.problems.empty())
        return;
    std::string text = "Some of the game's data is missing or damaged; the game goes on without it:\n";
    for (const std::string& problem : damaged.problems)
        text += "\n" + problem;
    if (damaged.leftOff > 0)
        text += "\n(and " + std::to_string(damaged.leftOff) + " more)";
    text += "\n\nInstalling the game again restores its data.";
    std::fprintf(stderr, "%s\n", text.c_str());
    window::showMessageBox(window::Frame::kErrorTitle, text, noticeBoxes_);
}

void GameCanvas::paintFrame() {
    flushToScreen();
}

}  // namespace sprite
