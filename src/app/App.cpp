#include "app/App.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/Autoplay.h"
#include "app/CharacterViewer.h"
#include "app/EngineSetup.h"
#include "app/ModderKeys.h"
#include "app/NetPlay.h"
#include "app/PauseMenu.h"
#include "app/PlayRules.h"
#include "app/PlayerSettings.h"
#include "app/ScreenFlow.h"
#include "app/StateFile.h"
#include "app/SyncTest.h"
#include "app/Rewind.h"
#include "base/CheckedFile.h"
#include "app/SettingsFile.h"
#include "base/Random.h"
#include "engine/hge.h"
#include "world/RulesFile.h"
#include "world/Trace.h"
#include "world/WorldChecksum.h"
#include "world/WorldDescription.h"

namespace {

// Data strings are GBK. Use a GBK locale when the system has one; without it
// the engine converts text where it meets the system, so the game goes on.
void useGbkLocale(HGE* engine) {
  for (const char* name : {"zh_CN.GBK", "zh_CN.gbk", "zh_CN.GB18030", "zh_CN.gb18030"}) {
    if (std::setlocale(LC_ALL, name)) {
      std::setlocale(LC_NUMERIC, "C");
      return;
    }
  }
  engine->System_Log("No GBK locale on this system; text is converted where it meets the system");
}

// The seed of the run: --seed, else the replay's, else a fresh one from the
// engine. Said in the log, so any run can be played again.
int seedTheRun(HGE* engine, const Options& options) {
  std::string from;
  int seed = 0;
  if (options.seedGiven) {
    seed = options.seed;
    from = "--seed";
    if (options.replaySeed && *options.replaySeed != options.seed) {
      const std::string warning = "--seed " + std::to_string(options.seed) + " is not the seed " +
                                  std::to_string(*options.replaySeed) + " the replay " + options.replay +
                                  " was recorded with: it will play another game";
      engine->System_Log("%s", warning.c_str());
      std::fprintf(stderr, "tervalen: warning: %s\n", warning.c_str());
    }
  } else if (options.replaySeed) {
    seed = *options.replaySeed;
    from = "the replay";
  } else {
    engine->Random_Seed(0);
    seed = engine->Random_GetSeed();
    from = "fresh; --seed " + std::to_string(seed) + " plays this game again";
  }
  engine->Random_SetSeed(seed);
  engine->System_Log("Random seed %d (%s)", seed, from.c_str());
  return seed;
}

}  // namespace

