// Two machines' transports joined by a scripted link inside one process: each
// datagram arrives a latency later, give or take the jitter (so some arrive
// out of order), and some are lost or come twice, as the test asks. Time is
// the test's own ticks; chance is a seeded generator, so a run is the same
// every time.
#pragma once

#include <algorithm>
#include <deque>
#include <vector>

#include "base/Random.h"
#include "net/NetTransport.h"

struct LinkShape {
  int latency = 0;  // ticks
  int jitter = 0;   // ticks either way
  int lossPercent = 0;
  int duplicatePercent = 0;
};

class NetLink {
 public:
  explicit NetLink(LinkShape shape, uint64_t seed = 1) : shape_(shape), chance_(seed) {}

  // The end of machine `side` (0 or 1); its one peer is number 1.
  class End : public NetTransport {
   public:
    End(NetLink &link, int side) : link_(link), side_(side) {}
    void send(int, std::span<const uint8_t> bytes) override { link_.post(side_, bytes); }
    bool receive(Datagram &out) override { return link_.take(side_, out); }

   private:
    NetLink &link_;
    int side_;
  };

  End &end(int side) { return side == 0 ? a_ : b_; }
  void tick() { ++now_; }
  int sent() const { return sent_; }
  // Puts a datagram in front of `side` at once, as a stranger or a broken peer
  // would.
  void inject(int side, std::vector<uint8_t> bytes) { inFlight_.push_back({now_, side, std::move(bytes)}); }

 private:
  struct Flight {
    int arrives;
    int to;
    std::vector<uint8_t> bytes;
  };
  void post(int from, std::span<const uint8_t> bytes) {
    ++sent_;
    if (chance_.range(0, 99) < shape_.lossPercent) return;
    const int copies = chance_.range(0, 99) < shape_.duplicatePercent ? 2 : 1;
    for (int c = 0; c < copies; ++c) {
      const int delay = std::max(0, shape_.latency + chance_.range(-shape_.jitter, shape_.jitter));
      inFlight_.push_back({now_ + delay, 1 - from, std::vector<uint8_t>(bytes.begin(), bytes.end())});
    }
  }
  bool take(int side, Datagram &out) {
    for (auto it = inFlight_.begin(); it != inFlight_.end(); ++it)
      if (it->to == side && it->arrives <= now_) {
        out.peer = 1;
        out.bytes = std::move(it->bytes);
        inFlight_.erase(it);
        return true;
      }
    return false;
  }

  LinkShape shape_;
  Random chance_;
  End a_{*this, 0}, b_{*this, 1};
  std::deque<Flight> inFlight_;
  int now_ = 0, sent_ = 0;
};
