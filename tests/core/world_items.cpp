// Breakable props, items and weapons: nothing changes without their rules
// lines; a prop breaks and drops what it holds; food, treasure and weapons are
// taken with punch; a weapon's uses run out and it falls on a knock-down; the
// lower seat wins an item two reach for; enemies that pick weapons use them;
// bad lines; items in the saved state, the checksum and the trace.
#include <fstream>
#include <sstream>

#include "WorldHelpers.h"
#include "world/RulesFile.h"
#include "world/Trace.h"
#include "world/WorldChecksum.h"

namespace worldtest {
namespace {

constexpr int32_t kPipeSwing = 44, kKnifeStab = 45, kKnifeThrow = 46, kPickUp = 47, kPunch = 13;

const char* const kItemLines =
    "breakable prop 0 = 30 2\n"
    "item apple = food 20 item 0\n"
    "item coins = treasure 50 item 2\n"
    "item pipe = weapon 2 item 4\n"
    "item knife = weapon 3 item 5\n"
    "weapon pipe = 44\n"
    "weapon knife = 45 46\n"
    "holds Test 1 = apple\n"
    "lies Test = pipe 300 300\n";

Expected<GameRules> rulesOf(const std::string& text) {
  const std::vector<uint8_t> bytes(text.begin(), text.end());
  Expected<RulesText> parsed = parseRulesText(bytes, "rules.txt");
  if (!parsed) return parsed.error();
  return applyRulesText(*parsed, "rules.txt");
}

class Items : public WorldTest {
 public:
  void SetUp() override {
    WorldTest::SetUp();
    CharaData hero = fighter("hero", 100, 50);
    hero.actions[kPickUp] = act({bodyBox(0, -50, 40, 100, 20), frame(0, 20)});
    w.writeChara("c_morivane", hero);
    CharaData item;
    item.name = "item";
    item.maxHp = 1;
    for (int i = 0; i < 7; ++i) item.actions.push_back(act({frame(i, 0)}));
    w.writeChara("item", item);
    CharaData prop = fighter("prop", 1, 4);
    prop.actions[2] = act({frame(1, 0)});
    prop.actions[3] = act({frame(3, 0)});
    w.writeChara("prop", prop);
    CharaData striker = fighter("striker", 10, 2);
    striker.actions[0] = act({attackBox(0, -30, 60, 100, 40, 10), armHit(0, 0, 0, 1, 2), frame(0, 0)});
    w.writeChara("striker", striker);
  }
  void useRules(const std::string& text) {
    Expected<GameRules> rules = rulesOf(text);
    ASSERT_TRUE(rules) << rules.error().message();
    w.setRules(*rules);
    w.resetScene();
  }
  // The scene "Test": a crate at x 500 (prop 1), a barrel at x 800 (prop 2).
  void loadTest() {
    SceneFile s = sceneNamed("Test", 2000, 500);
    s.props.push_back({500, 300, 0, 0});
    s.props.push_back({800, 300, 0, 1});
    writeScene("Test", s);
    world().width = 2000;
    world().depth = 500;
    ASSERT_TRUE(world().load("Test"));
  }
  Obj* prop(int n) {
    int seen = 0;
    for (Obj* o : world().objects)
      if (o->id() == "prop" && ++seen == n) return o;
    return nullptr;
  }
  // A blow of 10 from seat 1's side on the crate.
  void strike(double x) {
    world().createObj("striker", 0, 0, 0, 0, x, 0, 300);
    world().step(SeatInputs{});
  }
  void frames(int n) {
    for (int i = 0; i < n; ++i) world().step(SeatInputs{});
  }
  void press(int seat, std::initializer_list<GameKey> keys, bool forward = false) {
    SeatInputs in;
    in[seat] = pressed(keys);
    if (forward) in[seat].held[KEY_D] = true;
    world().controlPlayers(in);
  }
  // Seat 1's hero standing at (x, 300).
  Chara* hero(double x) {
    Chara* h = addPlayer(static_cast<int32_t>(x), 300);
    world().setFighters(1);
    return h;
  }
};

TEST_F(Items, WithoutTheLinesAPropTakesBlowsAsBefore) {
  useRules("");
  loadTest();
  for (int i = 0; i < 5; ++i) strike(500);
  EXPECT_EQ(prop(1)->action, 0);
  EXPECT_EQ(prop(1)->hp, 1) << "the file's hit points, untouched";
  EXPECT_GT(prop(1)->body.width, 0);
  EXPECT_TRUE(world().lyingItems.empty());
}

TEST_F(Items, APropBreaksAtNoHitPointsAndDropsWhatItHolds) {
  useRules(kItemLines);
  loadTest();
  Obj* crate = prop(1);
  ASSERT_NE(crate, nullptr);
  EXPECT_EQ(crate->hp, 30);
  EXPECT_EQ(prop(2)->hp, 1) << "the barrel is not breakable by these lines";
  ASSERT_EQ(world().lyingItems.size(), 1u) << "the pipe lies from the start";
  EXPECT_EQ(world().rules.items.items[static_cast<size_t>(world().lyingItems[0].item)].name, "pipe");
  EXPECT_EQ(world().lyingItems[0].obj->x, 300);

  strike(500);
  strike(500);
  EXPECT_EQ(crate->hp, 10);
  EXPECT_EQ(crate->action, 0);
  strike(500);
  EXPECT_EQ(crate->action, 2) << "broken";
  EXPECT_EQ(crate->body.width, 0) << "nothing strikes it again";
  ASSERT_EQ(world().lyingItems.size(), 2u);
  const World::LyingItem& apple = world().lyingItems[1];
  EXPECT_EQ(world().rules.items.items[static_cast<size_t>(apple.item)].name, "apple");
  EXPECT_EQ(apple.obj->x, 500);
  EXPECT_EQ(apple.obj->z, 300 + 10 + 16) << "in front of the crate's body (20 deep)";
  EXPECT_LT(apple.obj->vy, 0) << "it hops out";
  world().step(SeatInputs{});
  EXPECT_LT(world().lyingItems[1].obj->y, 0);
  EXPECT_TRUE(world().propHolds.empty()) << "a broken prop holds nothing more";
  frames(40);
  EXPECT_EQ(world().lyingItems[1].obj->y, 0) << "and lands";

  strike(500);
  EXPECT_EQ(crate->hp, 0) << "a broken prop is not struck again";
  EXPECT_EQ(world().lyingItems.size(), 2u) << "it drops once";
}

TEST_F(Items, PunchOnAnItemTakesItInsteadOfAttacking) {
  struct Case {
    const char* item;
    int32_t hpBefore;
    int32_t hpAfter, scoreAfter;
    bool armed;
  };
  const Case cases[] = {
      {"apple", 50, 70, 0, false},
      {"apple", 95, 100, 0, false},  // up to the full bar only
      {"coins", 50, 50, 50, false},
      {"knife", 50, 50, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.item) + " at " + std::to_string(c.hpBefore));
    useRules(kItemLines);
    loadTest();
    Chara* h = hero(610);
    h->hp = c.hpBefore;
    world().dropItem(world().rules.items.itemIndex(c.item), 3, 600, 305, false);
    press(1, {KEY_J});
    EXPECT_EQ(h->action, kPickUp) << "the pick-up, not a punch";
    EXPECT_EQ(h->hp, c.hpAfter);
    EXPECT_EQ(world().hud.score, c.scoreAfter);
    EXPECT_EQ(world().weaponOf(h) != nullptr, c.armed);
    ASSERT_EQ(world().lyingItems.size(), 1u) << "only the pipe lies still";
    EXPECT_EQ(world().rules.items.items[static_cast<size_t>(world().lyingItems[0].item)].name, "pipe");
    const World::ItemTally& t = world().tallies[0];
    EXPECT_EQ(t.food + t.treasure + t.weapons, 1);
  }
  // Too far from it (beyond the pick-up box): J punches.
  useRules(kItemLines);
  loadTest();
  Chara* h = hero(630);
  world().dropItem(world().rules.items.itemIndex("apple"), 20, 600, 300, false);
  press(1, {KEY_J});
  EXPECT_EQ(h->action, kPunch);
  EXPECT_EQ(world().lyingItems.size(), 2u);
}

TEST_F(Items, AWeaponSwingsUntilItsUsesAreSpentAndAKnifeIsThrown) {
  useRules(kItemLines);
  loadTest();
  Chara* h = hero(300);
  press(1, {KEY_J});
  ASSERT_NE(world().weaponOf(h), nullptr);
  EXPECT_EQ(world().weaponOf(h)->uses, 2);
  frames(21);
  ASSERT_EQ(h->action, 0);
  press(1, {KEY_J});
  EXPECT_EQ(h->action, kPipeSwing);
  EXPECT_EQ(world().weaponOf(h)->uses, 1);
  h->setAction(0);
  press(1, {KEY_J}, true);
  EXPECT_EQ(h->action, kPipeSwing) << "the pipe has no throw: a direction swings it too";
  EXPECT_EQ(world().weaponOf(h), nullptr) << "spent";
  h->setAction(0);
  press(1, {KEY_J});
  EXPECT_EQ(h->action, kPunch) << "empty-handed again";

  world().dropItem(world().rules.items.itemIndex("knife"), 3, 300, 300, false);
  h->setAction(0);
  press(1, {KEY_J});
  ASSERT_NE(world().weaponOf(h), nullptr);
  h->setAction(0);
  press(1, {KEY_J});
  EXPECT_EQ(h->action, kKnifeStab);
  h->setAction(0);
  press(1, {KEY_J}, true);
  EXPECT_EQ(h->action, kKnifeThrow);
  EXPECT_EQ(world().weaponOf(h), nullptr) << "thrown: gone";
  EXPECT_TRUE(world().lyingItems.empty()) << "a thrown knife does not lie";
}

TEST_F(Items, AKnockedDownHolderDropsItsWeaponWithTheUsesLeft) {
  useRules(kItemLines);
  loadTest();
  Chara* h = hero(300);
  press(1, {KEY_J});
  ASSERT_NE(world().weaponOf(h), nullptr);
  frames(21);
  press(1, {KEY_J});  // one swing: one use left
  ASSERT_EQ(world().weaponOf(h)->uses, 1);
  h->x = 700;
  ASSERT_TRUE(h->knockDown());
  world().update();
  EXPECT_EQ(world().weaponOf(h), nullptr);
  ASSERT_EQ(world().lyingItems.size(), 1u);
  EXPECT_EQ(world().lyingItems[0].uses, 1);
  EXPECT_NEAR(world().lyingItems[0].obj->x, 700, 10);
}

TEST_F(Items, TwoSeatsOnOneItemTheLowerSeatTakesIt) {
  struct Case {
    bool onePresses, twoPresses;
    int taker;  // the seat that holds the pipe after the frame
  };
  for (const Case c : {Case{true, true, 1}, Case{false, true, 2}}) {
    SCOPED_TRACE(c.taker);
    useRules(kItemLines);
    loadTest();
    Chara* one = hero(295);
    ASSERT_TRUE(world().join(2));
    Chara* two = world().seat(2).hud.player;
    two->x = 305;
    two->z = 300;
    two->protection = 0;
    SeatInputs in;
    if (c.onePresses) in[1] = pressed({KEY_J});
    if (c.twoPresses) in[2] = pressed({KEY_J});
    world().controlPlayers(in);
    EXPECT_EQ(world().weaponOf(one) != nullptr, c.taker == 1);
    EXPECT_EQ(world().weaponOf(two) != nullptr, c.taker == 2);
    if (c.taker == 1) EXPECT_EQ(two->action, kPunch) << "seat 2 found nothing under its feet";
    EXPECT_TRUE(world().lyingItems.empty());
    EXPECT_EQ(world().tallies[static_cast<size_t>(c.taker - 1)].weapons, 1);
  }
}

TEST_F(Items, AnEnemyThatPicksWeaponsWalksToOneAndAttacksWithIt) {
  CharaData thug = fighter("guai01", 30, 50);
  thug.aiRules.push_back(AiRule{0, 1000, 0, 1000, 100, 0, 0, 20});
  w.writeChara("guai01", thug);
  useRules(std::string(kItemLines) + "picks-weapons = guai01\npace guai01 = 0 501\n");
  w.setRandom([](int lo, int) { return lo; });
  w.resetScene();
  loadTest();
  Chara* h = hero(1200);
  (void)h;
  Chara* e = world().createChara("guai01", 1, 420, 330);
  for (int i = 0; i < 200 && !world().weaponOf(e); ++i) world().update();
  ASSERT_NE(world().weaponOf(e), nullptr) << "it reached the pipe at 300";
  EXPECT_TRUE(world().lyingItems.empty());
  e->setAction(0);
  world().update();
  EXPECT_EQ(e->action, kPipeSwing) << "its attack is the weapon's";
  EXPECT_EQ(world().weaponOf(e)->uses, 1);
}

TEST_F(Items, ItemsAreInTheStateTheChecksumAndTheTraceAndLeaveWithTheScene) {
  useRules(kItemLines);
  loadTest();
  Chara* h = hero(300);
  press(1, {KEY_J});
  ASSERT_NE(world().weaponOf(h), nullptr);
  for (int i = 0; i < 3; ++i) strike(500);
  ASSERT_EQ(world().lyingItems.size(), 1u);
  std::vector<uint8_t> saved;
  world().saveState(0, saved);
  const uint64_t sum = worldChecksum(&world(), 0);
  std::vector<uint64_t> after;
  for (int i = 0; i < 30; ++i) {
    world().step(SeatInputs{});
    after.push_back(worldChecksum(&world(), 0));
  }
  ASSERT_TRUE(world().restoreState(saved, "saved"));
  EXPECT_EQ(worldChecksum(&world(), 0), sum);
  ASSERT_EQ(world().lyingItems.size(), 1u);
  ASSERT_EQ(world().heldWeapons.size(), 1u);
  EXPECT_EQ(world().heldWeapons[0].holder, world().seat(1).hud.player);
  EXPECT_EQ(world().heldWeapons[0].uses, 2);
  for (int i = 0; i < 30; ++i) {
    world().step(SeatInputs{});
    ASSERT_EQ(worldChecksum(&world(), 0), after[static_cast<size_t>(i)]) << "frame " << i << " after the restore";
  }
  ASSERT_TRUE(world().restoreState(saved, "saved"));
  world().heldWeapons[0].uses = 1;
  EXPECT_NE(worldChecksum(&world(), 0), sum) << "a use is in the sum";

  TraceWriter trace("trace.jsonl");
  trace.write(world(), 1, 0);
  ASSERT_TRUE(trace.close());
  std::ifstream in("trace.jsonl");
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_NE(text.str().find("\"weapon\":{\"name\":\"pipe\",\"uses\":1},\"taken\":{\"food\":0,\"treasure\":0,\"weapons\":1}"),
            std::string::npos)
      << text.str();
  EXPECT_NE(text.str().find("\"items\":[{\"name\":\"apple\",\"x\":500,\"z\":326,"), std::string::npos) << text.str();

  // The next scene: what lay here is gone, the weapon in hand comes along.
  writeScene("next", sceneNamed("next", 1000, 500));
  ASSERT_TRUE(world().changeScene("next", 100, 300));
  EXPECT_TRUE(world().lyingItems.empty());
  EXPECT_TRUE(world().propHolds.empty());
  ASSERT_EQ(world().heldWeapons.size(), 1u);
  frames(3);
  std::vector<uint8_t> again;
  world().saveState(0, again);
  EXPECT_TRUE(world().restoreState(again, "again"));
}

TEST_F(Items, BadLinesAreOneErrorWithTheFileAndLine) {
  struct Case {
    const char* text;
    const char* says;
  };
  const Case cases[] = {
      {"breakable prop 0 = 0 2\n", "rules.txt:1: breakable prop 0: a prop's hit points are from 1"},
      {"breakable prop 0 = -5 2\n", "rules.txt:1: breakable prop 0: a prop's hit points"},
      {"breakable prop = 5 2\n", "rules.txt:1: breakable wants the prop's character id and its action"},
      {"breakable prop 0 = 5\n", "rules.txt:1: breakable prop 0 wants the prop's hit points, then"},
      {"breakable ../x 0 = 5 2\n", "is not a plain name"},
      {"item apple = fruit 20 item 0\n", "rules.txt:1: item apple: \"fruit\" is not a kind of item"},
      {"item apple = food 0 item 0\n", "rules.txt:1: item apple: its value is from 1"},
      {"item apple = food 20 item\n", "rules.txt:1: item apple wants its kind"},
      {"item a/b = food 20 item 0\n", "holds something other than letters"},
      {"item apple = food 20 item 0\nitem apple = food 5 item 1\n", "rules.txt:2: item apple is given twice"},
      {"weapon pipe = 44\n", "rules.txt:1: weapon: there is no item \"pipe\""},
      {"item apple = food 20 item 0\nweapon apple = 44\n", "rules.txt:2: weapon apple: the item apple is not of the kind weapon"},
      {"item pipe = weapon 3 item 4\nweapon pipe = swing\n", "rules.txt:2: weapon pipe wants the action"},
      {"holds Test 1 = melon\n", "rules.txt:1: holds Test 1: there is no item \"melon\""},
      {"item apple = food 20 item 0\nholds Test 0 = apple\n", "rules.txt:2: holds wants the scene and the prop's number"},
      {"lies Test = ghost 10 10\n", "rules.txt:1: lies Test: there is no item \"ghost\""},
      {"item apple = food 20 item 0\nlies Test = apple 10\n", "rules.txt:2: lies Test wants the item, then where"},
      {"picks-weapons =\n", "rules.txt:1: picks-weapons wants the enemies' names"},
      {"pick-up-action = up\n", "rules.txt:1: pick-up-action wants the action"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Expected<GameRules> rules = rulesOf(c.text);
    ASSERT_FALSE(rules);
    EXPECT_NE(textLineMessage(rules.error()).find(c.says), std::string::npos) << textLineMessage(rules.error());
  }
  // Several items may lie in one scene.
  Expected<GameRules> many = rulesOf("item apple = food 20 item 0\nlies Test = apple 10 10\nlies Test = apple 30 10\n");
  ASSERT_TRUE(many) << many.error().message();
  EXPECT_EQ(many->items.lies.size(), 2u);
}

}  // namespace
}  // namespace worldtest
