// docs/modding.md works: its `# file:`, `# add to:` and `# run:` blocks, done
// in order beside an untouched copy of the default game and its sources, make a
// mod that passes `check` without a problem; the game starts in the new scene
// with the mod, and the game folder is left as it was.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "engine_support.h"
#include "picture_files.h"

namespace {

namespace fs = std::filesystem;

struct DocBlock {
  bool append = false;
  bool run = false;  // shell commands, run in the source tree with the built tools on the PATH
  std::string path;  // relative to the source tree ("mods/alley/mod.txt", "mods/alley-src/scene/Test.txt")
  std::string text;
};

// The fenced blocks of the page that start with "# file: PATH", "# add to: PATH" or "# run:".
std::vector<DocBlock> docBlocks() {
  std::ifstream in(fs::path(TERVALEN_SOURCE_DIR) / "docs" / "modding.md");
  std::vector<DocBlock> blocks;
  bool inside = false;
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("```", 0) == 0) {
      if (inside && !lines.empty()) {
        DocBlock b;
        const std::string& first = lines[0];
        if (first.rfind("# file: ", 0) == 0) b.path = first.substr(8);
        if (first.rfind("# add to: ", 0) == 0) {
          b.path = first.substr(10);
          b.append = true;
        }
        b.run = first == "# run:";
        for (size_t i = 1; i < lines.size(); ++i) b.text += lines[i] + "\n";
        if (!b.path.empty() || b.run) blocks.push_back(b);
      }
      inside = !inside;
      lines.clear();
      continue;
    }
    if (inside) lines.push_back(line);
  }
  return blocks;
}

// Every file under `folder` with its size, one a line.
std::string folderListing(const fs::path& folder) {
  std::vector<std::string> lines;
  for (const auto& e : fs::recursive_directory_iterator(folder))
    lines.push_back(e.path().lexically_relative(folder).string() + " " +
                    (e.is_regular_file() ? std::to_string(e.file_size()) : "-"));
  std::sort(lines.begin(), lines.end());
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

int run(const std::string& command, const std::string& out) {
  const int status = std::system((command + " >'" + out + "' 2>&1").c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ModdingGuide, ItsExamplesCompilePassCheckAndPlay) {
  const fs::path game = TERVALEN_BINARY_DIR "/game";
  if (!fs::exists(game / "data") || !fs::exists(TERVALEN_BINARY_DIR "/tervalen-data"))
    GTEST_SKIP() << "the game is not built";
  const std::vector<DocBlock> blocks = docBlocks();
  ASSERT_EQ(blocks.size(), 8u) << "the page's blocks: mod.txt, res.txt, guai03, rules.txt, the copy of the street, "
                                  "its door, the alley, compile and check";

  ScratchDir dir;
  fs::create_directories(dir.path() / "build");
  fs::copy(game, dir.path() / "build" / "game", fs::copy_options::recursive);
  fs::copy(fs::path(TERVALEN_SOURCE_DIR) / "content", dir.path() / "content", fs::copy_options::recursive);
  // The pictures and the sound of set 22, drawn by the modder into the mod.
  const std::string png = picturefiles::blackPng(40, 100);
  for (const char* name : {"idle", "walk0", "walk1", "punch0", "punch1", "punch2", "kick0", "kick1", "kick2", "hurt",
                           "flying", "lying", "falling"}) {
    fs::create_directories(dir.path() / "mods/alley/pak/guai03/hta");
    std::ofstream(dir.path() / "mods/alley/pak/guai03/hta" / (std::string(name) + ".png"), std::ios::binary) << png;
  }
  fs::create_directories(dir.path() / "mods/alley/pak/guai03/hte");
  writeFile((dir.path() / "mods/alley/pak/guai03/hte/swing.wav").string(), "RIFF");
  const std::string untouched = folderListing(dir.path() / "build/game/data");

  const std::string at = "cd '" + dir.path().string() + "' && PATH='" TERVALEN_BINARY_DIR "':\"$PATH\" && ";
  const std::string out = dir.file("out.txt");
  for (const DocBlock& b : blocks) {
    if (b.run) {
      writeFile(dir.file("block.sh"), "set -e\n" + b.text);
      ASSERT_EQ(run(at + "sh block.sh", out), 0) << b.text << readFile(out);
      continue;
    }
    ASSERT_EQ(b.path.find(".."), std::string::npos) << b.path;
    ASSERT_EQ(b.path.rfind("mods/", 0), 0u) << b.path << ": the walk-through writes only into its mod";
    const fs::path target = dir.path() / b.path;
    if (b.append) {
      ASSERT_TRUE(fs::exists(target)) << b.path << ": the page adds to a file that is not there";
    }
    fs::create_directories(target.parent_path());
    std::ofstream(target, b.append ? std::ios::app : std::ios::trunc) << b.text;
  }
  EXPECT_EQ(run(at + "tervalen-data check build/game --mod mods/alley --sources mods/alley-src --strict", out), 0)
      << readFile(out);
  EXPECT_EQ(readFile(out).rfind("ok: 14 characters, 9 scenes, 23 picture sets", 0), 0u) << readFile(out);
  EXPECT_EQ(folderListing(dir.path() / "build/game/data"), untouched) << "the mod leaves the game folder as it was";
  // What a modder shares: the few files the mod adds, not a copy of the game.
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(dir.path() / "mods/alley")) files += e.is_regular_file();
  EXPECT_LE(files, 20) << folderListing(dir.path() / "mods/alley");

  EXPECT_EQ(run(at + "tervalen --root build/game --mod mods/alley --headless --scene alley --invincible "
                     "--autoplay --seed 2 --frames 600 --trace trace.jsonl",
                out),
            0)
      << readFile(out);
  const std::string trace = readFile(dir.file("trace.jsonl"));
  EXPECT_NE(trace.find("\"startScene\":\"alley\",\"invincible\":true"), std::string::npos);
  EXPECT_NE(trace.find("{\"id\":\"guai03\""), std::string::npos) << "the new enemy is in the scene";
}

}  // namespace
