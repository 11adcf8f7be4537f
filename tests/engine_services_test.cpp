// The engine's smaller services: random numbers, text conversion, the log and
// the player's folders.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <set>

#include "engine/EngineLog.h"
#include "base/Random.h"
#include "base/TextCodec.h"
#include "engine/UserFolders.h"
#include "engine_support.h"
#include "log_text.h"

namespace {

TEST(RandomNumbers, MatchTheReferencePcg32Sequence) {
  // The published first outputs of PCG32 seeded with 42 on stream 54.
  Random r(42, 54);
  const uint32_t expected[] = {0xa15c02b7, 0x7b47f409, 0xba1d3330, 0x83d2f293, 0xbfa4784b, 0xcbed606e};
  for (uint32_t e : expected) EXPECT_EQ(r.next(), e);
}

TEST(RandomNumbers, IncludeBothBoundsAndNothingOutside) {
  Random r(7);
  std::set<int> seen;
  for (int i = 0; i < 2000; ++i) {
    int v = r.range(-2, 2);
    ASSERT_GE(v, -2);
    ASSERT_LE(v, 2);
    seen.insert(v);
  }
  EXPECT_EQ(seen.size(), 5u);
  EXPECT_EQ(r.range(9, 9), 9);
  int swapped = r.range(10, 1);
  EXPECT_GE(swapped, 1);
  EXPECT_LE(swapped, 10);
  int wide = r.range(INT32_MIN, INT32_MAX);  // the whole range does not overflow
  (void)wide;
}

TEST(RandomNumbers, AreRoughlyUniform) {
  Random r(12345);
  int counts[6] = {};
  const int n = 60000;
  for (int i = 0; i < n; ++i) ++counts[r.range(1, 6) - 1];
  for (int c : counts) EXPECT_NEAR(c, n / 6, n / 60);
}

TEST(RandomNumbers, TheSameSeedGivesTheSameRunThroughTheEngine) {
  std::vector<int> first, second;
  for (auto* out : {&first, &second}) {
    TestEngine engine;
    engine->Random_Seed(99);
    for (int i = 0; i < 20; ++i) out->push_back(engine->Random_Int(0, 1000));
  }
  EXPECT_EQ(first, second);
  TestEngine engine;
  engine->Random_Seed(100);
  std::vector<int> other;
  for (int i = 0; i < 20; ++i) other.push_back(engine->Random_Int(0, 1000));
  EXPECT_NE(first, other);
}

TEST(TextConversion, GbkAndUtf8RoundTrip) {
  const std::string utf8 = "游戏开始 Kills";
  std::string gbk;
  ASSERT_TRUE(utf8ToGbk(utf8, gbk));
  EXPECT_EQ(gbk, std::string("\xD3\xCE\xCF\xB7\xBF\xAA\xCA\xBC Kills"));
  EXPECT_EQ(gbkToUtf8(gbk), utf8);
  EXPECT_EQ(gbkToUtf8("plain ascii"), "plain ascii");
}

TEST(TextConversion, BrokenGbkBecomesReplacementCharacters) {
  // A lead byte with nothing after it, then a stray byte.
  std::string out = gbkToUtf8(std::string("ok\xD3", 3));
  EXPECT_EQ(out, "ok\xEF\xBF\xBD");
  EXPECT_TRUE(isValidUtf8(gbkToUtf8(std::string("\xFF\xFF\x80", 3))));
  std::string gbk;
  EXPECT_FALSE(utf8ToGbk("emoji \xF0\x9F\x98\x80", gbk));  // GBK has no emoji
  EXPECT_FALSE(utf8ToGbk("\xC3", gbk));                     // cut UTF-8
}

TEST(EngineLogFile, WritesOneUtf8LinePerMessage) {
  ScratchDir dir;
  {
    TestEngine engine;
    engine->System_SetState(HGE_LOGFILE, dir.file("log.txt").c_str());
    engine->System_Log("游戏开始");
    std::string gbkText;
    ASSERT_TRUE(utf8ToGbk("创建角色失败", gbkText));
    engine->System_Log("%s", gbkText.c_str());
    engine->System_Log("Font %s has incorrect format.", "font1.fnt");
    engine->System_Log("two\nlines %d\n", 2);
    engine->System_Log("%s", std::string(2000, 'w').c_str());
    // Flushed at once: readable before the engine goes.
    EXPECT_NE(readFile(dir.file("log.txt")).find("游戏开始\n"), std::string::npos);
  }
  std::string log = readFile(dir.file("log.txt"));
  EXPECT_EQ(log, "游戏开始\n创建角色失败\nFont font1.fnt has incorrect format.\ntwo lines 2\n" +
                     std::string(2000, 'w') + "\n");
}

// Logs `lines` through a fresh EngineLog named `name`; returns where it went.
std::string logLines(const std::string& name, std::initializer_list<const char*> lines) {
  EngineLog log;
  log.setFileName(name);
  for (const char* line : lines) log.write(line);
  return log.path();
}

TEST(EngineLogFile, GoesToTheUserStateFolderWhenTheGameFolderIsNotWritable) {
  ScratchDir dir;
  ScopedEnv state("XDG_STATE_HOME", dir.file("state"));
  // A log file name in a folder that cannot be written (it does not exist).
  std::string where = logLines(dir.file("no-such-folder/log.txt"), {"a line", "another"});
  EXPECT_EQ(where, dir.file("state/tervalen/log.txt"));
  EXPECT_EQ(readFile(dir.file("state/tervalen/log.txt")), "a line\nanother\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("no-such-folder")));
  // The folder it made is the user's alone.
  struct stat st;
  ASSERT_EQ(stat(dir.file("state/tervalen").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(EngineLogFile, EmptiesItsOwnLogOfAnEarlierRun) {
  ScratchDir dir;
  ScopedEnv state("XDG_STATE_HOME", dir.file("state"));
  writeFile(dir.file("log.txt"), "the last run's log, longer than this one\n");
  EXPECT_EQ(logLines(dir.file("log.txt"), {"new run"}), dir.file("log.txt"));
  EXPECT_EQ(readFile(dir.file("log.txt")), "new run\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("state")));
}

TEST(EngineLogFile, NeverWritesThroughALinkOrIntoAFileItDidNotMake) {
  ScratchDir dir;
  ScopedEnv state("XDG_STATE_HOME", dir.file("state"));
  const std::string fallback = dir.file("state/tervalen/log.txt");
  const std::string precious = "someone's file outside the game folder\n";
  namespace fs = std::filesystem;
  struct Case {
    const char* what;
    std::function<void(const std::string& log)> make;
  };
  std::vector<Case> cases = {
      {"a symbolic link to a file outside",
       [&](const std::string& log) {
         writeFile(dir.file("outside.txt"), precious);
         fs::create_symlink(dir.file("outside.txt"), log);
       }},
      {"a dangling symbolic link",
       [&](const std::string& log) { fs::create_symlink(dir.file("would-be-created.txt"), log); }},
      {"a hard link to a file outside",
       [&](const std::string& log) {
         writeFile(dir.file("outside.txt"), precious);
         fs::create_hard_link(dir.file("outside.txt"), log);
       }},
      {"a named pipe", [&](const std::string& log) { ASSERT_EQ(mkfifo(log.c_str(), 0600), 0); }},
      {"a folder", [&](const std::string& log) { fs::create_directory(log); }},
  };
  if (geteuid() == 0)
    cases.push_back({"another user's file", [&](const std::string& log) {
                       writeFile(log, precious);
                       ASSERT_EQ(chown(log.c_str(), 65534, 65534), 0);
                     }});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::create_directories(dir.file("game"));
    const std::string log = dir.file("game/log.txt");
    c.make(log);
    if (HasFatalFailure()) return;
    fs::file_status before = fs::symlink_status(log);
    EXPECT_EQ(logLines(log, {"first", "second"}), fallback);
    EXPECT_EQ(readFile(fallback), "first\nsecond\n");
    // What was there is still there, and what it points at is untouched.
    EXPECT_EQ(fs::symlink_status(log).type(), before.type());
    if (fs::exists(dir.file("outside.txt"))) {
      EXPECT_EQ(readFile(dir.file("outside.txt")), precious);
    }
    if (fs::is_regular_file(fs::symlink_status(log))) {
      EXPECT_EQ(readFile(log), precious);
    }
    EXPECT_FALSE(fs::exists(dir.file("would-be-created.txt")));
    fs::remove_all(dir.file("game"));
    fs::remove_all(dir.file("outside.txt"));
  }
}

TEST(EngineLogFile, WithNowhereToWriteTheGameGoesOnWithoutALog) {
  ScratchDir dir;
  // The state folder's place is taken by a file, and the log name is a link.
  writeFile(dir.file("state"), "");
  ScopedEnv state("XDG_STATE_HOME", dir.file("state"));
  writeFile(dir.file("outside.txt"), "keep\n");
  std::filesystem::create_symlink(dir.file("outside.txt"), dir.file("log.txt"));
  EXPECT_EQ(logLines(dir.file("log.txt"), {"lost"}), "");
  EXPECT_EQ(readFile(dir.file("outside.txt")), "keep\n");
}

TEST(EngineLogFile, AFailedWriteIsReportedOnceAndEndsTheLog) {
  ScratchDir dir;
  const std::string log = dir.file("log.txt");
  // In a child process, whose stderr is a pipe: a file size limit of 100 bytes
  // makes the third line fail (a pipe has no such limit).
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    dup2(pipeFds[1], STDERR_FILENO);
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{100, 100};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(4);
    EngineLog engineLog;
    engineLog.setFileName(log);
    for (int i = 0; i < 6; ++i) engineLog.write(std::string(40, static_cast<char>('a' + i)));
    _exit(engineLog.path() == log ? 0 : 5);
  }
  close(pipeFds[1]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  std::string message;
  char buffer[512];
  for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) message.append(buffer, static_cast<size_t>(n));
  close(pipeFds[0]);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(readFile(log).size(), 100u);
  EXPECT_EQ(countOccurrences(message, "writing the log " + log + " failed"), 1u) << message;
}

TEST(UserFolders, FollowTheXdgVariablesElseTheHomeFolder) {
  {
    ScopedEnv state("XDG_STATE_HOME", "/tmp/st"), config("XDG_CONFIG_HOME", "/tmp/cf");
    EXPECT_EQ(userStateFolder(), "/tmp/st/tervalen");
    EXPECT_EQ(userConfigFolder(), "/tmp/cf/tervalen");
  }
  // Unset, empty or relative variables mean the defaults under HOME.
  ScopedEnv home("HOME", "/home/player");
  ScopedEnv state("XDG_STATE_HOME", ""), config("XDG_CONFIG_HOME", "relative/config");
  EXPECT_EQ(userStateFolder(), "/home/player/.local/state/tervalen");
  EXPECT_EQ(userConfigFolder(), "/home/player/.config/tervalen");
  // Looking a folder up creates nothing.
  EXPECT_FALSE(std::filesystem::exists("/home/player"));
}

TEST(UserFolders, AreMadePrivateAndOnlyOverFolders) {
  ScratchDir dir;
  std::string error;
  ASSERT_TRUE(makeUserFolder(dir.path() / "a" / "b" / "tervalen", error)) << error;
  struct stat st;
  ASSERT_EQ(stat(dir.file("a/b/tervalen").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(makeUserFolder(dir.path() / "a" / "b" / "tervalen", error)) << "a second time: " << error;
  writeFile(dir.file("file"), "");
  EXPECT_FALSE(makeUserFolder(dir.path() / "file" / "tervalen", error));
  EXPECT_NE(error.find(dir.file("file")), std::string::npos) << error;
  EXPECT_FALSE(makeUserFolder("relative/tervalen", error));
}

}  // namespace
