#include "testing/screen/redrawCheck.h"

#include <algorithm>

#include "testing/screen/screenCapture.h"

namespace vesk::testing {

namespace {

// Settled: unchanged over settledSteps steps (the platform's own late
// changes, such as a caption's active state, come within that).
constexpr DWORD settleStepMs = 150;
constexpr int settledSteps = 3;

bool SameImage(const rgbImage& a, const rgbImage& b) {
    return a.width == b.width && a.height == b.height && a.rgb == b.rgb;
}

}  // namespace

void SleepFor(DWORD ms) { ::Sleep(ms); }

rgbImage CaptureSettled(HWND window, const letRun& wait, DWORD limitMs) {
    DWORD start = ::GetTickCount();
    wait(settleStepMs);
    rgbImage last = CaptureWindow(window);
    int unchanged = 0;
    for (;;) {
        wait(settleStepMs);
        rgbImage next = CaptureWindow(window);
        unchanged = SameImage(last, next) ? unchanged + 1 : 0;
        last = std::move(next);
        if (unchanged >= settledSteps || ::GetTickCount() - start >= limitMs)
            return last;
    }
}

void RedrawWhole(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

std::size_t DifferingPixels(const rgbImage& a, const rgbImage& b, RECT* box) {
    if (a.width != b.width || a.height != b.height || a.empty() || b.empty()) {
        if (box)
            *box = RECT{0, 0, std::max(a.width, b.width), std::max(a.height, b.height)};
        return std::max(a.pixelCount(), b.pixelCount());
    }
    std::size_t count = 0;
    RECT around = {a.width, a.height, 0, 0};
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(a.width) +
                              static_cast<std::size_t>(x)) * 3;
            if (a.rgb[at] == b.rgb[at] && a.rgb[at + 1] == b.rgb[at + 1] && a.rgb[at + 2] == b.rgb[at + 2])
                continue;
            ++count;
            around.left = std::min<LONG>(around.left, x);
            around.top = std::min<LONG>(around.top, y);
            around.right = std::max<LONG>(around.right, x + 1);
            around.bottom = std::max<LONG>(around.bottom, y + 1);
        }
    if (box)
        *box = count ? around : RECT{0, 0, 0, 0};
    return count;
}

redrawCheck CheckAgainstRedraw(HWND window, const letRun& wait, DWORD limitMs) {
    redrawCheck check;
    check.settled = CaptureSettled(window, wait, limitMs);
    RedrawWhole(window);
    DWORD start = ::GetTickCount();
    std::size_t fewest = 0;
    for (bool first = true;; first = false) {
        wait(settleStepMs);
        rgbImage now = CaptureWindow(window);
        RECT box;
        std::size_t differing = DifferingPixels(check.settled, now, &box);
        if (first || differing < fewest) {
            fewest = differing;
            check.redrawn = std::move(now);
            check.differing = differing;
            check.box = box;
        }
        if (differing == 0 || ::GetTickCount() - start >= limitMs)
            break;
    }
    check.same = check.differing == 0 && !check.settled.empty();
    return check;
}

}  // namespace vesk::testing
