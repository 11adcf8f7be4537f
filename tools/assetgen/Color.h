// Colours of the generator: straight (not premultiplied) RGBA in 0..1 floats.
#pragma once

#include <algorithm>
#include <cstdint>

namespace assetgen {

struct Color {
  float r = 0, g = 0, b = 0, a = 1;
};

// 0xRRGGBB with full alpha.
constexpr Color rgb(uint32_t hex, float alpha = 1.0f) {
  return Color{((hex >> 16) & 255) / 255.0f, ((hex >> 8) & 255) / 255.0f, (hex & 255) / 255.0f, alpha};
}

inline Color mix(Color a, Color b, float t) {
  return Color{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// Multiplies the colour channels (not alpha): below 1 darkens, above 1 brightens.
inline Color shade(Color c, float k) {
  return Color{std::clamp(c.r * k, 0.0f, 1.0f), std::clamp(c.g * k, 0.0f, 1.0f), std::clamp(c.b * k, 0.0f, 1.0f),
               c.a};
}

inline Color withAlpha(Color c, float a) {
  c.a = a;
  return c;
}

}  // namespace assetgen
