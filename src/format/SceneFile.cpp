#include "format/SceneFile.h"

#include "format/ByteReader.h"
#include "format/ByteWriter.h"

namespace {
// Smallest sizes of list entries, used to refuse counts the file cannot hold.
constexpr size_t kSpriteBytes = 8 * 4;
constexpr size_t kPropBytes = 4 * 4;
constexpr size_t kMinCharaBytes = 1 + 3 * 4;  // id length byte, x, z, reserved
constexpr size_t kWallBytes = 5 * 4;
constexpr size_t kMinDoorBytes = 1 + 4 * 4;   // target length byte, x, z, entry x, entry z

void readLayer(ByteReader& in, CountLog* counts, const char* countName, std::vector<SceneFile::SpriteEntry>& layer) {
  const size_t n = in.readCount(countName, kSpriteBytes, counts);
  layer.reserve(n);
  for (size_t i = 0; i < n && !in.failed(); ++i) {
    SceneFile::SpriteEntry s;
    s.x = in.readInt32("sprite x");
    s.y = in.readInt32("sprite y");
    s.texture = in.readInt32("sprite texture");
    for (int32_t& r : s.reserved) r = in.readInt32("sprite reserved value");
    layer.push_back(s);
  }
}

void writeLayer(ByteWriter& out, const std::vector<SceneFile::SpriteEntry>& layer) {
  out.writeCount(layer.size());
  for (const SceneFile::SpriteEntry& s : layer) {
    out.writeInt32(s.x);
    out.writeInt32(s.y);
    out.writeInt32(s.texture);
    for (int32_t r : s.reserved) out.writeInt32(r);
  }
}
}  // namespace

Expected<SceneFile> parseSceneFile(std::span<const uint8_t> bytes, const std::string& file, CountLog* counts) {
  ByteReader in(bytes, file);
  SceneFile scene;
  scene.name = in.readShortString("scene name");
  scene.width = in.readInt32("width");
  scene.depth = in.readInt32("depth");
  scene.pictureSet = in.readInt32("picture set");
  scene.propId = in.readShortString("prop id");
  scene.backgroundTexture = in.readInt32("background texture");
  scene.reserved[0] = in.readInt32("reserved value");
  scene.reserved[1] = in.readInt32("reserved value");
  readLayer(in, counts, "far layer sprite count", scene.far);
  readLayer(in, counts, "middle layer sprite count", scene.middle);
  readLayer(in, counts, "near layer sprite count", scene.near);

  const size_t propCount = in.readCount("prop count", kPropBytes, counts);
  scene.props.reserve(propCount);
  for (size_t i = 0; i < propCount && !in.failed(); ++i) {
    SceneFile::PropEntry p;
    p.x = in.readInt32("prop x");
    p.z = in.readInt32("prop z");
    p.y = in.readInt32("prop y");
    p.action = in.readInt32("prop action");
    scene.props.push_back(p);
  }

  const size_t charaCount = in.readCount("character count", kMinCharaBytes, counts);
  scene.charas.reserve(charaCount);
  for (size_t i = 0; i < charaCount && !in.failed(); ++i) {
    SceneFile::CharaEntry c;
    c.id = in.readShortString("character id");
    c.x = in.readInt32("character x");
    c.z = in.readInt32("character z");
    c.reserved = in.readInt32("character reserved value");
    scene.charas.push_back(std::move(c));
  }

  const size_t wallCount = in.readCount("wall count", kWallBytes, counts);
  scene.walls.reserve(wallCount);
  for (size_t i = 0; i < wallCount && !in.failed(); ++i) {
    SceneFile::WallEntry w;
    w.x = in.readInt32("wall x");
    w.z = in.readInt32("wall z");
    w.width = in.readInt32("wall width");
    w.depth = in.readInt32("wall depth");
    w.height = in.readInt32("wall height");
    scene.walls.push_back(w);
  }

  const size_t doorCount = in.readCount("door count", kMinDoorBytes, counts);
  scene.doors.reserve(doorCount);
  for (size_t i = 0; i < doorCount && !in.failed(); ++i) {
    SceneFile::DoorEntry d;
    d.targetScene = in.readShortString("door target scene");
    d.x = in.readInt32("door x");
    d.z = in.readInt32("door z");
    d.entryX = in.readInt32("door entry x");
    d.entryZ = in.readInt32("door entry z");
    scene.doors.push_back(std::move(d));
  }
  scene.trailing = in.readRest();
  if (in.failed()) return in.error();
  return scene;
}

std::vector<uint8_t> writeSceneFile(const SceneFile& scene, const CountLog* counts) {
  ByteWriter out(counts);
  out.writeShortString(scene.name);
  out.writeInt32(scene.width);
  out.writeInt32(scene.depth);
  out.writeInt32(scene.pictureSet);
  out.writeShortString(scene.propId);
  out.writeInt32(scene.backgroundTexture);
  out.writeInt32(scene.reserved[0]);
  out.writeInt32(scene.reserved[1]);
  writeLayer(out, scene.far);
  writeLayer(out, scene.middle);
  writeLayer(out, scene.near);
  out.writeCount(scene.props.size());
  for (const SceneFile::PropEntry& p : scene.props) {
    for (int32_t v : {p.x, p.z, p.y, p.action}) out.writeInt32(v);
  }
  out.writeCount(scene.charas.size());
  for (const SceneFile::CharaEntry& c : scene.charas) {
    out.writeShortString(c.id);
    for (int32_t v : {c.x, c.z, c.reserved}) out.writeInt32(v);
  }
  out.writeCount(scene.walls.size());
  for (const SceneFile::WallEntry& w : scene.walls) {
    for (int32_t v : {w.x, w.z, w.width, w.depth, w.height}) out.writeInt32(v);
  }
  out.writeCount(scene.doors.size());
  for (const SceneFile::DoorEntry& d : scene.doors) {
    out.writeShortString(d.targetScene);
    for (int32_t v : {d.x, d.z, d.entryX, d.entryZ}) out.writeInt32(v);
  }
  out.writeRaw(scene.trailing);
  return out.take();
}
