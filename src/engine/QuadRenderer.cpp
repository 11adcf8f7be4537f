#include "engine/QuadRenderer.h"

#include "engine/TextureStore.h"

SDL_Color toSdlColor(uint32_t argb) {
  return SDL_Color{static_cast<Uint8>(argb >> 16), static_cast<Uint8>(argb >> 8), static_cast<Uint8>(argb),
                   static_cast<Uint8>(argb >> 24)};
}

QuadRenderer::QuadRenderer(SDL_Renderer* renderer, TextureStore& textures)
    : renderer_(renderer), textures_(textures) {
  white_.reset(SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 1, 1));
  if (white_) {
    Uint32 pixel = 0xFFFFFFFF;
    SDL_UpdateTexture(white_.get(), nullptr, &pixel, 4);
  }
  vertices_.reserve(kMaxQuads * 4);
  indices_.reserve(kMaxQuads * 6);
}

void QuadRenderer::draw(const hgeQuad& quad) {
  SDL_Texture* texture = nullptr;
  if (quad.tex != 0) texture = textures_.textureFor(quad.tex, renderer_);
  if (!texture) texture = white_.get();
  if (texture != batchTexture_ || quad.blend != batchBlend_ || vertices_.size() >= kMaxQuads * 4) {
    flush();
    batchTexture_ = texture;
    batchBlend_ = quad.blend;
  }
  int base = static_cast<int>(vertices_.size());
  bool white = texture == white_.get();
  for (const hgeVertex& v : quad.v) {
    SDL_Vertex out;
    out.position = SDL_FPoint{v.x, v.y};
    out.color = toSdlColor(v.col);
    out.tex_coord = white ? SDL_FPoint{0.5f, 0.5f} : SDL_FPoint{v.tx, v.ty};
    vertices_.push_back(out);
  }
  const int order[6] = {0, 1, 2, 0, 2, 3};
  for (int i : order) indices_.push_back(base + i);
}

void QuadRenderer::flush() {
  if (vertices_.empty()) return;
  if (batchTexture_) {
    // Blend 0 adds the colour, weighted by its alpha; every other mode blends by alpha.
    SDL_SetTextureBlendMode(batchTexture_, batchBlend_ == BLEND_ALPHAADD ? SDL_BLENDMODE_ADD : SDL_BLENDMODE_BLEND);
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
