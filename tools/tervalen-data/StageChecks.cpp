#include "StageChecks.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "SceneGeometry.h"
#include "SceneReach.h"
#include "base/TextCodec.h"
#include "format/OpcodeTable.h"
#include "object/ScriptNumber.h"
#include "world/World.h"

namespace {

// The width of the view the camera holds at a stretch.
constexpr int32_t kViewWidth = 800;

std::string num(int64_t v) { return std::to_string(v); }
std::string shown(const std::string& gbk) { return "\"" + gbkToUtf8(gbk) + "\""; }
bool sane(int64_t v) { return v >= -kMaxSceneExtent && v <= kMaxSceneExtent; }

// Whether some action gives the character a body a blow can land on (it has none before one does).
bool hasBody(const CharaData& d) {
  static const OpcodeInfo& body = *opcodeByName("body");
  for (const Action& a : d.actions)
    for (const Instruction& code : a.codes)
      if (code.opcode == body.opcode && scriptArg(code.args, 2) > 0 && scriptArg(code.args, 3) > 0 &&
          scriptArg(code.args, 4) > 0)
        return true;
  return false;
}

void checkStretches(const ContentCheckInput& in, const std::map<std::string, const CheckedScene*>& byId,
                    const CheckReportFn& problem) {
  std::map<std::string, const CheckedCharacter*> charas;
  for (const auto& [path, c] : in.charas) charas[c.id] = &c;
  for (const SceneStage& stage : in.rules.stage.scenes) {
    auto it = byId.find(stage.sceneId);
    if (it == byId.end()) continue;  // reported with the stretches' own problems
    const SceneFile& scene = it->second->data;
    if (scene.width <= 0 || scene.depth <= 0 || !sane(scene.width) || !sane(scene.depth)) continue;
    for (const StretchRule& r : stage.stretches) {
      if (r.to > scene.width) continue;  // reported as past the scene's width
      // The fighters stand in the held view, short of its edges.
      const SceneReach fromView(scene, std::max<int32_t>(0, r.to - kViewWidth) + World::kViewEdge,
                                r.to - World::kViewEdge);
      const std::string where = "line " + num(static_cast<int64_t>(r.line));
      for (int32_t n : r.enemies) {
        if (n < 1 || static_cast<size_t>(n) > scene.charas.size()) continue;  // reported already
        const SceneFile::CharaEntry& e = scene.charas[static_cast<size_t>(n - 1)];
        int32_t x = e.x, z = e.z;
        stage.place(n, x, z);
        const std::string who = "stretch " + gbkToUtf8(stage.sceneId) + ": enemy " + num(n) + " (" + shown(e.id) + ")";
        // Off the ground or in a wall is reported already; walled off from the view is not.
        if (fromView.standingProblem(x, z).empty())
          if (!fromView.pointProblem(x, z).empty())
            problem(r.file, where, who + " at (" + num(x) + ", " + num(z) + ") is walled off from the view held at this stretch (" +
                                       num(std::max<int32_t>(0, r.to - kViewWidth)) + " to " + num(r.to) +
                                       "): it cannot walk into the view and no fighter can leave it, so the camera "
                                       "holds for ever");
        auto c = charas.find(e.id);
        if (c != charas.end() && !hasBody(c->second->data))
          problem(r.file, where, who + " never has a body (no action of it gives one of some size): no blow lands "
                                       "on it, so the stretch never ends");
      }
    }
  }
}

// With door-depth = any, a door takes whoever comes within its reach along the
// ground at any depth: a door that stands between every way in and another
// door takes everyone who walks on to the other one.
void checkHiddenDoors(const ContentCheckInput& in, const std::map<std::string, const CheckedScene*>& byId,
                      const CheckReportFn& warning) {
  if (!in.rules.stage.doorsAnyDepth) return;
  const auto entries = entryPoints(in);
  const double reach = World::kDoorReachX;
  for (const auto& [id, s] : byId) {
    auto in_ = entries.find(id);
    if (in_ == entries.end() || in_->second.empty()) continue;
    const std::vector<SceneFile::DoorEntry>& doors = s->data.doors;
    for (size_t b = 0; b < doors.size(); ++b) {
      for (size_t a = 0; a < doors.size(); ++a) {
        if (a == b || !sane(doors[a].x) || !sane(doors[b].x)) continue;
        const double ax = doors[a].x, bx = doors[b].x;
        if (std::fabs(ax - bx) < 2 * reach) continue;  // their reaches meet: the nearer in depth takes
        bool between = true;
        for (const auto& [ex, ez] : in_->second) {
          // A's whole reach lies between the way in and B's reach.
          const bool right = bx > ax && ex <= ax - reach;
          const bool left = bx < ax && ex >= ax + reach;
          if (!right && !left) between = false;
        }
        if (!between) continue;
        warning(s->file, "door " + num(static_cast<int64_t>(b)),
                "the door to " + shown(doors[b].targetScene) + " at (" + num(doors[b].x) + ", " + num(doors[b].z) +
                    ") lies beyond the door to " + shown(doors[a].targetScene) + " at (" + num(doors[a].x) + ", " +
                    num(doors[a].z) + "): with door-depth = any that one takes every fighter who walks past it, at "
                    "any depth, so this one is never reached");
        break;
      }
    }
  }
}

}  // namespace

void checkStageContent(const ContentCheckInput& in, const CheckReportFn& problem, const CheckReportFn& warning) {
  std::map<std::string, const CheckedScene*> byId;
  for (const auto& [path, s] : in.scenes) byId[s.id] = &s;
  checkStretches(in, byId, problem);
  checkHiddenDoors(in, byId, warning);
}
