// Font descriptions and drawing text with the bitmap font: glyph quads as the
// engine receives them, in a headless engine.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AllocationCounter.h"
#include "data_folder.h"
#include "gfx/BitmapFont.h"


using testdata::DataFolder;

namespace {

const char* kExample =
    "[HGEFONT]\r\n"
    "Bitmap = glyphs.png\r\n"
    "Char=41,0,0,12,16,0,1\r\n"
    "Char=20,12,0,6,16,0,0\r\n";

FontDescription parse(const std::string& text, bool expectOk = true) {
  FontDescription d;
  EXPECT_EQ(parseFontDescription(text.data(), text.size(), d), expectOk) << text;
  return d;
}

std::vector<FontDescription::Glyph> glyphsOf(const FontDescription& d) {
  std::vector<FontDescription::Glyph> out;
  for (const auto& e : d.events)
    if (!e.isBitmap) out.push_back(e.glyph);
  return out;
}

// Collects every quad the engine is handed while it lives.
class QuadCapture {
 public:
  explicit QuadCapture(HGE* engine) : engine_(engine) {
    engine_->Gfx_SetCaptureHook([this](const hgeQuad& q) { quads.push_back(q); });
  }
  ~QuadCapture() { engine_->Gfx_SetCaptureHook(nullptr); }
  std::vector<hgeQuad> quads;

 private:
  HGE* engine_;
};

float left(const hgeQuad& q) { return q.v[0].x; }
float right(const hgeQuad& q) { return q.v[1].x; }
float top(const hgeQuad& q) { return q.v[0].y; }

}  // namespace

TEST(FontDescriptionParsing, ExampleDefinesTheLetterAAndTheSpace) {
  FontDescription d = parse(kExample);
  ASSERT_EQ(d.events.size(), 3u);
  EXPECT_TRUE(d.events[0].isBitmap);
  EXPECT_EQ(d.events[0].bitmap, "glyphs.png");
  const auto g = glyphsOf(d);
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(g[0].code, 0x41);
  EXPECT_EQ(g[0].x, 0);
  EXPECT_EQ(g[0].w, 12);
  EXPECT_EQ(g[0].h, 16);
  EXPECT_EQ(g[0].pre, 0);
  EXPECT_EQ(g[0].post, 1);
  EXPECT_EQ(g[1].code, 0x20);
  EXPECT_EQ(g[1].x, 12);
  EXPECT_EQ(g[1].w, 6);
}

TEST(FontDescriptionParsing, CharacterCodesQuotedOrHexadecimal) {
  const auto g = glyphsOf(parse(
      "[HGEFONT]\n"
      "Char=\"A\",1,2,3,4,5,6\n"
      "Char=\"\"\",0,0,1,1,0,0\n"   // the quote mark itself
      "Char=\",\",0,0,1,1,0,0\n"    // the comma
      "Char=\"BX,7,7,7,7,-2,-3\n"   // whatever stands in the closing quote's place
      "Char=  ff , 1 , 2 , 3 , 4 , 5 , 6\n"
      "Char=0041,9,9,9,9,9,9\n"
      "Char=,1,1,1,1,1,1\n"))      // no digits: code 0
  ;
  ASSERT_EQ(g.size(), 7u);
  EXPECT_EQ(g[0].code, 'A');
  EXPECT_EQ(g[0].x, 1);
  EXPECT_EQ(g[0].post, 6);
  EXPECT_EQ(g[1].code, '"');
  EXPECT_EQ(g[2].code, ',');
  EXPECT_EQ(g[3].code, 'B');
  EXPECT_EQ(g[3].pre, -2);
  EXPECT_EQ(g[3].post, -3);
  EXPECT_EQ(g[4].code, 255);
  EXPECT_EQ(g[4].h, 4);
  EXPECT_EQ(g[5].code, 0x41);
  EXPECT_EQ(g[6].code, 0);
}

