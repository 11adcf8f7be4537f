#include "engine/Replay.h"

#include "format/ModInfo.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>

#include "engine/hge.h"
#include "base/FileBytes.h"

namespace {

const char* const kLetters[26] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
                                  "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y", "Z"};

// Splits a line at runs of spaces and tabs.
std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

// A word of the file as an error message quotes it: at most 40 characters,
// control bytes as \xNN, "..." when cut.
std::string shown(const std::string& word) {
  constexpr size_t kShown = 40;
  size_t cut = word.size();
  if (cut > kShown) {
    cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(word[cut]) & 0xC0) == 0x80) --cut;  // not inside a UTF-8 character
  }
  std::string out = "\"";
  for (size_t i = 0; i < cut; ++i) {
    const unsigned char c = static_cast<unsigned char>(word[i]);
    if (c < 0x20 || c == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += cut < word.size() ? "\"..." : "\"";
  return out;
}

// Decimal digits with an optional leading '-', within [min, max].
std::optional<int32_t> parseWholeNumber(const std::string& text, int64_t min, int64_t max) {
  int64_t value = 0;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last || value < min || value > max) return std::nullopt;
  return static_cast<int32_t>(value);
}

bool parseChecksum(const std::string& text, uint64_t& out) {
  if (text.size() != 16) return false;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out, 16);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

const char* replayKeyName(int key) {
  if (key >= HGEK_A && key <= HGEK_Z) return kLetters[key - HGEK_A];
  if (key == HGEK_ESCAPE) return "ESC";
  if (key == HGEK_LEAVE) return "LEAVE";
  return nullptr;
}

bool replayCanHold(int code) {
  return code > 0 && hgeSeatOfKey(code) <= HGE_SEATS && replayKeyName(hgeKeyOfSeatKey(code)) != nullptr;
}

int replayKeyCode(const std::string& name) {
  if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') return HGEK_A + (name[0] - 'A');
  if (name == "ESC") return HGEK_ESCAPE;
  if (name == "LEAVE") return HGEK_LEAVE;
  return 0;
}

bool parseReplay(const std::string& text, const std::string& sourceName, ReplayFile& out, std::string& error) {
  out = ReplayFile{};
  int lineNumber = 0;
  int lastFrame = 1;
  bool sawFrameLine = false;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto bad = [&](const std::string& what) {
      error = sourceName + ":" + std::to_string(lineNumber) + ": " + what +
              " (lines: seed, players, checks, mod, difficulty, hero, FRAME down|up|hold KEY [SEAT], FRAME check HEX)";
      return false;
    };
    std::vector<std::string> f = fields(line);
    if (f.empty() || f[0][0] == '#') continue;

    if (f[0] == "seed") {
      if (f.size() != 2) return bad("the seed line has " + std::to_string(f.size()) + " fields, not 2");
      if (out.seed) return bad("a second seed line");
      if (sawFrameLine) return bad("the seed line comes after the first frame line; it must come before");
      const std::optional<int32_t> seed = parseWholeNumber(f[1], INT32_MIN, INT32_MAX);
      if (!seed) return bad("seed " + shown(f[1]) + " is not a whole number from -2147483648 to 2147483647");
      out.seed = *seed;
      continue;
    }

    if (f[0] == "mod") {
      if (f.size() != 3) return bad("the mod line has " + std::to_string(f.size()) + " fields, not 3");
      if (sawFrameLine) return bad("a mod line comes after the first frame line; it must come before");
      if (!modNameProblem(f[1]).empty()) return bad("mod name " + shown(f[1]) + ": " + modNameProblem(f[1]));
      uint64_t hash = 0;
      if (!parseChecksum(f[2], hash)) return bad("mod hash " + shown(f[2]) + " is not 16 hexadecimal digits");
      for (const ReplayMod& m : out.mods)
        if (m.name == f[1]) return bad("a second mod line for " + shown(f[1]));
      out.mods.push_back(ReplayMod{f[1], formatChecksum(hash)});
      continue;
    }

    if (f[0] == "players") {
      if (f.size() != 2) return bad("the players line has " + std::to_string(f.size()) + " fields, not 2");
      if (out.players) return bad("a second players line");
      if (sawFrameLine) return bad("the players line comes after the first frame line; it must come before");
      const std::optional<int32_t> players = parseWholeNumber(f[1], 1, HGE_SEATS);
      if (!players) return bad("players " + shown(f[1]) + " is not a whole number from 1 to " + std::to_string(HGE_SEATS));
      out.players = *players;
      continue;
    }

    if (f[0] == "checks") {
      if (f.size() != 2 || f[1] != "state") return bad("the checks line says \"checks state\"");
      if (out.stateChecks) return bad("a second checks line");
      if (sawFrameLine) return bad("the checks line comes after the first frame line; it must come before");
      out.stateChecks = true;
      continue;
    }

    if (f[0] == "difficulty") {
      if (f.size() != 2) return bad("the difficulty line has " + std::to_string(f.size()) + " fields, not 2");
      if (out.difficulty) return bad("a second difficulty line");
      if (sawFrameLine) return bad("the difficulty line comes after the first frame line; it must come before");
      out.difficulty = f[1];
      continue;
    }

    if (f[0] == "hero") {
      if (f.size() != 3) return bad("the hero line has " + std::to_string(f.size()) + " fields, not 3 (hero SEAT ID)");
      if (sawFrameLine) return bad("the hero line comes after the first frame line; it must come before");
      const std::optional<int32_t> seat = parseWholeNumber(f[1], 1, HGE_SEATS);
      if (!seat) return bad("hero " + shown(f[1]) + ": the seat is a whole number from 1 to " + std::to_string(HGE_SEATS));
      for (const auto& [already, id] : out.heroes)
        if (already == *seat) return bad("a second hero line for seat " + std::to_string(*seat));
      out.heroes.emplace_back(*seat, f[2]);
      continue;
    }

    // A key line may name its seat after the key; without one it is seat 1's.
    const bool seated = f.size() == 4 && f[1] != "check";
    if (f.size() != 3 && !seated) return bad("expected 3 fields, found " + std::to_string(f.size()));
    const std::optional<int32_t> frame = parseWholeNumber(f[0], 1, INT32_MAX);
    if (!frame) return bad("frame " + shown(f[0]) + " is not a whole number from 1 up");
    if (*frame < lastFrame)
      return bad("frame " + std::to_string(*frame) + " comes after frame " + std::to_string(lastFrame) +
                 "; frames must not go back");
    if (f[1] == "check") {
      uint64_t checksum = 0;
      if (!parseChecksum(f[2], checksum)) return bad("checksum " + shown(f[2]) + " is not 16 hexadecimal digits");
      if (!out.checks.empty() && out.checks.back().frame == *frame)
        return bad("a second check for frame " + std::to_string(*frame));
      out.checks.push_back(ReplayCheck{*frame, checksum});
    } else {
      ReplayEvent event;
      event.frame = *frame;
      if (f[1] == "down") {
        event.down = true;
      } else if (f[1] == "hold") {
        event.down = true;
        event.hold = true;
      } else if (f[1] == "up") {
        event.down = false;
      } else {
        return bad(shown(f[1]) + " is neither down, up, hold nor check");
      }
      event.key = replayKeyCode(f[2]);
      if (event.key == 0) return bad("unknown key " + shown(f[2]) + " (A..Z, ESC or LEAVE)");
      if (seated) {
        const std::optional<int32_t> seat = parseWholeNumber(f[3], 1, HGE_SEATS);
        if (!seat) return bad("seat " + shown(f[3]) + " is not a whole number from 1 to " + std::to_string(HGE_SEATS));
        event.key = hgeSeatKey(event.key, *seat);
      }
      out.events.push_back(event);
    }
    lastFrame = *frame;
    sawFrameLine = true;
  }
  return true;
}

