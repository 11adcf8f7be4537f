#include "app/App.h"

#include <clocale>
#include <cstdio>
#include <memory>

#include "app/ScreenFlow.h"
#include "engine/hge.h"
#include "world/Autoplay.h"
#include "world/Trace.h"

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

}  // namespace

int runGame(const Options& options, const std::string& logFile) {
  std::unique_ptr<TraceWriter> trace;
  if (!options.trace.empty()) {
    trace = std::make_unique<TraceWriter>(options.trace);
    if (!trace->ok()) {
      std::fprintf(stderr, "tervalen: %s\n", trace->error().c_str());
      return 2;
    }
  }

  HGE* engine = hgeCreate(HGE_VERSION);
  auto flow = std::make_unique<ScreenFlow>(engine, trace.get());

  engine->System_SetState(HGE_SCREENWIDTH, 800);
  engine->System_SetState(HGE_SCREENHEIGHT, 480);
  engine->System_SetState(HGE_FRAMEFUNC, [&flow] { return flow->frame(); });
  engine->System_SetState(HGE_RENDERFUNC, [&flow] { return flow->render(); });
  // The demo player presses keys through the engine's input layer, like a person.
  std::unique_ptr<Autoplay> bot;
  if (options.autoplay) {
    bot = std::make_unique<Autoplay>(engine);
    engine->System_SetState(HGE_INPUTFUNC, [&bot, &flow] {
      bot->think(flow->world(), flow->state());
      return false;
    });
  }
  engine->System_SetState(HGE_TITLE, "Tervalen");
  engine->System_SetState(HGE_LOGFILE, logFile.c_str());
  engine->System_SetState(HGE_WINDOWED, true);
  engine->System_SetState(HGE_USESOUND, true);
  engine->System_SetState(HGE_FPS, 100);
  engine->System_SetState(HGE_SHOWSPLASH, false);
  engine->System_SetState(HGE_HIDEMOUSE, false);
  engine->System_SetState(HGE_ICON, "icon.ico");
  engine->System_SetState(HGE_HEADLESS, options.headless);
  engine->System_SetState(HGE_SHOWSTATS, options.stats);
  engine->System_SetState(HGE_MAXFRAMES, options.frames);
  if (!options.replay.empty()) engine->System_SetState(HGE_REPLAYFILE, options.replay.c_str());
  if (!options.record.empty()) engine->System_SetState(HGE_RECORDFILE, options.record.c_str());
  for (const auto& [frame, path] : options.screenshots) engine->System_AddScreenshot(frame, path.c_str());
  if (options.seedGiven) engine->Random_Seed(options.seed);

  engine->System_Log("游戏开始");

  int code = 0;
  if (engine->System_Initiate()) {
    useGbkLocale(engine);
    flow->loadScreens();
    engine->System_Start();
    int frames = engine->System_GetFrame();
    bool limitReached = options.frames > 0 && frames >= options.frames;
    bool loopEnded = flow->quitByPlayer() || !limitReached;
    if (flow->startFailed()) code = 1;
    std::printf("%s\n", resultLine(flow->world(), loopEnded, frames).c_str());
    std::fflush(stdout);
  } else {
    std::fprintf(stderr, "tervalen: cannot start: %s\n", engine->System_GetErrorMessage().c_str());
    code = 1;
  }
  // The world and the screens go before the engine they draw with.
  flow.reset();
  engine->System_Shutdown();
  engine->Release();
  return code;
}
