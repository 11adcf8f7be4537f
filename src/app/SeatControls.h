// Who plays which seat from where. The keyboard holds up to four sets of keys
// (each seat's keyboard keys in the settings are one set; seat 1's and seat
// 2's are the two players at one keyboard) and up to four pads play, each in
// its slot. A set or pad that no seat holds joins by pressing its punch (a
// pad also by Start): it takes the lowest seat that nobody holds, and the
// world's fighter of that seat drops in. Its raw keys then press that seat's
// game keys, so recordings and replays hold seat keys only.
//
// At first the keyboard's first set holds seat 1, and every pad plays seat 1
// as well (a game for one plays as it always has); a pad that presses
// anything there becomes seat 1's. Once a pad joins another seat, each pad
// plays only its own seat. Seat 1's second keys that are also seat 2's keys
// (the arrow keys at first) are seat 1's only while seat 2's set is not held.
// An unplugged pad lets go of its seat (its keys were let go by the engine)
// and a pad plugged in again may take it back. Leaving (the pause menu) is
// the seat's leave key pressed for one step, which the screens turn into the
// world's leave; the seat's set or pad is free again.
#pragma once

#include <array>
#include <vector>

#include "engine/hge.h"

class PlayerSettings;
class World;

class SeatControls {
 public:
  // Devices: the keyboard's sets 0-3 (the keys of seats 1-4 in the
  // settings), then the pads in slots 0-3.
  static constexpr int kDevices = HGE_SEATS + HGE_PADSLOTS;
  static constexpr int keyboardSet(int seat) { return seat - 1; }
  static constexpr int pad(int slot) { return HGE_SEATS + slot; }

  SeatControls(HGE* engine, const PlayerSettings& settings);

  // Seats the built-in player plays: no person takes them.
  void setBotSeats(const std::vector<int>& seats) { botSeats_ = seats; }
  // A replay plays the keys: nobody joins or leaves from here.
  void setReplaying(bool replaying) { replaying_ = replaying; }

  // Once a frame, before the pause menu. `world` (null before the game
  // starts) says who plays; people join only when `mayJoin` (the play screen
  // is up and the menu closed), or in the title's lobby (`lobby`: the Play
  // together page), where a key set or pad takes the lowest seat none holds.
  void update(const World* world, bool mayJoin, bool lobby = false);
  // In this frame a pad's Start joined a seat: it does not open the menu.
  bool startUsed() const { return startUsed_; }
  // Once a step, before the world's (the engine's input callback): a seat
  // that chose to leave presses its leave key for this step.
  void beforeStep();
  // The seat leaves at the next step.
  void leave(int seat);
  // The seats that may leave now: with two or more playing, those a person
  // plays (none while a replay plays: it holds its own leaving).
  const std::vector<int>& seatsThatMayLeave() const { return mayLeave_; }

  // The seat holding `device` (0: none).
  int seatOf(int device) const { return holder_[static_cast<size_t>(device)]; }
  // Gives the engine the bindings for who holds what now (when the keys
  // changed too); nothing when they are what it has.
  void rebind();
  // The bindings for who holds what now, into `out` (emptied first; its room
  // is kept, so a frame that asks again allocates nothing).
  void table(std::vector<hgeBinding>& out) const;

 private:
  bool held(int seat) const;
  bool bot(int seat) const;
  // Pads play only their own seat once one plays another than seat 1.
  bool padsApart() const;
  // The lowest seat that may be taken: held by nobody, not a bot's, not out.
  int freeSeat(const World& world) const;
  // Whether a raw key of `device` that joins went down (with Start for a pad).
  bool joinPressed(int device, int seat, bool& start) const;
  void take(int device, int seat, bool start);

  HGE* engine_;
  const PlayerSettings& settings_;
  std::array<int, kDevices> holder_{};
  std::vector<int> botSeats_;
  bool replaying_ = false;
  bool startUsed_ = false;
  std::vector<int> pendingLeaves_;
  std::vector<int> pressedKeys_;  // game keys pressed here for one step, let go at the next
  std::vector<int> mayLeave_;
  std::vector<hgeBinding> given_;  // what the engine has
  std::vector<hgeBinding> asked_;  // the table of this frame, compared with given_
  bool givenOnce_ = false;
};
