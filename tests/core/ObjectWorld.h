// A small world for tests of objects and of the world around them: a
// temporary game folder with character files and a bare World that logs to
// "log.txt" there. No engine: the world needs none. (RenderedWorld adds the
// engine, the pictures on disk and a renderer for the tests that draw.)
//
//   ObjectWorld w;
//   w.addPictureSet("fx", {{100, 80}, {20, 10}});          // set 0
//   w.writeChara("spark", chara(1, 0, {act({frame(0, 3)})}));
//   Obj* o = w.scene().createObj("spark", 0, 0, 0, 0, 10, 0, 20);
//   w.tick(o);
#pragma once

#include "log_text.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <stdexcept>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/DataPath.h"
#include "base/Random.h"
#include "format/CharaData.h"
#include "format/ResourceCatalog.h"
#include "object/Chara.h"
#include "object/Obj.h"
#include "world/World.h"

namespace objtest {

// Script building blocks.
inline Instruction op(int32_t opcode, std::initializer_list<double> args = {}) {
  return Instruction{opcode, std::vector<double>(args)};
}
// Opcode 0: picture `picture` for `duration` ticks, offsets (dx, dy).
inline Instruction frame(double picture, double duration, double dx = 0, double dy = 0) {
  return op(0, {picture, duration, dx, dy});
}
inline Action act(std::initializer_list<Instruction> codes, std::string name = "a") {
  return Action{std::move(name), std::vector<Instruction>(codes)};
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
    const std::string logPath = dir_ + "/log.txt";
    logSink_ = [logPath](const std::string& line) { std::ofstream(logPath, std::ios::app) << line << "\n"; };
  }
  virtual ~ObjectWorld() {
    scene_.reset();
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    std::filesystem::remove_all(dir_, ec);
  }
  ObjectWorld(const ObjectWorld&) = delete;
  ObjectWorld& operator=(const ObjectWorld&) = delete;

  const std::string& dir() const { return dir_; }

  // Adds a picture set whose pictures have the given sizes (picture i is
  // "p<i>.png") and returns its number. Call before scene(): the world copies
  // the catalog when it is made.
  int32_t addPictureSet(const std::string& name, std::initializer_list<Size> sizes) {
    ResourceEntry entry;
    entry.name = name;
    int i = 0;
    for (Size s : sizes) {
      const std::string file = "p" + std::to_string(i) + ".png";
      if (pictureWriter_) pictureWriter_("pak/" + name + "/hta/" + file, s.w, s.h, 0xFF000000u | (0x102030u * (i + 1)));
      entry.pictures.push_back(file);
      ++i;
    }
    catalog_.entries.push_back(std::move(entry));
    const int32_t number = static_cast<int32_t>(catalog_.entries.size() - 1);
    sizes_[number] = std::vector<Size>(sizes);
    return number;
  }

  // Writes "data/chara/<id>.dat" from the record.
  void writeChara(const std::string& id, const CharaData& data) {
    const std::vector<uint8_t> bytes = writeCharaFile(data);
    std::ofstream out(charaFilePath(id), std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }

  // The world's chance from now on (call before scene()); by default a
  // generator of the fixture's own.
  void setRandom(RandomInt random) { randomOverride_ = std::move(random); }
  // The rules the world plays by (call before scene()); by default the game's own.
  void setRules(GameRules rules) { rules_ = std::move(rules); }

  // The bare world, made on first use from the picture sets added so far. It
  // logs to log.txt and draws its chance from a generator of its own.
  World& scene() {
    if (!scene_) {
      WorldServices services;
      services.log = logSink_;
      services.random = randomOverride_ ? randomOverride_ : [this](int lo, int hi) { return random_.range(lo, hi); };
      scene_ = std::make_unique<World>(std::move(services), World::Bare{}, catalog_, rules_);
    }
    return *scene_;
  }

  // One tick of an object as the world's object pass gives it.
  static void tick(Obj* o, int times = 1) {
    for (int i = 0; i < times; ++i) {
      o->move();
      o->step();
    }
  }

  // The log so far.
  std::string log() const { return readLogFile(dir_); }
  // How many times `text` occurs in the log.
  size_t logCount(const std::string& text) const { return countOccurrences(log(), text); }

  // The width of the picture the object shows (0 when its set has no such picture).
  int shownWidth(const Obj* o) const {
    auto set = sizes_.find(o->data->pictureSet);
    if (set == sizes_.end() || o->picture < 0 || static_cast<size_t>(o->picture) >= set->second.size()) return 0;
    return set->second[static_cast<size_t>(o->picture)].w;
  }

  // The world goes (before whatever a derived fixture made it with); the next
  // scene() makes a fresh one in the same folder.
  void resetScene() { scene_.reset(); }

 protected:
  // Writes the picture files of added sets (the rendered world does).
  std::function<void(const std::string& path, int w, int h, uint32_t argb)> pictureWriter_;
  // Where the world's log lines go (log.txt).
  std::function<void(const std::string&)> logSink_;

 private:
  std::string dir_;
  std::filesystem::path previous_;
  ResourceCatalog catalog_;
  std::map<int32_t, std::vector<Size>> sizes_;
  Random random_{20240611};
  RandomInt randomOverride_;
  GameRules rules_;
  std::unique_ptr<World> scene_;
};

}  // namespace objtest
