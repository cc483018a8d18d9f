// KolbaxCanvas: construction, the scene set-up from the named sprites, the pools made from the
// templates, the board geometry and the backgrounds of a level.
#include <array>
#include <cstdio>
#include <string>

#include "game/ConsoleDialog.h"
#include "game/GamePieceSprite.h"
#include "game/KolbaxBoardView.h"
#include "game/KolbaxCanvas.h"
#include "game/LevelCompleteDialog.h"
#include "game/MenuMapDialog.h"
#include "game/OptionsSprite.h"
#include "game/PlayerData.h"
#include "game/SceneNames.h"
#include "game/TileGridSprite.h"
#include "game/TutorialDialog.h"
#include "lang/ResourceFile.h"
#include "sprite/ButtonSprite.h"
#include "sprite/DialogSprite.h"
#include "sprite/store/User.h"
#include "window/Cursor.h"
#include "window/Frame.h"

LANG_DEFINE_CLASS_RECORD(KolbaxCanvas);

util::Random& gameRandom() {
    static util::Random random;
    return random;
}

namespace {

// The registry name when the program's resources name none (tests, tools).
constexpr const char* kDefaultRegistryName = "Lumaroo";

// The scene sprite `name` when it is of class T, with a reference.
template <class T>
lang::Ref<T> dialogNamed(sprite::GameCanvas2& canvas, const char* name, const char* className) {
    sprite::Sprite* s = canvas.getSprite(name);
    return s != nullptr && s->instanceOf(className) ? lang::share(static_cast<T*>(s)) : lang::Ref<T>();
}

}  // namespace

KolbaxCanvas::KolbaxCanvas() : view_(std::make_unique<KolbaxBoardView>(*this, board_)), board_(gameRandom()) {
    board_.setEvents(view_.get());
}

KolbaxCanvas::~KolbaxCanvas() {
    // The threads run this class's overrides: they must be gone before its fields are.
    destroy();
}

std::string KolbaxCanvas::text(const char* id) {
    lang::Ref<lang::String> found = lang::adopt(lang::getResourceString(id));
    return found ? std::string(found->view()) : std::string();
}

void KolbaxCanvas::setEffectsVolume(int volume) {
    window::AudioClip::setMasterVolume(volume);
}

bool KolbaxCanvas::isFullScreen() {
    window::Component* parent = getParent();
    return parent != nullptr && parent->instanceOf("Frame") &&
           static_cast<window::Frame*>(parent)->isFullScreen();
}

void KolbaxCanvas::setFullScreen(bool on) {
    window::Component* parent = getParent();
    if (parent != nullptr && parent->instanceOf("Frame"))
        static_cast<window::Frame*>(parent)->setFullScreen(on, false);
}

bool KolbaxCanvas::setBoardsFolder(const std::string& folder, std::string& error) {
    if (!levels_.load(folder + "/leveling.txt", error))
        return false;
    boardsFolder_ = folder;
    return true;
}

sprite::Sprite* KolbaxCanvas::named(const char* name) {
    return getSprite(name);
}

sprite::AnimateSprite* KolbaxCanvas::namedAnimated(const char* name) {
    sprite::Sprite* s = getSprite(name);
    return s != nullptr && s->instanceOf("AnimateSprite") ? static_cast<sprite::AnimateSprite*>(s) : nullptr;
}

void KolbaxCanvas::show(const char* name, bool on) {
    if (sprite::Sprite* s = named(name))
        s->setVisible(on);
}

bool KolbaxCanvas::shown(const char* name) {
    sprite::Sprite* s = named(name);
    return s != nullptr && s->isVisible();
}

bool KolbaxCanvas::anyScreenShowing() {
    for (const char* name : scene_names::kScreens)
        if (shown(name))
            return true;
    return false;
}

