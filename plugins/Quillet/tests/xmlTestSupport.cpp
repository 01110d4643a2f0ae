#include "plugins/Quillet/tests/xmlTestSupport.h"

#include <stdexcept>

#include "core/module.h"
#include "plugins/Quillet/tests/guardedBuffer.h"
#include "plugins/fs/tests/moduleHost.h"

namespace vesk::svctest {

namespace {

void loadXmlModule() {
    static bool loaded = false;
    if (loaded)
        return;
    moduleHost& host = moduleHost::instance();
    if (host.registerModule("Quillet") != 1)
        throw std::runtime_error("the XML module did not register");
    loaded = true;
}

}  // namespace

xml::IxmlParser* parser() {
    loadXmlModule();
    return lookupService<xml::IxmlParser>(moduleHost::instance().core());
}

xml::IxmlBuilder* builder() {
    loadXmlModule();
    return lookupService<xml::IxmlBuilder>(moduleHost::instance().core());
}

std::vector<record> records() {
    std::vector<record> out;
    for (xml::IxmlElement* e = parser()->firstElement(); e; e = parser()->nextElement()) {
        const char* parent = e->getParentName();
        out.push_back({e->getName(), e->getText(), parent ? parent : "<null>", e->getDepth(), e->getKind()});
    }
    return out;
}

std::vector<record> parseText(const std::string& bytes) {
    ref<Ibuffer> source = guarded(bytes);
    if (!parser()->parse(source.get()))
        return {};
    return records();
}

}  // namespace vesk::svctest
