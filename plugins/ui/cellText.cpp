#include "plugins/ui/cellText.h"

#include <cstdio>
#include <cstring>

#include "vesk/data.h"

namespace vesk::ui {

std::string CellText(const value& v) {
    char number[24];
    switch (v.code) {
    case vt::longV:
        std::snprintf(number, sizeof number, "%ld", v.payload.l);
        return number;
    case vt::ulongV:
        std::snprintf(number, sizeof number, "%lu", v.payload.ul);
        return number;
    case vt::ushortV:
        std::snprintf(number, sizeof number, "%u", static_cast<unsigned>(v.payload.us));
        return number;
    case vt::cString:
        return v.payload.text ? v.payload.text : "";
    case vt::stringObject: {
        const char* text = v.payload.string ? v.payload.string->c_str() : nullptr;
        return text ? text : "";
    }
    default:
        return std::string();
    }
}

void CopyCut(const std::string& text, char* out, std::size_t size) {
    if (!out || size == 0)
        return;
    std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(out, text.data(), n);
    out[n] = '\0';
}

void CellText(const value& v, char* out, std::size_t size) { CopyCut(CellText(v), out, size); }

std::string AttributeText(ss::IAgent* agent, const char* name) {
    // A missing attribute reads as the number 0, which is not its text.
    if (!agent || !name || !agent->HasAttribute(name))
        return std::string();
    return CellText(agent->GetAttribute(name));
}

long AttributeNumber(ss::IAgent* agent, const char* name, long fallback) {
    if (!agent || !name || !agent->HasAttribute(name))
        return fallback;
    value v = agent->GetAttribute(name);
    switch (v.code) {
    case vt::longV:
        return v.payload.l;
    case vt::ulongV:
        return static_cast<long>(v.payload.ul);
    case vt::ushortV:
        return v.payload.us;
    default:
        return fallback;
    }
}

}  // namespace vesk::ui
