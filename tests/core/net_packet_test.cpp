// Packets of keys: what is written reads back the same, and anything else
// (short, long, forged counts, seats and frames out of range) is refused
// whole with the reason. Lines of chat likewise: too long, empty, control
// characters or broken UTF-8 never get through.
#include <gtest/gtest.h>

#include "net/ChatMessage.h"
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
  EXPECT_FALSE(decodeInput(encodeInput(in)).leave);
  in.leave = true;
  EXPECT_TRUE(decodeInput(encodeInput(in)).leave);
  EXPECT_EQ(decodeInput(encodeInput(in)).held, in.held);
}

TEST(InputPacket, ALeavingTravelsWithItsFrameOnly) {
  // Seat 2 leaves at frame 12 with the same keys held as the frames around
  // it: the leaving is a stretch of its own, and no other frame leaves.
  InputPacket p;
  p.runs.push_back({2, 10, {0x0008, 0x0008, 0x0008 | kLeaveBit, 0x0008, 0x0000}});
  p.runs.push_back({3, 10, {kLeaveBit}});
  std::string why;
  const std::optional<InputPacket> back = readInputPacket(writeInputPacket(p), why);
  ASSERT_TRUE(back) << why;
  ASSERT_EQ(back->runs.size(), 2u);
  EXPECT_EQ(back->runs[0].codes, p.runs[0].codes);
  EXPECT_EQ(back->runs[1].codes, p.runs[1].codes);
  // The leave flag rides on a stretch's frame count: a count past 32 with
  // the flag is still refused.
  std::vector<uint8_t> bytes = writeInputPacket(p);
  bytes[18] = 0x80 | 40;
  EXPECT_FALSE(readInputPacket(bytes, why));
  EXPECT_EQ(why, "a stretch of keys of 0 frames or past its run");
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

TEST(ChatMessage, ReadsBackWhatWasWrittenAndRefusesTheRest) {
  const std::string longest(ChatMessage::kMaxBytes, 'x');
  for (const std::string &text : {std::string("hi"), std::string("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"), longest}) {
    std::string why;
    const std::optional<ChatMessage> back = readChat(writeChat(ChatMessage{3, text}), why);
    ASSERT_TRUE(back) << why << ": " << text;
    EXPECT_EQ(back->seat, 3);
    EXPECT_EQ(back->text, text);
  }
  auto chat = [](int seat, const std::string &text) { return writeChat(ChatMessage{seat, text}); };
  const struct {
    std::vector<uint8_t> bytes;
    const char *why;
  } cases[] = {
      {{}, "not chat"},
      {writeInputPacket(sample()), "not chat"},
      {{'T', 'C'}, "chat from a seat outside 1-4"},
      {chat(0, "hi"), "chat from a seat outside 1-4"},
      {chat(5, "hi"), "chat from a seat outside 1-4"},
      {chat(1, ""), "chat with no text"},
      {chat(1, longest + "x"), "chat longer than 80 bytes"},
      {chat(1, "a\nb"), "chat with a control character"},
      {chat(1, "bell\x07"), "chat with a control character"},
      {chat(1, "del\x7F"), "chat with a control character"},
      {chat(1, "c1 \xC2\x9B"), "chat with a control character"},  // U+009B, the terminal's escape
      {chat(1, "stray \x80"), "chat that is not UTF-8"},
      {chat(1, "cut \xE2\x82"), "chat that is not UTF-8"},
      {chat(1, "overlong \xC0\xAF"), "chat that is not UTF-8"},
      {chat(1, "surrogate \xED\xA0\x80"), "chat that is not UTF-8"},
      {chat(1, "past the last \xF4\x90\x80\x80"), "chat that is not UTF-8"},
  };
  for (const auto &c : cases) {
    std::string why;
    EXPECT_FALSE(readChat(c.bytes, why)) << c.why;
    EXPECT_EQ(why, c.why);
  }
}

TEST(ChatMessage, TypedTextIsMadeFitToSendAndToDraw) {
  const struct {
    std::string typed, sent, drawn;
  } cases[] = {
      {"hello", "hello", "hello"},
      {"tab\there\r\n", "tabhere", "tabhere"},
      {"\x1B[2Jclear", "[2Jclear", "[2Jclear"},
      {"broken \xE2\x82 end", "broken  end", "broken  end"},
      {"caf\xC3\xA9", "caf\xC3\xA9", "caf?"},
      {"", "", ""},
      {"\x01\x02", "", ""},
      // Cut at 80 bytes, never inside a character: 79 bytes and a two-byte one
      // leave the last out.
      {std::string(79, 'a') + "\xC3\xA9", std::string(79, 'a'), std::string(79, 'a')},
      {std::string(200, 'b'), std::string(80, 'b'), std::string(80, 'b')},
  };
  for (const auto &c : cases) {
    const std::string sent = plainChatText(c.typed);
    EXPECT_EQ(sent, c.sent) << c.typed;
    EXPECT_EQ(chatTextForScreen(sent), c.drawn) << c.typed;
    // What is fit to send always reads back as chat, when there is any.
    std::string why;
    if (!sent.empty()) {
      EXPECT_TRUE(readChat(writeChat(ChatMessage{1, sent}), why)) << why;
    }
  }
}

}  // namespace
