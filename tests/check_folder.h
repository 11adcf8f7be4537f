// A small, complete game folder for the `check` tests, made from text sources,
// and helpers to look for one finding in a report.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <iterator>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "DataText.h"
#include "GameChecker.h"
#include "OutputFile.h"

namespace check_folder {

namespace fs = std::filesystem;

// A frame-by-frame action body: `n` frames of picture `pic`.
inline std::string frames(int n, int pic = 0) {
  std::string s = "  body x=0 y=-50 w=30 h=100 d=20\n";
  for (int i = 0; i < n; ++i) s += "  frame " + std::to_string(pic) + " ticks=2\n";
  return s;
}

inline std::string action(int n, const std::string& body) { return "action " + std::to_string(n) + " {\n" + body + "}\n"; }

// A small complete game as text sources (path of the binary file -> source).
inline std::map<std::string, std::string> soundGame() {
  std::map<std::string, std::string> g;
  g["data/res.dat"] =
      "resources\n"
      "set 0 \"ui\" {\n  picture \"bg.png\"\n  sound \"bg.mp3\"\n}\n"
      "set 1 \"fx\" {\n  picture \"spark.png\"\n  picture \"door.png\"\n  sound \"hit.wav\"\n}\n"
      "set 2 \"hero\" {\n  picture \"0.png\"\n  picture \"1.png\"\n  sound \"swing.wav\"\n}\n"
      "set 3 \"stage\" {\n  picture \"bg.png\"\n  picture \"far.png\"\n}\n";
  g["data/system.dat"] = "system\nstring \"Tervalen\"\n";

  std::string sys = "chara \"system\"\nhp 1\npicture-set 1\nreactions\n";
  sys += action(3, "  tint 255 255 255 255\n  frame 0 ticks=3\n  sound from=own number=0\n");
  sys += action(8, "  frame 0 ticks=10\n");
  sys += action(17, "  frame 1 ticks=50\n  goto action=17 pc=0\n");
  g["data/chara/system.dat"] = sys;

  std::string hero = "chara \"hero\"\nhp 100\npicture-set 2\nreactions 8 9 10\n";
  for (int n : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 14, 15, 16, 18, 19, 20, 21, 22, 32, 33}) hero += action(n, frames(2, 1));
  for (int n : {13, 17, 31})
    hero += action(n, frames(10) + "  attack x=30 y=-50 w=30 h=20 d=20 damage=5\n"
                                   "  hit ground=0 air=1 push-x=-2 push-y=0 freeze=5 self-freeze=5 from=system spark=3\n" +
                          frames(10) + "  sound from=own number=0\n  sound from=system number=0\n");
  hero += action(12, "  spawn from=system action=3 pc=0 dx=10 dy=-40\n  frame 0 ticks=5\n");
  g["data/chara/c_morivane.dat"] = hero;

  std::string enemy = "chara \"guai01\"\nhp 30\npicture-set 2\nreactions 6 6 7\n";
  enemy += action(0, frames(2) + "  goto action=0 pc=0\n");
  enemy += action(1, frames(2) + "  goto action=1 pc=0\n");
  enemy += action(4, "  move ay=0.5 keep-vx=1\n  jump on=land action=0 pc=0\n  frame 0 ticks=0\n");
  enemy += action(5, frames(3));
  enemy += action(6, frames(3));
  enemy += action(7, "  jump on=land action=5 pc=0\n  frame 0 ticks=0\n");
  enemy += action(13, "  attack x=30 y=-50 w=30 h=20 d=20 damage=5\n"
                      "  hit ground=0 air=1 push-x=-2 push-y=0 freeze=5 self-freeze=5 from=own spark=14\n" + frames(3));
  enemy += action(14, "  frame 0 ticks=4\n");
  enemy += "ai dx=0..60 dz=0..10 chance=50 action=13\n";
  g["data/chara/guai01.dat"] = enemy;

  g["data/chara/crate.dat"] = "chara \"crate\"\nhp 1\npicture-set 3\nreactions\n" + action(0, "  frame 1 ticks=0\n");

