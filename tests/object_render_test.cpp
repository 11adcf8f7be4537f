// Where the renderer draws objects and their shadows, and the box test.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "RenderedWorld.h"

using namespace objtest;

namespace {

// Collects the quads the engine is handed while alive.
class QuadCapture {
 public:
  explicit QuadCapture(HGE* engine) : engine_(engine) {
    engine_->Gfx_SetCaptureHook([this](const hgeQuad& q) { quads.push_back(q); });
    engine_->Gfx_BeginScene();
  }
  ~QuadCapture() {
    engine_->Gfx_EndScene();
    engine_->Gfx_SetCaptureHook(nullptr);
  }
  std::vector<hgeQuad> quads;

 private:
  HGE* engine_;
};

struct RenderWorld : RenderedWorld {
  RenderWorld() { addPictureSet("s", {{100, 80}, {20, 10}}); }
};

bool mirroredX(const hgeQuad& q) { return q.v[0].tx > q.v[1].tx; }
bool mirroredY(const hgeQuad& q) { return q.v[0].ty > q.v[3].ty; }

}  // namespace

TEST(ObjectRender, TheBottomOfThePictureIsCentredOnTheObjectAndOffsetsFollowFacing) {
  RenderWorld w;
  // Picture 0 (100 x 80) with offsets 10 forward and 5 up.
  w.writeChara("fx", chara(1, 0, {act({frame(0, 0, 10, -5)})}));
  w.scene().cameraX = 200;
  w.scene().cameraY = 0;
  Obj* right = w.scene().createObj("fx", 0, 0, 0, 0, 200, 0, 0);
  Obj* left = w.scene().createObj("fx", 0, 0, 1, 0, 200, 0, 0);
  ObjectWorld::tick(right);
  ObjectWorld::tick(left);

  QuadCapture capture(w.engine());
  w.renderer().drawObject(*right);
  w.renderer().drawObject(*left);
  ASSERT_EQ(capture.quads.size(), 2u);  // a plain object has no shadow
  const hgeQuad& r = capture.quads[0];
  EXPECT_EQ(r.v[0].x, -40);
  EXPECT_EQ(r.v[0].y, -85);
  EXPECT_EQ(r.v[2].x, 60);
  EXPECT_EQ(r.v[2].y, -5);
  EXPECT_FALSE(mirroredX(r));
  const hgeQuad& l = capture.quads[1];
  EXPECT_EQ(l.v[0].x, -60);
  EXPECT_EQ(l.v[0].y, -85);
  EXPECT_TRUE(mirroredX(l));
  EXPECT_EQ(r.tex, w.picture(right, 0));
}

TEST(ObjectRender, ScreenPlacesAreTruncatedTowardZero) {
  RenderWorld w;
  w.writeChara("fx", chara(1, 0, {act({frame(1, 0)})}));  // 20 x 10
  Obj* o = w.scene().createObj("fx", 0, 0, 0, 0, 10.75, -3.5, 4.25);
  ObjectWorld::tick(o);
  QuadCapture capture(w.engine());
  w.renderer().drawObject(*o);
  ASSERT_EQ(capture.quads.size(), 1u);
  EXPECT_EQ(capture.quads[0].v[0].x, 0);   // 10.75 - 10 = 0.75 -> 0
  EXPECT_EQ(capture.quads[0].v[0].y, -9);  // -3.5 + 4.25 - 10 = -9.25 -> -9
}

TEST(ObjectRender, APictureOutsideThePictureSetDrawsNothingNotEvenAShadow) {
  RenderWorld w;
  std::vector<Action> actions(5, act({frame(9, 0)}));
  w.writeChara("fighter", chara(5, 0, actions));
  w.writeChara("fx", chara(1, 0, {act({frame(-1, 0)})}));
  Chara* c = w.scene().createChara("fighter", 1, 50, 50);
  Obj* o = w.scene().createObj("fx", 0, 0, 0, 0, 0, 0, 0);
  ObjectWorld::tick(c);
  ObjectWorld::tick(o);
  QuadCapture capture(w.engine());
  w.renderer().drawObject(*c);
  w.renderer().drawObject(*o);
  EXPECT_TRUE(capture.quads.empty());
}

