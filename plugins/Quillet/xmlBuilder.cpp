#include "plugins/Quillet/xmlBuilder.h"

#include <new>

#include "core/module.h"
#include "core/string.h"
#include "core/text.h"
#include "vesk/data.h"

namespace vesk::xml {

xmlBuilder::xmlBuilder(Ifactory* factory, IentityToken* owner)
    : factory_(factory), owner_(owner), lines_(createAs<Ivector>(factory, owner, "vesk::vector", addRefMode)) {
    registerInterfaceOf<IxmlBuilder>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
    if (lines_)
        lines_->addRef();
}

xmlBuilder::~xmlBuilder() {
    if (lines_)
        lines_->release();
}

bool xmlBuilder::addLine(const std::string& tags) {
    if (!lines_)
        return false;
    std::string line(depth_, '\t');
    line += tags;
    line += '\n';
    Istring* s = new (std::nothrow) string(line.c_str());
    if (!s)
        return false;
    if (!s->c_str()) {
        ref<Istring> discard(s);  // the copy could not be made
        return false;
    }
    lines_->pushBack(value(s));
    length_ += static_cast<unsigned>(line.size());
    return true;
}

bool xmlBuilder::openElement(const char* name) {
    if (!name || !addLine(std::string("<") + name + ">"))
        return false;
    ++depth_;
    return true;
}

bool xmlBuilder::addElement(const char* name, const char* text) {
    if (!name || !text)
        return false;
    return addLine(std::string("<") + name + ">" + text + "</" + name + ">");
}

bool xmlBuilder::closeElement(const char* name) {
    if (!name)
        return false;
    if (depth_ > 0)  // a close without an open must not wrap the depth
        --depth_;
    return addLine(std::string("</") + name + ">");
}

// Null when nothing was written, and when the lines could not all be
// joined: a truncated document must never pass for the whole one. The text
// is joined first and handed to the buffer in one piece: a buffer grown
// line by line copies the whole document at every line.
Ibuffer* xmlBuilder::getBuffer() {
    if (!lines_ || lines_->empty())
        return nullptr;
    std::string text;
    try {
        text.reserve(length_);
        for (unsigned i = 0; i < lines_->size(); ++i)
            text += textOrEmpty(lines_->at(i).asString());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (text.size() != length_ || text.size() > 0x7FFFFFFFu)
        return nullptr;
    Ibuffer* joined = createAs<Ibuffer>(factory_, owner_.get(), "vesk::buffer");
    if (!joined)
        return nullptr;
    joined->assign(text.data(), static_cast<int>(text.size()));
    if (joined->resize(0) != length_) {
        ref<Ibuffer> discard(joined);
        return nullptr;
    }
    return joined;
}

bool xmlBuilder::reset() {
    if (lines_)
        lines_->clear();
    length_ = 0;
    depth_ = 0;
    return true;
}

}  // namespace vesk::xml
