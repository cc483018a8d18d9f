// BoardIds: the numbers the board's rules and the game agree on: the screen states, the sound table's
// indexes and the tutorial pages. Each is an index into data (the definition script's sound list, the
// tutorial's page list), so the values are fixed; "none" is board::kNone (BoardValues.h).
#pragma once

namespace board {

// The screen states. The model is only ever in the first four; the canvas adds the others.
enum State : int {
    kPlay = 0,
    kBusy = 1,       // matches are cleared, pieces fall and new ones come in, pass after pass
    kResolving = 2,  // an accepted swap glides; then it makes a run or goes back
    kSettling = 3,   // a swap without a run glides back; then the board checks for matches
    kPaused = 4,
    kMainMenu = 5,
    kMap = 6,
    kGameOver = 7,
    kLevelComplete = 8,
    kBonusPlay = 9,
    kEditor = 10,
};

// The sound list of the definition script, by index (data/sound/sounds.txt says what each sounds like).
enum Sound : int {
    kSoundLand = 0,
    kSoundRefused = 1,
    kSoundSelected = 2,
    kSoundButton = 6,
    kSoundCobweb = 7,
    kSoundAreaBlast = 9,
    kSoundStrike = 10,
    kSoundBeam = 11,
    kSoundCrosshair = 12,
    kSoundColourBlast = 13,
    kSoundDragonfly = 14,
    kSoundClock = 15,
    kSoundNoMoves = 17,
    kSoundSwap = 19,
    kSoundSwapBack = 20,
    kSoundGameOver = 21,
    kSoundLevelComplete = 22,
    kSoundBoardFill = 23,
    kSoundTallyStart = 24,
    kSoundTilesAway = 28,
    kSoundBlockBreak = 29,
    kSoundBigPrize = 30,
    kSoundTallyTick = 32,
    kSoundTotal = 33,
    kSoundTimeRunningOut = 34,
    kSoundLightning = 35,  // and the next one: a strike plays either
    kSoundSun = 38,
    kSoundBurstScore = 40,
    kSoundBurstClick = 42,
    kSoundLastPick = 43,
    kSoundCascade = 44,      // + the pass number, up to the last note
    kSoundCascadeLast = 59,  // the 15th pass and every one after it
};

// The tutorial's pages, by index (4 and 6 do not exist).
enum TutorialPage : int {
    kPageGeneral = 0,
    kPageGold = 1,
    kPageAfterTenSwaps = 2,
    kPageTimer = 3,
    kPageConsoleSun = 5,
    kPageNoWaitSwapping = 7,
    kPageAreaBlast = 8,
    kPageRandomBlast = 9,
    kPageColumnBlast = 10,
    kPageRowBlast = 11,
    kPageCrosshair = 12,
    kPageColourBlast = 13,
    kPageClock = 14,
    kPageDragonfly = 15,
    kPageBonusLevel = 16,
    kPageCobweb = 17,  // then two vines, one vine, double tile, triple tile: 17..21
    kPageNoMovesButSuns = 22,
};

}  // namespace board
