// PlayerData: profiles and their values on the settings store, one store operation per value.
#include "game/PlayerData.h"

#include <algorithm>

#include "lang/CodePage.h"
#include "sprite/GameCanvas.h"
#include "util/Vector.h"

namespace {

std::string adoptText(lang::String* text) {
    lang::Ref<lang::String> owned = lang::adopt(text);
    return owned ? std::string(owned->view()) : std::string();
}

int32_t clampTo(int32_t value, int32_t low, int32_t high) {
    return std::max(low, std::min(value, high));
}

}  // namespace

PlayerData::PlayerData(sprite::User* store, std::string_view registryName)
    : store_(lang::share(store)), registryName_(registryName) {
    programKey_ = sprite::User::kProgramRoot;
    programKey_.append(registryName_);
    lang::Synchronized guard(store_.get());
    selectProgramKeyLocked();
}

PlayerData::~PlayerData() = default;

const char* PlayerData::nameProblem(std::string_view name) {
    if (name.empty())
        return "Please type a name for the new player.";
    if (name.size() > static_cast<size_t>(kMaxNameBytes))
        return "That name is too long. Please choose a shorter name.";
    if (name.front() == ' ' || name.back() == ' ')
        return "A player's name cannot begin or end with a space.";
    for (char c : name) {
        auto b = static_cast<unsigned char>(c);
        // Separators would make the name a path into the settings, below or beside the profiles.
        if (b == '\\' || b == '/' || b < 32 || b == 127)
            return "A player's name cannot contain \\, / or control characters.";
    }
    if (name.find_first_not_of('.') == std::string_view::npos)
        return "A player's name cannot be made of dots only.";
    return nullptr;
}

void PlayerData::selectProgramKeyLocked() {
    if (adoptText(store_->path()) != programKey_)
        store_->setPath(registryName_);
}

std::string PlayerData::valuePath(std::string_view profile, std::string_view name) {
    if (nameProblem(profile) != nullptr)
        return {};
    std::string path(profile);
    path.push_back('\\');
    path.append(name);
    return path;
}

std::string PlayerData::lastProfile() {
    lang::Synchronized guard(store_.get());
    selectProgramKeyLocked();
    std::string name = adoptText(store_->getString(kLastProfile, ""));
    // A hand-edited or stale entry (a deleted profile, a path) counts as none, so that the game asks
    // for a player instead of writing into a key that is no profile.
    if (nameProblem(name) != nullptr || !profileExistsLocked(name))
        return {};
    return name;
}

void PlayerData::setLastProfile(std::string_view name) {
    lang::Synchronized guard(store_.get());
    selectProgramKeyLocked();
    store_->setString(kLastProfile, name);
}

int32_t PlayerData::programInt(std::string_view name, int32_t defaultValue) {
    lang::Synchronized guard(store_.get());
    selectProgramKeyLocked();
    return store_->getInt(name, defaultValue);
}

void PlayerData::setProgramInt(std::string_view name, int32_t value) {
    lang::Synchronized guard(store_.get());
    selectProgramKeyLocked();
    store_->setInt(name, value);
}

std::vector<std::string> PlayerData::profiles() {
    auto names = lang::make<util::Vector>();
    {
        lang::Synchronized guard(store_.get());
        selectProgramKeyLocked();
        store_->listSubKeys(*names);
    }
    std::vector<std::string> out;
    for (int i = 0; i < names->size(); ++i)
        out.emplace_back(static_cast<lang::String*>(names->elementAt(i))->view());
    std::stable_sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
        return lang::compareIgnoreCase(a, b) < 0;
    });
    return out;
}

bool PlayerData::profileExistsLocked(std::string_view name) {
    std::string path = valuePath(name, kHaveProfile);
    return !path.empty() && store_->getInt(path, 0) != 0;
}

bool PlayerData::profileExists(std::string_view name) {
    lang::Synchronized guard(store_.get());
    selectProgramKeyLocked();
    return profileExistsLocked(name);
}

PlayerData::CreateResult PlayerData::createProfile(std::string_view name) {
    if (nameProblem(name) != nullptr)
        return CreateResult::Invalid;
    lang::Synchronized guard(store_.get());
    selectProgramKeyLocked();
    if (profileExistsLocked(name))
        return CreateResult::Duplicate;
    store_->setInt(valuePath(name, kHaveProfile), 1);
    store_->setString(kLastProfile, name);
    return CreateResult::Created;
}

bool PlayerData::deleteProfile(std::string_view name) {
    if (nameProblem(name) != nullptr)
        return false;
    lang::Synchronized guard(store_.get());
    selectProgramKeyLocked();
    bool existed = store_->removeKey(name);
    std::string last = adoptText(store_->getString(kLastProfile, ""));
    if (lang::compareIgnoreCase(last, name) == 0)
        store_->setString(kLastProfile, "");
    if (lang::compareIgnoreCase(current_, name) == 0)
        current_.clear();
    return existed;
}

int32_t PlayerData::getInt(std::string_view profile, std::string_view name, int32_t defaultValue) {
    std::string path = valuePath(profile, name);
    if (path.empty())
        return defaultValue;
    lang::Synchronized guard(store_.get());
    selectProgramKeyLocked();
    return store_->getInt(path, defaultValue);
}

