// window::Image: lazy loading from the archive or disk, decoding, masks, copies and unloading.
#include "window/Image.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "io/FileInputStream.h"
#include "lang/Exception.h"
#include "lang/Ref.h"
#include "lang/ResourceFile.h"
#include "util/DataProblems.h"
#include "window/GraphicsI.h"
#include "window/ImageDecoder.h"

namespace window {

std::atomic<int> containerFillDepth{0};
std::atomic<bool> diskImageFlag{false};

namespace {

// The largest file an image is read from; anything bigger is not a picture this game draws.
constexpr int kMaxFileBytes = 1 << 28;
constexpr int kFirstBufferBytes = 8192;

// Reads a whole file into `bytes`: the buffer starts at 8192 bytes and doubles whenever a read fills
// it. Returns false with `error` set when the file cannot be opened or is too large.
bool readFile(const char* path, std::unique_ptr<uint8_t[]>& bytes, int& length, std::string& error) {
    io::FileInputStream* stream = nullptr;
    try {
        stream = new io::FileInputStream(path);
    } catch (lang::Exception* e) {
        error = std::string(e->message().view());
        e->release();
        return false;
    }
    lang::Ref<io::FileInputStream> file = lang::adopt(stream);
    int capacity = kFirstBufferBytes;
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[static_cast<size_t>(capacity)]);
    length = 0;
    for (;;) {
        const int n = file->read(buffer.get(), length, capacity - length);
        if (n <= 0)
            break;
        length += n;
        if (length == capacity) {
            if (capacity >= kMaxFileBytes) {
                error = std::string("file too large: ") + path;
                return false;
            }
            std::unique_ptr<uint8_t[]> larger(new uint8_t[static_cast<size_t>(capacity) * 2]);
            std::memcpy(larger.get(), buffer.get(), static_cast<size_t>(length));
            buffer = std::move(larger);
            capacity *= 2;
        }
    }
    bytes = std::move(buffer);
    return true;
}

}  // namespace

Image::Image(int width, int height, int kind, bool platform) : platform_(platform) {
    (void)kind;  // every kind starts cleared: a picture never shows what its memory held before
    if (!ImageDecoder::sizeAccepted(width, height)) {
        if (width > 0 && height > 0)
            lastError_.assign("image size beyond the limit");
        return;
    }
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    auto* pixels = new uint32_t[count];
    std::memset(pixels, 0, count * sizeof(uint32_t));
    width_ = width;
    height_ = height;
    pixels_.store(pixels, std::memory_order_release);
}

Image::Image(const char* name) : name_(name) {}

Image::Image(const lang::String& name) : name_(name) {}

Image::~Image() {
    delete[] pixels_.load(std::memory_order_relaxed);
}

Graphics* Image::getGraphics() {
    return new GraphicsI(this);
}

int Image::getStride() {
    return getWidth() * 4;
}

uint32_t* Image::getPixels() {
    uint32_t* pixels = pixels_.load(std::memory_order_acquire);
    if (pixels != nullptr || name_.length() == 0)
        return pixels;
    lang::Synchronized guard(this, true);
    pixels = pixels_.load(std::memory_order_acquire);
    if (pixels == nullptr && !loadFailed_) {
        loadFromName();
        pixels = pixels_.load(std::memory_order_acquire);
    }
    return pixels;
}

int Image::getWidth() {
    ensureSize();
    return width_;
}

int Image::getHeight() {
    ensureSize();
    return height_;
}

void Image::ensureSize() {
    // Loaded pixels publish their size with them (release in setPixels, acquire here).
    if (isLoaded() || name_.length() == 0)
        return;
    lang::Synchronized guard(this, true);
    if (!isLoaded() && !tried_ && !loadFailed_)
        loadFromName();
}

Image* Image::copy() {
    lang::Synchronized guard(this, true);
    auto* image = new Image(name_);
    const uint32_t* pixels = pixels_.load(std::memory_order_acquire);
    if (pixels != nullptr) {
        const size_t count = static_cast<size_t>(width_) * static_cast<size_t>(height_);
        auto* copied = new uint32_t[count];
        std::memcpy(copied, pixels, count * sizeof(uint32_t));
        image->setPixels(copied, width_, height_);
    }
    image->hasAlpha_ = hasAlpha_;
    image->loadFailed_ = loadFailed_;
    image->looping_ = looping_;
    image->platform_ = platform_;
    image->tried_ = tried_;
    image->width_ = width_;
    image->height_ = height_;
    return image;
}

void Image::setPixels(uint32_t* pixels, int width, int height) {
    delete[] pixels_.exchange(nullptr, std::memory_order_acq_rel);
    width_ = width;
    height_ = height;
    pixels_.store(pixels, std::memory_order_release);
}

