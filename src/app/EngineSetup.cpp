#include "app/EngineSetup.h"

#include "engine/hge.h"

void applyRunOptions(HGE* engine, const Options& options) {
  engine->System_SetState(HGE_FPS, 100);
  engine->System_SetState(HGE_HIDEMOUSE, false);
  engine->System_SetState(HGE_ICON, "icon.ico");
  engine->System_SetState(HGE_HEADLESS, options.headless);
  engine->System_SetState(HGE_SHOWSTATS, options.stats);
  engine->System_SetState(HGE_MAXFRAMES, options.frames);
  // --mute: no sound device is opened at all (the game, the viewer, the sheet).
  if (options.mute) engine->System_SetState(HGE_USESOUND, false);
  if (!options.replay.empty()) engine->System_SetState(HGE_REPLAYFILE, options.replay.c_str());
  for (const auto& [frame, path] : options.screenshots) engine->System_AddScreenshot(frame, path.c_str());
}
