// Message boxes: a title, a text and an OK button, shown to the player.
#pragma once

#include <functional>
#include <string_view>

namespace window {

// Shows a message box and returns when it is closed. Title and text are Windows-1252. Where no box can
// be shown (no display), the title and text go to standard error.
void showMessageBox(std::string_view title, std::string_view text);

// Tests replace the box by a function that records what it was asked to show; an empty function
// restores the real box. Returns the previous hook.
using MessageBoxHook = std::function<void(std::string_view title, std::string_view text)>;
MessageBoxHook setMessageBoxHook(MessageBoxHook hook);

}  // namespace window
