#include "engine/EnetTransport.h"

#include <enet/enet.h>

#include <algorithm>

namespace {

constexpr int kChannels = 2;
constexpr size_t kMaxOutgoing = 4096;  // packets held back by --net-sim

ENetPeer* asPeer(void* p) { return static_cast<ENetPeer*>(p); }

}  // namespace

struct EnetTransport::Host {
  ENetHost* host = nullptr;
  bool initialised = false;
  ~Host() {
    if (host) enet_host_destroy(host);
    if (initialised) enet_deinitialize();
  }
};


std::unique_ptr<EnetTransport> EnetTransport::listen(uint16_t port, int joiners, std::string& error) {
  std::unique_ptr<EnetTransport> t(new EnetTransport());
  t->host_ = std::make_unique<Host>();
  if (enet_initialize() != 0) {
    error = "cannot start the network";
    return nullptr;
  }
  t->host_->initialised = true;
  ENetAddress address{};
  address.host = ENET_HOST_ANY;
  address.port = port;
  // Room for one more than the joiners, so a stranger knocking on a full
  // game is turned away by us rather than left waiting.
  t->host_->host = enet_host_create(&address, static_cast<size_t>(std::clamp(joiners, 1, 3)) + 1, kChannels, 0, 0);
  if (!t->host_->host) {
    error = "cannot listen on UDP port " + std::to_string(port) + " (is another game hosting there?)";
    return nullptr;
  }
  t->host_->host->maximumPacketSize = kMaxPacket;
  t->host_->host->maximumWaitingData = kMaxPacket * kMaxQueued;
  t->joiners_ = std::clamp(joiners, 1, 3);
  t->started_ = enet_time_get();
  return t;
}

std::unique_ptr<EnetTransport> EnetTransport::connect(const std::string& name, uint16_t port, uint32_t waitMs,
                                                      std::string& error) {
  std::unique_ptr<EnetTransport> t(new EnetTransport());
  t->host_ = std::make_unique<Host>();
  if (enet_initialize() != 0) {
    error = "cannot start the network";
    return nullptr;
  }
  t->host_->initialised = true;
  const std::string where = name.substr(0, 100) + ":" + std::to_string(port);
  ENetAddress address{};
  address.port = port;
  if (enet_address_set_host(&address, name.c_str()) != 0) {
    error = "the host name \"" + name.substr(0, 100) + "\" does not resolve";
    return nullptr;
  }
  t->host_->host = enet_host_create(nullptr, 1, kChannels, 0, 0);
  if (!t->host_->host) {
    error = "cannot open a UDP socket";
    return nullptr;
  }
  t->host_->host->maximumPacketSize = kMaxPacket;
  t->host_->host->maximumWaitingData = kMaxPacket * kMaxQueued;
  t->joiners_ = 1;
  t->accepting_ = false;
  ENetPeer* peer = enet_host_connect(t->host_->host, &address, kChannels, 0);
  if (!peer) {
    error = "cannot connect to " + where;
    return nullptr;
  }
  t->peers_[1] = peer;
  const uint32_t start = enet_time_get();
  ENetEvent event;
  while (enet_time_get() - start < waitMs) {
    const int got = enet_host_service(t->host_->host, &event, 50);
    if (got < 0) break;
    if (got == 0) continue;
    if (event.type == ENET_EVENT_TYPE_CONNECT && event.peer == peer) {
      enet_peer_timeout(peer, 0, kSilentMs, kSilentMs);
      enet_host_flush(t->host_->host);  // the acknowledgement that completes the handshake
      t->started_ = enet_time_get();
      return t;
    }
    if (event.type == ENET_EVENT_TYPE_RECEIVE) enet_packet_destroy(event.packet);
    if (event.type == ENET_EVENT_TYPE_DISCONNECT) break;
  }
  enet_peer_reset(peer);
  t->peers_[1] = nullptr;
  error = "no game answered at " + where + " within " + std::to_string(waitMs / 1000) +
          " s (is a game hosting there, and its UDP port open?)";
  return nullptr;
}

EnetTransport::~EnetTransport() {
  if (!host_ || !host_->host) return;
  // Say goodbye, so the others drop this machine at once rather than after
  // its silence.
  for (void* p : peers_)
    if (p) enet_peer_disconnect_now(asPeer(p), 0);
  enet_host_flush(host_->host);
}

void EnetTransport::setSim(const NetSim& sim, uint32_t seed) {
  sim_ = sim;
  chance_.seed(seed);
}

int EnetTransport::numberOf(const void* enetPeer) const {
  for (int n = 1; n <= 3; ++n)
    if (peers_[static_cast<size_t>(n)] == enetPeer) return n;
  return 0;
}

bool EnetTransport::connected(int peer) const {
  if (peer < 1 || peer > 3 || !peers_[static_cast<size_t>(peer)]) return false;
  return asPeer(peers_[static_cast<size_t>(peer)])->state == ENET_PEER_STATE_CONNECTED;
}

int EnetTransport::peerCount() const {
  int n = 0;
  for (int p = 1; p <= 3; ++p) n += connected(p) ? 1 : 0;
  return n;
}

int EnetTransport::roundTripMs(int peer) const {
  return connected(peer) ? static_cast<int>(asPeer(peers_[static_cast<size_t>(peer)])->roundTripTime) : 0;
}

