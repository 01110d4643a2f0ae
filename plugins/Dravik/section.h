// A critical section and its scope guard, for the little state the window
// library shares between threads (hook lists, the window binding table).
#pragma once

#include <windows.h>

namespace vesk::ui {

class criticalSection {
public:
    criticalSection() { InitializeCriticalSection(&section_); }
    ~criticalSection() { DeleteCriticalSection(&section_); }
    criticalSection(const criticalSection&) = delete;
    criticalSection& operator=(const criticalSection&) = delete;
    void enter() { EnterCriticalSection(&section_); }
    void leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class sectionGuard {
public:
    explicit sectionGuard(criticalSection& s) : section_(s) { section_.enter(); }
    ~sectionGuard() { section_.leave(); }
    sectionGuard(const sectionGuard&) = delete;
    sectionGuard& operator=(const sectionGuard&) = delete;

private:
    criticalSection& section_;
};

}  // namespace vesk::ui
