// The XML subset parser and the line builder, published by the XML module
// as "vesk::xml::IxmlParser *" and "vesk::xml::IxmlBuilder *". They know
// nested elements with text only: no attributes, declarations, comments,
// entity references or CDATA. Each is one object per process holding one
// document at a time, without a lock.
#pragma once

#include "vesk/object.h"

namespace vesk {

struct Ibuffer;

namespace xml {

// Kinds of element records.
namespace elementKind {
constexpr int opening = 2;
constexpr int closing = 3;
constexpr int noParent = 0xFFFF;
}  // namespace elementKind

// One record of a parse. Texts are owned by the record and never null
// except getParentName, which is null for an element without a parent.
struct IxmlElement : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::xml::IxmlElement *";
    virtual const char* getName() = 0;
    virtual const char* getText() = 0;
    virtual const char* getParentName() = 0;
    virtual int getDepth() = 0;
    virtual int getKind() = 0;
};

struct IxmlParser : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::xml::IxmlParser *";
    // source: a buffer (parsed from its position) or an open file (read
    // whole). False for null, another kind of object or a file that gives
    // nothing. The source is never written to; damaged input ends the parse
    // with the records found so far.
    virtual bool parse(Igeneric* source) = 0;
    // Records of the last parse, held by the parser (no reference added)
    // until the next parse or reset; null after the last.
    virtual IxmlElement* firstElement() = 0;
    virtual IxmlElement* nextElement() = 0;
    virtual bool reset() = 0;
};

// Writes one line per call: depth TABs, the tag(s), a line feed. Names and
// texts go out unchanged (the caller encodes them); a null one is ignored.
struct IxmlBuilder : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::xml::IxmlBuilder *";
    virtual bool openElement(const char* name) = 0;
    virtual bool addElement(const char* name, const char* text) = 0;
    virtual bool closeElement(const char* name) = 0;
    // Characters written so far.
    virtual unsigned getLength() = 0;
    // A new buffer (count 0) holding every line, no terminating zero; null
    // when nothing was written.
    virtual Ibuffer* getBuffer() = 0;
    virtual bool reset() = 0;
};

}  // namespace xml
}  // namespace vesk
