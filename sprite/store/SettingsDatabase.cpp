// The settings store's database on SQLite: opening with an integrity check, the key tree, typed values.
#include "sprite/store/SettingsDatabase.h"

#include <pwd.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "lang/CodePage.h"

namespace sprite {

namespace {

constexpr int kSchemaVersion = 1;
// "QBST", so that `file` and SQLite tools can tell the store's files from other databases.
constexpr int kApplicationId = 0x51425354;
// A second game process on the same file waits this long for the other's write to end.
constexpr int kBusyTimeoutMs = 3000;

// keys: one row per key. path is the folded full path (the primary key), parent the folded path of the
//   key above it ('' below the root), name the key's own part as first written.
// settings: one row per value. key is the folded path of its key, fold the folded value name, name the
//   value name as first written, data an INTEGER, a TEXT (Windows-1252 text as UTF-8) or a BLOB.
// Folding lower-cases Windows-1252 letters before the text is turned into UTF-8, so that equal folds
// mean names equal without regard to case; binary comparison of the UTF-8 keeps the order of a key's
// descendants contiguous after its path and a backslash.
const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS keys ("
    "  path TEXT PRIMARY KEY,"
    "  parent TEXT NOT NULL,"
    "  name TEXT NOT NULL"
    ") WITHOUT ROWID;"
    "CREATE INDEX IF NOT EXISTS keys_by_parent ON keys (parent);"
    "CREATE TABLE IF NOT EXISTS settings ("
    "  key TEXT NOT NULL,"
    "  fold TEXT NOT NULL,"
    "  name TEXT NOT NULL,"
    "  data,"
    "  PRIMARY KEY (key, fold)"
    ") WITHOUT ROWID;";

std::string utf8(std::string_view text) {
    return lang::cp1252ToUtf8(text);
}

std::string fold(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(lang::toLower1252(static_cast<unsigned char>(c)));
    return lang::cp1252ToUtf8(lower);
}

// The key path without empty parts: "\Software\\Quillbeck\" becomes "Software\Quillbeck".
std::string normalise(std::string_view path) {
    std::string out;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (end > start) {
            if (!out.empty())
                out.push_back('\\');
            out.append(path.substr(start, end - start));
        }
        start = end + 1;
    }
    return out;
}

bool isDamage(int rc) {
    int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

bool fileExists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

// Creates the folder and the folders above it, private to the user. False with errno set on failure.
bool makeDirectories(const std::string& directory) {
    if (directory.empty())
        return true;
    size_t position = 0;
    while (position != std::string::npos) {
        position = directory.find('/', position + 1);
        std::string part = directory.substr(0, position);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat info;
    if (::stat(directory.c_str(), &info) != 0)
        return false;
    if (!S_ISDIR(info.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

// file + ".damaged-" + the UTC date and time, with a counter when that name is taken.
std::string asideName(const std::string& file) {
    std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &utc);
    std::string base = file + ".damaged-" + stamp;
    std::string name = base;
    for (int n = 2; fileExists(name) || fileExists(name + "-wal"); ++n)
        name = base + "-" + std::to_string(n);
    return name;
}

// A report of many lines (the integrity check lists every fault) as one short line for the log.
std::string oneLine(const std::string& text) {
    constexpr size_t kLongest = 160;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            line += "; ";
        } else if (c != '\r') {
            line.push_back(c);
        }
    }
    if (line.size() > kLongest)
        line = line.substr(0, kLongest) + "...";
    return line;
}

enum class OpenResult { Ok, Damaged, Failed };

// Resets a statement and its bindings when the scope ends, whatever path leaves it.
class Use {
public:
    explicit Use(sqlite3_stmt* statement) : statement_(statement) {}
    ~Use() {
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

    void text(int index, const std::string& value) {
        sqlite3_bind_text(statement_, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT);
    }
    int step() { return sqlite3_step(statement_); }
    sqlite3_stmt* get() const { return statement_; }

private:
    sqlite3_stmt* statement_;
};

}  // namespace

struct SettingsDatabase::Connection {
    sqlite3* db = nullptr;
    sqlite3_stmt* readValue = nullptr;
    sqlite3_stmt* writeValue = nullptr;
    sqlite3_stmt* insertKey = nullptr;
    sqlite3_stmt* findKey = nullptr;
    sqlite3_stmt* deleteValue = nullptr;
    sqlite3_stmt* deleteKeyValues = nullptr;
    sqlite3_stmt* deleteKeys = nullptr;
    sqlite3_stmt* listKeys = nullptr;
    sqlite3_stmt* begin = nullptr;
    sqlite3_stmt* commit = nullptr;
    sqlite3_stmt* rollback = nullptr;

    ~Connection() { close(); }

    void close() {
        for (sqlite3_stmt** s : {&readValue, &writeValue, &insertKey, &findKey, &deleteValue,
                                 &deleteKeyValues, &deleteKeys, &listKeys, &begin, &commit, &rollback}) {
            sqlite3_finalize(*s);
            *s = nullptr;
        }
        sqlite3_close_v2(db);
        db = nullptr;
    }

    const char* error() const { return db != nullptr ? sqlite3_errmsg(db) : "out of memory"; }

    OpenResult open(const std::string& file, std::string& reason);
    OpenResult check(std::string& reason);
    bool prepare(const char* sql, sqlite3_stmt** statement) {
        return sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, statement, nullptr) == SQLITE_OK;
    }
    bool beginWrite() { return Use(begin).step() == SQLITE_DONE; }
    bool commitWrite() {
        if (Use(commit).step() == SQLITE_DONE)
            return true;
        Use(rollback).step();
        return false;
    }
    void rollbackWrite() { Use(rollback).step(); }
    // Inserts the rows of the key and every key above it that are missing.
    bool ensureKeys(const std::string& path);
};

OpenResult SettingsDatabase::Connection::check(std::string& reason) {
    // integrity_check also catches a file that is not a database: SQLite reads its header first.
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW) {
            const char* verdict = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            if (verdict == nullptr || std::strcmp(verdict, "ok") != 0) {
                reason = oneLine(verdict != nullptr ? verdict : "integrity check failed");
                sqlite3_finalize(statement);
                return OpenResult::Damaged;
            }
            rc = SQLITE_DONE;
        }
    }
    if (rc != SQLITE_DONE && rc != SQLITE_OK)
        reason = error();
    sqlite3_finalize(statement);
    if (rc == SQLITE_DONE || rc == SQLITE_OK)
        return OpenResult::Ok;
    // Another process holding a lock is no damage; go on and let the busy time-out deal with it.
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        return OpenResult::Ok;
    return isDamage(rc) ? OpenResult::Damaged : OpenResult::Failed;
}

OpenResult SettingsDatabase::Connection::open(const std::string& file, std::string& reason) {
    int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        reason = error();
        return isDamage(rc) ? OpenResult::Damaged : OpenResult::Failed;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);

