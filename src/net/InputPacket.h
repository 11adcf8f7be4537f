// What peers send each other every frame, on the unreliable channel: the
// sender's present frame, how far it has the receiver's keys, the keys of
// the seats it passes on for a run of frames (several frames in each packet, so a lost
// packet costs nothing), and the checksum of its latest agreed frame.
//
// Bytes, little-endian:
//   "TV" 3                  magic and version
//   i32 frame               the sender's next frame to step
//   i32 ack                 the sender has every key of the receiver's seats
//                           before this frame
//   u8 runs                 0-4, then for each: u8 seat (1-4), i32 first
//                           frame, u8 count (1-32), then the count's keys in
//                           stretches: u8 frames (1 or more; the high bit
//                           set: the seat leaves in them) and u16 keys (see
//                           InputCode.h), never two stretches of the same
//                           keys in a row
// (Version 2 had no leaving.)
//   u8 hasCheck             0 or 1, then i32 frame and u64 checksum of the
//                           state before that frame
// Nothing after. Anything else is refused whole.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "net/InputCode.h"

struct InputRun {
  int32_t seat = 0;
  int32_t first = 0;
  std::vector<InputCode> codes;
};

struct InputPacket {
  static constexpr int kMaxRuns = 4;
  static constexpr int kMaxFrames = 32;  // frames of one seat in one packet
  static constexpr size_t kMaxBytes = 4 + 8 + 1 + kMaxRuns * (6 + 3 * kMaxFrames) + 13;

  int32_t frame = 0;
  int32_t ack = 0;
  std::vector<InputRun> runs;
  struct Check {
    int32_t frame = 0;
    uint64_t sum = 0;
  };
  std::optional<Check> check;
};

std::vector<uint8_t> writeInputPacket(const InputPacket &packet);
// The packet in `bytes`, or nothing with the reason in `why`. Frames are
// refused when negative; seats outside 1-4, counts outside 1-32, more than
// four runs, short or long packets likewise.
std::optional<InputPacket> readInputPacket(std::span<const uint8_t> bytes, std::string &why);
