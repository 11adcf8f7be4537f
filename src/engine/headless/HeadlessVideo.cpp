#include "engine/headless/HeadlessVideo.h"

#include <cstdio>

#include "engine/PngBytes.h"

bool HeadlessVideo::open(const VideoSettings& settings, std::string& error) {
  // An RGB target: with an alpha channel, blending would leave alpha below 255 in the PNG.
  canvas_.reset(SDL_CreateRGBSurfaceWithFormat(0, settings.width, settings.height, 32, SDL_PIXELFORMAT_RGB888));
  if (!canvas_) {
    error = std::string("cannot make the picture: ") + SDL_GetError();
    return false;
  }
  renderer_.reset(SDL_CreateSoftwareRenderer(canvas_.get()));
  if (!renderer_) {
    error = std::string("cannot make the software renderer: ") + SDL_GetError();
    return false;
  }
  return true;
}

bool HeadlessVideo::pumpEvents(Keyboard&) { return true; }

bool HeadlessVideo::beginScene(bool wantPicture) {
  drawing_ = wantPicture;
  if (drawing_) {
    SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
    SDL_RenderClear(renderer_.get());
  }
  return drawing_;
}

bool HeadlessVideo::endScene(std::vector<uint8_t>* png, std::string& error) {
  bool ok = true;
  if (drawing_ && png) {
    SDL_RenderFlush(renderer_.get());
    ok = encodePng(canvas_.get(), *png, error);
  }
  drawing_ = false;
  return ok;
}

bool HeadlessVideo::messageBox(const std::string& text, const std::string& caption) {
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  return true;
}
