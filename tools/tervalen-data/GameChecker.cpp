#include "GameChecker.h"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <tuple>

#include "CheckData.h"
#include "ContentChecks.h"
#include "StageChecks.h"
#include "GameFiles.h"
#include "format/JsonText.h"
#include "format/OpcodeTable.h"
#include "object/ScriptLoops.h"
#include "SceneGeometry.h"
#include "SpawnedStay.h"
#include "base/TextCodec.h"
#include "format/CharaData.h"
#include "object/ScriptNumber.h"
#include "base/DataPath.h"
#include "base/FileBytes.h"
#include "base/GameFolderLayer.h"
#include "base/DataLayers.h"
#include "format/ResourceCatalog.h"
#include "format/SceneFile.h"
#include "format/SystemData.h"
#include "format/RulesText.h"
#include "world/FairRulesFile.h"
#include "world/RulesFile.h"
#include "world/StageRulesText.h"

namespace fs = std::filesystem;

namespace {

const char* const kSystemId = "system";
// The actions the player control starts or the world relies on for the player.
const int kPlayerRoles[] = {0, 1, 2, 3, 4, 5, 6, 7, 11, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 31, 32, 33};
const int kEnemyRoles[] = {0, 1, 4, 5};
std::string shownName(const std::string& gbk) { return "\"" + gbkToUtf8(gbk) + "\""; }
std::string num(int64_t v) { return std::to_string(v); }

// "the character id \"../x\" is not a plain name: it holds a folder separator"
std::string notPlain(const char* what, const std::string& id, const std::string& why) {
  return std::string(what) + " \"" + escapedName(id) + "\" is not a plain name: " + why;
}

using Character = CheckedCharacter;
using SceneEntry = CheckedScene;

class Checker {
 public:
  Checker(const std::string& dir, const DataLayers* layers)
      : dir_(dir), files_(dir, [this](const std::string& file, const std::string& where, const std::string& message) {
          problem(file, where, message);
        }) {
    if (!layers) own_ = std::make_unique<DataLayers>(std::make_unique<GameFolderLayer>(dir));
    layers_ = layers ? layers : own_.get();
    files_.setLayers(layers_);
  }

  CheckReport run() {
    if (std::string why = gameFolderProblem(dir_); !why.empty()) {
      problem(dir_, "-", why);
      return report_;
    }
    readRules();
    checkLayeredSets();
    files_.setPackPassword(rules_.packPassword);
    report_.packFiles = files_.readPack();
    readCatalog();
    readSystemData();
    readCharacters();
    readScenes();
    files_.checkFixedFiles();
    files_.checkCatalogFiles(catalog_);
    markUses();
    for (auto& [path, c] : charas_) checkCharacter(c.id, c);
    checkSpawnedObjects();
    for (auto& [path, s] : scenes_) checkScene(s);
    checkSceneGraph();
    checkStage();
    checkScoredNames();
    checkContent(ContentCheckInput{charas_, scenes_, rules_, catalogOk_ ? &catalog_ : nullptr},
                 [this](const std::string& f, const std::string& w, const std::string& m) { problem(f, w, m); },
                 [this](const std::string& f, const std::string& w, const std::string& m) { warning(f, w, m); });
    checkStageContent(ContentCheckInput{charas_, scenes_, rules_, catalogOk_ ? &catalog_ : nullptr},
                      [this](const std::string& f, const std::string& w, const std::string& m) {
                        problem(f.rfind(dir_, 0) == 0 ? std::string(kRulesFile) : f, w, m);
                      },
                      [this](const std::string& f, const std::string& w, const std::string& m) { warning(f, w, m); });
    report_.characters = charas_.size();
    report_.scenes = scenes_.size();
    report_.pictureSets = catalog_.entries.size();
    for (auto* list : {&report_.problems, &report_.warnings, &report_.notes})
      std::stable_sort(list->begin(), list->end(),
                       [](const CheckProblem& a, const CheckProblem& b) { return a.file < b.file; });
    return report_;
  }

 private:
  void problem(const std::string& file, const std::string& where, const std::string& message) {
    report_.problems.push_back({file, where, message, {}});
  }
  void warning(const std::string& file, const std::string& where, const std::string& message) {
    report_.warnings.push_back({file, where, message, {}});
  }

