// A parsed scene file "data/scene/<id>.dat": size, pictures, scenery layers,
// props, enemies, walls and doors. Reading is complete before the world applies
// any of it, so a damaged file never leaves a half-built scene.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "format/CountLog.h"
#include "format/LoadError.h"

struct SceneFile {
  struct SpriteEntry {
    int32_t x = 0, y = 0;  // top-left corner on screen with the camera at 0
    int32_t texture = 0;   // index into the scene's picture set
    int32_t reserved[5] = {0, 0, 0, 0, 0};
  };
  struct PropEntry {
    int32_t x = 0, z = 0, y = 0, action = 0;  // file order: x, z, y, action
  };
  struct CharaEntry {
    std::string id;
    int32_t x = 0, z = 0, reserved = 0;
  };
  struct WallEntry {
    int32_t x = 0, z = 0, width = 0, depth = 0, height = 0;
  };
  struct DoorEntry {
    std::string targetScene;
    int32_t x = 0, z = 0, entryX = 0, entryZ = 0;
  };

  std::string name;
  int32_t width = 0, depth = 0;
  int32_t pictureSet = 0;
  std::string propId;
  int32_t backgroundTexture = 0;
  int32_t reserved[2] = {0, 0};
  std::vector<SpriteEntry> far, middle, near;
  std::vector<PropEntry> props;
  std::vector<CharaEntry> charas;
  std::vector<WallEntry> walls;
  std::vector<DoorEntry> doors;
  std::string trailing;  // bytes after the last door: never read by the game, kept for tools
};

Expected<SceneFile> parseSceneFile(std::span<const uint8_t> bytes, const std::string& file,
                                   CountLog* counts = nullptr);
std::vector<uint8_t> writeSceneFile(const SceneFile& scene, const CountLog* counts = nullptr);
