// Reference counting and interface maps for implementation classes.
//
// An implementation class derives from objectBase and its interfaces, and
// calls registerInterface once per interface in its constructor, the root
// last. capsule<T> makes it a counted object (count from 0, deleted at 0);
// capsule_core<T> makes it a process-long core object (count fixed at 1,
// destroyed by releaseCore). Counts change atomically: objects are released
// from several threads.
#pragma once

#include <windows.h>

#include <cstring>
#include <map>
#include <utility>

#include "vesk/object.h"

namespace vesk {

// The interface name in a query text ("struct " + name); null when the text
// is null or shorter than the prefix, which is skipped unread.
inline const char* queriedName(const char* typeName) {
    if (!typeName)
        return nullptr;
    for (int i = 0; i < interfaceQueryPrefix; ++i)
        if (typeName[i] == '\0')
            return nullptr;
    return typeName + interfaceQueryPrefix;
}

class objectBase {
public:
    // Enters the name (a constant string; not copied) with the root pointer,
    // replacing an entry of equal text.
    void registerInterface(const char* name, Igeneric* root) { interfaces_[name] = root; }

    // Answers a query text: "struct " + name. Null or too short: null.
    void* findInterface(const char* typeName) const {
        const char* name = queriedName(typeName);
        if (!name)
            return nullptr;
        auto it = interfaces_.find(name);
        return it == interfaces_.end() ? nullptr : it->second;
    }

    // Registers the interface T by its own name.
    template <class T>
    void registerInterfaceOf(Igeneric* root) {
        registerInterface(nameOf<T>(), root);
    }

private:
    struct textLess {
        bool operator()(const char* a, const char* b) const { return std::strcmp(a, b) < 0; }
    };
    std::map<const char*, void*, textLess> interfaces_;
};

template <class T>
class capsule final : public T {
public:
    template <class... A>
    explicit capsule(A&&... args) : T(std::forward<A>(args)...) {}

    void* queryInterface(const char* typeName) override { return this->findInterface(typeName); }
    int addRef() override { return InterlockedIncrement(&count_); }
    int release() override {
        LONG after = InterlockedDecrement(&count_);
        if (after == 0)
            delete this;
        return after;
    }
    virtual ~capsule() {}

private:
    volatile LONG count_ = 0;
};

template <class T>
class capsule_core final : public T {
public:
    template <class... A>
    explicit capsule_core(A&&... args) : T(std::forward<A>(args)...) {}

    void* queryInterface(const char* typeName) override { return this->findInterface(typeName); }
    int addRef() override { return count_; }
    int release() override { return count_; }
    int releaseCore() override {
        if (InterlockedDecrement(&count_) == 0)
            delete this;
        return 0;
    }
    virtual ~capsule_core() {}

private:
    volatile LONG count_ = 1;
};

}  // namespace vesk
