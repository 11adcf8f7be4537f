#include "world/WorldDescription.h"

#include "base/TextCodec.h"
#include "format/JsonText.h"
#include "object/Chara.h"
#include "world/World.h"

namespace {

std::string num(double v) { return shortestDouble(v); }

void line(std::string& out, const std::string& field, const std::string& value) {
  out += field;
  out += ' ';
  out += value;
  out += '\n';
}

void describeObj(std::string& out, const std::string& at, const Obj& o) {
  line(out, at + ".id", gbkToUtf8(o.data ? o.data->id : std::string()));
  const std::pair<const char*, double> reals[] = {
      {"x", o.x},   {"y", o.y},   {"z", o.z},   {"vx", o.vx},           {"vy", o.vy},
      {"vz", o.vz}, {"ax", o.ax}, {"ay", o.ay}, {"az", o.az},           {"sx", o.sx},
      {"sy", o.sy}, {"sz", o.sz}, {"pushVx", o.hit.pushVx}, {"pushVy", o.hit.pushVy}};
  for (const auto& [name, v] : reals) line(out, at + "." + name, num(v));
  const std::pair<const char*, long long> ints[] = {
      {"action", o.action},       {"pc", o.pc},
      {"ticks", o.ticks},         {"wait", o.wait},
      {"hp", o.hp},               {"facing", o.facing},
      {"freeze", o.freeze},       {"team", o.team},
      {"seat", o.seat},           {"picture", o.picture},
      {"tint", o.tint},           {"damage", o.damage},
      {"frameDx", o.frameDx},     {"frameDy", o.frameDy},
      {"finished", o.finished},   {"holdPc", o.holdPc},
      {"additive", o.additive},   {"hitLanded", o.hitLanded},
      {"landArmed", o.landArmed}, {"landAction", o.landAction},
      {"landPc", o.landPc},       {"hitArmed", o.hitArmed},
      {"hitAction", o.hitAction}, {"hitPc", o.hitPc},
      {"hit.active", o.hit.active}, {"hit.groundReaction", o.hit.groundReaction},
      {"hit.airReaction", o.hit.airReaction}, {"hit.targetFreeze", o.hit.targetFreeze},
      {"hit.selfFreeze", o.hit.selfFreeze}, {"hit.sparkFromSystem", o.hit.sparkFromSystem},
      {"hit.sparkAction", o.hit.sparkAction}};
  for (const auto& [name, v] : ints) line(out, at + "." + name, std::to_string(v));
  for (const auto& [name, b] : {std::pair<const char*, const Box&>{"body", o.body}, {"attack", o.attack}})
    line(out, at + "." + name,
         num(b.x) + " " + num(b.y) + " " + num(b.z) + " " + num(b.width) + " " + num(b.height) + " " + num(b.depth));
  if (const Chara* c = o.asChara()) {
    const std::pair<const char*, long long> more[] = {{"aiMode", c->aiMode},         {"aiModeTimer", c->aiModeTimer},
                                                      {"aiAttackTimer", c->aiAttackTimer}, {"protection", c->protection},
                                                      {"lastHitSeat", c->lastHitSeat},   {"teamHp", c->teamHp}};
    for (const auto& [name, v] : more) line(out, at + "." + name, std::to_string(v));
  }
}

}  // namespace

std::string describeWorld(const World& w, uint64_t randomState) {
  std::string out;
  line(out, "random", std::to_string(randomState));
  line(out, "scene", gbkToUtf8(w.name));
  line(out, "cameraX", num(w.cameraX));
  line(out, "doorsOpen", std::to_string(w.doorsOpen));
  line(out, "gameOver", std::to_string(w.gameOver));
  line(out, "continuesLeft", std::to_string(w.continuesLeft));
  for (const Seat& s : w.seats) {
    const std::string at = "seat" + std::to_string(s.number);
    line(out, at + ".state", std::to_string(s.state));
    line(out, at + ".continueFrames", std::to_string(s.continueFrames));
    line(out, at + ".score", std::to_string(s.hud.score));
    line(out, at + ".kills", std::to_string(s.hud.kills));
    line(out, at + ".power", std::to_string(s.hud.power));
    line(out, at + ".commandTimer", std::to_string(s.hud.commandTimer));
    std::string codes;
    for (int32_t c : s.hud.commands) codes += std::to_string(c) + " ";
    line(out, at + ".commands", codes);
  }
  line(out, "objects", std::to_string(w.objects.size()));
  for (size_t i = 0; i < w.objects.size(); ++i) describeObj(out, "object" + std::to_string(i), *w.objects[i]);
  line(out, "characters", std::to_string(w.charas.size()));
  line(out, "sounds", std::to_string(w.sounds.size()));
  for (size_t i = 0; i < w.sounds.size(); ++i)
    line(out, "sound" + std::to_string(i),
         std::to_string(w.sounds[i].pictureSet) + " " + std::to_string(w.sounds[i].index) + " " +
             std::to_string(w.sounds[i].volume));
  return out;
}

std::string firstDifference(const std::string& a, const std::string& b) {
  size_t i = 0, j = 0;
  while (i < a.size() || j < b.size()) {
    const size_t ea = std::min(a.find('\n', i), a.size()), eb = std::min(b.find('\n', j), b.size());
    const std::string la = a.substr(i, ea - i), lb = b.substr(j, eb - j);
    if (la != lb) {
      const std::string& shown = la.empty() ? lb : la;
      return shown.substr(0, shown.find(' '));
    }
    i = ea + 1;
    j = eb + 1;
  }
  return "";
}

uint64_t stateChecksum(std::span<const uint8_t> bytes) {
  uint64_t h = 0xcbf29ce484222325ULL;
  for (uint8_t b : bytes) {
    h ^= b;
    h *= 0x100000001b3ULL;
  }
  return h;
}