long long EnetTransport::wireBytesSent() const {
  return host_ && host_->host ? static_cast<long long>(host_->host->totalSentData) : 0;
}

uint32_t EnetTransport::elapsedMs() const { return enet_time_get() - started_; }

std::vector<int> EnetTransport::takeLost() {
  std::vector<int> out;
  out.swap(lost_);
  return out;
}

void EnetTransport::send(int peer, std::span<const uint8_t> bytes) { post(peer, 0, bytes); }

void EnetTransport::sendSetup(int peer, std::span<const uint8_t> bytes) { post(peer, 1, bytes); }

void EnetTransport::post(int peer, int channel, std::span<const uint8_t> bytes) {
  if (!connected(peer) || bytes.size() > kMaxPacket) return;
  Pending p{enet_time_get(), peer, channel, std::vector<uint8_t>(bytes.begin(), bytes.end())};
  const bool simulated = sim_.latencyMs > 0 || sim_.jitterMs > 0 || sim_.lossPercent > 0;
  if (!simulated) {
    transmit(p);
    return;
  }
  // Only the keys' packets are lost: the set-up's would be sent again anyway.
  if (channel == 0 && std::uniform_int_distribution<int>(0, 99)(chance_) < sim_.lossPercent) return;
  // As many of them come twice as are lost (a route that repeats itself),
  // each copy on its own delay.
  const bool twice = channel == 0 && std::uniform_int_distribution<int>(0, 99)(chance_) < sim_.lossPercent;
  if (twice) hold(p);
  hold(std::move(p));
}

void EnetTransport::hold(Pending p) {
  int delay = sim_.latencyMs;
  if (sim_.jitterMs > 0) delay += std::uniform_int_distribution<int>(-sim_.jitterMs, sim_.jitterMs)(chance_);
  p.due += static_cast<uint32_t>(std::max(delay, 0));
  if (outgoing_.size() >= kMaxOutgoing) return;
  // Kept in order of when they are due, so a jittered packet can overtake.
  auto at = std::upper_bound(outgoing_.begin(), outgoing_.end(), p.due,
                             [](uint32_t due, const Pending& q) { return static_cast<int32_t>(due - q.due) < 0; });
  outgoing_.insert(at, std::move(p));
}

void EnetTransport::transmit(const Pending& p) {
  if (!connected(p.peer)) return;
  const uint32_t flags = p.channel == 0 ? 0 : ENET_PACKET_FLAG_RELIABLE;
  ENetPacket* packet = enet_packet_create(p.bytes.data(), p.bytes.size(), flags);
  if (!packet) return;
  if (enet_peer_send(asPeer(peers_[static_cast<size_t>(p.peer)]), static_cast<uint8_t>(p.channel), packet) != 0) {
    enet_packet_destroy(packet);
    return;
  }
  bytesSent_ += static_cast<long long>(p.bytes.size());
}

void EnetTransport::sendDue() {
  const uint32_t now = enet_time_get();
  while (!outgoing_.empty() && static_cast<int32_t>(now - outgoing_.front().due) >= 0) {
    transmit(outgoing_.front());
    outgoing_.pop_front();
  }
}

void EnetTransport::service(uint32_t waitMs) {
  sendDue();
  handleEvents(waitMs);
  sendDue();
  enet_host_flush(host_->host);
}

void EnetTransport::handleEvents(uint32_t waitMs) {
  ENetEvent event;
  // A bounded number of events a call: a flood waits its turn.
  for (int n = 0; n < 4096; ++n) {
    const int got = n == 0 ? enet_host_service(host_->host, &event, waitMs) : enet_host_check_events(host_->host, &event);
    if (got <= 0) return;
    switch (event.type) {
      case ENET_EVENT_TYPE_CONNECT: {
        int free = 0;
        for (int p = 1; p <= joiners_ && !free; ++p)
          if (!peers_[static_cast<size_t>(p)]) free = p;
        if (!accepting_ || !free) {
          ++refused_;
          enet_peer_disconnect_now(event.peer, 0);
          break;
        }
        peers_[static_cast<size_t>(free)] = event.peer;
        enet_peer_timeout(event.peer, 0, kSilentMs, kSilentMs);
        break;
      }
      case ENET_EVENT_TYPE_DISCONNECT: {
        const int p = numberOf(event.peer);
        if (p) {
          peers_[static_cast<size_t>(p)] = nullptr;
          lost_.push_back(p);
        }
        break;
      }
      case ENET_EVENT_TYPE_RECEIVE: {
        const int p = numberOf(event.peer);
        std::deque<Datagram>& queue = event.channelID == 0 ? keys_ : setup_;
        if (!p || event.channelID > 1 || queue.size() >= kMaxQueued || event.packet->dataLength > kMaxPacket) {
          ++refused_;
        } else {
          const uint8_t* data = event.packet->data;
          queue.push_back(Datagram{p, std::vector<uint8_t>(data, data + event.packet->dataLength)});
        }
        enet_packet_destroy(event.packet);
        break;
      }
      case ENET_EVENT_TYPE_NONE:
        break;
    }
  }
}

bool EnetTransport::receive(Datagram& out) {
  if (keys_.empty()) return false;
  out = std::move(keys_.front());
  keys_.pop_front();
  return true;
}

bool EnetTransport::receiveSetup(Datagram& out) {
  if (setup_.empty()) return false;
  out = std::move(setup_.front());
  setup_.pop_front();
  return true;
}
