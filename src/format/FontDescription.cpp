// The font description format: the "[HGEFONT]" header, "Bitmap = NAME"
// lines and "Char=CODE,x,y,w,h,pre,post" lines, read as the game always has.
#include "format/FontDescription.h"

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
