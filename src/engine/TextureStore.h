// The loaded textures, by handle. Loading a texture reads its size from the
// file's header and decodes nothing: headless (where most textures are never
// drawn) a picture is decoded when a screenshot first shows it; in a window
// it is decoded ahead on the decoder's thread, and the renderer texture is
// made when it is first drawn. A picture whose header is sound but whose data
// is not is reported when it is first drawn, and drawn as nothing from then on.
//
// Pictures are bounded before they are decoded: at most kMaxPictureSide on a
// side, and all the textures held at once within a budget of pixels, so a
// small file that claims a huge picture costs nothing.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/PictureDecoder.h"
#include "engine/PictureSize.h"
#include "engine/SdlPtrs.h"
#include "engine/hge.h"

// The header checks decodePicture makes before it decodes: the size and
// format of the picture, or format Unknown with the reason in `error`.
PictureSize checkPicture(const void* data, size_t size, uint64_t maxPixels, std::string& error);

// Decodes a picture file held in memory into a 32-bit ARGB surface, when its
// header says it is at most kMaxPictureSide on a side and at most `maxPixels`
// in all; nullptr with the reason in `error` otherwise. Only the formats whose
// size readPictureSize knows are decoded.
SurfacePtr decodePicture(const void* data, size_t size, uint64_t maxPixels, std::string& error);

class TextureStore {
 public:
  // The pixels of all textures held at once: 128 Mi pixels (512 MiB as ARGB),
  // ten times what the default game holds at its most (13.4 M pixels in 261
  // textures) and room for two pictures of the largest size.
  static constexpr uint64_t kDefaultPixelBudget = 128ull << 20;

  explicit TextureStore(uint64_t pixelBudget = kDefaultPixelBudget) : budget_(pixelBudget) {}

  // Decodes a picture for this store: within the side limit and what is left
  // of the budget (see decodePicture).
  SurfacePtr decode(const void* data, size_t size, std::string& error) const;
  // The header checks of decode, without decoding.
  PictureSize check(const void* data, size_t size, std::string& error) const;

  // Stores a picture. With a renderer the renderer texture is made at once and
  // the picture dropped unless `keepPicture`.
  HTEXTURE add(SurfacePtr picture, SDL_Renderer* renderer, bool keepPicture);
  // Stores a picture file whose header `check` accepted, to be decoded when it
  // is first drawn, or on the decoder's thread from now on when `decodeAhead`.
  // `name` names it in the report when it cannot be decoded.
  HTEXTURE addEncoded(std::vector<uint8_t> bytes, const PictureSize& header, std::string name,
                      bool decodeAhead = false);
  // Where the report of a picture that cannot be decoded goes.
  void setLog(std::function<void(const std::string&)> log) { log_ = std::move(log); }
  // Textures decoded so far (for tests and statistics).
  uint64_t decodedCount() const { return decoded_; }
  void free(HTEXTURE handle);
  int width(HTEXTURE handle) const;
  int height(HTEXTURE handle) const;
  // The decoded picture of a handle while the store keeps it; nullptr otherwise.
  const SDL_Surface* picture(HTEXTURE handle) const;
  bool contains(HTEXTURE handle) const { return entries_.count(handle) != 0; }
  size_t size() const { return entries_.size(); }
  // Pixels of the textures held now, and the most there may be.
  uint64_t pixels() const { return pixels_; }
  uint64_t pixelBudget() const { return budget_; }
  // The renderer texture of a handle, made on first use; nullptr for an unknown handle.
  SDL_Texture* textureFor(HTEXTURE handle, SDL_Renderer* renderer);
  // The picture of a handle turned over left to right (`acrossX`), top to
  // bottom (`acrossY`) or both, as a renderer texture made on first use and
  // kept with the picture. A software renderer draws a picture flipped through
  // a path that copies it and allocates for every quad; drawn from the turned
  // copy, it is a plain copy. nullptr when the picture cannot be had.
  SDL_Texture* mirroredFor(HTEXTURE handle, SDL_Renderer* renderer, bool acrossX, bool acrossY);
  // True when the handle's renderer texture is made and its picture has no
  // pixel that is not fully opaque (alpha blending it changes nothing).
  bool opaque(HTEXTURE handle);
  // An opaque picture as a texture without alpha, in the format of most
  // windows: drawn with blending off, a software renderer copies its rows
  // whole. Made on first use; nullptr unless opaque(handle).
  SDL_Texture* opaqueFor(HTEXTURE handle, SDL_Renderer* renderer);
  // Drops every renderer texture (before the renderer goes away).
  void dropRendererTextures();
  void clear();

 private:
  struct Entry {
    int width = 0, height = 0;
    SurfacePtr picture;
    std::vector<uint8_t> encoded;  // the file, until it is first drawn
    std::shared_ptr<PictureDecoder::Job> job;  // or its decoding on the decoder's thread
    std::string name;
    TexturePtr texture;
    // Turned over across x, across y and across both (made by mirroredFor).
    std::array<TexturePtr, 3> mirrored;
    SDL_Renderer* owner = nullptr;
    int8_t opaque = -1;     // 1 or 0 once opaque() has looked (-1: not yet)
    TexturePtr opaqueCopy;  // made by opaqueFor
  };
  std::unordered_map<HTEXTURE, Entry> entries_;
  HTEXTURE next_ = 1;
  uint64_t budget_;
  uint64_t pixels_ = 0;
  uint64_t decoded_ = 0;
  std::function<void(const std::string&)> log_;
  std::unique_ptr<PictureDecoder> decoder_;  // started by the first picture decoded ahead
};
