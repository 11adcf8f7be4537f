// The generated pictures keep the sizes and layout the game draws them with.
#include <algorithm>
#include <cmath>

#include "assetgen_support.h"

using namespace assetgen_test;

namespace {

struct Expected {
  const char* file;
  int w, h;
};

TEST(AssetgenPictures, DisplayPicturesHaveTheSizesTheDisplayDrawsThemAt) {
  ASSETGEN_REQUIRE_OUTPUT();
  const Expected pictures[] = {{"base.png", 362, 178}, {"hp.png", 169, 7},   {"sp.png", 169, 5},
                               {"cp.png", 64, 7},      {"m_hp.png", 169, 10}, {"m_hp_base.png", 197, 17},
                               {"bg.png", 800, 480}};
  for (const Expected& e : pictures) {
    Surface s = loadRgba(packDir() / "ui" / "hta" / e.file);
    ASSERT_TRUE(s) << e.file << ": " << IMG_GetError();
    EXPECT_EQ(s->w, e.w) << e.file;
    EXPECT_EQ(s->h, e.h) << e.file;
  }
}

TEST(AssetgenPictures, FrameHasDarkOpaqueWellsExactlyUnderTheBars) {
  ASSETGEN_REQUIRE_OUTPUT();
  Surface s = loadRgba(packDir() / "ui" / "hta" / "base.png");
  ASSERT_TRUE(s);
  struct Well {
    int x, y, w, h;
  };
  for (Well well : {Well{125, 17, 169, 7}, Well{125, 31, 169, 5}, Well{197, 41, 64, 7}, Well{43, 146, 169, 10}}) {
    for (int y = well.y; y < well.y + well.h; ++y)
      for (int x = well.x; x < well.x + well.w; ++x) {
        Rgba p = pixel(s.get(), x, y);
        ASSERT_EQ(p.a, 255) << "well pixel (" << x << ", " << y << ") is not opaque";
        ASSERT_LT(p.r + p.g + p.b, 3 * 60) << "well pixel (" << x << ", " << y << ") is not dark";
      }
    // The frame around a well is drawn too: the pixel left of it is not transparent.
    EXPECT_GT(pixel(s.get(), well.x - 1, well.y).a, 0) << "no frame left of the well at x " << well.x;
  }
  // The far right of the frame picture is left transparent (the scene shows through).
  EXPECT_EQ(pixel(s.get(), 361, 100).a, 0);
}

TEST(AssetgenPictures, BarsAreOpaqueSoAShortenedBarReadsClearly) {
  ASSETGEN_REQUIRE_OUTPUT();
  for (const char* f : {"hp.png", "sp.png", "cp.png", "m_hp.png"}) {
    Surface s = loadRgba(packDir() / "ui" / "hta" / f);
    ASSERT_TRUE(s) << f;
    for (int y = 0; y < s->h; ++y)
      for (int x = 0; x < s->w; ++x) ASSERT_EQ(pixel(s.get(), x, y).a, 255) << f << " at " << x << "," << y;
  }
}

TEST(AssetgenPictures, FighterFramesShareOneCanvasWithTheFeetAtTheBottomCentre) {
  ASSETGEN_REQUIRE_OUTPUT();
  for (const char* set : {"c_morivane", "guai01", "guai02", "boss01", "c_kaelin"}) {
    std::vector<std::filesystem::path> files;
    // A hero's portrait for the display is not a frame, nor is the knife a hero throws.
    for (const auto& e : std::filesystem::directory_iterator(packDir() / set / "hta"))
      if (e.path().filename() != "portrait.png" && e.path().filename().string().rfind("knife_fly_", 0) != 0)
        files.push_back(e.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 30u) << set;
    Surface first = loadRgba(files.front());
    ASSERT_TRUE(first);
    for (const auto& f : files) {
      Surface s = loadRgba(f);
      ASSERT_TRUE(s) << f;
      EXPECT_EQ(s->w, first->w) << f;
      EXPECT_EQ(s->h, first->h) << f;
    }
    // Standing: the lowest opaque row is the bottom edge, centred.
    Surface idle = loadRgba(packDir() / set / "hta" / "idle_0.png");
    ASSERT_TRUE(idle);
    int lowest = -1;
    double sumX = 0, count = 0;
    for (int y = 0; y < idle->h; ++y)
      for (int x = 0; x < idle->w; ++x)
        if (pixel(idle.get(), x, y).a > 128) {
          lowest = y;
          if (y >= idle->h - 12) {
            sumX += x;
            ++count;
          }
        }
    EXPECT_GE(lowest, idle->h - 3) << set << ": feet do not reach the bottom edge";
    ASSERT_GT(count, 0) << set;
    EXPECT_NEAR(sumX / count, idle->w / 2.0, 20) << set << ": feet are not centred";
  }
}

TEST(AssetgenPictures, FightersAreAsTallAsTheGameExpects) {
  ASSETGEN_REQUIRE_OUTPUT();
  struct Height {
    const char* set;
    int lo, hi;
  };
  for (Height h : {Height{"c_morivane", 110, 140}, Height{"guai01", 110, 140}, Height{"guai02", 110, 145},
                   Height{"boss01", 170, 200}}) {
    Surface s = loadRgba(packDir() / h.set / "hta" / "idle_0.png");
    ASSERT_TRUE(s);
    int top = s->h, bottom = -1;
    for (int y = 0; y < s->h; ++y)
      for (int x = 0; x < s->w; ++x)
        if (pixel(s.get(), x, y).a > 128) {
          top = std::min(top, y);
          bottom = y;
        }
    int height = bottom - top + 1;
    EXPECT_GE(height, h.lo) << h.set;
    EXPECT_LE(height, h.hi) << h.set;
  }
}

// Nothing a fighter swings or flings (a pipe overhead, a blade, an arm) runs
// off its picture: the game would show it cut straight off at the edge. The
// bottom edge is the ground. (boss01's lunging thrust is left out: its blade
// has always touched the right edge.)
TEST(AssetgenPictures, NothingRunsOffAFighterPictureAtTheTopOrTheSides) {
  ASSETGEN_REQUIRE_OUTPUT();
  for (const char* set : {"c_morivane", "c_kaelin", "guai01", "guai02", "guai04", "guai06", "guai07", "boss02"}) {
    int frames = 0;
    for (const auto& e : std::filesystem::directory_iterator(packDir() / set / "hta")) {
      Surface s = loadRgba(e.path());
      ASSERT_TRUE(s) << e.path();
      ++frames;
      for (int x = 0; x < s->w; ++x) ASSERT_LT(pixel(s.get(), x, 0).a, 8) << e.path() << ": cut off at the top, x " << x;
      for (int y = 0; y < s->h; ++y) {
        ASSERT_LT(pixel(s.get(), 0, y).a, 8) << e.path() << ": cut off at the left, y " << y;
        ASSERT_LT(pixel(s.get(), s->w - 1, y).a, 8) << e.path() << ": cut off at the right, y " << y;
      }
    }
    EXPECT_GE(frames, 25) << set;
  }
}

// Rows from the highest to the lowest fairly opaque pixel of a picture.
int opaqueHeight(const SDL_Surface* s) {
  int top = s->h, bottom = -1;
  for (int y = 0; y < s->h; ++y)
    for (int x = 0; x < s->w; ++x)
      if (pixel(s, x, y).a > 128) {
        top = std::min(top, y);
        bottom = y;
      }
  return bottom - top + 1;
}

// The mid-boss: every frame of the fighter on one canvas (its crescent apart),
// standing on the bottom centre, taller than the heavy and shorter than the
// warlord; its crescent bright on transparent ground, standing on its bottom edge.
TEST(AssetgenPictures, TheMidBossStandsBetweenTheGangAndTheWarlord) {
  ASSETGEN_REQUIRE_OUTPUT();
  const std::filesystem::path dir = packDir() / "boss02" / "hta";
  Surface idle = loadRgba(dir / "idle_0.png");
  ASSERT_TRUE(idle) << IMG_GetError();
  int fighterFrames = 0, crescents = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    Surface s = loadRgba(e.path());
    ASSERT_TRUE(s) << e.path();
    if (e.path().filename().string().rfind("crescent_fly", 0) == 0 ||
        e.path().filename().string().rfind("crescent_break", 0) == 0) {
      ++crescents;
      EXPECT_EQ(pixel(s.get(), 0, 0).a, 0) << e.path();
      EXPECT_EQ(pixel(s.get(), s->w - 1, 0).a, 0) << e.path();
      int lowest = -1, bright = 0;
      for (int y = 0; y < s->h; ++y)
        for (int x = 0; x < s->w; ++x) {
          const Rgba p = pixel(s.get(), x, y);
          if (p.a > 128) lowest = y;
          if (p.a > 200 && p.r + p.g + p.b > 3 * 200) ++bright;
        }
      EXPECT_GE(lowest, s->h - 4) << e.path() << ": it does not run along the ground";
      if (e.path().filename().string().rfind("crescent_fly", 0) == 0)
        EXPECT_GT(bright, 100) << e.path() << ": no bright heart";
      continue;
    }
    ++fighterFrames;
    EXPECT_EQ(s->w, idle->w) << e.path();
    EXPECT_EQ(s->h, idle->h) << e.path();
  }
  EXPECT_GE(fighterFrames, 32);
  EXPECT_EQ(crescents, 4);

