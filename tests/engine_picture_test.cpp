// Pictures are sized from their headers before they are decoded: too large a
// side or too many pixels in all is refused without costing the memory.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include "engine/PictureSize.h"
#include "engine/TextureStore.h"
#include "engine_support.h"
#include "picture_files.h"

namespace {

using namespace picturefiles;

PictureSize sizeOf(const std::string& bytes, std::string* why = nullptr) {
  std::string error;
  PictureSize s = readPictureSize(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), error);
  if (why) *why = error;
  return s;
}

// What SDL_image makes of the file: width x height, or -1 x -1.
std::pair<int, int> decodedSize(const std::string& bytes) {
  SDL_Surface* s = IMG_Load_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
  if (!s) return {-1, -1};
  std::pair<int, int> size{s->w, s->h};
  SDL_FreeSurface(s);
  return size;
}

std::string surfaceFile(int w, int h, const char* kind) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
  SDL_FillRect(s, nullptr, 0xFF336699u);
  ScratchDir dir;
  const std::string path = dir.file("picture");
  if (std::string(kind) == "png") IMG_SavePNG(s, path.c_str());
  if (std::string(kind) == "jpg") IMG_SaveJPG(s, path.c_str(), 90);
  if (std::string(kind) == "bmp") SDL_SaveBMP(s, path.c_str());
  SDL_FreeSurface(s);
  return readFile(path);
}

TEST(PictureHeaders, GiveTheSizeTheDecoderMakes) {
  struct Case {
    const char* what;
    std::string bytes;
    PictureFormat format;
  };
  const Case cases[] = {
      {"PNG from SDL_image", surfaceFile(37, 21, "png"), PictureFormat::Png},
      {"PNG of one colour", blackPng(300, 200), PictureFormat::Png},
      {"JPEG from SDL_image", surfaceFile(41, 23, "jpg"), PictureFormat::Jpeg},
      {"BMP from SDL", surfaceFile(33, 17, "bmp"), PictureFormat::Bmp},
      {"GIF", gif(1, 1, 1, 1), PictureFormat::Gif},
      {"QOI", qoi(3, 2), PictureFormat::Qoi},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(c.bytes.empty()) << c.what;
    std::string why;
    const PictureSize s = sizeOf(c.bytes, &why);
    EXPECT_EQ(s.format, c.format) << c.what << ": " << why;
    const auto [w, h] = decodedSize(c.bytes);
    EXPECT_EQ(static_cast<int>(s.width), w) << c.what;
    EXPECT_EQ(static_cast<int>(s.height), h) << c.what;
  }
  // An icon's size covers the entry the decoder picks (its DIB height counts the mask too).
  const std::string ico = icon(16);
  const PictureSize s = sizeOf(ico);
  EXPECT_EQ(s.format, PictureFormat::Ico);
  const auto [w, h] = decodedSize(ico);
  EXPECT_EQ(w, 16);
  EXPECT_GE(s.width, 16u);
  EXPECT_GE(s.height, static_cast<uint32_t>(h));
}

