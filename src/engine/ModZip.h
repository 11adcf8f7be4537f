// A mod that is a zip file: its entries are listed and judged once (no "..",
// no absolute path, no link, no two names in different cases, bounded in
// number and size, a bomb refused by the sizes it declares) and read from the
// archive; nothing is ever unpacked to disk.
#pragma once

#include <memory>
#include <string>

#include "base/ModFiles.h"
#include "engine/PackReader.h"

class ModZip final : public ModFiles {
 public:
  // nullptr with `error` when the file is not a zip that can be a mod.
  static std::unique_ptr<ModZip> open(const std::string& path, std::string& error);
  Expected<std::vector<uint8_t>> read(const std::string& relative, uint64_t limit) const override;

 private:
  ModZip(std::string path, std::unique_ptr<PackReader> pack) : ModFiles(std::move(path)), pack_(std::move(pack)) {}
  std::unique_ptr<PackReader> pack_;
};
