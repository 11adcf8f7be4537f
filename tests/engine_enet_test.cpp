// The network transport on 127.0.0.1: keys and set-up arrive from the peer;
// a stranger knocking on a full game is turned away; a packet over the size
// bound never arrives.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "engine/EnetTransport.h"

namespace {

// Listening on the first of a few ports that is free.
std::unique_ptr<EnetTransport> listenOnAFreePort(uint16_t& port, std::string& error) {
  for (port = 47931; port < 47951; ++port)
    if (auto host = EnetTransport::listen(port, 1, error)) return host;
  return nullptr;
}

// The host answers while `client` connects (the handshake needs both).
std::unique_ptr<EnetTransport> connectWhileServing(EnetTransport& host, uint16_t port, std::string& error) {
  std::atomic<bool> done{false};
  std::thread serve([&] {
    for (int i = 0; i < 300 && !done; ++i) host.service(10);
  });
  auto client = EnetTransport::connect("127.0.0.1", port, 2000, error);
  done = true;
  serve.join();
  return client;
}

// Services both until `host` has a keys' datagram or about a second passed.
bool exchange(EnetTransport& host, EnetTransport& client, Datagram& got) {
  for (int i = 0; i < 100; ++i) {
    client.service(0);
    host.service(10);
    if (host.receive(got)) return true;
  }
  return false;
}

TEST(EnetTransport, CarriesKeysFromThePeerAndTurnsAwayStrangersAndGiantPackets) {
  std::string error;
  uint16_t port = 0;
  auto host = listenOnAFreePort(port, error);
  ASSERT_TRUE(host) << error;
  auto peer = connectWhileServing(*host, port, error);
  ASSERT_TRUE(peer) << error;
  for (int i = 0; i < 50 && !host->connected(1); ++i) {
    peer->service(0);
    host->service(10);
  }
  ASSERT_TRUE(host->connected(1)) << "refused " << host->refused() << ", lost " << host->takeLost().size();

  const std::vector<uint8_t> keys{'T', 'V', 1, 2, 3};
  peer->send(1, keys);
  Datagram got;
  ASSERT_TRUE(exchange(*host, *peer, got));
  EXPECT_EQ(got.peer, 1);
  EXPECT_EQ(got.bytes, keys);

  peer->sendSetup(1, std::vector<uint8_t>{'T', 'R'});
  bool setup = false;
  for (int i = 0; i < 100 && !setup; ++i) {
    peer->service(0);
    host->service(10);
    setup = host->receiveSetup(got);
  }
  ASSERT_TRUE(setup);
  EXPECT_EQ(got.bytes, (std::vector<uint8_t>{'T', 'R'}));

  // The game is full: a second machine is turned away and never becomes a peer.
  host->setAccepting(false);
  auto stranger = connectWhileServing(*host, port, error);
  for (int i = 0; i < 20; ++i) host->service(10);
  EXPECT_GE(host->refused(), 1);
  EXPECT_FALSE(host->connected(2));
  if (stranger) {
    stranger->send(1, keys);
    for (int i = 0; i < 20; ++i) {
      stranger->service(0);
      host->service(10);
    }
    EXPECT_FALSE(host->receive(got)) << "a datagram from a stranger";
  }

  // Over the bound: the sender does not send it, and the host would not take it.
  peer->send(1, std::vector<uint8_t>(EnetTransport::kMaxPacket + 1, 7));
  peer->send(1, keys);
  ASSERT_TRUE(exchange(*host, *peer, got));
  EXPECT_EQ(got.bytes, keys);
  EXPECT_FALSE(host->receive(got));
}

}  // namespace
