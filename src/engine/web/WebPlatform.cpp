// The frame loop in a browser: the page calls tick() once per picture it
// shows, and the engine runs the steps that came due (WebPacer). The program's
// end runs from the last callback, through the engine's HGE_ENDFUNC.
#include <emscripten.h>

#include <cstdio>
#include <memory>
#include <string>

#include "engine/Engine.h"
#include "engine/Platform.h"
#include "engine/web/WebPacer.h"

namespace {

// Every few seconds of frames the page copies what the game wrote (settings,
// high scores) to the browser's storage.
constexpr int kStepsBetweenSaves = 300;

struct WebLoop {
  Engine& engine;
  WebPacer pacer;
  int stepsSinceSave = 0;
};

void endLoop(WebLoop* loop) {
  emscripten_cancel_main_loop();
  loop->engine.endLoop(loop->pacer.summary());
  // The end callback shuts the engine down: hold it here, not in the engine.
  hgeEndCallback end = loop->engine.takeEndFunc();
  std::unique_ptr<WebLoop>{loop}.reset();  // handed to the page in runFrameLoop
  const int code = end ? end() : 0;
  EM_ASM({ if (Module.tervalenSave) Module.tervalenSave(); });
  emscripten_force_exit(code);
}

void tick(void* arg) {
  auto* loop = static_cast<WebLoop*>(arg);
  const int due = loop->pacer.stepsDue(emscripten_get_now());
  for (int i = 0; i < due; ++i) {
    if (!loop->engine.runFrame([i, due] { return i + 1 < due; })) {
      endLoop(loop);
      return;
    }
    if (!loop->pacer.started()) {
      loop->pacer.start(emscripten_get_now());
      EM_ASM({ if (Module.tervalenFirstPicture) Module.tervalenFirstPicture(); });
    }
  }
  loop->stepsSinceSave += due;
  if (loop->stepsSinceSave >= kStepsBetweenSaves) {
    loop->stepsSinceSave = 0;
    EM_ASM({ if (Module.tervalenSave) Module.tervalenSave(); });
  }
}

}  // namespace

bool runFrameLoop(Engine& engine) {
  engine.beginLoop();
  auto loop = std::make_unique<WebLoop>(WebLoop{engine, WebPacer(engine.fps())});
  // Does not return: the rest of the program runs in the page's callbacks, and
  // what the caller has on its stack stays where it is until the end.
  emscripten_set_main_loop_arg(tick, loop.release(), 0, 1);
  return true;
}

// Threads need shared memory, which a page gets only with special headers.
bool backgroundThreadsAllowed() { return false; }

bool graphicsDevicesVisible() { return false; }

bool showPlatformMessage(const std::string& text, const std::string& caption) {
  // The page gathers the error stream and shows it over the canvas.
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  return true;
}
