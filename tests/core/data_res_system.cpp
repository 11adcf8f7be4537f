// Reading the resource list (counts store the last index) and the system data
// file (a true count, then strings; what follows is never read).
#include <gtest/gtest.h>

#include "data_bytes.h"
#include "format/ResourceCatalog.h"
#include "format/SystemData.h"

using testdata::Bytes;
using testdata::hex;

TEST(ResourceList, ExampleFileHoldsOneSetWithTwoPicturesAndNoSounds) {
  const std::vector<uint8_t> bytes =
      hex("00 00 00 00 | 04 68 65 72 6F | 01 00 00 00 | 05 61 2E 70 6E 67 | 05 62 2E 70 6E 67 | FF FF FF FF");
  ASSERT_EQ(bytes.size(), 29u);
  Expected<ResourceCatalog> catalog = parseResourceCatalog(bytes, "data/res.dat");
  ASSERT_TRUE(catalog) << catalog.error().message();
  ASSERT_EQ(catalog->entries.size(), 1u);
  EXPECT_EQ(catalog->entries[0].name, "hero");
  EXPECT_EQ(catalog->entries[0].pictures, (std::vector<std::string>{"a.png", "b.png"}));
  EXPECT_TRUE(catalog->entries[0].sounds.empty());
  EXPECT_EQ(writeResourceCatalog(*catalog), bytes);
}

TEST(ResourceList, LastIndexCountsAndEmptySets) {
  // -1 entries: an empty catalog.
  Expected<ResourceCatalog> empty = parseResourceCatalog(Bytes().i32(-1).b, "data/res.dat");
  ASSERT_TRUE(empty) << empty.error().message();
  EXPECT_TRUE(empty->entries.empty());
  // Values below -1 also mean none; the stored value is logged.
  CountLog log;
  Expected<ResourceCatalog> below = parseResourceCatalog(Bytes().i32(-9).b, "data/res.dat", &log);
  ASSERT_TRUE(below);
  EXPECT_TRUE(below->entries.empty());
  EXPECT_EQ(log.values, std::vector<int32_t>{-9});
  EXPECT_EQ(writeResourceCatalog(*below, &log), Bytes().i32(-9).b);
  EXPECT_EQ(writeResourceCatalog(*below), Bytes().i32(-1).b);

  // Two sets, the first with nothing in it, the second with the same (empty)
  // name: both keep their numbers.
  Bytes f;
  f.i32(1);
  f.str("").i32(-1).i32(-1);
  f.str("").i32(0).str("").i32(0).str("s.wav");
  Expected<ResourceCatalog> two = parseResourceCatalog(f.b, "data/res.dat");
  ASSERT_TRUE(two) << two.error().message();
  ASSERT_EQ(two->entries.size(), 2u);
  EXPECT_TRUE(two->entries[0].pictures.empty());
  EXPECT_TRUE(two->entries[0].sounds.empty());
  EXPECT_EQ(two->entries[1].pictures, std::vector<std::string>{""});
  EXPECT_EQ(two->entries[1].sounds, std::vector<std::string>{"s.wav"});
  EXPECT_EQ(two->entry(0), &two->entries[0]);
  EXPECT_EQ(two->entry(1), &two->entries[1]);
  EXPECT_EQ(two->entry(2), nullptr);
  EXPECT_EQ(two->entry(-1), nullptr);
}

TEST(ResourceList, DamagedFilesGiveOneErrorWithOffset) {
  // A last index of INT32_MAX: 2^31 sets cannot fit in 4 bytes.
  Expected<ResourceCatalog> huge = parseResourceCatalog(Bytes().i32(INT32_MAX).i32(0).b, "data/res.dat");
  ASSERT_FALSE(huge);
  EXPECT_EQ(huge.error().offset, 0u);
  EXPECT_EQ(huge.error().what,
            "entry count (last index): 2147483647 means 2147483648 entries of at least 9 bytes, but only 4 bytes "
            "left");
  // A picture name cut short.
  Bytes cut;
  cut.i32(0).str("hero").i32(0).byte(5).byte('a');
  Expected<ResourceCatalog> c = parseResourceCatalog(cut.b, "data/res.dat");
  ASSERT_FALSE(c);
  EXPECT_EQ(c.error().offset, 13u);
  EXPECT_EQ(c.error().what, "picture name: 5 bytes of text expected, 1 byte left");
  // Trailing bytes after the last set.
  Bytes trail;
  trail.i32(0).str("a").i32(-1).i32(-1).byte(0);
  Expected<ResourceCatalog> t = parseResourceCatalog(trail.b, "data/res.dat");
  ASSERT_TRUE(t) << t.error().message();
  EXPECT_EQ(t->trailing, std::string(1, '\0'));
  EXPECT_EQ(writeResourceCatalog(*t), trail.b);
}


TEST(SystemFile, ExampleFileHoldsOkAndAnEmptyString) {
  const std::vector<uint8_t> bytes = hex("02 00 00 00 | 02 6F 6B | 00");
  Expected<SystemData> data = parseSystemData(bytes, "data/system.dat");
  ASSERT_TRUE(data) << data.error().message();
  EXPECT_EQ(data->strings, (std::vector<std::string>{"ok", ""}));
  EXPECT_EQ(data->trailing, "");
  EXPECT_EQ(writeSystemData(*data), bytes);
}

TEST(SystemFile, CountIsATrueCountAndLaterBytesAreKeptUnread) {
  // The example's content with a count of 1: only "ok"; the last byte is not read.
  const std::vector<uint8_t> bytes = hex("01 00 00 00 | 02 6F 6B | 00");
  Expected<SystemData> data = parseSystemData(bytes, "data/system.dat");
  ASSERT_TRUE(data) << data.error().message();
  EXPECT_EQ(data->strings, std::vector<std::string>{"ok"});
  EXPECT_EQ(data->trailing, std::string(1, '\0'));
  EXPECT_EQ(writeSystemData(*data), bytes);

  // Trailing bytes that look like a negative length are not read either.
  Expected<SystemData> odd = parseSystemData(hex("00 00 00 00 | 80 FF"), "data/system.dat");
  ASSERT_TRUE(odd);
  EXPECT_TRUE(odd->strings.empty());
  EXPECT_EQ(odd->trailing, "\x80\xFF");

  CountLog log;
  Expected<SystemData> neg = parseSystemData(Bytes().i32(-3).b, "data/system.dat", &log);
  ASSERT_TRUE(neg);
  EXPECT_TRUE(neg->strings.empty());
  EXPECT_EQ(writeSystemData(*neg, &log), Bytes().i32(-3).b);
  EXPECT_EQ(writeSystemData(*neg), Bytes().i32(0).b);
}

TEST(SystemFile, DamagedFilesGiveOneErrorWithOffset) {
  Expected<SystemData> empty = parseSystemData({}, "data/system.dat");
  ASSERT_FALSE(empty);
  EXPECT_EQ(empty.error().message(), "data/system.dat: offset 0: string count: 4 bytes expected, 0 bytes left");

  Expected<SystemData> neg = parseSystemData(hex("01 00 00 00 | 9C 41"), "data/system.dat");
  ASSERT_FALSE(neg);
  EXPECT_EQ(neg.error().offset, 4u);
  EXPECT_EQ(neg.error().what, "string: length byte -100 is negative (0 to 127 expected)");

  Expected<SystemData> huge = parseSystemData(Bytes().i32(2000000000).str("x").b, "data/system.dat");
  ASSERT_FALSE(huge);
  EXPECT_EQ(huge.error().offset, 0u);
}
