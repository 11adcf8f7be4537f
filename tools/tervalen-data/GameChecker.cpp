#include "GameChecker.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <set>

#include "OpcodeTable.h"
#include "PackWriter.h"
#include "engine/PackReader.h"
#include "base/TextCodec.h"
#include "format/CharaData.h"
#include "object/ScriptNumber.h"
#include "base/FileBytes.h"
#include "format/ResourceCatalog.h"
#include "format/SceneFile.h"
#include "format/SystemData.h"

namespace fs = std::filesystem;

namespace {

const char* const kPlayerId = "c_morivane";
const char* const kSystemId = "system";
// The actions the player control starts or the world relies on for the player.
const int kPlayerRoles[] = {0, 1, 2, 3, 4, 5, 6, 7, 11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 31, 32, 33};
const int kEnemyRoles[] = {0, 1, 4, 5};
// Pictures and music the game loads by fixed path.
const char* const kFixedFiles[] = {"pak/ui/hta/bg.png", "pak/ui/hta/base.png", "pak/ui/hta/hp.png",
                                   "pak/ui/hta/sp.png", "pak/ui/hta/cp.png", "pak/ui/hta/m_hp.png",
                                   "pak/ui/hta/m_hp_base.png", "pak/ui/hte/bg.mp3"};

std::string shownName(const std::string& gbk) { return "\"" + gbkToUtf8(gbk) + "\""; }
std::string num(int64_t v) { return std::to_string(v); }

struct Character {
  std::string file;  // relative path for messages
  CharaData data;
  bool fighter = false;
  bool player = false;
  bool enemy = false;
};

class Checker {
 public:
  explicit Checker(const std::string& dir) : dir_(dir) {}

  CheckReport run() {
    readPack();
    readCatalog();
    readSystemData();
    readCharacters();
    readScenes();
    checkFixedFiles();
    checkCatalogFiles();
    markUses();
    for (auto& [id, c] : charas_) checkCharacter(id, c);
    for (auto& [id, s] : scenes_) checkScene(id, s);
    checkSceneGraph();
    report_.characters = charas_.size();
    report_.scenes = scenes_.size();
    report_.pictureSets = catalog_.entries.size();
    std::stable_sort(report_.problems.begin(), report_.problems.end(),
                     [](const CheckProblem& a, const CheckProblem& b) { return a.file < b.file; });
    return report_;
  }

 private:
  void problem(const std::string& file, const std::string& where, const std::string& message) {
    report_.problems.push_back({file, where, message});
  }

  // ---- reading ----

  void readPack() {
    fs::path pack = fs::path(dir_) / "pak.zip";
    std::error_code ec;
    if (!fs::exists(pack, ec)) {
      if (!fs::is_directory(fs::path(dir_) / "pak", ec))
        problem("pak.zip", "-", "there is no pak.zip and no pak/ folder: the game has no pictures or sounds");
      return;
    }
    std::string error;
    pack_ = PackReader::open(pack.string(), kGamePackPassword, error);
    if (!pack_) {
      problem("pak.zip", "-", "the game cannot open the pack: " + error);
      return;
    }
    report_.packFiles = pack_->entryCount();
    // The game reads every entry with its password: make sure that works.
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < pack_->entryCount(); ++i) {
      if (!pack_->readIndex(i, bytes, error)) {
        problem("pak.zip", gbkToUtf8(pack_->entryName(i)), "cannot be read with the game's password: " + error);
        break;
      }
    }
  }

  // A path the game asks the engine for (GBK bytes): in the pack, or on disk.
  bool gameFileExists(const std::string& gbkPath) const {
    if (pack_ && pack_->contains(gbkPath)) return true;
    std::error_code ec;
    return fs::is_regular_file(fs::path(dir_) / gbkToUtf8(gbkPath), ec);
  }

  template <class T, class Parse>
  bool readData(const std::string& relative, Parse parse, T& out) {
    Expected<std::vector<uint8_t>> bytes = readFileBytes((fs::path(dir_) / relative).string());
    if (!bytes) {
      problem(relative, "-", "cannot read: " + bytes.error().what);
      return false;
    }
    Expected<T> parsed = parse(*bytes, relative);
    if (!parsed) {
      problem(relative, "offset " + num(static_cast<int64_t>(parsed.error().offset)), parsed.error().what);
      return false;
    }
    out = std::move(*parsed);
    return true;
  }

  void readCatalog() {
    catalogOk_ = readData<ResourceCatalog>(
        "data/res.dat", [](auto b, auto f) { return parseResourceCatalog(b, f); }, catalog_);
  }

