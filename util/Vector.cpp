// util::Vector: storage kept at an offset (head) so that removing either end moves nothing.
#include "util/Vector.h"

#include <cstdlib>
#include <cstring>

#include "lang/Exception.h"

namespace util {

namespace {

lang::Object** allocateSlots(int capacity) {
    auto** slots = static_cast<lang::Object**>(std::calloc(static_cast<size_t>(capacity > 0 ? capacity : 1),
                                                           sizeof(lang::Object*)));
    if (slots == nullptr) std::abort();
    return slots;
}

}  // namespace

Vector::Vector(int initialCapacity)
    : capacity_(initialCapacity > 0 ? initialCapacity : 0), storage_(allocateSlots(capacity_)) {}

Vector::~Vector() {
    for (int i = 0; i < count_; ++i) lang::release(storage_[head_ + i]);
    std::free(storage_);
}

void Vector::grow() {
    int capacity = capacity_ * 3 / 2;
    if (capacity < capacity_ + 1) capacity = capacity_ + 1;
    lang::Object** slots = allocateSlots(capacity);
    if (count_ > 0) std::memcpy(slots, storage_ + head_, sizeof(lang::Object*) * static_cast<size_t>(count_));
    std::free(storage_);
    storage_ = slots;
    capacity_ = capacity;
    head_ = 0;
}

void Vector::moveToFront() {
    if (head_ == 0) return;
    std::memmove(storage_, storage_ + head_, sizeof(lang::Object*) * static_cast<size_t>(count_));
    std::memset(storage_ + count_, 0, sizeof(lang::Object*) * static_cast<size_t>(capacity_ - count_));
    head_ = 0;
}

void Vector::checkIndex(int index) const {
    if (index < 0 || index >= count_) throw new lang::Exception("Index out of range");
}

void Vector::addElement(lang::Object* object) {
    lang::Synchronized guard(this, true);
    if (capacity_ < count_ + 1) grow();
    if (head_ + count_ + 1 > capacity_) moveToFront();
    if (object != nullptr) object->addRef();
    storage_[head_ + count_] = object;
    ++count_;
}

void Vector::insertElementAt(lang::Object* object, int index) {
    lang::Synchronized guard(this, true);
    if (index < 0 || index > count_) throw new lang::Exception("Index out of bounds");
    if (count_ == capacity_) grow();
    if (object != nullptr) object->addRef();
    if ((index < count_ - index && head_ > 0) || head_ + count_ >= capacity_) {
        // Move the first index elements one slot down. head_ > 0 here: after growing there is a free
        // slot, and when none is left at the end it must be at the front.
        std::memmove(storage_ + head_ - 1, storage_ + head_, sizeof(lang::Object*) * static_cast<size_t>(index));
        --head_;
    } else {
        std::memmove(storage_ + head_ + index + 1, storage_ + head_ + index,
                     sizeof(lang::Object*) * static_cast<size_t>(count_ - index));
    }
    storage_[head_ + index] = object;
    ++count_;
}

lang::Object* Vector::elementAt(int index) {
    lang::Synchronized guard(this, true);
    checkIndex(index);
    return storage_[head_ + index];
}

void Vector::removeElementAt(int index) {
    lang::Synchronized guard(this, true);
    checkIndex(index);
    lang::Object* removed = storage_[head_ + index];
    --count_;
    if (index == 0) {
        storage_[head_] = nullptr;
        ++head_;
    } else if (count_ - index <= index) {
        std::memmove(storage_ + head_ + index, storage_ + head_ + index + 1,
                     sizeof(lang::Object*) * static_cast<size_t>(count_ - index));
        storage_[head_ + count_] = nullptr;
    } else {
        std::memmove(storage_ + head_ + 1, storage_ + head_, sizeof(lang::Object*) * static_cast<size_t>(index));
        storage_[head_] = nullptr;
        ++head_;
    }
    lang::release(removed);
}

int Vector::indexOf(const lang::Object* object) {
    lang::Synchronized guard(this, true);
    for (int i = 0; i < count_; ++i) {
        lang::Object* element = storage_[head_ + i];
        if (element != nullptr && element->equals(object)) return i;
    }
    return -1;
}

bool Vector::removeElement(const lang::Object* object) {
    lang::Synchronized guard(this, true);
    int index = indexOf(object);
    if (index < 0) return false;
    removeElementAt(index);
    return true;
}

void Vector::removeAllElements() {
    lang::Synchronized guard(this, true);
    for (int i = 0; i < count_; ++i) {
        lang::release(storage_[head_ + i]);
        storage_[head_ + i] = nullptr;
    }
    count_ = 0;
    head_ = 0;
}

void Vector::copyInto(lang::ObjectArray& array) {
    lang::Synchronized guard(this, true);
    array.setSize(count_);
    for (int i = 0; i < count_; ++i) {
        lang::Object* element = storage_[head_ + i];
        if (element != nullptr) element->addRef();
        array[i] = element;
    }
}

}  // namespace util