TEST(FontDescriptionParsing, LinesThatCannotBeReadAreSkipped) {
  const auto g = glyphsOf(parse(
      "[HGEFONT]\n"
      "Char 41,0,0,1,1,0,0\n"            // no "="
      "Char=100,0,0,1,1,0,0\n"           // code above 255
      "Char=123456789,0,0,1,1,0,0\n"     // far above, no wrap-around
      "Char=\t41,0,0,1,1,0,0\n"          // a tab is not skipped: no code, then no comma
      "Char=41,0,0,1,1,0\n"              // five numbers
      "Char=42,0,0,x,1,0,0\n"
      "; a comment line\n"
      "Char=43,1,1,1,1,1,1\n"));
  ASSERT_EQ(g.size(), 1u);
  EXPECT_EQ(g[0].code, 0x43);
}

TEST(FontDescriptionParsing, FirstLineMustBeExactlyTheHeader) {
  parse("", false);
  parse("[HGEFONT] \nChar=41,0,0,1,1,0,0\n", false);
  parse("[hgefont]\n", false);
  parse("Bitmap = a.png\n[HGEFONT]\n", false);
  parse("[HGEFONT]", true);
  // Runs of line ends are skipped, so there are no empty lines.
  FontDescription d = parse("[HGEFONT]\r\n\r\n\n\rBitmap=a.png\n\n\nChar=41,0,0,1,1,0,0");
  ASSERT_EQ(d.events.size(), 2u);
  EXPECT_EQ(d.events[0].bitmap, "a.png");
}

TEST(FontDescriptionParsing, BitmapLinesReadTheNextWordAfterTheEqualsSign) {
  FontDescription d = parse(
      "[HGEFONT]\n"
      "Bitmap=one.png\n"
      "Bitmap \t=   two.png trailing words\n"
      "Bitmap = \n"          // no name: nothing
      "Bitmaps = three.png\n" // not the pattern
      "Bitmap three.png\n");
  ASSERT_EQ(d.events.size(), 2u);
  EXPECT_EQ(d.events[0].bitmap, "one.png");
  EXPECT_EQ(d.events[1].bitmap, "two.png");
}

class BitmapFontDrawing : public ::testing::Test {
 protected:
  void SetUp() override { folder.writePng("glyphs.png", 256, 64); }
  DataFolder folder;
};

TEST_F(BitmapFontDrawing, ExampleFontDrawsAAWithQuadsAtTenAndTwentyThree) {
  folder.write("font1.fnt", std::string(kExample));
  BitmapFont font(folder.engine(), "font1.fnt");
  ASSERT_NE(font.glyph('A'), nullptr);
  EXPECT_EQ(font.lineHeight(), 16);
  EXPECT_EQ(font.textWidth("AA"), 26);

  QuadCapture capture(folder.engine());
  font.draw(10, 30, AlignLeft, "AA");
  ASSERT_EQ(capture.quads.size(), 2u);
  EXPECT_EQ(left(capture.quads[0]), 10);
  EXPECT_EQ(right(capture.quads[0]), 22);
  EXPECT_EQ(left(capture.quads[1]), 23);
  EXPECT_EQ(top(capture.quads[1]), 30);
  EXPECT_EQ(capture.quads[1].v[2].y, 46);  // glyphs hang from y
  EXPECT_NE(capture.quads[0].tex, 0u);
  EXPECT_EQ(capture.quads[0].v[0].col, 0xFFFFFFFFu);
}

TEST_F(BitmapFontDrawing, CentredLinesRoundHalvesToEven) {
  folder.write("f.fnt", std::string("[HGEFONT]\nBitmap=glyphs.png\nChar=\"a\",0,0,5,10,0,0\n"
                                    "Char=\"b\",0,0,7,12,0,0\nChar=\"c\",0,0,2,10,1,0\n"));
  BitmapFont font(folder.engine(), "f.fnt");
  QuadCapture capture(folder.engine());
  font.draw(400, 0, AlignCenter, "a");  // 5 wide: 2.5 rounds to 2
  font.draw(400, 0, AlignCenter, "b");  // 7 wide: 3.5 rounds to 4
  ASSERT_EQ(capture.quads.size(), 2u);
  EXPECT_EQ(left(capture.quads[0]), 398);
  EXPECT_EQ(left(capture.quads[1]), 396);

  // Two lines are centred separately; the second one R(lineHeight) lower.
  capture.quads.clear();
  font.draw(400, 50, AlignCenter, "bb\nc");
  ASSERT_EQ(capture.quads.size(), 3u);
  EXPECT_EQ(left(capture.quads[0]), 393);  // 14 wide
  EXPECT_EQ(top(capture.quads[0]), 50);
  EXPECT_EQ(left(capture.quads[2]), 399);  // 3 wide (pre 1 + 2): 1.5 rounds to 2, then the pre of 1
  EXPECT_EQ(top(capture.quads[2]), 62);

  // Only the two lowest bits count: 6 centres, 3 is left.
  capture.quads.clear();
  font.draw(400, 0, 6, "a");
  font.draw(400, 0, 3, "a");
  ASSERT_EQ(capture.quads.size(), 2u);
  EXPECT_EQ(left(capture.quads[0]), 398);
  EXPECT_EQ(left(capture.quads[1]), 400);
}

