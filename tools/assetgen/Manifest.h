// Where the generated files go, and the list of every picture set with the
// meaning of each picture: written out as the resource list and as a guide for
// the authors of character and scene files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Canvas.h"

namespace assetgen {

struct ManifestItem {
  std::string file;     // name inside the set's "hta/" or "hte/" folder
  std::string meaning;  // one line for the guide
};

struct PictureSet {
  std::string name;
  std::string about;
  std::vector<ManifestItem> pictures;
  std::vector<ManifestItem> sounds;
};

class Manifest {
 public:
  explicit Manifest(std::string root);

  const std::string& root() const { return root_; }
  // A path under the output folder; its folders are created.
  std::string path(const std::string& relative) const;

  // The set of that name, created at the end of the list on first use.
  PictureSet& set(const std::string& name, const std::string& about = "");
  // Saves the picture as pak/<set>/hta/<file> and returns its index in the set.
  int addPicture(const std::string& set, const std::string& file, const std::string& meaning, const Canvas& picture);
  // Saves the bytes as pak/<set>/hte/<file> and returns its index in the set.
  int addSound(const std::string& set, const std::string& file, const std::string& meaning,
               const std::vector<uint8_t>& bytes);
  int pictureIndex(const std::string& set, const std::string& file) const;
  int setIndex(const std::string& set) const;

  // The resource list as text: one `set NAME` block per picture set, in order.
  std::string resourceListText() const;
  // A Markdown table of every set, picture and sound with its index.
  std::string pictureGuideText() const;

  const std::vector<PictureSet>& sets() const { return sets_; }

 private:
  std::string root_;
  std::vector<PictureSet> sets_;
};

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void writeText(const std::string& path, const std::string& text);

}  // namespace assetgen
