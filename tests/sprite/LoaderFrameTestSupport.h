// Shared by the loading-frame tests: solid pictures as GIF bytes, a canvas whose loading the test
// steers, and a recorder of message boxes.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "lang/Exception.h"
#include "sprite/GameCanvas2.h"
#include "window/Frame.h"
#include "window/MessageBox.h"

namespace loaderframetest {

// A width x height GIF of one opaque colour. Every pixel is sent as a clear code and one 3-bit code, so
// the code table never grows: valid, if not small.
inline std::string solidGif(int width, int height, uint8_t red, uint8_t green, uint8_t blue) {
    std::string out = "GIF89a";
    auto word = [&out](int v) {
        out.push_back(static_cast<char>(v & 0xFF));
        out.push_back(static_cast<char>((v >> 8) & 0xFF));
    };
    word(width);
    word(height);
    out.push_back(static_cast<char>(0x80));  // a global table of two colours
    out.push_back(0);
    out.push_back(0);
    for (uint8_t c : {red, green, blue, uint8_t{0}, uint8_t{0}, uint8_t{0}})
        out.push_back(static_cast<char>(c));
    out.push_back(',');
    word(0);
    word(0);
    word(width);
    word(height);
    out.push_back(0);
    out.push_back(2);  // minimum code size: clear 4, end 5, codes of 3 bits
    std::string data;
    uint32_t bits = 0;
    int count = 0;
    auto put = [&](uint32_t code) {
        bits |= code << count;
        count += 3;
        while (count >= 8) {
            data.push_back(static_cast<char>(bits & 0xFF));
            bits >>= 8;
            count -= 8;
        }
    };
    for (int i = 0; i < width * height; ++i) {
        put(4);
        put(0);
    }
    put(5);
    if (count > 0)
        data.push_back(static_cast<char>(bits & 0xFF));
    for (size_t at = 0; at < data.size(); at += 255) {
        const size_t n = std::min<size_t>(255, data.size() - at);
        out.push_back(static_cast<char>(n));
        out.append(data, at, n);
    }
    out.push_back(0);
    out.push_back(';');
    return out;
}

// Loading steered by the test: it may report counts, wait for a go, fail or throw.
class SteeredCanvas : public sprite::GameCanvas2 {
public:
    enum class Outcome { Load, Fail, Throw };

    bool prepareScene() override {
        ++prepares;
        return true;
    }
    bool loadScene() override {
        loadTotal_ = total;
        loadedCount_ = loaded;
        {
            std::unique_lock<std::mutex> guard(lock_);
            inLoad_ = true;
            changed_.notify_all();
            changed_.wait(guard, [this] { return go_; });
        }
        if (outcome == Outcome::Fail)
            return false;
        if (outcome == Outcome::Throw)
            throw new lang::Exception("definition 12: unknown class");
        sceneLoaded_ = true;
        return true;
    }
    void exitGame() override {
        ++exitRequests;
        GameCanvas2::exitGame();
    }
    void onDeactivate() override { ++deactivations; }
    // Records each command with whether the parent frame was in full screen when it arrived.
    void handleAction(lang::Object* source, const lang::String& command) override {
        window::Component* parent = getParent();
        const bool full = parent != nullptr && parent->instanceOf("Frame") &&
                          static_cast<window::Frame*>(parent)->isFullScreen();
        commands.emplace_back(std::string(command.view()), full);
        GameCanvas2::handleAction(source, command);
    }

    // The counts the loading screen's bar follows, as the definition loader sets them.
    void setLoadCounts(int total, int loaded) {
        loadTotal_ = total;
        loadedCount_ = loaded;
    }
    // Blocks until loadScene has begun.
    void waitUntilLoading() {
        std::unique_lock<std::mutex> guard(lock_);
        changed_.wait(guard, [this] { return inLoad_; });
    }
    void letLoadingEnd() {
        std::lock_guard<std::mutex> guard(lock_);
        go_ = true;
        changed_.notify_all();
    }

    Outcome outcome = Outcome::Load;
    int total = 0;
    int loaded = 0;
    std::atomic<int> prepares{0};
    std::atomic<int> exitRequests{0};
    std::atomic<int> deactivations{0};
    std::vector<std::pair<std::string, bool>> commands;  // input thread (or the stepping test)

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool inLoad_ = false;
    bool go_ = true;

public:
    // Makes loadScene wait for letLoadingEnd.
    void holdLoading() {
        std::lock_guard<std::mutex> guard(lock_);
        go_ = false;
    }
};

// Records message boxes while it lives.
class BoxRecorder {
public:
    BoxRecorder() {
        window::setMessageBoxHook([this](std::string_view title, std::string_view text) {
            std::lock_guard<std::mutex> guard(lock_);
            boxes_.emplace_back(std::string(title), std::string(text));
        });
    }
    ~BoxRecorder() { window::setMessageBoxHook({}); }
    std::vector<std::pair<std::string, std::string>> boxes() {
        std::lock_guard<std::mutex> guard(lock_);
        return boxes_;
    }

private:
    std::mutex lock_;
    std::vector<std::pair<std::string, std::string>> boxes_;
};

}  // namespace loaderframetest
