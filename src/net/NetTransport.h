// How a session reaches its peers: datagrams to and from peers numbered
// 1-3 (the transport knows their addresses; anything from an address that is
// not a peer never gets here). Sending may lose, delay, repeat or reorder.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

struct Datagram {
  int peer = 0;
  std::vector<uint8_t> bytes;
};

class NetTransport {
 public:
  virtual ~NetTransport() = default;
  virtual void send(int peer, std::span<const uint8_t> bytes) = 0;
  // The next datagram that has arrived; false when none is waiting.
  virtual bool receive(Datagram &out) = 0;
};
