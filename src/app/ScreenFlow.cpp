#include "app/ScreenFlow.h"

#include "world/Hud.h"
#include "world/Scene.h"
#include "world/Trace.h"

namespace {
constexpr uint32_t kEndingBackground = 0x0A000000;
constexpr const char* kEndingText =
    "Thank You For Your Playing\n\n\nYour Score %d\nKills %d\n\nPress ESC To Exit \n\n";
}  // namespace

ScreenFlow::ScreenFlow(HGE* engine, TraceWriter* trace) : engine_(engine), trace_(trace) {}

ScreenFlow::~ScreenFlow() = default;

void ScreenFlow::loadScreens() {
  HTEXTURE titleTexture = engine_->Texture_Load("pak/ui/hta/bg.png", 0, false);
  title_ = std::make_unique<SpriteQuad>(titleTexture, 0.0f, 0.0f, 800.0f, 480.0f);
  endingFont_ = std::make_unique<BitmapFont>("font1.fnt", false);
}

bool ScreenFlow::frame() {
  switch (state_) {
    case TITLE:
      world_ = std::make_unique<Scene>(engine_);
      if (!world_->ready()) {
        startFailed_ = true;
        engine_->System_MessageBox(world_->startError.c_str(), "Tervalen");
        return true;
      }
      state_ = PLAYING;
      return false;
    case PLAYING:
      world_->update();
      if (world_->gameOver) state_ = ENDING;
      if (trace_) trace_->write(*world_, engine_->System_GetFrame(), state_);
      return false;
    case ENDING:
      if (engine_->Input_KeyDown(HGEK_ESCAPE)) {
        quit_ = true;
        return true;
      }
      return false;
  }
  return false;
}

bool ScreenFlow::render() {
  engine_->Gfx_BeginScene(0);
  switch (state_) {
    case TITLE:
      if (title_) title_->draw(0, 0);
      break;
    case PLAYING:
      world_->render();
      break;
    case ENDING:
      engine_->Gfx_Clear(kEndingBackground);
      if (endingFont_) {
        int score = world_ && world_->hud ? world_->hud->score : 0;
        int kills = world_ && world_->hud ? world_->hud->kills : 0;
        endingFont_->drawFormatted(400, 150, AlignCenter, kEndingText, score, kills);
      }
      break;
  }
  engine_->Gfx_EndScene();
  return false;
}
