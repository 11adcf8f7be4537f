#include "app/Options.h"

#include <algorithm>
#include <filesystem>

#include "base/CommandLine.h"
#include "engine/Replay.h"

namespace {

std::string absolute(const std::string &path) {
  if (path.empty()) return path;
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(path, ec);
  return ec ? path : p.string();
}

}  // namespace

std::string usageText() {
  return "Usage: tervalen [options]\n"
         "  --root DIR              the game folder (default: the current "
         "folder when it\n"
         "                          holds data/, else the folder \"game\" "
         "beside the program,\n"
         "                          else ../share/tervalen from the program's "
         "folder)\n"
         "  --headless              no window and no sound; frames run as fast "
         "as they can\n"
         "  --frames N              end after N frames\n"
         "  --seed N                seed the random numbers (the same seed and "
         "replay give the same run);\n"
         "                          without it a replay's own seed, else a "
         "fresh one, written to the log\n"
         "  --record FILE           write the seed, every key that goes down "
         "or up and a checksum\n"
         "                          of the world every 100 frames to FILE\n"
         "  --replay FILE           play the keys of FILE (lines \"seed N\", "
         "\"players N\",\n"
         "                          \"checks state\", \"FRAME down|up KEY "
         "[SEAT]\", \"FRAME check HEX\");\n"
         "                          stop where the world stops matching it\n"
         "  --screenshot N:FILE.png write the picture of frame N (repeatable)\n"
         "  --stats                 print frame timing statistics at exit "
         "(over the network also\n"
         "                          rollbacks a second, the longest rollback "
         "and bytes sent a second)\n"
         "  --trace FILE            write one line of world state per frame of "
         "play\n"
         "  --autoplay              let the computer play\n"
         "  --autoplay-style STYLE  how it plays: full (every move it knows, "
         "and it steps out of\n"
         "                          the way of attacks; the default) or masher "
         "(walks up to the\n"
         "                          nearest enemy and only presses J); implies "
         "--autoplay\n"
         "  --autoplay-seats LIST   the seats the built-in player plays, such "
         "as 2,3 (the others\n"
         "                          are people's); implies --autoplay\n"
         "  --players N             seats filled from the first frame, 1 to 4 "
         "(default 1; more\n"
         "                          join in play by pressing punch)\n"
         "  --difficulty LEVEL      easy, normal or hard (default: the "
         "settings', else normal);\n"
         "                          the rules file says what each level does\n"
         "  --hero SEAT=ID          seat SEAT (1-4) plays the hero ID, one of "
         "the rules' heroes\n"
         "                          (repeatable; a seat without one plays the "
         "rules' player)\n"
         "  --host [PORT]           host a game over the network on UDP port "
         "PORT (default 7777);\n"
         "                          for 2-4 players: it starts when you say, "
         "or with --players N\n"
         "                          once N seats are filled\n"
         "  --join HOST[:PORT]      join the game hosted at HOST (default port "
         "7777)\n"
         "  --local-seats N         with --host or --join: this machine's players "
         "(1-3, default 1),\n"
         "                          on its keyboard's key sets and pads, in "
         "seats side by side\n"
         "  --net-delay N           frames (0-8, default 2) a key waits before "
         "it counts online:\n"
         "                          more hides more of the network's delay\n"
         "  --dropped bot|leave     with --host: what becomes of the seats of a "
         "player whose machine\n"
         "                          leaves or goes silent: the built-in player "
         "takes them (bot,\n"
         "                          the default) or they leave the game (the "
         "last seat that plays\n"
         "                          cannot leave: the built-in player takes it)\n"
         "  --say TEXT              with --host or --join: send TEXT (up to 80 "
         "bytes) to the\n"
         "                          others' chat once play begins\n"
         "  --net-sim LAT,JIT,LOSS  hold what this game sends LAT ms (give or "
         "take JIT ms) and lose\n"
         "                          LOSS percent of it (and send as many "
         "twice), to try a slow\n"
         "                          network on one machine\n"
         "  --sync-test N           headless: after every step go back N steps "
         "(1-600) and step again,\n"
         "                          stopping at the first frame where the two "
         "ways differ (exit 4)\n"
         "  --save-state N:FILE     write the world as it stands after step N "
         "to FILE (for bug reports)\n"
         "  --load-state FILE       start from a state FILE written by "
         "--save-state in this game folder\n"
         "  --fullscreen            play fullscreen this time (the settings "
         "keep what they say)\n"
         "  --windowed              play in a window this time\n"
         "  --mute                  no sound this time\n"
         "  --menu                  show the title menu even with options that "
         "start play at once\n"
         "                          (headless, --autoplay, --replay, --scene "
         "and the like skip it)\n"
         "  --scene ID              start in scene ID (data/scene/ID.dat), the "
         "player where a door\n"
         "                          into it puts them\n"
         "  --invincible            the player's hit points never drop (to "
         "look at late scenes)\n"
         "  --watch                 reload the data (as F5 does) when a file "
         "under data/ or the pack\n"
         "                          changes, checked about once a second\n"
         "  --overlay               start with the boxes overlay (F1) shown\n"
         "  --view ID               the character viewer: every action of "
         "character ID with its boxes\n"
         "  --mod PATH|NAME         lay a mod over the game folder: a mod "
         "folder or zip file, or the\n"
         "                          name of a mod installed in "
         "~/.local/share/tervalen/mods\n"
         "                          (repeatable; a later mod wins)\n"
         "  --list-mods             list the installed mods and stop\n"
         "  --help                  show this text\n"
         "Exit status: 0 played, 1 cannot start, 2 usage error, 3 a file of "
         "--trace, --record or\n"
         "--screenshot could not be written (the game plays on), 4 the replay "
         "diverged or the sync\n"
         "test failed.\n";
}

