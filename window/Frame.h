// window::Frame: the program's top-level window: title, icon, full screen, activation and closing.
#pragma once

#include <atomic>
#include <cstdint>

#include "lang/String.h"
#include "window/Component.h"

namespace window {

class Image;

class Frame : public Component {
public:
    Frame();
    ~Frame() override;

    LANG_CLASS_NAME(Frame, Component)

    // Creates the window at the bounds' size (the client size in game pixels; the position is ignored,
    // the window is centred), hidden until setVisible(true), with the icon from the archive when present.
    bool create(Component* parent, const util::RectangleNM& bounds) override;
    // The frame's client size in game pixels: the picture the window shows scales to the window.
    void setSize(int width, int height) override;
    int64_t windowProc(int32_t message, int64_t wParam, int64_t lParam) override;
    // Showing the window fits it into the work area once the desktop's frame around it is known, unless
    // it fits where it is already.
    void setVisible(bool visible) override;

    // Switches between the window and full screen (the desktop's mode, with the picture scaled and its
    // aspect kept). Nothing happens when already in the requested state, unless `force` is set while
    // windowed, which places the window again. If the platform refuses, a message box says so and the
    // frame stays windowed. From another thread the switch is posted to the window thread and done
    // there later: until then isFullScreen() still tells the old state and fullScreenSwitchPending()
    // is true; onFullScreenSwitched tells when it has been done.
    virtual void setFullScreen(bool on, bool force);
    // Whether the frame is in full screen now (any thread).
    bool isFullScreen() const { return fullScreen_.load(std::memory_order_acquire); }
    // Any thread: a switch asked for from another thread has not been handled yet. Once it is false,
    // isFullScreen() tells what the switches asked for so far have done.
    bool fullScreenSwitchPending() const { return pendingSwitches_.load(std::memory_order_acquire) > 0; }
    // Closes the frame: the window is destroyed on the window thread (onDestroy runs there).
    virtual void exit();
    // Posts the private destroy message to the window thread.
    void close();
    // Any thread: hands the window thread a close request for this frame, the very message its close
    // box sends (onCloseRequest runs there). False when the window thread cannot take it (no window).
    bool postCloseRequest();

    // A close request (the window's close box, or the program asked to stop): Frame closes itself.
    virtual void onCloseRequest();
    // The window is being destroyed (window thread).
    virtual void onDestroy() {}
    // Activation changed: called when the frame becomes active, and when it loses activation to another
    // program's window.
    virtual void onActivate(bool active);
    // Window thread: a setFullScreen call has been handled (whether it changed anything or the platform
    // refused), and the frame is now in full screen when `on` is true. Frame does nothing.
    virtual void onFullScreenSwitched(bool on);

    // Minimises the window without activating another; the desktop restores it.
    void minimize();

    // Windows-1252 title.
    void setTitle(const lang::String& title);
    void setTitle(const char* title);
    // The window icon from a picture; false when the image has no pixels.
    bool setIconImage(Image* image);
    bool isMinimized() const { return minimized_.load(std::memory_order_acquire); }
    // Let maximising the window enter full screen instead.
    void setMaximizeToFullScreen(bool on) { maximizeToFullScreen_ = on; }
    // A window without caption; its bottom-right 20 by 20 pixels act as a sizing grip.
    void setNoCaption(bool on) { noCaption_ = on; }
    bool hasNoCaption() const { return noCaption_; }

    // The frame the desktop draws around a window's client area, in desktop pixels.
    struct Borders {
        int top = 0;
        int left = 0;
        int bottom = 0;
        int right = 0;
    };
    // Where a window showing a picture of `width` by `height` game pixels goes in the desktop's work area
    // (the part that panels leave free), its borders included: at the picture's own size when that fits,
    // else as large as fits with the picture's aspect kept (the renderer scales the picture to it);
    // centred. Answers the client area in desktop coordinates, never smaller than 1 by 1.
    static util::RectangleNM windowedPlacement(int width, int height, const util::RectangleNM& workArea,
                                               const Borders& borders);

    // The desktop display mode's bits per pixel (32 for the usual 8-bit-per-channel desktops, whose
    // pixels take four bytes), or 0 without a display.
    static int displayDepth();

    // The archive entries of the window icon: the 32 by 32 picture, else the 16 by 16 one.
    static constexpr const char* kIconPicture = "icon32";
    static constexpr const char* kSmallIconPicture = "icon16";
    // The message shown when the platform refuses full screen, and its title.
    static constexpr const char* kFullScreenFailed = "Unable to switch to Fullscreen mode.";
    static constexpr const char* kErrorTitle = "Quillbeck Error";

protected:
    uint32_t creationFlags() const override;
    void onDestroyWindow() override { onDestroy(); }

private:
    friend class EventLoop;
    // Window thread: a switch posted by setFullScreen from another thread.
    void postedFullScreen(bool on, bool force);
    void applyFullScreen(bool on, bool force);
    // Sizes and places the window by windowedPlacement; with `keepFittingPlace`, a window that already
    // lies wholly inside the work area at that size stays where it is.
    void placeWindowed(bool keepFittingPlace = false);

    std::atomic<bool> fullScreen_{false};
    std::atomic<int> pendingSwitches_{0};  // switches posted to the window thread and not yet handled
    bool maximizeToFullScreen_ = false;
    bool noCaption_ = false;
    std::atomic<bool> minimized_{false};
    std::atomic<uint32_t> windowId_{0};  // the platform window's id, for close requests from any thread
    lang::String title_;
};

}  // namespace window
