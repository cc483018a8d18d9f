// KolbaxCanvas: the music ids and their fades, and the ambient clips.
#include "game/KolbaxCanvas.h"

namespace {

constexpr int kInGame = 15;
constexpr int kAmbientLoop = 16;
constexpr int kBonus = 17;
constexpr int kMainMenu = 18;
constexpr int kMap = 19;

}  // namespace

void KolbaxCanvas::clipFade(int clip, int target, int frames) {
    if (window::AudioClip* c = clips_[static_cast<size_t>(clip)].get())
        fadeSoundVolume(c, target, frames, false);
}

void KolbaxCanvas::fadeAllClips(int frames) {
    for (int i = 0; i < kClipCount; ++i)
        clipFade(i, 0, frames);
}

void KolbaxCanvas::switchMusic(int fadeOut, int start) {
    lang::Synchronized guard(this, true);
    const int f = kMusicFadeFrames;
    switch (fadeOut) {
    case kMusicMap:
        clipFade(kMap, 0, f);
        clipFade(kAmbientLoop, 0, f);
        break;
    case kMusicMainMenu:
        clipFade(kMainMenu, 0, f);
        break;
    case kMusicInGame:
        clipFade(kInGame, 0, f);
        clipFade(kAmbientLoop, 0, f);
        break;
    case kMusicBonus:
        clipFade(kBonus, 0, f);
        clipFade(kAmbientLoop, 0, f);
        break;
    default:
        break;
    }
    if (fadeOut != kMusicNone && fadeOut == currentMusic_)
        currentMusic_ = kMusicNone;
    // Each start fades the other tracks out and brings its own up from silence.
    auto bringUp = [&](int clip) {
        if (window::AudioClip* c = clips_[static_cast<size_t>(clip)].get()) {
            c->setVolume(0);
            fadeSoundVolume(c, musicVolume_, f, false);
            loopSound(c);
        }
    };
    switch (start) {
    case kMusicInGame:
        for (int c : {kMap, kMainMenu, kBonus})
            clipFade(c, 0, f);
        bringUp(kInGame);
        bringUp(kAmbientLoop);
        break;
    case kMusicMainMenu:
        for (int c : {kMap, kAmbientLoop, kInGame, kBonus})
            clipFade(c, 0, f);
        bringUp(kMainMenu);
        break;
    case kMusicBonus:
        for (int c : {kMap, kMainMenu, kInGame, kAmbientLoop})
            clipFade(c, 0, f);
        bringUp(kBonus);
        break;
    case kMusicMap:
        for (int c : {kBonus, kMainMenu, kInGame})
            clipFade(c, 0, f);
        bringUp(kMap);
        bringUp(kAmbientLoop);
        break;
    default:
        return;
    }
    currentMusic_ = start;
}

void KolbaxCanvas::ambientSounds() {
    util::Random& random = gameRandom();
    if (frames_ % 48 != 0 || random.nextInt(5) <= 3)
        return;
    if (anyScreenShowing() || musicVolume_ == 0 || random.nextInt(20) != 0)
        return;
    if (window::AudioClip* c = clips_[static_cast<size_t>(random.nextInt(kAmbientClips - 1))].get())
        playSound(c);
}
