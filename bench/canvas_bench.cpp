// The game canvas's frame on a busy board (backdrop, 130 tiles, 130 translucent pieces, console, 20 text
// and number sprites), painted to the window's screen on the dummy video driver. The canvas runs in
// stepping mode: the very tick and paint code of the render thread, driven one frame at a time.
// Goals: a full redraw <= 1 ms, a typical frame (three pieces swapping, a score counting) <= 0.25 ms, an
// idle frame <= 0.02 ms; the real render thread at rest costs at most 2% of one core.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "lang/Ref.h"
#include "sprite/AnimateSprite.h"
#include "sprite/GameCanvas2.h"
#include "sprite/NewFontSprite.h"
#include "sprite/NumberSprite.h"
#include "window/Component.h"
#include "window/Frame.h"

namespace {

using lang::Ref;

Ref<window::Image> picture(int w, int h, bool alpha, uint32_t seed) {
    auto image = lang::make<window::Image>(w, h);
    uint32_t* p = image->getPixels();
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int dx = x % 48 - 24, dy = y % 48 - 24;
            const uint32_t a = !alpha ? 255u : dx * dx + dy * dy < 20 * 20 ? 255u : dx * dx + dy * dy < 24 * 24 ? 128u : 0u;
            p[y * w + x] = (a << 24) | ((seed * 2654435761u + static_cast<uint32_t>(x * 7 + y * 3)) & 0xFFFFFFu);
        }
    }
    image->setHasAlpha(alpha);
    return image;
}

struct Board {
    Board() {
        frame = lang::make<window::Frame>();
        if (!frame->create(nullptr, util::RectangleNM(0, 0, 800, 600))) {
            std::fprintf(stderr, "bench_canvas: the window could not be created\n");
            std::exit(1);
        }
        frame->setVisible(true);
        canvas = lang::make<sprite::GameCanvas2>();
        canvas->setStepping(true);
        canvas->create(frame.get(), util::RectangleNM(0, 0, 800, 600));
        canvas->setVisible(true);
        window::processPendingEvents();

        auto backdrop = lang::make<sprite::Sprite>();
        backdrop->setImage(picture(800, 600, false, 1).get());
        canvas->addSprite("backdrop", backdrop.get(), -1);
        auto tileImage = picture(48, 48, false, 2);
        auto sheet = picture(8 * 48, 48, true, 3);
        for (int i = 0; i < 130; ++i) {
            auto tile = lang::make<sprite::Sprite>();
            tile->setImage(tileImage.get());
            tile->setLocation(88 + (i % 13) * 48, 20 + (i / 13) * 48);
            canvas->addSprite(nullptr, tile.get(), -1);
        }
        for (int i = 0; i < 130; ++i) {
            auto piece = lang::make<sprite::AnimateSprite>();
            piece->setImageGrid(sheet.get(), 8, 1);
            piece->setFrame(i % 8);
            piece->setLocation(88 + (i % 13) * 48, 20 + (i / 13) * 48);
            canvas->addSprite(nullptr, piece.get(), -1);
            pieces.push_back(piece);
        }
        auto console = lang::make<sprite::Sprite>();
        console->setImage(picture(800, 90, true, 4).get());
        console->setLocation(0, 510);
        canvas->addSprite("console", console.get(), -1);

        auto font = lang::make<window::Image>(224 * 12, 18);
        for (int i = 0; i < 224 * 12 * 18; ++i)
            font->getPixels()[i] = (i % 3 == 0 ? 0xFF000000u : 0x80000000u) | 0xFFFFFFu;
        font->setHasAlpha(true);
        auto metrics = lang::make<window::Image>(6, 224);
        for (int r = 0; r < 224; ++r) {
            const int32_t words[6] = {12 * r, 0, 12, 18, 0, 11};
            for (int w = 0; w < 6; ++w)
                metrics->getPixels()[r * 6 + w] = static_cast<uint32_t>(words[w]);
        }
        auto strip = lang::make<window::Image>(15 * 20, 26);
        for (int i = 0; i < 15 * 20 * 26; ++i)
            strip->getPixels()[i] = i % 2 ? 0xFFFFFFFFu : 0x40FFFFFFu;
        strip->setHasAlpha(true);
        for (int i = 0; i < 10; ++i) {
            auto text = lang::make<sprite::NewFontSprite>();
            text->setImage(font.get());
            text->setFont(metrics.get());
            text->setText("Level 12");
            text->setLocation(20 + (i % 5) * 150, 530 + (i / 5) * 30);
            canvas->addSprite(nullptr, text.get(), -1);
            auto number = lang::make<sprite::NumberSprite>();
            number->setImage(strip.get());
            number->setLocation(100 + (i % 5) * 150, 530 + (i / 5) * 30);
            number->setValue(1000 * i);
            canvas->addSprite(nullptr, number.get(), -1);
            numbers.push_back(number);
        }
        canvas->setClock(clock.get());
        canvas->start();
        step();
        step();
    }
    ~Board() {
        canvas->destroy();
        canvas->destroyWindow();
        frame->destroyWindow();
        window::processPendingEvents();
    }
    // One frame on time, and the window thread's present of what it painted.
    void step() {
        clock->advance(40);
        canvas->stepFrame();
        window::processPendingEvents();
    }

