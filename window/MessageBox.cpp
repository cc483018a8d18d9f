// Message boxes: the hook for tests, and the box itself (standard error until the window layer shows
// real boxes).
#include "window/MessageBox.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "lang/CodePage.h"

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
    showOnStandardError(title, text);
}

MessageBoxHook setMessageBoxHook(MessageBoxHook replacement) {
    std::lock_guard<std::mutex> guard(hookLock());
    MessageBoxHook previous = std::move(hook());
    hook() = std::move(replacement);
    return previous;
}

}  // namespace window
