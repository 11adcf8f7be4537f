// Two game programs playing one game over UDP on this machine (127.0.0.1
// only): both print the same result and record the same replay, which plays
// offline to the same checks; a peer that goes silent is dropped and
// the other plays on; joining where nobody hosts is a clear error. Every run
// is bounded by `timeout`.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "game_program.h"

namespace {

using gameprogram::GameCopy;


// A UDP port nobody uses at the moment.
int freePort() {
  const int s = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  socklen_t size = sizeof a;
  int port = 0;
  if (s >= 0 && bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &size) == 0)
    port = ntohs(a.sin_port);
  if (s >= 0) close(s);
  return port;
}

// Runs the host in the background and the joiner in the foreground.
struct Pair {
  gameprogram::Run host, joiner;
};

Pair playTogether(const GameCopy& host, const GameCopy& joiner, const std::string& hostArgs,
                  const std::string& joinArgs, const std::string& joinPrefix = "timeout 60") {
  const int port = freePort();
  EXPECT_GT(port, 0);
  Pair out;
  std::thread hostThread([&] {
    out.host = host.run("--autoplay --players 2 --seed 1 --host " + std::to_string(port) + " " + hostArgs);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  // The joiner's program runs under `joinPrefix`, which may cut it short.
  const std::string cmd = "cd '" + joiner.file("") + "' && " + joinPrefix + " " TERVALEN_BINARY_DIR
                          "/tervalen --root game --headless --autoplay --join 127.0.0.1:" + std::to_string(port) +
                          " " + joinArgs + " >stdout.txt 2>stderr.txt";
  const int status = std::system(cmd.c_str());
  out.joiner.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  out.joiner.out = joiner.read("stdout.txt");
  out.joiner.err = joiner.read("stderr.txt");
  hostThread.join();
  return out;
}

TEST(GameNetplay, TwoProgramsOnLoopbackPlayTheSameGame) {
  if (!gameprogram::haveGame()) GTEST_SKIP() << "the game is not built";
  GameCopy host, joiner;
  const Pair p = playTogether(host, joiner, "--frames 1500 --stats --record net.replay",
                              "--frames 1500 --stats --record net.replay --net-sim 30,10,5");
  ASSERT_EQ(p.host.exitCode, 0) << p.host.err;
  ASSERT_EQ(p.joiner.exitCode, 0) << p.joiner.err;
  EXPECT_NE(p.host.result().find("frames=1500"), std::string::npos) << p.host.out;
  EXPECT_EQ(p.host.result(), p.joiner.result());
  EXPECT_NE(p.host.err.find("rollbacks/s"), std::string::npos) << p.host.err;
  // Both machines recorded the keys they agreed on, not their guesses: the
  // same file, and it plays offline through the same checks.
  const std::string recording = host.read("net.replay");
  EXPECT_EQ(recording, joiner.read("net.replay"));
  EXPECT_NE(recording.find("\n1500 check "), std::string::npos) << recording.substr(0, 300);
  EXPECT_NE(recording.find(" down J 2\n"), std::string::npos) << "the joiner's blows are in it";
  const gameprogram::Run offline = host.run("--replay net.replay --frames 1501");
  EXPECT_EQ(offline.exitCode, 0) << offline.err;
  EXPECT_EQ(offline.err.find("diverged"), std::string::npos) << offline.err;
}

TEST(GameNetplay, FourProgramsPlayOneGameThroughTheHost) {
  if (!gameprogram::haveGame()) GTEST_SKIP() << "the game is not built";
  GameCopy host, second, third, fourth;
  const int port = freePort();
  ASSERT_GT(port, 0);
  const std::string args = " --frames 1000 --record net.replay";
  gameprogram::Run hostRun;
  std::thread hostThread([&] { hostRun = host.run("--autoplay --players 4 --seed 3 --host " + std::to_string(port) + args); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::vector<gameprogram::Run> joined(3);
  std::vector<std::thread> joiners;
  const GameCopy* copies[] = {&second, &third, &fourth};
  for (size_t j = 0; j < 3; ++j)
    joiners.emplace_back([&, j] { joined[j] = copies[j]->run("--autoplay --join 127.0.0.1:" + std::to_string(port) + args); });
  for (std::thread& t : joiners) t.join();
  hostThread.join();
  ASSERT_EQ(hostRun.exitCode, 0) << hostRun.err;
  EXPECT_NE(hostRun.result().find("frames=1000"), std::string::npos) << hostRun.out;
  const std::string recording = host.read("net.replay");
  EXPECT_NE(recording.find("players 4\n"), std::string::npos);
  for (size_t j = 0; j < 3; ++j) {
    ASSERT_EQ(joined[j].exitCode, 0) << joined[j].err;
    EXPECT_EQ(joined[j].result(), hostRun.result()) << "player " << j + 2;
    EXPECT_EQ(copies[j]->read("net.replay"), recording) << "player " << j + 2;
    EXPECT_NE(recording.find(" down J " + std::to_string(j + 2) + "\n"), std::string::npos) << "player " << j + 2;
  }
}

TEST(GameNetplay, AMachineWithTwoPlayersTakesTwoSeatsAndOneThatDoesNotFitIsTurnedAway) {
  if (!gameprogram::haveGame()) GTEST_SKIP() << "the game is not built";
  GameCopy host, tooMany, pair;
  const int port = freePort();
  ASSERT_GT(port, 0);
  const std::string join = "--autoplay --join 127.0.0.1:" + std::to_string(port);
  gameprogram::Run hostRun;
  std::thread hostThread([&] {
    hostRun = host.run("--autoplay --players 3 --seed 2 --frames 800 --record net.replay --host " + std::to_string(port));
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  // Three seats asked for where two are free: told so, and the game waits on.
  const gameprogram::Run refused = tooMany.run(join + " --local-seats 3");
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("turned this game away: the game is full: 2 of its 3 seats free, 3 asked for"),
            std::string::npos)
      << refused.err;
  const gameprogram::Run both = pair.run(join + " --local-seats 2 --frames 800 --record net.replay");
  hostThread.join();
  ASSERT_EQ(hostRun.exitCode, 0) << hostRun.err;
  ASSERT_EQ(both.exitCode, 0) << both.err;
  EXPECT_NE(hostRun.result().find("frames=800"), std::string::npos) << hostRun.out;
  EXPECT_EQ(both.result(), hostRun.result());
  const std::string recording = host.read("net.replay");
  EXPECT_EQ(pair.read("net.replay"), recording);
  EXPECT_NE(recording.find("players 3\n"), std::string::npos);
  for (const char* seat : {"2", "3"})
    EXPECT_NE(recording.find(std::string(" down J ") + seat + "\n"), std::string::npos) << "the joiner's seat " << seat;
}

TEST(GameNetplay, APeerSilentForThreeSecondsIsDroppedAndTheOtherPlaysOn) {
  if (!gameprogram::haveGame()) GTEST_SKIP() << "the game is not built";
  GameCopy host, joiner;
  // A slow link keeps the game near real time, so the joiner is killed (with
  // no goodbye) in the middle of it.
  const Pair p = playTogether(host, joiner, "--frames 800 --net-sim 100,0,0 --net-delay 0",
                              "--frames 800 --net-sim 100,0,0 --net-delay 0", "timeout -s KILL 2");
  EXPECT_EQ(p.joiner.exitCode, 128 + 9);  // killed by timeout
  ASSERT_EQ(p.host.exitCode, 0) << p.host.err;
  EXPECT_NE(p.host.err.find("went silent"), std::string::npos) << p.host.err;
  EXPECT_NE(p.host.result().find("frames=800"), std::string::npos) << p.host.out;
}

// The line "player N left the game at frame F" of a program's errors, or "".
std::string leftLine(const std::string& err, int seat) {
  const std::string start = "player " + std::to_string(seat) + " left the game at frame ";
  const size_t at = err.find(start);
  return at == std::string::npos ? "" : err.substr(at, err.find('\n', at) - at);
}

TEST(GameNetplay, ADroppedPlayersSeatLeavesAtOneFrameEverywhereWhenTheHostSaysSo) {
  if (!gameprogram::haveGame()) GTEST_SKIP() << "the game is not built";
  GameCopy host, second, third;
  const int port = freePort();
  ASSERT_GT(port, 0);
  const std::string join = "--autoplay --join 127.0.0.1:" + std::to_string(port);
  gameprogram::Run hostRun, secondRun, thirdRun;
  std::thread hostThread([&] {
    hostRun = host.run("--autoplay --players 3 --seed 4 --frames 1200 --record net.replay --dropped leave "
                       "--say 'hello from one' --host " + std::to_string(port));
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::thread secondThread([&] { secondRun = second.run(join + " --frames 1200 --record net.replay --say 'two here'"); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  // The third machine plays 300 frames and goes: its seat leaves.
  thirdRun = third.run(join + " --frames 300 --say 'three here'");
  secondThread.join();
  hostThread.join();
  ASSERT_EQ(hostRun.exitCode, 0) << hostRun.err;
  ASSERT_EQ(secondRun.exitCode, 0) << secondRun.err;
  EXPECT_EQ(thirdRun.exitCode, 0) << thirdRun.err;
  EXPECT_NE(hostRun.err.find("player 3 left or went silent; their seat leaves the game"), std::string::npos)
      << hostRun.err;
  // Both machines left at the same frame, which the recording holds as seat
  // 3's leave key; the seat never joins again.
  const std::string left = leftLine(hostRun.err, 3);
  ASSERT_NE(left, "") << hostRun.err;
  EXPECT_EQ(leftLine(secondRun.err, 3), left) << secondRun.err;
  const int frame = std::stoi(left.substr(left.rfind(' ') + 1));
  EXPECT_GE(frame, 300);
  const std::string recording = host.read("net.replay");
  EXPECT_EQ(second.read("net.replay"), recording);
  const size_t leaveAt = recording.find("\n" + std::to_string(frame) + " down LEAVE 3\n");
  ASSERT_NE(leaveAt, std::string::npos) << recording.substr(0, 300);
  EXPECT_EQ(recording.find(" down LEAVE ", recording.find('\n', leaveAt + 1)), std::string::npos) << "one leaving";
  EXPECT_EQ(recording.find(" down J 3\n", leaveAt), std::string::npos) << "seat 3 joined again";
  EXPECT_NE(hostRun.result().find("frames=1200"), std::string::npos) << hostRun.out;
  EXPECT_EQ(secondRun.result(), hostRun.result());
  const gameprogram::Run offline = host.run("--replay net.replay --frames 1201");
  EXPECT_EQ(offline.exitCode, 0) << offline.err;
  EXPECT_EQ(offline.err.find("diverged"), std::string::npos) << offline.err;
  // The replay counts the frame that starts the world: its result is the
  // game's, one frame on.
  const std::string played = hostRun.result();
  EXPECT_EQ(offline.result(), played.substr(0, played.find(" frames=")) + " frames=1201");
  // Chat went to everyone, through the host, named by the sender's seat, and
  // not into the recording.
  EXPECT_NE(hostRun.err.find("chat P2: two here\n"), std::string::npos) << hostRun.err;
  EXPECT_NE(secondRun.err.find("chat P1: hello from one\n"), std::string::npos) << secondRun.err;
  EXPECT_NE(secondRun.err.find("chat P3: three here\n"), std::string::npos) << secondRun.err;
  EXPECT_EQ(secondRun.err.find("chat P2:"), std::string::npos) << "a machine's own line comes not back";
  EXPECT_EQ(recording.find("here"), std::string::npos);
}

TEST(GameNetplay, JoiningWhereNobodyHostsIsAClearErrorWithinSeconds) {
  if (!gameprogram::haveGame()) GTEST_SKIP() << "the game is not built";
  GameCopy joiner;
  const auto start = std::chrono::steady_clock::now();
  const gameprogram::Run r = joiner.run("--join 127.0.0.1:" + std::to_string(freePort()));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("no game answered at 127.0.0.1"), std::string::npos) << r.err;
  EXPECT_EQ(r.result(), "");
}

}  // namespace
