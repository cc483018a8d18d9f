// MyFrame: the loading screen, the hand-over to the canvas, and the program's run.
#include "game/MyFrame.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>

#include "lang/Exception.h"
#include "lang/ResourceFile.h"
#include "sprite/GameCanvas2.h"
#include "util/Random.h"
#include "util/RectangleNM.h"
#include "window/Color.h"
#include "window/Component.h"
#include "window/Cursor.h"
#include "window/Graphics.h"
#include "window/Image.h"
#include "window/MessageBox.h"

namespace {

lang::Ref<window::Image> archiveImage(const std::string& entry) {
    return lang::make<window::Image>(("+" + entry).c_str());
}

bool hasPixels(window::Image* image) {
    return image != nullptr && image->getPixels() != nullptr;
}

// With LUMAROO_STARTUP_TRACE set (and not "0"), the start-up's milestones go to standard error as
// "lumaroo-startup: <milestone> <wall-clock microseconds>", so that a benchmark or an end-to-end test can
// time them against the moment it started the program. Players never see them.
void traceStartup(const char* milestone) {
    static const bool enabled = [] {
        const char* value = std::getenv("LUMAROO_STARTUP_TRACE");
        return value != nullptr && value[0] != 0 && std::string_view(value) != "0";
    }();
    if (!enabled)
        return;
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::fprintf(stderr, "lumaroo-startup: %s %lld\n", milestone,
                 static_cast<long long>(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
}

}  // namespace

MyFrame::MyFrame(CanvasFactory makeCanvas, util::Random* random)
    : makeCanvas_(std::move(makeCanvas)), random_(random != nullptr ? lang::share(random) : lang::make<util::Random>()) {
    bounds_.width = kWidth;
    bounds_.height = kHeight;
}

MyFrame::~MyFrame() = default;

bool MyFrame::create(window::Component* parent, const util::RectangleNM& bounds) {
    if (!LoaderFrame2::create(parent, bounds))
        return false;
    auto frameColour = lang::make<window::Color>(static_cast<int32_t>(kFrameRgb));
    setBackground(frameColour.get());

    chosenBackground_ = backgroundNumber(random_->nextInt(99));
    {
        lang::Synchronized guard(this, true);
        background_ = archiveImage("background" + std::to_string(chosenBackground_));
        // A missing picture has height 0: the centring below then places nothing.
        backgroundTop_ = -background_->getHeight();
        loadingImage_ = archiveImage("loading");
        logoImage_ = archiveImage("loading_logo");
        loadBarImage_ = archiveImage("loadbar");
        offscreen_ = lang::make<window::Image>(bounds_.width, bounds_.height);
        backgroundTop_ = (bounds_.height + backgroundTop_) / 2;
    }

    lang::Ref<lang::String> title = lang::adopt(lang::getResourceString("IDS_GAMETITLE"));
    setTitle(*title);

    lang::Ref<sprite::GameCanvas2> canvas = makeCanvas_ ? makeCanvas_() : lang::make<sprite::GameCanvas2>();
    if (!canvas || !canvas->create(this, util::RectangleNM(0, 0, bounds_.width, bounds_.height)))
        return false;
    lang::Ref<lang::String> registryName = lang::adopt(lang::getResourceString("REGISTRYNAME"));
    init(canvas.get(), lang::String(kScriptName), *registryName);
    setVisible(true);
    traceStartup("loading-screen");
    canvas->setCursor(window::Cursor::waitCursor());
    setTimer(kRepaintTimer, kRepaintMs);
    startLoading();
    canvas->requestFocus();
    return true;
}

double MyFrame::progress() const {
    sprite::GameCanvas2* c = canvas();
    if (c == nullptr)
        return 0.0;
    const int total = c->loadTotal();
    if (total == 0)
        return 0.0;
    return std::clamp(static_cast<double>(c->loadedCount()) / total, 0.0, 1.0);
}

bool MyFrame::showsLoadingScreen() {
    lang::Synchronized guard(this, true);
    return static_cast<bool>(offscreen_);
}

void MyFrame::update(window::Graphics* g) {
    lang::Synchronized guard(this, true);
    if (!offscreen_)
        return;
    const int width = bounds_.width;
    const int height = bounds_.height;
    lang::Ref<window::Graphics> og = lang::adopt(offscreen_->getGraphics());
    // A picture whose entry is missing or undecodable exists but has no pixels: the plain fill shows.
    if (hasPixels(background_.get())) {
        og->fillRectColor(0, 0, width, height, 0xFF000000u | kFrameRgb);
        og->drawImage(background_.get(), (width - background_->getWidth()) / 2, backgroundTop_);
    } else {
        og->fillRectColor(0, 0, width, height, 0xFF000000u | kNoBackgroundRgb);
    }
    if (hasPixels(loadingImage_.get()))
        og->drawImage(loadingImage_.get(), kBarX, kBarY);
    if (hasPixels(loadBarImage_.get())) {
        // The bar grows from the left as the loader counts its entries.
        lang::Ref<window::Graphics> bar = lang::adopt(og->create());
        bar->clipRect(kBarX, kBarY, static_cast<int>(loadBarImage_->getWidth() * progress()), kBarClipHeight);
        bar->drawImage(loadBarImage_.get(), kBarX, kBarY);
        bar->dispose();
    }
    if (hasPixels(logoImage_.get()))
        og->drawImage(logoImage_.get(), 0, 0);
    og->dispose();
    g->drawImage(offscreen_.get(), 0, 0);
}

int64_t MyFrame::windowProc(int32_t message, int64_t wParam, int64_t lParam) {
    if (message == window::msg::kTimer) {
        repaint();
        return 0;
    }
    return LoaderFrame2::windowProc(message, wParam, lParam);
}

void MyFrame::onActivate(bool active) {
    // Losing activation pauses the game; it resumes with the player's click on the pause sign, so
    // regaining activation asks nothing of the canvas.
    if (canvas() != nullptr && !active)
        canvas()->onDeactivate();
    LoaderFrame2::onActivate(active);
}

void MyFrame::showCanvas() {
    killTimer(kRepaintTimer);
    LoaderFrame2::showCanvas();
    // The canvas now shows the game's first screen, the main menu.
    traceStartup("main-menu");
    lang::Synchronized guard(this, true);
    background_ = nullptr;
    offscreen_ = nullptr;
}

// ---- the program ----

int MyFrame::runProgram(const Program& program) {
    const std::string archive =
        program.dataFolder.empty() ? std::string() : program.dataFolder + "/" + "Kolbax.bin";
    if (archive.empty()) {
        window::showMessageBox(kErrorTitle, "The game's data archive \"Kolbax.bin\" was not found beside the "
                                            "program or in its installed data folder.");
        return 2;
    }
    try {
        lang::openArchive(archive.c_str());
    } catch (lang::Exception* e) {
        std::string why = "The game's data archive cannot be read: " + std::string(e->message().view());
        e->release();
        window::showMessageBox(kErrorTitle, why);
        return 2;
    }
    std::string reason;
    if (!window::openDisplay(&reason)) {
        window::showMessageBox(kErrorTitle, "The game's window cannot be shown: " + reason);
        lang::closeArchives();
        return 3;
    }
    int result;
    {
        auto frame = lang::make<MyFrame>(program.makeCanvas, program.random);
        frame->setSettingsFolder(program.settingsFolder);
        frame->setProgramDir(lang::String(program.dataFolder.c_str()));
        bool created = false;
        std::string why = "The game's window could not be created.";
        try {
            created = frame->create(nullptr, util::RectangleNM(0, 0, kWidth, kHeight));
        } catch (const std::exception& e) {
            // The canvas could not be made (its level table, say): its reason names the file.
            why = e.what();
        }
        if (!created) {
            window::showMessageBox(kErrorTitle, why);
            frame->destroyWindow();
            window::processPendingEvents();
            result = 3;
        } else {
            // Ctrl+C and a logout close the game as the close box does, so NORMALEXIT ends as 1.
            closeOnSignals(frame.get());
            if (program.started)
                program.started(frame.get());
            result = window::runMessageLoop();
            stopClosingOnSignals();
            if (result < 0)
                result = 3;
        }
    }
    lang::closeArchives();
    return result;
}
