// The world of a game in play: the player and the enemies, every effect
// object, the current scene (scenery, walls, doors), the camera and the Hud's
// numbers. step() is one frame of play. Nothing here draws, plays a sound or
// reads a key: the renderer reads a const World, the sounds asked for in a
// frame wait in `sounds`, and the keys arrive as a FrameInput.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "format/LoadError.h"
#include "format/ResourceCatalog.h"
#include "format/SceneFile.h"
#include "object/Box.h"
#include "object/Chara.h"
#include "object/Library.h"
#include "object/Obj.h"
#include "object/ObjectHost.h"
#include "world/EnemyBehaviour.h"
#include "world/FrameInput.h"
#include "world/GameRules.h"
#include "world/HitGrid.h"
#include "world/Hud.h"
#include "world/OwnedObjects.h"
#include "world/PlayerControl.h"
#include "world/Seat.h"
#include "world/StageState.h"
#include "world/WallGrid.h"

class DataLayers;

// The game folder's resource list (data/res.dat); `warn` hears of bytes after
// its last set.
Expected<ResourceCatalog> readResourceList(const std::function<void(const std::string&)>& warn,
                                           const DataLayers* files = nullptr);

// What the world is handed: where its log lines go, where its chance comes
// from and where its files are.
struct WorldServices {
  std::function<void(const std::string&)> log;
  RandomInt random;  // a whole number from lo to hi, both included
  // The game folder with its mods over it; nullptr: the game folder alone, read as it always was.
  const DataLayers* files = nullptr;
};

// A sound the world asked for in this frame: sound `index` of picture set
// `pictureSet`, at `volume` (0-100).
struct SoundRequest {
  int32_t pictureSet = 0;
  int32_t index = 0;
  int32_t volume = 0;
};

class World final : public ObjectHost {
 public:
  // A scenery picture: picture `picture` of picture set `pictureSet` (its
  // scene's), drawn whole by its top-left corner (x scrolls with the camera).
  struct SceneryPicture {
    int32_t x = 0, y = 0;
    int32_t pictureSet = 0;
    int32_t picture = 0;
    int32_t reserved[5] = {0, 0, 0, 0, 0};
  };
  struct Door {
    std::string targetScene;
    int32_t x = 0, z = 0;            // place on the ground
    int32_t entryX = 0, entryZ = 0;  // where the player stands in the target scene
  };
  enum Layer { FAR = 0, MIDDLE = 1, NEAR = 2 };
  // How the current scene began: its id, where the player stood, and the
  // Hud's numbers and the player's hit points then. Nothing in play reads it;
  // a restart of the scene (the modder's reload) starts from it again.
  struct SceneStart {
    std::string sceneId;
    int32_t x = 0, z = 0;
    int32_t score = 0, kills = 0, power = 0;
    int32_t playerHp = 0;
  };

  // The most objects the world holds at once, far above any real scene: a
  // script that spawns copies of itself every frame stops here.
  static constexpr size_t kMaxObjects = 20000;
  // An open door takes the player who stands closer than this to it, along
  // the ground and in depth (each strictly).
  static constexpr double kDoorReachX = 30, kDoorReachZ = 10;
  // A fighter that joins or continues cannot be hurt for this many frames.
  static constexpr int32_t kDropInProtection = 150;
  // A fallen fighter may continue for this many frames (10 seconds).
  static constexpr int32_t kContinueFrames = 1000;
  // With two or more fighters, none may stand closer than this to the view's edges.
  static constexpr double kViewEdge = 24;

  // Builds the game in the current folder: the resource list, the system
  // data, the shared effects, the player and the first scene. When it cannot
  // start (no player, no first scene), ready() is false and startError says why.
  World(GameRules rules, WorldServices services);
  // An empty world for tests and tools: the given catalog, no player, no
  // scene; the shared effects object only when its file exists.
  struct Bare {};
  World(WorldServices services, Bare, ResourceCatalog catalog = {}, GameRules rules = {});
  ~World();
  World(const World&) = delete;
  World& operator=(const World&) = delete;

