#include "plugins/Quillet/xmlParser.h"

#include "core/module.h"
#include "plugins/Quillet/xmlElement.h"
#include "vesk/fs.h"

namespace vesk::xml {

namespace {

bool isBlank(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

IxmlElement* topOf(Istack* stack) { return interfaceCast<IxmlElement>(stack->top().asGeneric()); }

value elementValue(IxmlElement* e) { return value(static_cast<Igeneric*>(e)); }

// The buffer to parse, with one reference: the buffer itself, or the whole
// content of an open file.
Ibuffer* sourceBuffer(Igeneric* source) {
    Ibuffer* b = interfaceCast<Ibuffer>(source);
    if (!b) {
        fs::Ifile* f = interfaceCast<fs::Ifile>(source);
        if (!f)
            return nullptr;
        unsigned long long size = f->getSize();
        b = f->read(size > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<unsigned>(size), 0);
    }
    if (b)
        b->addRef();
    return b;
}

}  // namespace

xmlParser::xmlParser(Ifactory* factory, IentityToken* owner)
    : elements_(createAs<Ivector>(factory, owner, "vesk::vector", addRefMode)),
      built_(createAs<Istack>(factory, owner, "vesk::stack", addRefMode)),
      open_(createAs<Istack>(factory, owner, "vesk::stack", addRefMode)) {
    registerInterfaceOf<IxmlParser>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
    for (Igeneric* held : {static_cast<Igeneric*>(elements_), static_cast<Igeneric*>(built_),
                           static_cast<Igeneric*>(open_)})
        if (held)
            held->addRef();
}

xmlParser::~xmlParser() {
    for (Igeneric* held : {static_cast<Igeneric*>(elements_), static_cast<Igeneric*>(built_),
                           static_cast<Igeneric*>(open_)})
        if (held)
            held->release();
}

bool xmlParser::parse(Igeneric* source) {
    if (!ready())
        return false;
    Ibuffer* b = sourceBuffer(source);
    if (!b)
        return false;
    source_ = b;
    startScan(b);
    scan();
    built_->clear();
    open_->clear();
    bytes_ = nullptr;
    dashes_.clear();
    source_ = nullptr;
    b->release();
    return true;
}

void xmlParser::startScan(Ibuffer* source) {
    reset();
    unsigned total = source->resize(0);
    int from = source->tell();
    bytes_ = source->current();
    size_ = bytes_ && from >= 0 && static_cast<unsigned>(from) <= total ? total - from : 0;
    position_ = tagStart_ = tagEnd_ = textStart_ = textEnd_ = 0;
    justOpened_ = justClosed_ = false;
    depth_ = state_ = kind_ = 0;
    token_.clear();
    parentName_.clear();
    name_.clear();
    text_.clear();
    dashes_.clear();
}

char xmlParser::at(unsigned i) const {
    if (!dashes_.empty() && dashes_.count(i))
        return '-';
    return static_cast<char>(bytes_[i]);
}

bool xmlParser::slice(unsigned from, unsigned to, std::string& out) const {
    if (from > to || to >= size_)
        return false;
    out.clear();
    for (unsigned i = from; i <= to; ++i)
        out += at(i);
    return true;
}

void xmlParser::scan() {
    while (position_ < size_) {
        char c = at(position_);
        if (isBlank(c))
            skipBlanks();
        else if (c == '"' || c == '=')
            ++position_;
        else if (c == '<')
            onTagStart();
        else if (c == '>')
            onTagEnd();
        else
            onCharacter(c);
    }
}

void xmlParser::skipBlanks() {
    while (position_ < size_ && isBlank(at(position_)))
        ++position_;
}

void xmlParser::onTagStart() {
    justOpened_ = false;
    tagStart_ = position_ + 1;
    textEnd_ = position_ - 1;  // wraps at 0 as unsigned; slice refuses it
    // The raw text between '>' and '<', blanks and all, replaces the
    // characters collected one by one.
    if (textStart_ < textEnd_ && !token_.empty() && slice(textStart_, textEnd_, token_))
        textStart_ = textEnd_ = 0;

    ++position_;
    if (position_ >= size_)
        return;  // input ends inside the tag
    char next = at(position_);
    if (next == '/') {
        if (justClosed_) {
            open_->pop();
            justClosed_ = false;
        }
        kind_ = elementKind::closing;
        state_ = inClosingTag;
        ++position_;
    } else if (next == '!') {
        ++position_;
        if (position_ < size_ && at(position_) == '-') {
            if (position_ + 1 < size_)
                dashes_.insert(position_ + 1);
            ++position_;
        }
    } else {
        kind_ = elementKind::opening;
        state_ = inOpeningTag;
        ++depth_;
        justClosed_ = false;
    }
}

void xmlParser::onTagEnd() {
    if (textStart_ != 0 || textEnd_ != 0) {
        tagEnd_ = position_ - 1;
        // A closing tag collects no characters: its token is its raw text,
        // "/" and the name.
        if (tagStart_ < tagEnd_ && token_.empty())
            slice(tagStart_, tagEnd_, token_);
    }
    tagStart_ = tagEnd_ = 0;
    buildRecord();
    textStart_ = position_ + 1;
    if (state_ == inClosingTag) {
        finishElement();
        --depth_;
        justClosed_ = true;
    }
    if (kind_ == elementKind::opening)
        justOpened_ = true;
    ++position_;
    token_.clear();
    state_ = afterTagEnd;
}

void xmlParser::onCharacter(char c) {
    if (state_ != inClosingTag) {
        token_ += c;
        state_ = afterCharacter;
    }
    if (justOpened_) {
        open_->pop();  // an element that holds text is not a parent
        justOpened_ = false;
    }
    ++position_;
}

void xmlParser::buildRecord() {
    if (token_.empty())
        return;
    if (IxmlElement* parent = topOf(open_))
        parentName_ = parent->getName();
    if (IxmlElement* last = topOf(built_))
        name_ = last->getName();
    if (kind_ == elementKind::opening)
        name_ = token_;
    else if (kind_ == elementKind::closing)
        text_ = token_;
    IxmlElement* record = newElement(name_.c_str(), text_.c_str(), parentName_.c_str(), kind_, depth_);
    parentName_.clear();
    name_.clear();
    text_.clear();
    if (!record)
        return;
    if (kind_ == elementKind::opening)
        open_->push(elementValue(record));
    built_->push(elementValue(record));
}

void xmlParser::finishElement() {
    IxmlElement* parent = topOf(open_);
    IxmlElement* last = topOf(built_);
    if (!last)
        return;  // more closing tags than anything built
    if (!*last->getText()) {
        built_->pop();
        return;
    }
    IxmlElement* record = newElement(last->getName(), last->getText(), parent ? parent->getName() : nullptr,
                                     parent ? parent->getKind() : elementKind::noParent, last->getDepth());
    if (record)
        elements_->pushBack(elementValue(record));
}

IxmlElement* xmlParser::firstElement() {
    return elements_ ? interfaceCast<IxmlElement>(elements_->first().asGeneric()) : nullptr;
}

IxmlElement* xmlParser::nextElement() {
    return elements_ ? interfaceCast<IxmlElement>(elements_->next().asGeneric()) : nullptr;
}

bool xmlParser::reset() {
    if (!ready())
        return false;
    elements_->clear();
    built_->clear();
    open_->clear();
    return true;
}

}  // namespace vesk::xml
