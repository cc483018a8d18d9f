// lang::Ref<T>: holds one reference on an object, so that no path leaks it or releases it twice.
#pragma once

#include <type_traits>
#include <utility>

namespace lang {

template <class T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    Ref(const Ref& other) : object_(other.object_) {
        if (object_ != nullptr) object_->addRef();
    }
    Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    Ref(const Ref<U>& other) : object_(other.get()) {
        if (object_ != nullptr) object_->addRef();
    }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    Ref(Ref<U>&& other) noexcept : object_(other.detach()) {}
    ~Ref() { reset(); }

    Ref& operator=(Ref other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }

    // Takes over the reference the caller holds (a new object, or a result that hands one over).
    static Ref adopt(T* object) {
        Ref r;
        r.object_ = object;
        return r;
    }
    // Takes a reference of its own (a borrowed pointer: a field or a table entry).
    static Ref share(T* object) {
        if (object != nullptr) object->addRef();
        return adopt(object);
    }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    explicit operator bool() const { return object_ != nullptr; }

    // Gives the reference to the caller and forgets the object.
    T* detach() { return std::exchange(object_, nullptr); }
    void reset() {
        if (T* old = std::exchange(object_, nullptr)) old->release();
    }

private:
    T* object_ = nullptr;
};

template <class T>
Ref<T> adopt(T* object) {
    return Ref<T>::adopt(object);
}

template <class T>
Ref<T> share(T* object) {
    return Ref<T>::share(object);
}

// Creates an object and hands its first reference to a Ref.
template <class T, class... Args>
Ref<T> make(Args&&... args) {
    return Ref<T>::adopt(new T(std::forward<Args>(args)...));
}

template <class T, class U>
bool operator==(const Ref<T>& a, const Ref<U>& b) {
    return a.get() == b.get();
}

}  // namespace lang
