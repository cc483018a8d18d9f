// Tracker modules (.mod, .s3m, .xm and the other formats libxmp reads) rendered to 16-bit stereo.
#include <algorithm>
#include <cstring>

#include <xmp.h>

#include "sound/Decoder.h"

namespace sound {

namespace {

class ModuleDecoder : public Decoder {
public:
    explicit ModuleDecoder(std::string name) : name_(std::move(name)) {}
    ~ModuleDecoder() override {
        if (context_ == nullptr)
            return;
        if (playing_)
            xmp_end_player(context_);
        if (loaded_)
            xmp_release_module(context_);
        xmp_free_context(context_);
    }

    bool open(const uint8_t* data, size_t size, int outputRate, std::string& error) {
        context_ = xmp_create_context();
        if (context_ == nullptr) {
            error = name_ + ": cannot create a module player";
            return false;
        }
        // libxmp copies what it needs: the bytes need not outlive the load.
        if (size > static_cast<size_t>(0x7FFFFFFF) ||
            xmp_load_module_from_memory(context_, data, static_cast<long>(size)) != 0) {
            error = name_ + ": not a tracker module libxmp can read (expected MOD, S3M, XM, IT or similar)";
            return false;
        }
        loaded_ = true;
        rate_ = std::clamp(outputRate, XMP_MIN_SRATE, XMP_MAX_SRATE);
        channels_ = 2;
        return start(error);
    }

    long read(int16_t* out, long frames, bool loop) override {
        long done = 0;
        while (done < frames) {
            if (pending_ == pendingSize_) {
                if (ended_)
                    break;
                if (xmp_play_frame(context_) != 0) {
                    ended_ = true;
                    break;
                }
                xmp_frame_info info;
                xmp_get_frame_info(context_, &info);
                // The song has gone round once: a single play ends here; a looping one goes on at the
                // module's own restart position, without a gap.
                if (info.loop_count > 0 && !loop) {
                    ended_ = true;
                    break;
                }
                frame_ = static_cast<const int16_t*>(info.buffer);
                pendingSize_ = static_cast<long>(info.buffer_size / 4);
                pending_ = 0;
                continue;
            }
            long count = std::min(frames - done, pendingSize_ - pending_);
            std::memcpy(out + done * 2, frame_ + pending_ * 2, static_cast<size_t>(count) * 4);
            pending_ += count;
            done += count;
        }
        return done;
    }

    bool rewind() override {
        xmp_end_player(context_);
        playing_ = false;
        std::string error;
        return start(error);
    }

private:
    bool start(std::string& error) {
        if (xmp_start_player(context_, rate_, 0) != 0) {
            error = name_ + ": the module player does not start at " + std::to_string(rate_) + " Hz";
            return false;
        }
        playing_ = true;
        ended_ = false;
        pending_ = pendingSize_ = 0;
        return true;
    }

    xmp_context context_ = nullptr;
    bool loaded_ = false;
    bool playing_ = false;
    bool ended_ = false;
    const int16_t* frame_ = nullptr;
    long pending_ = 0;
    long pendingSize_ = 0;
    std::string name_;
};

}  // namespace

std::unique_ptr<Decoder> openModuleDecoder(const uint8_t* data, size_t size, int outputRate,
                                           const std::string& name, std::string& error) {
    auto decoder = std::make_unique<ModuleDecoder>(name);
    if (!decoder->open(data, size, outputRate, error))
        return nullptr;
    return decoder;
}

}  // namespace sound
