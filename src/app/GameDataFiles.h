// The data files of the game folder (the current folder) as the game reads
// them: the resource list, the system data, the rules, and every character
// and scene file whose name the game can reach by an id. The modder's reload
// reads them all before it changes anything.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct DataFileRef {
  enum Kind { Resources, System, Rules, Chara, Scene };
  Kind kind = Resources;
  std::string path;  // relative to the game folder, UTF-8 ("data/chara/guai01.dat")
  std::string id;    // the character or scene id (GBK), "" for the others
};

// The most character or scene files looked at in each folder: far beyond any game.
constexpr size_t kMaxDataFilesPerFolder = 10000;

// The files that exist, in a fixed order: data/res.dat, data/system.dat,
// data/rules.txt, then data/chara/ and data/scene/ by name.
std::vector<DataFileRef> listDataFiles();

// Why the game could not use the file, as "file: offset N: what" (for the
// rules "data/rules.txt:LINE: what"), or "" when it reads.
std::string dataFileProblem(const DataFileRef& file);
