// State files for bug reports: --save-state FRAME:FILE writes the world as it
// stands after step FRAME, --load-state FILE starts a game from such a file.
// A state file holds its own version and a checksum of the game folder it was
// made in (every data file and the pack), and is refused in any other folder
// or version: a state names character and scene files, it does not hold them.
//
//   "TVSF", file version (4 bytes), folder checksum (8), step (4), then the
//   world's saved state (World::saveState).
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/StepWatch.h"
#include "base/Random.h"
#include "format/LoadError.h"

inline constexpr uint32_t kStateFileVersion = 1;

// A checksum of the game folder in the working directory: every file of
// data/ (by path and bytes, in path order) and the pack.
uint64_t gameFolderChecksum(const std::string& packFile);

struct StateFile {
  uint64_t folder = 0;
  uint32_t step = 0;
  std::vector<uint8_t> world;
};
std::vector<uint8_t> writeStateFile(const StateFile& file);
// Reads a state file's bytes; `folder` is this game folder's checksum.
Expected<StateFile> parseStateFile(std::span<const uint8_t> bytes, const std::string& path, uint64_t folder);
// Reads `path` (a regular file within the bound of the game's files) and parses it.
Expected<StateFile> readStateFile(const std::string& path, uint64_t folder);

// Writes the state after step `step` to `path` (steps count frames of play as
// the trace does: the first frame, in which the world is built, is step 1; the
// world as built is written for step 1); a file that cannot be written
// is said once through `report` and the game plays on.
class StateSaver : public StepWatch {
 public:
  StateSaver(int step, std::string path, uint64_t folder, Random& chance, std::function<void(const std::string&)> report);
  bool worldStarted(World& world) override;
  bool afterStep(World& world, const SeatInputs& input) override;
  bool written() const { return written_; }

 private:
  int step_;
  std::string path_;
  uint64_t folder_;
  Random& chance_;
  std::function<void(const std::string&)> report_;
  int steps_ = 0;
  bool written_ = false;
};

// Puts a state file's world in place of the new world, before its first step.
class StateLoader : public StepWatch {
 public:
  StateLoader(StateFile file, std::string path, Random& chance) : file_(std::move(file)), path_(std::move(path)), chance_(chance) {}
  bool worldStarted(World& world) override;
  bool replacedWorld() const override { return error_.empty(); }
  bool afterStep(World&, const SeatInputs&) override { return true; }
  const std::string& error() const { return error_; }

 private:
  StateFile file_;
  std::string path_;
  Random& chance_;
  std::string error_;
};
