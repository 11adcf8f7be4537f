// tervalen --view ID: the character viewer in a window, or headless for
// screenshots (keys then come from --replay).
#include <cstdio>
#include <memory>

#include "app/App.h"
#include "app/CharacterViewer.h"
#include "app/EngineSetup.h"
#include "app/Mods.h"
#include "engine/hge.h"

int runViewer(const Options& options, const std::string& logFile, const DataLayers* files) {
  HGE* engine = hgeCreate(HGE_VERSION);
  engine->System_SetState(HGE_LOGFILE, logFile.c_str());
  engine->System_Log("character viewer: %s", options.view.c_str());
  if (files) engine->Resource_SetLookup(modFileLookup(*files));
  auto viewer = std::make_unique<CharacterViewer>(engine, options.view, options.watch, files);

  engine->System_SetState(HGE_SCREENWIDTH, 800);
  engine->System_SetState(HGE_SCREENHEIGHT, 480);
  engine->System_SetState(HGE_FRAMEFUNC, [&viewer] { return viewer->frame(); });
  engine->System_SetState(HGE_RENDERFUNC, [&viewer] { return viewer->render(); });
  engine->System_SetState(HGE_TITLE, ("Tervalen - " + options.view).c_str());
  engine->System_SetState(HGE_WINDOWED, true);
  engine->System_SetState(HGE_USESOUND, true);
  applyRunOptions(engine, options);

  int code = kExitPlayed;
  if (!engine->System_Initiate()) {
    std::fprintf(stderr, "tervalen: cannot start: %s\n", engine->System_GetErrorMessage().c_str());
    code = engine->System_GetState(HGE_OUTPUTFAILURES) > 0 ? kExitOutputFailed : kExitCannotStart;
  } else {
    std::string error;
    if (!viewer->load(error)) {
      engine->System_Log("cannot show %s: %s", options.view.c_str(), error.c_str());
      std::fprintf(stderr, "tervalen: cannot show %s: %s\n", options.view.c_str(), error.c_str());
      code = kExitCannotStart;
    } else {
      engine->System_Start();
      if (engine->System_GetState(HGE_OUTPUTFAILURES) > 0) code = kExitOutputFailed;
    }
  }
  viewer.reset();
  engine->System_Shutdown();
  if (code == kExitPlayed && engine->System_GetState(HGE_OUTPUTFAILURES) > 0) code = kExitOutputFailed;
  engine->Release();
  return code;
}
