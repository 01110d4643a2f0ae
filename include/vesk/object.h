// The root of the object model: every interface derives virtually from
// Igeneric, so an object has one root and one reference count whichever
// interface reaches it.
//
// Interface names. Each interface carries its query text, the form in which
// objects are asked for it: "struct " followed by the name under which it is
// published ("vesk::Ibuffer *"). nameOf<T>() gives the published name.
#pragma once

namespace vesk {

struct Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::Igeneric *";

    // typeName: "struct " + interface name. Returns the object's root
    // pointer when it implements that interface, else null.
    virtual void* queryInterface(const char* typeName) = 0;
    // Both return the count afterwards; release destroys at 0.
    virtual int addRef() = 0;
    virtual int release() = 0;
};

// A core object lives for the process; addRef/release do not touch it and
// only its owner ends it with releaseCore (always returns 0).
struct IcoreObject : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::IcoreObject *";
    virtual int releaseCore() = 0;
};

// Length of the "struct " prefix of every query text.
constexpr int interfaceQueryPrefix = 7;

// The name under which T is published and answered ("vesk::Ibuffer *").
template <class T>
constexpr const char* nameOf() {
    return T::interfaceQuery + interfaceQueryPrefix;
}

// From one interface of an object to another: query by name, then a run-time
// conversion. Adds no reference; null in, null out.
template <class T>
T* interfaceCast(Igeneric* source) {
    if (!source)
        return nullptr;
    void* root = source->queryInterface(T::interfaceQuery);
    if (!root)
        return nullptr;
    return dynamic_cast<T*>(static_cast<Igeneric*>(root));
}

// Holds one reference for a scope. Used where an early return would
// otherwise leak or over-release.
template <class T>
class ref {
public:
    ref() = default;
    explicit ref(T* p) : p_(p) {
        if (p_)
            p_->addRef();
    }
    ref(const ref& o) : ref(o.p_) {}
    ref& operator=(const ref& o) {
        reset(o.p_);
        return *this;
    }
    ~ref() { reset(nullptr); }
    // Takes over a reference the caller already holds, as an object handed
    // out with the caller's reference comes; null stays null.
    static ref adopt(T* p) {
        ref held;
        held.p_ = p;
        return held;
    }
    void reset(T* p) {
        if (p)
            p->addRef();
        if (p_)
            p_->release();
        p_ = p;
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

}  // namespace vesk