  // ---- reading ----

  // Reads through the game's bounded reader (regular files only), so a data
  // file that is a FIFO or a link to a device is reported, not read.
  // `warnTrailing`: the game warns about bytes after the last record of this kind of file.
  template <class T, class Parse>
  bool readData(const std::string& relative, Parse parse, T& out, bool warnTrailing = true) {
    // A finding in a mod's file names the mod: 'mod "alley": data/chara/guai03.dat'.
    const std::string shown = layers_->shownPath(relative);
    Expected<std::vector<uint8_t>> bytes = layers_->read(relative);
    if (!bytes) {
      problem(shown, "-", "cannot read: " + bytes.error().what);
      return false;
    }
    Expected<T> parsed = parse(*bytes, shown);
    if (!parsed) {
      problem(shown, "offset " + num(static_cast<int64_t>(parsed.error().offset)), parsed.error().what);
      return false;
    }
    out = std::move(*parsed);
    if (warnTrailing && !out.trailing.empty()) {
      const size_t n = out.trailing.size();
      warning(shown, "offset " + num(static_cast<int64_t>(bytes->size() - n)),
              num(static_cast<int64_t>(n)) + (n == 1 ? " byte" : " bytes") + " after the last record " +
                  (n == 1 ? "is" : "are") + " ignored by the game");
    }
    return true;
  }

  // data/rules.txt: the player, the first and final scene and the pack's
  // password the game uses; a file that cannot be used is a problem (the game
  // would not start), and the game's own rules are checked against.
  void readRules() {
    Expected<GameRules> rules = layers_->modded() ? readGameRules(layers_)
                                                  : readGameRules((fs::path(dir_) / kRulesFile).string());
    if (!rules) {
      // The error names the layer's file ('mod "alley": data/rules.txt') and its line.
      const std::string file = rules.error().file.rfind(dir_, 0) == 0 ? std::string(kRulesFile) : rules.error().file;
      problem(file, "line " + num(static_cast<int64_t>(rules.error().offset)), rules.error().what);
      return;
    }
    rules_ = std::move(*rules);
    // The per-enemy rules each layer gives (score, pace, walk-speed), by line,
    // to match against the characters' names; and the keys a mod gives again.
    std::map<std::string, std::string> givenAt;  // key -> "file:line"
    for (const DataLayers::Layer& layer : layers_->layers()) {
      if (!layer.source->has(kRulesFile)) continue;
      const std::string file = layer.label() + kRulesFile;
      Expected<std::vector<uint8_t>> bytes = layer.source->read(kRulesFile, kMaxRulesTextBytes);
      if (!bytes) continue;
      Expected<RulesText> text = parseRulesText(*bytes, file);
      if (!text) continue;
      for (const RulesLine& line : text->lines) {
        const std::string at = file + ":" + num(static_cast<int64_t>(line.line));
        auto [was, fresh] = givenAt.emplace(line.key, at);
        // A scene's stretches take a line each: the same key again is the next stretch.
        if (!fresh && splitFirstWord(line.key).first == kStretchRule && was->second.rfind(file + ":", 0) == 0) {
          was->second = at;
          continue;
        }
        if (!fresh) {
          report_.notes.push_back({file, "line " + num(static_cast<int64_t>(line.line)),
                                   line.key + " = " + line.value + " overrides the rule of " + was->second, {}});
          was->second = at;
        }
        const auto [rule, name] = splitFirstWord(line.key);
        if (!isEnemyRule(rule) || name.empty()) continue;
        std::string gbk;
        if (utf8ToGbk(name, gbk)) namedEnemies_.push_back({rule, gbk, line.line, file});
      }
    }
  }

