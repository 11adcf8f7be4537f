#include "net/InputPacket.h"

namespace {

constexpr uint8_t kMagic0 = 'T', kMagic1 = 'V', kVersion = 3;
// A stretch's frames byte: its count (1-32) and, in the high bit, the seat's
// leaving.
constexpr uint8_t kLeaveFlag = 0x80;

void putU32(std::vector<uint8_t> &out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool u8(uint8_t &v) {
    if (at_ + 1 > bytes_.size()) return false;
    v = bytes_[at_++];
    return true;
  }
  bool u16(uint16_t &v) {
    if (at_ + 2 > bytes_.size()) return false;
    v = static_cast<uint16_t>(bytes_[at_] | bytes_[at_ + 1] << 8);
    at_ += 2;
    return true;
  }
  bool u64(uint64_t &v, int n = 8) {
    if (at_ + static_cast<size_t>(n) > bytes_.size()) return false;
    v = 0;
    for (int i = 0; i < n; ++i) v |= static_cast<uint64_t>(bytes_[at_ + static_cast<size_t>(i)]) << (8 * i);
    at_ += static_cast<size_t>(n);
    return true;
  }
  bool frame(int32_t &v) {
    uint64_t raw = 0;
    if (!u64(raw, 4)) return false;
    v = static_cast<int32_t>(static_cast<uint32_t>(raw));
    return v >= 0;
  }
  bool done() const { return at_ == bytes_.size(); }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_ = 0;
};

}  // namespace

std::vector<uint8_t> writeInputPacket(const InputPacket &packet) {
  std::vector<uint8_t> out{kMagic0, kMagic1, kVersion};
  putU32(out, static_cast<uint32_t>(packet.frame));
  putU32(out, static_cast<uint32_t>(packet.ack));
  out.push_back(static_cast<uint8_t>(packet.runs.size()));
  for (const InputRun &run : packet.runs) {
    out.push_back(static_cast<uint8_t>(run.seat));
    putU32(out, static_cast<uint32_t>(run.first));
    out.push_back(static_cast<uint8_t>(run.codes.size()));
    // Keys change seldom from one frame to the next: each stretch of the same
    // keys is its length and the keys once.
    for (size_t i = 0; i < run.codes.size();) {
      size_t same = 1;
      while (i + same < run.codes.size() && run.codes[i + same] == run.codes[i]) ++same;
      out.push_back(static_cast<uint8_t>(same | ((run.codes[i] & kLeaveBit) ? kLeaveFlag : 0)));
      out.push_back(static_cast<uint8_t>(run.codes[i]));
      out.push_back(static_cast<uint8_t>(run.codes[i] >> 8));
      i += same;
    }
  }
  out.push_back(packet.check ? 1 : 0);
  if (packet.check) {
    putU32(out, static_cast<uint32_t>(packet.check->frame));
    putU32(out, static_cast<uint32_t>(packet.check->sum));
    putU32(out, static_cast<uint32_t>(packet.check->sum >> 32));
  }
  return out;
}

std::optional<InputPacket> readInputPacket(std::span<const uint8_t> bytes, std::string &why) {
  auto fail = [&why](const char *reason) -> std::optional<InputPacket> {
    why = reason;
    return std::nullopt;
  };
  if (bytes.size() > InputPacket::kMaxBytes) return fail("longer than any packet of keys");
  Reader in(bytes);
  uint8_t m0 = 0, m1 = 0, version = 0, runs = 0, hasCheck = 0;
  if (!in.u8(m0) || !in.u8(m1) || !in.u8(version) || m0 != kMagic0 || m1 != kMagic1)
    return fail("not a packet of keys");
  if (version != kVersion) return fail("a packet of keys of another version");
  InputPacket packet;
  if (!in.frame(packet.frame) || !in.frame(packet.ack)) return fail("a frame number that is cut short or negative");
  if (!in.u8(runs) || runs > InputPacket::kMaxRuns) return fail("more runs of keys than there are seats");
  for (int r = 0; r < runs; ++r) {
    InputRun run;
    uint8_t seat = 0, count = 0;
    if (!in.u8(seat) || seat < 1 || seat > InputPacket::kMaxRuns) return fail("a seat outside 1-4");
    run.seat = seat;
    if (!in.frame(run.first)) return fail("a run's first frame is cut short or negative");
    if (!in.u8(count) || count < 1 || count > InputPacket::kMaxFrames) return fail("a run of 0 or more than 32 frames");
    if (run.first > INT32_MAX - count) return fail("a run past the last frame there can be");
    while (run.codes.size() < count) {
      uint8_t same = 0;
      uint16_t keys = 0;
      if (!in.u8(same) || !in.u16(keys)) return fail("keys cut short");
      InputCode c = keys;
      if (same & kLeaveFlag) c |= kLeaveBit;
      same &= static_cast<uint8_t>(~kLeaveFlag);
      if (same < 1 || same > count - run.codes.size()) return fail("a stretch of keys of 0 frames or past its run");
      // Written one way only: a stretch never follows one of the same keys.
      if (!run.codes.empty() && run.codes.back() == c) return fail("two stretches of the same keys in a row");
      run.codes.insert(run.codes.end(), same, c);
    }
    for (const InputRun &other : packet.runs)
      if (other.seat == run.seat) return fail("two runs for one seat");
    packet.runs.push_back(std::move(run));
  }
  if (!in.u8(hasCheck) || hasCheck > 1) return fail("the checksum's flag is missing or not 0 or 1");
  if (hasCheck) {
    InputPacket::Check check;
    if (!in.frame(check.frame) || !in.u64(check.sum)) return fail("a checksum cut short");
    packet.check = check;
  }
  if (!in.done()) return fail("bytes after the packet's end");
  return packet;
}
