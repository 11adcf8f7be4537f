#include "engine/RunLengthBlits.h"

#include "engine/SoftwareCopies.h"

// A texture's coded copies: the plain one, and one for the first tint it was
// drawn in at its own size (a shadow's black). A draw in another tint takes
// the usual way.
struct TextureKeep {
  SurfacePtr plain, tinted;
  uint32_t tint = 0;
  bool plainFailed = false, tintFailed = false;  // not tried again
};

void freeTextureKeep(SDL_Texture* texture) {
  if (!texture) return;
  delete static_cast<TextureKeep*>(SDL_GetTextureUserData(texture));
}

namespace {

constexpr uint32_t kPlain = 0xFFFFFFFF;

}  // namespace

SDL_Surface* RunLengthBlits::canvasNow() const {
  if (!canvas_ || SDL_GetRenderTarget(renderer_) || SDL_RenderIsClipEnabled(renderer_)) return nullptr;
  SDL_Surface* canvas = canvas_();
  if (!canvas) return nullptr;
  // Only where the renderer draws the game's pixels one for one onto it.
  float scaleX = 1, scaleY = 1;
  SDL_RenderGetScale(renderer_, &scaleX, &scaleY);
  SDL_Rect viewport;
  SDL_RenderGetViewport(renderer_, &viewport);
  if (scaleX != 1 || scaleY != 1 || viewport.x != 0 || viewport.y != 0 || viewport.w != canvas->w ||
      viewport.h != canvas->h)
    return nullptr;
  return canvas;
}

bool RunLengthBlits::draw(const hgeQuad& q, SDL_Texture* from, const std::function<void()>& beforeBlit) {
  const hgeVertex* v = q.v;
  if (!from || q.blend == BLEND_ALPHAADD || !uprightRect(v) || v[1].tx <= v[0].tx || v[3].ty <= v[0].ty) return false;
  Uint32 format = 0;
  int texW = 0, texH = 0;
  if (SDL_QueryTexture(from, &format, nullptr, &texW, &texH) != 0 || format != SDL_PIXELFORMAT_ARGB8888 ||
      static_cast<int64_t>(texW) * texH > kMaxPixels)
    return false;
  SDL_Rect part, place;
  if (!rendererCopyRects(v, texW, texH, part, place) || part.w != place.w || part.h != place.h) return false;
  SDL_Surface* canvas = canvasNow();
  if (!canvas) return false;

  auto* keep = static_cast<TextureKeep*>(SDL_GetTextureUserData(from));
  if (!keep) {
    keep = new TextureKeep;
    SDL_SetTextureUserData(from, keep);
  }
  const uint32_t tint = v[0].col;
  const bool plain = tint == kPlain;
  if (!plain && keep->tinted && keep->tint != tint) return false;
  SurfacePtr& copy = plain ? keep->plain : keep->tinted;
  bool& failed = plain ? keep->plainFailed : keep->tintFailed;
  if (!copy) {
    if (failed) return false;
    copy = codedCopy(from, texW, texH, tint);
    if (!copy) {
      failed = true;
      return false;
    }
    keep->tint = plain ? keep->tint : tint;
  }
  beforeBlit();
  SDL_RenderFlush(renderer_);
  // The renderer sets the canvas's clip for each of its own commands.
  SDL_SetClipRect(canvas, nullptr);
  SDL_BlitSurface(copy.get(), &part, canvas, &place);
  return true;
}

SurfacePtr RunLengthBlits::codedCopy(SDL_Texture* from, int width, int height, uint32_t tint) {
  TexturePtr made = renderedCopy(renderer_, from, SDL_Rect{0, 0, width, height}, width, height);
  SurfacePtr copy(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888));
  if (!made || !copy) return nullptr;
  SDL_Texture* target = SDL_GetRenderTarget(renderer_);
  const bool read = SDL_SetRenderTarget(renderer_, made.get()) == 0 &&
                    SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, copy->pixels, copy->pitch) == 0;
  SDL_SetRenderTarget(renderer_, target);
  if (!read) return nullptr;
  if (tint != kPlain) {
    // The renderer's tint: each channel times the tint's, over 255.
    const uint32_t ta = tint >> 24, tr = (tint >> 16) & 0xFF, tg = (tint >> 8) & 0xFF, tb = tint & 0xFF;
    for (int y = 0; y < height; ++y) {
      auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(copy->pixels) + y * copy->pitch);
      for (int x = 0; x < width; ++x) {
        const uint32_t p = row[x];
        row[x] = ((p >> 24) * ta / 255) << 24 | (((p >> 16) & 0xFF) * tr / 255) << 16 |
                 (((p >> 8) & 0xFF) * tg / 255) << 8 | (p & 0xFF) * tb / 255;
      }
    }
  }
  SDL_SetSurfaceBlendMode(copy.get(), SDL_BLENDMODE_BLEND);
  // Coded at the first blit, for the canvas's format.
  SDL_SetSurfaceRLE(copy.get(), 1);
  ++made_;
  return copy;
}