  void readSystemData() {
    SystemData data;
    readData<SystemData>("data/system.dat", [](auto b, auto f) { return parseSystemData(b, f); }, data);
  }

  void readCharacters() {
    std::error_code ec;
    fs::path folder = fs::path(dir_) / "data" / "chara";
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
      if (!it->is_regular_file() || it->path().extension() != ".dat") continue;
      std::string id;
      if (!utf8ToGbk(it->path().stem().string(), id)) continue;
      Character c;
      c.file = "data/chara/" + it->path().filename().string();
      if (readData<CharaData>(c.file, [](auto b, auto f) { return parseCharaFile(b, f); }, c.data))
        charas_.emplace(id, std::move(c));
      else
        brokenCharas_.insert(id);
    }
  }

  void readScenes() {
    std::error_code ec;
    fs::path folder = fs::path(dir_) / "data" / "scene";
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
      if (!it->is_regular_file() || it->path().extension() != ".dat") continue;
      std::string id;
      if (!utf8ToGbk(it->path().stem().string(), id)) continue;
      std::string file = "data/scene/" + it->path().filename().string();
      SceneFile s;
      if (readData<SceneFile>(file, [](auto b, auto f) { return parseSceneFile(b, f); }, s))
        scenes_.emplace(id, std::make_pair(file, std::move(s)));
      else
        brokenScenes_.insert(id);
    }
  }

  // ---- files ----

  void checkFixedFiles() {
    for (const char* path : kFixedFiles)
      if (!gameFileExists(path)) problem(path, "-", "the game loads this file, but it is neither in pak.zip nor on disk");
    std::error_code ec;
    if (!fs::is_regular_file(fs::path(dir_) / "pak/ui/hta/bg.png", ec))
      problem("pak/ui/hta/bg.png", "-", "the title picture is shown before the pack is opened: it must be on disk too");
    if (!fs::is_regular_file(fs::path(dir_) / "font1.fnt", ec))
      problem("font1.fnt", "-", "the font of the score and the ending screen is missing");
  }

  void checkCatalogFiles() {
    for (size_t i = 0; i < catalog_.entries.size(); ++i) {
      const ResourceEntry& e = catalog_.entries[i];
      std::string set = "set " + num(static_cast<int64_t>(i)) + " " + shownName(e.name);
      for (size_t k = 0; k < e.pictures.size(); ++k) {
        std::string path = "pak/" + e.name + "/hta/" + e.pictures[k];
        if (!gameFileExists(path))
          problem("data/res.dat", set + " picture " + num(static_cast<int64_t>(k)),
                  gbkToUtf8(path) + " is neither in pak.zip nor on disk");
      }
      for (size_t k = 0; k < e.sounds.size(); ++k) {
        std::string path = "pak/" + e.name + "/hte/" + e.sounds[k];
        if (!gameFileExists(path))
          problem("data/res.dat", set + " sound " + num(static_cast<int64_t>(k)),
                  gbkToUtf8(path) + " is neither in pak.zip nor on disk");
      }
    }
  }

  // ---- who is what ----

  Character* chara(const std::string& id) {
    auto it = charas_.find(id);
    return it == charas_.end() ? nullptr : &it->second;
  }

  // Reports a character id that is needed but has no readable file.
  void requireChara(const std::string& id, const std::string& file, const std::string& where, const std::string& why) {
    if (chara(id)) return;
    if (brokenCharas_.count(id)) return;  // already reported as unreadable
    problem(file, where, why + " " + shownName(id) + ", but data/chara/" + gbkToUtf8(id) + ".dat does not exist");
  }

  void markUses() {
    requireChara(kPlayerId, "data/chara", "-", "the game creates the player");
    requireChara(kSystemId, "data/chara", "-", "the game creates the shared effects object");
    if (Character* p = chara(kPlayerId)) p->fighter = p->player = true;
    for (auto& [id, entry] : scenes_) {
      const SceneFile& s = entry.second;
      for (size_t i = 0; i < s.charas.size(); ++i) {
        requireChara(s.charas[i].id, entry.first, "enemy " + num(static_cast<int64_t>(i)), "the scene places the enemy");
        if (Character* c = chara(s.charas[i].id)) c->fighter = c->enemy = true;
      }
      if (!s.props.empty()) requireChara(s.propId, entry.first, "prop-chara", "the scene's props are made from");
    }
  }

  // ---- characters ----

  const ResourceEntry* setOf(const Character& c) const {
    if (!catalogOk_) return nullptr;
    return catalog_.entry(c.data.pictureSet);
  }

  bool hasAction(const Character* c, int32_t n) const {
    return c && n >= 0 && static_cast<size_t>(n) < c->data.actions.size() &&
           !c->data.actions[static_cast<size_t>(n)].codes.empty();
  }
  // "does not exist" or "is empty": an empty action ends the moment it starts,
  // so a reference to one is as broken as a reference to nothing.
  static std::string absence(const Character* c, int32_t n) {
    return c && n >= 0 && static_cast<size_t>(n) < c->data.actions.size() ? "is empty" : "does not exist";
  }

  void checkCharacter(const std::string& id, Character& c) {
    const CharaData& d = c.data;
    const ResourceEntry* set = setOf(c);
    if (catalogOk_ && !set)
      problem(c.file, "picture-set", "picture set " + num(d.pictureSet) + " is not in the resource list (it has " +
                                         num(static_cast<int64_t>(catalog_.entries.size())) + " sets)");
    Character* system = chara(kSystemId);
    const ResourceEntry* systemSet = system ? setOf(*system) : nullptr;

    // Fixed roles.
    if (c.player)
      for (int n : kPlayerRoles)
        if (!hasAction(&c, n)) problem(c.file, "action " + num(n), "the player control needs this action, but it " + absence(&c, n));
    if (c.enemy)
      for (int n : kEnemyRoles)
        if (!hasAction(&c, n)) problem(c.file, "action " + num(n), "every enemy needs this action, but it " + absence(&c, n));
    if (c.fighter && d.reactions.size() < 3)
      problem(c.file, "reactions", "a fighter needs at least 3 reactions (entry 2 is the knock-down), it has " +
                                       num(static_cast<int64_t>(d.reactions.size())));
    if (id == kSystemId) {
      if (!hasAction(&c, 8)) problem(c.file, "action 8", "the death effect that the game spawns " + absence(&c, 8));
      if (!hasAction(&c, 17)) problem(c.file, "action 17", "the door marker that the game spawns " + absence(&c, 17));
    }
    for (size_t r = 0; r < d.reactions.size(); ++r)
      if (!hasAction(&c, d.reactions[r]))
        problem(c.file, "reaction " + num(static_cast<int64_t>(r)), "action " + num(d.reactions[r]) + " " + absence(&c, d.reactions[r]));
    for (size_t r = 0; r < d.aiRules.size(); ++r)
      if (!hasAction(&c, d.aiRules[r].action))
        problem(c.file, "ai rule " + num(static_cast<int64_t>(r)), "action " + num(d.aiRules[r].action) + " " + absence(&c, d.aiRules[r].action));

    for (size_t a = 0; a < d.actions.size(); ++a) {
      const Action& action = d.actions[a];
      for (size_t k = 0; k < action.codes.size(); ++k) {
        const t_code& code = action.codes[k];
        std::string where = "action " + num(static_cast<int64_t>(a)) + " instruction " + num(static_cast<int64_t>(k));
        const OpcodeInfo* info = opcodeByNumber(code.opcode);
        if (!info) continue;
        if (code.args.size() < info->args.size())
          problem(c.file, where, std::string(info->name) + " has " + num(static_cast<int64_t>(code.args.size())) +
                                     " arguments but reads " + num(static_cast<int64_t>(info->args.size())));
        auto arg = [&](size_t i) { return toInt32(scriptArg(code.args, i)); };
        switch (code.opcode) {
          case 0:
            if (set && (arg(0) < 0 || static_cast<size_t>(arg(0)) >= set->pictures.size()))
              problem(c.file, where, "picture " + num(arg(0)) + " is not in picture set " + num(d.pictureSet) + " (" +
                                         num(static_cast<int64_t>(set->pictures.size())) + " pictures)");
            break;
          case 4: {
            const Character* from = scriptArg(code.args, 6) != 0 ? system : &c;
            if (from && !hasAction(from, arg(7)))
              problem(c.file, where, "hit spark action " + num(arg(7)) + " of " +
                                         (from == system ? std::string("system") : std::string("this file")) + " " +
                                         absence(from, arg(7)));
            checkReactionNumbers(c, where, arg(0), arg(1));
            break;
          }
          case 5: {
            const Character* from = scriptArg(code.args, 0) != 0 ? system : &c;
            if (from && !hasAction(from, arg(1)))
              problem(c.file, where, "spawned action " + num(arg(1)) + " of " +
                                         (from == system ? std::string("system") : std::string("this file")) + " " +
                                         absence(from, arg(1)));
            break;
          }
          case 6: {
            bool fromSystem = scriptArg(code.args, 0) != 0;
            const ResourceEntry* s = fromSystem ? systemSet : set;
            if (s && (arg(1) < 0 || static_cast<size_t>(arg(1)) >= s->sounds.size()))
              problem(c.file, where, "sound " + num(arg(1)) + " is not in the " + (fromSystem ? "system file's " : "") +
                                         "picture set (" + num(static_cast<int64_t>(s->sounds.size())) + " sounds)");
            break;
          }
          case 7: {
            double on = scriptArg(code.args, 0);
            if ((on == 0 || on == 1) && !hasAction(&c, arg(1)))
              problem(c.file, where, "jump target action " + num(arg(1)) + " " + absence(&c, arg(1)));
            break;
          }
          case 8:
            if (!hasAction(&c, arg(0)))
              problem(c.file, where, "goto target action " + num(arg(0)) + " " + absence(&c, arg(0)));
            break;
          default:
            break;
        }
      }
    }
    checkLoops(c);
  }

  // Reaction numbers of a hit must be entries of every fighter it can strike.
  void checkReactionNumbers(const Character& attacker, const std::string& where, int32_t ground, int32_t air) {
    for (auto& [id, target] : charas_) {
      if (!target.fighter) continue;
      if (attacker.player && !target.enemy) continue;
      if (attacker.enemy && !attacker.player && !target.player) continue;
      for (int32_t r : {ground, air}) {
        if (r < 0 || static_cast<size_t>(r) >= target.data.reactions.size()) {
          problem(attacker.file, where,
                  "reaction " + num(r) + " is not in the reactions of " + shownName(id) + " (" +
                      num(static_cast<int64_t>(target.data.reactions.size())) + " entries)");
          return;
        }
      }
    }
  }

  // A step of the game runs instructions until a frame waits. A cycle through
  // instructions that never wait would hang the game: find one per action.
  void checkLoops(const Character& c) {
    const std::vector<Action>& actions = c.data.actions;
    // Node (a, i): instruction i of action a; i == size means "ran out".
    std::vector<size_t> base(actions.size() + 1, 0);
    for (size_t a = 0; a < actions.size(); ++a) base[a + 1] = base[a] + actions[a].codes.size() + 1;
    const size_t nodes = base.back();
    auto node = [&](size_t a, size_t i) { return base[a] + i; };
    auto successors = [&](size_t a, size_t i, std::vector<size_t>& out) {
      out.clear();
      const std::vector<t_code>& codes = actions[a].codes;
      if (i == codes.size()) {
        if (!c.fighter) return;  // a plain object is removed
        for (size_t target : {size_t{0}, size_t{4}})
          if (target < actions.size()) out.push_back(node(target, 0));
        return;
      }
      const t_code& code = codes[i];
      if (code.opcode == 0 && toInt32(scriptArg(code.args, 1)) >= 0) return;  // a frame waits
      if (code.opcode == 8) {
        int32_t target = toInt32(scriptArg(code.args, 0));
        if (target < 0 || static_cast<size_t>(target) >= actions.size()) return;  // reported elsewhere
        int64_t pc = static_cast<int64_t>(toInt32(scriptArg(code.args, 1) - 1.0)) + 1;
        size_t size = actions[static_cast<size_t>(target)].codes.size();
        out.push_back(node(static_cast<size_t>(target), pc < 0 || pc > static_cast<int64_t>(size) ? size
                                                                                                 : static_cast<size_t>(pc)));
        return;
      }
      out.push_back(node(a, i + 1));
    };
    std::vector<std::pair<size_t, size_t>> where(nodes);
    for (size_t a = 0; a < actions.size(); ++a)
      for (size_t i = 0; i <= actions[a].codes.size(); ++i) where[node(a, i)] = {a, i};

    // Iterative depth-first search; a back edge closes a loop without a wait.
    std::vector<uint8_t> state(nodes, 0);  // 0 new, 1 on the stack, 2 done
    std::set<size_t> reported;
    std::vector<size_t> next;
    for (size_t start = 0; start < nodes; ++start) {
      if (state[start]) continue;
      std::vector<std::pair<size_t, std::vector<size_t>>> stack;
      state[start] = 1;
      successors(where[start].first, where[start].second, next);
      stack.push_back({start, next});
      while (!stack.empty()) {
        auto& [n, succ] = stack.back();
        if (succ.empty()) {
          state[n] = 2;
          stack.pop_back();
          continue;
        }
        size_t s = succ.back();
        succ.pop_back();
        if (state[s] == 1) {
          auto [a, i] = where[n];
          if (reported.insert(where[s].first).second)
            problem(c.file, "action " + num(static_cast<int64_t>(a)) + " instruction " + num(static_cast<int64_t>(i)),
                    "the script can loop back to action " + num(static_cast<int64_t>(where[s].first)) +
                        " instruction " + num(static_cast<int64_t>(where[s].second)) +
                        " without reaching a frame that waits: the game would hang");
        } else if (state[s] == 0) {
          state[s] = 1;
          successors(where[s].first, where[s].second, next);
          stack.push_back({s, next});
        }
      }
    }
  }

  // ---- scenes ----

  void checkScene(const std::string& id, const std::pair<std::string, SceneFile>& entry) {
    const std::string& file = entry.first;
    const SceneFile& s = entry.second;
    const ResourceEntry* set = catalogOk_ ? catalog_.entry(s.pictureSet) : nullptr;
    if (catalogOk_ && !set)
      problem(file, "picture-set", "picture set " + num(s.pictureSet) + " is not in the resource list (it has " +
                                       num(static_cast<int64_t>(catalog_.entries.size())) + " sets)");
    auto picture = [&](const std::string& where, int32_t n) {
      if (set && (n < 0 || static_cast<size_t>(n) >= set->pictures.size()))
        problem(file, where, "picture " + num(n) + " is not in picture set " + num(s.pictureSet) + " (" +
                                 num(static_cast<int64_t>(set->pictures.size())) + " pictures)");
    };
    picture("background", s.backgroundTexture);
    const char* layerNames[3] = {"far", "middle", "near"};
    const std::vector<SceneFile::SpriteEntry>* layers[3] = {&s.far, &s.middle, &s.near};
    for (int l = 0; l < 3; ++l)
      for (size_t i = 0; i < layers[l]->size(); ++i)
        picture(std::string(layerNames[l]) + " " + num(static_cast<int64_t>(i)), (*layers[l])[i].texture);
    if (Character* prop = chara(s.propId))
      for (size_t i = 0; i < s.props.size(); ++i)
        if (!hasAction(prop, s.props[i].action))
          problem(file, "prop " + num(static_cast<int64_t>(i)),
                  "action " + num(s.props[i].action) + " of " + shownName(s.propId) + " " +
                      absence(prop, s.props[i].action));
    for (size_t i = 0; i < s.doors.size(); ++i) {
      const std::string& target = s.doors[i].targetScene;
      if (!scenes_.count(target) && !brokenScenes_.count(target))
        problem(file, "door " + num(static_cast<int64_t>(i)),
                "leads to scene " + shownName(target) + ", but data/scene/" + gbkToUtf8(target) + ".dat does not exist");
    }
    if (s.doors.empty() && s.name != "zd" && id != "zd")
      problem(file, "doors", "the scene has no door and is not the last scene \"zd\": the game cannot go on from here");
    if (s.charas.empty() && !s.doors.empty())
      problem(file, "enemies", "a scene without enemies never opens its doors");
  }

  void checkSceneGraph() {
    if (!scenes_.count("Test")) {
      if (!brokenScenes_.count("Test"))
        problem("data/scene/Test.dat", "-", "the game starts in scene \"Test\", but its file does not exist");
      return;
    }
    std::set<std::string> seen = {"Test"};
    std::vector<std::string> todo = {"Test"};
    while (!todo.empty()) {
      std::string id = todo.back();
      todo.pop_back();
      auto it = scenes_.find(id);
      if (it == scenes_.end()) continue;
      for (const SceneFile::DoorEntry& d : it->second.second.doors)
        if (seen.insert(d.targetScene).second) todo.push_back(d.targetScene);
    }
    if (!seen.count("zd"))
      problem("data/scene/Test.dat", "doors",
              "the last scene \"zd\" cannot be reached from \"Test\" through doors: the game cannot be won");
    // The game ends when a scene named "zd" is cleared; the file name does not matter.
    auto zd = scenes_.find("zd");
    if (zd != scenes_.end() && zd->second.second.name != "zd")
      problem(zd->second.first, "scene", "the scene's own name is " + shownName(zd->second.second.name) +
                                             ": clearing it wins only when the name is \"zd\"");
  }

  std::string dir_;
  CheckReport report_;
  std::unique_ptr<PackReader> pack_;
  ResourceCatalog catalog_;
  bool catalogOk_ = false;
  std::map<std::string, Character> charas_;
  std::set<std::string> brokenCharas_;
  std::map<std::string, std::pair<std::string, SceneFile>> scenes_;
  std::set<std::string> brokenScenes_;
};

}  // namespace

std::string CheckReport::summary() const {
  return "ok: " + std::to_string(characters) + " characters, " + std::to_string(scenes) + " scenes, " +
         std::to_string(pictureSets) + " picture sets, " + std::to_string(packFiles) + " files in the pack";
}

CheckReport checkGameFolder(const std::string& gameDir) { return Checker(gameDir).run(); }
