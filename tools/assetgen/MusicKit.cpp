#include "MusicKit.h"

namespace assetgen::music {

void kick(Mix& mix, double t, float gain) {
  mix.add(t, 0.45, 0, [gain, ph = 0.0f](float s) mutable {
    ph += (50 + 110 * std::exp(-s * 30)) / kSampleRate;
    return gain * std::sin(kTwoPi * ph) * std::exp(-s * 9);
  });
}

void snare(Mix& mix, double t, float gain, uint32_t seed, float decay, float pan) {
  // Long enough for the slow decay of the dark section to fade out fully.
  float seconds = std::min(0.7f, 5.0f / decay);
  mix.add(t, seconds, pan, [gain, decay, n = Noise{seed}, lp = LowPass{}](float s) mutable {
    float noise = lp.step(n.next(), 5000);
    return gain * (0.5f * noise + 0.3f * std::sin(kTwoPi * 190 * s)) * std::exp(-s * decay);
  });
}

void hat(Mix& mix, double t, float gain, bool open, uint32_t seed) {
  mix.add(t, open ? 0.12 : 0.06, 0.3f, [gain, open, n = Noise{seed}, lp = LowPass{}](float s) mutable {
    float x = n.next();
    float hi = x - lp.step(x, 6000);
    return gain * hi * std::exp(-s * (open ? 40.0f : 80.0f));
  });
}

void crash(Mix& mix, double t, float gain, uint32_t seed) {
  mix.add(t, 1.6, -0.25f, [gain, n = Noise{seed}, lp = LowPass{}](float s) mutable {
    float x = n.next();
    float hi = x - lp.step(x, 3500);
    return gain * hi * std::min(1.0f, s * 400) * std::exp(-s * 2.8f);
  });
}

void fill(Mix& mix, double t, int hits, double spacing, float gain, float endGain, uint32_t seed) {
  for (int k = 0; k < hits; ++k) {
    float g = hits > 1 ? gain + (endGain - gain) * k / (hits - 1) : gain;
    mix.add(t + k * spacing, 0.12, -0.1f, [g, n = Noise{seed + 7u * k}, lp = LowPass{}](float s) mutable {
      return g * lp.step(n.next(), 3000) * std::exp(-s * 20);
    });
  }
}

void pad(Mix& mix, double t, double seconds, const int* notes, int count, float cutoff, float gain, float attack) {
  for (int k = 0; k < count; ++k) {
    float f = hz(notes[k]);
    float pan = count > 1 ? -0.4f + 0.8f * k / (count - 1) : 0;
    float len = static_cast<float>(seconds);
    mix.add(t, seconds + 0.4, pan, [f, len, cutoff, gain, attack, lp = LowPass{}](float s) mutable {
      float v = saw(f * s) + saw(f * 1.006f * s);
      return gain * lp.step(v, cutoff) * adsr(s, len, attack, 0.5f, 0.8f, 0.4f);
    });
  }
}

}  // namespace assetgen::music
