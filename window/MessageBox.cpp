// Message boxes: the hook for tests, and the box itself, shown by SDL or, without a display, written to
// standard error.
#include "window/MessageBox.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "lang/CodePage.h"
#include "window/SdlVideo.h"

namespace window {

namespace {

std::mutex& hookLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

MessageBoxHook& hook() {
    static auto* current = new MessageBoxHook;
    return *current;
}

void showOnStandardError(std::string_view title, std::string_view text) {
    std::string line = lang::cp1252ToUtf8(title) + ": " + lang::cp1252ToUtf8(text) + "\n";
    std::fputs(line.c_str(), stderr);
}

// True when no box can be seen: a headless run, or no display server named at all.
bool noDisplay() {
    const char* driver = std::getenv("SDL_VIDEODRIVER");
    if (driver != nullptr && (std::strcmp(driver, "dummy") == 0 || std::strcmp(driver, "offscreen") == 0)) {
        return true;
    }
    if (sdl::isOpen() && sdl::headless())
        return true;
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x11 == nullptr || *x11 == 0) && (wayland == nullptr || *wayland == 0);
}

void showPlatformBox(std::string_view title, std::string_view text) {
    if (noDisplay()) {
        showOnStandardError(title, text);
        return;
    }
    // SDL shows a simple box from any thread, with or without the video subsystem open.
    std::string utf8Title = lang::cp1252ToUtf8(title);
    std::string utf8Text = lang::cp1252ToUtf8(text);
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, utf8Title.c_str(), utf8Text.c_str(), nullptr) !=
        0) {
        showOnStandardError(title, text);
    }
}

}  // namespace

void showMessageBox(std::string_view title, std::string_view text) {
    MessageBoxHook current;
    {
        std::lock_guard<std::mutex> guard(hookLock());
        current = hook();
    }
    if (current) {
        current(title, text);
        return;
    }
    showPlatformBox(title, text);
}

struct MessageBoxCloser::State {
    std::mutex lock;
    std::condition_variable changed;
    bool closed = false;
};

MessageBoxCloser::MessageBoxCloser() : state_(std::make_shared<State>()) {}

void MessageBoxCloser::close() {
    {
        std::lock_guard<std::mutex> guard(state_->lock);
        state_->closed = true;
    }
    state_->changed.notify_all();
}

bool MessageBoxCloser::isClosed() const {
    std::lock_guard<std::mutex> guard(state_->lock);
    return state_->closed;
}

void showMessageBox(std::string_view title, std::string_view text, MessageBoxCloser& closer) {
    std::shared_ptr<MessageBoxCloser::State> state = closer.state_;
    {
        std::lock_guard<std::mutex> guard(state->lock);
        if (state->closed) {
            showOnStandardError(title, text);
            return;
        }
    }
    // The box's thread owns copies of everything it uses: the caller may be gone before it ends.
    auto answered = std::make_shared<bool>(false);
    std::thread([state, answered, boxTitle = std::string(title), boxText = std::string(text)] {
        showMessageBox(boxTitle, boxText);
        {
            std::lock_guard<std::mutex> guard(state->lock);
            *answered = true;
        }
        state->changed.notify_all();
    }).detach();
    std::unique_lock<std::mutex> guard(state->lock);
    state->changed.wait(guard, [&] { return *answered || state->closed; });
    if (!*answered) {
        guard.unlock();
        showOnStandardError(title, text);
    }
}

MessageBoxHook setMessageBoxHook(MessageBoxHook replacement) {
    std::lock_guard<std::mutex> guard(hookLock());
    MessageBoxHook previous = std::move(hook());
    hook() = std::move(replacement);
    return previous;
}

}  // namespace window
