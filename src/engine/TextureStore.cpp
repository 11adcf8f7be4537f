#include "engine/TextureStore.h"

#include <SDL_image.h>

#include <algorithm>

#include "engine/PictureSize.h"

namespace {

std::string sizeText(uint64_t width, uint64_t height) { return std::to_string(width) + "x" + std::to_string(height); }

// The decoder of the format the header was read for, and no other.
SDL_Surface* decodeAs(PictureFormat format, SDL_RWops* rw) {
  switch (format) {
    case PictureFormat::Png: return IMG_LoadPNG_RW(rw);
    case PictureFormat::Jpeg: return IMG_LoadJPG_RW(rw);
    case PictureFormat::Gif: return IMG_LoadGIF_RW(rw);
    case PictureFormat::Bmp: return IMG_LoadBMP_RW(rw);
    case PictureFormat::Qoi: return IMG_LoadQOI_RW(rw);
    case PictureFormat::Ico: return IMG_LoadICO_RW(rw);
    case PictureFormat::Cur: return IMG_LoadCUR_RW(rw);
    case PictureFormat::Unknown: break;
  }
  return nullptr;
}

}  // namespace

PictureSize checkPicture(const void* data, size_t size, uint64_t maxPixels, std::string& error) {
  if (!data || size == 0 || size > 0x7FFFFFFF) {
    error = "empty picture";
    return {};
  }
  const PictureSize header = readPictureSize(static_cast<const uint8_t*>(data), size, error);
  if (header.format == PictureFormat::Unknown) return {};
  const char* format = pictureFormatName(header.format);
  if (header.width == 0 || header.height == 0) {
    error = std::string(format) + " of " + sizeText(header.width, header.height) + " pixels";
    return {};
  }
  if (header.width > kMaxPictureSide || header.height > kMaxPictureSide) {
    error = std::string(format) + " of " + sizeText(header.width, header.height) + " pixels, more than " +
            std::to_string(kMaxPictureSide) + " on a side";
    return {};
  }
  const uint64_t pixels = uint64_t(header.width) * header.height;
  if (pixels > maxPixels) {
    error = std::string(format) + " of " + sizeText(header.width, header.height) + " pixels (" +
            std::to_string(pixels) + "), more than the " + std::to_string(maxPixels) +
            " pixels left of the budget for pictures";
    return {};
  }
  return header;
}

SurfacePtr decodePicture(const void* data, size_t size, uint64_t maxPixels, std::string& error) {
  const PictureSize header = checkPicture(data, size, maxPixels, error);
  if (header.format == PictureFormat::Unknown) return nullptr;
  const char* format = pictureFormatName(header.format);
  const uint64_t pixels = uint64_t(header.width) * header.height;
  SDL_RWops* rw = SDL_RWFromConstMem(data, static_cast<int>(size));
  if (!rw) {
    error = SDL_GetError();
    return nullptr;
  }
  SurfacePtr loaded(decodeAs(header.format, rw));
  SDL_RWclose(rw);
  if (!loaded) {
    error = IMG_GetError();
    return nullptr;
  }
  SurfacePtr argb(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_ARGB8888, 0));
  if (!argb) {
    error = SDL_GetError();
    return nullptr;
  }
  if (uint64_t(argb->w) * uint64_t(argb->h) > pixels) {
    error = std::string(format) + " decoded larger than its header says";
    return nullptr;
  }
  return argb;
}

SurfacePtr TextureStore::decode(const void* data, size_t size, std::string& error) const {
  return decodePicture(data, size, budget_ > pixels_ ? budget_ - pixels_ : 0, error);
}

PictureSize TextureStore::check(const void* data, size_t size, std::string& error) const {
  return checkPicture(data, size, budget_ > pixels_ ? budget_ - pixels_ : 0, error);
}

