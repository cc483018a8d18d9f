// util::Hashtable: a chained hash map from object keys to object values.
#pragma once

#include "lang/String.h"
#include "util/Enumeration.h"

namespace util {

// Every operation holds the table's own monitor. The table holds one reference on each key and value.
class Hashtable : public lang::Object {
public:
    // A snapshot of the keys, each referenced by the enumeration.
    class HTEnum : public Enumeration {
    public:
        HTEnum(int size);
        ~HTEnum() override;
        LANG_CLASS_NAME(HTEnum, Enumeration)
        bool hasMoreElements() override { return index_ < size_; }
        lang::Object* nextElement() override;

    private:
        friend class Hashtable;
        int size_;
        int index_ = 0;
        lang::Object** keys_;
    };

    explicit Hashtable(int capacity = 100);
    ~Hashtable() override;
    Hashtable(const Hashtable&) = delete;
    Hashtable& operator=(const Hashtable&) = delete;

    LANG_CLASS_NAME(Hashtable, Object)

    // Adds an entry at the head of its bucket's chain, without looking for an equal key: a key put
    // twice is held twice, and get finds the newer entry.
    void put(lang::Object* key, lang::Object* value);
    // The key is stored as a new String copied from the text.
    void put(const char* key, lang::Object* value);
    void put(const lang::String& key, lang::Object* value);
    // The value of the first entry whose key equals the given one, or null; no reference for the caller.
    lang::Object* get(const lang::Object* key);
    lang::Object* get(const char* key);
    bool containsKey(const lang::Object* key);
    // Unlinks the first matching entry and releases its key and value; returns the old value pointer,
    // which the table no longer references, or null.
    lang::Object* remove(const lang::Object* key);
    // A new enumeration of all keys, bucket by bucket (one reference for the caller).
    HTEnum* keys();
    void clear();
    int size() const { return count_; }
    int capacity() const { return capacity_; }

private:
    struct Entry {
        lang::Object* key;
        lang::Object* value;
        Entry* next;
    };

    int bucketOf(const lang::Object* key) const;
    Entry* find(const lang::Object* key) const;
    void grow();

    int capacity_;
    Entry** buckets_;
    int count_ = 0;
};

}  // namespace util
