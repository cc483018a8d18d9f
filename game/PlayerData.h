// PlayerData: the game's one way to the settings store: profiles, progress, volumes and tutorial marks.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lang/Ref.h"
#include "lang/String.h"
#include "sprite/store/ScoreObject.h"
#include "sprite/store/User.h"

// Keeps the store on the program key ("Software\Quillbeck\" + the registry name) and reaches a profile's
// values through their path below it ("Ann\HIG_LVL"), so that every read or write is one operation of
// the store. Every operation also holds the store's monitor while it makes sure the program key is the
// one selected: code elsewhere that selects another key on the shared store can never make a value
// land in the wrong profile, whichever thread (render or input) asks.
//
// Profile names are compared without regard to letter case (accented letters included), as the
// store's keys are. A name is never a path: names holding separators, control characters, only dots,
// or blanks at either end are refused (nameProblem).
class PlayerData : public lang::Object {
public:
    // Value names and their defaults.
    static constexpr const char* kLastProfile = "LASTPROFILE";
    static constexpr const char* kHaveProfile = "haveProfile";
    static constexpr const char* kHighestLevel = "HIG_LVL";
    static constexpr const char* kSelectedLevel = "SEL_LVL";
    static constexpr const char* kSuns = "GLT";
    static constexpr const char* kScore = "SCORE";
    static constexpr const char* kMusicVolume = "VOLUMEMUSIC";
    static constexpr const char* kEffectsVolume = "VOLUMEFX";
    static constexpr const char* kShowTutorials = "SHOW_TUTS";
    static constexpr const char* kFullScreen = "FULLSCREEN";
    static constexpr const char* kShowLink = "SHOWLINK";
    static constexpr const char* kVisitUrl = "VISITURL";
    static constexpr int32_t kDefaultSuns = 3;
    // One default wherever the music volume is read: the options and the canvas agree, so opening and
    // closing the options never changes the volume.
    static constexpr int32_t kDefaultMusicVolume = 128;
    static constexpr int32_t kDefaultEffectsVolume = 255;
    static constexpr int32_t kMaxVolume = 255;
    static constexpr int32_t kLevelCount = 60;
    static constexpr int32_t kTutorialPages = 23;
    // The longest key name the store's key paths allow for one part.
    static constexpr int kMaxNameBytes = 255;

    enum class CreateResult { Created, Duplicate, Invalid };

    // Takes a reference on the store and selects the program key.
    PlayerData(sprite::User* store, std::string_view registryName);
    ~PlayerData() override;

    LANG_CLASS_NAME(PlayerData, Object)

    // Null when the name may be a profile's; otherwise the message to show the player.
    static const char* nameProblem(std::string_view name);

    // ---- program key ----
    // The last profile used, or "" when none is stored or it names no existing profile.
    std::string lastProfile();
    void setLastProfile(std::string_view name);
    int32_t programInt(std::string_view name, int32_t defaultValue);
    void setProgramInt(std::string_view name, int32_t value);

    // ---- profiles ----
    // The names of the profiles, sorted without regard to case.
    std::vector<std::string> profiles();
    // Whether the profile's existence mark is set.
    bool profileExists(std::string_view name);
    // Creates the profile (existence mark) and makes it the last profile. A name that exists already,
    // in any letter case, is a duplicate; a name with a problem is invalid. Nothing is stored then.
    CreateResult createProfile(std::string_view name);
    // Deletes the profile's key with everything below it (never a program-key value of the same name)
    // and clears the last profile only when it named this one. True when the profile existed.
    bool deleteProfile(std::string_view name);

    // ---- values of one profile ----
    // With an empty or refused profile name reads answer the default and writes are dropped.
    int32_t getInt(std::string_view profile, std::string_view name, int32_t defaultValue);
    void setInt(std::string_view profile, std::string_view name, int32_t value);
    std::string getString(std::string_view profile, std::string_view name, std::string_view defaultValue);
    void setString(std::string_view profile, std::string_view name, std::string_view value);

    // ---- the current profile (the one the game plays) ----
    // Stores it as the last profile too.
    void selectProfile(std::string_view name);
    std::string currentProfile();
    int32_t getInt(std::string_view name, int32_t defaultValue) { return getInt(currentProfile(), name, defaultValue); }
    void setInt(std::string_view name, int32_t value) { setInt(currentProfile(), name, value); }

    // Typed values of the current profile, with their one default and their range.
    int32_t highestLevel();  // 0..60
    void setHighestLevel(int32_t level);
    // Raises the highest level by one while it is below 60; answers the new value.
    int32_t raiseHighestLevel();
    // Records `level` as completed: the highest level becomes the larger of the stored one and
    // `level` (at most 60), so replaying an early level never unlocks a later one. Answers it.
    int32_t completeLevel(int32_t level);
    // The stored selection clamped to 1..min(highest + 1, 60); without one, that upper bound.
    int32_t selectedLevel();
    void setSelectedLevel(int32_t level);
    int32_t suns();
    void setSuns(int32_t suns);
    int32_t score();
    void setScore(int32_t score);
    int32_t musicVolume();  // 0..255
    void setMusicVolume(int32_t volume);
    int32_t effectsVolume();  // 0..255
    void setEffectsVolume(int32_t volume);
    bool showTutorials();
    void setShowTutorials(bool on);
    bool tutorialSeen(int page);
    void markTutorialSeen(int page);
    bool showLink();
    std::string visitUrl();

    // ---- high scores of the current profile ----
    // Inserts the record in its mode's table of the current profile; its rank 0..9, or -1.
    int addScore(sprite::ScoreObject* record);
    int scoreCount(std::string_view mode);
    // The record of that rank (referenced), or null.
    lang::Ref<sprite::ScoreObject> scoreAt(std::string_view mode, int rank);

    sprite::User* store() const { return store_.get(); }
    const std::string& programKey() const { return programKey_; }

private:
    // With the store's monitor held: selects the program key when another key is selected.
    void selectProgramKeyLocked();
    // "profile\name", or empty when the profile name is refused.
    static std::string valuePath(std::string_view profile, std::string_view name);
    bool profileExistsLocked(std::string_view name);
    // Runs f with the current profile's key selected for the score tables, then selects the program
    // key again; `none` without a current profile.
    template <class F, class R>
    R withProfileKey(F f, R none);

    lang::Ref<sprite::User> store_;
    std::string registryName_;
    std::string programKey_;  // the full path of the program key
    std::string current_;     // guarded by the store's monitor
};
