// The character viewer (tervalen --view): stepping an action a frame or a
// picture at a time, choosing actions, mirroring; and the program run
// headless, driven by a replay, taking a screenshot with the boxes in it.
#include <gtest/gtest.h>
#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "app/CharacterViewer.h"
#include "engine/hge.h"
#include "engine_support.h"
#include "object/Chara.h"
#include "render/BoxView.h"

namespace {

namespace fs = std::filesystem;

const fs::path kGame = TERVALEN_BINARY_DIR "/game";

// A headless engine and a viewer in the built game folder.
class Viewer : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kGame / "data")) GTEST_SKIP() << "no built game folder";
    previous_ = fs::current_path();
    fs::current_path(kGame);
    engine_ = hgeCreate(HGE_VERSION);
    engine_->System_SetState(HGE_HEADLESS, true);
    engine_->System_SetState(HGE_USESOUND, false);
    engine_->System_SetState(HGE_LOGFILE, dir_.file("log.txt").c_str());
    ASSERT_TRUE(engine_->System_Initiate());
  }
  void TearDown() override {
    viewer_.reset();
    if (engine_) {
      engine_->System_Shutdown();
      engine_->Release();
      fs::current_path(previous_);
    }
  }
  CharacterViewer& open(const std::string& id) {
    viewer_ = std::make_unique<CharacterViewer>(engine_, id, false);
    return *viewer_;
  }

  ScratchDir dir_;
  fs::path previous_;
  HGE* engine_ = nullptr;
  std::unique_ptr<CharacterViewer> viewer_;
};

TEST_F(Viewer, StepsAnActionOneFrameAndOnePictureAtATime) {
  CharacterViewer& v = open("c_morivane");
  std::string error;
  ASSERT_TRUE(v.load(error)) << error;
  ASSERT_NE(v.character(), nullptr);
  EXPECT_EQ(v.selected(), 0);
  v.select(2);  // jump
  ASSERT_EQ(v.character()->action, 2);
  const double y0 = v.character()->y;
  v.stepFrame();
  EXPECT_TRUE(v.paused());
  EXPECT_EQ(v.framesRun(), 1);
  for (int i = 0; i < 5; ++i) v.stepFrame();
  EXPECT_EQ(v.framesRun(), 6) << "one frame per step, no more";
  EXPECT_LT(v.character()->y, y0) << "the jump rises";
  EXPECT_EQ(v.character()->x, CharacterViewer::kStageX) << "kept on its spot";

  const int32_t picture = v.character()->picture, pc = v.character()->pc;
  const int before = v.framesRun();
  v.stepPicture();
  EXPECT_TRUE(v.character()->pc != pc || v.character()->action != 2 || v.character()->picture != picture)
      << "on to the next picture instruction";
  EXPECT_GT(v.framesRun(), before);

  // Actions without instructions are passed over: c_morivane has none at 9 and 10.
  v.select(8);
  v.selectAction(1);
  EXPECT_EQ(v.selected(), 11);
  v.selectAction(-1);
  EXPECT_EQ(v.selected(), 8);
  v.select(9);
  EXPECT_EQ(v.selected(), 8) << "an empty action cannot be chosen";

  const int32_t facing = v.character()->facing;
  v.toggleMirror();
  EXPECT_NE(v.character()->facing, facing);
}

TEST_F(Viewer, ACharacterThatCannotBeShownSaysWhy) {
  std::string error;
  EXPECT_FALSE(open("nobody").load(error));
  EXPECT_EQ(error, "data/chara/nobody.dat: no such character file");
  EXPECT_FALSE(open("../c_morivane").load(error));
  EXPECT_NE(error.find("not a plain name"), std::string::npos) << error;
}

TEST(ViewerProgram, RunsHeadlessFromAReplayAndTakesAScreenshotWithTheBoxes) {
  if (!fs::exists(kGame / "data") || !fs::exists(TERVALEN_BINARY_DIR "/tervalen")) GTEST_SKIP() << "not built";
  ScratchDir dir;
  fs::copy(kGame, dir.path() / "game", fs::copy_options::recursive);
  // Down to action 1 (walk), then pause and two frames on.
  writeFile(dir.file("keys.rep"), "10 down S\n11 up S\n20 down P\n21 up P\n30 down N\n31 up N\n40 down N\n41 up N\n");
  const std::string cmd = "cd '" + dir.file("game") + "' && " TERVALEN_BINARY_DIR "/tervalen --headless --view c_morivane "
                          "--frames 60 --replay '" + dir.file("keys.rep") + "' --screenshot 50:'" +
                          dir.file("view.png") + "' >'" + dir.file("out.txt") + "' 2>&1";
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << readFile(dir.file("out.txt"));
  SDL_Surface* raw = IMG_Load(dir.file("view.png").c_str());
  ASSERT_NE(raw, nullptr) << IMG_GetError();
  SDL_Surface* shot = SDL_ConvertSurfaceFormat(raw, SDL_PIXELFORMAT_ARGB8888, 0);
  SDL_FreeSurface(raw);
  ASSERT_NE(shot, nullptr);
  EXPECT_EQ(shot->w, 800);
  EXPECT_EQ(shot->h, 480);
  auto pixel = [shot](int x, int y) {
    return static_cast<const uint32_t*>(shot->pixels)[y * (shot->pitch / 4) + x];
  };
  EXPECT_EQ(pixel(310, 200), 0xFF262A33u) << "the plain backdrop";
  EXPECT_EQ(pixel(310, 370), 0xFF4A505Cu) << "the floor";
  // The body box's outline is drawn around the character, in the middle of the floor.
  int bodyPixels = 0;
  for (int y = 150; y < 400; ++y)
    for (int x = 300; x < 500; ++x) bodyPixels += pixel(x, y) == boxcolors::kBody;
  EXPECT_GT(bodyPixels, 100);
  SDL_FreeSurface(shot);
  const std::string log = readFile(dir.file("game/log.txt"));
  EXPECT_NE(log.find("character viewer: c_morivane"), std::string::npos);
}

}  // namespace
