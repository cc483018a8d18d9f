// e2e_settings: reads the game's settings store for the end-to-end scripts, which cannot link the store.
// Usage: e2e_settings FOLDER PROGRAMKEY get NAME...   one line "NAME value" each ("NAME missing" when absent)
//        e2e_settings FOLDER PROGRAMKEY profiles      one line per sub-key of the program key
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "lang/Ref.h"
#include "lang/String.h"
#include "sprite/User.h"
#include "util/Vector.h"

int main(int argc, char** argv) {
    if (argc < 4 || (std::strcmp(argv[3], "get") != 0 && std::strcmp(argv[3], "profiles") != 0)) {
        std::fprintf(stderr, "usage: e2e_settings FOLDER PROGRAMKEY get NAME... | profiles\n");
        return 2;
    }
    auto store = lang::make<sprite::User>(argv[1]);
    if (!store->isAvailable() || !store->setPath(argv[2])) {
        std::fprintf(stderr, "e2e_settings: no settings store in %s\n", argv[1]);
        return 1;
    }
    if (std::strcmp(argv[3], "profiles") == 0) {
        auto names = lang::make<util::Vector>();
        store->listSubKeys(*names);
        for (int i = 0; i < names->size(); ++i)
            std::printf("%s\n", std::string(static_cast<lang::String*>(names->elementAt(i))->view()).c_str());
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
