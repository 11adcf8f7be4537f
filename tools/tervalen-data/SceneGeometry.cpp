#include "SceneGeometry.h"

namespace {

using Report = std::function<void(const std::string&, const std::string&)>;

std::string indexed(const char* what, size_t i) { return std::string(what) + " " + std::to_string(i); }

// A place in the scene: any sign, but within the absurdity bound.
void place(const Report& report, const std::string& where, const char* field, int32_t v) {
  if (v > kMaxSceneExtent || v < -kMaxSceneExtent)
    report(where, std::string(field) + "=" + std::to_string(v) + " is far beyond any scene (at most " +
                      std::to_string(kMaxSceneExtent) + " either way)");
}

// A size that may be 0 but not negative.
void extent(const Report& report, const std::string& where, const char* field, int32_t v) {
  if (v < 0)
    report(where, std::string(field) + "=" + std::to_string(v) + " is negative: the game's wall test needs a size of 0 or more");
  else if (v > kMaxSceneExtent)
    report(where, std::string(field) + "=" + std::to_string(v) + " is far beyond any scene (at most " +
                      std::to_string(kMaxSceneExtent) + ")");
}

}  // namespace

void checkSceneGeometry(const SceneFile& s, const Report& report) {
  for (auto [field, v] : {std::pair<const char*, int32_t>{"width", s.width}, {"depth", s.depth}}) {
    if (v <= 0 || v > kMaxSceneExtent)
      report("size", std::string(field) + "=" + std::to_string(v) + " is outside 1 to " +
                         std::to_string(kMaxSceneExtent) +
                         ": the ground, its border walls and the camera need a real size");
  }
  const char* layerNames[3] = {"far", "middle", "near"};
  const std::vector<SceneFile::SpriteEntry>* layers[3] = {&s.far, &s.middle, &s.near};
  for (int l = 0; l < 3; ++l) {
    for (size_t i = 0; i < layers[l]->size(); ++i) {
      const SceneFile::SpriteEntry& e = (*layers[l])[i];
      place(report, indexed(layerNames[l], i), "x", e.x);
      place(report, indexed(layerNames[l], i), "y", e.y);
    }
  }
  for (size_t i = 0; i < s.props.size(); ++i) {
    const SceneFile::PropEntry& p = s.props[i];
    place(report, indexed("prop", i), "x", p.x);
    place(report, indexed("prop", i), "z", p.z);
    place(report, indexed("prop", i), "y", p.y);
  }
  for (size_t i = 0; i < s.charas.size(); ++i) {
    place(report, indexed("enemy", i), "x", s.charas[i].x);
    place(report, indexed("enemy", i), "z", s.charas[i].z);
  }
  for (size_t i = 0; i < s.walls.size(); ++i) {
    const SceneFile::WallEntry& w = s.walls[i];
    place(report, indexed("wall", i), "x", w.x);
    place(report, indexed("wall", i), "z", w.z);
    extent(report, indexed("wall", i), "width", w.width);
    extent(report, indexed("wall", i), "depth", w.depth);
    place(report, indexed("wall", i), "height", w.height);  // stored; walls stop movement at every height
  }
  for (size_t i = 0; i < s.doors.size(); ++i) {
    const SceneFile::DoorEntry& d = s.doors[i];
    place(report, indexed("door", i), "x", d.x);
    place(report, indexed("door", i), "z", d.z);
    place(report, indexed("door", i), "entry-x", d.entryX);
    place(report, indexed("door", i), "entry-z", d.entryZ);
  }
}
