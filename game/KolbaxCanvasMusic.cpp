// KolbaxCanvas: the music ids and their fades, and the ambient clips.
#include "game/KolbaxCanvas.h"
#include "game/PlayerData.h"

namespace {

// The music clips' slots among the canvas's clips. Named apart from the canvas's own state constants
// (kMainMenu, kMap), which would otherwise hide them inside its member functions.
constexpr int kClipInGame = 15;
constexpr int kClipAmbientLoop = 16;
constexpr int kClipBonus = 17;
constexpr int kClipMainMenu = 18;
constexpr int kClipMap = 19;

}  // namespace

void KolbaxCanvas::clipFade(int clip, int target, int frames) {
    // A track faded to silence pauses at the end of its fade, so that nothing setting volumes later
    // brings it back under the music that plays now; starting it again resumes it.
    if (window::AudioClip* c = clips_[static_cast<size_t>(clip)].get())
        fadeSoundVolume(c, target, frames, target == 0);
}

void KolbaxCanvas::applyVolumes() {
    if (!playerData_)
        return;
    musicVolume_ = playerData_->musicVolume();
    setEffectsVolume(playerData_->effectsVolume());
    // The ambient clips play once each at the music's volume; the music tracks fade up to it when they
    // start, and one that plays now is set to it at once.
    for (int i = 0; i < kAmbientClips; ++i)
        if (window::AudioClip* c = clips_[static_cast<size_t>(i)].get())
            c->setVolume(musicVolume_);
    for (int clip : musicClips(currentMusic_))
        if (window::AudioClip* c = clips_[static_cast<size_t>(clip)].get())
            c->setVolume(musicVolume_);
}

std::vector<int> KolbaxCanvas::musicClips(int music) {
    switch (music) {
    case kMusicInGame:
        return {kClipInGame, kClipAmbientLoop};
    case kMusicMainMenu:
        return {kClipMainMenu};
    case kMusicBonus:
        return {kClipBonus};
    case kMusicMap:
        return {kClipMap, kClipAmbientLoop};
    default:
        return {};
    }
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
        clipFade(kClipMap, 0, f);
        clipFade(kClipAmbientLoop, 0, f);
        break;
    case kMusicMainMenu:
        clipFade(kClipMainMenu, 0, f);
        break;
    case kMusicInGame:
        clipFade(kClipInGame, 0, f);
        clipFade(kClipAmbientLoop, 0, f);
        break;
    case kMusicBonus:
        clipFade(kClipBonus, 0, f);
        clipFade(kClipAmbientLoop, 0, f);
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
        for (int c : {kClipMap, kClipMainMenu, kClipBonus})
            clipFade(c, 0, f);
        bringUp(kClipInGame);
        bringUp(kClipAmbientLoop);
        break;
    case kMusicMainMenu:
        for (int c : {kClipMap, kClipAmbientLoop, kClipInGame, kClipBonus})
            clipFade(c, 0, f);
        bringUp(kClipMainMenu);
        break;
    case kMusicBonus:
        for (int c : {kClipMap, kClipMainMenu, kClipInGame, kClipAmbientLoop})
            clipFade(c, 0, f);
        bringUp(kClipBonus);
        break;
    case kMusicMap:
        for (int c : {kClipBonus, kClipMainMenu, kClipInGame})
            clipFade(c, 0, f);
        bringUp(kClipMap);
        bringUp(kClipAmbientLoop);
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
