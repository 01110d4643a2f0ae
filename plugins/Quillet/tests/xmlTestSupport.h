// Shared by the XML module's tests: the module registered once, and parse
// results as plain records that compare and print.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "vesk/xml.h"

namespace vesk::svctest {

struct record {
    std::string name, text, parent;  // parent "<null>" for none
    int depth = 0;
    int kind = 0;
    bool operator==(const record& o) const {
        return name == o.name && text == o.text && parent == o.parent && depth == o.depth && kind == o.kind;
    }
};

inline std::ostream& operator<<(std::ostream& os, const record& r) {
    return os << "(" << r.name << ", " << r.text << ", " << r.parent << ", depth " << r.depth << ", kind "
              << r.kind << ")";
}

// Registers the XML module (once) and returns its published services.
xml::IxmlParser* parser();
xml::IxmlBuilder* builder();

// The records of the parser's last parse.
std::vector<record> records();
// Parses the bytes from a guarded buffer; the records, or none on failure.
std::vector<record> parseText(const std::string& bytes);

}  // namespace vesk::svctest
