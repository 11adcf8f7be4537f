#include "render/BoxView.h"

#include "gfx/Shapes.h"
#include "object/ScriptNumber.h"

void drawWorldBox(HGE* engine, const Box& box, double cameraX, double cameraY, BoxKind kind) {
  if (box.width == 0) return;
  const double left = box.x - box.width / 2 - cameraX;
  const double right = box.x + box.width / 2 - cameraX;
  const double centreY = box.y + box.z - cameraY;
  const double floorY = box.z - cameraY;
  uint32_t line = boxcolors::kBody, floor = boxcolors::kBodyFloor;
  if (kind == BoxKind::Attack) {
    line = boxcolors::kAttack;
    floor = boxcolors::kAttackFloor;
  } else if (kind == BoxKind::ArmedAttack) {
    line = boxcolors::kArmed;
    floor = boxcolors::kAttackFloor;
  } else if (kind == BoxKind::Grab) {
    line = boxcolors::kGrab;
    floor = boxcolors::kGrabFloor;
  }
  fillRect(engine, toFloat(left), toFloat(floorY - box.depth / 2), toFloat(right), toFloat(floorY + box.depth / 2),
           floor);
  if (kind == BoxKind::ArmedAttack)
    fillRect(engine, toFloat(left), toFloat(centreY - box.height / 2), toFloat(right),
             toFloat(centreY + box.height / 2), boxcolors::kArmedFill);
  outlineRect(engine, toFloat(left), toFloat(centreY - box.height / 2), toFloat(right),
              toFloat(centreY + box.height / 2), line, kind == BoxKind::ArmedAttack ? 2.0f : 1.0f);
}

void drawWorldCross(HGE* engine, double x, double y, double z, double cameraX, double cameraY, uint32_t color) {
  const float sx = toFloat(x - cameraX), sy = toFloat(y + z - cameraY);
  fillRect(engine, sx - 5, sy, sx + 6, sy + 1, color);
  fillRect(engine, sx, sy - 5, sx + 1, sy + 6, color);
}
