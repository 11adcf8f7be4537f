// A bare SDL loop to hold the game's windowed pacing against: the same window
// size, the software renderer presenting straight to the window, 200 textured
// 64x64 quads a frame, 100 frames a second paced by sleeping most of the wait
// and spinning the last 0.4 ms, as the game's loop does. It prints how many
// frame intervals were more than 2 ms late and the processor time it used.
//
//   tervalen-pacing-probe [frames]   (default 3000)
//   tervalen-pacing-probe --startup  the bare start-up floor: SDL, SDL_image and
//                                    SDL_mixer started with the dummy drivers and
//                                    shut down again, nothing else (time the run)
#include <SDL.h>
#include <SDL_image.h>
#include <SDL_mixer.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// What any program that plays pictures and sounds through these libraries pays
// before its first frame: the floor under the game's own start.
int startUpFloor() {
  SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
  SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
    return 1;
  }
  const int images = IMG_Init(IMG_INIT_PNG);
  const int decoders = Mix_Init(MIX_INIT_MP3);
  const bool audio = Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) == 0;
  std::printf("start-up floor: png %s, mp3 %s, audio %s\n", images & IMG_INIT_PNG ? "yes" : "no",
              decoders & MIX_INIT_MP3 ? "yes" : "no", audio ? "open" : Mix_GetError());
  if (audio) Mix_CloseAudio();
  Mix_Quit();
  IMG_Quit();
  SDL_Quit();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--startup") == 0) return startUpFloor();
  const long frames = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 3000;
  if (frames < 10 || frames > 1000000) {
    std::fprintf(stderr, "usage: tervalen-pacing-probe [frames from 10 to 1000000]\n");
    return 2;
  }
  SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
    return 1;
  }
  SDL_Window* window = SDL_CreateWindow("pacing probe", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 800, 480, 0);
  SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE) : nullptr;
  if (!renderer) {
    std::fprintf(stderr, "no window or renderer: %s\n", SDL_GetError());
    return 1;
  }
  SDL_Texture* texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 64, 64);
  std::vector<Uint32> pixels(64 * 64);
  for (int i = 0; i < 64 * 64; ++i) pixels[i] = 0xFF000000u | static_cast<Uint32>(i * 2654435761u >> 8);
  SDL_UpdateTexture(texture, nullptr, pixels.data(), 64 * 4);
  SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);

  const Uint64 frequency = SDL_GetPerformanceFrequency();
  const Uint64 period = frequency / 100, spin = frequency * 400 / 1000000;
  std::vector<double> intervals;
  Uint64 deadline = 0, last = 0;
  double cpuStart = 0;
  for (long f = 0; f < frames; ++f) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
    }
    const Uint64 started = SDL_GetPerformanceCounter();
    if (f >= 2) intervals.push_back(static_cast<double>(started - last) * 1000.0 / frequency);
    last = started;
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderClear(renderer);
    for (int i = 0; i < 200; ++i) {
      SDL_Rect to{(i * 37 + static_cast<int>(f)) % 736, (i * 53) % 416, 64, 64};
      SDL_RenderCopy(renderer, texture, nullptr, &to);
    }
    SDL_RenderPresent(renderer);
    // The first frame starts the renderer and takes long: count from its end.
    Uint64 now = SDL_GetPerformanceCounter();
    if (f == 0) {
      deadline = now + period;
      cpuStart = cpuSeconds();
      continue;
    }
    while (now + spin < deadline) {
      std::this_thread::sleep_for(std::chrono::microseconds((deadline - now - spin) * 1000000 / frequency));
      now = SDL_GetPerformanceCounter();
    }
    while (now < deadline) now = SDL_GetPerformanceCounter();
    deadline += period;
  }
  const double cpu = cpuSeconds() - cpuStart;
  int late = 0;
  for (double d : intervals) late += d > 12.0;
  std::printf("probe: %zu intervals, %d later than 2 ms, cpu %.1f%% of one core\n", intervals.size(), late,
              100.0 * cpu / ((frames - 1) / 100.0));
  SDL_DestroyTexture(texture);
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