  bool ready() const { return startError.empty(); }
  // The game is won: the final scene has no enemy left.
  bool finalSceneCleared() const {
    return fighters_ > 0 && charas.size() == fighters_ && name == rules.finalScene;
  }
  // The game is lost: every seat that plays has fallen and none may continue
  // any more. A fighter has fallen when it has no hit points left and lies in
  // the lying action, or the death action took it off the screen.
  bool playerDefeated() const;
  // Whether `fighter` has fallen (see playerDefeated).
  static bool fallen(const Chara& fighter);

  // One frame of play: update(), then, unless the game ended in it, controlPlayers().
  void step(const SeatInputs& inputs);
  // The same for seat 1 alone (a game for one).
  void step(const FrameInput& input);
  // The world's own part of a frame, in this order: the camera, the object
  // pass (move, script, removal, hits), the view's edges, the enemies
  // (behaviour, score, removal), the seats (falls and continues), the doors,
  // the end of the game, the depth sort.
  void update();
  // The players' part of a frame, seat by seat: for a seat that plays, the
  // command buffer takes the keys that went down, then the fighter's control
  // acts on the buffer and the held keys; punch continues a fallen fighter
  // that may, and joins a free seat.
  void controlPlayers(const SeatInputs& inputs);
  // The same for seat 1 alone.
  void controlPlayer(const FrameInput& input);

  // Seats. A free seat joins: its fighter drops in at the left edge of the
  // view, protected for a moment. False when the seat cannot join (not free,
  // no scene, the game over, the fighter cannot be made).
  bool join(int seat);
  // The seat's fighter leaves the world and the seat is free again. The last
  // seat that plays cannot leave (false).
  bool leave(int seat);
  Seat& seat(int number) { return seats[static_cast<size_t>(number - 1)]; }
  const Seat& seat(int number) const { return seats[static_cast<size_t>(number - 1)]; }
  // The fighters of the seats come first in `charas`, in seat order; the enemies follow.
  size_t fighterCount() const { return fighters_; }
  size_t enemyCount() const { return charas.size() - fighters_; }
  // Seats that play now (their fighter standing or down).
  int seatsPlaying() const;
  // The complete state of the world's frame as bytes, taken between frames
  // (after step(), or after update() and controlPlayers()), with the state of
  // the game's random generator. Character and scene files are named by id,
  // not copied; objects refer to each other by index.
  void saveState(uint64_t randomState, std::vector<uint8_t>& out) const;
  // Puts a saved state back: stepping then gives exactly the frames that
  // followed the save. Returns the random generator's state to put back. A
  // damaged or foreign state leaves the world as it is; the error names
  // `source`, the offset and what did not fit.
  Expected<uint64_t> restoreState(std::span<const uint8_t> bytes, const std::string& source);
  // Version 2 keeps what the rules switched on by rules lines add (stretches, fair
  // fights, grabs); a state of version 1 still reads, without them.
  // Version 3 adds the items: props' holds, what lies on the ground, weapons in hand.
  static constexpr uint32_t kStateVersion = 3;

  // For worlds built by hand (tests, tools): the first `n` of `charas` become
  // the fighters of seats 1 to n, playing.
  void setFighters(size_t n);
  // Joins since the world began, the first fighter's included.
  int32_t seatsEverJoined() const { return seatsEverJoined_; }
  // Whether an enemy acts: one of no stretch always; one of a stretch once
  // the view has come to its stretch (the stretch the camera goes to). The
  // others stand where they are.
  bool stretchAwake(const Chara& enemy) const;
  // The fighter an enemy at (x, z) goes for: the nearest that has not fallen
  // (ties: the lower seat); when every one has, the first seat's.
  const Chara* targetFor(double x, double z) const;

  // The only ways into the world. createChara logs "创建角色失败" and adds
  // nothing when the character cannot be made; createObj then returns nullptr.
  Chara* createChara(const std::string& id, int32_t team, int32_t x, int32_t z);
  Obj* createObj(const std::string& id, int32_t action, int32_t pc, int32_t facing, int32_t team, double x,
                 double y, double z);

