// The generator's other files: the font description and its glyphs, the icon,
// the sound effects, the music, the resource list, and that the generator
// writes the same bytes every time.
#include <SDL_mixer.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "assetgen_support.h"
#include "gfx/BitmapFont.h"

using namespace assetgen_test;

namespace {

TEST(AssetgenFont, DescriptionDefinesEveryPrintableAsciiByteOnItsGlyphPicture) {
  ASSETGEN_REQUIRE_OUTPUT();
  std::vector<uint8_t> text = readAll(genDir() / "font1.fnt");
  FontDescription desc;
  ASSERT_TRUE(parseFontDescription(reinterpret_cast<const char*>(text.data()), text.size(), desc));
  ASSERT_FALSE(desc.events.empty());
  ASSERT_TRUE(desc.events.front().isBitmap);
  EXPECT_EQ(desc.events.front().bitmap, "font1.png");
  Surface atlas = loadRgba(genDir() / desc.events.front().bitmap);
  ASSERT_TRUE(atlas) << IMG_GetError();

  std::map<int, FontDescription::Glyph> glyphs;
  for (const auto& e : desc.events) {
    if (e.isBitmap) continue;
    EXPECT_FALSE(glyphs.count(e.glyph.code)) << "code " << e.glyph.code << " defined twice";
    glyphs[e.glyph.code] = e.glyph;
  }
  for (int code = 0x20; code <= 0x7E; ++code) {
    ASSERT_TRUE(glyphs.count(code)) << "no glyph for code " << code;
    const auto& g = glyphs[code];
    EXPECT_GT(g.w, 0) << code;
    EXPECT_EQ(g.h, glyphs[' '].h) << "all glyphs share one cell height, code " << code;
    EXPECT_GE(g.x, 0);
    EXPECT_GE(g.y, 0);
    EXPECT_LE(g.x + g.w, atlas->w) << code;
    EXPECT_LE(g.y + g.h, atlas->h) << code;
    // Glyphs are white (so that a tint colours them) and every visible byte draws something.
    int ink = 0;
    for (int y = g.y; y < g.y + g.h; ++y)
      for (int x = g.x; x < g.x + g.w; ++x) {
        Rgba p = pixel(atlas.get(), x, y);
        if (p.a > 0) {
          ++ink;
          ASSERT_TRUE(p.r == 255 && p.g == 255 && p.b == 255) << "glyph " << code << " is not white";
        }
      }
    if (code != ' ') {
      EXPECT_GT(ink, 10) << "glyph " << code << " is empty";
    }
  }
  EXPECT_GE(glyphs['0'].h, 16) << "too small to read";
  EXPECT_LE(glyphs['0'].h, 30);
}

TEST(AssetgenIcon, LoadsWithSdlImageAndHoldsOnlyBitmapEntries) {
  ASSETGEN_REQUIRE_OUTPUT();
  Surface icon(IMG_Load((genDir() / "icon.ico").string().c_str()));
  ASSERT_TRUE(icon) << IMG_GetError();
  EXPECT_GE(icon->w, 16);
  EXPECT_LE(icon->w, 64);
  std::vector<uint8_t> b = readAll(genDir() / "icon.ico");
  ASSERT_GE(b.size(), 6u);
  EXPECT_EQ(b[2] | b[3] << 8, 1) << "not an icon file";
  int count = b[4] | b[5] << 8;
  ASSERT_GE(count, 1);
  ASSERT_GE(b.size(), 6u + 16u * count);
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = &b[6 + 16 * i];
    int size = e[0] ? e[0] : 256;
    EXPECT_GE(size, 16);
    EXPECT_LE(size, 64);
    uint32_t offset = e[12] | e[13] << 8 | e[14] << 16 | static_cast<uint32_t>(e[15]) << 24;
    ASSERT_LT(offset + 4, b.size());
    EXPECT_EQ(b[offset], 40) << "entry " << i << " is not a BMP (PNG entries are refused by SDL2_image)";
  }
}

struct Wav {
  int channels = 0, rate = 0, bits = 0;
  std::vector<int16_t> samples;
};

Wav readWav(const std::vector<uint8_t>& b) {
  Wav w;
  auto u32 = [&](size_t o) { return b[o] | b[o + 1] << 8 | b[o + 2] << 16 | static_cast<uint32_t>(b[o + 3]) << 24; };
  auto u16 = [&](size_t o) { return b[o] | b[o + 1] << 8; };
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF") return w;
  size_t o = 12;
  while (o + 8 <= b.size()) {
    std::string id(b.begin() + o, b.begin() + o + 4);
    uint32_t len = u32(o + 4);
    if (id == "fmt ") {
      w.channels = u16(o + 10);
      w.rate = static_cast<int>(u32(o + 12));
      w.bits = u16(o + 22);
    } else if (id == "data") {
      for (size_t i = o + 8; i + 1 < o + 8 + len && i + 1 < b.size(); i += 2)
        w.samples.push_back(static_cast<int16_t>(u16(i)));
    }
    o += 8 + len + (len & 1);
  }
  return w;
}