TEST_F(BitmapFontDrawing, RightAlignedScoreLineEndsExactlyAtX) {
  // Every printable byte, with sizes and spacings that differ between glyphs.
  std::string fnt = "[HGEFONT]\nBitmap = glyphs.png\n";
  for (int c = 32; c < 127; ++c) {
    char line[80];
    std::snprintf(line, sizeof line, "Char=%02X,%d,0,%d,14,%d,%d\n", c, c, 5 + c % 4, c % 3 - 1, 1 + c % 2);
    fnt += line;
  }
  folder.write("f.fnt", fnt);
  BitmapFont font(folder.engine(), "f.fnt");
  QuadCapture capture(folder.engine());
  font.drawFormatted(700, 10, AlignRight, "Score = %d  ", 120);
  ASSERT_EQ(capture.quads.size(), 13u);
  const hgeQuad& last = capture.quads.back();  // the second space
  EXPECT_EQ(right(last) + font.post(' '), 700);
  EXPECT_EQ(left(capture.quads[0]), 700 - font.textWidth("Score = 120  ") + font.pre('S'));
}

TEST_F(BitmapFontDrawing, MissingGlyphsFallBackToTheQuestionMark) {
  folder.write("q.fnt", std::string("[HGEFONT]\nBitmap=glyphs.png\nChar=41,0,0,10,10,0,0\n"
                                    "Char=\"?\",20,0,8,10,2,3\n"));
  folder.write("n.fnt", std::string("[HGEFONT]\nBitmap=glyphs.png\nChar=41,0,0,10,10,0,0\n"));
  BitmapFont withMark(folder.engine(), "q.fnt");
  BitmapFont without(folder.engine(), "n.fnt");
  QuadCapture capture(folder.engine());
  withMark.draw(0, 0, AlignLeft, "A\x80" "A");
  ASSERT_EQ(capture.quads.size(), 3u);
  EXPECT_EQ(left(capture.quads[1]), 12);   // pre 2 of the question mark
  EXPECT_EQ(right(capture.quads[1]), 20);  // its 8 pixels
  EXPECT_EQ(left(capture.quads[2]), 23);   // and its post 3
  EXPECT_EQ(withMark.textWidth("\x80"), 13);

  capture.quads.clear();
  without.draw(0, 0, AlignLeft, "A\x80" "A");
  ASSERT_EQ(capture.quads.size(), 2u);
  EXPECT_EQ(left(capture.quads[1]), 10);  // no glyph, no advance
  EXPECT_EQ(without.textWidth("\x80\x81"), 0);
}

TEST_F(BitmapFontDrawing, MeasuringOneOrAllLines) {
  folder.write("f.fnt", std::string(kExample));
  BitmapFont font(folder.engine(), "f.fnt");
  EXPECT_EQ(font.textWidth(""), 0);
  EXPECT_EQ(font.textWidth("AA\nAAA", false), 26);
  EXPECT_EQ(font.textWidth("AA\nAAA", true), 39);
  EXPECT_EQ(font.textWidth("AAA\n\r\n\nA", true), 39);
  EXPECT_EQ(font.textWidth("A\rA", false), 26);  // 13 inside a line is measured like any byte ('?' missing: 0)
}

