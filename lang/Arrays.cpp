// Plain arrays: resizing, copying and the String sort.
#include "lang/Arrays.h"

#include "lang/CodePage.h"

namespace lang {

void ObjectArray::setSize(int n) {
    Synchronized guard(this, true);
    if (n == storage_.length_) return;
    storage_.resize(n);
}

void ObjectArray::copyFrom(ObjectArray& other) {
    Synchronized guard(this, true);
    setSize(other.length());
    for (int i = 0; i < length(); ++i) (*this)[i] = other[i];
}

void IntArray::copyFrom(const IntArray& other) {
    setSize(other.length());
    for (int i = 0; i < length(); ++i) (*this)[i] = other[i];
}

void ByteArray::copyFrom(const ByteArray& other) {
    setSize(other.length());
    for (int i = 0; i < length(); ++i) (*this)[i] = other[i];
}

namespace {

int compareTexts(const String* a, const String* b) {
    return compareIgnoreCase(a != nullptr ? a->view() : std::string_view(),
                             b != nullptr ? b->view() : std::string_view());
}

}  // namespace

void StringArray::sort() {
    if (length() > 1) quicksort(0, length() - 1);
}

void StringArray::quicksort(int low, int high) {
    StringArray& self = *this;
    while (low < high) {
        String* pivot = self[(low + high) / 2];
        int left = low;
        int right = high;
        while (left <= right) {
            while (compareTexts(self[left], pivot) < 0) ++left;
            while (compareTexts(self[right], pivot) > 0) --right;
            if (left <= right) {
                String* t = self[left];
                self[left] = self[right];
                self[right] = t;
                ++left;
                --right;
            }
        }
        if (low < right) quicksort(low, right);
        low = left;
    }
}

}  // namespace lang
