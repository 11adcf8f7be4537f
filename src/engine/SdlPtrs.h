// Owning pointers for SDL and SDL_mixer objects: each frees itself with the
// library's own function.
#pragma once

#include <memory>

#include <SDL.h>
#include <SDL_mixer.h>

// Frees what the software renderer's fast path keeps beside a texture as its
// user data (see RunLengthBlits), before the texture goes.
void freeTextureKeep(SDL_Texture* texture);

struct SdlDeleter {
  void operator()(SDL_Window* p) const { SDL_DestroyWindow(p); }
  void operator()(SDL_Renderer* p) const { SDL_DestroyRenderer(p); }
  void operator()(SDL_Texture* p) const {
    freeTextureKeep(p);
    SDL_DestroyTexture(p);
  }
  void operator()(SDL_Surface* p) const { SDL_FreeSurface(p); }
  void operator()(Mix_Chunk* p) const { Mix_FreeChunk(p); }
  void operator()(Mix_Music* p) const { Mix_FreeMusic(p); }
  void operator()(SDL_GameController* p) const { SDL_GameControllerClose(p); }
};

using WindowPtr = std::unique_ptr<SDL_Window, SdlDeleter>;
using RendererPtr = std::unique_ptr<SDL_Renderer, SdlDeleter>;
using TexturePtr = std::unique_ptr<SDL_Texture, SdlDeleter>;
using SurfacePtr = std::unique_ptr<SDL_Surface, SdlDeleter>;
using ChunkPtr = std::unique_ptr<Mix_Chunk, SdlDeleter>;
using MusicPtr = std::unique_ptr<Mix_Music, SdlDeleter>;
using GameControllerPtr = std::unique_ptr<SDL_GameController, SdlDeleter>;
