// Copies of parts of pictures kept for SDL's software renderer, so that a
// steady frame draws without the renderer allocating.
//
// The software renderer stretches a picture with linear filtering into a new
// picture for every quad drawn larger or smaller than it, and re-maps a
// picture for blitting (an allocation) every time it is drawn with a tint of
// another kind than the draw before: tinted after plain, translucent after
// opaque. The Hud's text does both many times a frame. An upright quad of one
// colour is drawn instead from a copy of the part it shows, made once at the
// size it is drawn and kept for that kind of tint, with the same pixels as
// the renderer's own stretch and blit.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/SdlPtrs.h"
#include "engine/hge.h"

// An upright rectangle on screen showing an upright rectangle of its picture
// (either way round), in one colour: what the renderer draws as a copy.
bool uprightRect(const hgeVertex* v);

// For an upright quad `v` (not turned over) showing a texture `texW` by
// `texH`: the part of the texture the renderer reads and the place it draws
// it, worked out as the renderer works them out (in floats, then cut to whole
// pixels). False when it reads nothing.
bool rendererCopyRects(const hgeVertex* v, int texW, int texH, SDL_Rect& part, SDL_Rect& place);

// The renderer's own copy of `part` of `from` (or its linear stretch), into a
// new target texture `width` by `height`, untinted and unblended. Runs what
// is queued first.
TexturePtr renderedCopy(SDL_Renderer* renderer, SDL_Texture* from, const SDL_Rect& part, int width, int height);

class SoftwareCopies {
 public:
  explicit SoftwareCopies(SDL_Renderer* renderer) : renderer_(renderer) {}
  SoftwareCopies(const SoftwareCopies&) = delete;
  SoftwareCopies& operator=(const SoftwareCopies&) = delete;

  // For a quad `q` showing `from` (the picture of `handle`):
  // the kept copy to draw instead, made on first use, with `out` the quad
  // that draws it unscaled; nullptr to draw `q` as it is.
  SDL_Texture* copyFor(const hgeQuad& q, HTEXTURE handle, SDL_Texture* from, hgeQuad& out);
  // Drops the copies of a picture that is about to be freed. Copies dropped
  // are destroyed at the next release(): a batch may still be drawing them.
  void forget(HTEXTURE handle);
  // Destroys the copies dropped since the last call; call when nothing
  // queued by the caller still draws them.
  void release() { retired_.clear(); }
  size_t kept() const { return copies_.size(); }

  // At most this many copies and this many pixels in them all; the least
  // recently drawn go first. A part larger than kMaxPixelsOfOne is drawn as it is.
  static constexpr size_t kMaxCopies = 512;
  static constexpr int64_t kMaxPixels = 8 << 20;
  static constexpr int64_t kMaxPixelsOfOne = 1024 * 1024;

 private:
  struct Key {
    SDL_Texture* from;
    int x, y, w, h;    // the part of the picture, as the renderer reads it
    int width, height;  // the size drawn
    int tint;           // bit 0 tinted, bit 1 translucent
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    size_t operator()(const Key& k) const;
  };
  struct Copy {
    HTEXTURE handle;
    TexturePtr texture;
    uint64_t lastDrawn;
  };
  // The tint a picture was first drawn with: drawn with it, it needs no copy.
  struct Home {
    HTEXTURE handle;
    int tint;
  };

  void makeRoom(int64_t pixels);

  SDL_Renderer* renderer_;
  std::unordered_map<Key, Copy, KeyHash> copies_;
  std::unordered_map<SDL_Texture*, Home> homes_;
  std::vector<TexturePtr> retired_;
  int64_t pixels_ = 0;
  uint64_t draws_ = 0;
};
