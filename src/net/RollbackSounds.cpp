#include "net/RollbackSounds.h"

#include <algorithm>

namespace {

bool sameSound(const SoundRequest &a, const SoundRequest &b) {
  return a.pictureSet == b.pictureSet && a.index == b.index;
}

}  // namespace

std::vector<SoundRequest> RollbackSounds::stepped(int frame, const std::vector<SoundRequest> &asked,
                                                  std::vector<uint32_t> &stop) {
  Frame &f = slot(std::max(frame, 0));
  if (f.frame != frame) {
    f.frame = frame;
    f.playing.clear();
  }
  // What this frame no longer asks for stops.
  std::vector<Playing> kept;
  for (const Playing &p : f.playing) {
    const bool stillAsked =
        std::any_of(asked.begin(), asked.end(), [&](const SoundRequest &s) { return sameSound(s, p.sound); });
    if (stillAsked)
      kept.push_back(p);
    else if (p.channel != 0)
      stop.push_back(p.channel);
  }
  f.playing = std::move(kept);
  // What it asks for that has not started yet starts (once).
  std::vector<SoundRequest> start;
  for (const SoundRequest &s : asked) {
    const auto same = [&](const SoundRequest &o) { return sameSound(o, s); };
    const bool playing =
        std::any_of(f.playing.begin(), f.playing.end(), [&](const Playing &p) { return same(p.sound); });
    if (!playing && std::none_of(start.begin(), start.end(), same)) start.push_back(s);
  }
  return start;
}

void RollbackSounds::started(int frame, const SoundRequest &sound, uint32_t channel) {
  Frame &f = slot(std::max(frame, 0));
  if (f.frame != frame) return;  // forgotten meanwhile
  f.playing.push_back(Playing{sound, channel});
}
