// Random well-formed data files for the toolchain's round-trip tests: records
// with odd doubles, odd names, unusual empty-list counts and bytes after the
// last record, written through the game's own writers with a count log built
// alongside. Ids (a scene's enemies, props and doors) are plain names, as
// compile only writes those.
#pragma once

#include <bit>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "format/CharaData.h"
#include "format/CountLog.h"
#include "format/ResourceCatalog.h"
#include "format/SceneFile.h"
#include "format/SystemData.h"

namespace toolchain_random {

struct Gen {
  std::mt19937_64 rng;
  explicit Gen(uint64_t seed) : rng(seed) {}

  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  bool chance(int percent) { return pick(0, 99) < percent; }

  int32_t anyInt() {
    switch (pick(0, 4)) {
      case 0: return pick(-3, 3);
      case 1: return std::numeric_limits<int32_t>::min() + pick(0, 1);
      case 2: return std::numeric_limits<int32_t>::max() - pick(0, 1);
      case 3: return pick(-2000, 2000);
      default: return static_cast<int32_t>(rng());
    }
  }

  double anyDouble() {
    switch (pick(0, 13)) {
      case 0: return 0.0;
      case 1: return -0.0;
      case 2: return std::bit_cast<double>(0x7FF0000000000000ull | (rng() & 0x000FFFFFFFFFFFFFull) | 1ull |
                                           (rng() & 0x8000000000000000ull));  // NaN with a payload
      case 3: return std::bit_cast<double>(rng() & 0x800FFFFFFFFFFFFFull);     // denormal (or zero)
      case 4: return chance(50) ? 1e300 : -1e300;
      case 5: return chance(50) ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
      case 6: return std::bit_cast<double>(rng());                            // any bits at all
      case 7: return std::numeric_limits<double>::quiet_NaN();
      case 8: return pick(-300, 300) / 4.0;
      case 9: return std::numeric_limits<double>::denorm_min();
      case 10: return std::numeric_limits<double>::max();
      default: return pick(-100, 100);
    }
  }

  std::string anyName() {
    static const char* samples[] = {"", "guai01", "测试", "a\"b\\c", "line\nbreak\ttab", "系统效果"};
    std::string s;
    switch (pick(0, 4)) {
      case 0: {
        // GBK bytes of a sample, or plain ASCII
        s = samples[pick(0, 5)];
        // the samples are UTF-8 in this source; keep only ASCII ones as they are
        for (unsigned char c : s)
          if (c >= 0x80) return std::string("\xB2\xE2\xCA\xD4", 4);  // the GBK bytes of two Chinese characters
        return s;
      }
      case 1: {  // random bytes of any value
        int n = pick(0, 127);
        for (int i = 0; i < n; ++i) s += static_cast<char>(rng() & 0xFF);
        return s;
      }
      case 2: {  // exactly 127 bytes, GBK pairs where they fit
        while (s.size() + 2 <= 127) {
          s += static_cast<char>(pick(0xB0, 0xF7));
          s += static_cast<char>(pick(0xA1, 0xFE));
        }
        s += 'x';
        return s;
      }
      case 3: return "";
      default: {
        int n = pick(1, 12);
        for (int i = 0; i < n; ++i) s += static_cast<char>(pick(0x20, 0x7E));
        return s;
      }
    }
  }

  // A name the game accepts as an id (a file name): what compile lets through.
  std::string plainName() {
    std::string s;
    switch (pick(0, 3)) {
      case 0: return "guai01";
      case 1: return "\xB5\xDA\xB6\xFE\xB9\xD8";  // the GBK bytes of 第二关
      case 2:  // 127 bytes: GBK characters (rows B0-D6 are full), then one ASCII letter
        while (s.size() + 2 <= 126) {
          s += static_cast<char>(pick(0xB0, 0xD6));
          s += static_cast<char>(pick(0xA1, 0xFE));
        }
        return s + 'x';
      default: {
        int n = pick(1, 20);
        for (int i = 0; i < n; ++i) {
          char c = static_cast<char>(pick(0x20, 0x7E));
          s += (c == '/' || c == '\\') ? '_' : c;
        }
        return s == "." || s == ".." ? s + "x" : s;
      }
    }
  }

  // Bytes after the last record, sometimes.
  std::string trailingBytes() {
    std::string t;
    if (chance(30))
      for (int i = pick(1, 40); i > 0; --i) t += static_cast<char>(rng() & 0xFF);
    return t;
  }

