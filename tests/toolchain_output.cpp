// The tools' output files never destroy what they should not: a regular file
// is replaced in one step through a private temporary file, a device or FIFO
// is written into and stays what it is, anything else is refused, and a failed
// write leaves the target as it was and no temporary file behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "Command.h"
#include "OutputFile.h"

namespace fs = std::filesystem;

namespace {

struct Folder {
  fs::path path;
  Folder() {
    path = fs::temp_directory_path() / ("tervalen-output-" + std::to_string(::getpid()) + "-" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(path);
    fs::create_directories(path);
  }
  ~Folder() { fs::remove_all(path); }
  std::string file(const std::string& name) const { return (path / name).string(); }
  void put(const std::string& name, const std::string& content) const {
    std::ofstream(path / name, std::ios::binary) << content;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(path / name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  std::set<std::string> names() const {
    std::set<std::string> out;
    for (const fs::directory_entry& e : fs::directory_iterator(path)) out.insert(e.path().filename().string());
    return out;
  }
};

mode_t modeOf(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st.st_mode;
}

TEST(ToolchainOutput, ARegularFileIsReplacedWholeAndNothingElseIsTouched) {
  Folder f;
  f.put("x.dat", "old");
  f.put("x.dat.tmp", "someone else's file");  // the old writer overwrote, then deleted this
  ::chmod(f.file("x.dat").c_str(), 0640);
  std::string error;
  ASSERT_TRUE(writeWholeFile(f.file("x.dat"), std::string("new bytes"), error)) << error;
  EXPECT_EQ(f.read("x.dat"), "new bytes");
  EXPECT_EQ(modeOf(f.file("x.dat")) & 0777, 0640u);  // the file keeps its mode
  EXPECT_EQ(f.read("x.dat.tmp"), "someone else's file");
  EXPECT_EQ(f.names(), (std::set<std::string>{"x.dat", "x.dat.tmp"}));  // no temporary file left

  // A new file gets the usual mode of a new file.
  ASSERT_TRUE(writeWholeFile(f.file("new.dat"), std::string(""), error)) << error;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(modeOf(f.file("new.dat")) & 0777, 0666u & ~mask);
  EXPECT_EQ(f.read("new.dat"), "");
}

TEST(ToolchainOutput, DevicesAndFifosAreWrittenIntoAndStayWhatTheyAre) {
  std::string error;
  ASSERT_TRUE(writeWholeFile("/dev/null", std::string("discarded"), error)) << error;
  EXPECT_TRUE(S_ISCHR(modeOf("/dev/null")));

  // A full device fails, and says so.
  EXPECT_FALSE(writeWholeFile("/dev/full", std::string("x"), error));
  EXPECT_EQ(error, "cannot write /dev/full: No space left on device");

  Folder f;
  ASSERT_EQ(::mkfifo(f.file("pipe").c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] {
    std::ifstream in(f.file("pipe"), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    received = ss.str();
  });
  const bool written = writeWholeFile(f.file("pipe"), std::string("through the pipe"), error);
  reader.join();
  EXPECT_TRUE(written) << error;
  EXPECT_EQ(received, "through the pipe");
  EXPECT_TRUE(S_ISFIFO(modeOf(f.file("pipe"))));
  EXPECT_EQ(f.names(), (std::set<std::string>{"pipe"}));
}

TEST(ToolchainOutput, LinksFoldersAndSocketsAreRefusedAndLeftAlone) {
  Folder f;
  f.put("target.dat", "precious");
  fs::create_symlink(f.file("target.dat"), f.file("link.dat"));
  fs::create_directory(f.path / "folder.dat");
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(sock, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string socketPath = f.file("socket.dat");
  ASSERT_LT(socketPath.size(), sizeof addr.sun_path);
  std::copy(socketPath.begin(), socketPath.end(), addr.sun_path);
  ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);

  std::string error;
  EXPECT_FALSE(writeWholeFile(f.file("link.dat"), std::string("x"), error));
  EXPECT_EQ(error, "cannot write " + f.file("link.dat") +
                       ": it is a symbolic link (name the file it points to instead)");
  EXPECT_FALSE(writeWholeFile(f.file("folder.dat"), std::string("x"), error));
  EXPECT_EQ(error, "cannot write " + f.file("folder.dat") + ": it is a folder");
  EXPECT_FALSE(writeWholeFile(f.file("socket.dat"), std::string("x"), error));
  EXPECT_EQ(error, "cannot write " + f.file("socket.dat") + ": it is a socket");
  ::close(sock);

  EXPECT_TRUE(fs::is_symlink(f.file("link.dat")));
  EXPECT_EQ(f.read("target.dat"), "precious");
  EXPECT_TRUE(fs::is_directory(f.file("folder.dat")));
  EXPECT_EQ(f.names(), (std::set<std::string>{"target.dat", "link.dat", "folder.dat", "socket.dat"}));
}

TEST(ToolchainOutput, AFailedWriteLeavesTheTargetAndNoTemporaryFile) {
  Folder f;
  std::string error;
  EXPECT_FALSE(writeWholeFile(f.file("no/such/folder/x.dat"), std::string("x"), error));
  EXPECT_NE(error.find("cannot make a temporary file beside it: No such file or directory"), std::string::npos)
      << error;

  // A file system that takes no more than 8 bytes: the write fails part way.
  f.put("x.dat", "old");
  struct rlimit saved {};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto previous = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 8;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool written = writeWholeFile(f.file("x.dat"), std::string(100, 'n'), error);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, previous);
  EXPECT_FALSE(written);
  EXPECT_EQ(error, "cannot write " + f.file("x.dat") + ": File too large");
  EXPECT_EQ(f.read("x.dat"), "old");
  EXPECT_EQ(f.names(), (std::set<std::string>{"x.dat"}));
}

int runCommand(const char* name, const std::vector<std::string>& args, std::string& err) {
  for (const DataCommand& c : dataCommands()) {
    if (std::string(c.name) != name) continue;
    testing::internal::CaptureStderr();
    const int rc = c.run(args);
    err = testing::internal::GetCapturedStderr();
    return rc;
  }
  ADD_FAILURE() << "no command " << name;
  return -1;
}

TEST(ToolchainOutput, TheCommandsWriteToDevNullAndReportAFullStandardOutput) {
  Folder f;
  f.put("s.txt", "system\nstring \"hello\"\n");
  std::string err;
  EXPECT_EQ(runCommand("compile", {f.file("s.txt"), "-o", "/dev/null"}, err), 0) << err;
  EXPECT_TRUE(S_ISCHR(modeOf("/dev/null")));
  f.put("link.dat", "");
  fs::remove(f.path / "link.dat");
  fs::create_symlink("/etc/hostname", f.path / "link.dat");
  EXPECT_EQ(runCommand("compile", {f.file("s.txt"), "-o", f.file("link.dat")}, err), 1);
  EXPECT_EQ(err, "tervalen-data compile: cannot write " + f.file("link.dat") +
                     ": it is a symbolic link (name the file it points to instead)\n");

  const std::string tool = TERVALEN_BINARY_DIR "/tervalen-data";
  if (!fs::exists(tool)) GTEST_SKIP() << "no " << tool;
  ASSERT_EQ(runCommand("compile", {f.file("s.txt"), "-o", f.file("system.dat")}, err), 0) << err;
  for (const std::string& command : {"decompile " + f.file("system.dat"), "dump " + f.file("system.dat")}) {
    SCOPED_TRACE(command);
    const std::string line = tool + " " + command + " >/dev/full 2>" + f.file("err.txt");
    const int status = std::system(line.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(f.read("err.txt").find("cannot write to the standard output: No space left on device"),
              std::string::npos)
        << f.read("err.txt");
  }
}

}  // namespace