TEST(ObjectRender, TheColourInstructionTintsAndStaysAdditiveForLife) {
  RenderWorld w;
  w.writeChara("fx", chara(1, 0, {act({op(10, {128, 255, 16, 1, 9, 9, 9, 9}), frame(1, 1), op(8, {1, 0})}),
                                  act({frame(0, 0)})}));
  Obj* o = w.scene().createObj("fx", 0, 0, 0, 0, 0, 0, 0);
  ObjectWorld::tick(o);
  EXPECT_TRUE(o->additive);
  o->setAction(1);
  ObjectWorld::tick(o, 3);
  QuadCapture capture(w.engine());
  w.renderer().drawObject(*o);
  ASSERT_EQ(capture.quads.size(), 1u);
  EXPECT_EQ(capture.quads[0].blend, BLEND_ALPHAADD);
  for (const hgeVertex& v : capture.quads[0].v) EXPECT_EQ(v.col, 0x80FF1001u);
}

TEST(CharaShadow, TheShadowStaysOnTheGroundLineWhileJumpingAndTheBodyIsDrawnWhite) {
  RenderWorld w;
  std::vector<Action> actions(5, act({frame(0, 0, 10, 0)}));
  actions[0] = act({op(10, {255, 1, 2, 3}), frame(0, 0, 10, 0)});  // a tint the body will not keep
  w.writeChara("fighter", chara(5, 0, actions));
  Chara* c = w.scene().createChara("fighter", 1, 300, 400);
  w.scene().cameraX = 100;
  ObjectWorld::tick(c);
  c->y = -30;
  c->vy = 0;
  ObjectWorld::tick(c);

  for (int32_t facing : {0, 1}) {
    c->setFacing(facing);
    QuadCapture capture(w.engine());
    w.renderer().drawObject(*c);
    ASSERT_EQ(capture.quads.size(), 2u);
    const hgeQuad& shadow = capture.quads[0];
    const hgeQuad& body = capture.quads[1];
    const float expectX = facing == 0 ? 200 - 50 + 10 : 200 - 50 - 10;
    EXPECT_EQ(shadow.v[0].x, expectX) << "facing " << facing;
    EXPECT_EQ(shadow.v[0].y, 400) << "facing " << facing;      // the ground line, not the jump height
    EXPECT_EQ(shadow.v[2].y, 400 + 16) << "facing " << facing;  // a fifth of 80
    EXPECT_EQ(shadow.v[2].x, expectX + 100) << "facing " << facing;
    for (const hgeVertex& v : shadow.v) EXPECT_EQ(v.col, 0x64000000u);
    EXPECT_TRUE(mirroredY(shadow));
    EXPECT_EQ(mirroredX(shadow), facing == 1);

    EXPECT_EQ(body.v[0].x, expectX) << "facing " << facing;
    EXPECT_EQ(body.v[0].y, -30 + 400 - 80) << "facing " << facing;
    for (const hgeVertex& v : body.v) EXPECT_EQ(v.col, 0xFFFFFFFFu);
    EXPECT_FALSE(mirroredY(body));
    EXPECT_EQ(mirroredX(body), facing == 1);
    EXPECT_EQ(body.blend, BLEND_ALPHAADD);  // the shadow leaves the blend mode alone
  }
}

TEST(MissingPicture, TheMessageIsShownOncePerCharacterId) {
  RenderedWorld w;
  w.addPictureSet("empty", {});
  w.writeChara("dim", chara(1, 0, {act({frame(0, 5)})}));
  w.writeChara("dark", chara(1, 0, {act({frame(0, 5)})}));
  World& s = w.scene();
  for (int i = 0; i < 5; ++i) ASSERT_NE(s.createObj("dim", 0, 0, 0, 0, 0, 0, 0), nullptr);
  ASSERT_NE(s.createObj("dark", 0, 0, 0, 0, 0, 0, 0), nullptr);
  // The renderer says it when it first draws a character without its picture 0.
  w.render();
  w.render();
  EXPECT_EQ(w.logCount("对象无此纹理"), 2u) << w.log();
  // The fixed message names nobody: the log says whose picture is missing, once each.
  EXPECT_EQ(w.logCount("character \"dim\" has no picture 0 in its picture set 0"), 1u) << w.log();
  EXPECT_EQ(w.logCount("character \"dark\" has no picture 0 in its picture set 0"), 1u) << w.log();
}