  // The running scene.
  void followCamera();
  void openDoorsIfCleared();
  void useDoors();
  // Reads the target scene completely, then replaces the current one. When the
  // file cannot be read the current scene stays as it is and false is returned.
  // The fighter of seat `taker` stands on the entry point, the others beside it.
  bool changeScene(const std::string& target, int32_t entryX, int32_t entryZ, int taker = 1);
  // Reads "data/scene/<id>.dat" and adds its contents (nothing when it fails).
  bool load(const std::string& id);
  // Adds a parsed scene, read from `path`, to the world (the load steps after reading).
  void apply(const SceneFile& file, const std::string& path);

  // What objects may ask of the world.
  Obj* spawn(const std::string& id, int32_t action, int32_t pc, int32_t facing, int32_t team, double x, double y,
             double z) override {
    return createObj(id, action, pc, facing, team, x, y, z);
  }
  bool hasRoomForObjects() const override { return objects.size() - passRemoved_ < kMaxObjects; }
  bool blockMove(const Box& body, int32_t dx, int32_t dz, int32_t& mx, int32_t& mz) const override;
  Vec3 camera() const override { return {cameraX, cameraY, 0}; }
  void playSound(int32_t pictureSet, int32_t index) override;
  void playSystemSound(int32_t index) override;
  Library& library() override { return *library_; }
  void log(const std::string& line) override;
  bool extendedInstructions() const override { return rules.extendedInstructions; }
  void throwHeld(Obj& holder, double vx, double vy, int32_t damage) override;
  void letGo(Obj& holder) override;

  // Grabs (the extended instructions): a fighter holding an enemy, and an
  // enemy thrown, flying until it lands, hurting its own side on the way.
  struct Grip {
    Chara* holder = nullptr;
    Chara* held = nullptr;
    int32_t frames = 0;  // held this long; at kStruggleFrames the held one breaks free
    int32_t knees = 0;   // knees given so far
    double reach = 0;    // how far in front of the holder the held one stands
  };
  struct Flight {
    Chara* body = nullptr;
    int32_t damage = 0;     // what it does to each of its own side it meets
    int32_t seat = 0;       // the seat that threw it: those it fells score for it
    int32_t frames = 0;     // in the air this long
    Box shape;              // its body as it was thrown, which meets the others
    std::vector<Chara*> struck;  // those it has hurt already (each once)
  };
  static constexpr int32_t kStruggleFrames = 250;
  static constexpr int32_t kKneesBeforeThrow = 3;
  std::vector<Grip> grips;
  std::vector<Flight> flights;
  // The grip `c` holds by, or is held in; nullptr when none.
  const Grip* gripOf(const Chara* c) const;

  // Items (the rules' item lines): the props that hold an item, what lies on
  // the ground, the weapons in hand, and what each seat has taken.
  struct PropHold {
    Obj* prop = nullptr;
    int32_t item = -1;  // index into rules.items.items
  };
  struct LyingItem {
    Obj* obj = nullptr;  // the item as it lies (an object of the item's character)
    int32_t item = 0;
    int32_t uses = 0;    // a weapon's uses left (its value, for the other kinds)
  };
  struct HeldWeapon {
    Chara* holder = nullptr;
    int32_t item = 0;
    int32_t uses = 0;
  };
  struct ItemTally {
    int32_t food = 0, treasure = 0, weapons = 0;
  };
  std::vector<PropHold> propHolds;
  std::vector<LyingItem> lyingItems;
  std::vector<HeldWeapon> heldWeapons;
  std::array<ItemTally, kMaxSeats> tallies{};
  // The weapon `c` holds, or heldWeapons.end() / nullptr.
  std::vector<HeldWeapon>::iterator heldWeaponOf(const Chara* c);
  const HeldWeapon* weaponOf(const Chara* c) const;
  // How item `item` looks on the ground: its character's picture set and the
  // first picture of its action; false when its file cannot be read or shows none.
  bool itemLook(int32_t item, int32_t& pictureSet, int32_t& picture) const;
  // Lays item `item` (an index into rules.items.items) on the ground at (x, z)
  // with `uses`; `hop`: it hops up first. nullptr when it cannot be made.
  Obj* dropItem(int32_t item, int32_t uses, double x, double z, bool hop);
  // An item taken by a fighter standing on it: its feet within this of the item's place.
  static constexpr double kPickUpX = 20, kPickUpZ = 12;

