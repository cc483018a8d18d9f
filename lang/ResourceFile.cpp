// The data archive: the directory reader, entry look-ups, library modules and the process-wide list.
#include "lang/ResourceFile.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "lang/CodePage.h"
#include "lang/Exception.h"
#include "lang/ProgramPath.h"
#include "util/Hashtable.h"

namespace lang {

namespace {

// Guards the list head and every `next_` link. Never destroyed, so that archives released during
// static destruction can still use it.
std::mutex& listGuard() {
    static auto* guard = new std::mutex;
    return *guard;
}

ResourceFile* gListHead = nullptr;  // one reference, held by the list

[[noreturn]] void fail(const std::string& message) {
    throw new Exception(message.c_str());
}

// Reads `length` bytes at `offset`, repeating short reads; returns how many arrived.
size_t readAt(int fd, uint8_t* into, size_t length, int64_t offset) {
    size_t done = 0;
    while (done < length) {
        ssize_t got = ::pread(fd, into + done, length - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += static_cast<size_t>(got);
    }
    return done;
}

// Sequential reads of the directory through a block buffer, with the position kept for messages.
class DirectoryReader {
public:
    DirectoryReader(int fd, int64_t fileSize) : fd_(fd), fileSize_(fileSize) {}

    int64_t position() const { return position_; }
    int64_t remaining() const { return fileSize_ - position_; }

    // False when the file ends first.
    bool bytes(uint8_t* into, size_t length) {
        while (length > 0) {
            if (next_ == filled_) {
                filled_ = readAt(fd_, buffer_, sizeof buffer_, position_);
                next_ = 0;
                if (filled_ == 0)
                    return false;
            }
            size_t take = std::min(length, filled_ - next_);
            std::memcpy(into, buffer_ + next_, take);
            next_ += take;
            position_ += static_cast<int64_t>(take);
            into += take;
            length -= take;
        }
        return true;
    }

    bool word(uint32_t& value) {
        uint8_t b[4];
        if (!bytes(b, 4))
            return false;
        value = static_cast<uint32_t>(b[0]) | static_cast<uint32_t>(b[1]) << 8 |
                static_cast<uint32_t>(b[2]) << 16 | static_cast<uint32_t>(b[3]) << 24;
        return true;
    }

private:
    int fd_;
    int64_t fileSize_;
    int64_t position_ = 0;
    uint8_t buffer_[65536];
    size_t filled_ = 0;
    size_t next_ = 0;
};

// The bytes of an item read from the file: at least one byte is allocated so that an empty entry
// still has a data pointer, which marks it as read.
uint8_t* allocateData(int length) {
    auto* data = static_cast<uint8_t*>(std::calloc(static_cast<size_t>(length > 0 ? length : 1), 1));
    if (data == nullptr)
        std::abort();
    return data;
}

bool endsWithModuleExtension(std::string_view name) {
    if (name.size() < 4)
        return false;
    std::string_view ending = name.substr(name.size() - 4);
    return ending == ".dll" || ending == ".DLL";
}

}  // namespace

FileItem::~FileItem() {
    std::free(data_);
}

DLLItem::DLLItem(ResourceFile* module, const uint8_t* data, int length)
    : module_(share(module)), data_(data), length_(length) {}

ResourceFileHeader::ResourceFileHeader(const String& path) : path_(path) {
    fd_ = ::open(path_.chars(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (fd_ >= 0 && (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))) {
        ::close(fd_);
        fd_ = -1;
    }
    if (fd_ < 0)
        fail(std::string("Error Opening ") + path_.chars());
    fileSize_ = info.st_size;
    directory_ = make<util::Hashtable>();
    try {
        readDirectory();
    } catch (...) {
        // The destructor does not run for a constructor that throws (the directory's handle does).
        std::free(preamble_);
        ::close(fd_);
        throw;
    }
}

void ResourceFileHeader::readDirectory() {
    const std::string where = std::string("Corrupt archive ") + path_.chars() + ": ";
    DirectoryReader in(fd_, fileSize_);
    uint32_t unused = 0;
    uint32_t preambleLength = 0;
    if (!in.word(unused) || !in.word(preambleLength)) {
        fail(where + "the file ends inside the 8-byte header (" + std::to_string(fileSize_) + " bytes)");
    }
    if (preambleLength > in.remaining()) {
        fail(where + "the preamble of " + std::to_string(preambleLength) +
             " bytes runs past the end of "
             "the file (" +
             std::to_string(fileSize_) + " bytes)");
    }
    preambleLength_ = static_cast<int>(preambleLength);
    preamble_ = allocateData(preambleLength_);
    in.bytes(preamble_, preambleLength);
    uint32_t count = 0;
    if (!in.word(count))
        fail(where + "the file ends before the entry count");
    // Each directory entry takes at least 9 bytes: refuse a count the file cannot hold before reading.
    if (static_cast<int64_t>(count) * 9 > in.remaining()) {
        fail(where + "the directory of " + std::to_string(count) +
             " entries runs past the end of the file (" + std::to_string(fileSize_) + " bytes)");
    }
    char name[256];
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t nameLength = 0;
        uint32_t offset = 0;
        uint32_t size = 0;
        if (!in.bytes(&nameLength, 1) || !in.bytes(reinterpret_cast<uint8_t*>(name), nameLength) ||
            !in.word(offset) || !in.word(size)) {
            fail(where + "directory entry " + std::to_string(i) + " of " + std::to_string(count) +
                 " runs past the end of the file");
        }
        name[nameLength] = 0;
        if (static_cast<int64_t>(offset) + size > fileSize_ || size > INT_MAX) {
            fail(where + "entry \"" + name + "\" (offset " + std::to_string(offset) + ", " +
                 std::to_string(size) + " bytes) runs past the end of the file (" +
                 std::to_string(fileSize_) + " bytes)");
        }
        auto item = make<FileItem>(static_cast<int>(size), offset);
        directory_->put(name, item.get());
    }
}

ResourceFileHeader::~ResourceFileHeader() {
    std::free(preamble_);
    if (fd_ >= 0)
        ::close(fd_);
}

int ResourceFileHeader::entryCount() const {
    return directory_->size();
}

FileItem* ResourceFileHeader::find(const String& name, bool keep) {
    Synchronized guard(this, true);
    auto* entry = static_cast<FileItem*>(directory_->get(&name));
    if (entry == nullptr)
        return nullptr;
    if (entry->data_ != nullptr) {
        entry->addRef();
        return entry;
    }
    Ref<FileItem> result = keep ? share(entry) : make<FileItem>(entry->length_, entry->offset_);
    uint8_t* data = allocateData(entry->length_);
    // The directory check keeps every entry inside the file; should the file shrink while open, the
    // missing bytes stay zero.
    readAt(fd_, data, static_cast<size_t>(entry->length_), entry->offset_);
    result->data_ = data;
    return result.detach();
}

ResourceFile::ResourceFile(const char* name) {
    std::string_view requested(name != nullptr ? name : "");
    if (endsWithModuleExtension(requested)) {
        kind_ = kModule;
        std::string path = searchPath(requested);
        if (path.empty())
            path = std::string(requested);
        module_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module_ != nullptr) {
            lookup_ = reinterpret_cast<ResourceLookupFunction>(::dlsym(module_, kResourceLookupSymbol));
        }
        return;
    }
    kind_ = kArchiveFile;
    std::string path = searchPath(requested);
    // A file found nowhere is reported under the name that was asked for.
    String full(path.empty() ? std::string(requested).c_str() : path.c_str());
    header_ = make<ResourceFileHeader>(full);
}

ResourceFile::~ResourceFile() {
    header_.reset();
    if (module_ != nullptr)
        ::dlclose(module_);
}

ResourceItem* ResourceFile::lookup(const String& name, bool keep, bool& searchEnds) {
    if (kind_ == kModule) {
        searchEnds = false;
        if (lookup_ == nullptr)
            return nullptr;
        unsigned int size = 0;
        const unsigned char* bytes = lookup_("FILE", name.chars(), &size);
        if (bytes == nullptr || size > INT_MAX)
            return nullptr;
        return new DLLItem(this, bytes, static_cast<int>(size));
    }
    if (!header_) {
        searchEnds = false;
        return nullptr;
    }
    searchEnds = true;
    return header_->find(name, keep);
}

void openArchive(const char* name) {
    auto archive = make<ResourceFile>(name);
    openArchive(archive.get());
}

void openArchive(ResourceFile* archive) {
    if (archive == nullptr)
        return;
    std::lock_guard<std::mutex> guard(listGuard());
    archive->addRef();
    if (gListHead == nullptr) {
        gListHead = archive;
        return;
    }
    ResourceFile* last = gListHead;
    while (last->next_)
        last = last->next_.get();
    last->next_ = adopt(archive);
}

void closeArchives() {
    ResourceFile* head;
    {
        std::lock_guard<std::mutex> guard(listGuard());
        head = std::exchange(gListHead, nullptr);
    }
    release(head);
}

ResourceFile* archiveListHead() {
    std::lock_guard<std::mutex> guard(listGuard());
    return gListHead;
}

ResourceItem* getResource(const String& name, bool keep) {
    Ref<ResourceFile> current;
    {
        std::lock_guard<std::mutex> guard(listGuard());
        current = share(gListHead);
    }
    while (current) {
        bool searchEnds = false;
        if (ResourceItem* item = current->lookup(name, keep, searchEnds))
            return item;
        if (searchEnds)
            return nullptr;
        std::lock_guard<std::mutex> guard(listGuard());
        current = current->next_;
    }
    return nullptr;
}

ResourceItem* getResource(const char* name, bool keep) {
    String key(name, true);
    return getResource(key, keep);
}

String* getResourceString(const String& name) {
    Ref<ResourceItem> item = adopt(getResource(name, false));
    if (!item || item->getLength() < 1)
        return new String();
    const auto* bytes = reinterpret_cast<const char*>(item->getData());
    int length = item->getLength();
    // Text entries end with a zero byte; an entry written without one keeps its last character.
    if (bytes[length - 1] == 0)
        --length;
    std::string_view text(bytes, static_cast<size_t>(length));
    bool utf8 = false;
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            utf8 = true;
            break;
        }
    }
    if (utf8) {
        std::string converted = utf8ToCp1252(text);
        return new String(converted.data(), 0, static_cast<int>(converted.size()));
    }
    return new String(bytes, 0, length);
}

String* getResourceString(const char* name) {
    String key(name, true);
    return getResourceString(key);
}

}  // namespace lang
