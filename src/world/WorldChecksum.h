// The state of the world as one 64-bit number, so a replay can tell where a
// run stopped playing the game that was recorded: every object's position,
// velocity, action, script place, hit points and facing in list order; the
// Hud's score, kills, power and command buffer; the scene's name, whether its
// doors are open and the camera; and the random generator's state.
//
// A pure function of what it is given: it reads, draws no random number and
// changes nothing, so a run with checksums plays exactly as one without.
#pragma once

#include <cstdint>

class World;

// FNV-1a over the fields' bytes (numbers little-endian, doubles by their bit
// patterns). `world` may be null (before the world is built).
uint64_t worldChecksum(const World* world, uint64_t randomState);