  // A picture set that two layers give differently: the upper one wins, and
  // whatever used the lower one's pictures by number now shows the other's.
  void checkLayeredSets() {
    struct Given {
      std::string file;
      ResourceCatalog catalog;
    };
    std::vector<Given> given;
    for (const DataLayers::Layer& layer : layers_->layers()) {
      if (!layer.source->has("data/res.dat")) continue;
      Expected<std::vector<uint8_t>> bytes = layer.source->read("data/res.dat", kMaxFileBytes);
      if (!bytes) continue;  // reported when the merged list is read
      const std::string file = layer.label() + "data/res.dat";
      Expected<ResourceCatalog> catalog = parseResourceCatalog(*bytes, file);
      if (!catalog) {
        problem(file, "offset " + num(static_cast<int64_t>(catalog.error().offset)), catalog.error().what);
        continue;
      }
      given.push_back({file, std::move(*catalog)});
    }
    auto empty = [](const ResourceEntry& e) { return e.name.empty() && e.pictures.empty() && e.sounds.empty(); };
    auto same = [](const ResourceEntry& a, const ResourceEntry& b) {
      return a.name == b.name && a.pictures == b.pictures && a.sounds == b.sounds;
    };
    for (size_t upper = 1; upper < given.size(); ++upper)
      for (size_t i = 0; i < given[upper].catalog.entries.size(); ++i) {
        const ResourceEntry& e = given[upper].catalog.entries[i];
        if (empty(e)) continue;
        for (size_t lower = 0; lower < upper; ++lower) {
          const std::vector<ResourceEntry>& below = given[lower].catalog.entries;
          if (i >= below.size() || empty(below[i]) || same(below[i], e)) continue;
          problem(given[upper].file, "set " + num(static_cast<int64_t>(i)),
                  "picture set " + num(static_cast<int64_t>(i)) + " \"" + gbkToUtf8(e.name) + "\" is also given by " +
                      given[lower].file + " as \"" + gbkToUtf8(below[i].name) +
                      "\": this one wins, and what used the other's pictures shows these; give it a number no "
                      "layer below uses");
          break;
        }
      }
  }

  // A rule for a name no character file gives does nothing: most likely a typo.
  void checkScoredNames() {
    std::set<std::string> names;
    for (const auto& [path, c] : charas_) names.insert(c.data.name);
    for (const NamedEnemy& n : namedEnemies_)
      if (!names.count(n.name))
        warning(n.file, "line " + num(static_cast<int64_t>(n.line)),
                n.rule + " " + gbkToUtf8(n.name) + ": no character file gives this name (its chara line), so the rule " +
                    (n.rule == kScoreRule ? "scores nothing" : "changes nobody"));
  }

  void readCatalog() {
    catalogOk_ = readData<ResourceCatalog>(
        "data/res.dat", [](auto b, auto f) { return parseResourceCatalog(b, f); }, catalog_);
  }

  void readSystemData() {
    SystemData data;
    // Its trailing bytes are an ordinary part of the file: the game does not warn about them.
    readData<SystemData>("data/system.dat", [](auto b, auto f) { return parseSystemData(b, f); }, data, false);
  }

  // The ids of the files in data/<folder>/ that the game can name: the file
  // name converted to GBK, when the game's own path for that id is this file.
  // Every such file is read, whatever it is, so that a FIFO or a link to a
  // device is reported rather than skipped.
  template <class Visit>
  void forEachDataFile(DataFileKind kind, const char* folder, Visit visit) {
    std::vector<std::pair<std::string, std::string>> found;  // id, relative path
    for (const std::string& name : layers_->list(std::string("data/") + folder)) {
      const fs::path file(name);
      if (file.extension() != ".dat") continue;
      std::string id;
      if (!utf8ToGbk(file.stem().string(), id)) continue;
      Expected<std::string> path = dataFilePath(kind, id);
      if (!path || *path != std::string("data/") + folder + "/" + name) continue;
      found.emplace_back(id, *path);
    }
    std::sort(found.begin(), found.end());
    for (const auto& [id, path] : found) visit(id, path);
  }

  void readCharacters() {
    forEachDataFile(DataFileKind::Chara, "chara", [&](const std::string& id, const std::string& path) {
      Character c;
      c.id = id;
      c.file = layers_->shownPath(path);
      if (readData<CharaData>(path, [](auto b, auto f) { return parseCharaFile(b, f); }, c.data))
        charas_.emplace(path, std::move(c));
      else
        brokenFiles_.insert(path);
    });
  }

