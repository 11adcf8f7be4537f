// A game played over the network by two to four machines, one to three seats each:
// the set-up before the game (the host waits for its joiners and tells each
// the game folder's checksum, the seed, the rules it plays and its seat; a
// joiner checks the folder and says it is ready), then every frame of play
// stepped by a rollback session. The joiners reach only the host, which
// passes their keys on. A machine that leaves or goes silent is dropped and
// the built-in player takes its seat, or, when the host said so, the seat
// leaves the game: the machine that takes the seat over presses its leave key
// at one frame, so every machine and the recording have the leaving alike.
//
// Chat goes between the machines on the set-up's reliable channel, in the
// lobby and during play; the host passes each line on to the other joiners.
// It never reaches the world.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/NetRecording.h"
#include "app/Options.h"
#include "app/ScreenFlow.h"
#include "base/Random.h"
#include "engine/EnetTransport.h"
#include "net/ChatMessage.h"
#include "net/RollbackSession.h"
#include "net/SessionHello.h"
#include "net/WorldRollbackGame.h"
#include "world/World.h"

class NetPlay {
 public:
  // The host listens for its joiners (its seed, seats and rules are the
  // game's); a joiner reaches its host within a few seconds. Nothing and why
  // on failure. Then the lobby, frame by frame, until the game begins.
  static std::unique_ptr<NetPlay> open(const Options& options, uint64_t folder, int seed, int seats,
                                       const GameRules& rules, std::string& error);

  // One frame of the lobby: the host takes joiners until its seats are full
  // (with --players or headless) or its player starts the game
  // (`startPressed`, with one joiner at least), then tells each its seat and
  // the game; a joiner waits to be told. READY once every machine agreed;
  // FAILED with failure() said.
  enum class Lobby { WAITING, READY, FAILED };
  Lobby lobby(bool startPressed);
  bool hosting() const { return hosting_; }
  // The lobby is over: the game began.
  bool started() const { return lobbyState_ == Lobby::READY; }
  // Whether the host's player may start now.
  bool canStart() const;
  // Who is in the lobby: seat 0 for a joiner that does not know its seat yet.
  struct LobbySeat {
    int seat = 0;
    bool you = false;
    int roundTripMs = 0;
  };
  std::vector<LobbySeat> lobbySeats() const;
  // The seats the host waits for (the lobby's size).
  int seatsWanted() const { return seats_; }

  // The game's rules as the host set them: its difficulty, invincibility
  // and heroes put into `rules`. False (failure() says why) when a hero is
  // none of this game folder's.
  bool applyAgreedRules(GameRules& rules);
  // The game's seed and seats (a joiner's once the lobby is over), and the
  // seat this machine plays.
  int seed() const { return seed_; }
  int seats() const { return seats_; }
  int localSeat() const { return localSeat_; }
  // How many seats this machine plays: localSeat() and those after it.
  int localSeats() const { return localSeats_; }

  // One frame of play, with this machine's keys of the frame: steps the world
  // through the session. False once the game is over (or `frames` frames were
  // played, when given) and agreed, or the session stopped.
  bool frame(World& world, Random& chance, const SeatInputs& keys, int frames, const ScreenFlow::StepSounds& sounds);
  // Seats the built-in player takes since the last call (this machine plays
  // them now): a dropped machine's, or one that could not leave (the last
  // seat that plays).
  std::vector<int> takeSeatsTakenOver();

  // Chat: sends a line from this machine's first seat (cut to fit, control
  // characters dropped; nothing when empty). Lines from the others arrive in
  // lobby() and frame(); a sender of more than a few lines a second is cut
  // short, and only the latest few lines are kept.
  void say(const std::string &text);
  struct ChatShown {
    int seat = 0;
    std::string text;
    uint32_t atMs = 0;  // when it came, on chatClockMs()'s clock
  };
  static constexpr size_t kChatKept = 4;
  static constexpr int kChatBurst = 4;  // lines a seat may send at once (and one more a second)
  const std::vector<ChatShown> &chatLines() const { return chat_; }
  uint32_t chatClockMs() const { return transport_ ? transport_->elapsedMs() : 0; }