const char* KolbaxCanvas::nameToRegister(sprite::Sprite* sprite, const lang::String& name) {
    // A copy carries its template's name: only the sprite the name stands for (or a sprite whose name is
    // still free) is registered under it, so a template's name never moves to one of its copies.
    if (name.length() == 0)
        return nullptr;
    sprite::Sprite* holder = named(name.chars());
    return holder == nullptr || holder == sprite ? name.chars() : nullptr;
}

void KolbaxCanvas::placeBelow(sprite::Sprite* sprite, const char* reference) {
    if (sprite == nullptr)
        return;
    lang::Synchronized guard(this, true);
    lang::String name(sprite->getName());
    sprite::Sprite* ref = named(reference);
    int index = ref != nullptr && ref != sprite ? indexOfSprite(ref) : -1;
    // Taking the sprite out first shifts the reference down by one when the sprite stood below it.
    int own = indexOfSprite(sprite);
    if (own >= 0 && index > own)
        --index;
    addSprite(nameToRegister(sprite, name), sprite, index);
}

void KolbaxCanvas::placeAbove(sprite::Sprite* sprite, const char* reference) {
    if (sprite == nullptr)
        return;
    lang::Synchronized guard(this, true);
    lang::String name(sprite->getName());
    sprite::Sprite* ref = named(reference);
    int index = ref != nullptr && ref != sprite ? indexOfSprite(ref) : -1;
    if (index < 0) {
        placeOnTop(sprite);
        return;
    }
    // Taking the sprite out first shifts the reference down by one when the sprite stood below it.
    const int own = indexOfSprite(sprite);
    if (own >= 0 && index > own)
        --index;
    addSprite(nameToRegister(sprite, name), sprite, index + 1);
}

void KolbaxCanvas::placeOnTop(sprite::Sprite* sprite) {
    if (sprite == nullptr)
        return;
    lang::Synchronized guard(this, true);
    lang::String name(sprite->getName());
    addSprite(nameToRegister(sprite, name), sprite, -1);
}

void KolbaxCanvas::onSceneLoaded(sprite::DataLoader* loader) {
    lang::Synchronized guard(this, true);
    GameCanvas2::onSceneLoaded(loader);
    if (sprite::User* settings = getSettings()) {
        lang::Ref<lang::String> registry = lang::adopt(lang::getResourceString("REGISTRYNAME"));
        playerData_ = lang::make<PlayerData>(settings, registry && registry->length() > 0
                                                           ? registry->view()
                                                           : std::string_view(kDefaultRegistryName));
        const std::string last = playerData_->lastProfile();
        if (!last.empty())
            playerData_->selectProfile(last);
        profileName_.assign(last.c_str());
    }
    lookUpScene();
    console_ = dialogNamed<ConsoleDialog>(*this, "consoledialog", "ConsoleDialog");
    levelDialog_ = dialogNamed<LevelCompleteDialog>(*this, "LevelComplete", "LevelCompleteDialog");
    map_ = dialogNamed<MenuMapDialog>(*this, "MenuMap", "MenuMapDialog");
    tutorial_ = dialogNamed<TutorialDialog>(*this, "itutorial", "TutorialDialog");
    // The dialogs were made by the loader before the canvas had its scene: hand them their host now.
    for (const lang::Ref<sprite::Sprite>& s : sceneSnapshot())
        if (s->instanceOf("GameDialog"))
            static_cast<GameDialog*>(s.get())->setHost(this);
    if (playerData_ && !playerData_->showLink())
        disableLink();
    readKindTable();
    if (map_)
        map_->prepare();
    view_->makePools();
    makeClips();
    applyVolumes();
    // The options' music knob plays the in-game music (the first music clip) as its test clip; the
    // effects knob plays the options' own clip.
    if (sprite::Sprite* options = named("Options");
        options != nullptr && options->instanceOf("OptionsSprite"))
        static_cast<OptionsSprite*>(options)->setMusicTestClip(clips_[kAmbientClips].get());
    enterState(kMainMenu);
}

