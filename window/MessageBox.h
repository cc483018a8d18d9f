// Message boxes: a title, a text and an OK button, shown to the player.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

namespace window {

// Shows a message box and returns when it is closed. Title and text are Windows-1252. Where no box can
// be shown (no display), the title and text go to standard error.
void showMessageBox(std::string_view title, std::string_view text);

// Takes down the boxes shown with it, from any thread: so that a box nobody answers (the player is
// away, the desktop is logging out) cannot hold up the program's end. Closing is final: a box shown
// with a closed closer is not shown at all.
class MessageBoxCloser {
public:
    MessageBoxCloser();
    // Every box shown with this closer goes: its showMessageBox call returns at once.
    void close();
    bool isClosed() const;

private:
    friend void showMessageBox(std::string_view, std::string_view, MessageBoxCloser&);
    struct State;
    std::shared_ptr<State> state_;
};

// Like the box above, but it also returns when `closer` is closed; the box is shown on a thread of its
// own so that the caller can be let go while it is up. A box that goes unanswered, or is never shown,
// leaves its title and text on standard error. (SDL cannot take its box off the screen from outside:
// a box let go stays up until the program ends, which is what closing is for.)
void showMessageBox(std::string_view title, std::string_view text, MessageBoxCloser& closer);

// Tests replace the box by a function that records what it was asked to show; an empty function
// restores the real box. Returns the previous hook.
using MessageBoxHook = std::function<void(std::string_view title, std::string_view text)>;
MessageBoxHook setMessageBoxHook(MessageBoxHook hook);

}  // namespace window
