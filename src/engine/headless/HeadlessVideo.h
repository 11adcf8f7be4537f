// No window: quads are counted, and drawn in software only on the frames
// whose picture is asked for.
#pragma once

#include "engine/SdlPtrs.h"
#include "engine/VideoBackend.h"

class HeadlessVideo : public VideoBackend {
 public:
  bool open(const VideoSettings& settings, std::string& error) override;
  bool pumpEvents(Keyboard& keyboard) override;
  SDL_Renderer* renderer() override { return renderer_.get(); }
  SDL_Surface* softwareCanvas() override { return canvas_.get(); }
  bool beginScene(bool wantPicture) override;
  bool endScene(std::vector<uint8_t>* png, std::string& error) override;
  bool paced() const override { return false; }
  bool messageBox(const std::string& text, const std::string& caption) override;

 private:
  // The renderer goes before the surface it draws into.
  SurfacePtr canvas_;
  RendererPtr renderer_;
  bool drawing_ = false;
};
