// Finding the game's data relative to the program's own folder.
#include "game/DataFolder.h"

#include <filesystem>
#include <system_error>

#include "lang/ProgramPath.h"

// The installed data folder seen from the installed program's folder; the build sets it from its
// install directories.
#ifndef LUMAROO_DATA_FROM_PROGRAM
#define LUMAROO_DATA_FROM_PROGRAM "../share/lumaroo"
#endif

std::string gameDataFolder(std::string_view programFolder) {
    if (programFolder.empty())
        return {};
    namespace fs = std::filesystem;
    fs::path program(programFolder);
    for (const fs::path& folder : {program, (program / LUMAROO_DATA_FROM_PROGRAM).lexically_normal()}) {
        std::error_code error;
        if (fs::is_regular_file(folder / kArchiveName, error)) {
            std::string text = folder.string();
            // lexically_normal keeps a trailing separator from a data path ending in "/".
            while (text.size() > 1 && text.back() == '/')
                text.pop_back();
            return text;
        }
    }
    return {};
}

std::string gameDataFolder() {
    return gameDataFolder(lang::programFolder());
}
