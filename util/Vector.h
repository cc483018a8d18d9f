// util::Vector: an ordered list of object references, cheap to shrink at either end.
#pragma once

#include "lang/Arrays.h"
#include "lang/Object.h"

namespace util {

// Every operation but elementAtUnchecked holds the vector's own monitor, so a vector may be shared
// between threads. The vector holds one reference on every element that is not null.
class Vector : public lang::Object {
public:
    explicit Vector(int initialCapacity = 10);
    ~Vector() override;
    Vector(const Vector&) = delete;
    Vector& operator=(const Vector&) = delete;

    LANG_CLASS_NAME(Vector, Object)

    void addElement(lang::Object* object);
    // Throws lang::Exception "Index out of bounds" unless 0 <= index <= size().
    void insertElementAt(lang::Object* object, int index);
    // No reference for the caller. Throws lang::Exception "Index out of range" unless 0 <= index < size().
    lang::Object* elementAt(int index);
    // For the owner only: no lock, no bounds check.
    lang::Object* elementAtUnchecked(int index) const { return storage_[head_ + index]; }
    void removeElementAt(int index);
    int indexOf(const lang::Object* object);
    bool removeElement(const lang::Object* object);
    void removeAllElements();
    // Sets the array's length to size() and stores the elements in order, one reference each for the
    // array's owner.
    void copyInto(lang::ObjectArray& array);
    int size() const { return count_; }

    // Storage facts, for tests and benchmarks.
    int capacity() const { return capacity_; }
    int head() const { return head_; }

private:
    void grow();
    void moveToFront();
    void checkIndex(int index) const;

    int count_ = 0;
    int capacity_;
    int head_ = 0;
    lang::Object** storage_;
};

}  // namespace util
