// The renderer driven in-process, with the clock, the module state and the
// layers set by the test, drawing into a 32-bit DIB section whose pixels are
// read back exactly.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <set>
#include <sstream>
#include <string>

#include "Zintaro/gdiObjects.h"
#include "Zintaro/moduleResources.h"
#include "Zintaro/renderer.h"
#include "Zintaro/scaleBitmap.h"
#include "Zintaro/tests/dibCanvas.h"
#include "Zintaro/tests/zintaroHost.h"
#include "Zintaro/zintaro.h"
#include "Zintaro/zintaroIds.h"
#include "Zintaro/ticks.h"
#include "testing/testPaths.h"

namespace vesk::zintaro {

static bool operator==(const colourComponent& a, const colourComponent& b) {
    return a.value == b.value && a.rising == b.rising;
}

static std::ostream& operator<<(std::ostream& out, const colourComponent& c) {
    return out << c.value << (c.rising ? " rising" : " falling");
}

}  // namespace vesk::zintaro

namespace vesk::test {
namespace {

using namespace vesk::zintaro;

constexpr COLORREF black = RGB(0, 0, 0);

DWORD clockNow = 0;
DWORD testClock() { return clockNow; }

// Every pixel against expected(x, y); the message names the first misses.
::testing::AssertionResult pictureIs(const dibCanvas& canvas, const std::function<COLORREF(int, int)>& expected) {
    int misses = 0;
    std::ostringstream first;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            COLORREF want = expected(x, y), got = canvas.pixel(x, y);
            if (want == got)
                continue;
            if (++misses <= 5)
                first << " (" << x << "," << y << ") is " << std::hex << got << " not " << want << std::dec << ";";
        }
    if (misses == 0)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << misses << " pixels differ:" << first.str();
}

class Renderer : public ::testing::Test {
protected:
    void SetUp() override {
        moduleState() = moduleRenderState{};
        clockNow = 1000;  // no timer is due before 14000
        setTickFunction(&testClock);
    }
    void TearDown() override {
        setTickFunction(nullptr);
        moduleState() = moduleRenderState{};
    }

    // Components that drift down by 1, 3 and 1 per pass.
    static void setColours(int c1, int c2, int c3) {
        moduleState().c1 = {c1, false};
        moduleState().c2 = {c2, false};
        moduleState().c3 = {c3, false};
    }

    HRESULT render(dibCanvas& canvas, const TimedLevel& levels, LONG preset = 0) {
        RECT rect = canvas.rect();
        return Render(layers_, preset, pictures().logo, &levels, canvas.dc(), &rect);
    }