  void readScenes() {
    forEachDataFile(DataFileKind::Scene, "scene", [&](const std::string& id, const std::string& path) {
      SceneEntry s;
      s.id = id;
      s.file = layers_->shownPath(path);
      if (readData<SceneFile>(path, [](auto b, auto f) { return parseSceneFile(b, f); }, s.data))
        scenes_.emplace(path, std::move(s));
      else
        brokenFiles_.insert(path);
    });
  }

  // The stretches and enemy places of the rules against the scenes they name,
  // as the game checks them at start: every problem, where the game stops at the first.
  void checkStage() {
    const std::vector<LoadError> found = stageProblems(rules_.stage, [&](const std::string& id) -> Expected<SceneFile> {
      const SceneEntry* s = scene(id);
      if (!s) return LoadError{"data/scene/" + gbkToUtf8(id) + ".dat", 0, "no such scene file, or it cannot be read"};
      return s->data;
    });
    for (const LoadError& e : found)
      problem(e.file.rfind(dir_, 0) == 0 ? std::string(kRulesFile) : e.file,
              "line " + num(static_cast<int64_t>(e.offset)), e.what);
  }

  // ---- who is what ----

  // The character the game loads for `id`, found by the game's own path rule.
  Character* chara(const std::string& id) {
    Expected<std::string> path = dataFilePath(DataFileKind::Chara, id);
    if (!path) return nullptr;
    auto it = charas_.find(*path);
    return it == charas_.end() ? nullptr : &it->second;
  }
  const SceneEntry* scene(const std::string& id) const {
    Expected<std::string> path = dataFilePath(DataFileKind::Scene, id);
    if (!path) return nullptr;
    auto it = scenes_.find(*path);
    return it == scenes_.end() ? nullptr : &it->second;
  }
  // A plain id whose file exists but could not be read (already reported).
  bool broken(DataFileKind kind, const std::string& id) const {
    Expected<std::string> path = dataFilePath(kind, id);
    return path && brokenFiles_.count(*path);
  }

  // Reports a character id that is needed but is not a plain name or has no readable file.
  void requireChara(const std::string& id, const std::string& file, const std::string& where, const std::string& why) {
    if (std::string bad = plainNameProblem(id); !bad.empty()) {
      problem(file, where, notPlain("the character id", id, bad) + "; the game makes nothing from it");
      return;
    }
    if (chara(id) || broken(DataFileKind::Chara, id)) return;
    problem(file, where, why + " " + shownName(id) + ", but " + charaFilePath(id) + " does not exist");
  }

