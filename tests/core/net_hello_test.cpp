// The session's set-up message: what the joiner takes from the host.
#include <gtest/gtest.h>

#include "net/SessionHello.h"

TEST(SessionHello, ReadsBackWhatWasWritten) {
  SessionHello hello;
  hello.folder = 0x0123456789ABCDEFULL;
  hello.seed = -7;
  hello.seats = 4;
  hello.yourSeat = 3;
  hello.yourSeats = 2;
  hello.difficulty = 2;
  hello.invincible = true;
  hello.droppedLeave = true;
  hello.heroes[2] = "kaelin";
  std::string why;
  const auto back = readSessionHello(writeSessionHello(hello), why);
  ASSERT_TRUE(back) << why;
  EXPECT_EQ(back->folder, hello.folder);
  EXPECT_EQ(back->seed, -7);
  EXPECT_EQ(back->seats, 4);
  EXPECT_EQ(back->yourSeat, 3);
  EXPECT_EQ(back->yourSeats, 2);
  EXPECT_EQ(back->difficulty, 2);
  EXPECT_TRUE(back->invincible);
  EXPECT_TRUE(back->droppedLeave);
  EXPECT_FALSE(readSessionHello(writeSessionHello(SessionHello{}), why)->droppedLeave);
  EXPECT_EQ(back->heroes, (std::array<std::string, 4>{"", "", "kaelin", ""}));
  EXPECT_FALSE(isSessionReady(writeSessionHello(hello)));
  EXPECT_TRUE(isSessionReady(writeSessionReady()));
}

TEST(SessionHello, RefusesWhatIsNotAHelloForThisGame) {
  const std::vector<uint8_t> good = writeSessionHello(SessionHello{});
  struct Case {
    const char* what;
    std::vector<uint8_t> bytes;
    const char* mention;
  };
  auto changed = [&](size_t at, uint8_t to) {
    std::vector<uint8_t> b = good;
    b[at] = to;
    return b;
  };
  std::vector<uint8_t> longer = good;
  longer.push_back(0);
  auto withHero = [&](const std::string& id) {
    SessionHello h;
    h.heroes[0] = id;
    std::vector<uint8_t> b = writeSessionHello(h);
    return b;
  };
  std::vector<uint8_t> overlong = withHero("abc");
  overlong[21] = 33;  // a length past the bound
  const Case cases[] = {
      {"empty", {}, "not a session hello"},
      {"ready", writeSessionReady(), "not a session hello"},
      {"other protocol", changed(2, 9), "protocol 9"},
      {"short", std::vector<uint8_t>(good.begin(), good.begin() + 19), "too short"},
      {"a hero cut short", std::vector<uint8_t>(good.begin(), good.end() - 1), "cut short"},
      {"long", longer, "more than it holds"},
      {"no such difficulty", changed(18, 3), "difficulty 3"},
      {"invincible twice over", changed(19, 2), "invincible 2"},
      {"dropped seats neither played nor leaving", changed(20, 2), "dropped player's seats is 2"},
      {"the protocol before leaving", changed(2, 3), "protocol 3, this game 4"},
      {"a hero's id too long", overlong, "too long"},
      {"a hero's id that is a path", withHero("../x"), "plain name"},
      {"a hero's id with a control byte", withHero("a\nb"), "plain name"},
      {"one seat", changed(15, 1), "seats"},
      {"five seats", changed(15, 5), "seats"},
      {"the host's seat", changed(16, 1), "seat 1"},
      {"a seat past the seats", changed(16, 3), "seat 3 of 2"},
      {"no seat at all", changed(17, 0), "seats"},
      {"two seats where one is left", changed(17, 2), "seat 2-3 of 2"},
  };
  for (const Case& c : cases) {
    std::string why;
    EXPECT_FALSE(readSessionHello(c.bytes, why)) << c.what;
    EXPECT_NE(why.find(c.mention), std::string::npos) << c.what << ": " << why;
  }
}

TEST(SessionHello, AJoinersRequestAndTheHostsRefusalAreBoundedAndPlain) {
  EXPECT_EQ(readSeatRequest(writeSeatRequest(2)), 2);
  EXPECT_EQ(readSeatRequest(writeSeatRequest(9)), 3) << "a request is never for more than a joiner may hold";
  const std::vector<std::vector<uint8_t>> notRequests = {
      {}, {'T', 'W'}, {'T', 'W', 0}, {'T', 'W', 4}, {'T', 'W', 1, 0}, writeSessionReady()};
  for (const auto& bytes : notRequests) EXPECT_FALSE(readSeatRequest(bytes)) << bytes.size() << " bytes";

  EXPECT_EQ(readSessionRefusal(writeSessionRefusal("the game is full")), "the game is full");
  EXPECT_EQ(readSessionRefusal(writeSessionRefusal("a\nb\x01")), "a?b?") << "no control bytes reach the screen";
  EXPECT_EQ(readSessionRefusal(writeSessionRefusal(std::string(500, 'x')))->size(), 200u);
  std::vector<uint8_t> tooLong{'T', 'N'};
  tooLong.resize(203, 'x');
  EXPECT_FALSE(readSessionRefusal(tooLong));
  EXPECT_FALSE(readSessionRefusal(writeSeatRequest(1)));
}
