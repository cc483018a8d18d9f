// sprite::ScoreObject: one high-score record of the settings store's tables.
#pragma once

#include <cstdint>

#include "lang/String.h"

namespace sprite {

class ScoreObject : public lang::Object {
public:
    ScoreObject() = default;
    ScoreObject(const char* name, int32_t score, int32_t level, const char* mode, int32_t setting)
        : name_(name), score_(score), level_(level), mode_(mode), setting_(setting) {}

    LANG_CLASS_NAME(ScoreObject, Object)
    // "name score level mode setting", for traces.
    lang::String* toString() const override;

    const lang::String& name() const { return name_; }
    int32_t score() const { return score_; }
    int32_t level() const { return level_; }
    const lang::String& mode() const { return mode_; }
    int32_t setting() const { return setting_; }

private:
    lang::String name_;
    int32_t score_ = 0;
    int32_t level_ = 0;
    lang::String mode_;
    int32_t setting_ = 0;
};

}  // namespace sprite
