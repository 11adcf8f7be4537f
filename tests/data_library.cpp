// The library's caches: character files parsed once per id, picture sets
// loaded once per number, and failures logged once and remembered.
#include <gtest/gtest.h>

#include "data_bytes.h"
#include "data_folder.h"
#include "object/Library.h"
#include "base/FileBytes.h"

using testdata::Bytes;
using testdata::DataFolder;

namespace {

std::vector<uint8_t> charaBytes(const std::string& name, int32_t hp, int32_t set) {
  return Bytes().str(name).i32(hp).i32(set).i32(1).str("stand").i32(1).i32(0).i32(2).f64(0).f64(10).i32(0).i32(0).b;
}

ResourceCatalog twoSets() {
  ResourceCatalog c;
  c.entries.push_back({"hero", {"a.png", "b.png", "c.png"}, {}});
  c.entries.push_back({"hero", {"a.png"}, {"hit.wav"}});  // same folder, its own set number
  return c;
}

}  // namespace

TEST(Library, LoadsACharacterOnceAndSharesItsPictureSet) {
  DataFolder folder;
  folder.writePng("pak/hero/hta/a.png", 8, 4);
  folder.writePng("pak/hero/hta/c.png", 2, 2);  // b.png is missing
  folder.write("data/chara/one.dat", charaBytes("one", 100, 0));
  folder.write("data/chara/two.dat", charaBytes("two", 60, 0));
  const ResourceCatalog catalog = twoSets();
  Library library(folder.engine(), &catalog);

  CharaData* one = library.findOrLoad("one");
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->id, "one");
  EXPECT_EQ(one->name, "one");
  EXPECT_EQ(one->maxHp, 100);
  EXPECT_EQ(one->standAction, 0);
  EXPECT_EQ(one->airAction, 4);
  ASSERT_NE(one->textureList, nullptr);
  EXPECT_EQ(one->textureList->getId(), 0);

  // A second request is the same record; the file is not read again.
  std::filesystem::remove("data/chara/one.dat");
  EXPECT_EQ(library.findOrLoad("one"), one);

  // Another id with the same picture set shares the list.
  CharaData* two = library.findOrLoad("two");
  ASSERT_NE(two, nullptr);
  EXPECT_EQ(two->textureList, one->textureList);
  EXPECT_EQ(library.charaData.size(), 2u);
  EXPECT_EQ(library.textureLists.size(), 1u);

  // The second picture is missing: 0 there, real handles around it.
  const TextureList* list = one->textureList;
  EXPECT_NE(list->texture(0), 0u);
  EXPECT_EQ(list->texture(1), 0u);
  EXPECT_NE(list->texture(2), 0u);
  EXPECT_EQ(list->texture(3), 0u);
  EXPECT_EQ(list->texture(uint32_t(-1)), 0u);
  EXPECT_EQ(list->sound(0), 0u);  // a set without sounds
  EXPECT_EQ(folder.engine()->Texture_GetWidth(list->texture(0)), 8);
  EXPECT_EQ(folder.logCount("Picture set 0: cannot load picture pak/hero/hta/b.png"), 1u);
}

TEST(Library, SameFolderUnderTwoNumbersGivesTwoLists) {
  DataFolder folder;
  folder.writePng("pak/hero/hta/a.png", 4, 4);
  folder.write("pak/hero/hte/hit.wav", std::string("RIFF"));
  const ResourceCatalog catalog = twoSets();
  Library library(folder.engine(), &catalog);
  TextureList* first = library.findOrLoadTextureList(0);
  TextureList* second = library.findOrLoadTextureList(1);
  EXPECT_NE(first, second);
  EXPECT_EQ(library.findOrLoadTextureList(0), first);
  EXPECT_EQ(library.findOrLoadTextureList(1), second);
  EXPECT_EQ(library.textureLists.size(), 2u);
  EXPECT_EQ(first->textures.size(), 3u);
  EXPECT_EQ(second->textures.size(), 1u);
  EXPECT_EQ(second->sounds.size(), 1u);
  // Each list loaded its own handle for the same file.
  EXPECT_NE(first->texture(0), 0u);
  EXPECT_NE(second->texture(0), 0u);
  EXPECT_NE(first->texture(0), second->texture(0));
}