ParseResult parseOptions(int argc, const char *const *argv, Options &out, std::string &error) {
  out = Options{};
  for (int i = 1; i < argc; ++i) out.arguments.emplace_back(argv[i]);
  CommandLine line(argc, argv);
  while (line.next()) {
    const std::string &name = line.name();
    std::string value;
    auto takeValue = [&]() -> bool { return line.value(value, error); };
    auto flag = [&](bool &target) -> bool {
      if (!line.noValue(error)) return false;
      target = true;
      return true;
    };

    if (name == "--help" || name == "-h") {
      if (!flag(out.help)) return ParseResult::UsageError;
    } else if (name == "--headless") {
      if (!flag(out.headless)) return ParseResult::UsageError;
    } else if (name == "--stats") {
      if (!flag(out.stats)) return ParseResult::UsageError;
    } else if (name == "--autoplay") {
      if (!flag(out.autoplay)) return ParseResult::UsageError;
    } else if (name == "--autoplay-style") {
      if (!takeValue()) return ParseResult::UsageError;
      if (value != "full" && value != "masher") {
        error = "--autoplay-style wants full or masher, not \"" + value.substr(0, 40) + "\"";
        return ParseResult::UsageError;
      }
      out.autoplayStyle = value;
      out.autoplay = true;
    } else if (name == "--players") {
      if (!takeValue()) return ParseResult::UsageError;
      if (!parseWholeNumber(value, 1, 4, out.players)) {
        error = "--players wants a whole number from 1 to 4, not \"" + value.substr(0, 40) + "\"";
        return ParseResult::UsageError;
      }
    } else if (name == "--difficulty") {
      if (!takeValue()) return ParseResult::UsageError;
      Difficulty d{};
      if (!difficultyFromName(value, d)) {
        error = "--difficulty wants easy, normal or hard, not \"" + value.substr(0, 40) + "\"";
        return ParseResult::UsageError;
      }
      out.difficulty = d;
    } else if (name == "--hero") {
      if (!takeValue()) return ParseResult::UsageError;
      const size_t eq = value.find('=');
      int seat = 0;
      if (eq == std::string::npos || !parseWholeNumber(value.substr(0, eq), 1, 4, seat) || eq + 1 >= value.size()) {
        error =
            "--hero wants SEAT=ID with a seat from 1 to 4, such as "
            "2=c_kaelin, not \"" +
            value.substr(0, 40) + "\"";
        return ParseResult::UsageError;
      }
      out.heroes.emplace_back(seat, value.substr(eq + 1));
    } else if (name == "--host") {
      // The port is optional: the next argument is taken only when it is a
      // number.
      out.hostPort = Options::kDefaultPort;
      if (line.hasValue()) {
        if (!takeValue()) return ParseResult::UsageError;
        if (!parseWholeNumber(value, 1, 65535, out.hostPort)) {
          error = "--host wants a UDP port from 1 to 65535, not \"" + value.substr(0, 40) + "\"";
          return ParseResult::UsageError;
        }
      }
    } else if (name == "--join") {
      if (!takeValue()) return ParseResult::UsageError;
      const size_t colon = value.rfind(':');
      out.joinHost = value.substr(0, colon);
      out.joinPort = Options::kDefaultPort;
      if (colon != std::string::npos && !parseWholeNumber(value.substr(colon + 1), 1, 65535, out.joinPort)) {
        error = "--join wants HOST or HOST:PORT with PORT from 1 to 65535, not \"" + value.substr(0, 60) + "\"";
        return ParseResult::UsageError;
      }
      if (out.joinHost.empty() || out.joinHost.size() > 253) {
        error =
            "--join wants a host name or address, such as "
            "192.168.1.20:7777, not \"" +
            value.substr(0, 60) + "\"";
        return ParseResult::UsageError;
      }
    } else if (name == "--local-seats") {
      if (!takeValue()) return ParseResult::UsageError;
      if (!parseWholeNumber(value, 1, 3, out.localSeats)) {
        error = "--local-seats wants a number of players from 1 to 3, not \"" + value.substr(0, 40) + "\"";
        return ParseResult::UsageError;
      }
    } else if (name == "--net-delay") {
      if (!takeValue()) return ParseResult::UsageError;
      if (!parseWholeNumber(value, 0, 8, out.netDelay)) {
        error = "--net-delay wants frames from 0 to 8, not \"" + value.substr(0, 40) + "\"";
        return ParseResult::UsageError;
      }
    } else if (name == "--dropped") {
      if (!takeValue()) return ParseResult::UsageError;
      if (value != "bot" && value != "leave") {
        error = "--dropped wants bot or leave, not \"" + value.substr(0, 40) + "\"";
        return ParseResult::UsageError;
      }
      out.droppedLeave = value == "leave";
    } else if (name == "--say") {
      if (!takeValue()) return ParseResult::UsageError;
      out.say = value;
    } else if (name == "--net-sim") {
      if (!takeValue()) return ParseResult::UsageError;
      const size_t a = value.find(','), b = a == std::string::npos ? a : value.find(',', a + 1);
      if (b == std::string::npos || !parseWholeNumber(value.substr(0, a), 0, 2000, out.netSimLatency) ||
          !parseWholeNumber(value.substr(a + 1, b - a - 1), 0, 1000, out.netSimJitter) ||
          !parseWholeNumber(value.substr(b + 1), 0, 100, out.netSimLoss)) {
        error =
            "--net-sim wants LATENCY_MS,JITTER_MS,LOSS_PERCENT (0-2000, "
            "0-1000, 0-100), such as 80,20,5, not \"" +
            value.substr(0, 40) + "\"";
        return ParseResult::UsageError;
      }
    } else if (name == "--sync-test") {
      if (!takeValue()) return ParseResult::UsageError;
      if (!parseWholeNumber(value, 1, 600, out.syncTest)) {
        error = "--sync-test wants the steps to go back, from 1 to 600, not \"" + value.substr(0, 40) + "\"";
        return ParseResult::UsageError;
      }
      out.headless = true;
    } else if (name == "--save-state") {
      if (!takeValue()) return ParseResult::UsageError;
      const size_t colon = value.find(':');
      if (colon == std::string::npos || !parseWholeNumber(value.substr(0, colon), 1, 0x7FFFFFFF, out.saveStateFrame) ||
          colon + 1 >= value.size()) {
        error = "--save-state wants N:FILE (N a step from 1 up), not \"" + value.substr(0, 40) + "\"";
        return ParseResult::UsageError;
      }
      out.saveState = value.substr(colon + 1);
    } else if (name == "--load-state") {
      if (!takeValue()) return ParseResult::UsageError;
      out.loadState = value;
    } else if (name == "--autoplay-seats") {
      if (!takeValue()) return ParseResult::UsageError;
      out.autoplaySeats.clear();
      size_t start = 0;
      while (start <= value.size()) {
        const size_t comma = std::min(value.find(',', start), value.size());
        int seat = 0;
        if (!parseWholeNumber(value.substr(start, comma - start), 1, 4, seat)) {
          error =
              "--autoplay-seats wants seats from 1 to 4 with commas "
              "between, such as 2,3, not \"" +
              value.substr(0, 40) + "\"";
          return ParseResult::UsageError;
        }
        if (std::find(out.autoplaySeats.begin(), out.autoplaySeats.end(), seat) == out.autoplaySeats.end())
          out.autoplaySeats.push_back(seat);
        start = comma + 1;
      }
      out.autoplay = true;
    } else if (name == "--fullscreen" || name == "--windowed") {
      bool given = false;
      if (!flag(given)) return ParseResult::UsageError;
      out.fullscreen = name == "--fullscreen";  // the last of the two counts
    } else if (name == "--mute") {
      if (!flag(out.mute)) return ParseResult::UsageError;
    } else if (name == "--menu") {
      if (!flag(out.menu)) return ParseResult::UsageError;
    } else if (name == "--root") {
      if (!takeValue()) return ParseResult::UsageError;
      out.root = value;
    } else if (name == "--frames") {
      if (!takeValue()) return ParseResult::UsageError;
      if (!parseWholeNumber(value, 1, 0x7FFFFFFF, out.frames)) {
        error = "--frames wants a whole number from 1 up, not \"" + value + "\"";
        return ParseResult::UsageError;
      }
    } else if (name == "--seed") {
      if (!takeValue()) return ParseResult::UsageError;
      if (!parseWholeNumber(value, -2147483647L - 1, 0x7FFFFFFF, out.seed)) {
        error = "--seed wants a whole number, not \"" + value + "\"";
        return ParseResult::UsageError;
      }
      out.seedGiven = true;
    } else if (name == "--record") {
      if (!takeValue()) return ParseResult::UsageError;
      out.record = value;
    } else if (name == "--replay") {
      if (!takeValue()) return ParseResult::UsageError;
      ReplayFile replay;
      if (!loadReplay(value, replay, error)) return ParseResult::UsageError;
      out.replay = value;
      out.replaySeed = replay.seed;
      out.replayPlayers = replay.players;
      out.replayStateChecks = replay.stateChecks;
      out.replayMods = replay.mods;
      out.replayDifficulty = replay.difficulty;
      out.replayHeroes = replay.heroes;
    } else if (name == "--mod") {
      if (!takeValue()) return ParseResult::UsageError;
      if (value.empty()) {
        error =
            "--mod wants a mod folder, a zip file or the name of an "
            "installed mod";
        return ParseResult::UsageError;
      }
      out.mods.push_back(value);
    } else if (name == "--list-mods") {
      if (!flag(out.listMods)) return ParseResult::UsageError;
    } else if (name == "--trace") {
      if (!takeValue()) return ParseResult::UsageError;
      out.trace = value;
    } else if (name == "--screenshot") {
      if (!takeValue()) return ParseResult::UsageError;
      size_t colon = value.find(':');
      int frame = 0;
      if (colon == std::string::npos || !parseWholeNumber(value.substr(0, colon), 1, 0x7FFFFFFF, frame) ||
          colon + 1 >= value.size()) {
        error = "--screenshot wants N:FILE.png (N a frame from 1 up), not \"" + value + "\"";
        return ParseResult::UsageError;
      }
      out.screenshots.emplace_back(frame, value.substr(colon + 1));
    } else if (name == "--invincible") {
      if (!flag(out.invincible)) return ParseResult::UsageError;
    } else if (name == "--watch") {
      if (!flag(out.watch)) return ParseResult::UsageError;
    } else if (name == "--overlay") {
      if (!flag(out.overlay)) return ParseResult::UsageError;
    } else if (name == "--scene" || name == "--view") {
      if (!takeValue()) return ParseResult::UsageError;
      if (value.empty()) {
        error = name + " wants an id, not an empty text";
        return ParseResult::UsageError;
      }
      (name == "--scene" ? out.scene : out.view) = value;
    } else {
      error = "unknown option \"" + line.argument() + "\"";
      return ParseResult::UsageError;
    }
  }
  if (!out.view.empty() &&
      (out.autoplay || out.invincible || !out.scene.empty() || !out.trace.empty() || !out.record.empty())) {
    error =
        "--view shows one character and plays no game: it goes with none "
        "of --autoplay, --scene, "
        "--invincible, --trace, --record";
    return ParseResult::UsageError;
  }
  const bool online = out.hostPort != 0 || !out.joinHost.empty();
  if (out.hostPort != 0 && !out.joinHost.empty()) {
    error = "--host and --join go one at a time: a game either hosts or joins";
    return ParseResult::UsageError;
  }
  if (!online && out.localSeats != 1) {
    error = "--local-seats goes with --host or --join (a game on one machine seats its players as they join)";
    return ParseResult::UsageError;
  }
  if (out.droppedLeave && out.hostPort == 0) {
    error = "--dropped goes with --host: the host says what becomes of a dropped player's seats";
    return ParseResult::UsageError;
  }
  if (!online && !out.say.empty()) {
    error = "--say goes with --host or --join: it is chat between the machines of a game";
    return ParseResult::UsageError;
  }
  if (online && (!out.replay.empty() || out.syncTest > 0 || !out.view.empty() || !out.loadState.empty())) {
    error =
        "--host and --join play a new game together: they go with none of "
        "--replay, --sync-test, --view, "
        "--load-state";
    return ParseResult::UsageError;
  }
  return out.help ? ParseResult::Help : ParseResult::Run;
}

bool startsPlayUnattended(const Options &o) {
  return o.headless || o.autoplay || !o.replay.empty() || o.syncTest > 0 || !o.loadState.empty();
}

bool startsPlayDirectly(const Options &o) {
  return startsPlayUnattended(o) || !o.scene.empty() || !o.view.empty() || !o.record.empty() || o.players > 0 ||
         !o.heroes.empty() || o.invincible || o.hostPort > 0 || !o.joinHost.empty();
}

void makePathsAbsolute(Options &options) {
  options.saveState = absolute(options.saveState);
  options.loadState = absolute(options.loadState);
  if (options.syncTest > 0) options.syncTestFolder = absolute(".");
  options.record = absolute(options.record);
  options.replay = absolute(options.replay);
  options.trace = absolute(options.trace);
  for (auto &[frame, path] : options.screenshots) path = absolute(path);
  // A mod that is a path names the same folder or zip after the change of
  // folder; a name of an installed mod stays a name.
  for (std::string &mod : options.mods) {
    std::error_code ec;
    if (std::filesystem::exists(mod, ec)) mod = absolute(mod);
  }
}
