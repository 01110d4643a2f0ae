// "vesk::xml::xmlParser": turns a buffer or an open file into element
// records. It reads the source's bytes in place, never past their end and
// never writing to them; the '<!-' rule that reads the next character as
// '-' is kept in a set of positions instead of being written into the text.
#pragma once

#include <set>
#include <string>

#include "core/capsule.h"
#include "vesk/containers.h"
#include "vesk/data.h"
#include "vesk/directory.h"
#include "vesk/factory.h"
#include "vesk/xml.h"

namespace vesk::xml {

class xmlParser : public objectBase, public IxmlParser, public IcoreObject {
public:
    xmlParser(Ifactory* factory, IentityToken* owner);
    virtual ~xmlParser();

    // False when the containers could not be made.
    bool ready() const { return elements_ && built_ && open_; }

    bool parse(Igeneric* source) override;
    IxmlElement* firstElement() override;
    IxmlElement* nextElement() override;
    bool reset() override;

private:
    enum parseState { inOpeningTag = 2, inClosingTag = 3, afterCharacter = 4, afterTagEnd = 5 };

    void startScan(Ibuffer* source);
    void scan();
    char at(unsigned i) const;
    // The characters from..to, both included; false when out of range.
    bool slice(unsigned from, unsigned to, std::string& out) const;
    void skipBlanks();
    void onTagStart();
    void onTagEnd();
    void onCharacter(char c);
    void buildRecord();
    void finishElement();

    // Kept between parses.
    Ibuffer* source_ = nullptr;   // one reference while a parse runs
    Ivector* elements_ = nullptr; // the records of the last parse
    Istack* built_ = nullptr;     // every record built during a parse
    Istack* open_ = nullptr;      // opening tags that can still be parents

    // State of one parse.
    int depth_ = 0;
    int state_ = 0;
    int kind_ = 0;
    std::string parentName_, name_, text_, token_;
    const unsigned char* bytes_ = nullptr;  // the source's, not owned
    unsigned size_ = 0;
    unsigned position_ = 0;
    unsigned tagStart_ = 0, tagEnd_ = 0, textStart_ = 0, textEnd_ = 0;
    bool justOpened_ = false, justClosed_ = false;
    std::set<unsigned> dashes_;
};

}  // namespace vesk::xml