  // The count of an empty list as a file may hold it: 0 (or -1 for the
  // resource list's last-index counts) or anything lower.
  int32_t emptyCount(int32_t canonical) {
    switch (pick(0, 3)) {
      case 0: return canonical;
      case 1: return canonical - pick(1, 5);
      case 2: return std::numeric_limits<int32_t>::min();
      default: return canonical;
    }
  }
  int32_t count(size_t n, int32_t emptyCanonical = 0, int32_t offset = 0) {
    return n == 0 ? emptyCount(emptyCanonical) : static_cast<int32_t>(n) + offset;
  }
};

inline std::vector<uint8_t> randomCharaFile(Gen& g) {
  CharaData d;
  CountLog log;
  d.name = g.anyName();
  d.maxHp = g.anyInt();
  d.pictureSet = g.anyInt();
  int actions = g.chance(10) ? 0 : g.pick(1, 8);
  for (int a = 0; a < actions; ++a) {
    Action act;
    act.name = g.anyName();
    int codes = g.chance(15) ? 0 : g.pick(1, 10);
    for (int c = 0; c < codes; ++c) {
      Instruction code;
      code.opcode = g.chance(85) ? g.pick(0, 10) : g.anyInt();
      int args = g.pick(0, 3) == 0 ? g.pick(0, 16) : [&] {
        static const int uses[11] = {4, 13, 5, 6, 8, 5, 2, 3, 2, 0, 4};
        return (code.opcode >= 0 && code.opcode <= 10) ? uses[code.opcode] : g.pick(0, 5);
      }();
      for (int k = 0; k < args; ++k) code.args.push_back(g.anyDouble());
      act.codes.push_back(code);
    }
    d.actions.push_back(act);
  }
  int reactions = g.chance(20) ? 0 : g.pick(1, 6);
  for (int r = 0; r < reactions; ++r) d.reactions.push_back(g.anyInt());
  int rules = g.chance(30) ? 0 : g.pick(1, 4);
  for (int r = 0; r < rules; ++r) {
    AiRule rule;
    rule.minDx = g.anyInt();
    rule.maxDx = g.anyInt();
    rule.minDz = g.anyInt();
    rule.maxDz = g.anyInt();
    rule.chance = g.anyInt();
    rule.flagA = g.chance(70) ? 0 : g.anyInt();
    rule.flagB = g.chance(70) ? 0 : g.anyInt();
    rule.action = g.anyInt();
    d.aiRules.push_back(rule);
  }
  log.values.push_back(g.count(d.actions.size()));
  for (const Action& a : d.actions) {
    log.values.push_back(g.count(a.codes.size()));
    for (const Instruction& c : a.codes) log.values.push_back(g.count(c.args.size()));
  }
  log.values.push_back(g.count(d.reactions.size()));
  log.values.push_back(g.count(d.aiRules.size()));
  d.trailing = g.trailingBytes();
  return writeCharaFile(d, &log);
}

inline std::vector<uint8_t> randomSceneFile(Gen& g) {
  SceneFile s;
  CountLog log;
  s.name = g.anyName();
  s.width = g.anyInt();
  s.depth = g.anyInt();
  s.pictureSet = g.anyInt();
  s.propId = g.plainName();  // ids are plain names: compile refuses others
  s.backgroundTexture = g.anyInt();
  s.reserved[0] = g.chance(50) ? 0 : g.anyInt();
  s.reserved[1] = g.chance(50) ? 0 : g.anyInt();
  for (auto* layer : {&s.far, &s.middle, &s.near}) {
    int n = g.chance(25) ? 0 : g.pick(1, 4);
    for (int i = 0; i < n; ++i) {
      SceneFile::SpriteEntry e;
      e.x = g.anyInt();
      e.y = g.anyInt();
      e.texture = g.anyInt();
      if (g.chance(30))
        for (int32_t& r : e.reserved) r = g.anyInt();
      layer->push_back(e);
    }
  }
  for (int i = g.chance(25) ? 0 : g.pick(1, 4); i > 0; --i) s.props.push_back({g.anyInt(), g.anyInt(), g.anyInt(), g.anyInt()});
  if (s.props.empty() && g.chance(30)) s.propId.clear();  // no props: no prop character needed
  for (int i = g.chance(25) ? 0 : g.pick(1, 4); i > 0; --i)
    s.charas.push_back({g.plainName(), g.anyInt(), g.anyInt(), g.chance(60) ? 0 : g.anyInt()});
  for (int i = g.chance(25) ? 0 : g.pick(1, 4); i > 0; --i)
    s.walls.push_back({g.anyInt(), g.anyInt(), g.anyInt(), g.anyInt(), g.anyInt()});
  for (int i = g.chance(25) ? 0 : g.pick(1, 4); i > 0; --i)
    s.doors.push_back({g.plainName(), g.anyInt(), g.anyInt(), g.anyInt(), g.anyInt()});
  for (size_t n : {s.far.size(), s.middle.size(), s.near.size(), s.props.size(), s.charas.size(), s.walls.size(),
                   s.doors.size()})
    log.values.push_back(g.count(n));
  s.trailing = g.trailingBytes();
  return writeSceneFile(s, &log);
}

inline std::vector<uint8_t> randomResFile(Gen& g) {
  ResourceCatalog c;
  CountLog log;
  int sets = g.chance(10) ? 0 : g.pick(1, 5);
  for (int i = 0; i < sets; ++i) {
    ResourceEntry e;
    e.name = g.anyName();
    for (int k = g.chance(25) ? 0 : g.pick(1, 5); k > 0; --k) e.pictures.push_back(g.anyName());
    for (int k = g.chance(25) ? 0 : g.pick(1, 5); k > 0; --k) e.sounds.push_back(g.anyName());
    c.entries.push_back(e);
  }
  log.values.push_back(g.count(c.entries.size(), -1, -1));
  for (const ResourceEntry& e : c.entries) {
    log.values.push_back(g.count(e.pictures.size(), -1, -1));
    log.values.push_back(g.count(e.sounds.size(), -1, -1));
  }
  c.trailing = g.trailingBytes();
  return writeResourceCatalog(c, &log);
}

inline std::vector<uint8_t> randomSystemFile(Gen& g) {
  SystemData d;
  CountLog log;
  for (int i = g.chance(20) ? 0 : g.pick(1, 6); i > 0; --i) d.strings.push_back(g.anyName());
  d.trailing = g.trailingBytes();
  log.values.push_back(g.count(d.strings.size()));
  return writeSystemData(d, &log);
}

}  // namespace toolchain_random
