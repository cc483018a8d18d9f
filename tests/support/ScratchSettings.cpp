// A throw-away settings store in a temporary folder.
#include "tests/support/ScratchSettings.h"

#include <stdexcept>
#include <string>

namespace testsupport {

ScratchSettings::ScratchSettings(const char* path) {
    user_ = lang::make<sprite::User>(folder_.path().c_str());
    if (!user_->setPath(path))
        throw std::runtime_error(std::string("cannot open the settings key ") + path + " in " + folder_.path());
}

}  // namespace testsupport
