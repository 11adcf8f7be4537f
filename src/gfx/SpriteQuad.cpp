#include "gfx/SpriteQuad.h"

#include <utility>

SpriteQuad::SpriteQuad(HGE* engine, HTEXTURE texture, float x, float y, float w, float h)
    : engine_(engine), width_(w), height_(h) {
  storeTextureSize(texture);
  quad_.tex = texture;
  quad_.blend = BLEND_ALPHABLEND;
  for (hgeVertex& v : quad_.v) {
    v.z = 0.5f;
    v.col = 0xFFFFFFFF;
  }
  setTexCoords(x, y, w, h);
}

void SpriteQuad::setTexCoords(float x, float y, float w, float h) {
  float left = x / textureWidth_;
  float top = y / textureHeight_;
  float right = (x + w) / textureWidth_;
  float bottom = (y + h) / textureHeight_;
  quad_.v[0].tx = left;
  quad_.v[0].ty = top;
  quad_.v[1].tx = right;
  quad_.v[1].ty = top;
  quad_.v[2].tx = right;
  quad_.v[2].ty = bottom;
  quad_.v[3].tx = left;
  quad_.v[3].ty = bottom;
}

void SpriteQuad::draw(float x, float y) {
  quad_.v[0].x = x;
  quad_.v[0].y = y;
  quad_.v[1].x = x + width_;
  quad_.v[1].y = y;
  quad_.v[2].x = x + width_;
  quad_.v[2].y = y + height_;
  quad_.v[3].x = x;
  quad_.v[3].y = y + height_;
  engine_->Gfx_RenderQuad(&quad_);
}

void SpriteQuad::drawScaled(float x, float y, float sx, float sy) {
  float w = width_ * sx;
  float h = height_ * sy;
  quad_.v[0].x = x;
  quad_.v[0].y = y;
  quad_.v[1].x = x + w;
  quad_.v[1].y = y;
  quad_.v[2].x = x + w;
  quad_.v[2].y = y + h;
  quad_.v[3].x = x;
  quad_.v[3].y = y + h;
  engine_->Gfx_RenderQuad(&quad_);
}

void SpriteQuad::setTexture(HTEXTURE texture) {
  quad_.tex = texture;
  storeTextureSize(texture);
}

void SpriteQuad::storeTextureSize(HTEXTURE texture) {
  textureWidth_ = 1;
  textureHeight_ = 1;
  if (texture == 0) return;
  // A handle the engine does not know (freed, or never loaded) reports 0 by 0;
  // it is treated like no texture rather than dividing by zero.
  int w = engine_->Texture_GetWidth(texture);
  int h = engine_->Texture_GetHeight(texture);
  if (w > 0 && h > 0) {
    textureWidth_ = static_cast<float>(w);
    textureHeight_ = static_cast<float>(h);
  }
}

void SpriteQuad::setRegion(float x, float y, float w, float h) {
  width_ = w;
  height_ = h;
  setTexCoords(x, y, w, h);
  bool fx = flipX_, fy = flipY_;
  flipX_ = false;
  flipY_ = false;
  setFlip(fx, fy);
}

void SpriteQuad::setFlip(bool fx, bool fy) {
  auto swapUV = [this](int a, int b) {
    std::swap(quad_.v[a].tx, quad_.v[b].tx);
    std::swap(quad_.v[a].ty, quad_.v[b].ty);
  };
  if (fx != flipX_) {
    swapUV(0, 1);
    swapUV(3, 2);
    flipX_ = !flipX_;
  }
  if (fy != flipY_) {
    swapUV(0, 3);
    swapUV(1, 2);
    flipY_ = !flipY_;
  }
}

void SpriteQuad::setColor(uint32_t color) {
  for (hgeVertex& v : quad_.v) v.col = color;
}

void SpriteQuad::setBlendMode(int blend) { quad_.blend = blend; }
