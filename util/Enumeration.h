// util::Enumeration: walks a snapshot of a collection's elements.
#pragma once

#include "lang/Object.h"

namespace util {

class Enumeration : public lang::Object {
public:
    LANG_CLASS_NAME(Enumeration, Object)
    virtual bool hasMoreElements() = 0;
    // The next element; no reference for the caller.
    virtual lang::Object* nextElement() = 0;
};

}  // namespace util
