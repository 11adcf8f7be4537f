#include "engine/sdl/SdlVideo.h"

#include <cstring>
#include <filesystem>
#include <string>

#include "engine/KeyMap.h"
#include "engine/Keyboard.h"
#include "engine/Platform.h"
#include "engine/PngBytes.h"
#include "engine/UserFolders.h"

namespace {

// True when the renderer is OpenGL rasterised in software (llvmpipe, softpipe,
// swrast) and the player has not asked for a renderer by name.
bool openGlRunsOnTheCpu(SDL_Renderer* renderer) {
  if (SDL_GetHint(SDL_HINT_RENDER_DRIVER)) return false;
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0 || std::strncmp(info.name, "opengl", 6) != 0) return false;
  using GetString = const unsigned char* (*)(unsigned int);
  auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  if (!getString) return false;
  const unsigned char* name = getString(0x1F01);  // GL_RENDERER
  if (!name) return false;
  std::string text(reinterpret_cast<const char*>(name));
  return text.find("llvmpipe") != std::string::npos || text.find("softpipe") != std::string::npos ||
         text.find("swrast") != std::string::npos;
}

// A window no larger than the desktop can show (when SDL can say how large that is).
void fitTheDesktop(int& width, int& height) {
  SDL_Rect usable;
  if (SDL_GetNumVideoDisplays() < 1 || SDL_GetDisplayUsableBounds(0, &usable) != 0) return;
  if (usable.w > 0 && width > usable.w) width = usable.w;
  if (usable.h > 0 && height > usable.h) height = usable.h;
}

// True when this machine has no graphics device (no node in /dev/dri, no
// NVIDIA device): OpenGL here can only be drawn by the processor, and there
// is no point starting it to find that out.
bool noGraphicsDevice() {
  std::error_code ec;
  if (std::filesystem::exists("/dev/nvidiactl", ec)) return false;
  std::filesystem::directory_iterator it("/dev/dri", ec);
  if (ec) return true;
  for (const auto& entry : it) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("card", 0) == 0 || name.rfind("renderD", 0) == 0) return false;
  }
  return true;
}

}  // namespace

