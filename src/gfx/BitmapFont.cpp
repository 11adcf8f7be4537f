#include "gfx/BitmapFont.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

// Blanks as a scanf pattern sees them.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

struct Cursor {
  const char* p;
  const char* end;
  bool atEnd() const { return p >= end; }
  void skipBlanks() {
    while (!atEnd() && isBlank(*p)) ++p;
  }
  bool take(char c) {
    if (atEnd() || *p != c) return false;
    ++p;
    return true;
  }
  // A decimal integer like "%d": optional sign, at least one digit. Values
  // beyond the int range are held at its limits.
  bool readInt(int& out) {
    skipBlanks();
    const char* q = p;
    bool negative = false;
    if (q < end && (*q == '+' || *q == '-')) negative = *q++ == '-';
    if (q >= end || *q < '0' || *q > '9') return false;
    long long v = 0;
    while (q < end && *q >= '0' && *q <= '9') {
      if (v <= std::numeric_limits<int>::max()) v = v * 10 + (*q - '0');
      ++q;
    }
    if (negative) v = -v;
    if (v > std::numeric_limits<int>::max()) v = std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min()) v = std::numeric_limits<int>::min();
    out = int(v);
    p = q;
    return true;
  }
};

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "Bitmap = name": the name is the next word after the "=".
bool parseBitmapLine(const char* line, const char* end, std::string& name) {
  Cursor c{line + 6, end};
  c.skipBlanks();
  if (!c.take('=')) return false;
  c.skipBlanks();
  const char* start = c.p;
  while (!c.atEnd() && !isBlank(*c.p)) ++c.p;
  if (c.p == start) return false;
  name.assign(start, c.p);
  return true;
}

// "Char=<code>,x,y,w,h,pre,post" with the code as "c" (one quoted byte) or hexadecimal.
bool parseCharLine(const char* line, const char* end, FontDescription::Glyph& g) {
  const char* eq = static_cast<const char*>(std::memchr(line, '=', size_t(end - line)));
  if (!eq) return false;
  Cursor c{eq + 1, end};
  while (!c.atEnd() && *c.p == ' ') ++c.p;  // spaces only: a tab is not skipped
  int code = 0;
  if (!c.atEnd() && *c.p == '"') {
    if (end - c.p < 2) return false;
    code = static_cast<unsigned char>(c.p[1]);
    // Reading goes on after the closing quote's place, whatever stands there.
    c.p = end - c.p < 3 ? end : c.p + 3;
  } else {
    bool tooBig = false;
    int d;
    while (!c.atEnd() && (d = hexDigit(*c.p)) >= 0) {
      code = code * 16 + d;
      if (code > 255) tooBig = true, code = 256;  // held above the range: no wrap-around
      ++c.p;
    }
    if (tooBig) return false;
  }
  g.code = code;
  int* fields[6] = {&g.x, &g.y, &g.w, &g.h, &g.pre, &g.post};
  for (int* f : fields) {
    c.skipBlanks();
    if (!c.take(',')) return false;
    if (!c.readInt(*f)) return false;
  }
  return true;
}

// The one formatting buffer shared by every font: 1023 bytes of text and a 0.
char gFormatBuffer[1024];

float roundHalfEven(float v) { return std::nearbyint(v); }

}  // namespace

bool parseFontDescription(const char* text, size_t size, FontDescription& out) {
  out.events.clear();
  // The description is text: a 0 byte ends it.
  if (const void* nul = std::memchr(text, 0, size)) size = size_t(static_cast<const char*>(nul) - text);
  const char* p = text;
  const char* end = text + size;
  bool first = true;
  while (p < end) {
    while (p < end && (*p == '\r' || *p == '\n')) ++p;  // runs of line ends: no empty lines
    if (p >= end) break;
    const char* lineEnd = p;
    while (lineEnd < end && *lineEnd != '\r' && *lineEnd != '\n') ++lineEnd;
    if (first) {
      static const char kHeader[] = "[HGEFONT]";
      if (size_t(lineEnd - p) != sizeof kHeader - 1 || std::memcmp(p, kHeader, sizeof kHeader - 1) != 0) return false;
      first = false;
    } else if (lineEnd - p >= 6 && std::memcmp(p, "Bitmap", 6) == 0) {
      FontDescription::Event e;
      e.isBitmap = true;
      if (parseBitmapLine(p, lineEnd, e.bitmap)) out.events.push_back(std::move(e));
    } else if (lineEnd - p >= 4 && std::memcmp(p, "Char", 4) == 0) {
      FontDescription::Event e;
      if (parseCharLine(p, lineEnd, e.glyph)) out.events.push_back(std::move(e));
    }
    p = lineEnd;
  }
  return !first;  // an empty description has no first line
}

BitmapFont::BitmapFont(const char* filename, bool mipmap) : engine_(hgeCreate(HGE_VERSION)) {
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
    glyphs_[g.code] = std::make_unique<SpriteQuad>(texture, float(g.x), float(g.y), float(g.w), float(g.h));
    glyphs_[g.code]->setColor(color_);
    pre_[g.code] = float(g.pre);
    post_[g.code] = float(g.post);
    if (float(g.h) > lineHeight_) lineHeight_ = float(g.h);
  }
}

BitmapFont::~BitmapFont() {
  for (auto& g : glyphs_) g.reset();
  for (HTEXTURE t : textures_) engine_->Texture_Free(t);
  engine_->Release();
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
    glyphs_[g]->drawScaled(px, y, scale_ * proportion_, scale_);
    px += (glyphs_[g]->width() + post_[g] + tracking_) * scale_ * proportion_;
  }
}

void BitmapFont::drawFormatted(float x, float y, int align, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(gFormatBuffer, sizeof gFormatBuffer, format, args);
  va_end(args);
  draw(x, y, align, gFormatBuffer);
}

void BitmapFont::setColor(uint32_t color) {
  color_ = color;
  for (auto& g : glyphs_) {
    if (g) g->setColor(color);
  }
}
