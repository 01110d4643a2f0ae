#include "plugins/Ombrel/filterOperators.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "vesk/data.h"

namespace vesk::ss {

namespace {

// The sign of the comparison of two values of one type code.
int compareSameType(const value& a, const value& b) {
    if (a.code == vt::cString) {
        const char* x = a.payload.text ? a.payload.text : "";
        const char* y = b.payload.text ? b.payload.text : "";
        return std::strcmp(x, y);  // compares as unsigned bytes
    }
    std::int32_t x = 0, y = 0;
    switch (a.code) {
    // Narrow numbers by their value, whatever the unused payload bytes hold.
    case vt::charV: x = a.payload.c; y = b.payload.c; break;
    case vt::ucharV: x = a.payload.uc; y = b.payload.uc; break;
    case vt::shortV: x = a.payload.s; y = b.payload.s; break;
    case vt::ushortV: x = a.payload.us; y = b.payload.us; break;
    default:
        // The first 32 bits as a signed number: unsigned values of 2^31 and
        // more compare as negative, objects by their address, 64-bit
        // numbers by their low half, floats by their bits.
        std::memcpy(&x, &a.payload, sizeof x);
        std::memcpy(&y, &b.payload, sizeof y);
        break;
    }
    return x < y ? -1 : (x > y ? 1 : 0);
}

template <class Test>
bool compare(const value& left, const value& right, Test test) {
    if (left.code != right.code)
        return false;
    return test(compareSameType(left, right));
}

constexpr std::size_t textCut = 260;

// The text of a C string or string object, cut and lower-cased.
bool foldedText(const value& v, std::string& out) {
    const char* text = nullptr;
    if (v.code == vt::cString)
        text = v.payload.text;
    else if (v.code == vt::stringObject)
        text = v.payload.string ? v.payload.string->c_str() : nullptr;
    else
        return false;
    out.assign(text ? text : "");
    if (out.size() > textCut)
        out.resize(textCut);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return true;
}

}  // namespace

namespace op {

bool Less(value l, value r) { return compare(l, r, [](int s) { return s < 0; }); }
bool LessOrEqual(value l, value r) { return compare(l, r, [](int s) { return s <= 0; }); }
bool Greater(value l, value r) { return compare(l, r, [](int s) { return s > 0; }); }
bool GreaterOrEqual(value l, value r) { return compare(l, r, [](int s) { return s >= 0; }); }
bool Equal(value l, value r) { return compare(l, r, [](int s) { return s == 0; }); }
bool NotEqual(value l, value r) { return compare(l, r, [](int s) { return s != 0; }); }

bool In(value left, value right) {
    std::string l, r;
    if (!foldedText(left, l) || !foldedText(right, r))
        return false;
    return l.find(r) != std::string::npos;
}

bool TextOrder(value left, value right) {
    std::string l, r;
    if (!foldedText(left, l) || !foldedText(right, r))
        return false;
    std::size_t at = 0;
    for (char c : r) {
        // From the previous match on, that match included.
        at = l.find(c, at);
        if (at == std::string::npos)
            return false;
    }
    return true;
}

}  // namespace op

bool RegisterStandardOperators(ISSManager* manager) {
    struct entry {
        const char* name;
        FilterOperatorFn fn;
    };
    const entry operators[] = {
        {"<", op::Less},        {"<=", op::LessOrEqual}, {">", op::Greater},
        {">=", op::GreaterOrEqual}, {"==", op::Equal},   {"!=", op::NotEqual},
        {"IN", op::In},         {"TEXTORDER", op::TextOrder},
    };
    bool all = true;
    for (const entry& e : operators)
        all = manager->RegisterOperator(e.name, e.fn) && all;
    return all;
}

}  // namespace vesk::ss
