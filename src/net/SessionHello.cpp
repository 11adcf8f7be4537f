#include "net/SessionHello.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr size_t kFixedBytes = 2 + 1 + 8 + 4 + 1 + 1 + 1 + 1 + 1 + 1;
constexpr size_t kMaxRefusal = 200;

// A hero's id as a file name of the game folder can hold it: no separators,
// no control bytes.
bool plainId(std::span<const uint8_t> id) {
  for (uint8_t c : id)
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return false;
  return !(id.size() == 1 && id[0] == '.') && !(id.size() == 2 && id[0] == '.' && id[1] == '.');
}

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
  out.push_back(static_cast<uint8_t>(hello.yourSeats));
  out.push_back(static_cast<uint8_t>(hello.difficulty));
  out.push_back(hello.invincible ? 1 : 0);
  out.push_back(hello.droppedLeave ? 1 : 0);
  for (const std::string &id : hello.heroes) {
    const size_t n = std::min(id.size(), SessionHello::kMaxHeroId);
    out.push_back(static_cast<uint8_t>(n));
    out.insert(out.end(), id.begin(), id.begin() + static_cast<std::ptrdiff_t>(n));
  }
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
  if (bytes.size() < kFixedBytes) {
    why = "a session hello of " + std::to_string(bytes.size()) + " bytes, too short";
    return std::nullopt;
  }
  hello.folder = getLe(bytes, 3, 8);
  hello.seed = static_cast<int32_t>(static_cast<uint32_t>(getLe(bytes, 11, 4)));
  hello.seats = bytes[15];
  hello.yourSeat = bytes[16];
  hello.yourSeats = bytes[17];
  hello.difficulty = bytes[18];
  const int lastSeat = hello.yourSeat + hello.yourSeats - 1;
  if (hello.seats < 2 || hello.seats > 4 || hello.yourSeat < 2 || hello.yourSeats < 1 || lastSeat > hello.seats) {
    why = "seat " + std::to_string(hello.yourSeat) + (hello.yourSeats == 1 ? "" : "-" + std::to_string(lastSeat)) +
          " of " + std::to_string(hello.seats) + " seats";
    return std::nullopt;
  }
  if (hello.difficulty > 2 || bytes[19] > 1) {
    why = "difficulty " + std::to_string(hello.difficulty) + ", invincible " + std::to_string(bytes[19]);
    return std::nullopt;
  }
  hello.invincible = bytes[19] == 1;
  if (bytes[20] > 1) {
    why = "what becomes of a dropped player's seats is " + std::to_string(bytes[20]) + ", neither 0 nor 1";
    return std::nullopt;
  }
  hello.droppedLeave = bytes[20] == 1;
  size_t at = kFixedBytes;
  for (std::string &id : hello.heroes) {
    const size_t n = at < bytes.size() ? bytes[at] : SIZE_MAX;
    if (n > SessionHello::kMaxHeroId || bytes.size() - at - 1 < n || !plainId(bytes.subspan(at + 1, n))) {
      why = "a hero's id that is cut short, too long or not a plain name";
      return std::nullopt;
    }
    id.assign(bytes.begin() + static_cast<std::ptrdiff_t>(at + 1), bytes.begin() + static_cast<std::ptrdiff_t>(at + 1 + n));
    at += 1 + n;
  }
  if (at != bytes.size()) {
    why = "a session hello of " + std::to_string(bytes.size()) + " bytes, " + std::to_string(bytes.size() - at) +
          " more than it holds";
    return std::nullopt;
  }
  return hello;
}

std::vector<uint8_t> writeSessionReady() { return {'T', 'R'}; }

bool isSessionReady(std::span<const uint8_t> bytes) { return bytes.size() == 2 && bytes[0] == 'T' && bytes[1] == 'R'; }

std::vector<uint8_t> writeSeatRequest(int seats) {
  return {'T', 'W', static_cast<uint8_t>(std::clamp(seats, 1, SessionHello::kMaxSeatsOfOne))};
}

std::optional<int> readSeatRequest(std::span<const uint8_t> bytes) {
  if (bytes.size() != 3 || bytes[0] != 'T' || bytes[1] != 'W') return std::nullopt;
  if (bytes[2] < 1 || bytes[2] > SessionHello::kMaxSeatsOfOne) return std::nullopt;
  return bytes[2];
}

std::vector<uint8_t> writeSessionRefusal(const std::string &why) {
  std::vector<uint8_t> out{'T', 'N'};
  out.insert(out.end(), why.begin(), why.begin() + static_cast<std::ptrdiff_t>(std::min(why.size(), kMaxRefusal)));
  return out;
}

std::optional<std::string> readSessionRefusal(std::span<const uint8_t> bytes) {
  if (bytes.size() < 2 || bytes.size() > 2 + kMaxRefusal || bytes[0] != 'T' || bytes[1] != 'N') return std::nullopt;
  std::string why;
  for (uint8_t c : bytes.subspan(2)) why.push_back(c >= 0x20 && c < 0x7F ? static_cast<char>(c) : '?');
  return why;
}
