#include "runtime/commandLine.h"

#include <cstring>

namespace vesk {

std::vector<std::pair<std::string, std::string>> splitCommandLine(const char* text) {
    std::vector<std::pair<std::string, std::string>> items;
    if (!text)
        return items;
    const char* cursor = std::strchr(text, '-');
    while (cursor) {
        const char* name = cursor + 1;
        const char* blank = std::strchr(name, ' ');
        if (!blank) {
            items.emplace_back(std::string(name).substr(0, commandLineNameLimit), std::string());
            break;
        }
        std::string itemName(name, blank);
        const char* valueStart = blank + 1;
        // Searched from the value on, so that a '-' inside a name does not
        // end the value before it begins.
        const char* nextDash = std::strchr(valueStart, '-');
        std::string itemValue;
        if (!nextDash)
            itemValue = valueStart;
        else if (nextDash - 1 > valueStart)
            itemValue.assign(valueStart, nextDash - 1);
        items.emplace_back(itemName.substr(0, commandLineNameLimit), itemValue.substr(0, commandLineValueLimit));
        cursor = nextDash;
    }
    return items;
}

}  // namespace vesk