  void markUses() {
    requireChara(rules_.playerId, "data/chara", "-", "the game creates the player");
    requireChara(kSystemId, "data/chara", "-", "the game creates the shared effects object");
    if (Character* p = chara(rules_.playerId)) p->fighter = p->player = true;
    for (const FairRules::PowerCost& cost : rules_.fair.powerCosts) {
      const Character* c = chara(cost.chara);
      if (!c && broken(DataFileKind::Chara, cost.chara)) continue;  // its file's own problem is reported
      if (std::string why = powerCostProblem(cost, c ? &c->data : nullptr); !why.empty())
        problem(cost.file.rfind(dir_, 0) == 0 ? std::string(kRulesFile) : cost.file,
                "line " + num(static_cast<int64_t>(cost.line)), why);
    }
    for (auto& [path, entry] : scenes_) {
      const SceneFile& s = entry.data;
      for (size_t i = 0; i < s.charas.size(); ++i) {
        requireChara(s.charas[i].id, entry.file, "enemy " + num(static_cast<int64_t>(i)), "the scene places the enemy");
        if (Character* c = chara(s.charas[i].id)) c->fighter = c->enemy = true;
      }
      if (!s.props.empty())
        requireChara(s.propId, entry.file, "prop-chara", "the scene's props are made from");
      else if (std::string bad = plainNameProblem(s.propId); !s.propId.empty() && !bad.empty())
        problem(entry.file, "prop-chara", notPlain("the character id", s.propId, bad));
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
        const Instruction& code = action.codes[k];
        std::string where = "action " + num(static_cast<int64_t>(a)) + " instruction " + num(static_cast<int64_t>(k));
        const OpcodeInfo* info = opcodeByNumber(code.opcode);
        if (!info) continue;
        if (code.args.size() < info->args.size())
          problem(c.file, where, std::string(info->name) + " has " + num(static_cast<int64_t>(code.args.size())) +
                                     " arguments but reads " + num(static_cast<int64_t>(info->args.size())));
        auto arg = [&](size_t i) { return toInt32(scriptArg(code.args, i)); };
        if (isExtendedOpcode(code.opcode)) {
          checkExtended(c, where, code, *info);
          continue;
        }
        switch (code.opcode) {
          case 0:
            if (set && (arg(0) < 0 || static_cast<size_t>(arg(0)) >= set->pictures.size()))
              problem(c.file, where, "picture " + num(arg(0)) + " is not in picture set " + num(d.pictureSet) + " (" +
                                         num(static_cast<int64_t>(set->pictures.size())) + " pictures)");
            break;
          case 4: {
            // The game truncates `from` for a hit (0.5 is the own file), while
            // spawn and sound take any value but 0 as the system file.
            const Character* from = arg(6) != 0 ? system : &c;
            if (from && !hasAction(from, arg(7)))
              problem(c.file, where, "hit spark action " + num(arg(7)) + " of " +
                                         (from == system ? std::string("system") : std::string("this file")) + " " +
                                         absence(from, arg(7)));
            checkReactionNumbers(c, where, arg(0), arg(1));
            if (from) noteSpawn(*from, arg(7), 0, c.file, where);
            break;
          }
          case 5: {
            const Character* from = scriptArg(code.args, 0) != 0 ? system : &c;
            if (from && !hasAction(from, arg(1)))
              problem(c.file, where, "spawned action " + num(arg(1)) + " of " +
                                         (from == system ? std::string("system") : std::string("this file")) + " " +
                                         absence(from, arg(1)));
            if (from) noteSpawn(*from, arg(1), arg(2), c.file, where);
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
            else if (on == 0 || on == 1)
              checkTargetInstruction(c, where, "jump", arg(1), arg(2));
            break;
          }
          case 8:
            if (!hasAction(&c, arg(0)))
              problem(c.file, where, "goto target action " + num(arg(0)) + " " + absence(&c, arg(0)));
            else  // the game's own arithmetic: the next fetch is one past pc - 1
              checkTargetInstruction(c, where, "goto",
                                     arg(0), toInt32(static_cast<double>(toInt32(scriptArg(code.args, 1) - 1.0)) + 1));
            break;
          default:
            break;
        }
      }
    }
    checkLoops(c);
  }

  // The extended instructions: played only when the rules switch them on
  // (elsewhere a warning: the game plays them as nothing, as it always has); a
  // grab box of no size in some direction, a negative throw damage, or a
  // throw or let-go in a file that never grabs (it holds nobody to throw) are
  // mistakes; a file that grabs needs the actions the keys start while it holds.
  void checkExtended(const Character& c, const std::string& where, const Instruction& code, const OpcodeInfo& info) {
    if (!rules_.extendedInstructions) {
      warning(c.file, where, std::string(info.name) + " is an extended instruction: this folder plays it as "
                                                      "nothing (data/rules.txt has no `instructions = extended`)");
      return;
    }
    const auto grabs = [](const CharaData& d) {
      for (const Action& a : d.actions)
        for (const Instruction& k : a.codes)
          if (k.opcode == 11) return true;
      return false;
    };
    switch (code.opcode) {
      case 11:
        for (size_t i = 2; i < 5; ++i)
          if (!(scriptArg(code.args, i) >= 0))
            problem(c.file, where, std::string("grab ") + info.args[i].name + "=" +
                                       shortestDouble(scriptArg(code.args, i)) + ": a grab box is never smaller than nothing");
        if (c.player && scriptArg(code.args, 2) != 0)
          for (int n : {40, 41, 42, 43})
            if (!hasAction(&c, n))
              problem(c.file, where, "a fighter that grabs needs action " + num(n) +
                                         " (40 hold, 41 knee, 42 throw, 43 vault), but it " + absence(&c, n));
        break;
      case 12:
        if (!(scriptArg(code.args, 2) >= 0))
          problem(c.file, where, "throw damage=" + shortestDouble(scriptArg(code.args, 2)) + ": a throw cannot heal");
        [[fallthrough]];
      case 13:
        if (!grabs(c.data))
          problem(c.file, where, std::string(info.name) + " in a file without a grab box: it never holds anyone");
        break;
      default:
        break;
    }
  }

