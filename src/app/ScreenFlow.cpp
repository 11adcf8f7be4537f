#include "app/ScreenFlow.h"

#include "app/TitleMenu.h"
#include "base/TextCodec.h"
#include "world/Trace.h"

namespace {

constexpr uint32_t kEndingBackground = 0x0A000000;
constexpr const char *kEndingText =
    "Thank You For Your Playing\n\n\nYour Score %d\nKills %d\n\nPress ESC To "
    "Exit \n\n";
constexpr const char *kTitlePicture = "pak/ui/hta/bg.png";
constexpr const char *kFontFile = "font1.fnt";
// The ending after a run started from the title menu: score, kills, time,
// difficulty.
constexpr const char *kMenuEndingText =
    "%s\n\n\nYour Score %d\nKills %d\nTime %s\nDifficulty %s\n\nEnter: back to "
    "the title   Esc: quit\n";
// The demo plays its sounds low.
constexpr int32_t kDemoMusicVolume = 30, kDemoEffectVolume = 12;
constexpr int kStepsPerSecond = 100;

// The keyboard keys of the game's keys, in FrameInput's order (W S A D J K U
// I).
constexpr int kGameKeyCodes[GAME_KEY_COUNT] = {HGEK_W, HGEK_S, HGEK_A, HGEK_D, HGEK_J, HGEK_K, HGEK_U, HGEK_I};

}  // namespace

FrameInput readFrameInput(HGE *engine, int seat) {
  FrameInput input;
  for (size_t k = 0; k < GAME_KEY_COUNT; ++k) {
    const int code = hgeSeatKey(kGameKeyCodes[k], seat);
    input.pressed[k] = engine->Input_StepKeyDown(code);
    input.held[k] = engine->Input_GameKeyState(code);
  }
  return input;
}

int seatGameKey(int gameKey, int seat) { return hgeSeatKey(kGameKeyCodes[static_cast<size_t>(gameKey)], seat); }

SeatInputs readSeatInputs(HGE *engine) {
  SeatInputs inputs;
  for (int seat = 1; seat <= kMaxSeats; ++seat) inputs[seat] = readFrameInput(engine, seat);
  return inputs;
}

ScreenFlow::ScreenFlow(HGE *engine, GameRules rules, RandomInt random, TraceWriter *trace, const DataLayers *files)
    : engine_(engine),
      rules_(rules),
      baseRules_(std::move(rules)),
      random_(std::move(random)),
      files_(files),
      trace_(trace) {}

// The world and everything drawn with the engine go before the engine does.
ScreenFlow::~ScreenFlow() {
  renderer_.reset();
  world_.reset();
  endingFont_.reset();
  title_.reset();
}

void ScreenFlow::loadScreens() {
  HTEXTURE titleTexture = engine_->Texture_Load(kTitlePicture, 0, false);
  title_ = std::make_unique<SpriteQuad>(engine_, titleTexture, 0.0f, 0.0f, 800.0f, 480.0f);
  endingFont_ = std::make_unique<BitmapFont>(engine_, kFontFile, false);
}

bool ScreenFlow::startGame() {
  engine_->Resource_AttachPack(rules_.packFile.c_str(), rules_.packPassword.c_str());
  WorldServices services;
  services.log = [engine = engine_](const std::string &line) { engine->System_Log("%s", line.c_str()); };
  services.random = random_;
  services.files = files_;
  world_ = std::make_unique<World>(rules_, std::move(services));
  if (!world_->ready()) return false;
  renderer_ = std::make_unique<WorldRenderer>(engine_, world_->catalog);
  // The music (megabytes to read and decode) starts in the next frame, once
  // the first picture of play is up.
  musicDue_ = true;
  return true;
}

