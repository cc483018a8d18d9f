// lang::Exception: the error object the library throws, by pointer, for index errors and bad input.
// The catcher releases it: catch (lang::Exception* e) { ...; e->release(); }
#pragma once

#include "lang/String.h"

namespace lang {

class Exception : public Object {
public:
    explicit Exception(const char* message) : message_(message) {}
    explicit Exception(const String& message) : message_(message) {}

    LANG_CLASS_NAME(Exception, Object)
    // A copy of the message.
    String* toString() const override { return new String(message_); }

    const String& message() const { return message_; }

private:
    String message_;
};

}  // namespace lang
