// util::Hashtable: chains with head insertion; the table grows to four times its count when it is
// more than half full.
#include "util/Hashtable.h"

#include <cstdlib>

namespace util {

namespace {

template <class T>
T* allocateZeroed(int n) {
    auto* p = static_cast<T*>(std::calloc(static_cast<size_t>(n > 0 ? n : 1), sizeof(T)));
    if (p == nullptr) std::abort();
    return p;
}

}  // namespace

Hashtable::HTEnum::HTEnum(int size) : size_(size), keys_(allocateZeroed<lang::Object*>(size)) {}

Hashtable::HTEnum::~HTEnum() {
    for (int i = 0; i < size_; ++i) lang::release(keys_[i]);
    std::free(keys_);
}

lang::Object* Hashtable::HTEnum::nextElement() {
    if (index_ >= size_) return nullptr;
    return keys_[index_++];
}

Hashtable::Hashtable(int capacity)
    : capacity_(capacity > 0 ? capacity : 1), buckets_(allocateZeroed<Entry*>(capacity_)) {}

Hashtable::~Hashtable() {
    clear();
    std::free(buckets_);
}

int Hashtable::bucketOf(const lang::Object* key) const {
    int32_t hash = key != nullptr ? key->hashCode() : 0;
    int bucket = static_cast<int>(hash % capacity_);
    return bucket < 0 ? -bucket : bucket;
}

Hashtable::Entry* Hashtable::find(const lang::Object* key) const {
    if (key == nullptr) return nullptr;
    for (Entry* e = buckets_[bucketOf(key)]; e != nullptr; e = e->next) {
        if (key->equals(e->key)) return e;
    }
    return nullptr;
}

void Hashtable::put(lang::Object* key, lang::Object* value) {
    lang::Synchronized guard(this, true);
    if (key != nullptr) key->addRef();
    if (value != nullptr) value->addRef();
    int bucket = bucketOf(key);
    buckets_[bucket] = new Entry{key, value, buckets_[bucket]};
    ++count_;
    if (capacity_ < 2 * count_) grow();
}

void Hashtable::put(const char* key, lang::Object* value) {
    auto* copy = new lang::String(key);
    put(copy, value);
    copy->release();
}

void Hashtable::put(const lang::String& key, lang::Object* value) {
    auto* copy = new lang::String(key);
    put(copy, value);
    copy->release();
}

void Hashtable::grow() {
    int capacity = 4 * count_;
    Entry** buckets = allocateZeroed<Entry*>(capacity);
    int oldCapacity = capacity_;
    capacity_ = capacity;
    for (int i = 0; i < oldCapacity; ++i) {
        Entry* e = buckets_[i];
        while (e != nullptr) {
            Entry* next = e->next;
            int bucket = bucketOf(e->key);
            e->next = buckets[bucket];
            buckets[bucket] = e;
            e = next;
        }
    }
    std::free(buckets_);
    buckets_ = buckets;
}

lang::Object* Hashtable::get(const lang::Object* key) {
    lang::Synchronized guard(this, true);
    Entry* e = find(key);
    return e != nullptr ? e->value : nullptr;
}

lang::Object* Hashtable::get(const char* key) {
    lang::String text(key, true);
    return get(&text);
}

bool Hashtable::containsKey(const lang::Object* key) {
    lang::Synchronized guard(this, true);
    return find(key) != nullptr;
}

lang::Object* Hashtable::remove(const lang::Object* key) {
    lang::Synchronized guard(this, true);
    if (key == nullptr) return nullptr;
    Entry** link = &buckets_[bucketOf(key)];
    while (*link != nullptr) {
        Entry* e = *link;
        if (key->equals(e->key)) {
            *link = e->next;
            --count_;
            lang::Object* value = e->value;
            lang::release(e->key);
            lang::release(value);
            delete e;
            return value;
        }
        link = &e->next;
    }
    return nullptr;
}

Hashtable::HTEnum* Hashtable::keys() {
    lang::Synchronized guard(this, true);
    auto* keys = new HTEnum(count_);
    int n = 0;
    for (int i = 0; i < capacity_; ++i) {
        for (Entry* e = buckets_[i]; e != nullptr; e = e->next) {
            if (e->key != nullptr) e->key->addRef();
            keys->keys_[n++] = e->key;
        }
    }
    return keys;
}

void Hashtable::clear() {
    lang::Synchronized guard(this, true);
    for (int i = 0; i < capacity_; ++i) {
        Entry* e = buckets_[i];
        while (e != nullptr) {
            Entry* next = e->next;
            lang::release(e->key);
            lang::release(e->value);
            delete e;
            e = next;
        }
        buckets_[i] = nullptr;
    }
    count_ = 0;
}

}  // namespace util