  const GameRules rules;
  int32_t screenWidth = 800;  // the camera keeps the player near the middle of it
  // The seats' fighters (in seat order), then the enemies; the world owns every character and object.
  std::vector<Chara*> charas;
  std::vector<Obj*> objects;   // everything moved and drawn, in drawing order after each update
  std::unique_ptr<Obj> systemObj;  // of the shared effects file: the source of the shared sounds; never moved
  ResourceCatalog catalog;         // the picture sets (the renderer loads them)
  std::vector<std::string> systemStrings;
  double cameraX = 0, cameraY = 0;
  std::string name;  // the current scene's name
  int32_t depth = 0;
  int32_t width = 0;
  int32_t pictureSet = -1;        // the current scene's picture set
  int32_t backgroundPicture = 0;  // its background picture in that set
  std::array<std::vector<SceneryPicture>, 3> layers;
  std::vector<Box> walls;  // the file's walls, then the four border walls
  bool doorsOpen = false;
  std::vector<Door> doors;
  int32_t effectVolume = 50;
  bool gameOver = false;
  std::array<Seat, kMaxSeats> seats;
  Hud& hud = seats[0].hud;  // seat 1's: the Hud of a game for one
  // Continues the team may still spend (shared by every seat).
  int32_t continuesLeft = 0;
  // The sounds asked for in the last step, in order; the game plays them.
  std::vector<SoundRequest> sounds;
  // What the last step did that only the screen shows (a shake): never saved,
  // summed or traced. `step` counts the world's steps so the screen can tell a new one.
  struct Feel {
    uint64_t step = 0;
    int32_t heavyBlows = 0;  // blows that knocked a fighter or an enemy down
  } feel;

  // Where the scene's stretches stand: the one the camera goes to, whether it holds, the signs.
  StageState stage;

  SceneStart sceneStart;
  std::string startError;  // why the world could not start (empty when it did)
  std::string scenePath;   // the file the current scene was read from
  // Door targets whose scene could not be read: reported once, never tried again.
  std::set<std::string> failedDoorTargets;
  // The object pass finds the walls near a moving body and the objects near
  // an attack on grids; off, it tests every wall and every object (the same
  // results, for tests that compare the two).
  bool broadPhase = true;

