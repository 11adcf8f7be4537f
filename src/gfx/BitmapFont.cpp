#include "gfx/BitmapFont.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

float roundHalfEven(float v) { return std::nearbyint(v); }

}  // namespace

BitmapFont::BitmapFont(HGE* engine, const char* filename, bool mipmap) : engine_(engine) {
  uint32_t size = 0;
  void* data = engine_->Resource_Load(filename, &size);
  if (!data) return;
  std::string text(static_cast<const char*>(data), size);
  engine_->Resource_Free(data);

  FontDescription description;
  if (!parseFontDescription(text.data(), text.size(), description)) {
    engine_->System_Log("Font %s has incorrect format.", filename);
    return;
  }
  // Bitmap names are relative to the description's folder.
  std::string folder = filename;
  size_t slash = folder.rfind('\\');
  if (slash == std::string::npos) slash = folder.rfind('/');
  folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);

  HTEXTURE texture = 0;  // glyphs before any bitmap line draw untextured
  for (const FontDescription::Event& e : description.events) {
    if (e.isBitmap) {
      texture = engine_->Texture_Load((folder + e.bitmap).c_str(), 0, mipmap);
      if (!texture) break;  // the glyphs defined so far remain
      textures_.push_back(texture);
      continue;
    }
    const FontDescription::Glyph& g = e.glyph;
    glyphs_[g.code] = std::make_unique<SpriteQuad>(engine_, texture, float(g.x), float(g.y), float(g.w), float(g.h));
    glyphs_[g.code]->setColor(color_);
    pre_[g.code] = float(g.pre);
    post_[g.code] = float(g.post);
    if (float(g.h) > lineHeight_) lineHeight_ = float(g.h);
  }
}

BitmapFont::~BitmapFont() {
  for (auto& g : glyphs_) g.reset();
  for (HTEXTURE t : textures_) engine_->Texture_Free(t);
}

int BitmapFont::lookup(unsigned char byte) const {
  if (glyphs_[byte]) return byte;
  if (glyphs_['?']) return '?';
  return -1;
}

float BitmapFont::lineWidth(const char* text) const {
  float sum = 0;
  for (const char* p = text; *p && *p != '\n'; ++p) {
    const int g = lookup(static_cast<unsigned char>(*p));
    if (g >= 0) sum += glyphs_[g]->width() + pre_[g] + post_[g] + tracking_;
  }
  return sum;
}

float BitmapFont::textWidth(const char* text, bool multiline) const {
  if (!text || !*text) return 0;
  if (!multiline) return lineWidth(text) * scale_ * proportion_;
  float w = 0;
  const char* p = text;
  while (*p) {
    const float line = lineWidth(p);
    if (line > w) w = line;
    while (*p && *p != '\n') ++p;
    while (*p == '\n' || *p == '\r') ++p;
  }
  return w * scale_ * proportion_;
}

void BitmapFont::draw(float x, float y, int align, const char* text) {
  if (!text) return;
  const int a = align & 3;
  auto lineStart = [&](const char* rest) {
    if (a == AlignRight) return x - textWidth(rest, false);
    if (a == AlignCenter) return x - roundHalfEven(textWidth(rest, false) / 2);
    return x;
  };
  float px = lineStart(text);
  for (const char* p = text; *p; ++p) {
    if (*p == '\n') {
      y += roundHalfEven(lineHeight_ * scale_ * spacing_);
      px = lineStart(p + 1);
      continue;
    }
    const int g = lookup(static_cast<unsigned char>(*p));
    if (g < 0) continue;
    px += pre_[g] * scale_ * proportion_;
    glyphs_[g]->setColor(color_);
    glyphs_[g]->drawScaled(px, y, scale_ * proportion_, scale_);
    px += (glyphs_[g]->width() + post_[g] + tracking_) * scale_ * proportion_;
  }
}

void BitmapFont::drawFormatted(float x, float y, int align, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(formatBuffer_, sizeof formatBuffer_, format, args);
  va_end(args);
  draw(x, y, align, formatBuffer_);
}

// The colour reaches a glyph when it is drawn: the Hud changes colour many
// times a frame, and painting all 256 glyphs each time was the dearest thing
// a headless game did.
void BitmapFont::setColor(uint32_t color) { color_ = color; }
