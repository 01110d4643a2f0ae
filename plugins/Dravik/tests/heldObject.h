// A new counted window object held for a test's scope.
#pragma once

#include "core/capsule.h"
#include "vesk/ui.h"

namespace vesk::ui::test {

template <class T>
class held {
public:
    template <class... A>
    explicit held(A&&... args) : object_(new capsule<T>(std::forward<A>(args)...)) {
        root()->addRef();
    }
    ~held() {
        if (object_)
            root()->release();
    }
    held(const held&) = delete;
    held& operator=(const held&) = delete;

    T* operator->() const { return object_; }
    T& operator*() const { return *object_; }
    T* get() const { return object_; }
    // Lets the object go now.
    void reset() {
        root()->release();
        object_ = nullptr;
    }

private:
    Igeneric* root() const { return object_; }  // the one virtual base
    capsule<T>* object_;
};

// A new core object (count fixed at 1) held for a test's scope.
template <class T>
class heldCore {
public:
    heldCore() : object_(new capsule_core<T>()) {}
    ~heldCore() { object_->releaseCore(); }
    heldCore(const heldCore&) = delete;
    heldCore& operator=(const heldCore&) = delete;
    T* operator->() const { return object_; }
    T* get() const { return object_; }

private:
    capsule_core<T>* object_;
};

// An object's count, read without changing it.
inline int countOf(Igeneric* object) {
    object->addRef();
    return object->release();
}

}  // namespace vesk::ui::test
