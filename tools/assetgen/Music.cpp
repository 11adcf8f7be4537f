#include "Music.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "MusicSections.h"
#include "Synth.h"

namespace assetgen {

std::vector<float> renderMusic() {
  using namespace music;
  // The opening, the dark half-time section, the opening again with its lead
  // from the first bar, the driving section in C minor, and the turnaround
  // that leads back into the first bar.
  const int bars = kOpeningBars + kDarkBars + kOpeningBars + kDriveBars + kTurnaroundBars;
  Mix mix(static_cast<size_t>(std::lround(bars * kBar * kSampleRate)));
  int at = 0;
  opening(mix, at, 4);
  at += kOpeningBars;
  dark(mix, at);
  at += kDarkBars;
  opening(mix, at, 0);
  at += kOpeningBars;
  drive(mix, at);
  at += kDriveBars;
  turnaround(mix, at);
  std::vector<float> out = mix.interleaved();
  normalize(out, kMusicPeak);
  return out;
}

std::vector<uint8_t> encodeMp3(const std::vector<float>& stereo) {
  lame_global_flags* gf = lame_init();
  if (!gf) throw std::runtime_error("libmp3lame: cannot start the encoder");
  lame_set_in_samplerate(gf, kSampleRate);
  lame_set_out_samplerate(gf, kSampleRate);
  lame_set_num_channels(gf, 2);
  // 96 kbit/s with the encoder's slower, more careful search: at 128 the loop
  // was a fifth of what a browser loads before the first picture.
  lame_set_brate(gf, 96);
  lame_set_quality(gf, 2);
  lame_set_bWriteVbrTag(gf, 1);
  if (lame_init_params(gf) < 0) {
    lame_close(gf);
    throw std::runtime_error("libmp3lame: bad parameters");
  }
  size_t frames = stereo.size() / 2;
  std::vector<short> pcm(stereo.size());
  for (size_t i = 0; i < stereo.size(); ++i)
    pcm[i] = static_cast<short>(std::lround(std::clamp(stereo[i], -1.0f, 1.0f) * 32767));
  std::vector<uint8_t> out;
  std::vector<unsigned char> buf(static_cast<size_t>(1.25 * 4096 + 7200));
  const size_t chunk = 4096;
  for (size_t i = 0; i < frames; i += chunk) {
    int n = static_cast<int>(std::min(chunk, frames - i));
    int w = lame_encode_buffer_interleaved(gf, pcm.data() + 2 * i, n, buf.data(), static_cast<int>(buf.size()));
    if (w < 0) {
      lame_close(gf);
      throw std::runtime_error("libmp3lame: encoding failed");
    }
    out.insert(out.end(), buf.begin(), buf.begin() + w);
  }
  int w = lame_encode_flush(gf, buf.data(), static_cast<int>(buf.size()));
  if (w > 0) out.insert(out.end(), buf.begin(), buf.begin() + w);
  // The first frame was written as a placeholder for the stream's information
  // (length, encoder delay and padding for gapless looping): fill it in.
  std::vector<unsigned char> tag(4096);
  size_t tagSize = lame_get_lametag_frame(gf, tag.data(), tag.size());
  if (tagSize > 0 && tagSize <= out.size()) std::copy(tag.begin(), tag.begin() + tagSize, out.begin());
  lame_close(gf);
  return out;
}

void makeMusic(Manifest& m) { writeBytes(m.path("pack/pak/ui/hte/bg.mp3"), encodeMp3(renderMusic())); }

}  // namespace assetgen
