// Pictures drawn at their own size on SDL's software renderer, blitted
// straight onto the surface it draws on from a run-length coded copy.
//
// The renderer blends every pixel of a picture, also the fully transparent
// ones, and tints pixel by pixel through a slow generic blitter. Most of the
// game's pictures are wholly clear or wholly opaque pixels: coded in runs,
// clear runs are skipped and opaque runs copied whole, and a tinted picture
// (a shadow) is coded with its tint applied. The renderer's queue is run
// before each blit, so the order of drawing is kept. Clear and opaque pixels
// come out the same as the renderer's own drawing; translucent ones may
// differ from it by 2 in 255, from rounding.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/SdlPtrs.h"
#include "engine/hge.h"

class RunLengthBlits {
 public:
  // `canvas` gives the surface the renderer draws on, or nullptr where it has
  // none that can be drawn on directly.
  RunLengthBlits(SDL_Renderer* renderer, std::function<SDL_Surface*()> canvas)
      : renderer_(renderer), canvas_(std::move(canvas)) {}

  // Draws `q`, showing `from` with blending by alpha, straight onto the
  // canvas when it is an upright quad of one colour drawn at its own size on
  // an unscaled canvas; false to draw it the usual way. `pixels`, when not
  // null, holds the texture's pixels (else they are read from the texture).
  // `beforeBlit` runs first (it hands the caller's batch to the renderer).
  bool draw(const hgeQuad& q, SDL_Texture* from, const SDL_Surface* pixels, const std::function<void()>& beforeBlit);

  // Pictures larger than this, or smaller (where blending costs little and a
  // copy would cost more than it saves), are drawn the usual way.
  static constexpr int64_t kMaxPixels = 1024 * 1024;
  static constexpr int64_t kMinPixels = 64 * 64;

 private:
  SDL_Surface* canvasNow() const;
  SurfacePtr codedCopy(SDL_Texture* from, const SDL_Surface* pixels, int width, int height, uint32_t tint);
  bool readPixels(SDL_Texture* from, const SDL_Surface* pixels, SDL_Surface* into);

  SDL_Renderer* renderer_;
  std::function<SDL_Surface*()> canvas_;
};
