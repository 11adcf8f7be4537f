// A font for tests that read text back from the glyph quads: font1.png (white)
// and font1.fnt in the current folder, one glyph `glyphWidth` pixels wide and
// 16 high for each character of `chars`, side by side.
#pragma once

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cstdio>
#include <fstream>
#include <string>

inline bool writeTestFont(const std::string& chars, int glyphWidth) {
  SDL_Surface* s =
      SDL_CreateRGBSurfaceWithFormat(0, static_cast<int>(chars.size()) * glyphWidth, 16, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return false;
  SDL_FillRect(s, nullptr, 0xFFFFFFFF);
  const bool saved = IMG_SavePNG(s, "font1.png") == 0;
  SDL_FreeSurface(s);
  std::ofstream fnt("font1.fnt");
  fnt << "[HGEFONT]\nBitmap=font1.png\n";
  int x = 0;
  for (char c : chars) {
    char code[8];
    std::snprintf(code, sizeof code, "%02X", static_cast<unsigned char>(c));
    fnt << "Char=" << code << "," << x << ",0," << glyphWidth << ",16,0,0\n";
    x += glyphWidth;
  }
  return saved && static_cast<bool>(fnt);
}

// Every printable ASCII character.
inline std::string printableAscii() {
  std::string all;
  for (char c = 32; c < 127; ++c) all += c;
  return all;
}
