// The loaded textures, by handle. A texture keeps its decoded picture until a
// renderer texture is made from it (at once in a window, on the first
// screenshot frame headless, where most textures are never drawn).
#pragma once

#include <cstdint>
#include <unordered_map>

#include "engine/SdlPtrs.h"
#include "engine/hge.h"

class TextureStore {
 public:
  // Decodes a picture file held in memory into a 32-bit ARGB surface;
  // nullptr with the reason in `error` when it cannot.
  static SurfacePtr decode(const void* data, size_t size, std::string& error);

  // Stores a picture. With a renderer the renderer texture is made at once and
  // the picture dropped unless `keepPicture`.
  HTEXTURE add(SurfacePtr picture, SDL_Renderer* renderer, bool keepPicture);
  void free(HTEXTURE handle);
  int width(HTEXTURE handle) const;
  int height(HTEXTURE handle) const;
  bool contains(HTEXTURE handle) const { return entries_.count(handle) != 0; }
  size_t size() const { return entries_.size(); }
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
};
