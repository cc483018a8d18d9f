// A throw-away settings store: a real sprite::User on a real database in a temporary folder.
#pragma once

#include "lang/Ref.h"
#include "sprite/store/User.h"
#include "tests/support/TempFolder.h"

namespace testsupport {

class ScratchSettings {
public:
    // The store's key is `path` (the program key a game would use).
    explicit ScratchSettings(const char* path = "Lumaroo");
    sprite::User* user() const { return user_.get(); }
    const TempFolder& folder() const { return folder_; }

private:
    TempFolder folder_;
    lang::Ref<sprite::User> user_;
};

}  // namespace testsupport
