// sprite::User: the settings store's operations on its database, and the high-score tables.
#include "sprite/store/User.h"

#include <atomic>
#include <climits>
#include <cstring>

#include "sprite/store/SettingsDatabase.h"

namespace sprite {

namespace {

// Loading stops here even when a damaged or hostile store holds an endless run of records.
constexpr int kMaxStoredScores = 1000;

std::string databaseFileIn(const std::string& directory) {
    if (directory.empty())
        return directory;
    std::string file = directory;
    if (file.back() != '/')
        file.push_back('/');
    return file + SettingsDatabase::kFileName;
}

// A decimal number with optional blanks around it and an optional sign, within 32 bits.
bool parseDecimal(std::string_view text, int32_t& value) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    size_t digitsStart = i;
    int64_t magnitude = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > static_cast<int64_t>(INT32_MAX) + 1)
            return false;
        ++i;
    }
    if (i == digitsStart)
        return false;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    if (i != text.size())
        return false;
    int64_t result = negative ? -magnitude : magnitude;
    if (result > INT32_MAX || result < INT32_MIN)
        return false;
    value = static_cast<int32_t>(result);
    return true;
}

lang::String* newString(std::string_view text) {
    return new lang::String(text.data(), 0, static_cast<int>(text.size()));
}

std::string indexed(const char* name, int index) {
    return name + std::to_string(index);
}

// Constant-initialised, so a handler installed from another library's static object is never lost to
// the order in which the libraries' statics start.
std::atomic<User::FontFaceHandler> fontFaceHandler{nullptr};

}  // namespace

User::FontFaceHandler User::setFontFaceHandler(FontFaceHandler handler) {
    return fontFaceHandler.exchange(handler);
}

User::User() : User(SettingsDatabase::defaultDirectory().c_str()) {}

User::User(const char* directory)
    : database_(std::make_unique<SettingsDatabase>(databaseFileIn(directory != nullptr ? directory : ""))) {}

User::~User() = default;

bool User::isAvailable() const {
    return database_->isOpen();
}

const std::string& User::databaseFile() const {
    return database_->file();
}

void User::resolve(std::string_view name, std::string& key, std::string& value) const {
    key = path_;
    size_t slash = name.rfind('\\');
    if (slash == std::string_view::npos) {
        value.assign(name);
        return;
    }
    key.push_back('\\');
    key.append(name.substr(0, slash));
    value.assign(name.substr(slash + 1));
}

bool User::setPath(std::string_view name) {
    lang::String face;
    bool opened = false;
    {
        lang::Synchronized guard(this, true);
        path_ = kProgramRoot;
        path_.append(name);
        // When the key cannot be created the reads below answer their defaults.
        opened = database_->createKey(path_);
        credits_ = getIntLocked("CREDITS", 0);
        loadScoresLocked();
        fontName_ = getStringLocked("fontName", "");
        nonAscentDescent_ = getIntLocked("nonAscentDescent", 2);
        face.assign(fontName_.c_str());
    }
    // Outside the store's lock: the font layer takes locks of its own.
    FontFaceHandler handler = fontFaceHandler.load();
    if (face.length() > 0 && handler != nullptr)
        handler(face);
    return opened;
}

int32_t User::getIntLocked(std::string_view name, int32_t defaultValue) {
    std::string key;
    std::string valueName;
    resolve(name, key, valueName);
    SettingsDatabase::Value value;
    if (!database_->read(key, valueName, value))
        return defaultValue;
    if (value.type == SettingsDatabase::Type::Integer) {
        if (value.integer < INT32_MIN || value.integer > INT32_MAX)
            return defaultValue;
        return static_cast<int32_t>(value.integer);
    }
    int32_t number = 0;
    if (value.type == SettingsDatabase::Type::Text && parseDecimal(value.data, number))
        return number;
    return defaultValue;
}

int32_t User::getInt(std::string_view name, int32_t defaultValue) {
    lang::Synchronized guard(this, true);
    return getIntLocked(name, defaultValue);
}