void PlayerData::setInt(std::string_view profile, std::string_view name, int32_t value) {
    std::string path = valuePath(profile, name);
    if (path.empty())
        return;
    lang::Synchronized guard(store_.get());
    selectProgramKeyLocked();
    store_->setInt(path, value);
}

std::string PlayerData::getString(std::string_view profile, std::string_view name, std::string_view defaultValue) {
    std::string path = valuePath(profile, name);
    if (path.empty())
        return std::string(defaultValue);
    lang::Synchronized guard(store_.get());
    selectProgramKeyLocked();
    return adoptText(store_->getString(path, defaultValue));
}

void PlayerData::setString(std::string_view profile, std::string_view name, std::string_view value) {
    std::string path = valuePath(profile, name);
    if (path.empty())
        return;
    lang::Synchronized guard(store_.get());
    selectProgramKeyLocked();
    store_->setString(path, value);
}

void PlayerData::selectProfile(std::string_view name) {
    lang::Synchronized guard(store_.get());
    selectProgramKeyLocked();
    current_ = nameProblem(name) == nullptr ? std::string(name) : std::string();
    store_->setString(kLastProfile, current_);
}

std::string PlayerData::currentProfile() {
    lang::Synchronized guard(store_.get());
    return current_;
}

int32_t PlayerData::highestLevel() {
    return clampTo(getInt(kHighestLevel, 0), 0, kLevelCount);
}

void PlayerData::setHighestLevel(int32_t level) {
    setInt(kHighestLevel, clampTo(level, 0, kLevelCount));
}

int32_t PlayerData::raiseHighestLevel() {
    lang::Synchronized guard(store_.get());
    int32_t level = highestLevel();
    if (level < kLevelCount)
        setHighestLevel(++level);
    return level;
}

int32_t PlayerData::completeLevel(int32_t level) {
    lang::Synchronized guard(store_.get());
    const int32_t highest = std::max(highestLevel(), clampTo(level, 0, kLevelCount));
    setHighestLevel(highest);
    return highest;
}

int32_t PlayerData::selectedLevel() {
    lang::Synchronized guard(store_.get());
    int32_t last = std::min(highestLevel() + 1, kLevelCount);
    return clampTo(getInt(kSelectedLevel, last), 1, last);
}

void PlayerData::setSelectedLevel(int32_t level) {
    setInt(kSelectedLevel, clampTo(level, 1, kLevelCount));
}

int32_t PlayerData::suns() {
    return std::max(0, getInt(kSuns, kDefaultSuns));
}

void PlayerData::setSuns(int32_t suns) {
    setInt(kSuns, std::max(0, suns));
}

int32_t PlayerData::score() {
    return getInt(kScore, 0);
}

void PlayerData::setScore(int32_t score) {
    setInt(kScore, score);
}

int32_t PlayerData::musicVolume() {
    return clampTo(getInt(kMusicVolume, kDefaultMusicVolume), 0, kMaxVolume);
}

void PlayerData::setMusicVolume(int32_t volume) {
    setInt(kMusicVolume, clampTo(volume, 0, kMaxVolume));
}

int32_t PlayerData::effectsVolume() {
    return clampTo(getInt(kEffectsVolume, kDefaultEffectsVolume), 0, kMaxVolume);
}

void PlayerData::setEffectsVolume(int32_t volume) {
    setInt(kEffectsVolume, clampTo(volume, 0, kMaxVolume));
}

bool PlayerData::showTutorials() {
    return getInt(kShowTutorials, 1) != 0;
}

void PlayerData::setShowTutorials(bool on) {
    setInt(kShowTutorials, on ? 1 : 0);
}

bool PlayerData::tutorialSeen(int page) {
    return getInt("TUT" + std::to_string(page), 0) == 1;
}

void PlayerData::markTutorialSeen(int page) {
    setInt("TUT" + std::to_string(page), 1);
}

bool PlayerData::showLink() {
    return getInt(kShowLink, 1) != 0;
}

std::string PlayerData::visitUrl() {
    return getString(currentProfile(), kVisitUrl, sprite::GameCanvas::kWebAddress);
}

template <class F, class R>
R PlayerData::withProfileKey(F f, R none) {
    lang::Synchronized guard(store_.get());
    if (current_.empty())
        return none;
    // The score tables live in the store's current key; the program key is selected again at once,
    // all under the store's monitor, so nobody else sees the profile's key selected.
    store_->setPath(registryName_ + "\\" + current_);
    R result = f();
    store_->setPath(registryName_);
    return result;
}

int PlayerData::addScore(sprite::ScoreObject* record) {
    if (record == nullptr)
        return -1;
    return withProfileKey([&] { return store_->addScore(record); }, -1);
}

int PlayerData::scoreCount(std::string_view mode) {
    return withProfileKey([&] { return store_->getScoreCount(mode); }, 0);
}

lang::Ref<sprite::ScoreObject> PlayerData::scoreAt(std::string_view mode, int rank) {
    return withProfileKey([&] { return lang::share(store_->getScore(mode, rank)); },
                          lang::Ref<sprite::ScoreObject>());
}
