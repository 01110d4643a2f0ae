// The splash module as the host drives it, with the real core objects and
// the threader module, and its service called the way the user interface
// calls it: the window's class and style, its timings, the close messages
// from other threads, and stops while it is up.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "core/capsule.h"
#include "core/constructs.h"
#include "core/factory.h"
#include "core/module.h"
#include "plugins/fs/tests/moduleHost.h"
#include "plugins/splash/splashGeometry.h"
#include "plugins/splash/tests/splashTestSupport.h"
#include "vesk/host.h"
#include "vesk/splash.h"
#include "vesk/threading.h"

namespace vesk::splash::test {
namespace {

using svctest::moduleHost;
using svctest::registration;

// The runtime object the module requires at registration; never called.
class runtimeStandIn : public objectBase, public Iruntime, public IcoreObject {
public:
    runtimeStandIn() {
        registerInterfaceOf<Iruntime>(this);
        registerInterfaceOf<IcoreObject>(this);
        registerInterfaceOf<Igeneric>(this);
    }
    HINSTANCE getInstance() override { return nullptr; }
    int setInstance(HINSTANCE) override { return 0; }
    bool isRunning() override { return true; }
    bool shutdown() override { return true; }
    Ihash* getParameters() override { return nullptr; }
};

moduleHost& host() {
    static bool published = [] {
        auto* runtime = new capsule_core<runtimeStandIn>();
        return moduleHost::instance().accessor()->registerObject(nameOf<Iruntime>(),
                                                                 static_cast<Iruntime*>(runtime)) != 0;
    }();
    EXPECT_TRUE(published);
    return moduleHost::instance();
}

bool threaderRegistered = false;

void registerThreader() {
    if (!threaderRegistered)
        threaderRegistered = host().registerModule("sysrt") == 1;
    ASSERT_TRUE(threaderRegistered);
}

int unloadSplash() {
    auto unload =
        reinterpret_cast<lifecycleEntry>(reinterpret_cast<void*>(host().entry("splash", "_unload")));
    return unload ? unload() : -1;
}

ISplashScreen* service() {
    return lookupService<ISplashScreen>(host().core());
}

unsigned liveThreads() {
    Ithreader* threader = lookupService<Ithreader>(host().core());
    return threader ? threader->liveThreads() : ~0u;
}

HWND ownSplashWindow() {
    return findSplashWindow(GetCurrentProcessId());
}

// How long the splash thread may take to end once its window was closed:
// Wine's X11 driver waits up to 2 s for a hidden window to be withdrawn
// when no window manager answers, as under Xvfb.
constexpr DWORD threadEndMs = 6000;

// One showing of the splash: registered, seen on the screen, and taken
// down again through _unload when the object goes.
class shownSplash {
public:
    shownSplash() {
        registerThreader();
        if (host().registerModule("splash") != 1)
            return;
        if (!waitFor([&] { return (window_ = ownSplashWindow()) && IsWindowVisible(window_); }, 10000))
            return;
        shownAt_ = GetTickCount();
        thread_ = OpenThread(SYNCHRONIZE, FALSE, GetWindowThreadProcessId(window_, nullptr));
    }
    ~shownSplash() {
        EXPECT_EQ(unloadSplash(), 1);
        if (thread_) {
            EXPECT_EQ(WaitForSingleObject(thread_, 0), WAIT_OBJECT_0) << "_unload waits for the thread";
            CloseHandle(thread_);
        }
        EXPECT_EQ(ownSplashWindow(), nullptr);
    }
    shownSplash(const shownSplash&) = delete;
    shownSplash& operator=(const shownSplash&) = delete;

