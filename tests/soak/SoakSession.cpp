// The real game without a screen, stepped frame by frame.
#include "tests/soak/SoakSession.h"

#include <exception>

#include "game/KolbaxCanvas.h"
#include "game/MyFrame.h"
#include "lang/Exception.h"
#include "lang/ResourceFile.h"
#include "sprite/DialogSprite.h"
#include "sprite/Sprite.h"
#include "util/Random.h"
#include "window/Component.h"
#include "window/Event.h"

namespace soak {

namespace {

// How many window-thread passes a close may take before it counts as hung.
constexpr int kClosePasses = 200;

bool dialogShown(sprite::Sprite* s) {
    return s != nullptr && s->isVisible();
}

}  // namespace

Session::Session(const Options& options) : clock_(lang::make<sprite::ManualFrameClock>(0)) {
    gameRandom().setSeed(options.seed);
    const std::string archive = options.dataFolder + "/Kolbax.bin";
    try {
        lang::openArchive(archive.c_str());
        archiveOpen_ = true;
    } catch (lang::Exception* e) {
        why_ = "the archive cannot be opened: " + std::string(e->message().view());
        e->release();
        return;
    }
    std::string reason;
    if (!window::openDisplay(&reason)) {
        why_ = "no display: " + reason;
        return;
    }
    displayOpen_ = true;

    const std::string boards = options.dataFolder + "/boards";
    lang::Ref<sprite::ManualFrameClock> clock = clock_;
    lang::Ref<KolbaxCanvas> made;
    std::string boardsError;
    auto makeCanvas = [&made, &boardsError, boards, clock]() -> lang::Ref<sprite::GameCanvas2> {
        auto canvas = lang::make<KolbaxCanvas>();
        // As the program does: a level table that cannot be read stops the start with its reason.
        if (!canvas->setBoardsFolder(boards, boardsError))
            return {};
        canvas->setStepping(true);
        canvas->setClock(clock.get());
        made = canvas;
        return canvas;
    };
    auto random = lang::make<util::Random>(options.seed);
    frame_ = lang::make<MyFrame>(makeCanvas, random.get());
    frame_->setSettingsFolder(options.settingsFolder);
    frame_->setProgramDir(lang::String(options.dataFolder.c_str()));
    bool created = false;
    try {
        created = frame_->create(nullptr, util::RectangleNM(0, 0, MyFrame::kWidth, MyFrame::kHeight));
    } catch (const std::exception& e) {
        boardsError = e.what();
    }
    if (!created) {
        why_ = boardsError.empty() ? "the game's window could not be created" : boardsError;
        return;
    }
    frame_->joinLoader();
    if (frame_->loadFailed()) {
        why_ = frame_->loadError();
        // The loader has asked the frame to close; the window thread carries it out.
        for (int i = 0; i < kClosePasses && frame_->hasWindow(); ++i)
            pump();
        endedInOrder_ = !frame_->hasWindow();
        return;
    }
    canvas_ = made;
    pump();
}

Session::~Session() {
    close();
}

void Session::close() {
    if (frame_) {
        if (frame_->hasWindow()) {
            // The close box's way: the canvas's exitGame, then the frame's exit.
            frame_->postCloseRequest();
            for (int i = 0; i < kClosePasses && frame_->hasWindow(); ++i)
                pump();
            if (frame_->hasWindow()) {
                frame_->destroyWindow();
                pump();
            }
        }
        frame_->joinLoader();
    }
    canvas_ = nullptr;
    frame_ = nullptr;
    if (displayOpen_) {
        pump();
        window::closeDisplay();
        displayOpen_ = false;
    }
    if (archiveOpen_) {
        lang::closeArchives();
        archiveOpen_ = false;
    }
}

void Session::pump() {
    window::processPendingEvents();
}

bool Session::step() {
    pump();
    if (!canvas_)
        return false;
    canvas_->deliverEvents();
    clock_->advance(canvas_->frameDelay());
    const bool failed = canvas_->stepFrame().failed;
    ++frames_;
    return failed;
}

void Session::press(int x, int y) {
    auto event = lang::make<window::Event>(window::Event::kMouseDown, x, y, 0, 0, 1);
    canvas_->mouseDown(event.get(), x, y);
    canvas_->deliverEvents();
}

void Session::release(int x, int y) {
    auto event = lang::make<window::Event>(window::Event::kMouseUp, x, y, 0, 0, 1);
    canvas_->mouseUp(event.get(), x, y);
    canvas_->deliverEvents();
}

void Session::drag(int x, int y) {
    auto event = lang::make<window::Event>(window::Event::kMouseDrag, x, y, 0, 0, 1);
    canvas_->mouseDrag(event.get(), x, y);
    canvas_->deliverEvents();
}

void Session::move(int x, int y) {
    auto event = lang::make<window::Event>(window::Event::kMouseMove, x, y, 0, 0, 0);
    canvas_->mouseMove(event.get(), x, y);
    canvas_->deliverEvents();
}

void Session::click(int x, int y) {
    press(x, y);
    release(x, y);
}

void Session::key(int code) {
    auto down = lang::make<window::Event>(window::Event::kKeyDown, 0, 0, 0, code, 1);
    canvas_->keyDown(down.get(), code);
    auto up = lang::make<window::Event>(window::Event::kKeyUp, 0, 0, 0, code, 1);
    canvas_->keyUp(up.get(), code);
    canvas_->deliverEvents();
}

void Session::focusLost() {
    // As the window thread reports it: the frame's activation handler.
    frame_->onActivate(false);
    canvas_->deliverEvents();
}

void Session::focusGained() {
    frame_->onActivate(true);
    canvas_->deliverEvents();
}

sprite::Sprite* Session::find(const std::string& path, util::Point* at) {
    if (!canvas_)
        return nullptr;
    size_t start = 0, slash = path.find('/');
    sprite::Sprite* s = canvas_->getSprite(path.substr(0, slash).c_str());
    int x = s != nullptr ? s->getX() : 0, y = s != nullptr ? s->getY() : 0;
    while (s != nullptr && slash != std::string::npos) {
        start = slash + 1;
        slash = path.find('/', start);
        if (!s->instanceOf("DialogSprite"))
            return nullptr;
        lang::Ref<sprite::Sprite> child =
            static_cast<sprite::DialogSprite*>(s)->getChild(path.substr(start, slash - start).c_str());
        // The dialog keeps its reference: a borrowed pointer is enough for the caller's moment.
        s = child.get();
        if (s != nullptr) {
            x += s->getX();
            y += s->getY();
        }
    }
    if (s != nullptr && at != nullptr)
        *at = util::Point(x, y);
    return s;
}

bool Session::shown(const std::string& path) {
    // Every sprite on the way must be shown for the last one to be seen.
    for (size_t slash = path.find('/');; slash = path.find('/', slash + 1)) {
        if (!dialogShown(find(path.substr(0, slash))))
            return false;
        if (slash == std::string::npos)
            return true;
    }
}

bool Session::clickNamed(const std::string& path) {
    util::Point at;
    sprite::Sprite* s = find(path, &at);
    if (s == nullptr || !shown(path))
        return false;
    click(at.x + s->getWidth() / 2, at.y + s->getHeight() / 2);
    return true;
}

}  // namespace soak