  // A goto or an armed jump lands on an instruction of its target action; one
  // past the end ends that action at once, which is never what was written.
  void checkTargetInstruction(const Character& c, const std::string& where, const char* what, int32_t action,
                              int32_t pc) {
    const size_t size = c.data.actions[static_cast<size_t>(action)].codes.size();
    if (pc >= 0 && static_cast<size_t>(pc) < size) return;
    problem(c.file, where, std::string(what) + " to instruction " + num(pc) + " of action " + num(action) +
                               ", which has " + num(static_cast<int64_t>(size)) + " instructions (pc=0 to pc=" +
                               num(static_cast<int64_t>(size) - 1) + "): the game would end that action at once");
  }

  // Remembers where an object of `from` is spawned at action/pc (by a spawn
  // or as a hit spark), to look at its script once every file is read.
  void noteSpawn(const Character& from, int32_t action, int32_t pc, const std::string& byFile, const std::string& byWhere) {
    spawns_.emplace(SpawnKey{from.file, action, pc}, Spawner{&from, byFile + " " + byWhere});
  }

  // A spawned plain object leaves when its script runs out: one that never
  // can stays for good, and every spawn adds another.
  void checkSpawnedObjects() {
    for (const auto& [key, spawner] : spawns_) {
      const std::string& by = spawner.by;
      std::optional<ScriptPlace> at = placeThatNeverEnds(spawner.spawned->data.actions, key.action, key.pc);
      if (!at) continue;
      warning(key.file, "action " + num(static_cast<int64_t>(at->action)) + " instruction " +
                            num(static_cast<int64_t>(at->instruction)),
              "the object spawned at action " + num(key.action) + " pc=" + num(key.pc) + " (by " + by +
                  ") never leaves the scene: every way through its script comes back here and none runs out or "
                  "jumps out on a hit, so each one spawned stays for good");
    }
  }

  // Reaction numbers of a hit must be entries of every fighter it can strike.
  void checkReactionNumbers(const Character& attacker, const std::string& where, int32_t ground, int32_t air) {
    for (auto& [path, target] : charas_) {
      if (!target.fighter) continue;
      if (attacker.player && !target.enemy) continue;
      if (attacker.enemy && !attacker.player && !target.player) continue;
      for (int32_t r : {ground, air}) {
        if (r < 0 || static_cast<size_t>(r) >= target.data.reactions.size()) {
          problem(attacker.file, where,
                  "reaction " + num(r) + " is not in the reactions of " + shownName(target.id) + " (" +
                      num(static_cast<int64_t>(target.data.reactions.size())) + " entries)");
          return;
        }
      }
    }
  }

  void checkLoops(const Character& c) {
    findWaitlessLoops(c.data.actions, c.fighter, [&](const std::string& where, const std::string& message) {
      problem(c.file, where, message);
    });
  }

  // ---- scenes ----

  void checkScene(const SceneEntry& entry) {
    const std::string& file = entry.file;
    const SceneFile& s = entry.data;
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
    checkSceneGeometry(s, [&](const std::string& where, const std::string& message) { problem(file, where, message); });
    if (Character* prop = chara(s.propId))
      for (size_t i = 0; i < s.props.size(); ++i)
        if (!hasAction(prop, s.props[i].action))
          problem(file, "prop " + num(static_cast<int64_t>(i)),
                  "action " + num(s.props[i].action) + " of " + shownName(s.propId) + " " +
                      absence(prop, s.props[i].action));
    for (size_t i = 0; i < s.doors.size(); ++i) {
      const std::string& target = s.doors[i].targetScene;
      const std::string where = "door " + num(static_cast<int64_t>(i));
      if (std::string bad = plainNameProblem(target); !bad.empty())
        problem(file, where, notPlain("the target scene id", target, bad) + "; the door leads nowhere");
      else if (!scene(target) && !broken(DataFileKind::Scene, target))
        problem(file, where, "leads to scene " + shownName(target) + ", but " + sceneFilePath(target) + " does not exist");
    }
    if (s.doors.empty() && s.name != rules_.finalScene && entry.id != rules_.finalScene)
      problem(file, "doors", "the scene has no door and is not the last scene " + shownName(rules_.finalScene) +
                                 ": the game cannot go on from here");
    if (s.charas.empty() && !s.doors.empty())
      problem(file, "enemies", "a scene without enemies never opens its doors");
  }

