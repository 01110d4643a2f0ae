// A share engine without its threads over a temporary folder, for the
// tests of the tree: share a folder, search, find objects by name.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "plugins/share2/shareEngine.h"
#include "plugins/share2/tests/shareTestSupport.h"
#include "testing/testPaths.h"

namespace vesk::share2::test {

inline std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

class ShareTree : public ::testing::Test {
protected:
    void SetUp() override {
        factory_ = newCoreFactory();
        engine_ = new capsule_core<CShareEngine>(factory_);
        root_ = dir_.path() + "\\Share";
        ASSERT_TRUE(makeFolder(root_));
    }
    void TearDown() override {
        engine_->releaseCore();
        endFactory(factory_);
    }

    int share(const std::string& path, bool recursive) {
        shareSpec spec{};
        std::strncpy(spec.path, path.c_str(), sizeof spec.path - 1);
        spec.recursive = recursive;
        return engine_->addShare(&spec);
    }
    std::string sharePath() const { return lower(root_) + "\\"; }

    // The files a query finds, in result order; false for no list.
    bool foundObjects(const char* query, std::vector<IShareObj*>& objects) {
        Ivector* result = engine_->search(query);
        if (!result)
            return false;
        for (unsigned i = 0; i < result->size(); ++i) {
            value v = result->at(i);
            EXPECT_EQ(v.code, vt::pointerIntV);
            objects.push_back(addressFrom<IShareObj*>(v));
        }
        EXPECT_EQ(result->release(), 0);  // the caller's is the only reference
        return true;
    }
    // Their names; "<null>" for no list.
    std::vector<std::string> found(const char* query) {
        std::vector<IShareObj*> objects;
        if (!foundObjects(query, objects))
            return {"<null>"};
        std::vector<std::string> names;
        for (IShareObj* o : objects)
            names.push_back(o->getName());
        return names;
    }
    // The active object whose name is name (files only), or null.
    IShareObj* byName(const std::string& name) {
        for (unsigned id = 0; id < engine_->objectCount(); ++id)
            if (IShareObj* o = engine_->objectById(id); o && name == o->getName())
                return o;
        return nullptr;
    }
    std::string pathOf(IShareObj* o) {
        char out[pathBufferSize] = {};
        o->getPath(out);
        return out;
    }
    void hashEverything() {
        for (CShareDirectory* s : engine_->tree().shares())
            engine_->tree().hashAll(s);
    }

    vesk::testing::tempDir dir_;
    std::string root_;
    Ifactory* factory_ = nullptr;
    CShareEngine* engine_ = nullptr;
};

}  // namespace vesk::share2::test
