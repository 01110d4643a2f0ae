#include "testing/screen/windowPath.h"

namespace vesk::testing {

namespace {

struct search {
    const windowStep* step;
    std::vector<HWND> found;
};

bool Matches(HWND window, const windowStep& step) {
    if (!::IsWindowVisible(window))
        return false;
    if (!step.windowClass.empty() && WindowClassOf(window) != step.windowClass)
        return false;
    if (step.byCaption && WindowCaptionOf(window) != step.caption)
        return false;
    return !step.byId || ::GetDlgCtrlID(window) == step.id;
}

BOOL CALLBACK Collect(HWND window, LPARAM context) {
    auto* s = reinterpret_cast<search*>(context);
    if (Matches(window, *s->step))
        s->found.push_back(window);
    return TRUE;
}

std::vector<HWND> Candidates(HWND parent, const windowStep& step) {
    search s = {&step, {}};
    if (parent)
        ::EnumChildWindows(parent, &Collect, reinterpret_cast<LPARAM>(&s));
    else
        ::EnumWindows(&Collect, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND FindFrom(HWND parent, const std::vector<windowStep>& path, std::size_t index) {
    if (index == path.size())
        return parent;
    // Several windows may match a step; the path decides which one is meant.
    for (HWND candidate : Candidates(parent, path[index]))
        if (HWND found = FindFrom(candidate, path, index + 1))
            return found;
    return nullptr;
}

}  // namespace

HWND FindWindowByPath(const std::vector<windowStep>& path) {
    return path.empty() ? nullptr : FindFrom(nullptr, path, 0);
}

std::vector<HWND> VisibleDescendants(HWND parent, const std::string& windowClass) {
    windowStep step;
    step.windowClass = windowClass;
    return parent ? Candidates(parent, step) : std::vector<HWND>();
}

std::string WindowClassOf(HWND window) {
    char name[256] = "";
    int n = ::GetClassNameA(window, name, sizeof name);
    return std::string(name, n > 0 ? static_cast<std::size_t>(n) : 0);
}

std::string WindowCaptionOf(HWND window) {
    char text[512] = "";
    int n = ::GetWindowTextA(window, text, sizeof text);
    return std::string(text, n > 0 ? static_cast<std::size_t>(n) : 0);
}

}  // namespace vesk::testing