void User::setInt(std::string_view name, int32_t value) {
    lang::Synchronized guard(this, true);
    std::string key;
    std::string valueName;
    resolve(name, key, valueName);
    database_->writeInteger(key, valueName, value);
}

std::string User::getStringLocked(std::string_view name, std::string_view defaultValue) {
    std::string key;
    std::string valueName;
    resolve(name, key, valueName);
    SettingsDatabase::Value value;
    if (!database_->read(key, valueName, value) || value.type != SettingsDatabase::Type::Text) {
        return std::string(defaultValue);
    }
    std::string& text = value.data;
    size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    if (text.size() > static_cast<size_t>(kMaxStringBytes))
        text.resize(kMaxStringBytes);
    return text;
}

lang::String* User::getString(std::string_view name, std::string_view defaultValue) {
    lang::Synchronized guard(this, true);
    return newString(getStringLocked(name, defaultValue));
}

void User::setString(std::string_view name, std::string_view value) {
    lang::Synchronized guard(this, true);
    std::string key;
    std::string valueName;
    resolve(name, key, valueName);
    database_->writeText(key, valueName, value);
}

bool User::getBytes(std::string_view name, lang::ByteArray& bytes) {
    lang::Synchronized guard(this, true);
    std::string key;
    std::string valueName;
    resolve(name, key, valueName);
    SettingsDatabase::Value value;
    if (!database_->read(key, valueName, value) || value.type != SettingsDatabase::Type::Bytes)
        return false;
    if (value.data.size() > static_cast<size_t>(INT32_MAX))
        return false;
    bytes.setSize(static_cast<int>(value.data.size()));
    if (!value.data.empty())
        std::memcpy(bytes.data(), value.data.data(), value.data.size());
    return true;
}

void User::setBytes(std::string_view name, const lang::ByteArray& bytes) {
    lang::Synchronized guard(this, true);
    std::string key;
    std::string valueName;
    resolve(name, key, valueName);
    auto& array = const_cast<lang::ByteArray&>(bytes);
    database_->writeBytes(key, valueName, array.data(), static_cast<size_t>(array.length()));
}

bool User::remove(std::string_view name) {
    lang::Synchronized guard(this, true);
    std::string key;
    std::string valueName;
    resolve(name, key, valueName);
    if (database_->deleteValue(key, valueName))
        return true;
    return removeKeyLocked(name);
}

bool User::removeKey(std::string_view name) {
    lang::Synchronized guard(this, true);
    return removeKeyLocked(name);
}

bool User::removeKeyLocked(std::string_view name) {
    // An empty name would mean the current key itself, which a delete of a sub-key never removes.
    bool onlySeparators = name.find_first_not_of('\\') == std::string_view::npos;
    if (onlySeparators)
        return false;
    std::string subKey = path_;
    subKey.push_back('\\');
    subKey.append(name);
    return database_->deleteKey(subKey);
}

void User::listSubKeys(util::Vector& names) {
    std::vector<std::string> found;
    {
        lang::Synchronized guard(this, true);
        found = database_->subKeys(path_);
    }
    for (const std::string& name : found) {
        lang::Ref<lang::String> text = lang::adopt(newString(name));
        names.addElement(text.get());
    }
}

User::Table* User::findTable(std::string_view mode, bool create) {
    for (Table& table : tables_) {
        if (table.mode.view() == mode)
            return &table;
    }
    if (!create)
        return nullptr;
    Table table;
    table.mode.assign(std::string(mode).c_str());
    tables_.push_back(std::move(table));
    return &tables_.back();
}

int User::insertScore(const lang::Ref<ScoreObject>& record) {
    Table* table = findTable(record->mode().view(), true);
    auto& records = table->records;
    int rank = -1;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i]->score() < record->score()) {
            rank = static_cast<int>(i);
            break;
        }
    }
    if (rank < 0) {
        if (records.size() >= static_cast<size_t>(kScoresPerTable))
            return -1;
        rank = static_cast<int>(records.size());
    }
    records.insert(records.begin() + rank, record);
    if (records.size() > static_cast<size_t>(kScoresPerTable))
        records.resize(kScoresPerTable);
    return rank;
}

