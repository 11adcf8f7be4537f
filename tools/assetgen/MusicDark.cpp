#include "MusicSections.h"

namespace assetgen::music {

namespace {

// One chord per bar over eight bars: Dm Dm Bb Bb Gm Gm Eb A.
const int kRoots[8] = {38, 38, 34, 34, 31, 31, 39, 33};
const int kChords[8][3] = {{57, 62, 65}, {57, 62, 65}, {58, 62, 65}, {58, 62, 65},
                           {58, 62, 67}, {58, 62, 67}, {58, 63, 67}, {57, 61, 64}};
// The lead in quarter notes (0 holds, -1 rests).
const int kMelody[8][4] = {{69, 0, 0, 65}, {67, 69, 0, -1}, {70, 0, 69, 67}, {65, 0, 0, -1},
                           {67, 0, 70, 0}, {74, 0, 72, 70}, {70, 0, 67, 0},  {64, 0, 61, 0}};

// A held low note, a sine with a little filtered saw on top.
void bass(Mix& mix, double t, float dur, int note) {
  float f = hz(note);
  mix.add(t, dur + 0.2f, 0, [f, dur, ph = 0.0f, lp = LowPass{}](float s) mutable {
    ph += f / kSampleRate;
    float v = std::sin(kTwoPi * ph) + 0.35f * lp.step(saw(ph), 500);
    return 0.36f * v * adsr(s, dur, 0.02f, 0.3f, 0.7f, 0.15f);
  });
}

// A soft triangle with its octave below, slow to speak, vibrato coming late.
void lead(Mix& mix, double t, float dur, int note) {
  float f = hz(note);
  mix.add(t, dur + 0.3f, -0.1f, [f, dur, lp = LowPass{}](float s) mutable {
    float vib = 1 + 0.008f * std::sin(kTwoPi * 4.5f * s) * std::clamp(s * 2 - 0.3f, 0.0f, 1.0f);
    float v = tri(f * vib * s) + 0.3f * std::sin(kTwoPi * 0.5f * f * s);
    return 0.26f * lp.step(v, 1800) * adsr(s, dur * 0.95f, 0.06f, 0.2f, 0.8f, 0.25f);
  });
}

// A bell: a sine and a touch of its third harmonic, ringing out.
void bell(Mix& mix, double t, int note, float pan) {
  float f = hz(note);
  mix.add(t, 0.9, pan, [f](float s) {
    float v = std::sin(kTwoPi * f * s) + 0.12f * std::sin(kTwoPi * 3.01f * f * s) * std::exp(-s * 8);
    return 0.06f * v * std::min(1.0f, s * 500) * std::exp(-s * 4.5f);
  });
}

}  // namespace

void dark(Mix& mix, int at) {
  for (int bar = 0; bar < kDarkBars; ++bar) {
    int c = bar % 8;
    double t0 = (at + bar) * kBar;
    uint32_t seed = static_cast<uint32_t>(2000 + at + bar);
    // Bass: the root for three beats, its fifth on the fourth.
    bass(mix, t0, static_cast<float>(3 * kBeat) * 0.95f, kRoots[c]);
    bass(mix, t0 + 3 * kBeat, static_cast<float>(kBeat) * 0.9f, kRoots[c] + 7);
    // The pad breathes: slow attack, a darker filter than the opening's.
    pad(mix, t0, 4 * kBeat, kChords[c], 3, 700 + 300.0f * (bar % 2), 0.08f, 0.6f);
    // Bells in eighths across the chord, an octave up, falling back.
    const int order[8] = {0, 1, 2, 1, 0, 2, 1, 2};
    for (int e = 0; e < 8; ++e) bell(mix, t0 + e * kEighth, kChords[c][order[e]] + 12, e % 2 ? 0.45f : -0.45f);
    if (bar >= 4)
      playLine(kMelody[c], 4, t0, kBeat, [&](double t, float dur, int note) { lead(mix, t, dur, note); });
    // Half time: a heartbeat kick alone for four bars, then kick and a long
    // snare on the third beat, quarter hats.
    kick(mix, t0, 0.8f);
    if (bar >= 4) {
      if (bar % 2 == 1) kick(mix, t0 + 2.5 * kBeat, 0.6f);
      snare(mix, t0 + 2 * kBeat, 0.55f, seed, 7);
      for (int beat = 0; beat < 4; ++beat) hat(mix, t0 + beat * kBeat, 0.07f, false, seed + beat);
    }
    if (bar == kDarkBars - 1) fill(mix, t0 + 2 * kBeat, 8, kSixteenth, 0.2f, 0.45f, seed);  // back into the opening
  }
}

}  // namespace assetgen::music
