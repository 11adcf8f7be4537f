// The heads-up display and the player's key-command buffer.
#include "world/Hud.h"

#include "object/Chara.h"

namespace {

// A sprite over the display's fixed rectangle (0, 0, width, height) of a
// picture from the pack: a larger picture is cut to it. A missing picture
// leaves its part of the display undrawn.
SpriteQuad loadPicture(HGE* engine, const char* path, float width, float height) {
  const HTEXTURE tex = engine->Texture_Load(path, 0, false);
  if (!tex) engine->System_Log("The display's picture %s is missing: that part is not drawn", path);
  return SpriteQuad(tex, 0.0f, 0.0f, tex ? width : 0.0f, tex ? height : 0.0f);
}

// The length of a hit-point bar `full` pixels long. A character without
// sensible full hit points shows an empty bar; the ratio stays within 0..1.
float barLength(const Chara* c, float full) {
  if (!c || !c->data || c->data->maxHp <= 0) return 0.0f;
  double ratio = static_cast<double>(c->hp) / static_cast<double>(c->data->maxHp);
  if (ratio < 0) ratio = 0;
  if (ratio > 1) ratio = 1;
  return static_cast<float>(ratio * full);
}

constexpr int kCommandKeys[8] = {HGEK_W, HGEK_S, HGEK_A, HGEK_D, HGEK_J, HGEK_K, HGEK_U, HGEK_I};
constexpr int32_t kCommandForgetFrames = 30;  // empty after 31 frames without a key

}  // namespace

Hud::Hud(HGE* engine, Chara* player_)
    : player(player_),
      base(loadPicture(engine, "pak/ui/hta/base.png", 362, 178)),
      hp(loadPicture(engine, "pak/ui/hta/hp.png", 169, 7)),
      sp(loadPicture(engine, "pak/ui/hta/sp.png", 169, 5)),
      cp(loadPicture(engine, "pak/ui/hta/cp.png", 64, 7)),
      mhp(loadPicture(engine, "pak/ui/hta/m_hp.png", 169, 10)) {
  commands.fill(CMD_EMPTY);
}

// The display's pictures go with the world that made it.
Hud::~Hud() {
  HGE* engine = hgeCreate(HGE_VERSION);
  for (const SpriteQuad* s : {&base, &hp, &sp, &cp, &mhp})
    if (s->texture()) engine->Texture_Free(s->texture());
  engine->Release();
}

void Hud::draw() {
  // A picture that did not load is left out rather than drawn as a white block.
  auto drawLoaded = [](SpriteQuad& s, float x, float y) {
    if (s.texture()) s.draw(x, y);
  };
  hp.setRegion(0, 0, barLength(player, 169.0f), 7);
  drawLoaded(base, 0, 0);
  if (target) {
    mhp.setRegion(0, 0, barLength(target, 169.0f), 10);
    drawLoaded(mhp, 43, 146);
  }
  drawLoaded(hp, 125, 17);
  cp.setRegion(0, 0, static_cast<float>(static_cast<double>(power) / MAX_POWER * 64.0), 7);
  drawLoaded(sp, 125, 31);
  drawLoaded(cp, 197, 41);
}

void Hud::pushCommand(int32_t code) {
  for (size_t k = 0; k + 1 < commands.size(); ++k) commands[k] = commands[k + 1];
  commands[9] = code;
  commandTimer = 0;
}

void Hud::updateCommands(HGE* engine) {
  commandTimer += 1;
  if (commandTimer > kCommandForgetFrames) clearCommands();
  for (int32_t code = 0; code < 8; ++code) {
    if (engine->Input_KeyDown(kCommandKeys[code])) pushCommand(code);
  }
}

void Hud::clearCommands() {
  commands.fill(CMD_EMPTY);
  commandTimer = 0;
}
