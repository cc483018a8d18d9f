// sprite::LoaderMedia: the process-wide set of media functions the definition loader uses.
#include "sprite/LoaderMedia.h"

#include <mutex>
#include <utility>

namespace sprite {

namespace {

std::mutex& mediaGuard() {
    static auto* guard = new std::mutex;
    return *guard;
}

LoaderMedia& currentMedia() {
    static auto* media = new LoaderMedia;
    return *media;
}

}  // namespace

LoaderMedia setLoaderMedia(LoaderMedia media) {
    std::lock_guard<std::mutex> guard(mediaGuard());
    return std::exchange(currentMedia(), std::move(media));
}

LoaderMedia loaderMedia() {
    std::lock_guard<std::mutex> guard(mediaGuard());
    return currentMedia();
}

}  // namespace sprite
