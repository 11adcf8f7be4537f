#include "MusicSections.h"

namespace assetgen::music {

namespace {

// One chord per bar: Cm Ab Bb G.
const int kRoots[4] = {36, 32, 34, 31};
const int kChords[4][3] = {{60, 63, 67}, {60, 63, 68}, {62, 65, 70}, {59, 62, 67}};
// The lead, eight eighths per bar (0 holds, -1 rests).
const int kMelody[8][8] = {
    {72, 0, 75, 79, 0, 77, 75, 0}, {72, 0, 0, 75, 0, 72, 68, 0}, {70, 0, 74, 77, 0, 74, 77, 82},
    {79, 0, 0, 0, 74, 0, 71, 0},   {84, 0, 82, 79, 0, 75, 79, 0}, {80, 0, 79, 75, 0, 72, 75, 0},
    {77, 0, 79, 0, 82, 0, 86, 0},  {83, 0, 0, 0, 79, 0, 74, -1}};

// Two detuned saws and a sine below them, bright and quick.
void lead(Mix& mix, double t, float dur, int note, float gain, float pan) {
  float f = hz(note);
  mix.add(t, dur + 0.12f, pan, [f, dur, gain, lp = LowPass{}](float s) mutable {
    float v = saw(f * s) + saw(f * 1.008f * s) + 0.6f * std::sin(kTwoPi * 0.5f * f * s);
    return gain * lp.step(v, 2600 + 2400 * std::exp(-s * 8)) * adsr(s, dur * 0.85f, 0.005f, 0.08f, 0.65f, 0.06f);
  });
}

// Galloping sixteenths: root, root, octave, root on every beat.
void bass(Mix& mix, double t0, int root) {
  for (int k = 0; k < 16; ++k) {
    float f = hz(root + (k % 4 == 2 ? 12 : 0));
    mix.add(t0 + k * kSixteenth, kSixteenth * 1.1f, 0, [f, lp = LowPass{}](float s) mutable {
      float v = lp.step(saw(f * s) + 0.4f * pulse(f * s, 0.3f), 1800 * std::exp(-s * 20) + 400);
      return 0.6f * v * adsr(s, kSixteenth * 0.85f, 0.003f, 0.04f, 0.8f, 0.02f);
    });
  }
}

// A short plucked chord on the off-beat eighth.
void stab(Mix& mix, double t, const int* chord) {
  for (int k = 0; k < 3; ++k) {
    float f = hz(chord[k] + 12);
    mix.add(t, 0.2, k == 1 ? 0 : (k == 0 ? -0.6f : 0.6f), [f, lp = LowPass{}](float s) mutable {
      return 0.1f * lp.step(pulse(f * s, 0.5f), 2500 * std::exp(-s * 12) + 400) * std::exp(-s * 14);
    });
  }
}

}  // namespace

void drive(Mix& mix, int at) {
  for (int bar = 0; bar < kDriveBars; ++bar) {
    int c = bar % 4;
    double t0 = (at + bar) * kBar;
    uint32_t seed = static_cast<uint32_t>(3000 + at + bar);
    bass(mix, t0, kRoots[c]);
    pad(mix, t0, 4 * kBeat, kChords[c], 3, 2000, 0.045f, 0.05f);
    for (int beat = 0; beat < 4; ++beat) stab(mix, t0 + beat * kBeat + kEighth, kChords[c]);
    // The lead twice; the second time doubled an octave below and spread.
    playLine(kMelody[bar % 8], 8, t0, kEighth, [&](double t, float dur, int note) {
      if (bar < 8) {
        lead(mix, t, dur, note, 0.13f, 0.1f);
      } else {
        lead(mix, t, dur, note, 0.09f, 0.3f);
        lead(mix, t, dur, note - 12, 0.07f, -0.3f);
      }
    });
    // Four on the floor, snare on two and four, sixteenth hats opening on
    // the off-beats, a crash at each eight-bar phrase.
    for (int beat = 0; beat < 4; ++beat) {
      double t = t0 + beat * kBeat;
      kick(mix, t, 0.85f);
      if (beat % 2 == 1) snare(mix, t, 0.8f, seed + beat, 18);
      for (int h = 0; h < 4; ++h) hat(mix, t + h * kSixteenth, h == 2 ? 0.26f : 0.15f, h == 2, seed + 10 * beat + h);
    }
    if (bar % 8 == 0) crash(mix, t0, 0.2f, seed);
    if (bar % 8 == 7) fill(mix, t0 + 3 * kBeat, 4, kSixteenth, 0.3f, 0.45f, seed + 50);
  }
}

}  // namespace assetgen::music
