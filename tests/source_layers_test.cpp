// The layers of the source tree, as the code includes them: the formats stand
// on nothing but the standard library, the core (format, base, object, world)
// never reaches the engine, objects never reach the world, and SDL, libzip
// and ENet appear only in the engine. The engine's network transport is the
// one thing of it that knows the network game (its datagram interface).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;

// Which folders of src/ each folder may include from (besides itself).
const std::map<std::string, std::set<std::string>> kMayInclude = {
    {"format", {}},
    {"base", {"format"}},
    {"object", {"base", "format"}},
    {"world", {"base", "format", "object"}},
    {"net", {"base", "format", "object", "world"}},
    {"engine", {"base", "format", "net"}},
    {"gfx", {"engine", "format"}},
    {"render", {"base", "format", "object", "world", "engine", "gfx"}},
    {"app", {"base", "format", "object", "world", "net", "engine", "gfx", "render"}},
};

struct Include {
  std::string file;
  int line;
  std::string target;
};

std::vector<Include> includesOf(const fs::path& file) {
  std::vector<Include> found;
  std::ifstream in(file);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    const size_t at = line.find("#include");
    if (at == std::string::npos || line.find_first_not_of(" \t") != at) continue;
    const size_t open = line.find_first_of("\"<", at);
    const size_t close = open == std::string::npos ? open : line.find_first_of("\">", open + 1);
    if (close == std::string::npos) continue;
    found.push_back({file.string(), number, line.substr(open, close - open + 1)});
  }
  return found;
}

TEST(SourceLayers, EachFolderIncludesOnlyTheLayersBelowIt) {
  const fs::path src = fs::path(TERVALEN_SOURCE_DIR) / "src";
  size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    if (!entry.is_regular_file()) continue;
    const std::string ext = entry.path().extension().string();
    if (ext != ".h" && ext != ".cpp") continue;
    ++files;
    const std::string folder = fs::relative(entry.path(), src).begin()->string();
    ASSERT_TRUE(kMayInclude.count(folder)) << "a folder the layers do not know: src/" << folder;
    for (const Include& inc : includesOf(entry.path())) {
      if (inc.target[0] == '<') {
        const bool platform = inc.target.rfind("<SDL", 0) == 0 || inc.target.rfind("<zip", 0) == 0 ||
                              inc.target.rfind("<enet", 0) == 0;
        EXPECT_TRUE(!platform || folder == "engine") << inc.file << ":" << inc.line << " includes " << inc.target;
        continue;
      }
      const std::string inner = inc.target.substr(1, inc.target.size() - 2);
      const size_t slash = inner.find('/');
      ASSERT_NE(slash, std::string::npos) << inc.file << ":" << inc.line << ": include by folder and name";
      const std::string to = inner.substr(0, slash);
      if (to == folder) continue;
      EXPECT_TRUE(kMayInclude.at(folder).count(to))
          << inc.file << ":" << inc.line << ": src/" << folder << " may not include " << inc.target;
    }
  }
  EXPECT_GT(files, 100u);
}

}  // namespace
