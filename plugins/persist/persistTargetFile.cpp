#include "plugins/persist/persistTargetFile.h"

#include <windows.h>

#include <new>

#include "core/buffer.h"
#include "core/module.h"
#include "core/string.h"
#include "plugins/persist/durableReplace.h"
#include "plugins/persist/services.h"
#include "plugins/persist/settingsDocument.h"
#include "plugins/persist/valueText.h"
#include "vesk/data.h"

namespace vesk::persist {

namespace {

constexpr int readFlags = fs::openFlag::text;  // read only, line ends translated
constexpr int writeFlags = fs::openFlag::writeOnly | fs::openFlag::create | fs::openFlag::truncate |
                           fs::openFlag::text;
const char rootName[] = "vesk_settings";

}  // namespace

persistTargetFile::persistTargetFile(const char* path) : pending_(made<Ihash>("vesk::hash", addRefMode)) {
    registerInterfaceOf<IpersistTarget>(this);
    registerInterfaceOf<Igeneric>(this);
    if (!path)
        return;
    file_ = made<fs::Ifile>("vesk::fs::file", path);
    if (!file_)
        return;  // no file object: no path either
    path_ = path;
    readFile();
}

void persistTargetFile::readFile() {
    if (pending_)
        pending_->clear();
    xml::IxmlParser* parser = services().parser;
    if (!parser)
        return;
    if (!file_->open(readFlags, fs::shareDenyNone)) {
        // Missing: the store starts from defaults. Present but held by
        // another program or forbidden: its settings are unknown, and the
        // defaults must not be saved over them.
        if (GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES)
            neverWrite("could not be opened");
        return;
    }
    ref<Ibuffer> text(file_->read(0, 0));  // the file stays open until close()
    if (!text)
        return;
    if (!isWholeDocument(bufferData(text.get()), text->resize(0))) {
        keepDamagedFile();
        return;
    }
    parser->reset();
    if (parser->parse(text.get()))
        takeRecords();
    parser->reset();
}

// Element text -> value, filed under the parent (the group) and the name
// (the key). The root and the group elements have no tag and add nothing.
void persistTargetFile::takeRecords() {
    xml::IxmlParser* parser = services().parser;
    for (xml::IxmlElement* e = parser->firstElement(); e; e = parser->nextElement()) {
        value v = valueFromText(percentDecode(e->getText()));
        ref<Igeneric> hold(v.anyObject());  // a new string lives only if stored
        if (e->getParentName())
            setValue(e->getParentName(), e->getName(), v);
    }
}

// The next save would write the defaults over whatever the damaged file
// still holds: move it aside first, and write nothing if that fails.
void persistTargetFile::keepDamagedFile() {
    file_->close();
    std::string aside = path_ + ".bad";
    if (MoveFileExA(path_.c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        logLine(("PERSIST: " + path_ + " could not be read; kept as " + aside + ", starting from defaults").c_str());
        return;
    }
    neverWrite("could not be read nor moved aside");
}

void persistTargetFile::neverWrite(const char* why) {
    frozen_ = true;
    logLine(("PERSIST: " + path_ + " " + why + "; it will not be written").c_str());
}

bool persistTargetFile::setValue(const char* group, const char* key, value v) {
    if (!group || !key || v.code == vt::empty || !pending_)
        return false;
    Ivector* pairs = interfaceCast<Ivector>(pending_->find(value(group)).asGeneric());
    if (!pairs) {
        ref<Ivector> added = made<Ivector>("vesk::vector", addRefMode);
        ref<Istring> name = newText(group);
        if (!added || !name)
            return false;
        pending_->set(value(name.get()), value(static_cast<Igeneric*>(added.get())));
        pairs = added.get();
    }
    ref<Ipair> entry = made<Ipair>("vesk::pair", addRefMode);
    ref<Istring> keyText = newText(key);
    if (!entry || !keyText)
        return false;
    entry->setFirst(value(keyText.get()));
    entry->setSecond(v);
    pairs->pushBack(value(static_cast<Igeneric*>(entry.get())));
    return true;
}

bool persistTargetFile::close() {
    if (file_)
        file_->close();
    if (pending_)
        pending_->clear();
    return true;
}

Ivector* persistTargetFile::getValues() {
    if (!pending_ || pending_->empty())
        return nullptr;
    Ivector* all = createAs<Ivector>(services().factory, services().owner, "vesk::vector", addRefMode);
    if (!all)
        return nullptr;
    for (value g = pending_->first(); g.hasObject(); g = pending_->next()) {
        value group = pending_->currentKey();
        Ivector* pairs = interfaceCast<Ivector>(g.asGeneric());
        for (unsigned i = 0; pairs && i < pairs->size(); ++i) {
            Ipair* entry = interfaceCast<Ipair>(pairs->at(i).asGeneric());
            ref<Itrio> record = made<Itrio>("vesk::trio", addRefMode);
            if (!entry || !record)
                continue;
            record->setFirst(group);
            record->setSecond(entry->getFirst());
            record->setThird(entry->getSecond());
            all->pushBack(value(static_cast<Igeneric*>(record.get())));
        }
    }
    return all;
}

// The builder's document of every group, in the map's order, and of every
// pair that has a tag, in the order added. A group or key that cannot be an
// element's name is left out: written, it would make the whole file
// unreadable at the next start.
bool persistTargetFile::buildDocument() {
    xml::IxmlBuilder* builder = services().builder;
    builder->reset();
    builder->openElement(rootName);
    for (value g = pending_->first(); g.hasObject(); g = pending_->next()) {
        const char* group = textOf(pending_->currentKey());
        Ivector* pairs = interfaceCast<Ivector>(g.asGeneric());
        if (!isElementName(group) || !pairs)
            continue;
        builder->openElement(group);
        for (unsigned i = 0; i < pairs->size(); ++i) {
            Ipair* entry = interfaceCast<Ipair>(pairs->at(i).asGeneric());
            const char* key = entry ? textOf(entry->getFirst()) : nullptr;
            std::string text;
            if (isElementName(key) && valueText(entry->getSecond(), text))
                builder->addElement(key, percentEncode(text).c_str());
        }
        builder->closeElement(group);
    }
    return builder->closeElement(rootName);
}

bool persistTargetFile::save() {
    moduleServices& s = services();
    if (!file_ || !s.builder || !pending_ || frozen_)
        return false;
    if (pending_->empty())
        return true;  // nothing to write: the file stays as it is
    if (!buildDocument())
        return false;
    ref<Ibuffer> document(s.builder->getBuffer());
    s.builder->reset();
    return document && writeReplacing(document.get());
}

bool persistTargetFile::writeReplacing(Ibuffer* document) {
    std::string temporary = path_ + ".new";
    ref<fs::Ifile> out = made<fs::Ifile>("vesk::fs::file", temporary.c_str());
    bool opened = out && out->open(writeFlags, fs::shareDenyNone);
    bool written = opened && out->write(document, 0) == static_cast<int>(document->resize(0));
    bool closed = opened && out->close();
    file_->close();  // the read handle would keep the old file from being replaced
    if (written && closed && replaceDurably(temporary, path_))
        return true;
    if (opened)
        out->remove();
    logLine(("PERSIST: could not write " + path_ + "; the file on disk is unchanged").c_str());
    return false;
}

}  // namespace vesk::persist