    OpenResult checked = check(reason);
    if (checked != OpenResult::Ok)
        return checked;

    int version = 0;
    int application = 0;
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        version = sqlite3_column_int(statement, 0);
    }
    sqlite3_finalize(statement);
    statement = nullptr;
    if (sqlite3_prepare_v2(db, "PRAGMA application_id", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW) {
        application = sqlite3_column_int(statement, 0);
    }
    sqlite3_finalize(statement);
    if (application != 0 && application != kApplicationId) {
        reason = "not a settings database of this game";
        return OpenResult::Damaged;
    }
    if (version > kSchemaVersion) {
        // Left untouched, so that the newer game that wrote it keeps its settings.
        reason = "written by a newer version of the game (layout " + std::to_string(version) + ")";
        return OpenResult::Failed;
    }

    // WAL keeps readers and the writer apart and, with synchronous FULL, makes every acknowledged
    // commit survive a crash of the process or of the machine.
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);

    std::string setup = std::string("BEGIN IMMEDIATE;") + kSchema +
                        "PRAGMA user_version=" + std::to_string(kSchemaVersion) +
                        ";PRAGMA application_id=" + std::to_string(kApplicationId) + ";COMMIT;";
    rc = sqlite3_exec(db, setup.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        reason = error();
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return isDamage(rc) ? OpenResult::Damaged : OpenResult::Failed;
    }

    bool prepared =
        prepare("SELECT data FROM settings WHERE key = ?1 AND fold = ?2", &readValue) &&
        prepare(
            "INSERT INTO settings (key, fold, name, data) VALUES (?1, ?2, ?3, ?4)"
            " ON CONFLICT (key, fold) DO UPDATE SET data = excluded.data",
            &writeValue) &&
        prepare("INSERT OR IGNORE INTO keys (path, parent, name) VALUES (?1, ?2, ?3)", &insertKey) &&
        prepare("SELECT 1 FROM keys WHERE path = ?1", &findKey) &&
        prepare("DELETE FROM settings WHERE key = ?1 AND fold = ?2", &deleteValue) &&
        prepare("DELETE FROM settings WHERE key = ?1 OR (key >= ?2 AND key < ?3)", &deleteKeyValues) &&
        prepare("DELETE FROM keys WHERE path = ?1 OR (path >= ?2 AND path < ?3)", &deleteKeys) &&
        prepare("SELECT name FROM keys WHERE parent = ?1 ORDER BY path", &listKeys) &&
        prepare("BEGIN IMMEDIATE", &begin) && prepare("COMMIT", &commit) && prepare("ROLLBACK", &rollback);
    if (!prepared) {
        // Tables of the same names but another layout: a database of something else.
        reason = std::string("unexpected tables: ") + error();
        return OpenResult::Damaged;
    }
    return OpenResult::Ok;
}

