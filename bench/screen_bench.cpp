// The screen copy: what one frame's paint costs on the window thread, from the copy of the off-screen
// picture through the texture upload to the present. Runs headless on the dummy driver unless
// SDL_VIDEODRIVER names another (with offscreen the software renderer is chosen automatically).
// Goals: a typical dirty area (four 50x50 rectangles) under 0.05 ms, a full frame under 0.2 ms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "lang/Ref.h"
#include "util/Region.h"
#include "window/Component.h"
#include "window/Frame.h"
#include "window/Graphics.h"
#include "window/Image.h"

namespace {

struct Window {
    lang::Ref<window::Frame> frame;
    lang::Ref<window::Graphics> screen;
    lang::Ref<window::Image> offscreen;
};

Window& theWindow() {
    static Window* w = [] {
        auto* made = new Window;
        made->frame = lang::make<window::Frame>();
        if (!made->frame->create(nullptr, util::RectangleNM(0, 0, 800, 600))) {
            std::fprintf(stderr, "bench_screen: the window could not be created\n");
            std::exit(1);
        }
        made->frame->setVisible(true);
        made->screen = lang::adopt(made->frame->getGraphics());
        made->offscreen = lang::make<window::Image>(800, 600, window::Image::kOffscreen, true);
        uint32_t* pixels = made->offscreen->getPixels();
        for (int i = 0; i < 800 * 600; ++i)
            pixels[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
        window::processPendingEvents();
        return made;
    }();
    return *w;
}

// One paint: a context made from the window's, clipped to the dirty region, the copy, and the window
// thread's upload and present.
void copyRegion(benchmark::State& state, const util::Region& dirty) {
    Window& w = theWindow();
    for (auto _ : state) {
        lang::Ref<window::Graphics> g = lang::adopt(w.screen->create());
        g->setClip(&dirty);
        g->drawImage(w.offscreen.get(), 0, 0);
        g->dispose();
        window::processPendingEvents();
    }
    int64_t pixels = 0;
    for (const auto& box : dirty.boxes())
        pixels += int64_t{box.x2 - box.x1} * (box.y2 - box.y1);
    state.SetBytesProcessed(state.iterations() * pixels * 4);
}

void BM_ScreenCopyDirtyArea(benchmark::State& state) {
    util::Region dirty;
    dirty.add(100, 100, 50, 50);
    dirty.add(400, 120, 50, 50);
    dirty.add(220, 380, 50, 50);
    dirty.add(600, 500, 50, 50);
    copyRegion(state, dirty);
}
BENCHMARK(BM_ScreenCopyDirtyArea)->Unit(benchmark::kMicrosecond);

void BM_ScreenCopyFullFrame(benchmark::State& state) {
    util::Region dirty;
    dirty.add(0, 0, 800, 600);
    copyRegion(state, dirty);
}
BENCHMARK(BM_ScreenCopyFullFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    std::string reason;
    if (!window::openDisplay(&reason)) {
        std::fprintf(stderr, "bench_screen: %s\n", reason.c_str());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    window::closeDisplay();
    return 0;
}
