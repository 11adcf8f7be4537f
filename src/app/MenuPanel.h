// Drawing for the pause menu in the heads-up display's style: a steel plate
// with a dark outline and a gold rim, bars of colour, and the colours of the
// display's labels.
#pragma once

#include <cstdint>

#include "engine/hge.h"

namespace menustyle {
constexpr uint32_t kShade = 0xA8000000;        // over the frozen game
constexpr uint32_t kOutline = 0xFF0C0C12;
constexpr uint32_t kRimTop = 0xFFD8B060, kRimBottom = 0xFF6A4A1C;
constexpr uint32_t kPlateTop = 0xF6465064, kPlateBottom = 0xF61A1E28;
constexpr uint32_t kShine = 0x48A8B4D0;        // the plate's top highlight
constexpr uint32_t kChosenTop = 0x90D8B060, kChosenBottom = 0x406A4A1C;  // the chosen line
constexpr uint32_t kWell = 0xFF05060A;         // behind a volume bar
constexpr uint32_t kBarLeft = 0xFFFF7010, kBarRight = 0xFFFFF060;  // the power gauge's colours
constexpr uint32_t kTitle = 0xFFFFE9A0;        // gold, as the display's "HP"
constexpr uint32_t kText = 0xFFE8ECF4;
constexpr uint32_t kValue = 0xFFA8D8FF;        // blue, as "SP"
constexpr uint32_t kChosen = 0xFFFFC070;       // orange, as "POWER"
constexpr uint32_t kDim = 0xFF8C94AC;
constexpr uint32_t kWarning = 0xFFFF8060;
}  // namespace menustyle

// A rectangle shaded from `top` to `bottom` (ARGB), or from `left` to `right` when `across`.
void fillRect(HGE* engine, float x, float y, float w, float h, uint32_t top, uint32_t bottom, bool across = false);
// A plate: outline, gold rim, steel face with a highlight along its top.
void drawPlate(HGE* engine, float x, float y, float w, float h);
// A volume bar in its well: `level` of 100 filled.
void drawLevelBar(HGE* engine, float x, float y, float w, float h, int level);
