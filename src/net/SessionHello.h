// The set-up of a session, sent once on the reliable channel: the host says
// what game it plays (protocol version, the game folder's checksum, the seed,
// how many seats and which one the joiner takes); the joiner answers that it
// is ready, or that it cannot play that game.
//
// Bytes, little-endian:
//   "TH" u8 version  u64 folder  i32 seed  u8 seats (1-4)  u8 yourSeat (2-4)
//        u8 yourSeats (1-3: the joiner plays yourSeat and the seats after it)
//        u8 difficulty (0 easy, 1 normal, 2 hard)  u8 invincible (0 or 1)
//        u8 dropped (0: the built-in player takes a dropped machine's
//        seats, 1: they leave the game)
//        then for seats 1-4: u8 length (0-32) and the id of the hero chosen
//        for the seat (none: the rules' own), printable bytes, no slashes
//   "TR"                                    the joiner is ready
//   "TW" u8 seats (1-3)                     a joiner, as it arrives: the seats
//                                           its players want
//   "TN" then up to 200 printable bytes     the host turns the joiner away, saying why
// Nothing after. Anything else is refused whole. (Version 1 had no
// difficulty, invincibility or heroes: its games could not agree on them;
// version 2 gave every machine one seat; version 3 had no leaving, neither in
// the hello nor in the packets of keys.)
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

struct SessionHello {
  static constexpr uint8_t kProtocol = 4;
  static constexpr int kMaxSeatsOfOne = 3;  // a joiner leaves the host a seat at least
  static constexpr size_t kMaxHeroId = 32;
  uint8_t version = kProtocol;
  uint64_t folder = 0;
  int32_t seed = 0;
  int seats = 2;
  int yourSeat = 2;
  int yourSeats = 1;
  int difficulty = 1;
  bool invincible = false;
  // The seats of a machine that is dropped leave the game (at one frame every
  // machine agrees on) instead of being played by the built-in player.
  bool droppedLeave = false;
  std::array<std::string, 4> heroes;  // as the rules hold them (GBK bytes)
};

std::vector<uint8_t> writeSessionHello(const SessionHello &hello);
std::optional<SessionHello> readSessionHello(std::span<const uint8_t> bytes, std::string &why);
std::vector<uint8_t> writeSessionReady();
bool isSessionReady(std::span<const uint8_t> bytes);
std::vector<uint8_t> writeSeatRequest(int seats);
// The seats a joiner asks for, or nothing when `bytes` are not such a request.
std::optional<int> readSeatRequest(std::span<const uint8_t> bytes);
std::vector<uint8_t> writeSessionRefusal(const std::string &why);
// Why the host turned this machine away (unprintable bytes shown as '?'), or
// nothing when `bytes` are not a refusal.
std::optional<std::string> readSessionRefusal(std::span<const uint8_t> bytes);
