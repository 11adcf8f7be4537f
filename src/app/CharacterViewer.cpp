#include "app/CharacterViewer.h"

#include <algorithm>
#include <filesystem>

#include "app/GameDataFiles.h"
#include "base/DataPath.h"
#include "base/TextCodec.h"
#include "base/DataLayers.h"
#include "format/ResourceCatalog.h"
#include "format/RulesText.h"
#include "object/Chara.h"
#include "object/ScriptNumber.h"
#include "world/RulesFile.h"

namespace {

constexpr int kMessageFrames = 300;

bool hasCodes(const CharaData& d, int32_t n) {
  return n >= 0 && static_cast<size_t>(n) < d.actions.size() && !d.actions[static_cast<size_t>(n)].codes.empty();
}

}  // namespace

CharacterViewer::CharacterViewer(HGE* engine, const std::string& id, bool watch, const DataLayers* files)
    : engine_(engine), idText_(id), watch_(watch), layers_(files) {
  if (!utf8ToGbk(id, id_)) id_ = id;  // dataFilePath refuses it with the reason
}

// Everything drawn with the engine goes before the engine does.
CharacterViewer::~CharacterViewer() {
  overlay_.reset();
  renderer_.reset();
  world_.reset();
}

void CharacterViewer::show(const std::string& message, bool error) {
  message_ = message;
  messageIsError_ = error;
  messageFrames_ = kMessageFrames;
  engine_->System_Log("%s", message.c_str());
}

bool CharacterViewer::load(std::string& error) {
  Expected<std::string> path = dataFilePath(DataFileKind::Chara, id_);
  if (!path) {
    error = "character id " + path.error().file + ": " + path.error().what;
    return false;
  }
  // All or nothing, as the game's reload: every data file must read.
  for (const DataFileRef& file : listDataFiles()) {
    if (std::string problem = dataFileProblem(file); !problem.empty()) {
      error = problem;
      return false;
    }
  }
  if (layers_ ? !layers_->layerOf(*path) : !std::filesystem::exists(*path)) {
    error = *path + ": no such character file";
    return false;
  }
  Expected<GameRules> rules = readGameRules(layers_);
  if (!rules) {
    error = textLineMessage(rules.error());
    return false;
  }
  auto catalog = readResourceList([](const std::string&) {}, layers_);
  if (!catalog) {
    error = catalog.error().message();
    return false;
  }
  std::error_code ec;
  if (std::filesystem::exists(rules->packFile, ec))
    engine_->Resource_AttachPack(rules->packFile.c_str(), rules->packPassword.c_str());

  WorldServices services;
  services.log = [engine = engine_](const std::string& line) { engine->System_Log("%s", line.c_str()); };
  // Nothing in the viewer draws chance (no enemy thinks); a fixed answer keeps it so.
  services.random = [](int lo, int) { return lo; };
  services.files = layers_;
  // The folder's instructions play as in its game (the extended ones only when switched on).
  GameRules played;
  played.extendedInstructions = rules->extendedInstructions;
  auto world = std::make_unique<World>(std::move(services), World::Bare{}, std::move(*catalog), std::move(played));
  world->width = 800;
  world->depth = 480;
  world->effectVolume = rules->effectVolume;
  Chara* chara = world->createChara(id_, 0, kStageX, kStageZ);
  if (!chara) {
    error = *path + ": cannot be made into a character (the log says why)";
    return false;
  }
  renderer_.reset();
  world_ = std::move(world);
  renderer_ = std::make_unique<WorldRenderer>(engine_, world_->catalog);
  chara_ = chara;
  if (!hasCodes(*chara_->data, selected_)) {
    selected_ = 0;
    if (!hasCodes(*chara_->data, 0)) selectAction(1);
  }
  restart();
  if (watch_) files_.look();
  return true;
}

