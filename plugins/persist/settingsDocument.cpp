#include "plugins/persist/settingsDocument.h"

#include <algorithm>
#include <string>
#include <vector>

namespace vesk::persist {

namespace {

bool isBlank(unsigned char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

bool isNameByte(unsigned char c) { return c && c != '<' && c != '>' && c != '/' && !isBlank(c); }

class documentCheck {
public:
    documentCheck(const unsigned char* bytes, size_t size) : bytes_(bytes), size_(size) {}

    bool run() {
        for (;;) {
            skipBlanks();
            if (at_ == size_)
                return rootSeen_ && open_.empty();
            if (!tag())
                return false;
        }
    }

private:
    void skipBlanks() {
        while (at_ < size_ && isBlank(bytes_[at_]))
            ++at_;
    }

    // One tag at '<', and after an opening tag the text up to the next tag.
    bool tag() {
        if (bytes_[at_] != '<')
            return false;  // text outside an element
        ++at_;
        bool closing = at_ < size_ && bytes_[at_] == '/';
        if (closing)
            ++at_;
        size_t nameStart = at_;
        while (at_ < size_ && isNameByte(bytes_[at_]))
            ++at_;
        if (at_ == nameStart || at_ == size_ || bytes_[at_] != '>')
            return false;
        std::string name(reinterpret_cast<const char*>(bytes_) + nameStart, at_ - nameStart);
        ++at_;
        if (closing) {
            if (open_.empty() || open_.back() != name)
                return false;
            open_.pop_back();
            return true;
        }
        if (open_.empty() && rootSeen_)
            return false;  // a second root
        rootSeen_ = true;
        open_.push_back(name);
        return text();
    }

    // Text is allowed only where the next tag closes the element.
    bool text() {
        bool blanksOnly = true;
        while (at_ < size_ && bytes_[at_] != '<') {
            if (bytes_[at_] == '>' || bytes_[at_] == '\0')
                return false;
            blanksOnly = blanksOnly && isBlank(bytes_[at_]);
            ++at_;
        }
        if (at_ == size_)
            return false;
        return blanksOnly || (at_ + 1 < size_ && bytes_[at_ + 1] == '/');
    }

    const unsigned char* bytes_;
    size_t size_;
    size_t at_ = 0;
    bool rootSeen_ = false;
    std::vector<std::string> open_;
};

}  // namespace

// A UTF-8 byte-order mark that an editor put first is no damage: the
// parser reads past it to the root.
bool isWholeDocument(const unsigned char* bytes, size_t size) {
    static const unsigned char byteOrderMark[] = {0xEF, 0xBB, 0xBF};
    if (!bytes)
        return false;
    if (size >= sizeof byteOrderMark && std::equal(byteOrderMark, byteOrderMark + sizeof byteOrderMark, bytes)) {
        bytes += sizeof byteOrderMark;
        size -= sizeof byteOrderMark;
    }
    return documentCheck(bytes, size).run();
}

// Stricter than a readable name: the parser drops '"' and '=' from a tag
// and takes "<!" for a comment, so such a name would come back as another.
bool isElementName(const char* text) {
    if (!text || !*text || *text == '!')
        return false;
    for (const char* p = text; *p; ++p)
        if (!isNameByte(static_cast<unsigned char>(*p)) || *p == '"' || *p == '=')
            return false;
    return true;
}

}  // namespace vesk::persist
