// Sound through SDL_mixer: effects and music loaded from memory, played into
// SDL's disk audio driver (which writes what it plays to a file), and the
// silent fallback when no audio device opens.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine_support.h"

namespace {

// A mono 16-bit WAV file: a square wave at `amplitude`, `ms` long.
std::vector<uint8_t> squareWav(int amplitude, int ms) {
  const int rate = 44100;
  const int samples = rate * ms / 1000;
  std::vector<int16_t> pcm(static_cast<size_t>(samples));
  for (int i = 0; i < samples; ++i) pcm[static_cast<size_t>(i)] = static_cast<int16_t>((i / 50) % 2 ? amplitude : -amplitude);
  const uint32_t dataBytes = static_cast<uint32_t>(pcm.size() * 2);
  std::vector<uint8_t> wav;
  auto text = [&](const char* s) { wav.insert(wav.end(), s, s + 4); };
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) wav.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto u16 = [&](uint16_t v) {
    wav.push_back(static_cast<uint8_t>(v));
    wav.push_back(static_cast<uint8_t>(v >> 8));
  };
  text("RIFF");
  u32(36 + dataBytes);
  text("WAVE");
  text("fmt ");
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(rate);
  u32(rate * 2);
  u16(2);
  u16(16);
  text("data");
  u32(dataBytes);
  const uint8_t* p = reinterpret_cast<const uint8_t*>(pcm.data());
  wav.insert(wav.end(), p, p + dataBytes);
  return wav;
}

// The loudest sample SDL's disk driver wrote (signed 16-bit output).
int loudest(const std::string& raw) {
  int most = 0;
  for (size_t i = 0; i + 1 < raw.size(); i += 2) {
    int16_t s;
    std::memcpy(&s, raw.data() + i, 2);
    most = std::max(most, std::abs(static_cast<int>(s)));
  }
  return most;
}

// A windowed engine (on the offscreen video driver) whose sound goes to a file.
struct SoundRun {
  SystemLeaksIgnored leaksIgnored;
  ScratchDir dir;
  InDirectory in{dir.path()};
  ScopedEnv video{"SDL_VIDEODRIVER", "offscreen"};
  ScopedEnv audio;
  ScopedEnv audioFile;
  TestEngine engine{false};

  explicit SoundRun(const std::string& driver = "disk")
      : audio("SDL_AUDIODRIVER", driver), audioFile("SDL_DISKAUDIOFILE", dir.file("played.raw")) {
    engine->System_SetState(HGE_USESOUND, true);
    engine->System_SetState(HGE_LOGFILE, "log.txt");
  }

  // Runs `frames` frames (100 a second), calling `atFirstFrame` in the first;
  // then closes the sound so that everything played is in the file.
  void run(int frames, const std::function<void()>& atFirstFrame) {
    HGE* hge = engine.get();
    engine->System_SetState(HGE_MAXFRAMES, frames);
    engine->System_SetState(HGE_FRAMEFUNC, [hge, atFirstFrame] {
      if (hge->System_GetFrame() == 1 && atFirstFrame) atFirstFrame();
      return false;
    });
    engine->System_Start();
    engine->System_Shutdown();
  }

  std::string played() const { return readFile(dir.file("played.raw")); }
  std::string log() const { return readFile(dir.file("log.txt")); }
};

TEST(Sound, AnEffectLoadedFromMemoryIsHeardWhenPlayed) {
  SoundRun sound;
  if (!sound.engine->System_Initiate()) GTEST_SKIP() << "no offscreen video here";
  std::vector<uint8_t> wav = squareWav(20000, 200);
  HEFFECT effect = sound.engine->Effect_Load(reinterpret_cast<const char*>(wav.data()),
                                             static_cast<uint32_t>(wav.size()));
  ASSERT_NE(effect, 0u) << sound.log();
  wav.assign(wav.size(), 0);  // the engine keeps its own copy
  HCHANNEL channel = 0;
  sound.run(30, [&] { channel = sound.engine->Effect_PlayEx(effect, 100, 0, 1.0f, false); });
  EXPECT_NE(channel, 0u);
  std::string raw = sound.played();
  ASSERT_FALSE(raw.empty()) << "the disk driver wrote nothing";
  EXPECT_GT(loudest(raw), 8000);
}

