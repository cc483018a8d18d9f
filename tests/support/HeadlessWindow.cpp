// A real window for tests, on the dummy video driver unless the environment names another.
#include "tests/support/HeadlessWindow.h"

#include <cstdlib>
#include <stdexcept>

#include "util/RectangleNM.h"
#include "window/Component.h"

namespace testsupport {

HeadlessWindow::HeadlessWindow() {
    ::setenv("SDL_VIDEODRIVER", "dummy", 0);
    std::string reason;
    if (!window::openDisplay(&reason))
        throw std::runtime_error("cannot open the display: " + reason);
    frame_ = lang::make<window::Frame>();
    if (!frame_->create(nullptr, util::RectangleNM(0, 0, 800, 600)))
        throw std::runtime_error("cannot create the test window");
    frame_->setVisible(true);
    pump();
}

HeadlessWindow::~HeadlessWindow() {
    if (frame_)
        frame_->destroyWindow();
    pump();
}

int HeadlessWindow::pump() {
    return window::processPendingEvents();
}

}  // namespace testsupport
