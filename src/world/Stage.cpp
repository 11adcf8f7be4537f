// The screen holds the fight: a scene divided into stretches (StageRules.h)
// stops the camera at each until its enemies are down. Enemies of a stretch
// the view has not come to yet stand where they are; once it has, they walk
// into the view and stay in it, and while the camera holds, the fighters
// cannot leave the view either.
#include <algorithm>

#include "world/World.h"

namespace {

// A held view keeps its stretch's enemies this far inside its edges.
constexpr double kEnemyEdge = 40;
// An enemy of a held stretch that is out of view waits no farther out than
// this, and walks in this many pixels a frame.
constexpr double kEntryMargin = 60;
constexpr double kWalkIn = 2.5;
// The "GO" sign shows this long after a stretch is cleared (4 seconds).
constexpr int32_t kGoFrames = 400;

}  // namespace

const SceneStage* World::stageOfScene() const {
  if (rules.stage.scenes.empty()) return nullptr;
  const SceneStage* s = rules.stage.scene(sceneIdOfPath(scenePath));
  return s && !s->stretches.empty() ? s : nullptr;
}

void World::startStretches() {
  stage = StageState{};
  const SceneStage* s = stageOfScene();
  if (!s) return;
  // The first stretch with an enemy that was made (an enemy whose file
  // could not be read is no reason to hold the camera).
  for (size_t i = 0; i < s->stretches.size() && stage.stretch < 0; ++i)
    for (size_t e = fighters_; e < charas.size(); ++e)
      if (charas[e]->stretch == static_cast<int32_t>(i)) stage.stretch = static_cast<int32_t>(i);
}

void World::holdCamera() {
  if (stage.stretch < 0) return;
  const SceneStage* s = stageOfScene();
  if (!s || static_cast<size_t>(stage.stretch) >= s->stretches.size()) return;
  const StretchRule& r = s->stretches[static_cast<size_t>(stage.stretch)];
  const double rightmost = std::max(0.0, static_cast<double>(width) - screenWidth);
  const double left = std::clamp(static_cast<double>(r.to) - screenWidth, 0.0, rightmost);
  if (cameraX + screenWidth >= r.from) stage.reached = true;
  if (stage.held || cameraX >= left) {
    cameraX = left;
    stage.held = true;
    stage.reached = true;
    stage.goFrames = 0;
  }
}

void World::holdStretchInView() {
  // Once the view has come to the stretch its enemies are in it or walking
  // into it; once the camera holds, the fighters stay in it too.
  if (!stage.reached) return;
  const double viewLeft = cameraX, viewRight = cameraX + screenWidth;
  for (size_t i = 0; i < fighters_ && stage.held; ++i) {
    Chara* f = charas[i];
    const double held = std::clamp(f->x, viewLeft + kViewEdge, viewRight - kViewEdge);
    if (held == f->x) continue;
    f->x = held;
    f->placeOnScreen();
  }
  const double lo = viewLeft + kEnemyEdge, hi = viewRight - kEnemyEdge;
  for (size_t i = fighters_; i < charas.size(); ++i) {
    Chara* e = charas[i];
    if (e->stretch != stage.stretch || e->finished) continue;
    // Out of the view it walks in from just past the nearer edge; in the view it stays clear of the edges.
    double x = e->x;
    if (x < viewLeft)
      x = std::min(std::max(x, viewLeft - kEntryMargin) + kWalkIn, lo);
    else if (x > viewRight)
      x = std::max(std::min(x, viewRight + kEntryMargin) - kWalkIn, hi);
    else
      x = std::clamp(x, lo, hi);
    if (x == e->x) continue;
    e->x = x;
    e->placeOnScreen();
  }
}

void World::releaseClearedStretch() {
  if (stage.stretch < 0) return;
  for (size_t i = fighters_; i < charas.size(); ++i)
    if (charas[i]->stretch == stage.stretch) return;
  const SceneStage* s = stageOfScene();
  const int32_t count = s ? static_cast<int32_t>(s->stretches.size()) : 0;
  int32_t next = -1;
  for (int32_t k = stage.stretch + 1; k < count && next < 0; ++k)
    for (size_t i = fighters_; i < charas.size(); ++i)
      if (charas[i]->stretch == k) next = k;
  stage.stretch = next;
  stage.held = false;
  stage.reached = false;
  if (next >= 0 || !doors.empty()) stage.goFrames = kGoFrames;
  // The last stretch's last enemy: a beat with the doors seen opening before
  // anyone can take them (or the game ends).
  if (next < 0 && enemyCount() == 0) stage.beatFrames = rules.stage.beatFrames;
}

bool World::stretchAwake(const Chara& enemy) const {
  if (enemy.stretch < 0) return true;
  if (enemy.stretch != stage.stretch) return false;
  if (stage.held) return true;
  // Before the camera holds, the stretch's enemies act once the view has come to it.
  return stage.reached;
}
