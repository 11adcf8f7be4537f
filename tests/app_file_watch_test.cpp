// --watch sees a mod folder's files change, come and go, as it sees the game
// folder's; what lies outside a mod's mod.txt, data/ and pak/ is not its.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/FileWatch.h"
#include "engine_support.h"

namespace fs = std::filesystem;

TEST(FileWatch, SeesTheFilesOfAModFolder) {
  ScratchDir dir;
  const fs::path mod = dir.path() / "alley";
  fs::create_directories(mod / "data/chara");
  fs::create_directories(mod / "pak/guai03/hta");
  std::ofstream(mod / "mod.txt") << "name alley\n";
  std::ofstream(mod / "data/chara/guai03.dat") << "one";
  FileWatch watch;
  watch.addModFolders({mod.string()});
  watch.look();
  EXPECT_TRUE(watch.changes().empty());
  const struct {
    const char *what;
    std::function<void()> change;
    std::string seen;  // "" when nothing of the mod's changed
  } cases[] = {
      {"a data file rewritten", [&] { std::ofstream(mod / "data/chara/guai03.dat") << "longer now"; },
       (mod / "data/chara/guai03.dat").string()},
      {"a picture added", [&] { std::ofstream(mod / "pak/guai03/hta/idle.png") << "png"; },
       (mod / "pak/guai03/hta/idle.png").string()},
      {"mod.txt edited", [&] { std::ofstream(mod / "mod.txt") << "name alley\ndescription a street\n"; },
       (mod / "mod.txt").string()},
      {"a picture removed", [&] { fs::remove(mod / "pak/guai03/hta/idle.png"); },
       (mod / "pak/guai03/hta/idle.png").string()},
      {"a note beside the mod's folders", [&] { std::ofstream(mod / "notes.txt") << "todo"; }, ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.what);
    c.change();
    const std::vector<std::string> changed = watch.changes();
    if (c.seen.empty()) {
      EXPECT_TRUE(changed.empty()) << changed.front();
    } else {
      ASSERT_EQ(changed.size(), 1u);
      EXPECT_EQ(changed[0], c.seen);
    }
  }
}