bool SettingsDatabase::Connection::ensureKeys(const std::string& path) {
    size_t start = 0;
    std::string parentFold;
    while (start < path.size()) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        std::string pathFold = fold(std::string_view(path).substr(0, end));
        Use use(insertKey);
        use.text(1, pathFold);
        use.text(2, parentFold);
        use.text(3, utf8(std::string_view(path).substr(start, end - start)));
        if (use.step() != SQLITE_DONE)
            return false;
        parentFold = std::move(pathFold);
        start = end + 1;
    }
    return true;
}

SettingsDatabase::SettingsDatabase(std::string file) : file_(std::move(file)) {
    if (file_.empty()) {
        std::fprintf(stderr, "Lumaroo: no home folder known; settings will not be kept\n");
        return;
    }
    size_t slash = file_.rfind('/');
    if (slash != std::string::npos && !makeDirectories(file_.substr(0, slash))) {
        std::fprintf(stderr,
                     "Lumaroo: cannot create the settings folder of \"%s\" (%s); settings will not be kept\n",
                     file_.c_str(), std::strerror(errno));
        return;
    }
    auto connection = std::make_unique<Connection>();
    std::string reason;
    OpenResult result = connection->open(file_, reason);
    if (result == OpenResult::Damaged) {
        connection->close();
        std::string aside = asideName(file_);
        if (std::rename(file_.c_str(), aside.c_str()) != 0) {
            std::fprintf(stderr,
                         "Lumaroo: settings database \"%s\" is damaged (%s) and cannot be moved aside (%s); "
                         "settings will not be kept\n",
                         file_.c_str(), reason.c_str(), std::strerror(errno));
            return;
        }
        // The write-ahead log belongs to the damaged file; a fresh database must not replay it.
        if (fileExists(file_ + "-wal"))
            std::rename((file_ + "-wal").c_str(), (aside + "-wal").c_str());
        if (fileExists(file_ + "-journal"))
            std::rename((file_ + "-journal").c_str(), (aside + "-journal").c_str());
        ::unlink((file_ + "-shm").c_str());
        std::fprintf(stderr,
                     "Lumaroo: settings database \"%s\" was damaged (%s); moved it to \"%s\" and started a "
                     "fresh one\n",
                     file_.c_str(), reason.c_str(), aside.c_str());
        connection = std::make_unique<Connection>();
        result = connection->open(file_, reason);
    }
    if (result != OpenResult::Ok) {
        std::fprintf(stderr,
                     "Lumaroo: settings database \"%s\" cannot be used (%s); settings will not be kept\n",
                     file_.c_str(), reason.c_str());
        return;
    }
    connection_ = std::move(connection);
}