    bool up() const { return thread_ != nullptr; }
    HWND window() const { return window_; }
    DWORD shownAt() const { return shownAt_; }
    void waitUntil(DWORD msAfterShowing) const {
        DWORD elapsed = since(shownAt_);
        if (elapsed < msAfterShowing)
            Sleep(msAfterShowing - elapsed);
    }
    // Milliseconds from the showing until the picture went off the
    // screen, or limitMs + 1 when it was still there by then.
    DWORD closedAfter(DWORD limitMs) const {
        if (!waitFor([&] { return !IsWindowVisible(window_) || since(shownAt_) > limitMs; }, limitMs + 1000))
            return limitMs + 1;
        DWORD after = since(shownAt_);
        return IsWindowVisible(window_) ? limitMs + 1 : after;
    }
    bool endsWithin(DWORD ms) const { return WaitForSingleObject(thread_, ms) == WAIT_OBJECT_0; }

private:
    HWND window_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD shownAt_ = 0;
};

TEST(SplashGeometry, CentredByHalvesRoundedDown) {
    struct {
        unsigned width, height;
        LONG x, y;
    } cases[] = {{1024, 738, 312, 223}, {1280, 1004, 440, 356}, {801, 601, 200, 154}, {400, 292, 0, 0}};
    for (const auto& c : cases) {
        POINT at = splashOrigin(c.width, c.height);
        EXPECT_EQ(at.x, c.x) << c.width << " x " << c.height;
        EXPECT_EQ(at.y, c.y) << c.width << " x " << c.height;
    }
}

TEST(SplashGeometry, StyleLosesCaptionBorderAndFrame) {
    struct {
        DWORD before, after;
    } cases[] = {
        {WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS},
        {WS_OVERLAPPEDWINDOW, WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MAXIMIZEBOX},
        {WS_MINIMIZE | WS_BORDER | WS_DLGFRAME | WS_VISIBLE, WS_POPUP | WS_CLIPCHILDREN | WS_VISIBLE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splashStyle(c.before), c.after) << std::hex << c.before;
}

// While it lives, the factory the host publishes is one with the core
// classes alone, which makes no thread: as when the host meets
// "splash.vkm" before "sysrt.vkm", whatever the tests before registered.
class factoryWithoutThreads {
public:
    factoryWithoutThreads() : bare_(new capsule_core<factory>()) {
        EXPECT_TRUE(registerCoreClasses(bare_));
        publish(bare_);
    }
    ~factoryWithoutThreads() {
        publish(host().factory());
        static_cast<IcoreObject*>(bare_)->releaseCore();
    }
    factoryWithoutThreads(const factoryWithoutThreads&) = delete;
    factoryWithoutThreads& operator=(const factoryWithoutThreads&) = delete;

private:
    static void publish(Ifactory* published) {
        IcoreAccessor* accessor = host().accessor();
        EXPECT_TRUE(accessor->unregisterObject(nameOf<Ifactory>()));
        EXPECT_NE(accessor->registerObject(nameOf<Ifactory>(), published), 0u);
    }

    capsule_core<factory>* bare_;
};

TEST(SplashModule, WaitsForTheThreaderThenShows) {
    registration record;
    {
        factoryWithoutThreads noThreader;
        EXPECT_EQ(host().registerModule("splash", &record), 0);
        EXPECT_EQ(ownSplashWindow(), nullptr);
    }
    EXPECT_EQ(host().entry("splash", "_factory"), nullptr);
    registerThreader();
    ASSERT_EQ(host().registerModule("splash", &record), 1);
    EXPECT_EQ(record, (registration{"Splash", record.author, "Pelloran SplashDown", 0, 1}));
    EXPECT_FALSE(record.author.empty());
    EXPECT_NE(host().entities()->findEntity("Splash"), 0u);
    EXPECT_TRUE(waitFor([] { return ownSplashWindow() != nullptr; }, 10000));
    EXPECT_EQ(unloadSplash(), 1);
}

TEST(SplashModule, WindowClassAndStyle) {
    shownSplash splash;
    ASSERT_TRUE(splash.up());
    WNDCLASSEXA info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetClassInfoExA(GetModuleHandleA("splash.vkm"), "SplashScreen", &info));
    EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(info.cbWndExtra, 4);
    EXPECT_EQ(info.hbrBackground, nullptr);
    EXPECT_EQ(info.hCursor, LoadCursorA(nullptr, IDC_ARROW));

    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(splash.window(), GWL_EXSTYLE)) & WS_EX_TOOLWINDOW,
              static_cast<DWORD>(WS_EX_TOOLWINDOW));
    DWORD style = static_cast<DWORD>(GetWindowLongA(splash.window(), GWL_STYLE));
    EXPECT_EQ(style & ~static_cast<DWORD>(WS_CLIPSIBLINGS),
              static_cast<DWORD>(WS_POPUP | WS_CLIPCHILDREN | WS_VISIBLE))
        << std::hex << style;
    EXPECT_EQ(GetParent(splash.window()), nullptr);
    EXPECT_EQ(GetMenu(splash.window()), nullptr);

    RECT rect;
    ASSERT_TRUE(GetWindowRect(splash.window(), &rect));
    POINT at = splashOrigin(GetSystemMetrics(SM_CXFULLSCREEN), GetSystemMetrics(SM_CYFULLSCREEN));
    EXPECT_EQ(rect.left, at.x);
    EXPECT_EQ(rect.top, at.y);
    EXPECT_EQ(rect.right - rect.left, 400);
    EXPECT_EQ(rect.bottom - rect.top, 293);

    ISplashScreen* screen = service();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->queryInterface("struct vesk::Igeneric *"),
              screen->queryInterface("struct vesk::splash::ISplashScreen *"));
}

