// Draws the game's quads on an SDL renderer, batching consecutive quads that
// share a texture and blend mode into one SDL_RenderGeometry call.
#pragma once

#include <functional>
#include <vector>

#include "engine/RunLengthBlits.h"
#include "engine/SdlPtrs.h"
#include "engine/SoftwareCopies.h"
#include "engine/hge.h"

class TextureStore;

// 0xAARRGGBB to SDL's R, G, B, A.
SDL_Color toSdlColor(uint32_t argb);

// True when `q` is an upright rectangle of one colour whose picture runs
// backwards across x (`acrossX`) or y (`acrossY`) on whole texels of a
// picture `width` by `height`: one that can be drawn from the picture turned
// over, with its texture coordinates reflected, to the same pixels.
bool flippedRect(const hgeQuad& q, int width, int height, bool& acrossX, bool& acrossY);

class QuadRenderer {
 public:
  // `canvas` gives the surface a software renderer draws on, where pictures
  // may be blitted straight onto it (see RunLengthBlits); none without it.
  QuadRenderer(SDL_Renderer* renderer, TextureStore& textures, std::function<SDL_Surface*()> canvas = {});
  QuadRenderer(const QuadRenderer&) = delete;
  QuadRenderer& operator=(const QuadRenderer&) = delete;

  // Adds a quad to the batch. Texture 0 (or a freed one) fills with the corner colours.
  void draw(const hgeQuad& quad);
  void clear(uint32_t argb);
  // Draws what is batched.
  void flush();
  // Drops what was kept for a texture that is about to be freed.
  void forget(HTEXTURE handle);
  SDL_Renderer* renderer() const { return renderer_; }
  // Draw calls made so far (for benchmarks).
  uint64_t batches() const { return batches_; }
  // Quads blitted straight onto the canvas so far (for tests).
  uint64_t blits() const { return blits_; }

 private:
  static constexpr size_t kMaxQuads = 2048;
  // The batch's blend when it draws an opaque picture in an opaque colour.
  static constexpr int kCopied = -2;

  // True when `q` draws `texture` (of `handle`, or a copy of it) opaque over
  // every pixel it covers, so that blending is a copy.
  bool opaqueDraw(const hgeQuad& q, HTEXTURE handle, SDL_Texture* texture) const;

  SDL_Renderer* renderer_;
  TextureStore& textures_;
  // 1x1 white: "no texture" that every renderer blends correctly; one per blend
  // mode, so switching modes never has to wait for queued drawing.
  TexturePtr white_, whiteAdd_;
  std::vector<SDL_Vertex> vertices_;
  std::vector<int> indices_;
  SDL_Texture* batchTexture_ = nullptr;
  int batchBlend_ = -1;
  uint64_t batches_ = 0;
  uint64_t blits_ = 0;
  // Software renderers draw flipped pictures from turned-over copies, and
  // stretched or differently tinted ones from kept copies.
  bool software_ = false;
  hgeQuad turned_, copied_;
  SoftwareCopies copies_;
  RunLengthBlits runs_;
};
