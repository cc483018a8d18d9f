// lang::Integer: its text.
#include "lang/Integer.h"

#include "lang/String.h"

namespace lang {

String* Integer::toString() const {
    return new String(static_cast<int>(value_));
}

}  // namespace lang
