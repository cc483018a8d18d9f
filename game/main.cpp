// The entry point: finds the game's data, makes the game canvas and runs the main frame until it closes.
#include <stdexcept>
#include <string>

#include "game/DataFolder.h"
#include "game/KolbaxCanvas.h"
#include "game/MyFrame.h"
#include "game/ReportSender.h"
#include "window/Component.h"

int main() {
    // Reports leave from a thread of their own; at the end it gets a short while to finish.
    ReportSender reports;
    MyFrame::Program program;
    program.dataFolder = gameDataFolder();
    const std::string boards = program.dataFolder + "/boards";
    program.makeCanvas = [&reports, boards]() -> lang::Ref<sprite::GameCanvas2> {
        auto canvas = lang::make<KolbaxCanvas>();
        std::string error;
        if (!canvas->setBoardsFolder(boards, error))
            throw std::runtime_error(error);
        canvas->setReportSender(&reports);
        return canvas;
    };
    const int result = MyFrame::runProgram(program);
    reports.shutdown();
    window::closeDisplay();
    return result;
}
