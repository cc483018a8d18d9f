// sprite::User: the settings store: typed values under key paths, player profiles and high-score tables.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lang/Arrays.h"
#include "lang/Ref.h"
#include "lang/String.h"
#include "sprite/store/ScoreObject.h"
#include "util/Vector.h"

namespace sprite {

class SettingsDatabase;

// The store keeps, like a registry, a tree of keys such as "Software\Quillbeck\Lumaroo\Ann" holding
// named values: 32-bit integers, Windows-1252 strings and byte arrays. Key paths and value names
// compare without regard to letter case. Every operation works on the current key chosen by setPath;
// a value name holding a backslash names a value in a sub-key of it ("Stats\BEST" is "BEST" in the
// sub-key "Stats"). Reads of missing or unreadable values answer the caller's default; when the store
// cannot be used at all, reads answer defaults and writes are lost.
//
// Every operation holds the store's own monitor, so one store may be shared by the game's threads.
class User : public lang::Object {
public:
    // Every key the game selects lies below this one.
    static constexpr const char* kProgramRoot = "Software\\Quillbeck\\";
    // The longest string a read answers, in bytes; longer values are cut.
    static constexpr int kMaxStringBytes = 1023;
    // Records per high-score table.
    static constexpr int kScoresPerTable = 10;

    // The store in its usual folder (see SettingsDatabase::defaultDirectory), on the user's database.
    User();
    // The store whose database lies in the given folder.
    explicit User(const char* directory);
    ~User() override;
    User(const User&) = delete;
    User& operator=(const User&) = delete;

    LANG_CLASS_NAME(User, Object)

    // What setPath does with a "fontName" that is not empty. The store knows nothing of fonts: the
    // layer that owns them installs the handler (the sprite library makes the name the default font
    // face). Called on setPath's thread, outside the store's monitor.
    using FontFaceHandler = void (*)(const lang::String& face);
    // Installs the handler for every store of the process, null for none; answers the one it replaces.
    static FontFaceHandler setFontFaceHandler(FontFaceHandler handler);

    // Selects the key kProgramRoot + name, creating it when missing; then reads "CREDITS", the
    // high-score tables, "fontName" (handed to the font-face handler when not empty) and
    // "nonAscentDescent". False when the store cannot be used.
    bool setPath(std::string_view name);
    bool setPath(const lang::String& name) { return setPath(name.view()); }

    // An integer value, or a string value holding a decimal number; otherwise defaultValue.
    int32_t getInt(std::string_view name, int32_t defaultValue);
    int32_t getInt(const lang::String& name, int32_t defaultValue) {
        return getInt(name.view(), defaultValue);
    }
    void setInt(std::string_view name, int32_t value);
    void setInt(const lang::String& name, int32_t value) { setInt(name.view(), value); }
    // A new String (one reference for the caller): the string value up to kMaxStringBytes bytes (and up
    // to a zero byte), or a copy of defaultValue when there is no string value.
    lang::String* getString(std::string_view name, std::string_view defaultValue);
    lang::String* getString(const lang::String& name, std::string_view defaultValue) {
        return getString(name.view(), defaultValue);
    }
    void setString(std::string_view name, std::string_view value);
    void setString(const lang::String& name, const lang::String& value) {
        setString(name.view(), value.view());
    }
    // Gives bytes the length of the value and copies it in; false, bytes untouched, when there is no
    // byte-array value of that name.
    bool getBytes(std::string_view name, lang::ByteArray& bytes);
    void setBytes(std::string_view name, const lang::ByteArray& bytes);
    // Deletes the value of that name or, when there is none, the sub-key of that name with every key
    // and value below it. True when something was deleted.
    bool remove(std::string_view name);
    bool remove(const lang::String& name) { return remove(name.view()); }
    // Deletes only the sub-key of that name with every key and value below it, never a value: a
    // profile named like a value of the current key ("SCORE", "GLT") still goes as a key. An empty
    // name never deletes the current key. True when the sub-key existed.
    bool removeKey(std::string_view name);
    // Appends to names a new String for each sub-key of the current key, in case-insensitive order.
    void listSubKeys(util::Vector& names);

    // High scores: one table per mode, at most kScoresPerTable records each, best first, kept in the
    // current key as "SCORENAME" i, "SCORE" i, "LEVEL" i, "SCOREMODE" i and "SCORESETTING" i.
    void loadScores();
    // Inserts the record (taking a reference) before the first record of its mode's table with a lower
    // score, or at the end of a table not yet full, and saves the tables. Answers the record's rank,
    // 0 to 9, or -1 when it fits nowhere.
    int addScore(ScoreObject* record);
    void saveScores();
    int getScoreCount(std::string_view mode);
    // The record of that rank in the mode's table, or null; no reference for the caller.
    ScoreObject* getScore(std::string_view mode, int rank);

    // The values read by the last setPath.
    int32_t credits();
    // A new String (one reference for the caller).
    lang::String* fontName();
    int32_t nonAscentDescent();

    // The current key's path, a new String (one reference for the caller); empty before setPath.
    lang::String* path();
    // False when the database could not be opened: reads answer defaults, writes are lost.
    bool isAvailable() const;
    // The database file (for messages and tests).
    const std::string& databaseFile() const;

private:
    struct Table {
        lang::String mode;
        std::vector<lang::Ref<ScoreObject>> records;
    };

    // The key and value name meant by a value name relative to the current key.
    void resolve(std::string_view name, std::string& key, std::string& value) const;
    Table* findTable(std::string_view mode, bool create);
    int insertScore(const lang::Ref<ScoreObject>& record);
    void loadScoresLocked();
    void saveScoresLocked();
    bool removeKeyLocked(std::string_view name);
    int32_t getIntLocked(std::string_view name, int32_t defaultValue);
    std::string getStringLocked(std::string_view name, std::string_view defaultValue);

    std::unique_ptr<SettingsDatabase> database_;
    std::string path_;  // the current key, Windows-1252
    int32_t credits_ = 0;
    std::string fontName_;
    int32_t nonAscentDescent_ = 2;
    std::vector<Table> tables_;
};

}  // namespace sprite