TEST(ObjectRender, AnObjectWithoutItsFileOrWithAbsurdNumbersDrawsNothingOrSafely) {
  RenderWorld w;
  Obj ghost(&w.scene(), "ghost", 0, 0, 0, 0, 0, 0);
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  w.writeChara("odd", chara(1, 0, {act({frame(0, 0, 1e300, -1e300)})}));
  Obj* odd = w.scene().createObj("odd", 0, 0, 0, 0, 0, 0, 0);
  ObjectWorld::tick(odd);
  odd->x = inf;
  odd->y = nan;
  odd->placeOnScreen();
  QuadCapture capture(w.engine());
  w.renderer().drawObject(ghost);
  EXPECT_TRUE(capture.quads.empty()) << "a file that could not be read shows nothing";
  w.renderer().drawObject(*odd);
  ASSERT_EQ(capture.quads.size(), 1u);
  EXPECT_FLOAT_EQ(capture.quads[0].v[0].x, static_cast<float>(INT32_MAX)) << "saturated, not undefined";
  EXPECT_FLOAT_EQ(capture.quads[0].v[0].y, 0) << "NaN reads as 0";
}

TEST(BoxOverlap, TouchingBoxesDoNotOverlapOnAnyAxis) {
  const Box a{0, 0, 0, 10, 20, 30};
  // Centres exactly half the summed extents apart on one axis: touching.
  EXPECT_FALSE(overlaps(a, Box{10, 0, 0, 10, 20, 30}));
  EXPECT_FALSE(overlaps(a, Box{0, 20, 0, 10, 20, 30}));
  EXPECT_FALSE(overlaps(a, Box{0, 0, 30, 10, 20, 30}));
  EXPECT_FALSE(overlaps(a, Box{-10, 0, 0, 10, 20, 30}));
  // Slightly closer on that axis, overlapping on the others: they overlap.
  EXPECT_TRUE(overlaps(a, Box{9.999, 0, 0, 10, 20, 30}));
  EXPECT_TRUE(overlaps(a, Box{0, -19.999, 0, 10, 20, 30}));
  EXPECT_TRUE(overlaps(a, Box{0, 0, 29.999, 10, 20, 30}));
  // Overlapping on two axes is not enough.
  EXPECT_FALSE(overlaps(a, Box{5, 5, 31, 10, 20, 30}));
  EXPECT_FALSE(overlaps(a, Box{5, 25, 5, 10, 20, 30}));
  EXPECT_FALSE(overlaps(a, Box{11, 5, 5, 10, 20, 30}));
}

TEST(BoxOverlap, ABoxOfDepthZeroNeedsTheOtherDeeperThanTwiceTheirDistance) {
  const Box flat{0, 0, 0, 10, 10, 0};
  EXPECT_TRUE(overlaps(flat, Box{0, 0, 4, 10, 10, 8.01}));
  EXPECT_FALSE(overlaps(flat, Box{0, 0, 4, 10, 10, 8}));
  EXPECT_FALSE(overlaps(flat, Box{0, 0, 0, 10, 10, 0}));  // two flat boxes never overlap
}

TEST(WorldBoxes, BoxOffsetsFollowFacingAndPosition) {
  RenderWorld w;
  w.writeChara("fx", chara(1, 0, {act({op(2, {10, -20, 30, 40, 50}), op(3, {15, -5, 6, 7, 8, 9}), frame(0, 0)})}));
  Obj* right = w.scene().createObj("fx", 0, 0, 0, 0, 100, -2, 300);
  Obj* left = w.scene().createObj("fx", 0, 0, 1, 0, 100, -2, 300);
  right->step();
  left->step();
  const Box rb = right->worldBody();
  EXPECT_EQ(rb.x, 110);
  EXPECT_EQ(rb.y, -22);
  EXPECT_EQ(rb.z, 300);
  EXPECT_EQ(rb.width, 30);
  EXPECT_EQ(rb.height, 40);
  EXPECT_EQ(rb.depth, 50);
  EXPECT_EQ(left->worldBody().x, 90);
  EXPECT_EQ(right->worldAttack().x, 115);
  EXPECT_EQ(left->worldAttack().x, 85);
  EXPECT_EQ(left->worldAttack().y, -7);
  EXPECT_EQ(left->worldAttack().depth, 8);
  EXPECT_EQ(right->damage, 9);
}