SettingsDatabase::~SettingsDatabase() = default;

bool SettingsDatabase::isOpen() const {
    return connection_ != nullptr;
}

bool SettingsDatabase::read(std::string_view key, std::string_view name, Value& out) {
    out = Value();
    if (!connection_)
        return false;
    Use use(connection_->readValue);
    use.text(1, fold(normalise(key)));
    use.text(2, fold(name));
    if (use.step() != SQLITE_ROW)
        return false;
    sqlite3_stmt* statement = use.get();
    switch (sqlite3_column_type(statement, 0)) {
        case SQLITE_INTEGER:
            out.type = Type::Integer;
            out.integer = sqlite3_column_int64(statement, 0);
            break;
        case SQLITE_TEXT: {
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
            int length = sqlite3_column_bytes(statement, 0);
            out.type = Type::Text;
            if (text != nullptr)
                out.data = lang::utf8ToCp1252(std::string_view(text, static_cast<size_t>(length)));
            break;
        }
        case SQLITE_BLOB: {
            const void* bytes = sqlite3_column_blob(statement, 0);
            int length = sqlite3_column_bytes(statement, 0);
            out.type = Type::Bytes;
            if (bytes != nullptr)
                out.data.assign(static_cast<const char*>(bytes), static_cast<size_t>(length));
            break;
        }
        default:
            out.type = Type::Other;
            break;
    }
    return true;
}

bool SettingsDatabase::writeValue(std::string_view key, std::string_view name, const Value& value) {
    if (!connection_)
        return false;
    Connection& c = *connection_;
    std::string path = normalise(key);
    if (!c.beginWrite()) {
        std::fprintf(stderr, "Lumaroo: settings value \"%.*s\" not stored in \"%s\": %s\n",
                     static_cast<int>(name.size()), name.data(), file_.c_str(), c.error());
        return false;
    }
    bool stored = c.ensureKeys(path);
    if (stored) {
        Use use(c.writeValue);
        use.text(1, fold(path));
        use.text(2, fold(name));
        use.text(3, utf8(name));
        sqlite3_stmt* statement = use.get();
        if (value.type == Type::Integer) {
            sqlite3_bind_int64(statement, 4, value.integer);
        } else if (value.type == Type::Text) {
            use.text(4, utf8(value.data));
        } else {
            // A non-null pointer, so that no bytes at all are an empty value rather than NULL.
            sqlite3_bind_blob(statement, 4, value.data.empty() ? "" : value.data.data(),
                              static_cast<int>(value.data.size()), SQLITE_TRANSIENT);
        }
        stored = use.step() == SQLITE_DONE;
    }
    if (stored) {
        stored = c.commitWrite();
    } else {
        c.rollbackWrite();
    }
    if (!stored) {
        std::fprintf(stderr, "Lumaroo: settings value \"%.*s\" not stored in \"%s\": %s\n",
                     static_cast<int>(name.size()), name.data(), file_.c_str(), c.error());
    }
    return stored;
}

