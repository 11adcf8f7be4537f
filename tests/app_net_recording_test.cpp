// A game over the network is recorded as the key changes that give every
// seat's agreed keys back, frame by frame, when a replay presses them on the
// engine's keyboard; and its check lines sit at the frames a replay checks.
#include <gtest/gtest.h>

#include "app/NetRecording.h"
#include "app/ScreenFlow.h"
#include "base/Random.h"
#include "engine/Keyboard.h"
#include "engine_support.h"

namespace {

TEST(NetRecording, KeyChangesGiveTheSameKeysBackOnTheKeyboard) {
  Random chance(7);
  Keyboard keyboard;
  std::array<FrameInput, kMaxSeats + 1> before{};
  for (int frame = 2; frame < 3000; ++frame) {
    const int seat = 1 + frame % 4;
    FrameInput now;
    // Every mix of held and pressed, including a press of a key already held
    // (let go and pressed again within the frame) and a tap shorter than one.
    for (size_t k = 0; k < GAME_KEY_COUNT; ++k) {
      now.held[k] = chance.range(0, 2) == 0;
      now.pressed[k] = chance.range(0, 4) == 0;
    }
    std::vector<ReplayEvent> events;
    appendKeyChanges(frame, seat, before[static_cast<size_t>(seat)], now, events);
    before[static_cast<size_t>(seat)] = now;
    for (const ReplayEvent &e : events) {
      ASSERT_EQ(e.frame, frame);
      if (e.hold)
        keyboard.hold(e.key);
      else if (e.down)
        keyboard.press(e.key);
      else
        keyboard.release(e.key);
    }
    for (size_t k = 0; k < GAME_KEY_COUNT; ++k) {
      const int key = seatGameKey(static_cast<int>(k), seat);
      ASSERT_EQ(keyboard.wentDownSinceStep(key), now.pressed[k]) << "frame " << frame << " key " << k;
      ASSERT_EQ(keyboard.held(key), now.held[k]) << "frame " << frame << " key " << k;
    }
    keyboard.endStep();
  }
}

TEST(NetRecording, ChecksFollowTheKeysOfTheirFrame) {
  ScratchDir dir;
  const std::string path = dir.file("net.replay");
  NetRecording r(path, "seed 5\nplayers 2\nchecks state\n");
  ASSERT_TRUE(r.ok()) << r.error();
  SeatInputs keys;
  keys[2].pressed[KEY_J] = true;
  keys[2].held[KEY_J] = true;
  // The check of the state before frame 99 arrives before frame 98's keys
  // are agreed: it waits for them.
  for (int f = 0; f < 98; ++f) r.agreed(f, SeatInputs{});
  r.checked(99, 0xabcdef);
  r.agreed(98, keys);
  r.agreed(99, SeatInputs{});
  ASSERT_TRUE(r.close()) << r.error();
  ReplayFile file;
  std::string error;
  ASSERT_TRUE(loadReplay(path, file, error)) << error;
  EXPECT_EQ(file.seed, 5);
  EXPECT_EQ(file.players, 2);
  ASSERT_EQ(file.checks.size(), 1u);
  EXPECT_EQ(file.checks[0].frame, 100);
  EXPECT_EQ(file.checks[0].checksum, 0xabcdefu);
  ASSERT_EQ(file.events.size(), 2u);
  EXPECT_EQ(file.events[0].frame, 100);  // frame 98's keys count in replay frame 100
  EXPECT_TRUE(file.events[0].down);
  EXPECT_EQ(file.events[0].key, seatGameKey(KEY_J, 2));
  EXPECT_EQ(file.events[1].frame, 101);
  EXPECT_FALSE(file.events[1].down);
}

TEST(NetRecording, ADesyncReportHoldsTheKeysFromTheStartAndTheAgreedState) {
  ScratchDir dir;
  AgreedGame game;
  game.header = "seed 9\nplayers 2\nchecks state\n";
  SeatInputs keys;
  for (int f = 0; f < 250; ++f) {
    keys[1].held[KEY_D] = f >= 10;
    game.add(keys);
  }
  game.checks = {{99, 1}, {199, 2}};
  const std::vector<uint8_t> state{'T', 'V', 'S', 'F', 1, 2, 3};
  const std::string said = writeDesyncReport(dir.path().string(), 200, game, &state);
  EXPECT_NE(said.find("desync-at-200.replay (play it with --replay)"), std::string::npos) << said;
  EXPECT_NE(said.find("desync-at-200-agreed.state"), std::string::npos) << said;
  ReplayFile file;
  std::string error;
  ASSERT_TRUE(loadReplay(dir.file("desync-at-200.replay"), file, error)) << error;
  EXPECT_EQ(file.seed, 9);
  ASSERT_EQ(file.checks.size(), 2u);
  EXPECT_EQ(file.checks[1].frame, 200);
  ASSERT_EQ(file.events.size(), 1u);
  EXPECT_EQ(file.events[0].frame, 12);  // D held from session frame 10, without a press
  EXPECT_TRUE(file.events[0].hold);
  const std::string written = readFile(dir.file("desync-at-200-agreed.state"));
  EXPECT_EQ(written, std::string(state.begin(), state.end()));
  // A folder that cannot be written: the report says why instead.
  const std::string failed = writeDesyncReport(dir.file("no/such/folder"), 200, game, &state);
  EXPECT_NE(failed.find("could not be written"), std::string::npos) << failed;
}

}  // namespace
