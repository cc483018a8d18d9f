// The data archive: named entries read on demand from an archive file, or from a library module.
#pragma once

#include <cstdint>

#include "lang/Ref.h"
#include "lang/String.h"

namespace util {
class Hashtable;
}

namespace lang {

class ResourceFile;

// One entry's bytes. The item that getResource hands out owns (or pins) them while it lives.
class ResourceItem : public Object {
public:
    LANG_CLASS_NAME(ResourceItem, Object)
    // The entry's bytes; never null for an item handed out by a look-up (an empty entry gives a valid
    // pointer to no bytes).
    virtual const uint8_t* getData() const = 0;
    virtual int getLength() const = 0;
};

// An entry of an archive file: its place in the file and, once read, its bytes (owned).
class FileItem : public ResourceItem {
public:
    FileItem(int length, uint32_t offset) : length_(length), offset_(offset) {}
    ~FileItem() override;

    LANG_CLASS_NAME(FileItem, ResourceItem)
    const uint8_t* getData() const override { return data_; }
    int getLength() const override { return length_; }
    uint32_t getOffset() const { return offset_; }

private:
    friend class ResourceFileHeader;
    uint8_t* data_ = nullptr;  // null until read; guarded by the header's monitor while in the directory
    int length_;
    uint32_t offset_;
};

// An entry of a library module: bytes that belong to the module. The item keeps the module's
// ResourceFile alive, so its bytes stay valid even after the archive list is closed.
class DLLItem : public ResourceItem {
public:
    DLLItem(ResourceFile* module, const uint8_t* data, int length);

    LANG_CLASS_NAME(DLLItem, ResourceItem)
    const uint8_t* getData() const override { return data_; }
    int getLength() const override { return length_; }

private:
    Ref<ResourceFile> module_;
    const uint8_t* data_;
    int length_;
};

// The directory of one open archive file, and the file itself.
//
// Layout (integers 32-bit little-endian): an ignored word; the preamble length N; N preamble bytes;
// the entry count; per entry a one-byte name length L, L name bytes, the entry's absolute offset and
// its size. Entry bytes lie anywhere after the directory.
class ResourceFileHeader : public Object {
public:
    // Opens the file and reads its directory. Throws lang::Exception: "Error Opening " + path when
    // the file cannot be opened, "Corrupt archive " + path + ": ..." (saying which field or entry)
    // when the directory or an entry runs past the end of the file.
    explicit ResourceFileHeader(const String& path);
    ~ResourceFileHeader() override;
    ResourceFileHeader(const ResourceFileHeader&) = delete;
    ResourceFileHeader& operator=(const ResourceFileHeader&) = delete;

    LANG_CLASS_NAME(ResourceFileHeader, Object)

    // The entry `name` (exact, case-sensitive), one reference for the caller, or null. With keep
    // false the bytes belong to the returned item alone; with keep true they stay cached in the
    // directory and later look-ups share them. Holds this header's monitor throughout, so
    // concurrent reads never interleave on the file.
    FileItem* find(const String& name, bool keep);

    const String& path() const { return path_; }
    int entryCount() const;
    // The preamble block, kept for the archive's lifetime and not interpreted.
    const uint8_t* preamble() const { return preamble_; }
    int preambleLength() const { return preambleLength_; }

private:
    void readDirectory();

    String path_;
    int fd_ = -1;
    int64_t fileSize_ = 0;
    uint8_t* preamble_ = nullptr;
    int preambleLength_ = 0;
    Ref<util::Hashtable> directory_;  // String name -> FileItem
};

// The look-up function a library module exports to serve its resources: the bytes and size of the
// resource `name` of kind `type` ("FILE" for archive entries), or null when it has none. The bytes
// must stay valid while the module is loaded.
extern "C" {
typedef const unsigned char* (*ResourceLookupFunction)(const char* type, const char* name,
                                                       unsigned int* size);
}
// The exported symbol name of that function.
inline constexpr const char* kResourceLookupSymbol = "lumaroo_find_resource";

// One archive of the process-wide list: an archive file (kind 1) or a library module (kind 0).
class ResourceFile : public Object {
public:
    static constexpr int kModule = 0;
    static constexpr int kArchiveFile = 1;

    // A name ending in ".dll" or ".DLL" (only these two spellings) is a library module, loaded with
    // dlopen; a module that does not load stays open and misses every look-up. Any other name is an
    // archive file found in the program folder, the current folder, then the folders of PATH; it
    // throws lang::Exception as ResourceFileHeader does (for a file found nowhere, "Error Opening "
    // followed by the name).
    explicit ResourceFile(const char* name);
    ~ResourceFile() override;
    ResourceFile(const ResourceFile&) = delete;
    ResourceFile& operator=(const ResourceFile&) = delete;

    LANG_CLASS_NAME(ResourceFile, Object)

    int kind() const { return kind_; }
    // The archive file's directory (null for a module); no reference for the caller.
    ResourceFileHeader* header() const { return header_.get(); }
    // True for a module that loaded and exports the look-up function.
    bool moduleLoaded() const { return lookup_ != nullptr; }

    // This archive's answer for `name`: an item (one reference for the caller) or null. `searchEnds`
    // tells whether a miss ends the list search (an archive file's miss does, a module's does not).
    ResourceItem* lookup(const String& name, bool keep, bool& searchEnds);

private:
    friend void openArchive(ResourceFile* archive);
    friend ResourceItem* getResource(const String& name, bool keep);
    friend void closeArchives();

    int kind_;
    Ref<ResourceFileHeader> header_;
    void* module_ = nullptr;
    ResourceLookupFunction lookup_ = nullptr;
    Ref<ResourceFile> next_;  // the following archive of the list
};

// Opens the archive `name` and appends it to the process-wide list (it becomes the head when the
// list is empty). Throws lang::Exception as ResourceFile(name) does; the list is unchanged then.
void openArchive(const char* name);
// Appends an open archive to the list, which takes its own reference on it.
void openArchive(ResourceFile* archive);
// Releases the list head, and with it every archive of the list (items handed out stay valid).
void closeArchives();
// The head of the list (no reference for the caller), or null when no archive is open.
ResourceFile* archiveListHead();

// The entry `name` (no "+" in front) from the first archive of the list that answers, one reference
// for the caller, or null: a module that lacks it passes the search on, an archive file ends it.
ResourceItem* getResource(const String& name, bool keep);
ResourceItem* getResource(const char* name, bool keep);

// The text of an entry (a new String, one reference for the caller): empty when there is no such
// entry; otherwise its bytes without the terminating zero byte, converted from UTF-8 to Windows-1252
// when any byte has its top bit set.
String* getResourceString(const String& name);
String* getResourceString(const char* name);

}  // namespace lang