bool SettingsDatabase::writeInteger(std::string_view key, std::string_view name, int32_t value) {
    Value v;
    v.type = Type::Integer;
    v.integer = value;
    return writeValue(key, name, v);
}

bool SettingsDatabase::writeText(std::string_view key, std::string_view name, std::string_view text) {
    Value v;
    v.type = Type::Text;
    v.data.assign(text);
    return writeValue(key, name, v);
}

bool SettingsDatabase::writeBytes(std::string_view key, std::string_view name, const uint8_t* bytes,
                                  size_t length) {
    Value v;
    v.type = Type::Bytes;
    if (length > 0)
        v.data.assign(reinterpret_cast<const char*>(bytes), length);
    return writeValue(key, name, v);
}

bool SettingsDatabase::createKey(std::string_view key) {
    if (!connection_)
        return false;
    Connection& c = *connection_;
    if (!c.beginWrite())
        return false;
    if (!c.ensureKeys(normalise(key))) {
        c.rollbackWrite();
        return false;
    }
    return c.commitWrite();
}

bool SettingsDatabase::keyExists(std::string_view key) {
    if (!connection_)
        return false;
    std::string path = normalise(key);
    if (path.empty())
        return true;
    Use use(connection_->findKey);
    use.text(1, fold(path));
    return use.step() == SQLITE_ROW;
}

bool SettingsDatabase::deleteValue(std::string_view key, std::string_view name) {
    if (!connection_)
        return false;
    Use use(connection_->deleteValue);
    use.text(1, fold(normalise(key)));
    use.text(2, fold(name));
    return use.step() == SQLITE_DONE && sqlite3_changes(connection_->db) > 0;
}

bool SettingsDatabase::deleteKey(std::string_view key) {
    if (!connection_)
        return false;
    std::string path = fold(normalise(key));
    if (path.empty())
        return false;
    Connection& c = *connection_;
    if (!c.beginWrite())
        return false;
    bool existed = false;
    {
        Use use(c.findKey);
        use.text(1, path);
        existed = use.step() == SQLITE_ROW;
    }
    // Everything below the key sorts between its path followed by '\' and its path followed by ']',
    // the next character.
    bool done = true;
    for (sqlite3_stmt* statement : {c.deleteKeyValues, c.deleteKeys}) {
        Use use(statement);
        use.text(1, path);
        use.text(2, path + "\\");
        use.text(3, path + "]");
        done = done && use.step() == SQLITE_DONE;
    }
    if (!done) {
        c.rollbackWrite();
        return false;
    }
    return c.commitWrite() && existed;
}

std::vector<std::string> SettingsDatabase::subKeys(std::string_view key) {
    std::vector<std::string> names;
    if (!connection_)
        return names;
    Use use(connection_->listKeys);
    use.text(1, fold(normalise(key)));
    while (use.step() == SQLITE_ROW) {
        const char* text = reinterpret_cast<const char*>(sqlite3_column_text(use.get(), 0));
        int length = sqlite3_column_bytes(use.get(), 0);
        if (text != nullptr)
            names.push_back(lang::utf8ToCp1252(std::string_view(text, static_cast<size_t>(length))));
    }
    return names;
}

std::string SettingsDatabase::defaultDirectory() {
    const char* own = std::getenv("LUMAROO_SETTINGS_DIR");
    if (own != nullptr && own[0] != 0)
        return own;
    // Relative XDG paths are invalid and ignored, as the base-directory rules ask.
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/')
        return std::string(data) + "/quillbeck";
    std::string home;
    const char* homeVariable = std::getenv("HOME");
    if (homeVariable != nullptr && homeVariable[0] != 0) {
        home = homeVariable;
    } else {
        struct passwd entry;
        struct passwd* found = nullptr;
        char buffer[4096];
        if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
            found->pw_dir != nullptr) {
            home = found->pw_dir;
        }
    }
    if (home.empty())
        return home;
    return home + "/.local/share/quillbeck";
}

}  // namespace sprite
