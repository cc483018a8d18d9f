// lang::Class: runtime class records, registered by name so that data files can create objects.
#pragma once

#include "lang/String.h"

namespace lang {

class Class : public Object {
public:
    // Registers this record under name in the process-wide registry.
    explicit Class(const char* name);
    ~Class() override;

    LANG_CLASS_NAME(Class, Object)

    // A new default-constructed object of the class (one reference for the caller).
    virtual Object* newInstance() = 0;

    const String& name() const { return name_; }

    // The record registered under name (exact, case-sensitive), or null; no reference for the caller.
    static Class* forName(const char* name);
    static Class* forName(const String& name);

private:
    String name_;
};

}  // namespace lang

// Declares, inside a creatable class, its nested class record `<Name>Class` and the one static
// instance of it, `classRecord`.
#define LANG_DECLARE_CLASS_RECORD(Name)                            \
    class Name##Class : public ::lang::Class {                     \
    public:                                                        \
        Name##Class() : ::lang::Class(#Name) {}                    \
        ::lang::Object* newInstance() override;                    \
    };                                                             \
    static Name##Class classRecord

// Defines, in the class's source file, the record's newInstance and its static instance.
#define LANG_DEFINE_CLASS_RECORD(Name)                                                         \
    ::lang::Object* Name::Name##Class::newInstance() { return static_cast<::lang::Object*>(new Name()); } \
    Name::Name##Class Name::classRecord
