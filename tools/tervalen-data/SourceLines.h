// `check --sources DIR`: the line of the text source that made the part of a
// data file a finding names, so that a modder's editor can go straight there
// ("content/chara/guai01.txt:121"). The sources are the text forms the data
// tool compiles: DIR/chara/ID.txt, DIR/scene/ID.txt, DIR/res.txt, DIR/system.txt,
// one statement a line.
#pragma once

#include <map>
#include <string>
#include <vector>

class SourceLines {
 public:
  explicit SourceLines(std::string sourcesDir) : dir_(std::move(sourcesDir)) {}

  // "SOURCE:LINE" for the finding at `where` in the data file `file`
  // (relative to the game folder); a place not found in the source, or the
  // whole file ("-"), is the line that opens it ("scene ...", "chara ...").
  // "" when there is no such source.
  std::string place(const std::string& file, const std::string& where);

 private:
  // The source's lines, read once (empty when it cannot be read).
  const std::vector<std::string>* lines(const std::string& path);

  std::string dir_;
  std::map<std::string, std::vector<std::string>> read_;
  std::map<std::string, bool> missing_;
};