TEST_F(BitmapFontDrawing, FormattedTextIsCutAt1023Bytes) {
  folder.write("f.fnt", std::string(kExample));
  BitmapFont font(folder.engine(), "f.fnt");
  const std::string longText(2000, 'A');
  QuadCapture capture(folder.engine());
  font.drawFormatted(0, 0, AlignLeft, "%s", longText.c_str());
  EXPECT_EQ(capture.quads.size(), 1023u);
}

TEST_F(BitmapFontDrawing, WrongHeaderIsLoggedAndTheFontDrawsNothing) {
  folder.write("bad.fnt", std::string("[HGEFONT] \nBitmap=glyphs.png\nChar=41,0,0,12,16,0,1\n"));
  BitmapFont font(folder.engine(), "bad.fnt");
  EXPECT_EQ(font.glyph('A'), nullptr);
  EXPECT_EQ(folder.logCount("Font bad.fnt has incorrect format."), 1u);
  BitmapFont missing(folder.engine(), "nowhere.fnt");  // cannot be loaded: no message from the font
  EXPECT_EQ(folder.logCount("Font nowhere.fnt has incorrect format."), 0u);
  QuadCapture capture(folder.engine());
  font.draw(0, 0, AlignLeft, "AAA");
  missing.drawFormatted(0, 0, AlignCenter, "%d", 5);
  EXPECT_TRUE(capture.quads.empty());
  EXPECT_EQ(font.textWidth("AAA"), 0);
}

TEST_F(BitmapFontDrawing, BitmapLinesChangeTheTextureOfLaterGlyphsOnly) {
  folder.writePng("fonts/first.png", 32, 32);
  folder.writePng("fonts/second.png", 64, 64);
  folder.write("fonts/two.fnt", std::string("[HGEFONT]\nChar=30,0,0,4,4,0,0\nBitmap = first.png\n"
                                            "Char=41,0,0,4,4,0,0\nBitmap = second.png\nChar=42,0,0,4,20,0,0\n"
                                            "Char=41,4,0,6,4,0,0\nBitmap = absent.png\nChar=43,0,0,4,4,0,0\n"));
  BitmapFont font(folder.engine(), "fonts/two.fnt");
  ASSERT_NE(font.glyph('0'), nullptr);
  ASSERT_NE(font.glyph('A'), nullptr);
  ASSERT_NE(font.glyph('B'), nullptr);
  EXPECT_EQ(font.glyph('C'), nullptr);  // after a bitmap that could not be loaded
  EXPECT_EQ(font.glyph('0')->texture(), 0u);  // before any bitmap: untextured
  EXPECT_NE(font.glyph('B')->texture(), 0u);
  EXPECT_EQ(font.glyph('A')->texture(), font.glyph('B')->texture());  // redefined after the second bitmap
  EXPECT_EQ(font.glyph('A')->width(), 6);                             // the later definition wins
  EXPECT_EQ(folder.engine()->Texture_GetWidth(font.glyph('B')->texture()), 64);
  EXPECT_EQ(font.lineHeight(), 20);
}

TEST_F(BitmapFontDrawing, SetColorTintsEveryGlyph) {
  folder.write("f.fnt", std::string(kExample));
  BitmapFont font(folder.engine(), "f.fnt");
  font.setColor(0xFF000000);
  QuadCapture capture(folder.engine());
  font.draw(0, 0, AlignLeft, "A A");
  ASSERT_EQ(capture.quads.size(), 3u);
  for (const hgeQuad& q : capture.quads)
    for (const hgeVertex& v : q.v) EXPECT_EQ(v.col, 0xFF000000u);
}

TEST_F(BitmapFontDrawing, DrawingAndFormattingAllocateNothing) {
  if (!AllocationCounter::available()) GTEST_SKIP() << AllocationCounter::kWhyNot;
  folder.write("f.fnt", std::string(kExample));
  BitmapFont font(folder.engine(), "f.fnt");
  EXPECT_EQ(AllocationCounter::count([&] {
              for (int i = 0; i < 50; ++i) {
                font.draw(10, 10, AlignCenter, "AA A\nA A");
                font.drawFormatted(790, 10, AlignRight, "Score = %d  ", i);
                font.textWidth("AAA\nA", true);
              }
            }),
            0);
}
