#include "GameFiles.h"

#include <sys/stat.h>
#include <zip.h>

#include <filesystem>
#include <map>
#include <vector>

#include "PackWriter.h"
#include "base/TextCodec.h"

namespace fs = std::filesystem;

namespace {

// Pictures and music the game loads by fixed path.
const char* const kFixedFiles[] = {"pak/ui/hta/bg.png", "pak/ui/hta/base.png", "pak/ui/hta/hp.png",
                                   "pak/ui/hta/sp.png", "pak/ui/hta/cp.png", "pak/ui/hta/m_hp.png",
                                   "pak/ui/hta/m_hp_base.png", "pak/ui/hte/bg.mp3"};

struct DiskFile {
  enum State { Missing, Regular, NotRegular } state = Missing;
  uint64_t size = 0;  // for a regular file
};

// The file at `path` as the game's open would find it (links followed).
DiskFile diskFile(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  if (!S_ISREG(st.st_mode)) return {DiskFile::NotRegular, 0};
  return {DiskFile::Regular, static_cast<uint64_t>(st.st_size)};
}

// "64 MiB" for whole MiB, else "12345 bytes".
std::string byteCount(uint64_t bytes) {
  if (bytes != 0 && bytes % (1ull << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

std::string tooLarge(uint64_t size) {
  return byteCount(size) + ", far beyond any picture or sound (at most " + byteCount(kMaxMediaBytes) + ")";
}

// The uncompressed size of every file entry of the zip archive at `path`, by
// its name as the game looks it up (packKey), from the archive's directory.
bool packEntrySizes(const std::string& path, std::map<std::string, uint64_t>& sizes, std::string& error) {
  sizes.clear();
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (!archive) {
    zip_error_t z;
    zip_error_init_with_code(&z, code);
    error = path + ": " + zip_error_strerror(&z);
    zip_error_fini(&z);
    return false;
  }
  const zip_int64_t count = zip_get_num_entries(archive, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &st) != 0) continue;
    if (!(st.valid & ZIP_STAT_NAME) || !(st.valid & ZIP_STAT_SIZE)) continue;
    const std::string key = packKey(st.name);
    if (key.empty() || key.back() == '/') continue;  // folders
    sizes.emplace(key, st.size);
  }
  zip_discard(archive);
  return true;
}

}  // namespace

GameFiles::GameFiles(std::string gameDir, Report problem) : dir_(std::move(gameDir)), problem_(std::move(problem)) {}

size_t GameFiles::readPack() {
  const std::string pack = (fs::path(dir_) / "pak.zip").string();
  const DiskFile file = diskFile(pack);
  if (file.state == DiskFile::Missing) {
    std::error_code ec;
    if (!fs::is_directory(fs::path(dir_) / "pak", ec))
      problem_("pak.zip", "-", "there is no pak.zip and no pak/ folder: the game has no pictures or sounds");
    return 0;
  }
  if (file.state == DiskFile::NotRegular) {
    problem_("pak.zip", "-", "not a regular file: the game cannot open it as its pack");
    return 0;
  }
  std::string error;
  pack_ = PackReader::open(pack, password_.empty() ? kGamePackPassword : password_.c_str(), error);
  std::map<std::string, uint64_t> sizes;
  if (!pack_ || !packEntrySizes(pack, sizes, error)) {
    pack_.reset();
    problem_("pak.zip", "-", "the game cannot open the pack: " + error);
    return 0;
  }
  // The game reads every entry with its password: make sure that works.
  std::vector<uint8_t> bytes;
  for (size_t i = 0; i < pack_->entryCount(); ++i) {
    auto size = sizes.find(pack_->entryName(i));
    if (size != sizes.end() && size->second > kMaxMediaBytes) {
      problem_("pak.zip", gbkToUtf8(pack_->entryName(i)),
               "holds " + byteCount(size->second) + " uncompressed, far beyond any picture or sound (at most " +
                   byteCount(kMaxMediaBytes) + ")");
      continue;
    }
    if (!pack_->readIndex(i, bytes, error)) {
      problem_("pak.zip", gbkToUtf8(pack_->entryName(i)), "cannot be read with the game's password: " + error);
      break;
    }
  }
  return pack_->entryCount();
}

std::string GameFiles::problemFor(const std::string& gbkPath) const {
  if (layers_)
    for (const DataLayers::Layer& layer : layers_->layers())
      if (!layer.name.empty() && (layer.source->has(gbkToUtf8(gbkPath)) || layer.source->has(gbkPath))) return {};
  if (pack_ && pack_->contains(gbkPath)) return {};  // oversized entries are reported by readPack
  const DiskFile file = diskFile((fs::path(dir_) / gbkToUtf8(gbkPath)).string());
  switch (file.state) {
    case DiskFile::Missing: return "neither in pak.zip nor on disk";
    case DiskFile::NotRegular: return "not in pak.zip, and on disk it is not a regular file";
    case DiskFile::Regular: break;
  }
  if (file.size > kMaxMediaBytes) return "not in pak.zip, and on disk it is " + tooLarge(file.size);
  return {};
}

void GameFiles::checkFixedFiles() {
  for (const char* path : kFixedFiles)
    if (std::string why = problemFor(path); !why.empty()) problem_(path, "-", "the game loads this file, but it is " + why);
  const DiskFile title = diskFile((fs::path(dir_) / "pak/ui/hta/bg.png").string());
  if (title.state != DiskFile::Regular)
    problem_("pak/ui/hta/bg.png", "-",
             std::string("the title picture is shown before the pack is opened: it must be on disk too") +
                 (title.state == DiskFile::NotRegular ? ", as a regular file" : ""));
  const DiskFile font = diskFile((fs::path(dir_) / "font1.fnt").string());
  if (font.state == DiskFile::Missing)
    problem_("font1.fnt", "-", "the font of the score and the ending screen is missing");
  else if (font.state == DiskFile::NotRegular)
    problem_("font1.fnt", "-", "the font of the score and the ending screen is not a regular file");
}

void GameFiles::checkCatalogFiles(const ResourceCatalog& catalog) {
  for (size_t i = 0; i < catalog.entries.size(); ++i) {
    const ResourceEntry& e = catalog.entries[i];
    const std::string set = "set " + std::to_string(i) + " \"" + gbkToUtf8(e.name) + "\"";
    auto check = [&](const char* folder, const char* what, size_t k, const std::string& name) {
      const std::string path = "pak/" + e.name + folder + name;
      if (std::string why = problemFor(path); !why.empty())
        problem_("data/res.dat", set + " " + what + " " + std::to_string(k), gbkToUtf8(path) + " is " + why);
    };
    for (size_t k = 0; k < e.pictures.size(); ++k) check("/hta/", "picture", k, e.pictures[k]);
    for (size_t k = 0; k < e.sounds.size(); ++k) check("/hte/", "sound", k, e.sounds[k]);
  }
}
