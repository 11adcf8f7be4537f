// The session's set-up message: what the joiner takes from the host.
#include <gtest/gtest.h>

#include "net/SessionHello.h"

TEST(SessionHello, ReadsBackWhatWasWritten) {
  SessionHello hello;
  hello.folder = 0x0123456789ABCDEFULL;
  hello.seed = -7;
  hello.seats = 3;
  hello.yourSeat = 3;
  hello.difficulty = 2;
  hello.invincible = true;
  hello.heroes[2] = "kaelin";
  std::string why;
  const auto back = readSessionHello(writeSessionHello(hello), why);
  ASSERT_TRUE(back) << why;
  EXPECT_EQ(back->folder, hello.folder);
  EXPECT_EQ(back->seed, -7);
  EXPECT_EQ(back->seats, 3);
  EXPECT_EQ(back->yourSeat, 3);
  EXPECT_EQ(back->difficulty, 2);
  EXPECT_TRUE(back->invincible);
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
  overlong[19] = 33;  // a length past the bound
  const Case cases[] = {
      {"empty", {}, "not a session hello"},
      {"ready", writeSessionReady(), "not a session hello"},
      {"other protocol", changed(2, 9), "protocol 9"},
      {"short", std::vector<uint8_t>(good.begin(), good.begin() + 18), "too short"},
      {"a hero cut short", std::vector<uint8_t>(good.begin(), good.end() - 1), "cut short"},
      {"long", longer, "more than it holds"},
      {"no such difficulty", changed(17, 3), "difficulty 3"},
      {"invincible twice over", changed(18, 2), "invincible 2"},
      {"a hero's id too long", overlong, "too long"},
      {"a hero's id that is a path", withHero("../x"), "plain name"},
      {"a hero's id with a control byte", withHero("a\nb"), "plain name"},
      {"one seat", changed(15, 1), "seats"},
      {"five seats", changed(15, 5), "seats"},
      {"the host's seat", changed(16, 1), "seat 1"},
      {"a seat past the seats", changed(16, 3), "seat 3 of 2"},
  };
  for (const Case& c : cases) {
    std::string why;
    EXPECT_FALSE(readSessionHello(c.bytes, why)) << c.what;
    EXPECT_NE(why.find(c.mention), std::string::npos) << c.what << ": " << why;
  }
}
