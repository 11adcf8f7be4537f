#include "engine/SoftwareCopies.h"

#include <algorithm>

bool uprightRect(const hgeVertex* v) {
  return v[0].y == v[1].y && v[2].y == v[3].y && v[0].x == v[3].x && v[1].x == v[2].x && v[1].x > v[0].x &&
         v[3].y > v[0].y && v[0].tx == v[3].tx && v[1].tx == v[2].tx && v[0].ty == v[1].ty && v[2].ty == v[3].ty &&
         v[0].col == v[1].col && v[0].col == v[2].col && v[0].col == v[3].col;
}

bool rendererCopyRects(const hgeVertex* v, int texW, int texH, SDL_Rect& part, SDL_Rect& place) {
  part.x = static_cast<int>(v[0].tx * static_cast<float>(texW));
  part.y = static_cast<int>(v[0].ty * static_cast<float>(texH));
  part.w = static_cast<int>(v[2].tx * static_cast<float>(texW) - static_cast<float>(part.x));
  part.h = static_cast<int>(v[2].ty * static_cast<float>(texH) - static_cast<float>(part.y));
  const SDL_Rect whole{0, 0, texW, texH};
  if (part.w <= 0 || part.h <= 0 || !SDL_IntersectRect(&part, &whole, &part)) return false;
  place.x = static_cast<int>(v[0].x);
  place.y = static_cast<int>(v[0].y);
  place.w = static_cast<int>(v[2].x - v[0].x);
  place.h = static_cast<int>(v[2].y - v[0].y);
  return place.w > 0 && place.h > 0;
}

size_t SoftwareCopies::KeyHash::operator()(const Key& k) const {
  size_t h = std::hash<const void*>()(k.from);
  for (int part : {k.x, k.y, k.w, k.h, k.width, k.height, k.tint})
    h = (h ^ static_cast<size_t>(static_cast<unsigned>(part))) * 0x100000001B3ull;
  return h;
}

SDL_Texture* SoftwareCopies::copyFor(const hgeQuad& q, HTEXTURE handle, SDL_Texture* from, hgeQuad& out) {
  const hgeVertex* v = q.v;
  if (!from || !uprightRect(v) || v[1].tx <= v[0].tx || v[3].ty <= v[0].ty) return nullptr;  // flipped
  // Only where the renderer does not scale the whole picture (a window at the game's size).
  float scaleX = 1, scaleY = 1;
  SDL_RenderGetScale(renderer_, &scaleX, &scaleY);
  if (scaleX != 1 || scaleY != 1) return nullptr;
  int texW = 0, texH = 0;
  if (SDL_QueryTexture(from, nullptr, nullptr, &texW, &texH) != 0) return nullptr;
  SDL_Rect part, place;
  if (!rendererCopyRects(v, texW, texH, part, place)) return nullptr;
  const int x = place.x, y = place.y, width = place.w, height = place.h;
  if (static_cast<int64_t>(width) * height > kMaxPixelsOfOne) return nullptr;
  const uint32_t col = v[0].col;
  const int tint = ((col & 0xFFFFFF) != 0xFFFFFF ? 1 : 0) | ((col >> 24) != 0xFF ? 2 : 0);
  if (width == part.w && height == part.h) {
    // Drawn at its own size: a copy only for a tint of another kind than the
    // picture's first. Additive quads are drawn as triangles, which never re-map.
    if (q.blend == BLEND_ALPHAADD) return nullptr;
    const auto [home, first] = homes_.try_emplace(from, Home{handle, tint});
    if (first || home->second.tint == tint) return nullptr;
  } else {
    // A nearest stretch makes no new picture; a linear one does, every time.
    SDL_ScaleMode filter = SDL_ScaleModeNearest;
    if (SDL_GetTextureScaleMode(from, &filter) != 0 || filter != SDL_ScaleModeLinear) return nullptr;
  }
  const Key key{from, part.x, part.y, part.w, part.h, width, height, tint};
  auto found = copies_.find(key);
  if (found == copies_.end()) {
    makeRoom(static_cast<int64_t>(width) * height);
    TexturePtr made = renderedCopy(renderer_, from, part, width, height);
    if (!made) return nullptr;
    pixels_ += static_cast<int64_t>(width) * height;
    found = copies_.emplace(key, Copy{handle, std::move(made), 0}).first;
  }
  found->second.lastDrawn = ++draws_;
  out = q;
  const float xs[4] = {static_cast<float>(x), static_cast<float>(x + width), static_cast<float>(x + width),
                       static_cast<float>(x)};
  const float ys[4] = {static_cast<float>(y), static_cast<float>(y), static_cast<float>(y + height),
                       static_cast<float>(y + height)};
  const float us[4] = {0, 1, 1, 0}, ts[4] = {0, 0, 1, 1};
  for (int i = 0; i < 4; ++i) {
    out.v[i].x = xs[i];
    out.v[i].y = ys[i];
    out.v[i].tx = us[i];
    out.v[i].ty = ts[i];
  }
  return found->second.texture.get();
}

