// Holds a reference the caller already owns (a received buffer, a result
// vector of the share engine) and gives it back exactly once, on every
// path out of the scope.
#pragma once

namespace vesk::gnutella {

template <class T>
class ownedRef {
public:
    explicit ownedRef(T* p) : p_(p) {}
    ~ownedRef() {
        if (p_)
            p_->release();
    }
    ownedRef(const ownedRef&) = delete;
    ownedRef& operator=(const ownedRef&) = delete;

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_;
};

}  // namespace vesk::gnutella
