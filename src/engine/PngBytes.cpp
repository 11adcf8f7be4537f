#include "engine/PngBytes.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstring>
#include <new>

namespace {

// An SDL_RWops that appends to a byte vector (and can seek within it).
struct Sink {
  std::vector<uint8_t>* out;
  size_t at = 0;
  bool failed = false;
};

Sink& sinkOf(SDL_RWops* rw) { return *static_cast<Sink*>(rw->hidden.unknown.data1); }

Sint64 sinkSize(SDL_RWops* rw) { return static_cast<Sint64>(sinkOf(rw).out->size()); }

Sint64 sinkSeek(SDL_RWops* rw, Sint64 offset, int whence) {
  Sink& s = sinkOf(rw);
  Sint64 base = whence == RW_SEEK_SET ? 0 : whence == RW_SEEK_CUR ? static_cast<Sint64>(s.at) : sinkSize(rw);
  if (base + offset < 0) return SDL_SetError("seek before the start of a PNG in memory");
  s.at = static_cast<size_t>(base + offset);
  return static_cast<Sint64>(s.at);
}

size_t sinkRead(SDL_RWops*, void*, size_t, size_t) { return 0; }

size_t sinkWrite(SDL_RWops* rw, const void* data, size_t size, size_t count) {
  Sink& s = sinkOf(rw);
  if (size == 0 || count == 0) return 0;
  const size_t bytes = size * count;
  try {
    if (s.at + bytes > s.out->size()) s.out->resize(s.at + bytes);
  } catch (const std::bad_alloc&) {
    s.failed = true;
    SDL_SetError("out of memory");
    return 0;
  }
  std::memcpy(s.out->data() + s.at, data, bytes);
  s.at += bytes;
  return count;
}

int sinkClose(SDL_RWops* rw) {
  SDL_FreeRW(rw);
  return 0;
}

}  // namespace

bool encodePng(SDL_Surface* picture, std::vector<uint8_t>& out, std::string& error) {
  out.clear();
  if (!picture) {
    error = "no picture";
    return false;
  }
  SDL_RWops* rw = SDL_AllocRW();
  if (!rw) {
    error = SDL_GetError();
    return false;
  }
  Sink sink{&out};
  rw->type = SDL_RWOPS_UNKNOWN;
  rw->size = sinkSize;
  rw->seek = sinkSeek;
  rw->read = sinkRead;
  rw->write = sinkWrite;
  rw->close = sinkClose;
  rw->hidden.unknown.data1 = &sink;
  const int result = IMG_SavePNG_RW(picture, rw, 1);
  if (result != 0 || sink.failed || out.empty()) {
    error = std::string("cannot encode the picture as PNG: ") + IMG_GetError();
    out.clear();
    return false;
  }
  return true;
}
