// What the player hears at the game's volumes: the music decoded as the game
// decodes it, mixed with the loudest sound effects, stays at least 1 dB under
// full scale, so the mixer never clips.
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "assetgen_support.h"
#include "world/GameRules.h"

using namespace assetgen_test;

namespace {

// -1 dBFS.
const double kLimit = std::pow(10.0, -1.0 / 20.0);

// A sound decoded to the mixer's format (stereo, 16 bits, 44.1 kHz), as
// samples in -1..1.
struct Decoded {
  std::string name;
  std::vector<float> samples;
  double peak = 0;
  int fullScale = 0;  // samples at the 16-bit limits: clipped before they reach the mixer
};

class MixerFormat {
 public:
  MixerFormat() {
    SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return;
    Mix_Init(MIX_INIT_MP3);
    open_ = Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) == 0;
  }
  ~MixerFormat() {
    // Mix_Quit is left out: it would unload the decoders for any later test in this process.
    if (open_) Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  bool open() const { return open_; }

  Decoded decode(const std::filesystem::path& p) const {
    Decoded d;
    d.name = p.filename().string();
    std::vector<uint8_t> bytes = readAll(p);
    Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1);
    if (!chunk) return d;
    const auto* s = reinterpret_cast<const int16_t*>(chunk->abuf);
    for (size_t i = 0; i < chunk->alen / 2; ++i) {
      d.samples.push_back(s[i] / 32768.0f);
      d.peak = std::max(d.peak, std::fabs(s[i] / 32768.0));
      if (s[i] >= 32767 || s[i] <= -32768) ++d.fullScale;
    }
    Mix_FreeChunk(chunk);
    return d;
  }

 private:
  bool open_ = false;
};

// The gain the mixer gives a sound at a volume of the game (0..100) under the
// player's setting (0..100): the engine multiplies the two and hands SDL_mixer
// a volume out of 128.
double mixerGain(int gameVolume, int playerSetting) {
  int volume = std::clamp(gameVolume, 0, 100) * std::clamp(playerSetting, 0, 100) / 100;
  return (volume * MIX_MAX_VOLUME / 100) / static_cast<double>(MIX_MAX_VOLUME);
}

struct GameSound {
  Decoded music;
  std::vector<Decoded> effects;
  double musicGain = 0, effectGain = 0;
};

GameSound decodeGameSound(const MixerFormat& mixer) {
  GameSound g;
  g.music = mixer.decode(packDir() / "ui" / "hte" / "bg.mp3");
  for (const auto& e : std::filesystem::directory_iterator(packDir() / "system" / "hte"))
    g.effects.push_back(mixer.decode(e.path()));
  std::sort(g.effects.begin(), g.effects.end(), [](const Decoded& a, const Decoded& b) { return a.name < b.name; });
  GameRules rules;
  Settings settings;
  g.musicGain = mixerGain(rules.musicVolume, settings.musicVolume);
  g.effectGain = mixerGain(rules.effectVolume, settings.effectsVolume);
  return g;
}

TEST(AssetgenLoudness, TheMusicDecodesWithoutClippedSamplesAndLeavesRoomForTheEffects) {
  ASSETGEN_REQUIRE_OUTPUT();
  MixerFormat mixer;
  ASSERT_TRUE(mixer.open()) << Mix_GetError();
  GameSound g = decodeGameSound(mixer);
  ASSERT_GT(g.music.samples.size(), 44100u * 2 * 30) << "the music did not decode";
  EXPECT_EQ(g.music.fullScale, 0) << "the decoded music has samples at full scale (peak " << g.music.peak << ")";
  // The music alone at most -6 dBFS: the loudest effect goes on top of it.
  EXPECT_LE(g.music.peak * g.musicGain, 0.5) << "music peak " << 20 * std::log10(g.music.peak) << " dBFS";
  // and not so quiet that it is lost under the fight (-12 dBFS).
  EXPECT_GE(g.music.peak * g.musicGain, 0.25) << "music peak " << 20 * std::log10(g.music.peak) << " dBFS";
}

TEST(AssetgenLoudness, MusicAndTheLoudestEffectTogetherPeakAtMostOneDbUnderFullScale) {
  ASSETGEN_REQUIRE_OUTPUT();
  MixerFormat mixer;
  ASSERT_TRUE(mixer.open()) << Mix_GetError();
  GameSound g = decodeGameSound(mixer);
  ASSERT_GE(g.effects.size(), 7u);
  for (const Decoded& e : g.effects) {
    ASSERT_FALSE(e.samples.empty()) << e.name << " did not decode";
    EXPECT_EQ(e.fullScale, 0) << e.name;
    // The effect's loudest sample may fall on the music's loudest: their sum
    // is the worst the mixer can be handed, wherever the effect starts.
    double worst = g.music.peak * g.musicGain + e.peak * g.effectGain;
    EXPECT_LE(worst, kLimit) << e.name << " on the music peaks at " << 20 * std::log10(worst) << " dBFS";
  }
}

TEST(AssetgenLoudness, TwoDifferentEffectsOfOneFrameOnTheMusicPeakAtMostOneDbUnderFullScale) {
  ASSETGEN_REQUIRE_OUTPUT();
  MixerFormat mixer;
  ASSERT_TRUE(mixer.open()) << Mix_GetError();
  GameSound g = decodeGameSound(mixer);
  ASSERT_GE(g.effects.size(), 7u);
  // The sounds a frame asks for start together (the same sound twice in a
  // frame is played once); their sum, on the music's loudest sample.
  double loudest = 0;
  std::string which;
  for (size_t a = 0; a < g.effects.size(); ++a)
    for (size_t b = a + 1; b < g.effects.size(); ++b) {
      const auto& x = g.effects[a].samples;
      const auto& y = g.effects[b].samples;
      for (size_t i = 0; i < std::max(x.size(), y.size()); ++i) {
        double v = std::fabs((i < x.size() ? x[i] : 0) + (i < y.size() ? y[i] : 0)) * g.effectGain;
        if (v > loudest) {
          loudest = v;
          which = g.effects[a].name + " with " + g.effects[b].name;
        }
      }
    }
  double worst = g.music.peak * g.musicGain + loudest;
  EXPECT_LE(worst, kLimit) << which << " on the music peak at " << 20 * std::log10(worst) << " dBFS";
}

}  // namespace
