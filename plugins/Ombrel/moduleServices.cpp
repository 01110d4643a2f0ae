#include "plugins/Ombrel/moduleServices.h"

#include <vector>

#include "core/string.h"

namespace vesk::ss {

moduleServices& services() {
    static moduleServices state;
    return state;
}

void logText(const char* text) { logLine(services().log, text); }

std::string languageText(unsigned id, int limit) {
    ui::IUIControl* control = services().uiControl;
    if (!control || limit <= 1)
        return std::string();
    std::vector<char> text(limit, '\0');
    int n = LoadStringA(control->GetResourceInstance(), id, text.data(), limit);
    return n > 0 ? std::string(text.data(), n) : std::string();
}

HINSTANCE defaultResources() {
    ui::IUIControl* control = services().uiControl;
    return control ? control->GetDefaultResourceInstance() : nullptr;
}

}  // namespace vesk::ss
