// A picture set loads each file once, however often its list names it: later
// indices share the handle (or the failure), and each handle is freed once.
#include <gtest/gtest.h>
#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <map>

#include "StubEngine.h"
#include "data_folder.h"
#include "picture_files.h"
#include "render/PictureSets.h"

namespace {

// An engine that counts what it is asked to load and free.
class CountingEngine : public testengine::StubEngine {
 public:
  std::map<std::string, int> textureLoads, effectLoads;
  std::vector<HTEXTURE> freed;

  HTEXTURE Texture_Load(const char* name, uint32_t, bool) override {
    ++textureLoads[name];
    return std::string(name).find("missing") != std::string::npos ? 0 : next_++;
  }
  void Texture_Free(HTEXTURE t) override { freed.push_back(t); }
  HEFFECT Effect_Load(const char* name, uint32_t) override {
    ++effectLoads[name];
    return next_++;
  }

 private:
  uint32_t next_ = 1;
};

TEST(PictureSetLoading, EachFileIsLoadedOnceAndFreedOnce) {
  ResourceCatalog catalog;
  catalog.entries.push_back({"Hero",
                             {"a.png", "A.PNG", "sub\\b.png", "sub/./b.png", "a.png", "missing.png", "MISSING.png",
                              "other/../c.png", "c.png"},
                             {"hit.wav", "HIT.WAV", "x.wav", "hit.wav"}});
  CountingEngine engine;
  {
    PictureSets sets(&engine, catalog);
    const PictureSet& list = sets.set(0);
    // One load per file: a, sub/b, missing (a failure is not tried again) and c.
    EXPECT_EQ(engine.textureLoads.size(), 4u);
    for (const auto& [name, count] : engine.textureLoads) EXPECT_EQ(count, 1) << name;
    EXPECT_EQ(engine.effectLoads.size(), 2u);
    for (const auto& [name, count] : engine.effectLoads) EXPECT_EQ(count, 1) << name;

    // Every index still has its entry; names of one file share its handle.
    ASSERT_EQ(list.textures.size(), 9u);
    EXPECT_NE(list.texture(0), 0u);
    EXPECT_EQ(list.texture(1), list.texture(0));
    EXPECT_EQ(list.texture(4), list.texture(0));
    EXPECT_NE(list.texture(2), 0u);
    EXPECT_NE(list.texture(2), list.texture(0));
    EXPECT_EQ(list.texture(3), list.texture(2));
    EXPECT_EQ(list.texture(5), 0u);
    EXPECT_EQ(list.texture(6), 0u);
    EXPECT_NE(list.texture(8), 0u);
    EXPECT_EQ(list.texture(7), list.texture(8));
    ASSERT_EQ(list.sounds.size(), 4u);
    EXPECT_EQ(list.sound(1), list.sound(0));
    EXPECT_EQ(list.sound(3), list.sound(0));
    EXPECT_NE(list.sound(2), list.sound(0));
  }
  // Three textures, each freed once.
  std::vector<HTEXTURE> freed = engine.freed;
  std::sort(freed.begin(), freed.end());
  EXPECT_EQ(freed.size(), 3u);
  EXPECT_EQ(std::unique(freed.begin(), freed.end()), freed.end()) << "a texture was freed twice";
}

TEST(PictureSetLoading, LoadingAheadOneFileACallGivesTheSameSets) {
  ResourceCatalog catalog;
  catalog.entries.push_back({"Hero", {"a.png", "A.png", "b.png"}, {"hit.wav"}});
  catalog.entries.push_back({"Town", {"t.png"}, {}});
  catalog.entries.push_back({"Boss", {"x.png", "y.png"}, {"roar.wav"}});
  CountingEngine ahead, plain;
  {
    PictureSets sets(&ahead, catalog, 1), reference(&plain, catalog);
    const PictureSet& town = sets.set(1);  // asked for first: loading ahead skips it
    EXPECT_EQ(town.texture(0), 1u);
    size_t calls = 0;
    auto loads = [&] { return ahead.textureLoads.size() + ahead.effectLoads.size(); };
    for (size_t before = loads(); sets.loadAhead(); before = loads()) {
      ++calls;
      EXPECT_LE(loads(), before + 1) << "call " << calls;
      if (calls == 2) {
        // Half of Hero is loaded: asking for it finishes it at once.
        const PictureSet& hero = sets.set(0);
        ASSERT_EQ(hero.textures.size(), 3u);
        EXPECT_EQ(hero.texture(1), hero.texture(0));
        ASSERT_EQ(hero.sounds.size(), 1u);
      }
    }
    EXPECT_FALSE(sets.loadAhead());
    // Every file once: a.png (A.png is the same file), b.png and hit.wav of
    // Hero, t.png of Town, x.png, y.png and roar.wav of Boss.
    for (const auto& [name, count] : ahead.textureLoads) EXPECT_EQ(count, 1) << name;
    EXPECT_EQ(ahead.textureLoads.size(), 5u);
    EXPECT_EQ(ahead.effectLoads.size(), 2u);
    // The sets loaded ahead are the sets loaded at once.
    for (int32_t n = 0; n < 3; ++n) {
      EXPECT_EQ(sets.set(n).textures.size(), reference.set(n).textures.size()) << n;
      EXPECT_EQ(sets.set(n).sounds.size(), reference.set(n).sounds.size()) << n;
    }
    EXPECT_EQ(ahead.textureLoads.size(), 5u) << "asking for a set loaded ahead loads nothing again";
  }
  std::sort(ahead.freed.begin(), ahead.freed.end());
  EXPECT_EQ(ahead.freed.size(), 5u);
  EXPECT_EQ(std::unique(ahead.freed.begin(), ahead.freed.end()), ahead.freed.end());
}

TEST(PictureSetLoading, ASetHalfLoadedAheadIsFreedWithTheRest) {
  ResourceCatalog catalog;
  catalog.entries.push_back({"Hero", {"a.png", "b.png", "c.png"}, {}});
  CountingEngine engine;
  {
    PictureSets sets(&engine, catalog, 1);
    EXPECT_TRUE(sets.loadAhead());
    EXPECT_TRUE(sets.loadAhead());
  }
  EXPECT_EQ(engine.textureLoads.size(), 2u);
  EXPECT_EQ(engine.freed.size(), 2u);
}

// A call loads up to its number of files; names of a file loaded already
// do not count, and a call that finishes a set goes on into the next.
TEST(PictureSetLoading, LoadingAheadTakesSeveralFilesACallAndRepeatedNamesAreFree) {
  ResourceCatalog catalog;
  catalog.entries.push_back({"Hero", {"a.png", "a.png", "A.png", "b.png", "c.png"}, {"hit.wav"}});
  catalog.entries.push_back({"Town", {"t.png", "u.png", "v.png"}, {}});
  CountingEngine engine;
  PictureSets sets(&engine, catalog, 4);
  auto loads = [&] { return engine.textureLoads.size() + engine.effectLoads.size(); };
  EXPECT_TRUE(sets.loadAhead());
  EXPECT_EQ(loads(), 4u);  // a, b, c, hit.wav
  EXPECT_FALSE(sets.loadAhead());  // t, u, v: all loaded
  EXPECT_EQ(loads(), 7u);
  EXPECT_FALSE(sets.loadAhead());
  EXPECT_EQ(loads(), 7u);
}

bool writePack(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries) {
  int err = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
  if (!za) return false;
  for (const auto& [name, content] : entries) {
    void* copy = std::malloc(content.size() + 1);
    std::memcpy(copy, content.data(), content.size());
    zip_source_t* src = zip_source_buffer(za, copy, content.size(), 1);
    if (zip_file_add(za, name.c_str(), src, ZIP_FL_ENC_RAW) < 0) {
      zip_source_free(src);
      zip_discard(za);
      return false;
    }
  }
  return zip_close(za) == 0;
}

TEST(PictureSetLoading, AnEntryNamedAHundredTimesIsInflatedOnce) {
  // 16 MiB of zeros deflate to a few KB; named 100 times they were inflated 100 times.
  testdata::DataFolder folder;
  ASSERT_TRUE(writePack("pak.zip", {{"pak/big/hta/zeros.png", std::string(16u << 20, '\0')},
                                    {"pak/big/hta/face.png", picturefiles::blackPng(10, 6)}}));
  HGE* engine = folder.engine();
  ASSERT_TRUE(engine->Resource_AttachPack("pak.zip", nullptr));
  ResourceCatalog catalog;
  catalog.entries.push_back({"big", {}, {}});
  for (int i = 0; i < 100; ++i) catalog.entries[0].pictures.push_back(i % 2 ? "ZEROS.png" : "zeros.png");
  for (int i = 0; i < 50; ++i) catalog.entries[0].pictures.push_back("face.png");

  HTEXTURE face = 0;
  {
    PictureSets sets(engine, catalog);
    const PictureSet& list = sets.set(0);
    EXPECT_EQ(folder.logCount("pak/big/hta/zeros.png"), 2u)
        << "one line from the engine, one from the set:\n" << folder.log();
    EXPECT_EQ(folder.logCount("Picture set 0: cannot load picture"), 1u);
    EXPECT_EQ(list.texture(0), 0u);
    EXPECT_EQ(list.texture(99), 0u);
    face = list.texture(100);
    ASSERT_NE(face, 0u);
    EXPECT_EQ(list.texture(149), face);
    EXPECT_EQ(engine->Texture_GetWidth(face), 10);
  }
  EXPECT_EQ(engine->Texture_GetWidth(face), 0) << "freed with its set";
}

}  // namespace