  void checkSceneGraph() {
    const std::string& first = rules_.firstScene;
    const std::string& last = rules_.finalScene;
    const SceneEntry* start = scene(first);
    if (!start) {
      if (!broken(DataFileKind::Scene, first))
        problem(plainNameProblem(first).empty() ? sceneFilePath(first) : "data/scene", "-",
                "the game starts in scene " + shownName(first) + ", but its file does not exist");
      return;
    }
    std::set<std::string> seen = {first};
    std::vector<std::string> todo = {first};
    bool finalReached = false;
    while (!todo.empty()) {
      const SceneEntry* at = scene(todo.back());
      todo.pop_back();
      if (!at) continue;
      finalReached |= at->data.name == last;
      for (const SceneFile::DoorEntry& d : at->data.doors)
        if (seen.insert(d.targetScene).second) todo.push_back(d.targetScene);
    }
    // The game ends when a scene with the final name is cleared; the file name does not matter.
    const SceneEntry* named = scene(last);
    if (!finalReached && (!named || seen.count(last) == 0))
      problem(start->file, "doors",
              "the last scene " + shownName(last) + " cannot be reached from " + shownName(first) +
                  " through doors: the game cannot be won");
    else if (!finalReached && named)
      problem(named->file, "scene", "the scene's own name is " + shownName(named->data.name) +
                                        ": clearing it wins only when the name is " + shownName(last));
  }

  std::string dir_;
  std::unique_ptr<DataLayers> own_;  // the game folder alone, when no layers were given
  const DataLayers* layers_ = nullptr;
  GameRules rules_;
  struct NamedEnemy {
    std::string rule;  // score, pace or walk-speed
    std::string name;  // GBK, as the character files give it
    size_t line = 0;   // in data/rules.txt
    std::string file;  // the layer's rules file, as findings name it
  };
  std::vector<NamedEnemy> namedEnemies_;
  struct SpawnKey {
    std::string file;  // the spawned object's character file
    int32_t action = 0, pc = 0;
    bool operator<(const SpawnKey& o) const { return std::tie(file, action, pc) < std::tie(o.file, o.action, o.pc); }
  };
  struct Spawner {
    const Character* spawned;  // the file the object is made from
    std::string by;            // the first place that spawns it
  };
  std::map<SpawnKey, Spawner> spawns_;
  CheckReport report_;
  GameFiles files_;
  ResourceCatalog catalog_;
  bool catalogOk_ = false;
  std::map<std::string, Character> charas_;   // by relative path
  std::map<std::string, SceneEntry> scenes_;  // by relative path
  std::set<std::string> brokenFiles_;         // relative paths of data files that could not be read
};

}  // namespace

std::string CheckReport::summary() const {
  std::string line = "ok: " + std::to_string(characters) + " characters, " + std::to_string(scenes) + " scenes, " +
                     std::to_string(pictureSets) + " picture sets, " + std::to_string(packFiles) + " files in the pack";
  if (!warnings.empty())
    line += "; " + std::to_string(warnings.size()) + (warnings.size() == 1 ? " warning" : " warnings");
  return line;
}

std::string gameFolderProblem(const std::string& gameDir) {
  std::error_code ec;
  const fs::file_status st = fs::status(gameDir, ec);
  if (!fs::exists(st)) return "the game folder does not exist";
  if (!fs::is_directory(st)) return "not a folder: the game folder holds data/, pak.zip and font1.fnt";
  return {};
}

CheckReport checkGameFolder(const std::string& gameDir, const DataLayers* layers) {
  return Checker(gameDir, layers).run();
}
