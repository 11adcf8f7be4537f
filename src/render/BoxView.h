// How the modder's tools (the overlay, the character viewer, the contact
// sheet) show a box: its colours, and where a box of the world lands on the
// screen. A point (x, y, z) of the world is drawn at (x - cameraX,
// y + z - cameraY): depth runs down the screen, height up.
#pragma once

#include <cstdint>

#include "engine/hge.h"
#include "object/Box.h"

namespace boxcolors {
inline constexpr uint32_t kBody = 0xFF38E048;        // where the character can be hit
inline constexpr uint32_t kBodyFloor = 0x3838E048;   // its depth, on the ground
inline constexpr uint32_t kAttack = 0xFFFFB020;      // an attack box whose hit is not armed
inline constexpr uint32_t kArmed = 0xFFFF3030;       // an armed attack: it hits what it touches
inline constexpr uint32_t kArmedFill = 0x58FF3030;
inline constexpr uint32_t kAttackFloor = 0x30FFB020;
inline constexpr uint32_t kWall = 0xFF4A90FF;
inline constexpr uint32_t kWallFill = 0x284A90FF;
inline constexpr uint32_t kDoorOpen = 0xFF40FFFF;
inline constexpr uint32_t kDoorClosed = 0xFFB0B0B0;
inline constexpr uint32_t kDoorFill = 0x3040FFFF;
inline constexpr uint32_t kGrab = 0xFFE050FF;        // a grab box: walking into a standing enemy holds it
inline constexpr uint32_t kGrabFloor = 0x30E050FF;
inline constexpr uint32_t kFeet = 0xFFFFFFFF;        // the character's place: a cross at its feet
}  // namespace boxcolors

enum class BoxKind { Body, Attack, ArmedAttack, Grab };

// Draws `box` (world coordinates: centre and full sizes), the camera at
// (cameraX, cameraY): its outline around the height of its centre, and its
// depth as a band on the ground (y = 0) under it. A box of no width draws nothing.
void drawWorldBox(HGE* engine, const Box& box, double cameraX, double cameraY, BoxKind kind);

// A small cross at the point (x, y, z) of the world.
void drawWorldCross(HGE* engine, double x, double y, double z, double cameraX, double cameraY, uint32_t color);
