// Finding the game folder the way a player starts the game: from the build
// tree, from inside a game folder, with --root, or installed under a prefix.
#include <gtest/gtest.h>

#include "app/GameFolder.h"
#include "engine_support.h"

namespace {

namespace fs = std::filesystem;

// A scratch machine: an installation under prefix/ and a build tree in build/.
struct Layout {
  ScratchDir dir;
  fs::path prefix = dir.path() / "prefix";
  std::string installedProgram = (prefix / "bin" / "tervalen").string();
  fs::path installedGame = prefix / "share" / "tervalen";
  std::string buildProgram = (dir.path() / "build" / "tervalen").string();
  fs::path elsewhere = dir.path() / "elsewhere";
  Layout() {
    fs::create_directories(prefix / "bin");
    fs::create_directories(installedGame / "data");
    fs::create_directories(dir.path() / "build" / "game" / "data");
    fs::create_directories(elsewhere);
  }
};

TEST(GameFolderLookup, AnInstalledProgramFindsShareTervalenBesideItsPrefix) {
  Layout at;
  InDirectory in(at.elsewhere);
  std::string error;
  GameFolder found = resolveGameFolder("", at.installedProgram, error);
  ASSERT_FALSE(found.path.empty()) << error;
  EXPECT_TRUE(fs::equivalent(found.path, at.installedGame));
  EXPECT_TRUE(found.installed);

  // The whole prefix moved somewhere else still finds its own folder.
  fs::rename(at.prefix, at.dir.path() / "moved");
  found = resolveGameFolder("", (at.dir.path() / "moved" / "bin" / "tervalen").string(), error);
  ASSERT_FALSE(found.path.empty()) << error;
  EXPECT_TRUE(fs::equivalent(found.path, at.dir.path() / "moved" / "share" / "tervalen"));
  EXPECT_TRUE(found.installed);
}

TEST(GameFolderLookup, TheFirstOfRootCurrentFolderBuildTreeAndInstallationWins) {
  Layout at;
  std::string error;
  {
    // A build tree's program uses its game/ folder.
    InDirectory in(at.elsewhere);
    GameFolder found = resolveGameFolder("", at.buildProgram, error);
    EXPECT_TRUE(fs::equivalent(found.path, at.dir.path() / "build" / "game"));
    EXPECT_FALSE(found.installed);
    // --root beats everything, and names a folder the player chose.
    found = resolveGameFolder(at.elsewhere.string(), at.installedProgram, error);
    EXPECT_EQ(found.path, at.elsewhere.string());
    EXPECT_FALSE(found.installed);
  }
  {
    // Started inside a game folder (one with data/): that one.
    InDirectory in(at.dir.path() / "build" / "game");
    GameFolder found = resolveGameFolder("", at.installedProgram, error);
    EXPECT_EQ(found.path, ".");
    EXPECT_FALSE(found.installed);
  }
  {
    // The installed folder stays the installed one however it is reached.
    InDirectory in(at.installedGame);
    EXPECT_TRUE(resolveGameFolder("", at.installedProgram, error).installed);
    EXPECT_TRUE(resolveGameFolder(at.installedGame.string(), at.installedProgram, error).installed);
  }
}

TEST(GameFolderLookup, NoFolderGivesAnErrorNamingWhereItLooked) {
  Layout at;
  InDirectory in(at.elsewhere);
  std::string error;
  fs::remove_all(at.installedGame);
  GameFolder found = resolveGameFolder("", at.installedProgram, error);
  EXPECT_TRUE(found.path.empty());
  EXPECT_NE(error.find("data/"), std::string::npos) << error;
  EXPECT_NE(error.find((at.prefix / "bin").string()), std::string::npos) << error;
  EXPECT_NE(error.find(at.installedGame.string()), std::string::npos) << error;
  EXPECT_NE(error.find("--root"), std::string::npos) << error;

  error.clear();
  EXPECT_TRUE(resolveGameFolder("no-such-folder", at.installedProgram, error).path.empty());
  EXPECT_NE(error.find("no-such-folder"), std::string::npos) << error;
}

TEST(GameFolderLookup, AnInstalledGameLogsToTheUserStateFolder) {
  ScopedEnv state("XDG_STATE_HOME", "/var/tmp/player-state");
  EXPECT_EQ(logFileFor(GameFolder{"/usr/share/tervalen", true}), "/var/tmp/player-state/tervalen/log.txt");
  EXPECT_EQ(logFileFor(GameFolder{"build/game", false}), "log.txt");
}

TEST(GameFolderLookup, TheRunningProgramIsKnown) {
  std::string self = runningProgramPath();
  ASSERT_FALSE(self.empty());
  EXPECT_TRUE(fs::path(self).is_absolute());
  EXPECT_TRUE(fs::equivalent(self, "/proc/self/exe"));
}

}  // namespace