HTEXTURE TextureStore::addEncoded(std::vector<uint8_t> bytes, const PictureSize& header, std::string name,
                                  bool decodeAhead) {
  if (header.format == PictureFormat::Unknown || bytes.empty()) return 0;
  HTEXTURE handle = next_++;
  if (next_ == 0) next_ = 1;
  Entry& e = entries_[handle];
  e.width = static_cast<int>(header.width);
  e.height = static_cast<int>(header.height);
  pixels_ += uint64_t(e.width) * uint64_t(e.height);
  e.name = std::move(name);
  if (decodeAhead) {
    if (!decoder_) decoder_ = std::make_unique<PictureDecoder>();
    e.job = std::make_shared<PictureDecoder::Job>();
    e.job->bytes = std::move(bytes);
    e.job->maxPixels = uint64_t(e.width) * uint64_t(e.height);
    decoder_->submit(e.job);
  } else {
    e.encoded = std::move(bytes);
  }
  return handle;
}

HTEXTURE TextureStore::add(SurfacePtr picture, SDL_Renderer* renderer, bool keepPicture) {
  if (!picture) return 0;
  HTEXTURE handle = next_++;
  if (next_ == 0) next_ = 1;
  Entry& e = entries_[handle];
  e.width = picture->w;
  e.height = picture->h;
  pixels_ += uint64_t(e.width) * uint64_t(e.height);
  e.picture = std::move(picture);
  if (renderer) {
    textureFor(handle, renderer);
    if (e.texture && !keepPicture) e.picture.reset();
  }
  return handle;
}

void TextureStore::free(HTEXTURE handle) {
  auto it = entries_.find(handle);
  if (it == entries_.end()) return;
  pixels_ -= uint64_t(it->second.width) * uint64_t(it->second.height);
  if (it->second.job) decoder_->cancel(it->second.job);
  entries_.erase(it);
}

int TextureStore::width(HTEXTURE handle) const {
  auto it = entries_.find(handle);
  return it == entries_.end() ? 0 : it->second.width;
}

int TextureStore::height(HTEXTURE handle) const {
  auto it = entries_.find(handle);
  return it == entries_.end() ? 0 : it->second.height;
}

namespace {

// True when no pixel of the picture lets anything through (a sprite's
// corners usually tell at once; a background is read whole, once).
bool isOpaque(const SDL_Surface* picture) {
  const SDL_PixelFormat* f = picture->format;
  if (f->Amask == 0) return f->BytesPerPixel == 4;
  if (f->BytesPerPixel != 4) return false;
  for (int y = 0; y < picture->h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(picture->pixels) +
                                                            static_cast<size_t>(y) * picture->pitch);
    for (int x = 0; x < picture->w; ++x)
      if ((row[x] & f->Amask) != f->Amask) return false;
  }
  return true;
}

// A streaming texture of `format` (of the picture's 32-bit layout) holding
// the picture, turned over as asked, written straight into its pixels.
TexturePtr copyOf(SDL_Renderer* renderer, const SDL_Surface* from, Uint32 format, bool acrossX, bool acrossY) {
  TexturePtr made(SDL_CreateTexture(renderer, format, SDL_TEXTUREACCESS_STREAMING, from->w, from->h));
  void* pixels = nullptr;
  int pitch = 0;
  if (!made || SDL_LockTexture(made.get(), nullptr, &pixels, &pitch) != 0) return nullptr;
  for (int y = 0; y < from->h; ++y) {
    const uint32_t* in = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(from->pixels) +
                                                           static_cast<size_t>(acrossY ? from->h - 1 - y : y) * from->pitch);
    uint32_t* out = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(pixels) + static_cast<size_t>(y) * pitch);
    if (acrossX)
      for (int x = 0; x < from->w; ++x) out[x] = in[from->w - 1 - x];
    else
      std::copy(in, in + from->w, out);
  }
  SDL_UnlockTexture(made.get());
  return made;
}

}  // namespace

