#include "engine/Platform.h"

#include <memory>
#include <string>

#include "engine/Engine.h"
#include "engine/FramePacer.h"

bool runFrameLoop(Engine& engine) {
  std::unique_ptr<FramePacer> pacer;
  if (engine.paced()) pacer = std::make_unique<FramePacer>(engine.fps());
  const int firstFrame = engine.System_GetFrame() + 1;
  engine.beginLoop();
  while (engine.runFrame([&pacer] { return pacer && pacer->behind(); })) {
    if (!pacer) continue;
    // The first frame starts the renderer and takes long; count from its end.
    if (engine.System_GetFrame() == firstFrame)
      pacer->start();
    else
      pacer->wait();
  }
  std::string pacing;
  if (pacer && pacer->resyncs() > 0) pacing = ", " + std::to_string(pacer->resyncs()) + " resynchronisations";
  engine.endLoop(pacing);
  return true;
}

bool backgroundThreadsAllowed() { return true; }
bool graphicsDevicesVisible() { return true; }

bool showPlatformMessage(const std::string&, const std::string&) { return false; }
