#include "MusicSections.h"

namespace assetgen::music {

namespace {

// Chords per bar (A minor: i, VI, III, VII), as MIDI roots and chord tones.
const int kRoots[4] = {45, 41, 48, 43};  // A2, F2, C3, G2
const int kChords[4][3] = {{57, 60, 64}, {53, 57, 60}, {55, 60, 64}, {55, 59, 62}};

// The lead, eight eighths per bar; 0 holds the previous note, -1 rests.
const int kMelody[8][8] = {
    {76, 0, 74, 72, 0, 71, 72, 0}, {69, 0, 0, 72, 0, 77, 0, 76}, {76, 0, 74, 72, 0, 79, 0, 76},
    {74, 0, 0, 0, 71, 0, 74, 0},   {76, 0, 74, 72, 0, 71, 72, 0}, {69, 0, 72, 0, 77, 0, 81, 0},
    {79, 0, 77, 76, 0, 74, 72, 0}, {71, 0, 74, 0, 79, 0, 83, -1}};

// The square-and-saw lead with a vibrato that grows in.
void lead(Mix& mix, double t, float dur, int note) {
  float f = hz(note);
  mix.add(t, dur + 0.15f, 0.1f, [f, dur, lp = LowPass{}](float s) mutable {
    float vib = 1 + 0.006f * std::sin(kTwoPi * 5.5f * s) * std::min(1.0f, s * 4);
    float v = 0.6f * pulse(f * vib * s, 0.5f) + 0.4f * saw(f * vib * s);
    return 0.16f * lp.step(v, 3200) * adsr(s, dur * 0.9f, 0.01f, 0.1f, 0.75f, 0.08f);
  });
}

// Driving eighths on the root and its octave.
void bassEighths(Mix& mix, double t0, int root) {
  for (int e = 0; e < 8; ++e) {
    float f = hz(root + (e % 4 == 3 ? 12 : 0));
    mix.add(t0 + e * kEighth, kEighth * 1.2f, 0, [f, lp = LowPass{}](float s) mutable {
      float v = lp.step(saw(f * s) + 0.5f * pulse(f * 0.5f * s, 0.5f), 900 * std::exp(-s * 6) + 200);
      return 0.45f * v * adsr(s, kEighth * 0.85f, 0.004f, 0.05f, 0.7f, 0.03f);
    });
  }
}

void drums(Mix& mix, double t0, int bar, uint32_t seed) {
  for (int beat = 0; beat < 4; ++beat) {
    double t = t0 + beat * kBeat;
    if (beat == 0 || beat == 2 || (bar % 4 == 3 && beat == 3)) kick(mix, t, 0.9f);
    if (beat == 1 || beat == 3) snare(mix, t, 1, seed);
    for (int h = 0; h < 2; ++h) hat(mix, t + h * kEighth, 0.22f, h == 1, seed + 1);
  }
  if (bar % 8 == 7) fill(mix, t0 + 3 * kBeat, 4, kBeat / 4, 0.35f, 0.35f, seed + 2);  // into the next phrase
}

}  // namespace

void opening(Mix& mix, int at, int leadFrom) {
  for (int bar = 0; bar < kOpeningBars; ++bar) {
    int c = bar % 4;
    double t0 = (at + bar) * kBar;
    bassEighths(mix, t0, kRoots[c]);
    pad(mix, t0, 4 * kBeat, kChords[c], 3, 1400, 0.07f, 0.25f);
    // Arpeggio: sixteenths up the chord, an octave above, panned across.
    for (int k = 0; k < 16; ++k) {
      float f = hz(kChords[c][k % 3] + 12 + (k % 6 >= 3 ? 12 : 0));
      mix.add(t0 + k * kSixteenth, 0.16, (k % 2 ? 0.5f : -0.5f),
              [f](float s) { return 0.08f * pulse(f * s, 0.25f) * std::exp(-s * 22); });
    }
    int j = bar - leadFrom;
    if (j >= 0) {
      int octave = j >= 8 ? 12 : 0;
      playLine(kMelody[j % 8], 8, t0, kEighth, [&](double t, float dur, int note) { lead(mix, t, dur, note + octave); });
    }
    drums(mix, t0, bar, static_cast<uint32_t>(1000 + at + bar));
  }
}

void turnaround(Mix& mix, int at) {
  const int roots[kTurnaroundBars] = {41, 41, 40, 40};  // F2, F2, E2, E2
  const int chords[kTurnaroundBars][3] = {{57, 60, 65}, {57, 60, 65}, {56, 59, 64}, {56, 59, 64}};
  const int line[kTurnaroundBars][8] = {
      {77, 0, 0, 0, 0, 0, 76, 74}, {72, 0, 0, 0, 74, 0, 72, 71}, {76, 0, 0, 0, 0, 0, 80, 0}, {83, 0, 0, 0, 81, 0, 80, 0}};
  for (int bar = 0; bar < kTurnaroundBars; ++bar) {
    double t0 = (at + bar) * kBar;
    uint32_t seed = static_cast<uint32_t>(1000 + at + bar);
    bassEighths(mix, t0, roots[bar]);
    pad(mix, t0, 4 * kBeat, chords[bar], 3, 1200 + 400.0f * bar, 0.08f, 0.25f);
    playLine(line[bar], 8, t0, kEighth, [&](double t, float dur, int note) { lead(mix, t, dur, note); });
    for (int beat = 0; beat < 4; ++beat) {
      kick(mix, t0 + beat * kBeat, 0.85f);
      hat(mix, t0 + beat * kBeat + kEighth, 0.2f, true, seed + beat);
    }
    if (bar < 2) {
      snare(mix, t0 + kBeat, 1, seed);
      snare(mix, t0 + 3 * kBeat, 1, seed + 5);
    } else if (bar == 2) {
      fill(mix, t0, 8, kEighth, 0.25f, 0.4f, seed);
    } else {
      fill(mix, t0, 16, kSixteenth, 0.3f, 0.55f, seed);
    }
  }
  // The riser: noise through a band that climbs over the last two bars and
  // swells into the loop's first beat.
  float len = static_cast<float>(2 * kBar);
  mix.add((at + 2) * kBar, 2 * kBar, -0.2f, [len, n = Noise{77}, a = LowPass{}, b = LowPass{}](float s) mutable {
    float x = n.next();
    float cutoff = 500 + 7000 * (s / len) * (s / len);
    float band = a.step(x, cutoff) - b.step(x, cutoff * 0.4f);
    return 0.5f * band * (s / len) * (s / len);
  });
}

}  // namespace assetgen::music
