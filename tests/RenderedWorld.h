// The object tests' world with what drawing needs: a headless engine that logs
// to the same "log.txt", the added picture sets written as PNG files, and a
// renderer of the world.
#pragma once

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <stdexcept>

#include "ObjectWorld.h"
#include "engine/hge.h"
#include "render/WorldRenderer.h"

namespace objtest {

class RenderedWorld : public ObjectWorld {
 public:
  RenderedWorld() {
    engine_ = hgeCreate(HGE_VERSION);
    engine_->System_SetState(HGE_HEADLESS, true);
    engine_->System_SetState(HGE_USESOUND, false);
    engine_->System_SetState(HGE_LOGFILE, "log.txt");
    engine_->System_Initiate();
    HGE* engine = engine_;
    logSink_ = [engine](const std::string& line) { engine->System_Log("%s", line.c_str()); };
    pictureWriter_ = [](const std::string& path, int w, int h, uint32_t argb) {
      std::filesystem::create_directories(std::filesystem::path(path).parent_path());
      writePng(path, w, h, argb);
    };
  }
  ~RenderedWorld() override {
    renderer_.reset();
    resetScene();
    engine_->System_Shutdown();
    engine_->Release();
  }

  HGE* engine() { return engine_; }

  // The renderer of the world, made on first use.
  WorldRenderer& renderer() {
    if (!renderer_) renderer_ = std::make_unique<WorldRenderer>(engine_, scene().catalog);
    return *renderer_;
  }
  // Draws the world as the play screen does.
  void render() { renderer().draw(scene()); }

  // The texture handle of picture `index` of the object's picture set.
  HTEXTURE picture(const Obj* o, uint32_t index) {
    return renderer().pictures().set(o->data->pictureSet).texture(index);
  }

  // A PNG of one colour.
  static void writePng(const std::string& path, int w, int h, uint32_t argb) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s) throw std::runtime_error("SDL_CreateRGBSurfaceWithFormat failed");
    SDL_FillRect(s, nullptr, argb);
    const int rc = IMG_SavePNG(s, path.c_str());
    SDL_FreeSurface(s);
    if (rc != 0) throw std::runtime_error("IMG_SavePNG failed for " + path);
  }

 private:
  HGE* engine_ = nullptr;
  std::unique_ptr<WorldRenderer> renderer_;
};

}  // namespace objtest
