#include "Manifest.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace assetgen {

Manifest::Manifest(std::string root) : root_(std::move(root)) {}

std::string Manifest::path(const std::string& relative) const {
  std::filesystem::path p = std::filesystem::path(root_) / relative;
  std::filesystem::create_directories(p.parent_path());
  return p.string();
}

PictureSet& Manifest::set(const std::string& name, const std::string& about) {
  for (PictureSet& s : sets_)
    if (s.name == name) {
      if (s.about.empty()) s.about = about;
      return s;
    }
  sets_.push_back(PictureSet{name, about, {}, {}});
  return sets_.back();
}

namespace {

// The fighters' frames (the heroes c_*, the bosses, the enemies guai*) are most
// of the pack's bytes and are seen small and moving: 256 dithered colours each
// look the same to the eye at a third of the size. The scenes' backgrounds keep
// every colour: their long gradients would band.
PngColours coloursOf(const std::string& setName) {
  for (const char* fighters : {"c_", "boss", "guai"})
    if (setName.rfind(fighters, 0) == 0) return PngColours::Quantised;
  return PngColours::Exact;
}

}  // namespace

int Manifest::addPicture(const std::string& setName, const std::string& file, const std::string& meaning,
                         const Canvas& picture) {
  PictureSet& s = set(setName);
  for (const ManifestItem& item : s.pictures)
    if (item.file == file) throw std::logic_error("picture " + setName + "/" + file + " made twice");
  picture.savePng(path("pack/pak/" + setName + "/hta/" + file), coloursOf(setName));
  s.pictures.push_back({file, meaning});
  return static_cast<int>(s.pictures.size()) - 1;
}

int Manifest::addSound(const std::string& setName, const std::string& file, const std::string& meaning,
                       const std::vector<uint8_t>& bytes) {
  PictureSet& s = set(setName);
  for (const ManifestItem& item : s.sounds)
    if (item.file == file) throw std::logic_error("sound " + setName + "/" + file + " made twice");
  writeBytes(path("pack/pak/" + setName + "/hte/" + file), bytes);
  s.sounds.push_back({file, meaning});
  return static_cast<int>(s.sounds.size()) - 1;
}

int Manifest::pictureIndex(const std::string& setName, const std::string& file) const {
  for (const PictureSet& s : sets_)
    if (s.name == setName)
      for (size_t i = 0; i < s.pictures.size(); ++i)
        if (s.pictures[i].file == file) return static_cast<int>(i);
  throw std::logic_error("no picture " + setName + "/" + file);
}

int Manifest::setIndex(const std::string& setName) const {
  for (size_t i = 0; i < sets_.size(); ++i)
    if (sets_[i].name == setName) return static_cast<int>(i);
  throw std::logic_error("no picture set " + setName);
}

std::string Manifest::resourceListText() const {
  std::ostringstream out;
  out << "# The picture sets of the default game, as tervalen-assetgen writes them (tools/assetgen).\n"
      << "# Character and scene files address a set by its number and a picture or sound by its\n"
      << "# number in the set; content/pictures.md says what each picture shows.\n"
      << "resources\n";
  for (size_t i = 0; i < sets_.size(); ++i) {
    const PictureSet& s = sets_[i];
    out << "\n";
    if (!s.about.empty()) out << "# " << s.about << "\n";
    out << "set " << i << " \"" << s.name << "\" {\n";
    for (size_t j = 0; j < s.pictures.size(); ++j) out << "  picture " << j << " \"" << s.pictures[j].file << "\"\n";
    for (size_t j = 0; j < s.sounds.size(); ++j) out << "  sound " << j << " \"" << s.sounds[j].file << "\"\n";
    out << "}\n";
  }
  return out.str();
}

std::string Manifest::pictureGuideText() const {
  std::ostringstream out;
  out << "# Pictures and sounds of the default game\n\n"
      << "Written by `tervalen-assetgen` (tools/assetgen); the files live in the pack (gen/pack) under\n"
      << "`pak/<set>/hta/` (pictures) and `pak/<set>/hte/` (sounds). Character and scene files\n"
      << "address a set by its number and a picture or sound by its index in the set.\n"
      << "Fighter pictures share one canvas size per character with the feet at the bottom\n"
      << "centre, and face right.\n";
  for (size_t i = 0; i < sets_.size(); ++i) {
    const PictureSet& s = sets_[i];
    out << "\n## Set " << i << ": " << s.name << "\n\n";
    if (!s.about.empty()) out << s.about << "\n\n";
    if (!s.pictures.empty()) {
      out << "| picture | file | meaning |\n|---|---|---|\n";
      for (size_t j = 0; j < s.pictures.size(); ++j)
        out << "| " << j << " | " << s.pictures[j].file << " | " << s.pictures[j].meaning << " |\n";
    }
    if (!s.sounds.empty()) {
      out << (s.pictures.empty() ? "" : "\n") << "| sound | file | meaning |\n|---|---|---|\n";
      for (size_t j = 0; j < s.sounds.size(); ++j)
        out << "| " << j << " | " << s.sounds[j].file << " | " << s.sounds[j].meaning << " |\n";
    }
  }
  return out.str();
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error(path + ": cannot write");
}

void writeText(const std::string& path, const std::string& text) {
  writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

}  // namespace assetgen