    effectLayers layers_;
};

// ---- the live pass ----

class FlatLayers : public Renderer, public ::testing::WithParamInterface<int> {};

TEST_P(FlatLayers, TraceAtMidPlus123AndMarksUpFromMidPlus125) {
    const int width = GetParam(), height = 300, mid = 150;
    dibCanvas canvas(width, height);
    layers_.flags = layer::waveTrace | layer::waveMarks;
    setColours(100, 50, 200);
    ASSERT_EQ(render(canvas, flatLevels(0)), S_OK);

    const COLORREF trace = RGB(99, 47, 199), mark = RGB(47, 199, 99);
    // The trace's last point ends its line and is not drawn; no column right
    // of 1022 has a level.
    const int columns = std::min(width, 1023);
    EXPECT_TRUE(pictureIs(canvas, [&](int x, int y) {
        if (x < columns && (y == mid + 125 || y == mid + 124))
            return mark;
        if (x < columns - 1 && y == mid + 123)
            return trace;
        return black;
    }));
}

INSTANTIATE_TEST_SUITE_P(Zintaro, FlatLayers, ::testing::Values(300, 1023, 1100));

TEST_F(Renderer, TraceAndMarksFollowTheirWaveforms) {
    const int mid = 150;
    dibCanvas canvas(300, 300);
    TimedLevel levels = flatLevels(0);
    for (int i = 0; i < 1024; ++i) {
        levels.waveform[0][i] = static_cast<unsigned char>(20 + i % 97);
        levels.waveform[1][i] = static_cast<unsigned char>(10 + (i * 7) % 200);
    }
    setColours(100, 50, 200);
    layers_.flags = layer::waveMarks;
    ASSERT_EQ(render(canvas, levels), S_OK);
    const COLORREF mark = RGB(47, 199, 99);
    EXPECT_TRUE(pictureIs(canvas, [&](int x, int y) {
        int top = mid + 125 - levels.waveform[1][x + 1];
        return y == top || y == top - 1 ? mark : black;
    }));

    canvas.fill(black);
    setColours(100, 50, 200);
    layers_.flags = layer::waveTrace;
    ASSERT_EQ(render(canvas, levels), S_OK);
    const COLORREF trace = RGB(99, 47, 199);
    EXPECT_EQ(canvas.pixel(0, mid + 125 - levels.waveform[0][1]), trace) << "the line starts at column 0";
    for (int m = 0; m < 299; ++m)
        EXPECT_EQ(canvas.pixel(m, mid + 123 - levels.waveform[0][m + 1]), trace) << "column " << m;
}

// ---- levels read only inside the record ----

// A level record with an inaccessible page right before it or right after.
class guardedLevels {
public:
    explicit guardedLevels(bool againstEnd) {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        page_ = system.dwPageSize;
        base_ = static_cast<BYTE*>(VirtualAlloc(nullptr, 4 * page_, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        if (!base_ || !VirtualProtect(base_, page_, PAGE_NOACCESS, &old) ||
            !VirtualProtect(base_ + 3 * page_, page_, PAGE_NOACCESS, &old))
            throw std::runtime_error("cannot fence the level record");
        levels_ = reinterpret_cast<TimedLevel*>(againstEnd ? base_ + 3 * page_ - sizeof(TimedLevel) : base_ + page_);
    }
    ~guardedLevels() { VirtualFree(base_, 0, MEM_RELEASE); }
    guardedLevels(const guardedLevels&) = delete;
    guardedLevels& operator=(const guardedLevels&) = delete;
    TimedLevel& levels() { return *levels_; }

private:
    DWORD page_ = 0;
    BYTE* base_ = nullptr;
    TimedLevel* levels_ = nullptr;
};

struct offsetCase {
    const char* label;
    LONG left;
    bool againstEnd;
    int columnsEnd;  // no column from here on is drawn
};

class OffsetRectangle : public Renderer, public ::testing::WithParamInterface<offsetCase> {};

TEST_P(OffsetRectangle, ReadsNoLevelOutsideTheRecord) {
    const offsetCase& test = GetParam();
    const int width = 1100, height = 300, mid = 150;
    dibCanvas canvas(width, height);
    guardedLevels guarded(test.againstEnd);
    TimedLevel& levels = guarded.levels();
    levels = flatLevels(0xEE);
    for (int i = 0; i < 1024; ++i) {
        levels.waveform[0][i] = static_cast<unsigned char>(30 + i % 50);
        levels.waveform[1][i] = static_cast<unsigned char>(40 + i % 60);
    }
    layers_.flags = layer::waveTrace | layer::waveMarks;
    setColours(100, 50, 200);
    RECT rect = {test.left, 0, width, height};
    ASSERT_EQ(Render(layers_, 0, nullptr, &levels, canvas.dc(), &rect), S_OK);

    EXPECT_EQ(canvas.colouredPixels(test.columnsEnd, 0, width - test.columnsEnd, height), 0);
    const COLORREF mark = RGB(47, 199, 99);
    for (long long m = std::max<long long>(test.left, 0); m < test.columnsEnd; ++m) {
        int top = mid + 125 - levels.waveform[1][m - test.left + 1];
        EXPECT_EQ(canvas.pixel(static_cast<int>(m), top), mark) << "column " << m;
    }
}

INSTANTIATE_TEST_SUITE_P(Zintaro, OffsetRectangle,
                         ::testing::Values(offsetCase{"Right10", 10, false, 1023},
                                           offsetCase{"Right10AgainstEnd", 10, true, 1023},
                                           offsetCase{"Left10", -10, false, 1013},
                                           offsetCase{"Left10AgainstEnd", -10, true, 1013},
                                           offsetCase{"Left200AgainstEnd", -200, true, 823},
                                           offsetCase{"Right3000", 3000, false, 0}),
                         [](const auto& testCase) { return std::string(testCase.param.label); });

TEST_F(Renderer, ARectangleRightOfColumn0StartsItsTraceAtItsFirstLevel) {
    dibCanvas canvas(300, 300);
    TimedLevel levels = flatLevels(0);
    layers_.flags = layer::waveTrace;
    RECT rect = {10, 0, 300, 300};
    ASSERT_EQ(Render(layers_, 0, nullptr, &levels, canvas.dc(), &rect), S_OK);
    EXPECT_EQ(canvas.colouredPixels(0, 0, 10, 300), 0) << "no line from column 0: its level lies outside";
    EXPECT_NE(canvas.pixel(10, 273), black);
}

// ---- colours ----

struct driftCase {
    const char* label;
    colourComponent c1, c2, c3;  // before the step
    colourComponent after1, after2, after3;
};

class ColourDrift : public ::testing::TestWithParam<driftCase> {};

TEST_P(ColourDrift, MovesEachComponentAndTurnsItAtItsBounds) {
    moduleRenderState state;
    state.c1 = GetParam().c1;
    state.c2 = GetParam().c2;
    state.c3 = GetParam().c3;
    driftColours(state);
    EXPECT_EQ(state.c1, GetParam().after1);
    EXPECT_EQ(state.c2, GetParam().after2);
    EXPECT_EQ(state.c3, GetParam().after3);
}

INSTANTIATE_TEST_SUITE_P(
    Zintaro, ColourDrift,
    ::testing::Values(
        driftCase{"Steps", {100, true}, {100, true}, {100, true}, {160, true}, {101, true}, {114, true}},
        driftCase{"StepsDown", {100, false}, {100, false}, {100, false}, {99, false}, {97, false}, {99, false}},
        driftCase{"TurnUpBelow0", {0, false}, {2, false}, {0, false}, {1, true}, {1, true}, {1, true}},
        driftCase{"C1TurnsAt255", {195, true}, {254, true}, {241, true}, {254, false}, {255, true}, {255, true}},
        driftCase{"TurnDownAbove255", {254, true}, {255, true}, {250, true}, {254, false}, {254, false}, {254, false}}),
    [](const auto& testCase) { return std::string(testCase.param.label); });

TEST(ColourDriftFromStart, C1ReachesOneAfterSixPassesThenClimbsBy60To254) {
    moduleRenderState state;
    const int expected[] = {4, 3, 2, 1, 0, 1, 61, 121, 181, 241, 254, 253};
    for (int pass = 0; pass < 12; ++pass) {
        driftColours(state);
        EXPECT_EQ(state.c1.value, expected[pass]) << "after pass " << pass + 1;
    }
}

// ---- echoes ----

struct echoCase {
    const char* label;
    std::uint32_t echoFlag;
    int snapshot;
    int c1, c2, c3;    // before the live pass; each echo pass drifts them again
    COLORREF trace;    // of the echo
};

class Echo : public Renderer, public ::testing::WithParamInterface<echoCase> {};

TEST_P(Echo, IsDrawnFromItsSnapshotWithItsFade) {
    const echoCase& test = GetParam();
    const int mid = 150;
    clockNow = 100000;
    for (DWORD& fired : moduleState().timerTimes)
        fired = clockNow;
    moduleState().snapshotTimes[0] = clockNow;
    moduleState().snapshotTimes[1] = clockNow - 1000;
    moduleState().snapshotTimes[2] = clockNow - 1000;
    TimedLevel snapshot = flatLevels(0);
    std::memset(snapshot.waveform[0], 100, sizeof snapshot.waveform[0]);
    std::memset(snapshot.waveform[1], 60, sizeof snapshot.waveform[1]);
    layers_.snapshots[test.snapshot] = snapshot;
    layers_.flags = layer::echoes | test.echoFlag | layer::waveTrace | layer::waveMarks;
    setColours(test.c1, test.c2, test.c3);
    dibCanvas canvas(300, 300);
    ASSERT_EQ(render(canvas, flatLevels(0)), S_OK);

    EXPECT_EQ(canvas.pixel(150, mid + 123 - 100), test.trace);
    EXPECT_EQ(canvas.pixel(150, mid + 125 - 60), black) << "a faded pass draws no marks";
    EXPECT_NE(canvas.pixel(150, mid + 123), black) << "the live trace";
    EXPECT_NE(canvas.pixel(150, mid + 125), black) << "the live marks";
}

// Fades: 1.5 for echo 1; for echoes 2 and 3 taken 1000 ms ago 10 x 10/13
// (7.69...) and 10 x 5/9 (5.55...).
INSTANTIATE_TEST_SUITE_P(Zintaro, Echo,
                         ::testing::Values(echoCase{"Echo1", layer::echo1, 0, 152, 96, 32, RGB(100, 60, 20)},
                                           echoCase{"Echo2", layer::echo2, 1, 142, 96, 32, RGB(18, 11, 3)},
                                           echoCase{"Echo3", layer::echo3, 2, 142, 96, 32, RGB(25, 16, 5)}),
                         [](const auto& testCase) { return std::string(testCase.param.label); });

struct snapshotCase {
    const char* label;
    std::uint32_t flags;
    unsigned char band;  // F0[1]
    DWORD sinceFirst;    // ms since snapshot 1 was taken
    std::set<int> taken;
};

class Snapshots : public Renderer, public ::testing::WithParamInterface<snapshotCase> {};

TEST_P(Snapshots, AreTakenAfterTheEchoesAreDrawn) {
    const snapshotCase& test = GetParam();
    clockNow = 100000;
    for (DWORD& taken : moduleState().snapshotTimes)
        taken = clockNow - test.sinceFirst;
    layers_.flags = test.flags;
    TimedLevel levels = flatLevels(128);
    levels.frequency[0][1] = test.band;
    levels.timeStamp = 77;
    dibCanvas canvas(16, 16);
    ASSERT_EQ(render(canvas, levels), S_OK);
    for (int i = 0; i < 3; ++i) {
        bool taken = test.taken.count(i + 1) > 0;
        EXPECT_EQ(layers_.snapshots[i].timeStamp, taken ? 77 : 0) << "snapshot " << i + 1;
        EXPECT_EQ(moduleState().snapshotTimes[i], taken ? clockNow : clockNow - test.sinceFirst)
            << "snapshot " << i + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Zintaro, Snapshots,
    ::testing::Values(snapshotCase{"QuietBand", layer::echoes, 130, 21, {1}},
                      snapshotCase{"Band131", layer::echoes, 131, 21, {1, 2}},
                      snapshotCase{"Band191", layer::echoes, 191, 21, {1, 2, 3}},
                      snapshotCase{"FirstTakenLately", layer::echoes, 191, 20, {2, 3}},
                      snapshotCase{"EchoesOff", layer::echo1 | layer::echo2 | layer::echo3, 255, 1000, {}}),
    [](const auto& testCase) { return std::string(testCase.param.label); });

// ---- layer timers ----

TEST_F(Renderer, LayerTimersFireInTheirOrderAsTheClockAdvances) {
    struct step {
        DWORD clock;
        std::uint32_t flags;  // after the frame
    };
    const DWORD t = 1000000;
    const step steps[] = {
        {t, 0x3F0},           // every timer is overdue at the first frame
        {t + 13999, 0x3F0},   // none due
        {t + 14001, 0x3D0},   // 14 s: marks give way to the trace
        {t + 20001, 0x3D0},   // 20 s: trace on, marks off: stays
        {t + 28001, 0x190},   // 28 s: echo 3 and the echoes go; 14 s not yet (14000 is not more)
        {t + 28002, 0x1B0},   // 14 s: marks come back
        {t + 40002, 0x1A0},   // 20 s: the trace gives way to the marks
        {t + 42003, 0x1A0},   // 14 s: marks on, trace off: stays
        {t + 50001, 0x0A0},   // 50 s: echo 2 toggles off
        {t + 56002, 0x2E0},   // 28 s: echo 3 and the echoes come back
        {t + 620001, 0x110},  // all five, in order
    };
    dibCanvas canvas(16, 16);
    for (const step& s : steps) {
        clockNow = s.clock;
        ASSERT_EQ(render(canvas, flatLevels(128)), S_OK);
        EXPECT_EQ(layers_.flags, s.flags) << std::hex << "at clock " << std::dec << s.clock - t;
    }
}

TEST_F(Renderer, TheTraceTimerRunsBeforeTheMarksTimer) {
    clockNow = 100000;
    for (int timer = 0; timer < 3; ++timer)
        moduleState().timerTimes[timer] = clockNow;
    layers_.flags = layer::waveTrace | layer::waveMarks;
    dibCanvas canvas(16, 16);
    ASSERT_EQ(render(canvas, flatLevels(128)), S_OK);
    EXPECT_EQ(layers_.flags, layer::waveMarks) << "the trace went first, so the marks stayed";
}

// ---- the logo ----

struct angleCase {
    unsigned char high;  // F1[8]
    unsigned char low;   // F0[0]
    float turn;
};

class LogoAngle : public Renderer, public ::testing::WithParamInterface<angleCase> {};

TEST_P(LogoAngle, TurnsWithTwoBands) {
    moduleState().angle = 1.0f;
    TimedLevel levels = flatLevels(0);
    levels.frequency[1][8] = GetParam().high;
    levels.frequency[0][0] = GetParam().low;
    dibCanvas canvas(16, 16);
    ASSERT_EQ(render(canvas, levels), S_OK);
    EXPECT_FLOAT_EQ(moduleState().angle, 1.0f + GetParam().turn);
}

INSTANTIATE_TEST_SUITE_P(Zintaro, LogoAngle,
                         ::testing::Values(angleCase{100, 190, 0.0f}, angleCase{101, 0, 0.01f},
                                           angleCase{0, 191, -0.05f}, angleCase{255, 255, -0.04f}));

TEST_F(Renderer, LogoAtAngle0IsTheScaledPictureInTheCentredBox) {
    dibCanvas canvas(400, 300);
    TimedLevel levels = flatLevels(0);
    levels.frequency[0][1] = 255;  // 170 wide
    levels.frequency[0][8] = 150;  // 100 high
    ASSERT_EQ(render(canvas, levels, logoPreset), S_OK);

    ownedBitmap scaled = ScaleBitmap(pictures().logo, 170, 100);
    ASSERT_TRUE(scaled);
    bitmapPixels logo = readBitmap(scaled.get());
    ASSERT_EQ(logo.width, 170);
    ASSERT_EQ(logo.height, 100);
    const int left = 200 - 85, top = 150 - 50;
    EXPECT_TRUE(pictureIs(canvas, [&](int x, int y) {
        bool inBox = x >= left && x < left + 170 && y >= top && y < top + 100;
        return inBox ? logo.at(x - left, y - top) : black;
    }));
    EXPECT_GT(canvas.colouredPixels(left, top, 170, 100), 170 * 100 / 4) << "the logo shows";
}

TEST(ModulePictures, AreLoadedOnceWhateverNumberOfObjectsIsMade) {
    comRef<IWMPEffects> first, second;
    ASSERT_EQ(Zintaro::create(IID_IWMPEffects, first.out()), S_OK);
    const modulePictures loaded = pictures();
    ASSERT_EQ(Zintaro::create(IID_IWMPEffects, second.out()), S_OK);
    for (HBITMAP picture : {loaded.logo, loaded.spark, loaded.glow})
        EXPECT_EQ(GetObjectType(picture), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(pictures().logo, loaded.logo);
    EXPECT_EQ(pictures().spark, loaded.spark);
    EXPECT_EQ(pictures().glow, loaded.glow);

    // The logo as the module carries it: 230 x 310 at 24 bits, and black
    // (the transparent colour) in its corners.
    HRSRC found = FindResourceW(zintaroModule(), MAKEINTRESOURCEW(IDB_LOGO), MAKEINTRESOURCEW(2));  // RT_BITMAP
    ASSERT_NE(found, nullptr);
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(zintaroModule(), found)));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->biWidth, 230);
    EXPECT_EQ(header->biHeight, 310);
    EXPECT_EQ(header->biBitCount, 24);
    bitmapPixels logo = readBitmap(loaded.logo);
    ASSERT_EQ(logo.width, 230);
    for (POINT corner : {POINT{0, 0}, POINT{229, 0}, POINT{0, 309}, POINT{229, 309}})
        EXPECT_EQ(logo.at(corner.x, corner.y), black);
}

struct noLogoCase {
    const char* label;
    LONG preset;
    unsigned char width;   // F0[1]
    unsigned char height;  // F0[8]
};

class NoLogo : public Renderer, public ::testing::WithParamInterface<noLogoCase> {};

TEST_P(NoLogo, LeavesTheFrameBlack) {
    dibCanvas canvas(400, 300);
    TimedLevel levels = flatLevels(0);
    levels.frequency[0][1] = GetParam().width;
    levels.frequency[0][8] = GetParam().height;
    ASSERT_EQ(render(canvas, levels, GetParam().preset), S_OK);
    EXPECT_EQ(canvas.colouredPixels(0, 0, 400, 300), 0);
}

INSTANTIATE_TEST_SUITE_P(Zintaro, NoLogo,
                         ::testing::Values(noLogoCase{"BarsPreset", 0, 255, 150}, noLogoCase{"Silence", 1, 0, 0},
                                           noLogoCase{"NoWidth", 1, 1, 255}, noLogoCase{"NoHeight", 1, 255, 1}),
                         [](const auto& testCase) { return std::string(testCase.param.label); });

TEST_F(Renderer, ASmallestLogoIsDrawnToo) {
    dibCanvas canvas(40, 40);
    TimedLevel levels = flatLevels(0);
    levels.frequency[0][1] = 2;  // 1 x 1
    levels.frequency[0][8] = 2;
    ASSERT_EQ(render(canvas, levels, logoPreset), S_OK);
    ownedBitmap scaled = ScaleBitmap(pictures().logo, 1, 1);
    ASSERT_TRUE(scaled);
    const COLORREF average = readBitmap(scaled.get()).at(0, 0);
    ASSERT_NE(average, black);
    EXPECT_TRUE(pictureIs(canvas, [&](int x, int y) { return x == 20 && y == 20 ? average : black; }));
}

// ---- what a frame leaves behind ----

TEST_F(Renderer, EveryFrameDeletesWhatItMadePastTheHandleLimit) {
    dibCanvas canvas(64, 300);
    TimedLevel levels = flatLevels(128);
    levels.frequency[0][1] = 200;  // logo 133 x 20, snapshots 2 and 3 taken
    levels.frequency[0][8] = 30;
    levels.frequency[1][8] = 200;  // turning
    clockNow = 1000000;
    const long before = gdiObjectsMade();
    int frames = 0, leakyFrames = 0;
    while (gdiObjectsMade() - before < 70000) {
        clockNow += 25;
        ASSERT_EQ(render(canvas, levels, logoPreset), S_OK) << "frame " << frames;
        leakyFrames += liveGdiObjects() != 0 ? 1 : 0;
        ++frames;
    }
    EXPECT_EQ(leakyFrames, 0) << "of " << frames << " frames";

    // The next frame still draws its layers and its logo (which spans the
    // frame's width, rows 140 to 159).
    canvas.fill(black);
    layers_.flags = layer::waveTrace | layer::waveMarks;
    setColours(100, 50, 200);
    moduleState().angle = 0.0f;
    levels.frequency[1][8] = 0;
    std::memset(levels.waveform, 0, sizeof levels.waveform);
    for (DWORD& fired : moduleState().timerTimes)
        fired = clockNow;
    ASSERT_EQ(render(canvas, levels, logoPreset), S_OK);
    EXPECT_EQ(canvas.pixel(3, 150 + 123), RGB(99, 47, 199));
    EXPECT_EQ(canvas.pixel(3, 150 + 125), RGB(47, 199, 99));
    EXPECT_GT(canvas.colouredPixels(0, 140, 64, 20), 64 * 20 / 4);
    EXPECT_EQ(canvas.colouredPixels(0, 0, 64, 140), 0);
    EXPECT_EQ(liveGdiObjects(), 0);
}

// ---- pictures for people ----

// Levels of a tune: two tones on the waveforms, a falling spectrum that
// breathes with the frame number.
TimedLevel tune(int frame) {
    TimedLevel levels = flatLevels(0);
    const double pi = 3.14159265358979;
    for (int i = 0; i < 1024; ++i) {
        levels.waveform[0][i] = static_cast<unsigned char>(128 + 90 * std::sin(2 * pi * i * 3 / 1024 + frame * 0.3));
        levels.waveform[1][i] = static_cast<unsigned char>(128 + 60 * std::sin(2 * pi * i * 7 / 1024 - frame * 0.2));
        double fall = std::exp(-i / 300.0) * (0.85 + 0.15 * std::sin(frame * 0.4 + i * 0.01));
        levels.frequency[0][i] = static_cast<unsigned char>(255 * fall);
        levels.frequency[1][i] = static_cast<unsigned char>(240 * fall);
    }
    return levels;
}

TEST_F(Renderer, FramesOfBothPresetsAreSavedAsPictures) {
    const std::string folder = testing::testsDir() + "\\zintaroFrames";
    CreateDirectoryA(folder.c_str(), nullptr);
    int logoPixels[2] = {};
    for (LONG preset : {0L, logoPreset}) {
        moduleState() = moduleRenderState{};
        layers_ = effectLayers{};
        dibCanvas canvas(480, 360);
        clockNow = 1000000;
        for (int frame = 0; frame < 60; ++frame) {
            clockNow += 40;
            ASSERT_EQ(render(canvas, tune(frame), preset), S_OK);
        }
        std::string path = folder + "\\preset" + std::to_string(preset) + ".bmp";
        EXPECT_TRUE(canvas.save(path)) << path;
        logoPixels[preset] = canvas.colouredPixels(240 - 30, 180 - 30, 60, 60);
    }
    EXPECT_GT(logoPixels[1], logoPixels[0] + 60 * 60 / 4) << "the wave preset shows its logo";
}

}  // namespace
}  // namespace vesk::test