 private:
  // Resolves the armed attack of objects[at], the object the pass is at,
  // against every object of another team: the survivors before it (indices
  // below `at`), then those after the gap the pass has left (from `next` on,
  // objects spawned in this pass included), in that order.
  void resolveAttack(size_t at, size_t next);
  // Takes enemy charas[index] out of both lists and clears the Hud's target if
  // it is this enemy; the enemy is destroyed when the frame is over.
  void removeEnemy(size_t index);
  // Takes a plain object that has left `objects` out of the world; it is
  // destroyed when the frame is over.
  void removeObject(Obj* o);
  // Whether this object pass looks attack targets up on the hit grid.
  bool worthAHitGrid() const;
  // The objects with an attack box that the last object pass kept; unknown
  // before the first pass and after a saved state is put back.
  static constexpr size_t kArmedUnknown = SIZE_MAX;
  size_t armedAtLastPass_ = kArmedUnknown;
  // Orders `objects` by depth, far to near (the drawing order).
  void depthSort();
  // Destroys what left the world during this frame.
  void destroyRemoved() { removed_.clear(); }
  Expected<SceneFile> readScene(const std::string& id, std::string& path);
  // Makes the fighter of a seat and puts it among the fighters in seat order.
  Chara* addFighter(int seat, double x, double z);
  // Takes the fighter of a seat out of the world (destroyed when the frame is over).
  void removeFighter(int seat);
  // The enemy's hit points at the level of difficulty, grown for every extra seat that
  // plays (the rules' coop-hp-percent).
  void strengthenForTeam(Chara& enemy) const;
  // A place on the ground beside (x, z) where the fighter's body meets no wall;
  // `turn` 0 is (x, z) itself, later turns step out to either side.
  void placeBeside(Chara& fighter, double x, double z, int turn) const;
  // The grabs' part of the object pass's end: flights hurt and land, grips
  // keep their held one in front of the holder or break, new grips are taken
  // (seat order: the lower seat wins a tie).
  void updateGrabs();
  // The keys of a seat whose fighter holds an enemy: J knees or throws, K
  // vaults. True when the fighter holds (the ordinary control stays out).
  bool controlHolder(Seat& seat, const HeldKeys& keys);
  // Drops every grip and flight `c` takes part in (it leaves the world).
  void forgetGrabsOf(const Chara* c);
  // Items (WorldItems.cpp): the props of a scene given their hit points and
  // what they hold, and the items lying as it begins; a blow on a breakable
  // prop; once a frame, weapons dropped by the knocked down; enemies that go
  // for weapons; the keys of a seat that takes an item or swings a weapon.
  void setUpProp(Obj& prop, int32_t number, const std::string& sceneId);
  void layItems(const std::string& sceneId);
  void hitProp(Obj& prop, int32_t damage);
  void updateItems();
  bool seekWeapon(Chara& enemy);
  void armEnemyAttack(Chara& enemy, int32_t before);
  bool controlItems(Seat& seat, const HeldKeys& keys);
  // The item lying under `taker`'s feet that it may take (the first in the list), or -1.
  int32_t itemUnderFeet(const Chara& taker) const;
  void takeItem(Chara& taker, size_t lying);
  // Forgets every record of `o` (it leaves the world).
  void forgetItemsOf(const Obj* o);
  // Falls, continue offers and their countdowns.
  void updateSeats();
  // With two or more fighters, keeps every fighter within the view.
  void holdFightersInView();
  // The scene's stretches (Stage.cpp): enemies tagged and moved as the scene
  // begins; the camera held or capped; fighters and enemies kept in a held
  // view; a cleared stretch released; and whether an enemy's stretch lets it act.
  void startStretches();
  void holdCamera();
  void holdStretchInView();
  void releaseClearedStretch();
  const SceneStage* stageOfScene() const;
  void reportObjectLimit(const std::string& id, int32_t action);
  // Fair fights: a blow of `attacker` has just landed on `target` (hit-stop,
  // the run of hits, the heavy blows the screen shakes for).
  void noteBlowLanded(Obj& attacker, Obj& target);
  // Fair fights, once a frame after the object pass: runs of hits end, the
  // risen are protected, enemies step apart.
  void keepFightsFair();
  // Notes how the scene `id` begins, the player standing at (x, z).
  void noteSceneStart(const std::string& id, int32_t x, int32_t z);

  WorldServices services_;
  size_t fighters_ = 0;      // the seats' fighters at the front of `charas`
  int32_t seatsEverJoined_ = 0;
  // The seat of the object whose script runs now: what it spawns belongs to that seat.
  int32_t spawningSeat_ = 0;
  std::unique_ptr<Library> library_;
  // Every character and plain object in the world.
  OwnedObjects owned_;
  // What left the world this frame; destroyed once no pass holds it.
  std::vector<std::unique_ptr<Obj>> removed_;
  bool objectLimitReported_ = false;
  // Objects the running object pass has taken out but not yet closed the gap of.
  size_t passRemoved_ = 0;
  // The walls near a moving body, made at the start of the object pass (walls
  // do not change during it) and used by the wall test only while it runs.
  WallGrid wallGrid_;
  bool wallGridInUse_ = false;
  // The bodies of the objects while the object pass runs (see resolveAttack).
  HitGrid hitGrid_;
  std::vector<uint32_t> nearTargets_;
  std::vector<std::pair<double, Obj*>> depthOrder_;
  // saveState's index of the objects by address and its list, kept for their room.
  mutable std::vector<std::pair<const Obj*, int32_t>> stateIndex_;
  mutable std::vector<const Obj*> stateList_;
  // The objects at the head of the list that were there at the last depth
  // sort (in its order), for the next one: they have only moved a little.
  size_t depthSortedHead_ = 0;
};