TexturePtr renderedCopy(SDL_Renderer* renderer, SDL_Texture* from, const SDL_Rect& part, int width, int height) {
  TexturePtr made(SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, width, height));
  if (!made) return nullptr;
  // What is queued runs first, with the blend modes it was queued with.
  SDL_RenderFlush(renderer);
  SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
  Uint8 r = 255, g = 255, b = 255, a = 255;
  SDL_GetTextureBlendMode(from, &mode);
  SDL_GetTextureColorMod(from, &r, &g, &b);
  SDL_GetTextureAlphaMod(from, &a);
  SDL_SetTextureBlendMode(from, SDL_BLENDMODE_NONE);
  SDL_SetTextureColorMod(from, 255, 255, 255);
  SDL_SetTextureAlphaMod(from, 255);
  SDL_Texture* target = SDL_GetRenderTarget(renderer);
  // The renderer's own copy or linear stretch, into a picture of the size drawn.
  const bool ok = SDL_SetRenderTarget(renderer, made.get()) == 0 && SDL_RenderCopy(renderer, from, &part, nullptr) == 0 &&
                  SDL_RenderFlush(renderer) == 0;
  SDL_SetRenderTarget(renderer, target);
  SDL_SetTextureBlendMode(from, mode);
  SDL_SetTextureColorMod(from, r, g, b);
  SDL_SetTextureAlphaMod(from, a);
  if (!ok) return nullptr;
  return made;
}

void SoftwareCopies::makeRoom(int64_t pixels) {
  if (copies_.size() < kMaxCopies && pixels_ + pixels <= kMaxPixels) return;
  // Drop the least recently drawn quarter, and more while the new one would not fit.
  std::vector<std::pair<uint64_t, int64_t>> drawn;  // when, how many pixels
  drawn.reserve(copies_.size());
  for (const auto& [key, copy] : copies_) drawn.emplace_back(copy.lastDrawn, static_cast<int64_t>(key.width) * key.height);
  std::sort(drawn.begin(), drawn.end());
  size_t dropping = 0;
  int64_t freed = 0;
  while (dropping < drawn.size() && (dropping < (drawn.size() + 3) / 4 || pixels_ - freed + pixels > kMaxPixels))
    freed += drawn[dropping++].second;
  if (dropping == 0) return;
  const uint64_t last = drawn[dropping - 1].first;
  for (auto it = copies_.begin(); it != copies_.end();) {
    if (it->second.lastDrawn <= last) {
      pixels_ -= static_cast<int64_t>(it->first.width) * it->first.height;
      retired_.push_back(std::move(it->second.texture));
      it = copies_.erase(it);
    } else {
      ++it;
    }
  }
}

void SoftwareCopies::forget(HTEXTURE handle) {
  for (auto it = copies_.begin(); it != copies_.end();) {
    if (it->second.handle == handle) {
      pixels_ -= static_cast<int64_t>(it->first.width) * it->first.height;
      retired_.push_back(std::move(it->second.texture));
      it = copies_.erase(it);
    } else {
      ++it;
    }
  }
  std::erase_if(homes_, [&](const auto& home) { return home.second.handle == handle; });
}
