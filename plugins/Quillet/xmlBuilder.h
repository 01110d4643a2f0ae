// "vesk::xml::xmlBuilder": indented XML, one line per call, kept as string
// objects until getBuffer joins them.
#pragma once

#include <string>

#include "core/capsule.h"
#include "vesk/containers.h"
#include "vesk/directory.h"
#include "vesk/factory.h"
#include "vesk/xml.h"

namespace vesk::xml {

class xmlBuilder : public objectBase, public IxmlBuilder, public IcoreObject {
public:
    xmlBuilder(Ifactory* factory, IentityToken* owner);
    virtual ~xmlBuilder();

    bool ready() const { return lines_ != nullptr; }

    bool openElement(const char* name) override;
    bool addElement(const char* name, const char* text) override;
    bool closeElement(const char* name) override;
    unsigned getLength() override { return length_; }
    Ibuffer* getBuffer() override;
    bool reset() override;

private:
    bool addLine(const std::string& tags);

    Ifactory* factory_;     // not owned: a core object
    ref<IentityToken> owner_;  // outlives the module's own hold after _unload
    unsigned length_ = 0;
    unsigned depth_ = 0;
    Ivector* lines_;
};

}  // namespace vesk::xml
