// Packets from anyone on the network, of keys and of a session's set-up:
// each reader refuses what is not its packet and never reads past the bytes;
// what it accepts writes back the same.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "net/InputPacket.h"
#include "net/SessionHello.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string why;
  const std::optional<InputPacket> packet = readInputPacket(std::span<const uint8_t>(data, size), why);
  if (packet) {
    const std::vector<uint8_t> again = writeInputPacket(*packet);
    if (again.size() != size || !std::equal(again.begin(), again.end(), data)) abort();
  }
  const std::optional<SessionHello> hello = readSessionHello(std::span<const uint8_t>(data, size), why);
  if (hello) {
    const std::vector<uint8_t> again = writeSessionHello(*hello);
    if (again.size() != size || !std::equal(again.begin(), again.end(), data)) abort();
  }
  return 0;
}
