// Where the engine's pictures go: a window, or nowhere but screenshots.
// One backend is chosen at System_Initiate and kept for the run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct SDL_Renderer;
struct SDL_Surface;
class Keyboard;

struct VideoSettings {
  std::string title;          // UTF-8
  SDL_Surface* icon = nullptr;  // the decoded window icon, for the time of open() (null: none)
  int width = 800, height = 480;  // the picture's size
  int windowWidth = 0, windowHeight = 0;  // the window's, when windowed (0: the picture's)
  bool hideMouse = false;
  bool fullscreen = false;  // start fullscreen (not windowed)
  std::function<void(const std::string&)> log;  // for what the backend could not do and goes on without
};

class VideoBackend {
 public:
  virtual ~VideoBackend() = default;
  // Opens the output; false with the reason in `error`.
  virtual bool open(const VideoSettings& settings, std::string& error) = 0;
  // Reads the system's events into the keyboard. False when the player closed the window.
  virtual bool pumpEvents(Keyboard& keyboard) = 0;
  // The renderer every drawn quad goes to.
  virtual SDL_Renderer* renderer() = 0;
  // Starts a frame's drawing. False when this frame's quads are only counted
  // (`wantPicture` asks for the picture, for a screenshot).
  virtual bool beginScene(bool wantPicture) = 0;
  // Ends the frame's drawing (shows it); when `png` is given, encodes the
  // frame's picture into it as a PNG file first.
  virtual bool endScene(std::vector<uint8_t>* png, std::string& error) = 0;
  // The surface a software renderer draws on, where pictures may be blitted
  // onto it directly; nullptr for other renderers.
  virtual SDL_Surface* softwareCanvas() { return nullptr; }
  // Whether the frame loop waits for the frame rate.
  virtual bool paced() const = 0;
  // A message for the player. Returns false when it could not be shown.
  virtual bool messageBox(const std::string& text, const std::string& caption) = 0;

  // What happened to the window and the pads in the last pumpEvents (hgeInputEvent bits).
  virtual int inputEvents() const { return 0; }
  // The pads plugged in now.
  virtual std::vector<std::string> padNames() const { return {}; }
  virtual std::vector<int> padSlots() const { return {}; }
  virtual void setFullscreen(bool) {}
  virtual bool fullscreen() const { return false; }
  // The window's size while windowed: now, or before it went fullscreen.
  virtual void windowedSize(int& width, int& height) const {
    width = 0;
    height = 0;
  }
};