  int lowest = -1;
  double sumX = 0, count = 0;
  for (int y = 0; y < idle->h; ++y)
    for (int x = 0; x < idle->w; ++x)
      if (pixel(idle.get(), x, y).a > 128) {
        lowest = y;
        if (y >= idle->h - 12) {
          sumX += x;
          ++count;
        }
      }
  EXPECT_GE(lowest, idle->h - 3) << "feet do not reach the bottom edge";
  ASSERT_GT(count, 0);
  EXPECT_NEAR(sumX / count, idle->w / 2.0, 20) << "feet are not centred";

  Surface heavy = loadRgba(packDir() / "guai06" / "hta" / "idle_0.png");
  Surface warlord = loadRgba(packDir() / "boss01" / "hta" / "idle_0.png");
  ASSERT_TRUE(heavy && warlord);
  const int height = opaqueHeight(idle.get());
  EXPECT_GT(height, opaqueHeight(heavy.get())) << "the mid-boss should stand over the gang";
  EXPECT_LT(height, opaqueHeight(warlord.get())) << "the warlord should stand over the mid-boss";
}

TEST(AssetgenPictures, SparksAreBrightOnTransparentGround) {
  ASSETGEN_REQUIRE_OUTPUT();
  for (const char* f : {"spark_small_1.png", "spark_heavy_2.png", "spark_special_2.png"}) {
    Surface s = loadRgba(packDir() / "system" / "hta" / f);
    ASSERT_TRUE(s) << f;
    EXPECT_EQ(pixel(s.get(), 0, 0).a, 0) << f;
    EXPECT_EQ(pixel(s.get(), s->w - 1, s->h - 1).a, 0) << f;
    Rgba c = pixel(s.get(), s->w / 2, s->h / 2);
    EXPECT_GT(c.a, 200) << f;
    EXPECT_GT(c.r + c.g + c.b, 3 * 200) << f << ": the core is not hot";
  }
}

TEST(AssetgenPictures, BackgroundsLeaveTheTopRightLightForTheBlackScore) {
  ASSETGEN_REQUIRE_OUTPUT();
  for (const char* scene : {"Test", "harbor", "temple", "zd", "market", "rooftop", "yard", "warehouse"}) {
    Surface s = loadRgba(packDir() / scene / "hta" / "bg.png");
    ASSERT_TRUE(s) << scene;
    ASSERT_EQ(s->w, 800);
    ASSERT_EQ(s->h, 480);
    double sum = 0;
    int n = 0;
    for (int y = 0; y < 28; ++y)
      for (int x = 560; x < 800; ++x) {
        Rgba p = pixel(s.get(), x, y);
        sum += 0.2126 * p.r + 0.7152 * p.g + 0.0722 * p.b;
        ++n;
      }
    EXPECT_GT(sum / n, 170) << scene << ": the score would not read there";
  }
}

}  // namespace
