// The loaded textures, by handle. A texture keeps its decoded picture until a
// renderer texture is made from it (at once in a window, on the first
// screenshot frame headless, where most textures are never drawn).
//
// Pictures are bounded before they are decoded: at most kMaxPictureSide on a
// side, and all the textures held at once within a budget of pixels, so a
// small file that claims a huge picture costs nothing.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "engine/SdlPtrs.h"
#include "engine/hge.h"

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

  // Stores a picture. With a renderer the renderer texture is made at once and
  // the picture dropped unless `keepPicture`.
  HTEXTURE add(SurfacePtr picture, SDL_Renderer* renderer, bool keepPicture);
  void free(HTEXTURE handle);
  int width(HTEXTURE handle) const;
  int height(HTEXTURE handle) const;
  bool contains(HTEXTURE handle) const { return entries_.count(handle) != 0; }
  size_t size() const { return entries_.size(); }
  // Pixels of the textures held now, and the most there may be.
  uint64_t pixels() const { return pixels_; }
  uint64_t pixelBudget() const { return budget_; }
  // The renderer texture of a handle, made on first use; nullptr for an unknown handle.
  SDL_Texture* textureFor(HTEXTURE handle, SDL_Renderer* renderer);
  // Drops every renderer texture (before the renderer goes away).
  void dropRendererTextures();
  void clear();

 private:
  struct Entry {
    int width = 0, height = 0;
    SurfacePtr picture;
    TexturePtr texture;
    SDL_Renderer* owner = nullptr;
  };
  std::unordered_map<HTEXTURE, Entry> entries_;
  HTEXTURE next_ = 1;
  uint64_t budget_;
  uint64_t pixels_ = 0;
};
