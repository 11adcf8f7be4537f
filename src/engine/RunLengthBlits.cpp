#include "engine/RunLengthBlits.h"

#include <cstdint>

#include "engine/SoftwareCopies.h"

// A texture's coded copy hangs on its user data, with the tint it was coded
// in on the copy's: one copy a texture, for the first colour it is drawn in
// at its own size (a picture's plain, a shadow's black). A plain draw
// replaces a tinted copy, once; other draws take the usual way.
namespace {

constexpr uint32_t kPlain = 0xFFFFFFFF;
// The user data of a texture that could not be coded: not tried again.
constexpr char kUncodable = 0;

SDL_Surface* codedOf(SDL_Texture* texture) {
  void* data = SDL_GetTextureUserData(texture);
  return data == &kUncodable ? nullptr : static_cast<SDL_Surface*>(data);
}

uint32_t tintOf(const SDL_Surface* coded) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(coded->userdata)); }

}  // namespace

void freeTextureKeep(SDL_Texture* texture) {
  if (texture) SDL_FreeSurface(codedOf(texture));
}

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

bool RunLengthBlits::draw(const hgeQuad& q, SDL_Texture* from, const SDL_Surface* pixels,
                          const std::function<void()>& beforeBlit) {
  const hgeVertex* v = q.v;
  if (!from || q.blend == BLEND_ALPHAADD || !uprightRect(v) || v[1].tx <= v[0].tx || v[3].ty <= v[0].ty) return false;
  Uint32 format = 0;
  int texW = 0, texH = 0;
  if (SDL_QueryTexture(from, &format, nullptr, &texW, &texH) != 0 || format != SDL_PIXELFORMAT_ARGB8888 ||
      static_cast<int64_t>(texW) * texH > kMaxPixels || static_cast<int64_t>(texW) * texH < kMinPixels)
    return false;
  SDL_Rect part, place;
  if (!rendererCopyRects(v, texW, texH, part, place) || part.w != place.w || part.h != place.h) return false;
  SDL_Surface* canvas = canvasNow();
  if (!canvas) return false;

  if (SDL_GetTextureUserData(from) == &kUncodable) return false;
  const uint32_t tint = v[0].col;
  SDL_Surface* copy = codedOf(from);
  if (copy && tintOf(copy) != tint) {
    if (tint != kPlain || tintOf(copy) == kPlain) return false;
    SDL_FreeSurface(copy);
    copy = nullptr;
    SDL_SetTextureUserData(from, nullptr);
  }
  if (!copy) {
    copy = codedCopy(from, pixels, texW, texH, tint).release();
    SDL_SetTextureUserData(from, copy ? static_cast<void*>(copy) : const_cast<char*>(&kUncodable));
    if (!copy) return false;
    copy->userdata = reinterpret_cast<void*>(static_cast<uintptr_t>(tint));
  }
  beforeBlit();
  SDL_RenderFlush(renderer_);
  // The renderer sets the canvas's clip for each of its own commands.
  SDL_SetClipRect(canvas, nullptr);
  SDL_BlitSurface(copy, &part, canvas, &place);
  return true;
}

bool RunLengthBlits::readPixels(SDL_Texture* from, const SDL_Surface* pixels, SDL_Surface* into) {
  auto copyRows = [&](const void* rows, int pitch) {
    return SDL_ConvertPixels(into->w, into->h, SDL_PIXELFORMAT_ARGB8888, rows, pitch, SDL_PIXELFORMAT_ARGB8888,
                             into->pixels, into->pitch) == 0;
  };
  if (pixels && pixels->format->format == SDL_PIXELFORMAT_ARGB8888 && pixels->w == into->w && pixels->h == into->h)
    return copyRows(pixels->pixels, pixels->pitch);
  int access = SDL_TEXTUREACCESS_STATIC;
  SDL_QueryTexture(from, nullptr, &access, nullptr, nullptr);
  if (access == SDL_TEXTUREACCESS_STREAMING) {
    // The software renderer locks a streaming texture on its own pixels.
    void* rows = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(from, nullptr, &rows, &pitch) != 0) return false;
    const bool ok = copyRows(rows, pitch);
    SDL_UnlockTexture(from);
    return ok;
  }
  // A target is read as it is; any other texture through a copy drawn on one.
  TexturePtr drawn;
  SDL_Texture* read = from;
  if (access != SDL_TEXTUREACCESS_TARGET) {
    drawn = renderedCopy(renderer_, from, SDL_Rect{0, 0, into->w, into->h}, into->w, into->h);
    if (!drawn) return false;
    read = drawn.get();
  }
  SDL_RenderFlush(renderer_);
  SDL_Texture* target = SDL_GetRenderTarget(renderer_);
  const bool ok = SDL_SetRenderTarget(renderer_, read) == 0 &&
                  SDL_RenderReadPixels(renderer_, nullptr, SDL_PIXELFORMAT_ARGB8888, into->pixels, into->pitch) == 0;
  SDL_SetRenderTarget(renderer_, target);
  return ok;
}

SurfacePtr RunLengthBlits::codedCopy(SDL_Texture* from, const SDL_Surface* pixels, int width, int height, uint32_t tint) {
  SurfacePtr copy(SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888));
  if (!copy || !readPixels(from, pixels, copy.get())) return nullptr;
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
  return copy;
}