TEST(PictureHeaders, ReadLargeSizesFromEveryFormat) {
  // A progressive JPEG after an APP0 segment, with fill bytes before its frame header.
  std::string jpeg = std::string("\xFF\xD8", 2);
  jpeg += std::string("\xFF\xE0", 2) + be16(16) + std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14);
  jpeg += std::string("\xFF\xFF\xC2", 3) + be16(11) + "\x08" + be16(12000) + be16(16000) + "\x01\x01\x11\x00";
  PictureSize s = sizeOf(jpeg);
  EXPECT_EQ(s.format, PictureFormat::Jpeg);
  EXPECT_EQ(s.width, 16000u);
  EXPECT_EQ(s.height, 12000u);

  // A GIF whose first image is larger than its logical screen.
  s = sizeOf(gif(1, 1, 9000, 2));
  EXPECT_EQ(s.width, 9000u);
  EXPECT_EQ(s.height, 2u);

  // BMP: top-down rows have a negative height; the OS/2 header has 16-bit sizes.
  s = sizeOf("BM" + std::string(12, '\0') + le32(40) + le32(20000) + le32(static_cast<uint32_t>(-30000)) +
             std::string(20, '\0'));
  EXPECT_EQ(s.width, 20000u);
  EXPECT_EQ(s.height, 30000u);
  s = sizeOf("BM" + std::string(12, '\0') + le32(12) + le16(65535) + le16(3) + std::string(8, '\0'));
  EXPECT_EQ(s.width, 65535u);
  EXPECT_EQ(s.height, 3u);

  // An icon entry whose header claims far more than the directory's 16 pixels.
  s = sizeOf(icon(16, 100000, 200000));
  EXPECT_EQ(s.width, 100000u);
  EXPECT_GE(s.height, 100000u);

  std::string q = "qoif";
  putBe32(q, 70000);
  putBe32(q, 1);
  s = sizeOf(q + std::string("\x04\x00", 2));
  EXPECT_EQ(s.width, 70000u);
}

TEST(PictureHeaders, RefuseWhatTheyCannotSize) {
  const std::string cut[] = {
      std::string("\x89PNG\r\n\x1a\n", 8),                          // no IHDR
      blackPng(4, 4).substr(0, 20),                                  // IHDR cut short
      std::string("\xFF\xD8\xFF\xE0\x00", 5),                       // a JPEG segment cut short
      std::string("\xFF\xD8\xFF\xDA\x00\x08", 6) + std::string(8, '\0'),  // scan data before any frame header
      std::string("\xFF\xD8\xFF\xC0\x00\x11\x08\x00\x00\x00\x10", 11) + std::string(8, '\0'),  // height 0
      "GIF89a\x01",                                                  // GIF cut short
      "BM" + std::string(10, '\0'),                                  // BMP cut short
      "BM" + std::string(12, '\0') + le32(8) + std::string(12, '\0'),  // no known DIB header
      std::string("\0\0\1\0", 4),                                    // icon header cut short
      std::string("\0\0\1\0\1\0", 6),                                // icon directory cut short
      icon(16).substr(0, 30),                                        // icon entry without its header
      "qoif\0\0",
  };
  for (const std::string& bytes : cut) {
    std::string why;
    EXPECT_EQ(sizeOf(bytes, &why).format, PictureFormat::Unknown) << bytes.size() << " bytes";
    EXPECT_FALSE(why.empty());
  }
  // Formats SDL_image knows but whose size the engine does not read are not decoded.
  for (const std::string& other : {std::string("II*\0", 4) + std::string(60, '\0'),
                                   "RIFF" + le32(40) + "WEBPVP8 " + std::string(40, '\0'),
                                   std::string("P6\n3 2\n255\n") + std::string(18, '\0'),
                                   std::string("<svg width=\"100000\" height=\"100000\"/>")}) {
    std::string why;
    EXPECT_EQ(sizeOf(other, &why).format, PictureFormat::Unknown);
    EXPECT_NE(why.find("not a picture format the game reads"), std::string::npos) << why;
    std::string error;
    EXPECT_EQ(decodePicture(other.data(), other.size(), 1u << 20, error), nullptr);
  }
}

