// Where the game's data lies: the archive "Kolbax.bin" and the "boards" folder beside it.
#pragma once

#include <string>
#include <string_view>

// The archive's name, looked for by gameDataFolder.
inline constexpr const char* kArchiveName = "Kolbax.bin";

// The folder holding the archive, for a program in programFolder: that folder itself when the archive
// is there (a build tree, or the game unpacked into one folder), else the installed data folder at its
// place relative to the program (bin/ -> share/lumaroo/), so that an installed tree works wherever it is
// moved. Empty when neither holds the archive.
std::string gameDataFolder(std::string_view programFolder);
// The same for the running program (lang::programFolder).
std::string gameDataFolder();
