// lang::Integer: a boxed 32-bit integer, usable as a hash-table key.
#pragma once

#include "lang/Object.h"

namespace lang {

class Integer : public Object {
public:
    explicit Integer(int32_t value = 0) : value_(value) {}

    LANG_CLASS_NAME(Integer, Object)
    int32_t hashCode() const override { return value_; }
    bool equals(const Object* other) const override {
        return other != nullptr && other->instanceOf("Integer") &&
               static_cast<const Integer*>(other)->value_ == value_;
    }
    String* toString() const override;

    int32_t value() const { return value_; }

private:
    int32_t value_;
};

}  // namespace lang