  g["data/scene/Test.dat"] =
      "scene \"Test\"\nsize width=1600 depth=200\npicture-set 3\nprop-chara \"crate\"\nbackground 0\n"
      "far x=0 y=0 picture=1\nprop x=300 z=100 action=0\nenemy \"guai01\" x=600 z=100\n"
      "wall x=800 z=20 width=100 depth=40 height=50\ndoor \"zd\" x=1550 z=100 entry-x=100 entry-z=100\n";
  g["data/scene/zd.dat"] =
      "scene \"zd\"\nsize width=900 depth=200\npicture-set 3\nprop-chara \"\"\nbackground 0\n"
      "enemy \"guai01\" x=600 z=100\n";
  return g;
}

inline const char* const kDiskFiles[] = {"pak/ui/hta/bg.png",    "pak/ui/hta/base.png", "pak/ui/hta/hp.png",
                                  "pak/ui/hta/sp.png",    "pak/ui/hta/cp.png",   "pak/ui/hta/m_hp.png",
                                  "pak/ui/hta/m_hp_base.png", "pak/ui/hte/bg.mp3", "pak/fx/hta/spark.png",
                                  "pak/fx/hta/door.png",  "pak/fx/hte/hit.wav",  "pak/hero/hta/0.png",
                                  "pak/hero/hta/1.png",   "pak/hero/hte/swing.wav", "pak/stage/hta/bg.png",
                                  "pak/stage/hta/far.png", "font1.fnt"};

struct GameFolder {
  fs::path root;
  explicit GameFolder(const std::map<std::string, std::string>& sources, bool loosePictures = true) {
    root = fs::temp_directory_path() / ("tervalen-check-" + std::to_string(::getpid()) + "-" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    for (const auto& [path, source] : sources) {
      std::vector<uint8_t> bytes;
      TextError error;
      EXPECT_TRUE(compileDataText(source, std::nullopt, bytes, error))
          << path << ":" << error.pos.line << ":" << error.pos.column << ": " << error.message;
      fs::create_directories((root / path).parent_path());
      std::string writeError;
      EXPECT_TRUE(writeWholeFile((root / path).string(), bytes, writeError)) << writeError;
    }
    if (loosePictures)
      for (const char* f : kDiskFiles) touch(f);
  }
  ~GameFolder() { fs::remove_all(root); }
  void touch(const std::string& relative) {
    fs::create_directories((root / relative).parent_path());
    std::ofstream(root / relative) << "x";
  }
  // Puts a binary file in place as it is (for files the compiler would refuse).
  void writeBytes(const std::string& relative, const std::vector<uint8_t>& bytes) {
    fs::create_directories((root / relative).parent_path());
    std::ofstream out(root / relative, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::string path(const std::string& relative) const { return (root / relative).string(); }
  CheckReport check() const { return checkGameFolder(root.string()); }
};

inline std::string describe(const CheckReport& r) {
  std::string s;
  for (const CheckProblem& p : r.problems) s += "  " + p.line() + "\n";
  for (const CheckProblem& w : r.warnings) s += "  " + w.warningLine() + "\n";
  return s.empty() ? "  (no problems)\n" : s;
}

// The report holds exactly this problem line ("file: where: message"), once.
inline void expectLine(const CheckReport& r, const std::string& line) {
  int found = 0;
  for (const CheckProblem& p : r.problems) found += p.line() == line;
  EXPECT_EQ(found, 1) << "wanted " << line << "\ngot:\n" << describe(r);
}

// The report holds exactly one problem in `file` at `where` whose message contains `text`.
inline void expectProblem(const CheckReport& r, const std::string& file, const std::string& where, const std::string& text) {
  int found = 0;
  for (const CheckProblem& p : r.problems)
    if (p.file == file && p.where == where && p.message.find(text) != std::string::npos) ++found;
  EXPECT_EQ(found, 1) << "wanted " << file << ": " << where << ": ..." << text << "...\ngot:\n" << describe(r);
}

inline void replace(std::string& s, const std::string& from, const std::string& to) {
  size_t at = s.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  s.replace(at, from.size(), to);
}

// Runs the built data tool; its standard output and standard error.
inline std::string runTool(const std::string& args, int& exitCode) {
  const std::string out = (fs::temp_directory_path() / ("tervalen-check-out-" + std::to_string(::getpid()))).string();
  const int status = std::system((TERVALEN_BINARY_DIR "/tervalen-data " + args + " >'" + out + "' 2>&1").c_str());
  exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream in(out);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  fs::remove(out);
  return text;
}

}  // namespace check_folder
