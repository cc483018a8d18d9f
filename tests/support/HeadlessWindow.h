// A real window on whatever display SDL has (the dummy driver unless the environment names another),
// for tests of components drawn on the screen: the frame, a pump for its events, and its screen copy.
#pragma once

#include <cstdint>
#include <string>

#include "lang/Ref.h"
#include "window/Frame.h"

namespace testsupport {

class HeadlessWindow {
public:
    // Opens the display on the calling thread (which becomes the window thread) and creates a visible
    // 800 by 600 frame. Throws std::runtime_error with the platform's reason when that fails.
    HeadlessWindow();
    ~HeadlessWindow();
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    window::Frame* frame() const { return frame_.get(); }
    // Runs the window thread's pending messages; returns how many were handled.
    int pump();

private:
    lang::Ref<window::Frame> frame_;
};

}  // namespace testsupport
