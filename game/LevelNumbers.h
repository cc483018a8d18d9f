// The stage of a level and its number within the stage, as the map and the console show them.
#pragma once

namespace levels {

constexpr int kLevelsPerStage = 5;

// Levels 1-5 are stage 1, 6-10 stage 2, ... 56-60 stage 12.
constexpr int stageOf(int level) {
    return level < 1 ? 1 : (level - 1) / kLevelsPerStage + 1;
}

// 1 to 5 within the stage.
constexpr int levelInStage(int level) {
    return level < 1 ? 1 : (level - 1) % kLevelsPerStage + 1;
}

}  // namespace levels
