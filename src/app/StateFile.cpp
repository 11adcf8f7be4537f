#include "app/StateFile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "base/CheckedFile.h"
#include "base/FileBytes.h"
#include "world/StateBytes.h"
#include "world/World.h"
#include "world/WorldDescription.h"

namespace {

constexpr uint32_t kFileMagic = 0x46535654;  // "TVSF"

void mix(uint64_t& h, std::span<const uint8_t> bytes) {
  const uint64_t part = stateChecksum(bytes);
  for (int i = 0; i < 8; ++i) {
    h ^= (part >> (8 * i)) & 0xFF;
    h *= 0x100000001b3ULL;
  }
}

}  // namespace

uint64_t gameFolderChecksum(const std::string& packFile) {
  uint64_t h = 0xcbf29ce484222325ULL;
  std::vector<std::string> paths;
  std::error_code ec;
  for (auto it = std::filesystem::recursive_directory_iterator("data", ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    if (it->is_regular_file(ec)) paths.push_back(it->path().generic_string());
  std::sort(paths.begin(), paths.end());
  if (std::filesystem::is_regular_file(packFile, ec)) paths.push_back(packFile);
  for (const std::string& path : paths) {
    mix(h, std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(path.data()), path.size()));
    Expected<std::vector<uint8_t>> bytes = readFileBytes(path);
    if (bytes) mix(h, *bytes);
  }
  return h;
}

std::vector<uint8_t> writeStateFile(const StateFile& file) {
  std::vector<uint8_t> out;
  StateWriter w(out);
  w.u32(kFileMagic);
  w.u32(kStateFileVersion);
  w.u64(file.folder);
  w.u32(file.step);
  out.insert(out.end(), file.world.begin(), file.world.end());
  return out;
}

Expected<StateFile> parseStateFile(std::span<const uint8_t> bytes, const std::string& path, uint64_t folder) {
  StateReader r(bytes);
  StateFile file;
  if (r.u32("the file's mark") != kFileMagic && !r.failed()) r.fail("not a state file of this game (no \"TVSF\" mark)");
  const uint32_t version = r.u32("version");
  if (!r.failed() && version != kStateFileVersion)
    r.fail("a state file of version " + std::to_string(version) + "; this game reads version " +
           std::to_string(kStateFileVersion));
  file.folder = r.u64("the game folder's checksum");
  if (!r.failed() && file.folder != folder)
    r.fail("made with other game data (another game folder or version): the state names files this folder does not "
           "hold as they were");
  file.step = r.u32("step");
  if (r.failed()) return LoadError{path, r.errorOffset(), r.error()};
  file.world.assign(bytes.begin() + static_cast<std::ptrdiff_t>(r.offset()), bytes.end());
  return file;
}

Expected<StateFile> readStateFile(const std::string& path, uint64_t folder) {
  Expected<std::vector<uint8_t>> bytes = readFileBytes(path);
  if (!bytes) return LoadError{path, 0, bytes.error().what};
  return parseStateFile(*bytes, path, folder);
}

StateSaver::StateSaver(int step, std::string path, uint64_t folder, Random& chance,
                       std::function<void(const std::string&)> report)
    : step_(step), path_(std::move(path)), folder_(folder), chance_(chance), report_(std::move(report)) {}

bool StateSaver::worldStarted(World& world) {
  steps_ = 0;
  return afterStep(world, SeatInputs{});
}

bool StateSaver::afterStep(World& world, const SeatInputs&) {
  if (++steps_ != step_) return true;
  StateFile file;
  file.folder = folder_;
  file.step = static_cast<uint32_t>(steps_);
  world.saveState(chance_.state(), file.world);
  std::string why;
  written_ = writeCheckedFile(path_, writeStateFile(file), why);
  if (!written_ && report_) report_("Cannot write the state of frame " + std::to_string(steps_) + " to " + why);
  return true;
}

bool StateLoader::worldStarted(World& world) {
  Expected<uint64_t> random = world.restoreState(file_.world, path_);
  if (!random) {
    error_ = random.error().message();
    return false;
  }
  chance_.setState(*random);
  return true;
}
