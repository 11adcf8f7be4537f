// Datagrams between machines over UDP (ENet). The host listens on a port for
// joiners (peers 1-3 in the order they come); a joiner has one peer, the host
// (peer 1). Keys travel on channel 0, unreliable and sequenced (a late packet
// is dropped, the next one carries its frames again); the session's set-up on
// channel 1, reliable. A peer silent for 3 seconds is dropped.
//
// Everything that comes in is bounded: packets over kMaxPacket bytes are
// refused by ENet, at most kMaxQueued datagrams wait to be read (the rest are
// dropped), and nothing from an address that is not a peer gets through.
//
// --net-sim: what this machine sends can be held back (latency, give or take
// the jitter, so packets pass each other), and some of the keys' packets lost
// and as many sent twice.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "net/NetTransport.h"

struct NetSim {
  int latencyMs = 0;
  int jitterMs = 0;
  int lossPercent = 0;
};

class EnetTransport : public NetTransport {
 public:
  static constexpr size_t kMaxPacket = 2048;
  static constexpr size_t kMaxQueued = 1024;
  static constexpr uint32_t kSilentMs = 3000;

  // Listening on every address at `port`, for up to `joiners` peers.
  static std::unique_ptr<EnetTransport> listen(uint16_t port, int joiners, std::string& error);
  // Connected to the host `name` at `port` within `waitMs`, or nothing and why.
  static std::unique_ptr<EnetTransport> connect(const std::string& name, uint16_t port, uint32_t waitMs,
                                                std::string& error);
  ~EnetTransport() override;
  EnetTransport(const EnetTransport&) = delete;
  EnetTransport& operator=(const EnetTransport&) = delete;

  void setSim(const NetSim& sim, uint32_t seed);
  // Whether new joiners are taken (a started game takes none).
  void setAccepting(bool accepting) { accepting_ = accepting; }

  // Sends what is due and reads what came, waiting up to `waitMs` for something to come.
  void service(uint32_t waitMs = 0);

  void send(int peer, std::span<const uint8_t> bytes) override;
  bool receive(Datagram& out) override;
  // The reliable channel of the session's set-up.
  void sendSetup(int peer, std::span<const uint8_t> bytes);
  bool receiveSetup(Datagram& out);

  bool connected(int peer) const;
  int peerCount() const;
  // The round trip to the peer as ENet measures it (ms), 0 when not connected.
  int roundTripMs(int peer) const;
  // Peers that left or went silent since the last call.
  std::vector<int> takeLost();
  // Strangers turned away and datagrams dropped because too many waited.
  int refused() const { return refused_; }
  long long bytesSent() const { return bytesSent_; }
  // Everything that left in UDP datagrams: ENet's own headers, acknowledgements
  // and pings with the packets.
  long long wireBytesSent() const;
  // Milliseconds since the transport was made (for --stats: a headless game
  // runs faster than the clock).
  uint32_t elapsedMs() const;

 private:
  struct Pending {
    uint32_t due = 0;
    int peer = 0;
    int channel = 0;
    std::vector<uint8_t> bytes;
  };
  EnetTransport() = default;
  void post(int peer, int channel, std::span<const uint8_t> bytes);
  void hold(Pending p);  // --net-sim: sent when due
  void transmit(const Pending& p);
  void sendDue();
  void handleEvents(uint32_t waitMs);
  int numberOf(const void* enetPeer) const;

  struct Host;  // ENet's host, closed with the transport
  std::unique_ptr<Host> host_;
  std::array<void*, 4> peers_{};  // ENetPeer of peers 1-3
  bool accepting_ = true;
  int joiners_ = 0;
  NetSim sim_;
  std::mt19937 chance_{1};
  std::deque<Pending> outgoing_;
  std::deque<Datagram> keys_, setup_;
  std::vector<int> lost_;
  int refused_ = 0;
  long long bytesSent_ = 0;
  uint32_t started_ = 0;
};
