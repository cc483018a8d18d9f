// Plain arrays: object pointers (not owned), Strings with a sort, typed pointers, ints and bytes.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "lang/String.h"

namespace lang {

namespace detail {

// Zeroed storage of trivially copyable elements that can be resized keeping its first elements.
template <class T>
class ArrayStorage {
public:
    ArrayStorage() = default;
    explicit ArrayStorage(int length) { resize(length); }
    ~ArrayStorage() { std::free(data_); }
    ArrayStorage(const ArrayStorage&) = delete;
    ArrayStorage& operator=(const ArrayStorage&) = delete;

    void resize(int length) {
        if (length < 0) length = 0;
        T* storage = nullptr;
        if (length > 0) {
            storage = static_cast<T*>(std::calloc(static_cast<size_t>(length), sizeof(T)));
            if (storage == nullptr) std::abort();
            int keep = length < length_ ? length : length_;
            if (keep > 0) std::memcpy(storage, data_, sizeof(T) * static_cast<size_t>(keep));
        }
        std::free(data_);
        data_ = storage;
        length_ = length;
    }

    T* data_ = nullptr;
    int length_ = 0;
};

}  // namespace detail

// An array of object pointers. It never adds or releases references: owners release elements.
class ObjectArray : public Object {
public:
    explicit ObjectArray(int length = 0) : storage_(length) {}

    LANG_CLASS_NAME(ObjectArray, Object)

    int length() const { return storage_.length_; }
    Object** data() { return storage_.data_; }
    // Direct access, no bounds check.
    Object*& operator[](int index) { return storage_.data_[index]; }
    Object* operator[](int index) const { return storage_.data_[index]; }

    // n zeroed elements, the first min(n, length) kept; nothing when n equals the length.
    void setSize(int n);
    void copyFrom(ObjectArray& other);

private:
    detail::ArrayStorage<Object*> storage_;
};

class StringArray : public ObjectArray {
public:
    explicit StringArray(int length = 0) : ObjectArray(length) {}

    LANG_CLASS_NAME(StringArray, ObjectArray)

    String*& operator[](int index) { return reinterpret_cast<String*&>(ObjectArray::operator[](index)); }
    String* operator[](int index) const { return static_cast<String*>(ObjectArray::operator[](index)); }

    // Sorts in place, ascending, without regard to letter case; a null element counts as empty text.
    void sort();

private:
    void quicksort(int low, int high);
};

// Typed access over an object array; it keeps the base's class name.
template <class T>
class TArray : public ObjectArray {
public:
    explicit TArray(int length = 0) : ObjectArray(length) {}

    T*& operator[](int index) { return reinterpret_cast<T*&>(ObjectArray::operator[](index)); }
    T* operator[](int index) const { return static_cast<T*>(ObjectArray::operator[](index)); }
};

class IntArray : public Object {
public:
    explicit IntArray(int length = 0) : storage_(length) {}

    LANG_CLASS_NAME(IntArray, Object)

    int length() const { return storage_.length_; }
    int32_t* data() { return storage_.data_; }
    int32_t& operator[](int index) { return storage_.data_[index]; }
    int32_t operator[](int index) const { return storage_.data_[index]; }
    void setSize(int n) { storage_.resize(n); }
    void copyFrom(const IntArray& other);

private:
    detail::ArrayStorage<int32_t> storage_;
};

class ByteArray : public Object {
public:
    explicit ByteArray(int length = 0) : storage_(length) {}

    LANG_CLASS_NAME(ByteArray, Object)

    int length() const { return storage_.length_; }
    uint8_t* data() { return storage_.data_; }
    uint8_t& operator[](int index) { return storage_.data_[index]; }
    uint8_t operator[](int index) const { return storage_.data_[index]; }
    void setSize(int n) { storage_.resize(n); }
    void copyFrom(const ByteArray& other);

private:
    detail::ArrayStorage<uint8_t> storage_;
};

}  // namespace lang
