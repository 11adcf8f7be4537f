#include "render/WorldRenderer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "base/TextCodec.h"
#include "object/ScriptNumber.h"
#include "render/SeatLook.h"
#include "render/SeatMarks.h"
#include "render/SeatPanels.h"
#include "render/StageSigns.h"
#include "render/HeldWeapons.h"

namespace {

constexpr uint32_t kShadowColor = 0x64000000;  // black, alpha 100 of 255
constexpr uint32_t kBodyColor = 0xFFFFFFFF;
constexpr float kShadowScaleY = 0.2f;
constexpr uint32_t kScoreColor = 0xFF000000;
constexpr const char* kFontFile = "font1.fnt";
// A heavy blow shakes the scene for this many of the world's steps, at most this many pixels.
constexpr int32_t kShakeSteps = 14;
constexpr float kShakePixels = 5;
// A fighter protected after getting up blinks: shown dimmed every other few frames.
constexpr int32_t kBlinkFrames = 4;
constexpr uint32_t kBlinkColor = 0x60FFFFFF;

}  // namespace

WorldRenderer::WorldRenderer(HGE* engine, const ResourceCatalog& catalog)
    : engine_(engine),
      pictures_(engine, catalog),
      hud_(engine),
      scoreFont_(engine, kFontFile, false),
      objectSprite_(engine, 0, 0, 0, 0, 0),
      scenerySprite_(engine, 0, 0, 0, 0, 0) {
  scoreFont_.setColor(kScoreColor);
}

void WorldRenderer::updateShake(const World& world) {
  if (world.feel.step != shakeSeenStep_) {
    shakeSeenStep_ = world.feel.step;
    if (shakeLeft_ > 0) --shakeLeft_;
    if (world.feel.heavyBlows > 0 && world.rules.fair.screenShake && shakeAllowed_) shakeLeft_ = kShakeSteps;
  }
  if (shakeLeft_ <= 0 || !shakeAllowed_) {
    shakeX_ = shakeY_ = 0;
    return;
  }
  // Side to side and a little up and down, dying away.
  const float size = kShakePixels * static_cast<float>(shakeLeft_) / kShakeSteps;
  shakeX_ = std::round((shakeLeft_ % 2 ? size : -size));
  shakeY_ = std::round((shakeLeft_ % 4 < 2 ? size : -size) * 0.5f);
}

void WorldRenderer::draw(const World& world) {
  updateShake(world);
  blinkProtected_ = world.rules.fair.wakeUpProtection > 0 || world.rules.fair.enemyWakeUpProtection > 0;
  const bool together = playingTogether(world);
  drawScenery(world, false);
  for (const Obj* o : world.objects) drawObject(*o, together ? fighterSeat(world, *o) : 0);
  drawScenery(world, true);
  drawStageSigns(engine_, scoreFont_, world);
  if (!together) {
    hud_.drawPanel(world.hud, PanelPlace{}, 0xFFFFFFFF, world.rules.playerId, &world.rules.fair);
    hud_.drawTargetName(world.hud, world.rules.fair, scoreFont_);
    scoreFont_.setColor(kScoreColor);
    scoreFont_.drawFormatted(HudLayout::scoreX, HudLayout::scoreY, AlignRight, "Score = %d  ", world.hud.score);
    drawHeldWeapons(engine_, world, pictures_, scoreFont_, objectSprite_, false);
    scoreFont_.setColor(kScoreColor);
    return;
  }
  // The names over the fighters stay readable in front of the near scenery.
  std::vector<std::array<float, 2>> tags;
  for (const Obj* o : world.objects) {
    const int seat = fighterSeat(world, *o);
    if (!seat || o->data->id.empty()) continue;
    const HTEXTURE tex = pictures_.set(o->data->pictureSet).texture(static_cast<uint32_t>(o->picture));
    const float pictureTop = static_cast<float>(o->sy + o->z + o->frameDy - (tex ? engine_->Texture_GetHeight(tex) : 0));
    const float cx = static_cast<float>(o->sx);
    drawSeatTag(scoreFont_, seat, cx, unclutteredTagRow(tags, cx, headRow(*o, pictureTop)), kScoreColor);
  }
  drawSeatPanels(engine_, world, hud_, scoreFont_, kScoreColor);
  drawHeldWeapons(engine_, world, pictures_, scoreFont_, objectSprite_, true);
  scoreFont_.setColor(kScoreColor);
}

