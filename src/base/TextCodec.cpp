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
  char* in = const_cast<char*>(gbk.data());
  size_t inLeft = gbk.size();
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t r = iconv(conv.get(), &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (r == static_cast<size_t>(-1)) {
      if (errno == E2BIG) continue;
      // An invalid or truncated sequence: replace one byte and go on.
      out += "\xEF\xBF\xBD";
      ++in;
      --inLeft;
      iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);
    }
  }
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
  char* in = const_cast<char*>(utf8.data());
  size_t inLeft = utf8.size();
  char buffer[256];
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    size_t r = iconv(conv.get(), &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (r == static_cast<size_t>(-1) && errno != E2BIG) return false;
  }
  return true;
}
