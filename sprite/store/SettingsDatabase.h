// The settings store's database: a tree of keys holding typed values, kept in one SQLite file per user.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sprite {

// Internal to the settings store (sprite::User); nothing outside sprite/store/ and its tests includes this
// header.
//
// Key paths are Windows-1252 texts whose parts are joined by '\' with no empty part ("" is the root);
// key paths and value names compare without regard to letter case, accented letters included. Every
// write is its own transaction. Texts are stored as UTF-8 so that the file reads well in any SQLite
// tool; every Windows-1252 byte has a Unicode character, so they come back unchanged.
//
// An operation on a database that could not be opened reads nothing and writes nothing.
class SettingsDatabase {
public:
    enum class Type { Missing, Integer, Text, Bytes, Other };

    struct Value {
        Type type = Type::Missing;
        int64_t integer = 0;
        // Text (Windows-1252) or bytes.
        std::string data;
    };

    // Opens the database file, creating it and its folder when missing. A file that is not a database
    // or fails its integrity check is renamed aside (the name gets a date) and a fresh one is started,
    // with one line on standard error. Never throws.
    explicit SettingsDatabase(std::string file);
    ~SettingsDatabase();
    SettingsDatabase(const SettingsDatabase&) = delete;
    SettingsDatabase& operator=(const SettingsDatabase&) = delete;

    bool isOpen() const;
    const std::string& file() const { return file_; }

    // False when the value is missing (out.type is then Missing).
    bool read(std::string_view key, std::string_view name, Value& out);
    // Each creates the key and every key above it when missing. False when nothing was stored.
    bool writeInteger(std::string_view key, std::string_view name, int32_t value);
    bool writeText(std::string_view key, std::string_view name, std::string_view text);
    bool writeBytes(std::string_view key, std::string_view name, const uint8_t* bytes, size_t length);
    bool createKey(std::string_view key);
    bool keyExists(std::string_view key);
    // True when a value was deleted.
    bool deleteValue(std::string_view key, std::string_view name);
    // Deletes the key with every key and value below it; true when the key existed. The root is never
    // deleted.
    bool deleteKey(std::string_view key);
    // The names of the keys directly below key, as first written, in case-insensitive order.
    std::vector<std::string> subKeys(std::string_view key);

    // The folder of the settings database: $LUMAROO_SETTINGS_DIR when set, else $XDG_DATA_HOME/quillbeck,
    // else ~/.local/share/quillbeck. Empty when no home folder is known.
    static std::string defaultDirectory();
    // The database file's name inside that folder.
    static constexpr const char* kFileName = "settings.db";

private:
    struct Connection;

    bool writeValue(std::string_view key, std::string_view name, const Value& value);

    std::string file_;
    std::unique_ptr<Connection> connection_;
};

}  // namespace sprite
