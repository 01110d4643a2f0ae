#include "extern/comserver/registryScript.h"

#include <cstring>

namespace vesk::comserver {

namespace {

struct token {
    enum kind { end, word, quoted, open, close, equals } type = end;
    std::string text;
    int line = 0;
};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool sameWord(const std::string& a, const char* b) {
    return a.size() == std::strlen(b) && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b, -1) == CSTR_EQUAL;
}

bool toWide(const std::string& text, std::wstring& out) {
    out.clear();
    if (text.empty())
        return true;
    int n = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0)
        return false;
    out.resize(static_cast<size_t>(n));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), &out[0],
                               n) == n;
}

struct rootName {
    const char* shortName;
    const char* longName;
    HKEY key;
};

const rootName rootNames[] = {
    {"HKCR", "HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
    {"HKLM", "HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
};

class scriptParser {
public:
    scriptParser(const std::string& text, const replacementList& replacements)
        : text_(text), replacements_(replacements) {}

    bool parse(registryScript& script) {
        next();
        while (current_.type != token::end && ok()) {
            scriptRoot root{};
            if (!readRoot(root.root) || !expect(token::open, "'{' after the root"))
                break;
            readBlock(nullptr, root.keys);
            script.roots.push_back(std::move(root));
        }
        return ok();
    }

    const std::string& error() const { return error_; }

private:
    bool ok() const { return error_.empty(); }

    void fail(const std::string& what) {
        if (ok())
            error_ = "registry script, line " + std::to_string(current_.line) + ": " + what;
    }

    // Reads the next token into current_.
    void next() {
        while (at_ < text_.size() && isSpace(text_[at_])) {
            if (text_[at_] == '\n')
                ++line_;
            ++at_;
        }
        current_ = token{};
        current_.line = line_;
        if (at_ >= text_.size())
            return;
        if (text_[at_] == '\'') {
            readQuoted();
            return;
        }
        size_t start = at_;
        while (at_ < text_.size() && !isSpace(text_[at_]))
            ++at_;
        current_.text = text_.substr(start, at_ - start);
        if (current_.text == "{")
            current_.type = token::open;
        else if (current_.text == "}")
            current_.type = token::close;
        else if (current_.text == "=")
            current_.type = token::equals;
        else if (current_.text.find('\'') != std::string::npos)
            fail("a quote inside the word " + current_.text);
        else
            current_.type = token::word;
    }

    void readQuoted() {
        ++at_;
        for (;;) {
            if (at_ >= text_.size()) {
                fail("quoted text without its closing quote");
                return;
            }
            char c = text_[at_++];
            if (c == '\n')
                ++line_;
            if (c != '\'') {
                current_.text += c;
                continue;
            }
            if (at_ < text_.size() && text_[at_] == '\'') {
                current_.text += '\'';
                ++at_;
                continue;
            }
            break;
        }
        if (at_ < text_.size() && !isSpace(text_[at_])) {
            fail("quoted text runs into other text");
            return;
        }
        current_.type = token::quoted;
    }

    bool expect(token::kind type, const char* what) {
        if (!ok())
            return false;
        if (current_.type != type) {
            fail(std::string("expected ") + what);
            return false;
        }
        next();
        return ok();
    }

    bool readRoot(HKEY& root) {
        if (current_.type == token::word)
            for (const rootName& name : rootNames)
                if (sameWord(current_.text, name.shortName) || sameWord(current_.text, name.longName)) {
                    root = name.key;
                    next();
                    return ok();
                }
        fail("unknown root " + current_.text);
        return false;
    }

    // The entries of a block up to its closing brace; owner is the key the
    // block belongs to, null directly under a root (where values are not).
    void readBlock(scriptKey* owner, std::vector<scriptKey>& keys) {
        while (ok() && current_.type != token::close) {
            if (current_.type == token::end) {
                fail("a block without its closing '}'");
                return;
            }
            if (current_.type == token::word && sameWord(current_.text, "val")) {
                if (!owner) {
                    fail("a value outside a key");
                    return;
                }
                next();
                readNamedValue(*owner);
            } else {
                scriptKey key;
                if (readKey(key))
                    keys.push_back(std::move(key));
            }
        }
        expect(token::close, "'}'");
    }

    void readNamedValue(scriptKey& owner) {
        scriptValue value;
        if (!readName(value.name, "a value name") || !expect(token::equals, "'=' after the value name") ||
            !readStringValue(value.text))
            return;
        owner.values.push_back(std::move(value));
    }

    bool readKey(scriptKey& key) {
        if (current_.type == token::word && sameWord(current_.text, "NoRemove")) {
            key.rule = removal::never;
            next();
        } else if (current_.type == token::word && sameWord(current_.text, "ForceRemove")) {
            key.rule = removal::whole;
            next();
        }
        if (!readName(key.name, "a key name"))
            return false;
        if (key.name.find(L'\\') != std::wstring::npos) {
            fail("a key name with a backslash: one key per name");
            return false;
        }
        if (current_.type == token::equals) {
            next();
            scriptValue defaultValue;
            if (!readStringValue(defaultValue.text))
                return false;
            key.values.push_back(std::move(defaultValue));
        }
        if (current_.type == token::open) {
            next();
            readBlock(&key, key.subkeys);
        }
        return ok();
    }

    // A bare word that is no keyword, or quoted text.
    bool readName(std::wstring& name, const char* what) {
        if (!ok())
            return false;
        bool keyword = current_.type == token::word &&
                       (sameWord(current_.text, "val") || sameWord(current_.text, "NoRemove") ||
                        sameWord(current_.text, "ForceRemove"));
        if ((current_.type != token::word && current_.type != token::quoted) || keyword || current_.text.empty()) {
            fail(std::string("expected ") + what);
            return false;
        }
        bool converted = current_.type == token::quoted ? expand(current_.text, name) : toWide(current_.text, name);
        if (!converted) {
            fail("a name that is not UTF-8 text or names an unknown replacement");
            return false;
        }
        next();
        return ok();
    }

    // "s 'text'": the only type of value a script writes.
    bool readStringValue(std::wstring& text) {
        if (current_.type != token::word || !sameWord(current_.text, "s")) {
            fail("expected s (a string value) after '='");
            return false;
        }
        next();
        if (!ok() || current_.type != token::quoted) {
            fail("expected quoted text for the value");
            return false;
        }
        if (!expand(current_.text, text)) {
            fail("text that is not UTF-8 or names an unknown replacement");
            return false;
        }
        next();
        return ok();
    }

    // Quoted text with every %NAME% replaced.
    bool expand(const std::string& quoted, std::wstring& out) {
        out.clear();
        size_t at = 0;
        while (at < quoted.size()) {
            size_t mark = quoted.find('%', at);
            std::wstring literal;
            if (!toWide(quoted.substr(at, mark == std::string::npos ? std::string::npos : mark - at), literal))
                return false;
            out += literal;
            if (mark == std::string::npos)
                break;
            size_t close = quoted.find('%', mark + 1);
            if (close == std::string::npos)
                return false;
            const std::wstring* replacement = find(quoted.substr(mark + 1, close - mark - 1));
            if (!replacement)
                return false;
            out += *replacement;
            at = close + 1;
        }
        return true;
    }

    const std::wstring* find(const std::string& name) const {
        for (const auto& entry : replacements_)
            if (entry.first == name)
                return &entry.second;
        return nullptr;
    }

    const std::string& text_;
    const replacementList& replacements_;
    size_t at_ = 0;
    int line_ = 1;
    token current_;
    std::string error_;
};

}  // namespace

bool parseRegistryScript(const std::string& text, const replacementList& replacements, registryScript& script,
                         std::string& error) {
    script = registryScript{};
    scriptParser parser(text, replacements);
    if (parser.parse(script)) {
        error.clear();
        return true;
    }
    script = registryScript{};
    error = parser.error();
    return false;
}

}  // namespace vesk::comserver
