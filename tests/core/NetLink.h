// Machines' transports joined by a scripted link inside one process (two
// machines, or a host, machine 0, linked to each of its joiners): each
// datagram arrives a latency later, give or take the jitter (so some arrive
// out of order), and some are lost or come twice, as the test asks. Time is
// the test's own ticks; chance is a seeded generator, so a run is the same
// every time.
#pragma once

#include <algorithm>
#include <deque>
#include <memory>
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
  explicit NetLink(LinkShape shape, uint64_t seed = 1, int machines = 2) : shape_(shape), chance_(seed) {
    for (int m = 0; m < machines; ++m) ends_.push_back(std::make_unique<End>(*this, m));
  }

  // The end of machine `side`. The host's peers are its joiners, numbered
  // as the machines; a joiner's one peer, the host, is number 1.
  class End : public NetTransport {
   public:
    End(NetLink &link, int side) : link_(link), side_(side) {}
    void send(int peer, std::span<const uint8_t> bytes) override {
      link_.post(side_, side_ == 0 ? peer : 0, bytes);
    }
    bool receive(Datagram &out) override { return link_.take(side_, out); }

   private:
    NetLink &link_;
    int side_;
  };

  End &end(int side) { return *ends_[static_cast<size_t>(side)]; }
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
    int from = 1;
  };
  void post(int from, int to, std::span<const uint8_t> bytes) {
    ++sent_;
    if (chance_.range(0, 99) < shape_.lossPercent) return;
    const int copies = chance_.range(0, 99) < shape_.duplicatePercent ? 2 : 1;
    for (int c = 0; c < copies; ++c) {
      const int delay = std::max(0, shape_.latency + chance_.range(-shape_.jitter, shape_.jitter));
      inFlight_.push_back({now_ + delay, to, std::vector<uint8_t>(bytes.begin(), bytes.end()), from});
    }
  }
  bool take(int side, Datagram &out) {
    for (auto it = inFlight_.begin(); it != inFlight_.end(); ++it)
      if (it->to == side && it->arrives <= now_) {
        out.peer = side == 0 ? std::max(it->from, 1) : 1;
        out.bytes = std::move(it->bytes);
        inFlight_.erase(it);
        return true;
      }
    return false;
  }

  LinkShape shape_;
  Random chance_;
  std::vector<std::unique_ptr<End>> ends_;
  std::deque<Flight> inFlight_;
  int now_ = 0, sent_ = 0;
};
