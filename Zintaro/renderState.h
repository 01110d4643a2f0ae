// What the renderer keeps between frames: per effect object, its layer
// flags and echo snapshots; per module, the drifting colours, the logo's
// angle and the stamps of the echo snapshots and layer timers, shared by
// every effect object while the module stays loaded.
#pragma once

#include <windows.h>

#include <cstdint>
#include <mutex>

#include "extern/playerfx/playerEffects.h"

namespace vesk::zintaro {

namespace layer {
constexpr std::uint32_t waveTrace = 0x10;  // channel 0's waveform as a line
constexpr std::uint32_t waveMarks = 0x20;  // channel 1's waveform as marks
constexpr std::uint32_t echoes = 0x40;     // the echo layers below at all
constexpr std::uint32_t echo1 = 0x80;
constexpr std::uint32_t echo2 = 0x100;
constexpr std::uint32_t echo3 = 0x200;
}  // namespace layer

// Belongs to one effect object; zeroed when it is made.
struct effectLayers {
    std::uint32_t flags = 0;
    TimedLevel snapshots[3] = {};  // echo 1, 2 and 3
};

// One colour component: its value and which way it drifts.
struct colourComponent {
    int value;
    bool rising;
};

struct moduleRenderState {
    float angle = 0.0f;  // of the logo, radians
    colourComponent c1{5, false};
    colourComponent c2{10, false};
    colourComponent c3{230, false};
    DWORD snapshotTimes[3] = {};  // when each echo snapshot was last taken
    DWORD timerTimes[5] = {};     // when each layer timer last fired
};

// The module's one state; hold moduleStateLock() while using it.
moduleRenderState& moduleState();
std::mutex& moduleStateLock();

}  // namespace vesk::zintaro
