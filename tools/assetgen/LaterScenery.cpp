#include "LaterScenery.h"

#include "Scenery.h"

namespace assetgen {

namespace scenery {

void addScenePictures(Manifest& mf, const std::string& name, const std::string& about, const ScenePictures& p,
                      const SceneAbout& what) {
  mf.set(name, about);
  mf.addPicture(name, "bg.png", "background, 800x480, fixed", p.background);
  mf.addPicture(name, "far.png", "far layer strip, 700x210: place at y 90, x 0, 700, ... (half-speed scroll)", p.far);
  mf.addPicture(name, "floor.png", "floor strip, 400x194: place at y 286, every 400 along the scene", p.floor);
  for (int i = 0; i < 3; ++i)
    mf.addPicture(name, "building_" + std::to_string(i) + ".png",
                  "middle-layer front " + std::to_string(i) + " (" + what.fronts[i] + "), " +
                      std::to_string(p.fronts[i].width()) + "x" + std::to_string(p.fronts[i].height()) +
                      ", stands on y 286",
                  p.fronts[i]);
  mf.addPicture(name, "fence.png", what.back + ", 400x90: place at y 200", p.back);
  mf.addPicture(name, "gate.png", what.gate + ", 220x316: place at y 0", p.gate);
  mf.addPicture(name, "near_0.png",
                "near piece: " + what.near0 + ", " + std::to_string(p.near0.width()) + "x" +
                    std::to_string(p.near0.height()),
                p.near0);
  mf.addPicture(name, "near_1.png",
                "near piece: " + what.near1 + ", " + std::to_string(p.near1.width()) + "x" +
                    std::to_string(p.near1.height()) + ": place at y 0, where it covers only the bottom rows",
                p.near1);
}

}  // namespace scenery

void makeLaterScenery(Manifest& manifest) {
  scenery::makeMarket(manifest);
  scenery::makeRooftop(manifest);
  scenery::makeYard(manifest);
  scenery::makeWarehouse(manifest);
}

}  // namespace assetgen