long maxResidentKb() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST(PictureBounds, AHugePngIsRefusedBeforeItIsDecoded) {
  // A valid PNG of 16000x16000 pixels (1 GB once decoded as ARGB) in a few hundred KB.
  ScratchDir dir;
  const std::string huge = blackPng(16000, 16000);
  EXPECT_LT(huge.size(), 300u * 1024);
  writeFile(dir.file("huge.png"), huge);
  // Its smaller twin decodes: the file is a picture SDL_image reads.
  writeFile(dir.file("small.png"), blackPng(300, 200));
  writeFile(dir.file("widest.png"), blackPng(kMaxPictureSide, 1));
  writeFile(dir.file("too-wide.png"), blackPng(kMaxPictureSide + 1, 1));

  TestEngine engine;
  engine->System_SetState(HGE_LOGFILE, dir.file("log.txt").c_str());
  const HTEXTURE small = engine->Texture_Load(dir.file("small.png").c_str());
  ASSERT_NE(small, 0u);
  EXPECT_EQ(engine->Texture_GetWidth(small), 300);
  EXPECT_EQ(engine->Texture_GetHeight(small), 200);

  const long before = maxResidentKb();
  EXPECT_EQ(engine->Texture_Load(dir.file("huge.png").c_str()), 0u);
  EXPECT_LT(maxResidentKb() - before, 100 * 1024) << "the picture was decoded after all";

  const HTEXTURE widest = engine->Texture_Load(dir.file("widest.png").c_str());
  EXPECT_NE(widest, 0u);
  EXPECT_EQ(engine->Texture_GetWidth(widest), 8192);
  EXPECT_EQ(engine->Texture_Load(dir.file("too-wide.png").c_str()), 0u);

  const std::string log = readFile(dir.file("log.txt"));
  EXPECT_NE(log.find(dir.file("huge.png") + ": PNG of 16000x16000 pixels, more than 8192 on a side"), std::string::npos)
      << log;
  EXPECT_NE(log.find(dir.file("too-wide.png") + ": PNG of 8193x1 pixels"), std::string::npos) << log;
}

TEST(PictureBounds, TheTexturesHeldAtOnceStayWithinTheBudget) {
  const std::string picture = blackPng(64, 64);  // 4096 pixels
  TextureStore store(10000);
  std::string error;
  auto load = [&]() -> HTEXTURE {
    SurfacePtr s = store.decode(picture.data(), picture.size(), error);
    return s ? store.add(std::move(s), nullptr, true) : 0;
  };
  const HTEXTURE first = load();
  const HTEXTURE second = load();
  ASSERT_NE(first, 0u);
  ASSERT_NE(second, 0u) << error;
  EXPECT_EQ(store.pixels(), 8192u);
  EXPECT_EQ(load(), 0u) << "12288 pixels would pass the budget of 10000";
  EXPECT_NE(error.find("64x64"), std::string::npos) << error;
  EXPECT_NE(error.find("budget"), std::string::npos) << error;
  // Freeing a texture gives its pixels back.
  store.free(first);
  EXPECT_EQ(store.pixels(), 4096u);
  EXPECT_NE(load(), 0u) << error;
  store.clear();
  EXPECT_EQ(store.pixels(), 0u);
  // The game's own budget leaves room for the largest picture, twice.
  EXPECT_GE(TextureStore::kDefaultPixelBudget, 2ull * kMaxPictureSide * kMaxPictureSide);
}

TEST(PictureBounds, EveryReadableFormatDecodesThroughTheSizeCheck) {
  for (const std::string& bytes : {surfaceFile(5, 4, "jpg"), surfaceFile(5, 4, "bmp"), gif(1, 1, 1, 1), qoi(5, 4),
                                   icon(16)}) {
    std::string error;
    SurfacePtr s = decodePicture(bytes.data(), bytes.size(), 1u << 20, error);
    ASSERT_NE(s, nullptr) << error;
    EXPECT_EQ(s->format->format, static_cast<Uint32>(SDL_PIXELFORMAT_ARGB8888));
  }
  // An icon whose entry claims 100000 pixels on a side is not decoded.
  const std::string hostile = icon(16, 100000, 200000);
  std::string error;
  EXPECT_EQ(decodePicture(hostile.data(), hostile.size(), 1u << 20, error), nullptr);
  EXPECT_NE(error.find("more than 8192 on a side"), std::string::npos) << error;
  // A picture without pixels is no picture.
  const std::string empty = blackPng(0, 10);
  EXPECT_EQ(decodePicture(empty.data(), empty.size(), 1u << 20, error), nullptr);
}

}  // namespace