void KolbaxCanvas::disableLink() {
    // The link is one of the main menu's buttons; a scene may also hold it on its own.
    lang::Ref<sprite::Sprite> link = lang::share(named(scene_names::kLinkButton));
    if (!link)
        if (sprite::Sprite* menu = named(scene_names::kMainMenu);
            menu != nullptr && menu->instanceOf("DialogSprite"))
            link = static_cast<sprite::DialogSprite*>(menu)->getChild(scene_names::kLinkButton);
    if (link && link->instanceOf("ButtonSprite"))
        static_cast<sprite::ButtonSprite*>(link.get())->setState(sprite::ButtonSprite::kDisabled);
}

void KolbaxCanvas::readKindTable() {
    // The kind codes come from the scene script's integer list. A list that is not 18 distinct piece
    // frames would make pieces unmatchable or show the wrong picture: it is refused whole, like a
    // script without a list, and the board uses the codes 0..17.
    std::array<int, board::kKindCount> identity{};
    for (int i = 0; i < board::kKindCount; ++i)
        identity[static_cast<size_t>(i)] = i;
    lang::IntArray* numbers = getNumberTable();
    const int length = numbers != nullptr ? numbers->length() : 0;
    std::array<int, board::kKindCount> codes = identity;
    std::array<bool, GamePieceSprite::kKindFrames> used{};
    std::string fault;
    if (length != 0 && length != scene_names::kKindTableLength)
        fault = "it holds " + std::to_string(length) + " numbers";
    for (int i = 0; length != 0 && fault.empty() && i < board::kKindCount; ++i) {
        const int code = (*numbers)[i];
        const std::string entry = "code " + std::to_string(code) + " (entry " + std::to_string(i + 1) + ")";
        if (code < 0 || code >= GamePieceSprite::kKindFrames)
            fault = entry + " is no piece frame";
        else if (used[static_cast<size_t>(code)])
            fault = entry + " is used twice";
        else
            used[static_cast<size_t>(code)] = true;
        codes[static_cast<size_t>(i)] = code;
    }
    if (!fault.empty()) {
        std::fprintf(stderr,
                     "KolbaxCanvas: the scene script's integer list is not a kind table of %d distinct codes "
                     "0..%d: %s; the codes 0..%d are used\n",
                     scene_names::kKindTableLength, GamePieceSprite::kKindFrames - 1, fault.c_str(),
                     board::kKindCount - 1);
        codes = identity;
    }
    board_.setKindCodes(codes);
}

void KolbaxCanvas::lookUpScene() {
    for (const scene_names::SceneSprite& s : scene_names::kSceneSprites)
        if (s.hiddenAtSetUp)
            show(s.name, false);
    for (const char* name : {"hinthighlight1", "hinthighlight2"})
        if (sprite::Sprite* s = named(name))
            s->setColorTransform(128, 128, 128, 128);
    if (sprite::Sprite* menuButton = named("btn_MenuOnConsole")) {
        if (menuButton->instanceOf("ButtonSprite"))
            static_cast<sprite::ButtonSprite*>(menuButton)->setState(0);
        placeBelow(menuButton, "ipicketfence3");
    }
    view_->readGeometry();
}

void KolbaxCanvas::makeClips() {
    for (int i = 0; i < kClipCount; ++i) {
        lang::Ref<window::AudioClip> clip;
        if (clipFactory_) {
            clip = clipFactory_(scene_names::kClipNames[i]);
        } else {
            clip = lang::make<window::AudioClip>();
            // Music streams, ambient sounds are samples; without a sound device the clip stays silent.
            clip->load(lang::String(scene_names::kClipNames[i]),
                       i < kAmbientClips ? window::AudioClip::kSample : window::AudioClip::kStream);
        }
        if (clip)
            clip->setVolume(musicVolume_);
        clips_[static_cast<size_t>(i)] = clip;
    }
}

GamePieceSprite* KolbaxCanvas::pieceSprite(int id) {
    return view_->pieceSprite(id);
}

TileGridSprite* KolbaxCanvas::tileSprite(int x, int y) {
    return view_->tileSprite(x, y);
}

