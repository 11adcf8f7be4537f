// The renderer's picture sets: each loaded once per number, a missing picture
// a zero handle, a number outside the resource list an empty set.
#include <gtest/gtest.h>

#include "data_folder.h"
#include "render/PictureSets.h"

using testdata::DataFolder;

namespace {

ResourceCatalog twoSets() {
  ResourceCatalog c;
  c.entries.push_back({"hero", {"a.png", "b.png", "c.png"}, {}});
  c.entries.push_back({"hero", {"a.png"}, {"hit.wav"}});  // same folder, its own set number
  return c;
}

}  // namespace

TEST(PictureSets, LoadsASetOnceWithAZeroHandleForAMissingPicture) {
  DataFolder folder;
  folder.writePng("pak/hero/hta/a.png", 8, 4);
  folder.writePng("pak/hero/hta/c.png", 2, 2);  // b.png is missing
  PictureSets sets(folder.engine(), twoSets());

  const PictureSet& set = sets.set(0);
  EXPECT_EQ(set.number, 0);
  EXPECT_EQ(&sets.set(0), &set);
  EXPECT_NE(set.texture(0), 0u);
  EXPECT_EQ(set.texture(1), 0u);
  EXPECT_NE(set.texture(2), 0u);
  EXPECT_EQ(set.texture(3), 0u);
  EXPECT_EQ(set.texture(uint32_t(-1)), 0u);
  EXPECT_EQ(sets.texture(0, -1), 0u);
  EXPECT_EQ(set.sound(0), 0u);  // a set without sounds
  EXPECT_EQ(folder.engine()->Texture_GetWidth(set.texture(0)), 8);
  EXPECT_EQ(folder.logCount("Picture set 0: cannot load picture pak/hero/hta/b.png"), 1u);
}

TEST(PictureSets, SameFolderUnderTwoNumbersGivesTwoSets) {
  DataFolder folder;
  folder.writePng("pak/hero/hta/a.png", 4, 4);
  folder.write("pak/hero/hte/hit.wav", std::string("RIFF"));
  PictureSets sets(folder.engine(), twoSets());
  const PictureSet& first = sets.set(0);
  const PictureSet& second = sets.set(1);
  EXPECT_NE(&first, &second);
  EXPECT_EQ(first.textures.size(), 3u);
  EXPECT_EQ(second.textures.size(), 1u);
  EXPECT_EQ(second.sounds.size(), 1u);
  // Each set loaded its own handle for the same file.
  EXPECT_NE(first.texture(0), 0u);
  EXPECT_NE(second.texture(0), 0u);
  EXPECT_NE(first.texture(0), second.texture(0));
}

TEST(PictureSets, ANumberOutsideTheListGivesAnEmptySetAndOneLogLine) {
  DataFolder folder;
  PictureSets sets(folder.engine(), twoSets());
  const PictureSet& set = sets.set(7);
  EXPECT_EQ(set.number, 7);
  EXPECT_TRUE(set.textures.empty());
  EXPECT_TRUE(set.sounds.empty());
  EXPECT_EQ(set.texture(0), 0u);
  EXPECT_EQ(&sets.set(7), &set);
  EXPECT_EQ(sets.set(-1).textures.size(), 0u);
  EXPECT_EQ(folder.logCount("Picture set 7 is not in the resource list (2 sets)"), 1u);
  EXPECT_EQ(folder.logCount("Picture set -1 is not in the resource list"), 1u);
}

