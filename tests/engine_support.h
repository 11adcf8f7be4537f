// Helpers for the engine's tests: a headless engine reference released at the
// end of the test, scratch folders, and small pictures.
#pragma once

#include <SDL.h>
#include <SDL_image.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/hge.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

// For tests that open a window or an audio device: the system's display and
// sound libraries keep a few allocations for the whole process, which the
// leak checker would report. Allocations made in the scope are not checked.
class SystemLeaksIgnored {
 public:
#if defined(__SANITIZE_ADDRESS__)
  SystemLeaksIgnored() { __lsan_disable(); }
  ~SystemLeaksIgnored() { __lsan_enable(); }
#else
  SystemLeaksIgnored() {}
  ~SystemLeaksIgnored() {}  // not trivial, so a guard variable is not "unused"
#endif
  SystemLeaksIgnored(const SystemLeaksIgnored&) = delete;
  SystemLeaksIgnored& operator=(const SystemLeaksIgnored&) = delete;
};

// One reference to the engine, set up headless; shut down and released at scope end.
class TestEngine {
 public:
  explicit TestEngine(bool headless = true) : hge_(hgeCreate(HGE_VERSION)) {
    hge_->System_SetState(HGE_HEADLESS, headless);
    hge_->System_SetState(HGE_USESOUND, false);
  }
  ~TestEngine() {
    hge_->System_Shutdown();
    hge_->Release();
  }
  TestEngine(const TestEngine&) = delete;
  TestEngine& operator=(const TestEngine&) = delete;
  HGE* operator->() const { return hge_; }
  HGE* get() const { return hge_; }

 private:
  HGE* hge_;
};

// A fresh scratch folder, removed at scope end.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tervalen-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    path_ = made ? made : "";
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string file(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

// Runs in another working directory for the length of a scope.
class InDirectory {
 public:
  explicit InDirectory(const std::filesystem::path& dir) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~InDirectory() { std::filesystem::current_path(old_); }

 private:
  std::filesystem::path old_;
};

// Sets an environment variable for the length of a scope (SDL reads its
// driver choices from the environment).
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      had_ = true;
      old_ = old;
    }
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had_)
      setenv(name_.c_str(), old_.c_str(), 1);
    else
      unsetenv(name_.c_str());
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_, old_;
  bool had_ = false;
};

inline void writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Writes a w x h PNG filled with one opaque colour (0xRRGGBB).
inline bool writeSolidPng(const std::string& path, int w, int h, uint32_t rgb) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  if (!s) return false;
  SDL_FillRect(s, nullptr, 0xFF000000u | rgb);
  bool ok = IMG_SavePNG(s, path.c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

struct Rgb {
  int r, g, b;
};

// The colour of one pixel of a picture file.
inline Rgb pixelAt(SDL_Surface* picture, int x, int y) {
  SDL_Surface* argb = SDL_ConvertSurfaceFormat(picture, SDL_PIXELFORMAT_ARGB8888, 0);
  uint32_t p = static_cast<uint32_t*>(argb->pixels)[y * (argb->pitch / 4) + x];
  SDL_FreeSurface(argb);
  return Rgb{static_cast<int>((p >> 16) & 255), static_cast<int>((p >> 8) & 255), static_cast<int>(p & 255)};
}
