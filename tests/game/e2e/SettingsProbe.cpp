// e2e_settings: reads and presets the game's settings store for the end-to-end scripts, which cannot link
// the store.
// Usage: e2e_settings FOLDER KEY get NAME...   one line "NAME value" each ("NAME missing" when absent)
//        e2e_settings FOLDER KEY profiles      one line per sub-key of the key
//        e2e_settings FOLDER KEY set NAME VALUE [NAME VALUE]...
//                                              stores each VALUE as an integer when it is one (an
//                                              optional "-" and digits), else as a text
// KEY is the key below "Software\Quillbeck\": the program key ("Lumaroo") or a profile's ("Lumaroo\Ann");
// a NAME with a backslash names a value in a sub-key ("Ann\HIG_LVL").
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "lang/Ref.h"
#include "lang/String.h"
#include "sprite/store/User.h"
#include "util/Vector.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: e2e_settings FOLDER KEY get NAME... | profiles | set NAME VALUE [NAME VALUE]...\n");
    return 2;
}

// The whole text as a 32-bit integer: an optional "-" and digits, nothing else.
bool integerValue(const char* text, int32_t& out) {
    const char* digits = text[0] == '-' ? text + 1 : text;
    if (*digits == '\0' || std::strspn(digits, "0123456789") != std::strlen(digits))
        return false;
    errno = 0;
    long long value = std::strtoll(text, nullptr, 10);
    if (errno != 0 || value < std::numeric_limits<int32_t>::min() ||
        value > std::numeric_limits<int32_t>::max())
        return false;
    out = static_cast<int32_t>(value);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return usage();
    const std::string command = argv[3];
    if (command != "get" && command != "profiles" && command != "set")
        return usage();
    // Names and values come in pairs; a call with one missing stores nothing.
    if (command == "set" && (argc < 6 || (argc - 4) % 2 != 0))
        return usage();
    auto store = lang::make<sprite::User>(argv[1]);
    if (!store->isAvailable() || !store->setPath(argv[2])) {
        std::fprintf(stderr, "e2e_settings: no settings store in %s\n", argv[1]);
        return 1;
    }
    if (command == "profiles") {
        auto names = lang::make<util::Vector>();
        store->listSubKeys(*names);
        for (int i = 0; i < names->size(); ++i)
            std::printf("%s\n", std::string(static_cast<lang::String*>(names->elementAt(i))->view()).c_str());
        return 0;
    }
    if (command == "set") {
        for (int i = 4; i + 1 < argc; i += 2) {
            int32_t number = 0;
            if (integerValue(argv[i + 1], number))
                store->setInt(argv[i], number);
            else
                store->setString(argv[i], argv[i + 1]);
        }
        return 0;
    }
    constexpr int32_t kNone = std::numeric_limits<int32_t>::min();
    const std::string_view kNoText = "\x01";
    for (int i = 4; i < argc; ++i) {
        int32_t number = store->getInt(argv[i], kNone);
        if (number != kNone) {
            std::printf("%s %d\n", argv[i], number);
            continue;
        }
        lang::Ref<lang::String> text = lang::adopt(store->getString(argv[i], kNoText));
        if (text->view() == kNoText)
            std::printf("%s missing\n", argv[i]);
        else
            std::printf("%s %s\n", argv[i], std::string(text->view()).c_str());
    }
    return 0;
}
