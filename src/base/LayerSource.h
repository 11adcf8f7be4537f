// One layer of the game's files: the game folder at the bottom, each mod laid
// over it. Paths are relative and '/'-separated, as the game names its files
// ("data/chara/guai01.dat", "pak/guai03/hta/idle0.png").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "format/LoadError.h"

class LayerSource {
 public:
  virtual ~LayerSource() = default;
  // Whether the layer holds a file at `relative`.
  virtual bool has(const std::string& relative) const = 0;
  // Its bytes, at most `limit`; an error naming the layer's own file otherwise.
  virtual Expected<std::vector<uint8_t>> read(const std::string& relative, uint64_t limit) const = 0;
  // The names of the files directly in `folder` ("data/chara"), sorted.
  virtual std::vector<std::string> list(const std::string& folder) const = 0;
  // Where the layer is, for messages ("/home/me/mods/alley", "alley.zip").
  virtual std::string where() const = 0;
};