TEST(AssetgenSounds, EffectsAreShortPeakNormalisedWavs) {
  ASSETGEN_REQUIRE_OUTPUT();
  int n = 0;
  for (const auto& e : std::filesystem::directory_iterator(packDir() / "system" / "hte")) {
    Wav w = readWav(readAll(e.path()));
    ASSERT_EQ(w.bits, 16) << e.path();
    ASSERT_GT(w.rate, 0) << e.path();
    ASSERT_FALSE(w.samples.empty()) << e.path();
    double seconds = static_cast<double>(w.samples.size()) / w.channels / w.rate;
    EXPECT_LT(seconds, 0.5) << e.path();
    int peak = 0;
    for (int16_t s : w.samples) peak = std::max(peak, std::abs(static_cast<int>(s)));
    // Normalised to -4.4 dBFS: two of them on the music still leave 1 dB (assetgen_loudness_test).
    EXPECT_GT(peak, 0.57 * 32767) << e.path() << " is not normalised";
    EXPECT_LT(peak, 0.63 * 32767) << e.path() << " leaves too little headroom for the mix";
    ++n;
  }
  EXPECT_GE(n, 7);
}

TEST(AssetgenMusic, DecodesToALoopOfTwoToThreeMinutes) {
  ASSETGEN_REQUIRE_OUTPUT();
  std::vector<uint8_t> mp3 = readAll(packDir() / "ui" / "hte" / "bg.mp3");
  ASSERT_GT(mp3.size(), 100000u);
  SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_AUDIO), 0) << SDL_GetError();
  Mix_Init(MIX_INIT_MP3);
  ASSERT_EQ(Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024), 0) << Mix_GetError();
  int freq = 0, channels = 0;
  Uint16 format = 0;
  Mix_QuerySpec(&freq, &format, &channels);
  Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(mp3.data(), static_cast<int>(mp3.size())), 1);
  double seconds = chunk ? static_cast<double>(chunk->alen) / (freq * channels * (SDL_AUDIO_BITSIZE(format) / 8)) : 0;
  std::string error = chunk ? "" : Mix_GetError();
  if (chunk) Mix_FreeChunk(chunk);
  Mix_Music* music = Mix_LoadMUS_RW(SDL_RWFromConstMem(mp3.data(), static_cast<int>(mp3.size())), 1);
  bool playable = music != nullptr;
  if (music) Mix_FreeMusic(music);
  // Mix_Quit is left out: it would unload the decoders for any later test in this process.
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  ASSERT_TRUE(playable) << "SDL2_mixer cannot open the music";
  ASSERT_GT(seconds, 0) << error;
  // Long enough that a run does not hear it come round every half minute,
  // short enough to keep the pack small.
  EXPECT_GE(seconds, 120.0);
  EXPECT_LE(seconds, 180.0);
  EXPECT_LT(mp3.size(), 4000000u);
}

TEST(AssetgenManifest, TheCommittedResourceListAndGuideMatchTheGenerator) {
  ASSETGEN_REQUIRE_OUTPUT();
  std::filesystem::path content = std::filesystem::path(TERVALEN_SOURCE_DIR) / "content";
  EXPECT_EQ(readAll(content / "res.txt"), readAll(genDir() / "res.txt"))
      << "content/res.txt is stale: copy " << (genDir() / "res.txt") << " over it";
  EXPECT_EQ(readAll(content / "pictures.md"), readAll(genDir() / "pictures.md"))
      << "content/pictures.md is stale: copy " << (genDir() / "pictures.md") << " over it";
}

std::map<std::string, std::vector<uint8_t>> tree(const std::filesystem::path& root) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(root))
    if (e.is_regular_file() && e.path().filename() != "stamp")
      files[std::filesystem::relative(e.path(), root).generic_string()] = readAll(e.path());
  return files;
}

TEST(AssetgenDeterminism, ASecondRunWritesTheSameFilesByteForByte) {
  ASSETGEN_REQUIRE_OUTPUT();
  ASSERT_TRUE(std::filesystem::exists(generator()));
  std::filesystem::path out = std::filesystem::temp_directory_path() / ("assetgen-rerun-" + std::to_string(getpid()));
  std::filesystem::remove_all(out);
  std::string cmd = "'" + generator().string() + "' '" + out.string() + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
  auto again = tree(out);
  auto first = tree(genDir());
  std::filesystem::remove_all(out);
  ASSERT_GT(first.size(), 200u);
  std::set<std::string> names1, names2;
  for (const auto& [k, v] : first) names1.insert(k);
  for (const auto& [k, v] : again) names2.insert(k);
  ASSERT_EQ(names1, names2);
  for (const auto& [name, bytes] : first) EXPECT_TRUE(bytes == again[name]) << name << " differs between runs";
}

TEST(AssetgenDeterminism, RefusesAMissingOutputFolderArgument) {
  ASSETGEN_REQUIRE_OUTPUT();
  std::string cmd = "'" + generator().string() + "' 2>/dev/null";
  int rc = std::system(cmd.c_str());
  ASSERT_NE(rc, -1);
  EXPECT_TRUE(WIFEXITED(rc));
  EXPECT_EQ(WEXITSTATUS(rc), 2);
}

}  // namespace
