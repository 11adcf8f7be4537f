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

// An upright rectangle on screen showing an upright rectangle of its picture
// (either way round), in one colour.
bool uprightRect(const hgeVertex* v) {
  return v[0].y == v[1].y && v[2].y == v[3].y && v[0].x == v[3].x && v[1].x == v[2].x && v[1].x > v[0].x &&
         v[3].y > v[0].y && v[0].tx == v[3].tx && v[1].tx == v[2].tx && v[0].ty == v[1].ty && v[2].ty == v[3].ty &&
         v[0].col == v[1].col && v[0].col == v[2].col && v[0].col == v[3].col;
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

QuadRenderer::QuadRenderer(SDL_Renderer* renderer, TextureStore& textures)
    : renderer_(renderer), textures_(textures) {
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
    // The software renderer stretches a picture with linear filtering into a
    // new picture for every quad drawn larger or smaller than it (the shadows,
    // squashed to a fifth); the stretched picture made once and kept is drawn
    // as it is instead, the same pixels.
    if (SDL_Texture* ready = stretched(*drawn, given.tex, texture)) {
      texture = ready;
      drawn = &turned_;
    }
  }
  const hgeQuad& quad = *drawn;
  bool white = !texture;
  if (white) texture = quad.blend == BLEND_ALPHAADD ? whiteAdd_.get() : white_.get();
  if (texture != batchTexture_ || quad.blend != batchBlend_ || vertices_.size() >= kMaxQuads * 4) {
    flush();
    batchTexture_ = texture;
    batchBlend_ = quad.blend;
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

SDL_Texture* QuadRenderer::stretched(const hgeQuad& q, HTEXTURE handle, SDL_Texture* from) {
  const hgeVertex* v = q.v;
  if (!uprightRect(v) || v[1].tx <= v[0].tx || v[3].ty <= v[0].ty) return nullptr;  // not flipped
  // Only where the renderer does not scale the whole picture (a window at the
  // game's size), and for a quad placed on whole pixels showing whole texels.
  float scaleX = 1, scaleY = 1;
  SDL_RenderGetScale(renderer_, &scaleX, &scaleY);
  if (scaleX != 1 || scaleY != 1) return nullptr;
  if (v[0].x != std::floor(v[0].x) || v[0].y != std::floor(v[0].y)) return nullptr;
  // A linear stretch is made in a new picture by the renderer too, and made
  // here the same way; a nearest one is drawn as it is, without one.
  SDL_ScaleMode filter = SDL_ScaleModeNearest;
  if (SDL_GetTextureScaleMode(from, &filter) != 0 || filter != SDL_ScaleModeLinear) return nullptr;
  int w = 0, h = 0;
  if (SDL_QueryTexture(from, nullptr, nullptr, &w, &h) != 0) return nullptr;
  const float left = v[0].tx * w, right = v[1].tx * w, top = v[0].ty * h, bottom = v[3].ty * h;
  if (left != std::floor(left) || right != std::floor(right) || top != std::floor(top) || bottom != std::floor(bottom))
    return nullptr;
  const SDL_Rect part{static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
                      static_cast<int>(bottom - top)};
  // The size the renderer would stretch to.
  const int width = static_cast<int>(v[1].x - v[0].x), height = static_cast<int>(v[3].y - v[0].y);
  if ((width == part.w && height == part.h) || width <= 0 || height <= 0 || width > kMaxStretchedSide ||
      height > kMaxStretchedSide)
    return nullptr;
  SDL_Texture* ready = nullptr;
  for (const Stretched& s : stretched_)
    if (s.from == from && s.part.x == part.x && s.part.y == part.y && s.part.w == part.w && s.part.h == part.h &&
        s.width == width && s.height == height) {
      ready = s.texture.get();
      break;
    }
  if (!ready) {
    if (stretched_.size() >= kMaxStretched) {
      flush();  // the batch may be drawing one of them
      stretched_.clear();
    }
    TexturePtr made = stretch(from, part, width, height);
    if (!made) return nullptr;
    ready = made.get();
    stretched_.push_back(Stretched{handle, from, part, width, height, std::move(made)});
  }
  turned_ = q;
  const float x[4] = {v[0].x, v[0].x + width, v[0].x + width, v[0].x};
  const float y[4] = {v[0].y, v[0].y, v[0].y + height, v[0].y + height};
  const float u[4] = {0, 1, 1, 0}, t[4] = {0, 0, 1, 1};
  for (int i = 0; i < 4; ++i) {
    turned_.v[i].x = x[i];
    turned_.v[i].y = y[i];
    turned_.v[i].tx = u[i];
    turned_.v[i].ty = t[i];
  }
  return ready;
}

TexturePtr QuadRenderer::stretch(SDL_Texture* from, const SDL_Rect& part, int width, int height) {
  TexturePtr made(SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width, height));
  if (!made) return nullptr;
  // What is queued runs first, with the blend modes it was queued with.
  SDL_RenderFlush(renderer_);
  SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
  Uint8 r = 255, g = 255, b = 255, a = 255;
  SDL_GetTextureBlendMode(from, &mode);
  SDL_GetTextureColorMod(from, &r, &g, &b);
  SDL_GetTextureAlphaMod(from, &a);
  SDL_SetTextureBlendMode(from, SDL_BLENDMODE_NONE);
  SDL_SetTextureColorMod(from, 255, 255, 255);
  SDL_SetTextureAlphaMod(from, 255);
  SDL_Texture* target = SDL_GetRenderTarget(renderer_);
  const bool ok = SDL_SetRenderTarget(renderer_, made.get()) == 0 && SDL_RenderCopy(renderer_, from, &part, nullptr) == 0 &&
                  SDL_RenderFlush(renderer_) == 0;
  SDL_SetRenderTarget(renderer_, target);
  SDL_SetTextureBlendMode(from, mode);
  SDL_SetTextureColorMod(from, r, g, b);
  SDL_SetTextureAlphaMod(from, a);
  if (!ok) return nullptr;
  return made;
}

void QuadRenderer::forget(HTEXTURE handle) {
  bool drawing = false;
  for (const Stretched& s : stretched_) drawing = drawing || s.handle == handle;
  if (!drawing) return;
  flush();
  std::erase_if(stretched_, [&](const Stretched& s) { return s.handle == handle; });
}

void QuadRenderer::flush() {
  if (vertices_.empty()) return;
  if (batchTexture_) {
    // Blend 0 adds the colour, weighted by its alpha; every other mode blends by alpha.
    SDL_BlendMode mode = batchBlend_ == BLEND_ALPHAADD ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND;
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
}

void QuadRenderer::clear(uint32_t argb) {
  flush();
  SDL_Color c = toSdlColor(argb);
  SDL_SetRenderDrawColor(renderer_, c.r, c.g, c.b, 255);
  SDL_RenderClear(renderer_);
}
