#include "engine/TextureStore.h"

#include <SDL_image.h>

SurfacePtr TextureStore::decode(const void* data, size_t size, std::string& error) {
  if (!data || size == 0 || size > 0x7FFFFFFF) {
    error = "empty picture";
    return nullptr;
  }
  SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
  SurfacePtr loaded(IMG_Load_RW(rw, 1));
  if (!loaded) {
    error = IMG_GetError();
    return nullptr;
  }
  SurfacePtr argb(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
  if (!argb) {
    error = SDL_GetError();
    return nullptr;
  }
  return argb;
}

HTEXTURE TextureStore::add(SurfacePtr picture, SDL_Renderer* renderer, bool keepPicture) {
  if (!picture) return 0;
  HTEXTURE handle = next_++;
  if (next_ == 0) next_ = 1;
  Entry& e = entries_[handle];
  e.width = picture->w;
  e.height = picture->h;
  e.picture = std::move(picture);
  if (renderer) {
    textureFor(handle, renderer);
    if (e.texture && !keepPicture) e.picture.reset();
  }
  return handle;
}

void TextureStore::free(HTEXTURE handle) { entries_.erase(handle); }

int TextureStore::width(HTEXTURE handle) const {
  auto it = entries_.find(handle);
  return it == entries_.end() ? 0 : it->second.width;
}

int TextureStore::height(HTEXTURE handle) const {
  auto it = entries_.find(handle);
  return it == entries_.end() ? 0 : it->second.height;
}

SDL_Texture* TextureStore::textureFor(HTEXTURE handle, SDL_Renderer* renderer) {
  auto it = entries_.find(handle);
  if (it == entries_.end()) return nullptr;
  Entry& e = it->second;
  if (e.texture && e.owner == renderer) return e.texture.get();
  if (!e.picture) return nullptr;
  e.texture.reset(SDL_CreateTextureFromSurface(renderer, e.picture.get()));
  e.owner = renderer;
  return e.texture.get();
}

void TextureStore::dropRendererTextures() {
  for (auto& [handle, e] : entries_) {
    e.texture.reset();
    e.owner = nullptr;
  }
}

void TextureStore::clear() { entries_.clear(); }
