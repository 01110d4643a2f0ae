// A window named as a user would point at it: a top window by class and/or
// caption, then, step by step, a visible window somewhere inside the one
// before by class, caption and/or control id. Works on any process's
// windows: only handles are compared, nothing is read through a pointer.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vesk::testing {

struct windowStep {
    std::string windowClass;  // empty: any class
    std::string caption;
    bool byCaption = false;
    int id = 0;
    bool byId = false;
};

// The first visible window matching every step (the first step among the
// top windows), or null.
HWND FindWindowByPath(const std::vector<windowStep>& path);

// The visible windows of that class inside parent, at any depth, in the
// order the system lists them.
std::vector<HWND> VisibleDescendants(HWND parent, const std::string& windowClass);

std::string WindowClassOf(HWND window);
std::string WindowCaptionOf(HWND window);

}  // namespace vesk::testing
