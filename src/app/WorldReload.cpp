#include "app/WorldReload.h"

#include <algorithm>
#include <filesystem>

#include "app/GameDataFiles.h"
#include "format/RulesText.h"
#include "object/Chara.h"
#include "render/WorldRenderer.h"
#include "world/RulesFile.h"

namespace {

const char* const kKeptOn = "; the game goes on with the data it had";

}  // namespace

WorldReload::WorldReload(HGE* engine, RandomInt random, bool invincible, const DataLayers* files)
    : engine_(engine), random_(std::move(random)), invincible_(invincible), files_(files) {}

WorldReload::Result WorldReload::reload(ScreenFlow& flow) {
  const World* old = flow.world();
  if (!old || !old->ready()) return {false, "nothing to reload: no game is running"};

  for (const DataFileRef& file : listDataFiles())
    if (std::string problem = dataFileProblem(file); !problem.empty()) return {false, problem + kKeptOn};
  Expected<GameRules> read = readGameRules(files_);
  if (!read) return {false, textLineMessage(read.error()) + kKeptOn};
  GameRules rules = std::move(*read);
  rules.playerInvincible = invincible_;
  const World::SceneStart start = old->sceneStart;
  rules.firstScene = start.sceneId;
  rules.playerX = start.x;
  rules.playerZ = start.z;

  // The pack, when there is one; the game also runs from loose files.
  std::error_code ec;
  if (std::filesystem::exists(rules.packFile, ec) &&
      !engine_->Resource_AttachPack(rules.packFile.c_str(), rules.packPassword.c_str()))
    return {false, rules.packFile + ": the pack cannot be opened (the log says why)" + kKeptOn};

  WorldServices services;
  services.log = [engine = engine_](const std::string& line) { engine->System_Log("%s", line.c_str()); };
  services.random = random_;
  services.files = files_;
  auto world = std::make_unique<World>(rules, std::move(services));
  if (!world->ready()) return {false, world->startError + kKeptOn};

  world->hud.score = start.score;
  world->hud.kills = start.kills;
  world->hud.power = start.power;
  // The other seats that play come back in, with their numbers as they are now.
  for (int n = 2; n <= kMaxSeats; ++n) {
    const Seat& was = old->seat(n);
    if (was.state != Seat::PLAYING || !world->join(n)) continue;
    Hud& hud = world->seat(n).hud;
    hud.score = was.hud.score;
    hud.kills = was.hud.kills;
    hud.power = was.hud.power;
  }
  world->continuesLeft = old->continuesLeft;
  const Chara* oldPlayer = old->seat(1).hud.player;
  if (Chara* player = world->seat(1).hud.player; player && oldPlayer) {
    const bool enteredFull = start.playerHp >= oldPlayer->data->maxHp;
    if (!enteredFull) player->hp = std::max(0, std::min(start.playerHp, player->data->maxHp));
  }
  world->sceneStart.score = start.score;
  world->sceneStart.kills = start.kills;
  world->sceneStart.power = start.power;
  world->sceneStart.playerHp = world->seat(1).hud.player ? world->seat(1).hud.player->hp : 0;

  auto renderer = std::make_unique<WorldRenderer>(engine_, world->catalog);
  const std::string scene = world->name;
  flow.replaceWorld(std::move(world), std::move(renderer));
  return {true, "reloaded: scene \"" + scene + "\" starts again"};
}
