// The world: the player and the enemies, every effect object, the current
// scene's scenery, walls and doors, the camera, the heads-up display and the
// resource tables. update() is one frame of play; render() draws it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/hge.h"
#include "gfx/BitmapFont.h"
#include "gfx/SpriteQuad.h"
#include "object/Box.h"
#include "object/Chara.h"
#include "object/Library.h"
#include "object/Obj.h"
#include "format/ResourceCatalog.h"
#include "format/SceneFile.h"

class Hud;

class Scene {
 public:
  // A scenery picture: drawn by its top-left corner.
  struct Sprite {
    int32_t x = 0, y = 0;
    int32_t texture = 0;
    int32_t reserved[5] = {0, 0, 0, 0, 0};
    std::unique_ptr<SpriteQuad> sprite;  // shows the whole texture
  };
  struct Door {
    std::string targetScene;
    int32_t x = 0, z = 0;            // place on the ground
    int32_t entryX = 0, entryZ = 0;  // where the player stands in the target scene
  };
  enum Layer { FAR = 0, MIDDLE = 1, NEAR = 2 };

  // Builds the whole world: pack, catalog, library, system data, the "system"
  // object, the player, the Hud, the score font, the music and scene "Test".
  // When the player cannot be made, ready() is false and startError says why.
  explicit Scene(HGE* engine);
  // An empty world for tests and tools: the given catalog, no pack, no player,
  // no scene, no music; the "system" object is made only if its file exists.
  struct Bare {};
  Scene(HGE* engine, Bare, ResourceCatalog catalog = {});
  ~Scene();
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  bool ready() const { return startError.empty(); }

  void update();
  void render();

  // Plays sound `index` of the "system" object's picture set at effectVolume.
  void playSystemSound(int32_t index);
  Vec3 getCamera() const { return {cameraX, cameraY, 0}; }

  // Factories: the only ways into the world. createChara logs "创建角色失败"
  // and adds nothing when the character cannot be made; createObj then
  // returns nullptr.
  Chara* createChara(const std::string& id, int32_t team, int32_t x, int32_t z);
  Obj* createObj(const std::string& id, int32_t action, int32_t pc, int32_t facing, int32_t team, double x,
                 double y, double z);

  // Scene runtime.
  void followCamera();
  // The wall test: body in world coordinates, the whole-number displacement it
  // is about to make; true when a wall is in the way, with the displacement to
  // make instead in (mx, mz).
  bool blockMove(const Box& body, int32_t dx, int32_t dz, int32_t& mx, int32_t& mz) const;
  void openDoorsIfCleared();
  void useDoors();
  // Reads the target scene completely, then replaces the current one. When the
  // file cannot be read the current scene stays as it is and false is returned.
  bool changeScene(const std::string& target, int32_t entryX, int32_t entryZ);
  // Reads "data/scene/<id>.dat" and adds its contents (nothing when it fails).
  bool load(const std::string& id);
  // Adds a parsed scene, read from `path`, to the world (the load steps after reading).
  void apply(const SceneFile& file, const std::string& path);
  void renderScenery(bool nearPart);

  HGE* engine;
  Library* library = nullptr;  // owned (see libraryOwner)
  int32_t screenHeight = 480;
  int32_t screenWidth = 800;
  std::vector<Chara*> charas;  // entry 0 is the player; owns the characters
  std::vector<Obj*> objects;   // everything moved and drawn; owns the plain objects
  std::unique_ptr<Obj> systemObj;
  ResourceCatalog catalog;
  std::vector<std::string> systemStrings;
  std::unique_ptr<BitmapFont> font;
  double cameraX = 0, cameraY = 0;
  std::string name;
  int32_t depth = 0;
  TextureList* sceneTextures = nullptr;
  int32_t backgroundTexture = 0;
  std::array<std::vector<std::unique_ptr<Sprite>>, 3> layers;
  std::vector<Box> boxes;  // the walls: the file's, then the four border walls
  std::unique_ptr<SpriteQuad> background;
  bool doorsOpen = false;
  std::vector<Door> doors;
  int32_t width = 0;
  int32_t effectVolume = 50;
  bool gameOver = false;
  std::unique_ptr<Hud> hud;

  // The most objects the world holds at once, far above any real scene: a
  // script that spawns copies of itself every frame stops here.
  static constexpr size_t kMaxObjects = 20000;
  bool canAddObject() const { return objects.size() < kMaxObjects; }

  std::string startError;  // why the world could not start (empty when it did)
  std::string scenePath;   // the file the current scene was read from
  // Door targets whose scene could not be read: reported once, never tried again.
  std::set<std::string> failedDoorTargets;

 private:
  // Resolves the armed attack of objects[i] against every object of another team.
  void resolveAttack(size_t i);
  // Takes enemy charas[index] out of both lists, clears the Hud's target if it
  // is this enemy, and deletes it.
  void destroyEnemy(size_t index);

  // Reads a scene file; logs the bytes it ignores at its end.
  Expected<SceneFile> readScene(const std::string& id, std::string& path);
  // Logs, once per world, that the object limit was reached.
  void reportObjectLimit(const std::string& id, int32_t action);

  std::unique_ptr<Library> libraryOwner;
  bool objectLimitReported_ = false;
};
