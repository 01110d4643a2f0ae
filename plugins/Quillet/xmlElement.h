// "vesk::xml::xmlElement": one record of a parse.
#pragma once

#include <string>

#include "core/capsule.h"
#include "vesk/value.h"
#include "vesk/xml.h"

namespace vesk::xml {

class xmlElement : public objectBase, public IxmlElement {
public:
    // args: [0] long 5, [1] name, [2] text, [3] parent name (C strings, null
    // leaves the field empty), [4] kind, [5] depth (longs). Any other count
    // in [0] gives empty fields.
    explicit xmlElement(const value* args);
    virtual ~xmlElement() {}

    const char* getName() override { return name_.c_str(); }
    const char* getText() override { return text_.c_str(); }
    const char* getParentName() override { return parentName_.empty() ? nullptr : parentName_.c_str(); }
    int getDepth() override { return depth_; }
    int getKind() override { return kind_; }

private:
    std::string name_;
    std::string text_;
    std::string parentName_;
    int depth_ = 0;
    int kind_ = 0;
};

// A new record (count 0), or null when out of memory.
IxmlElement* newElement(const char* name, const char* text, const char* parentName, int kind, int depth);

}  // namespace vesk::xml
