#include "render/SeatLook.h"

#include <algorithm>

#include "world/GameRules.h"
#include "world/World.h"

namespace {

constexpr std::array<uint32_t, kMaxSeats> kSeatColors = {0xFFE8402Au, 0xFF3C8CFFu, 0xFF3CD25Au, 0xFFFFD22Au};
// Light enough that the fighter's own shading still reads.
constexpr std::array<uint32_t, kMaxSeats> kBodyTints = {0xFFFFFFFFu, 0xFFB4C8FFu, 0xFFB4F0B4u, 0xFFFFF0A0u};

size_t seatIndex(int seat) { return static_cast<size_t>(std::clamp(seat, 1, kMaxSeats) - 1); }

}  // namespace

uint32_t seatColor(int seat) { return kSeatColors[seatIndex(seat)]; }

uint32_t seatBodyTint(int seat) { return kBodyTints[seatIndex(seat)]; }

bool playingTogether(const World& world) {
  for (int n = 2; n <= kMaxSeats; ++n)
    if (world.seat(n).state != Seat::FREE) return true;
  return false;
}

PanelPlace panelPlace(int seat, float screenWidth) {
  const float column = screenWidth / kMaxSeats;
  const float scale = column / HudLayout::frame.width;
  return {column * static_cast<float>(seatIndex(seat)), 0, scale};
}

float panelStripHeight(float screenWidth) { return HudLayout::frame.height * panelPlace(1, screenWidth).scale; }
