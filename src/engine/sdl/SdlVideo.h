// The game window: an accelerated renderer without vsync, the picture scaled
// to the window with its aspect kept, F11 or Alt+Enter for fullscreen; and
// the pads, whose events come with the window's.
#pragma once

#include "engine/SdlPtrs.h"
#include "engine/VideoBackend.h"
#include "engine/sdl/SdlPads.h"

class SdlVideo : public VideoBackend {
 public:
  ~SdlVideo() override;
  bool open(const VideoSettings& settings, std::string& error) override;
  bool pumpEvents(Keyboard& keyboard) override;
  SDL_Renderer* renderer() override { return renderer_.get(); }
  SDL_Surface* softwareCanvas() override;
  bool beginScene(bool wantPicture) override;
  bool endScene(std::vector<uint8_t>* png, std::string& error) override;
  bool paced() const override { return true; }
  bool messageBox(const std::string& text, const std::string& caption) override;
  int inputEvents() const override { return events_; }
  std::vector<std::string> padNames() const override { return pads_.names(); }
  std::vector<int> padSlots() const override { return pads_.slots(); }
  void setFullscreen(bool on) override;
  bool fullscreen() const override;
  void windowedSize(int& width, int& height) const override;

 private:
  void toggleFullscreen();
  bool savePicture(std::vector<uint8_t>& png, std::string& error);

  bool videoStarted_ = false;
  WindowPtr window_;
  RendererPtr renderer_;
  bool software_ = false;  // SDL's software renderer, drawing on the window's surface
  int width_ = 800, height_ = 480;
  int windowedWidth_ = 0, windowedHeight_ = 0;  // the window's size when last windowed
  int events_ = 0;
  SdlPads pads_;  // closed before the window
};