bool ScreenFlow::frame() {
  const SeatInputs input = readSeatInputs(engine_);
  switch (state_) {
    case TITLE:
      if (titleMenu_ && !titleChoice()) return quit_;
      if (startGate_) {
        const Gate gate = startGate_(rules_);
        if (gate == Gate::STOP) startFailed_ = true;
        if (gate != Gate::GO) return gate == Gate::STOP;
      }
      if (!startGame()) {
        startFailed_ = true;
        engine_->System_MessageBox(world_->startError.c_str(), "Tervalen");
        return true;
      }
      state_ = PLAYING;
      stepAtStart_ = engine_->System_GetStep();
      if (titleMenu_ && !demo_)
        for (int seat = 2; seat <= kMaxSeats; ++seat)
          if (titleMenu_->joined(seat)) world_->join(seat);
      for (StepWatch *watch : watches_)
        if (!watch->worldStarted(*world_)) {
          stoppedByWatch_ = true;
          return true;
        }
      for (StepWatch *watch : watches_)
        if (watch->replacedWorld()) return false;
      // The first frame builds the world; the player's keys already count in
      // it (not over the network, where keys count a few frames late).
      world_->controlPlayers(stepper_ ? SeatInputs{} : input);
      return false;
    case PLAYING:
      if (musicDue_) {
        musicDue_ = false;
        engine_->Stream_Play(engine_->Stream_Load(rules_.music.c_str(), 0), true, rules_.musicVolume);
      }
      if (!running_) return false;  // paused: the world stands still
      if (demo_) {
        bool touched = false;
        for (int key = 1; key < HGEK_KEYSPACE && !touched; ++key) touched = engine_->Input_RawKeyDown(key);
        if (touched || world_->gameOver) {
          backToTitle();
          return false;
        }
      }
      // A seat that chose to leave pressed its leave key for this step.
      for (int seat = 1; seat <= kMaxSeats; ++seat)
        if (engine_->Input_StepKeyDown(hgeSeatKey(HGEK_LEAVE, seat))) world_->leave(seat);
      if (stepper_) {
        StepSounds sounds;
        sounds.start = [this](const SoundRequest &r) { return playSound(engine_, renderer_->pictures(), r); };
        sounds.stop = [this](HCHANNEL c) { engine_->Channel_Stop(c); };
        const bool goOn = stepper_(*world_, input, sounds);
        renderer_->pictures().loadAhead();
        return !goOn;
      }
      for (StepWatch *watch : watches_) watch->beforeStep(*world_);
      world_->update();
      if (world_->name != markedScene_) {
        // For --stats: the longest frame around each scene change.
        markedScene_ = world_->name;
        engine_->System_MarkScene(markedScene_.c_str());
      }
      playWorldSounds(engine_, renderer_->pictures(), *world_);
      // The pictures and sounds of the scenes to come load a file a frame, so
      // that a door does not stop the game while they load (in a window they
      // are decoded on the engine's decoding thread as well).
      renderer_->pictures().loadAhead();
      if (world_->gameOver) {
        state_ = ENDING;
        stepAtEnd_ = engine_->System_GetStep();
      }
      if (trace_) trace_->write(*world_, engine_->System_GetStep(), state_);
      // The player's control reads the keys after the world's update, and not
      // once the game is over.
      if (state_ == PLAYING) world_->controlPlayers(input);
      for (StepWatch *watch : watches_)
        if (!watch->afterStep(*world_, input)) {
          stoppedByWatch_ = true;
          return true;
        }
      return false;
    case ENDING:
      if (engine_->Input_KeyDown(HGEK_ESCAPE)) {
        quit_ = true;
        return true;
      }
      if (titleMenu_ && (engine_->Input_RawKeyDown(HGEK_ENTER) || engine_->Input_RawKeyDown(HGEK_PAD_START) ||
                         engine_->Input_RawKeyDown(HGEK_PAD_A))) {
        RunSummary run;
        for (const Seat &s : world_->seats) {
          run.score += s.hud.score;
          run.kills += s.hud.kills;
        }
        run.seconds = (stepAtEnd_ - stepAtStart_) / kStepsPerSecond;
        for (int seat = 1; seat <= kMaxSeats; ++seat)
          if (titleMenu_->joined(seat)) run.heroes += (run.heroes.empty() ? "" : "+") + gbkToUtf8(rules_.heroOf(seat));
        run.difficulty = rules_.difficulty;
        run.won = !world_->playerDefeated();
        titleMenu_->runEnded(run, engine_->System_GetDate());
        backToTitle();
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
      if (titleMenu_) titleMenu_->draw();
      break;
    case PLAYING:
      renderer_->setScreenShake(screenShake_);
      renderer_->draw(*world_);
      break;
    case ENDING:
      drawEnding();
      break;
  }
  if (modderLayer_) modderLayer_();
  if (menuLayer_) menuLayer_();
  engine_->Gfx_EndScene();
  return false;
}

bool ScreenFlow::titleChoice() {
  switch (titleMenu_->update()) {
    case TitleMenu::Wish::NONE:
      return false;
    case TitleMenu::Wish::QUIT:
      quit_ = true;
      return false;
    case TitleMenu::Wish::DEMO:
      rules_ = baseRules_;
      rules_.musicVolume = kDemoMusicVolume;
      rules_.effectVolume = kDemoEffectVolume;
      demo_ = true;
      return true;
    case TitleMenu::Wish::START:
      rules_ = baseRules_;
      rules_.seatsAtStart = 1;
      for (int seat = 1; seat <= kMaxSeats; ++seat)
        rules_.seatHeroes[static_cast<size_t>(seat - 1)] = titleMenu_->joined(seat) ? titleMenu_->heroOf(seat) : "";
      rules_.difficulty = titleMenu_->difficulty();
      demo_ = false;
      return true;
  }
  return false;
}

void ScreenFlow::backToTitle() {
  if (demo_) {
    // The built-in player's keys are let go, so none is held in the next game.
    for (int code : kGameKeyCodes) engine_->Input_InjectKey(code, false);
    titleMenu_->backFromDemo();
  }
  demo_ = false;
  renderer_.reset();
  world_.reset();
  state_ = TITLE;
}

void ScreenFlow::drawEnding() {
  engine_->Gfx_Clear(kEndingBackground);
  if (!endingFont_) return;
  int score = 0, kills = 0;
  if (world_)
    for (const Seat &s : world_->seats) {
      score += s.hud.score;
      kills += s.hud.kills;
    }
  if (!titleMenu_) {
    endingFont_->drawFormatted(400, 150, AlignCenter, kEndingText, score, kills);
    return;
  }
  const std::string time = formatRunTime((stepAtEnd_ - stepAtStart_) / kStepsPerSecond);
  std::string level = difficultyName(rules_.difficulty);
  level[0] = static_cast<char>(level[0] - 'a' + 'A');
  const char *headline = world_ && world_->playerDefeated() ? "Defeated" : "Victory";
  endingFont_->drawFormatted(400, 120, AlignCenter, kMenuEndingText, headline, score, kills, time.c_str(),
                             level.c_str());
}

void ScreenFlow::replaceWorld(std::unique_ptr<World> world, std::unique_ptr<WorldRenderer> renderer) {
  renderer_ = std::move(renderer);
  world_ = std::move(world);
  state_ = PLAYING;
}
