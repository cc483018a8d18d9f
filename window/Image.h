// window::Image: a 32-bit picture, decoded lazily from the data archive or a file, or made for drawing.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>

#include "lang/String.h"

namespace window {

class Graphics;

// Pixels are 0xAARRGGBB words, rows top to bottom, row stride = width pixels (width x 4 bytes). Alpha 0
// is transparent, 255 opaque.
//
// A named image loads on first use: "+entry" names an entry of the data archive (never a disk file),
// any other name is a file path. "name|mask" loads name and takes every pixel's alpha from the image
// mask (tiled when smaller). Decoding: GIF (our own decoder: first frame only), PNG and JPEG.
// Undecodable or missing sources leave the image without pixels and set loadFailed(); nothing is
// thrown. The largest image accepted holds kMaxPixels pixels.
class Image : public lang::Object {
public:
    // Kinds at construction. Every kind starts with its pixels cleared to 0 (fully transparent), so that
    // no picture ever shows what its memory held before.
    static constexpr int kUncleared = 0;  // plain pixels
    static constexpr int kCleared = 1;    // pixels cleared to 0
    static constexpr int kOffscreen = 2;  // the canvas's off-screen picture
    static constexpr int kMaxDimension = 16384;
    static constexpr int64_t kMaxPixels = int64_t{1} << 24;

    // An image of its own pixels. `platform` marks a picture that the window copies to the screen
    // directly (the canvas's off-screen image); it is kept for that purpose and changes nothing
    // else. Sizes below 1 give an image without pixels.
    Image(int width, int height, int kind = kCleared, bool platform = false);
    // A named image, loaded on first use.
    explicit Image(const char* name);
    explicit Image(const lang::String& name);
    ~Image() override;
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    LANG_CLASS_NAME(Image, Object)

    // A new drawing context on this image (one reference for the caller); loads the image first.
    virtual Graphics* getGraphics();
    // The row length in bytes.
    virtual int getStride();
    // The pixels, loading them first when the image has a name and none; null when there are none.
    virtual uint32_t* getPixels();
    virtual const lang::String& getName() const { return name_; }
    // A new image (one reference for the caller) with a copy of the pixels, the name and the flags.
    virtual Image* copy();

    // The size; an image that has a name and has never been loaded is loaded first.
    int getWidth();
    int getHeight();

    // Frees the pixels (and clears hasAlpha) but keeps the name and the size, so the image can load
    // again on the next getPixels().
    void unload();
    bool isLoaded() const { return pixels_.load(std::memory_order_acquire) != nullptr; }
    // Loads the pixels now when the image has a name and none (even after a failure). Returns
    // isLoaded().
    bool reload();
    bool loadFailed() const { return loadFailed_; }

    // Some pixel may be transparent: the image is blended rather than copied.
    bool hasAlpha() const { return hasAlpha_; }
    void setHasAlpha(bool on) { hasAlpha_ = on; }
    // The GIF carried a "NETSCAPE2.0" looping mark.
    bool isLooping() const { return looping_; }
    bool isPlatform() const { return platform_; }

    // Appends "|" and the mask's name to this image's name and takes the alpha of every pixel from the
    // mask, tiled over the image when the mask is smaller: the mask's alpha when it has alpha, else its
    // grey level (the blue byte), so that an opaque grey picture works as a mask. Loads both first;
    // nothing happens when either has no pixels.
    void applyMask(Image* mask);

    // Decodes GIF, PNG or JPEG bytes into this image's pixels, size and hasAlpha, replacing what it
    // held. Fewer than 7 bytes decode nothing. Sets loadFailed when no pixels result. Returns
    // isLoaded(). `where` names the source in the error kept by lastError().
    bool decode(const uint8_t* bytes, int length, const char* where = nullptr);

    // Why the last load or decode gave no pixels ("" after a success): names the source and what was
    // wrong with it.
    const lang::String& lastError() const { return lastError_; }

private:
    void loadFromName();
    // Loads a named image that has never been tried, so that its size is known.
    void ensureSize();
    void takeMaskAlpha(Image& mask);
    void noPixels(std::string_view why);
    // Tells the player (once) that this named picture is missing or damaged.
    void reportProblem(std::string_view why) const;
    void setPixels(uint32_t* pixels, int width, int height);

    // Set once a load completes; the load itself runs under the image's monitor, so two threads asking
    // for the pixels of one unloaded image decode it once.
    std::atomic<uint32_t*> pixels_{nullptr};
    int32_t height_ = 0;
    int32_t width_ = 0;
    bool hasAlpha_ = false;
    bool loadFailed_ = false;
    bool looping_ = false;
    bool platform_ = false;
    bool tried_ = false;  // a load from the name has run at least once
    lang::String name_;
    lang::String lastError_;
};

// Process-wide values shared with the definition-script loader. While containerFillDepth is above 0
// (the children of a hidden container are being loaded) and diskImageFlag is clear (the image does not
// come from a disk file), a load that gives no pixels leaves the image untried instead of failed, so
// that it is tried again when it is first drawn.
extern std::atomic<int> containerFillDepth;
extern std::atomic<bool> diskImageFlag;

}  // namespace window
