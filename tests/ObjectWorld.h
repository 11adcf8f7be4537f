// A small world for tests of objects and of the world around them: a
// temporary game folder (character files, picture sets as PNG files on disk),
// a headless engine that logs to "log.txt" there, and a bare Scene.
//
//   ObjectWorld w;
//   w.addPictureSet("fx", {{100, 80}, {20, 10}});          // set 0
//   w.writeChara("spark", chara(1, 0, {act({frame(0, 3)})}));
//   Obj* o = w.scene().createObj("spark", 0, 0, 0, 0, 10, 0, 20);
//   w.tick(o);
#pragma once

#include "log_text.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_image.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/DataPath.h"
#include "engine/hge.h"
#include "format/CharaData.h"
#include "object/Chara.h"
#include "object/Obj.h"
#include "format/ResourceCatalog.h"
#include "resource/TextureList.h"
#include "world/Scene.h"

namespace objtest {

// Script building blocks.
inline t_code op(int32_t opcode, std::initializer_list<double> args = {}) {
  return t_code{opcode, std::vector<double>(args)};
}
// Opcode 0: picture `picture` for `duration` ticks, offsets (dx, dy).
inline t_code frame(double picture, double duration, double dx = 0, double dy = 0) {
  return op(0, {picture, duration, dx, dy});
}
inline Action act(std::initializer_list<t_code> codes, std::string name = "a") {
  return Action{std::move(name), std::vector<t_code>(codes)};
}
inline CharaData chara(int32_t maxHp, int32_t pictureSet, std::vector<Action> actions,
                       std::vector<int32_t> reactions = {}) {
  CharaData d;
  d.name = "test";
  d.maxHp = maxHp;
  d.pictureSet = pictureSet;
  d.actions = std::move(actions);
  d.reactions = std::move(reactions);
  return d;
}

struct Size {
  int w, h;
};

class ObjectWorld {
 public:
  ObjectWorld() {
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/tervalen-objtest-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (!made) throw std::runtime_error("mkdtemp failed");
    dir_ = made;
    previous_ = fs::current_path();
    fs::current_path(dir_);
    fs::create_directories("data/chara");
    engine_ = hgeCreate(HGE_VERSION);
    engine_->System_SetState(HGE_HEADLESS, true);
    engine_->System_SetState(HGE_USESOUND, false);
    engine_->System_SetState(HGE_LOGFILE, "log.txt");
    engine_->System_Initiate();
  }
  ~ObjectWorld() {
    scene_.reset();
    engine_->System_Shutdown();
    engine_->Release();
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  ObjectWorld(const ObjectWorld&) = delete;
  ObjectWorld& operator=(const ObjectWorld&) = delete;

  HGE* engine() { return engine_; }
  const std::string& dir() const { return dir_; }

  // Adds a picture set of plain PNG pictures with the given sizes (picture i
  // is "p<i>.png", filled with a colour of its own) and returns its number.
  // Call before scene(): the scene copies the catalog when it is made.
  int32_t addPictureSet(const std::string& name, std::initializer_list<Size> sizes) {
    ResourceEntry entry;
    entry.name = name;
    std::filesystem::create_directories("pak/" + name + "/hta");
    int i = 0;
    for (Size s : sizes) {
      const std::string file = "p" + std::to_string(i) + ".png";
      writePng("pak/" + name + "/hta/" + file, s.w, s.h, 0xFF000000u | (0x102030u * (i + 1)));
      entry.pictures.push_back(file);
      ++i;
    }
    catalog_.entries.push_back(std::move(entry));
    return static_cast<int32_t>(catalog_.entries.size() - 1);
  }

  // Writes "data/chara/<id>.dat" from the record.
  void writeChara(const std::string& id, const CharaData& data) {
    const std::vector<uint8_t> bytes = writeCharaFile(data);
    std::ofstream out(charaFilePath(id), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  // The bare world, made on first use from the picture sets added so far.
  Scene& scene() {
    if (!scene_) scene_ = std::make_unique<Scene>(engine_, Scene::Bare{}, catalog_);
    return *scene_;
  }

  // One tick of an object as the world's object pass gives it.
  static void tick(Obj* o, int times = 1) {
    for (int i = 0; i < times; ++i) {
      o->move();
      o->step();
    }
  }

  // The engine log so far.
  std::string log() const { return readLogFile(dir_); }
  // How many times `text` occurs in the log.
  size_t logCount(const std::string& text) const { return countOccurrences(log(), text); }

  // The texture handle of picture `index` of the object's picture set.
  static HTEXTURE picture(const Obj* o, uint32_t index) {
    return o->data->textureList ? o->data->textureList->texture(index) : 0;
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
  std::string dir_;
  std::filesystem::path previous_;
  HGE* engine_ = nullptr;
  ResourceCatalog catalog_;
  std::unique_ptr<Scene> scene_;
};

}  // namespace objtest
