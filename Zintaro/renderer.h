// The frames of the visualization: coloured traces of the two waveform
// channels whose colours drift, faded echoes of earlier frames on long
// timers and, for the "Vesk Wave" preset, the logo sized by two frequency
// bands and slowly turning. A frame is built in memory and copied to the
// player's context in one block; every object made for it goes with it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "Zintaro/renderState.h"
#include "extern/playerfx/playerEffects.h"

namespace vesk::zintaro {

// The preset that draws the logo.
constexpr LONG logoPreset = 1;

// Draws one frame into dc over rect (its right and bottom are the frame's
// size) and moves the layers and the module state on. logo may be null (no
// logo is drawn). E_POINTER for a null levels, dc or rect (nothing drawn),
// E_FAIL when the frame cannot be made; S_OK else.
HRESULT Render(effectLayers& layers, LONG preset, HBITMAP logo, const TimedLevel* levels, HDC dc,
               const RECT* rect);

// One pass of traces with the layers of flags, its colours divided by fade
// (0: as they are); marks are drawn only unfaded. The colours drift first,
// once per pass.
void DrawLevelLayers(moduleRenderState& state, std::uint32_t flags, const TimedLevel& levels, HDC dc,
                     const RECT& rect, float fade);

// One step of the colours' drift, with the turns at their bounds.
void driftColours(moduleRenderState& state);

// The five layer timers, in their order, against the clock now.
void runLayerTimers(moduleRenderState& state, std::uint32_t& flags, DWORD now);

}  // namespace vesk::zintaro
