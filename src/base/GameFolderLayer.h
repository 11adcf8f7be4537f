// The game folder as the bottom layer: its files are read where they are, by
// the same bounded reader as ever, so a game without mods reads exactly what
// it always read.
#pragma once

#include "base/LayerSource.h"

class GameFolderLayer final : public LayerSource {
 public:
  // `folder`: the game folder ("" or "." for the current folder).
  explicit GameFolderLayer(std::string folder) : folder_(std::move(folder)) {}
  bool has(const std::string& relative) const override;
  Expected<std::vector<uint8_t>> read(const std::string& relative, uint64_t limit) const override;
  std::vector<std::string> list(const std::string& folder) const override;
  std::string where() const override { return folder_.empty() ? "." : folder_; }

 private:
  std::string path(const std::string& relative) const;
  std::string folder_;
};