  // --record: the game's agreed keys and checks are written to `path` as
  // they are agreed. False and why when the file
  // cannot be made. A write that fails later is told to `failed` once, and
  // the game goes on unrecorded.
  bool record(const std::string &path, std::function<void(const std::string &)> failed, std::string &error);
  // The lines a replay of this game starts with (seed, players, checks,
  // mods...): for --record, and for the report of a desync, which holds the
  // agreed keys from the start.
  void setReplayHeader(const std::string &header) { agreed_.header = header; }
  // Closes the recording; false when its last writes failed.
  bool closeRecording();

  // The seat this machine has waited for over the last several frames (its
  // keys are too far behind to play on), or 0: for the "waiting for" sign.
  int waitingForSeat() const { return waitedFrames_ >= kWaitBeforeSign && session_ ? session_->seatFurthestBehind() : 0; }
  static constexpr int kWaitBeforeSign = 10;

  int framesPlayed() const { return session_ ? session_->frame() : 0; }
  const std::string& failure() const { return failure_; }
  // --stats: rollbacks a second, the longest rollback, bytes sent a second
  // (seconds of the clock, as long as play went on).
  std::string statsText() const;

 private:
  NetPlay() = default;
  std::unique_ptr<EnetTransport> transport_;
  std::unique_ptr<WorldRollbackGame> game_;
  std::unique_ptr<RollbackSession> session_;
  SessionSetup setup_;
  Options options_;
  bool hosting_ = false;
  bool startsWhenFull_ = false;
  Lobby lobbyState_ = Lobby::WAITING;
  uint32_t lobbySince_ = 0, helloAt_ = 0;
  bool helloSent_ = false;
  int told_ = 0;                // joiners announced on the console
  std::array<bool, 4> ready_{};  // joiners that said they are ready
  std::array<int, 4> wanted_{};  // seats each joiner asked for (0: not said yet)
  std::array<bool, 4> turnedAway_{};  // joiners told the game is full
  bool startPressed_ = false;    // the host's player started; it begins once every joiner has asked
  int localSeats_ = 1;
  SessionHello agreedHello_;  // what the host said (the host: what it says)
  int seed_ = 0;
  int seats_ = 2;
  int localSeat_ = 1;
  uint32_t startMs_ = 0, sessionMs_ = 0;  // when play began, and how long it has gone on (for --stats)
  int lingered_ = 0;
  int waitedFrames_ = 0;  // frames in a row the session waited for another machine's keys    // frames waited at the end for the peer to have every key
  std::vector<int> takenOver_;
  std::unique_ptr<NetRecording> recording_;
  AgreedGame agreed_;
  uint64_t folder_ = 0;
  std::function<void(const std::string &)> recordingFailed_;
  int recordedCheck_ = -1;
  std::vector<std::pair<int, SeatInputs>> toRecord_;  // agreed frames not yet in the recording  // the last session frame whose check went to the recording
  void recordChecks();
  // The host: reads joiners' seat requests (turning away those that do not
  // fit) and their readiness.
  void readSetup();
  int seatsOf(int peer) const;  // seats a joiner asked for and keeps
  int seatsAskedFor() const;    // the host's own and every joiner's
  bool everyJoinerAsked() const;
  void reportDesync();
  // Reads the chat and set-up messages waiting during play.
  void takeChat(const Datagram &d);
  void chatArrived(int fromPeer, ChatMessage message);
  // Keeps a line for the screen (the latest kChatKept).
  void showChat(ChatShown line);
  int firstSeatOf(int peer) const;  // the host's numbering, in the lobby too
  void leaveDroppedSeats(World &world);
  std::string failure_;
  std::vector<ChatShown> chat_;
  struct ChatAllowance {
    int lines = kChatBurst;  // lines it may still send now
    uint32_t refilledMs = 0;
    bool toldDropped = false;
  };
  std::array<ChatAllowance, kMaxSeats> chatAllowance_{};  // of each seat that speaks
  bool said_ = false;  // --say went out
  // Seats of a dropped machine on their way out: the leave key is still to
  // be pressed (TO_LEAVE), was pressed (PRESSED: neutral keys from then on),
  // or the leaving is agreed (LEFT).
  enum class Leaving { NO, TO_LEAVE, PRESSED, LEFT };
  std::array<Leaving, kMaxSeats + 1> leaving_{};
  std::vector<int> leftAgreed_;  // seats whose leaving was agreed since the last frame
};
