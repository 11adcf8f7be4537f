// The default game put together as the program does it (the screens, the
// player's settings, the pause menu, a trace), run in-process headless or in
// a window on SDL's offscreen driver, with hooks where a test presses keys or
// works a pad. For tests of what the player does around the fight.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/Autoplay.h"
#include "app/PauseMenu.h"
#include "app/PlayerSettings.h"
#include "app/ScreenFlow.h"
#include "app/SeatControls.h"
#include "app/TitleMenu.h"
#include "base/Random.h"
#include "engine_support.h"
#include "world/RulesFile.h"
#include "world/Trace.h"
#include "world/WorldChecksum.h"

namespace playedgame {

inline const std::filesystem::path kGame = TERVALEN_BINARY_DIR "/game";

inline bool haveGame() { return std::filesystem::exists(kGame / "data"); }

struct GameSetup {
  bool window = false;  // a window on the offscreen driver instead of headless
  bool menuStopsTheGame = true;  // false: the pause menu as a game over the network has it
  int frames = 0;       // frames of the loop
  int seed = 7;
  std::string replay, record;
  std::filesystem::path settingsFile;  // "" keeps no settings
  bool titleMenu = false;              // the title menu and its demo, as a game a person starts
  std::filesystem::path scoresFile;    // the menu's high-score table ("" keeps none)
  bool autoplay = false;               // with the title menu: the built-in player (masher) plays seat 1
  std::vector<std::pair<int, std::string>> screenshots;
  // A rules file played in place of the folder's own ("" the folder's own).
  std::filesystem::path rulesFile;
  // First in the clock callback, where the keyboard's events would have come in: raw keys.
  std::function<void(HGE*, int frame)> beforeClock;
  // Last in the frame callback (a pad's changes arrive with the next frame's events).
  std::function<void(HGE*, int frame, const ScreenFlow&, const PauseMenu&)> afterFrame;
  // After afterFrame: who plays which seat.
  std::function<void(int frame, const ScreenFlow&, SeatControls&)> seatsAfterFrame;
};

struct Played {
  bool started = false;
  std::string trace, result, log;
  int steps = 0, frames = 0;
  int randomDraws = 0;
  std::vector<int> drawsAtFrame;  // random numbers drawn by the end of each frame
  std::vector<int> stepAtFrame;   // the step count at the end of each frame
  bool quit = false;              // the loop ended by the player (Quit to desktop, Esc on the ending)
  int musicVolume = 0;
  int packReads = 0, packMainReads = 0;  // entries of the pack read, and those on the frames' thread
};

inline Played play(const GameSetup& setup, const ScratchDir& dir) {
  Played out;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(kGame);
  HGE* engine = hgeCreate(HGE_VERSION);
  engine->System_SetState(HGE_HEADLESS, !setup.window);
  engine->System_SetState(HGE_USESOUND, false);
  engine->System_SetState(HGE_LOGFILE, dir.file("log.txt").c_str());
  engine->System_SetState(HGE_MAXFRAMES, setup.frames);
  engine->System_SetState(HGE_REPLAYFILE, setup.replay.c_str());
  engine->System_SetState(HGE_RECORDFILE, setup.record.c_str());
  for (const auto& [frame, path] : setup.screenshots) engine->System_AddScreenshot(frame, path.c_str());
  engine->Random_SetSeed(setup.seed);
  Random chance;
  chance.seed(static_cast<uint32_t>(setup.seed));
  {
    TraceWriter trace(dir.file("trace.jsonl"), [](const std::string& why) { ADD_FAILURE() << why; });
    // The folder's own rules file, as the game reads it, or the one given.
    Expected<GameRules> rules = setup.rulesFile.empty() ? readGameRules() : readGameRules(setup.rulesFile.string());
    EXPECT_TRUE(rules.ok()) << rules.error().message();
    ScreenFlow flow(engine, rules.ok() ? *rules : GameRules{}, [&](int lo, int hi) {
      ++out.randomDraws;
      return chance.range(lo, hi);
    }, &trace);
    PlayerSettings settings(engine, setup.settingsFile, {});
    settings.applyToEngine();
    PauseMenu menu(engine, flow.clock(), settings);
    SeatControls seats(engine, settings);
    settings.setKeysListener([&] { seats.rebind(); });
    seats.setReplaying(!setup.replay.empty());
    seats.rebind();
    menu.setSeats(&seats);
    menu.setStopsTheGame(setup.menuStopsTheGame);
    flow.setMenuLayer([&] { menu.draw(); });
    std::unique_ptr<TitleMenu> title;
    Autoplay demoBot(engine, setup.autoplay ? AutoplayStyle::Masher : AutoplayStyle::Full, 1);
    if (setup.titleMenu) {
      title = std::make_unique<TitleMenu>(engine, settings, flow.rulesAtStart().heroChoices(), setup.scoresFile);
      title->setOptions([&] { menu.openFromTitle(); }, [&] { return menu.openFromTitleMenu(); });
      flow.setTitleMenu(title.get());
    }
    engine->System_SetState(HGE_FRAMEFUNC, [&] {
      const bool done = flow.frame() || menu.quitChosen();
      if (setup.afterFrame) setup.afterFrame(engine, engine->System_GetFrame(), flow, menu);
      if (setup.seatsAfterFrame) setup.seatsAfterFrame(engine->System_GetFrame(), flow, seats);
      out.drawsAtFrame.push_back(out.randomDraws);
      out.stepAtFrame.push_back(engine->System_GetStep());
      return done;
    });
    engine->System_SetState(HGE_RENDERFUNC, [&] { return flow.render(); });
    engine->System_SetState(HGE_CLOCKFUNC, [&] {
      if (setup.beforeClock) setup.beforeClock(engine, engine->System_GetFrame());
      settings.everyFrame();
      const bool playing = flow.state() == ScreenFlow::PLAYING && !flow.inDemo();
      const bool lobby = flow.state() == ScreenFlow::TITLE && flow.titleMenu() &&
                         flow.titleMenu()->page() == TitleMenu::JOIN && !menu.isOpen();
      seats.update(flow.world(), playing && !menu.isOpen() && !flow.clock().playerPaused, lobby);
      menu.update(playing, seats.startUsed());
      return flow.runsThisFrame();
    });
    // Each step: a seat leaving presses its leave key; with the title menu,
    // the built-in player plays its demo (and seat 1, when asked).
    engine->System_SetState(HGE_INPUTFUNC, [&] {
      seats.beforeStep();
      if (title && (flow.inDemo() || (setup.autoplay && flow.state() == ScreenFlow::PLAYING)))
        demoBot.think(flow.world(), flow.state());
      return false;
    });
    engine->System_SetState(HGE_CHECKSUMFUNC, [&] { return worldChecksum(flow.world(), chance.state()); });
    out.started = engine->System_Initiate();
    if (out.started) {
      flow.loadScreens();
      menu.loadFont();
      if (title) title->load();
      engine->System_Start();
      out.steps = engine->System_GetStep();
      out.frames = engine->System_GetFrame();
      out.quit = flow.quitByPlayer() || menu.quitChosen();
      out.result = resultLine(flow.world(), out.quit, out.steps);
      out.musicVolume = engine->System_GetState(HGE_MUSICVOLUME);
      out.packReads = engine->System_GetState(HGE_PACKREADS);
      out.packMainReads = engine->System_GetState(HGE_PACKMAINREADS);
    }
    settings.saveNow();
    settings.setKeysListener(nullptr);
    for (hgeFuncState f : {HGE_FRAMEFUNC, HGE_RENDERFUNC, HGE_CLOCKFUNC, HGE_INPUTFUNC})
      engine->System_SetState(f, hgeCallback{});
    engine->System_SetState(HGE_CHECKSUMFUNC, hgeChecksumCallback{});
    trace.close();
  }
  engine->System_Shutdown();
  engine->System_SetState(HGE_REPLAYFILE, "");
  engine->System_SetState(HGE_RECORDFILE, "");
  engine->Release();
  std::filesystem::current_path(before);
  out.trace = readFile(dir.file("trace.jsonl"));
  out.log = readFile(dir.file("log.txt"));
  return out;
}

// Taps a raw key: down in this frame's clock callback, up `holdFrames` later.
struct Taps {
  std::vector<std::pair<int, int>> downs;  // frame, key
  int holdFrames = 1;
  void operator()(HGE* hge, int frame) const {
    for (const auto& [at, key] : downs) {
      if (frame == at) hge->Input_InjectRawKey(key, true);
      if (frame == at + holdFrames) hge->Input_InjectRawKey(key, false);
    }
  }
};

}  // namespace playedgame
