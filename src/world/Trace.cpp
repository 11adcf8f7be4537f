// The per-frame JSON trace and the end-of-run result line.
#include "world/Trace.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/TextCodec.h"
#include "format/JsonText.h"
#include "object/Chara.h"
#include "world/World.h"

namespace {

// Shortest text that reads back as exactly the same double.
void appendNumber(std::string& out, double v) {
  out += std::isfinite(v) ? shortestDouble(v) : "null";  // JSON has no infinities or NaN
}

void appendInt(std::string& out, long long v) {
  char buf[32];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, res.ptr);
}

void appendString(std::string& out, const std::string& utf8) { out += jsonQuote(utf8); }

// A command-line argument or a path as JSON can hold it: UTF-8 as it is,
// anything else read as GBK (which always gives UTF-8).
std::string textOf(const std::string& bytes) { return isUtf8(bytes) ? bytes : gbkToUtf8(bytes); }

// `stage`: the world, for an enemy in a folder whose scenes have stretches (else null).
void appendChara(std::string& out, const Chara& c, bool enemy, const World* stage = nullptr) {
  out += "{\"id\":";
  appendString(out, gbkToUtf8(c.data ? c.data->id : std::string()));
  out += ",\"x\":"; appendNumber(out, c.x);
  out += ",\"y\":"; appendNumber(out, c.y);
  out += ",\"z\":"; appendNumber(out, c.z);
  out += ",\"vx\":"; appendNumber(out, c.vx);
  out += ",\"vy\":"; appendNumber(out, c.vy);
  out += ",\"vz\":"; appendNumber(out, c.vz);
  out += ",\"action\":"; appendInt(out, c.action);
  out += ",\"pc\":"; appendInt(out, c.pc);
  out += ",\"hp\":"; appendInt(out, c.hp);
  out += ",\"facing\":"; appendInt(out, c.facing);
  out += ",\"freeze\":"; appendInt(out, c.freeze);
  out += ",\"finished\":"; out += c.finished ? "true" : "false";
  if (enemy) {
    out += ",\"aiMode\":"; appendInt(out, c.aiMode);
    // In a folder whose scenes have stretches: the enemy's (null: none), and
    // whether it stands waiting for the view to come to its stretch.
    if (stage) {
      out += ",\"stretch\":";
      if (c.stretch >= 0) appendInt(out, c.stretch); else out += "null";
      out += ",\"waiting\":"; out += stage->stretchAwake(c) ? "false" : "true";
    }
  }
  out += '}';
}

const char* seatStateName(Seat::State state) {
  switch (state) {
    case Seat::FREE: return "free";
    case Seat::PLAYING: return "playing";
    case Seat::OUT: return "out";
  }
  return "free";
}

// A seat that plays or played: its number and state, its fighter's place and
// state (when it has one), its numbers and the frames left to continue; in a
// folder with items, the weapon in its fighter's hand ("weapon":{"name":"pipe",
// "uses":4} or null) and what it has taken ("taken":{"food":1,"treasure":0,"weapons":1}).
void appendSeat(std::string& out, const Seat& s, const World& scene) {
  out += "{\"seat\":"; appendInt(out, s.number);
  out += ",\"state\":\""; out += seatStateName(s.state); out += '"';
  if (const Chara* c = s.hud.player) {
    out += ",\"id\":"; appendString(out, gbkToUtf8(c->data ? c->data->id : std::string()));
    out += ",\"x\":"; appendNumber(out, c->x);
    out += ",\"y\":"; appendNumber(out, c->y);
    out += ",\"z\":"; appendNumber(out, c->z);
    out += ",\"hp\":"; appendInt(out, c->hp);
    out += ",\"action\":"; appendInt(out, c->action);
    out += ",\"facing\":"; appendInt(out, c->facing);
    out += ",\"protection\":"; appendInt(out, c->protection);
  }
  out += ",\"score\":"; appendInt(out, s.hud.score);
  out += ",\"kills\":"; appendInt(out, s.hud.kills);
  out += ",\"power\":"; appendInt(out, s.hud.power);
  out += ",\"continueFrames\":"; appendInt(out, s.continueFrames);
  if (scene.rules.items.any()) {
    out += ",\"weapon\":";
    const World::HeldWeapon* w = s.hud.player ? scene.weaponOf(s.hud.player) : nullptr;
    if (w) {
      out += "{\"name\":"; appendString(out, scene.rules.items.items[static_cast<size_t>(w->item)].name);
      out += ",\"uses\":"; appendInt(out, w->uses);
      out += '}';
    } else {
      out += "null";
    }
    const World::ItemTally& t = scene.tallies[static_cast<size_t>(s.number - 1)];
    out += ",\"taken\":{\"food\":"; appendInt(out, t.food);
    out += ",\"treasure\":"; appendInt(out, t.treasure);
    out += ",\"weapons\":"; appendInt(out, t.weapons);
    out += '}';
  }
  out += '}';
}

