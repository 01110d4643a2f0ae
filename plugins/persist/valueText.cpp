#include "plugins/persist/valueText.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "core/string.h"
#include "vesk/data.h"

namespace vesk::persist {

namespace {

// The tags in the order a text is compared with them.
struct tagInfo {
    const char* tag;
    std::uint32_t code;
};
const tagInfo tags[] = {
    {"(char)", vt::charV},        {"(uchar)", vt::ucharV},   {"(short)", vt::shortV},
    {"(ushort)", vt::ushortV},    {"(long)", vt::longV},     {"(ulong)", vt::ulongV},
    {"(longlong)", vt::longlongV}, {"(ulonglong)", vt::ulonglongV}, {"(float)", vt::floatV},
    {"(double)", vt::doubleV},    {"(string)", vt::stringObject},
};

const char* tagOf(std::uint32_t code) {
    for (const tagInfo& t : tags)
        if (t.code == code)
            return t.tag;
    return nullptr;
}

// "%f": six decimals, however long the integer part.
std::string fixedText(double d) {
    std::vector<char> text(64);
    for (;;) {
        int n = std::snprintf(text.data(), text.size(), "%f", d);
        if (n >= 0 && static_cast<size_t>(n) < text.size())
            return std::string(text.data(), n);
        text.resize(n >= 0 ? static_cast<size_t>(n) + 1 : text.size() * 2);
    }
}

bool mustEscape(unsigned char c) {
    return c <= 0x20 || c >= 0x7F || std::strchr("\"#%<>[\\]^{|}~`", c);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// atoi-like: leading blanks, a sign, digits; accumulated modulo 2^64 so
// that every value written, signed or unsigned, reads back equal.
std::uint64_t integerOf(const char* p) {
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+')
        ++p;
    std::uint64_t n = 0;
    for (; *p >= '0' && *p <= '9'; ++p)
        n = n * 10 + static_cast<std::uint64_t>(*p - '0');
    return negative ? ~n + 1 : n;
}

value stringValue(const char* text) {
    Istring* s = new (std::nothrow) string(text);
    return s ? value(s) : value();
}

}  // namespace

bool valueText(const value& v, std::string& out) {
    const char* tag = tagOf(v.code);
    if (!tag)
        return false;
    const auto& p = v.payload;
    std::string text;
    switch (v.code) {
    case vt::charV: text.assign(1, p.c); break;
    case vt::ucharV: text.assign(1, static_cast<char>(p.uc)); break;
    case vt::shortV: text = std::to_string(p.s); break;
    case vt::ushortV: text = std::to_string(p.us); break;
    case vt::longV: text = std::to_string(p.l); break;
    case vt::ulongV: text = std::to_string(static_cast<long>(p.ul)); break;  // "-1" for 4294967295
    case vt::longlongV: text = std::to_string(p.ll); break;
    case vt::ulonglongV: text = std::to_string(p.ull); break;
    case vt::floatV: text = fixedText(static_cast<double>(p.f)); break;
    case vt::doubleV: text = fixedText(p.d); break;
    case vt::stringObject:
        if (!p.string)
            return false;
        if (const char* s = p.string->c_str())
            text = s;
        break;
    default: return false;
    }
    out = tag + text;
    return true;
}

std::string percentEncode(const std::string& text) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        if (mustEscape(c)) {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string percentDecode(const char* text) {
    std::string out;
    if (!text)
        return out;
    for (const char* p = text; *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        ++p;
        int high = *p ? hexDigit(*p++) : -1;
        int low = *p ? hexDigit(*p++) : -1;
        if (high >= 0 && low >= 0 && (high | low))
            out += static_cast<char>(high * 16 + low);
    }
    return out;
}

value valueFromText(const std::string& decoded, size_t tagAt) {
    if (tagAt >= decoded.size())
        return value();
    const char* at = decoded.c_str() + tagAt;
    for (const tagInfo& t : tags) {
        size_t tagLength = std::strlen(t.tag);
        if (std::strncmp(at, t.tag, tagLength) != 0)
            continue;
        const char* rest = at + tagLength;  // after the tag's ')'
        std::uint64_t n = 0;
        switch (t.code) {
        case vt::charV: return value(static_cast<char>(*rest));
        case vt::ucharV: return value(static_cast<unsigned char>(*rest));
        case vt::stringObject: return stringValue(rest);
        case vt::floatV: return value(static_cast<float>(std::atof(rest)));
        case vt::doubleV: return value(std::atof(rest));
        default: n = integerOf(rest); break;
        }
        switch (t.code) {
        case vt::shortV: return value(static_cast<short>(n));
        case vt::ushortV: return value(static_cast<unsigned short>(n));
        case vt::longV: return value(static_cast<long>(static_cast<std::int32_t>(n)));
        case vt::ulongV: return value(static_cast<unsigned long>(static_cast<std::uint32_t>(n)));
        case vt::longlongV: return value(static_cast<long long>(n));
        default: return value(static_cast<unsigned long long>(n));
        }
    }
    return value();
}

}  // namespace vesk::persist
