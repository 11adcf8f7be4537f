// A throwaway game folder for data tests: a temporary working directory with
// a headless engine logging to "log.txt" there, and helpers to put files in it.
#pragma once

#include "log_text.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/hge.h"

namespace testdata {

class DataFolder {
 public:
  DataFolder() {
    char pattern[] = "/tmp/tervalen-datatest-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) throw std::runtime_error("mkdtemp failed");
    dir_ = made;
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    engine_ = hgeCreate(HGE_VERSION);
    engine_->System_SetState(HGE_HEADLESS, true);
    engine_->System_SetState(HGE_USESOUND, false);
    engine_->System_SetState(HGE_LOGFILE, "log.txt");
    engine_->System_Initiate();
  }
  ~DataFolder() {
    engine_->Gfx_SetCaptureHook(nullptr);
    engine_->System_Shutdown();
    engine_->Release();
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  DataFolder(const DataFolder&) = delete;
  DataFolder& operator=(const DataFolder&) = delete;

  HGE* engine() { return engine_; }
  const std::string& dir() const { return dir_; }

  void write(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  }
  void write(const std::string& path, const std::string& text) {
    write(path, std::vector<uint8_t>(text.begin(), text.end()));
  }
  // A plain PNG picture of w by h pixels.
  void writePng(const std::string& path, int w, int h) {
    const std::filesystem::path p(path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s) throw std::runtime_error("SDL_CreateRGBSurfaceWithFormat failed");
    SDL_FillRect(s, nullptr, 0xFFFFFFFFu);
    const int rc = IMG_SavePNG(s, path.c_str());
    SDL_FreeSurface(s);
    if (rc != 0) throw std::runtime_error("IMG_SavePNG failed for " + path);
  }

  std::string log() const { return readLogFile(dir_); }
  size_t logCount(const std::string& text) const { return countOccurrences(log(), text); }

 private:
  std::string dir_;
  std::filesystem::path previous_;
  HGE* engine_ = nullptr;
};

}  // namespace testdata
