// `check`'s look at the pictures, sounds and fixed files the game loads: from
// pak.zip or, when the pack lacks them, from disk. Nothing is read that the
// game would refuse: a pack or a file on disk must be a regular file, and a
// pack entry far beyond any picture or sound is reported, not inflated.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "engine/PackReader.h"
#include "base/DataLayers.h"
#include "format/ResourceCatalog.h"

// No picture, sound or music file comes anywhere near this; a file or pack
// entry beyond it is a mistake (or a trap: the game would inflate it).
constexpr uint64_t kMaxMediaBytes = 64ull << 20;

class GameFiles {
 public:
  using Report = std::function<void(const std::string& file, const std::string& where, const std::string& message)>;

  GameFiles(std::string gameDir, Report problem);

  // Opens pak.zip, when there is one, and reads every entry with the game's
  // password; returns the number of entries.
  size_t readPack();
  // The pack's password (the game's own unless data/rules.txt names another).
  void setPackPassword(std::string password) { password_ = std::move(password); }
  // The title picture, the display pictures, the music and the font.
  void checkFixedFiles();
  // The mods over the game folder: a picture or sound in one of them is there.
  void setLayers(const DataLayers* layers) { layers_ = layers; }
  // Every picture and sound of the resource list.
  void checkCatalogFiles(const ResourceCatalog& catalog);

 private:
  // Why the game cannot load the file it asks for as `gbkPath`, or "".
  std::string problemFor(const std::string& gbkPath) const;

  std::string dir_;
  Report problem_;
  std::unique_ptr<PackReader> pack_;
  std::string password_;
  const DataLayers* layers_ = nullptr;
};
