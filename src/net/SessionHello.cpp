#include "net/SessionHello.h"

namespace {

constexpr size_t kHelloBytes = 2 + 1 + 8 + 4 + 1 + 1;

uint64_t getLe(std::span<const uint8_t> bytes, size_t at, int n) {
  uint64_t v = 0;
  for (int i = 0; i < n; ++i) v |= static_cast<uint64_t>(bytes[at + static_cast<size_t>(i)]) << (8 * i);
  return v;
}

void putLe(std::vector<uint8_t> &out, uint64_t v, int n) {
  for (int i = 0; i < n; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

std::vector<uint8_t> writeSessionHello(const SessionHello &hello) {
  std::vector<uint8_t> out{'T', 'H', hello.version};
  putLe(out, hello.folder, 8);
  putLe(out, static_cast<uint32_t>(hello.seed), 4);
  out.push_back(static_cast<uint8_t>(hello.seats));
  out.push_back(static_cast<uint8_t>(hello.yourSeat));
  return out;
}

std::optional<SessionHello> readSessionHello(std::span<const uint8_t> bytes, std::string &why) {
  if (bytes.size() < 3 || bytes[0] != 'T' || bytes[1] != 'H') {
    why = "not a session hello";
    return std::nullopt;
  }
  SessionHello hello;
  hello.version = bytes[2];
  if (hello.version != SessionHello::kProtocol) {
    why = "the host speaks protocol " + std::to_string(hello.version) + ", this game " +
          std::to_string(SessionHello::kProtocol);
    return std::nullopt;
  }
  if (bytes.size() != kHelloBytes) {
    why = "a session hello of " + std::to_string(bytes.size()) + " bytes, not " + std::to_string(kHelloBytes);
    return std::nullopt;
  }
  hello.folder = getLe(bytes, 3, 8);
  hello.seed = static_cast<int32_t>(static_cast<uint32_t>(getLe(bytes, 11, 4)));
  hello.seats = bytes[15];
  hello.yourSeat = bytes[16];
  if (hello.seats < 2 || hello.seats > 4 || hello.yourSeat < 2 || hello.yourSeat > hello.seats) {
    why = "seat " + std::to_string(hello.yourSeat) + " of " + std::to_string(hello.seats) + " seats";
    return std::nullopt;
  }
  return hello;
}

std::vector<uint8_t> writeSessionReady() { return {'T', 'R'}; }

bool isSessionReady(std::span<const uint8_t> bytes) { return bytes.size() == 2 && bytes[0] == 'T' && bytes[1] == 'R'; }
