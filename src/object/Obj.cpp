#include "object/Obj.h"

#include "base/DataPath.h"
#include "object/Library.h"
#include "object/ObjReport.h"
#include "object/ScriptNumber.h"

namespace {

// The record of an object whose character file could not be read: no
// actions, no reactions, no pictures. Nothing ever writes to it.
const CharaData& emptyRecord() {
  static const CharaData record = [] {
    CharaData r;
    r.pictureSet = -1;
    return r;
  }();
  return record;
}

}  // namespace

bool firstReport(const Obj& o, int64_t number, ReportOnce::Problem problem) {
  return o.host && o.host->library().reported.first(o.data, number, problem);
}

Obj::Obj(ObjectHost* host, const std::string& id, int32_t action, int32_t pc, int32_t team, float x, float y,
         float z)
    : Obj(host, id, action, pc, 0, team, x, y, z) {}

Obj::Obj(ObjectHost* host_, const std::string& id, int32_t action, int32_t pc, int32_t facing, int32_t team,
         float x, float y, float z)
    : host(host_) {
  const CharaData* found = host ? host->library().findOrLoad(id) : nullptr;
  data = found ? found : &emptyRecord();

  this->x = x;
  this->y = y;
  this->z = z;

  this->action = 0;
  this->pc = 0;
  ticks = 0;
  freeze = 0;
  body = Box{};
  landArmed = false;
  hitArmed = false;
  hp = data->maxHp;
  attack.width = 0;
  this->team = team;
  hit.active = false;
  finished = false;
  // An action number outside the file leaves these as a fresh start would.
  wait = 0;
  holdPc = true;

  setAction(action);
  this->pc = pc;
  // Until its first frame instruction an object shows picture 0 of its set.
  picture = 0;
  setFacing(facing);
  // A new object is drawn before its first move: it needs its screen place now.
  placeOnScreen();
}

void Obj::setAction(int32_t n) {
  if (hasAction(*this, n)) {
    action = n;
    pc = 0;
    ticks = 0;
    wait = 0;
    attack.width = 0;
    holdPc = true;
  }
  hitLanded = false;
  onActionSet();
}

void Obj::onActionEnd() {
  setAction(1);
  finished = true;
}

void Obj::setVelocity(double nvx, double nvy, double nvz, bool setX, bool setY, bool setZ) {
  if (setX) vx = nvx;
  if (setY) vy = nvy;
  if (setZ) vz = nvz;
}

namespace {

// A landing or hit jump: continue at instruction `pc` of `action`. A target
// outside the file is ignored (and logged once).
void jumpTo(Obj& o, int32_t action, int32_t pc) {
  if (!hasAction(o, action)) {
    if (firstReport(o, o.action, ReportOnce::BadJumpAction)) {
      o.host->report("%s: action %d: a landing or hit jump to action %d, which the file does not have; ignored",
                     charaFilePath(o.data->id).c_str(), o.action, action);
    }
    return;
  }
  o.setAction(action);
  o.pc = pc;
}

}  // namespace

void Obj::move() {
  if (freeze > 0) {
    --freeze;
  } else {
    if (ticks < INT32_MAX) ++ticks;
    y += vy;
    const double dx = facing != 0 ? -vx : vx;
    if (vx != 0 || vz != 0) {
      int32_t mx = 0, mz = 0;
      if (host && host->blockMove(worldBody(), toInt32(dx), toInt32(vz), mx, mz)) {
        x += mx;
        z += mz;
      } else {
        z += vz;
        x += dx;
      }
    }
    if (y > 0) {
      if (vy > 0) y = 0;
      ay = 0;
      vy = 0;
      if (landArmed) {
        landArmed = false;
        jumpTo(*this, landAction, landPc);
      }
    }
    vx += ax;
    vy += ay;
    vz += az;
  }
  placeOnScreen();
}

void Obj::placeOnScreen() {
  const Vec3 camera = host ? host->camera() : Vec3{};
  sx = x - camera.x;
  sy = y - camera.y;
  sz = z - camera.y;
}

void Obj::attackLanded() {
  freeze = hit.selfFreeze;
  hitLanded = true;
  if (hitArmed) {
    hitArmed = false;
    jumpTo(*this, hitAction, hitPc);
  }
}

void Obj::setFrame(int32_t newPicture, int32_t dx, int32_t dy) {
  picture = newPicture;
  frameDx = dx;
  frameDy = dy;
}

void Obj::setTint(int32_t alpha, int32_t red, int32_t green, int32_t blue) {
  // The four parts are added as the file gives them; out-of-range parts wrap.
  tint = static_cast<uint32_t>(alpha) * 0x1000000u + static_cast<uint32_t>(red) * 0x10000u +
         static_cast<uint32_t>(green) * 0x100u + static_cast<uint32_t>(blue);
  additive = true;
}

