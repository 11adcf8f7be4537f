// The player's music and effects levels on a real mixer (SDL's silent audio
// driver): every volume the game asks for plays at the level's share of it,
// 100 playing it as asked, and a change of the music level reaches the music
// already playing.
#include <gtest/gtest.h>

#include <SDL_mixer.h>

#include <cstdint>
#include <string>

#include "engine_support.h"

namespace {

// A WAV file of `samples` silent 16-bit mono samples at 22050 Hz.
std::string silentWav(uint32_t samples) {
  std::string out;
  auto u32 = [&out](uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  auto u16 = [&out](uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
  };
  const uint32_t dataBytes = samples * 2;
  out += "RIFF";
  u32(36 + dataBytes);
  out += "WAVEfmt ";
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(22050);
  u32(22050 * 2);
  u16(2);
  u16(16);
  out += "data";
  u32(dataBytes);
  out.append(dataBytes, '\0');
  return out;
}

// The mixer's volume (0..128) for a game volume of 0..100.
int mixer(int volume) { return volume * MIX_MAX_VOLUME / 100; }

struct SoundRun {
  SystemLeaksIgnored leaksIgnored;
  ScratchDir dir;
  InDirectory in{dir.path()};
  ScopedEnv video{"SDL_VIDEODRIVER", "offscreen"};
  ScopedEnv audio{"SDL_AUDIODRIVER", "dummy"};
  TestEngine engine{false};
  SoundRun() {
    writeFile(dir.file("beep.wav"), silentWav(22050));
    engine->System_SetState(HGE_LOGFILE, "log.txt");
    engine->System_SetState(HGE_USESOUND, true);
  }
  // The mixer channel of a channel handle the engine gave back.
  // A handle holds the mixer's channel in its low byte (plus one).
  static int channelOf(HCHANNEL c) { return static_cast<int>(c & 0xFF) - 1; }
};

TEST(Volumes, EffectsPlayAtTheLevelsShareOfTheVolumeAskedFor) {
  SoundRun run;
  run.engine->System_SetState(HGE_EFFECTSVOLUME, 60);
  ASSERT_TRUE(run.engine->System_Initiate()) << run.engine->System_GetErrorMessage();
  const HEFFECT beep = run.engine->Effect_Load("beep.wav");
  ASSERT_NE(beep, 0u) << readFile(run.dir.file("log.txt"));

  struct Case {
    int level, asked, heard;
  };
  // The game's own effects ask for 50; at 100 they play as asked.
  const Case cases[] = {{60, 50, 30}, {100, 50, 50}, {100, 100, 100}, {0, 50, 0}, {30, 100, 30},
                        {250, 50, 50}, {-5, 50, 0}, {50, 400, 50}};
  for (const Case& c : cases) {
    run.engine->System_SetState(HGE_EFFECTSVOLUME, c.level);
    const HCHANNEL ch = run.engine->Effect_PlayEx(beep, c.asked, 0, 1.0f, false);
    ASSERT_NE(ch, 0u);
    EXPECT_EQ(Mix_Volume(SoundRun::channelOf(ch), -1), mixer(c.heard))
        << "level " << c.level << ", asked " << c.asked;
  }
  // Levels are kept within 0..100.
  run.engine->System_SetState(HGE_EFFECTSVOLUME, 250);
  EXPECT_EQ(run.engine->System_GetState(HGE_EFFECTSVOLUME), 100);
  run.engine->System_SetState(HGE_EFFECTSVOLUME, -5);
  EXPECT_EQ(run.engine->System_GetState(HGE_EFFECTSVOLUME), 0);
}

TEST(Volumes, TheMusicLevelScalesTheMusicAndAChangeReachesItWhilePlaying) {
  SoundRun run;
  run.engine->System_SetState(HGE_MUSICVOLUME, 50);
  ASSERT_TRUE(run.engine->System_Initiate()) << run.engine->System_GetErrorMessage();
  const HSTREAM music = run.engine->Stream_Load("beep.wav");
  ASSERT_NE(music, 0u) << readFile(run.dir.file("log.txt"));
  // The game asks for 100 for its music.
  ASSERT_NE(run.engine->Stream_Play(music, true, 100), 0u);
  EXPECT_EQ(Mix_VolumeMusic(-1), mixer(50));
  run.engine->System_SetState(HGE_MUSICVOLUME, 80);
  EXPECT_EQ(Mix_VolumeMusic(-1), mixer(80)) << "at once, on the music playing";
  run.engine->System_SetState(HGE_MUSICVOLUME, 0);
  EXPECT_EQ(Mix_VolumeMusic(-1), 0);
  // Music asked at 40 plays at the level's share of 40.
  run.engine->System_SetState(HGE_MUSICVOLUME, 50);
  ASSERT_NE(run.engine->Stream_Play(music, true, 40), 0u);
  EXPECT_EQ(Mix_VolumeMusic(-1), mixer(20));
  run.engine->System_SetState(HGE_MUSICVOLUME, 100);
  EXPECT_EQ(Mix_VolumeMusic(-1), mixer(40));
}

}  // namespace
