// Packets of keys: what is written reads back the same, and anything else
// (short, long, forged counts, seats and frames out of range) is refused
// whole with the reason.
#include <gtest/gtest.h>

#include "net/InputPacket.h"

namespace {

InputPacket sample() {
  InputPacket p;
  p.frame = 1234;
  p.ack = 1200;
  p.runs.push_back({1, 1230, {0x0001, 0x0001, 0x0101, 0xFFFF, 0xFFFF, 0xFFFF}});
  p.runs.push_back({3, 1229, {0x0080}});
  p.check = InputPacket::Check{1200, 0x0123456789ABCDEFULL};
  return p;
}

TEST(InputPacket, ReadsBackWhatWasWritten) {
  for (bool withCheck : {false, true}) {
    InputPacket p = sample();
    if (!withCheck) p.check.reset();
    std::string why;
    const std::optional<InputPacket> back = readInputPacket(writeInputPacket(p), why);
    ASSERT_TRUE(back) << why;
    EXPECT_EQ(back->frame, 1234);
    EXPECT_EQ(back->ack, 1200);
    ASSERT_EQ(back->runs.size(), 2u);
    EXPECT_EQ(back->runs[0].codes, p.runs[0].codes);
    EXPECT_EQ(back->runs[1].seat, 3);
    EXPECT_EQ(back->runs[1].first, 1229);
    EXPECT_EQ(back->check.has_value(), withCheck);
    if (withCheck) EXPECT_EQ(back->check->sum, 0x0123456789ABCDEFULL);
  }
  // Keys held for a whole run travel as one stretch: 32 frames in 3 bytes.
  InputPacket held;
  held.runs.push_back({2, 0, std::vector<InputCode>(InputPacket::kMaxFrames, 0x0008)});
  EXPECT_EQ(writeInputPacket(held).size(), 3u + 8u + 1u + 6u + 3u + 1u);
  // Keys to two bytes and back, every key held and pressed alike.
  FrameInput in;
  in.held[KEY_W] = in.held[KEY_I] = in.pressed[KEY_J] = true;
  EXPECT_EQ(decodeInput(encodeInput(in)).held, in.held);
  EXPECT_EQ(decodeInput(encodeInput(in)).pressed, in.pressed);
}

TEST(InputPacket, AnythingElseIsRefusedWithTheReason) {
  const std::vector<uint8_t> good = writeInputPacket(sample());
  auto with = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> b = good;
    b[at] = value;
    return b;
  };
  // Offsets: 0 magic, 2 version, 3 frame, 7 ack, 11 runs, 12 first run's seat,
  // 13 its first frame, 17 its count, 18 its first stretch's frames, 19 its
  // keys, 21 the second stretch.
  const struct {
    std::vector<uint8_t> bytes;
    const char *why;
  } cases[] = {
      {{}, "not a packet of keys"},
      {with(0, 'X'), "not a packet of keys"},
      {with(2, 9), "a packet of keys of another version"},
      {with(6, 0x80), "a frame number that is cut short or negative"},
      {with(11, 5), "more runs of keys than there are seats"},
      {with(12, 0), "a seat outside 1-4"},
      {with(12, 5), "a seat outside 1-4"},
      {with(17, 0), "a run of 0 or more than 32 frames"},
      {with(17, 33), "a run of 0 or more than 32 frames"},
      {with(18, 0), "a stretch of keys of 0 frames or past its run"},
      {with(18, 7), "a stretch of keys of 0 frames or past its run"},
      {[] {
         // The second stretch of keys written as the first's.
         std::vector<uint8_t> b = writeInputPacket(sample());
         b[22] = b[19];
         b[23] = b[20];
         return b;
       }(),
       "two stretches of the same keys in a row"},
      {[] {
         InputPacket p = sample();
         p.runs[1].seat = 1;
         return writeInputPacket(p);
       }(),
       "two runs for one seat"},
      {std::vector<uint8_t>(good.begin(), good.end() - 1), "a checksum cut short"},
      {[&] {
         std::vector<uint8_t> b = good;
         b.push_back(0);
         return b;
       }(),
       "bytes after the packet's end"},
      {std::vector<uint8_t>(4096, 'T'), "longer than any packet of keys"},
  };
  for (const auto &c : cases) {
    std::string why;
    EXPECT_FALSE(readInputPacket(c.bytes, why)) << c.why;
    EXPECT_EQ(why, c.why);
  }
}

}  // namespace
