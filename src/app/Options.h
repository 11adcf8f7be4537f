// The command line of the game.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/Replay.h"
#include "world/Difficulty.h"

struct Options {
  std::string root;  // game folder; empty: found by resolveGameFolder
  bool headless = false;
  int frames = 0;  // 0: no limit
  bool seedGiven = false;
  int seed = 0;
  std::string record, replay, trace;
  std::optional<int32_t> replaySeed;  // the seed line of the --replay file, when it has one
  std::optional<int32_t> replayPlayers;  // its players line, when it has one
  bool replayStateChecks = false;        // its checks sum the whole saved state ("checks state")
  std::vector<ReplayMod> replayMods;      // its mod lines (none: recorded without mods)
  std::optional<std::string> replayDifficulty;            // its difficulty line, when it has one
  std::vector<std::pair<int, std::string>> replayHeroes;  // its hero lines
  std::optional<Difficulty> difficulty;  // --difficulty: for this run (else the settings')
  std::vector<std::pair<int, std::string>> heroes;  // --hero SEAT=ID (repeatable): the seat's hero, as typed
  int players = 0;  // --players: seats filled from the first frame, 1-4 (0: not given)
  int syncTest = 0;  // --sync-test N: each step checked against a re-run N steps back (implies --headless)
  std::string syncTestFolder;  // where a failed sync test writes its two states (the working folder at start)
  int saveStateFrame = 0;      // --save-state FRAME:FILE
  std::string saveState, loadState;
  // Playing over the network: --host [PORT] or --join HOST[:PORT].
  static constexpr int kDefaultPort = 7777;
  int hostPort = 0;        // listening on this UDP port (0: not hosting)
  std::string joinHost;    // the host to join (empty: not joining)
  int joinPort = kDefaultPort;
  int localSeats = 1;      // --local-seats: seats this machine plays online, 1-3
  int netDelay = 2;        // --net-delay: frames between a key and the frame it counts in, 0-8
  bool droppedLeave = false;  // --dropped leave: a dropped machine's seats leave (else the built-in player takes them)
  std::string say;            // --say: chat sent once play begins
  int netSimLatency = 0, netSimJitter = 0, netSimLoss = 0;  // --net-sim LAT,JIT,LOSS (ms, ms, %)
  std::vector<int> autoplaySeats;  // --autoplay-seats: the seats the built-in player plays (empty: all)
  std::vector<std::pair<int, std::string>> screenshots;  // frame, PNG file
  bool stats = false;
  bool autoplay = false;
  std::string autoplayStyle = "full";  // --autoplay-style: "full" or "masher" (it implies --autoplay)
  std::optional<bool> fullscreen;  // --fullscreen / --windowed, for this run only
  bool mute = false;               // --mute: no sound this run
  bool menu = false;               // --menu: the title menu even when the options start play directly
  bool help = false;
  // The modder's workbench.
  std::string scene;      // --scene: start in this scene (its id, as typed)
  bool invincible = false;
  bool watch = false;     // reload when a file under data/ or the pack changes
  bool overlay = false;   // start with the overlay (F1) shown
  std::string view;       // --view: the character viewer for this character id
  std::vector<std::string> mods;  // --mod PATH|NAME, bottom first (a later mod wins)
  bool listMods = false;          // --list-mods: list the installed mods and stop
  std::vector<std::string> arguments;  // the command line after the program's name, as given
};

enum class ParseResult { Run, Help, UsageError };

// Reads the arguments (argv[0] is the program). Options take their value as
// the next argument or after '='. A replay file is read here, so a malformed
// one (or one that is not a regular file) is a usage error naming the file and line.
ParseResult parseOptions(int argc, const char* const* argv, Options& out, std::string& error);

// The run plays by itself or for a tool, with nobody at the keys from its
// first frame: headless, the built-in player, a replay, a sync test or a
// saved state.
bool startsPlayUnattended(const Options& options);

// The run starts playing at once, without the title menu: unattended runs,
// and --scene, --view, --record, --players, --hero, --invincible.
bool startsPlayDirectly(const Options& options);

// The usage text printed by --help and after a usage error.
std::string usageText();

// Makes the file options absolute, so they still name the same files after
// the program changes into the game folder.
void makePathsAbsolute(Options& options);
