// The set-up of a session, sent once on the reliable channel: the host says
// what game it plays (protocol version, the game folder's checksum, the seed,
// how many seats and which one the joiner takes); the joiner answers that it
// is ready, or that it cannot play that game.
//
// Bytes, little-endian:
//   "TH" u8 version  u64 folder  i32 seed  u8 seats (1-4)  u8 yourSeat (2-4)
//        u8 difficulty (0 easy, 1 normal, 2 hard)  u8 invincible (0 or 1)
//        then for seats 1-4: u8 length (0-32) and the id of the hero chosen
//        for the seat (none: the rules' own), printable bytes, no slashes
//   "TR"                                    the joiner is ready
// Nothing after. Anything else is refused whole. (Version 1 had no
// difficulty, invincibility or heroes: its games could not agree on them.)
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct SessionHello {
  static constexpr uint8_t kProtocol = 2;
  static constexpr size_t kMaxHeroId = 32;
  uint8_t version = kProtocol;
  uint64_t folder = 0;
  int32_t seed = 0;
  int seats = 2;
  int yourSeat = 2;
  int difficulty = 1;
  bool invincible = false;
  std::array<std::string, 4> heroes;  // as the rules hold them (GBK bytes)
};

std::vector<uint8_t> writeSessionHello(const SessionHello &hello);
std::optional<SessionHello> readSessionHello(std::span<const uint8_t> bytes, std::string &why);
std::vector<uint8_t> writeSessionReady();
bool isSessionReady(std::span<const uint8_t> bytes);