void User::loadScoresLocked() {
    tables_.clear();
    for (int i = 0; i < kMaxStoredScores; ++i) {
        std::string scoreName = indexed("SCORE", i);
        std::string key;
        std::string valueName;
        resolve(scoreName, key, valueName);
        SettingsDatabase::Value value;
        if (!database_->read(key, valueName, value))
            break;
        int32_t score = getIntLocked(scoreName, 0);
        std::string name = getStringLocked(indexed("SCORENAME", i), "");
        int32_t level = getIntLocked(indexed("LEVEL", i), 0);
        std::string mode = getStringLocked(indexed("SCOREMODE", i), "");
        int32_t setting = getIntLocked(indexed("SCORESETTING", i), 0);
        // Inserted in order rather than appended, so that a hand-edited store still gives sorted tables
        // of at most ten records.
        insertScore(lang::make<ScoreObject>(name.c_str(), score, level, mode.c_str(), setting));
    }
}

void User::loadScores() {
    lang::Synchronized guard(this, true);
    loadScoresLocked();
}

void User::saveScoresLocked() {
    // The tables are stored one after the other under one running index; loading sorts them back
    // into their modes.
    int index = 0;
    for (const Table& table : tables_) {
        for (const lang::Ref<ScoreObject>& record : table.records) {
            std::string key;
            std::string valueName;
            resolve(indexed("SCORENAME", index), key, valueName);
            database_->writeText(key, valueName, record->name().view());
            resolve(indexed("SCORE", index), key, valueName);
            database_->writeInteger(key, valueName, record->score());
            resolve(indexed("LEVEL", index), key, valueName);
            database_->writeInteger(key, valueName, record->level());
            resolve(indexed("SCOREMODE", index), key, valueName);
            database_->writeText(key, valueName, record->mode().view());
            resolve(indexed("SCORESETTING", index), key, valueName);
            database_->writeInteger(key, valueName, record->setting());
            ++index;
        }
    }
    // Records left over from longer tables would be loaded again: remove them.
    for (; index < kMaxStoredScores; ++index) {
        std::string key;
        std::string valueName;
        resolve(indexed("SCORE", index), key, valueName);
        if (!database_->deleteValue(key, valueName))
            break;
        for (const char* name : {"SCORENAME", "LEVEL", "SCOREMODE", "SCORESETTING"}) {
            resolve(indexed(name, index), key, valueName);
            database_->deleteValue(key, valueName);
        }
    }
}

void User::saveScores() {
    lang::Synchronized guard(this, true);
    saveScoresLocked();
}

int User::addScore(ScoreObject* record) {
    if (record == nullptr)
        return -1;
    lang::Synchronized guard(this, true);
    int rank = insertScore(lang::share(record));
    if (rank >= 0)
        saveScoresLocked();
    return rank;
}

int User::getScoreCount(std::string_view mode) {
    lang::Synchronized guard(this, true);
    Table* table = findTable(mode, false);
    return table != nullptr ? static_cast<int>(table->records.size()) : 0;
}

ScoreObject* User::getScore(std::string_view mode, int rank) {
    lang::Synchronized guard(this, true);
    Table* table = findTable(mode, false);
    if (table == nullptr || rank < 0 || rank >= static_cast<int>(table->records.size()))
        return nullptr;
    return table->records[static_cast<size_t>(rank)].get();
}

int32_t User::credits() {
    lang::Synchronized guard(this, true);
    return credits_;
}

lang::String* User::fontName() {
    lang::Synchronized guard(this, true);
    return newString(fontName_);
}

int32_t User::nonAscentDescent() {
    lang::Synchronized guard(this, true);
    return nonAscentDescent_;
}

lang::String* User::path() {
    lang::Synchronized guard(this, true);
    return newString(path_);
}

}  // namespace sprite
