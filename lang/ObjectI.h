// The root interface of every object: the thirteen operations every class and interface shares.
#pragma once

#include <cstdint>

namespace lang {

class Object;
class String;

// Interfaces (Runnable and the like) derive from ObjectI virtually, so that a class implementing one
// routes the interface's thirteen operations to its own single object.
class ObjectI {
public:
    virtual void addRef() = 0;
    virtual void release() = 0;
    virtual void lock() = 0;
    virtual void unlock() = 0;
    virtual int32_t hashCode() const = 0;
    virtual bool equals(const Object* other) const = 0;
    // A new String (one reference for the caller).
    virtual String* toString() const = 0;
    virtual void wait(int32_t milliseconds) = 0;
    virtual void wait() = 0;
    virtual void notify() = 0;
    virtual void notifyAll() = 0;
    // True when className is the name of this class or of any class or interface it derives from.
    virtual bool instanceOf(const char* className) const = 0;
    // The class name without namespace: "Object", "String", "MyFrame".
    virtual const char* getClassName() const = 0;

protected:
    virtual ~ObjectI() = default;
};

}  // namespace lang

// Declares a class's name and its is-a test, asking the base class after its own name.
#define LANG_CLASS_NAME(Name, Base)                                      \
    const char* getClassName() const override { return #Name; }          \
    bool instanceOf(const char* className) const override {              \
        return ::lang::detail::sameName(className, #Name) || Base::instanceOf(className); \
    }

namespace lang::detail {
inline bool sameName(const char* a, const char* b) {
    if (a == nullptr) return false;
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}
}  // namespace lang::detail