// What lies on the ground, in a folder with items: "items":[{"name":"apple","x":900,"z":346,"uses":20}].
void appendItems(std::string& out, const World& scene) {
  out += ",\"items\":[";
  for (size_t i = 0; i < scene.lyingItems.size(); ++i) {
    const World::LyingItem& l = scene.lyingItems[i];
    if (i) out += ',';
    out += "{\"name\":"; appendString(out, scene.rules.items.items[static_cast<size_t>(l.item)].name);
    out += ",\"x\":"; appendNumber(out, l.obj->x);
    out += ",\"z\":"; appendNumber(out, l.obj->z);
    out += ",\"uses\":"; appendInt(out, l.uses);
    out += '}';
  }
  out += ']';
}

// Who holds whom and what flies thrown, by index into the characters (the
// seats' fighters first, then the enemies): "grips":[{"holder":0,"held":3,
// "frames":40,"knees":1}],"thrown":[{"body":5,"struck":1}] (struck: how many of
// its own side it has felled so far). Only in a folder that plays grabs.
void appendGrabs(std::string& out, const World& scene) {
  auto at = [&](const Chara* c) {
    const auto it = std::find(scene.charas.begin(), scene.charas.end(), c);
    return static_cast<long long>(it - scene.charas.begin());
  };
  out += ",\"grips\":[";
  for (size_t i = 0; i < scene.grips.size(); ++i) {
    const World::Grip& g = scene.grips[i];
    if (i) out += ',';
    out += "{\"holder\":"; appendInt(out, at(g.holder));
    out += ",\"held\":"; appendInt(out, at(g.held));
    out += ",\"frames\":"; appendInt(out, g.frames);
    out += ",\"knees\":"; appendInt(out, g.knees);
    out += '}';
  }
  out += "],\"thrown\":[";
  for (size_t i = 0; i < scene.flights.size(); ++i) {
    if (i) out += ',';
    out += "{\"body\":"; appendInt(out, at(scene.flights[i].body));
    out += ",\"struck\":"; appendInt(out, static_cast<long long>(scene.flights[i].struck.size()));
    out += '}';
  }
  out += ']';
}

}  // namespace

TraceWriter::TraceWriter(const std::string& path, FailureReport report) : report_(std::move(report)) {
  file_.open(path);
}

void TraceWriter::check(bool written) {
  if (written || reported_) return;
  reported_ = true;
  if (report_) report_("Cannot write the trace to " + file_.error());
}

bool TraceWriter::close() {
  if (!file_.isOpen()) return !file_.failed();
  const bool closed = file_.close();
  check(closed);
  return closed;
}

void TraceWriter::writeHeader(const TraceHeader& header) {
  if (!ok()) return;
  std::string line = "{\"trace\":1,\"seed\":";
  appendInt(line, header.seed);
  line += ",\"startScene\":"; appendString(line, gbkToUtf8(header.startScene));
  line += ",\"invincible\":"; line += header.invincible ? "true" : "false";
  line += ",\"autoplay\":"; line += header.autoplay ? "true" : "false";
  line += ",\"replay\":";
  if (header.replay.empty()) line += "null"; else appendString(line, textOf(header.replay));
  line += ",\"rules\":";
  if (header.rulesFile.empty()) line += "null"; else appendString(line, textOf(header.rulesFile));
  line += ",\"arguments\":[";
  for (size_t i = 0; i < header.arguments.size(); ++i) {
    if (i) line += ',';
    appendString(line, textOf(header.arguments[i]));
  }
  line += "]}\n";
  check(file_.write(line));
}