int runGame(const Options& options, const std::string& logFile) {
  if (!options.view.empty()) return runViewer(options, logFile);
  HGE* engine = hgeCreate(HGE_VERSION);
  engine->System_SetState(HGE_LOGFILE, logFile.c_str());
  engine->System_Log("游戏开始");

  // data/rules.txt over the game's own rules, then --scene and --invincible.
  RunRules rules;
  std::string rulesError;
  if (!rulesForRun(options, rules, rulesError)) {
    engine->System_Log("cannot start: %s", rulesError.c_str());
    std::fprintf(stderr, "tervalen: cannot start: %s\n", rulesError.c_str());
    engine->Release();
    return kExitCannotStart;
  }

  // Files the run writes: a failure is said once, the game plays on, and the
  // exit status says it at the end.
  bool outputFailed = false;
  auto reportOutputFailure = [engine, &outputFailed](const std::string& message) {
    outputFailed = true;
    engine->System_Log("%s", message.c_str());
    std::fprintf(stderr, "%s\n", message.c_str());
  };
  std::unique_ptr<TraceWriter> trace;
  if (!options.trace.empty()) {
    trace = std::make_unique<TraceWriter>(options.trace, reportOutputFailure);
    if (!trace->ok()) {
      reportOutputFailure("Cannot write the trace to " + trace->error());
      engine->Release();
      return kExitOutputFailed;
    }
  }

  // The game's chance: a generator of its own, seeded as the engine's is (the
  // engine writes the seed into a recording), so a recording plays the same game.
  int seed = seedTheRun(engine, options);
  // Over the network the host's seed and seats are the game's.
  std::unique_ptr<NetPlay> net;
  if (options.hostPort != 0 || !options.joinHost.empty()) {
    std::string why;
    // A host without --players plays a game for two.
    const int seats = options.players == 0 ? 2 : rules.rules.seatsAtStart;
    net = NetPlay::open(options, gameFolderChecksum(rules.rules.packFile), seed, seats, why);
    if (!net) {
      engine->System_Log("cannot start: %s", why.c_str());
      std::fprintf(stderr, "tervalen: cannot start: %s\n", why.c_str());
      engine->Release();
      return kExitCannotStart;
    }
    if (net->seed() != seed) {
      seed = net->seed();
      engine->Random_SetSeed(seed);
      engine->System_Log("Random seed %d (the host's)", seed);
    }
    rules.rules.seatsAtStart = net->seats();
  }
  Random chance;
  chance.seed(static_cast<uint32_t>(seed));
  RandomInt random = [&chance](int lo, int hi) { return chance.range(lo, hi); };
  if (trace)
    trace->writeHeader(TraceHeader{seed, rules.rules.firstScene, rules.rules.playerInvincible, options.autoplay,
                                   options.replay, rules.fromFile ? kRulesFile : "", options.arguments});
  // State files: the one to start from is read, and the one to write made, before the game
  // starts, so a file that cannot be used stops the run at once.
  const bool stateFiles = !options.saveState.empty() || !options.loadState.empty();
  const uint64_t folder = stateFiles ? gameFolderChecksum(rules.rules.packFile) : 0;
  std::unique_ptr<StateLoader> loader;
  if (!options.loadState.empty()) {
    Expected<StateFile> file = readStateFile(options.loadState, folder);
    if (!file) {
      const std::string why = file.error().message();
      engine->System_Log("cannot start: %s", why.c_str());
      std::fprintf(stderr, "tervalen: cannot start: %s\n", why.c_str());
      engine->Release();
      return kExitCannotStart;
    }
    loader = std::make_unique<StateLoader>(std::move(*file), options.loadState, chance);
  }
  if (!options.saveState.empty()) {
    std::string why;
    if (!writeCheckedFile(options.saveState, {}, why)) {
      reportOutputFailure("Cannot write the state to " + why);
      engine->Release();
      return kExitOutputFailed;
    }
  }
  auto flow = std::make_unique<ScreenFlow>(engine, rules.rules, random, trace.get());
  // The modder's keys (F1-F6) and --watch; they never change a step of the world.
  auto modder = std::make_unique<ModderKeys>(engine, *flow, WorldReload(engine, random, options.invincible),
                                             options.watch, options.overlay);
  flow->setModderLayer([&modder] { modder->draw(); });

  // Watches of every step: a state file to start from, the rewind ring of a
  // window that records nothing, the sync test, a state file to write.
  if (loader) flow->addWatch(loader.get());
  std::unique_ptr<Rewind> rewind;
  if (!options.headless && options.record.empty() && options.replay.empty() && !net) {
    rewind = std::make_unique<Rewind>(chance);
    flow->addWatch(rewind.get());
    modder->setRewind(rewind.get());
  }
  std::unique_ptr<SyncTest> sync;
  if (options.syncTest > 0) {
    sync = std::make_unique<SyncTest>(options.syncTest, chance, options.syncTestFolder);
    flow->addWatch(sync.get());
  }
  std::unique_ptr<StateSaver> saver;
  if (!options.saveState.empty()) {
    saver = std::make_unique<StateSaver>(options.saveStateFrame, options.saveState, folder, chance, reportOutputFailure);
    flow->addWatch(saver.get());
  }

  engine->System_SetState(HGE_SCREENWIDTH, 800);
  engine->System_SetState(HGE_SCREENHEIGHT, 480);
  // The player's settings (window, volumes, keys) and the pause menu that changes them.
  auto settings = std::make_unique<PlayerSettings>(
      engine, settingsFilePath(), PlayerSettings::RunOptions{options.fullscreen, options.mute});
  auto menu = std::make_unique<PauseMenu>(engine, flow->clock(), *settings);
  flow->setMenuLayer([&menu] { menu->draw(); });
  engine->System_SetState(HGE_FRAMEFUNC, [&flow, &menu] { return flow->frame() || menu->quitChosen(); });
  engine->System_SetState(HGE_RENDERFUNC, [&flow] { return flow->render(); });
  engine->System_SetState(HGE_CLOCKFUNC, [&flow, &menu, &settings, &modder] {
    settings->everyFrame();
    menu->update(flow->state() == ScreenFlow::PLAYING);
    modder->beforeClock();
    return flow->runsThisFrame();
  });
  // Recordings and replays compare the world every 100 frames: new recordings
  // sum its whole saved state; a replay sums what its own file's checks do.
  const bool stateChecks = options.replay.empty() || options.replayStateChecks;
  engine->System_SetState(HGE_STATECHECKS, stateChecks ? 1 : 0);
  std::vector<uint8_t> checkedState;
  engine->System_SetState(HGE_CHECKSUMFUNC, [&flow, &chance, &checkedState, stateChecks]() -> uint64_t {
    if (!stateChecks || !flow->world()) return worldChecksum(flow->world(), chance.state());
    flow->world()->saveState(chance.state(), checkedState);
    return stateChecksum(checkedState);
  });
  // The demo player presses keys through the engine's input layer, like a person.
  // With --players, every seat of the first frame (or those of --autoplay-seats).
  std::vector<std::unique_ptr<Autoplay>> bots;
  const AutoplayStyle style = options.autoplayStyle == "masher" ? AutoplayStyle::Masher : AutoplayStyle::Full;
  if (options.autoplay || net) {
    std::vector<int> seats = options.autoplaySeats;
    if (seats.empty() && net)
      seats.push_back(net->localSeat());
    else if (seats.empty())
      for (int s = 1; s <= rules.rules.seatsAtStart; ++s) seats.push_back(s);
    if (options.autoplay)
      for (int s : seats) bots.push_back(std::make_unique<Autoplay>(engine, style, s));
    engine->System_SetState(HGE_INPUTFUNC, [&bots, &flow] {
      for (auto& bot : bots) bot->think(flow->world(), flow->state());
      return false;
    });
  }
  engine->System_SetState(HGE_TITLE, "Tervalen");
  engine->System_SetState(HGE_USESOUND, true);
  settings->applyToEngine();
  engine->System_SetState(HGE_SHOWSPLASH, false);
  applyRunOptions(engine, options);
  if (!options.record.empty()) engine->System_SetState(HGE_RECORDFILE, options.record.c_str());
  engine->System_SetState(HGE_PLAYERS, rules.rules.seatsAtStart);

  // Over the network a session steps the world. A person at the joining
  // machine plays its seat with the keys of seat 1; a seat whose player left
  // goes to the built-in player.
  if (net) {
    engine->System_SetState(HGE_MAXFRAMES, 0);
    const bool personPlays = !options.autoplay;
    flow->setStepper([&net, &chance, &bots, engine, style, personPlays, &options](
                         World& world, const SeatInputs& input, std::vector<SoundRequest>& sounds) {
      SeatInputs keys = input;
      if (personPlays) keys[net->localSeat()] = input[1];
      const bool goOn = net->frame(world, chance, keys, options.frames, sounds);
      for (int seat : net->takeSeatsTakenOver()) bots.push_back(std::make_unique<Autoplay>(engine, style, seat));
      return goOn;
    });
  }

  int code = kExitPlayed;
  if (engine->System_Initiate()) {
    useGbkLocale(engine);
    flow->loadScreens();
    menu->loadFont();
    engine->System_Start();
    // --frames counts the frames of the loop; the result counts the frames
    // played (a paused game plays none), as a replay of the run does.
    const bool limitReached =
        options.frames > 0 && (net ? net->framesPlayed() : engine->System_GetFrame()) >= options.frames;
    const bool loopEnded = flow->quitByPlayer() || !limitReached;
    if (flow->startFailed()) code = kExitCannotStart;
    if (loader && !loader->error().empty()) {
      std::fprintf(stderr, "tervalen: cannot start: %s\n", loader->error().c_str());
      engine->System_Log("cannot start: %s", loader->error().c_str());
      code = kExitCannotStart;
    }
    if (sync && !sync->failure().empty()) {
      std::fprintf(stderr, "%s\n", sync->failure().c_str());
      engine->System_Log("%s", sync->failure().c_str());
      code = kExitReplayDiverged;
    } else if (sync) {
      engine->System_Log("sync test: %d steps checked %d steps back, all the same", sync->framesChecked(),
                         options.syncTest);
    }
    if (net && !net->failure().empty()) {
      std::fprintf(stderr, "tervalen: %s\n", net->failure().c_str());
      engine->System_Log("%s", net->failure().c_str());
      code = kExitReplayDiverged;
    }
    if (net && options.stats) std::fprintf(stderr, "%s\n", net->statsText().c_str());
    std::printf("%s\n", resultLine(flow->world(), loopEnded, net ? net->framesPlayed() : engine->System_GetStep()).c_str());
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
      reportOutputFailure(std::string("Cannot write the result to standard output: ") + std::strerror(errno));
  } else {
    std::fprintf(stderr, "tervalen: cannot start: %s\n", engine->System_GetErrorMessage().c_str());
    // The recording could not be created: an output failure like the others.
    code = engine->System_GetState(HGE_OUTPUTFAILURES) > 0 ? kExitOutputFailed : kExitCannotStart;
  }
  // The world and the screens go before the engine they draw with; the
  // recording is closed (and checked) with the engine's run.
  settings->saveNow();
  menu.reset();
  modder.reset();
  flow.reset();
  engine->System_Shutdown();
  if (trace) trace->close();
  const bool diverged = engine->System_GetState(HGE_DIVERGEDFRAME) > 0;
  outputFailed = outputFailed || engine->System_GetState(HGE_OUTPUTFAILURES) > 0;
  engine->Release();

  if (code != kExitPlayed) return code;
  if (diverged) return kExitReplayDiverged;
  if (outputFailed) return kExitOutputFailed;
  return kExitPlayed;
}
