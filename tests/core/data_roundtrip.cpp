// Random well-formed files of every kind read and write back byte for byte
// with their count log, and to the canonical form without it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "data_bytes.h"
#include "format/CharaData.h"
#include "format/ResourceCatalog.h"
#include "format/SceneFile.h"
#include "format/SystemData.h"

using testdata::Bytes;

namespace {

// Writes the same random file twice: `raw` with whatever the generator picks
// for the count of an empty list, `canonical` with the canonical count.
struct FileGen {
  std::mt19937 rng;
  Bytes raw, canonical;

  explicit FileGen(uint32_t seed) : rng(seed) {}

  int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }
  bool chance(int percent) { return pick(0, 99) < percent; }

  void i32(int32_t v) {
    raw.i32(v);
    canonical.i32(v);
  }
  int32_t anyI32() {
    switch (pick(0, 3)) {
      case 0: return pick(-3, 3);
      case 1: return std::numeric_limits<int32_t>::min() + pick(0, 1);
      case 2: return std::numeric_limits<int32_t>::max() - pick(0, 1);
      default: return int32_t(rng());
    }
  }
  void str() {
    int n = chance(10) ? 127 : chance(20) ? 0 : pick(1, 12);
    std::string s;
    for (int i = 0; i < n; ++i) s += char(pick(0, 255));
    raw.str(s);
    canonical.str(s);
  }
  void f64() {
    uint64_t bits;
    switch (pick(0, 7)) {
      case 0: bits = testdata::bitsOf(-0.0); break;
      case 1: bits = 0x7FF0000000000001ull + (uint64_t(rng()) << 20); break;  // NaN with a payload
      case 2: bits = 0xFFF8000000000000ull | rng(); break;                    // negative quiet NaN
      case 3: bits = uint64_t(pick(1, 1000));  break;                          // denormal
      case 4: bits = testdata::bitsOf(chance(50) ? 1e300 : -1e300); break;
      case 5: bits = testdata::bitsOf(std::numeric_limits<double>::infinity()); break;
      case 6: bits = uint64_t(rng()) << 32 | rng(); break;
      default: bits = testdata::bitsOf(double(pick(-100, 100)) / 4); break;
    }
    raw.bits64(bits);
    canonical.bits64(bits);
  }
  // A list length, with the count written: true counts or last-index counts.
  int count(bool lastIndex = false, int max = 4) {
    const int n = chance(30) ? 0 : pick(1, max);
    const int32_t canon = lastIndex ? n - 1 : n;
    int32_t stored = canon;
    if (n == 0 && chance(60)) {
      const int32_t emptyLimit = lastIndex ? -1 : 0;
      stored = chance(30) ? std::numeric_limits<int32_t>::min() : emptyLimit - pick(0, 5);
    }
    raw.i32(stored);
    canonical.i32(canon);
    return n;
  }
};

void genChara(FileGen& g) {
  g.str();
  g.i32(g.anyI32());
  g.i32(g.anyI32());
  for (int a = g.count(); a > 0; --a) {
    g.str();
    for (int c = g.count(false, 6); c > 0; --c) {
      g.i32(g.anyI32());
      for (int k = g.count(false, 9); k > 0; --k) g.f64();
    }
  }
  for (int r = g.count(); r > 0; --r) g.i32(g.anyI32());
  for (int r = g.count(); r > 0; --r)
    for (int k = 0; k < 8; ++k) g.i32(g.anyI32());
}

void genScene(FileGen& g) {
  g.str();
  for (int k = 0; k < 3; ++k) g.i32(g.anyI32());
  g.str();
  for (int k = 0; k < 3; ++k) g.i32(g.anyI32());
  for (int layer = 0; layer < 3; ++layer)
    for (int n = g.count(); n > 0; --n)
      for (int k = 0; k < 8; ++k) g.i32(g.anyI32());
  for (int n = g.count(); n > 0; --n)
    for (int k = 0; k < 4; ++k) g.i32(g.anyI32());
  for (int n = g.count(); n > 0; --n) {
    g.str();
    for (int k = 0; k < 3; ++k) g.i32(g.anyI32());
  }
  for (int n = g.count(); n > 0; --n)
    for (int k = 0; k < 5; ++k) g.i32(g.anyI32());
  for (int n = g.count(); n > 0; --n) {
    g.str();
    for (int k = 0; k < 4; ++k) g.i32(g.anyI32());
  }
}

void genRes(FileGen& g) {
  for (int e = g.count(true); e > 0; --e) {
    g.str();
    for (int n = g.count(true); n > 0; --n) g.str();
    for (int n = g.count(true); n > 0; --n) g.str();
  }
}

void genSystem(FileGen& g) {
  for (int n = g.count(false, 6); n > 0; --n) g.str();
  if (g.chance(30)) {  // bytes the game never reads
    const int n = g.pick(1, 9);
    for (int i = 0; i < n; ++i) {
      const uint8_t b = uint8_t(g.pick(0, 255));
      g.raw.byte(b);
      g.canonical.byte(b);
    }
  }
}

template <class Record>
void checkRoundTrip(void (*gen)(FileGen&),
                    Expected<Record> (*parse)(std::span<const uint8_t>, const std::string&, CountLog*),
                    std::vector<uint8_t> (*write)(const Record&, const CountLog*)) {
  int nonCanonical = 0;
  for (uint32_t seed = 1; seed <= 1500; ++seed) {
    FileGen g(seed);
    gen(g);
    CountLog log;
    Expected<Record> record = parse(g.raw.b, "random.dat", &log);
    ASSERT_TRUE(record) << "seed " << seed << ": " << record.error().message();
    ASSERT_EQ(write(*record, &log), g.raw.b) << "seed " << seed;
    ASSERT_EQ(write(*record, nullptr), g.canonical.b) << "seed " << seed;
    if (g.raw.b != g.canonical.b) ++nonCanonical;
  }
  // The generator really produced files whose counts only the log can restore.
  EXPECT_GT(nonCanonical, 100);
}

}  // namespace

TEST(DataRoundTrip, CharacterFiles) { checkRoundTrip<CharaData>(genChara, parseCharaFile, writeCharaFile); }
TEST(DataRoundTrip, SceneFiles) { checkRoundTrip<SceneFile>(genScene, parseSceneFile, writeSceneFile); }
TEST(DataRoundTrip, ResourceLists) {
  checkRoundTrip<ResourceCatalog>(genRes, parseResourceCatalog, writeResourceCatalog);
}
TEST(DataRoundTrip, SystemFiles) { checkRoundTrip<SystemData>(genSystem, parseSystemData, writeSystemData); }

TEST(DataRoundTrip, OddDoublesKeepTheirExactBits) {
  const uint64_t odd[] = {testdata::bitsOf(-0.0), 0x7FF0000000000001ull, 0xFFF80000DEADBEEFull, 1ull,
                          testdata::bitsOf(1e300)};
  Bytes f;
  f.str("d").i32(1).i32(0).i32(1).str("a").i32(1).i32(2).i32(5);
  for (uint64_t b : odd) f.bits64(b);
  f.i32(0).i32(0);
  Expected<CharaData> data = parseCharaFile(f.b, "odd.dat");
  ASSERT_TRUE(data) << data.error().message();
  const std::vector<double>& args = data->actions[0].codes[0].args;
  ASSERT_EQ(args.size(), 5u);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(testdata::bitsOf(args[i]), odd[i]) << i;
  EXPECT_TRUE(std::signbit(args[0]));
  EXPECT_EQ(writeCharaFile(*data), f.b);
}
