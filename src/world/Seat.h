// The seats of the game: up to four people fight side by side, each in a seat
// of their own with a fighter, keys, a command buffer, power and a score.
// Seat 1 is the player of a game for one: with nobody else joined, the game
// plays exactly as a game for one always has.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "world/FrameInput.h"
#include "world/Hud.h"

inline constexpr int kMaxSeats = 4;

// The keys of every seat in one frame (seat numbers 1-4); a seat that nobody
// holds sends none.
struct SeatInputs {
  std::array<FrameInput, kMaxSeats> seats{};

  FrameInput& operator[](int seat) { return seats[static_cast<size_t>(seat - 1)]; }
  const FrameInput& operator[](int seat) const { return seats[static_cast<size_t>(seat - 1)]; }
};

struct Seat {
  enum State : int32_t {
    FREE = 0,     // nobody plays here; punch joins
    PLAYING = 1,  // a fighter is in the world (standing, or down and perhaps offered a continue)
    OUT = 2,      // fell and did not continue: out for the rest of the run
  };
  int32_t number = 0;  // 1-4
  State state = FREE;
  // The seat's numbers and command buffer; hud.player is the seat's fighter
  // while the seat plays (nullptr otherwise).
  Hud hud;
  // While the fighter is down with a continue to spend: the frames left to
  // press punch. 0 otherwise.
  int32_t continueFrames = 0;
  // Whether the fighter's fall has been dealt with (offered a continue or sent out).
  bool fallSeen = false;

  bool playing() const { return state == PLAYING && hud.player; }
};
