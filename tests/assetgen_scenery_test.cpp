// The scenes' pictures keep the fight readable: near-layer pieces, where the
// scenes place them, never hide a fighter's body, and the floors have no
// one-pixel lines that read as seams.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "assetgen_support.h"

using namespace assetgen_test;

namespace {

std::filesystem::path contentScenes() { return std::filesystem::path(TERVALEN_SOURCE_DIR) / "content" / "scene"; }

struct NearPlacement {
  int y = 0;
  std::string picture;  // file name in the scene's folder
};

// The near-layer lines of a scene's text ("near x=.. y=.. picture=N"); the
// scenes' near pictures are numbers 8 (near_0.png) and 9 (near_1.png).
std::vector<NearPlacement> nearPlacements(const std::filesystem::path& sceneText) {
  std::vector<NearPlacement> out;
  std::ifstream in(sceneText);
  const std::regex line(R"(^near x=-?\d+ y=(-?\d+) picture=(\d+)\s*$)");
  std::string text;
  std::smatch m;
  while (std::getline(in, text))
    if (std::regex_match(text, m, line)) out.push_back({std::stoi(m[1]), "near_" + std::to_string(std::stoi(m[2]) - 8) + ".png"});
  return out;
}

// Fighters stand with their feet on screen rows 300 to 460, 110 to 200 pixels
// tall: their bodies fill rows 150 to 440 (below that, the feet).
constexpr int kBodyTop = 150, kBodyBottom = 440;
// A near pixel over a body lets at least about half of the fighter through.
constexpr int kMostAlpha = 140;

TEST(AssetgenScenery, NearPiecesAreAtMostHalfCoveringWhereTheFightersBodiesAre) {
  ASSETGEN_REQUIRE_OUTPUT();
  int checked = 0;
  for (const auto& e : std::filesystem::directory_iterator(contentScenes())) {
    const std::string scene = e.path().stem().string();
    for (const NearPlacement& p : nearPlacements(e.path())) {
      Surface pic = loadRgba(packDir() / scene / "hta" / p.picture);
      ASSERT_TRUE(pic) << scene << "/" << p.picture << ": " << IMG_GetError();
      int covering = 0, firstRow = -1;
      for (int y = 0; y < pic->h; ++y) {
        const int row = y + p.y;
        if (row < kBodyTop || row >= kBodyBottom) continue;
        for (int x = 0; x < pic->w; ++x)
          if (pixel(pic.get(), x, y).a > kMostAlpha) {
            ++covering;
            if (firstRow < 0) firstRow = row;
          }
      }
      EXPECT_EQ(covering, 0) << scene << "/" << p.picture << " placed at y " << p.y << " hides " << covering
                             << " pixels of the fighters' bodies, from screen row " << firstRow;
      ++checked;
    }
  }
  EXPECT_GE(checked, 8) << "the scenes place fewer near pieces than expected: is the scene text still read right?";
}

// The mean brightness of each row (or column) of a picture.
std::vector<double> lineMeans(const SDL_Surface* s, bool rows) {
  std::vector<double> out(rows ? s->h : s->w, 0.0);
  for (int y = 0; y < s->h; ++y)
    for (int x = 0; x < s->w; ++x) {
      Rgba p = pixel(s, x, y);
      out[rows ? y : x] += (p.r + p.g + p.b) / 3.0;
    }
  for (double& v : out) v /= rows ? s->w : s->h;
  return out;
}

TEST(AssetgenScenery, FloorsAreOpaqueAndHaveNoOnePixelSeams) {
  ASSETGEN_REQUIRE_OUTPUT();
  int floors = 0;
  for (const auto& e : std::filesystem::directory_iterator(contentScenes())) {
    const std::string scene = e.path().stem().string();
    Surface floor = loadRgba(packDir() / scene / "hta" / "floor.png");
    ASSERT_TRUE(floor) << scene << ": " << IMG_GetError();
    ++floors;
    for (int y = 0; y < floor->h; ++y)
      for (int x = 0; x < floor->w; ++x)
        ASSERT_EQ(pixel(floor.get(), x, y).a, 255) << scene << "/floor.png lets the background through at " << x << "," << y;
    // A line one pixel wide lighter or darker than both its neighbours reads
    // as a crack across the whole floor; joints are drawn two pixels wide.
    for (bool rows : {true, false}) {
      std::vector<double> mean = lineMeans(floor.get(), rows);
      for (size_t i = 1; i + 1 < mean.size(); ++i) {
        double up = mean[i] - mean[i - 1], down = mean[i] - mean[i + 1];
        bool seam = (up > 6 && down > 6) || (up < -6 && down < -6);
        EXPECT_FALSE(seam) << scene << "/floor.png: a one-pixel " << (rows ? "row " : "column ") << i << " ("
                           << mean[i] << " between " << mean[i - 1] << " and " << mean[i + 1] << ")";
      }
    }
  }
  EXPECT_GE(floors, 4);
}

}  // namespace
