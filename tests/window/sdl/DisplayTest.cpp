// Runs against real display situations: no display at all (the program says so and fails), and a real
// X server (Xvfb), where a window is opened in a child process of this test.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <thread>

#include "SdlTestSupport.h"
#include "lang/Clock.h"
#include "tests/support/TempFolder.h"
#include "window/Graphics.h"
#include "window/Image.h"

extern char** environ;

namespace window::testing {
namespace {

// Runs a program with the given environment; its standard output and error land in the two strings.
int runProgram(const std::vector<std::string>& args, const std::vector<std::string>& env, std::string* out,
               std::string* err) {
    testsupport::TempFolder folder;
    int outFd = ::open(folder.file("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int errFd = ::open(folder.file("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& e : env)
        envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    pid_t pid = 0;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned == 0)
        waitpid(pid, &status, 0);
    close(outFd);
    close(errFd);
    *out = folder.read("out");
    *err = folder.read("err");
    if (spawned != 0)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The environment of this process without the display variables, plus the given ones.
std::vector<std::string> environmentWith(const std::vector<std::string>& extra) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        std::string entry(*e);
        if (entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("WAYLAND_DISPLAY=", 0) == 0 ||
            entry.rfind("SDL_VIDEODRIVER=", 0) == 0 || entry.rfind("ASAN_OPTIONS=", 0) == 0) {
            continue;
        }
        env.push_back(entry);
    }
    env.insert(env.end(), extra.begin(), extra.end());
    return env;
}

TEST(NoDisplay, TheProgramSaysSoInOneLineAndFails) {
#ifndef LUMAROO_WINDOWDEMO
    GTEST_SKIP() << "windowdemo is not built";
#else
    std::string out;
    std::string err;
    // No display server named, no headless driver asked for; XDG_RUNTIME_DIR keeps the Wayland probe quiet.
    int code = runProgram({LUMAROO_WINDOWDEMO}, environmentWith({"XDG_RUNTIME_DIR=/tmp"}), &out, &err);
    EXPECT_NE(code, 0);
    EXPECT_LT(code, 128) << "it must end, not crash";
    int lines = 0;
    std::istringstream stream(err);
    for (std::string line; std::getline(stream, line);) {
        if (line.rfind("windowdemo: ", 0) == 0) {
            ++lines;
            EXPECT_NE(line.find("no display"), std::string::npos) << line;
        }
    }
    EXPECT_EQ(lines, 1) << err;
    EXPECT_EQ(out, "");
#endif
}

// Starts Xvfb on a free display; answers its number, or -1 when it cannot run here.
int startXvfb(pid_t* pid) {
    if (access("/usr/bin/Xvfb", X_OK) != 0)
        return -1;
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    std::string fd = std::to_string(fds[1]);
    std::vector<std::string> args = {"/usr/bin/Xvfb", "-displayfd", fd,   "-screen", "0",
                                     "1024x768x24",   "-nolisten",  "tcp"};
    std::vector<char*> argv;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    int spawned = posix_spawn(pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (spawned != 0) {
        close(fds[0]);
        return -1;
    }
    std::string number;
    pollfd wait{fds[0], POLLIN, 0};
    char c;
    while (poll(&wait, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(fds[0]);
    if (number.empty()) {
        kill(*pid, SIGTERM);
        waitpid(*pid, nullptr, 0);
        return -1;
    }
    return std::atoi(number.c_str());
}

TEST(RealDisplay, AWindowOpensAndWorksUnderXvfb) {
    pid_t server = 0;
    int display = startXvfb(&server);
    if (display < 0)
        GTEST_SKIP() << "no X server can be started here";
    std::string out;
    std::string err;
    int code =
        runProgram({"/proc/self/exe", "--gtest_filter=SdlWindowTest.XvfbChildRealWindow:PicturesTest.*"},
                   environmentWith({"DISPLAY=:" + std::to_string(display), "SDL_VIDEODRIVER=x11",
                                    "LUMAROO_XVFB_CHILD=1", "ASAN_OPTIONS=detect_leaks=0"}),
                   &out, &err);
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    EXPECT_EQ(code, 0) << out << err;
    EXPECT_NE(out.find("[  PASSED  ] 2 tests"), std::string::npos) << out;
}

// Runs only inside the child process that RealDisplay starts, on the X server it started.
TEST_F(SdlWindowTest, XvfbChildRealWindow) {
    if (std::getenv("LUMAROO_XVFB_CHILD") == nullptr)
        GTEST_SKIP() << "runs inside RealDisplay only";
    ASSERT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
    // Xvfb has no GPU: its OpenGL, where it has one, is Mesa's software rasteriser, which would redraw
    // the whole picture on the CPU every frame. SDL's software renderer presents only what changed.
    SDL_RendererInfo info;
    ASSERT_EQ(SDL_GetRendererInfo(sdl::Access::renderer(frame.get()), &info), 0);
    EXPECT_NE(info.flags & SDL_RENDERER_SOFTWARE, 0u) << info.name;
    // A drawn picture reaches the real window.
    lang::Ref<Image> picture = lang::make<Image>(800, 600, Image::kCleared);
    for (int i = 0; i < 800 * 600; ++i)
        picture->getPixels()[i] = 0xFF000000u | static_cast<uint32_t>(i * 2654435761u >> 8);
    lang::Ref<Graphics> g = lang::adopt(canvas->getGraphics());
    g->drawImage(picture.get(), 0, 0);
    processPendingEvents();
    std::vector<uint32_t> shown = readScreen();
    EXPECT_EQ(shown[123 * 800 + 456], picture->getPixels()[123 * 800 + 456]);

    // Moving the pointer makes the X server send a real motion event, in game pixels.
    // (The server may first report where the pointer already was.)
    canvas->setMousePosition(100, 120);
    auto arrived = [&] {
        for (const Seen& s : canvas->seen) {
            if (s.id == Event::kMouseMove && s.x == 100 && s.y == 120)
                return true;
        }
        return false;
    };
    uint32_t start = lang::tickCount();
    while (!arrived() && lang::tickCount() - start < 3000) {
        processPendingEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(arrived());

    frame->setFullScreen(true, false);
    EXPECT_TRUE(frame->isFullScreen());
    frame->setFullScreen(false, false);
    EXPECT_FALSE(frame->isFullScreen());
    processPendingEvents();
}

}  // namespace
}  // namespace window::testing
