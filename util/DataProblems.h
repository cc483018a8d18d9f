// The game's own data found damaged or missing while it runs (a picture that does not decode, a sound
// or a sub-script missing from the archive): kept for the program to tell the player, each once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace util {

// Keeps `what` (it names the piece and says what is wrong with it) unless the same text was reported
// before. Any thread. At most kMaxDataProblems are kept until taken; later ones are counted only.
void reportDataProblem(const std::string& what);

// Reports "The <what> "<entry>": <detail>" for the piece named `name`: "+entry" names an archive entry,
// and a detail that begins with the name and ": " loses the repetition.
void reportDataProblem(std::string_view what, std::string_view name, std::string_view detail);

inline constexpr int kMaxDataProblems = 20;

// The problems reported since the last call, oldest first, and how many more were left off.
struct DataProblems {
    std::vector<std::string> problems;
    int leftOff = 0;
};
DataProblems takeDataProblems();

// Whether anything waits to be taken (cheap: a frame loop asks every pass).
bool hasDataProblems();

// Forgets everything, the texts already reported included (tests).
void clearDataProblems();

}  // namespace util
