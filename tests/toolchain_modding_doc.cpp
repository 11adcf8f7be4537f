// docs/modding.md works: its `# file:` and `# add to:` blocks, put into a copy
// of the default game and its sources and compiled with the data tool, pass
// `check` without a problem, and the game starts in the new scene.
#include <gtest/gtest.h>
#include <sys/wait.h>

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
  std::string path;  // relative to the source tree ("content/chara/guai03.txt", "build/game/data/rules.txt")
  std::string text;
};

// The fenced blocks of the page that start with "# file: PATH" or "# add to: PATH".
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
        for (size_t i = 1; i < lines.size(); ++i) b.text += lines[i] + "\n";
        if (!b.path.empty()) blocks.push_back(b);
      }
      inside = !inside;
      lines.clear();
      continue;
    }
    if (inside) lines.push_back(line);
  }
  return blocks;
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
  ASSERT_EQ(blocks.size(), 5u) << "the page's blocks: res.txt, guai03, rules.txt, the street's door, the alley";

  ScratchDir dir;
  fs::create_directories(dir.path() / "build");
  fs::copy(game, dir.path() / "build" / "game", fs::copy_options::recursive);
  fs::copy(fs::path(TERVALEN_SOURCE_DIR) / "content", dir.path() / "content", fs::copy_options::recursive);
  for (const DocBlock& b : blocks) {
    ASSERT_EQ(b.path.find(".."), std::string::npos) << b.path;
    const fs::path target = dir.path() / b.path;
    if (b.append) {
      ASSERT_TRUE(fs::exists(target)) << b.path << ": the page adds to a file that is not there";
    }
    fs::create_directories(target.parent_path());
    std::ofstream(target, b.append ? std::ios::app : std::ios::trunc) << b.text;
  }
  // The pictures and the sound of set 20, as loose files in the game folder.
  const std::string png = picturefiles::blackPng(40, 100);
  for (const char* name : {"idle0", "idle1", "walk0", "walk1", "walk2", "walk3", "punch0", "punch1", "punch2", "kick0",
                           "kick1", "kick2", "hurt", "flying", "lying", "falling"}) {
    fs::create_directories(dir.path() / "build/game/pak/guai03/hta");
    std::ofstream(dir.path() / "build/game/pak/guai03/hta" / (std::string(name) + ".png"), std::ios::binary) << png;
  }
  fs::create_directories(dir.path() / "build/game/pak/guai03/hte");
  writeFile((dir.path() / "build/game/pak/guai03/hte/swing.wav").string(), "RIFF");

  const std::string tool = TERVALEN_BINARY_DIR "/tervalen-data";
  const std::string at = "cd '" + dir.path().string() + "' && ";
  const std::string out = dir.file("out.txt");
  for (const char* source : {"res", "chara/guai03", "scene/Test", "scene/alley"}) {
    const std::string s = source;
    const std::string data = s == "res" ? "res.dat" : s + ".dat";
    EXPECT_EQ(run(at + tool + " compile content/" + s + ".txt -o build/game/data/" + data, out), 0) << readFile(out);
  }
  EXPECT_EQ(run(at + tool + " check build/game --sources content", out), 0) << readFile(out);
  EXPECT_EQ(readFile(out).rfind("ok: 13 characters, 9 scenes, 22 picture sets", 0), 0u) << readFile(out);

  EXPECT_EQ(run(at + TERVALEN_BINARY_DIR "/tervalen --root build/game --headless --scene alley --invincible "
                     "--autoplay --seed 2 --frames 600 --trace trace.jsonl",
                out),
            0)
      << readFile(out);
  const std::string trace = readFile(dir.file("trace.jsonl"));
  EXPECT_NE(trace.find("\"startScene\":\"alley\",\"invincible\":true"), std::string::npos);
  EXPECT_NE(trace.find("{\"id\":\"guai03\""), std::string::npos) << "the new enemy is in the scene";
}

}  // namespace
