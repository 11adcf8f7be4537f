// The network in a browser: a page can send no UDP, so hosting and joining a
// game say so and no transport is ever made. The members past listen() and
// connect() keep the class whole for the linker; with no object they never run.
#include <utility>

#include "engine/EnetTransport.h"

namespace {
const char* const kNoUdp = "playing over the network needs the desktop game: a web page cannot send UDP";
}

struct EnetTransport::Host {};

std::unique_ptr<EnetTransport> EnetTransport::listen(uint16_t, int, std::string& error) {
  error = kNoUdp;
  return nullptr;
}

std::unique_ptr<EnetTransport> EnetTransport::connect(const std::string&, uint16_t, uint32_t, std::string& error) {
  error = kNoUdp;
  return nullptr;
}

EnetTransport::~EnetTransport() = default;
void EnetTransport::setSim(const NetSim& sim, uint32_t seed) {
  sim_ = sim;
  chance_.seed(seed);
}
bool EnetTransport::connected(int) const { return false; }
int EnetTransport::peerCount() const { return 0; }
int EnetTransport::roundTripMs(int) const { return 0; }
uint32_t EnetTransport::elapsedMs() const { return 0; }
long long EnetTransport::wireBytesSent() const { return 0; }
std::vector<int> EnetTransport::takeLost() { return std::exchange(lost_, {}); }
void EnetTransport::send(int, std::span<const uint8_t>) {}
void EnetTransport::sendSetup(int, std::span<const uint8_t>) {}
void EnetTransport::service(uint32_t) {}
bool EnetTransport::receive(Datagram&) { return false; }
bool EnetTransport::receiveSetup(Datagram&) { return false; }