TEST(Library, PictureSetOutsideTheCatalogGivesAnEmptyListAndALogLine) {
  DataFolder folder;
  const ResourceCatalog catalog = twoSets();
  Library library(folder.engine(), &catalog);
  TextureList* list = library.findOrLoadTextureList(7);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->getId(), 7);
  EXPECT_TRUE(list->textures.empty());
  EXPECT_TRUE(list->sounds.empty());
  EXPECT_EQ(list->texture(0), 0u);
  EXPECT_EQ(library.findOrLoadTextureList(7), list);
  EXPECT_EQ(library.findOrLoadTextureList(-1)->textures.size(), 0u);
  EXPECT_EQ(folder.logCount("Picture set 7 is not in the resource list (2 sets)"), 1u);
  EXPECT_EQ(folder.logCount("Picture set -1 is not in the resource list"), 1u);
}

TEST(Library, UnreadableCharacterFileIsLoggedOnceAndGivesNoRecord) {
  DataFolder folder;
  const ResourceCatalog catalog = twoSets();
  // Cut short inside the hit points.
  folder.write("data/chara/broken.dat", Bytes().str("ab").byte(1).byte(2).b);
  Library library(folder.engine(), &catalog);

  EXPECT_EQ(library.findOrLoad("broken"), nullptr);
  EXPECT_EQ(library.findOrLoad("broken"), nullptr);
  EXPECT_EQ(library.findOrLoad("missing"), nullptr);
  EXPECT_EQ(library.findOrLoad("missing"), nullptr);
  EXPECT_TRUE(library.charaData.empty());
  EXPECT_TRUE(library.textureLists.empty());  // nothing half-made
  EXPECT_EQ(library.failedIds, (std::vector<std::string>{"broken", "missing"}));
  EXPECT_EQ(folder.logCount("data/chara/broken.dat: offset 3: hit points: 4 bytes expected, 2 bytes left"), 1u);
  EXPECT_EQ(folder.logCount("data/chara/missing.dat: offset 0: cannot open: No such file or directory"), 1u);

  // A fixed file is still not read again in this run: the failure is remembered.
  folder.write("data/chara/broken.dat", Bytes().str("ab").i32(1).i32(0).i32(0).i32(0).i32(0).b);
  EXPECT_EQ(library.findOrLoad("broken"), nullptr);
}

TEST(Library, IdsAreComparedByteForByte) {
  DataFolder folder;
  const ResourceCatalog catalog = twoSets();
  folder.writePng("pak/hero/hta/a.png", 4, 4);
  folder.write("data/chara/Guai.dat", charaBytes("upper", 1, 1));
  folder.write("data/chara/guai.dat", charaBytes("lower", 2, 1));
  Library library(folder.engine(), &catalog);
  CharaData* upper = library.findOrLoad("Guai");
  CharaData* lower = library.findOrLoad("guai");
  ASSERT_NE(upper, nullptr);
  ASSERT_NE(lower, nullptr);
  EXPECT_NE(upper, lower);
  EXPECT_EQ(upper->name, "upper");
  EXPECT_EQ(lower->name, "lower");
}

TEST(FileBytes, ReadsEveryByteWithoutLineEndTranslation) {
  DataFolder folder;
  const std::vector<uint8_t> bytes = {13, 10, 26, 0, 13, 13, 10, 255};
  folder.write("raw.dat", bytes);
  Expected<std::vector<uint8_t>> read = readFileBytes("raw.dat");
  ASSERT_TRUE(read) << read.error().message();
  EXPECT_EQ(*read, bytes);
  Expected<std::vector<uint8_t>> dir = readFileBytes(".");
  EXPECT_FALSE(dir);
}