TEST(Sound, HandleZeroAndVolumeZeroPlayNothing) {
  SoundRun sound;
  if (!sound.engine->System_Initiate()) GTEST_SKIP() << "no offscreen video here";
  std::vector<uint8_t> wav = squareWav(20000, 200);
  HEFFECT effect = sound.engine->Effect_Load(reinterpret_cast<const char*>(wav.data()),
                                             static_cast<uint32_t>(wav.size()));
  ASSERT_NE(effect, 0u) << sound.log();
  HCHANNEL none = 1;
  sound.run(30, [&] {
    none = sound.engine->Effect_PlayEx(0, 100, 0, 1.0f, false);
    sound.engine->Effect_PlayEx(effect, 0, 0, 1.0f, false);
  });
  EXPECT_EQ(none, 0u);
  std::string raw = sound.played();
  ASSERT_FALSE(raw.empty()) << "the disk driver wrote nothing";
  EXPECT_EQ(loudest(raw), 0);
}

TEST(Sound, MusicLoadedFromMemoryPlaysAfterTheCallersBytesAreGone) {
  SoundRun sound;
  if (!sound.engine->System_Initiate()) GTEST_SKIP() << "no offscreen video here";
  HSTREAM music = 0;
  {
    std::vector<uint8_t> wav = squareWav(16000, 100);
    music = sound.engine->Stream_Load(reinterpret_cast<const char*>(wav.data()), static_cast<uint32_t>(wav.size()));
    wav.assign(wav.size(), 0);
  }
  ASSERT_NE(music, 0u) << sound.log();
  sound.run(30, [&] { sound.engine->Stream_Play(music, true, 100); });
  std::string raw = sound.played();
  ASSERT_FALSE(raw.empty()) << "the disk driver wrote nothing";
  EXPECT_GT(loudest(raw), 6000);
}

TEST(Sound, BadSoundFilesGiveNoHandleAndALogLine) {
  SoundRun sound;
  if (!sound.engine->System_Initiate()) GTEST_SKIP() << "no offscreen video here";
  const char junk[] = "this is not a sound file at all";
  EXPECT_EQ(sound.engine->Effect_Load(junk, sizeof junk), 0u);
  EXPECT_EQ(sound.engine->Stream_Load(junk, sizeof junk), 0u);
  EXPECT_EQ(sound.engine->Effect_Load("no such sound.wav", 0), 0u);
  std::string log = sound.log();
  EXPECT_NE(log.find("Cannot decode the sound in memory"), std::string::npos) << log;
  EXPECT_NE(log.find("Cannot decode the music in memory"), std::string::npos) << log;
  EXPECT_NE(log.find("no such sound.wav"), std::string::npos) << log;
}

// The disk driver cannot write into a missing folder, so no device opens,
// even though the environment asks for that driver by name.
TEST(Sound, WithNoDeviceTheGameRunsSilentlyAndSaysSoOnce) {
  SoundRun sound;
  ScopedEnv unwritable("SDL_DISKAUDIOFILE", sound.dir.file("missing/folder/played.raw"));
  if (!sound.engine->System_Initiate()) GTEST_SKIP() << "no offscreen video here";
  std::vector<uint8_t> wav = squareWav(20000, 100);
  HEFFECT effect = sound.engine->Effect_Load(reinterpret_cast<const char*>(wav.data()),
                                             static_cast<uint32_t>(wav.size()));
  EXPECT_NE(effect, 0u) << "sounds still load, so the game's handles stay valid";
  sound.run(5, [&] { sound.engine->Effect_PlayEx(effect, 100, 0, 1.0f, false); });
  EXPECT_EQ(sound.engine->System_GetFrame(), 5);
  std::string log = sound.log();
  size_t first = log.find("No audio device");
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_NE(log.find("the game runs silently"), std::string::npos) << log;
  EXPECT_EQ(log.find("No audio device", first + 1), std::string::npos) << "one line, not one per sound";
  EXPECT_EQ(log.find("No sound:"), std::string::npos) << log;
}

}  // namespace
