#include "ContentChecks.h"

#include <utility>
#include <vector>

#include "SceneGeometry.h"
#include "SceneReach.h"
#include "base/TextCodec.h"
#include "world/World.h"

namespace {

// A prop stands in a wall of its own (its solid part): it is within the
// player's reach when free ground lies this close to it, about the reach of
// an attack along the ground and in depth.
constexpr double kPropReachX = 100, kPropReachZ = 40;

// Within what the geometry check lets pass (it reports the rest).
bool sane(int64_t v, int64_t least = -kMaxSceneExtent) { return v >= least && v <= kMaxSceneExtent; }

std::string num(int64_t v) { return std::to_string(v); }
std::string shown(const std::string& gbk) { return "\"" + gbkToUtf8(gbk) + "\""; }

void checkScenes(const ContentCheckInput& in, const CheckReportFn& problem) {
  const auto entries = entryPoints(in);
  std::map<std::string, const CheckedScene*> byId;
  for (const auto& [path, s] : in.scenes) byId[s.id] = &s;
  for (const auto& [path, s] : in.scenes) {
    const SceneFile& scene = s.data;
    // A scene without a real size is reported by the geometry check; what
    // stands in it cannot be judged.
    if (!sane(scene.width, 1) || !sane(scene.depth, 1)) continue;
    auto it = entries.find(s.id);
    const SceneReach reach(scene, it == entries.end() ? std::vector<std::pair<int32_t, int32_t>>{} : it->second);
    for (size_t i = 0; i < scene.charas.size(); ++i) {
      const SceneFile::CharaEntry& e = scene.charas[i];
      if (!sane(e.x) || !sane(e.z)) continue;  // far beyond any scene: reported as such
      if (std::string why = reach.pointProblem(e.x, e.z); !why.empty())
        problem(s.file, "enemy " + num(static_cast<int64_t>(i)),
                "the enemy " + shown(e.id) + " at " + why + ": the player cannot reach it, and the scene's doors "
                "open only when every enemy is gone");
    }
    for (size_t i = 0; i < scene.props.size(); ++i) {
      const SceneFile::PropEntry& p = scene.props[i];
      if (!sane(p.x) || !sane(p.z)) continue;
      if (std::string why = reach.reachProblem(p.x, p.z, kPropReachX, kPropReachZ); !why.empty())
        problem(s.file, "prop " + num(static_cast<int64_t>(i)), "the prop at " + why + ": the player cannot reach it");
    }
    for (size_t i = 0; i < scene.doors.size(); ++i) {
      const SceneFile::DoorEntry& d = scene.doors[i];
      const std::string where = "door " + num(static_cast<int64_t>(i));
      if (!sane(d.x) || !sane(d.z) || !sane(d.entryX) || !sane(d.entryZ)) continue;
      if (std::string why = reach.reachProblem(d.x, d.z, World::kDoorReachX, World::kDoorReachZ); !why.empty())
        problem(s.file, where, "the door to " + shown(d.targetScene) + " at " + why + ": the player cannot use it");
      auto target = byId.find(d.targetScene);
      if (target == byId.end()) continue;  // reported as a missing scene
      const SceneReach ground(target->second->data, std::vector<std::pair<int32_t, int32_t>>{});
      if (std::string why = ground.standingProblem(d.entryX, d.entryZ); !why.empty())
        problem(s.file, where, "the entry point " + why + " of scene " + shown(d.targetScene) +
                                   ": the player would arrive where no one can stand");
    }
  }
}

void checkAiRanges(const ContentCheckInput& in, const CheckReportFn& problem) {
  for (const auto& [path, c] : in.charas) {
    for (size_t r = 0; r < c.data.aiRules.size(); ++r) {
      const AiRule& rule = c.data.aiRules[r];
      const std::string where = "ai rule " + num(static_cast<int64_t>(r));
      if (rule.minDx > rule.maxDx)
        problem(c.file, where, "the range dx=" + num(rule.minDx) + ".." + num(rule.maxDx) +
                                   " is reversed: no distance lies in it, so the rule never fires (write dx=" +
                                   num(rule.maxDx) + ".." + num(rule.minDx) + ")");
      if (rule.minDz > rule.maxDz)
        problem(c.file, where, "the range dz=" + num(rule.minDz) + ".." + num(rule.maxDz) +
                                   " is reversed: no distance lies in it, so the rule never fires (write dz=" +
                                   num(rule.maxDz) + ".." + num(rule.minDz) + ")");
    }
  }
}

void checkSharedSets(const ContentCheckInput& in, const CheckReportFn& warning) {
  // Resource entries: two sets under one name read the same folder of pictures.
  if (!in.catalog) return;
  std::map<std::string, size_t> named;
  for (size_t i = 0; i < in.catalog->entries.size(); ++i) {
    const ResourceEntry& e = in.catalog->entries[i];
    if (e.name.empty()) continue;
    auto [at, fresh] = named.emplace(e.name, i);
    if (!fresh)
      warning("data/res.dat", "set " + num(static_cast<int64_t>(i)),
              "its name " + shown(e.name) + " is also the name of set " + num(static_cast<int64_t>(at->second)) +
                  ": both read their pictures and sounds from the same folder");
  }
}

}  // namespace

std::map<std::string, std::vector<std::pair<int32_t, int32_t>>> entryPoints(const ContentCheckInput& in) {
  std::map<std::string, std::vector<std::pair<int32_t, int32_t>>> entries;
  entries[in.rules.firstScene].emplace_back(in.rules.playerX, in.rules.playerZ);
  for (const auto& [path, s] : in.scenes)
    for (const SceneFile::DoorEntry& d : s.data.doors) entries[d.targetScene].emplace_back(d.entryX, d.entryZ);
  return entries;
}

void checkContent(const ContentCheckInput& in, const CheckReportFn& problem, const CheckReportFn& warning) {
  checkScenes(in, problem);
  checkAiRanges(in, problem);
  checkSharedSets(in, warning);
}
