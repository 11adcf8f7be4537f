// The music as the player hears it, decoded the way the game decodes it: the
// loop joins without a click or a gap, and it is not one short pattern over
// and over but has sections that differ in harmony and in level.
#include <SDL_mixer.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "assetgen_support.h"

using namespace assetgen_test;

namespace {

constexpr int kRate = 44100;

struct Stereo {
  std::vector<float> l, r;
  std::string error;
  size_t frames() const { return l.size(); }
};

Stereo decodeMusic() {
  Stereo out;
  std::vector<uint8_t> mp3 = readAll(packDir() / "ui" / "hte" / "bg.mp3");
  SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    out.error = SDL_GetError();
    return out;
  }
  Mix_Init(MIX_INIT_MP3);
  if (Mix_OpenAudio(kRate, AUDIO_S16SYS, 2, 1024) == 0) {
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(mp3.data(), static_cast<int>(mp3.size())), 1);
    if (chunk) {
      const auto* s = reinterpret_cast<const int16_t*>(chunk->abuf);
      for (size_t i = 0; i + 1 < chunk->alen / 2; i += 2) {
        out.l.push_back(s[i] / 32768.0f);
        out.r.push_back(s[i + 1] / 32768.0f);
      }
      Mix_FreeChunk(chunk);
    } else {
      out.error = Mix_GetError();
    }
    // Mix_Quit is left out: it would unload the decoders for any later test in this process.
    Mix_CloseAudio();
  } else {
    out.error = Mix_GetError();
  }
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  return out;
}

double rmsDb(const std::vector<float>& x, size_t from, size_t to) {
  double e = 0;
  for (size_t i = from; i < to; ++i) e += static_cast<double>(x[i]) * x[i];
  return 10 * std::log10(e / std::max<size_t>(1, to - from) + 1e-12);
}

TEST(AssetgenMusic, TheLoopJoinsWithoutAClickOrAGap) {
  ASSETGEN_REQUIRE_OUTPUT();
  Stereo m = decodeMusic();
  ASSERT_GT(m.frames(), static_cast<size_t>(kRate) * 30) << m.error;
  const size_t n = m.frames();
  for (const std::vector<float>* ch : {&m.l, &m.r}) {
    const std::vector<float>& x = *ch;
    // A click is a jump from one sample to the next that the music itself
    // hardly ever makes: the one from the last sample into the first stays
    // within the music's own 99.9th percentile.
    std::vector<float> steps(n - 1);
    for (size_t i = 1; i < n; ++i) steps[i - 1] = std::fabs(x[i] - x[i - 1]);
    std::nth_element(steps.begin(), steps.begin() + steps.size() * 999 / 1000, steps.end());
    float usual = steps[steps.size() * 999 / 1000];
    float seam = std::fabs(x.front() - x.back());
    EXPECT_LE(seam, usual) << "the loop's seam jumps by " << seam << " where the music's steps stay under " << usual;
    // A gap is a stretch of silence or a dip in level at either end (an
    // encoder's padding that the decoder leaves in, a fade): the last and
    // first 50 ms play within 10 dB of the last two seconds. (The first beat
    // may well be louder than the last eighth: that is the music, not a seam.)
    const size_t edge = kRate / 20;
    double tail = rmsDb(x, n - edge, n), head = rmsDb(x, 0, edge);
    double around = rmsDb(x, n - 40 * edge, n);
    EXPECT_GT(tail, around - 10) << "the end of the loop fades out: " << tail << " dB after " << around << " dB";
    EXPECT_GT(head, around - 10) << "the start of the loop is near silent: " << head << " dB after " << around << " dB";
  }
}

// The share of each of the twelve pitch classes in the sound from G3 to F#6,
// over consecutive blocks (Goertzel filters at each note), as a unit vector.
std::array<double, 12> pitchClasses(const Stereo& m, size_t from, size_t to) {
  std::array<double, 12> c{};
  const size_t block = 4096;
  for (int note = 55; note < 91; ++note) {
    double f = 440 * std::pow(2.0, (note - 69) / 12.0);
    double coef = 2 * std::cos(2 * M_PI * f / kRate);
    for (size_t b = from; b + block <= to; b += block) {
      double s1 = 0, s2 = 0;
      for (size_t i = b; i < b + block; ++i) {
        double s0 = 0.5 * (m.l[i] + m.r[i]) + coef * s1 - s2;
        s2 = s1;
        s1 = s0;
      }
      c[note % 12] += s1 * s1 + s2 * s2 - coef * s1 * s2;
    }
  }
  double norm = 0;
  for (double v : c) norm += v * v;
  norm = std::sqrt(norm);
  for (double& v : c) v = norm > 0 ? v / norm : 0;
  return c;
}

double similarity(const std::array<double, 12>& a, const std::array<double, 12>& b) {
  double dot = 0;
  for (int i = 0; i < 12; ++i) dot += a[i] * b[i];
  return dot;
}

TEST(AssetgenMusic, HasSectionsThatDifferFromTheOpeningAndFromEachOther) {
  ASSETGEN_REQUIRE_OUTPUT();
  Stereo m = decodeMusic();
  ASSERT_GT(m.frames(), static_cast<size_t>(kRate) * 30) << m.error;
  // Windows of about 8 s: a few bars each, whatever the tempo.
  const size_t windows = std::max<size_t>(2, (m.frames() + 4 * kRate) / (8 * kRate));
  const size_t w = m.frames() / windows;
  std::vector<std::array<double, 12>> harmony;
  std::vector<double> level;
  for (size_t k = 0; k < windows; ++k) {
    harmony.push_back(pitchClasses(m, k * w, (k + 1) * w));
    level.push_back((rmsDb(m.l, k * w, (k + 1) * w) + rmsDb(m.r, k * w, (k + 1) * w)) / 2);
  }
  std::ostringstream table;
  for (size_t k = 0; k < windows; ++k)
    table << "\n  " << k * w / kRate << " s: " << level[k] << " dB, like the opening " << similarity(harmony[0], harmony[k]);

  // Two windows in other keys or modes than the opening's, and in different
  // ones from each other. Windows of one repeated pattern stay at least 0.97
  // alike (0.99 to 1.0 across the old 31 s loop, 0.97 to 1.0 across the
  // opening now); the dark and the driving sections come out 0.5 to 0.83
  // like the opening and 0.6 to 0.82 like each other.
  const double kDifferent = 0.9;
  bool found = false;
  for (size_t i = 1; i < windows && !found; ++i)
    for (size_t j = i + 1; j < windows && !found; ++j)
      found = similarity(harmony[0], harmony[i]) < kDifferent && similarity(harmony[0], harmony[j]) < kDifferent &&
              similarity(harmony[i], harmony[j]) < kDifferent;
  EXPECT_TRUE(found) << "no two sections in harmonies of their own:" << table.str();

  // The level moves between sections, but no section drops out under the fight.
  auto [quiet, loud] = std::minmax_element(level.begin(), level.end());
  EXPECT_GE(*loud - *quiet, 2.0) << "every section plays at one level:" << table.str();
  EXPECT_LE(*loud - *quiet, 6.0) << "a section is lost under the others:" << table.str();
}

}  // namespace
