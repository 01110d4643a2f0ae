// vskshot <file.png> [--class NAME] [--caption TEXT] [--wait SECONDS] [--stats]
//         [--redraw-check]
//
// Keeps what the screen shows as a PNG file: the whole screen, or the top
// window of that class and/or caption as it shows, cut to the screen
// (waiting up to SECONDS for it to appear). --stats prints
// "colours=<n> digest=<hex>" of the picture, for scripts that check shots
// are not blank and differ. --redraw-check (with a window) waits for the
// window to stop changing, keeps that picture, then has the window and all
// its children repainted whole and compares: when they differ it keeps the
// repainted one as <file>-redrawn.png, prints "differing=<n> box=l,t,r,b"
// and ends with 4. Exit codes: 0 written, 1 no such window, 2 bad
// arguments, 3 the copy or the file failed, 4 the window showed stale or
// unpainted parts.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "testing/screen/imageStats.h"
#include "testing/screen/pngFile.h"
#include "testing/screen/redrawCheck.h"
#include "testing/screen/screenCapture.h"

namespace {

struct request {
    std::string file;
    std::string windowClass;
    std::string caption;
    bool byClass = false;
    bool byCaption = false;
    bool stats = false;
    bool redrawCheck = false;
    unsigned long waitMs = 0;
};

bool parseArguments(int argc, char** argv, request& r) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--class" && hasValue) {
            r.windowClass = argv[++i];
            r.byClass = true;
        } else if (arg == "--caption" && hasValue) {
            r.caption = argv[++i];
            r.byCaption = true;
        } else if (arg == "--wait" && hasValue) {
            char* end = nullptr;
            unsigned long seconds = std::strtoul(argv[++i], &end, 10);
            if (!end || *end || seconds > 3600)
                return false;
            r.waitMs = seconds * 1000;
        } else if (arg == "--stats") {
            r.stats = true;
        } else if (arg == "--redraw-check") {
            r.redrawCheck = true;
        } else if (r.file.empty() && !arg.empty() && arg[0] != '-') {
            r.file = arg;
        } else {
            return false;
        }
    }
    return !r.file.empty() && (!r.redrawCheck || r.byClass || r.byCaption);
}

HWND findWindow(const request& r) {
    DWORD start = ::GetTickCount();
    for (;;) {
        HWND window = ::FindWindowA(r.byClass ? r.windowClass.c_str() : nullptr,
                                    r.byCaption ? r.caption.c_str() : nullptr);
        if (window || ::GetTickCount() - start >= r.waitMs)
            return window;
        ::Sleep(100);
    }
}

// The file's name with "-redrawn" before its extension.
std::string RedrawnName(const std::string& file) {
    std::string::size_type dot = file.rfind('.');
    std::string::size_type slash = file.find_last_of("\\/");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return file + "-redrawn";
    return file.substr(0, dot) + "-redrawn" + file.substr(dot);
}

}  // namespace

int main(int argc, char** argv) {
    request r;
    if (!parseArguments(argc, argv, r)) {
        std::fprintf(stderr,
                     "usage: vskshot <file.png> [--class NAME] [--caption TEXT] [--wait SECONDS] [--stats] "
                     "[--redraw-check]\n");
        return 2;
    }
    vesk::testing::rgbImage image;
    vesk::testing::redrawCheck check;
    if (r.byClass || r.byCaption) {
        HWND window = findWindow(r);
        if (!window) {
            std::fprintf(stderr, "vskshot: no window of that class and caption\n");
            return 1;
        }
        if (r.redrawCheck) {
            check = vesk::testing::CheckAgainstRedraw(window);
            image = check.settled;
        } else {
            image = vesk::testing::CaptureWindow(window);
        }
    } else {
        image = vesk::testing::CaptureScreen();
    }
    if (image.empty() || !vesk::testing::WritePngFile(r.file, image)) {
        std::fprintf(stderr, "vskshot: could not copy the screen into %s\n", r.file.c_str());
        return 3;
    }
    if (r.stats)
        std::printf("colours=%lu digest=%016llx\n", static_cast<unsigned long>(vesk::testing::ColourCount(image)),
                    static_cast<unsigned long long>(vesk::testing::PixelDigest(image)));
    if (r.redrawCheck && !check.same) {
        std::printf("differing=%lu box=%ld,%ld,%ld,%ld\n", static_cast<unsigned long>(check.differing),
                    check.box.left, check.box.top, check.box.right, check.box.bottom);
        if (!vesk::testing::WritePngFile(RedrawnName(r.file), check.redrawn))
            std::fprintf(stderr, "vskshot: could not write the repainted picture\n");
        return 4;
    }
    return 0;
}
