#include "engine/QuadRenderer.h"

#include <cmath>

#include "engine/TextureStore.h"

namespace {

// A texture coordinate that falls on a texel's edge of a side `texels` long,
// also when taken from the other end: reflected, it names the same texels.
bool onTexelEdge(float t, int texels) {
  const float from = t * static_cast<float>(texels), back = (1.0f - t) * static_cast<float>(texels);
  return from == std::floor(from) && back == std::floor(back);
}

}  // namespace

bool flippedRect(const hgeQuad& q, int width, int height, bool& acrossX, bool& acrossY) {
  const hgeVertex* v = q.v;
  if (!uprightRect(v) || width <= 0 || height <= 0) return false;
  acrossX = v[0].tx > v[1].tx;
  acrossY = v[0].ty > v[3].ty;
  if (acrossX && !(onTexelEdge(v[0].tx, width) && onTexelEdge(v[1].tx, width))) return false;
  if (acrossY && !(onTexelEdge(v[0].ty, height) && onTexelEdge(v[3].ty, height))) return false;
  return acrossX || acrossY;
}

SDL_Color toSdlColor(uint32_t argb) {
  return SDL_Color{static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8), static_cast<Uint8>(argb),
                   static_cast<Uint8>(argb >> 24)};
}

QuadRenderer::QuadRenderer(SDL_Renderer* renderer, TextureStore& textures, std::function<SDL_Surface*()> canvas)
    : renderer_(renderer), textures_(textures), copies_(renderer), runs_(renderer, std::move(canvas)) {
  SDL_RendererInfo info;
  software_ = renderer_ && SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE) != 0;
  for (TexturePtr* white : {&white_, &whiteAdd_}) {
    white->reset(SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 1, 1));
    if (*white) {
      Uint32 pixel = 0xFFFFFFFF;
      SDL_UpdateTexture(white->get(), nullptr, &pixel, 4);
    }
  }
  if (white_) SDL_SetTextureBlendMode(white_.get(), SDL_BLENDMODE_BLEND);
  if (whiteAdd_) SDL_SetTextureBlendMode(whiteAdd_.get(), SDL_BLENDMODE_ADD);
  vertices_.reserve(kMaxQuads * 4);
  indices_.reserve(kMaxQuads * 6);
}

void QuadRenderer::draw(const hgeQuad& given) {
  const hgeQuad* drawn = &given;
  SDL_Texture* texture = nullptr;
  bool acrossX = false, acrossY = false;
  if (given.tex != 0 && software_ &&
      flippedRect(given, textures_.width(given.tex), textures_.height(given.tex), acrossX, acrossY)) {
    // The software renderer draws a flipped picture by copying it (several
    // allocations and a pass over it for every quad); the picture turned over
    // once and kept is drawn the right way round instead, the same pixels.
    texture = textures_.mirroredFor(given.tex, renderer_, acrossX, acrossY);
    if (texture) {
      turned_ = given;
      for (hgeVertex& v : turned_.v) {
        if (acrossX) v.tx = 1.0f - v.tx;
        if (acrossY) v.ty = 1.0f - v.ty;
      }
      drawn = &turned_;
    }
  }
  if (given.tex != 0 && !texture) texture = textures_.textureFor(given.tex, renderer_);
  if (texture && software_) {
    // The shadows (squashed to a fifth), the Hud's text (scaled, and drawn in
    // two tints): drawn from kept copies, the same pixels without the
    // renderer's new picture or re-mapping for each quad.
    if (SDL_Texture* copy = copies_.copyFor(*drawn, given.tex, texture, copied_)) {
      texture = copy;
      drawn = &copied_;
    }
  }
  const hgeQuad& quad = *drawn;
  bool white = !texture;
  if (white) texture = quad.blend == BLEND_ALPHAADD ? whiteAdd_.get() : white_.get();
  int blend = quad.blend;
  if (software_ && !white && blend != BLEND_ALPHAADD) {
    if (opaqueDraw(quad, given.tex, texture)) {
      blend = kCopied;  // blending it changes nothing: the software renderer copies it instead, far faster
      if (drawn == &given)
        if (SDL_Texture* rows = textures_.opaqueFor(given.tex, renderer_)) texture = rows;
    } else if (runs_.draw(quad, texture, drawn == &given ? textures_.picture(given.tex) : nullptr, [this] { flush(); })) {
      ++blits_;
      return;
    }
  }
  if (texture != batchTexture_ || blend != batchBlend_ || vertices_.size() >= kMaxQuads * 4) {
    flush();
    batchTexture_ = texture;
    batchBlend_ = blend;
  }
  int base = static_cast<int>(vertices_.size());
  for (const hgeVertex& v : quad.v) {
    SDL_Vertex out;
    out.position = SDL_FPoint{v.x, v.y};
    out.color = toSdlColor(v.col);
    out.tex_coord = white ? SDL_FPoint{0.5f, 0.5f} : SDL_FPoint{v.tx, v.ty};
    vertices_.push_back(out);
  }
  // SDL's software renderer turns an axis-aligned quad given as (0 1 2)(0 2 3)
  // into a scaled copy that blends by alpha even in additive mode; split the
  // other way, additive quads take the triangle path, which adds correctly.
  static const int alphaOrder[6] = {0, 1, 2, 0, 2, 3};
  static const int addOrder[6] = {0, 1, 3, 1, 2, 3};
  for (int i : quad.blend == BLEND_ALPHAADD ? addOrder : alphaOrder) indices_.push_back(base + i);
}

bool QuadRenderer::opaqueDraw(const hgeQuad& q, HTEXTURE handle, SDL_Texture* texture) const {
  if ((q.v[0].col & q.v[1].col & q.v[2].col & q.v[3].col) >> 24 != 0xFF) return false;
  // Unblended, a picture stretched with nearest filtering takes another path
  // through the renderer, which may pick other texels.
  SDL_ScaleMode filter = SDL_ScaleModeNearest;
  return SDL_GetTextureScaleMode(texture, &filter) == 0 && filter == SDL_ScaleModeLinear && textures_.opaque(handle);
}

void QuadRenderer::forget(HTEXTURE handle) { copies_.forget(handle); }

void QuadRenderer::flush() {
  if (vertices_.empty()) return;
  if (batchTexture_) {
    // Blend 0 adds the colour, weighted by its alpha; every other mode blends by alpha.
    const SDL_BlendMode mode = batchBlend_ == BLEND_ALPHAADD ? SDL_BLENDMODE_ADD
                               : batchBlend_ == kCopied      ? SDL_BLENDMODE_NONE
                                                             : SDL_BLENDMODE_BLEND;
    SDL_BlendMode current = SDL_BLENDMODE_INVALID;
    SDL_GetTextureBlendMode(batchTexture_, &current);
    if (current != mode) {
      // The software renderer reads a texture's blend mode when it runs its
      // queue, not when the drawing was queued: finish what is queued first.
      SDL_RenderFlush(renderer_);
      SDL_SetTextureBlendMode(batchTexture_, mode);
    }
  }
  SDL_RenderGeometry(renderer_, batchTexture_, vertices_.data(), static_cast<int>(vertices_.size()),
                     indices_.data(), static_cast<int>(indices_.size()));
  ++batches_;
  vertices_.clear();
  indices_.clear();
  copies_.release();
}

void QuadRenderer::clear(uint32_t argb) {
  flush();
  SDL_Color c = toSdlColor(argb);
  SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
  SDL_RenderClear(renderer_);
}
