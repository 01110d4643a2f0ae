#include "plugins/persist/installSettings.h"

#include "core/module.h"
#include "plugins/persist/services.h"
#include "plugins/persist/valueText.h"
#include "vesk/fs.h"

namespace vesk::persist {

installSettings::installSettings()
    : values_(createAs<Ihash>(services().factory, services().owner, "vesk::hash", addRefMode)) {
    registerInterfaceOf<IinstallSettings>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

value installSettings::getValue(const char* key) {
    if (!key)
        return value(0UL);
    return values_ ? values_->find(value(key)) : nothing();
}

fs::Ifile* installSettings::load(fs::Ifile* file) {
    xml::IxmlParser* parser = services().parser;
    if (!parser || !file)
        return nullptr;
    if (!file->exists() || !values_)
        return file;
    ref<fs::Ifile> hold(file);
    values_->clear();
    parser->reset();
    if (!file->open(0, fs::shareDenyNone))
        return file;  // exists but cannot be read: left for another start
    parser->parse(file);
    file->close();
    file->remove();
    takeRecords();
    parser->reset();
    return file;
}

// Groups play no part: every element whose text holds a '(' is one value,
// under the element's name; an unknown tag is kept as an empty value.
void installSettings::takeRecords() {
    xml::IxmlParser* parser = services().parser;
    for (xml::IxmlElement* e = parser->firstElement(); e; e = parser->nextElement()) {
        std::string text = percentDecode(e->getText());
        size_t tag = text.find('(');
        if (tag == std::string::npos)
            continue;
        value v = valueFromText(text, tag);
        ref<Igeneric> hold(v.anyObject());
        ref<Istring> name = newText(e->getName());
        if (name)
            values_->set(value(name.get()), v);
    }
}

}  // namespace vesk::persist
