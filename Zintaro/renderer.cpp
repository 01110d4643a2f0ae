#include "Zintaro/renderer.h"

#include <algorithm>
#include <vector>

#include "Zintaro/bitmapDrawing.h"
#include "Zintaro/gdiObjects.h"
#include "Zintaro/scaleBitmap.h"
#include "Zintaro/ticks.h"

namespace vesk::zintaro {

namespace {

constexpr int levelCount = 1024;
constexpr COLORREF black = RGB(0, 0, 0);

void drift(colourComponent& component, int up, int down, int ceiling) {
    component.value += component.rising ? up : -down;
    if (component.value >= ceiling) {
        component.value = 254;
        component.rising = false;
    } else if (component.value < 0) {
        component.value = 1;
        component.rising = true;
    }
}

BYTE faded(int component, float fade) {
    if (fade == 0.0f)
        return static_cast<BYTE>(component);
    return static_cast<BYTE>(static_cast<long long>(static_cast<float>(component) / fade) & 0xFF);
}

// Columns whose level index (column - left + 1) lies inside the record: the
// index runs from 1 at column left, so a rectangle not starting at 0 would
// otherwise read before the first waveform or past the record's end.
struct columnRange {
    long long first;
    long long end;  // one past the last
};

columnRange levelColumns(const RECT& rect) {
    long long left = rect.left;
    long long end = std::min<long long>({rect.right, levelCount - 1, left + levelCount - 1});
    return {left, std::max(left, end)};
}

bool insideLevels(long long index) { return index >= 0 && index < levelCount; }

int levelAt(const unsigned char (&wave)[levelCount], long long index) { return wave[index]; }

void drawTrace(HDC dc, const TimedLevel& levels, const RECT& rect, LONG mid, columnRange columns) {
    const unsigned char(&wave)[levelCount] = levels.waveform[0];
    std::vector<POINT> points;
    points.reserve(static_cast<std::size_t>(columns.end - columns.first) + 1);
    long long startIndex = 1 - static_cast<long long>(rect.left);
    if (insideLevels(startIndex))
        points.push_back({0, mid + 125 - levelAt(wave, startIndex)});
    for (long long m = columns.first; m < columns.end; ++m)
        points.push_back({static_cast<LONG>(m), mid + 123 - levelAt(wave, m - rect.left + 1)});
    if (points.size() >= 2)
        Polyline(dc, points.data(), static_cast<int>(points.size()));
}

void drawMarks(HDC dc, const TimedLevel& levels, const RECT& rect, LONG mid, columnRange columns) {
    const unsigned char(&wave)[levelCount] = levels.waveform[1];
    for (long long m = columns.first; m < columns.end; ++m) {
        LONG top = mid + 125 - levelAt(wave, m - rect.left + 1);
        MoveToEx(dc, static_cast<int>(m), top, nullptr);
        LineTo(dc, static_cast<int>(m), top - 2);
    }
}

void turnLogo(moduleRenderState& state, const TimedLevel& levels) {
    if (levels.frequency[1][8] > 100)
        state.angle += 0.01f;
    if (levels.frequency[0][0] > 190)
        state.angle -= 0.05f;
}

// Draws the echoes from the snapshots, then takes new snapshots: each echo
// shows an earlier frame.
void drawEchoes(moduleRenderState& state, effectLayers& layers, const TimedLevel& levels, HDC dc, const RECT& rect,
                DWORD now) {
    if (!(layers.flags & layer::echoes))
        return;
    DWORD(&taken)[3] = state.snapshotTimes;
    if (layers.flags & layer::echo1)
        DrawLevelLayers(state, layers.flags, layers.snapshots[0], dc, rect, 1.5f);
    if (layers.flags & layer::echo2)
        DrawLevelLayers(state, layers.flags, layers.snapshots[1], dc, rect,
                        static_cast<float>((now - taken[1]) / 100) * 10.0f / 13.0f);
    if (layers.flags & layer::echo3)
        DrawLevelLayers(state, layers.flags, layers.snapshots[2], dc, rect,
                        static_cast<float>((now - taken[2]) / 100) * 5.0f / 9.0f);
    if (now - taken[0] > 20) {
        layers.snapshots[0] = levels;
        taken[0] = now;
    }
    if (levels.frequency[0][1] > 130) {
        layers.snapshots[1] = levels;
        taken[1] = now;
    }
    if (levels.frequency[0][1] > 190) {
        layers.snapshots[2] = levels;
        taken[2] = now;
    }
}

// The logo sized by two bands, turned, centred; black is transparent. A
// band below 2 (silence) makes a side of 0: no logo then.
void drawLogo(HDC dc, HBITMAP logo, float angle, const TimedLevel& levels, LONG width, LONG height) {
    int logoWidth = levels.frequency[0][1] * 2 / 3;
    int logoHeight = levels.frequency[0][8] * 2 / 3;
    if (!logo || logoWidth < 1 || logoHeight < 1)
        return;
    ownedBitmap scaled = ScaleBitmap(logo, logoWidth, logoHeight);
    ownedBitmap turned = scaled ? RotateBitmap(dc, scaled.get(), angle, black) : ownedBitmap();
    if (turned)
        TransparentDraw(dc, turned.get(), width / 2 - logoWidth / 2, height / 2 - logoHeight / 2, black);
}

}  // namespace

void driftColours(moduleRenderState& state) {
    drift(state.c1, 60, 1, 255);
    drift(state.c2, 1, 3, 256);
    drift(state.c3, 14, 1, 256);
}

void DrawLevelLayers(moduleRenderState& state, std::uint32_t flags, const TimedLevel& levels, HDC dc,
                     const RECT& rect, float fade) {
    driftColours(state);
    BYTE c1 = faded(state.c1.value, fade), c2 = faded(state.c2.value, fade), c3 = faded(state.c3.value, fade);
    ownedPen tracePen(CreatePen(PS_SOLID, 0, RGB(c1, c2, c3)));
    ownedPen markPen(CreatePen(PS_SOLID, 0, RGB(c2, c3, c1)));
    ownedBrush markBrush(CreateSolidBrush(RGB(c2, c3, c1)));
    if (!tracePen || !markPen || !markBrush)
        return;
    SetBkMode(dc, TRANSPARENT);
    selection brushIn(dc, markBrush.get());

    auto mid = static_cast<LONG>(rect.bottom - (static_cast<long long>(rect.bottom) - rect.top) / 2);
    columnRange columns = levelColumns(rect);
    if (flags & layer::waveTrace) {
        selection penIn(dc, tracePen.get());
        drawTrace(dc, levels, rect, mid, columns);
    }
    if ((flags & layer::waveMarks) && fade == 0.0f) {
        selection penIn(dc, markPen.get());
        drawMarks(dc, levels, rect, mid, columns);
    }
}

void runLayerTimers(moduleRenderState& state, std::uint32_t& flags, DWORD now) {
    DWORD(&fired)[5] = state.timerTimes;
    auto due = [&](int timer, DWORD interval) {
        if (now - fired[timer] <= interval)
            return false;
        fired[timer] = now;
        return true;
    };
    if (due(0, 620000))
        flags ^= layer::echo1;
    if (due(1, 50000))
        flags ^= layer::echo2;
    if (due(2, 28000)) {
        if (flags & layer::echo3)
            flags &= ~(layer::echo3 | layer::echoes);
        else
            flags |= layer::echo3 | layer::echoes;
    }
    if (due(3, 20000)) {
        if (!(flags & layer::waveTrace))
            flags |= layer::waveTrace;
        else if (flags & layer::waveMarks)
            flags &= ~layer::waveTrace;
    }
    if (due(4, 14000)) {
        if (!(flags & layer::waveMarks))
            flags |= layer::waveMarks;
        else if (flags & layer::waveTrace)
            flags &= ~layer::waveMarks;
    }
}

HRESULT Render(effectLayers& layers, LONG preset, HBITMAP logo, const TimedLevel* levels, HDC dc,
               const RECT* rect) {
    if (!levels || !dc || !rect)
        return E_POINTER;
    const LONG width = rect->right, height = rect->bottom;
    if (width <= 0 || height <= 0)
        return S_OK;  // no frame to draw
    memoryDc frameDc(dc);
    ownedBitmap frame(frameDc ? CreateCompatibleBitmap(dc, width, height) : nullptr);
    selection frameIn(frameDc.get(), frame.get());
    if (!frameDc || !frame || !frameIn)
        return E_FAIL;
    SetMapMode(frameDc.get(), GetMapMode(dc));

    float angle = 0.0f;
    {
        std::lock_guard<std::mutex> hold(moduleStateLock());
        moduleRenderState& state = moduleState();
        turnLogo(state, *levels);
        angle = state.angle;
        DrawLevelLayers(state, layers.flags, *levels, frameDc.get(), *rect, 0.0f);
        drawEchoes(state, layers, *levels, frameDc.get(), *rect, tickCount());
        runLayerTimers(state, layers.flags, tickCount());
    }
    if (preset == logoPreset)
        drawLogo(frameDc.get(), logo, angle, *levels, width, height);
    return BitBlt(dc, 0, 0, width, height, frameDc.get(), 0, 0, SRCCOPY) ? S_OK : E_FAIL;
}

}  // namespace vesk::zintaro