void Image::unload() {
    lang::Synchronized guard(this, true);
    delete[] pixels_.exchange(nullptr, std::memory_order_acq_rel);
    hasAlpha_ = false;
}

bool Image::reload() {
    lang::Synchronized guard(this, true);
    if (!isLoaded() && name_.length() > 0) {
        loadFailed_ = false;
        loadFromName();
    }
    return isLoaded();
}

void Image::noPixels(std::string_view why) {
    lastError_.assign(std::string(why).c_str());
    // While the children of a hidden container load from the archive, a failure does not stick: the
    // image stays untried and is tried again when first drawn.
    if (containerFillDepth.load() > 0 && !diskImageFlag.load()) {
        tried_ = false;
        return;
    }
    loadFailed_ = true;
    // A named picture the game asked for and cannot have: the player is told once.
    if (tried_ && name_.length() > 0)
        reportProblem(why);
}

void Image::reportProblem(std::string_view why) const {
    // "+entry|mask" is shown as "entry".
    util::reportDataProblem("picture", name_.view().substr(0, name_.view().find('|')), why);
}

void Image::loadFromName() {
    tried_ = true;
    const std::string_view name = name_.view();
    const size_t bar = name.find('|');
    const std::string source(name.substr(0, bar));
    const std::string maskName(bar == std::string_view::npos ? std::string_view() : name.substr(bar + 1));

    if (!source.empty() && source[0] == '+') {
        // An archive entry; never looked up on disk.
        lang::Ref<lang::ResourceItem> item = lang::adopt(lang::getResource(source.c_str() + 1, false));
        if (!item) {
            noPixels("archive entry \"" + source.substr(1) + "\" not found");
            return;
        }
        decode(item->getData(), item->getLength(), source.c_str());
    } else {
        std::unique_ptr<uint8_t[]> bytes;
        int length = 0;
        std::string error;
        if (!readFile(source.c_str(), bytes, length, error)) {
            noPixels(error);
            return;
        }
        decode(bytes.get(), length, source.c_str());
    }
    if (!isLoaded() || maskName.empty())
        return;

    lang::Ref<Image> mask = lang::make<Image>(maskName.c_str());
    if (mask->getPixels() == nullptr) {
        // The picture itself is good: keep it opaque rather than lose it.
        lastError_.assign(("mask " + maskName + ": " + std::string(mask->lastError().view())).c_str());
        return;
    }
    takeMaskAlpha(*mask);
}

bool Image::decode(const uint8_t* bytes, int length, const char* where) {
    const std::string origin = where != nullptr ? std::string(where) : std::string("image data");
    if (bytes == nullptr || length < 7) {
        noPixels(origin + ": " + std::to_string(length < 0 ? 0 : length) +
                 " bytes, too short for an image (at least 7 expected)");
        return false;
    }
    DecodedImage decoded;
    if (!ImageDecoder::decode(bytes, static_cast<size_t>(length), decoded)) {
        noPixels(origin + ": " + decoded.error);
        return false;
    }
    // A picture cut short keeps what decoded, and the player is told that it is damaged.
    if (!decoded.warning.empty() && tried_ && name_.length() > 0)
        reportProblem(decoded.warning);
    setPixels(decoded.pixels.release(), decoded.width, decoded.height);
    hasAlpha_ = decoded.hasAlpha;
    looping_ = decoded.looping;
    loadFailed_ = false;
    lastError_.assign("");
    return true;
}

void Image::takeMaskAlpha(Image& mask) {
    uint32_t* pixels = pixels_.load(std::memory_order_acquire);
    const uint32_t* maskPixels = mask.getPixels();
    if (pixels == nullptr || maskPixels == nullptr)
        return;
    const int maskWidth = mask.width_;
    const int maskHeight = mask.height_;
    const int shift = mask.hasAlpha() ? 24 : 0;
    for (int y = 0; y < height_; ++y) {
        const uint32_t* maskRow = maskPixels + static_cast<size_t>(y % maskHeight) * maskWidth;
        uint32_t* row = pixels + static_cast<size_t>(y) * width_;
        for (int x = 0; x < width_; ++x) {
            const uint32_t alpha = (maskRow[x % maskWidth] >> shift) & 0xFFu;
            row[x] = (row[x] & 0x00FFFFFFu) | (alpha << 24);
        }
    }
    hasAlpha_ = true;
}

void Image::applyMask(Image* mask) {
    if (mask == nullptr || mask == this)
        return;
    lang::Synchronized guard(this, true);
    if (getPixels() == nullptr || mask->getPixels() == nullptr)
        return;
    name_.append("|");
    name_.append(mask->getName());
    takeMaskAlpha(*mask);
}

}  // namespace window