sprite::AnimateSprite* KolbaxCanvas::bonusBlock(int cell) {
    return view_->bonusBlock(cell);
}

util::Point KolbaxCanvas::squareToScreen(int x, int y) const {
    return view_->squareToScreen(x, y);
}

std::string KolbaxCanvas::backgroundName(int level) {
    return "+background" + std::to_string(LevelTable::stageOfLevel(level));
}

std::string KolbaxCanvas::playareaName(int level, bool bonus) {
    if (bonus)
        return "+playarea_bonus";
    // Levels past the last regular one have no backdrop of their own.
    return level < 61 ? "+playarea" + std::to_string(level) : std::string();
}

void KolbaxCanvas::showBackgrounds(bool show, int level) {
    sprite::Sprite* background = named("background");
    sprite::Sprite* playarea = named("playarea");
    if (!show) {
        if (background != nullptr)
            background->setVisible(false);
        if (playarea != nullptr)
            playarea->setVisible(false);
        return;
    }
    if (background != nullptr) {
        auto image = lang::make<window::Image>(backgroundName(level).c_str());
        if (image->getWidth() > 0)
            background->setImage(image.get());
        background->setVisible(true);
    }
    if (playarea != nullptr) {
        if (bonusLevel_)
            playarea->setLocation(0, 0);
        const std::string name = playareaName(level, bonusLevel_);
        if (!name.empty()) {
            auto image = lang::make<window::Image>(name.c_str());
            if (image->getWidth() > 0) {
                std::string alpha = name + "alpha";
                auto mask = lang::make<window::Image>(alpha.c_str());
                if (mask->getWidth() > 0)
                    image->applyMask(mask.get());
                playarea->setImage(image.get());
            }
        }
        playarea->setColorTransform(128, 128, 128, 128);
        playarea->setVisible(true);
    }
    for (const char* fence : {"ipicketfence", "ipicketfence2", "ipicketfence3"})
        placeOnTop(named(fence));
}

void KolbaxCanvas::resetBoardScene() {
    view_->reset();
    for (const char* name :
         {"highlight", "hinthighlight1", "hinthighlight2", "inomoremoves", "pausesign", "ibonuslevelstarttext"})
        show(name, false);
    initialHidePhase_ = initialShowPhase_ = false;
}

bool KolbaxCanvas::tutorialShowing() {
    return tutorial_ ? tutorial_->isShowing() : shown("itutorial");
}

void KolbaxCanvas::offerPowerTutorial() {
    if (!tutorial_ || tutorial_->isShowing() || anyScreenShowing() || bonusLevel_)
        return;
    // The first piece with a power, row by row, is the one explained, with the arrow at it.
    for (int y = 0; y < board::kRows; ++y)
        for (int x = 0; x < board::kColumns; ++x) {
            const int value = board_.value(x, y);
            if (value < board::kPowerBase || pieceSprite(board_.pieceId(x, y)) == nullptr)
                continue;
            const int page = TutorialDialog::powerPage(value);
            const util::Point at = squareToScreen(x, y);
            if (page != TutorialDialog::kNoPage && tutorial_->offerIfDueAt(page, level_, at.x, at.y))
                placeBelow(tutorial_.get(), "ipicketfence3");
            return;
        }
}

void KolbaxCanvas::offerTutorial(int page) {
    if (!tutorial_ || tutorial_->isShowing() || anyScreenShowing())
        return;
    if (tutorial_->offerIfDue(page, level_))
        placeBelow(tutorial_.get(), "ipicketfence3");
}

void KolbaxCanvas::explanationDue(int page) {
    // The explanations asked for while a new board is dealt wait until the level is in play.
    if (startingLevel_) {
        heldExplanations_.push_back(page);
        return;
    }
    offerTutorial(page);
}

void KolbaxCanvas::boardLevelLost(LevelLoss reason) {
    levelEnded_ = true;
    lostByNoMoves_ = reason == LevelLoss::NoMoreMoves;
}