void CharacterViewer::restart() {
  if (!chara_) return;
  Chara& c = *chara_;
  c.x = kStageX;
  c.y = 0;
  c.z = kStageZ;
  c.vx = c.vy = c.vz = 0;
  c.ax = c.ay = c.az = 0;
  c.freeze = 0;
  c.landArmed = c.hitArmed = false;
  c.hit.active = false;
  c.setFacing(mirrored_ ? 1 : 0);
  c.setAction(selected_);
  // The action's first instructions run at once, as in the game, so its
  // first picture is what shows.
  c.step();
  c.placeOnScreen();
  actionFrames_ = 0;
}

void CharacterViewer::select(int32_t action) {
  if (!chara_ || !hasCodes(*chara_->data, action)) return;
  selected_ = action;
  restart();
}

void CharacterViewer::selectAction(int direction) {
  if (!chara_) return;
  const int32_t count = static_cast<int32_t>(chara_->data->actions.size());
  for (int32_t n = selected_ + direction; n >= 0 && n < count; n += direction) {
    if (hasCodes(*chara_->data, n)) {
      select(n);
      return;
    }
  }
}

void CharacterViewer::toggleMirror() {
  mirrored_ = !mirrored_;
  if (chara_) {
    chara_->setFacing(mirrored_ ? 1 : 0);
    chara_->placeOnScreen();
  }
}

void CharacterViewer::runFrame() {
  if (!world_ || !chara_) return;
  world_->update();
  ++framesRun_;
  ++actionFrames_;
  playWorldSounds(engine_, renderer_->pictures(), *world_);
  // The script moves the character; the viewer keeps it on its spot (a jump
  // still rises and falls).
  chara_->x = kStageX;
  chara_->z = kStageZ;
  chara_->placeOnScreen();
  if (chara_->action != selected_ || chara_->finished) restart();
}

void CharacterViewer::stepFrame() {
  clock_.modderPaused = true;
  runFrame();
}

void CharacterViewer::stepPicture() {
  clock_.modderPaused = true;
  if (!chara_) return;
  const int32_t action = chara_->action, pc = chara_->pc;
  for (int i = 0; i < kMaxFramesToNextPicture; ++i) {
    runFrame();
    if (chara_->action != action || chara_->pc != pc) return;
  }
}

void CharacterViewer::readKeys() {
  auto pressed = [this](std::initializer_list<int> keys) {
    for (int k : keys)
      if (engine_->Input_KeyDown(k)) return true;
    return false;
  };
  if (pressed({'W', HGEK_UP})) selectAction(-1);
  if (pressed({'S', HGEK_DOWN})) selectAction(1);
  if (pressed({'P', HGEK_SPACE, HGEK_F1 + 1})) togglePause();
  if (pressed({'N', HGEK_F1 + 2})) stepFrame();
  if (pressed({'D', HGEK_RIGHT})) stepPicture();
  if (pressed({'L', HGEK_F1 + 3})) toggleSlow();
  if (pressed({'M'})) toggleMirror();
  if (pressed({'R'})) restart();
  if (pressed({'B', HGEK_F1})) boxes_ = !boxes_;
  bool reload = pressed({HGEK_F1 + 4});
  std::string why = "F5";
  if (watch_ && frames_ % 100 == 0) {
    const std::vector<std::string> changed = files_.changes();
    if (!changed.empty()) {
      reload = true;
      why = changed.front() + (changed.size() > 1 ? " and " + std::to_string(changed.size() - 1) + " more" : "") +
            " changed";
    }
  }
  if (reload) {
    std::string error;
    if (load(error))
      show(why + ": reloaded", false);
    else
      show(why + ": reload failed: " + error + "; the viewer goes on with the data it had", true);
    if (watch_) files_.look();
  }
}

bool CharacterViewer::frame() {
  ++frames_;
  if (messageFrames_ > 0 && --messageFrames_ == 0) message_.clear();
  if (engine_->Input_KeyDown(HGEK_ESCAPE)) return true;
  readKeys();
  if (clock_.runsThisFrame()) runFrame();
  return false;
}
