// A textured quad drawn by its top-left corner: a rectangle of a texture, its
// mirroring, corner colours and blend mode. Drawing rewrites only the corner
// positions and makes one engine call; it never allocates.
#pragma once

#include "engine/hge.h"

class SpriteQuad {
 public:
  // A sprite showing the rectangle (x, y, w, h) of `texture` at size w by h,
  // drawn through `engine` (which must outlive it).
  SpriteQuad(HGE* engine, HTEXTURE texture, float x, float y, float w, float h);

  void draw(float x, float y);
  // Width multiplied by sx, height by sy; the top-left corner stays at (x, y).
  void drawScaled(float x, float y, float sx, float sy);

  void setTexture(HTEXTURE texture);
  // Selects another rectangle of the texture and makes w by h the size; keeps the flips.
  void setRegion(float x, float y, float w, float h);
  void setFlip(bool flipX, bool flipY);
  void setColor(uint32_t color);
  void setBlendMode(int blend);

  float width() const { return width_; }
  float height() const { return height_; }
  HTEXTURE texture() const { return quad_.tex; }
  int blendMode() const { return quad_.blend; }
  bool flipX() const { return flipX_; }
  bool flipY() const { return flipY_; }
  const hgeQuad& quad() const { return quad_; }

 private:
  void setTexCoords(float x, float y, float w, float h);
  void storeTextureSize(HTEXTURE texture);

  HGE* engine_;
  hgeQuad quad_;
  float width_ = 0, height_ = 0;
  float textureWidth_ = 1, textureHeight_ = 1;
  bool flipX_ = false, flipY_ = false;
};