SdlVideo::~SdlVideo() {
  renderer_.reset();
  window_.reset();
  if (videoStarted_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlVideo::open(const VideoSettings& settings, std::string& error) {
  width_ = settings.width;
  height_ = settings.height;
  windowedWidth_ = width_;
  windowedHeight_ = height_;
  SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    error = std::string("cannot start the video system: ") + SDL_GetError();
    return false;
  }
  videoStarted_ = true;
  int windowWidth = settings.windowWidth > 0 ? settings.windowWidth : width_;
  int windowHeight = settings.windowHeight > 0 ? settings.windowHeight : height_;
  fitTheDesktop(windowWidth, windowHeight);
  windowedWidth_ = windowWidth;
  windowedHeight_ = windowHeight;
  window_.reset(SDL_CreateWindow(settings.title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, windowWidth,
                                 windowHeight,
                                 SDL_WINDOW_RESIZABLE | (settings.fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0)));
  if (!window_) {
    error = std::string("cannot open the window: ") + SDL_GetError();
    return false;
  }
  // OpenGL drawn by the processor (no graphics card, or a virtual display)
  // spreads each frame over threads that fight the game for the cores and
  // make frames late; SDL's own software renderer keeps an even pace there.
  // Without a graphics device that is known before any renderer is made.
  const bool namedDriver = SDL_GetHint(SDL_HINT_RENDER_DRIVER) != nullptr;
  bool software = !namedDriver && graphicsDevicesVisible() && noGraphicsDevice();
  if (!software) {
    renderer_.reset(SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_ACCELERATED));
    software = renderer_ && openGlRunsOnTheCpu(renderer_.get());
    if (software) renderer_.reset();
  }
  if (software) {
    // The software renderer's picture goes straight to the window, not
    // through an OpenGL texture that the processor would draw once more.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    renderer_.reset(SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_SOFTWARE));
  }
  if (!renderer_) renderer_.reset(SDL_CreateRenderer(window_.get(), -1, 0));
  if (!renderer_) {
    error = std::string("cannot make a renderer: ") + SDL_GetError();
    return false;
  }
  SDL_RendererInfo info;
  software_ = SDL_GetRendererInfo(renderer_.get(), &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
  SDL_RenderSetLogicalSize(renderer_.get(), width_, height_);
  if (settings.icon) SDL_SetWindowIcon(window_.get(), settings.icon);
  SDL_ShowCursor(settings.hideMouse ? SDL_DISABLE : SDL_ENABLE);
  SDL_SetRenderDrawColor(renderer_.get(), 0, 0, 0, 255);
  SDL_RenderClear(renderer_.get());
  const std::filesystem::path config = userConfigFolder();
  pads_.open(config.empty() ? std::string() : (config / "gamecontrollerdb.txt").string(),
             settings.log ? settings.log : [](const std::string&) {});
  return true;
}

SDL_Surface* SdlVideo::softwareCanvas() {
  // The software renderer draws on the window's surface (the same one it
  // asks SDL for); other renderers have none to share.
  return software_ && window_ ? SDL_GetWindowSurface(window_.get()) : nullptr;
}

bool SdlVideo::fullscreen() const {
  return window_ && (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
}

void SdlVideo::setFullscreen(bool on) {
  if (window_ && on != fullscreen()) toggleFullscreen();
}

void SdlVideo::windowedSize(int& width, int& height) const {
  width = windowedWidth_;
  height = windowedHeight_;
}

void SdlVideo::toggleFullscreen() {
  SDL_Window* window = window_.get();
  bool full = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
  if (!full) {
    SDL_GetWindowSize(window, &windowedWidth_, &windowedHeight_);
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    return;
  }
  SDL_SetWindowFullscreen(window, 0);
  // Going fullscreen, SDL takes the desktop's size as the window's at once,
  // before the window system has done anything. Where nothing honours the
  // request (X without a window manager) the window never changes, and on the
  // way back SDL keeps the desktop size: the renderer then letterboxes for a
  // window larger than the real one and the picture is drawn shifted and
  // cropped for the rest of the run. Setting the windowed size again makes
  // SDL's idea of the window and the window agree.
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  if (windowedWidth_ > 0 && windowedHeight_ > 0 && (w != windowedWidth_ || h != windowedHeight_))
    SDL_SetWindowSize(window, windowedWidth_, windowedHeight_);
}

bool SdlVideo::pumpEvents(Keyboard& keyboard) {
  bool open = true;
  bool wantToggle = false;
  events_ = 0;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    if (pads_.handle(e, keyboard, events_)) continue;
    switch (e.type) {
      case SDL_QUIT:
        open = false;
        break;
      case SDL_KEYDOWN: {
        if (e.key.repeat) break;
        SDL_Scancode sc = e.key.keysym.scancode;
        if (sc == SDL_SCANCODE_F11 ||
            ((sc == SDL_SCANCODE_RETURN || sc == SDL_SCANCODE_KP_ENTER) && (e.key.keysym.mod & KMOD_ALT)))
          wantToggle = true;
        keyboard.press(virtualKeyFromScancode(sc));
        break;
      }
      case SDL_KEYUP:
        keyboard.release(virtualKeyFromScancode(e.key.keysym.scancode));
        break;
      case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
          keyboard.releaseAll();
          pads_.forgetHeld();
          events_ |= HGEINPUT_FOCUSLOST;
        }
        // The size the player gave the window (fullscreen sizes are the desktop's).
        if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && !fullscreen() && e.window.data1 > 0 &&
            e.window.data2 > 0) {
          windowedWidth_ = e.window.data1;
          windowedHeight_ = e.window.data2;
        }
        break;
      default:
        break;
    }
  }
  if (wantToggle) toggleFullscreen();
  return open;
}

bool SdlVideo::beginScene(bool) { return true; }

bool SdlVideo::endScene(std::vector<uint8_t>* png, std::string& error) {
  bool ok = true;
  if (png) ok = savePicture(*png, error);
  SDL_RenderPresent(renderer_.get());
  return ok;
}

bool SdlVideo::savePicture(std::vector<uint8_t>& png, std::string& error) {
  // The read-back covers the letterboxed picture in window pixels; scale it
  // back to the game's size when the window is not at that size.
  SDL_Rect viewport;
  SDL_RenderGetViewport(renderer_.get(), &viewport);
  float sx = 1, sy = 1;
  SDL_RenderGetScale(renderer_.get(), &sx, &sy);
  int w = static_cast<int>(viewport.w * sx), h = static_cast<int>(viewport.h * sy);
  if (w <= 0 || h <= 0) {
    w = width_;
    h = height_;
  }
  SurfacePtr shot(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888));
  if (!shot || SDL_RenderReadPixels(renderer_.get(), nullptr, SDL_PIXELFORMAT_RGB888, shot->pixels, shot->pitch) != 0) {
    error = std::string("cannot read the picture back: ") + SDL_GetError();
    return false;
  }
  if (w != width_ || h != height_) {
    SurfacePtr scaled(SDL_CreateRGBSurfaceWithFormat(0, width_, height_, 32, SDL_PIXELFORMAT_RGB888));
    if (!scaled || SDL_BlitScaled(shot.get(), nullptr, scaled.get(), nullptr) != 0) {
      error = std::string("cannot scale the picture: ") + SDL_GetError();
      return false;
    }
    shot = std::move(scaled);
  }
  return encodePng(shot.get(), png, error);
}

bool SdlVideo::messageBox(const std::string& text, const std::string& caption) {
  return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), window_.get()) == 0;
}