SDL_Texture* TextureStore::textureFor(HTEXTURE handle, SDL_Renderer* renderer) {
  auto it = entries_.find(handle);
  if (it == entries_.end()) return nullptr;
  Entry& e = it->second;
  if (e.texture && e.owner == renderer) return e.texture.get();
  if (!e.picture && (e.job || !e.encoded.empty())) {
    // First drawn: decoded now (or taken from the decoder's thread), within
    // the size its header gave (the budget already counts it).
    std::string why;
    if (e.job)
      e.picture = decoder_->take(e.job, why);
    else
      e.picture = decodePicture(e.encoded.data(), e.encoded.size(), uint64_t(e.width) * uint64_t(e.height), why);
    e.job.reset();
    if (e.picture && (e.picture->w != e.width || e.picture->h != e.height)) {
      e.picture.reset();
      why = "decoded to another size than its header says";
    }
    if (e.picture) ++decoded_;
    if (!e.picture && log_) log_("Cannot decode the texture " + e.name + ": " + why);
    e.encoded = std::vector<uint8_t>();
  }
  if (!e.picture) return nullptr;
  e.texture.reset(SDL_CreateTextureFromSurface(renderer, e.picture.get()));
  for (TexturePtr& m : e.mirrored) m.reset();
  e.opaqueCopy.reset();
  e.opaque = -1;
  e.owner = renderer;
  return e.texture.get();
}

SDL_Texture* TextureStore::opaqueFor(HTEXTURE handle, SDL_Renderer* renderer) {
  if (!opaque(handle)) return nullptr;
  Entry& e = entries_.find(handle)->second;
  if (e.owner != renderer || e.picture->format->format != SDL_PIXELFORMAT_ARGB8888) return nullptr;
  if (e.opaqueCopy) return e.opaqueCopy.get();
  // ARGB and XRGB lay their colours out alike: the rows are copied as they are.
  e.opaqueCopy = copyOf(renderer, e.picture.get(), SDL_PIXELFORMAT_RGB888, false, false);
  if (e.opaqueCopy) {
    SDL_ScaleMode filter = SDL_ScaleModeLinear;
    if (SDL_GetTextureScaleMode(e.texture.get(), &filter) == 0) SDL_SetTextureScaleMode(e.opaqueCopy.get(), filter);
    SDL_SetTextureBlendMode(e.opaqueCopy.get(), SDL_BLENDMODE_NONE);
  }
  return e.opaqueCopy.get();
}

const SDL_Surface* TextureStore::picture(HTEXTURE handle) const {
  auto it = entries_.find(handle);
  return it == entries_.end() ? nullptr : it->second.picture.get();
}

bool TextureStore::opaque(HTEXTURE handle) {
  auto it = entries_.find(handle);
  if (it == entries_.end() || !it->second.texture || !it->second.picture) return false;
  Entry& e = it->second;
  // Found when first asked: only software renderers ask.
  if (e.opaque < 0) e.opaque = isOpaque(e.picture.get()) ? 1 : 0;
  return e.opaque == 1;
}

SDL_Texture* TextureStore::mirroredFor(HTEXTURE handle, SDL_Renderer* renderer, bool acrossX, bool acrossY) {
  SDL_Texture* texture = textureFor(handle, renderer);
  if (!texture || !(acrossX || acrossY)) return texture;
  Entry& e = entries_.find(handle)->second;
  TexturePtr& turned = e.mirrored[acrossX && acrossY ? 2 : acrossY ? 1 : 0];
  if (turned) return turned.get();
  SDL_Surface* from = e.picture.get();
  if (!from || from->format->BytesPerPixel != 4) return nullptr;
  turned = copyOf(renderer, from, from->format->format, acrossX, acrossY);
  if (turned) {
    SDL_BlendMode mode = SDL_BLENDMODE_BLEND;
    SDL_GetTextureBlendMode(texture, &mode);
    SDL_SetTextureBlendMode(turned.get(), mode);
    SDL_ScaleMode filter = SDL_ScaleModeLinear;
    if (SDL_GetTextureScaleMode(texture, &filter) == 0) SDL_SetTextureScaleMode(turned.get(), filter);
  }
  return turned.get();
}

void TextureStore::dropRendererTextures() {
  for (auto& [handle, e] : entries_) {
    for (TexturePtr& m : e.mirrored) m.reset();
    e.texture.reset();
    e.owner = nullptr;
  }
}

void TextureStore::clear() {
  for (auto& [handle, e] : entries_)
    if (e.job) decoder_->cancel(e.job);
  entries_.clear();
  pixels_ = 0;
}
