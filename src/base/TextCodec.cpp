#include "base/TextCodec.h"

#include <iconv.h>

#include <cerrno>

namespace {

// One iconv conversion descriptor, closed on scope exit.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

bool isAscii(const std::string& s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

// Converts all of `text`, appending to `out`. An invalid or cut sequence
// calls `onInvalid` with the input; it either steps over bytes (and the
// conversion goes on) or returns false (and the conversion stops, false).
template <class OnInvalid>
bool convert(const Converter& conv, const std::string& text, std::string& out, OnInvalid onInvalid) {
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t r = iconv(conv.get(), &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) {
      if (!onInvalid(in, inLeft)) return false;
      iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);
    }
  }
  return true;
}

}  // namespace

std::string gbkToUtf8(const std::string& gbk) {
  if (isAscii(gbk)) return gbk;
  Converter conv("UTF-8", "GBK");
  std::string out;
  if (!conv.ok()) {
    // Without a converter, keep the ASCII and mark every other byte.
    for (unsigned char c : gbk) out += c < 0x80 ? std::string(1, static_cast<char>(c)) : "\xEF\xBF\xBD";
    return out;
  }
  out.reserve(gbk.size() * 3 / 2 + 4);
  convert(conv, gbk, out, [&out](char*& in, size_t& inLeft) {
    // An invalid or truncated sequence: replace one byte and go on.
    out += "\xEF\xBF\xBD";
    ++in;
    --inLeft;
    return true;
  });
  return out;
}

bool utf8ToGbk(const std::string& utf8, std::string& out) {
  out.clear();
  if (isAscii(utf8)) {
    out = utf8;
    return true;
  }
  Converter conv("GBK", "UTF-8");
  if (!conv.ok()) return false;
  return convert(conv, utf8, out, [](char*&, size_t&) { return false; });
}
