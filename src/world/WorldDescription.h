// The world's state as text, one "field value" line each, in the order a
// saved state holds it: for people hunting a difference between two worlds
// that should be the same (the sync test writes two of these), and the name
// of the first field where two descriptions differ.
#pragma once

#include <cstdint>
#include <span>
#include <string>

class World;

std::string describeWorld(const World& world, uint64_t randomState);
// The field of the first line where `a` and `b` differ ("" when they do not).
std::string firstDifference(const std::string& a, const std::string& b);
// A 64-bit checksum of a saved state's bytes (everything the state holds).
uint64_t stateChecksum(std::span<const uint8_t> bytes);
