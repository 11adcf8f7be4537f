// Single-byte text drawn with glyphs cut from one texture, as a font
// description file ("[HGEFONT]", "Bitmap = ...", "Char=..." lines) lays out.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/hge.h"
#include "format/FontDescription.h"
#include "gfx/SpriteQuad.h"

// Text alignment: only the two lowest bits count; 3 acts as AlignLeft.
constexpr int AlignLeft = 0;
constexpr int AlignRight = 1;
constexpr int AlignCenter = 2;

class BitmapFont {
 public:
  // Reads the description `filename` (from the pack or the disk) and loads its
  // pictures through `engine`, which must outlive the font.
  BitmapFont(HGE* engine, const char* filename, bool mipmap = false);
  ~BitmapFont();
  BitmapFont(const BitmapFont&) = delete;
  BitmapFont& operator=(const BitmapFont&) = delete;

  void draw(float x, float y, int align, const char* text);
  void drawFormatted(float x, float y, int align, const char* format, ...)
      __attribute__((format(printf, 5, 6)));
  float textWidth(const char* text, bool multiline = true) const;
  void setColor(uint32_t color);
  // Draws the glyphs `scale` times their size (1: as the font gives them).
  void setScale(float scale) { scale_ = scale > 0 ? scale : 1; }
  float scale() const { return scale_; }

  float lineHeight() const { return lineHeight_; }
  const SpriteQuad* glyph(int code) const { return glyphs_[code & 255].get(); }
  float pre(int code) const { return pre_[code & 255]; }
  float post(int code) const { return post_[code & 255]; }

 private:
  // The glyph a byte draws with (falling back to '?'), or -1 for none.
  int lookup(unsigned char byte) const;
  float lineWidth(const char* text) const;

  HGE* engine_;
  std::vector<HTEXTURE> textures_;
  std::array<std::unique_ptr<SpriteQuad>, 256> glyphs_;
  std::array<float, 256> pre_{};
  std::array<float, 256> post_{};
  float lineHeight_ = 0;
  float scale_ = 1, proportion_ = 1, tracking_ = 0, spacing_ = 1;
  uint32_t color_ = 0xFFFFFFFF;
  // drawFormatted's text: at most 1023 bytes and a 0; longer results are cut.
  char formatBuffer_[1024] = {};
};
