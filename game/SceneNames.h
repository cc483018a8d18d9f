// SceneNames: the names the game's canvas looks up in its scene, and the clips it opens by name: the
// one list the canvas works from and the content checks compare the definition scripts with.
#pragma once

namespace scene_names {

// A sprite the scene set-up finds by name: the class the game takes it for ("" any sprite), and
// whether the set-up hides it (the screens the flow shows later, and the templates, of which only the
// copies are ever shown).
struct SceneSprite {
    const char* name;
    const char* className;
    bool hiddenAtSetUp;
};

inline constexpr SceneSprite kSceneSprites[] = {
    {"MenuMap", "MenuMapDialog", true},
    {"MainMenu", "MenuSprite", true},
    {"Options", "OptionsSprite", true},
    {"Instructions", "InstructDialog", true},
    {"ExitDialog", "ExitDlgSprite", true},
    {"LevelComplete", "LevelCompleteDialog", true},
    {"GameOver", "GameOverDialog", false},
    {"consoledialog", "ConsoleDialog", true},
    {"ChoosePlayer", "ChoosePlayer", true},
    {"GenericDialog", "GenericDialog", false},
    {"btn_MenuOnConsole", "ButtonSprite", false},
    {"pausesign", "", true},
    {"inomoremoves", "", true},
    {"background", "", true},
    {"playarea", "", true},
    {"ipicketfence", "", true},
    {"ipicketfence2", "", true},
    {"ipicketfence3", "", true},
    {"hinthighlight1", "", true},
    {"hinthighlight2", "", true},
    {"dim", "", false},
    {"highlight", "", true},
    {"itutorial", "TutorialDialog", true},
    {"layoutname", "", true},
    {"gameTile", "TileGridSprite", true},
    {"igridvariance", "AnimateSprite", true},
    {"igridvarianceedge", "AnimateSprite", true},
    {"ilastgridshimmer", "AnimateSprite", true},
    {"tileGridOverlays", "AnimateSprite", true},
    {"powerpiecehighlight", "AnimateSprite", true},
    {"newsunanim", "AnimateSprite", true},
    {"cobwebanim", "AnimateSprite", true},
    {"animatedvines", "AnimateSprite", true},
    {"itwinkle", "AnimateSprite", true},
    {"itwinklebig", "AnimateSprite", true},
    {"numberforboardscore", "AnimateSprite", true},
    {"numberforboardscore_outline", "AnimateSprite", true},
    {"cascadetext", "AnimateSprite", true},
    {"cascadetext_outline", "AnimateSprite", true},
    {"drips", "AnimateSprite", true},
    {"dripsmall", "AnimateSprite", true},
    {"iarrow", "AnimateSprite", true},
    {"randombombblast", "AnimateSprite", true},
    {"matchoutsparkle", "AnimateSprite", true},
    {"freeswaptext", "AnimateSprite", true},
    {"powerpieceoverlay", "AnimateSprite", true},
    {"earnedPowerPieceHighlight", "AnimateSprite", true},
    {"fiverflash1", "AnimateSprite", true},
    {"fiverflash2", "AnimateSprite", true},
    {"gamePieces", "AnimateSprite", true},
    {"ibonuslevelstarttext", "AnimateSprite", true},
    {"bonusclicknumber", "NumberSprite", true},
    {"ibonusprizes", "AnimateSprite", true},
    {"ibonusprizes_disabled", "AnimateSprite", true},
    {"ibonusblocks", "AnimateSprite", true},
    {"ibonusblockcover", "AnimateSprite", true},
    {"icontinue", "AnimateSprite", true},
    {"bonussunglitter", "AnimateSprite", true},
    {"bonussparkle", "AnimateSprite", true},
    {"bonusscoresparkle", "AnimateSprite", true},
    {"editor_console", "", true},
    {"btn_savelayout", "ButtonSprite", true},
    {"btn_loadlayout", "ButtonSprite", true},
    {"btn_backtomenu", "ButtonSprite", true},
    {"dragonfly", "AnimateSprite", true},
    {"dragonflyup", "AnimateSprite", true},
    {"dragonflyright", "AnimateSprite", true},
    {"dragonflydown", "AnimateSprite", true},
    {"dragonflyleft", "AnimateSprite", true},
    {"biggoldsunoncursor", "", true},
    {"smallgoldsunoncursor", "", true},
    {"sparklesoncursor", "", true},
    {"ilightning", "AnimateSprite", true},
    {"staticelectric", "AnimateSprite", true},
    {"btn_consolesun", "ButtonSprite", true},
    {"goldtileplacementburst", "AnimateSprite", true},
};

// The screens that stop play while one of them shows.
inline constexpr const char* kScreens[] = {"Options",       "MainMenu", "Instructions", "ExitDialog",
                                           "LevelComplete", "GameOver", "ChoosePlayer", "MenuMap"};

// The main menu's link to the publisher's page: a child of the main menu.
inline constexpr const char* kMainMenu = "MainMenu";
inline constexpr const char* kLinkButton = "upsellQB";

// The 20 clips the canvas opens from the archive: 15 ambient sounds, then the five music pieces
// (in-game, in-game ambient loop, bonus level, main menu, map).
inline constexpr int kAmbientClips = 15;
inline constexpr int kClipCount = 20;
inline constexpr const char* kClipNames[kClipCount] = {
    "+aAmbient1",    "+aAmbient2",           "+aAmbient3",       "+aAmbient4",      "+aAmbient5",
    "+aAmbient6",    "+aAmbient7",           "+aAmbient8",       "+aAmbient9",      "+aAmbient10",
    "+aAmbient11",   "+aAmbient12",          "+aAmbient13",      "+aAmbient14",     "+aAmbient15",
    "+aMusicInGame", "+aMusicInGameAmbient", "+aMusicBonusMode", "+aMusicMainMenu", "+aMusicMap"};

// The scene script's integer list: the kind codes of the 18 piece kinds, in kind-table order.
inline constexpr int kKindTableLength = 18;

}  // namespace scene_names