void WorldRenderer::drawScenery(const World& world, bool nearPart) {
  auto drawPicture = [this](const World::SceneryPicture& s, double x, double y) {
    const HTEXTURE tex = pictures_.texture(s.pictureSet, s.picture);
    scenerySprite_.setTexture(tex);
    scenerySprite_.setRegion(0, 0, static_cast<float>(engine_->Texture_GetWidth(tex)),
                             static_cast<float>(engine_->Texture_GetHeight(tex)));
    // On whole pixels: the screen filters textures linearly, so a strip drawn
    // at half a pixel would blend its edge with the empty ground beyond it, and
    // two strips that meet would show the background through a light seam.
    // Every strip of a layer moves by the same camera offset, so flooring keeps
    // them edge to edge.
    scenerySprite_.draw(static_cast<float>(std::floor(x)) + shakeX_, static_cast<float>(std::floor(y)) + shakeY_);
  };
  if (!nearPart) {
    if (!world.scenePath.empty()) {
      // The fixed background: the top-left 800x480 of its picture.
      scenerySprite_.setTexture(pictures_.texture(world.pictureSet, world.backgroundPicture));
      scenerySprite_.setRegion(0, 0, 800, 480);
      scenerySprite_.draw(shakeX_, shakeY_);
    }
    for (const World::SceneryPicture& s : world.layers[World::FAR]) drawPicture(s, s.x - world.cameraX * 0.5, s.y - world.cameraY);
    for (const World::SceneryPicture& s : world.layers[World::MIDDLE]) drawPicture(s, s.x - world.cameraX, s.y - world.cameraY);
  } else {
    for (const World::SceneryPicture& s : world.layers[World::NEAR]) drawPicture(s, s.x - world.cameraX, s.y - world.cameraY);
  }
}

void WorldRenderer::drawObject(const Obj& o, int seat) {
  if (o.data->id.empty()) return;  // made from a file that could not be read: nothing to show
  const PictureSet& set = pictures_.set(o.data->pictureSet);
  if (set.texture(0) == 0 && missingPictureReported_.insert(o.id()).second) {
    // Once per character id: a spark file without pictures would otherwise
    // raise a message for every spark.
    // The box keeps its fixed words; the log says whose picture is missing.
    engine_->System_Log("missing picture: character \"%s\" has no picture 0 in its picture set %d",
                        gbkToUtf8(o.id()).c_str(), static_cast<int>(o.data->pictureSet));
    engine_->System_MessageBox("对象无此纹理", "错误");
  }
  // A picture number outside the picture set (or a picture that failed to
  // load) draws nothing, shadow included.
  const HTEXTURE tex = set.texture(static_cast<uint32_t>(o.picture));
  if (tex == 0) return;
  const double w = engine_->Texture_GetWidth(tex);
  const double h = engine_->Texture_GetHeight(tex);
  const bool mirrored = o.facing != 0;
  SpriteQuad& s = objectSprite_;
  s.setTexture(tex);
  s.setRegion(0, 0, static_cast<float>(w), static_cast<float>(h));
  s.setBlendMode(o.additive ? BLEND_ALPHAADD : BLEND_ALPHABLEND);

  uint32_t bodyColor = o.tint;
  if (o.asChara()) {
    // The shadow: the current frame squashed to a fifth, translucent black,
    // on the ground line (it stays there while the fighter jumps).
    s.setColor(kShadowColor);
    s.setFlip(mirrored, true);
    const double px = mirrored ? o.sx - w / 2 - o.frameDx : o.sx - w / 2 + o.frameDx;
    s.drawScaled(static_cast<float>(toInt32(px)) + shakeX_, static_cast<float>(toInt32(o.sz)) + shakeY_, 1.0f,
                 kShadowScaleY);
    if (seat) drawSeatRing(engine_, static_cast<float>(o.sx), static_cast<float>(o.sz), seatColor(seat));
    // A fighter's body is drawn opaque, untinted but for its seat's colour.
    bodyColor = seat ? seatBodyTint(seat) : kBodyColor;
    const Chara* c = o.asChara();
    if (blinkProtected_ && c->protection > 0 && (c->protection / kBlinkFrames) % 2 == 1) bodyColor &= kBlinkColor;
  }
  s.setFlip(mirrored, false);
  s.setColor(bodyColor);
  const double px = mirrored ? o.sx - w / 2 - o.frameDx : o.sx - w / 2 + o.frameDx;
  const double py = o.sy + o.z - h + o.frameDy;
  s.draw(static_cast<float>(toInt32(px)) + shakeX_, static_cast<float>(toInt32(py)) + shakeY_);
}

void playWorldSounds(HGE* engine, PictureSets& pictures, const World& world) {
  playSounds(engine, pictures, world.sounds);
}

void playSounds(HGE* engine, PictureSets& pictures, const std::vector<SoundRequest>& asked) {
  for (size_t i = 0; i < asked.size(); ++i) {
    const SoundRequest& r = asked[i];
    // The same sound twice in one frame (one blow landing on two enemies)
    // would start together and only be louder: play it once.
    const bool playedAlready = std::any_of(asked.begin(), asked.begin() + static_cast<std::ptrdiff_t>(i), [&](const SoundRequest& e) {
      return e.pictureSet == r.pictureSet && e.index == r.index;
    });
    if (!playedAlready) playSound(engine, pictures, r);
  }
}

HCHANNEL playSound(HGE* engine, PictureSets& pictures, const SoundRequest& sound) {
  return engine->Effect_PlayEx(pictures.sound(sound.pictureSet, sound.index), sound.volume, 0, 1.0f, false);
}
