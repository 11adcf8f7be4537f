#include "app/App.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/Autoplay.h"
#include "app/CharacterViewer.h"
#include "app/EngineSetup.h"
#include "app/ModderKeys.h"
#include "app/Mods.h"
#include "app/NetPlay.h"
#include "app/ChatTyping.h"
#include "app/NetPlayView.h"
#include "app/PauseMenu.h"
#include "app/PlayRules.h"
#include "app/PlayerSettings.h"
#include "app/Rewind.h"
#include "app/ScoresFile.h"
#include "app/ScreenFlow.h"
#include "app/SeatControls.h"
#include "app/SettingsFile.h"
#include "app/StateFile.h"
#include "app/SyncTest.h"
#include "app/TitleMenu.h"
#include "base/CheckedFile.h"
#include "base/GameFolderLayer.h"
#include "base/GameVersion.h"
#include "base/Random.h"
#include "engine/hge.h"
#include "world/RulesFile.h"
#include "world/Trace.h"
#include "world/WorldChecksum.h"
#include "world/WorldDescription.h"

namespace {

// Data strings are GBK. Use a GBK locale when the system has one; without it
// the engine converts text where it meets the system, so the game goes on.
void useGbkLocale(HGE *engine) {
  for (const char *name : {"zh_CN.GBK", "zh_CN.gbk", "zh_CN.GB18030", "zh_CN.gb18030"}) {
    if (std::setlocale(LC_ALL, name)) {
      std::setlocale(LC_NUMERIC, "C");
      return;
    }
  }
  engine->System_Log(
      "No GBK locale on this system; text is converted where it "
      "meets the system");
}

// The seed of the run: --seed, else the replay's, else a fresh one from the
// engine. Said in the log, so any run can be played again.
int seedTheRun(HGE *engine, const Options &options) {
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

// --list-mods: each installed mod with its words, or why it cannot be used.
int listInstalledMods() {
  const std::vector<InstalledMod> mods = installedMods();
  if (mods.empty()) std::printf("no mods installed in %s\n", installedModsFolder().string().c_str());
  for (const InstalledMod &m : mods) {
    if (!m.mod) {
      std::printf("%s: cannot be used: %s\n", m.entry.c_str(), m.error.c_str());
      continue;
    }
    const ModInfo &info = m.mod->use.info;
    std::string made = info.gameVersion == kGameVersion
                           ? ""
                           : " (made for game " + info.gameVersion + ", this is " + kGameVersion + ")";
    std::printf("%s: %s%s\n", info.name.c_str(), info.description.c_str(), made.c_str());
  }
  std::printf(
      "tervalen-data check GAMEDIR --list-mods also checks each over "
      "the game\n");
  return std::fflush(stdout) == 0 && !std::ferror(stdout) ? kExitPlayed : kExitOutputFailed;
}

}  // namespace

int runGame(const Options &options, const std::string &logFile) {
  if (options.listMods) return listInstalledMods();
  // The mods over the game folder; a game without them reads its folder as it
  // always did.
  DataLayers layers(std::make_unique<GameFolderLayer>(""));
  std::vector<ModUse> mods;
  std::string modError;
  if (!layMods(layers, options.mods, mods, modError)) {
    std::fprintf(stderr, "tervalen: cannot start: %s\n", modError.c_str());
    return kExitCannotStart;
  }
  // A replay plays the same game only over the same files: say at once what
  // differs.
  if (!options.replay.empty())
    if (std::string differs = modsDifference(options.replayMods, mods); !differs.empty()) {
      std::fprintf(stderr, "tervalen: cannot play %s: %s\n", options.replay.c_str(), differs.c_str());
      return kExitCannotStart;
    }
  const DataLayers *files = layers.modded() ? &layers : nullptr;
  if (!options.view.empty()) return runViewer(options, logFile, files);
  HGE *engine = hgeCreate(HGE_VERSION);
  engine->System_SetState(HGE_LOGFILE, logFile.c_str());
  engine->System_Log("游戏开始");
  for (const ModUse &m : mods)
    engine->System_Log("mod %s (%s, hash %s)", m.info.name.c_str(), m.where.c_str(), m.hash.c_str());
  if (files) engine->Resource_SetLookup(modFileLookup(*files));

  // data/rules.txt over the game's own rules, then --scene and --invincible.
  RunRules rules;
  std::string rulesError;
  if (!rulesForRun(options, rules, rulesError, files)) {
    engine->System_Log("cannot start: %s", rulesError.c_str());
    std::fprintf(stderr, "tervalen: cannot start: %s\n", rulesError.c_str());
    engine->Release();
    return kExitCannotStart;
  }

  // The player's settings (window, volumes, keys, difficulty) and, further on,
  // the pause menu that changes them. A game a person plays from the start
  // plays the settings' difficulty unless --difficulty says another; the
  // built-in player, replays and headless runs play --difficulty or normal.
  auto settings = std::make_unique<PlayerSettings>(engine, settingsFilePath(),
                                                   PlayerSettings::RunOptions{options.fullscreen, options.mute});
  if (!options.difficulty && !startsPlayUnattended(options)) rules.rules.difficulty = settings->settings().difficulty;

  // Files the run writes: a failure is said once, the game plays on, and the
  // exit status says it at the end.
  bool outputFailed = false;
  auto reportOutputFailure = [engine, &outputFailed](const std::string &message) {
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
  // engine writes the seed into a recording), so a recording plays the same
  // game.
  int seed = seedTheRun(engine, options);
  // Over the network the host's seed and seats are the game's.
  std::unique_ptr<NetPlay> net;
  if (options.hostPort != 0 || !options.joinHost.empty()) {
    std::string why;
    // A host without --players has room for four and starts when its
    // player says; one nobody watches plays a game for two.
    const int seats = options.players > 0 ? rules.rules.seatsAtStart : (options.headless ? 2 : kMaxSeats);
    net = NetPlay::open(options, gameFolderChecksum(rules.rules.packFile), seed, seats, rules.rules, why);
    if (!net) {
      engine->System_Log("cannot start: %s", why.c_str());
      std::fprintf(stderr, "tervalen: cannot start: %s\n", why.c_str());
      engine->Release();
      return kExitCannotStart;
    }
  }
  Random chance;
  chance.seed(static_cast<uint32_t>(seed));
  RandomInt random = [&chance](int lo, int hi) { return chance.range(lo, hi); };
  // (Over the network the header waits for the host's seed.)
  if (trace && !net)
    trace->writeHeader(TraceHeader{seed, rules.rules.firstScene, rules.rules.playerInvincible, options.autoplay,
                                   options.replay, rules.fromFile ? kRulesFile : "", options.arguments});
  // State files: the one to start from is read, and the one to write made,
  // before the game starts, so a file that cannot be used stops the run at
  // once.
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
  auto flow = std::make_unique<ScreenFlow>(engine, rules.rules, random, trace.get(), files);
  flow->setScreenShake(settings->settings().screenShake);
  // The modder's keys (F1-F6) and --watch; they never change a step of the
  // world.
  auto modder = std::make_unique<ModderKeys>(engine, *flow, WorldReload(engine, random, options.invincible, files),
                                             options.watch, options.overlay);
  std::vector<std::string> modFolders;
  for (const DataLayers::Layer &layer : layers.layers()) {
    std::error_code ec;
    if (!layer.name.empty() && std::filesystem::is_directory(layer.source->where(), ec))
      modFolders.push_back(layer.source->where());
  }
  modder->watchModFolders(std::move(modFolders));
  // Over the network, the lobby and the sign of a game that waits for
  // another machine.
  std::unique_ptr<NetPlayView> netView;
  std::unique_ptr<ChatTyping> chatTyping;  // a window's chat line
  if (net) netView = std::make_unique<NetPlayView>(engine, *net);
  if (net && !options.headless) {
    chatTyping = std::make_unique<ChatTyping>(engine);
    netView->setTyping(chatTyping.get());
  }
  flow->setModderLayer([&modder, &netView] {
    modder->draw();
    if (netView) netView->draw();
  });

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
    saver =
        std::make_unique<StateSaver>(options.saveStateFrame, options.saveState, folder, chance, reportOutputFailure);
    flow->addWatch(saver.get());
  }

  engine->System_SetState(HGE_SCREENWIDTH, 800);
  engine->System_SetState(HGE_SCREENHEIGHT, 480);
  auto menu = std::make_unique<PauseMenu>(engine, flow->clock(), *settings);
  // Who plays which seat from the keyboard's sets of keys and the pads.
  auto seatControls = std::make_unique<SeatControls>(engine, *settings);
  settings->setKeysListener([&seatControls] { seatControls->rebind(); });
  seatControls->setReplaying(!options.replay.empty());
  menu->setSeats(seatControls.get());
  menu->setStopsTheGame(!net);
  flow->setMenuLayer([&menu] { menu->draw(); });
  // The title menu for a game a person starts (--menu shows it for any run),
  // and the built-in player of its demo.
  std::unique_ptr<TitleMenu> title;
  std::unique_ptr<Autoplay> demoBot;
  if (options.menu || !startsPlayDirectly(options)) {
    if (options.difficulty) settings->setDifficulty(*options.difficulty);
    title = std::make_unique<TitleMenu>(engine, *settings, rules.rules.heroChoices(), scoresFilePath());
    title->setOptions([&menu] { menu->openFromTitle(); }, [&menu] { return menu->openFromTitleMenu(); });
    flow->setTitleMenu(title.get());
    demoBot = std::make_unique<Autoplay>(engine, AutoplayStyle::Full, 1);
  }
  engine->System_SetState(HGE_FRAMEFUNC, [&flow, &menu] { return flow->frame() || menu->quitChosen(); });
  engine->System_SetState(HGE_RENDERFUNC, [&flow] { return flow->render(); });
  engine->System_SetState(HGE_CLOCKFUNC, [&flow, &menu, &settings, &modder, &seatControls, &net, &chatTyping] {
    settings->everyFrame();
    const bool playing = flow->state() == ScreenFlow::PLAYING && !flow->inDemo();
    const bool lobby = flow->state() == ScreenFlow::TITLE && flow->titleMenu() &&
                       flow->titleMenu()->page() == TitleMenu::JOIN && !menu->isOpen();
    // Over the network the seats are settled before the game: a key joining
    // here would change only this machine's world.
    seatControls->update(flow->world(), playing && !net && !menu->isOpen() && !flow->clock().playerPaused, lobby);
    // The chat line takes the keyboard while it is open (and in the frame it
    // shuts: its Esc opens no menu).
    if (chatTyping)
      if (const std::optional<std::string> line = chatTyping->update(!menu->isOpen())) net->say(*line);
    menu->update(playing && !(chatTyping && chatTyping->busy()), seatControls->startUsed());
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
  // The demo player presses keys through the engine's input layer, like a
  // person. With --players, every seat of the first frame (or those of
  // --autoplay-seats).
  std::vector<std::unique_ptr<Autoplay>> bots;
  const AutoplayStyle style = options.autoplayStyle == "masher" ? AutoplayStyle::Masher : AutoplayStyle::Full;
  if (options.autoplay || net) {
    std::vector<int> seats = options.autoplaySeats;
    if (seats.empty() && net)
      seats.push_back(net->localSeat());  // the seats are known once the lobby is over
    else if (seats.empty())
      for (int s = 1; s <= rules.rules.seatsAtStart; ++s) seats.push_back(s);
    if (options.autoplay) {
      for (int s : seats) bots.push_back(std::make_unique<Autoplay>(engine, style, s));
      seatControls->setBotSeats(seats);
    }
  }
  // Each step: a seat leaving presses its leave key, then the bots think (and
  // the title's demo player, while its demo plays).
  engine->System_SetState(HGE_INPUTFUNC, [&bots, &flow, &seatControls, &demoBot] {
    seatControls->beforeStep();
    for (auto &bot : bots) bot->think(flow->world(), flow->state());
    if (demoBot && flow->inDemo()) demoBot->think(flow->world(), flow->state());
    return false;
  });
  engine->System_SetState(HGE_TITLE, "Tervalen");
  engine->System_SetState(HGE_USESOUND, true);
  settings->applyToEngine();
  engine->System_SetState(HGE_SHOWSPLASH, false);
  applyRunOptions(engine, options);
  if (!options.record.empty() && !net) engine->System_SetState(HGE_RECORDFILE, options.record.c_str());
  engine->System_SetState(HGE_RECORDMODS, recordedModLines(mods).c_str());
  engine->System_SetState(HGE_PLAYERS, rules.rules.seatsAtStart);
  engine->System_SetState(HGE_RECORDHEADER, recordingHeader(rules.rules).c_str());

  // Over the network a session steps the world. The people at a joining
  // machine play its seats with the keys of seats 1, 2...; a seat whose player left
  // goes to the built-in player.
  if (net) {
    engine->System_SetState(HGE_MAXFRAMES, 0);
    // The lobby, then the game the machines agreed on: the host's seed and
    // rules, its seats, and the recording of the keys they agree on.
    flow->setStartGate([&, engine](GameRules &playRules) {
      const bool startPressed = !(chatTyping && chatTyping->busy()) &&
                                (engine->Input_RawKeyDown(HGEK_ENTER) || engine->Input_RawKeyDown(HGEK_PAD_START) ||
                                 engine->Input_RawKeyDown(HGEK_PAD_A) || readFrameInput(engine, 1).pressed[KEY_J]);
      NetPlay::Lobby lobby = net->lobby(startPressed);
      if (lobby == NetPlay::Lobby::WAITING) return ScreenFlow::Gate::WAIT;
      if (lobby == NetPlay::Lobby::READY && !net->applyAgreedRules(playRules)) lobby = NetPlay::Lobby::FAILED;
      if (lobby == NetPlay::Lobby::FAILED) {
        engine->System_MessageBox(net->failure().c_str(), "Tervalen");
        return ScreenFlow::Gate::STOP;
      }
      if (net->seed() != seed) {
        seed = net->seed();
        engine->Random_SetSeed(seed);
        chance.seed(static_cast<uint32_t>(seed));
        engine->System_Log("Random seed %d (the host's)", seed);
      }
      playRules.seatsAtStart = net->seats();
      playRules.seatsJoinInPlay = false;
      if (trace)
        trace->writeHeader(TraceHeader{seed, playRules.firstScene, playRules.playerInvincible, options.autoplay,
                                       options.replay, rules.fromFile ? kRulesFile : "", options.arguments});
      net->setReplayHeader(netReplayHeader(seed, playRules, mods));
      std::string recordError;
      if (!options.record.empty() && !net->record(options.record, reportOutputFailure, recordError))
        reportOutputFailure("Cannot write the recording to " + recordError + "; the game goes on unrecorded");
      // The built-in player plays this machine's seat.
      if (options.autoplay && options.autoplaySeats.empty()) {
        bots.clear();
        std::vector<int> mine;
        for (int i = 0; i < net->localSeats(); ++i) mine.push_back(net->localSeat() + i);
        for (int s : mine) bots.push_back(std::make_unique<Autoplay>(engine, style, s));
        seatControls->setBotSeats(mine);
      }
      return ScreenFlow::Gate::GO;
    });
    const bool personPlays = !options.autoplay;
    flow->setStepper([&net, &chance, &bots, engine, style, personPlays, &options, &chatTyping, &menu](
                         World &world, const SeatInputs &input, const ScreenFlow::StepSounds &sounds) {
      // This machine's players press the keys of seats 1, 2... (their key
      // sets and pads); they count for the seats the host gave them.
      // While they type a line of chat or have the menu open (the game runs
      // on under it), their seats press nothing.
      SeatInputs keys = input;
      const bool typing = (chatTyping && chatTyping->busy()) || menu->keysKeptFromTheGame();
      if (personPlays)
        for (int i = 0; i < net->localSeats(); ++i) keys[net->localSeat() + i] = typing ? FrameInput{} : input[1 + i];
      const bool goOn = net->frame(world, chance, keys, options.frames, sounds);
      for (int seat : net->takeSeatsTakenOver()) bots.push_back(std::make_unique<Autoplay>(engine, style, seat));
      return goOn;
    });
  }

  // The end of the run, once the frame loop is over: what happened, then the
  // world and the engine go. The desktop calls it when System_Start returns;
  // a browser's engine calls it after the last frame (HGE_ENDFUNC).
  const bool started = engine->System_Initiate();
  auto finish = [&]() -> int {
    int code = kExitPlayed;
    if (started) {
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
      if (net && !net->failure().empty() && flow->startFailed()) {
        std::fprintf(stderr, "tervalen: cannot start: %s\n", net->failure().c_str());
        engine->System_Log("cannot start: %s", net->failure().c_str());
      } else if (net && !net->failure().empty()) {
        std::fprintf(stderr, "tervalen: %s\n", net->failure().c_str());
        engine->System_Log("%s", net->failure().c_str());
        code = kExitReplayDiverged;
      }
      if (net && options.stats) std::fprintf(stderr, "%s\n", net->statsText().c_str());
      std::printf("%s\n",
                  resultLine(flow->world(), loopEnded, net ? net->framesPlayed() : engine->System_GetStep()).c_str());
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
    settings->setKeysListener(nullptr);
    if (net) net->closeRecording();
    netView.reset();
    menu.reset();
    modder.reset();
    flow.reset();
    title.reset();
    engine->System_Shutdown();
    if (trace) trace->close();
    const bool diverged = engine->System_GetState(HGE_DIVERGEDFRAME) > 0;
    outputFailed = outputFailed || engine->System_GetState(HGE_OUTPUTFAILURES) > 0;
    engine->Release();

    if (code != kExitPlayed) return code;
    if (diverged) return kExitReplayDiverged;
    if (outputFailed) return kExitOutputFailed;
    return kExitPlayed;
  };
  if (!started) return finish();
  useGbkLocale(engine);
  flow->loadScreens();
  menu->loadFont();
  if (netView) netView->loadFont();
  if (title) {
    // The heroes' portraits are in the pack.
    engine->Resource_AttachPack(rules.rules.packFile.c_str(), rules.rules.packPassword.c_str());
    title->load();
  }
  engine->System_SetState(HGE_ENDFUNC, finish);
  engine->System_Start();
  return finish();
}
