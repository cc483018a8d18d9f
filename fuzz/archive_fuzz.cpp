// Fuzz harness: the archive directory reader and entry reads over an arbitrary file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "lang/Exception.h"
#include "lang/ResourceFile.h"
#include "tests/support/TempFolder.h"

namespace {

// In memory, since every input is written there.
const std::string& scratchPath() {
    static const testsupport::TempFolder scratch("/dev/shm");
    static const std::string path = scratch.file("archive.bin");
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(scratchPath().c_str(), "wb");
    if (f == nullptr)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    try {
        lang::openArchive(scratchPath().c_str());
    } catch (lang::Exception* e) {
        e->release();
        return 0;
    }
    // Look up the first directory name (when the input has one) and a few fixed ones, both ways.
    std::string first;
    if (size > 12) {
        uint32_t preamble = data[4] | data[5] << 8 | data[6] << 16 | static_cast<uint32_t>(data[7]) << 24;
        size_t at = 12 + static_cast<size_t>(preamble);
        if (preamble < size && at < size) {
            size_t length = data[at];
            if (at + 1 + length <= size)
                first.assign(reinterpret_cast<const char*>(data + at + 1), length);
        }
    }
    for (const std::string& name : {first, std::string(), std::string("datfile"), std::string("a")}) {
        for (bool keep : {false, true}) {
            lang::Ref<lang::ResourceItem> item = lang::adopt(lang::getResource(name.c_str(), keep));
            if (item) {
                volatile uint8_t sum = 0;
                for (int i = 0; i < item->getLength(); ++i)
                    sum = sum + item->getData()[i];
            }
        }
        lang::release(lang::getResourceString(name.c_str()));
    }
    lang::closeArchives();
    return 0;
}