void TraceWriter::write(const World& scene, int frame, int state) {
  if (!ok()) return;
  std::string line;
  line.reserve(512 + 256 * scene.charas.size());
  line += "{\"frame\":"; appendInt(line, frame);
  line += ",\"state\":"; appendInt(line, state);
  line += ",\"scene\":"; appendString(line, gbkToUtf8(scene.name));
  line += ",\"cameraX\":"; appendNumber(line, scene.cameraX);
  line += ",\"doorsOpen\":"; line += scene.doorsOpen ? "true" : "false";
  const Hud* hud = &scene.hud;
  line += ",\"score\":"; appendInt(line, hud ? hud->score : 0);
  line += ",\"kills\":"; appendInt(line, hud ? hud->kills : 0);
  line += ",\"power\":"; appendInt(line, hud ? hud->power : 0);
  line += ",\"gameOver\":"; line += scene.gameOver ? "true" : "false";
  line += ",\"objects\":"; appendInt(line, static_cast<long long>(scene.objects.size()));
  line += ",\"target\":";
  long long targetIndex = -1;
  if (hud && hud->target) {
    for (size_t i = 0; i < scene.charas.size(); ++i) {
      if (scene.charas[i] == hud->target) targetIndex = static_cast<long long>(i);
    }
  }
  if (targetIndex >= 0) {
    appendInt(line, targetIndex);
  } else {
    line += "null";
  }
  line += ",\"player\":";
  if (const Chara* first = scene.seat(1).hud.player) {
    appendChara(line, *first, false);
  } else {
    line += "null";
  }
  line += ",\"enemies\":[";
  for (size_t i = scene.fighterCount(); i < scene.charas.size(); ++i) {
    if (i > scene.fighterCount()) line += ',';
    appendChara(line, *scene.charas[i], true, scene.rules.stage.anyStretches() ? &scene : nullptr);
  }
  line += "],\"players\":[";
  bool firstSeat = true;
  for (const Seat& s : scene.seats) {
    if (s.state == Seat::FREE) continue;
    if (!firstSeat) line += ',';
    firstSeat = false;
    appendSeat(line, s, scene);
  }
  line += "],\"continues\":"; appendInt(line, scene.continuesLeft);
  if (scene.rules.extendedInstructions) appendGrabs(line, scene);
  if (scene.rules.items.any()) appendItems(line, scene);
  // The camera's hold, in a folder whose scenes have stretches: the stretch
  // it goes to (null when none is left), whether it holds, the GO sign and the beat.
  if (scene.rules.stage.anyStretches()) {
    line += ",\"hold\":{\"stretch\":";
    if (scene.stage.stretch >= 0) appendInt(line, scene.stage.stretch); else line += "null";
    line += ",\"held\":"; line += scene.stage.held ? "true" : "false";
    line += ",\"go\":"; line += scene.stage.goFrames > 0 && !scene.stage.held ? "true" : "false";
    line += ",\"beat\":"; appendInt(line, scene.stage.beatFrames);
    line += '}';
  }
  line += "}\n";
  check(file_.write(line));
}

std::string resultLine(const World* scene, bool loopEnded, int frames) {
  std::string result;
  if (scene && scene->gameOver) {
    result = scene->finalSceneCleared() ? "victory" : "defeat";
  } else {
    result = loopEnded ? "quit" : "running";
  }
  // The team's: every seat's together (seat 1's alone in a game for one).
  int score = 0, kills = 0;
  if (scene) {
    for (const Seat& s : scene->seats) {
      score += s.hud.score;
      kills += s.hud.kills;
    }
  }
  return "result=" + result + " score=" + std::to_string(score) + " kills=" + std::to_string(kills) +
         " frames=" + std::to_string(frames);
}
