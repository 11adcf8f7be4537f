#include "engine/InputLayers.h"

#include <algorithm>

InputLayers::InputLayers() {
  for (int key = 1; key < HGEK_COUNT; ++key) {
    gameKeysOf_[static_cast<size_t>(key)] = {key};
    rawKeysOf_[static_cast<size_t>(key)] = {key};
  }
  raw_.setListener([this](int key, bool down, bool hold) { rawChanged(key, down, hold); });
}

const std::vector<int>& InputLayers::gameKeysOf(int rawKey) const {
  static const std::vector<int> none;
  return valid(rawKey) ? gameKeysOf_[static_cast<size_t>(rawKey)] : none;
}

bool InputLayers::anyRawHeld(int gameKey) const {
  const std::vector<int>& keys = rawKeysOf_[static_cast<size_t>(gameKey)];
  return std::any_of(keys.begin(), keys.end(), [this](int k) { return raw_.held(k); });
}

void InputLayers::rawChanged(int key, bool down, bool hold) {
  for (int gameKey : gameKeysOf(key)) {
    if (down && hold)
      game_.hold(gameKey);
    else if (down)
      game_.press(gameKey);  // nothing when another of its keys holds it already
    else if (!anyRawHeld(gameKey))
      game_.release(gameKey);
  }
}

void InputLayers::setBindings(const std::vector<hgeBinding>& bindings) {
  // Let go of what the old bindings hold...
  for (int gameKey = 1; gameKey < HGEK_KEYSPACE; ++gameKey)
    if (game_.held(gameKey) && anyRawHeld(gameKey)) game_.release(gameKey);
  for (auto& keys : gameKeysOf_) keys.clear();
  for (auto& keys : rawKeysOf_) keys.clear();
  for (const hgeBinding& b : bindings) {
    if (!valid(b.key) || !valid(b.gameKey)) continue;
    std::vector<int>& games = gameKeysOf_[static_cast<size_t>(b.key)];
    if (std::find(games.begin(), games.end(), b.gameKey) != games.end()) continue;
    games.push_back(b.gameKey);
    rawKeysOf_[static_cast<size_t>(b.gameKey)].push_back(b.key);
  }
  // ...and hold what the new ones say for the keys held now, without a press.
  for (int key = 1; key < HGEK_KEYSPACE; ++key)
    if (raw_.held(key))
      for (int gameKey : gameKeysOf_[static_cast<size_t>(key)]) game_.hold(gameKey);
}