    Ref<window::Frame> frame;
    Ref<sprite::GameCanvas2> canvas;
    Ref<sprite::ManualFrameClock> clock = lang::make<sprite::ManualFrameClock>(0);
    std::vector<Ref<sprite::AnimateSprite>> pieces;
    std::vector<Ref<sprite::NumberSprite>> numbers;
};

void BM_FullRedrawBusyBoard(benchmark::State& state) {
    Board board;
    for (auto _ : state) {
        board.canvas->invalidate(nullptr);
        board.step();
    }
}
BENCHMARK(BM_FullRedrawBusyBoard)->Unit(benchmark::kMicrosecond);

void BM_DirtyFrameTypical(benchmark::State& state) {
    Board board;
    int n = 0;
    for (auto _ : state) {
        // Three neighbouring pairs drift towards each other and back, as swaps do, and a score counts.
        const int offset = (n % 12) < 6 ? n % 6 : 6 - n % 6;
        for (int pair = 0; pair < 3; ++pair) {
            const int i = 14 + pair * 30;
            board.pieces[i]->setLocation(88 + (i % 13) * 48 + offset * 8, 20 + (i / 13) * 48);
            board.pieces[i + 1]->setLocation(88 + ((i + 1) % 13) * 48 - offset * 8, 20 + ((i + 1) / 13) * 48);
        }
        board.numbers[0]->setValue(12000 + n);
        ++n;
        board.step();
    }
}
BENCHMARK(BM_DirtyFrameTypical)->Unit(benchmark::kMicrosecond);

void BM_IdleFrame(benchmark::State& state) {
    Board board;
    for (auto _ : state)
        board.step();
}
BENCHMARK(BM_IdleFrame)->Unit(benchmark::kMicrosecond);

double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The real render and input threads on the busy board with nothing moving: the process's CPU use over
// ten seconds, as a percentage of one core.
void BM_RenderThreadAtRest(benchmark::State& state) {
    for (auto _ : state) {
        auto frame = lang::make<window::Frame>();
        frame->create(nullptr, util::RectangleNM(0, 0, 800, 600));
        frame->setVisible(true);
        auto canvas = lang::make<sprite::GameCanvas2>();
        canvas->create(frame.get(), util::RectangleNM(0, 0, 800, 600));
        canvas->setVisible(true);
        window::processPendingEvents();
        auto backdrop = lang::make<sprite::Sprite>();
        backdrop->setImage(picture(800, 600, false, 1).get());
        canvas->addSprite("backdrop", backdrop.get(), -1);
        auto sheet = picture(8 * 48, 48, true, 3);
        for (int i = 0; i < 260; ++i) {
            auto piece = lang::make<sprite::AnimateSprite>();
            piece->setImageGrid(sheet.get(), 8, 1);
            piece->setLocation(88 + (i % 13) * 48, 20 + (i / 26) * 48);
            canvas->addSprite(nullptr, piece.get(), -1);
        }
        canvas->start();
        const auto settle = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
        while (std::chrono::steady_clock::now() < settle) {
            window::processPendingEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        const double cpuBefore = processCpuSeconds();
        const int framesBefore = canvas->frameCounter();
        const auto start = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(10));
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double cpu = processCpuSeconds() - cpuBefore;
        state.counters["cpu_percent"] = 100.0 * cpu / wall;
        state.counters["frames_per_s"] = (canvas->frameCounter() - framesBefore) / wall;
        canvas->stop();
        canvas->destroy();
        canvas->destroyWindow();
        frame->destroyWindow();
        window::processPendingEvents();
    }
}
BENCHMARK(BM_RenderThreadAtRest)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    std::string reason;
    if (!window::openDisplay(&reason)) {
        std::fprintf(stderr, "bench_canvas: %s\n", reason.c_str());
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    window::closeDisplay();
    return 0;
}