bool loadReplay(const std::string& path, ReplayFile& out, std::string& error) {
  Expected<std::vector<uint8_t>> bytes = readFileBytes(path);
  if (!bytes) {
    error = path + ": cannot read the replay: " + bytes.error().what;
    return false;
  }
  return parseReplay(std::string(bytes->begin(), bytes->end()), path, out, error);
}

std::string formatReplaySeed(int32_t seed) { return "seed " + std::to_string(seed); }

std::string formatReplayPlayers(int32_t players) { return "players " + std::to_string(players); }

std::string formatReplayMod(const ReplayMod& mod) { return "mod " + mod.name + " " + mod.hash; }

std::string formatReplayEvent(const ReplayEvent& event) {
  const char* name = replayKeyName(hgeKeyOfSeatKey(event.key));
  const char* change = !event.down ? " up " : event.hold ? " hold " : " down ";
  std::string line = std::to_string(event.frame) + change + (name ? name : "?");
  const int seat = hgeSeatOfKey(event.key);
  if (seat > 1) line += " " + std::to_string(seat);
  return line;
}

std::string formatChecksum(uint64_t checksum) {
  char hex[24];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(checksum));
  return hex;
}

std::string formatReplayCheck(const ReplayCheck& check) {
  return std::to_string(check.frame) + " check " + formatChecksum(check.checksum);
}

std::optional<uint64_t> ReplayPlayer::checkAt(int frame) const {
  auto it = std::lower_bound(file_.checks.begin(), file_.checks.end(), frame,
                             [](const ReplayCheck& c, int f) { return c.frame < f; });
  if (it == file_.checks.end() || it->frame != frame) return std::nullopt;
  return it->checksum;
}

bool ReplayRecorder::writeSeed(int32_t seed) { return file_.write(formatReplaySeed(seed) + "\n"); }

bool ReplayRecorder::writeStateChecks() { return file_.write("checks state\n"); }

bool ReplayRecorder::writePlayers(int32_t players) { return file_.write(formatReplayPlayers(players) + "\n"); }

bool ReplayRecorder::writeMod(const ReplayMod& mod) { return file_.write(formatReplayMod(mod) + "\n"); }
bool ReplayRecorder::writeLines(const std::string& lines) {
  return file_.write(lines.back() == '\n' ? lines : lines + "\n");
}

bool ReplayRecorder::write(const ReplayEvent& event) {
  if (!replayCanHold(event.key)) return true;
  return file_.write(formatReplayEvent(event) + "\n");
}

bool ReplayRecorder::writeCheck(const ReplayCheck& check) { return file_.write(formatReplayCheck(check) + "\n"); }