TEST(SplashModule, ClosesByItselfFiveSecondsAfterShowing) {
    shownSplash splash;
    ASSERT_TRUE(splash.up());
    DWORD after = splash.closedAfter(9000);
    EXPECT_GE(after, 4900u);
    EXPECT_LE(after, 7000u);
    EXPECT_TRUE(splash.endsWithin(threadEndMs));
}

TEST(SplashModule, DismissClosesItTwelveHundredMsAfterTheCall) {
    const struct { DWORD dismissAt, earliest, latest; } cases[] = {{300, 1450, 3500}, {4900, 6050, 8100}};
    for (const auto& c : cases) {
        shownSplash splash;
        ASSERT_TRUE(splash.up());
        splash.waitUntil(c.dismissAt);
        ASSERT_NE(service(), nullptr);
        EXPECT_TRUE(service()->Dismiss());
        DWORD after = splash.closedAfter(12000);
        EXPECT_GE(after, c.earliest) << "dismissed at " << c.dismissAt;
        EXPECT_LE(after, c.latest) << "dismissed at " << c.dismissAt;
        EXPECT_TRUE(splash.endsWithin(threadEndMs));
    }
}

TEST(SplashModule, AClickClosesItOnlyOnceClicksAreAllowed) {
    shownSplash splash;
    ASSERT_TRUE(splash.up());
    LPARAM middle = MAKELPARAM(200, 146);
    SendMessageA(splash.window(), WM_LBUTTONDOWN, MK_LBUTTON, middle);
    SendMessageA(splash.window(), WM_LBUTTONUP, 0, middle);
    EXPECT_FALSE(splash.endsWithin(300)) << "a click before EnableClickClose";
    EXPECT_TRUE(IsWindow(splash.window()));

    EXPECT_TRUE(service()->EnableClickClose(false)) << "whatever the argument";
    SendMessageA(splash.window(), WM_LBUTTONDOWN, MK_LBUTTON, middle);
    EXPECT_LT(splash.closedAfter(9000), 4000u) << "closed at once, not by the timer";
    EXPECT_TRUE(splash.endsWithin(threadEndMs));
    EXPECT_FALSE(IsWindow(splash.window()));
}

TEST(SplashModule, CloseMessagesFromAnotherThreadReturnAtOnceAndEndTheLoop) {
    for (UINT message : {9999u, static_cast<UINT>(WM_CLOSE)}) {
        shownSplash splash;
        ASSERT_TRUE(splash.up());
        DWORD_PTR answer = 0;
        DWORD sentAt = GetTickCount();
        ASSERT_TRUE(SendMessageTimeoutA(splash.window(), message, 0, 0, SMTO_NORMAL, 5000, &answer))
            << message;
        EXPECT_LT(since(sentAt), 1000u) << message;
        EXPECT_EQ(answer, 1u) << message;
        EXPECT_LT(splash.closedAfter(9000), 4000u) << message << ": closed at once, not by the timer";
        EXPECT_TRUE(splash.endsWithin(threadEndMs)) << message;
    }
}

TEST(SplashModule, DismissWithoutAWindowDoesNothing) {
    registerThreader();
    ASSERT_EQ(ownSplashWindow(), nullptr);
    ISplashScreen* screen = service();
    if (!screen) {  // published at the first registration
        shownSplash once;
        screen = service();
    }
    ASSERT_NE(screen, nullptr);
    EXPECT_TRUE(screen->Dismiss());
    // A thread timer here would post WM_QUIT to this thread 1200 ms later.
    DWORD start = GetTickCount();
    bool quitOrTimer = false;
    while (since(start) < 1800 && !quitOrTimer) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            quitOrTimer = quitOrTimer || message.message == WM_QUIT || message.message == WM_TIMER;
        Sleep(10);
    }
    EXPECT_FALSE(quitOrTimer);
}

TEST(SplashModule, StoppingWhileItIsUpNeverHangs) {
    registerThreader();
    for (bool waitForWindow : {true, false, true, false}) {
        ASSERT_EQ(host().registerModule("splash"), 1);
        if (waitForWindow) {
            ASSERT_TRUE(waitFor([] { return ownSplashWindow() != nullptr; }, 10000));
        }
        DWORD start = GetTickCount();
        EXPECT_EQ(unloadSplash(), 1);
        EXPECT_LT(since(start), threadEndMs);
        EXPECT_EQ(ownSplashWindow(), nullptr);
        EXPECT_EQ(liveThreads(), 0u) << "the splash thread ended and was let go";
    }
}

}  // namespace
}  // namespace vesk::splash::test
